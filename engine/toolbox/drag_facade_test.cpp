// The engine's drag manager reached through the facade, on an engine object with its frame and
// background surfaces, a main window and the engine's scene host.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/core/engine_hosts.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "media/res/anim_script.h"
#include "media/res/res_items_test_support.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/afxwin/afxwin.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Bytes;

// The main window: a close while an engine call runs is recorded, as the application does, and
// carried out otherwise.
class CGameWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CLOSE) {
            ++closes;
            if (theEngine && theEngine->CallDepth() > 0) {
                theEngine->SetClosePending(true);
                return 0;
            }
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int closes = 0;
};

// Module 3: 3030 a 20 × 20 picture of colour 30 with a transparent top-left pixel, 3012 a
// 4 × 4 square of colour 12. Home spot 100 over (20, 20)-(300, 200), target spot 101 over
// (400, 20)-(500, 200).
class DragFacadeTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        media::CResWriter w;
        std::vector<Bytes> rows(20, Bytes(20, 30));
        rows[0][0] = 0;
        w.Add("SPR", 3030, itemtest::Spr(20, rows));
        w.Add("SPR", 3012, itemtest::Spr(4, std::vector<Bytes>(4, Bytes(4, 12))));
        ASSERT_TRUE(res.OpenModule(3, w));
        res.module = 3;
        savedScene = SetSceneHost(&scene);
        title.m_currentModule = 3;
        title.m_dirtyRects = std::make_unique<CDirtyRectList>();
        for (std::unique_ptr<CDibG>* s : {&title.m_frameSurface, &title.m_backgroundSurface}) {
            *s = std::make_unique<CDibG>();
            (*s)->Create(640, 480, nullptr);
        }
        title.m_backgroundSurface->Fill(5);
        title.m_frameSurface->Fill(5);
        title.m_busyGuard = 0;
        title.m_screenWidth = 640;
        title.m_screenHeight = 480;
        ASSERT_TRUE(main.CreateEx(0, nullptr, "Trumlaby", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr));
        app.m_pMainWnd = &main;
        EngineCreateSpot(100, CCorRect{20, 20, 300, 200});
        EngineCreateSpot(101, CCorRect{400, 20, 500, 200});
        t0 = head->NowMs();
    }
    void TearDown() override {
        title.m_anims.RemoveAll();
        title.m_statics.RemoveAll();
        title.m_spots.RemoveAll();
        app.m_pMainWnd = nullptr;
        if (main.GetSafeHwnd()) main.DestroyWindow();
        title.SetClosePending(false);
        SetSceneHost(savedScene);
    }
    void Release(uint64_t at, int x, int y) {
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseUp;
        ev.x = x;
        ev.y = y;
        head->QueueInput(at, ev);
    }
    int16_t DragFrom(CCorAnim* sprite, int x, int y, int16_t target, EngineDragCallback callback = nullptr) {
        CEngineCall handler;  // as from the module's click handler
        title.m_lastClickX = x;
        title.m_lastClickY = y;
        return EngineDragObject(sprite, 100, target, kNoSnapLimit, callback);
    }

    plat::HeadlessBackend* head = nullptr;
    itemtest::CTestHost res;
    CWinApp app;
    CGameWnd main;
    CZelboTitle title;
    CEngineSceneHost scene{title};
    ISceneHost* savedScene = nullptr;
    uint64_t t0 = 0;
};

