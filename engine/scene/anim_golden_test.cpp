// The test module's scripts (testdata/anim_module.mkres, built by mkres): the walk-in composed
// over the generated background at two virtual times and shown through the palette display,
// compared with tests/golden/anim_walk_in_20.png and anim_walk_in_60.png
// (ZELBO_UPDATE_GOLDEN=1 writes them instead; look at them before keeping them); the blink
// loops for ever and the wave plays its sound and ends.
#include <gtest/gtest.h>

#include <string>

#include "engine/scene/anim_list.h"
#include "engine/scene/scene_test_support.h"
#include "media/res/sprite.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/surface_test_support.h"
#include "platform/headless/golden_test_support.h"

namespace {

using namespace media;

class AnimModuleTest : public surftest::SurfaceTest {
protected:
    void SetUp() override {
        surftest::SurfaceTest::SetUp();
        surftest::StartDibSystem(surftest::Mode::Plain);
        res.module = 7;
        ASSERT_TRUE(res.OpenModuleFile(7, ZELBO_ANIM_TEST_RES));
        LoadHotspotTable(7000);
    }
    itemtest::CTestHost res;
    scenetest::CFakeSceneHost host;
};

TEST_F(AnimModuleTest, TheWalkInAtTwoMomentsOverTheBackground) {
    CPalId palette;
    ASSERT_TRUE(surftest::LoadModulePalette(7000, palette));
    CSprite* background = GetResItem(7000, TRUE);
    ASSERT_NE(background, nullptr);
    CDibG back, frame;
    back.CreateRealized(640, 480, &palette);
    frame.CreateRealized(640, 480, &palette);
    back.CopySprite(*background, POINT{0, 0}, FALSE);
    HDC screen = GetDC(nullptr);
    SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);

    CAnimList list;
    CCorAnim* walker = list.Create(2, POINT{0, 0});
    walker->LoadScript(7100);
    const RECT all{0, 0, 640, 480};
    const auto showAt = [&](uint64_t tick) {
        while (host.now < tick) {
            list.StepAll();
            ++host.now;
        }
        list.StepAll();
        frame.BlitRect(back, POINT{0, 0}, POINT{0, 0}, SIZE{640, 480});
        CDirtyRectList dirty;
        dirty.Add(all);
        list.DrawAll(frame, dirty);
        frame.DrawRect(screen, all, all, SRCCOPY);
    };
    // A step of 12 pixels every 4 ticks from tick 0, the frames 11, 12, 13, 10 in turn.
    // Tick 20: six steps from -40 (x 32), the third frame.
    showAt(20);
    EXPECT_EQ(walker->GetPosition().x, 32);
    EXPECT_EQ(walker->GetPosition().y, 420);
    EXPECT_EQ(walker->GetPictureId(), 7012);
    EXPECT_EQ(list.GetState(), kAnimRunning);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "anim_walk_in_20.png");
    // Tick 60: sixteen steps (x 152), the standing frame.
    showAt(60);
    EXPECT_EQ(walker->GetPosition().x, 152);
    EXPECT_EQ(walker->GetPictureId(), 7010);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "anim_walk_in_60.png");
    ReleaseDC(nullptr, screen);

    // Twenty steps in all, and the walker stands: the script has ended.
    EXPECT_EQ(list.RunUntilSettled(), kAnimFinished);
    EXPECT_EQ(walker->GetPosition().x, 200);
    EXPECT_EQ(walker->GetPictureId(), 7010);
    EXPECT_EQ(host.now, 80u);
}

TEST_F(AnimModuleTest, TheBlinkLoopsForEverAndTheWavePlaysItsSoundAndEnds) {
    CAnimList list;
    CCorAnim* blinker = list.Create(2, POINT{300, 400});
    blinker->LoadScript(7101);
    CCorAnim* waver = list.Create(2, POINT{400, 400});
    waver->LoadScript(7102);
    EXPECT_EQ(host.preloaded, (std::vector<int16_t>{40}));

    // The blink never ends; the wave ends after three rounds of 16 ticks.
    std::vector<int32_t> blinkPictures;
    for (host.now = 0; host.now <= 200; ++host.now) {
        list.StepAll();
        if (blinkPictures.empty() || blinkPictures.back() != blinker->GetPictureId())
            blinkPictures.push_back(blinker->GetPictureId());
        if (host.now == 47) {
            EXPECT_EQ(waver->GetScriptState(), kAnimRunning);
        }
    }
    EXPECT_EQ(blinkPictures, (std::vector<int32_t>{7020, 7021, 7020, 7021, 7020}));  // at 0, 90, 96, 186, 192
    EXPECT_EQ(blinker->GetScriptState(), kAnimEndless);
    EXPECT_EQ(waver->GetScriptState(), kAnimFinished);
    EXPECT_EQ(waver->GetPictureId(), 7030);
    EXPECT_EQ(host.played, (std::vector<int32_t>{7040}));
    EXPECT_EQ(list.GetState(), kAnimEndless);
}

}  // namespace
