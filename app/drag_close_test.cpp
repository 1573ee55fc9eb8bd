// A close of the main window while a module's handler drags a sprite: the drag ends at once with
// the sprite back where it started, the handler returns, and then the program closes, once.
#include <memory>

#include "app/app_test_support.h"
#include "engine/scene/spot.h"
#include "engine/toolbox/facade.h"

namespace {

using app_test::AppTest;

struct DragSeen {
    int handlers = 0;
    int16_t result = -1;
    bool pending = false;
    bool window = false;
    bool started = false;
    bool dragging = true;
    bool backAtStart = false;
};
DragSeen g_seen;
HWND g_frame = nullptr;

// The home module's key handler for this test: a drag of a sprite over a spot covering the
// screen, then a look at the engine it is still running in.
void DraggingKeyHandler(int32_t) {
    ++g_seen.handlers;
    CCorEngine& e = *theEngine;
    auto home = std::make_unique<CSpot>(1990);
    home->SetRect(RECT{0, 0, 640, 480});
    e.m_spots.Append(std::move(home));
    CCorAnim* sprite = e.m_anims.Create(1, POINT{300, 200});
    e.m_lastClickX = 302;
    e.m_lastClickY = 202;
    g_seen.result = e.m_drag.BeginDrag(sprite, 1990, 0, kNoSnapLimit, nullptr);
    g_seen.pending = e.ClosePending();
    g_seen.window = IsWindow(g_frame) != FALSE;
    g_seen.started = e.IsStarted();
    g_seen.dragging = e.m_drag.IsDragging() || e.m_composeOnly != 0;
    g_seen.backAtStart = e.m_anims.Contains(sprite) && sprite->GetPosition().x == 300 && sprite->GetPosition().y == 200;
    e.m_spots.Delete(1990);
}

TEST_F(AppTest, ACloseDuringADragEndsItAndClosesTheProgramOnce) {
    CZelboApp app;
    g_seen = DragSeen{};
    static ModuleFunctionTable table{};
    table.KeyDown = DraggingKeyHandler;
    WhenEntered([&] {
        g_frame = app.m_pMainWnd->m_hWnd;
        theEngine->m_moduleTable = &table;  // the home module's table, as far as keys go
        m_head->Key(At(0), 'K');
        m_head->MouseMove(At(40), 350, 250);
        Later(100, [&] { app.m_pMainWnd->PostMessage(WM_CLOSE); });
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_EQ(g_seen.handlers, 1);
    EXPECT_EQ(g_seen.result, 0);
    EXPECT_TRUE(g_seen.pending) << "the close was left for the program";
    EXPECT_TRUE(g_seen.window) << "not closed under the handler's feet";
    EXPECT_TRUE(g_seen.started);
    EXPECT_FALSE(g_seen.dragging);
    EXPECT_TRUE(g_seen.backAtStart);
    // Carried out once the handler had returned.
    EXPECT_FALSE(IsWindow(g_frame));
    EXPECT_FALSE(theEngine->IsStarted());
    EXPECT_FALSE(theEngine->ClosePending());
}

}  // namespace
