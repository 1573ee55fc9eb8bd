// Internal state of the GDI layer, shared by platform/gdi's source files only.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/core/rect.h"
#include "platform/gdi/wingdi.h"

namespace plat::gdi {

enum class Kind : uint8_t { Pen, Brush, Font, Palette, Bitmap, Region, Dc };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
    int refs = 0;  // selections into DCs, saved DC states included
};

// What the pixel values of a surface mean.
enum class Space : uint8_t {
    Device,  // hardware palette indices (the screen, 8-bit device bitmaps)
    Table,   // indices into the surface's own colour table (DIB sections)
    Mono,    // 0 black, 1 white; one byte per pixel
};

// Pixels drawn by a DC, addressed top row first whatever the memory order.
struct Surface {
    uint8_t* base = nullptr;  // the top row
    ptrdiff_t pitch = 0;      // from one row to the one below; negative for bottom-up DIBs
    int width = 0;
    int height = 0;
    Space space = Space::Device;
    const RGBQUAD* table = nullptr;  // Space::Table: 256 entries
    // Printer pages: a table that grows by each colour drawn while it has room.
    RGBQUAD* growTable = nullptr;
    int* tableUsed = nullptr;
    bool isDisplay = false;
    uint8_t* Row(int y) const { return base + static_cast<ptrdiff_t>(y) * pitch; }
    bool Valid() const { return base != nullptr && width > 0 && height > 0; }
};

struct PenObj : Object {
    PenObj() : Object(Kind::Pen) {}
    UINT style = PS_SOLID;
    int width = 1;
    COLORREF colour = 0;
};

struct BrushObj : Object {
    BrushObj() : Object(Kind::Brush) {}
    UINT style = BS_SOLID;
    COLORREF colour = 0;
};

struct FontObj : Object {
    FontObj() : Object(Kind::Font) {}
    LOGFONT lf;
    std::shared_ptr<IFontFace> face;
};

struct PaletteObj : Object {
    PaletteObj() : Object(Kind::Palette) {}
    uint32_t serial = 0;  // owner id in the hardware palette's bookkeeping
    std::vector<PALETTEENTRY> entries;
    // The last realisation: hardware index and the colour it had, per logical entry.
    bool realized = false;
    std::vector<uint8_t> map;
    std::vector<COLORREF> mappedColour;
};

struct BitmapObj : Object {
    BitmapObj() : Object(Kind::Bitmap) {}
    int width = 0;
    int height = 0;
    int bpp = 8;  // 1 or 8
    Space space = Space::Device;
    std::unique_ptr<uint8_t[]> pixels;
    size_t size = 0;
    ptrdiff_t topOffset = 0;  // offset of the top row in pixels
    ptrdiff_t pitch = 0;
    // DIB sections: the caller sees the pixels in DIB layout and the colour table.
    bool dib = false;
    BITMAPINFOHEADER header;
    std::array<RGBQUAD, 256> table{};
    HDC selectedInto = nullptr;
    Surface GetSurface() {
        Surface s;
        s.base = pixels.get() + topOffset;
        s.pitch = pitch;
        s.width = width;
        s.height = height;
        s.space = space;
        s.table = table.data();
        return s;
    }
};

struct RegionObj : Object {
    RegionObj() : Object(Kind::Region) {}
    std::vector<RECT> rects;  // non-overlapping
};

enum class DcKind : uint8_t {
    Screen,      // the whole display
    Window,      // a window's client area
    WindowFull,  // a whole window (GetWindowDC)
    Memory,      // draws into the selected bitmap
    Info,        // asks, never draws
    Printer,     // reserved for the printing layer
};

struct DcState {
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ palette = nullptr;
    HGDIOBJ bitmap = nullptr;  // memory DCs
    bool paletteBackground = false;
    COLORREF textColour = RGB(0, 0, 0);
    COLORREF bkColour = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int mapMode = MM_TEXT;
    UINT textAlign = 0;
    POINT windowOrg;
    POINT viewportOrg;
    POINT brushOrg;
    POINT position;
    bool hasClip = false;
    std::vector<RECT> clip;  // device units relative to the DC origin
};

struct DcObj : Object {
    DcObj() : Object(Kind::Dc) {}
    DcKind dcKind = DcKind::Screen;
    HWND hwnd = nullptr;
    bool released = false;  // from GetDC/BeginPaint: ReleaseDC frees it
    DcState st;
    std::vector<DcState> saved;
    bool hasPaint = false;
    RECT paint;  // BeginPaint's update area, relative to the DC origin
    std::vector<RECT> scratch;
};

// ---- Handle table (objects.cpp) ----
HGDIOBJ Register(std::unique_ptr<Object> obj);
Object* Find(const void* handle);
template <class T, Kind K>
T* Get(const void* handle) {
    Object* o = Find(handle);
    return o && o->kind == K ? static_cast<T*>(o) : nullptr;
}
inline PenObj* GetPen(const void* h) {
    return Get<PenObj, Kind::Pen>(h);
}
inline BrushObj* GetBrush(const void* h) {
    return Get<BrushObj, Kind::Brush>(h);
}
inline FontObj* GetFont(const void* h) {
    return Get<FontObj, Kind::Font>(h);
}
inline PaletteObj* GetPalette(const void* h) {
    return Get<PaletteObj, Kind::Palette>(h);
}
inline BitmapObj* GetBitmap(const void* h) {
    return Get<BitmapObj, Kind::Bitmap>(h);
}
inline RegionObj* GetRegion(const void* h) {
    return Get<RegionObj, Kind::Region>(h);
}
inline DcObj* GetDcObj(const void* h) {
    return Get<DcObj, Kind::Dc>(h);
}
// Frees the object behind a handle (no checks).
void Destroy(const void* handle);
void AddRef(HGDIOBJ h);
void Release(HGDIOBJ h);
HBITMAP StockBitmap();  // the 1 x 1 monochrome bitmap of new memory DCs
void ForEachObject(void (*fn)(HGDIOBJ, Object*, void*), void* ctx);

