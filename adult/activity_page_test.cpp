// The activity page in the running sheet over a started engine and a player tree of its own:
// the player box, switching players and back, giving every player the same settings, and the
// block the sheet leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "adult/activity_page.h"
#include "adult/adult_sheet.h"
#include "adult/adult_test_support.h"
#include "adult/level_steps.h"
#include "engine/base/standin_table.h"
#include "engine/players/player_list.h"
#include "engine/players/player_roster.h"
#include "engine/players/prefs_file.h"
#include "engine/toolbox/activity_test_support.h"
#include "media/res/activity_levels.h"
#include "platform/msgbox/msgbox.h"

namespace {

using namespace activity_ids;

constexpr int kRuduridodu = 0;  // the first row
class ActivityPage : public adulttest::SheetOnEngine {};
using adulttest::kAnnasLevel;
using adulttest::kRecordSize;

TEST_F(ActivityPage, GuestFirstOnceAndTheCurrentPlayerSelected) {
    CPlayerRoster roster;
    roster.Load();
    ASSERT_GT(roster.Add("G\xE4sten"), 0);  // begins with the guest's name
    std::vector<std::string> items;
    std::string selected;
    RunSheet([&](CAdultSheet& sheet) {
        items = BoxItems(sheet);
        CString text;
        sheet.m_activityPage.m_playerBox.GetLBText(sheet.m_activityPage.m_playerBox.GetCurSel(), text);
        selected = static_cast<const char*>(text);
    });
    EXPECT_EQ(items, (std::vector<std::string>{"G\xE4st", "Anna", "Bo", "G\xE4sten"}));
    EXPECT_EQ(selected, "G\xE4st");
}

// A player added while the sheet runs shows in the box at the page's next paint once the list
// is marked changed, the current player still chosen.
TEST_F(ActivityPage, ChangedListIsReadAgainOnPaint) {
    std::vector<std::string> before, after;
    std::string selected;
    RunSheet([&](CAdultSheet& sheet) {
        before = BoxItems(sheet);
        CPlayerRoster roster;
        roster.Load();
        ASSERT_GT(roster.Add("Cilla"), 0);
        sheet.m_activityPage.MarkListChanged(1);
        sheet.m_activityPage.Invalidate();
        Later(30, [&] {
            after = BoxItems(sheet);
            CString text;
            sheet.m_activityPage.m_playerBox.GetLBText(sheet.m_activityPage.m_playerBox.GetCurSel(), text);
            selected = static_cast<const char*>(text);
        });
    });
    EXPECT_EQ(before, (std::vector<std::string>{"G\xE4st", "Anna", "Bo"}));
    EXPECT_EQ(after, (std::vector<std::string>{"G\xE4st", "Anna", "Bo", "Cilla"}));
    EXPECT_EQ(selected, "G\xE4st");
}

TEST_F(ActivityPage, ChoosingTheCurrentPlayerWritesNothing) {
    const std::vector<uint8_t> guestFile = FileOf("G\xE4st");
    ASSERT_FALSE(guestFile.empty());
    bool otherShown = true;
    RunSheet([&](CAdultSheet& sheet) {
        RuduridoduToStepThree(sheet, 0);
        Later(40, [&] {
            // The box reports a choice of the row it shows: the current player.
            sheet.m_activityPage.SendMessage(WM_COMMAND, MAKEWPARAM(kPlayerBox, CBN_SELCHANGE),
                                             reinterpret_cast<LPARAM>(sheet.m_activityPage.m_playerBox.m_hWnd));
            otherShown = sheet.m_activityPage.OtherPlayerShown();
        });
    });
    EXPECT_FALSE(otherShown);
    EXPECT_EQ(FileOf("G\xE4st"), guestFile) << "nothing written for the player already current";
    EXPECT_EQ(GetAppPrefs().GetCurrentUser(), "G\xE4st");
    EXPECT_EQ(*SettingsBlock().LevelOf(3), 10) << "Escape still stores the page into the block";
}

// Another player chosen: the shown settings go into the outgoing player's file before the
// chosen one's are loaded; "Spela" makes the first player current again with one notice, and
// each player keeps the settings shown while it was current.
TEST_F(ActivityPage, AnotherPlayerAndBackOnPlay) {
    int annasStep = 0;
    uint16_t guestsSavedLevel = 0;
    std::string currentWhileShown;
    plat::ClearMessageBoxLog();
    const int result = RunSheet(
        [&](CAdultSheet& sheet) {
            RuduridoduToStepThree(sheet, 0);
            Later(40, [&] { ::SetFocus(sheet.m_activityPage.m_playerBox.m_hWnd); });
            head->Key(At(45), VK_DOWN);  // "Anna"
            Later(80, [&] {
                annasStep = sheet.m_activityPage.Slider(kRuduridodu).GetPos();
                guestsSavedLevel = *BlockOf("G\xE4st").LevelOf(3);
                currentWhileShown = GetAppPrefs().GetCurrentUser();
                head->PushAnswer(IDOK);  // the notice
            });
            ClickItem(100, kAdultPlayButton);
        },
        kAdultPlayButton);
    EXPECT_EQ(result, kAdultPlayButton);
    EXPECT_EQ(guestsSavedLevel, 10) << "the guest's shown level saved before Anna's was loaded";
    EXPECT_EQ(currentWhileShown, "Anna");
    EXPECT_EQ(annasStep, LevelToSliderStep(kAnnasLevel, 13, kActivityLevelSteps[kRuduridodu].Weights()));
    EXPECT_EQ(GetAppPrefs().GetCurrentUser(), "G\xE4st") << "the guest plays on";
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_NE(plat::MessageBoxLog()[0].text.find("det fortfarande \xE4r G\xE4st som spelar"), std::string::npos)
        << plat::MessageBoxLog()[0].text;
    EXPECT_EQ(*SettingsBlock().LevelOf(3), 10) << "the guest's own level, not Anna's";
    EXPECT_EQ(*BlockOf("G\xE4st").LevelOf(3), 10);
    EXPECT_EQ(*BlockOf("Anna").LevelOf(3), kAnnasLevel);
}

// Give-all carries the levels and the two flags into every player's file; each file keeps the
// sound and printing record it holds (Anna's own volume here), not the one playing now.
TEST_F(ActivityPage, GiveAllWritesEveryPlayerTheGuestToo) {
    {
        std::vector<uint8_t> annas = FileOf("Anna");
        ASSERT_GE(annas.size(), kRecordSize);
        annas[offsetof(CUserPrefs, volumePercent)] = 33;
        ASSERT_TRUE(WriteFileOf("Anna", annas));
    }
    for (int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer);
        const std::vector<uint8_t> before[3] = {FileOf("G\xE4st"), FileOf("Anna"), FileOf("Bo")};
        RunSheet([&](CAdultSheet& sheet) {
            RuduridoduToStepThree(sheet, 0);
            Later(30, [&] { sheet.m_activityPage.CheckDlgButton(kLevelsSaved, BST_UNCHECKED); });
            Later(40, [&] { head->PushAnswer(answer); });
            ClickItem(50, kGiveAll);
        });
        if (answer == IDCANCEL) {
            EXPECT_EQ(FileOf("G\xE4st"), before[0]);
            EXPECT_EQ(FileOf("Anna"), before[1]);
            EXPECT_EQ(FileOf("Bo"), before[2]);
            continue;
        }
        const char* names[] = {"G\xE4st", "Anna", "Bo"};
        for (size_t i = 0; i < std::size(names); ++i) {
            ActivitySettings block = BlockOf(names[i]);
            EXPECT_EQ(*block.LevelOf(3), 10) << names[i];
            EXPECT_EQ(block.levelsSaved, 0u) << names[i];
            const std::vector<uint8_t> after = FileOf(names[i]);
            ASSERT_GE(after.size(), kRecordSize);
            EXPECT_TRUE(std::equal(after.begin(), after.begin() + kRecordSize, before[i].begin()))
                << names[i] << ": the record the file held";
        }
        EXPECT_EQ(FileOf("Anna")[offsetof(CUserPrefs, volumePercent)], 33);
    }
}

}  // namespace
