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

// Installs the built game (the program, its resource files and its font file) into
// C:\Program Files\Quorva\Zelbo of an emulated root, as scripts/play does; returns the
// installed program. The players' files are made beside it, never in the build's folder.
fs::path InstallGame(const fs::path& root) {
    const fs::path target = root / "Program Files" / "Quorva" / "Zelbo";
    fs::create_directories(target);
    const fs::path program(ZELBO_EXE);
    for (const auto& entry : fs::directory_iterator(program.parent_path())) {
        const fs::path& file = entry.path();
        const std::string ext = file.extension().string();
        if (!entry.is_regular_file() || (file != program && ext != ".res" && ext != ".FON")) continue;
        fs::copy_file(file, target / file.filename(), fs::copy_options::overwrite_existing);
    }
    return target / program.filename();
}

// Runs a program headless with a script of the test scripts' folder (the script's outputs go
// to `dir`), in the emulated root `root`; returns its exit status. The log is `dir`/log.txt.
int RunIn(const fs::path& exe, const std::string& scriptName, const fs::path& dir, const fs::path& root) {
    fs::copy_file(fs::path(ZELBO_TEST_SCRIPTS) / scriptName, dir / scriptName, fs::copy_options::overwrite_existing);
    std::string cmd = "ZELBO_BACKEND=headless ZELBO_ROOT='" + root.string() + "' ZELBO_SCRIPT='" +
                      (dir / scriptName).string() + "' '" + exe.string() + "' > '" + (dir / "log.txt").string() +
                      "' 2>&1";
    return std::system(cmd.c_str());
}

// Runs the game installed into a fresh emulated root below `dir`.
int RunScripted(const std::string& scriptName, const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir / "root");
    return RunIn(InstallGame(dir / "root"), scriptName, dir, dir / "root");
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(ZelboProgram, EntersTheHubWithItsQuitButtonAndEndsByTheCloseBox) {
    // The build lays the program out with its resource files and font file beside it: the
    // run needs no configuration to find them.
    fs::path dir = MakeTempFolder("zelbo-program-game-start");
    int status = RunScripted("game_start.txt", dir);
    const std::string text = ReadAll(dir / "log.txt");
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
    // The engine's preferences were saved at shutdown into the program's (writable) folder:
    // the record, then the levels.
    EXPECT_EQ(fs::file_size(dir / "root" / "Program Files" / "Quorva" / "Zelbo" / "Zelbo.PRF"), 284u + 28u);
    fs::remove_all(dir);
}

}  // namespace
