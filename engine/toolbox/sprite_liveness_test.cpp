// Whether a sprite is still the one a caller means, when its memory may serve a newer sprite:
// a table of stale-pointer calls, each followed by a check that the newer sprite was left
// alone. Two ways a sprite goes:
// - disposed while the module stays: the module's handle must never name the next sprite
//   CreateSprite makes (its memory is kept until the module is left);
// - taken by a module switch while engine code keeps it (a drag, a followed press, a wait, the
//   shade): the next module's sprites get its memory, and the engine's reference, kept by
//   serial, must tell them apart. These cases check that the memory really is reused.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/engine_hosts.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/screen_helpers.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/res/anim_script.h"
#include "media/res/res_items_test_support.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/afxwin/afxwin.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Bytes;

// Module 3: 3030 a 20 × 20 picture of colour 30, 3012 a 4 × 4 square of colour 12, 3013 and
// 3014 a button's pressed and normal pictures. Home spot 100 over (20, 20)-(300, 200).
class SpriteLivenessTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        media::CResWriter w;
        w.Add("SPR", 3030, itemtest::Spr(20, std::vector<Bytes>(20, Bytes(20, 30))));
        for (int id : {3012, 3013, 3014})
            w.Add("SPR", static_cast<uint16_t>(id), itemtest::Spr(4, std::vector<Bytes>(4, Bytes(4, static_cast<uint8_t>(id % 100)))));
        ASSERT_TRUE(res.OpenModule(3, w));
        res.module = 3;
        savedScene = SetSceneHost(&scene);
        title.m_currentModule = 3;
        title.m_dirtyRects = std::make_unique<CDirtyRectList>();
        for (std::unique_ptr<CDibG>* s : {&title.m_frameSurface, &title.m_backgroundSurface}) {
            *s = std::make_unique<CDibG>();
            (*s)->Create(640, 480, nullptr);
        }
        title.m_busyGuard = 0;
        title.m_running = 1;
        title.m_screenWidth = 640;
        title.m_screenHeight = 480;
        ASSERT_TRUE(main.CreateEx(0, nullptr, "Trumlaby", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr));
        app.m_pMainWnd = &main;
        EngineCreateSpot(100, CCorRect{20, 20, 300, 200});
    }
    void TearDown() override {
        title.m_anims.RemoveAll();
        title.m_statics.RemoveAll();
        title.m_spots.RemoveAll();
        app.m_pMainWnd = nullptr;
        if (main.GetSafeHwnd()) main.DestroyWindow();
        SetSceneHost(savedScene);
    }

    plat::HeadlessBackend* head = nullptr;
    itemtest::CTestHost res;
    CWinApp app;
    CWnd main;
    CZelboTitle title;
    CEngineSceneHost scene{title};
    ISceneHost* savedScene = nullptr;
};

// What one case leaves to check: the sprite that went (its address only), the newer sprite that
// must be untouched, where that one was made, and the drawing order expected afterwards.
struct Outcome {
    const CCorAnim* gone = nullptr;
    CCorAnim* fresh = nullptr;
    POINT at{};
    int32_t picture = 3030;
    std::vector<CCorAnim*> order;
};

plat::HeadlessBackend* g_head = nullptr;
Outcome* g_outcome = nullptr;

// What a module switch does to the display list: every sprite goes, and their memory may serve
// the next module's.
void SwitchModule() {
    DisposeAllSprites();
    theEngine->m_anims.ForgetDisposed();
}

// The left button released at (x, y) at the time (virtual milliseconds).
void ReleaseAt(uint64_t atMs, int x, int y) {
    plat::InputEvent up;
    up.kind = plat::InputKind::MouseUp;
    up.x = x;
    up.y = y;
    g_head->QueueInput(atMs, up);
}

// The next module's first sprite, made where the gone one stood.
CCorAnim* MakeFresh(Outcome& o, int16_t x, int16_t y) {
    o.at = POINT{x, y};
    o.fresh = CreateSprite(x, y, 30);
    StopSprite(o.fresh);
    return o.fresh;
}

