// The two sliders driven by scripted keys and mouse in a dialog of their own: where the value
// and the thumb end up and what the parent is told.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "adult/adult_test_support.h"
#include "adult/slider_controls.h"
#include "platform/core/crt.h"

namespace {

using adulttest::AdultTest;

constexpr UINT kSliderDialog = 950;
constexpr int kVolume = 1100;  // CSliderBar 0..7, tick 1, notify on
constexpr int kSpeed = 1101;   // CSliderBar 0..28, tick 4, labels, notify off
constexpr int kLevel = 1102;   // CBitmapScrollBar, 13 steps on track 188
constexpr int kOther = 1103;   // a button to take the focus elsewhere

const plat::DialogItem kItems[] = {
    plat::ScrollBar(kVolume, 10, 10, 109, 14, WS_TABSTOP),
    plat::ScrollBar(kSpeed, 10, 30, 112, 36, WS_TABSTOP),
    plat::ScrollBar(kLevel, 10, 74, 131, 15, WS_TABSTOP),
    plat::PushButton(u8"Annan", kOther, 150, 10, 40, 14),
};
const plat::DialogTemplate kTemplate{kSliderDialog, 0, 0, 200, 100, DS_MODALFRAME | WS_POPUP | WS_CAPTION,
                                     u8"Reglage", kItems};

using Sent = std::pair<UINT, WPARAM>;

class SliderDialog : public CDialog {
public:
    SliderDialog() : CDialog(kSliderDialog), m_level(188, 196, 18) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_volume.Create(kVolume, this, 0, 7, 0, 1, TRUE);
        m_speed.Create(kSpeed, this, 0, 28, 0, 4, FALSE);
        m_speed.SetLabels(TRUE);
        m_level.Create(kLevel, this, 13, 0, TRUE);
        GetDlgItem(kOther)->SetFocus();
        return FALSE;
    }
    LRESULT OnUpDown(WPARAM w, LPARAM) { return Record(kMsgSliderUpDown, w); }
    LRESULT OnFocus(WPARAM w, LPARAM) { return Record(kMsgSliderFocus, w); }
    LRESULT OnMoved(WPARAM w, LPARAM) { return Record(kMsgSliderMoved, w); }
    LRESULT Record(UINT msg, WPARAM w) {
        sent.emplace_back(msg, w);
        return 0;
    }

    CSliderBar m_volume;
    CSliderBar m_speed;
    CBitmapScrollBar m_level;
    std::vector<Sent> sent;

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SliderDialog, CDialog)
    ON_MESSAGE(kMsgSliderUpDown, OnUpDown)
    ON_MESSAGE(kMsgSliderFocus, OnFocus)
    ON_MESSAGE(kMsgSliderMoved, OnMoved)
END_MESSAGE_MAP()

// One scripted event on a slider: a key (the slider has the focus), or a mouse event at x of
// the track (CSliderBar: from its track's left end; level slider: from the control's left) and
// at the thumb's height.
enum class Do { Key, Press, Move, Release, SetPos };
struct Step {
    Do what;
    int value;  // the key, the x, or the position given to SetPos
};

struct SliderCase {
    const char* name;
    int control;
    bool nt4;
    std::vector<Step> steps;
    int pos;     // GetPos afterwards
    int thumbX;  // in values (× spacing / 100); for the level slider in step widths (× stepWidth)
    std::vector<Sent> sent;
    int setPosAnswer = 0;  // what the last SetPos returned
};

constexpr WPARAM kFocusMsg = kMsgSliderFocus;

