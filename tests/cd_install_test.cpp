// The game's CD as the build assembles it: the setup program started from its KELVAT folder on
// the headless back end installs the game into a fresh installation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/registry/registry.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::error_code ec;
    const auto size = fs::file_size(p, ec);
    std::string bytes(ec ? 0 : static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

class CdInstall : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / "zelbo-program-cd";
        fs::remove_all(dir);
        xdg = dir / "xdg";
        fs::create_directories(xdg / "applications");
        root = xdg / "quorva" / "c";
        cd = fs::path(ZELBO_CD_DIR);
    }
    void TearDown() override {
        plat::ResetDriveMap();
        fs::remove_all(dir);
    }

    // Runs a program of the emulated installation with the CD in drive D: and a script of
    // answers; its exit status.
    int RunProgram(const fs::path& program, const std::string& arguments, const std::string& script) {
        std::ofstream(dir / "run.txt") << script;
        const std::string cmd = "cd '" + dir.string() + "' && env -u ZELBO_ROOT ZELBO_BACKEND=headless XDG_DATA_HOME='" + xdg.string() +
                                "' ZELBO_CDROM='" + cd.string() + "' ZELBO_SCRIPT='" + (dir / "run.txt").string() +
                                "' '" + program.string() + "' " + arguments + " > '" + (dir / "log.txt").string() +
                                "' 2>&1";
        const int status = std::system(cmd.c_str());
        log = Read(dir / "log.txt");
        return status;
    }
    // The installation's view, in this process.
    void LookAtInstallation() {
        plat::SetEmulatedRoot(root);
        plat::SetCdromFolders({cd});
    }

    fs::path dir, xdg, root, cd;
    std::string log;
};

TEST_F(CdInstall, SetupInstallsTheGameFromTheCd) {
    ASSERT_EQ(Read(cd / ".label"), "TRUMLABY\n");
    ASSERT_EQ(RunProgram(cd / "KELVAT" / "SETWELL.EXE", "",
                         "0 answer -1\n"      // dialog 102, on the key below
                         "1100 key RETURN\n"  // the folder offered
                         "0 answer IDOK\n"    // 59156: create it
                         "0 answer IDOK\n"),  // 59229: the installation is done
              0)
        << log;
    LookAtInstallation();
    const fs::path game = root / "Program Files" / "Quorva" / "Trumlaby";
    EXPECT_EQ(Read(game / "ZELBO.EXE"), Read(cd / "ZELBO.EXE"));
    EXPECT_EQ(Read(game / "Product.Dat"), Read(cd / "Product.Dat"));
    EXPECT_EQ(Read(root / "WINDOWS" / "REMBLY.EXE"), Read(cd / "REMBLY.EXE"));
    EXPECT_EQ(fs::status(game / "ZELBO.EXE").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    HKEY maker = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorva", 0, KEY_READ, &maker), ERROR_SUCCESS);
    BYTE tally[8] = {};
    DWORD size = sizeof tally;
    EXPECT_EQ(RegQueryValueExA(maker, "Trumlaby", nullptr, nullptr, tally, &size), ERROR_SUCCESS);
    RegCloseKey(maker);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(tally), size), std::string("\x01\x00\x00\x00", 4));
    EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP")) << "the script's copy is gone";
}

}  // namespace