// A drop that deletes the sprite (into the target) or stamps it (pressed outside home) leaves
// the caller a handle the display list no longer holds: every toolbox call ignores it.
TEST_F(DragFacadeTest, ADeletedOrStampedSpriteLeavesAHarmlessHandle) {
    struct Case {
        const char* what;
        POINT start, click, release;
        int16_t target;
        int statics;
    };
    const std::vector<Case> cases = {
        {"dropped into the target", {100, 100}, {105, 105}, {450, 100}, 101, 0},
        {"pressed outside home: stamped", {10, 100}, {12, 105}, {200, 100}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        title.m_statics.RemoveAll();
        CCorAnim* other = CreateSprite(50, 50, 12);
        CCorAnim* sprite = CreateSprite(static_cast<int16_t>(c.start.x), static_cast<int16_t>(c.start.y), 30);
        ASSERT_NE(sprite, nullptr);
        const uint64_t t = head->NowMs();
        head->MouseMove(t + 10, 300, 100);
        head->MouseMove(t + 20, c.release.x, c.release.y);
        Release(t + 30, c.release.x, c.release.y);
        EXPECT_EQ(DragFrom(sprite, c.click.x, c.click.y, c.target), 0);
        EXPECT_EQ(title.m_anims.Objects(), std::vector<CCorAnim*>{other});
        EXPECT_EQ(title.m_statics.GetCount(), c.statics);

        CCorAnim* stale = sprite;
        EXPECT_EQ(GetSpriteX(stale), 0);
        EXPECT_EQ(GetSpriteStatus(stale), kAnimFinished);
        MoveSprite(stale, 5, 5);
        QueueSpriteFrame(stale, 12);
        SpriteToFront(stale);
        PutSpriteAfter(stale, other);
        EXPECT_EQ(EngineDragObject(stale, 100, 0, kNoSnapLimit, nullptr), 0);
        DisposeSprite(stale);
        EXPECT_EQ(title.m_anims.Objects(), std::vector<CCorAnim*>{other});
        EXPECT_EQ(other->GetPosition().x, 50);
        DisposeSprite(other);
    }
    // The stamp shows the picture where it was: colour 30 at (11, 101), its transparent
    // pixel at (10, 100) left as the background was.
    EXPECT_EQ(title.m_backgroundSurface->GetPixel(11, 101), 30);
    EXPECT_EQ(title.m_backgroundSurface->GetPixel(10, 100), 5);
}

// A close of the main window during a drag ends it: the message does not reach the window, the
// close waits as pending for the program to carry out after the handler, the sprite is back
// at its start, and nothing of the drag is left set.
TEST_F(DragFacadeTest, ACloseDuringADragIsLeftForTheProgram) {
    CCorAnim* sprite = CreateSprite(100, 100, 30);
    CCorAnim* after = CreateSprite(50, 50, 12);
    head->MouseMove(t0 + 10, 150, 120);
    head->At(t0 + 15, [this] { main.PostMessage(WM_CLOSE); });
    Release(t0 + 500, 150, 120);
    EXPECT_EQ(DragFrom(sprite, 105, 105, 0), 0);
    EXPECT_EQ(main.closes, 0) << "taken by the drag, not dispatched";
    EXPECT_TRUE(title.ClosePending());
    EXPECT_TRUE(IsWindow(main.GetSafeHwnd()));
    EXPECT_EQ(title.m_composeOnly, 0);
    EXPECT_FALSE(title.m_drag.IsDragging());
    EXPECT_FALSE(title.m_drag.InCallback());
    EXPECT_EQ(GetCapture(), nullptr);
    CCorRect r;
    EXPECT_EQ(EngineGetDragRect(r), 0);
    EXPECT_EQ(r, (CCorRect{145, 115, 165, 135})) << "the last rectangle stays readable";
    EXPECT_EQ(title.m_anims.Objects(), (std::vector<CCorAnim*>{sprite, after}));
    EXPECT_EQ(GetSpriteX(sprite), 100);
    EXPECT_EQ(GetSpriteY(sprite), 100);
    // A new drag is refused while the close is pending.
    EXPECT_EQ(DragFrom(sprite, 105, 105, 0), 0);
    // The program carries it out once the handler has returned: the window closes once.
    title.SetClosePending(false);
    main.SendMessage(WM_CLOSE);
    EXPECT_EQ(main.closes, 1);
    EXPECT_FALSE(IsWindow(main.GetSafeHwnd()));
}

int g_calls = 0;
CZelboTitle* g_title = nullptr;
uint64_t g_timeInRedraw = 0;
int16_t RedrawingCallback(int16_t, int16_t) {
    if (++g_calls != 2) return 0;
    // A redraw from inside the callback does not wait for the scripts to settle.
    const uint64_t before = plat::NowMs64();
    g_title->RedrawArea(0);
    g_timeInRedraw = plat::NowMs64() - before;
    return 0;
}

// Presentations during a drag (compose only) draw the dragged picture again over what they
// composed, and the engine's redraw does not settle scripts inside the callback.
TEST_F(DragFacadeTest, PresentationsDuringADragKeepThePictureOnTop) {
    CCorAnim* sprite = CreateSprite(100, 100, 30);
    CCorAnim* other = CreateSprite(250, 150, 12);
    QueueSpriteWait(other, 600);  // ten seconds of script
    std::vector<int> seen;
    head->MouseMove(t0 + 10, 205, 105);  // the picture to (200, 100)-(220, 120)
    head->At(t0 + 15, [&] {
        // The other sprite moves under the picture's top-left corner; a presentation composes it.
        other->Invalidate();
        other->SetPosition(POINT{198, 98});
        other->Invalidate();
        title.Present(0);
        seen = {title.m_frameSurface->GetPixel(200, 100), title.m_frameSurface->GetPixel(201, 100),
                title.m_frameSurface->GetPixel(199, 99), title.m_composeOnly};
    });
    Release(t0 + 30, 205, 105);
    g_calls = 0;
    g_title = &title;
    EXPECT_EQ(DragFrom(sprite, 105, 105, 0, RedrawingCallback), 0);
    g_title = nullptr;
    // The picture's transparent pixel shows the other sprite, its opaque ones the picture.
    EXPECT_EQ(seen, (std::vector<int>{12, 30, 12, 1}));
    EXPECT_EQ(g_calls, 2);
    EXPECT_LT(g_timeInRedraw, 100u);
    EXPECT_EQ(GetSpriteX(sprite), 200);
}

}  // namespace
