// GDI of the platform: device contexts, drawing objects, bitmaps, logical palettes and the
// blits that put 8-bit pictures on the 256-colour palette display (platform/core/display.h).
// Windows names and values; UI thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/core/wintypes.h"
#include "platform/core/winuser.h"

// ---- Structures -----------------------------------------------------------------------------

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};
static_assert(sizeof(RGBQUAD) == 4);

struct BITMAPINFOHEADER {
    DWORD biSize = 0;
    LONG biWidth = 0;
    LONG biHeight = 0;  // positive: bottom-up rows; negative: top-down rows
    WORD biPlanes = 0;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// The header followed by the colour table (RGBQUADs, or WORD palette indices for DIB_PAL_COLORS).
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType = 0;
    DWORD bfSize = 0;
    WORD bfReserved1 = 0;
    WORD bfReserved2 = 0;
    DWORD bfOffBits = 0;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;  // word-aligned for device bitmaps, 4-byte aligned for DIB sections
    WORD bmPlanes = 0;
    WORD bmBitsPixel = 0;
    LPVOID bmBits = nullptr;  // DIB sections only
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3] = {0, 0, 0};
    HANDLE dshSection = nullptr;
    DWORD dsOffset = 0;
};

struct LOGPALETTE {
    WORD palVersion = 0x300;
    WORD palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};

struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
    uintptr_t lbHatch = 0;
};

struct LOGPEN {
    UINT lopnStyle = 0;
    POINT lopnWidth;
    COLORREF lopnColor = 0;
};

constexpr int LF_FACESIZE = 32;
struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};  // Windows-1252
};
static_assert(sizeof(LOGFONT) == 60);
using LOGFONTA = LOGFONT;

struct ICONINFO {
    BOOL fIcon = FALSE;
    DWORD xHotspot = 0;
    DWORD yHotspot = 0;
    HBITMAP hbmMask = nullptr;   // 1 bit: set = transparent (AND mask)
    HBITMAP hbmColor = nullptr;  // null: hbmMask is twice as tall, AND mask then XOR mask
};

// The device mode record: 148 bytes, as Windows 95 has it.
constexpr int CCHDEVICENAME = 32;
constexpr int CCHFORMNAME = 32;
struct DEVMODE {
    char dmDeviceName[CCHDEVICENAME] = {};
    WORD dmSpecVersion = 0;
    WORD dmDriverVersion = 0;
    WORD dmSize = 0;
    WORD dmDriverExtra = 0;
    DWORD dmFields = 0;
    int16_t dmOrientation = 0;
    int16_t dmPaperSize = 0;
    int16_t dmPaperLength = 0;
    int16_t dmPaperWidth = 0;
    int16_t dmScale = 0;
    int16_t dmCopies = 0;
    int16_t dmDefaultSource = 0;
    int16_t dmPrintQuality = 0;
    int16_t dmColor = 0;
    int16_t dmDuplex = 0;
    int16_t dmYResolution = 0;
    int16_t dmTTOption = 0;
    int16_t dmCollate = 0;
    char dmFormName[CCHFORMNAME] = {};
    WORD dmLogPixels = 0;
    DWORD dmBitsPerPel = 0;
    DWORD dmPelsWidth = 0;
    DWORD dmPelsHeight = 0;
    DWORD dmDisplayFlags = 0;
    DWORD dmDisplayFrequency = 0;
    DWORD dmICMMethod = 0;
    DWORD dmICMIntent = 0;
    DWORD dmMediaType = 0;
    DWORD dmDitherType = 0;
    DWORD dmReserved1 = 0;
    DWORD dmReserved2 = 0;
};
static_assert(sizeof(DEVMODE) == 148);
using DEVMODEA = DEVMODE;
using LPDEVMODE = DEVMODE*;

