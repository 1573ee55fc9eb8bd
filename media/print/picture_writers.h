// The picture writers: a picture item saved as an 8-bit run-length PCX file or an 8-bit
// uncompressed BMP file, with the colours of the game palette.
//
// Result codes: 0 written; 0x20 when the stream reported an error, writing or closing (a full
// disk often shows itself only when the buffered bytes go out at the close); -2 (PCX) or -1
// (BMP) when the file cannot be opened, or there is no picture to write. A file partly written
// stays on disk. The writers' messages go to the debug output only; callers see the codes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "platform/core/wintypes.h"

inline constexpr int16_t kPictureWriteError = 0x20;
inline constexpr int16_t kPcxCannotOpen = -2;
inline constexpr int16_t kBmpCannotOpen = -1;

// One row of width bytes, run-length encoded onto the stream: the width when done, -1 when
// the stream refused a byte.
int EncodePcxLine(const BYTE* row, int width, FILE* out);

// The picture item (module-relative id, through the resource host's picture items) with the
// game palette (the picture file host's colours).
int16_t WritePcxFile(int16_t picture, const char* path);
int16_t WriteBmpFile(int16_t picture, const char* path);

namespace media {

// Rows top to bottom, stride bytes apart, width bytes of each used.
struct PictureRows {
    const uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// One row encoded: a run of k equal bytes measured within the row becomes 0xC0 | n and the
// byte, n = min(k, 63) when the run reaches the row's end and min(k - 1, 63) otherwise; a
// single byte is written as it is, preceded by 0xC1 when it is 0xC0 or more.
void EncodePcxRow(std::span<const uint8_t> row, std::vector<uint8_t>& out);

// The 128-byte header of an 8-bit one-plane PCX of width × height; rgb16 are the first 16
// colours as red, green, blue.
std::vector<uint8_t> PcxHeaderBytes(int width, int height, std::span<const uint8_t, 48> rgb16);

// The writers on pixels: rgb is 256 colours as red, green, blue triplets; colours the 256
// palette entries.
int16_t WritePcxPicture(const PictureRows& picture, std::span<const uint8_t, 768> rgb, const char* path);
int16_t WriteBmpPicture(const PictureRows& picture, std::span<const PALETTEENTRY, 256> colours, const char* path);

}  // namespace media
