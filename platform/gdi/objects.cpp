// The GDI handle table, stock objects, brushes, pens and font objects.
#include <cstring>

#include "platform/core/display.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/library.h"

namespace plat::gdi {
namespace {

// Handles are (generation << kIndexBits) | (slot + 1), so a stale handle of a reused slot and
// small integers (system colour brushes) never name a live object.
constexpr int kIndexBits = 24;
constexpr uintptr_t kIndexMask = (uintptr_t(1) << kIndexBits) - 1;

struct Slot {
    std::unique_ptr<Object> obj;
    uint32_t gen = 1;
};

struct Table {
    std::vector<Slot> slots;
    std::vector<uint32_t> freeSlots;
};

Table& TheTable() {
    static Table table;
    return table;
}

uintptr_t Encode(uint32_t index, uint32_t gen) {
    return (uintptr_t(gen) << kIndexBits) | (index + 1);
}

struct Stock {
    HGDIOBJ objects[DEFAULT_GUI_FONT + 1] = {};
    HBITMAP bitmap = nullptr;
    HBRUSH sysBrushes[32] = {};
};

Stock& TheStock() {
    static Stock stock;
    return stock;
}

HGDIOBJ MakeStock(std::unique_ptr<Object> obj) {
    obj->stock = true;
    return Register(std::move(obj));
}

HGDIOBJ StockBrush(COLORREF c, UINT style = BS_SOLID) {
    auto b = std::make_unique<BrushObj>();
    b->style = style;
    b->colour = c;
    return MakeStock(std::move(b));
}

HGDIOBJ StockPen(COLORREF c, UINT style = PS_SOLID) {
    auto p = std::make_unique<PenObj>();
    p->style = style;
    p->colour = c;
    return MakeStock(std::move(p));
}

HGDIOBJ StockFont(const char* face, int height, int weight, BYTE pitchAndFamily) {
    auto f = std::make_unique<FontObj>();
    f->lf.lfHeight = height;
    f->lf.lfWeight = weight;
    f->lf.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
    return MakeStock(std::move(f));
}

void EnsureStock() {
    Stock& s = TheStock();
    if (s.bitmap) return;
    s.objects[WHITE_BRUSH] = StockBrush(RGB(255, 255, 255));
    s.objects[LTGRAY_BRUSH] = StockBrush(RGB(192, 192, 192));
    s.objects[GRAY_BRUSH] = StockBrush(RGB(128, 128, 128));
    s.objects[DKGRAY_BRUSH] = StockBrush(RGB(64, 64, 64));
    s.objects[BLACK_BRUSH] = StockBrush(RGB(0, 0, 0));
    s.objects[NULL_BRUSH] = StockBrush(0, BS_NULL);
    s.objects[WHITE_PEN] = StockPen(RGB(255, 255, 255));
    s.objects[BLACK_PEN] = StockPen(RGB(0, 0, 0));
    s.objects[NULL_PEN] = StockPen(0, PS_NULL);
    s.objects[OEM_FIXED_FONT] = StockFont("Terminal", 12, 400, 0x31);
    s.objects[ANSI_FIXED_FONT] = StockFont("Courier", 13, 400, 0x31);
    s.objects[ANSI_VAR_FONT] = StockFont("MS Sans Serif", 13, 400, 0x22);
    s.objects[SYSTEM_FONT] = StockFont("System", 16, 700, 0x22);
    s.objects[DEVICE_DEFAULT_FONT] = StockFont("System", 16, 700, 0x22);
    s.objects[SYSTEM_FIXED_FONT] = StockFont("Fixedsys", 15, 400, 0x31);
    s.objects[DEFAULT_GUI_FONT] = StockFont("MS Sans Serif", 13, 400, 0x22);

    auto pal = std::make_unique<PaletteObj>();
    const auto& statics = StaticColours();
    pal->entries.assign(statics.begin(), statics.end());
    s.objects[DEFAULT_PALETTE] = MakeStock(std::move(pal));

    auto bmp = std::make_unique<BitmapObj>();
    bmp->width = bmp->height = 1;
    bmp->bpp = 1;
    bmp->space = Space::Mono;
    bmp->pixels = std::make_unique<uint8_t[]>(1);
    bmp->size = 1;
    bmp->pitch = 1;
    s.bitmap = MakeStock(std::move(bmp));
}

}  // namespace

HGDIOBJ Register(std::unique_ptr<Object> obj) {
    Table& t = TheTable();
    uint32_t index;
    if (!t.freeSlots.empty()) {
        index = t.freeSlots.back();
        t.freeSlots.pop_back();
    } else {
        if (t.slots.size() >= kIndexMask - 1) return nullptr;
        index = static_cast<uint32_t>(t.slots.size());
        t.slots.emplace_back();
    }
    Slot& slot = t.slots[index];
    slot.obj = std::move(obj);
    return reinterpret_cast<HGDIOBJ>(Encode(index, slot.gen));
}

Object* Find(const void* handle) {
    auto v = reinterpret_cast<uintptr_t>(handle);
    uintptr_t idx = v & kIndexMask;
    if (idx == 0) return nullptr;
    --idx;
    Table& t = TheTable();
    if (idx >= t.slots.size()) return nullptr;
    Slot& slot = t.slots[idx];
    if (!slot.obj || Encode(static_cast<uint32_t>(idx), slot.gen) != v) return nullptr;
    return slot.obj.get();
}

void Destroy(const void* handle) {
    auto v = reinterpret_cast<uintptr_t>(handle);
    uintptr_t idx = (v & kIndexMask) - 1;
    Table& t = TheTable();
    Slot& slot = t.slots[idx];
    // Move out first: a destructor may look up other handles.
    std::unique_ptr<Object> obj = std::move(slot.obj);
    ++slot.gen;
    if (slot.gen == 0 || slot.gen >= (uint32_t(1) << 30)) slot.gen = 1;
    t.freeSlots.push_back(static_cast<uint32_t>(idx));
}

void AddRef(HGDIOBJ h) {
    if (Object* o = Find(h)) ++o->refs;
}

void Release(HGDIOBJ h) {
    if (Object* o = Find(h); o && o->refs > 0) --o->refs;
}

HBITMAP StockBitmap() {
    EnsureStock();
    return TheStock().bitmap;
}

void ForEachObject(void (*fn)(HGDIOBJ, Object*, void*), void* ctx) {
    Table& t = TheTable();
    for (size_t i = 0; i < t.slots.size(); ++i) {
        Slot& slot = t.slots[i];
        if (slot.obj)
            fn(reinterpret_cast<HGDIOBJ>(Encode(static_cast<uint32_t>(i), slot.gen)), slot.obj.get(), ctx);
    }
}

}  // namespace plat::gdi