inline constexpr DWORD DM_ORIENTATION = 0x00000001;
inline constexpr DWORD DM_PAPERSIZE = 0x00000002;
inline constexpr DWORD DM_PAPERLENGTH = 0x00000004;
inline constexpr DWORD DM_PAPERWIDTH = 0x00000008;
inline constexpr DWORD DM_SCALE = 0x00000010;
inline constexpr DWORD DM_COPIES = 0x00000100;
inline constexpr DWORD DM_DEFAULTSOURCE = 0x00000200;
inline constexpr DWORD DM_PRINTQUALITY = 0x00000400;
inline constexpr DWORD DM_COLOR = 0x00000800;
inline constexpr DWORD DM_DUPLEX = 0x00001000;
inline constexpr DWORD DM_YRESOLUTION = 0x00002000;
inline constexpr DWORD DM_TTOPTION = 0x00004000;
inline constexpr DWORD DM_COLLATE = 0x00008000;
inline constexpr DWORD DM_FORMNAME = 0x00010000;
inline constexpr DWORD DM_BITSPERPEL = 0x00040000;
inline constexpr DWORD DM_PELSWIDTH = 0x00080000;
inline constexpr DWORD DM_PELSHEIGHT = 0x00100000;
inline constexpr DWORD DM_DISPLAYFLAGS = 0x00200000;
inline constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;
inline constexpr WORD DM_SPECVERSION = 0x0400;
inline constexpr int16_t DMORIENT_PORTRAIT = 1;
inline constexpr int16_t DMORIENT_LANDSCAPE = 2;
inline constexpr int16_t DMPAPER_LETTER = 1;
inline constexpr int16_t DMPAPER_A4 = 9;
inline constexpr int16_t DMCOLOR_MONOCHROME = 1;
inline constexpr int16_t DMCOLOR_COLOR = 2;
inline constexpr int16_t DMRES_DRAFT = -1;
inline constexpr int16_t DMRES_LOW = -2;
inline constexpr int16_t DMRES_MEDIUM = -3;
inline constexpr int16_t DMRES_HIGH = -4;

// ---- Constants ------------------------------------------------------------------------------

enum : DWORD { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };
enum : UINT { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };

// Ternary raster operations.
enum : DWORD {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328,
    NOTSRCCOPY = 0x00330008,
    NOTSRCERASE = 0x001100A6,
    MERGECOPY = 0x00C000CA,
    MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021,
    PATPAINT = 0x00FB0A09,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
};

// Binary raster operations of pens (SetROP2).
enum : int {
    R2_BLACK = 1,
    R2_NOTMERGEPEN = 2,
    R2_MASKNOTPEN = 3,
    R2_NOTCOPYPEN = 4,
    R2_MASKPENNOT = 5,
    R2_NOT = 6,
    R2_XORPEN = 7,
    R2_NOTMASKPEN = 8,
    R2_MASKPEN = 9,
    R2_NOTXORPEN = 10,
    R2_NOP = 11,
    R2_MERGENOTPEN = 12,
    R2_COPYPEN = 13,
    R2_MERGEPENNOT = 14,
    R2_MERGEPEN = 15,
    R2_WHITE = 16,
};

// Stock objects.
enum : int {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    HOLLOW_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    OEM_FIXED_FONT = 10,
    ANSI_FIXED_FONT = 11,
    ANSI_VAR_FONT = 12,
    SYSTEM_FONT = 13,
    DEVICE_DEFAULT_FONT = 14,
    DEFAULT_PALETTE = 15,
    SYSTEM_FIXED_FONT = 16,
    DEFAULT_GUI_FONT = 17,
};

// GetObjectType / GetCurrentObject.
enum : DWORD {
    OBJ_PEN = 1,
    OBJ_BRUSH = 2,
    OBJ_DC = 3,
    OBJ_PAL = 5,
    OBJ_FONT = 6,
    OBJ_BITMAP = 7,
    OBJ_REGION = 8,
    OBJ_MEMDC = 10,
};

enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1 };
enum : UINT {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6
};

enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
enum : int { MM_TEXT = 1 };
enum : UINT {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24
};

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr int GDI_ERROR = -1;

// Region results and CombineRgn modes.
enum : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = 0 };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

// GetDeviceCaps.
enum : int {
    DRIVERVERSION = 0,
    TECHNOLOGY = 2,
    HORZSIZE = 4,
    VERTSIZE = 6,
    HORZRES = 8,
    VERTRES = 10,
    BITSPIXEL = 12,
    PLANES = 14,
    NUMBRUSHES = 16,
    NUMPENS = 18,
    NUMMARKERS = 20,
    NUMFONTS = 22,
    NUMCOLORS = 24,
    PDEVICESIZE = 26,
    CURVECAPS = 28,
    LINECAPS = 30,
    POLYGONALCAPS = 32,
    TEXTCAPS = 34,
    CLIPCAPS = 36,
    RASTERCAPS = 38,
    ASPECTX = 40,
    ASPECTY = 42,
    ASPECTXY = 44,
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
    SIZEPALETTE = 104,
    NUMRESERVED = 106,
    COLORRES = 108,
    PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112,
    PHYSICALOFFSETY = 113,
    VREFRESH = 116,
    DESKTOPVERTRES = 117,
    DESKTOPHORZRES = 118,
    BLTALIGNMENT = 119,
};
enum : int { DT_PLOTTER = 0, DT_RASDISPLAY = 1, DT_RASPRINTER = 2 };
enum : int {
    RC_BITBLT = 0x0001,
    RC_BANDING = 0x0002,
    RC_SCALING = 0x0004,
    RC_BITMAP64 = 0x0008,
    RC_GDI20_OUTPUT = 0x0010,
    RC_DI_BITMAP = 0x0080,
    RC_PALETTE = 0x0100,
    RC_DIBTODEV = 0x0200,
    RC_BIGFONT = 0x0400,
    RC_STRETCHBLT = 0x0800,
    RC_FLOODFILL = 0x1000,
    RC_STRETCHDIB = 0x2000,
};
enum : int { CP_NONE = 0, CP_RECTANGLE = 1 };

