#include "engine/players/player_list.h"

#include <algorithm>
#include <array>

#include "engine/core/launcher_test_support.h"
#include "engine/players/player_files_test_support.h"
#include "engine/players/player_roster.h"
#include "engine/players/prefs_file.h"
#include "platform/fs/winfile.h"

namespace {

namespace fs = std::filesystem;

// Fails every step whose file or folder name contains `part` (a disk that refuses one file).
class FailPathHook : public plat::IWriteFaultHook {
public:
    explicit FailPathHook(std::string part) : m_part(std::move(part)) {}
    plat::WriteFault Before(plat::WriteStep, const fs::path& host) override {
        return host.string().find(m_part) != std::string::npos ? plat::WriteFault::Fail : plat::WriteFault::None;
    }

private:
    std::string m_part;
};

using PlayerList = PlayerFilesTest;

// Where a new player goes: the first free number below kids\, a hole reused. The new player's
// file holds the default levels; the engine's block keeps the levels of the player who is
// playing.
TEST_F(PlayerList, ANewPlayerGetsTheFirstFreeFolder) {
    struct Case {
        const char* what;
        std::vector<int> taken;  // kids\KidNNN folders already there
        std::string name;
        std::string folder;  // expected, relative
    };
    const Case cases[] = {
        {"first player", {}, "Anna", "kids\\Kid001\\"},
        {"first player, Swedish name", {}, "\xC5sa", "kids\\Kid001\\"},
        {"name no file name may hold", {}, "A*B?<C>|:", "kids\\Kid001\\"},
        {"three taken", {1, 2, 3}, "Bo", "kids\\Kid004\\"},
        {"hole at 2", {1, 3}, "Bo", "kids\\Kid002\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root / "Prog");
        fs::create_directories(root / "Prog");
        boxes.clear();
        for (const int n : c.taken) {
            char name[16];
            std::snprintf(name, sizeof name, "Kid%03d", n);
            fs::create_directories(Folder(name));
        }
        Block() = Levels(30);
        PlayerEntry entry{c.name, {}};
        ASSERT_EQ(AddUser(nullptr, entry, kList), 1);
        EXPECT_EQ(entry.folder, c.folder);
        EXPECT_EQ(ListValueOf(c.name), c.folder);
        EXPECT_EQ(ListKeys(), std::vector<std::string>{c.name});
        const fs::path folder = root / "Prog" / ("kids/" + c.folder.substr(5, 6));
        EXPECT_EQ(BlockPart(Get(folder / "Zelbo.PRF")), BlockOf(DefaultLevels()));
        EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(30)));
        EXPECT_TRUE(boxes.empty());
        char name[64];
        GetPrivateProfileStringA("Settings", "Namn", "", name, sizeof name,
                                 ("C:\\Prog\\" + c.folder + "SETTINGS.INI").c_str());
        EXPECT_EQ(std::string(name), c.name);
    }
}

// No folder of its own for a new player: the add is refused with the notice, whether all 99
// folders are there, the last free number is one the list names (its player's folder has
// gone, and it comes back as that player's), or "kids" is a file. Nothing is written: the
// list keeps its bytes, no shared folder appears, the engine's block keeps its levels, and the
// roster keeps its number of players.
TEST_F(PlayerList, AnAddWithoutAFolderOfItsOwnIsRefusedWithTheNotice) {
    struct Case {
        const char* what;
        int folders;           // Kid001 .. KidNNN there
        bool lastListed;       // Kid099 named by a list entry, its folder gone
        bool kidsIsAFile;
    };
    const Case cases[] = {
        {"all 99 taken", 99, false, false},
        {"98 taken, the 99th listed", 98, true, false},
        {"kids is a file", 0, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root / "Prog");
        fs::create_directories(root / "Prog");
        boxes.clear();
        std::vector<std::pair<std::string, std::string>> list{{"G\xE4st", "kids\\Kid001\\"}};
        if (c.lastListed) list.emplace_back("Anna", "kids\\Kid099\\");
        WriteList(list);
        for (int n = 1; n <= c.folders; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "Kid%03d", n);
            fs::create_directories(Folder(name));
        }
        if (c.kidsIsAFile) Put(root / "Prog" / "kids", "a file");
        const std::string before = Get(ListFile());
        Block() = Levels(30);

        PlayerEntry entry{"Bo", {}};
        EXPECT_EQ(AddUser(nullptr, entry, kList), 0);
        EXPECT_EQ(entry.folder, "");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], PlayerString(kIdsNoPlayerFolder));
        EXPECT_EQ(Get(ListFile()), before);
        EXPECT_FALSE(fs::exists(root / "Prog" / "Public"));
        if (c.lastListed) {
            EXPECT_FALSE(fs::exists(Folder("Kid099"))) << "the listed player's number stays free";
        }
        EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(30)));

        prefs.SetCurrentUser("G\xE4st");
        CPlayerRoster roster;
        roster.Load();
        const int count = roster.Count();
        boxes.clear();
        EXPECT_EQ(roster.Add("Bo"), 0);
        EXPECT_EQ(roster.Count(), count);
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_EQ(Get(ListFile()), before);
    }
    EXPECT_EQ(PlayerString(kIdsNoPlayerFolder).find("allm\xE4n"), std::string::npos) << "no shared folder is offered";
}