TEST_F(SpriteLivenessTest, AStaleSpriteNeverReachesTheNewerOneInItsMemory) {
    g_head = head;
    struct Case {
        const char* what;
        bool switched;  // gone with a module switch (memory reused) or disposed in the module
        std::function<void(Outcome&)> run;
    };
    // Disposed in the module: a sprite goes, the next is made, the stale handle is used.
    const auto disposed = [](Outcome& o, const std::function<void(CCorAnim* stale, Outcome&)>& use) {
        CCorAnim* other = CreateSprite(50, 50, 12);
        CCorAnim* gone = CreateSprite(100, 100, 30);
        DisposeSprite(gone);
        o.gone = gone;
        MakeFresh(o, 100, 100);
        o.order = {other, o.fresh};
        use(gone, o);
    };
    const std::vector<Case> cases = {
        {"a disposed sprite disposed again", false,
         [&](Outcome& o) { disposed(o, [](CCorAnim* stale, Outcome&) { DisposeSprite(stale); }); }},
        {"a sprite put before a disposed one goes to the back", false,
         [&](Outcome& o) {
             disposed(o, [](CCorAnim* stale, Outcome& out) {
                 CCorAnim* mover = CreateSprite(0, 0, 12);
                 PutSpriteBefore(mover, stale);
                 out.order.insert(out.order.begin(), mover);
             });
         }},
        {"a sprite put after a disposed one goes to the front", false,
         [&](Outcome& o) {
             disposed(o, [](CCorAnim* stale, Outcome& out) {
                 CCorAnim* mover = out.order.front();
                 PutSpriteAfter(mover, stale);
                 out.order = {out.fresh, mover};
             });
         }},
        {"a disposed sprite put behind all, in front of all, after another", false,
         [&](Outcome& o) {
             disposed(o, [](CCorAnim* stale, Outcome& out) {
                 SpriteToBack(stale);
                 PutSpriteAfter(stale, out.order.front());
                 SpriteToFront(stale);
                 QueueSpriteFrameAt(stale, 12, 5, 5);
             });
         }},
        {"a drag of a disposed sprite", false,
         [&](Outcome& o) {
             disposed(o, [](CCorAnim* stale, Outcome&) {
                 const uint64_t t = g_head->NowMs();
                 g_head->MouseMove(t + 10, 250, 150);
                 ReleaseAt(t + 20, 250, 150);
                 CEngineCall handler;
                 theEngine->m_lastClickX = 105;
                 theEngine->m_lastClickY = 105;
                 EXPECT_EQ(EngineDragObject(stale, 100, 0, kNoSnapLimit, nullptr), 0);
                 EXPECT_FALSE(theEngine->m_drag.IsDragging());
                 g_head->Advance(30);
                 FlushEvents(0xFFFF);
             });
         }},
        {"a wait on a disposed sprite", false,
         [&](Outcome& o) {
             disposed(o, [](CCorAnim* stale, Outcome& out) {
                 QueueSpriteWait(out.fresh, 30);
                 const uint64_t start = GetEngineTicks();
                 WaitSpriteDone(stale);
                 EXPECT_EQ(GetEngineTicks(), start) << "not waited for the newer sprite";
                 EXPECT_EQ(WaitForSprite(stale, 0), 0);
                 EXPECT_EQ(GetEngineTicks(), start);
                 StopSprite(out.fresh);
             });
         }},
        {"a drag whose sprite before it went: put back at the front", true,
         [&](Outcome& o) {
             CCorAnim* before = CreateSprite(100, 100, 30);
             CCorAnim* dragged = CreateSprite(150, 150, 12);
             o.gone = before;
             static CCorAnim* s_later = nullptr;
             static bool s_switched = false;
             s_switched = false;
             const EngineDragCallback callback = [](int16_t, int16_t) -> int16_t {
                 if (s_switched) return 0;
                 s_switched = true;
                 SwitchModule();
                 MakeFresh(*g_outcome, 100, 100);
                 s_later = CreateSprite(10, 10, 12);
                 return 0;
             };
             const uint64_t t = g_head->NowMs();
             g_head->MouseMove(t + 10, 160, 160);
             ReleaseAt(t + 20, 160, 160);
             CEngineCall handler;
             theEngine->m_lastClickX = 151;
             theEngine->m_lastClickY = 151;
             EngineDragObject(dragged, 100, 0, kNoSnapLimit, callback);
             o.order = {o.fresh, s_later, dragged};
         }},
        {"the shade taken down after a module switch", true,
         [&](Outcome& o) {
             ShadeScreen(1);
             o.gone = title.m_anims.Objects().back();
             const int16_t shadePicture = GetSpriteFrame(title.m_anims.Objects().back());
             SwitchModule();
             PurgeResource(shadePicture);
             const int16_t picture = NewBlankPicture(8, 8);
             ASSERT_EQ(picture, shadePicture) << "the id is free again";
             for (int i = 0; i < 8; ++i) {
                 CCorAnim* s = CreateSprite(0, static_cast<int16_t>(i * 60), picture);
                 StopSprite(s);
                 if (i == 0) {
                     o.fresh = s;
                     o.at = POINT{0, 0};
                     o.picture = 3000 + picture;
                 }
                 o.order.push_back(s);
             }
             RemoveShade();
         }},
        {"a text block's sprite that went with a module switch", true,
         [&](Outcome& o) {
             CEngineTextHost text{title};
             const HostSprite kept = text.CreateSprite(100, 100, 12);
             o.gone = static_cast<const CCorAnim*>(kept.object);
             SwitchModule();
             MakeFresh(o, 100, 100);
             EXPECT_FALSE(text.SpriteAlive(kept));
             text.ShowSpritePicture(kept, 13);
             text.InvalidateSprite(kept);
             text.DisposeSprite(kept);
             o.order = {o.fresh};
         }},
        {"a press followed while its sprite went", true,
         [&](Outcome& o) {
             CCorAnim* button = CreateSprite(100, 100, 14);
             o.gone = button;
             const uint64_t t = g_head->NowMs();
             g_head->At(t + 10, [] {
                 SwitchModule();
                 MakeFresh(*g_outcome, 100, 100);
             });
             g_head->MouseMove(t + 20, 130, 130);
             g_head->MouseMove(t + 30, 101, 101);
             ReleaseAt(t + 40, 101, 101);
             CEngineCall handler;
             theEngine->m_lastClickX = 101;
             theEngine->m_lastClickY = 101;
             EXPECT_EQ(TrackButton(button, 13, 14), 0) << "released over a sprite that is not the pressed one";
             o.order = {o.fresh};
         }},
        {"a wait on a sprite that went with a module switch", true,
         [&](Outcome& o) {
             CCorAnim* waited = CreateSprite(100, 100, 30);
             o.gone = waited;
             StopSprite(waited);
             QueueSpriteWait(waited, 1000);
             g_head->At(g_head->NowMs() + 50, [] {
                 SwitchModule();
                 QueueSpriteWait(MakeFresh(*g_outcome, 100, 100), 1000);
             });
             const uint64_t start = GetEngineTicks();
             WaitSpriteDone(waited);
             EXPECT_LE(GetEngineTicks() - start, 6u) << "the wait ended when its sprite went";
             StopSprite(o.fresh);
             o.order = {o.fresh};
         }},
        {"a wait for a sprite that went, interruptible", true,
         [&](Outcome& o) {
             CCorAnim* waited = CreateSprite(100, 100, 30);
             o.gone = waited;
             StopSprite(waited);
             QueueSpriteWait(waited, 1000);
             g_head->At(g_head->NowMs() + 50, [] {
                 SwitchModule();
                 QueueSpriteWait(MakeFresh(*g_outcome, 100, 100), 1000);
             });
             const uint64_t start = GetEngineTicks();
             EXPECT_EQ(WaitForSprite(waited, 1), 0);
             EXPECT_LE(GetEngineTicks() - start, 6u) << "the wait ended when its sprite went";
             StopSprite(o.fresh);
             o.order = {o.fresh};
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DisposeAllSprites();
        title.m_anims.ForgetDisposed();
        Outcome o;
        g_outcome = &o;
        c.run(o);
        g_outcome = nullptr;
        ASSERT_NE(o.fresh, nullptr);
        if (c.switched)
            ASSERT_EQ(o.fresh, o.gone) << "the newer sprite has the gone one's memory";
        else
            EXPECT_NE(o.fresh, o.gone) << "a disposed sprite's memory is not given to the next while the module stays";
        EXPECT_EQ(title.m_anims.Objects(), o.order);
        EXPECT_EQ(GetSpriteX(o.fresh), o.at.x);
        EXPECT_EQ(GetSpriteY(o.fresh), o.at.y);
        EXPECT_EQ(o.fresh->GetPictureId(), o.picture);
        EXPECT_TRUE(o.fresh->GetScript().empty());
        EXPECT_TRUE(o.fresh->IsClickable());
    }
}

}  // namespace