const SliderCase kCases[] = {
    {"VolumeRightThriceNotifiesEachValue",
     kVolume, false,
     {{Do::Key, VK_RIGHT}, {Do::Key, VK_RIGHT}, {Do::Key, VK_RIGHT}},
     3, 3, {{kFocusMsg, 0}, {kMsgSliderMoved, 1}, {kMsgSliderMoved, 2}, {kMsgSliderMoved, 3}}},
    {"VolumeLeftAtTheMinimumStays",
     kVolume, false, {{Do::Key, VK_LEFT}}, 0, 0, {{kFocusMsg, 0}}},
    {"VolumeUpAndDownTellTheParent",
     kVolume, false, {{Do::Key, VK_UP}, {Do::Key, VK_DOWN}}, 0, 0,
     {{kFocusMsg, 0}, {kMsgSliderUpDown, 0}, {kMsgSliderUpDown, 0}}},
    // Let go between two ticks: the nearer one wins, and one message with it.
    {"VolumeThumbDroppedBetweenTicksSnaps",
     kVolume, false, {{Do::Press, 4}, {Do::Move, 4 + 60}, {Do::Release, 4 + 60}}, -1, -1,
     {{kFocusMsg, 0}, {kMsgSliderMoved, static_cast<WPARAM>(-1)}}},
    {"VolumeThumbDraggedPastTheEndStopsAtTheMaximum",
     kVolume, false, {{Do::Press, 4}, {Do::Move, 900}, {Do::Release, 900}}, 7, 7,
     {{kFocusMsg, 0}, {kMsgSliderMoved, 7}}},
    {"VolumeClickRightOfTheThumbStepsWithoutMessage",
     kVolume, false, {{Do::Press, 100}, {Do::Release, 100}}, 1, 1, {{kFocusMsg, 0}}},
    {"VolumeRefusesAValueOutsideItsRange",
     kVolume, false, {{Do::SetPos, 5}, {Do::SetPos, 8}}, 5, 5, {}, -1},
    {"SpeedSendsNothingWhenMoved",
     kSpeed, false, {{Do::Press, 4}, {Do::Move, 4 + 80}, {Do::Release, 4 + 80}, {Do::Key, VK_RIGHT}}, -1, -1,
     {{kFocusMsg, 0}}},
    // The level slider: 13 steps held as 1..15, GetPos never above 13.
    {"LevelLastStepIsDrawnOneStepFurther",
     kLevel, false, {{Do::SetPos, 13}}, 13, 13, {}, 1},
    {"LevelAboveTheStepsReadsAsTheLastStep",
     kLevel, false, {{Do::SetPos, 15}}, 13, 13, {}, 1},
    {"LevelTwelveIsDrawnInItsPlace",
     kLevel, false, {{Do::SetPos, 12}}, 12, 11, {}, 1},
    {"LevelLeftFromTheLastStepGoesToTheOneBefore",
     kLevel, false, {{Do::SetPos, 15}, {Do::Key, VK_LEFT}}, 12, 11, {{kFocusMsg, 0}}},
    {"LevelRightAtTheEndStays",
     kLevel, false, {{Do::SetPos, 15}, {Do::Key, VK_RIGHT}}, 13, 13, {{kFocusMsg, 0}}},
    {"LevelUpTellsTheParent",
     kLevel, false, {{Do::Key, VK_UP}}, 1, 0, {{kFocusMsg, 0}, {kMsgSliderUpDown, 0}}},
    {"LevelClampsValuesOutsideTheRange",
     kLevel, false, {{Do::SetPos, 7}, {Do::SetPos, -1}}, 1, 0, {}, 7},
    // Thumb dragged: index 11 is step 12; index 12 (step 13 by the spacing) snaps to the last step.
    {"LevelThumbDroppedOnStepTwelve",
     kLevel, false, {{Do::Press, 7}, {Do::Move, 7 + 11 * 13 + 2}, {Do::Release, 7 + 11 * 13 + 2}}, 12, 11,
     {{kFocusMsg, 0}}},
    {"LevelThumbDroppedWhereStepThirteenWouldBeGoesToTheLastStep",
     kLevel, false, {{Do::Press, 7}, {Do::Move, 7 + 12 * 13}, {Do::Release, 7 + 12 * 13}}, 13, 13, {{kFocusMsg, 0}}},
    {"LevelClickRightOfTheThumbStepsOnce",
     kLevel, false, {{Do::Press, 150}, {Do::Release, 150}}, 2, 1, {{kFocusMsg, 0}}},
    // Left of a thumb on the last step: the click moves it as the Left key does.
    {"LevelClickLeftOfTheLastStepGoesToTheOneBefore",
     kLevel, false, {{Do::SetPos, 15}, {Do::Press, 20}, {Do::Release, 20}}, 12, 11, {{kFocusMsg, 0}}},
    {"LevelPressOnTheThumbDoesNothingOnNT4",
     kLevel, true, {{Do::Press, 7}, {Do::Move, 7 + 5 * 13}, {Do::Release, 7 + 5 * 13}}, 1, 0, {}},
};

class Sliders : public AdultTest, public ::testing::WithParamInterface<SliderCase> {};

