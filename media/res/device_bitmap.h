// SetDeviceBitmapBits: fills a device bitmap from 8-bit pixels, converting them to the device's
// depth through a palette of 256 red, green, blue triplets (the cursors made from pictures use
// it).
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/wingdi.h"

// The pixels in the device's format: 8 bits as they are; 16 the 5-6-5 word
// (red & 0xF8) << 8 | (green & 0xFC) << 3 | blue >> 3, low byte first; 24 blue, green, red;
// 32 a zero byte, then blue, green, red. 0 bytes for any other depth, and when out is too small
// for pixels.size() × bytes per pixel; else the number of bytes written.
size_t ConvertDevicePixels(int bitsPerPixel, const uint8_t* rgbPalette, std::span<const uint8_t> pixels,
                           std::span<uint8_t> out);

// Converts into scratch and hands the result to SetBitmapBits (pixel number × bytes per pixel).
// Does nothing for other depths, or when scratch is too small for the conversion.
void SetDeviceBitmapBits(int bitsPerPixel, const uint8_t* rgbPalette, HBITMAP bitmap, const uint8_t* pixels,
                         std::span<uint8_t> scratch, uint32_t pixelCount);
