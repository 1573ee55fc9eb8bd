// The pop-ups' test program (tests/popups) run as its own process on the headless back end with
// a script: it enters its test module from the hub, drags the ball across the screen and
// opens and closes the credits picture; the screens are compared with golden images.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/golden_test_support.h"

namespace {

namespace fs = std::filesystem;

struct Shot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

Shot ReadShot(const fs::path& path) {
    Shot s;
    if (!plat::test::ReadPngRgb(path.string(), s.width, s.height, s.rgb)) s = Shot{};
    return s;
}

// Installs the test program's folder (the program, its resource files, the font file) into
// C:\Program Files\Quorva\Zelbo of an emulated root; returns the installed program.
fs::path InstallPopups(const fs::path& root) {
    const fs::path target = root / "Program Files" / "Quorva" / "Zelbo";
    fs::create_directories(target);
    const fs::path program(ZELBO_POPUPS_EXE);
    for (const auto& entry : fs::directory_iterator(program.parent_path())) {
        const fs::path& file = entry.path();
        const std::string ext = file.extension().string();
        if (!entry.is_regular_file() || (file != program && ext != ".res" && ext != ".FON")) continue;
        fs::copy_file(file, target / file.filename(), fs::copy_options::overwrite_existing);
    }
    return target / program.filename();
}

int RunPopups(const std::string& scriptName, const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir / "root");
    const fs::path exe = InstallPopups(dir / "root");
    fs::copy_file(fs::path(ZELBO_TEST_SCRIPTS) / scriptName, dir / scriptName);
    const std::string cmd = "ZELBO_BACKEND=headless ZELBO_ROOT='" + (dir / "root").string() + "' ZELBO_SCRIPT='" +
                            (dir / scriptName).string() + "' '" + exe.string() + "' > '" + (dir / "log.txt").string() +
                            "' 2>&1";
    return std::system(cmd.c_str());
}

// The screenshot against its golden image (written instead with ZELBO_UPDATE_GOLDEN=1).
void CheckShot(const fs::path& shot, const std::string& golden) {
    const fs::path path = fs::path(ZELBO_GOLDEN_DIR) / golden;
    const char* update = std::getenv("ZELBO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::copy_file(shot, path, fs::copy_options::overwrite_existing);
        std::printf("wrote %s\n", path.c_str());
        return;
    }
    const Shot expected = ReadShot(path);
    ASSERT_FALSE(expected.rgb.empty()) << path << " is missing: run with ZELBO_UPDATE_GOLDEN=1 and look at it";
    const Shot seen = ReadShot(shot);
    ASSERT_FALSE(seen.rgb.empty()) << shot << " was not written";
    EXPECT_TRUE(seen.rgb == expected.rgb) << shot << " differs from " << path;
}

// The ball's picture: its beach-ball red (index 10 of the game palette, 0xE8202A) counted in a
// rectangle of the screen.
int RedPixels(const Shot& s, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const uint8_t* p = &s.rgb[(static_cast<size_t>(y) * s.width + x) * 3];
            if (p[0] == 0xE8 && p[1] == 0x20 && p[2] == 0x2A) ++n;
        }
    return n;
}

// The ball goes with the mouse from the left of the floor to the top-right corner, where the
// drop leaves it; the credits button shows the credits picture over the whole screen until a
// key, and the module's screen comes back as the drop left it.
TEST(PopupsProgram, DragsTheBallAcrossTheScreenAndShowsAndClosesTheCredits) {
    const fs::path dir = fs::temp_directory_path() / "zelbo-popups-drag-splash";
    const int status = RunPopups("popups_drag_splash.txt", dir);
    ASSERT_TRUE(WIFEXITED(status)) << "see " << dir / "log.txt";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "see " << dir / "log.txt";

    const Shot module = ReadShot(dir / "module.png");
    const Shot dropped = ReadShot(dir / "dropped.png");
    const Shot after = ReadShot(dir / "after_splash.png");
    ASSERT_FALSE(module.rgb.empty());
    ASSERT_FALSE(dropped.rgb.empty());
    // The ball (64 x 64) starts with its top-left at (24, 280) and ends at the top-right corner.
    EXPECT_GT(RedPixels(module, 24, 280, 88, 344), 500);
    EXPECT_EQ(RedPixels(dropped, 24, 280, 88, 344), 0) << "the ball left its place";
    EXPECT_GT(RedPixels(dropped, 544, 0, 640, 96), 500) << "and lies where it was dropped";
    EXPECT_TRUE(after.rgb == dropped.rgb) << "the screen after the credits is the one before";

    CheckShot(dir / "module.png", "popups_module.png");
    CheckShot(dir / "dragging.png", "popups_dragging.png");
    CheckShot(dir / "dropped.png", "popups_dropped.png");
    CheckShot(dir / "splash.png", "splash_dialog.png");
}

}  // namespace
