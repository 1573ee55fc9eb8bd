#include "engine/core/launcher.h"

#include <algorithm>
#include <optional>

#include "engine/core/engine_test_support.h"
#include "engine/core/launcher_test_support.h"
#include "platform/core/crt.h"
#include "platform/fs/crt_stat.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"

namespace {

namespace fs = std::filesystem;

using enginetest::EngineTest;

class Launcher : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        theEngine->m_launcherMode = 0;
        theEngine->m_launcherSwapPath[0] = '\0';
    }
    void TearDown() override {
        SetLauncherDriveTypeQuery(nullptr);
        plat::SetWallClock(std::nullopt);
        theEngine->m_launcherMode = 0;
        theEngine->m_launcherSwapPath[0] = '\0';
        EngineTest::TearDown();
    }
    // Writes the files and takes the swap file as the one found at start-up.
    fs::path Install(const LauncherFiles& files) {
        const fs::path adult = WriteLauncherFiles(root / "ZADARO.SWP", root / "ZADARO", files);
        std::strcpy(theEngine->m_launcherSwapPath, "C:\\ZADARO.SWP");
        return adult;
    }
    // Sets "now" to `age` seconds after the swap file was written.
    static void SwapFileAged(const char* path, int64_t age) {
        struct _stat info {};
        ASSERT_EQ(_stat(path, &info), 0);
        plat::SetWallClock(static_cast<int64_t>(info.st_mtime) + age);
    }
};

TEST_F(Launcher, ActiveOnlyWithASwapFileAtMostThirtySecondsOld) {
    WriteLauncherFiles(root / "ZADARO.SWP", root / "ZADARO", {});
    const std::pair<int64_t, int> cases[] = {{0, 1}, {29, 1}, {30, 1}, {31, 0}, {-1, 0}};
    for (const auto& [age, active] : cases) {
        SCOPED_TRACE(age);
        SwapFileAged("C:\\ZADARO.SWP", age);
        char path[MAX_PATH] = "stale";
        EXPECT_EQ(IsLauncherActive(path, sizeof path), active);
        EXPECT_STREQ(path, active ? "C:\\ZADARO.SWP" : "");
    }
    // A buffer too small for the path gets nothing rather than another file's name.
    SwapFileAged("C:\\ZADARO.SWP", 1);
    char tiny[8] = "x";
    EXPECT_EQ(IsLauncherActive(tiny, sizeof tiny), 0);
    EXPECT_STREQ(tiny, "");

    // Start-up decides launcher mode once and keeps the swap file's path.
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);
    EXPECT_EQ(IsLauncherModeSet(), 1);
    EXPECT_EQ(IsLauncherMode(), 1);
    EXPECT_STREQ(GetLauncherSwapPath(), "C:\\ZADARO.SWP");
}

UINT CdIsRemovable(LPCSTR root) {
    switch (root[0]) {
        case 'C': return DRIVE_FIXED;
        case 'D': return DRIVE_REMOVABLE;
        case 'E': return DRIVE_CDROM;
        default: return DRIVE_UNKNOWN;
    }
}

// The search starts at the current drive and wraps; a removable drive counts only when it is
// the current one, a drive of unknown type never.
TEST_F(Launcher, SwapFileSearchSkipsOtherRemovableDrives) {
    SetLauncherDriveTypeQuery(CdIsRemovable);
    std::ofstream(cd1 / "ZADARO.SWP") << "x";
    char path[MAX_PATH];
    ASSERT_TRUE(plat::SetCurrentDosDirectory("C:\\"));
    EXPECT_EQ(FindLauncherSwapFile(path), 0);
    EXPECT_STREQ(path, "");
    ASSERT_TRUE(plat::SetCurrentDosDirectory("D:\\"));
    EXPECT_EQ(FindLauncherSwapFile(path), 1);
    EXPECT_STREQ(path, "D:\\ZADARO.SWP");

    // From E: the search wraps past Z to C: and finds C: before coming back to D:.
    std::ofstream(root / "ZADARO.SWP") << "x";
    std::ofstream(cd2 / "ZADARO.SWP") << "x";
    SetLauncherDriveTypeQuery([](LPCSTR r) { return r[0] == 'E' ? UINT{DRIVE_UNKNOWN} : CdIsRemovable(r); });
    ASSERT_TRUE(plat::SetCurrentDosDirectory("E:\\"));
    EXPECT_EQ(FindLauncherSwapFile(path), 1);
    EXPECT_STREQ(path, "C:\\ZADARO.SWP");
    ASSERT_TRUE(plat::SetCurrentDosDirectory("C:\\"));
}

struct PlaceCase {
    const char* name;
    bool newer;
    uint8_t adultFlag;
    uint16_t adultNumber;
    const char* folder;  // the current child's folder below C:\ZADARO
};

