// The grown-ups' sheet: its pages in both modes, its own buttons, and what goes back into the
// record and the block.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "adult/adult_test_support.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_roster.h"
#include "media/util/mono_debug.h"
#include "platform/mci/debug_display.h"
#include "platform/msgbox/msgbox.h"
#include "adult/level_steps.h"
#include "media/res/activity_levels.h"

namespace {

using adulttest::AdultTest;

// A record and a block with a byte pattern of their own, so that any write shows.
template <class T>
T Patterned(uint8_t seed) {
    T value;
    auto* bytes = reinterpret_cast<uint8_t*>(&value);
    for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return value;
}

template <class T>
bool SameBytes(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

struct ModeCase {
    const char* name;
    bool launcher;
    UINT templates[3];
    int playersItem;  // a control of the players page and its text
    const char* playersText;
};

const ModeCase kModes[] = {
    {"Normal", false, {234, 133, 135}, 1055, "Ta &bort"},
    {"Launcher", true, {235, 133, 165}, 1066, "Aktuella inst\xE4llningar tas fr\xE5n Zadaro"},
};

class SheetModes : public AdultTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(SheetModes, PagesShowTheirLineAndOwnButtonsEndTheSheet) {
    const ModeCase& c = GetParam();
    CUserPrefs record = Patterned<CUserPrefs>(3);
    ActivitySettings block = Patterned<ActivitySettings>(90);
    const CUserPrefs recordBefore = record;
    const ActivitySettings blockBefore = block;
    CAdultSheet sheet(c.launcher ? TRUE : FALSE, 61279, nullptr, 0);
    sheet.SetUserSettings(&record, &block);
    EXPECT_TRUE(SameBytes(sheet.m_recordCopy, record));
    EXPECT_TRUE(SameBytes(sheet.m_blockCopy, block));
    ASSERT_EQ(sheet.GetPageCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sheet.GetPage(i)->m_nIDTemplate, c.templates[i]) << i;

    std::string playersText;
    std::vector<std::string> titles;
    bool standardHidden = false, ownShown = false;
    m_head->PushAnswer(plat::kMessageBoxInteractive);
    // No installation here: the players page cannot make the guest and says so.
    if (!c.launcher) m_head->PushAnswer(IDOK);
    for (int i = 0; i < 3; ++i) {
        m_head->At(At(10 + 10 * static_cast<uint64_t>(i)), [&, i] {
            sheet.SetActivePage(i);
            titles.push_back(std::string(sheet.GetPage(i)->GetTitle()));
            if (i == 2) {
                char text[200] = {};
                ::GetDlgItemText(sheet.GetPage(i)->m_hWnd, c.playersItem, text, sizeof(text));
                playersText = text;
            }
        });
    }
    m_head->At(At(50), [&] {
        CString caption;
        sheet.GetWindowText(caption);
        EXPECT_EQ(caption, "Vuxenavdelning");
        standardHidden = !::IsWindowVisible(::GetDlgItem(sheet.m_hWnd, IDCANCEL)) &&
                         !::IsWindowVisible(::GetDlgItem(sheet.m_hWnd, ID_APPLY_NOW));
        int shown = 0;
        for (const plat::ControlState& s : plat::DescribeDialog(sheet.m_hWnd))
            if (s.visible && s.className == "BUTTON" &&
                ((s.id == kAdultPlayButton && s.text == "Spela") || (s.id == kAdultQuitButton && s.text == "Avsluta") ||
                 (s.id == kAdultHelpButton && s.text == "Hj\xE4lp") || (s.id == kAdultCreditsButton && s.text == "Av")))
                ++shown;
        ownShown = shown == 4;
        const POINT quit = plat::ControlCentre(plat::FindDialogItem(sheet.m_hWnd, kAdultQuitButton));
        m_head->Click(At(10), quit.x, quit.y);
    });
    EXPECT_EQ(sheet.DoModal(), kAdultQuitButton);
    EXPECT_EQ(playersText, c.playersText);
    EXPECT_EQ(titles[1], "Inst\xE4llningsrader");
    EXPECT_TRUE(standardHidden);
    EXPECT_TRUE(ownShown);
    // The preferences page goes back into the record as it was shown; what it does not show stays.
    EXPECT_EQ(std::memcmp(record.printerSetup, recordBefore.printerSetup, sizeof record.printerSetup), 0);
    // The players page's check box shows whether new players may add themselves; without it
    // (launcher mode) the field goes back as it came.
    EXPECT_EQ(record.childrenMayAddPlayers, c.launcher ? recordBefore.childrenMayAddPlayers : 1u);
    // The activity page was shown: each level goes back as the first level of its slider step,
    // the two flags as their check boxes; what the page does not show stays.
    ActivitySettings expected = blockBefore;
    expected.levelsSaved = blockBefore.levelsSaved != 0 ? 1 : 0;
    expected.childMayChangeLevel = blockBefore.childMayChangeLevel != 0 ? 1 : 0;
    for (const ActivityLevelSteps& row : kActivityLevelSteps) {
        uint16_t& level = *expected.LevelOf(row.module);
        level = static_cast<uint16_t>(SliderStepToLevel(LevelToSliderStep(level, row.steps, row.Weights()), row.steps,
                                                        row.Weights()));
    }
    EXPECT_TRUE(SameBytes(block, expected));
}

INSTANTIATE_TEST_SUITE_P(Modes, SheetModes, ::testing::ValuesIn(kModes),
                         [](const ::testing::TestParamInfo<ModeCase>& info) { return info.param.name; });

}  // namespace

// ---------------------------------------------------------------------------------------------
// The sheet over a started engine and a player tree.

namespace {

using adulttest::kRecordSize;

class Sheet : public adulttest::SheetOnEngine {
protected:
    // The guest (playing) at Ruduridodu's level `level`: in the engine's block and the file.
    int SetGuestsLevel(uint16_t level) {
        CPlayerRoster roster;
        roster.Load();  // loads the guest's file into the engine's block
        *SettingsBlock().LevelOf(3) = level;
        return WriteUserPrefsFor(roster.Entry(roster.IndexOf("G\xE4st")));
    }
};

TEST(SettingsHelp, FileByVersion) {
    struct Case {
        const char* folder;
        DWORD version;
        const char* file;
    };
    const Case cases[] = {
        {"D:\\ZELBO", 0x80000004u, "D:\\ZELBO\\Zelbo4.HLP"},     // Windows 95
        {"D:\\ZELBO\\", 0xC0000A04u, "D:\\ZELBO\\Zelbo4.HLP"},   // the family, a later minor
        {"D:\\", 0x80000003u, "D:\\Zelbo3.HLP"},                 // top bit, major 3
        {"C:\\Prog\\", 0x00000004u, "C:\\Prog\\Zelbo3.HLP"},     // Windows NT 4.0
        {"C:\\Prog\\", 0x00000005u, "C:\\Prog\\Zelbo3.HLP"},     // NT whatever the major version
    };
    for (const Case& c : cases) EXPECT_EQ(SettingsHelpFile(c.folder, "Zelbo", c.version), c.file) << c.version;
}

// The block's fields and the record's +0x30 into the pages and back, without windows.
TEST_F(Sheet, BlockAndSelfAddBothWays) {
    ActivitySettings block{};
    block.SetDefaults();
    block.levelsSaved = 1;
    block.secondFlag = 77;
    block.childMayChangeLevel = 0;
    for (int module = 2; module <= 6; ++module) *block.LevelOf(module) = static_cast<uint16_t>(module * 3);
    CUserPrefs record{};
    record.SetRecordDefaults();
    record.childrenMayAddPlayers = 0;
    CAdultSheet sheet(61279, nullptr, 0);
    sheet.SettingsToPages(record, block);
    const int modules[] = {3, 2, 5, 6, 4};  // the page's rows, top to bottom
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(sheet.m_activityPage.m_rows[i], modules[i] * 3) << i;
    EXPECT_EQ(sheet.m_activityPage.m_levelsSaved, 1);
    EXPECT_EQ(sheet.m_activityPage.m_carried4, 77);
    EXPECT_EQ(sheet.m_activityPage.m_childrenMayChange, 0);
    EXPECT_EQ(sheet.m_playersPage.m_selfAdd, 0);
    ActivitySettings back{};
    CUserPrefs recordBack{};
    recordBack.childrenMayAddPlayers = 5;
    sheet.PagesToSettings(recordBack, back);
    EXPECT_EQ(back.levelsSaved, 1u);
    EXPECT_EQ(back.secondFlag, 77u);
    EXPECT_EQ(back.childMayChangeLevel, 0u);
    for (int module = 2; module <= 6; ++module) EXPECT_EQ(*back.LevelOf(module), module * 3) << module;
    EXPECT_EQ(recordBack.childrenMayAddPlayers, 0u);
}

struct EndCase {
    const char* name;
    int button;             // 0: Escape
    bool activityShown;
    int result;
    uint16_t blockLevel;    // the engine's block's Ruduridodu level afterwards
    bool guestFileWritten;
};

// However the sheet ends, the shown activity page goes into the engine's block; "Spela" and
// "Avsluta" write it into the player's file too; "Spela" before the page was shown writes no file.
TEST_F(Sheet, EndCodes) {
    const EndCase cases[] = {
        {"Spela", kAdultPlayButton, true, kAdultPlayButton, 10, true},
        {"Avsluta", kAdultQuitButton, true, kAdultQuitButton, 10, true},
        {"Escape", 0, true, IDCANCEL, 10, false},
        {"SpelaUnshown", kAdultPlayButton, false, kAdultPlayButton, 0, false},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(SetGuestsLevel(0), 1);
        const std::vector<uint8_t> guestFile = FileOf("G\xE4st");
        plat::ClearMessageBoxLog();
        const int result = RunSheet(
            [&](CAdultSheet& sheet) {
                if (c.activityShown) RuduridoduToStepThree(sheet, 0);
                if (c.button) ClickItem(40, c.button);
            },
            c.button ? c.button : IDCANCEL, 100, c.activityShown ? 1 : 0);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(*SettingsBlock().LevelOf(3), c.blockLevel);
        EXPECT_EQ(FileOf("G\xE4st") != guestFile, c.guestFileWritten);
        if (c.guestFileWritten) {
            EXPECT_EQ(*BlockOf("G\xE4st").LevelOf(3), 10);
        }
        EXPECT_TRUE(plat::MessageBoxLog().empty()) << "no player was switched: no notice";
    }
}

// Opened as the guest, Anna shown and her level changed, then "Spela": Anna's file holds her new
// level; the guest plays on with the guest's own levels in the engine's block and file; one
// notice names the guest.
TEST_F(Sheet, PlayAfterShowingAnotherPlayerKeepsEachPlayersLevels) {
    ASSERT_EQ(SetGuestsLevel(6), 1);  // the guest: step 2
    plat::ClearMessageBoxLog();
    RunSheet(
        [&](CAdultSheet& sheet) {
            Later(0, [&] { ::SetFocus(sheet.m_activityPage.m_playerBox.m_hWnd); });
            head->Key(At(5), VK_DOWN);  // "Anna"
            Later(30, [&] { ::SetFocus(sheet.m_activityPage.Slider(0).m_hWnd); });
            head->Key(At(35), VK_LEFT);  // from Anna's step 6 to step 5: level 17
            Later(60, [&] { head->PushAnswer(IDOK); });
            ClickItem(70, kAdultPlayButton);
        },
        kAdultPlayButton);
    EXPECT_EQ(*BlockOf("Anna").LevelOf(3), 17);
    EXPECT_EQ(*SettingsBlock().LevelOf(3), 6);
    EXPECT_EQ(*BlockOf("G\xE4st").LevelOf(3), 6);
    EXPECT_EQ(GetAppPrefs().GetCurrentUser(), "G\xE4st");
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_NE(plat::MessageBoxLog()[0].text.find("fortfarande \xE4r G\xE4st"), std::string::npos);
}

class LauncherSheet : public Sheet {
protected:
    void SetUp() override {
        Sheet::SetUp();
        LauncherFiles files;
        files.current = MakeLauncherChild("Pelle", "Berg", 4);
        files.children = {MakeLauncherChild("Anna", "Ek", 3), files.current};
        UseLauncher(files);
        m_child = root / "ZADARO" / "AD1" / "KD4";
        std::filesystem::create_directories(m_child);
        m_record.SetRecordDefaults();
        m_record.volumePercent = 33;
        WriteChildFile();
    }
    // The child's own file: the record the test holds and Ruduridodu at level 23 (step 7).
    void WriteChildFile() {
        std::string bytes(reinterpret_cast<const char*>(&m_record), kRecordSize);
        ActivitySettings levels{};
        levels.SetDefaults();
        *levels.LevelOf(3) = 23;
        bytes.append(reinterpret_cast<const char*>(&levels), sizeof levels);
        std::ofstream(m_child / "Zelbo.PRF", std::ios::binary) << bytes;
    }
    std::string ChildFile() const {
        std::ifstream in(m_child / "Zelbo.PRF", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::path m_child;
};

// The launcher's child is the only player in the box, its own levels shown; "Spela" writes the
// edited block into its file and keeps the record there; three trace lines name it.
TEST_F(LauncherSheet, PlayWritesTheChildsBlock) {
    const std::filesystem::path trace = root / "trace.txt";
    plat::SetTraceTarget(trace.string());
    MonoDebugOpen();
    std::vector<std::string> items;
    int step = 0;
    const std::string recordBefore = ChildFile().substr(0, kRecordSize);
    plat::ClearMessageBoxLog();
    RunSheet(
        [&](CAdultSheet& sheet) {
            items = BoxItems(sheet);
            step = sheet.m_activityPage.Slider(0).GetPos();
            RuduridoduToStepThree(sheet, 0);  // two steps right: step 9, level 28
            ClickItem(40, kAdultPlayButton);
        },
        kAdultPlayButton, 500, 1, true);
    MonoDebugClose();
    plat::SetTraceTarget(std::nullopt);
    EXPECT_EQ(items, (std::vector<std::string>{"Pelle Berg"}));
    EXPECT_EQ(step, 7);
    const std::string file = ChildFile();
    ASSERT_EQ(file.size(), kRecordSize + sizeof(ActivitySettings));
    EXPECT_EQ(file.substr(0, kRecordSize), recordBefore) << "the child's record stays";
    ActivitySettings written{};
    std::memcpy(&written, file.data() + kRecordSize, sizeof written);
    EXPECT_EQ(*written.LevelOf(3), 28);
    EXPECT_TRUE(SameBytes(written, SettingsBlock()));
    EXPECT_TRUE(plat::MessageBoxLog().empty());
    std::ifstream in(trace);
    const std::string traced((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(traced.find("Selected Pelle Berg is at C:\\ZADARO\\AD1\\KD4\n"), std::string::npos) << traced;
}

// Highlighting on and its speed changed: the notice that it comes back at the end; with
// highlighting off, none.
TEST_F(LauncherSheet, HighlightingNotice) {
    for (int highlight : {1, 0}) {
        SCOPED_TRACE(highlight);
        m_record.scanningAllowed = highlight == 0 ? 1 : 0;
        m_record.scanSpeed = 4;
        WriteChildFile();
        plat::ClearMessageBoxLog();
        RunSheet(
            [&](CAdultSheet& sheet) {
                sheet.m_preferencesPage.m_speed = 9;
                if (highlight == 0) head->PushAnswer(IDOK);
                ClickItem(10, kAdultPlayButton);
            },
            kAdultPlayButton, 500, 1, true);
        ASSERT_EQ(plat::MessageBoxLog().size(), highlight == 0 ? 1u : 0u);
        if (highlight == 0) {
            EXPECT_NE(plat::MessageBoxLog()[0].text.find("Automatisk markering"), std::string::npos);
        }
    }
}

// A child the launcher cannot name: nothing is written.
TEST_F(LauncherSheet, NoChildNoFile) {
    std::filesystem::remove(root / "ZADARO.SWP");
    const std::string before = ChildFile();
    RunSheet(
        [&](CAdultSheet& sheet) {
            RuduridoduToStepThree(sheet, 0);
            ClickItem(40, kAdultPlayButton);
        },
        kAdultPlayButton, 500, 1, true);
    EXPECT_EQ(ChildFile(), before);
}

}  // namespace
