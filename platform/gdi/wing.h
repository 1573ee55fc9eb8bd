// The WinG stand-in behind "WING32.DLL": programs reach these through LoadLibrary and
// GetProcAddress (platform/gdi/library.h); the typedefs name the entry points' types.
//
// A WinG DC is a memory DC; a WinG bitmap is an 8-bit DIB section (colour table of RGB colours)
// that the program selects into it. Blits from it whose colour table equals the hardware palette
// entry for entry copy indices straight, as WinG did with an identity palette.
#pragma once

#include "platform/gdi/wingdi.h"

enum WING_DITHER_TYPE { WING_DISPERSED_4x4 = 0, WING_DISPERSED_8x8 = 1, WING_CLUSTERED_4x4 = 2 };

using WinGCreateDCProc = HDC (*)();
using WinGRecommendDIBFormatProc = BOOL (*)(BITMAPINFO*);
using WinGCreateBitmapProc = HBITMAP (*)(HDC, const BITMAPINFO*, void**);
using WinGGetDIBPointerProc = void* (*)(HBITMAP, BITMAPINFO*);
using WinGGetDIBColorTableProc = UINT (*)(HDC, UINT, UINT, RGBQUAD*);
using WinGSetDIBColorTableProc = UINT (*)(HDC, UINT, UINT, const RGBQUAD*);
using WinGCreateHalftonePaletteProc = HPALETTE (*)();
using WinGCreateHalftoneBrushProc = HBRUSH (*)(HDC, COLORREF, WING_DITHER_TYPE);
using WinGBitBltProc = BOOL (*)(HDC, int, int, int, int, HDC, int, int);
using WinGStretchBltProc = BOOL (*)(HDC, int, int, int, int, HDC, int, int, int, int);

namespace plat::wing {

HDC WinGCreateDC();
// 8 bits, top-down (biHeight -1), uncompressed.
BOOL WinGRecommendDIBFormat(BITMAPINFO* format);
// An 8-bit DIB section with the header's 256 RGB colours; not selected anywhere yet.
HBITMAP WinGCreateBitmap(HDC winGDC, const BITMAPINFO* header, void** bits);
// The pixels of a WinG bitmap; header (the BITMAPINFOHEADER only) filled when given.
void* WinGGetDIBPointer(HBITMAP bitmap, BITMAPINFO* header);
// The colour table of the bitmap selected into the WinG DC.
UINT WinGGetDIBColorTable(HDC winGDC, UINT start, UINT count, RGBQUAD* colours);
UINT WinGSetDIBColorTable(HDC winGDC, UINT start, UINT count, const RGBQUAD* colours);
// Statics, a 6 x 6 x 6 colour cube in 10-225 and a grey ramp in 226-245.
HPALETTE WinGCreateHalftonePalette();
// A solid brush of the nearest colour of the DC's palette (no dithering).
HBRUSH WinGCreateHalftoneBrush(HDC dc, COLORREF colour, WING_DITHER_TYPE dither);
BOOL WinGBitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc);
BOOL WinGStretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight);

}  // namespace plat::wing
