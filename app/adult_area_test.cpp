// The engine's grown-ups' area running the program's grown-ups' section through its seam: each
// way out of the sheet, the saves it makes and what it puts back.
#include <gtest/gtest.h>

#include "adult/adult_sheet.h"
#include "app/app_test_support.h"
#include "engine/core/cor_engine.h"
#include "platform/dialogs/dialog_probe.h"

namespace {

using app_test::CountingPrefsStore;

struct AnswerCase {
    const char* name;
    int answer;  // a scripted answer, or kMessageBoxInteractive to press Escape
    int16_t result;
    int saves;
    uint32_t showStopSign;
};

const AnswerCase kAnswers[] = {
    {"Spela", kAdultPlayButton, 1, 1, 1},
    {"Avsluta", kAdultQuitButton, 2, 1, 0},
    {"Escape", plat::kMessageBoxInteractive, 1, 0, 0},
    {"EscapeWithStopSign", plat::kMessageBoxInteractive, 1, 0, 1},
};

class AdultArea : public app_test::AppTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(AdultArea, TheEngineRunsTheSheetThroughItsSeam) {
    const AnswerCase& c = GetParam();
    IAdultSection* before = InstallAdultSection();
    CountingPrefsStore store;
    theEngine->m_prefs.showStopSign = c.showStopSign;
    theEngine->m_ctrlQEnabled = c.showStopSign ? 0 : 1;
    ShowCursor(FALSE);
    ShowCursor(FALSE);  // the display level is -2 before
    bool sheetOpen = false;
    m_head->PushAnswer(c.answer);
    if (c.answer == plat::kMessageBoxInteractive) {
        m_head->At(At(20), [&] { sheetOpen = plat::ActiveDialog() != nullptr; });
        m_head->Key(At(40), VK_ESCAPE);
    }
    const int16_t result = theEngine->EnterAdultArea();
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(store.saves, c.saves);
    EXPECT_EQ(theEngine->m_ctrlQEnabled, c.showStopSign ? 1 : 0);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 320);
    EXPECT_EQ(cursor.y, 240);
    EXPECT_EQ(ShowCursor(TRUE), -1) << "the display level is back at -2";
    ShowCursor(TRUE);
    if (c.answer == plat::kMessageBoxInteractive) {
        EXPECT_TRUE(sheetOpen);
    }
    theEngine->m_inAdultArea = 0;
    SetAdultSection(before);
}

INSTANTIATE_TEST_SUITE_P(Answers, AdultArea, ::testing::ValuesIn(kAnswers),
                         [](const ::testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

struct ChangeCase {
    const char* name;
    int end;  // the sheet's button, or 0 for Escape
    int16_t result;
    uint32_t showStopSign;  // the engine's record afterwards
};

const ChangeCase kChanges[] = {
    {"Spela", kAdultPlayButton, 1, 0},
    {"Avsluta", kAdultQuitButton, 2, 0},
    {"Escape", 0, 1, 1},
};

class AdultAreaChanges : public app_test::AppTest, public ::testing::WithParamInterface<ChangeCase> {};

// A grown-up hides the stop sign and moves Ruduridodu's slider two steps, then ends the sheet:
// the record reaches the engine on "Spela" and "Avsluta" only, the levels however it ends, and
// "Avsluta" quits.
TEST_P(AdultAreaChanges, TheRecordOnPlayOrQuitTheLevelsAlways) {
    const ChangeCase& c = GetParam();
    CountingPrefsStore store;
    theEngine->m_prefs.showStopSign = 1;
    theEngine->m_ctrlQEnabled = 0;
    int32_t size = 0;
    auto& block = *static_cast<ActivitySettings*>(theEngine->GetSavedSettings(size));
    *block.LevelOf(3) = 0;
    ShowCursor(FALSE);
    ShowCursor(FALSE);
    m_head->PushAnswer(plat::kMessageBoxInteractive);
    const auto click = [this](int id) {
        const POINT p = plat::ControlCentre(plat::FindDialogItem(plat::ActiveDialog(), id));
        m_head->Click(At(1), p.x, p.y);
    };
    m_head->At(At(20), [&] { click(1003); });  // "Göm stoppskylt"
    m_head->At(At(40), [&] {
        auto* sheet = static_cast<CAdultSheet*>(CWnd::FromHandlePermanent(plat::ActiveDialog()));
        ASSERT_NE(sheet, nullptr);
        sheet->SetActivePage(1);
        ::SetFocus(sheet->m_activityPage.Slider(0).m_hWnd);
    });
    m_head->Key(At(50), VK_RIGHT);
    m_head->Key(At(60), VK_RIGHT);
    if (c.end)
        m_head->At(At(80), [&] { click(c.end); });
    else
        m_head->Key(At(80), VK_ESCAPE);
    const int16_t result = theEngine->EnterAdultArea();
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(theEngine->m_prefs.showStopSign, c.showStopSign);
    EXPECT_EQ(*block.LevelOf(3), 10) << "step 3's first level";
    ShowCursor(TRUE);
    ShowCursor(TRUE);
    theEngine->m_inAdultArea = 0;
}

INSTANTIATE_TEST_SUITE_P(Ends, AdultAreaChanges, ::testing::ValuesIn(kChanges),
                         [](const ::testing::TestParamInfo<ChangeCase>& info) { return info.param.name; });

}  // namespace
