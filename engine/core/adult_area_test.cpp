#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"

namespace {

using enginetest::EngineTest;

int CursorLevel() {
    const int level = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return level;
}

// The grown-ups' sheet answered by script: it edits the record and the block it is given and
// notes what it saw while it ran.
class CScriptedSheet : public IAdultSection {
public:
    explicit CScriptedSheet(int answer) : m_answer(answer) {}
    int RunSheet(bool launcherMode, UINT captionId, CWnd* parent, CUserPrefs& record, ActivitySettings& block) override {
        ++runs;
        sawLauncherMode = launcherMode;
        sawCaption = captionId;
        sawParent = parent;
        cursorLevelWhileOpen = CursorLevel();
        depthWhileOpen = theEngine->CallDepth();
        engineVolumeWhileOpen = theEngine->m_prefs.volumePercent;
        record.volumePercent = 77;
        record.showStopSign = 0;
        block.level[0] = 4;
        return m_answer;
    }
    int runs = 0;
    bool sawLauncherMode = true;
    UINT sawCaption = 0;
    CWnd* sawParent = nullptr;
    int cursorLevelWhileOpen = -99;
    int depthWhileOpen = 0;
    int engineVolumeWhileOpen = -1;

private:
    int m_answer;
};

struct AdultCase {
    const char* name;
    int answer;        // the sheet's result
    int16_t result;    // EnterAdultArea's
    bool copiedBack;   // the edited record copied into the engine's and saved
    bool redrawn;
};

class EnterAdultArea : public EngineTest, public ::testing::WithParamInterface<AdultCase> {};

TEST_P(EnterAdultArea, CopiesBackAndSavesAsTheSheetSays) {
    const AdultCase& c = GetParam();
    auto& title = static_cast<CZelboTitle&>(*theEngine);
    SetDefaultPrefs(title.m_prefs);
    title.m_prefs.volumePercent = 30;
    title.m_ctrlQEnabled = 1;
    CScriptedSheet sheet(c.answer);
    IAdultSection* before = SetAdultSection(&sheet);
    ShowCursor(FALSE);
    ShowCursor(FALSE);
    const int levelBefore = CursorLevel();
    SetCursorPos(10, 20);
    UpdateWindow(mainWnd.GetSafeHwnd());
    const int paintsBefore = mainWnd.paints;

    EXPECT_EQ(theEngine->EnterAdultArea(), c.result);
    SetAdultSection(before);

    EXPECT_EQ(sheet.runs, 1);
    EXPECT_FALSE(sheet.sawLauncherMode);
    EXPECT_EQ(sheet.sawCaption, 61279u);
    EXPECT_EQ(sheet.sawParent, &mainWnd);
    EXPECT_EQ(sheet.cursorLevelWhileOpen, 0) << "the cursor is shown while the sheet is up";
    EXPECT_GT(sheet.depthWhileOpen, 0) << "a close meanwhile is deferred";
    EXPECT_EQ(sheet.engineVolumeWhileOpen, 30) << "the sheet edits a copy";
    EXPECT_EQ(title.m_prefs.volumePercent, c.copiedBack ? 77 : 30);
    EXPECT_EQ(store.saves, c.copiedBack ? 1 : 0);
    if (c.copiedBack) {
        EXPECT_EQ(store.savedRecords.at(0).volumePercent, 77);
    }
    EXPECT_EQ(title.m_ctrlQEnabled, 0) << "Ctrl+Q follows the edited record's stop sign";
    POINT p{};
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 320);
    EXPECT_EQ(p.y, 240);
    EXPECT_EQ(CursorLevel(), levelBefore);
    EXPECT_EQ(mainWnd.paints > paintsBefore, c.redrawn);
    EXPECT_EQ(theEngine->CallDepth(), 0);
    EXPECT_EQ(theEngine->m_inAdultArea, c.result == 2 ? 1 : 0);
    while (CursorLevel() < 0) ShowCursor(TRUE);
}

INSTANTIATE_TEST_SUITE_P(Engine, EnterAdultArea,
                         ::testing::Values(AdultCase{"Spela", IDOK, 1, true, true},
                                           AdultCase{"Avsluta", 1134, 2, true, false},
                                           AdultCase{"Escape", IDCANCEL, 1, false, false}),
                         [](const ::testing::TestParamInfo<AdultCase>& info) { return std::string(info.param.name); });

TEST_F(EngineTest, StopSignSetInTheSheetEnablesCtrlQ) {
    struct CSetsStopSign : IAdultSection {
        int RunSheet(bool, UINT, CWnd*, CUserPrefs& record, ActivitySettings&) override {
            record.showStopSign = 1;
            return IDCANCEL;
        }
    } sheet;
    theEngine->m_prefs.showStopSign = 0;
    theEngine->m_ctrlQEnabled = 0;
    IAdultSection* before = SetAdultSection(&sheet);
    theEngine->EnterAdultArea();
    SetAdultSection(before);
    EXPECT_EQ(theEngine->m_ctrlQEnabled, 1);
    EXPECT_EQ(theEngine->m_prefs.showStopSign, 0u);
}

// Without a section installed the sheet is closed without a choice: nothing changes.
TEST_F(EngineTest, NeutralAdultSectionChangesNothing) {
    SetDefaultPrefs(theEngine->m_prefs);
    const CUserPrefs record = theEngine->m_prefs;
    EXPECT_EQ(theEngine->EnterAdultArea(), 1);
    EXPECT_EQ(std::memcmp(&record, &theEngine->m_prefs, sizeof record), 0);
    EXPECT_EQ(store.saves, 0);
}

}  // namespace
