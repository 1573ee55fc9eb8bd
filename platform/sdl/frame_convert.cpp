#include "platform/sdl/frame_convert.h"

#include <cstring>

namespace plat {

void BuildArgbTable(const uint32_t* palette, uint32_t* table) {
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = palette[i];
        table[i] = 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    }
}

void ConvertIndexedFrame(const uint8_t* src, int w, int h, size_t srcPitch, const uint32_t* palette,
                         void* dst, size_t dstPitch) {
    uint32_t table[256];
    BuildArgbTable(palette, table);
    ConvertIndexedScaled(src, w, h, srcPitch, table, 1, dst, dstPitch);
}

void ConvertIndexedScaled(const uint8_t* src, int w, int h, size_t srcPitch, const uint32_t* table, int scale,
                          void* dst, size_t dstPitch) {
    if (w <= 0 || h <= 0 || scale < 1) return;
    auto* out = static_cast<uint8_t*>(dst);
    const size_t rowBytes = static_cast<size_t>(w) * static_cast<size_t>(scale) * 4;
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = src + static_cast<size_t>(y) * srcPitch;
        uint8_t* first = out + static_cast<size_t>(y) * static_cast<size_t>(scale) * dstPitch;
        auto* d = reinterpret_cast<uint32_t*>(first);
        int x = 0;
        if (scale == 1) {
            // Four at a time: independent table loads the CPU can overlap.
            for (; x + 4 <= w; x += 4) {
                const uint32_t a = table[s[x]];
                const uint32_t b = table[s[x + 1]];
                const uint32_t c = table[s[x + 2]];
                const uint32_t e = table[s[x + 3]];
                d[x] = a;
                d[x + 1] = b;
                d[x + 2] = c;
                d[x + 3] = e;
            }
            for (; x < w; ++x) d[x] = table[s[x]];
        } else if (scale == 2) {
            for (; x < w; ++x) {
                const uint32_t v = table[s[x]];
                d[2 * x] = v;
                d[2 * x + 1] = v;
            }
        } else {
            for (; x < w; ++x) {
                const uint32_t v = table[s[x]];
                for (int k = 0; k < scale; ++k) d[x * scale + k] = v;
            }
        }
        // The other rows of the block are copies of the first.
        for (int k = 1; k < scale; ++k) std::memcpy(first + static_cast<size_t>(k) * dstPitch, first, rowBytes);
    }
}

}  // namespace plat
