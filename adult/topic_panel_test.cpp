// The topic list panel: its layout, which row a point picks, the row lit from the slider, OK
// and Cancel, opened from the activity page as a grown-up does; the golden page and panel.
#include <gtest/gtest.h>

#include <vector>

#include "adult/activity_page.h"
#include "adult/adult_test_support.h"
#include "adult/topic_panel.h"
#include "media/res/activity_levels.h"

namespace {

using adulttest::AdultTest;

struct LayoutCase {
    int left, right;
    int leftHeight, rightHeight, overflow;
};

TEST(TopicPanelLayout, ColumnsAndOverflow) {
    const LayoutCase cases[] = {
        {7, 6, 105, 90, 0},     // Ruduridodu
        {13, 13, 193, 195, 0},  // 195 pixels: one more than the area holds, too little to carry over
        {12, 11, 180, 165, 0},
        {14, 12, 193, 180, 16},  // a whole row more: its rest continues at the top of the right column
    };
    for (const LayoutCase& c : cases) {
        CBitmapScrollPanel panel("x", nullptr, nullptr, 233, 234, kTopicAreaWidth, kTopicAreaHeight, kTopicRowHeight,
                                 kTopicMargin);
        const std::vector<int> heights(static_cast<size_t>(c.left + c.right), 1);
        panel.SetRows(c.left, c.right, heights.data());
        EXPECT_EQ(panel.leftHeight, c.leftHeight) << c.left;
        EXPECT_EQ(panel.rightHeight, c.rightHeight) << c.left;
        EXPECT_EQ(panel.overflow, c.overflow) << c.left;
    }
}

class TopicPanel : public AdultTest {
protected:
    // Runs the sheet on the activity page with Ruduridodu's slider at step 9, opens its topic
    // list and hands the panel to fn; then Escape ends the sheet.
    void WithPanel(const std::function<void(CBitmapScrollPanel&, CAdultSheet&)>& fn, uint64_t end = 400) {
        CUserPrefs record{};
        record.SetRecordDefaults();
        ActivitySettings block{};
        block.SetDefaults();
        CAdultSheet sheet(61279, nullptr, 0);
        sheet.SetUserSettings(&record, &block);
        m_head->PushAnswer(plat::kMessageBoxInteractive);
        Later(10, [&] { sheet.SetActivePage(1); });
        Later(20, [&] { sheet.m_activityPage.Slider(0).SetPos(9, TRUE); });
        ClickItem(30, kActivityRows[0].topics);
        Later(60, [&] {
            auto* panel = static_cast<CBitmapScrollPanel*>(CWnd::FromHandlePermanent(plat::ActiveDialog()));
            ASSERT_NE(panel, nullptr);
            fn(*panel, sheet);
        });
        Later(end, [&] {
            m_slider = sheet.m_activityPage.Slider(0).GetPos();
            adulttest::EndModal(sheet, IDCANCEL);
        });
        sheet.DoModal();
    }
    int m_slider = 0;
};

struct PointCase {
    int x, y;  // from the picture area's corner
    int row;   // 0: nothing
};

const PointCase kPoints[] = {
    {10, 2, 0},     // above the margin
    {10, 3, 1},     {10, 18, 1},  // a band takes its lower edge too
    {10, 19, 2},    {10, 104, 7},
    {10, 105, 0},   {10, 108, 0},  // the last left row's lowest four pixel rows: the dead band
    {188, 50, 4},   // the columns meet: the left one's
    {200, 3, 8},    {200, 19, 9},  {200, 92, 13}, {377, 92, 13},
    {200, 93, 0},   {378, 50, 0},  {-1, 50, 0},
};

TEST_F(TopicPanel, PointsPickRowsAndTheSlidersStepIsLit) {
    std::vector<int> rows;
    int selected = 0, rightRows = 0;
    WithPanel([&](CBitmapScrollPanel& panel, CAdultSheet&) {
        selected = panel.selected;
        rightRows = panel.rightRows;
        const CPoint o = panel.Origin();
        for (const PointCase& p : kPoints) rows.push_back(panel.RowAt(CPoint(o.x + p.x, o.y + p.y)));
        adulttest::EndModal(panel, IDCANCEL);
    });
    EXPECT_EQ(selected, 9) << "step 9: the right column's second row";
    EXPECT_EQ(rightRows, 6);
    for (size_t i = 0; i < std::size(kPoints); ++i)
        EXPECT_EQ(rows[i], kPoints[i].row) << kPoints[i].x << "," << kPoints[i].y;
}

TEST_F(TopicPanel, OkMovesTheSliderCancelDoesNot) {
    for (int button : {IDCANCEL, IDOK}) {
        int picked = 0;
        WithPanel([&](CBitmapScrollPanel& panel, CAdultSheet&) {
            // A click on the left column's third row.
            const CPoint o = panel.Origin();
            ClickIn(1, panel.m_hWnd, o.x + 40, o.y + kTopicMargin + 2 * kTopicRowHeight + 7);
            Later(20, [&] { picked = panel.selected; });
            ClickItem(30, button);
        });
        EXPECT_EQ(picked, 3);
        EXPECT_EQ(m_slider, button == IDOK ? 3 : 9) << button;
    }
}

// Painted over (as a window lying on it would leave it) and repainted without a move or a new
// pick: the list and its lit row come back whole.
TEST_F(TopicPanel, ComesBackAfterItWasCovered) {
    std::vector<uint8_t> shown, covered, repainted;
    const auto area = [](CBitmapScrollPanel& panel) {
        CPoint o = panel.Origin();
        panel.ClientToScreen(&o);
        std::vector<uint8_t> pixels;
        const plat::Display& d = plat::TheDisplay();
        for (int y = o.y; y < o.y + kTopicAreaHeight; ++y)
            for (int x = o.x; x < o.x + kTopicAreaWidth; ++x) pixels.push_back(d.Pixel(x, y));
        return pixels;
    };
    WithPanel([&](CBitmapScrollPanel& panel, CAdultSheet&) {
        shown = area(panel);
        {
            CClientDC dc(&panel);
            CRect client;
            panel.GetClientRect(&client);
            dc.FillSolidRect(&client, RGB(0, 0, 0));
        }
        covered = area(panel);
        panel.Invalidate(FALSE);
        panel.UpdateWindow();
        repainted = area(panel);
        adulttest::EndModal(panel, IDCANCEL);
    });
    ASSERT_FALSE(shown.empty());
    ASSERT_NE(covered, shown) << "the cover must change what the screen shows";
    EXPECT_EQ(repainted, shown);
}

TEST_F(TopicPanel, GoldenPageAndPanel) {
    WithPanel([&](CBitmapScrollPanel& panel, CAdultSheet&) {
        adulttest::CheckGolden("adult_topic_panel.png");
        adulttest::EndModal(panel, IDCANCEL);
        Later(30, [] { adulttest::CheckGolden("adult_activity_page.png"); });
    });
}

}  // namespace