// A listed player whose folder cannot be reached ("kids" a file) keeps its entry as it is: the
// roster loads every player without a notice, the player plays with the default levels, and
// nothing is written anywhere, neither the list nor a folder nor a file, on loading, switching
// or saving.
TEST_F(PlayerList, AListedPlayerWhoseFolderCannotBeReachedKeepsItsEntry) {
    WriteList({{"G\xE4st", "kids\\Kid001\\"}, {"Anna", "kids\\Kid002\\"}, {"Bo", "kids\\Kid003\\"}});
    Put(root / "Prog" / "kids", "a file");
    const std::string before = Get(ListFile());
    const auto files = [&] {
        std::vector<std::string> all;
        for (const auto& e : fs::recursive_directory_iterator(root)) all.push_back(e.path().string());
        return all;
    };
    const auto filesBefore = files();
    prefs.SetCurrentUser("Anna");
    Block() = Levels(30);

    CPlayerRoster roster;
    roster.Load();
    ASSERT_EQ(roster.Count(), 3);
    EXPECT_EQ(roster.GetName(roster.Current()), "Anna");
    EXPECT_EQ(roster.Entry(roster.Current()).folder, "C:\\Prog\\kids\\Kid002\\");
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Get(ListFile()), before);

    Block() = Levels(31);
    roster.SetCurrent(roster.IndexOf("Bo"));
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
    Block() = Levels(32);
    EXPECT_EQ(SavePlayerPrefs(), 0);
    roster.SetCurrent(roster.IndexOf("Anna"));
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));

    EXPECT_EQ(Get(ListFile()), before);
    EXPECT_EQ(ListValueOf("G\xE4st"), "kids\\Kid001\\");
    EXPECT_EQ(ListValueOf("Anna"), "kids\\Kid002\\");
    EXPECT_EQ(ListValueOf("Bo"), "kids\\Kid003\\");
    EXPECT_EQ(files(), filesBefore);
    EXPECT_EQ(Get(root / "Prog" / "kids"), "a file");
}

