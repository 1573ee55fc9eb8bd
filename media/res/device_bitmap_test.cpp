#include "media/res/device_bitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless_backend.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(DeviceBitmap, ConvertsToEachDepth) {
    Bytes rgb(768, 0);
    rgb[3 * 1] = 0xFF;  // entry 1: (255, 130, 9)
    rgb[3 * 1 + 1] = 130;
    rgb[3 * 1 + 2] = 9;
    const Bytes pixels{1, 0};
    const struct {
        int bpp;
        Bytes want;
    } cases[] = {
        {8, {1, 0}},
        // (0xF8 << 8) | (0x80 << 3) | (9 >> 3) = 0xFC01, low byte first.
        {16, {0x01, 0xFC, 0, 0}},
        {24, {9, 130, 255, 0, 0, 0}},
        {32, {0, 9, 130, 255, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        Bytes out(c.want.size(), 0xEE);
        EXPECT_EQ(ConvertDevicePixels(c.bpp, rgb.data(), pixels, out), c.want.size()) << c.bpp;
        EXPECT_EQ(out, c.want) << c.bpp;
        Bytes small(c.want.size() - 1, 0xEE);  // a scratch one byte short is refused, untouched
        EXPECT_EQ(ConvertDevicePixels(c.bpp, rgb.data(), pixels, small), 0u) << c.bpp;
        EXPECT_EQ(small, Bytes(c.want.size() - 1, 0xEE)) << c.bpp;
    }
    Bytes out(16, 0xEE);
    EXPECT_EQ(ConvertDevicePixels(4, rgb.data(), pixels, out), 0u);
    EXPECT_EQ(ConvertDevicePixels(15, rgb.data(), pixels, out), 0u);
}

TEST(DeviceBitmap, FillsAnEightBitBitmap) {
    plat::InstallHeadless();
    plat::ResetGdi();
    HBITMAP bmp = CreateBitmap(4, 2, 1, 8, nullptr);
    ASSERT_NE(bmp, nullptr);
    const Bytes pixels{1, 2, 3, 4, 5, 6, 7, 8};
    Bytes scratch(8);
    SetDeviceBitmapBits(8, nullptr, bmp, pixels.data(), scratch, 8);
    Bytes back(8);
    ASSERT_EQ(GetBitmapBits(bmp, 8, back.data()), 8);
    EXPECT_EQ(back, pixels);
    // Another depth with too little scratch leaves the bitmap alone.
    Bytes rgb(768, 50);
    SetDeviceBitmapBits(24, rgb.data(), bmp, pixels.data(), scratch, 8);
    GetBitmapBits(bmp, 8, back.data());
    EXPECT_EQ(back, pixels);
    DeleteObject(bmp);
    plat::ResetGdi();
}

}  // namespace
