// The SDL back end's conversion of the 8-bit palette screen to 32-bit pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// 0xAARRGGBB (opaque) for each of 256 palette entries given as 0x00BBGGRR.
void BuildArgbTable(const uint32_t* palette, uint32_t* table);

// Converts w x h palette indices (rows of srcPitch bytes) through the palette (256 entries,
// 0x00BBGGRR) into ARGB8888 rows of dstPitch bytes.
void ConvertIndexedFrame(const uint8_t* src, int w, int h, size_t srcPitch, const uint32_t* palette,
                         void* dst, size_t dstPitch);

}  // namespace plat
