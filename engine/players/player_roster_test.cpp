#include "engine/players/player_roster.h"

#include <array>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "engine/players/player_files_test_support.h"
#include "engine/players/prefs_file.h"
#include "media/util/mono_debug.h"
#include "platform/mci/debug_display.h"

namespace {

namespace fs = std::filesystem;

// Fails every step (a disk that takes nothing).
class FailEverything : public plat::IWriteFaultHook {
public:
    plat::WriteFault Before(plat::WriteStep, const fs::path&) override { return plat::WriteFault::Fail; }
};

class PlayerRoster : public PlayerFilesTest {
protected:
    // Players Anna (Kid001, levels 10), Bo (Kid002, levels 20) and the guest (Kid003, levels 30).
    void ThreePlayers() {
        WriteList({{"G\xE4st", "kids\\Kid003\\"}, {"Bo", "kids\\Kid002\\"}, {"Anna", "kids\\Kid001\\"}});
        const char* folders[] = {"Kid001", "Kid002", "Kid003"};
        const char* names[] = {"Anna", "Bo", "G\xE4st"};
        for (int i = 0; i < 3; ++i) {
            MakeKidFolder(folders[i], names[i]);
            const ActivitySettings levels = Levels(static_cast<uint16_t>(10 * (i + 1)));
            ASSERT_EQ(WriteUserPrefs(("C:\\Prog\\kids\\" + std::string(folders[i])).c_str(), &levels, sizeof levels), 1);
        }
    }
    std::string FileOf(const char* folder) { return Get(Folder(folder) / "Zelbo.PRF"); }
    // Every file below the program folder and its bytes.
    std::map<std::string, std::string> Files() {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(root / "Prog")) {
            files[e.path().string()] = e.is_regular_file() ? Get(e.path()) : "<folder>";
        }
        return files;
    }
};

// Loading: the guest first, the player the preferences name is current and its levels are in
// the engine's block; a name without an entry makes entry 0 current in the preferences too, and
// entry 0's levels are loaded, never the preference folder's.
TEST_F(PlayerRoster, LoadingMakesTheNamedPlayerCurrent) {
    ThreePlayers();
    CUserPrefs record;
    SetFileRecordDefaults(record);
    Put(root / "Prog" / "Zelbo.PRF", std::string(reinterpret_cast<const char*>(&record), sizeof record) + BlockOf(Levels(7)));
    struct Case {
        const char* current;
        int index;
        const char* named;  // in the preferences afterwards
        uint16_t levels;
    };
    const Case cases[] = {
        {"Bo", 2, "Bo", 20},
        {"G\xE4st", 0, "G\xE4st", 30},
        {"Removed", 0, "G\xE4st", 30},
        {"", 0, "G\xE4st", 30},
        {"bo", 0, "G\xE4st", 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.current);
        prefs.SetCurrentUser(c.current);
        Block() = Levels(1);
        CPlayerRoster roster;
        roster.Load();
        ASSERT_EQ(roster.Count(), 3);
        EXPECT_EQ(roster.GetName(0), "G\xE4st");
        EXPECT_EQ(roster.GetName(1), "Anna");
        EXPECT_EQ(roster.GetName(2), "Bo");
        EXPECT_EQ(roster.Current(), c.index);
        EXPECT_EQ(prefs.currentUser, c.named);
        EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(c.levels)));
    }
}

// A list without the guest gains it at the end, with a folder and a list entry of its own; the
// next load puts it first. A guest in another case is the guest: no second one is added.
TEST_F(PlayerRoster, TheGuestIsAlwaysThere) {
    WriteList({{"Pelle", "kids\\Kid001\\"}, {"Anna", "kids\\Kid002\\"}});
    MakeKidFolder("Kid001", "Pelle");
    MakeKidFolder("Kid002", "Anna");
    CPlayerRoster roster;
    roster.Load();
    ASSERT_EQ(roster.Count(), 3);
    EXPECT_EQ(roster.GetName(2), "G\xE4st");
    EXPECT_EQ(ListValueOf("G\xE4st"), "kids\\Kid003\\");
    EXPECT_TRUE(fs::exists(Folder("Kid003") / "Zelbo.PRF"));
    roster.Load();
    ASSERT_EQ(roster.Count(), 3);
    EXPECT_EQ(roster.GetName(0), "G\xE4st");

    WriteList({{"Pelle", "kids\\Kid001\\"}, {"g\xE4st", "kids\\Kid002\\"}});
    const auto before = Files();
    roster.Load();
    ASSERT_EQ(roster.Count(), 2);
    EXPECT_EQ(roster.GetName(0), "g\xE4st");
    EXPECT_EQ(roster.Entry(0).folder, "C:\\Prog\\kids\\Kid002\\");
    EXPECT_EQ(Files(), before);
}

