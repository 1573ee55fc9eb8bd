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

}  // namespace
