#include "engine/players/prefs_file.h"

#include <cstring>
#include <functional>
#include <vector>

#include "engine/base/activity_settings.h"
#include "engine/core/cor_engine.h"
#include "engine/core/launcher_test_support.h"
#include "engine/players/players_test_support.h"
#include "platform/core/crt.h"
#include "platform/fs/winfile.h"

namespace {

namespace fs = std::filesystem;

class PrefsFile : public PlayersTest {
protected:
    void SetUp() override {
        PlayersTest::SetUp();
        fs::create_directories(root / "Prog");
        savedFolder = theEngine->m_programFolder;
        theEngine->m_programFolder = "C:\\Prog\\";
        theEngine->m_launcherMode = 0;
        theEngine->m_launcherSwapPath[0] = '\0';
        SetDefaultPrefs(theEngine->m_prefs);
    }
    void TearDown() override {
        theEngine->m_programFolder = savedFolder;
        theEngine->m_launcherMode = 0;
        theEngine->m_launcherSwapPath[0] = '\0';
        std::error_code ec;
        fs::permissions(root / "Prog", fs::perms::owner_all, fs::perm_options::add, ec);
        PlayersTest::TearDown();
    }

    static ActivitySettings& Block() {
        int32_t size = 0;
        return *static_cast<ActivitySettings*>(theEngine->GetSavedSettings(size));
    }
    static std::string Bytes(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }
    static std::string RecordOf(const CUserPrefs& r) { return Bytes(&r, sizeof r); }
    static std::string BlockOf(const ActivitySettings& b) { return Bytes(&b, sizeof b); }
    static ActivitySettings Levels(uint16_t first) { return TestLevels(first); }
    static CUserPrefs Record(uint16_t volume) {
        CUserPrefs r;
        r.SetRecordDefaults();
        r.volumePercent = volume;
        return r;
    }
    static ActivitySettings DefaultLevels() {
        ActivitySettings b;
        b.SetDefaults();
        return b;
    }