// A guest that cannot be added (nothing can be written) stays in the roster, in memory only;
// its levels are the defaults and are never written anywhere.
TEST_F(PlayerRoster, AGuestThatCannotBeAddedIsKeptInMemory) {
    prefs.SetCurrentUser("Anna");
    Block() = Levels(9);
    FailEverything hook;
    CPlayerRoster roster;
    {
        plat::CWriteFaultScope scope(&hook);
        roster.Load();
    }
    ASSERT_EQ(roster.Count(), 1);
    EXPECT_EQ(roster.GetName(0), "G\xE4st");
    EXPECT_EQ(roster.Entry(0).folder, "");
    EXPECT_EQ(prefs.currentUser, "G\xE4st");
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
    EXPECT_EQ(Files(), (std::map<std::string, std::string>{}));
}

// Switching players: the outgoing player's file gets the engine's block, the incoming one is
// named in the preferences and its levels loaded; choosing the current player touches nothing.
TEST_F(PlayerRoster, SwitchingPlayersKeepsEachPlayersLevels) {
    ThreePlayers();
    prefs.SetCurrentUser("Anna");
    CPlayerRoster roster;
    roster.Load();
    ASSERT_EQ(roster.Current(), 1);
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(10)));
    Block() = Levels(11);  // Anna played

    const auto before = Files();
    plat::CWriteFaultPlan counter;
    {
        plat::CWriteFaultScope scope(&counter);
        roster.SetCurrent(1);
    }
    EXPECT_EQ(counter.Steps(), 0);
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(11)));

    const std::string boFile = FileOf("Kid002");
    roster.SetCurrent(2);
    EXPECT_EQ(roster.Current(), 2);
    EXPECT_EQ(prefs.currentUser, "Bo");
    EXPECT_EQ(BlockPart(FileOf("Kid001")), BlockOf(Levels(11)));
    EXPECT_EQ(FileOf("Kid002"), boFile);
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(20)));

    Block() = Levels(21);
    roster.SetCurrent(1);
    EXPECT_EQ(BlockPart(FileOf("Kid002")), BlockOf(Levels(21)));
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(11)));
    EXPECT_EQ(BlockPart(FileOf("Kid003")), BlockOf(Levels(30)));

    // A player whose file has gone starts again at the default levels, not at the levels of
    // the player before.
    fs::remove(Folder("Kid003") / "Zelbo.PRF");
    roster.SetCurrent(0);
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
    EXPECT_EQ(BlockPart(FileOf("Kid001")), BlockOf(Levels(11)));
    EXPECT_FALSE(fs::exists(Folder("Kid003") / "Zelbo.PRF"));
}

// The trace lines the player files write while a test runs.
class TraceCapture {
public:
    explicit TraceCapture(fs::path file) : m_file(std::move(file)) {
        fs::remove(m_file);
        plat::SetTraceTarget(m_file.string());
        MonoDebugOpen();
    }
    ~TraceCapture() {
        MonoDebugClose();
        plat::SetTraceTarget(std::nullopt);
        fs::remove(m_file);
    }
    std::string Text() const {
        std::ifstream in(m_file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    fs::path m_file;
};

// A damaged preference file (too short for the 284-byte record and the 28-byte block, 312
// bytes in all) on a switch from a player with levels of her own: the new player plays with
// the default levels, never the levels of the player before; the file is set aside whole
// ("Zelbo.001") with a trace line, and the old player's file is untouched. What the new player
// reaches is saved in a new file, and a second damaged file goes to "Zelbo.002", never over the
// first.
TEST_F(PlayerRoster, ADamagedFileGivesTheNewPlayerDefaultLevelsAndIsSetAside) {
    std::mt19937 random(37);
    std::string noise(200, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    struct Case {
        const char* what;
        std::string bytes;
        bool readOnly;
    };
    const std::string whole = std::string(sizeof(CUserPrefs), '\x01') + BlockOf(Levels(20));
    ASSERT_EQ(whole.size(), 312u);
    const Case cases[] = {
        {"empty", "", false},
        {"100 bytes", whole.substr(0, 100), false},
        {"the record alone (284 bytes)", whole.substr(0, 284), false},
        {"the record and part of the levels (294 bytes)", whole.substr(0, 294), false},
        {"one byte short (311 bytes)", whole.substr(0, 311), false},
        {"random bytes", noise, false},
        {"read-only, 100 bytes", whole.substr(0, 100), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root / "Prog");
        ThreePlayers();
        const fs::path boFile = Folder("Kid002") / "Zelbo.PRF";
        Put(boFile, c.bytes);
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesA("C:\\Prog\\kids\\Kid002\\Zelbo.PRF", FILE_ATTRIBUTE_READONLY));
        }
        prefs.SetCurrentUser("Anna");
        CPlayerRoster roster;
        roster.Load();
        ASSERT_EQ(BlockOf(Block()), BlockOf(Levels(10)));
        const std::string annaFile = FileOf("Kid001");

        TraceCapture trace(tmp / "trace.txt");
        roster.SetCurrent(2);
        EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
        EXPECT_EQ(FileOf("Kid001"), annaFile);
        EXPECT_FALSE(fs::exists(boFile));
        EXPECT_EQ(Get(Folder("Kid002") / "Zelbo.001"), c.bytes);
        EXPECT_NE(trace.Text().find("Damaged preference file C:\\Prog\\kids\\Kid002\\Zelbo.PRF (" +
                                    std::to_string(c.bytes.size()) +
                                    " bytes) set aside as C:\\Prog\\kids\\Kid002\\Zelbo.001"),
                  std::string::npos)
            << trace.Text();

        // Bo plays; leaving him saves his levels in a new file beside the damaged one.
        Block() = Levels(40);
        roster.SetCurrent(1);
        EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(10)));
        EXPECT_EQ(BlockPart(Get(boFile)), BlockOf(Levels(40)));
        EXPECT_EQ(Get(Folder("Kid002") / "Zelbo.001"), c.bytes);

