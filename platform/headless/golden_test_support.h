// Golden-image checks for tests: the screen as shown against a PNG in tests/golden/, or the
// PNG written anew when ZELBO_UPDATE_GOLDEN=1 (then look at it before committing).
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/display.h"
#include "platform/headless/headless_backend.h"

namespace plat::test {

inline bool ReadPngRgb(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(img));
    width = static_cast<int>(img.width);
    height = static_cast<int>(img.height);
    return png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr) != 0;
}

inline void CheckGolden(const std::string& goldenDir, const std::string& name) {
    const std::string path = goldenDir + "/" + name;
    const char* update = std::getenv("ZELBO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::filesystem::create_directories(goldenDir);
        ASSERT_TRUE(SaveScreenPng(path)) << path;
        std::printf("wrote %s\n", path.c_str());
        return;
    }
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(ReadPngRgb(path, w, h, rgb)) << path << " is missing: run with ZELBO_UPDATE_GOLDEN=1 and look at it";
    ASSERT_EQ(w, kScreenWidth);
    ASSERT_EQ(h, kScreenHeight);
    const Display& d = TheDisplay();
    int differ = 0;
    std::string first;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const PALETTEENTRY& e = d.HardwareEntry(d.Pixel(x, y));
            const uint8_t* g = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            if ((e.peRed != g[0] || e.peGreen != g[1] || e.peBlue != g[2]) && differ++ == 0)
                first = std::to_string(x) + "," + std::to_string(y);
        }
    if (differ) {
        const std::string actual = ::testing::TempDir() + name;
        SaveScreenPng(actual);
        ADD_FAILURE() << differ << " pixels differ from " << path << ", the first at " << first
                      << "; the screen is in " << actual;
    }
}

}  // namespace plat::test
