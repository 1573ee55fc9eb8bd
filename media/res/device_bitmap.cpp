#include "media/res/device_bitmap.h"

#include <cstring>

size_t ConvertDevicePixels(int bitsPerPixel, const uint8_t* rgb, std::span<const uint8_t> pixels,
                           std::span<uint8_t> out) {
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) return 0;
    const size_t bytes = pixels.size() * static_cast<size_t>(bitsPerPixel / 8);
    if (out.size() < bytes || (bitsPerPixel != 8 && !rgb)) return 0;
    uint8_t* o = out.data();
    for (const uint8_t p : pixels) {
        const uint8_t r = bitsPerPixel == 8 ? 0 : rgb[3 * p], g = bitsPerPixel == 8 ? 0 : rgb[3 * p + 1],
                      b = bitsPerPixel == 8 ? 0 : rgb[3 * p + 2];
        switch (bitsPerPixel) {
        case 8: *o++ = p; break;
        case 16: {
            const uint16_t w = static_cast<uint16_t>((r & 0xF8) << 8 | (g & 0xFC) << 3 | b >> 3);
            *o++ = static_cast<uint8_t>(w);
            *o++ = static_cast<uint8_t>(w >> 8);
            break;
        }
        case 24:
            *o++ = b;
            *o++ = g;
            *o++ = r;
            break;
        default:  // 32: which byte a device expects first is an open question; the zero leads
            *o++ = 0;
            *o++ = b;
            *o++ = g;
            *o++ = r;
            break;
        }
    }
    return bytes;
}

void SetDeviceBitmapBits(int bitsPerPixel, const uint8_t* rgbPalette, HBITMAP bitmap, const uint8_t* pixels,
                         std::span<uint8_t> scratch, uint32_t pixelCount) {
    if (!pixels) return;
    const size_t n = ConvertDevicePixels(bitsPerPixel, rgbPalette, std::span<const uint8_t>(pixels, pixelCount), scratch);
    if (n) SetBitmapBits(bitmap, static_cast<DWORD>(n), scratch.data());
}
