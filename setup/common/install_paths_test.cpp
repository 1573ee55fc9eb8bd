#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/fs/fs_test_fixture.h"
#include "platform/process/process.h"
#include "platform/profile/profile.h"
#include "setup/common/install_paths.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_test_host.h"
#include "setup/common/script_values.h"
#include "platform/fs/winfile.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

class InstallPaths : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        RegisterScriptStrings();
        script.Values().windowsDir = "C:\\WINDOWS";
    }
    fs::path WinInit() const { return root / "WINDOWS" / "WinInit.ini"; }

    CTestScriptHost host;
    CProductDat script{host};
};

TEST_F(InstallPaths, CreateDirectoryPathMakesEveryLevelButTheDrivePart) {
    struct Case {
        std::string path;
        int result;
        std::vector<fs::path> made;     // host folders that exist afterwards
        std::vector<fs::path> notMade;  // host folders that must not exist
    };
    const Case cases[] = {
        {"C:\\Spel\\Quorva\\Zelbo", 1, {"Spel/Quorva/Zelbo"}, {}},
        {"C:\\Trail\\Slash\\", 1, {"Trail/Slash"}, {}},
        // No backslash at all (a root loses its one trailing backslash first): nothing is made.
        {"C:\\", 0, {}, {}},
        {"Ensam", 0, {}, {"Ensam"}},
        // A relative path's first part stands where the drive would: it is never made, so
        // the level below it cannot be made either.
        {"Topp\\Under", 0, {}, {"Topp", "Topp/Under"}},
        // A read-only CD and an unmapped drive.
        {"D:\\Ny", 0, {}, {}},
        {"Q:\\Ny\\Mapp", 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(CreateDirectoryPath(c.path), c.result);
        for (const fs::path& p : c.made) EXPECT_TRUE(fs::is_directory(root / p)) << p;
        for (const fs::path& p : c.notMade) EXPECT_FALSE(Exists(root / p)) << p;
    }
    EXPECT_TRUE(DirectoryExists("C:\\Spel\\Quorva\\"));
    EXPECT_FALSE(DirectoryExists("C:\\Spel\\Saknas"));
}

// The Temp folder takes the script's copy unless it is missing or the program runs in it.
TEST_F(InstallPaths, StartFoldersKeepTheCopyOutOfTheProgramsFolder) {
    fs::create_directories(root / "WINDOWS" / "TEMP");
    fs::create_directories(root / "Prog");
    struct Case {
        const char* current;
        bool tempExists;
        const char* tempDir;
    };
    const Case cases[] = {
        {"C:\\Prog", true, "C:\\WINDOWS\\TEMP\\"},
        {"C:\\WINDOWS\\TEMP", true, "C:\\WINDOWS\\SYSTEM"},
        {"C:\\Prog", false, "C:\\WINDOWS\\SYSTEM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.current) + (c.tempExists ? " with Temp" : " without Temp"));
        if (!c.tempExists) fs::remove_all(root / "WINDOWS" / "TEMP");
        ASSERT_TRUE(SetCurrentDirectoryA(c.current));
        ScriptValues values;
        FindStartFolders(values);
        EXPECT_EQ(values.systemDir, "C:\\WINDOWS\\SYSTEM");
        EXPECT_EQ(values.windowsDir, "C:\\WINDOWS");
        EXPECT_EQ(values.tempDir, c.tempDir);
    }
}

TEST_F(InstallPaths, SplitPathCutsAtTheLastBackslash) {
    std::string dir, name;
    EXPECT_TRUE(SplitPath("C:\\A\\B\\FIL.DLL", dir, name));
    EXPECT_EQ(dir, "C:\\A\\B");
    EXPECT_EQ(name, "FIL.DLL");
    EXPECT_TRUE(SplitPath("C:\\", dir, name));
    EXPECT_EQ(dir, "C:");
    EXPECT_EQ(name, "");
    EXPECT_FALSE(SplitPath("FIL.DLL", dir, name));
    EXPECT_EQ(dir, "");
    EXPECT_EQ(name, "");
}

// The "NUL=" line goes after every exact "[rename]" header; without one, a new section ends
// the file. The file is read in text mode (CR LF reads as LF) and written back with LF.
TEST_F(InstallPaths, ScheduleDeleteAtBootFindsOrAddsTheRenameSection) {
    std::string many = "[rename]\n";
    std::string manyAfter = "[rename]\nNUL=C:\\Spel\\X.DLL\n";
    for (int i = 0; i < 150; ++i) {
        const std::string line = "NUL=C:\\WINDOWS\\SYSTEM\\GAMMAL" + std::to_string(i) + ".DLL\n";
        many += line;
        manyAfter += line;
    }
    ASSERT_GT(many.size(), 2000u);
    struct Case {
        const char* name;
        std::optional<std::string> before;  // none: no file
        std::string after;
    };
    const Case cases[] = {
        {"missing", std::nullopt, "[rename]\nNUL=C:\\Spel\\X.DLL\n"},
        {"header", "[rename]\nC:\\A=C:\\B\n", "[rename]\nNUL=C:\\Spel\\X.DLL\nC:\\A=C:\\B\n"},
        {"two headers", "[rename]\n[andra]\n[rename]\n",
         "[rename]\nNUL=C:\\Spel\\X.DLL\n[andra]\n[rename]\nNUL=C:\\Spel\\X.DLL\n"},
        {"another case", "[Rename]\r\nNUL=C:\\A\r\n", "[Rename]\nNUL=C:\\A\n[rename]\nNUL=C:\\Spel\\X.DLL\n"},
        {"last line without newline", "[boot]\n[rename]", "[boot]\n[rename]\n[rename]\nNUL=C:\\Spel\\X.DLL\n"},
        {"larger than 2000 bytes", many, manyAfter},
        {"empty", "", "[rename]\nNUL=C:\\Spel\\X.DLL\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(WinInit());
        if (c.before) Put(WinInit(), *c.before);
        ScheduleDeleteAtBoot(script, "C:\\Spel\\X.DLL");
        EXPECT_EQ(Get(WinInit()), c.after);
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(InstallPaths, ScheduleDeleteAtBootKeepsWhatTheProfileCallsWrote) {
    // The profile calls write CR LF lines; the rename a file in use gets follows the NUL line,
    // and the next start of Windows applies them in that order.
    Put(root / "Spel" / "X.DLL", "old");
    Put(root / "Spel" / "X.tmp", "new");
    ASSERT_TRUE(WritePrivateProfileStringA("rename", "C:\\Spel\\X.DLL", "C:\\Spel\\X.tmp", "C:\\WINDOWS\\WinInit.ini"));
    ScheduleDeleteAtBoot(script, "C:\\Spel\\X.DLL");
    EXPECT_EQ(Get(WinInit()), "[rename]\nNUL=C:\\Spel\\X.DLL\nC:\\Spel\\X.DLL=C:\\Spel\\X.tmp\n");
    EXPECT_EQ(plat::ApplyPendingRenames(), 2);
    EXPECT_EQ(Get(root / "Spel" / "X.DLL"), "new");
    EXPECT_FALSE(Exists(root / "Spel" / "X.tmp"));
}

// A link planted at WinInit.ini's name is never read or written through: it is replaced by the
// file, and what it named stays as it was.
TEST_F(InstallPaths, ScheduleDeleteAtBootNeverWritesThroughALink) {
    Put(tmp / "canary" / "letter.txt", "[rename]\nNUL=C:\\Spel\\KEEP\n");
    fs::create_symlink(tmp / "canary" / "letter.txt", WinInit());
    ScheduleDeleteAtBoot(script, "C:\\Spel\\X.DLL");
    EXPECT_EQ(Get(tmp / "canary" / "letter.txt"), "[rename]\nNUL=C:\\Spel\\KEEP\n");
    EXPECT_FALSE(fs::is_symlink(WinInit()));
    EXPECT_EQ(Get(WinInit()), "[rename]\nNUL=C:\\Spel\\X.DLL\n");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(InstallPaths, ScheduleDeleteAtBootReportsAFileItCannotRead) {
    // A folder in the file's place cannot be read as a file: message 59169, nothing changed.
    fs::create_directories(WinInit());
    ScheduleDeleteAtBoot(script, "C:\\Spel\\X.DLL");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "2:Kunde inte " + Cp(u8"öppna") + " C:\\WINDOWS\\WinInit.ini.");
    EXPECT_TRUE(fs::is_directory(WinInit()));
}

}  // namespace
}  // namespace setup
