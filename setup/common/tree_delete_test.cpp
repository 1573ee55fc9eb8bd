#include "setup/common/tree_delete.h"

#include <gtest/gtest.h>

#include "platform/fs/fs_test_fixture.h"
#include "setup/common/install_paths.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_test_host.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

class TreeDelete : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        RegisterScriptStrings();
        outside = tmp / "outside";
        Put(outside / "precious.txt", "keep me");
    }
    // Z:'s name of a host path.
    static std::string OnZ(const fs::path& host) { return plat::HostToDosPath(host); }

    CTestScriptHost host;
    CProductDat script{host};
    fs::path outside;
};

// A product folder holding what a careless walk gets wrong: folders that are read-only or
// hidden, names beginning with dots, a read-only file, and a link to a folder elsewhere.
TEST_F(TreeDelete, DeletesEverythingInsideAndFollowsNoLink) {
    const fs::path game = root / "Spel" / "Quorva" / "Zelbo";
    Put(game / "ZELBO.EXE", "exe");
    Put(game / "READONLY.DAT", "r");
    Put(game / ".dotfile", "d");
    Put(game / "..twodots", "d");
    Put(game / "Skyddad" / "inside.txt", "ro folder");
    Put(game / "Gomd" / "inside.txt", "hidden folder");
    Put(game / ".dotdir" / "deep" / "inside.txt", "dot folder");
    fs::create_directory_symlink(outside, game / "Lank");
    ASSERT_TRUE(SetFileAttributesA("C:\\Spel\\Quorva\\Zelbo\\READONLY.DAT", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA("C:\\Spel\\Quorva\\Zelbo\\Skyddad", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA("C:\\Spel\\Quorva\\Zelbo\\Gomd", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    Put(root / "Spel" / "annat.txt", "another product's");

    DeleteTree(script, "C:\\Spel\\Quorva\\Zelbo\\");

    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    EXPECT_FALSE(Exists(game));
    // The emptied parent goes; the walk stops at the first one that still holds something.
    EXPECT_FALSE(Exists(root / "Spel" / "Quorva"));
    EXPECT_EQ(Get(root / "Spel" / "annat.txt"), "another product's");
    // The link went as a file; what it pointed to is whole.
    EXPECT_EQ(Get(outside / "precious.txt"), "keep me");
}

// Emptied parents go up to, never including, the installation's own folders.
TEST_F(TreeDelete, ParentWalkStopsAtSpecialFolders) {
    struct Case {
        const char* folder;     // deleted
        const char* emptied;    // its parent, left empty and removed
        fs::path stop;          // the special folder that stays, empty or not
    };
    const Case cases[] = {
        {"C:\\Program Files\\Quorva\\Zelbo", "C:\\Program Files\\Quorva", root / "Program Files"},
        {"C:\\WINDOWS\\Start Menu\\Programs\\Quorva\\Zelbo", "C:\\WINDOWS\\Start Menu\\Programs\\Quorva",
         root / "WINDOWS" / "Start Menu" / "Programs"},
        {"C:\\WINDOWS\\TEMP\\Zelbo", nullptr, root / "WINDOWS" / "TEMP"},
        {"C:\\WINDOWS\\SYSTEM\\Zelbo", nullptr, root / "WINDOWS" / "SYSTEM"},
        {"C:\\Zelbo\\Data", "C:\\Zelbo", root},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        Put(plat::ResolveDosPath(c.folder).value() / "file.txt", "x");
        DeleteTree(script, c.folder);
        EXPECT_FALSE(DirectoryExists(c.folder));
        if (c.emptied) {
            EXPECT_FALSE(DirectoryExists(c.emptied));
        }
        EXPECT_TRUE(fs::is_directory(c.stop));
    }
    EXPECT_TRUE(fs::is_directory(root / "WINDOWS" / "Start Menu"));
    EXPECT_TRUE(host.messages.empty());
}

// Nothing outside the emulated installation is touched: a statement aimed at the host's
// file system (Z:) or at a CD stops with the script error.
TEST_F(TreeDelete, OtherDrivesStopTheScriptAndStayWhole) {
    Put(cd1 / "KELVAT" / "Product.Dat", "x");
    // A link on C: that leads to the host's folder counts as the host's folder.
    fs::create_directories(root / "Spel");
    fs::create_directory_symlink(outside, root / "Spel" / "Lank");
    const std::string targets[] = {OnZ(outside), OnZ(outside) + "\\", "D:\\KELVAT", "Z:\\", "C:\\", "C:\\WINDOWS",
                                   "C:\\Spel\\Lank", "C:\\Spel\\Lank\\"};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        try {
            DeleteTree(script, target);
            ADD_FAILURE() << "no stop";
        } catch (const ScriptStop& stop) {
            EXPECT_EQ(stop.text, Cp(u8"Kunde inte läsa Product.dat."));
        }
    }
    for (const std::string& file : {OnZ(outside / "precious.txt"), std::string("D:\\KELVAT\\Product.Dat"),
                                    std::string("C:\\Spel\\Lank\\precious.txt")}) {
        EXPECT_THROW(EraseFile(script, file), ScriptStop) << file;
    }
    EXPECT_EQ(Get(outside / "precious.txt"), "keep me");
    EXPECT_EQ(Get(cd1 / "KELVAT" / "Product.Dat"), "x");
    EXPECT_TRUE(fs::is_directory(root / "WINDOWS"));
}

TEST_F(TreeDelete, EraseFile) {
    Put(root / "Zelbo" / "GONE.TXT", "x");
    Put(root / "Zelbo" / "STUCK.TXT", "x");
    ASSERT_TRUE(SetFileAttributesA("C:\\Zelbo\\STUCK.TXT", FILE_ATTRIBUTE_READONLY));

    EraseFile(script, "C:\\Zelbo\\GONE.TXT");
    EraseFile(script, "C:\\Zelbo\\MISSING.TXT");
    EXPECT_FALSE(Exists(root / "Zelbo" / "GONE.TXT"));
    EXPECT_TRUE(host.messages.empty());

    EraseFile(script, "C:\\Zelbo\\STUCK.TXT");
    EXPECT_TRUE(Exists(root / "Zelbo" / "STUCK.TXT"));
    EXPECT_EQ(host.messages, std::vector<std::string>{"1:" + Cp(u8"Kunde inte ta bort C:\\Zelbo\\STUCK.TXT.")});
}

}  // namespace
}  // namespace setup