        // Damaged again: the second file goes beside the first.
        Put(boFile, "short");
        roster.SetCurrent(2);
        EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
        EXPECT_EQ(Get(Folder("Kid002") / "Zelbo.001"), c.bytes);
        EXPECT_EQ(Get(Folder("Kid002") / "Zelbo.002"), "short");
        EXPECT_EQ(FileOf("Kid001"), annaFile);
    }
}

// A preference file that is there but cannot be opened (another program holds it without
// sharing, or a folder has its name): the new player plays with the default levels for now, and
// the file is neither set aside nor written while those stand-in levels are played, so when it
// can be read again the player's own levels are there.
TEST_F(PlayerRoster, AFileThatCannotBeOpenedIsNeverOverwritten) {
    {
        SCOPED_TRACE("held by another program");
        ThreePlayers();
        const std::string boFile = FileOf("Kid002");
        prefs.SetCurrentUser("Anna");
        CPlayerRoster roster;
        roster.Load();
        HANDLE other = CreateFileA("C:\\Prog\\kids\\Kid002\\Zelbo.PRF", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        TraceCapture trace(tmp / "trace.txt");
        roster.SetCurrent(2);
        EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
        EXPECT_NE(trace.Text().find("Could not open C:\\Prog\\kids\\Kid002\\Zelbo.PRF"), std::string::npos)
            << trace.Text();
        Block() = Levels(41);
        EXPECT_EQ(LoadPlayerPrefs(), 0);
        EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(41))) << "an activity's start keeps what was played since";
        EXPECT_EQ(SavePlayerPrefs(), 0);
        CloseHandle(other);
        EXPECT_EQ(SavePlayerPrefs(), 0) << "released, the file still holds what this session never read";
        roster.SetCurrent(1);
        EXPECT_EQ(FileOf("Kid002"), boFile);
        EXPECT_FALSE(fs::exists(Folder("Kid002") / "Zelbo.001"));
        EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(10)));
        roster.SetCurrent(2);
        EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(20))) << "Bo's own levels, once the file can be read";
    }
    {
        SCOPED_TRACE("a folder of the file's name");
        fs::remove_all(root / "Prog");
        ThreePlayers();
        fs::remove(Folder("Kid002") / "Zelbo.PRF");
        fs::create_directories(Folder("Kid002") / "Zelbo.PRF");
        prefs.SetCurrentUser("Anna");
        CPlayerRoster roster;
        roster.Load();
        roster.SetCurrent(2);
        EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
        Block() = Levels(41);
        roster.SetCurrent(1);
        EXPECT_TRUE(fs::is_directory(Folder("Kid002") / "Zelbo.PRF"));
        EXPECT_FALSE(fs::exists(Folder("Kid002") / "Zelbo.001"));
        EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(10)));
    }
}

