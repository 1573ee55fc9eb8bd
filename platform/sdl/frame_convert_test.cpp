#include "platform/sdl/frame_convert.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Widths around the four-at-a-time step, with padded rows on both sides: every pixel goes
// through the palette and the padding is left alone.
TEST(ConvertIndexedFrame, MapsEveryPixelThroughThePaletteAndKeepsToItsRows) {
    std::vector<uint32_t> palette(256);
    for (uint32_t i = 0; i < 256; ++i)
        palette[i] = i | ((255 - i) << 8) | ((i * 7 & 0xFF) << 16);  // 0x00BBGGRR
    for (int w : {1, 3, 4, 7, 640}) {
        const int h = 5;
        const size_t srcPitch = static_cast<size_t>(w) + 3;
        const size_t dstPitch = static_cast<size_t>(w) * 4 + 8;
        std::vector<uint8_t> src(srcPitch * h);
        for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 31 + 5);
        std::vector<uint32_t> dst(dstPitch / 4 * h, 0xDEADBEEF);

        plat::ConvertIndexedFrame(src.data(), w, h, srcPitch, palette.data(), dst.data(), dstPitch);

        for (int y = 0; y < h; ++y) {
            for (size_t x = 0; x < dstPitch / 4; ++x) {
                const uint32_t got = dst[y * dstPitch / 4 + x];
                if (x >= static_cast<size_t>(w)) {
                    EXPECT_EQ(got, 0xDEADBEEFu) << "padding touched at w=" << w;
                    continue;
                }
                const uint32_t c = palette[src[y * srcPitch + x]];
                const uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
                ASSERT_EQ(got, 0xFF000000u | r << 16 | g << 8 | b) << "w=" << w << " x=" << x << " y=" << y;
            }
        }
    }
}

// Each pixel becomes a scale x scale block of its table value; rows of the destination beyond
// the enlarged width are left alone.
TEST(ConvertIndexedScaled, EnlargesEveryPixelToABlock) {
    uint32_t table[256];
    for (uint32_t i = 0; i < 256; ++i) table[i] = 0x01000000u * i + i * 3;
    for (int scale : {1, 2, 3}) {
        const int w = 5, h = 3;
        const size_t srcPitch = 7;
        std::vector<uint8_t> src(srcPitch * h);
        for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 13 + 1);
        const size_t dstWords = static_cast<size_t>(w * scale) + 2;
        std::vector<uint32_t> dst(dstWords * static_cast<size_t>(h * scale), 0xDEADBEEF);
        plat::ConvertIndexedScaled(src.data(), w, h, srcPitch, table, scale, dst.data(), dstWords * 4);
        for (int y = 0; y < h * scale; ++y)
            for (size_t x = 0; x < dstWords; ++x) {
                const uint32_t got = dst[static_cast<size_t>(y) * dstWords + x];
                if (x >= static_cast<size_t>(w * scale)) {
                    EXPECT_EQ(got, 0xDEADBEEFu) << "padding touched, scale " << scale;
                    continue;
                }
                ASSERT_EQ(got, table[src[static_cast<size_t>(y / scale) * srcPitch + x / static_cast<size_t>(scale)]])
                    << "scale " << scale << " x=" << x << " y=" << y;
            }
    }
}

}  // namespace