// Two names of the list naming one folder (in any spelling): the first in the file keeps it,
// the second gets a new folder of its own with the default levels and its entry names it.
// When no new folder can be made, the second keeps its entry but has no folder: it plays with
// default levels and never reads or writes the first player's file.
TEST_F(PlayerList, TwoNamesOnOneFolderGetTwoFolders) {
    WriteList({{"Anna", "kids\\Kid001\\"}, {"Bo", "kids/kid001"}, {"Cilla", "Public\\"}, {"Dan", "PUBLIC\\"}});
    MakeKidFolder("Kid001", "Anna");
    const ActivitySettings anna = Levels(10);
    ASSERT_EQ(WriteUserPrefs("C:\\Prog\\kids\\Kid001", &anna, sizeof anna), 1);
    const ActivitySettings cilla = Levels(30);
    ASSERT_EQ(WriteUserPrefs("C:\\Prog\\Public", &cilla, sizeof cilla), 1);
    const std::string annaFile = Get(Folder("Kid001") / "Zelbo.PRF");

    std::array<PlayerEntry, kMaxPlayers> entries;
    ASSERT_EQ(LoadUserList(nullptr, entries, kList), 4);
    const std::pair<const char*, const char*> expected[] = {
        {"Anna", "kids\\Kid001\\"}, {"Bo", "kids\\Kid002\\"}, {"Cilla", "Public\\"}, {"Dan", "kids\\Kid003\\"}};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(expected[i].first);
        EXPECT_EQ(entries[i].name, expected[i].first);
        EXPECT_EQ(entries[i].folder, std::string("C:\\Prog\\") + expected[i].second);
        EXPECT_EQ(ListValueOf(expected[i].first), expected[i].second);
    }
    EXPECT_EQ(Get(Folder("Kid001") / "Zelbo.PRF"), annaFile);
    EXPECT_EQ(BlockPart(Get(Folder("Kid002") / "Zelbo.PRF")), BlockOf(DefaultLevels()));
    EXPECT_EQ(BlockPart(Get(Folder("Kid003") / "Zelbo.PRF")), BlockOf(DefaultLevels()));
    EXPECT_EQ(BlockPart(Get(root / "Prog" / "Public" / "Zelbo.PRF")), BlockOf(Levels(30)));
    EXPECT_TRUE(boxes.empty());

    // Every number taken: Bo keeps his entry, without a folder.
    fs::remove_all(root / "Prog");
    WriteList({{"Anna", "kids\\Kid001\\"}, {"Bo", "kids\\Kid001\\"}});
    for (int n = 1; n <= 99; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "Kid%03d", n);
        fs::create_directories(Folder(name));
    }
    ASSERT_EQ(WriteUserPrefs("C:\\Prog\\kids\\Kid001", &anna, sizeof anna), 1);
    const std::string list = Get(ListFile());
    ASSERT_EQ(LoadUserList(nullptr, entries, kList), 2);
    EXPECT_EQ(entries[1].name, "Bo");
    EXPECT_EQ(entries[1].folder, "");
    EXPECT_EQ(Get(ListFile()), list);
    char path[MAX_PATH];
    EXPECT_EQ(GetPlayerPrefsPath("Anna", path, sizeof path), 1);
    EXPECT_EQ(GetPlayerPrefsPath("Bo", path, sizeof path), 0);
    prefs.SetCurrentUser("Bo");
    Block() = Levels(50);
    EXPECT_EQ(LoadPlayerPrefs(), 0);
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
    Block() = Levels(51);
    EXPECT_EQ(SavePlayerPrefs(), 0);
    EXPECT_EQ(WriteUserPrefsFor(entries[1]), 0);
    EXPECT_EQ(BlockPart(Get(Folder("Kid001") / "Zelbo.PRF")), BlockOf(Levels(10)));
    EXPECT_TRUE(boxes.empty());
}

// A fresh player's preference file comes from a scratch block: the engine's block, the levels
// of the player who plays, is neither written into the new file nor changed.
TEST_F(PlayerList, AddingAPlayerLeavesTheEnginesBlockAlone) {
    PlayerEntry a{"Anna", {}};
    ASSERT_EQ(AddUser(nullptr, a, kList), 1);
    Block() = Levels(30);
    ASSERT_EQ(WriteUserPrefsFor(a), 1);
    const std::string annaFile = Get(Folder("Kid001") / "Zelbo.PRF");
    PlayerEntry b{"Bo", {}};
    ASSERT_EQ(AddUser(nullptr, b, kList), 1);
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(30)));
    EXPECT_EQ(BlockPart(Get(Folder("Kid002") / "Zelbo.PRF")), BlockOf(DefaultLevels()));
    EXPECT_EQ(Get(Folder("Kid001") / "Zelbo.PRF"), annaFile);
    EXPECT_EQ(BlockPart(annaFile), BlockOf(Levels(30)));
}

