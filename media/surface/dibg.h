// CDibG: the game's 8-bit off-screen picture. Sprites, text and backgrounds are drawn into it
// and it is then shown in the game window. Its pixels live in a WinG bitmap when the program
// uses WinG, else in a plain device-independent bitmap; the row order of every surface is
// the one the drawing state chose (dib_system.h). All pixel access goes through the row table,
// so callers address rows top-down (row 0 = top) whatever the order in memory. Colour index 0
// is the transparent colour of every transparent copy.
//
// Every drawing operation clips to the surfaces it touches (and to the source), so no position
// a caller passes can write or read outside a picture.
//
// Memory: the class library's memory exception when pixels cannot be had; pictures that cannot
// be found, opened or read, or are damaged, raise its resource exception.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "media/surface/dib_system.h"
#include "platform/afx/object.h"
#include "platform/gdi/wingdi.h"

class CPalId;
class CSprite;

class CDibG : public CObject {
    DECLARE_DYNAMIC(CDibG)
public:
    // What LoadByKind and ReloadByKind read.
    enum Kind : int { kBmpFile = 1, kPcxFile = 2, kBitmapResource = 4 };
    // The largest picture a file may describe (each side); larger ones are refused as damaged.
    static constexpr int kMaxSide = 8192;

    CDibG();
    ~CDibG() override;

    // width > 0, height > 0, pixels and row table present.
    virtual BOOL IsValid() const;
    virtual BOOL IsSelected() const { return m_selected; }
    // Creates the surface with the palette realised on the desktop (and in the WinG DC).
    virtual void CreateRealized(int width, int height, CPalId* palette);
    virtual void LoadByKind(LPCSTR name, CPalId* palette, int kind);
    virtual void FreeSurface();
    virtual void ReloadByKind(LPCSTR name, CPalId* palette, int kind);
    // A private WinG DC of this surface (WinG only).
    virtual void SetOwnDC(BOOL on);
    // Copies other with its colours when both have the same size; else leaves this unchanged.
    virtual CDibG& Assign(CDibG& other);
    // Creates this surface like other when it is not created; copies the pixels (and the colour
    // table) only when both sizes are equal.
    virtual void CopyFrom(CDibG& other, BOOL copyColours);
    virtual void FlipVertical();
    // Fill with the palette entry nearest to the colour.
    virtual void FillRgb(RGBQUAD colour);
    virtual void Fill(BYTE index);

    // {0, 0, width - 1, height - 1}: right and bottom inclusive, unlike RECT's usual meaning.
    RECT GetRect() const;
    SIZE GetSize() const { return SIZE{Width(), Height()}; }
    int Width() const { return m_info.header.biWidth; }
    int Height() const { return m_info.header.biHeight < 0 ? -m_info.header.biHeight : m_info.header.biHeight; }
    int Stride() const { return m_stride; }
    BITMAPINFO* GetBitmapInfo() { return m_info.Info(); }
    const BITMAPINFO* GetBitmapInfo() const { return m_info.Info(); }
    BYTE* Bits() { return m_bits; }
    const BYTE* Bits() const { return m_bits; }
    const int32_t* RowTable() const { return m_rowTable.get(); }
    uint32_t ImageSize() const { return static_cast<uint32_t>(Height()) * static_cast<uint32_t>(m_stride); }
    CPalId* Palette() const { return m_palette; }
    HBITMAP WinGBitmap() const { return m_winGBitmap; }

    // Off the surface: GetPixel answers 0, SetPixel does nothing, the pointers are null.
    BYTE GetPixel(int x, int y) const;
    BYTE GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
    BYTE* PixelPtr(int x, int y);
    BYTE* PixelPtr(POINT p) { return PixelPtr(p.x, p.y); }
    BYTE* RowPtr(int y);
    const BYTE* RowPtr(int y) const;
    int PixelOffset(int x, int y) const { return RowOffset(y) + x; }
    int PixelOffset(POINT p) const { return PixelOffset(p.x, p.y); }
    int RowOffset(int y) const { return m_rowTable[y]; }
    void SetPixel(int x, int y, BYTE index);
    void SetPixel(POINT p, BYTE index) { SetPixel(p.x, p.y, index); }

