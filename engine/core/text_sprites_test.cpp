// The engine's answers to the text layer's sprites and to the scanner, on a title of its own.
#include <gtest/gtest.h>

#include "engine/core/engine_hosts.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/scan_target.h"
#include "media/res/res_items_test_support.h"
#include "media/res/spot_format.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/byte_order.h"
#include "platform/headless/headless_backend.h"

namespace {

class EngineAnswersTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        title.m_currentModule = 3;
        title.m_originX = 100;
        title.m_originY = 20;
        title.m_dirtyRects = std::make_unique<CDirtyRectList>();
        res.module = 3;
        media::CResWriter writer;
        writer.Add("SPR", 3012, itemtest::Spr(4, std::vector<itemtest::Bytes>(4, itemtest::Bytes(4, 12))));
        writer.Add("SPR", 3013, itemtest::Spr(2, {{13, 13}}));
        writer.Add("SPT", 3100, media::EncodeSpotItem(10, 10, 50, 30));
        writer.Add("SPT", 3101, media::EncodeSpotItem(60, 10, 70, 20));
        std::vector<uint8_t> list;
        plat::AppendLe16(list, 0);  // the list's first word is not read
        plat::AppendLe16(list, 3100);
        plat::AppendLe16(list, 3101);
        writer.Add("SP#", 3500, list);
        ASSERT_TRUE(res.OpenModule(3, writer));
        saved = SetSceneHost(&scene);
    }
    void TearDown() override { SetSceneHost(saved); }

    CZelboTitle title;
    itemtest::CTestHost res;
    CEngineTextHost text{title};
    CEngineSceneHost scene{title};
    ISceneHost* saved = nullptr;
};

// Display sprites are objects of the display list, placed in picture coordinates; calls on a
// sprite that is not (or no longer) in the list do nothing.
TEST_F(EngineAnswersTest, TextSpritesAreDisplayListObjects) {
    const HostSprite made = text.CreateSprite(5, 6, 12);
    auto* sprite = static_cast<CCorAnim*>(made.object);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(made.serial, sprite->Serial());
    EXPECT_TRUE(text.SpriteAlive(made));
    EXPECT_TRUE(title.m_anims.Contains(sprite));
    EXPECT_EQ(sprite->GetPosition().x, 105);
    EXPECT_EQ(sprite->GetPosition().y, 26);
    EXPECT_EQ(sprite->GetPictureId(), 3012);
    EXPECT_TRUE(title.m_dirtyRects->Intersects(RECT{105, 26, 109, 30}));

    text.ShowSpritePicture(made, 13);
    EXPECT_EQ(sprite->GetPictureId(), 3013);
    title.m_dirtyRects->RemoveAll();
    text.InvalidateSprite(made);
    EXPECT_TRUE(title.m_dirtyRects->Intersects(RECT{105, 26, 107, 27}));

    // A scan target of the sprite goes with it.
    title.m_scanner.AddTarget(new CScanAnimTarget(sprite, TRUE, FALSE, 0, 0), -1);
    text.DisposeSprite(made);
    EXPECT_EQ(title.m_anims.GetCount(), 0u);
    EXPECT_EQ(title.m_scanner.Count(), 0);
    EXPECT_FALSE(text.SpriteAlive(made));
    text.DisposeSprite(made);  // gone already
    text.ShowSpritePicture(made, 12);
    text.InvalidateSprite(HostSprite{});
    text.DisposeSprite(HostSprite{});
    EXPECT_FALSE(text.SpriteAlive(HostSprite{}));
}

std::vector<int16_t> g_spotCalls;
void SpotCalled(int16_t id) { g_spotCalls.push_back(id); }

// The scanner's view of the engine: busy, the last click point, and spots by id (a spot
// target's place and action, also when its centre is not on the spot's mask).
TEST_F(EngineAnswersTest, TheScannerSeesTheEnginesBusyStateClickPointAndSpots) {
    EXPECT_FALSE(scene.EngineBusy());
    title.m_busyLevel = 1;
    EXPECT_TRUE(scene.EngineBusy());
    title.m_busyLevel = 0;
    scene.SetLastClick(POINT{7, 8});
    EXPECT_EQ(title.m_lastClickX, 7);
    EXPECT_EQ(title.m_lastClickY, 8);

    ASSERT_TRUE(title.m_spots.LoadList(3500));
    title.m_spots.FindById(3100)->SetCallback(SpotCalled);
    title.m_spots.FindById(3101)->SetCallback(SpotCalled);
    title.m_spots.FindById(3101)->Enable(FALSE);
    RECT r{};
    EXPECT_TRUE(scene.FindSpotRect(3100, r));
    EXPECT_EQ(r.left, 110);  // loaded spots lie on the frame surface: the origin added
    EXPECT_EQ(r.bottom, 50);
    EXPECT_FALSE(scene.FindSpotRect(3102, r));

    title.m_scanner.AddTarget(new CScanSpotTarget(3100, TRUE, FALSE, 0, 0), -1);
    title.m_scanner.AddTarget(new CScanSpotTarget(3101, TRUE, FALSE, 0, 0), -1);
    title.m_scanner.Configure(TRUE, 30, TRUE);
    g_spotCalls.clear();
    title.m_scanner.Activate();
    EXPECT_EQ(g_spotCalls, (std::vector<int16_t>{100}));
    EXPECT_EQ(title.m_lastClickX, 130);  // the spot's centre
    EXPECT_EQ(title.m_lastClickY, 40);
    title.m_scanner.Advance();
    title.m_scanner.Activate();  // a disabled spot's callback is not called
    EXPECT_EQ(g_spotCalls.size(), 1u);
    title.m_spots.RemoveAll();
    title.m_scanner.Advance();
    EXPECT_EQ(title.m_scanner.Current(), -1);  // spots gone: nothing to highlight
    title.m_scanner.Enable(FALSE);
    title.m_scanner.RemoveAll();
}

}  // namespace