// No folder anywhere, or no list entry: 0, and no player is left behind (no list entry, no
// folder); only a missing folder is told.
TEST_F(PlayerList, APlayerThatCannotBeMadeLeavesNothing) {
    WriteList({{"Anna", "kids\\Kid001\\"}});
    MakeKidFolder("Kid001", "Anna");
    const std::string list = Get(ListFile());
    struct Case {
        const char* what;
        const char* failing;  // host path part whose steps fail
        bool folderMayStay;   // the failing disk refuses to delete the name file's leftovers too
        bool notice;
    };
    for (const Case c : {Case{"no folder can be made", "/Prog/", false, true},
                         Case{"the name file cannot be written", "SETTINGS.INI", true, false},
                         Case{"the list cannot be written", "Zelbo.ini", false, false}}) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        FailPathHook hook(c.failing);
        PlayerEntry entry{"Bo", {}};
        {
            plat::CWriteFaultScope scope(&hook);
            EXPECT_EQ(AddUser(nullptr, entry, kList), 0);
        }
        EXPECT_EQ(entry.folder, "");
        EXPECT_EQ(Get(ListFile()), list);
        EXPECT_FALSE(fs::exists(Folder("Kid002") / "SETTINGS.INI"));
        if (!c.folderMayStay) {
            EXPECT_FALSE(fs::exists(Folder("Kid002")));
        }
        fs::remove_all(Folder("Kid002"));
        EXPECT_FALSE(fs::exists(root / "Prog" / "Public"));
        EXPECT_EQ(boxes, c.notice ? std::vector<std::string>{PlayerString(kIdsNoPlayerFolder)} : std::vector<std::string>{});
    }
}

// Every write step of adding a player failed, then killed, in turn: the list holds its old
// bytes or the new entry, a player in the list has its folder, a refused add leaves no entry,
// the other player's files and the engine's block never change, and after a failed step the
// next add works.
TEST_F(PlayerList, AnAddFailedOrKilledAtAnyStepLeavesWholeFiles) {
    const auto install = [&] {
        fs::remove_all(root / "Prog");
        fs::create_directories(root / "Prog");
        WriteList({{"Anna", "kids\\Kid001\\"}});
        MakeKidFolder("Kid001", "Anna");
        const ActivitySettings anna = Levels(10);
        ASSERT_EQ(WriteUserPrefs("C:\\Prog\\kids\\Kid001", &anna, sizeof anna), 1);
    };
    install();
    const std::string oldList = Get(ListFile());
    const std::string annaFile = Get(Folder("Kid001") / "Zelbo.PRF");
    const std::string annaNames = Get(Folder("Kid001") / "SETTINGS.INI");
    plat::CWriteFaultPlan counter;
    {
        plat::CWriteFaultScope scope(&counter);
        PlayerEntry entry{"Bo", {}};
        ASSERT_EQ(AddUser(nullptr, entry, kList), 1);
    }
    ASSERT_GT(counter.Steps(), 4);
    for (int at = 0; at < counter.Steps(); ++at) {
        for (const plat::WriteFault fault : {plat::WriteFault::Fail, plat::WriteFault::Kill}) {
            SCOPED_TRACE(testing::Message() << "step " << at << (fault == plat::WriteFault::Kill ? " killed" : " failed"));
            install();
            Block() = Levels(30);
            plat::CWriteFaultPlan plan(at, fault);
            PlayerEntry entry{"Bo", {}};
            int added = 0;
            {
                plat::CWriteFaultScope scope(&plan);
                added = AddUser(nullptr, entry, kList);
            }
            EXPECT_TRUE(plan.Hit());
            const std::string list = Get(ListFile());
            const std::string value = ListValueOf("Bo");
            if (added) {
                ASSERT_NE(value, "<none>");
                EXPECT_EQ(value, entry.folder);
                std::string host = value;
                std::replace(host.begin(), host.end(), '\\', '/');
                EXPECT_TRUE(fs::is_directory(root / "Prog" / host)) << value;
                // A listed player can be found again from the folders.
                EXPECT_NE(Get(root / "Prog" / host / "SETTINGS.INI").find("Bo"), std::string::npos) << value;
            } else {
                EXPECT_EQ(list, oldList);
            }
            EXPECT_EQ(ListValueOf("Anna"), "kids\\Kid001\\");
            EXPECT_EQ(Get(Folder("Kid001") / "Zelbo.PRF"), annaFile);
            EXPECT_EQ(Get(Folder("Kid001") / "SETTINGS.INI"), annaNames);
            EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(30)));
            // A new player's levels are the defaults, whatever reached its file.
            if (added) {
                ActivitySettings levels = Levels(99);
                ASSERT_EQ(ReadUserPrefs(("C:\\Prog\\" + value).c_str(), &levels, sizeof levels), 1);
                EXPECT_EQ(BlockOf(levels), BlockOf(DefaultLevels()));
            } else if (fault == plat::WriteFault::Fail) {
                PlayerEntry again{"Bo", {}};
                EXPECT_EQ(AddUser(nullptr, again, kList), 1);
            }
        }
    }
}

