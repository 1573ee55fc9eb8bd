// Device-independent bitmaps in caller memory: header checks, colour translation and the two
// calls that draw them (StretchDIBits, SetDIBitsToDevice).
#include <climits>
#include <cstring>

#include "platform/core/display.h"
#include "platform/gdi/gdi_internal.h"

namespace plat::gdi {

bool ParseDib(const BITMAPINFO* bmi, UINT usage, DibInfo& out) {
    if (!bmi || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return false;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    // Only the header sizes Windows defines: the colour table follows the header.
    if (h.biSize != 40 && h.biSize != 108 && h.biSize != 124) return false;
    if (h.biPlanes != 1 || h.biCompression != BI_RGB) return false;
    if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8) return false;
    if (h.biWidth <= 0 || h.biWidth > kMaxBitmapSide) return false;
    if (h.biHeight == 0 || h.biHeight == INT32_MIN || h.biHeight > kMaxBitmapSide ||
        h.biHeight < -kMaxBitmapSide)
        return false;
    const DWORD maxColours = DWORD(1) << h.biBitCount;
    if (h.biClrUsed > maxColours) return false;
    out.width = h.biWidth;
    out.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    out.topDown = h.biHeight < 0;
    out.bpp = h.biBitCount;
    out.stride = static_cast<size_t>((int64_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    out.colours = static_cast<int>(h.biClrUsed ? h.biClrUsed : maxColours);
    out.table = reinterpret_cast<const uint8_t*>(bmi) + h.biSize;
    return true;
}

void DibLut(DcObj* dc, const Surface& s, const DibInfo& dib, UINT usage, uint8_t lut[256]) {
    PaletteObj* pal = DcPalette(dc);
    for (int v = 0; v < 256; ++v) {
        // Values past the colour table take its first entry.
        const int i = v < dib.colours ? v : 0;
        if (usage == DIB_PAL_COLORS) {
            WORD index;
            std::memcpy(&index, dib.table + 2 * i, 2);
            if (s.space == Space::Device) {
                lut[v] = LogicalToHardware(pal, index);
            } else {
                const PALETTEENTRY& e = pal->entries[index < pal->entries.size() ? index : 0];
                lut[v] = NearestValue(s, e.peRed, e.peGreen, e.peBlue);
            }
        } else {
            RGBQUAD q;
            std::memcpy(&q, dib.table + 4 * i, 4);
            if (v > 0 && i == 0) {
                lut[v] = lut[0];
                continue;
            }
            lut[v] = NearestValue(s, q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
    }
}

namespace {

// The DIB's rows that the bits hold, as a source addressed top row first. Bottom-up bits hold
// rows counted from the bottom: [first, first + count).
Source DibSource(const DibInfo& dib, const void* bits, int first, int count) {
    Source src;
    src.base = static_cast<const uint8_t*>(bits);
    src.width = dib.width;
    src.height = dib.height;
    src.bpp = dib.bpp;
    const auto stride = static_cast<ptrdiff_t>(dib.stride);
    if (dib.topDown) {
        src.pitch = stride;
        src.firstRow = -stride * first;
        src.rowsFrom = first;
        src.rowsTo = first + count;
    } else {
        src.pitch = -stride;
        // Top row y is DIB row (height - 1 - y), which lies (height - 1 - y - first) rows in.
        src.firstRow = stride * (dib.height - 1 - first);
        src.rowsFrom = dib.height - first - count;
        src.rowsTo = dib.height - first;
    }
    if (src.rowsFrom < 0) src.rowsFrom = 0;
    if (src.rowsTo > dib.height) src.rowsTo = dib.height;
    return src;
}

// A span of DIB rows in the DIB's own y (from its first row in memory) as top-down rows.
Span DibRows(const DibInfo& dib, Span rows) {
    if (!dib.topDown) rows.start = dib.height - (rows.start + rows.length);
    return rows;
}

bool ValidExtent(int v) {
    return v > -kMaxExtent && v < kMaxExtent;
}

}  // namespace
}  // namespace plat::gdi

using namespace plat::gdi;

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage,
                  DWORD rop) {
    DcObj* dc = GetDcObj(hdc);
    DibInfo dib;
    if (!dc || !bits || !ParseDib(bmi, usage, dib)) return 0;
    if (!ValidExtent(destWidth) || !ValidExtent(destHeight) || !ValidExtent(srcWidth) ||
        !ValidExtent(srcHeight))
        return 0;
    Target t;
    if (!GetTarget(dc, t)) return 0;
    uint8_t pattern = 0;
    BrushValue(dc, t.surface, dc->st.brush, pattern);
    uint8_t lut[256];
    DibLut(dc, t.surface, dib, usage, lut);
    Source src = DibSource(dib, bits, 0, dib.height);
    POINT d = ToDevice(dc->st, xDest, yDest);
    Span dx = MakeSpan(d.x + t.origin.x, destWidth), dy = MakeSpan(d.y + t.origin.y, destHeight);
    Span sx = MakeSpan(xSrc, srcWidth), sy = DibRows(dib, MakeSpan(ySrc, srcHeight));
    Blit(t, dx, dy, &src, sx, sy, dx.mirrored != sx.mirrored, dy.mirrored != sy.mirrored, lut, rop, pattern);
    return srcHeight < 0 ? -srcHeight : srcHeight;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage) {
    DcObj* dc = GetDcObj(hdc);
    DibInfo dib;
    if (!dc || !bits || !ParseDib(bmi, usage, dib)) return 0;
    if (width >= static_cast<DWORD>(kMaxExtent) || height >= static_cast<DWORD>(kMaxExtent) ||
        startScan >= static_cast<UINT>(dib.height) || lines == 0)
        return 0;
    if (lines > static_cast<UINT>(dib.height) - startScan) lines = static_cast<UINT>(dib.height) - startScan;
    Target t;
    if (!GetTarget(dc, t)) return 0;
    uint8_t lut[256];
    DibLut(dc, t.surface, dib, usage, lut);
    Source src = DibSource(dib, bits, static_cast<int>(startScan), static_cast<int>(lines));
    POINT d = ToDevice(dc->st, xDest, yDest);
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    Span dx = MakeSpan(d.x + t.origin.x, w), dy = MakeSpan(d.y + t.origin.y, h);
    Span sx = MakeSpan(xSrc, w), sy = DibRows(dib, MakeSpan(ySrc, h));
    Blit(t, dx, dy, &src, sx, sy, false, false, lut, SRCCOPY, 0);
    return static_cast<int>(lines);
}
