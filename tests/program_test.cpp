#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/temp_folder_test_support.h"

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

TEST(ZelboProgram, EntersTheHubWithItsQuitButtonAndEndsByTheCloseBox) {
    // The build lays the program out with its resource files and font file beside it: the
    // run needs no configuration to find them.
    fs::path dir = MakeTempFolder("zelbo-program-game-start");
    int status = RunScripted(ZELBO_EXE, "game_start.txt", dir);
    std::ifstream log(dir / "log.txt");
    std::string text((std::istreambuf_iterator<char>(log)), {});
    ASSERT_TRUE(WIFEXITED(status)) << text;
    EXPECT_EQ(WEXITSTATUS(status), 0) << text;
    EXPECT_EQ(text, "");

    // The first paint entered the hub: its quit button (36 x 36, opaque) stands at (6, height
    // - 39); nothing else of the hub draws yet, so the rest of the screen is black.
    Image shot;
    ASSERT_TRUE(ReadPng(dir / "first_screen.png", shot));
    ASSERT_EQ(shot.width, 640);
    ASSERT_EQ(shot.height, 480);
    int left = shot.width, top = shot.height, right = 0, bottom = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const uint8_t* p = &shot.rgb[(static_cast<size_t>(y) * shot.width + x) * 3];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            left = std::min(left, x);
            top = std::min(top, y);
            right = std::max(right, x + 1);
            bottom = std::max(bottom, y + 1);
        }
    }
    EXPECT_EQ(left, 6);
    EXPECT_EQ(top, 441);
    EXPECT_EQ(right, 42);
    EXPECT_EQ(bottom, 477);
    fs::remove_all(dir);
}

}  // namespace