// Names must come back as the same INI key, and a name whose key exists (without regard to
// case, å/Å too) would repoint that player's entry: both are refused with nothing written.
TEST_F(PlayerList, NamesThatWouldNotSurviveAsTheirOwnKeyAreRefused) {
    WriteList({{"Anna", "kids\\Kid001\\"}, {"\xC5sa", "kids\\Kid002\\"}});
    MakeKidFolder("Kid001", "Anna");
    MakeKidFolder("Kid002", "\xC5sa");
    const std::string list = Get(ListFile());
    struct Case {
        std::string name;
        bool valid;  // as a name
    };
    const Case refused[] = {
        {"", false},
        {std::string(32, 'x'), false},
        {" Anna", false},
        {"Anna ", false},
        {";Anna", false},
        {"[Anna", false},
        {"An=na", false},
        {"An\tna", false},
        {"An\nna", false},
        {std::string("An\0na", 5), false},
        {"An\x7Fna", false},
        {"An\x81na", false},
        {"An\x9Dna", false},
        {"anna", true},
        {"ANNA", true},
        {"\xE5sa", true},  // åsa: the key of Åsa
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsValidPlayerName(c.name), c.valid);
        PlayerEntry entry{c.name, {}};
        EXPECT_EQ(AddUser(nullptr, entry, kList), 0);
        EXPECT_EQ(Get(ListFile()), list);
        EXPECT_FALSE(fs::exists(Folder("Kid003")));
    }
    // Accepted names come back as exactly their own key, from the list and, when the list is
    // rebuilt, from their name files.
    const std::string accepted[] = {std::string(31, 'x'), "Kalle Anka", "a;b", "x[y]", "\"Bo\"", "'Al'", "\"Cy",
                                    "G\xE4st", "\xD6rjan-\xC9mile"};
    std::vector<std::string> keys = {"Anna", "\xC5sa"};
    for (const std::string& name : accepted) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsValidPlayerName(name));
        PlayerEntry entry{name, {}};
        ASSERT_EQ(AddUser(nullptr, entry, kList), 1);
        EXPECT_EQ(ListKeys().back(), name);
        EXPECT_EQ(ListValueOf(name), entry.folder);
        keys.push_back(name);
    }
    EXPECT_EQ(ListValueOf("Anna"), "kids\\Kid001\\");
    EXPECT_EQ(ListValueOf("\xC5sa"), "kids\\Kid002\\");
    Put(ListFile(), "");
    EXPECT_EQ(ScanUserDirectories(nullptr, nullptr, kMaxPlayers, kList), static_cast<int>(keys.size()));
    EXPECT_EQ(ListKeys(), keys);
}