enum : UINT { SYSPAL_ERROR = 0, SYSPAL_STATIC = 1, SYSPAL_NOSTATIC = 2 };

// ---- Objects --------------------------------------------------------------------------------

HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);  // a region is selected as the clip region
BOOL DeleteObject(HGDIOBJ obj);              // FALSE while the object is selected into a DC
int GetObject(HGDIOBJ obj, int size, LPVOID out);
DWORD GetObjectType(HGDIOBJ obj);
inline DWORD GetObjectType(HDC hdc) {
    return GetObjectType(reinterpret_cast<HGDIOBJ>(hdc));
}
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
BOOL UnrealizeObject(HGDIOBJ obj);

HBRUSH CreateSolidBrush(COLORREF colour);  // RGB, PALETTEINDEX or PALETTERGB
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HBRUSH GetSysColorBrush(int index);
HPEN CreatePen(int style, int width, COLORREF colour);
HPEN CreatePenIndirect(const LOGPEN* lp);

// Rectangle regions (a list of non-overlapping rectangles).
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* r);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int GetRgnBox(HRGN rgn, RECT* r);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* r);
BOOL EqualRgn(HRGN a, HRGN b);

// ---- Device contexts ------------------------------------------------------------------------

// GetDC(nullptr) and GetDC(GetDesktopWindow()) give the whole screen.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
HWND WindowFromDC(HDC hdc);
// BeginPaint takes the update area, sends WM_ERASEBKGND when it asks for erasing, and clips
// the DC to the update area.
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// Only the display: driver "DISPLAY" or device "DISPLAY" (case-insensitive).
HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devMode);
HDC CreateIC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devMode);
// A memory DC with the 1 x 1 monochrome bitmap selected.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int saved);  // saved < 0: relative to the current level
int GetDeviceCaps(HDC hdc, int index);
BOOL GdiFlush();

COLORREF SetTextColor(HDC hdc, COLORREF colour);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF colour);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);  // kept; stretching is always nearest-neighbour
int GetStretchBltMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetMapMode(HDC hdc, int mode);  // MM_TEXT only
int GetMapMode(HDC hdc);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC hdc, POINT* p);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC hdc, POINT* p);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL LPtoDP(HDC hdc, POINT* points, int count);
BOOL DPtoLP(HDC hdc, POINT* points, int count);
BOOL GetDCOrgEx(HDC hdc, POINT* p);  // screen position of the DC's device origin
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC hdc, POINT* p);

// Clipping. Clip regions are in device units relative to the DC's origin.
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int SelectClipRgn(HDC hdc, HRGN rgn);  // nullptr removes the clip region
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
int OffsetClipRgn(HDC hdc, int dx, int dy);
int GetClipRgn(HDC hdc, HRGN rgn);  // 1 and rgn filled, 0 when the DC has no clip region
int GetClipBox(HDC hdc, RECT* r);
BOOL PtVisible(HDC hdc, int x, int y);
BOOL RectVisible(HDC hdc, const RECT* r);

// ---- Palettes -------------------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* lp);
HPALETTE SelectPalette(HDC hdc, HPALETTE pal, BOOL forceBackground);
// Maps the DC's palette onto the hardware palette; returns how many logical entries now map to
// another hardware entry or colour than before. A change of the hardware palette is broadcast
// as WM_PALETTECHANGED.
UINT RealizePalette(HDC hdc);
UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* out);
UINT SetPaletteEntries(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* in);
// Changes PC_RESERVED entries; where the palette owns hardware entries the screen changes at once.
BOOL AnimatePalette(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* in);
BOOL ResizePalette(HPALETTE pal, UINT count);
UINT GetNearestPaletteIndex(HPALETTE pal, COLORREF colour);
COLORREF GetNearestColor(HDC hdc, COLORREF colour);
UINT GetSystemPaletteEntries(HDC hdc, UINT start, UINT count, PALETTEENTRY* out);
UINT SetSystemPaletteUse(HDC hdc, UINT use);  // SYSPAL_STATIC only
UINT GetSystemPaletteUse(HDC hdc);

