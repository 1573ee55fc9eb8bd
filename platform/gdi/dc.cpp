// Device contexts: creation, state, clipping, device capabilities and painting.
#include <algorithm>
#include <map>
#include <utility>

#include "platform/core/display.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/gdi/printer_internal.h"

namespace plat::gdi {
namespace {

std::map<int, int>& CapsOverrides() {
    static std::map<int, int> overrides;
    return overrides;
}

Surface DisplaySurface() {
    Surface s;
    s.base = TheDisplay().Pixels();
    s.pitch = kScreenWidth;
    s.width = kScreenWidth;
    s.height = kScreenHeight;
    s.space = Space::Device;
    s.isDisplay = true;
    return s;
}

void RefState(const DcState& s, bool add) {
    for (HGDIOBJ h : {s.pen, s.brush, s.font, s.palette, s.bitmap}) {
        if (!h) continue;
        if (add)
            AddRef(h);
        else
            Release(h);
    }
}

void MarkBitmap(HGDIOBJ h, HDC owner) {
    BitmapObj* b = GetBitmap(h);
    if (b && !b->stock) b->selectedInto = owner;
}

HDC NewDc(DcKind kind, HWND hwnd, bool released) {
    auto dc = std::make_unique<DcObj>();
    dc->dcKind = kind;
    dc->hwnd = hwnd;
    dc->released = released;
    DcState& st = dc->st;
    st.pen = GetStockObject(BLACK_PEN);
    st.brush = GetStockObject(WHITE_BRUSH);
    st.font = GetStockObject(SYSTEM_FONT);
    st.palette = GetStockObject(DEFAULT_PALETTE);
    if (kind == DcKind::Memory) st.bitmap = StockBitmap();
    RefState(st, true);
    return reinterpret_cast<HDC>(Register(std::move(dc)));
}

void FreeDc(HDC hdc) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return;
    if (dc->dcKind == DcKind::Printer) ForgetPrinterDc(dc);
    for (const DcState& s : dc->saved) RefState(s, false);
    RefState(dc->st, false);
    BitmapObj* b = GetBitmap(dc->st.bitmap);
    if (b && b->selectedInto == hdc) b->selectedInto = nullptr;
    Destroy(hdc);
}

bool IsDisplayName(LPCSTR s) {
    if (!s) return false;
    const char* want = "DISPLAY";
    for (; *s && *want; ++s, ++want) {
        char c = *s;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != *want) return false;
    }
    return *s == 0 && *want == 0;
}

// The clip region before a first change: everything.
std::vector<RECT>& EditableClip(DcState& st) {
    if (!st.hasClip) {
        st.clip.assign(1, kEverywhere);
        st.hasClip = true;
    }
    return st.clip;
}

RECT DeviceRect(const DcState& st, int left, int top, int right, int bottom) {
    POINT a = ToDevice(st, left, top);
    POINT b = ToDevice(st, right, bottom);
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

int ClipResult(DcObj* dc) {
    Target t;
    if (!GetTarget(dc, t)) return RegionType(dc->st.clip);
    return RegionType(*t.clip);
}

BOOL EraseWithClassBrush(HWND hwnd, HDC hdc) {
    char cls[256] = {};
    if (GetClassName(hwnd, cls, sizeof(cls)) <= 0) return FALSE;
    WNDCLASS wc;
    if (!GetClassInfo(nullptr, cls, &wc) || !wc.hbrBackground) return FALSE;
    RECT r;
    if (!GetClientRect(hwnd, &r)) return FALSE;
    return FillRect(hdc, &r, wc.hbrBackground) != 0;
}

// DefWindowProc's WM_ERASEBKGND reaches the class brush through this hook.
[[maybe_unused]] const bool kEraseHookSet = (EraseBackgroundHook = &EraseWithClassBrush, true);

}  // namespace

POINT ToDevice(const DcState& st, int x, int y) {
    // Clamped so that far-away coordinates cannot overflow later arithmetic.
    auto clamp = [](int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, -kFar, kFar)); };
    return POINT{clamp(int64_t(x) - st.windowOrg.x + st.viewportOrg.x),
                 clamp(int64_t(y) - st.windowOrg.y + st.viewportOrg.y)};
}