// The guest first, the others sorted after entry 0, which is never compared; folders are the
// program folder followed by the list's value.
TEST_F(PlayerList, TheListLoadsWithTheGuestFirstAndTheOthersSorted) {
    struct Case {
        std::vector<std::string> file;
        std::vector<std::string> loaded;
    };
    const Case cases[] = {
        {{"Pelle", "G\xE4st", "Anna"}, {"G\xE4st", "Anna", "Pelle"}},
        {{"Pelle", "Anna"}, {"Pelle", "Anna"}},
        {{"Bo", "Anna", "G\xE4st"}, {"G\xE4st", "Bo", "Anna"}},
        {{"Anna", "Bo", "ANNA", "Bo"}, {"Anna", "Bo"}},
        {{"Pelle", "Anna", "Bo", "Cilla"}, {"Pelle", "Anna", "Bo", "Cilla"}},
        {{"Pelle", "Cilla", "Anna", "Bo"}, {"Pelle", "Anna", "Bo", "Cilla"}},
        {{"Pelle", "g\xE4st", "\xD6rjan", "\xC5sa", "Anna"}, {"g\xE4st", "Anna", "Pelle", "\xC5sa", "\xD6rjan"}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, std::string>> list;
        fs::remove_all(root / "Prog" / "kids");
        for (size_t i = 0; i < c.file.size(); ++i) {
            char folder[16];
            std::snprintf(folder, sizeof folder, "Kid%03d", static_cast<int>(i + 1));
            list.emplace_back(c.file[i], std::string("kids\\") + folder + "\\");
            MakeKidFolder(folder, c.file[i]);
        }
        WriteList(list);
        const std::string before = Get(ListFile());
        std::array<PlayerEntry, kMaxPlayers> entries;
        ASSERT_EQ(LoadUserList(nullptr, entries, kList), static_cast<int>(c.loaded.size()));
        for (size_t i = 0; i < c.loaded.size(); ++i) {
            EXPECT_EQ(entries[i].name, c.loaded[i]);
            EXPECT_EQ(entries[i].folder, "C:\\Prog\\" + ListValueOf(c.loaded[i]));
        }
        EXPECT_EQ(Get(ListFile()), before);
    }
}

// An empty list is rebuilt from the players' folders; folders without a name, hidden ones,
// names that would not be keys, and a second folder of one name are left out.
TEST_F(PlayerList, AnEmptyListIsRebuiltFromTheFolders) {
    Put(ListFile(), "[User List]\r\n");
    MakeKidFolder("Kid001", "Anna");
    MakeKidFolder("Kid002", "");
    MakeKidFolder("Kid003", "Bo");
    MakeKidFolder("Kid004", "anna");
    MakeKidFolder("Kid005", "=x");
    MakeKidFolder("Kid006", "Cilla");
    SetFileAttributesA("C:\\Prog\\kids\\Kid006", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    Put(root / "Prog" / "kids" / "notes.txt", "x");
    std::array<PlayerEntry, kMaxPlayers> entries;
    ASSERT_EQ(LoadUserList(nullptr, entries, kList), 2);
    EXPECT_EQ(entries[0].name, "Anna");
    EXPECT_EQ(entries[0].folder, "C:\\Prog\\kids\\Kid001\\");
    EXPECT_EQ(entries[1].name, "Bo");
    EXPECT_EQ(entries[1].folder, "C:\\Prog\\kids\\Kid003\\");
    EXPECT_EQ(ListKeys(), (std::vector<std::string>{"Anna", "Bo"}));
    EXPECT_EQ(ListValueOf("Anna"), "kids\\Kid001\\");
    EXPECT_EQ(ListValueOf("Bo"), "kids\\Kid003\\");

    // A missing list file is an empty list too.
    fs::remove(ListFile());
    ASSERT_EQ(LoadUserList(nullptr, entries, kList), 2);
    EXPECT_EQ(ListKeys(), (std::vector<std::string>{"Anna", "Bo"}));

    // A scan over a list never repoints an entry: the players it already holds are found as
    // they are, a name it gives another folder is left out.
    const std::string list = Get(ListFile());
    EXPECT_EQ(ScanUserDirectories(nullptr, entries.data(), kMaxPlayers, kList), 2);
    EXPECT_EQ(Get(ListFile()), list);
    WriteList({{"Bo", "kids\\Kid009\\"}});
    EXPECT_EQ(ScanUserDirectories(nullptr, entries.data(), kMaxPlayers, kList), 1);
    EXPECT_EQ(entries[0].name, "Anna");
    EXPECT_EQ(ListValueOf("Bo"), "kids\\Kid009\\");
    EXPECT_EQ(ListValueOf("Anna"), "kids\\Kid001\\");
}

// More than 90 players: every key is read (far beyond 1500 bytes of names) and the first 90
// in file order are taken; a folder scan lists every player in the file but fills and
// reports at most the capacity.
TEST_F(PlayerList, MoreThanNinetyPlayersAreCappedAtNinety) {
    std::vector<std::pair<std::string, std::string>> list;
    for (int i = 0; i < 95; ++i) {
        char name[40], folder[16];
        std::snprintf(name, sizeof name, "Player number %02d with a long name", i);
        std::snprintf(folder, sizeof folder, "Kid%03d", i + 1);
        name[kMaxPlayerNameLength] = '\0';
        list.emplace_back(name, std::string("kids\\") + folder + "\\");
        MakeKidFolder(folder, name);
    }
    WriteList(list);
    std::array<PlayerEntry, kMaxPlayers> entries;
    ASSERT_EQ(LoadUserList(nullptr, entries, kList), kMaxPlayers);
    // Sorted after entry 0: the taken names are the file's first 90, so 89 is the last one.
    EXPECT_EQ(entries[0].name, list[0].first);
    EXPECT_EQ(entries[kMaxPlayers - 1].name, list[kMaxPlayers - 1].first);

    Put(ListFile(), "");
    ASSERT_EQ(ScanUserDirectories(nullptr, entries.data(), kMaxPlayers, kList), kMaxPlayers);
    EXPECT_EQ(ListKeys().size(), 95u);
    EXPECT_EQ(entries[kMaxPlayers - 1].name, list[kMaxPlayers - 1].first);
    EXPECT_EQ(ScanUserDirectories(nullptr, nullptr, 10, kList), 10);
}

// A list entry whose folder has gone, or that names none below the program folder, gets a new
// folder of its own: it never takes the program folder (and the preference folder's file), nor
// one outside, as its own.
TEST_F(PlayerList, APlayerWhoseFolderIsGoneGetsANewOne) {
    WriteList({{"Anna", "kids\\Kid001\\"}, {"Bo", "kids\\Kid007\\"}, {"Cilla", ""}, {"Dan", "..\\..\\WINDOWS\\"}});
    MakeKidFolder("Kid001", "Anna");
    std::array<PlayerEntry, kMaxPlayers> entries;
    ASSERT_EQ(LoadUserList(nullptr, entries, kList), 4);
    EXPECT_EQ(entries[1].name, "Bo");
    EXPECT_EQ(entries[1].folder, "C:\\Prog\\kids\\Kid002\\");
    EXPECT_EQ(entries[2].name, "Cilla");
    EXPECT_EQ(entries[2].folder, "C:\\Prog\\kids\\Kid003\\");
    EXPECT_EQ(ListValueOf("Bo"), "kids\\Kid002\\");
    EXPECT_EQ(ListValueOf("Cilla"), "kids\\Kid003\\");
    EXPECT_EQ(entries[3].name, "Dan");
    EXPECT_EQ(entries[3].folder, "C:\\Prog\\kids\\Kid004\\");
    EXPECT_TRUE(fs::exists(Folder("Kid002") / "Zelbo.PRF"));
}

// The folder of a name is the install path and the list's value; a name without an entry (or
// with an empty one) and a path that does not fit fail with an empty buffer.
TEST_F(PlayerList, APlayersFolderComesOnlyFromItsListEntry) {
    WriteList({{"Anna", "kids\\Kid001\\"}, {"Cilla", ""}, {"Long", std::string(300, 'x')}, {"Deep", std::string(252, 'y')},
               {"Edge", std::string(251, 'e')}, {"Up", "kids\\..\\..\\WINDOWS\\"}, {"Drive", "C:\\WINDOWS\\"},
               {"Root", "\\WINDOWS\\"}, {"Dots", "kids\\..a\\"},
               {"Here", "kids\\.\\Kid001\\"}, {"Twice", "kids\\\\Kid001\\"}, {"Blank", "kids\\. .\\"}});
    const std::string edge = "C:\\Prog\\" + std::string(251, 'e');
    struct Case {
        const char* name;
        size_t size;
        const char* path;  // null: fails
    };
    const Case cases[] = {
        {"Anna", MAX_PATH, "C:\\Prog\\kids\\Kid001\\"},
        {"anna", MAX_PATH, "C:\\Prog\\kids\\Kid001\\"},
        {"Anna", 21, "C:\\Prog\\kids\\Kid001\\"},
        {"Anna", 20, nullptr},
        {"Bo", MAX_PATH, nullptr},
        {"Cilla", MAX_PATH, nullptr},
        {"Long", MAX_PATH, nullptr},
        {"Deep", MAX_PATH, nullptr},
        {"Edge", MAX_PATH, edge.c_str()},
        {"Up", MAX_PATH, nullptr},
        {"Drive", MAX_PATH, nullptr},
        {"Root", MAX_PATH, nullptr},
        {"Dots", MAX_PATH, "C:\\Prog\\kids\\..a\\"},
        {"Here", MAX_PATH, nullptr},
        {"Twice", MAX_PATH, nullptr},
        {"Blank", MAX_PATH, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.size));
        std::vector<char> buffer(c.size, 'z');
        EXPECT_EQ(GetPlayerPrefsPath(c.name, buffer.data(), c.size), c.path ? 1 : 0);
        EXPECT_EQ(std::string(buffer.data()), c.path ? c.path : "");
    }
}

// The list file is in the install folder; without one (a bare name would be a file of the
// Windows folder) or with one too long there is none.
TEST_F(PlayerList, TheListFileIsInTheInstallFolder) {
    struct Case {
        std::string install;
        const char* path;  // null: none
    };
    const Case cases[] = {
        {"C:\\Prog\\", "C:\\Prog\\Zelbo.ini"},
        {"C:\\Prog", "C:\\Prog\\Zelbo.ini"},
        {"", nullptr},
        {"C:\\" + std::string(249, 'p') + "\\", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.install);
        prefs.installPath = c.install;
        std::string path = "unchanged";
        EXPECT_EQ(GetPlayerListPath(path), c.path ? 1 : 0);
        if (c.path) {
            EXPECT_EQ(path, c.path);
        }
    }
}

// The current player's levels come from that player's folder only: a name without an entry
// gets the default levels, never the preference folder's block; without a name nothing
// changes. Saving writes only into a player's own file.
TEST_F(PlayerList, TheCurrentPlayersLevelsComeFromItsOwnFile) {
    WriteList({{"Anna", "kids\\Kid001\\"}});
    MakeKidFolder("Kid001", "Anna");
    CUserPrefs record;
    SetFileRecordDefaults(record);
    const std::string recordBytes(reinterpret_cast<const char*>(&record), sizeof record);
    Put(Folder("Kid001") / "Zelbo.PRF", recordBytes + BlockOf(Levels(40)));
    const std::string stale = recordBytes + BlockOf(Levels(7));
    Put(root / "Prog" / "Zelbo.PRF", stale);

    prefs.SetCurrentUser("Anna");
    Block() = Levels(1);
    EXPECT_EQ(LoadPlayerPrefs(), 1);
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(40)));
    Block() = Levels(41);
    EXPECT_EQ(SavePlayerPrefs(), 1);
    EXPECT_EQ(BlockPart(Get(Folder("Kid001") / "Zelbo.PRF")), BlockOf(Levels(41)));

    prefs.SetCurrentUser("Removed");
    EXPECT_EQ(LoadPlayerPrefs(), 0);
    EXPECT_EQ(BlockOf(Block()), BlockOf(DefaultLevels()));
    Block() = Levels(50);
    EXPECT_EQ(SavePlayerPrefs(), 0);
    EXPECT_EQ(Get(root / "Prog" / "Zelbo.PRF"), stale);

    prefs.SetCurrentUser("");
    EXPECT_EQ(LoadPlayerPrefs(), 0);
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(50)));

    // A player kept only in memory has no file to write into.
    EXPECT_EQ(WriteUserPrefsFor(PlayerEntry{"G\xE4st", {}}), 0);
    EXPECT_EQ(Get(root / "Prog" / "Zelbo.PRF"), stale);
}