    std::string savedFolder;
};

TEST_F(PrefsFile, AFirstStartGivesTheEngineDefaults) {
    theEngine->m_prefs.scanSpeed = 9;
    ASSERT_EQ(ReadPrefs(nullptr, nullptr), 1);
    EXPECT_EQ(theEngine->m_prefs.scanSpeed, 4);
    EXPECT_EQ(theEngine->m_prefs.scanningAllowed, 0u);
    EXPECT_EQ(theEngine->m_prefs.printingOn, 1u);
    EXPECT_EQ(theEngine->m_prefs.colourPrinting, 0u);
    // Without a file the block is reset and the record left alone.
    theEngine->m_prefs.volumePercent = 55;
    Block() = Levels(20);
    ASSERT_EQ(ReadUserPrefs(nullptr, nullptr, 0), 1);
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
    EXPECT_EQ(theEngine->m_prefs.volumePercent, 55);
}

TEST_F(PrefsFile, ThePreferenceFolder) {
    char folder[MAX_PATH];
    ASSERT_EQ(GetPrefsFolder(folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "C:\\Prog\\");
    char small[5] = "xxxx";
    EXPECT_EQ(GetPrefsFolder(small, sizeof small), 0);
    EXPECT_STREQ(small, "");

    fs::permissions(root / "Prog", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ASSERT_EQ(GetPrefsFolder(folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "C:\\WINDOWS\\TEMP\\");
    fs::permissions(root / "Prog", fs::perms::owner_all, fs::perm_options::add);

    // In launcher mode: the launcher's child folder, made when missing.
    LauncherFiles files;
    files.current = MakeLauncherChild("Pelle", "Berg", 4);
    WriteLauncherFiles(root / "ZADARO.SWP", root / "ZADARO", files);
    std::strcpy(theEngine->m_launcherSwapPath, "C:\\ZADARO.SWP");
    theEngine->m_launcherMode = 1;
    ASSERT_EQ(GetPrefsFolder(folder, sizeof folder), 1);
    EXPECT_STREQ(folder, "C:\\ZADARO\\AD1\\KD4\\");
    EXPECT_TRUE(fs::is_directory(root / "ZADARO" / "AD1" / "KD4"));
    char name[8];
    ASSERT_EQ(GetPrefsFileName(name, sizeof name), 1);
    EXPECT_STREQ(name, "Zelbo.P");
}

// Each write keeps the part of the file it does not write; short files are refused when read.
TEST_F(PrefsFile, RecordAndBlockKeepEachOther) {
    const CUserPrefs record = Record(40);
    const ActivitySettings levels = Levels(30);
    const fs::path file = root / "Kids" / "A" / "Zelbo.PRF";

    ASSERT_EQ(WriteUserPrefs("C:\\Kids\\A", &levels, sizeof levels), 1);  // the folder is made
    CUserPrefs defaults;
    SetFileRecordDefaults(defaults);
    EXPECT_EQ(defaults.useOwnVolume, 0u);
    EXPECT_EQ(defaults.scanSpeed, 30);
    EXPECT_EQ(Get(file), RecordOf(defaults) + BlockOf(levels));

    ASSERT_EQ(WritePrefs("C:\\Kids\\A\\", &record), 1);
    EXPECT_EQ(Get(file), RecordOf(record) + BlockOf(levels));
    const ActivitySettings later = Levels(50);
    ASSERT_EQ(WriteUserPrefs("C:\\Kids\\A", &later, sizeof later), 1);
    EXPECT_EQ(Get(file), RecordOf(record) + BlockOf(later));

    CUserPrefs read;
    ASSERT_EQ(ReadPrefs("C:\\Kids\\A", &read), 1);
    EXPECT_EQ(RecordOf(read), RecordOf(record));
    ActivitySettings readLevels{};
    ASSERT_EQ(ReadUserPrefs("C:\\Kids\\A", &readLevels, sizeof readLevels), 1);
    EXPECT_EQ(BlockOf(readLevels), BlockOf(later));

    // A record alone: the record reads, the block does not and stays as it was.
    Put(file, RecordOf(record));
    Block() = Levels(7);
    EXPECT_EQ(ReadUserPrefs("C:\\Kids\\A", nullptr, 0), 0);
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(7)));
    // A short record: 0, the engine's record unchanged; writing the block puts defaults first.
    Put(file, RecordOf(record).substr(0, 100));
    theEngine->m_prefs.volumePercent = 66;
    EXPECT_EQ(ReadPrefs("C:\\Kids\\A", nullptr), 0);
    EXPECT_EQ(theEngine->m_prefs.volumePercent, 66);
    ASSERT_EQ(WriteUserPrefs("C:\\Kids\\A", &later, sizeof later), 1);
    EXPECT_EQ(Get(file), RecordOf(defaults) + BlockOf(later));
}

// A player whose file is missing gets default levels, never the engine's levels of the
// player before; a block of the caller's own leaves the engine's block alone.
TEST_F(PrefsFile, AMissingPlayerFileGivesDefaultLevels) {
    fs::create_directories(root / "Kids" / "B");
    Block() = Levels(30);
    theEngine->m_prefs.volumePercent = 12;
    ASSERT_EQ(ReadUserPrefs("C:\\Kids\\B", nullptr, 0), 1);
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
    EXPECT_EQ(theEngine->m_prefs.volumePercent, 12);

    Block() = Levels(30);
    ActivitySettings mine = Levels(90);
    ASSERT_EQ(ReadUserPrefs("C:\\Kids\\B", &mine, sizeof mine), 1);
    EXPECT_EQ(BlockOf(mine), BlockOf(DefaultLevels()));
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(30)));
}

