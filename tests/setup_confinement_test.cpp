// The setup programs as real processes on a scratch installation with a canary folder beside
// it: what a program from the CD may write once the setup confined itself, and a removal killed
// at each of its statements and run again.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/process/process.h"
#include "platform/registry/registry.h"
#include "setup/setwell/setwell_test_support.h"
#include "tests/program_test_support.h"
#include "tests/temp_folder_test_support.h"

namespace {

namespace fs = std::filesystem;
using programtest::ReadAll;

// One word of the shell, whatever it holds.
std::string Quoted(const std::string& word) {
    std::string out = "'";
    for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::map<std::string, std::string> TreeOf(const fs::path& top) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(top))
        out[fs::relative(e.path(), top).string()] = e.is_regular_file() ? ReadAll(e.path()) : "folder";
    return out;
}

class SetupPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempFolder("zelbo-setup-confine");
        root = dir / "root";
        cd = dir / "cd";
        canary = dir / "canary";
        fs::create_directories(root);
        fs::create_directories(dir / "scripts");
        fs::create_directories(dir / "xdg");
        fs::create_directories(canary);
        std::ofstream(canary / "family.txt", std::ios::binary) << "the family's letters\n";
        setup::testing::MakeFixtureCd(cd);
        fs::copy_file(SETWELL_EXE, cd / "KELVAT" / "SETWELL.EXE");
    }
    void TearDown() override {
        plat::ResetDriveMap();
        fs::remove_all(dir);
    }
    // A host program on the CD: a shell script.
    void PutCdScript(const std::string& name, const std::string& text) {
        const fs::path file = cd / "KELVAT" / name;
        std::ofstream(file, std::ios::binary) << "#!/bin/sh\n" << text;
        fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    }
    // Runs a program on the headless back end with the CD in D: and a script of answers; its
    // wait status. The script lives in a folder of its own, away from the canary.
    int Run(const fs::path& program, const std::vector<std::string>& arguments, const std::string& answers) {
        std::ofstream(dir / "scripts" / "run.txt") << answers;
        std::string line = "cd " + Quoted(dir.string()) + " && exec env ZELBO_BACKEND=headless ZELBO_ROOT=" +
                           Quoted(root.string()) + " ZELBO_CDROM=" + Quoted(cd.string()) +
                           " XDG_DATA_HOME=" + Quoted((dir / "xdg").string()) +
                           " ZELBO_SCRIPT=" + Quoted((dir / "scripts" / "run.txt").string()) + " " +
                           Quoted(program.string());
        for (const std::string& a : arguments) line += " " + Quoted(a);
        line += " > " + Quoted((dir / "log.txt").string()) + " 2>&1";
        const int status = std::system(line.c_str());
        log = ReadAll(dir / "log.txt");
        return status;
    }
    int Install() {
        return Run(cd / "KELVAT" / "SETWELL.EXE", {},
                   "0 answer -1\n1100 key RETURN\n"  // dialog 102: the folder offered
                   "0 answer IDOK\n"                 // 59156: make it
                   "0 answer IDOK\n");               // 59229: done
    }
    int Remove() {
        return Run(REMBLY_EXE, {"C:\\Program Files\\Quorva\\Zelbo"},
                   "0 answer IDYES\n"  // 59163: remove it
                   "0 answer IDNO\n"   // 59201: no restart
                   "0 answer IDOK\n"); // 59204: done
    }
    void LookAtInstallation() {
        plat::SetEmulatedRoot(root);
        plat::SetCdromFolders({cd});
    }
    std::string Tally() {
        LookAtInstallation();
        HKEY maker = nullptr;
        std::string out = "no key";
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorva", 0, KEY_READ, &maker) == ERROR_SUCCESS) {
            BYTE tally[8] = {};
            DWORD size = sizeof tally;
            out = RegQueryValueExA(maker, "ZelboTally", nullptr, nullptr, tally, &size) == ERROR_SUCCESS
                      ? std::string(reinterpret_cast<char*>(tally), size)
                      : "no tally";
            RegCloseKey(maker);
        }
        plat::ResetDriveMap();
        return out;
    }
    fs::path dir, root, cd, canary;
    std::string log;
};

// A program from the CD run by InstallRun tries to write into the canary: the kernel refuses it
// with a permission error, and the installation goes on and ends.
TEST_F(SetupPrograms, AProgramTheSetupStartsCannotWriteOutsideTheInstallation) {
    std::string why;
    if (!plat::WriteConfinementOffered())
        GTEST_SKIP() << "this kernel offers no Landlock, so nothing confines what runs; the setup's own path checks "
                        "hold alone (setup/README.md)";
    PutCdScript("WRITER.EXE", "( echo stolen > " + Quoted((canary / "family.txt").string()) + " ) 2> " +
                                  Quoted((root / "writer.txt").string()) + "\n"
                                  "touch " + Quoted((canary / "new.txt").string()) + " 2>> " +
                                  Quoted((root / "writer.txt").string()) + "\n"
                                  "echo inside > " + Quoted((root / "inside.txt").string()) + "\n");
    setup::testing::FixtureCd spec;
    spec.extraStatements = "InstallRun [SourceDrive]\\KELVAT\\WRITER.EXE;\n";
    setup::testing::MakeFixtureCd(cd, spec);
    const auto before = TreeOf(canary);
    ASSERT_EQ(Install(), 0) << log;
    EXPECT_EQ(TreeOf(canary), before);
    EXPECT_NE(ReadAll(root / "writer.txt").find("Permission denied"), std::string::npos) << ReadAll(root / "writer.txt");
    EXPECT_EQ(ReadAll(root / "inside.txt"), "inside\n") << "the installation itself stays writable";
    EXPECT_EQ(Tally(), std::string("\x01\x00\x00\x00", 4));
}