// In launcher mode the levels belong to the launcher's child: read from and written into the
// child's folder, whatever the list and the preferences name; the players' own files stay.
TEST_F(PlayerList, InLauncherModeTheLevelsAreTheLaunchersChilds) {
    WriteList({{"Anna", "kids\\Kid001\\"}});
    MakeKidFolder("Kid001", "Anna");
    const ActivitySettings anna = Levels(40);
    ASSERT_EQ(WriteUserPrefs("C:\\Prog\\kids\\Kid001", &anna, sizeof anna), 1);
    const std::string annaFile = Get(Folder("Kid001") / "Zelbo.PRF");
    prefs.SetCurrentUser("Anna");

    LauncherFiles files;
    files.current = MakeLauncherChild("Pelle", "Berg", 4);
    WriteLauncherFiles(root / "ZADARO.SWP", root / "ZADARO", files);
    std::strcpy(theEngine->m_launcherSwapPath, "C:\\ZADARO.SWP");
    theEngine->m_launcherMode = 1;
    const fs::path child = root / "ZADARO" / "AD1" / "KD4" / "Zelbo.PRF";

    Block() = Levels(60);
    EXPECT_EQ(WriteUserPrefsFor(PlayerEntry{"Anna", "C:\\Prog\\kids\\Kid001\\"}), 1);
    EXPECT_EQ(BlockPart(Get(child)), BlockOf(Levels(60)));
    Block() = Levels(61);
    EXPECT_EQ(SavePlayerPrefs(), 1);
    EXPECT_EQ(BlockPart(Get(child)), BlockOf(Levels(61)));
    Block() = Levels(1);
    EXPECT_EQ(LoadPlayerPrefs(), 1);
    EXPECT_EQ(BlockOf(Block()), BlockOf(Levels(61)));
    EXPECT_EQ(Get(Folder("Kid001") / "Zelbo.PRF"), annaFile);
}

}  // namespace
