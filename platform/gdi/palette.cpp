// Logical palettes and their realisation on the hardware palette, and colour matching.
//
// Hardware entries 10-245 are handed out by realisations. A foreground realisation takes all of
// them back first, then gives each PC_RESERVED or PC_NOCOLLAPSE entry a slot of its own in order
// from 10; other entries take an identical static or already-mapped colour when there is one.
// So an identity palette (statics in 0-9/246-255, flagged colours in 10-245) maps i to i.
// A background realisation only takes slots nobody owns. When slots run out, the nearest
// colour is used.
#include <algorithm>
#include <climits>

#include "platform/core/display.h"
#include "platform/gdi/gdi_internal.h"

namespace plat::gdi {
namespace {

constexpr int kFirstFree = 10;
constexpr int kLastFree = 245;

struct SystemPalette {
    std::array<uint32_t, kPaletteSize> owner{};  // palette serial, 0 = free
    std::array<bool, kPaletteSize> reserved{};   // owned by a PC_RESERVED entry: never shared
    uint32_t foreground = 0;
    uint32_t nextSerial = 1;
    bool broadcasting = false;
};

SystemPalette& Sys() {
    static SystemPalette sp;
    return sp;
}

bool SameColour(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

COLORREF ToColour(const PALETTEENTRY& e) {
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

int Distance(int r1, int g1, int b1, int r2, int g2, int b2) {
    int dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
    return dr * dr + dg * dg + db * db;
}

using Hardware = std::array<PALETTEENTRY, kPaletteSize>;

Hardware ReadHardware() {
    Hardware hw;
    const Display& d = TheDisplay();
    for (int i = 0; i < kPaletteSize; ++i) hw[i] = d.HardwareEntry(i);
    return hw;
}

// Writes entries 10-245 back; true when any colour changed.
bool CommitHardware(const Hardware& hw) {
    Display& d = TheDisplay();
    uint32_t before = d.PaletteVersion();
    d.SetHardwareEntries(kFirstFree, kLastFree - kFirstFree + 1, &hw[kFirstFree]);
    return d.PaletteVersion() != before;
}

void Broadcast(HWND changer) {
    SystemPalette& sp = Sys();
    if (sp.broadcasting) return;  // a window realising in answer does not start another round
    sp.broadcasting = true;
    BroadcastPaletteChanged(changer);
    sp.broadcasting = false;
}

// A live entry another colour may share: a static, or an owned slot that will not animate.
bool Shareable(const SystemPalette& sp, int h) {
    return IsStaticIndex(h) || (sp.owner[h] != 0 && !sp.reserved[h]);
}

int ExactShareable(const SystemPalette& sp, const Hardware& hw, const PALETTEENTRY& e) {
    for (int i = 0; i < kNumStatic; ++i)
        if (SameColour(hw[StaticIndex(i)], e)) return StaticIndex(i);
    for (int h = kFirstFree; h <= kLastFree; ++h)
        if (Shareable(sp, h) && SameColour(hw[h], e)) return h;
    return -1;
}

int NearestShareable(const SystemPalette& sp, const Hardware& hw, const PALETTEENTRY& e) {
    int best = 0, bestDist = INT_MAX;
    for (int h = 0; h < kPaletteSize; ++h) {
        if (!Shareable(sp, h)) continue;
        int d = Distance(hw[h].peRed, hw[h].peGreen, hw[h].peBlue, e.peRed, e.peGreen, e.peBlue);
        if (d < bestDist) {
            bestDist = d;
            best = h;
        }
    }
    return best;
}

int FreeSlot(const SystemPalette& sp) {
    for (int h = kFirstFree; h <= kLastFree; ++h)
        if (sp.owner[h] == 0) return h;
    return -1;
}

uint8_t DefaultPaletteHardware(int i) {
    if (i < 0 || i >= kNumStatic) return 0;
    return static_cast<uint8_t>(StaticIndex(i));
}

UINT Realize(PaletteObj* p, bool foreground, HWND changer) {
    SystemPalette& sp = Sys();
    const size_t n = p->entries.size();
    if (p->stock) {
        // The default palette is the static colours: nothing to hand out.
        p->map.resize(n);
        p->mappedColour.resize(n);
        for (size_t i = 0; i < n; ++i) {
            p->map[i] = DefaultPaletteHardware(static_cast<int>(i));
            p->mappedColour[i] = ToColour(p->entries[i]);
        }
        p->realized = true;
        return 0;
    }
    if (p->serial == sp.foreground) foreground = true;
    Hardware hw = ReadHardware();
    for (int h = kFirstFree; h <= kLastFree; ++h) {
        if (foreground || sp.owner[h] == p->serial) {
            sp.owner[h] = 0;
            sp.reserved[h] = false;
        }
    }
    if (foreground) sp.foreground = p->serial;

    std::vector<uint8_t> map(n);
    for (size_t i = 0; i < n; ++i) {
        const PALETTEENTRY& e = p->entries[i];
        if (e.peFlags & PC_EXPLICIT) {
            map[i] = e.peRed;  // the low byte of the entry's hardware index
            continue;
        }
        bool own = (e.peFlags & (PC_RESERVED | PC_NOCOLLAPSE)) != 0;
        int h = own ? -1 : ExactShareable(sp, hw, e);
        if (h < 0) {
            h = FreeSlot(sp);
            if (h >= 0) {
                sp.owner[h] = p->serial;
                sp.reserved[h] = (e.peFlags & PC_RESERVED) != 0;
                hw[h] = PALETTEENTRY{e.peRed, e.peGreen, e.peBlue, 0};
            }
        }
        if (h < 0) h = NearestShareable(sp, hw, e);
        map[i] = static_cast<uint8_t>(h);
    }
    bool changed = CommitHardware(hw);

    UINT count = 0;
    std::vector<COLORREF> colours(n);
    for (size_t i = 0; i < n; ++i) {
        colours[i] = ToColour(hw[map[i]]);
        if (!p->realized || p->map.size() != n || p->map[i] != map[i] || p->mappedColour[i] != colours[i])
            ++count;
    }
    p->map = std::move(map);
    p->mappedColour = std::move(colours);
    p->realized = true;
    if (changed) Broadcast(changer);
    return count;
}

PaletteObj* DefaultPalette() {
    return GetPalette(GetStockObject(DEFAULT_PALETTE));
}

int NearestEntry(const PaletteObj& p, int r, int g, int b) {
    int best = 0, bestDist = INT_MAX;
    for (size_t i = 0; i < p.entries.size(); ++i) {
        const PALETTEENTRY& e = p.entries[i];
        int d = Distance(e.peRed, e.peGreen, e.peBlue, r, g, b);
        if (d < bestDist) {
            bestDist = d;
            best = static_cast<int>(i);
            if (d == 0) break;
        }
    }
    return best;
}

uint8_t NearestStatic(uint8_t r, uint8_t g, uint8_t b) {
    const auto& st = StaticColours();
    int best = 0, bestDist = INT_MAX;
    for (int i = 0; i < kNumStatic; ++i) {
        int d = Distance(st[i].peRed, st[i].peGreen, st[i].peBlue, r, g, b);
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return static_cast<uint8_t>(StaticIndex(best));
}

}  // namespace

PaletteObj* DcPalette(DcObj* dc) {
    PaletteObj* p = dc ? GetPalette(dc->st.palette) : nullptr;
    return p ? p : DefaultPalette();
}

uint8_t LogicalToHardware(PaletteObj* pal, int index) {
    if (!pal || pal->entries.empty()) return 0;
    if (index < 0 || static_cast<size_t>(index) >= pal->entries.size()) index = 0;
    if (pal->stock) return DefaultPaletteHardware(index);
    if (pal->realized && static_cast<size_t>(index) < pal->map.size())
        return pal->map[static_cast<size_t>(index)];
    return static_cast<uint8_t>(
        TheDisplay().NearestHardwareIndex(ToColour(pal->entries[static_cast<size_t>(index)])));
}

uint8_t NearestValue(const Surface& s, uint8_t r, uint8_t g, uint8_t b) {
    switch (s.space) {
        case Space::Device:
            return static_cast<uint8_t>(TheDisplay().NearestHardwareIndex(RGB(r, g, b)));
        case Space::Mono:
            return (r + g + b) > 384 ? 1 : 0;
        case Space::Table: {
            int best = 0, bestDist = INT_MAX;
            const int entries = s.tableUsed ? *s.tableUsed : 256;
            for (int i = 0; i < entries; ++i) {
                const RGBQUAD& q = s.table[i];
                int d = Distance(q.rgbRed, q.rgbGreen, q.rgbBlue, r, g, b);
                if (d < bestDist) {
                    bestDist = d;
                    best = i;
                    if (d == 0) break;
                }
            }
            if (bestDist != 0 && s.growTable && s.tableUsed && *s.tableUsed < 256) {
                best = (*s.tableUsed)++;
                s.growTable[best] = RGBQUAD{b, g, r, 0};
            }
            return static_cast<uint8_t>(best);
        }
    }
    return 0;
}

COLORREF ColourOfValue(const Surface& s, uint8_t v) {
    switch (s.space) {
        case Space::Device:
            return ToColour(TheDisplay().HardwareEntry(v));
        case Space::Mono:
            return v ? RGB(255, 255, 255) : RGB(0, 0, 0);
        case Space::Table:
            return RGB(s.table[v].rgbRed, s.table[v].rgbGreen, s.table[v].rgbBlue);
    }
    return 0;
}

uint8_t ResolveColour(DcObj* dc, const Surface& s, COLORREF colour) {
    uint8_t r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    uint32_t type = colour >> 24;
    if (type == 1 || type == 2) {
        PaletteObj* pal = DcPalette(dc);
        int index = type == 1 ? static_cast<int>(colour & 0xFFFF) : NearestEntry(*pal, r, g, b);
        if (index < 0 || static_cast<size_t>(index) >= pal->entries.size()) index = 0;
        if (s.space == Space::Device) return LogicalToHardware(pal, index);
        const PALETTEENTRY& e = pal->entries[static_cast<size_t>(index)];
        return NearestValue(s, e.peRed, e.peGreen, e.peBlue);
    }
    // Plain RGB colours on the palette device are the static colours, as brushes and pens
    // there were matched (or dithered) with the reserved colours only.
    if (s.space == Space::Device) return NearestStatic(r, g, b);
    return NearestValue(s, r, g, b);
}

void ForgetPalette(PaletteObj* pal) {
    SystemPalette& sp = Sys();
    for (int h = kFirstFree; h <= kLastFree; ++h) {
        if (sp.owner[h] == pal->serial) {
            sp.owner[h] = 0;
            sp.reserved[h] = false;
        }
    }
    if (sp.foreground == pal->serial) sp.foreground = 0;
}

void ResetPaletteState() {
    SystemPalette& sp = Sys();
    sp.owner.fill(0);
    sp.reserved.fill(false);
    sp.foreground = 0;
    sp.broadcasting = false;
    TheDisplay().ResetHardwarePalette();
}

}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

HPALETTE CreatePalette(const LOGPALETTE* lp) {
    if (!lp || lp->palVersion != 0x300 || lp->palNumEntries == 0 || lp->palNumEntries > 1024) return nullptr;
    auto p = std::make_unique<PaletteObj>();
    p->serial = Sys().nextSerial++;
    const PALETTEENTRY* src = lp->palPalEntry;
    p->entries.assign(src, src + lp->palNumEntries);
    return Register(std::move(p));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE pal, BOOL forceBackground) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || !GetPalette(pal)) return nullptr;
    HGDIOBJ old = dc->st.palette;
    if (old != pal) {
        AddRef(pal);
        Release(old);
        dc->st.palette = pal;
    }
    dc->st.paletteBackground = forceBackground != FALSE;
    return old;
}

UINT RealizePalette(HDC hdc) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return static_cast<UINT>(GDI_ERROR);
    return Realize(DcPalette(dc), !dc->st.paletteBackground, dc->hwnd);
}