TEST_P(Sliders, EventsGiveValueThumbAndMessages) {
    const SliderCase& c = GetParam();
    if (c.nt4) plat::SetReportedVersion(plat::kVersionWinNT4);
    plat::RegisterDialogTemplates(std::span(&kTemplate, 1));
    SliderDialog dlg;
    EXPECT_EQ(dlg.m_level.useScrollInfo, c.nt4 ? 1 : 0);
    int answer = 0;
    uint64_t t = 20;
    for (const Step& s : c.steps) {
        Later(t, [&, s] {
            CWnd* slider = dlg.GetDlgItem(c.control);
            HWND h = slider->m_hWnd;
            // Mouse x: CSliderBar's from its track's left end (+4 to the first tick).
            const bool drawn = c.control != kLevel;
            CSliderBar& bar = c.control == kVolume ? dlg.m_volume : dlg.m_speed;
            const int x = (drawn ? bar.left : 0) + s.value;
            const int y = drawn ? bar.top + 5 : 12;
            switch (s.what) {
                case Do::Key:
                    if (GetFocus() != h) ::SetFocus(h);
                    m_head->Key(At(1), s.value);
                    break;
                case Do::Press:
                    Mouse(1, plat::InputKind::MouseDown, h, x, y);
                    break;
                case Do::Move:
                    Mouse(1, plat::InputKind::MouseMove, h, x, y);
                    break;
                case Do::Release:
                    Mouse(1, plat::InputKind::MouseUp, h, x, y);
                    break;
                case Do::SetPos:
                    answer = c.control == kLevel ? dlg.m_level.SetPos(s.value, TRUE) : bar.SetPos(s.value, TRUE);
                    break;
            }
        });
        t += 20;
    }
    int pos = 0, thumbX = 0, spacing = 0, width = 0;
    double stepWidth = 0;
    Later(t + 20, [&] {
        UpdateWindow(dlg.GetDlgItem(c.control)->m_hWnd);
        CRect client;
        dlg.GetDlgItem(c.control)->GetClientRect(&client);
        width = client.Width();
        if (c.control == kLevel) {
            pos = dlg.m_level.GetPos();
            thumbX = dlg.m_level.thumbX;
            stepWidth = dlg.m_level.stepWidth;
        } else {
            CSliderBar& bar = c.control == kVolume ? dlg.m_volume : dlg.m_speed;
            pos = bar.GetPos();
            thumbX = bar.thumbX;
            spacing = bar.spacing;
        }
        End(dlg, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);

    if (c.control == kLevel) {
        EXPECT_EQ(width, 196) << "the control takes the track's width";
        EXPECT_DOUBLE_EQ(stepWidth, (196 - 14) / 14.0);
        EXPECT_EQ(pos, c.pos);
        EXPECT_EQ(thumbX, static_cast<int>(c.thumbX * stepWidth));
    } else {
        const int span = c.control == kVolume ? 7 : 28;
        EXPECT_EQ(spacing, (width - 8) / span * 100);
        if (c.pos >= 0) {
            EXPECT_EQ(pos, c.pos);
            EXPECT_EQ(thumbX, MulDiv(c.thumbX, spacing, 100));
        } else {
            // Dropped between ticks: the nearest value, the thumb on its tick.
            EXPECT_GT(pos, 0);
            EXPECT_EQ(thumbX, MulDiv(pos, spacing, 100));
        }
    }
    std::vector<Sent> expected = c.sent;
    for (Sent& s : expected)
        if (s.first == kMsgSliderMoved && s.second == static_cast<WPARAM>(-1)) s.second = static_cast<WPARAM>(pos);
    EXPECT_EQ(dlg.sent, expected);
    if (c.setPosAnswer != 0) {
        EXPECT_EQ(answer, c.setPosAnswer);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Sliders, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SliderCase>& info) { return info.param.name; });

// Between two ticks the thumb goes to the nearer one: the drop point is checked against the
// spacing so the case above cannot pass by landing on a tick.
TEST_F(Sliders, DropPointLiesBetweenTicks) {
    plat::RegisterDialogTemplates(std::span(&kTemplate, 1));
    SliderDialog dlg;
    int spacing = 0;
    Later(20, [&] {
        spacing = dlg.m_volume.spacing;
        End(dlg, IDOK);
    });
    dlg.DoModal();
    ASSERT_GT(spacing, 0);
    EXPECT_NE((60 * 100) % spacing, 0);
}

}  // namespace
