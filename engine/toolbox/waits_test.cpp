// Delay and the idle step it runs, in virtual time: Tick once per engine tick and never nested,
// no Tick while a module is entered, left or the grown-ups' section runs, input left queued,
// one step per tick, FlushEvents' masks.
#include "engine/toolbox/waits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"

namespace {

using enginetest::EngineTest;

// A title whose modules 1 and 2 share a table; Tick records its tick and how deeply it is
// nested, and may wait itself; Enter and Leave may wait.
class CWaitingTitle : public CZelboTitle {
public:
    CWaitingTitle() {
        ticks.clear();
        depth = maxDepth = 0;
        tickWait = enterWait = leaveWait = 0;
        table.Tick = [] {
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            ticks.push_back(GetEngineTicks());
            if (tickWait) Delay(tickWait);
            --depth;
        };
        table.Enter = [] {
            if (enterWait) Delay(enterWait);
        };
        table.Leave = [] {
            if (leaveWait) Delay(leaveWait);
        };
    }
    ~CWaitingTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 1 || module == 2 ? &table : nullptr; }

    ModuleFunctionTable table{};
    static inline std::vector<uint32_t> ticks;
    static inline int depth = 0, maxDepth = 0;
    static inline int32_t tickWait = 0, enterWait = 0, leaveWait = 0;
};

class WaitsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PutSharedFile(root / "Prog");
        PutModuleFile(root / "Prog", 1, ModuleFile(1));
        PutModuleFile(root / "Prog", 2, ModuleFile(2));
        title.Startup(programFolder);
        title.m_prefs.playIntroSound = 0;
    }
    // As the first paint does: running, the home module entered.
    void Run() {
        title.m_running = 1;
        title.GoToModule(1, TRUE);
        CWaitingTitle::ticks.clear();
    }
    bool Queued(UINT message) {
        MSG msg;
        return PeekMessage(&msg, nullptr, message, message, PM_NOREMOVE) != FALSE;
    }
    CWaitingTitle title;
};

TEST_F(WaitsTest, BeforeTheFirstPaintAnIdleStepDoesNothing) {
    PostMessage(mainWnd.GetSafeHwnd(), WM_CLOSE, 0, 0);
    title.RunIdle();
    Delay(3);
    EXPECT_TRUE(CWaitingTitle::ticks.empty());
    EXPECT_EQ(TakeCloses(), 1) << "the close stays queued";
}

// Tick runs once per engine tick, never inside itself, even when it waits; a Delay in Enter or
// Leave runs idle steps without the module's Tick.
TEST_F(WaitsTest, TickRunsOncePerEngineTickAcrossNestedDelays) {
    Run();
    struct Case {
        const char* name;
        int32_t tickWait;
        size_t least, most;
    };
    for (const Case& c : {Case{"plain", 0, 29, 31}, Case{"Tick waits 3", 3, 7, 11}}) {
        SCOPED_TRACE(c.name);
        CWaitingTitle::ticks.clear();
        CWaitingTitle::maxDepth = 0;
        CWaitingTitle::tickWait = c.tickWait;
        Delay(30);
        const std::vector<uint32_t>& t = CWaitingTitle::ticks;
        EXPECT_GE(t.size(), c.least);
        EXPECT_LE(t.size(), c.most);
        for (size_t i = 1; i < t.size(); ++i) EXPECT_LT(t[i - 1], t[i]) << i;
        EXPECT_EQ(CWaitingTitle::maxDepth, 1);
    }
    CWaitingTitle::tickWait = 0;

    CWaitingTitle::enterWait = 10;
    CWaitingTitle::leaveWait = 10;
    CWaitingTitle::ticks.clear();
    const uint32_t before = GetEngineTicks();
    title.UnloadModule(FALSE);
    title.GoToModule(2, TRUE);
    EXPECT_GE(GetEngineTicks() - before, 20u);
    EXPECT_TRUE(CWaitingTitle::ticks.empty()) << "no Tick while leaving or in Enter";
}

// While the grown-ups' sheet is open the module's Tick stops, but a pending leave is carried out.
TEST_F(WaitsTest, InTheGrownUpsSectionTickStopsButALeaveIsCarriedOut) {
    Run();
    title.GoToModule(2, TRUE);
    CWaitingTitle::ticks.clear();
    title.m_inAdultArea = 1;
    Delay(5);
    EXPECT_TRUE(CWaitingTitle::ticks.empty());
    title.m_leaveRequest = 1;
    title.RunIdle();
    EXPECT_EQ(title.m_leaveRequest, 0);
    EXPECT_EQ(title.m_currentModule, 1);
    EXPECT_EQ(title.m_previousModule, 2);
    title.m_inAdultArea = 0;
}

// Clicks and keys stay queued through a wait, which neither ends early nor spins on them; a
// loop of Delay (0) runs one step per tick.
TEST_F(WaitsTest, InputStaysQueuedAndWaitsRunOneStepPerTick) {
    Run();
    head->Click(plat::NowMs64(), 100, 100);
    head->Key(plat::NowMs64(), 'K');
    const uint64_t start = plat::NowMs64();
    const uint64_t polls = head->InputPolls();
    Delay(30);
    const uint64_t took = plat::NowMs64() - start;
    EXPECT_GE(took, 30u * 1000 / 60);
    EXPECT_LE(took, 32u * 1000 / 60);
    EXPECT_LT(head->InputPolls() - polls, 200u) << "the wait sleeps between steps";
    EXPECT_TRUE(Queued(WM_LBUTTONDOWN));
    EXPECT_TRUE(Queued(WM_KEYDOWN));

    CWaitingTitle::ticks.clear();
    const uint32_t before = GetEngineTicks();
    for (int i = 0; i < 60; ++i) Delay(0);
    EXPECT_EQ(CWaitingTitle::ticks.size(), 60u);
    EXPECT_GE(GetEngineTicks() - before, 59u);
    EXPECT_LE(GetEngineTicks() - before, 61u);
    EXPECT_TRUE(Queued(WM_LBUTTONDOWN));
}

TEST_F(WaitsTest, FlushEventsRemovesMouseAndKeysForAnyLowMask) {
    struct Case {
        uint32_t mask;
        bool removes;
    };
    for (const Case& c : {Case{0, false}, Case{6, true}, Case{0xFFFF, true}, Case{0x10000, false}, Case{0x10001, true}}) {
        SCOPED_TRACE(c.mask);
        const HWND w = mainWnd.GetSafeHwnd();
        const UINT input[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDBLCLK, 0x209,
                              WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, 0x108};
        for (UINT m : input) PostMessage(w, m, 0, 0);
        PostMessage(w, WM_USER, 0, 0);
        FlushEvents(c.mask);
        for (UINT m : input) EXPECT_EQ(Queued(m), !c.removes) << m;
        EXPECT_TRUE(Queued(WM_USER));
        MSG msg;
        FlushEvents(0xFFFF);
        while (PeekMessage(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE)) {}
    }
}

}  // namespace
