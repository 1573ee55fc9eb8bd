#include "platform/sdl/frame_convert.h"

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
    auto* out = static_cast<uint8_t*>(dst);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = src + static_cast<size_t>(y) * srcPitch;
        auto* d = reinterpret_cast<uint32_t*>(out + static_cast<size_t>(y) * dstPitch);
        int x = 0;
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
    }
}

}  // namespace plat