using namespace plat::gdi;

HGDIOBJ GetStockObject(int index) {
    EnsureStock();
    if (index < 0 || index > DEFAULT_GUI_FONT) return nullptr;
    return TheStock().objects[index];
}

BOOL DeleteObject(HGDIOBJ obj) {
    Object* o = Find(obj);
    if (!o || o->kind == Kind::Dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (o->stock) return TRUE;
    if (o->refs > 0) return FALSE;
    if (o->kind == Kind::Palette) ForgetPalette(static_cast<PaletteObj*>(o));
    Destroy(obj);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ obj) {
    Object* o = Find(obj);
    if (!o) return 0;
    switch (o->kind) {
        case Kind::Pen:
            return OBJ_PEN;
        case Kind::Brush:
            return OBJ_BRUSH;
        case Kind::Font:
            return OBJ_FONT;
        case Kind::Palette:
            return OBJ_PAL;
        case Kind::Bitmap:
            return OBJ_BITMAP;
        case Kind::Region:
            return OBJ_REGION;
        case Kind::Dc:
            return static_cast<DcObj*>(o)->dcKind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
    }
    return 0;
}

namespace {

template <class T>
int CopyOut(const T& value, int size, LPVOID out) {
    if (!out) return static_cast<int>(sizeof(T));
    if (size <= 0) return 0;
    int n = size < static_cast<int>(sizeof(T)) ? size : static_cast<int>(sizeof(T));
    std::memcpy(out, &value, static_cast<size_t>(n));
    return n;
}

BITMAP BitmapInfo(const BitmapObj& b) {
    BITMAP bm;
    bm.bmWidth = b.width;
    bm.bmHeight = b.height;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(b.bpp);
    if (b.dib) {
        bm.bmWidthBytes = static_cast<LONG>(b.pitch < 0 ? -b.pitch : b.pitch);
        bm.bmBits = b.pixels.get();
    } else {
        bm.bmWidthBytes = ((b.width * b.bpp + 15) / 16) * 2;
    }
    return bm;
}

}  // namespace

int GetObject(HGDIOBJ obj, int size, LPVOID out) {
    Object* o = Find(obj);
    if (!o) return 0;
    switch (o->kind) {
        case Kind::Pen: {
            auto* p = static_cast<PenObj*>(o);
            LOGPEN lp;
            lp.lopnStyle = p->style;
            lp.lopnWidth.x = p->width;
            lp.lopnColor = p->colour;
            return CopyOut(lp, size, out);
        }
        case Kind::Brush: {
            auto* b = static_cast<BrushObj*>(o);
            LOGBRUSH lb;
            lb.lbStyle = b->style;
            lb.lbColor = b->colour;
            return CopyOut(lb, size, out);
        }
        case Kind::Font:
            return CopyOut(static_cast<FontObj*>(o)->lf, size, out);
        case Kind::Palette: {
            WORD n = static_cast<WORD>(static_cast<PaletteObj*>(o)->entries.size());
            return CopyOut(n, size, out);
        }
        case Kind::Bitmap: {
            auto* b = static_cast<BitmapObj*>(o);
            if (b->dib && (size >= static_cast<int>(sizeof(DIBSECTION)) || !out)) {
                DIBSECTION ds;
                ds.dsBm = BitmapInfo(*b);
                ds.dsBmih = b->header;
                return CopyOut(ds, size, out);
            }
            return CopyOut(BitmapInfo(*b), size, out);
        }
        case Kind::Region:
        case Kind::Dc:
            return 0;
    }
    return 0;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    auto b = std::make_unique<BrushObj>();
    b->colour = colour;
    return Register(std::move(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb) return nullptr;
    if (lb->lbStyle == BS_NULL) return GetStockObject(NULL_BRUSH);
    if (lb->lbStyle != BS_SOLID) return nullptr;  // hatched and pattern brushes are not offered
    return CreateSolidBrush(lb->lbColor);
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= 32) return nullptr;
    EnsureStock();
    HBRUSH& slot = TheStock().sysBrushes[index];
    if (!slot) slot = StockBrush(GetSysColor(index));
    return slot;
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    if (style < 0 || style > static_cast<int>(PS_INSIDEFRAME)) return nullptr;
    if (style == static_cast<int>(PS_NULL)) return GetStockObject(NULL_PEN);
    auto p = std::make_unique<PenObj>();
    p->style = static_cast<UINT>(style);
    p->width = width < 1 ? 1 : (width > 256 ? 256 : width);
    p->colour = colour;
    return Register(std::move(p));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
    if (!lp) return nullptr;
    return CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

namespace plat {

HFONT CreateFontObject(const LOGFONT& lf, std::shared_ptr<IFontFace> face) {
    auto f = std::make_unique<FontObj>();
    f->lf = lf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    f->face = std::move(face);
    return Register(std::move(f));
}

IFontFace* FontFace(HFONT font) {
    FontObj* f = GetFont(font);
    return f ? f->face.get() : nullptr;
}

bool SetFontFace(HFONT font, std::shared_ptr<IFontFace> face) {
    FontObj* f = GetFont(font);
    if (!f) return false;
    f->face = std::move(face);
    return true;
}

const LOGFONT* FontLogFont(HFONT font) {
    FontObj* f = GetFont(font);
    return f ? &f->lf : nullptr;
}

int LiveGdiObjects() {
    int n = 0;
    ForEachObject(
        [](HGDIOBJ, Object* o, void* ctx) {
            if (!o->stock) ++*static_cast<int*>(ctx);
        },
        &n);
    return n;
}

void ResetGdi() {
    // DCs first (they hold references), then everything else that is not stock.
    struct Lists {
        std::vector<HGDIOBJ> dcs, others;
    } lists;
    ForEachObject(
        [](HGDIOBJ h, Object* o, void* ctx) {
            auto* l = static_cast<Lists*>(ctx);
            if (o->kind == Kind::Dc)
                l->dcs.push_back(h);
            else if (!o->stock)
                l->others.push_back(h);
        },
        &lists);
    for (HGDIOBJ h : lists.dcs) Destroy(h);
    for (HGDIOBJ h : lists.others) Destroy(h);
    ForEachObject([](HGDIOBJ, Object* o, void*) { o->refs = 0; }, nullptr);
    ResetPaletteState();
    ClearDeviceCapsOverrides();
    ResetLibraries();
}

}  // namespace plat
