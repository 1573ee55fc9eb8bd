// Picture buttons and the tick clock.
#include "engine/scene/two_state_button.h"

#include <gtest/gtest.h>

#include "engine/scene/scene_test_support.h"
#include "engine/scene/ticks.h"
#include "media/res/res_items_test_support.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Spr;

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        InitDibSystem(nullptr, TRUE, 0);
        media::CResWriter m2;
        m2.Add("SPR", 2100, Spr(3, {{0, 7, 7}, {7, 7, 7}}));     // first: 3 x 2, colour 0 in a corner
        m2.Add("SPR", 2101, Spr(2, {{9, 9}, {9, 9}, {9, 9}}));  // second: 2 x 3
        ASSERT_TRUE(resources.OpenModule(2, m2));
        surface.Create(16, 16, nullptr);
        everything.Add(RECT{0, 0, 640, 480});
    }
    void TearDown() override { ShutdownDibSystem(); }

    itemtest::CTestHost resources;
    scenetest::CFakeSceneHost scene;
    CDibG surface;
    CDirtyRectList everything;
};

TEST_F(ButtonTest, StateZeroWithoutAFirstPictureUsesTheSecond) {
    CTwoStateButton b;
    b.Create(POINT{5, 5}, 0, 2002, 2101, TRUE);  // 2002: no picture
    EXPECT_EQ(b.GetFirst(), nullptr);
    b.Draw(surface, everything);
    EXPECT_EQ(surface.GetPixel(5, 5), 9);
    EXPECT_EQ(surface.GetPixel(6, 7), 9);
    EXPECT_EQ(surface.GetPixel(7, 5), 0);
    EXPECT_TRUE(b.HitTest(6, 7));
    EXPECT_FALSE(b.HitTest(7, 5));
}

TEST_F(ButtonTest, PicturesAreOpaqueAndFollowTheState) {
    CTwoStateButton b;
    b.Create(POINT{2, 2}, 0, 2100, 2101, TRUE);
    b.Draw(surface, everything);
    EXPECT_EQ(surface.GetPixel(4, 2), 7);
    b.Toggle();
    EXPECT_EQ(b.GetState(), 1);
    surface.Fill(3);
    b.Draw(surface, everything);
    EXPECT_EQ(surface.GetPixel(2, 4), 9);  // the second picture is taller than the first: all of it
    EXPECT_EQ(surface.GetPixel(4, 2), 3);
    b.SetState(0);
    b.Draw(surface, everything);
    EXPECT_EQ(surface.GetPixel(2, 2), 0);  // opaque: colour 0 is drawn
    EXPECT_TRUE(b.HitTest(2, 2));          // the bounds, not the pixel
    CDirtyRectList elsewhere;
    elsewhere.Add(RECT{10, 10, 16, 16});   // far from the button: nothing drawn
    surface.Fill(3);
    b.Draw(surface, elsewhere);
    EXPECT_EQ(surface.GetPixel(3, 2), 3);
}

TEST_F(ButtonTest, HideAddsNoDirtyRectangleShowZeroAddsTheButtons) {
    CTwoStateButton b;
    b.Create(POINT{4, 6}, 0, 2100, 2101, TRUE);
    scene.invalidated.clear();
    b.Hide();
    EXPECT_TRUE(scene.invalidated.empty());
    EXPECT_FALSE(b.HitTest(5, 6));
    b.Show(FALSE);
    ASSERT_EQ(scene.invalidated.size(), 1u);
    EXPECT_TRUE(SameRect(scene.invalidated[0], RECT{4, 6, 7, 8}));
    surface.Fill(3);
    b.Draw(surface, everything);
    EXPECT_EQ(surface.GetPixel(5, 6), 3);  // invisible: nothing drawn
}

TEST_F(ButtonTest, APictureStaysValidAfterTheCacheDropsIt) {
    CTwoStateButton b;
    b.Create(POINT{1, 1}, 1, 2100, 2101, TRUE);
    resources.cache.Clear();
    b.Draw(surface, everything);
    EXPECT_EQ(surface.GetPixel(1, 1), 9);
}

TEST(Ticks, SixtiethsOfTheMillisecondClockWithoutADrop) {
    struct Case {
        uint64_t ms;
        uint64_t ticks;
    };
    // 71,582,789 ms is where a 32-bit ms x 60 wraps.
    for (const Case c : {Case{1000, 60}, Case{1010, 60}, Case{1017, 61}, Case{71582788, 4294967}, Case{71582789, 4294967},
                         Case{71582790, 4294967}, Case{72ull * 3600 * 1000, 15552000}}) {
        EXPECT_EQ(TicksFromMs(c.ms), c.ticks) << c.ms;
    }
    plat::HeadlessBackend& hl = plat::InstallHeadless();
    hl.SetQueryStep(0);
    hl.Advance(71582800 - plat::NowMs64());
    EXPECT_EQ(GetTicks(), 4294968u);
}

}  // namespace
