// A picture of a module source written as a BMP file: for the pictures that are not module
// items (a setup's background picture, `mkres --bmp`).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "media/res/res_writer.h"

namespace mkres {

// An 8-bit BMP file (14-byte file header, 40-byte info header, 256 colours, rows bottom row
// first, each padded to 4 bytes) of a 'SPR' item's picture (u32 width, u32 height, u32 pixel
// bytes, rows top row first padded to 4) over a 'PAL' item's colours (u16 count, then blue,
// green, red each; entries beyond the count are black). None, with the reason, when either
// item is malformed.
std::optional<std::vector<uint8_t>> PictureAsBmp(std::span<const uint8_t> picture, std::span<const uint8_t> palette,
                                                 std::string* error);

// Picture `id` ('SPR') of a built module over the module's palette (its 'PAL' item of the
// lowest id) as a BMP file; none, with the reason, when either is missing or malformed.
std::optional<std::vector<uint8_t>> ModulePictureAsBmp(const media::CResWriter& module, uint16_t id,
                                                       std::string* error);

}  // namespace mkres
