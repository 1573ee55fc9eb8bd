// The 'SPT' spot item: an area of a screen a child can click. Little-endian: i16 left, top,
// right, bottom (picture coordinates; right and bottom are outside the area), then an optional
// mask: (right - left + 1) x (bottom - top + 1) bits, one row after another from the top,
// the most significant bit of a byte its leftmost pixel, each row padded to a whole number of
// 16-bit words; a set bit is part of the spot. A body of exactly 8 bytes has no mask.
//
// ParseSpotItem is the one reader of these bytes; EncodeSpotItem writes them (the resource
// generator and test fixtures).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

inline constexpr size_t kSpotHeaderBytes = 8;

// Bytes of one mask row of a width: (width + 7) / 8, made even.
constexpr size_t SpotMaskRowBytes(int32_t width) {
    const size_t bytes = (static_cast<size_t>(width) + 7) / 8;
    return bytes + (bytes & 1);
}

struct SpotLayout {
    int16_t left = 0;
    int16_t top = 0;
    int16_t right = 0;
    int16_t bottom = 0;
    bool hasMask = false;
    int32_t maskWidth = 0;   // right - left + 1
    int32_t maskHeight = 0;  // bottom - top + 1
    size_t rowBytes = 0;
    std::span<const uint8_t> mask;  // rowBytes x maskHeight bytes of the item
};

// Checks an item: at least the header; right not left of left, bottom not above top; with a
// mask, at least its bytes after the header (more are ignored). false for anything else.
bool ParseSpotItem(std::span<const uint8_t> item, SpotLayout& out);

// Whether the mask bit of (x, y), relative to the mask's top-left, is set; false outside it.
bool SpotMaskBit(const SpotLayout& layout, int32_t x, int32_t y);

namespace media {

// The bytes of a spot: the rectangle, and when maskPixels is not empty, the mask from
// maskPixels (row by row, (right - left + 1) x (bottom - top + 1) values, non-zero = in the
// spot).
std::vector<uint8_t> EncodeSpotItem(int16_t left, int16_t top, int16_t right, int16_t bottom,
                                    std::span<const uint8_t> maskPixels = {});

}  // namespace media