// The removal's statements with a killer before statement `at`: a CD program that kills the
// removal program (SIGKILL to its parent) the first time it runs.
std::string RemovalScript(int at) {
    const std::vector<std::string> statements = {
        "UninstallDelTree [InstallDir]\\[ProductDir]\\Spelare;\n",
        "UninstallErase [InstallDir]\\[ProductDir]\\Zelbo.ini;\n",
        "RegistryEntry Quorva\\Zelbo\\1.0, Install Path, [InstallDir]\\[ProductDir]\\ZELBO.EXE;\n",
        "StartMenuRoot Zelbo;\nStartMenu Zelbo, [InstallDir]\\[ProductDir]\\ZELBO.EXE, Zelbo;\n",
        "File [SourceDrive]\\KELVAT\\DATA.TXT, [InstallDir]\\[ProductDir]\\DATA.TXT, R;\n",
        "File95 [SourceDrive]\\KELVAT\\ZELBO.EXE, [InstallDir]\\[ProductDir]\\ZELBO.EXE;\n",
        "File [SourceDrive]\\KELVAT\\REMBLY.EXE, [InstallDir]\\[ProductDir]\\REMBLY.EXE;\n",
        "File [SourceDrive]\\KELVAT\\Product.Dat, [InstallDir]\\[ProductDir]\\Product.Dat;\n",
    };
    std::string text =
        "SplashScreenTitle Zelbo installation;\nSplashScreenArtBmp [SetupDir]\\BKGND.BMP;\nSplashScreenArtPos 50, 10;\n"
        "ProductName Zelbo;\nProductVersion 1.0;\nProductDir Zelbo;\nProductExe ZELBO;\nUninstallExe REMBLY.EXE;\n"
        "ProductSize 100000;\nUninstallVersionZelbo ZelboTally;\nWelcomeDialogTitle Zelbo;\n"
        "WelcomeDialogMessage Zelbo installeras i den mapp du anger.;\nWelcomeDialog;\nDisk ZELBO1, Zelbo-skivan;\n";
    for (int i = 0; i <= static_cast<int>(statements.size()); ++i) {
        if (i == at) text += "UninstallRun D:\\KELVAT\\KILLER.EXE;\n";  // the removal has no source drive
        if (i < static_cast<int>(statements.size())) text += statements[i];
    }
    return text;
}

constexpr int kRemovalStatements = 8;

// Killed at each statement and run again, the removal finishes: the installation gone, the tally
// with it, nothing of the removal left; a reinstallation after a killed removal counts one.
TEST_F(SetupPrograms, ARemovalKilledAtAnyStatementFinishesWhenRunAgain) {
    const fs::path marker = root / "killed";
    PutCdScript("KILLER.EXE", "[ -e " + Quoted(marker.string()) + " ] && exit 0\n: > " + Quoted(marker.string()) +
                                  "\nkill -9 $PPID\nsleep 10\n");
    for (int at = 0; at <= kRemovalStatements; ++at) {
        SCOPED_TRACE("killed before statement " + std::to_string(at));
        fs::remove_all(root);
        fs::create_directories(root);
        std::ofstream(cd / "KELVAT" / "Product.Dat", std::ios::binary) << RemovalScript(at);
        ASSERT_EQ(Install(), 0) << log;
        const fs::path game = root / "Program Files" / "Quorva" / "Zelbo";
        fs::create_directories(game / "Spelare" / "Kid001");
        std::ofstream(game / "Spelare" / "Kid001" / "SETTINGS.INI") << "[Settings]\r\n";
        std::ofstream(game / "Zelbo.ini") << "[Spel]\r\nSenast=1\r\n";
        ASSERT_EQ(Tally(), std::string("\x01\x00\x00\x00", 4));

        const int killed = Remove();
        ASSERT_TRUE(fs::exists(marker)) << log;
        EXPECT_TRUE((WIFSIGNALED(killed) && WTERMSIG(killed) == SIGKILL) ||
                    (WIFEXITED(killed) && WEXITSTATUS(killed) == 128 + SIGKILL))
            << killed << " " << log;

        ASSERT_EQ(Remove(), 0) << log;
        EXPECT_FALSE(fs::exists(game)) << log;
        EXPECT_FALSE(fs::exists(root / "Program Files" / "Quorva"));
        EXPECT_FALSE(fs::exists(root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva"));
        EXPECT_FALSE(fs::exists(root / "WINDOWS" / "Rembly")) << "the removal's record is gone";
        EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP")) << "no script copy is left";
        EXPECT_EQ(Tally(), "no key") << "the tally went with the last installation";
        EXPECT_TRUE(fs::is_empty(dir / "xdg" / "applications")) << "the shortcut's desktop entry went with it";
        fs::remove(marker);
    }

    // A removal killed midway, then a new installation: one installation, not two.
    fs::remove_all(root);
    fs::create_directories(root);
    std::ofstream(cd / "KELVAT" / "Product.Dat", std::ios::binary) << RemovalScript(kRemovalStatements);
    ASSERT_EQ(Install(), 0) << log;
    Remove();
    ASSERT_TRUE(fs::exists(marker));
    ASSERT_EQ(Install(), 0) << log;
    EXPECT_EQ(Tally(), std::string("\x01\x00\x00\x00", 4));
    ASSERT_EQ(Remove(), 0) << log;
    EXPECT_FALSE(fs::exists(root / "Program Files" / "Quorva" / "Zelbo"));
    EXPECT_EQ(Tally(), "no key");
}

}  // namespace
