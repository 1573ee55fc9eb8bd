// A program's bitmaps and icons, declared in its own source (pixel art or BMP file images) and
// registered at start by id, read back through Windows' resource calls (FindResource,
// LoadBitmap, LoadIcon); the icons Windows has built in (IDI_*). UI thread only.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

// ---- Windows' resource calls ---------------------------------------------------------------------
using HRSRC = struct HRSRC__*;
using HGLOBAL = HANDLE;
#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
// Bitmaps: "#239" or MAKEINTRESOURCE(239). The data is a packed DIB (header, colours, bits).
HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL data);
inline HRSRC FindResourceA(HMODULE m, LPCSTR n, LPCSTR t) {
    return FindResource(m, n, t);
}
// A DIB section made from the program's bitmap resource (its own colours), or null.
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);
// The program's icon, or a standard one (IDI_*); null when there is none.
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
inline HBITMAP LoadBitmapA(HINSTANCE i, LPCSTR n) {
    return LoadBitmap(i, n);
}
inline HICON LoadIconA(HINSTANCE i, LPCSTR n) {
    return LoadIcon(i, n);
}

namespace plat {

// A picture resource: 8-bit pixels (top row first) over a colour table; an icon may name a
// colour index that is see-through.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    std::vector<RGBQUAD> colours;
    int transparent = -1;
};

// Pixel art for pictures drawn in code: one string per row, one character per pixel, each
// character given a colour by the key; ' ' is transparent (icons) or the first key colour.
struct PixelKey {
    char ch;
    COLORREF colour;
};
Picture PixelArt(std::initializer_list<std::string_view> rows, std::initializer_list<PixelKey> key);

// A BMP file image (BITMAPFILEHEADER, info header, colours, bits) of 1, 4 or 8 bits per
// pixel, uncompressed, read through bounds checks; false with the reason when it is damaged.
bool ParseBmp(std::span<const uint8_t> file, Picture& out, std::string* error);

// The program's bitmaps and icons, by id (an id given again replaces the earlier picture).
void RegisterBitmapResource(UINT id, const Picture& picture);
bool RegisterBitmapResource(UINT id, std::span<const uint8_t> bmpFile, std::string* error);
void RegisterIconResource(UINT id, const Picture& picture);
const Picture* FindBitmapResource(UINT id);
const Picture* FindIconResource(UINT id);
void ClearPictureResources();

// The resource id of MAKEINTRESOURCE(n) or "#n"; 0 for any other name.
UINT ResourceId(LPCSTR name);

// The icon Windows has built in for IDI_APPLICATION ... IDI_ASTERISK (one picture for all),
// made once and kept for the program's life.
HICON StandardIcon(UINT id);

}  // namespace plat
