// The setup program as a user meets it: started from the fixture CD's KELVAT folder on the
// headless back end, dialog 102 answered with the folder it offers, the folder created on
// request, the files installed under the progress dialog, the launcher question declined, and
// the end-of-installation message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/headless/golden_test_support.h"
#include "platform/registry/registry.h"
#include "platform/version/version_stamp.h"
#include "setup/setwell/setwell_test_support.h"
#include "tests/temp_folder_test_support.h"

namespace {

namespace fs = std::filesystem;

// The screenshot against its golden image, or written as the golden image when
// ZELBO_UPDATE_GOLDEN=1 (look at it before keeping it).
void CheckGoldenFile(const fs::path& shot, const std::string& name) {
    const fs::path golden = fs::path(ZELBO_GOLDEN_DIR) / name;
    const char* update = std::getenv("ZELBO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        fs::copy_file(shot, golden, fs::copy_options::overwrite_existing);
        std::printf("wrote %s\n", golden.c_str());
        return;
    }
    int w = 0, h = 0, gw = 0, gh = 0;
    std::vector<uint8_t> rgb, expected;
    ASSERT_TRUE(plat::test::ReadPngRgb(shot.string(), w, h, rgb)) << shot;
    ASSERT_TRUE(plat::test::ReadPngRgb(golden.string(), gw, gh, expected))
        << golden << " is missing: run with ZELBO_UPDATE_GOLDEN=1 and look at it";
    ASSERT_EQ(w, gw);
    ASSERT_EQ(h, gh);
    size_t differ = 0, first = 0;
    for (size_t i = 0; i < rgb.size(); ++i) {
        if (rgb[i] != expected[i] && differ++ == 0) first = i / 3;
    }
    EXPECT_EQ(differ, 0u) << "differs from " << golden << " first at " << first % w << "," << first / w
                          << "; the screen is " << shot;
}

std::optional<std::string> ValueOf(const std::string& key, const std::string& name) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
    char data[512] = {};
    DWORD size = sizeof data;
    const LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return std::string(data, size);
}

TEST(SetwellProgram, InstallsFromTheFixtureCd) {
    const fs::path dir = MakeTempFolder("zelbo-program-setwell");
    const fs::path root = dir / "root";
    const fs::path cd = dir / "cd";
    fs::create_directories(root);
    setup::testing::FixtureCd fixture;
    fixture.extraStatements = "FinalText \"Zelbo är installerat.\";\n";
    setup::testing::MakeFixtureCd(cd, fixture);
    fs::copy_file(SETWELL_EXE, cd / "KELVAT" / "SETWELL.EXE");

    // The launcher is there, so the program asks whether to add the product to it.
    plat::SetEmulatedRoot(root);
    plat::SetCdromFolders({cd});
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zadaro\\AddApp", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);

    // The virtual clock moves one millisecond each time the progress dialog shows a new file
    // and lets its messages through, so the screenshots after RETURN catch one file each.
    std::ofstream(dir / "run.txt") << "0 answer -1\n"             // dialog 102, on the keys below
                                      "1000 screenshot install_dir.png\n"
                                      "1100 key RETURN\n"         // the folder offered
                                      "0 answer IDOK\n"           // 59156: create it
                                      "1101 screenshot file1.png\n"
                                      "1102 screenshot file2.png\n"
                                      "1103 screenshot file3.png\n"
                                      "1104 screenshot file4.png\n"
                                      "0 answer -1\n"             // 59166: the launcher question
                                      "3000 key N\n"
                                      "0 answer IDOK\n";          // 59229
    const std::string cmd = "cd '" + dir.string() + "' && ZELBO_BACKEND=headless ZELBO_ROOT='" + root.string() +
                            "' ZELBO_CDROM='" + cd.string() + "' ZELBO_SCRIPT='" + (dir / "run.txt").string() +
                            "' '" + (cd / "KELVAT" / "SETWELL.EXE").string() + "' > '" + (dir / "log.txt").string() +
                            "' 2>&1";
    const int status = std::system(cmd.c_str());
    std::ifstream logFile(dir / "log.txt");
    const std::string log((std::istreambuf_iterator<char>(logFile)), {});
    ASSERT_EQ(status, 0) << log;

    const fs::path zelbo = root / "Program Files" / "Quorva" / "Zelbo";
    EXPECT_EQ(plat::ReadVersionStampFile(zelbo / "ZELBO.EXE").stamp.fileVersion, (std::array<uint16_t, 4>{2, 0, 0, 0}));
    EXPECT_TRUE(fs::exists(zelbo / "REMBLY.EXE"));
    EXPECT_TRUE(fs::exists(zelbo / "Product.Dat"));
    std::ifstream data(zelbo / "DATA.TXT");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(data)), {}), "Zelbo data\n");
    EXPECT_EQ(ValueOf("Software\\Quorva", "ZelboTally"), std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(ValueOf("Software\\Quorva\\Zadaro\\AddApp", "Zelbo"), std::nullopt);
    // Only the script's temporary copy went there, and it is gone.
    EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP"));

    CheckGoldenFile(dir / "install_dir.png", "setwell_install_dir.png");
    // The progress dialog names each file as it is installed: four different pictures, the
    // second showing "Installerar ZELBO.EXE...".
    CheckGoldenFile(dir / "file2.png", "setwell_progress.png");
    std::vector<std::string> shots;
    for (int i = 1; i <= 4; ++i) {
        std::ifstream shot(dir / ("file" + std::to_string(i) + ".png"), std::ios::binary);
        shots.emplace_back((std::istreambuf_iterator<char>(shot)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(shots.back().empty());
        for (int j = 0; j + 1 < i; ++j) EXPECT_NE(shots[j], shots.back()) << "file" << j + 1 << " and file" << i;
    }
    plat::ResetDriveMap();
    fs::remove_all(dir);
}

}  // namespace