    // The first entry from 1 to 255 of the shared colour table equal to the colour, else the
    // nearest; never 0.
    int FindColour(RGBQUAD colour) const;
    // The entry from 1 to 255 nearest in |dR| + |dG| + |dB|; the lowest index wins a tie.
    int NearestColour(RGBQUAD colour) const;

    // Rectangle copies from another surface, clipped to both surfaces.
    void BlitRect(const CDibG& src, POINT srcPoint, POINT dstPoint, SIZE size);
    // The same, leaving the pixels under source bytes 0 as they are.
    void BlitRectTransparent(const CDibG& src, POINT srcPoint, POINT dstPoint, SIZE size);
    // Nearest-neighbour scaling of srcRect onto dstRect (16.16 fixed point), clipped to this
    // surface; source positions outside src are skipped.
    void StretchCopy(const CDibG& src, RECT dstRect, RECT srcRect);

    // WinG only: new colours for the WinG bitmap's colour table.
    void SetColorEntries(int start, int count, const PALETTEENTRY* entries);
    BOOL SelectIntoWinGDC();

    // How DrawToDC reads the pixels. kOwnStore: the surface's own store (WinG blits onto
    // screens, StretchDIBits with the surface's header otherwise; a printer under WinG goes the
    // shared-header way). kSharedHeader: StretchDIBits through the shared header of the current
    // colour usage (picture printing), rows in the drawing state's order. kSharedHeaderBottomUp:
    // the same, rows taken as bottom-up.
    enum class OutputPath { kOwnStore, kSharedHeader, kSharedHeaderBottomUp };

    // Output to a device context: the one way onto a DC, and the forwarders below. Source
    // (sx, sy, sw, sh) in surface coordinates, rows top-down, scaled onto (dx, dy, dw, dh); rop is
    // the raster operation of the GDI's blits (SRCCOPY copies).
    BOOL DrawToDC(HDC dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh, DWORD rop,
                  OutputPath path = OutputPath::kOwnStore);
    BOOL Draw(HDC dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh, DWORD rop) {
        return DrawToDC(dc, dx, dy, dw, dh, sx, sy, sw, sh, rop);
    }
    BOOL DrawRect(HDC dc, const RECT& dst, const RECT& src, DWORD rop) {
        return DrawToDC(dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src.left, src.top,
                        src.right - src.left, src.bottom - src.top, rop);
    }
    BOOL DrawStretched(HDC dc, const RECT& dst, DWORD rop) {
        return DrawRect(dc, dst, RECT{0, 0, Width(), Height()}, rop);
    }
    BOOL DrawAt(HDC dc, int x, int y) { return DrawToDC(dc, x, y, Width(), Height(), 0, 0, Width(), Height(), SRCCOPY); }
    BOOL DrawAtPoint(HDC dc, POINT p) { return DrawAt(dc, p.x, p.y); }
    BOOL BltToDC(HDC dc, POINT dst, POINT src, SIZE size) {
        return DrawToDC(dc, dst.x, dst.y, size.cx, size.cy, src.x, src.y, size.cx, size.cy, SRCCOPY);
    }
    BOOL StretchToDC(HDC dc, POINT dst, SIZE dstSize, POINT src, SIZE srcSize) {
        return DrawToDC(dc, dst.x, dst.y, dstSize.cx, dstSize.cy, src.x, src.y, srcSize.cx, srcSize.cy, SRCCOPY);
    }
    // StretchDIBits through the shared headers, for printers (and anything else).
    BOOL PrintStretch(HDC dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
        return DrawToDC(dc, dx, dy, dw, dh, sx, sy, sw, sh, SRCCOPY, OutputPath::kSharedHeader);
    }
    BOOL PrintStretchBottomUp(HDC dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
        return DrawToDC(dc, dx, dy, dw, dh, sx, sy, sw, sh, SRCCOPY, OutputPath::kSharedHeaderBottomUp);
    }
    BOOL PrintWhole(HDC dc, const RECT& dst) {
        return PrintStretchBottomUp(dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, 0, 0, Width(),
                                    Height());
    }

    void Create(int width, int height, CPalId* palette) { CreateSurface(width, height, palette); }
    // Only when not yet created (a different size needs FreeSurface first).
    void CreateSurface(int width, int height, CPalId* palette);
    BOOL IsCreated() const { return m_created; }

