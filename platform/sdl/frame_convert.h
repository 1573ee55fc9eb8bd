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

// Converts w x h palette indices through a table of 256 ready 32-bit pixel values, each pixel
// enlarged to a scale x scale block: (w * scale) x (h * scale) pixels in rows of dstPitch bytes.
void ConvertIndexedScaled(const uint8_t* src, int w, int h, size_t srcPitch, const uint32_t* table, int scale,
                          void* dst, size_t dstPitch);

}  // namespace plat
