// The drawing state every CDibG shares: whether pictures live in WinG bitmaps or in plain
// device-independent bitmaps, the row order of every surface, how colour tables are read, the
// one WinG DC and the colour tables of the last palette given to any surface. Set once by
// InitDibSystem when the main frame is created, dropped by ShutdownDibSystem; surfaces must not
// outlive it. User-interface thread only.
#pragma once

#include <cstdint>

#include "platform/gdi/wing.h"
#include "platform/gdi/wingdi.h"

class CDibG;
class CPalId;

// Row orientation: 1 = bottom-up rows (picture row 0 is the last row in memory), 2 = top-down.
inline constexpr int kBottomUp = 1;
inline constexpr int kTopDown = 2;

// A BITMAPINFO with a full table of 256 RGB colours.
struct DibInfoRgb {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};
static_assert(sizeof(DibInfoRgb) == 40 + 1024);

// A BITMAPINFO whose table holds the 16-bit palette indices of DIB_PAL_COLORS.
struct DibInfoIndex {
    BITMAPINFOHEADER header;
    uint16_t indices[256];
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};
static_assert(sizeof(DibInfoIndex) == 40 + 512);

struct WinGEntryPoints {
    WinGCreateDCProc createDC = nullptr;
    WinGCreateBitmapProc createBitmap = nullptr;
    WinGGetDIBPointerProc getDIBPointer = nullptr;
    WinGRecommendDIBFormatProc recommendDIBFormat = nullptr;
    WinGGetDIBColorTableProc getDIBColorTable = nullptr;
    WinGSetDIBColorTableProc setDIBColorTable = nullptr;
    WinGBitBltProc bitBlt = nullptr;
    WinGStretchBltProc stretchBlt = nullptr;
    WinGCreateHalftoneBrushProc createHalftoneBrush = nullptr;
    WinGCreateHalftonePaletteProc createHalftonePalette = nullptr;
};

struct DibSystem {
    bool winGTried = false;
    bool winGAvailable = false;
    bool winGInUse = false;
    int orientation = kBottomUp;
    // 1: plain DIBs carry palette indices and are drawn with DIB_PAL_COLORS; 0: RGB colours.
    int colourUsage = 0;
    HMODULE winGLibrary = nullptr;
    HDC winGDC = nullptr;
    WinGEntryPoints wing;
    HBITMAP displacedBitmap = nullptr;  // what the first surface selected into the WinG DC displaced
    CDibG* selectedSurface = nullptr;
    DibInfoRgb rgbHeader{};
    DibInfoIndex indexHeader{};
};

DibSystem& TheDibSystem();

// Called once by the main frame. profileMessage (may be null) is written to WIN.INI while the
// WinG library loads; winGOff keeps WinG from ever being loaded; a non-zero forcedOrientation
// overrides the row order WinG recommends.
void InitDibSystem(LPCSTR profileMessage, bool winGOff, int forcedOrientation);
// Deletes the WinG DC and frees the library.
void ShutdownDibSystem();
// Whether "WING32.DLL" loads with all ten entry points; tried once, then the cached answer.
bool LoadWinG(LPCSTR profileMessage);
// Takes the palette's colours into the shared headers (and realises it in the WinG DC).
void SetDibColorTable(CPalId* palette);
// Takes a palette that is about to be deleted out of the WinG DC.
void ReleaseDibPalette(HPALETTE palette);
// Picture printing draws with RGB colour tables while it renders and switches back after.
void SetDibColourUsage(int usage);
