// GDI text: fonts made from the text layer's bitmap faces, metrics, measuring and text output
// into any DC (1-bit and 8-bit memory bitmaps, DIB sections, windows, the screen). Windows
// names and values; UI thread only. Text is Windows-1252 bytes. Output is monochrome and
// pixel-exact: a glyph's ink pixels take the text colour, nothing is blended.
#pragma once

#include <memory>

#include "platform/gdi/wingdi.h"

namespace plat {
struct BitmapFace;
}

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 0;
    LONG tmDigitizedAspectY = 0;
    BYTE tmFirstChar = 0;
    BYTE tmLastChar = 0;
    BYTE tmDefaultChar = 0;
    BYTE tmBreakChar = 0;
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};
static_assert(sizeof(TEXTMETRIC) == 56);
using TEXTMETRICA = TEXTMETRIC;

// LOGFONT values the programs pass; only the face name, height, width, weight, italic,
// underline and strike-out choose or change the face.
enum : BYTE { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255 };
enum : BYTE {
    OUT_DEFAULT_PRECIS = 0,
    OUT_STRING_PRECIS = 1,
    OUT_CHARACTER_PRECIS = 2,
    OUT_STROKE_PRECIS = 3,
    OUT_TT_PRECIS = 4,
    OUT_DEVICE_PRECIS = 5,
    OUT_RASTER_PRECIS = 6,
    OUT_TT_ONLY_PRECIS = 7,
};
enum : BYTE { CLIP_DEFAULT_PRECIS = 0 };
enum : BYTE { DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2 };
enum : BYTE { DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2 };
enum : BYTE { FF_DONTCARE = 0x00, FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30 };
enum : int {
    FW_DONTCARE = 0,
    FW_THIN = 100,
    FW_LIGHT = 300,
    FW_NORMAL = 400,
    FW_MEDIUM = 500,
    FW_SEMIBOLD = 600,
    FW_BOLD = 700,
    FW_HEAVY = 900
};

// ExtTextOut options.
enum : UINT { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };

// DrawText formats.
enum : UINT {
    DT_TOP = 0x0000,
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,  // with DT_SINGLELINE only
    DT_BOTTOM = 0x0008,   // with DT_SINGLELINE only
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_TABSTOP = 0x0080,  // tab stops every (format >> 8) & 0xFF average widths instead of 8
    DT_NOCLIP = 0x0100,
    DT_EXTERNALLEADING = 0x0200,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
};

// Fonts. The face is chosen once, when the font is made: among faces of the asked name
// (case-insensitive) the nearest in height, then weight, slant and width; an unknown name
// gets the dialog face. Raster faces are never scaled; bold and italic are simulated.
HFONT CreateFontIndirect(const LOGFONT* lf);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);
inline HFONT CreateFontIndirectA(const LOGFONT* lf) {
    return CreateFontIndirect(lf);
}
inline HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                         DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
    return CreateFont(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                      outPrecision, clipPrecision, quality, pitchAndFamily, faceName);
}

// Metrics and measuring of the DC's selected font.
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm);
inline BOOL GetTextMetricsA(HDC hdc, TEXTMETRIC* tm) {
    return GetTextMetrics(hdc, tm);
}
// The sum of the characters' advances, and the cell height.
BOOL GetTextExtentPoint(HDC hdc, LPCSTR text, int count, SIZE* size);
BOOL GetTextExtentPoint32(HDC hdc, LPCSTR text, int count, SIZE* size);
inline BOOL GetTextExtentPointA(HDC hdc, LPCSTR text, int count, SIZE* size) {
    return GetTextExtentPoint(hdc, text, count, size);
}
inline BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, SIZE* size) {
    return GetTextExtentPoint32(hdc, text, count, size);
}
BOOL GetCharWidth(HDC hdc, UINT first, UINT last, int* widths);
inline BOOL GetCharWidth32(HDC hdc, UINT first, UINT last, int* widths) {
    return GetCharWidth(hdc, first, last, widths);
}
// The name of the face the selected font uses. A null buffer asks for the length + 1.
int GetTextFace(HDC hdc, int size, LPSTR name);
inline int GetTextFaceA(HDC hdc, int size, LPSTR name) {
    return GetTextFace(hdc, size, name);
}

// Output in the DC's text colour; in OPAQUE background mode the character cells are filled
// with the background colour first. Honours the text alignment (TA_LEFT/CENTER/RIGHT,
// TA_TOP/BOTTOM/BASELINE, TA_UPDATECP).
BOOL TextOut(HDC hdc, int x, int y, LPCSTR text, int count);
inline BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
    return TextOut(hdc, x, y, text, count);
}
// ETO_OPAQUE fills rect with the background colour whatever the mode; ETO_CLIPPED clips the
// text to rect; dx (may be null) gives each character's advance.
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                const INT* dx);
inline BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                        const INT* dx) {
    return ExtTextOut(hdc, x, y, options, rect, text, count, dx);
}
// Text in a rectangle: lines broken at CR, LF and CR LF (and at blanks with DT_WORDBREAK);
// "&x" underlines x unless DT_NOPREFIX ("&&" is one "&"). Returns the height of the text
// (with DT_VCENTER or DT_BOTTOM: from rect's top to the bottom of the text), 0 on failure.
// DT_CALCRECT draws nothing and sets rect's right and bottom to the text's extent.
int DrawText(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format);
inline int DrawTextA(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format) {
    return DrawText(hdc, text, count, rect, format);
}

namespace plat {

// The face a font draws with (stock fonts: the dialog face at their size); null for a handle
// that is not a font.
std::shared_ptr<const BitmapFace> FaceOfFont(HFONT font);
// The face of the font selected into the DC; null for an invalid DC.
std::shared_ptr<const BitmapFace> SelectedFace(HDC hdc);

}  // namespace plat

// Font files by the program's file name: a DOS path ("C:\...", relative to the current
// folder, Windows-1252) mapped onto the host's file before the text layer reads it. The
// number of faces added / TRUE; 0 / FALSE and GetLastError (ERROR_FILE_NOT_FOUND,
// ERROR_BAD_FORMAT, ERROR_INVALID_PARAMETER) on failure.
int AddFontResourceA(LPCSTR fileName);
BOOL RemoveFontResourceA(LPCSTR fileName);
inline int AddFontResource(LPCSTR fileName) {
    return AddFontResourceA(fileName);
}
inline BOOL RemoveFontResource(LPCSTR fileName) {
    return RemoveFontResourceA(fileName);
}
