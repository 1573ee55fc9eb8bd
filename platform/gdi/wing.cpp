#include "platform/gdi/wing.h"

#include <cstring>

#include "platform/core/display.h"
#include "platform/gdi/gdi_internal.h"

namespace plat::wing {

HDC WinGCreateDC() {
    return CreateCompatibleDC(nullptr);
}

BOOL WinGRecommendDIBFormat(BITMAPINFO* format) {
    if (!format) return FALSE;
    BITMAPINFOHEADER& h = format->bmiHeader;
    h = BITMAPINFOHEADER{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = 1;
    h.biHeight = -1;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    return TRUE;
}

HBITMAP WinGCreateBitmap(HDC winGDC, const BITMAPINFO* header, void** bits) {
    if (!header || header->bmiHeader.biBitCount != 8) return nullptr;
    return CreateDIBSection(winGDC, header, DIB_RGB_COLORS, bits, nullptr, 0);
}

void* WinGGetDIBPointer(HBITMAP bitmap, BITMAPINFO* header) {
    gdi::BitmapObj* b = gdi::GetBitmap(bitmap);
    if (!b || !b->dib) return nullptr;
    if (header) header->bmiHeader = b->header;
    return b->pixels.get();
}

UINT WinGGetDIBColorTable(HDC winGDC, UINT start, UINT count, RGBQUAD* colours) {
    return GetDIBColorTable(winGDC, start, count, colours);
}

UINT WinGSetDIBColorTable(HDC winGDC, UINT start, UINT count, const RGBQUAD* colours) {
    return SetDIBColorTable(winGDC, start, count, colours);
}

HPALETTE WinGCreateHalftonePalette() {
    struct {
        WORD version = 0x300;
        WORD count = 256;
        PALETTEENTRY entries[256];
    } lp;
    const auto& statics = StaticColours();
    for (int i = 0; i < kNumStatic; ++i) lp.entries[StaticIndex(i)] = statics[static_cast<size_t>(i)];
    int k = 10;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                lp.entries[k++] = PALETTEENTRY{static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51),
                                               static_cast<BYTE>(b * 51), PC_NOCOLLAPSE};
    for (int i = 0; k <= 245; ++i, ++k) {
        auto v = static_cast<BYTE>(12 + i * 12);
        lp.entries[k] = PALETTEENTRY{v, v, v, PC_NOCOLLAPSE};
    }
    LOGPALETTE* logical = reinterpret_cast<LOGPALETTE*>(&lp);
    return CreatePalette(logical);
}

HBRUSH WinGCreateHalftoneBrush(HDC, COLORREF colour, WING_DITHER_TYPE) {
    return CreateSolidBrush(PALETTERGB(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
}

BOOL WinGBitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc) {
    return BitBlt(dest, x, y, width, height, src, xSrc, ySrc, SRCCOPY);
}

BOOL WinGStretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight) {
    return StretchBlt(dest, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, SRCCOPY);
}

}  // namespace plat::wing