TEST_F(PrefsFile, PrinterNamesFromAFileAreCutToTheirFields) {
    CUserPrefs record = Record(1);
    std::memset(record.printerDriver, 'D', sizeof record.printerDriver);
    std::memset(record.printerDevice, 'V', sizeof record.printerDevice);
    std::memset(record.printerPort, 'P', sizeof record.printerPort);
    Put(root / "Prog" / "Zelbo.PRF", RecordOf(record) + BlockOf(Levels(3)));
    CUserPrefs read;
    ASSERT_EQ(ReadPrefs(nullptr, &read), 1);
    ASSERT_EQ(ReadPrefs(nullptr, nullptr), 1);
    for (const CUserPrefs* r : {&read, &theEngine->m_prefs}) {
        EXPECT_EQ(std::string(r->printerDriver), std::string(sizeof r->printerDriver - 1, 'D'));
        EXPECT_EQ(std::string(r->printerDevice), std::string(sizeof r->printerDevice - 1, 'V'));
        EXPECT_EQ(std::string(r->printerPort), std::string(sizeof r->printerPort - 1, 'P'));
    }
}

TEST_F(PrefsFile, MakePathMakesEveryLevelButTheRoot) {
    EXPECT_EQ(MakePath("C:\\a\\b\\c\\"), 1);
    EXPECT_TRUE(fs::is_directory(root / "a" / "b" / "c"));
    EXPECT_EQ(MakePath("C:\\a\\b\\c"), 1);
    EXPECT_EQ(MakePath("nofolder"), 0);
    Put(root / "file", "x");
    EXPECT_EQ(MakePath("C:\\file\\sub"), 0);
    EXPECT_EQ(DirectoryExists("C:\\a\\b\\"), 1);
    EXPECT_EQ(DirectoryExists("C:\\none"), 0);
    EXPECT_EQ(DoesFileExist("C:\\file"), 1);
    EXPECT_EQ(DoesFileExist("C:\\none"), 0);
}

// Every write step failed, then killed, in turn: the file holds its old bytes or its new
// ones, never a mix or a short file; after a kill the next write still works.
TEST_F(PrefsFile, AWriteFailedOrKilledAtAnyStepLeavesTheOldFile) {
    const fs::path file = root / "Prog" / "Zelbo.PRF";
    const std::string before = RecordOf(Record(10)) + BlockOf(Levels(10));
    struct Op {
        const char* name;
        std::function<int()> write;
        std::string after;
    };
    const CUserPrefs record = Record(20);
    const ActivitySettings levels = Levels(20);
    const std::vector<Op> ops = {
        {"WritePrefs", [&] { return WritePrefs(nullptr, &record); }, RecordOf(record) + BlockOf(Levels(10))},
        {"WriteUserPrefs", [&] { return WriteUserPrefs(nullptr, &levels, sizeof levels); },
         RecordOf(Record(10)) + BlockOf(levels)},
        {"SavePrefsFile",
         [&] {
             theEngine->m_prefs = record;
             Block() = levels;
             return SavePrefsFile(nullptr);
         },
         RecordOf(record) + BlockOf(levels)},
    };
    for (const Op& op : ops) {
        plat::CWriteFaultPlan counter;
        Put(file, before);
        {
            plat::CWriteFaultScope scope(&counter);
            ASSERT_EQ(op.write(), 1) << op.name;
        }
        EXPECT_EQ(Get(file), op.after) << op.name;
        ASSERT_GE(counter.Steps(), 4) << op.name;
        for (int at = 0; at < counter.Steps(); ++at) {
            for (const plat::WriteFault fault : {plat::WriteFault::Fail, plat::WriteFault::Kill}) {
                SCOPED_TRACE(testing::Message() << op.name << " step " << at
                                                << (fault == plat::WriteFault::Kill ? " killed" : " failed"));
                Put(file, before);
                plat::CWriteFaultPlan plan(at, fault);
                {
                    plat::CWriteFaultScope scope(&plan);
                    EXPECT_EQ(op.write(), 0);
                }
                EXPECT_EQ(Get(file), before);
                if (fault == plat::WriteFault::Fail) {
                    EXPECT_FALSE(fs::exists(root / "Prog" / "Zelbo.PRF.new"));
                }
                ASSERT_EQ(op.write(), 1);
                EXPECT_EQ(Get(file), op.after);
            }
        }
    }
}

}  // namespace
