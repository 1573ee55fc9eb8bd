// A close that arrives while a module's handler waits in Delay: the idle step takes the close
// message, the frame only records it, the wait keeps its length, and the program shuts the
// engine down once the handler has returned (under AddressSanitizer, any use of what shutdown
// freed would fail the test).
#include "app/app_test_support.h"
#include "engine/scene/ticks.h"
#include "engine/toolbox/waits.h"

namespace {

using app_test::AppTest;

struct HandlerSeen {
    uint64_t delayTicks = 0;
    bool pending = false;
    bool window = false;
    bool started = false;
    int handlers = 0;
};
HandlerSeen g_seen;
HWND g_frame = nullptr;

// The home module's key handler for this test: a wait of half a second, then a look at the
// engine it is still running in.
void WaitingKeyHandler(int32_t) {
    ++g_seen.handlers;
    const uint64_t start = GetTicks();
    Delay(30);
    g_seen.delayTicks = GetTicks() - start;
    g_seen.pending = theEngine->ClosePending();
    g_seen.window = IsWindow(g_frame) != FALSE;
    g_seen.started = theEngine->IsStarted();
}

TEST_F(AppTest, ACloseDuringADelayInAModuleHandlerShutsDownAfterTheHandlerReturns) {
    CZelboApp app;
    g_seen = HandlerSeen{};
    static ModuleFunctionTable table{};
    table.KeyDown = WaitingKeyHandler;
    bool closedDuringTheWait = false;
    WhenEntered([&] {
        g_frame = app.m_pMainWnd->m_hWnd;
        theEngine->m_moduleTable = &table;  // the home module's table, as far as keys go
        m_head->Key(At(0), 'K');
        Later(100, [&] { app.m_pMainWnd->PostMessage(WM_CLOSE); });
        Later(200, [&] { closedDuringTheWait = !IsWindow(g_frame) || !theEngine->IsStarted(); });
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_EQ(g_seen.handlers, 1);
    EXPECT_GE(g_seen.delayTicks, 30u) << "the wait kept its length";
    EXPECT_FALSE(closedDuringTheWait);
    EXPECT_TRUE(g_seen.pending) << "the close was recorded while the handler ran";
    EXPECT_TRUE(g_seen.window);
    EXPECT_TRUE(g_seen.started);
    // Carried out once the handler had returned.
    EXPECT_FALSE(IsWindow(g_frame));
    EXPECT_FALSE(theEngine->IsStarted());
    EXPECT_FALSE(theEngine->ClosePending());
}

}  // namespace