BOOL UnrealizeObject(HGDIOBJ obj) {
    Object* o = Find(obj);
    if (!o) return FALSE;
    if (o->kind == Kind::Palette && !o->stock) static_cast<PaletteObj*>(o)->realized = false;
    return TRUE;
}

UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* out) {
    PaletteObj* p = GetPalette(pal);
    if (!p) return 0;
    const size_t n = p->entries.size();
    if (!out) return static_cast<UINT>(n);
    if (start >= n) return 0;
    UINT copied = static_cast<UINT>(std::min<size_t>(count, n - start));
    std::copy_n(p->entries.begin() + start, copied, out);
    return copied;
}

UINT SetPaletteEntries(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* in) {
    PaletteObj* p = GetPalette(pal);
    if (!p || p->stock || !in) return 0;
    const size_t n = p->entries.size();
    if (start >= n) return 0;
    UINT copied = static_cast<UINT>(std::min<size_t>(count, n - start));
    std::copy_n(in, copied, p->entries.begin() + start);
    return copied;
}

BOOL AnimatePalette(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* in) {
    PaletteObj* p = GetPalette(pal);
    if (!p || p->stock || !in) return FALSE;
    SystemPalette& sp = Sys();
    Hardware hw = ReadHardware();
    const size_t n = p->entries.size();
    for (size_t k = 0; k < count && start + k < n; ++k) {
        const size_t i = start + k;
        PALETTEENTRY& e = p->entries[i];
        if (!(e.peFlags & PC_RESERVED)) continue;
        e.peRed = in[k].peRed;
        e.peGreen = in[k].peGreen;
        e.peBlue = in[k].peBlue;
        if (!p->realized || i >= p->map.size()) continue;
        uint8_t h = p->map[i];
        if (sp.owner[h] == p->serial && sp.reserved[h]) {
            hw[h] = PALETTEENTRY{e.peRed, e.peGreen, e.peBlue, 0};
            p->mappedColour[i] = ToColour(e);
        }
    }
    CommitHardware(hw);
    return TRUE;
}