// ---- Bitmaps --------------------------------------------------------------------------------

// 1 bit (set bit = white) or 8 bits (hardware palette indices); rows of bits are word-aligned.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
// 8-bit DIBs only; section must be null.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
LONG SetBitmapBits(HBITMAP bmp, DWORD count, const void* bits);
LONG GetBitmapBits(HBITMAP bmp, LONG count, LPVOID bits);  // bits null: the size needed
UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* out);
UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* in);
HICON CreateIconIndirect(ICONINFO* info);
BOOL DestroyIcon(HICON icon);

// ---- Drawing --------------------------------------------------------------------------------

// Nearest-neighbour stretching; a negative width or height mirrors (the extent then runs back
// from the given coordinate, which is included). Source y of a DIB counts from its first row in
// memory: the bottom row for bottom-up DIBs, the top row for top-down ones.
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage,
                  DWORD rop);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
BOOL ScrollDC(HDC hdc, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect);
// A brush value from 1 to 31 is a system colour index + 1, as in window classes.
int FillRect(HDC hdc, const RECT* r, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* r);
BOOL DrawFocusRect(HDC hdc, const RECT* r);
BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL LineTo(HDC hdc, int x, int y);  // the end point is not drawn
BOOL Polyline(HDC hdc, const POINT* points, int count);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC hdc, int x, int y);

// ---- Display mode ---------------------------------------------------------------------------

// The display always shows 640 x 480 in 256 colours; a mode change decides only whether the
// back end fills the host's screen with it. CDS_FULLSCREEN with 640 x 480 (or the fields left
// out or 0) goes full screen until the mode is restored; flags without CDS_FULLSCREEN, or a null
// mode with flags 0, bring back the windowed desktop mode. Other sizes or depths are refused
// with DISP_CHANGE_BADMODE, unknown flags with DISP_CHANGE_BADFLAGS; CDS_TEST only checks.
// The call is exported by the always loaded built-in "USER32.DLL" (library.h).
inline constexpr DWORD CDS_UPDATEREGISTRY = 0x00000001;
inline constexpr DWORD CDS_TEST = 0x00000002;
inline constexpr DWORD CDS_FULLSCREEN = 0x00000004;
inline constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr LONG DISP_CHANGE_RESTART = 1;
inline constexpr LONG DISP_CHANGE_FAILED = -1;
inline constexpr LONG DISP_CHANGE_BADMODE = -2;
inline constexpr LONG DISP_CHANGE_NOTUPDATED = -3;
inline constexpr LONG DISP_CHANGE_BADFLAGS = -4;
LONG ChangeDisplaySettingsA(DEVMODE* mode, DWORD flags);
LONG ChangeDisplaySettings(DEVMODE* mode, DWORD flags);

namespace plat {

// Faces of fonts are made by the text layer; GDI only carries them in font objects.
class IFontFace {
public:
    virtual ~IFontFace() = default;
};
HFONT CreateFontObject(const LOGFONT& lf, std::shared_ptr<IFontFace> face);
IFontFace* FontFace(HFONT font);
bool SetFontFace(HFONT font, std::shared_ptr<IFontFace> face);  // stock fonts too
const LOGFONT* FontLogFont(HFONT font);

// Drawing seams for the text layer: a coverage mask (non-zero = ink) drawn in colour, and a solid
// fill, both in logical coordinates through the DC's clipping.
BOOL DrawMask(HDC hdc, int x, int y, int width, int height, const uint8_t* mask, int maskPitch,
              COLORREF colour);
BOOL FillSolid(HDC hdc, const RECT& r, COLORREF colour);

}  // namespace plat

// An icon (or cursor) drawn at (x, y) where its picture is opaque; FALSE for no picture.
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);

namespace plat {

// Clears the hardware palette: static colours kept, entries 10-245 black and unowned.
void ResetSystemPalette();
// Hardware index that logical entry i of pal maps to now (-1 when pal is invalid).
int HardwareIndexOf(HPALETTE pal, int i);

// Tests take other answers of GetDeviceCaps (a display without a palette, fewer colours).
void OverrideDeviceCaps(int index, int value);
void ClearDeviceCapsOverrides();

// Live objects and DCs, not counting stock objects (leak checks in tests).
int LiveGdiObjects();
// Frees every object and DC, resets the hardware palette, the device-caps overrides and the
// built-in libraries' load counts; tests call it between cases.
void ResetGdi();

}  // namespace plat