bool SurfaceOf(DcObj* dc, Surface& s, POINT& origin) {
    switch (dc->dcKind) {
        case DcKind::Screen:
            s = DisplaySurface();
            origin = POINT{};
            return true;
        case DcKind::Window:
            if (!IsWindow(dc->hwnd)) return false;
            s = DisplaySurface();
            origin = ClientOrigin(dc->hwnd);
            return true;
        case DcKind::WindowFull: {
            RECT wr;
            if (!IsWindow(dc->hwnd) || !GetWindowRect(dc->hwnd, &wr)) return false;
            s = DisplaySurface();
            origin = POINT{wr.left, wr.top};
            return true;
        }
        case DcKind::Memory: {
            BitmapObj* b = GetBitmap(dc->st.bitmap);
            if (!b || !b->pixels) return false;
            s = b->GetSurface();
            origin = POINT{};
            return true;
        }
        case DcKind::Printer:
            return PrinterSurface(dc, s, origin);
        case DcKind::Info:
            return false;
    }
    return false;
}

bool GetTarget(DcObj* dc, Target& t) {
    t.dc = dc;
    if (!SurfaceOf(dc, t.surface, t.origin)) return false;
    std::vector<RECT>& vis = dc->scratch;
    vis.clear();
    switch (dc->dcKind) {
        case DcKind::Window:
            VisibleRects(dc->hwnd, true, vis);
            break;
        case DcKind::WindowFull:
            VisibleRects(dc->hwnd, false, vis);
            break;
        default:
            vis.push_back(RECT{0, 0, t.surface.width, t.surface.height});
            break;
    }
    const RECT bounds{0, 0, t.surface.width, t.surface.height};
    std::vector<RECT> limit{bounds};
    if (dc->hasPaint) {
        RECT p;
        const RECT paint = Offset(dc->paint, t.origin.x, t.origin.y);
        IntersectRect(&p, &paint, &bounds);
        limit.assign(1, p);
    }
    vis = IntersectLists(vis, limit);
    if (dc->st.hasClip) {
        std::vector<RECT> clip;
        clip.reserve(dc->st.clip.size());
        for (const RECT& r : dc->st.clip) clip.push_back(Offset(r, t.origin.x, t.origin.y));
        vis = IntersectLists(vis, clip);
    }
    t.clip = &vis;
    return true;
}

void Touched(const Target& t, const RECT& surfaceRect) {
    if (t.surface.isDisplay) TheDisplay().Invalidate(surfaceRect);
}

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

HDC GetDC(HWND hwnd) {
    if (!hwnd || hwnd == GetDesktopWindow()) return NewDc(DcKind::Screen, nullptr, true);
    if (!IsWindow(hwnd)) return nullptr;
    return NewDc(DcKind::Window, hwnd, true);
}

HDC GetWindowDC(HWND hwnd) {
    if (!hwnd || hwnd == GetDesktopWindow()) return NewDc(DcKind::Screen, nullptr, true);
    if (!IsWindow(hwnd)) return nullptr;
    return NewDc(DcKind::WindowFull, hwnd, true);
}

int ReleaseDC(HWND, HDC hdc) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || !dc->released) return 0;
    FreeDc(hdc);
    return 1;
}

HWND WindowFromDC(HDC hdc) {
    DcObj* dc = GetDcObj(hdc);
    return dc ? dc->hwnd : nullptr;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    if (!ps || !IsWindow(hwnd)) return nullptr;
    EraseBackgroundHook = &EraseWithClassBrush;
    bool erase = false;
    RECT update = TakeUpdateRect(hwnd, &erase);
    HDC hdc = NewDc(DcKind::Window, hwnd, true);
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return nullptr;
    dc->hasPaint = true;
    dc->paint = update;
    ps->hdc = hdc;
    ps->rcPaint = update;
    ps->fErase = FALSE;
    // fErase tells the window to erase for itself when WM_ERASEBKGND did not.
    if (erase && !IsRectEmpty(&update))
        ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    ReleaseDC(hwnd, ps->hdc);
    return TRUE;
}

HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devMode) {
    if (IsDisplayName(driver) || IsDisplayName(device)) return NewDc(DcKind::Screen, nullptr, false);
    if (HDC printer = CreatePrinterDc(driver, device, output, devMode)) return printer;
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

HDC CreateIC(LPCSTR driver, LPCSTR device, LPCSTR, const void*) {
    if (IsDisplayName(driver) || IsDisplayName(device)) return NewDc(DcKind::Info, nullptr, false);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc) {
        DcObj* dc = GetDcObj(hdc);
        if (!dc || dc->dcKind == DcKind::Printer) return nullptr;
    }
    return NewDc(DcKind::Memory, nullptr, false);
}