BOOL ResizePalette(HPALETTE pal, UINT count) {
    PaletteObj* p = GetPalette(pal);
    if (!p || p->stock || count == 0 || count > 1024) return FALSE;
    p->entries.resize(count);
    p->realized = false;
    return TRUE;
}

UINT GetNearestPaletteIndex(HPALETTE pal, COLORREF colour) {
    PaletteObj* p = GetPalette(pal);
    if (!p || p->entries.empty()) return CLR_INVALID;
    return static_cast<UINT>(NearestEntry(*p, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
}

COLORREF GetNearestColor(HDC hdc, COLORREF colour) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return CLR_INVALID;
    Target t;
    Surface s;
    if (GetTarget(dc, t)) s = t.surface;  // else the display's colour model
    return ColourOfValue(s, ResolveColour(dc, s, colour));
}

UINT GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, PALETTEENTRY* out) {
    if (!GetDcObj(hdc)) return 0;
    if (!out) return kPaletteSize;
    if (start >= static_cast<UINT>(kPaletteSize)) return 0;
    UINT copied = std::min<UINT>(count, kPaletteSize - start);
    const Display& d = TheDisplay();
    for (UINT i = 0; i < copied; ++i) {
        out[i] = d.HardwareEntry(static_cast<int>(start + i));
        out[i].peFlags = 0;
    }
    return copied;
}

UINT SetSystemPaletteUse(HDC hdc, UINT use) {
    if (!GetDcObj(hdc) || use != SYSPAL_STATIC) return SYSPAL_ERROR;
    return SYSPAL_STATIC;
}

UINT GetSystemPaletteUse(HDC hdc) {
    return GetDcObj(hdc) ? SYSPAL_STATIC : SYSPAL_ERROR;
}

namespace plat {

void ResetSystemPalette() {
    SystemPalette& sp = Sys();
    sp.owner.fill(0);
    sp.reserved.fill(false);
    sp.foreground = 0;
    Hardware hw = ReadHardware();
    for (int h = kFirstFree; h <= kLastFree; ++h) hw[h] = PALETTEENTRY{};
    if (CommitHardware(hw)) Broadcast(nullptr);
}

int HardwareIndexOf(HPALETTE pal, int i) {
    PaletteObj* p = GetPalette(pal);
    if (!p) return -1;
    return LogicalToHardware(p, i);
}

}  // namespace plat
