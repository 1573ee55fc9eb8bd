// The pixel engine: raster operations, nearest-neighbour stretching with mirroring, and the
// blits between DCs (BitBlt, StretchBlt, PatBlt, ScrollDC).
#include <algorithm>
#include <cstring>

#include "platform/core/display.h"
#include "platform/gdi/gdi_internal.h"

namespace plat::gdi {
namespace {

// A ternary raster operation as its truth table: bit (p * 4 + s * 2 + d) of code.
inline uint8_t Rop3(unsigned code, unsigned p, unsigned s, unsigned d) {
    unsigned r = 0;
    if (code & 0x01) r |= ~p & ~s & ~d;
    if (code & 0x02) r |= ~p & ~s & d;
    if (code & 0x04) r |= ~p & s & ~d;
    if (code & 0x08) r |= ~p & s & d;
    if (code & 0x10) r |= p & ~s & ~d;
    if (code & 0x20) r |= p & ~s & d;
    if (code & 0x40) r |= p & s & ~d;
    if (code & 0x80) r |= p & s & d;
    return static_cast<uint8_t>(r);
}

bool UsesSource(unsigned code) {
    return (((code >> 2) ^ code) & 0x33) != 0;
}
bool UsesPattern(unsigned code) {
    return (((code >> 4) ^ code) & 0x0F) != 0;
}

constexpr unsigned kSrcCopy = 0xCC;
constexpr unsigned kPatCopy = 0xF0;
constexpr unsigned kBlackness = 0x00;
constexpr unsigned kWhiteness = 0xFF;

const uint8_t* SourceRow(const Source& src, int y, std::vector<uint8_t>& unpack) {
    const uint8_t* row = src.Row(y);
    if (src.bpp == 8) return row;
    unpack.resize(static_cast<size_t>(src.width));
    if (src.bpp == 4) {
        for (int x = 0; x < src.width; ++x)
            unpack[static_cast<size_t>(x)] = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    } else {
        for (int x = 0; x < src.width; ++x) unpack[static_cast<size_t>(x)] = (row[x / 8] >> (7 - x % 8)) & 1;
    }
    return unpack.data();
}

// d[i] = lut[s[i]], eight at a time through a local buffer so that the stores cannot be taken
// for changes of the table.
void MapRow(uint8_t* d, const uint8_t* s, int n, const uint8_t* lut) {
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        uint8_t v[8];
        for (int k = 0; k < 8; ++k) v[k] = lut[s[i + k]];
        std::memcpy(d + i, v, 8);
    }
    for (; i < n; ++i) d[i] = lut[s[i]];
}

bool IsIdentity(const uint8_t lut[256]) {
    for (int i = 0; i < 256; ++i)
        if (lut[i] != i) return false;
    return true;
}

bool SameRgb(const RGBQUAD& q, const PALETTEENTRY& e) {
    return q.rgbRed == e.peRed && q.rgbGreen == e.peGreen && q.rgbBlue == e.peBlue;
}

// What source values become on the target. Colour tables that agree with the hardware palette
// entry for entry copy straight, as WinG bitmaps with an identity palette did.
void SurfaceLut(DcObj* sdc, const Surface& s, DcObj* ddc, const Surface& d, uint8_t lut[256]) {
    for (int i = 0; i < 256; ++i) lut[i] = static_cast<uint8_t>(i);
    if (s.space == Space::Mono) {
        if (d.space == Space::Mono) return;
        // Monochrome to colour: black pixels take the text colour, white ones the background.
        std::fill(lut, lut + 256, ResolveColour(ddc, d, ddc->st.textColour));
        lut[1] = ResolveColour(ddc, d, ddc->st.bkColour);
        return;
    }
    if (d.space == Space::Mono) {
        // Colour to monochrome: the source DC's background colour becomes white, all else black.
        const uint8_t bk = ResolveColour(sdc, s, sdc->st.bkColour);
        for (int i = 0; i < 256; ++i) lut[i] = i == bk ? 1 : 0;
        return;
    }
    const Display& disp = TheDisplay();
    if (s.space == Space::Device && d.space == Space::Device) return;
    for (int i = 0; i < 256; ++i) {
        if (s.space == Space::Table && d.space == Space::Device) {
            const RGBQUAD& q = s.table[i];
            if (!SameRgb(q, disp.HardwareEntry(i))) lut[i] = NearestValue(d, q.rgbRed, q.rgbGreen, q.rgbBlue);
        } else if (s.space == Space::Device) {  // to a colour table
            const PALETTEENTRY& e = disp.HardwareEntry(i);
            if (!SameRgb(d.table[i], e)) lut[i] = NearestValue(d, e.peRed, e.peGreen, e.peBlue);
        } else {  // table to table
            const RGBQUAD& q = s.table[i];
            const RGBQUAD& t = d.table[i];
            if (q.rgbRed != t.rgbRed || q.rgbGreen != t.rgbGreen || q.rgbBlue != t.rgbBlue)
                lut[i] = NearestValue(d, q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
    }
}

}  // namespace

Span MakeSpan(int origin, int extent) {
    if (extent <= -kMaxExtent || extent >= kMaxExtent) return Span{};
    int64_t start = extent >= 0 ? origin : int64_t(origin) + extent + 1;
    if (start < -kFar || start > kFar) return Span{};
    return Span{static_cast<int>(start), extent >= 0 ? extent : -extent, extent < 0};
}

uint8_t ApplyRop2(int rop2, uint8_t pen, uint8_t dst, uint8_t mask) {
    const unsigned code = static_cast<unsigned>(rop2 - 1), p = pen, d = dst;
    unsigned r = 0;
    if (code & 1) r |= ~p & ~d;
    if (code & 2) r |= ~p & d;
    if (code & 4) r |= p & ~d;
    if (code & 8) r |= p & d;
    return static_cast<uint8_t>(r & mask);
}

bool BrushValue(DcObj* dc, const Surface& s, HBRUSH brush, uint8_t& value) {
    const auto v = reinterpret_cast<uintptr_t>(brush);
    if (v >= 1 && v <= 32) {  // a system colour index + 1
        value = ResolveColour(dc, s, GetSysColor(static_cast<int>(v - 1)));
        return true;
    }
    BrushObj* b = GetBrush(brush);
    if (!b || b->style == BS_NULL) return false;
    value = ResolveColour(dc, s, b->colour);
    return true;
}

void Blit(const Target& t, Span dx, Span dy, const Source* src, Span sx, Span sy, bool mirrorX, bool mirrorY,
          const uint8_t* lut, DWORD rop, uint8_t pattern) {
    const unsigned code = (rop >> 16) & 0xFF;
    if (dx.length <= 0 || dy.length <= 0) return;
    if (!UsesSource(code)) src = nullptr;
    if (src && (sx.length <= 0 || sy.length <= 0)) return;
    if (lut && IsIdentity(lut)) lut = nullptr;
    const uint8_t mask = ValueMask(t.surface);

    // A copy within the same pixels reads from a copy of the source rows.
    Source local;
    std::vector<uint8_t> copy;
    if (src && src->aliasesTarget) {
        const int y0 = std::max(sy.start, src->rowsFrom);
        const int y1 = std::min(sy.start + sy.length, src->rowsTo);
        if (y0 >= y1) return;
        const auto rowBytes = static_cast<size_t>(src->width);
        copy.resize(rowBytes * static_cast<size_t>(y1 - y0));
        for (int y = y0; y < y1; ++y)
            std::memcpy(&copy[static_cast<size_t>(y - y0) * rowBytes], src->Row(y), rowBytes);
        local = *src;
        local.base = copy.data();
        local.pitch = static_cast<ptrdiff_t>(rowBytes);
        local.firstRow = -static_cast<ptrdiff_t>(y0) * local.pitch;
        local.rowsFrom = y0;
        local.rowsTo = y1;
        local.aliasesTarget = false;
        src = &local;
    }

    const RECT destRect{dx.start, dy.start, dx.start + dx.length, dy.start + dy.length};
    const bool straightColumns = src && sx.length == dx.length && !mirrorX;
    const uint8_t fill = code == kBlackness   ? 0
                         : code == kWhiteness ? mask
                                              : static_cast<uint8_t>(pattern & mask);
    std::vector<int> cols;
    std::vector<uint8_t> unpack;
    RECT touched{};
    for (const RECT& c : *t.clip) {
        RECT r;
        if (!IntersectRect(&r, &c, &destRect)) continue;
        int xFrom = r.left, xTo = r.right;
        const int shift = src ? sx.start - dx.start : 0;  // source x = x + shift on straight columns
        if (straightColumns) {
            xFrom = std::max(xFrom, -shift);
            xTo = std::min(xTo, src->width - shift);
            if (xFrom >= xTo) continue;
        } else if (src) {
            cols.resize(static_cast<size_t>(xTo - xFrom));
            for (int x = xFrom; x < xTo; ++x) {
                int k = x - dx.start;
                if (mirrorX) k = dx.length - 1 - k;
                cols[static_cast<size_t>(x - xFrom)] =
                    sx.start + static_cast<int>(int64_t(k) * sx.length / dx.length);
            }
            // The columns run one way, so those inside the source are one stretch: keep only it.
            size_t lo = 0, hi = cols.size();
            auto outside = [&](size_t i) { return cols[i] < 0 || cols[i] >= src->width; };
            while (lo < hi && outside(lo)) ++lo;
            while (hi > lo && outside(hi - 1)) --hi;
            if (lo >= hi) continue;
            cols.erase(cols.begin() + static_cast<ptrdiff_t>(hi), cols.end());
            cols.erase(cols.begin(), cols.begin() + static_cast<ptrdiff_t>(lo));
            xTo = xFrom + static_cast<int>(hi);
            xFrom += static_cast<int>(lo);
        }
        bool drew = false;
        for (int y = r.top; y < r.bottom; ++y) {
            const uint8_t* srow = nullptr;
            if (src) {
                int k = y - dy.start;
                if (mirrorY) k = dy.length - 1 - k;
                const int syy = sy.start + static_cast<int>(int64_t(k) * sy.length / dy.length);
                if (syy < src->rowsFrom || syy >= src->rowsTo || syy < 0 || syy >= src->height) continue;
                srow = SourceRow(*src, syy, unpack);
            }
            uint8_t* drow = t.surface.Row(y);
            drew = true;
            if (!src) {
                if (code == kPatCopy || code == kBlackness || code == kWhiteness) {
                    std::memset(drow + xFrom, fill, static_cast<size_t>(xTo - xFrom));
                } else {
                    for (int x = xFrom; x < xTo; ++x) drow[x] = Rop3(code, pattern, 0, drow[x]) & mask;
                }
            } else if (straightColumns) {
                const uint8_t* s = srow + (xFrom + shift);
                uint8_t* d = drow + xFrom;
                const int n = xTo - xFrom;
                if (code == kSrcCopy && !lut) {
                    std::memcpy(d, s, static_cast<size_t>(n));
                } else if (code == kSrcCopy) {
                    MapRow(d, s, n, lut);
                } else {
                    for (int i = 0; i < n; ++i)
                        d[i] = Rop3(code, pattern, lut ? lut[s[i]] : s[i], d[i]) & mask;
                }
            } else {
                uint8_t* d = drow + xFrom;
                const int* col = cols.data();
                const int n = xTo - xFrom;
                if (code == kSrcCopy && !lut) {
                    for (int i = 0; i < n; ++i) d[i] = srow[col[i]];
                } else if (code == kSrcCopy) {
                    for (int i = 0; i < n; ++i) d[i] = lut[srow[col[i]]];
                } else {
                    for (int i = 0; i < n; ++i) {
                        const uint8_t v = lut ? lut[srow[col[i]]] : srow[col[i]];
                        d[i] = Rop3(code, pattern, v, d[i]) & mask;
                    }
                }
            }
        }
        if (!drew) continue;
        const RECT drawn{xFrom, r.top, xTo, r.bottom};
        UnionRect(&touched, &touched, &drawn);
    }
    if (!IsRectEmpty(&touched)) Touched(t, touched);
}

}  // namespace plat::gdi

using namespace plat::gdi;

namespace {

bool ValidExtent(int v) {
    return v > -kMaxExtent && v < kMaxExtent;
}

}  // namespace

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC srcDc, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop) {
    DcObj* dc = GetDcObj(dest);
    if (!dc || !ValidExtent(width) || !ValidExtent(height) || !ValidExtent(srcWidth) ||
        !ValidExtent(srcHeight))
        return FALSE;
    const unsigned code = (rop >> 16) & 0xFF;
    Surface ss;
    POINT so;
    DcObj* sdc = nullptr;
    if (UsesSource(code)) {
        sdc = GetDcObj(srcDc);
        if (!sdc || !SurfaceOf(sdc, ss, so)) return FALSE;
    }
    Target t;
    if (!GetTarget(dc, t)) return FALSE;
    uint8_t pattern = 0;
    if (!BrushValue(dc, t.surface, dc->st.brush, pattern) && UsesPattern(code)) return TRUE;  // null brush
    const POINT d = ToDevice(dc->st, x, y);
    const Span dx = MakeSpan(d.x + t.origin.x, width), dy = MakeSpan(d.y + t.origin.y, height);
    if (!sdc) {
        Blit(t, dx, dy, nullptr, Span{}, Span{}, false, false, nullptr, rop, pattern);
        return TRUE;
    }
    Source src;
    src.base = ss.base;
    src.pitch = ss.pitch;
    src.width = ss.width;
    src.height = ss.height;
    src.rowsTo = ss.height;
    src.aliasesTarget = ss.base == t.surface.base;
    const POINT s = ToDevice(sdc->st, xSrc, ySrc);
    const Span sx = MakeSpan(s.x + so.x, srcWidth), sy = MakeSpan(s.y + so.y, srcHeight);
    uint8_t lut[256];
    SurfaceLut(sdc, ss, dc, t.surface, lut);
    Blit(t, dx, dy, &src, sx, sy, dx.mirrored != sx.mirrored, dy.mirrored != sy.mirrored, lut, rop, pattern);
    return TRUE;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    return StretchBlt(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    if (UsesSource((rop >> 16) & 0xFF)) return FALSE;
    return StretchBlt(hdc, x, y, width, height, nullptr, 0, 0, width, height, rop);
}

BOOL ScrollDC(HDC hdc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return FALSE;
    RECT area;
    if (scroll)
        area = *scroll;
    else
        GetClipBox(hdc, &area);
    RECT limit = area;
    if (clip) IntersectRect(&limit, &area, clip);
    // Copy with the destination limited to the clip rectangle.
    const int saved = SaveDC(hdc);
    IntersectClipRect(hdc, limit.left, limit.top, limit.right, limit.bottom);
    BitBlt(hdc, area.left + dx, area.top + dy, area.right - area.left, area.bottom - area.top, hdc, area.left,
           area.top, SRCCOPY);
    RestoreDC(hdc, saved);
    // What the move uncovered inside the limit.
    std::vector<RECT> uncovered;
    if (!IsRectEmpty(&limit)) uncovered.push_back(limit);
    plat::CutFromRects(uncovered, plat::Offset(area, dx, dy));
    if (RegionObj* rgn = GetRegion(update)) rgn->rects = uncovered;
    if (updateRect) *updateRect = plat::BoundingRect(uncovered);
    return TRUE;
}