// ---- Rectangle lists (region.cpp) ----
std::vector<RECT> IntersectLists(const std::vector<RECT>& a, const std::vector<RECT>& b);
std::vector<RECT> UnionLists(const std::vector<RECT>& a, const std::vector<RECT>& b);
int RegionType(const std::vector<RECT>& rects);
constexpr LONG kFar = 1 << 28;  // "everywhere" for clip arithmetic
constexpr RECT kEverywhere{-kFar, -kFar, kFar, kFar};

// ---- Drawing targets (dc.cpp) ----
struct Target {
    DcObj* dc = nullptr;
    Surface surface;
    POINT origin;                       // surface position of the DC's device (0, 0)
    std::vector<RECT>* clip = nullptr;  // surface coordinates, non-overlapping
};
// The surface, origin and effective clip of a DC; false when it cannot draw.
bool GetTarget(DcObj* dc, Target& t);
// Only the surface and origin (a blit's source, which is not clipped).
bool SurfaceOf(DcObj* dc, Surface& s, POINT& origin);
// Logical point to the DC's device units.
POINT ToDevice(const DcState& st, int x, int y);
// Marks an area of the surface as changed (the display re-presents it).
void Touched(const Target& t, const RECT& surfaceRect);

// ---- Colours (palette.cpp) ----
PaletteObj* DcPalette(DcObj* dc);
// Hardware index of a logical palette entry: through the palette's realisation, else nearest.
uint8_t LogicalToHardware(PaletteObj* pal, int index);
// A COLORREF of the DC's colour model as a value of the surface.
uint8_t ResolveColour(DcObj* dc, const Surface& s, COLORREF colour);
// A plain colour as a value of the surface (nearest match).
uint8_t NearestValue(const Surface& s, uint8_t r, uint8_t g, uint8_t b);
COLORREF ColourOfValue(const Surface& s, uint8_t v);
void ForgetPalette(PaletteObj* pal);
void ResetPaletteState();

// ---- DIBs in caller memory (dib.cpp) ----
constexpr int kMaxBitmapSide = 32767;
constexpr int64_t kMaxBitmapPixels = int64_t(64) << 20;
struct DibInfo {
    int width = 0;
    int height = 0;  // rows, always positive
    bool topDown = false;
    int bpp = 8;
    size_t stride = 0;               // bytes per row, 4-byte aligned
    int colours = 0;                 // entries in the colour table
    const uint8_t* table = nullptr;  // RGBQUADs, or WORD indices for DIB_PAL_COLORS
};
// Checks a BITMAPINFO of an uncompressed 1, 4 or 8-bit DIB; false for anything else.
bool ParseDib(const BITMAPINFO* bmi, UINT usage, DibInfo& out);
// What each pixel value of the DIB becomes on the surface.
void DibLut(DcObj* dc, const Surface& s, const DibInfo& dib, UINT usage, uint8_t lut[256]);

// ---- Pixel engine (blit.cpp) ----
// A source of 8-bit values: a surface, or DIB rows (1, 4 or 8 bits) in caller memory.
struct Source {
    const uint8_t* base = nullptr;
    ptrdiff_t firstRow = 0;  // offset of top row 0
    ptrdiff_t pitch = 0;
    int width = 0;
    int height = 0;
    int bpp = 8;
    int rowsFrom = 0;  // rows that may be read: [rowsFrom, rowsTo)
    int rowsTo = 0;
    bool aliasesTarget = false;  // the same pixels as the target: copied out before drawing
    const uint8_t* Row(int y) const { return base + (firstRow + static_cast<ptrdiff_t>(y) * pitch); }
};
constexpr int kMaxExtent = 1 << 24;  // larger extents are refused
// One axis of a rectangle after the sign of its extent was taken out.
struct Span {
    int start = 0;
    int length = 0;
    bool mirrored = false;
};
Span MakeSpan(int origin, int extent);
// Copies (or combines through rop) src span rectangle into the target's dest span rectangle
// (surface coordinates), nearest-neighbour, lut turning source values into target values.
void Blit(const Target& t, Span dx, Span dy, const Source* src, Span sx, Span sy, bool mirrorX, bool mirrorY,
          const uint8_t* lut, DWORD rop, uint8_t pattern);
// Applies a binary raster operation of a pen (R2_*) to one value.
uint8_t ApplyRop2(int rop2, uint8_t pen, uint8_t dst, uint8_t mask);
inline uint8_t ValueMask(const Surface& s) {
    return s.space == Space::Mono ? 1 : 0xFF;
}
// Brush value for the target; false for the null brush.
bool BrushValue(DcObj* dc, const Surface& s, HBRUSH brush, uint8_t& value);

}  // namespace plat::gdi
