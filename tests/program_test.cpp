#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

bool ReadPng(const fs::path& path, Image& out) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGB;
    out.width = static_cast<int>(img.width);
    out.height = static_cast<int>(img.height);
    out.rgb.resize(PNG_IMAGE_SIZE(img));
    return png_image_finish_read(&img, nullptr, out.rgb.data(), 0, nullptr) != 0;
}

// Runs a program headless with a script copied into a fresh folder; returns its exit status.
int RunScripted(const std::string& exe, const std::string& scriptName, const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir / "root");
    fs::copy_file(fs::path(ZELBO_TEST_SCRIPTS) / scriptName, dir / scriptName);
    std::string cmd = "ZELBO_BACKEND=headless ZELBO_ROOT='" + (dir / "root").string() + "' ZELBO_SCRIPT='" +
                      (dir / scriptName).string() + "' '" + exe + "' > '" + (dir / "log.txt").string() + "' 2>&1";
    int status = std::system(cmd.c_str());
    return status;
}

TEST(ZelboProgram, StartPatternAnimatesThePaletteAndEndsOnEscape) {
    fs::path dir = fs::temp_directory_path() / "zelbo-program-start-pattern";
    int status = RunScripted(ZELBO_EXE, "start_pattern.txt", dir);
    std::ifstream log(dir / "log.txt");
    std::string text((std::istreambuf_iterator<char>(log)), {});
    ASSERT_EQ(status, 0) << text;

    Image a, b;
    ASSERT_TRUE(ReadPng(dir / "pattern_a.png", a));
    ASSERT_TRUE(ReadPng(dir / "pattern_b.png", b));
    ASSERT_EQ(a.width, 640);
    ASSERT_EQ(a.height, 480);
    // The colour bands moved (the palette cycled) while the static colours stayed put.
    auto at = [](const Image& im, int x, int y) {
        size_t i = (static_cast<size_t>(y) * im.width + x) * 3;
        return std::vector<uint8_t>(im.rgb.begin() + i, im.rgb.begin() + i + 3);
    };
    EXPECT_NE(at(a, 100, 100), at(b, 100, 100));
    EXPECT_EQ(at(a, 16, 360), at(b, 16, 360));
    EXPECT_EQ(at(a, 16, 360), (std::vector<uint8_t>{0, 0, 0}));          // static colour 0
    EXPECT_EQ(at(a, 624, 360), (std::vector<uint8_t>{255, 255, 255}));   // static colour 255
    fs::remove_all(dir);
}

}  // namespace