BOOL DeleteDC(HDC hdc) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || dc->released) return FALSE;
    FreeDc(hdc);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
    DcObj* dc = GetDcObj(hdc);
    Object* o = Find(obj);
    if (!dc || !o) return nullptr;
    DcState& st = dc->st;
    HGDIOBJ* slot = nullptr;
    switch (o->kind) {
        case Kind::Pen:
            slot = &st.pen;
            break;
        case Kind::Brush:
            slot = &st.brush;
            break;
        case Kind::Font:
            slot = &st.font;
            break;
        case Kind::Region:
            return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SelectClipRgn(hdc, obj)));
        case Kind::Bitmap: {
            auto* b = static_cast<BitmapObj*>(o);
            if (dc->dcKind != DcKind::Memory) return nullptr;
            if (!b->stock && b->selectedInto && b->selectedInto != hdc) return nullptr;
            HGDIOBJ old = st.bitmap;
            if (old == obj) return old;
            MarkBitmap(old, nullptr);
            Release(old);
            AddRef(obj);
            st.bitmap = obj;
            MarkBitmap(obj, hdc);
            return old;
        }
        case Kind::Palette:  // SelectPalette only
        case Kind::Dc:
            return nullptr;
    }
    HGDIOBJ old = *slot;
    if (old != obj) {
        AddRef(obj);
        Release(old);
        *slot = obj;
    }
    return old;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_PEN:
            return dc->st.pen;
        case OBJ_BRUSH:
            return dc->st.brush;
        case OBJ_FONT:
            return dc->st.font;
        case OBJ_PAL:
            return dc->st.palette;
        case OBJ_BITMAP:
            return dc->st.bitmap;
        default:
            return nullptr;
    }
}

int SaveDC(HDC hdc) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->st);
    RefState(dc->saved.back(), true);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int saved) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return FALSE;
    int levels = static_cast<int>(dc->saved.size());
    int level = saved > 0 ? saved : levels + 1 + saved;
    if (saved == 0 || level < 1 || level > levels) return FALSE;
    DcState next = dc->saved[static_cast<size_t>(level - 1)];
    // A bitmap cannot come back while another DC holds it.
    BitmapObj* nb = GetBitmap(next.bitmap);
    if (nb && !nb->stock && nb->selectedInto && nb->selectedInto != hdc) return FALSE;
    MarkBitmap(dc->st.bitmap, nullptr);
    RefState(dc->st, false);
    // The restored state keeps the references its saved copy held; the later copies drop theirs.
    for (size_t i = static_cast<size_t>(level); i < dc->saved.size(); ++i) RefState(dc->saved[i], false);
    dc->saved.resize(static_cast<size_t>(level - 1));
    dc->st = std::move(next);
    MarkBitmap(dc->st.bitmap, hdc);
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return 0;
    if (dc->dcKind == DcKind::Printer) return PrinterCaps(dc, index);
    auto& ov = CapsOverrides();
    if (auto it = ov.find(index); it != ov.end()) return it->second;
    switch (index) {
        case DRIVERVERSION:
            return 0x400;
        case TECHNOLOGY:
            return DT_RASDISPLAY;
        case HORZSIZE:
            return 169;  // millimetres at 96 pixels per inch
        case VERTSIZE:
            return 127;
        case HORZRES:
        case DESKTOPHORZRES:
            return kScreenWidth;
        case VERTRES:
        case DESKTOPVERTRES:
            return kScreenHeight;
        case BITSPIXEL:
            return 8;
        case PLANES:
            return 1;
        case NUMBRUSHES:
        case NUMPENS:
            return -1;
        case NUMCOLORS:
            return kNumStatic;
        case CLIPCAPS:
            return CP_RECTANGLE;
        case RASTERCAPS:
            return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_PALETTE | RC_DIBTODEV |
                   RC_BIGFONT | RC_STRETCHBLT | RC_STRETCHDIB;
        case ASPECTX:
        case ASPECTY:
            return 36;
        case ASPECTXY:
            return 51;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case SIZEPALETTE:
            return kPaletteSize;
        case NUMRESERVED:
            return kNumStatic;
        case COLORRES:
            return 18;
        case VREFRESH:
            return 60;
        case BLTALIGNMENT:
            return 0;
        default:
            return 0;
    }
}

