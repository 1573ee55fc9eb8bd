// Presenting: only what changed goes to the back end, once per frame; a palette change and a
// new back end get the whole screen; nothing changed costs nothing.
#include "platform/core/display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        d().PresentIfDirty();  // the first present: everything
    }
    void TearDown() override { plat::ResetWindowing(); }
    static plat::Display& d() { return plat::TheDisplay(); }
    static void Fill(const RECT& r, uint8_t v) {
        for (LONG y = r.top; y < r.bottom; ++y)
            std::memset(d().Pixels() + y * plat::kScreenWidth + r.left, v, static_cast<size_t>(r.right - r.left));
        d().Invalidate(r);
    }
    static long Area(const std::vector<RECT>& rects) {
        long a = 0;
        for (const RECT& r : rects) a += (r.right - r.left) * (r.bottom - r.top);
        return a;
    }
    plat::HeadlessBackend* head = nullptr;
};

TEST_F(DisplayTest, OnlyTheChangedRectanglesArePresented) {
    const RECT whole{0, 0, plat::kScreenWidth, plat::kScreenHeight};
    ASSERT_EQ(head->LastPresentedRects().size(), 1u);
    const uint64_t presents = head->PresentCount();
    // Two separate changes go out together, as two rectangles, in one present.
    Fill(RECT{10, 10, 74, 74}, 3);
    Fill(RECT{400, 300, 420, 310}, 4);
    d().PresentIfDirty();
    EXPECT_EQ(head->PresentCount(), presents + 1);
    EXPECT_EQ(Area(head->LastPresentedRects()), 64L * 64 + 20 * 10);
    EXPECT_EQ(head->PresentedFrame()[20 * plat::kScreenWidth + 20], d().ShownColour(20, 20));
    EXPECT_EQ(head->PresentedFrame()[305 * plat::kScreenWidth + 410], d().ShownColour(410, 305));
    // Nothing changed: no present at all.
    d().PresentIfDirty();
    EXPECT_EQ(head->PresentCount(), presents + 1);
    // Overlapping changes merge; a rectangle beyond the screen is cut to it.
    Fill(RECT{100, 100, 140, 140}, 5);
    Fill(RECT{120, 120, 160, 160}, 5);
    d().Invalidate(RECT{600, 470, 700, 500});
    d().PresentIfDirty();
    for (const RECT& r : head->LastPresentedRects()) {
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, whole.right);
        EXPECT_LE(r.bottom, whole.bottom);
    }
    EXPECT_LE(Area(head->LastPresentedRects()), 60L * 60 + 40 * 10);
    // A pixel written without being marked is not sent (the back end keeps what it showed).
    d().Pixels()[0] = 9;
    d().Invalidate(RECT{300, 0, 301, 1});
    d().PresentIfDirty();
    EXPECT_NE(head->PresentedFrame()[0], d().ShownColour(0, 0));
}

TEST_F(DisplayTest, APaletteChangePresentsTheWholeScreen) {
    Fill(RECT{0, 0, 640, 480}, 50);
    d().PresentIfDirty();
    PALETTEENTRY e{200, 100, 50, 0};
    d().SetHardwareEntries(50, 1, &e);
    d().PresentIfDirty();
    ASSERT_EQ(head->LastPresentedRects().size(), 1u);
    EXPECT_EQ(Area(head->LastPresentedRects()), 640L * 480);
    EXPECT_EQ(head->PresentedFrame()[479 * 640 + 639], RGB(200, 100, 50));
    // Setting the same colours again changes nothing and costs nothing.
    const uint64_t presents = head->PresentCount();
    d().SetHardwareEntries(50, 1, &e);
    d().PresentIfDirty();
    EXPECT_EQ(head->PresentCount(), presents);
}

TEST_F(DisplayTest, ManySmallChangesBecomeFewRectangles) {
    for (int i = 0; i < 100; ++i) Fill(RECT{i * 6, (i * 37) % 470, i * 6 + 3, (i * 37) % 470 + 3}, 7);
    EXPECT_LE(d().DirtyRects().size(), plat::Display::kMaxDirtyRects);
    d().PresentIfDirty();
    // Every change reached the back end.
    for (int i = 0; i < 100; ++i) {
        const int x = i * 6 + 1, y = (i * 37) % 470 + 1;
        EXPECT_EQ(head->PresentedFrame()[static_cast<size_t>(y) * 640 + x], d().ShownColour(x, y)) << i;
    }
}

TEST_F(DisplayTest, ANewBackEndGetsTheWholeScreen) {
    Fill(RECT{5, 5, 15, 15}, 8);
    d().PresentIfDirty();
    plat::SetBackend(std::make_unique<plat::HeadlessBackend>());
    plat::HeadlessBackend& fresh = plat::Headless();
    Fill(RECT{20, 20, 30, 30}, 9);
    d().PresentIfDirty();
    ASSERT_EQ(fresh.LastPresentedRects().size(), 1u);
    EXPECT_EQ(Area(fresh.LastPresentedRects()), 640L * 480);
}

}  // namespace
