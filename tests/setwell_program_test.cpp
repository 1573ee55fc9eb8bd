// The setup program as a user meets it: started from the fixture CD's KELVAT folder on the
// headless back end, dialog 102 answered with the folder it offers, the folder created on
// request, the files installed under the progress dialog, the launcher question declined, and
// the end-of-installation message.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/registry/registry.h"
#include "platform/version/version_stamp.h"
#include "setup/setwell/setwell_test_support.h"
#include "tests/program_test_support.h"
#include "tests/temp_folder_test_support.h"

namespace {

namespace fs = std::filesystem;
using programtest::CheckGoldenScreen;

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

// Runs the fixture CD's SETWELL.EXE on the headless back end with dir/run.txt as its script;
// the exit status, and the program's output in log.
int RunSetwell(const fs::path& dir, const fs::path& root, const fs::path& cd, std::string& log) {
    const std::string cmd = "cd '" + dir.string() + "' && ZELBO_BACKEND=headless ZELBO_ROOT='" + root.string() +
                            "' ZELBO_CDROM='" + cd.string() + "' ZELBO_SCRIPT='" + (dir / "run.txt").string() +
                            "' '" + (cd / "KELVAT" / "SETWELL.EXE").string() + "' > '" + (dir / "log.txt").string() +
                            "' 2>&1";
    const int status = std::system(cmd.c_str());
    std::ifstream logFile(dir / "log.txt");
    log.assign((std::istreambuf_iterator<char>(logFile)), {});
    return status;
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
    std::string log;
    const int status = RunSetwell(dir, root, cd, log);
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

    CheckGoldenScreen(dir / "install_dir.png", "setwell_install_dir.png");
    // The progress dialog names each file as it is installed: four different pictures, the
    // second showing "Installerar ZELBO.EXE...".
    CheckGoldenScreen(dir / "file2.png", "setwell_progress.png");
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

// A run whose script ends while dialog 102 still waits ends by the headless back end's stall:
// the program reports it and ends with 1, leaving its windows and their device contexts to the
// exit, which frees each once and in order (under AddressSanitizer, a read of freed memory
// there would be reported).
TEST(SetwellProgram, AStalledRunEndsCleanly) {
    const fs::path dir = MakeTempFolder("zelbo-program-setwell-stall");
    const fs::path root = dir / "root";
    const fs::path cd = dir / "cd";
    fs::create_directories(root);
    setup::testing::MakeFixtureCd(cd, setup::testing::FixtureCd{});
    fs::copy_file(SETWELL_EXE, cd / "KELVAT" / "SETWELL.EXE");
    std::ofstream(dir / "run.txt") << "0 answer -1\n"  // dialog 102 waits for keys that never come
                                      "1000 screenshot install_dir.png\n";
    std::string log;
    const int status = RunSetwell(dir, root, cd, log);
    ASSERT_TRUE(WIFEXITED(status)) << log;
    EXPECT_EQ(WEXITSTATUS(status), 1) << log;
    EXPECT_NE(log.find("setwell: headless:"), std::string::npos) << log;
    EXPECT_EQ(log.find("AddressSanitizer"), std::string::npos) << log;
    EXPECT_EQ(log.find("runtime error"), std::string::npos) << log;
    EXPECT_TRUE(fs::exists(dir / "install_dir.png"));
    plat::ResetDriveMap();
    fs::remove_all(dir);
}

}  // namespace