BOOL GdiFlush() {
    return TRUE;
}

namespace {

template <class T, class F>
T SetField(HDC hdc, T fail, F&& f) {
    DcObj* dc = GetDcObj(hdc);
    return dc ? f(dc->st) : fail;
}

}  // namespace

COLORREF SetTextColor(HDC hdc, COLORREF c) {
    return SetField(hdc, CLR_INVALID, [&](DcState& s) { return std::exchange(s.textColour, c); });
}
COLORREF GetTextColor(HDC hdc) {
    return SetField(hdc, CLR_INVALID, [](DcState& s) { return s.textColour; });
}
COLORREF SetBkColor(HDC hdc, COLORREF c) {
    return SetField(hdc, CLR_INVALID, [&](DcState& s) { return std::exchange(s.bkColour, c); });
}
COLORREF GetBkColor(HDC hdc) {
    return SetField(hdc, CLR_INVALID, [](DcState& s) { return s.bkColour; });
}
int SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return SetField(hdc, 0, [&](DcState& s) { return std::exchange(s.bkMode, mode); });
}
int GetBkMode(HDC hdc) {
    return SetField(hdc, 0, [](DcState& s) { return s.bkMode; });
}
int SetROP2(HDC hdc, int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
    return SetField(hdc, 0, [&](DcState& s) { return std::exchange(s.rop2, rop2); });
}
int GetROP2(HDC hdc) {
    return SetField(hdc, 0, [](DcState& s) { return s.rop2; });
}
int SetStretchBltMode(HDC hdc, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return SetField(hdc, 0, [&](DcState& s) { return std::exchange(s.stretchMode, mode); });
}
int GetStretchBltMode(HDC hdc) {
    return SetField(hdc, 0, [](DcState& s) { return s.stretchMode; });
}
UINT SetTextAlign(HDC hdc, UINT align) {
    return SetField(hdc, static_cast<UINT>(GDI_ERROR),
                    [&](DcState& s) { return std::exchange(s.textAlign, align); });
}
UINT GetTextAlign(HDC hdc) {
    return SetField(hdc, static_cast<UINT>(GDI_ERROR), [](DcState& s) { return s.textAlign; });
}
int SetMapMode(HDC hdc, int mode) {
    if (mode != MM_TEXT) return 0;
    return SetField(hdc, 0, [&](DcState& s) { return std::exchange(s.mapMode, mode); });
}
int GetMapMode(HDC hdc) {
    return SetField(hdc, 0, [](DcState& s) { return s.mapMode; });
}

namespace {

BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, POINT* old, bool offset) {
    return SetField(hdc, FALSE, [&](DcState& s) {
        POINT& p = s.*field;
        if (old) *old = p;
        p = offset ? POINT{p.x + x, p.y + y} : POINT{x, y};
        return TRUE;
    });
}

BOOL GetPoint(HDC hdc, POINT DcState::*field, POINT* out) {
    if (!out) return FALSE;
    return SetField(hdc, FALSE, [&](DcState& s) {
        *out = s.*field;
        return TRUE;
    });
}

}  // namespace

BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DcState::brushOrg, x, y, old, false);
}
BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DcState::windowOrg, x, y, old, false);
}
BOOL GetWindowOrgEx(HDC hdc, POINT* p) {
    return GetPoint(hdc, &DcState::windowOrg, p);
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DcState::viewportOrg, x, y, old, false);
}
BOOL GetViewportOrgEx(HDC hdc, POINT* p) {
    return GetPoint(hdc, &DcState::viewportOrg, p);
}
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old) {
    return SetPoint(hdc, &DcState::viewportOrg, dx, dy, old, true);
}
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old) {
    return SetPoint(hdc, &DcState::windowOrg, dx, dy, old, true);
}
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DcState::position, x, y, old, false);
}
BOOL GetCurrentPositionEx(HDC hdc, POINT* p) {
    return GetPoint(hdc, &DcState::position, p);
}

BOOL LPtoDP(HDC hdc, POINT* points, int count) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || (!points && count > 0)) return FALSE;
    for (int i = 0; i < count; ++i) points[i] = ToDevice(dc->st, points[i].x, points[i].y);
    return TRUE;
}

BOOL DPtoLP(HDC hdc, POINT* points, int count) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || (!points && count > 0)) return FALSE;
    const DcState& s = dc->st;
    for (int i = 0; i < count; ++i)
        points[i] = POINT{points[i].x - s.viewportOrg.x + s.windowOrg.x,
                          points[i].y - s.viewportOrg.y + s.windowOrg.y};
    return TRUE;
}