    // Loaders. A palette that is not made yet is made from the picture's colours.
    void LoadResourceBitmap(LPCSTR name, CPalId* palette);
    void LoadBmpFile(LPCSTR path, CPalId* palette);
    // A whole BMP file held in memory; with reload into this surface, which must have its size.
    void LoadBmpMemory(std::span<const uint8_t> file, CPalId* palette, bool reload = false);
    // A PCX image held in memory (the whole file); rgb, when given, is 768 bytes of colours.
    void LoadPcxMemory(std::span<const uint8_t> pcx, const uint8_t* rgb, CPalId* palette);
    void LoadPcxFile(LPCSTR path, CPalId* palette);
    // Into this surface, whose size the picture must have.
    void ReloadResourceBitmap(LPCSTR name, CPalId* palette);
    void ReloadBmpFile(LPCSTR path, CPalId* palette);
    void ReloadPcxFile(LPCSTR path, CPalId* palette);

    void SetWidth(int width);
    void SetHeight(int height);
    void AllocBits();
    void BuildRowTable();
    void SetPalette(CPalId* palette);
    // Fills the whole store from packed rows of stride bytes in the given row order.
    void CopyBits(const BYTE* source, int sourceOrientation);
    [[noreturn]] void ThrowMemory();
    [[noreturn]] void ThrowResource();

    // Sprite drawing (the sprite is asked to make its pixels present first; a sprite that
    // cannot gives a warning beep). point is where the hot spot goes when useHotspot is set,
    // else the top-left corner. Colour 0 of a transparent sprite is skipped.
    void CopySprite(CSprite& sprite, POINT point, BOOL useHotspot);
    void DrawSprite(CSprite& sprite, POINT point, const RECT& clip, BOOL useHotspot);
    // Each byte written is map[source byte] (256 entries).
    void DrawSpriteMapped(CSprite& sprite, POINT point, const RECT& clip, const BYTE* map, BOOL useHotspot);

private:
    void DrawSpriteClipped(CSprite& sprite, POINT point, const RECT& clip, const BYTE* map, BOOL useHotspot);
    // Runs body on a desktop DC with the palette realised there and in the WinG DC.
    void WithRealisedPalette(CPalId* palette, const std::function<void()>& body);
    // Creates the surface for a picture being loaded: a created surface of another size is
    // freed first.
    void CreateForLoad(int width, int height, CPalId* palette);
    void LoadPcxData(const uint8_t* header, std::span<const uint8_t> encoded, const uint8_t* rgb, CPalId* palette,
                     bool reload);
    void LoadPackedDib(std::span<const uint8_t> dib, CPalId* palette, bool reload);

    DibInfoRgb m_info{};  // the header and the colour table (16-bit indices in plain-DIB mode with colour usage 1)
    HBITMAP m_winGBitmap = nullptr;
    int m_stride = 0;
    BYTE* m_bits = nullptr;
    std::unique_ptr<BYTE[]> m_plainBits;  // the store of a plain DIB
    std::unique_ptr<int32_t[]> m_rowTable;
    int m_rowTableSize = 0;
    BOOL m_created = FALSE;
    BOOL m_selected = FALSE;
    HDC m_ownDC = nullptr;
    CPalId* m_palette = nullptr;
};

// Where bitmap resources come from. The neutral source is the program's own bitmap resources;
// a name it does not have raises the resource exception.
class IBitmapResourceSource {
public:
    virtual ~IBitmapResourceSource() = default;
    // The packed DIB (header, colours, rows) of a name, or an empty span when there is none. The
    // bytes stay valid until the source is replaced. The neutral source reads the program's
    // bitmap resources that the window framework registers (plat::RegisterBitmapResource).
    virtual std::span<const uint8_t> PackedDib(LPCSTR name);
};
// Installs the source (null: the neutral source) and returns the one installed before.
IBitmapResourceSource* SetBitmapResourceSource(IBitmapResourceSource* source);
IBitmapResourceSource& BitmapResourceSource();

// Stride of an 8-bit row: width rounded up to a multiple of 4 bytes.
constexpr int DibStride(int width) {
    return ((width * 8 + 31) / 32) * 4;
}
