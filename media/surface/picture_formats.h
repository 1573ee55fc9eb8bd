// Bounds-checked readers of the picture files the surfaces load: 8-bit run-length PCX and
// 8-bit uncompressed BMP. They check a file's description before anything is allocated and
// never read or write past the buffers they are given.
#pragma once

#include <cstdint>
#include <span>

namespace media {

inline constexpr size_t kPcxHeaderSize = 128;
inline constexpr size_t kPcxPaletteSize = 768;
// Header + palette: the part of a PCX file that is not encoded rows (the 0x0C marker byte
// before the palette is read as part of the rows, and never used).
inline constexpr size_t kPcxOverhead = kPcxHeaderSize + kPcxPaletteSize;

struct PcxLayout {
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;  // decoded bytes of each row (at least the width)
};

// The 128-byte header of an 8-bit, one-plane PCX: false for another format, sides outside
// 1..maxSide, or a line length shorter than the width.
bool ParsePcxHeader(std::span<const uint8_t> header, int maxSide, PcxLayout& out);

// Fewest encoded bytes that can make the picture's rows (a run token makes at most 63 bytes).
uint64_t MinPcxEncodedSize(const PcxLayout& layout);

// Decodes layout.height rows of layout.bytesPerLine bytes. A byte b with b & 0xC0 == 0xC0 is a
// run of (b & 0x3F) copies of the next byte (0xC0: nothing); any other byte is one pixel. A run
// that passes the row's end is cut there and the next row starts with the next byte. Row y is
// written at dst + stride * y, its bytes past the stride dropped. false when the encoded bytes
// end before the last row is complete (what was decoded stays written).
bool DecodePcxRows(std::span<const uint8_t> encoded, const PcxLayout& layout, uint8_t* dst, int stride);

inline constexpr size_t kBmpHeadersSize = 14 + 40;

struct BmpLayout {
    int width = 0;
    int height = 0;      // always positive
    bool topDown = false;  // the file's rows are top row first (negative biHeight)
    uint32_t colourOffset = 0;  // of the colour table
    int colours = 0;            // RGBQUADs in the table (1..256)
    uint32_t pixelOffset = 0;   // of the rows
    uint32_t stride = 0;        // bytes per row in the file (4-byte aligned)
};

// The file header and the info header (the first 54 bytes) of an 8-bit uncompressed BMP of
// fileSize bytes: false for another format, sides outside 1..maxSide, a colour table or rows
// that do not fit in the file.
bool ParseBmpHeaders(std::span<const uint8_t> headers, uint64_t fileSize, int maxSide, BmpLayout& out);

}  // namespace media