BOOL GetDCOrgEx(HDC hdc, POINT* p) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || !p) return FALSE;
    Target t;
    *p = GetTarget(dc, t) ? t.origin : POINT{};
    return TRUE;
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return ERROR;
    CutFromRects(EditableClip(dc->st), DeviceRect(dc->st, left, top, right, bottom));
    return ClipResult(dc);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return ERROR;
    std::vector<RECT>& clip = EditableClip(dc->st);
    clip = IntersectLists(clip, {DeviceRect(dc->st, left, top, right, bottom)});
    return ClipResult(dc);
}

int SelectClipRgn(HDC hdc, HRGN rgn) {
    return ExtSelectClipRgn(hdc, rgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return ERROR;
    DcState& st = dc->st;
    if (!rgn) {
        if (mode != RGN_COPY) return ERROR;
        st.hasClip = false;
        st.clip.clear();
        return ClipResult(dc);
    }
    RegionObj* r = GetRegion(rgn);
    if (!r) return ERROR;
    if (mode == RGN_COPY) {
        st.clip = r->rects;
        st.hasClip = true;
        return ClipResult(dc);
    }
    std::vector<RECT>& clip = EditableClip(st);
    switch (mode) {
        case RGN_AND:
            clip = IntersectLists(clip, r->rects);
            break;
        case RGN_OR:
            clip = UnionLists(clip, r->rects);
            break;
        case RGN_DIFF:
            for (const RECT& c : r->rects) CutFromRects(clip, c);
            break;
        case RGN_XOR: {
            std::vector<RECT> a = clip, b = r->rects;
            for (const RECT& c : r->rects) CutFromRects(a, c);
            for (const RECT& c : clip) CutFromRects(b, c);
            a.insert(a.end(), b.begin(), b.end());
            clip = std::move(a);
            break;
        }
        default:
            return ERROR;
    }
    return ClipResult(dc);
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return ERROR;
    if (dc->st.hasClip)
        for (RECT& r : dc->st.clip) r = Offset(r, dx, dy);
    return ClipResult(dc);
}

int GetClipRgn(HDC hdc, HRGN rgn) {
    DcObj* dc = GetDcObj(hdc);
    RegionObj* r = GetRegion(rgn);
    if (!dc || !r) return -1;
    if (!dc->st.hasClip) return 0;
    r->rects = dc->st.clip;
    return 1;
}

int GetClipBox(HDC hdc, RECT* out) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || !out) return ERROR;
    Target t;
    if (!GetTarget(dc, t)) {
        *out = RECT{0, 0, kScreenWidth, kScreenHeight};
        return SIMPLEREGION;
    }
    if (RegionType(*t.clip) == NULLREGION) {
        *out = RECT{};
        return NULLREGION;
    }
    RECT b = BoundingRect(*t.clip);
    POINT pts[2] = {{b.left - t.origin.x, b.top - t.origin.y}, {b.right - t.origin.x, b.bottom - t.origin.y}};
    DPtoLP(hdc, pts, 2);
    *out = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
    return RegionType(*t.clip);
}

BOOL PtVisible(HDC hdc, int x, int y) {
    DcObj* dc = GetDcObj(hdc);
    Target t;
    if (!dc || !GetTarget(dc, t)) return FALSE;
    POINT p = ToDevice(dc->st, x, y);
    p.x += t.origin.x;
    p.y += t.origin.y;
    for (const RECT& r : *t.clip)
        if (PtInRect(&r, p)) return TRUE;
    return FALSE;
}

BOOL RectVisible(HDC hdc, const RECT* rc) {
    DcObj* dc = GetDcObj(hdc);
    Target t;
    if (!dc || !rc || !GetTarget(dc, t)) return FALSE;
    RECT d = Offset(DeviceRect(dc->st, rc->left, rc->top, rc->right, rc->bottom), t.origin.x, t.origin.y);
    for (const RECT& r : *t.clip) {
        RECT i;
        if (IntersectRect(&i, &r, &d)) return TRUE;
    }
    return FALSE;
}

namespace plat {

void OverrideDeviceCaps(int index, int value) {
    CapsOverrides()[index] = value;
}
void ClearDeviceCapsOverrides() {
    CapsOverrides().clear();
}

}  // namespace plat
