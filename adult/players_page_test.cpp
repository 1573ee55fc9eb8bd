// The players page over a started engine and a player tree of its own: names checked and typed,
// adding, renaming and removing change the list file, the name file and the folder at once,
// failed deletions, a key that names no folder, the full list, the guest made for an empty list.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "adult/adult_sheet.h"
#include "adult/adult_test_support.h"
#include "adult/players_page.h"
#include "engine/players/player_list.h"
#include "engine/players/player_roster.h"
#include "platform/msgbox/msgbox.h"
#include "platform/profile/profile.h"

namespace {

using namespace players_ids;
namespace fs = std::filesystem;

struct NameCase {
    const char* typed;
    std::vector<std::string> rows;
    int skipRow;
    NameCheck check;
};

const std::vector<std::string> kRows = {"G\xE4st", "Anna", "\xC5sa"};

TEST(PlayerNames, ChecksAtOk) {
    const NameCase cases[] = {
        {"Abcdefghijklmno", kRows, -1, NameCheck::Ok},           // 15
        {"Abcdefghijklmnop", kRows, -1, NameCheck::TooLong},     // 16
        {"An=na", kRows, -1, NameCheck::BadSign},
        {"[Bo", kRows, -1, NameCheck::BadSign},
        {"Bo]", kRows, -1, NameCheck::BadSign},
        {"Bo/Li", kRows, -1, NameCheck::BadSign},                // not one of the signs
        {"Bo\tLi", kRows, -1, NameCheck::BadSign},
        {"", kRows, -1, NameCheck::Empty},
        {"   ", kRows, -1, NameCheck::Empty},
        {"\xE5sa", kRows, -1, NameCheck::Taken},                  // "åsa" against "Åsa"
        {"g\xE4st", kRows, -1, NameCheck::Taken},
        {"ANNA", kRows, 1, NameCheck::Ok},                        // a rename to its own name
        {"ANNA", kRows, 2, NameCheck::Taken},
        {" Bo-Li (2)! ", kRows, -1, NameCheck::Ok},
        {"\xD8ystein \xDF\xE9", kRows, -1, NameCheck::Ok},          // letters of Windows-1252
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(CheckPlayerName(TrimName(c.typed), c.rows, c.skipRow), c.check) << '"' << c.typed << '"';
    EXPECT_EQ(TrimName("  Anna  "), "Anna");
    EXPECT_EQ(TrimName("Anna Li"), "Anna Li");
}

TEST(PlayerNames, TypedCharacters) {
    const std::string kept = "aZ09\xE5\xC4\xF6_-+., !)(#&=<>?'";
    for (const char c : kept) EXPECT_TRUE(IsNameCharacter(static_cast<uint8_t>(c))) << c;
    EXPECT_TRUE(IsNameCharacter(8)) << "backspace";
    for (const char c : std::string("[]/\\\";:*|{}~@$%^`\t")) EXPECT_FALSE(IsNameCharacter(static_cast<uint8_t>(c))) << c;
    EXPECT_FALSE(IsNameCharacter(0x80)) << "the euro sign is no letter";
}

class PlayersPage : public adulttest::SheetOnEngine {
protected:
    std::string ListFile() const { return (root / "Prog" / "Zelbo.ini").string(); }
    std::string ListValue(const std::string& name) {
        std::string path;
        EXPECT_TRUE(GetPlayerListPath(path));
        char value[300] = {};
        GetPrivateProfileStringA("User List", name.c_str(), "(none)", value, sizeof value, path.c_str());
        return value;
    }
    static std::string NameFileOf(const fs::path& folder) {
        std::ifstream in(folder / "SETTINGS.INI");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path FolderOf(const std::string& name) {
        char folder[260] = {};
        if (!GetPlayerPrefsPath(name.c_str(), folder, sizeof folder)) return {};
        const auto host = plat::ResolveDosPath(folder);
        return host ? *host : fs::path{};
    }
    // Types text into the focused control, a key per character.
    void Type(uint64_t dt, const std::string& text) {
        for (char c : text) {
            const auto ch = static_cast<uint8_t>(c);
            int vk = ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch;
            if (ch >= 0x80) vk = VK_OEM_6;
            head->Key(At(dt), vk, ch);
        }
    }
    static void Select(CAdultSheet& sheet, const std::string& name) {
        CListBox& list = sheet.m_playersPage.m_list;
        list.SetCurSel(list.FindStringExact(-1, name.c_str()));
    }
    static std::string EditText(int id) {
        char text[64] = {};
        ::GetDlgItemText(plat::ActiveDialog(), id, text, sizeof text);
        return text;
    }
    // Runs the sheet on the players page.
    int OnPlayersPage(const std::function<void(CAdultSheet&)>& steps, uint64_t end = 600) {
        return RunSheet(steps, IDCANCEL, end, 2);
    }
};

TEST_F(PlayersPage, GuestFirstAndTheCurrentPlayerSelected) {
    std::vector<std::string> rows;
    int selected = -1;
    bool addShown = false, renameShown = false;
    OnPlayersPage([&](CAdultSheet& sheet) {
        rows = sheet.m_playersPage.Rows();
        selected = sheet.m_playersPage.m_list.GetCurSel();
        addShown = ::IsWindowVisible(::GetDlgItem(sheet.m_playersPage.m_hWnd, kAdd)) != FALSE;
        renameShown = ::IsWindowVisible(::GetDlgItem(sheet.m_playersPage.m_hWnd, kRename)) != FALSE;
    });
    EXPECT_EQ(rows, (std::vector<std::string>{"G\xE4st", "Anna", "Bo"}));
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(addShown) << "adding is shown: without it no one could add a player";
    EXPECT_TRUE(renameShown);
}

// Typed into the add dialog: "[" and "]" never arrive, a 16th character neither, blanks at the
// ends are dropped; OK makes the player: list entry, folder, name file and preference file.
TEST_F(PlayersPage, AddMakesThePlayerAtOnce) {
    std::string typed;
    std::vector<std::string> rows;
    int listChanged = 0;
    OnPlayersPage([&](CAdultSheet& sheet) {
        ClickItem(0, kAdd);
        Type(30, " [Ci]lla=");
        Later(40, [&] {
            typed = EditText(kAddEdit);
            ::SetDlgItemText(plat::ActiveDialog(), kAddEdit, " Cilla ");
        });
        ClickItem(50, IDOK);
        Later(100, [&] {
            rows = sheet.m_playersPage.Rows();
            listChanged = sheet.m_activityPage.m_listChanged;
        });
    });
    EXPECT_EQ(typed, " Cilla=");
    EXPECT_EQ(rows, (std::vector<std::string>{"G\xE4st", "Anna", "Bo", "Cilla"}));
    EXPECT_EQ(listChanged, 1);
    const fs::path folder = FolderOf("Cilla");
    ASSERT_FALSE(folder.empty()) << ListValue("Cilla");
    EXPECT_NE(NameFileOf(folder).find("Namn=Cilla"), std::string::npos) << NameFileOf(folder);
    EXPECT_TRUE(fs::exists(folder / "Zelbo.PRF"));
}

TEST_F(PlayersPage, SixteenCharactersCannotBeTyped) {
    std::string typed;
    OnPlayersPage([&](CAdultSheet&) {
        ClickItem(0, kAdd);
        Type(30, "Abcdefghijklmnopq");
        Later(40, [&] { typed = EditText(kAddEdit); });
        ClickItem(50, IDCANCEL);
    });
    EXPECT_EQ(typed, "Abcdefghijklmno");
}

// Refused names leave the dialog open with the message; Cancel then changes nothing.
TEST_F(PlayersPage, RefusedNamesKeepTheDialogOpen) {
    struct Refusal {
        const char* name;
        const char* message;
    };
    const Refusal refusals[] = {
        {"an=na", "f\xE5r inte inneh\xE5lla tecknen"},
        {"ANNA", "Namnet finns redan"},
        {"g\xC4ST", "Namnet finns redan"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        plat::ClearMessageBoxLog();
        bool stillOpen = false;
        const std::string listBefore = ListValue(r.name);
        OnPlayersPage([&](CAdultSheet& sheet) {
            ClickItem(0, kAdd);
            Later(30, [&] {
                ::SetDlgItemText(plat::ActiveDialog(), kAddEdit, r.name);
                head->PushAnswer(IDOK);
            });
            ClickItem(40, IDOK);
            Later(100, [&] {
                stillOpen = plat::ActiveDialog() != sheet.m_hWnd;
                ::EndDialog(plat::ActiveDialog(), IDCANCEL);
                ::PostMessage(plat::ActiveDialog(), WM_NULL, 0, 0);
            });
        });
        EXPECT_TRUE(stillOpen);
        ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
        EXPECT_NE(plat::MessageBoxLog()[0].text.find(r.message), std::string::npos) << plat::MessageBoxLog()[0].text;
        EXPECT_EQ(ListValue(r.name), listBefore);
    }
}

// Renaming moves the key to the new name with the same folder and names the player anew in
// its name file; a rename to its own name in another case is allowed.
TEST_F(PlayersPage, RenameChangesTheListAndTheNameFile) {
    const std::string boFolder = ListValue("Bo");
    const fs::path folder = FolderOf("Bo");
    ASSERT_FALSE(folder.empty());
    std::vector<std::string> rows;
    OnPlayersPage([&](CAdultSheet& sheet) {
        Later(0, [&] { Select(sheet, "Bo"); });
        ClickItem(5, kRename);
        Later(30, [&] { ::SetDlgItemText(plat::ActiveDialog(), kRenameEdit, " Bosse "); });
        ClickItem(40, IDOK);
        Later(80, [&] { Select(sheet, "Anna"); });
        ClickItem(85, kRename);
        Later(110, [&] { ::SetDlgItemText(plat::ActiveDialog(), kRenameEdit, "ANNA"); });
        ClickItem(120, IDOK);
        Later(200, [&] { rows = sheet.m_playersPage.Rows(); });
    });
    EXPECT_EQ(rows, (std::vector<std::string>{"G\xE4st", "ANNA", "Bosse"}));
    EXPECT_EQ(ListValue("Bo"), "(none)");
    EXPECT_EQ(ListValue("Bosse"), boFolder);
    EXPECT_NE(NameFileOf(folder).find("Namn=Bosse"), std::string::npos) << NameFileOf(folder);
}

// The guest and the player playing cannot be renamed or removed: a message, nothing changed.
TEST_F(PlayersPage, GuestAndCurrentPlayerStay) {
    struct Case {
        const char* row;
        int button;
        const char* message;
    };
    const Case cases[] = {
        {"G\xE4st", kRename, "byta namn p\xE5 anv\xE4ndaren \"G\xE4st\""},
        {"G\xE4st", kRemove, "ta bort anv\xE4ndaren \"G\xE4st\""},
    };
    for (const Case& c : cases) {
        plat::ClearMessageBoxLog();
        OnPlayersPage([&](CAdultSheet& sheet) {
            Later(0, [&] {
                Select(sheet, c.row);
                head->PushAnswer(IDOK);
            });
            ClickItem(5, c.button);
        });
        ASSERT_EQ(plat::MessageBoxLog().size(), 1u) << c.row;
        EXPECT_NE(plat::MessageBoxLog()[0].text.find(c.message), std::string::npos) << plat::MessageBoxLog()[0].text;
    }
    // Anna plays: she stays too.
    GetAppPrefs().SetCurrentUser("Anna");
    plat::ClearMessageBoxLog();
    OnPlayersPage([&](CAdultSheet& sheet) {
        Later(0, [&] {
            Select(sheet, "Anna");
            head->PushAnswer(IDOK);
        });
        ClickItem(5, kRemove);
    });
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_NE(plat::MessageBoxLog()[0].text.find("Den aktuella anv\xE4ndaren"), std::string::npos);
    EXPECT_NE(ListValue("Anna"), "(none)");
}

struct RemoveCase {
    const char* name;
    bool settingsIsFolder;  // the name file cannot be deleted
    bool prefsGone, settingsGone, folderGone;
};

// Removing deletes the preference file, then the name file, then the folder, each only when
// the one before went; the key goes in any case.
TEST_F(PlayersPage, RemoveDeletesWhatItCanAndAlwaysTheKey) {
    const RemoveCase cases[] = {
        {"Anna", false, true, true, true},
        {"Bo", true, true, false, false},
    };
    for (const RemoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = FolderOf(c.name);
        ASSERT_FALSE(folder.empty());
        if (c.settingsIsFolder) {
            fs::remove(folder / "SETTINGS.INI");
            fs::create_directory(folder / "SETTINGS.INI");
        }
        std::vector<std::string> rows;
        int listChanged = 0;
        OnPlayersPage([&](CAdultSheet& sheet) {
            Later(0, [&] {
                Select(sheet, c.name);
                head->PushAnswer(IDYES);
            });
            ClickItem(5, kRemove);
            Later(60, [&] {
                rows = sheet.m_playersPage.Rows();
                listChanged = sheet.m_activityPage.m_listChanged;
            });
        });
        EXPECT_EQ(fs::exists(folder / "Zelbo.PRF"), !c.prefsGone);
        EXPECT_EQ(fs::exists(folder / "SETTINGS.INI"), !c.settingsGone);
        EXPECT_EQ(fs::exists(folder), !c.folderGone);
        EXPECT_EQ(ListValue(c.name), "(none)");
        EXPECT_EQ(std::count(rows.begin(), rows.end(), std::string(c.name)), 0);
        EXPECT_EQ(listChanged, 1);
    }
}

// A key whose value names no folder of the player's own (empty here) deletes nothing - not the
// game folder's own preference file - and the key still goes.
TEST_F(PlayersPage, RemovingAKeyWithoutAFolderDeletesNothing) {
    const fs::path gameFile = root / "Prog" / "Zelbo.PRF";
    std::ofstream(gameFile, std::ios::binary) << std::string(312, 'x');
    const fs::path boFolder = FolderOf("Bo");
    std::string path;
    ASSERT_TRUE(GetPlayerListPath(path));
    OnPlayersPage([&](CAdultSheet& sheet) {
        Later(0, [&] {
            WritePrivateProfileStringA("User List", "Bo", "", path.c_str());
            Select(sheet, "Bo");
            head->PushAnswer(IDYES);
        });
        ClickItem(5, kRemove);
    });
    EXPECT_TRUE(fs::exists(gameFile));
    EXPECT_TRUE(fs::exists(boFolder / "Zelbo.PRF"));
    EXPECT_EQ(ListValue("Bo"), "(none)");
}

// At 90 players adding says so and disables the button; a removal enables it again, and the
// next add takes the free entry.
TEST_F(PlayersPage, FullListAndARemoval) {
    CPlayerRoster roster;
    roster.Load();
    for (int i = 0; i < 87; ++i) ASSERT_GT(roster.Add("P" + std::to_string(100 + i)), 0) << i;
    plat::ClearMessageBoxLog();
    bool disabled = false, enabledAgain = false;
    size_t rowsAtEnd = 0;
    OnPlayersPage(
        [&](CAdultSheet& sheet) {
            Later(0, [&] { head->PushAnswer(IDOK); });
            ClickItem(5, kAdd);
            Later(40, [&] {
                disabled = !::IsWindowEnabled(::GetDlgItem(sheet.m_playersPage.m_hWnd, kAdd));
                Select(sheet, "P150");
                head->PushAnswer(IDYES);
            });
            ClickItem(45, kRemove);
            Later(80, [&] { enabledAgain = ::IsWindowEnabled(::GetDlgItem(sheet.m_playersPage.m_hWnd, kAdd)) != FALSE; });
            ClickItem(85, kAdd);
            Later(110, [&] { ::SetDlgItemText(plat::ActiveDialog(), kAddEdit, "Sist"); });
            ClickItem(120, IDOK);
            Later(200, [&] { rowsAtEnd = sheet.m_playersPage.Rows().size(); });
        },
        400);
    EXPECT_TRUE(disabled);
    ASSERT_GE(plat::MessageBoxLog().size(), 1u);
    EXPECT_NE(plat::MessageBoxLog()[0].text.find("Antalet anv\xE4ndare"), std::string::npos);
    EXPECT_TRUE(enabledAgain);
    EXPECT_EQ(rowsAtEnd, 90u);
    EXPECT_NE(ListValue("Sist"), "(none)");
}

TEST_F(PlayersPage, AnEmptyListMakesTheGuest) {
    fs::remove(root / "Prog" / "Zelbo.ini");
    fs::remove_all(root / "Prog" / "kids");
    std::vector<std::string> rows;
    OnPlayersPage([&](CAdultSheet& sheet) { rows = sheet.m_playersPage.Rows(); });
    EXPECT_EQ(rows, (std::vector<std::string>{"G\xE4st"}));
    EXPECT_NE(ListValue("G\xE4st"), "(none)");
    EXPECT_FALSE(FolderOf("G\xE4st").empty());
}

}  // namespace