TEST_F(Launcher, TheChildsFolderFollowsTheLaunchersGeneration) {
    const PlaceCase cases[] = {
        {"newer, grown-up 0 is 1", true, 0, 0, "AD1\\KD7"},
        {"newer, grown-up 3", true, 0, 3, "AD3\\KD7"},
        {"older, flag clear", false, 0, 3, "ADULT\\ST7"},
        {"older, flag set", false, 1, 3, "AD3\\ST7"},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root / "ZADARO");
        LauncherFiles files;
        files.newer = c.newer;
        files.adultFlag = c.adultFlag;
        files.adultNumber = c.adultNumber;
        files.current = MakeLauncherChild("Pelle", "Berg", 7);
        Install(files);
        char name[64];
        char folder[MAX_PATH];
        ASSERT_EQ(GetLauncherUserPath(name, sizeof name, folder, sizeof folder), 1);
        EXPECT_STREQ(name, "Pelle Berg");
        EXPECT_EQ(std::string(folder), std::string("C:\\ZADARO\\") + c.folder);
        std::string hostFolder = c.folder;
        std::replace(hostFolder.begin(), hostFolder.end(), '\\', '/');
        EXPECT_TRUE(fs::is_directory(root / "ZADARO" / hostFolder));
        const LauncherChild other = MakeLauncherChild("Anna", "Ek", 12);
        ASSERT_EQ(GetLauncherUserPathFor(other, folder, sizeof folder), 1);
        std::string want = std::string("C:\\ZADARO\\") + c.folder;
        want.replace(want.size() - 1, 1, "12\\");
        EXPECT_EQ(std::string(folder), want);
    }
}

TEST_F(Launcher, NamesAndFoldersAreReadAndCopiedBounded) {
    LauncherFiles files;
    files.folder = "C:\\ZADARO\\";  // a trailing backslash is not doubled
    files.current = MakeLauncherChild("ABCDEFGHIJKLMNOP", "QRSTUVWXYZabcdef", 2);  // no terminators
    Install(files);
    char name[64];
    char folder[MAX_PATH];
    ASSERT_EQ(GetLauncherUserPath(name, sizeof name, folder, sizeof folder), 1);
    EXPECT_STREQ(name, "ABCDEFGHIJKLMNOP QRSTUVWXYZabcdef");
    EXPECT_STREQ(folder, "C:\\ZADARO\\AD1\\KD2");
    // A name is cut to its buffer; a folder that does not fit fails and leaves both empty.
    char shortName[6];
    ASSERT_EQ(GetLauncherUserPath(shortName, sizeof shortName, nullptr, 0), 1);
    EXPECT_STREQ(shortName, "ABCDE");
    char shortFolder[10];
    EXPECT_EQ(GetLauncherUserPath(name, sizeof name, shortFolder, sizeof shortFolder), 0);
    EXPECT_STREQ(name, "");
    EXPECT_STREQ(shortFolder, "");
    EXPECT_EQ(GetLauncherUserPathFor(files.current, folder, 18), 0);  // "C:\ZADARO\AD1\KD2\" needs 19

    // A folder that cannot be made (no grown-up folder) fails.
    fs::remove_all(root / "ZADARO");
    files.makeAdultFolder = false;
    Install(files);
    EXPECT_EQ(GetLauncherUserPath(name, sizeof name, folder, sizeof folder), 0);
    EXPECT_STREQ(folder, "");

    // No swap file at all.
    fs::remove(root / "ZADARO.SWP");
    EXPECT_EQ(GetLauncherUserPath(name, sizeof name, folder, sizeof folder), 0);
    EXPECT_EQ(GetLauncherChildTotal(), -1);
}

struct ListCase {
    const char* name;
    bool newer;
    int children;
    int extraBytes;
    int countOverride;
    int wantTotal;
    int wantRead;  // result of ReadLauncherUserList with room for 5
};

TEST_F(Launcher, ChildListsOfBothGenerations) {
    const ListCase cases[] = {
        {"newer", true, 3, 0, -1, 3, 1},
        {"newer, count beyond the records", true, 2, 0, 4, 4, 0},
        {"newer, more than the capacity", true, 7, 0, -1, 7, 1},
        {"newer, torn count", true, 0, 0, -2, -1, 0},
        {"older, a partial record after three", false, 3, 100, -1, 3, 1},
        {"older, more than the capacity", false, 6, 0, -1, 6, 1},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root / "ZADARO");
        LauncherFiles files;
        files.newer = c.newer;
        for (int i = 0; i < c.children; ++i) {
            files.children.push_back(MakeLauncherChild("Kid" + std::to_string(i), "X", static_cast<uint16_t>(i + 1)));
        }
        files.extraListBytes = c.extraBytes;
        files.listCountOverride = c.countOverride;
        const fs::path adult = Install(files);
        if (c.countOverride == -2) std::ofstream(adult / "KIDNAMES.INF", std::ios::binary) << "\x01";
        EXPECT_EQ(GetLauncherChildTotal(), c.wantTotal);
        LauncherChild list[5];
        std::memset(list, 0x7F, sizeof list);
        EXPECT_EQ(ReadLauncherUserList(list, 5), c.wantRead);
        if (c.wantRead) {
            const int n = std::min(5, c.children);
            for (int i = 0; i < 5; ++i) {
                EXPECT_EQ(std::string(list[i].firstName), i < n ? "Kid" + std::to_string(i) : "");
                EXPECT_EQ(list[i].number, i < n ? i + 1 : 0);
            }
        }
    }
}

}  // namespace
