// The grown-ups' sheet: its pages in both modes, its own buttons reached by scripted answers and
// clicks, and a block it never writes.
#include <gtest/gtest.h>

#include <cstring>

#include "adult/adult_test_support.h"
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
    const char* lines[3];
};

const ModeCase kModes[] = {
    {"Normal",
     false,
     {234, 133, 135},
     {"", "",
      "H\xE4r l\xE4gger du till och tar bort spelare."}},
    {"Launcher",
     true,
     {235, 133, 165},
     {"", "",
      "Spelarna tas fr\xE5n startprogrammet."}},
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

    std::vector<std::string> lines, titles;
    bool standardHidden = false, ownShown = false;
    m_head->PushAnswer(plat::kMessageBoxInteractive);
    for (int i = 0; i < 3; ++i) {
        m_head->At(At(10 + 10 * static_cast<uint64_t>(i)), [&, i] {
            sheet.SetActivePage(i);
            titles.push_back(std::string(sheet.GetPage(i)->GetTitle()));
            char text[200] = {};
            ::GetDlgItemText(sheet.GetPage(i)->m_hWnd, 1000, text, sizeof(text));
            lines.push_back(text);
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
                ((s.id == kAdultPlayButton && s.text == "Spela") || (s.id == kAdultQuitButton && s.text == "Avsluta")))
                ++shown;
        ownShown = shown == 2;
        const POINT quit = plat::ControlCentre(plat::FindDialogItem(sheet.m_hWnd, kAdultQuitButton));
        m_head->Click(At(10), quit.x, quit.y);
    });
    EXPECT_EQ(sheet.DoModal(), kAdultQuitButton);
    EXPECT_EQ(lines, (std::vector<std::string>{c.lines[0], c.lines[1], c.lines[2]}));
    EXPECT_EQ(titles[1], "Inst\xE4llningsrader");
    EXPECT_TRUE(standardHidden);
    EXPECT_TRUE(ownShown);
    // The preferences page goes back into the record as it was shown; what it does not show stays.
    EXPECT_EQ(std::memcmp(record.printerSetup, recordBefore.printerSetup, sizeof record.printerSetup), 0);
    EXPECT_EQ(record.childrenMayAddPlayers, recordBefore.childrenMayAddPlayers);
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
