// CDIB: a device-independent picture read from and written to BMP files, as the setup
// program's splash picture is. It keeps one 1,064-byte block (the 40-byte info header and
// room for 256 colours) and the pixel rows, each padded to a multiple of 4 bytes, bottom row
// first as in the file.
//
// Reading trusts nothing in the file: the header sizes, the colour count, the offsets and the
// pixel data are checked against each other and against the file's length before anything is
// kept, and a refused file leaves the picture as it was.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/afx/file.h"
#include "platform/afx/object.h"
#include "platform/afxwin/afxwin.h"
#include "platform/gdi/wingdi.h"

namespace setup {

// The info header and the colour table, laid out as a BITMAPINFO with 256 colours.
struct DibHeaderBlock {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
static_assert(sizeof(DibHeaderBlock) == 1064);

// What Write puts before the pixels: the file header and the whole header block.
inline constexpr uint32_t kDibWriteOffBits = 14 + sizeof(DibHeaderBlock);  // 1,078

class CDIB : public CObject {
    DECLARE_SERIAL(CDIB)
public:
    // A 16 x 16, 8-bit picture over a grey ramp (colour i is red, green and blue i), pixels 0.
    CDIB();
    ~CDIB() override;

    // Reads the BMP file at `path`; an empty path (or null) asks for one with the file-open
    // dialog, whose Cancel returns FALSE. A file that cannot be opened returns FALSE; one that
    // cannot be read shows message 59146 and returns FALSE. The picture changes only on success.
    virtual BOOL Load(LPCSTR path);
    // Reads a BMP file from the file's position; FALSE (picture unchanged) when the file is
    // short or its headers are refused.
    virtual BOOL Read(CFile& file);
    // Writes the picture as a BMP file: file header, the whole 1,064-byte header block, the
    // rows. FALSE when the file refuses a write.
    virtual BOOL Write(CFile& file);
    // Creates `path` (an empty path asks with the file-save dialog) and writes the picture;
    // open failure shows 59145, write failure 59144.
    virtual BOOL Save(LPCSTR path);
    // Draws the picture 1:1 with its top-left corner at (x, y); FALSE when nothing was drawn.
    virtual BOOL Draw(CDC* dc, int x, int y);
    virtual int Width() const;
    virtual int Height() const;
    // Recolours an 8-bit picture for the palette: each pixel becomes the index of the palette
    // colour nearest its own, and the colour table becomes the palette's 256 entries. FALSE
    // (nothing changed) without a palette or for a picture of another depth.
    virtual BOOL MapToPalette(CPalette* palette);
    // (0, 0, width, height).
    virtual void GetRect(RECT* rect) const;
    // Copies the width x height block at (sourceX, sourceY) of this picture to (x, y) of the
    // target, in top-down coordinates; with `transparent` other than -1 the source pixels of
    // that index are skipped. Both pictures must be 8-bit and the block must lie inside both;
    // FALSE (nothing copied) otherwise. A zero width or height copies nothing.
    virtual BOOL CopyBlock(CDIB* target, int x, int y, int width, int height, int sourceX, int sourceY,
                           int transparent);

    // The number of colours: biClrUsed when set, else 2, 16 or 256 for 1, 4 or 8 bits per
    // pixel, else 0.
    int NumColors() const;
    const RGBQUAD* ColorTable() const { return m_block.colours; }
    int BitsPerPixel() const { return m_block.header.biBitCount; }
    // Bytes from one pixel row to the next.
    uint32_t Stride() const;
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&m_block); }
    const DibHeaderBlock& HeaderBlock() const { return m_block; }
    const std::vector<uint8_t>& Bits() const { return m_bits; }
    // The byte of pixel (x, y), y counted from the top, of an 8-bit picture; null outside the
    // picture or for another depth.
    uint8_t* PixelAddress(int x, int y);

private:
    DibHeaderBlock m_block{};
    std::vector<uint8_t> m_bits;
};

// Bytes in one row of `width` pixels of `bitsPerPixel`, padded to 4 bytes (64-bit: no overflow
// for any header value).
uint64_t DibStride(int64_t width, int bitsPerPixel);

}  // namespace setup