// Level words a damaged or foreign file holds are held to each activity's range when the
// player's levels are loaded (modules 2 to 6: Duravod reads its word unsigned, so a huge word is
// its last level; the others read it signed): no word outside a range reaches the engine's
// block, and the next save writes the held words. The file itself is not written by the load.
TEST_F(PlayerRoster, LevelsOutsideTheirRangeAreHeldWhenLoaded) {
    struct Case {
        const char* what;
        std::array<uint16_t, 5> inFile;
        std::array<uint16_t, 5> loaded;
    };
    const Case cases[] = {
        {"in range", {3, 52, 37, 87, 25}, {3, 52, 37, 87, 25}},
        {"62608 everywhere", {62608, 62608, 62608, 62608, 62608}, {54, 0, 0, 0, 0}},
        {"0xFFFF everywhere", {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, {54, 0, 0, 0, 0}},
        {"one past each end", {55, 53, 38, 88, 26}, {54, 52, 37, 0, 25}},
        {"mixed", {62608, 5, 400, 87, 0x8000}, {54, 5, 37, 87, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ThreePlayers();
        ActivitySettings bo = Levels(0);
        for (int i = 0; i < 5; ++i) bo.level[i] = c.inFile[static_cast<size_t>(i)];
        ASSERT_EQ(WriteUserPrefs("C:\\Prog\\kids\\Kid002", &bo, sizeof bo), 1);
        const std::string boFile = FileOf("Kid002");
        prefs.SetCurrentUser("Anna");
        CPlayerRoster roster;
        roster.Load();
        roster.SetCurrent(2);
        ActivitySettings expected = bo;
        for (int i = 0; i < 5; ++i) expected.level[i] = c.loaded[static_cast<size_t>(i)];
        EXPECT_EQ(BlockOf(Block()), BlockOf(expected));
        EXPECT_EQ(FileOf("Kid002"), boFile);
        ASSERT_EQ(SavePlayerPrefs(), 1);
        EXPECT_EQ(BlockPart(FileOf("Kid002")), BlockOf(expected));
    }
}

// The players' record files follow the current player: the folder the player's list entry
// names, none for a name without an entry (never the program or preference folder).
TEST_F(PlayerRoster, RecordFilesLieInTheCurrentPlayersFolder) {
    ThreePlayers();
    prefs.SetCurrentUser("Anna");
    CPlayerRoster roster;
    roster.Load();
    CPrefsFileStore store;
    EXPECT_EQ(store.PlayerFolder(), "C:\\Prog\\kids\\Kid001\\");
    roster.SetCurrent(2);
    EXPECT_EQ(store.PlayerFolder(), "C:\\Prog\\kids\\Kid002\\");
    prefs.SetCurrentUser("Removed");
    EXPECT_EQ(store.PlayerFolder(), "");
    prefs.SetCurrentUser("");
    EXPECT_EQ(store.PlayerFolder(), "");
}

// Adding: a full roster, a refused name and a taken key add nothing and write nothing; a new
// name is added at the end with its own folder. FindOrAdd finds an exact name or adds it.
TEST_F(PlayerRoster, AddingAndFindingPlayers) {
    ThreePlayers();
    CPlayerRoster roster;
    roster.Load();
    const auto before = Files();
    for (const char* name : {"anna", "", "=", "Bo "}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(roster.Add(name), 0);
        EXPECT_EQ(roster.FindOrAdd(name), -1);
        EXPECT_EQ(roster.Count(), 3);
        EXPECT_EQ(Files(), before);
    }
    EXPECT_EQ(roster.FindOrAdd("Bo"), 2);
    EXPECT_EQ(roster.FindByName("Bo"), 1);
    EXPECT_EQ(roster.FindByName("bo"), 0);
    EXPECT_EQ(roster.IndexOf("bo"), 0);
    EXPECT_EQ(roster.FindOrAdd("Cilla"), 3);
    EXPECT_EQ(roster.Count(), 4);
    EXPECT_EQ(roster.Entry(3).folder, "kids\\Kid004\\");
    EXPECT_EQ(ListValueOf("Cilla"), "kids\\Kid004\\");
    EXPECT_EQ(roster.FindOrAdd("Cilla"), 3);

    // A full roster takes no one more and writes nothing.
    std::vector<std::pair<std::string, std::string>> list;
    for (int i = 0; i < kMaxPlayers; ++i) {
        char name[16], folder[16];
        std::snprintf(name, sizeof name, i == 0 ? "G\xE4st" : "P%02d", i);
        std::snprintf(folder, sizeof folder, "Kid%03d", i + 1);
        list.emplace_back(name, std::string("kids\\") + folder + "\\");
        MakeKidFolder(folder, name);
    }
    WriteList(list);
    roster.Load();
    ASSERT_EQ(roster.Count(), kMaxPlayers);
    const auto full = Files();
    plat::CWriteFaultPlan counter;
    {
        plat::CWriteFaultScope scope(&counter);
        EXPECT_EQ(roster.Add("Extra"), 0);
        EXPECT_EQ(roster.FindOrAdd("Extra"), -1);
    }
    EXPECT_EQ(counter.Steps(), 0);
    EXPECT_EQ(roster.Count(), kMaxPlayers);
    EXPECT_EQ(Files(), full);
}

}  // namespace
