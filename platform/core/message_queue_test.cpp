#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/core/crt.h"
#include "platform/core/display.h"
#include "platform/core/keyboard_layout.h"
#include "platform/core/mmsystem.h"
#include "platform/core/queue_wait_test_support.h"
#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

// Every message a test window receives, in order.
struct Log {
    std::vector<MSG> seen;
    std::vector<UINT> Messages() const {
        std::vector<UINT> m;
        for (auto& s : seen) m.push_back(s.message);
        return m;
    }
};
Log* g_log = nullptr;

LRESULT LoggingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_log && (msg == WM_TIMER || msg == WM_PAINT || msg == WM_CLOSE || msg == WM_CHAR || msg == WM_USER ||
                  (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST))) {
        MSG m;
        m.hwnd = hwnd;
        m.message = msg;
        m.wParam = wParam;
        m.lParam = lParam;
        g_log->seen.push_back(m);
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class QueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        head->SetQueryStep(0);
        g_log = &log;
        WNDCLASS wc;
        wc.lpfnWndProc = LoggingProc;
        wc.lpszClassName = "TestWindow";
        wc.style = 0x0008;  // double clicks
        RegisterClass(&wc);
        main = CreateWindow("TestWindow", "Main", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                            nullptr);
        child = CreateWindow("TestWindow", "Child", WS_CHILD | WS_VISIBLE, 100, 100, 50, 50, main,
                             reinterpret_cast<HMENU>(7), nullptr, nullptr);
        // Drain the first paints.
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
        log.seen.clear();
    }
    void TearDown() override {
        g_log = nullptr;
        plat::ResetWindowing();
    }
    std::vector<UINT> Drain(HWND filter = nullptr, UINT lo = 0, UINT hi = 0) {
        std::vector<UINT> got;
        MSG m;
        while (PeekMessage(&m, filter, lo, hi, PM_REMOVE)) {
            got.push_back(m.message);
            DispatchMessage(&m);
        }
        return got;
    }
    plat::HeadlessBackend* head = nullptr;
    Log log;
    HWND main = nullptr;
    HWND child = nullptr;
};

TEST_F(QueueTest, PeekFiltersByRangeAndWindowAndKeepsTheRest) {
    PostMessage(main, WM_USER, 1, 0);
    PostMessage(child, WM_USER + 1, 2, 0);
    PostMessage(main, WM_CLOSE, 0, 0);
    PostMessage(nullptr, WM_USER + 2, 3, 0);

    MSG m;
    // A range: only WM_CLOSE matches, and NOREMOVE leaves it queued.
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_CLOSE));
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_FALSE(PeekMessage(&m, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    // A window filter takes the window and its children, not thread messages.
    ASSERT_TRUE(PeekMessage(&m, child, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 2u);
    ASSERT_TRUE(PeekMessage(&m, main, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_FALSE(PeekMessage(&m, main, 0, 0, PM_REMOVE));
    // -1 takes thread messages only.
    ASSERT_TRUE(PeekMessage(&m, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, 3u);
}

TEST_F(QueueTest, TimerAndPaintComeOnlyWhenNothingElseIsQueued) {
    SetTimer(main, 1, 55, nullptr);
    head->Advance(60);
    InvalidateRect(child, nullptr, FALSE);
    PostMessage(main, WM_USER, 0, 0);
    head->MouseMove(head->NowMs(), 10, 10);
    head->Advance(1);
    std::vector<UINT> got = Drain();
    ASSERT_GE(got.size(), 4u);
    EXPECT_EQ(got[0], UINT(WM_USER));
    EXPECT_EQ(got[1], UINT(WM_MOUSEMOVE));
    EXPECT_EQ(got[2], UINT(WM_PAINT));
    EXPECT_EQ(got[3], UINT(WM_TIMER));
    // One period passed: exactly one WM_TIMER, and a killed timer makes none.
    EXPECT_EQ(std::count(got.begin(), got.end(), UINT(WM_TIMER)), 1);
    KillTimer(main, 1);
    head->Advance(200);
    EXPECT_TRUE(Drain().empty());
}

// Invalidating or validating a parent reaches the children under the area only when the parent
// lacks WS_CLIPCHILDREN (the child sits at (100, 100, 150, 150) of the parent's client area).
TEST_F(QueueTest, ParentInvalidationAndValidationReachChildrenOnlyWithoutClipChildren) {
    enum Op { Invalidate, Validate };
    const struct {
        bool clipChildren;
        Op op;
        RECT area;  // of the parent; an empty one stands for the whole client area (nullptr)
        bool childUpdateAfter;
    } cases[] = {
        {false, Invalidate, {}, true},
        {true, Invalidate, {}, false},
        {false, Invalidate, {120, 120, 130, 130}, true},
        {false, Invalidate, {0, 0, 50, 50}, false},  // not over the child
        {false, Validate, {}, false},
        {true, Validate, {}, true},
        {false, Validate, {90, 90, 200, 200}, false},
        {true, Validate, {90, 90, 200, 200}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "clip " << c.clipChildren << " op " << c.op << " area "
                                        << c.area.left << "," << c.area.top);
        Drain();
        const DWORD style = WS_POPUP | WS_VISIBLE | (c.clipChildren ? DWORD{WS_CLIPCHILDREN} : DWORD{0});
        SetWindowLongPtr(main, GWL_STYLE, static_cast<LONG_PTR>(style));
        const RECT* area = IsRectEmpty(&c.area) ? nullptr : &c.area;
        if (c.op == Validate) {
            InvalidateRect(child, nullptr, FALSE);
            InvalidateRect(main, nullptr, FALSE);
            ValidateRect(main, area);
        } else {
            InvalidateRect(main, area, FALSE);
        }
        RECT childUpdate;
        EXPECT_EQ(GetUpdateRect(child, &childUpdate, FALSE) != FALSE, c.childUpdateAfter);
        if (c.childUpdateAfter && c.op == Invalidate && area) {
            const RECT inChild{20, 20, 30, 30};  // the area in the child's coordinates
            EXPECT_TRUE(EqualRect(&childUpdate, &inChild));
        }
    }
}

// KillTimer fails on a window already destroyed, as every call given a dead window handle does.
TEST_F(QueueTest, KillTimerResults) {
    HWND doomed = CreateWindow("TestWindow", "Doomed", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(SetTimer(doomed, 5, 100, nullptr), 0u);
    ASSERT_TRUE(DestroyWindow(doomed));
    ASSERT_NE(SetTimer(main, 5, 100, nullptr), 0u);
    const struct {
        HWND hwnd;
        UINT_PTR id;
        BOOL result;
        DWORD error;
    } cases[] = {
        {doomed, 5, FALSE, ERROR_INVALID_WINDOW_HANDLE},
        {main, 6, FALSE, ERROR_INVALID_PARAMETER},
        {main, 5, TRUE, 0},
        {main, 5, FALSE, ERROR_INVALID_PARAMETER},  // killed already
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(KillTimer(c.hwnd, c.id), c.result) << c.id;
        EXPECT_EQ(GetLastError(), c.error) << c.id;
    }
}

TEST_F(QueueTest, WaitJumpsTheVirtualClockToTheNextTimer) {
    uint64_t start = head->NowMs();
    SetTimer(main, 1, 55, nullptr);
    SetTimer(main, 2, 500, nullptr);
    MSG m;
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_EQ(head->NowMs(), start + 55);
    // Nine more 55 ms ticks come before the 500 ms timer.
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
        EXPECT_EQ(m.wParam, 1u);
    }
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_EQ(head->NowMs(), start + 500);
}

TEST_F(QueueTest, NestedLoopPumpingOnlyCloseLeavesInputQueued) {
    head->Click(head->NowMs(), 20, 20);
    head->Key(head->NowMs(), 'A', 'a');
    PostMessage(main, WM_CLOSE, 0, 0);
    head->Advance(1);
    // The engine's idle step: take only WM_CLOSE.
    MSG m;
    std::vector<UINT> taken;
    while (PeekMessage(&m, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE)) taken.push_back(m.message);
    EXPECT_EQ(taken, std::vector<UINT>{WM_CLOSE});
    std::vector<UINT> rest;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) rest.push_back(m.message);
    std::vector<UINT> input{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_KEYUP};
    EXPECT_EQ(rest, input);
}

TEST_F(QueueTest, FlushRemovesMouseAndKeyRangesOnly) {
    head->Click(head->NowMs(), 20, 20);
    head->Key(head->NowMs(), VK_SPACE, ' ');
    PostMessage(main, WM_USER, 0, 0);
    head->Advance(1);
    MSG m;
    while (PeekMessage(&m, nullptr, 0x200, 0x209, PM_REMOVE)) {
    }
    while (PeekMessage(&m, nullptr, 0x100, 0x108, PM_REMOVE)) {
    }
    EXPECT_EQ(Drain(), std::vector<UINT>{WM_USER});
}

TEST_F(QueueTest, MouseMovesAreCoalesced) {
    uint64_t t = head->NowMs();
    head->MouseMove(t, 1, 1);
    head->MouseMove(t, 2, 2);
    head->MouseMove(t, 3, 3);
    head->Advance(1);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(GET_X_LPARAM(m.lParam), 3);
    EXPECT_FALSE(PeekMessage(&m, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
}

TEST_F(QueueTest, AsyncKeyStateLowBitReportsAPressOnce) {
    plat::InputEvent down;
    down.kind = plat::InputKind::KeyDown;
    down.vk = VK_SHIFT;
    head->QueueInput(head->NowMs(), down);
    plat::InputEvent up = down;
    up.kind = plat::InputKind::KeyUp;
    head->QueueInput(head->NowMs() + 5, up);
    head->Advance(10);
    // Released by now, but the press since the last query shows in the low bit, once.
    SHORT first = GetAsyncKeyState(VK_SHIFT);
    EXPECT_EQ(first & 0x8000, 0);
    EXPECT_EQ(first & 1, 1);
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 1, 0);
    head->QueueInput(head->NowMs(), down);
    head->Advance(1);
    EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
}

TEST_F(QueueTest, CaptureRoutesMouseToTheCapturingWindow) {
    SetCapture(child);
    head->Click(head->NowMs(), 400, 300);  // outside the child
    head->Advance(1);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(m.hwnd, child);
    // Client coordinates of the child: 400 - 100, 300 - 100.
    EXPECT_EQ(GET_X_LPARAM(m.lParam), 300);
    EXPECT_EQ(GET_Y_LPARAM(m.lParam), 200);
    ReleaseCapture();
    head->Click(head->NowMs(), 400, 300);
    head->Advance(1);
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(m.hwnd, main);
}

TEST_F(QueueTest, ModalWindowRefusesInputToOthersButTimersRun) {
    HWND box = CreateWindow("TestWindow", "Box", WS_POPUP | WS_VISIBLE, 200, 200, 100, 50, main, nullptr, nullptr,
                            nullptr);
    plat::PushModal(box);
    SetTimer(main, 1, 55, nullptr);
    head->Click(head->NowMs(), 10, 10);     // on the main window: refused
    head->Click(head->NowMs(), 210, 210);   // on the box: delivered
    head->Advance(60);
    Drain();
    int mainClicks = 0, boxClicks = 0, mainTimers = 0;
    for (auto& s : log.seen) {
        if (s.message == WM_LBUTTONDOWN) (s.hwnd == box ? boxClicks : mainClicks)++;
        if (s.message == WM_TIMER && s.hwnd == main) ++mainTimers;
    }
    EXPECT_EQ(mainClicks, 0);
    EXPECT_EQ(boxClicks, 1);
    EXPECT_EQ(mainTimers, 1);
    EXPECT_FALSE(head->Beeps().empty());
    plat::PopModal(box);
}

// The modal loop of message boxes and dialogs ends in each of its four ways; while it runs, every
// message of the program is dispatched (the main window's timer ticks).
TEST_F(QueueTest, ModalLoopEndsWhenDoneWindowGoneQuitOrOverdue) {
    struct Case {
        plat::ModalEnd end;
        uint64_t after;  // ms until the end is brought about (none for Overdue)
    };
    const Case cases[] = {{plat::ModalEnd::Done, 300},
                          {plat::ModalEnd::WindowGone, 300},
                          {plat::ModalEnd::Quit, 300},
                          {plat::ModalEnd::Overdue, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.end));
        log.seen.clear();
        HWND box = CreateWindow("TestWindow", "Box", WS_POPUP | WS_VISIBLE, 200, 200, 100, 50, main, nullptr,
                                nullptr, nullptr);
        SetTimer(main, 1, 55, nullptr);
        bool done = false;
        const uint64_t start = head->NowMs();
        if (c.end == plat::ModalEnd::Done) head->At(start + c.after, [&done] { done = true; });
        if (c.end == plat::ModalEnd::WindowGone) head->At(start + c.after, [box] { DestroyWindow(box); });
        if (c.end == plat::ModalEnd::Quit) head->At(start + c.after, [] { PostQuitMessage(3); });
        plat::PushModal(box);
        EXPECT_EQ(plat::ModalLoop(box, [&done] { return done; }), c.end);
        plat::PopModal(box);
        KillTimer(main, 1);
        const uint64_t took = head->NowMs() - start;
        if (c.end == plat::ModalEnd::Overdue) {
            EXPECT_GT(took, plat::kScriptedModalLimitMs);
        } else {
            EXPECT_GE(took, c.after);
            EXPECT_LT(took, c.after + 100);
        }
        int ticks = 0;
        for (auto& m : log.seen) ticks += m.message == WM_TIMER && m.hwnd == main;
        EXPECT_GE(ticks, 5);
        MSG m;
        // WM_QUIT is posted again for the program's own loop.
        EXPECT_EQ(PeekMessage(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE, c.end == plat::ModalEnd::Quit);
        if (c.end == plat::ModalEnd::Quit) {
            EXPECT_EQ(m.wParam, 3u);
        }
        if (IsWindow(box)) DestroyWindow(box);
        Drain();
    }
}

TEST_F(QueueTest, ModalLoopGivesEveryMessageToPreTranslateFirst) {
    SetFocus(main);
    head->Key(head->NowMs() + 10, 'A', 'a');
    head->Key(head->NowMs() + 20, 'B', 'b');
    std::vector<UINT> seen;
    const auto end = plat::ModalLoop(
        main, [this] { return !log.seen.empty(); },
        [&seen](MSG& m) {
            seen.push_back(m.message);
            return m.wParam == 'A';  // the first key is taken here, the second reaches the window
        });
    EXPECT_EQ(end, plat::ModalEnd::Done);
    EXPECT_EQ(seen.front(), static_cast<UINT>(WM_KEYDOWN));
    ASSERT_FALSE(log.seen.empty());
    EXPECT_EQ(log.seen.front().wParam, static_cast<WPARAM>('B'));
}

TEST(ScriptedAnswers, ComeThroughTheBackEndInOrder) {
    auto& head = plat::InstallHeadless();
    std::string err;
    ASSERT_TRUE(head.LoadScript("0 answer 6\n0 answer -1\n", "", &err)) << err;
    plat::IBackend& backend = plat::Backend();
    EXPECT_TRUE(backend.ScriptedInput());
    int answer = 0;
    ASSERT_TRUE(backend.TakeScriptedAnswer(answer));
    EXPECT_EQ(answer, 6);  // IDYES
    ASSERT_TRUE(backend.TakeScriptedAnswer(answer));
    EXPECT_EQ(answer, -1);
    EXPECT_FALSE(backend.TakeScriptedAnswer(answer));
}

TEST_F(QueueTest, TranslateMessageMakesWindows1252Characters) {
    SetFocus(main);
    head->Key(head->NowMs(), VK_OEM_6, 0xE5);  // å
    head->Advance(1);
    MSG m;
    std::vector<std::pair<UINT, WPARAM>> got;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        got.emplace_back(m.message, m.wParam);
    }
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].first, UINT(WM_KEYDOWN));
    EXPECT_EQ(got[1], std::make_pair(UINT(WM_CHAR), WPARAM(0xE5)));
    EXPECT_EQ(got[2].first, UINT(WM_KEYUP));
}

TEST_F(QueueTest, KeyMessagesCarryTheExtendedAndPreviousStateBits) {
    SetFocus(main);
    plat::InputEvent ev;
    ev.kind = plat::InputKind::KeyDown;
    ev.vk = VK_LEFT;
    ev.extended = true;
    head->QueueInput(head->NowMs(), ev);
    ev.repeat = true;
    head->QueueInput(head->NowMs(), ev);
    head->Advance(1);
    MSG first, second;
    ASSERT_TRUE(PeekMessage(&first, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&second, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    auto bits = [](const MSG& m) { return static_cast<uintptr_t>(m.lParam); };
    EXPECT_NE(bits(first) & (1u << 24), 0u);
    EXPECT_EQ(bits(first) & (1u << 30), 0u);  // was up before
    EXPECT_NE(bits(second) & (1u << 30), 0u); // auto-repeat: was down
}

// Script keys come as a keyboard sends them: the cursor block flagged extended, typed text key
// by key with Shift held where needed, so a key-down handler reads the character with ToAscii
// and the keyboard state of its own message.
TEST_F(QueueTest, ScriptedKeysAndTypingReadAsFromAKeyboard) {
    SetFocus(main);
    std::string err;
    ASSERT_TRUE(head->LoadScript("0 key LEFT\n50 key A\n100 type \xC3\x96\n", "", &err)) << err;  // Ö
    head->Advance(150);
    struct Seen {
        UINT message;
        WPARAM wParam;
        bool extended;
        WORD typed;  // ToAscii of a key down with the message's keyboard state
    };
    std::vector<Seen> seen;
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message != WM_KEYDOWN && m.message != WM_KEYUP && m.message != WM_CHAR) continue;
        BYTE keys[256];
        ASSERT_TRUE(GetKeyboardState(keys));
        WORD ch = 0;
        if (m.message == WM_KEYDOWN && ToAscii(static_cast<UINT>(m.wParam), 0, keys, &ch, 0) != 1) ch = 0;
        seen.push_back({m.message, m.wParam, (static_cast<uintptr_t>(m.lParam) & (1u << 24)) != 0, ch});
        TranslateMessage(&m);
    }
    const std::vector<Seen> expected = {
        {WM_KEYDOWN, VK_LEFT, true, 0}, {WM_KEYUP, VK_LEFT, true, 0},
        {WM_KEYDOWN, 'A', false, 'a'},  {WM_CHAR, 'a', false, 0},           {WM_KEYUP, 'A', false, 0},
        {WM_KEYDOWN, VK_SHIFT, false, 0}, {WM_KEYDOWN, VK_OEM_3, false, 0xD6}, {WM_CHAR, 0xD6, false, 0},
        {WM_KEYUP, VK_OEM_3, false, 0}, {WM_KEYUP, VK_SHIFT, false, 0}};
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].message, expected[i].message);
        EXPECT_EQ(seen[i].wParam, expected[i].wParam);
        EXPECT_EQ(seen[i].extended, expected[i].extended);
        EXPECT_EQ(seen[i].typed, expected[i].typed);
    }
}

// A scripted hot key is held like a hand holds it: while the program handles the key's
// message, the modifiers read as down (GetAsyncKeyState, which reads the input taken so far);
// once the hold is over, everything reads as up again.
TEST_F(QueueTest, AScriptedHotKeyHoldsItsModifiersWhileItsKeyIsHandled) {
    SetFocus(main);
    std::string err;
    ASSERT_TRUE(head->LoadScript("0 key CTRL+ALT+A\n", "", &err)) << err;
    head->Advance(1);
    bool sawKey = false;
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message != WM_KEYDOWN || m.wParam != 'A') continue;
        sawKey = true;
        EXPECT_NE(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);
        EXPECT_NE(GetAsyncKeyState(VK_MENU) & 0x8000, 0);
    }
    EXPECT_TRUE(sawKey);
    head->Advance(100);
    Drain();
    for (int vk : {int(VK_CONTROL), int(VK_MENU), int('A')}) EXPECT_EQ(GetAsyncKeyState(vk) & 0x8000, 0) << vk;
}

TEST_F(QueueTest, CloseButtonAndAltF4ReachTheTopLevelWindow) {
    plat::InputEvent close;
    close.kind = plat::InputKind::Close;
    head->QueueInput(head->NowMs(), close);
    head->Advance(1);
    Drain();
    ASSERT_EQ(log.Messages(), std::vector<UINT>{WM_CLOSE});
    EXPECT_FALSE(IsWindow(main));  // DefWindowProc destroys on WM_CLOSE

    main = CreateWindow("TestWindow", "Main", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                        nullptr);
    Drain();
    log.seen.clear();
    SetFocus(main);
    plat::InputEvent key;
    key.kind = plat::InputKind::KeyDown;
    key.vk = VK_MENU;
    head->QueueInput(head->NowMs(), key);
    key.vk = VK_F4;
    head->QueueInput(head->NowMs(), key);
    head->Advance(1);
    Drain();
    auto msgs = log.Messages();
    EXPECT_NE(std::find(msgs.begin(), msgs.end(), UINT(WM_CLOSE)), msgs.end());
}

TEST_F(QueueTest, DoubleClickNeedsTheClassStyleAndAShortInterval) {
    uint64_t t = head->NowMs();
    head->Click(t, 20, 20);
    head->Click(t + 100, 21, 20);
    head->Click(t + 2000, 21, 20);
    head->Advance(2100);
    std::vector<UINT> downs;
    for (UINT m : Drain())
        if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK) downs.push_back(m);
    EXPECT_EQ(downs, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
}

TEST_F(QueueTest, GetMessageWithNothingScriptedStallsLoudly) {
    MSG m;
    EXPECT_THROW(GetMessage(&m, nullptr, 0, 0), plat::HeadlessStall);
}

TEST_F(QueueTest, QuitEndsGetMessageAfterPostedMessages) {
    PostMessage(main, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG m;
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_USER));
    EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.wParam, 3u);
}

TEST_F(QueueTest, MultimediaTimerRunsAsVirtualTimePasses) {
    static int ticks = 0;
    ticks = 0;
    UINT id = timeSetEvent(16, 1, [](UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) { ++ticks; }, 0, TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    head->Advance(160);
    EXPECT_EQ(ticks, 10);
    timeKillEvent(id);
    head->Advance(160);
    EXPECT_EQ(ticks, 10);
}

TEST_F(QueueTest, HiddenAndDestroyedWindowsExposeWhatIsBelow) {
    HWND top = CreateWindow("TestWindow", "Top", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr, nullptr,
                            nullptr);
    Drain();
    std::vector<RECT> rects;
    plat::VisibleRects(main, true, rects);
    // The main window loses the top window's rectangle.
    long area = 0;
    for (auto& r : rects) area += (r.right - r.left) * (r.bottom - r.top);
    EXPECT_EQ(area, 640L * 480 - 100L * 100);
    log.seen.clear();
    DestroyWindow(top);
    RECT u;
    ASSERT_TRUE(GetUpdateRect(main, &u, FALSE));
    EXPECT_EQ(u.left, 10);
    EXPECT_EQ(u.right, 110);
}

// The queue-wait table on the headless back end: waits run in virtual time, so a wait that
// sleeps ends exactly at its deadline and one that wakes exactly when its message arrives.
class HeadlessWaitDriver : public queue_wait_test::Driver {
public:
    HeadlessWaitDriver(plat::HeadlessBackend* head, HWND hwnd) : m_head(head), m_hwnd(hwnd) {}
    void Now(queue_wait_test::Arrival a) override { Make(a, m_head->NowMs()); }
    void Settle(queue_wait_test::Arrival a) override {
        m_head->Advance(a == queue_wait_test::Arrival::Timer ? 10 : 0);
    }
    void After(queue_wait_test::Arrival a, int ms) override { Make(a, m_head->NowMs() + static_cast<uint64_t>(ms)); }

private:
    void Make(queue_wait_test::Arrival a, uint64_t at) {
        using queue_wait_test::Arrival;
        plat::InputEvent ev;
        switch (a) {
            case Arrival::None: return;
            case Arrival::Key:
                ev.kind = plat::InputKind::KeyDown;
                ev.vk = 'K';
                m_head->QueueInput(at, ev);
                return;
            case Arrival::MouseMove: m_head->MouseMove(at, 30, 40); return;
            case Arrival::Click: m_head->Click(at, 30, 40); return;
            case Arrival::Posted:
                m_head->At(at, [this] { PostMessage(m_hwnd, WM_USER, 0, 0); });
                return;
            case Arrival::Timer: SetTimer(m_hwnd, 77, static_cast<UINT>(std::max<uint64_t>(at - m_head->NowMs(), 10)), nullptr); return;
            case Arrival::Paint:
                m_head->At(at, [this] { InvalidateRect(m_hwnd, nullptr, FALSE); });
                return;
        }
    }
    plat::HeadlessBackend* m_head;
    HWND m_hwnd;
};

class HeadlessQueueWait : public QueueTest, public ::testing::WithParamInterface<queue_wait_test::WaitCase> {};

TEST_P(HeadlessQueueWait, WakesOnlyOnNewMessagesOfTheMask) {
    const auto& c = GetParam();
    SetFocus(main);
    HeadlessWaitDriver driver(head, main);
    uint64_t start = 0;
    // The clock at the call: taken just before it, after the old message settled.
    struct StartProbe : queue_wait_test::Driver {
        HeadlessWaitDriver& d;
        plat::HeadlessBackend* h;
        uint64_t& start;
        StartProbe(HeadlessWaitDriver& d, plat::HeadlessBackend* h, uint64_t& s) : d(d), h(h), start(s) {}
        void Now(queue_wait_test::Arrival a) override { d.Now(a); }
        void Settle(queue_wait_test::Arrival a) override { d.Settle(a); }
        void After(queue_wait_test::Arrival a, int ms) override {
            start = h->NowMs();
            d.After(a, ms);
        }
    } probe(driver, head, start);
    start = head->NowMs();
    if (c.old != queue_wait_test::Arrival::None) start += c.old == queue_wait_test::Arrival::Timer ? 10 : 0;
    DWORD r = queue_wait_test::RunWaitCase(probe, c);
    EXPECT_EQ(r, c.wakes ? WAIT_OBJECT_0 : WAIT_TIMEOUT);
    const uint64_t expected = c.wakes ? (c.atOnce ? start : start + queue_wait_test::kArrivalMs)
                                      : start + queue_wait_test::kTimeoutMs;
    EXPECT_EQ(head->NowMs(), expected) << "the wait ended at the wrong virtual time";
}

INSTANTIATE_TEST_SUITE_P(Table, HeadlessQueueWait, ::testing::ValuesIn(queue_wait_test::kWaitCases),
                         queue_wait_test::CaseName);

TEST_F(QueueTest, WaitMessageWaitsForSomethingNewAndNamesAWaitNothingEnds) {
    head->Click(head->NowMs(), 30, 40);
    head->Advance(0);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
    // The click was seen: WaitMessage sleeps until the key at +300.
    SetFocus(main);
    uint64_t start = head->NowMs();
    head->Key(start + 300, 'Q');
    ASSERT_TRUE(WaitMessage());
    EXPECT_EQ(head->NowMs(), start + 300);
    // Now everything was seen and nothing else is scripted: a loud failure, not a hang.
    try {
        WaitMessage();
        FAIL() << "WaitMessage returned with nothing new";
    } catch (const plat::HeadlessStall& e) {
        EXPECT_NE(std::string(e.what()).find("WaitMessage"), std::string::npos) << e.what();
    }
}

TEST_F(QueueTest, GetQueueStatusTellsWhatIsQueuedAndWhatIsNew) {
    PostMessage(main, WM_USER, 0, 0);
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), (DWORD(QS_POSTMESSAGE) << 16) | QS_POSTMESSAGE);
    // Still there, no longer new.
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), DWORD(QS_POSTMESSAGE) << 16);
    head->Click(head->NowMs(), 30, 40);
    head->Advance(0);
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT), (DWORD(QS_POSTMESSAGE | QS_MOUSEBUTTON) << 16) | QS_MOUSEBUTTON);
    // Flags limit both words; a kind not asked about stays new for a later call.
    head->Key(head->NowMs(), 'A');
    SetFocus(main);
    head->Advance(0);
    EXPECT_EQ(GetQueueStatus(QS_MOUSEBUTTON), DWORD(QS_MOUSEBUTTON) << 16);
    EXPECT_EQ(GetQueueStatus(QS_KEY), (DWORD(QS_KEY) << 16) | QS_KEY);
    // A look by PeekMessage makes everything old.
    InvalidateRect(main, nullptr, FALSE);
    MSG m;
    PeekMessage(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT) & 0xFFFF, 0u);
    EXPECT_NE(GetQueueStatus(QS_ALLINPUT) & (DWORD(QS_PAINT) << 16), 0u);
}

// Loops the engine runs while it leaves input queued on purpose: each must reach its deadline.
TEST_F(QueueTest, PollLoopsThatLeaveAClickQueuedEndAtTheirDeadline) {
    head->SetQueryStep(1);
    MSG m;
    struct Loop {
        const char* name;
        void (*step)(DWORD end);
    };
    const Loop loops[] = {
        {"clock only", [](DWORD) {}},
        {"peek for WM_CLOSE", [](DWORD) {
             MSG x;
             PeekMessage(&x, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE);
         }},
        {"wait for input", [](DWORD end) {
             DWORD now = timeGetTime();
             if (now < end) MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
         }},
    };
    for (const Loop& loop : loops) {
        SCOPED_TRACE(loop.name);
        head->Click(head->NowMs() + 5, 30, 40);
        const DWORD end = timeGetTime() + 500;
        int rounds = 0;
        while (timeGetTime() < end && rounds < 100000) {
            loop.step(end);
            ++rounds;
        }
        EXPECT_LT(rounds, 100000) << "the loop did not reach its deadline";
        EXPECT_GE(timeGetTime(), end);
        // The click is still there for whoever takes it (the later ones are double clicks).
        EXPECT_TRUE(PeekMessage(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE));
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

TEST_F(QueueTest, AWaitLoopWithAClickQueuedMakesABoundedNumberOfBackEndCallsPerSecond) {
    head->Click(head->NowMs(), 30, 40);
    head->Advance(0);
    MSG m;
    PeekMessage(&m, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE);  // the engine's idle step: the click stays
    const uint64_t polls0 = head->InputPolls() + head->Waits() + head->ClockPolls();
    const uint64_t start = head->NowMs();
    int rounds = 0;
    // One virtual second of a delay loop that wakes every 20 ms.
    while (head->NowMs() < start + 1000 && rounds < 100000) {
        PeekMessage(&m, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        ++rounds;
    }
    const uint64_t calls = head->InputPolls() + head->Waits() + head->ClockPolls() - polls0;
    EXPECT_EQ(rounds, 50);
    // A few calls per round (the peek's and the wait's input polls, the wait, the empty peek's
    // clock poll): never a spin.
    EXPECT_LE(calls, 50u * 8u);
    EXPECT_TRUE(PeekMessage(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
}

// A program run by a script that never ends (its quit failed) keeps its timers going for ever;
// once the stall limit has passed after the script's last line, its next wait fails loudly.
// Before that, the timers run as usual.
TEST_F(QueueTest, AScriptedRunThatOutlivesItsScriptFailsLoudly) {
    std::string err;
    ASSERT_TRUE(head->LoadScript("0 click 10 10\n+500 move 20 20\n", "", &err)) << err;
    head->EndRunAfterScript();
    head->SetStallLimit(5000);
    SetTimer(main, 1, 20, nullptr);
    MSG m;
    uint64_t lastTimer = 0;
    try {
        for (int i = 0; i < 100000; ++i) {
            if (!GetMessage(&m, nullptr, 0, 0)) break;
            if (m.message == WM_TIMER) lastTimer = head->NowMs();
        }
        FAIL() << "the run went on";
    } catch (const plat::HeadlessStall& e) {
        EXPECT_NE(std::string(e.what()).find("the script ended at 500 ms"), std::string::npos) << e.what();
    }
    EXPECT_GE(lastTimer, 5000u);  // the timers ran until the limit
    EXPECT_LE(head->NowMs(), 5500u);
    KillTimer(main, 1);
}

TEST_F(QueueTest, APollLoopThatCannotEndFailsWithAStallNamingWhatItPolledFor) {
    head->Click(head->NowMs(), 30, 40);
    head->SetStallLimit(20000);
    for (uint32_t step : {1u, 0u}) {
        SCOPED_TRACE(step);
        head->SetQueryStep(step);
        MSG m;
        long polls = 0;
        try {
            // Waits for a message nothing will ever post, with a click queued.
            while (!PeekMessage(&m, nullptr, WM_USER, WM_USER, PM_REMOVE) && polls < 10000000) ++polls;
            FAIL() << "the loop ended";
        } catch (const plat::HeadlessStall& e) {
            EXPECT_NE(std::string(e.what()).find("PeekMessage for messages 0x0400-0x0400"), std::string::npos)
                << e.what();
        }
        EXPECT_LE(polls, long(plat::HeadlessBackend::kFrozenPollLimit));
    }
}

// Messages posted by another thread wake the program and count as news for the stall
// detection, which stays the program thread's own (ThreadSanitizer checks the sharing).
TEST_F(QueueTest, MessagesPostedFromAnotherThreadReachAPollLoop) {
    head->SetQueryStep(1);
    constexpr int kPosts = 200;
    std::thread poster([this] {
        for (int i = 0; i < kPosts; ++i) PostMessage(main, WM_USER + 1, static_cast<WPARAM>(i), 0);
    });
    int received = 0;
    MSG m;
    try {
        while (received < kPosts) {
            if (PeekMessage(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE)) {
                EXPECT_EQ(m.wParam, static_cast<WPARAM>(received));
                ++received;
            }
        }
    } catch (const plat::HeadlessStall& e) {
        ADD_FAILURE() << e.what();
    }
    poster.join();
    EXPECT_EQ(received, kPosts);
}

TEST_F(QueueTest, SetTimerReturnsTheIdAlsoWhenReplacingAndKillTimerRefusesAMissingOne) {
    EXPECT_EQ(SetTimer(main, 5, 100, nullptr), UINT_PTR(5));
    EXPECT_EQ(SetTimer(main, 5, 50, nullptr), UINT_PTR(5));  // replaced, same id
    // The replacement's period counts: one tick at 50 ms, not at 100.
    uint64_t start = head->NowMs();
    MSG m;
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    EXPECT_EQ(head->NowMs(), start + 50);
    // A thread timer given back to SetTimer is replaced and keeps its id.
    UINT_PTR thread = SetTimer(nullptr, 0, 100, nullptr);
    ASSERT_NE(thread, 0u);
    EXPECT_EQ(SetTimer(nullptr, thread, 200, nullptr), thread);
    EXPECT_TRUE(KillTimer(nullptr, thread));
    SetLastError(0);
    EXPECT_FALSE(KillTimer(nullptr, thread));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(KillTimer(main, 5));
    SetLastError(0);
    EXPECT_FALSE(KillTimer(main, 5));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(QueueTest, AFilteredPeekNeverReturnsAPendingQuitOutsideItsFilter) {
    PostMessage(main, WM_CLOSE, 0, 0);
    PostQuitMessage(4);
    MSG m;
    const std::pair<UINT, UINT> filters[] = {{WM_CLOSE, WM_CLOSE}, {WM_SETFOCUS, WM_SETFOCUS},
                                             {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_KEYFIRST, WM_KEYLAST}};
    for (auto [lo, hi] : filters) {
        while (PeekMessage(&m, nullptr, lo, hi, PM_REMOVE)) EXPECT_NE(m.message, UINT(WM_QUIT)) << lo;
    }
    // The quit waits for an unfiltered look.
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 4u);
}

// Keys pressed and released within one instant: each handler reads the keys as they were when
// its message was made, while GetAsyncKeyState tells the input taken so far.
struct KeyStep {
    int vk;
    bool down;
    uint8_t ch = 0;
};
struct KeyStateCase {
    const char* name;
    std::vector<KeyStep> steps;
    int watched;                   // the key GetKeyState is asked about
    std::vector<UINT> messages;    // messages handled, in order
    std::vector<bool> watchedDown; // GetKeyState(watched) < 0 in each handler
};

std::vector<std::pair<UINT, bool>>* g_keyLog = nullptr;
int g_watched = 0;

LRESULT KeyStateProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_keyLog && (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR)) {
        const bool down = GetKeyState(g_watched) < 0;
        BYTE keys[256];
        GetKeyboardState(keys);
        EXPECT_EQ((keys[g_watched] & 0x80) != 0, down) << "GetKeyboardState differs from GetKeyState";
        g_keyLog->emplace_back(msg, down);
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class KeyStateTest : public QueueTest, public ::testing::WithParamInterface<KeyStateCase> {};

TEST_P(KeyStateTest, HandlersReadTheKeysAsOfTheirMessage) {
    const KeyStateCase& c = GetParam();
    WNDCLASS wc;
    wc.lpfnWndProc = KeyStateProc;
    wc.lpszClassName = "KeyStateWindow";
    RegisterClass(&wc);
    HWND w = CreateWindow("KeyStateWindow", "Keys", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                          nullptr);
    SetFocus(w);
    Drain();
    std::vector<std::pair<UINT, bool>> log;
    g_keyLog = &log;
    g_watched = c.watched;
    const uint64_t t = head->NowMs() + 10;
    for (const KeyStep& s : c.steps) {
        plat::InputEvent ev;
        ev.kind = s.down ? plat::InputKind::KeyDown : plat::InputKind::KeyUp;
        ev.vk = s.vk;
        ev.ch = s.ch;
        head->QueueInput(t, ev);
    }
    MSG m;
    ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
    do {
        TranslateMessage(&m);
        DispatchMessage(&m);
    } while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    g_keyLog = nullptr;
    std::vector<UINT> msgs;
    std::vector<bool> downs;
    for (auto [msg, down] : log) {
        msgs.push_back(msg);
        downs.push_back(down);
    }
    EXPECT_EQ(msgs, c.messages);
    EXPECT_EQ(downs, c.watchedDown);
    // Everything was released by the end, and the machine's state says so too.
    EXPECT_EQ(GetKeyState(c.watched) & 0x8000, 0);
    EXPECT_EQ(GetAsyncKeyState(c.watched) & 0x8000, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeyStateTest,
    ::testing::Values(
        KeyStateCase{"PressedAndReleasedInOneInstant",
                     {{VK_SPACE, true, ' '}, {VK_SPACE, false}},
                     VK_SPACE,
                     {WM_KEYDOWN, WM_CHAR, WM_KEYUP},
                     {true, true, false}},
        KeyStateCase{"ShiftReleasedBetweenTwoCharacters",
                     {{VK_SHIFT, true}, {'A', true, 'A'}, {'A', false}, {VK_SHIFT, false}, {'B', true, 'b'}, {'B', false}},
                     VK_SHIFT,
                     {WM_KEYDOWN, WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYUP, WM_KEYDOWN, WM_CHAR, WM_KEYUP},
                     {true, true, true, true, false, false, false, false}},
        KeyStateCase{"ControlHeldOverAKey",
                     {{VK_CONTROL, true}, {'C', true, 3}, {'C', false}, {VK_CONTROL, false}},
                     VK_CONTROL,
                     {WM_KEYDOWN, WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYUP},
                     {true, true, true, true, false}}),
    [](const ::testing::TestParamInfo<KeyStateCase>& info) { return std::string(info.param.name); });

TEST_F(QueueTest, CapsLockToggleFollowsTheMessagesTaken) {
    SetFocus(main);
    head->Key(head->NowMs(), VK_CAPITAL);
    head->Advance(0);
    // Pumped but not taken: GetKeyState still has the old toggle.
    MSG m;
    PeekMessage(&m, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
    Drain();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
}

TEST(CustomCursor, MaskBitsMakePixelsTransparent) {
    plat::InstallHeadless();
    PALETTEENTRY pal[256] = {};
    pal[1] = PALETTEENTRY{255, 0, 0, 0};
    uint8_t pixels[16 * 2];
    std::fill(std::begin(pixels), std::end(pixels), 1);
    // Rows of the mask are 16-bit aligned: 2 bytes each; left half transparent.
    uint8_t mask[4] = {0xFF, 0x00, 0xFF, 0x00};
    HCURSOR c = plat::CreateColourCursor(16, 2, 3, 1, pixels, mask, pal);
    ASSERT_NE(c, nullptr);
    const plat::CursorImage* img = plat::CursorImageOf(c);
    EXPECT_EQ(img->rgba[0], 0u);
    EXPECT_EQ(img->rgba[7], 0u);
    EXPECT_EQ(img->rgba[8], 0xFF0000FFu);
    EXPECT_EQ(img->hotX, 3);
    SetCursor(c);
    EXPECT_EQ(plat::Headless().Cursor(), img);
    ShowCursor(FALSE);
    EXPECT_EQ(plat::Headless().Cursor(), nullptr);
    ShowCursor(TRUE);
    EXPECT_EQ(plat::Headless().Cursor(), img);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    DestroyCursor(c);
    plat::ResetWindowing();
}

TEST(Runtime, RandFollowsTheOriginalGenerator) {
    plat::SRand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int e : expected) EXPECT_EQ(plat::Rand(), e);
}

TEST(Runtime, MulDivRoundsHalfAwayFromZero) {
    struct Case {
        int a, b, c, want;
    };
    const Case cases[] = {{10, 3, 4, 8}, {10, 1, 4, 3}, {-10, 1, 4, -3}, {7, 1, 2, 4},
                          {-7, 1, 2, -4}, {1, 1, 0, -1}, {0x7FFFFFFF, 2, 1, -1}, {1000, 60, 1000, 60}};
    for (auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.want) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Version, ReportsWindows95UnlessTold) {
    EXPECT_EQ(GetVersion(), plat::kVersionWin95);
    EXPECT_NE(GetVersion() & 0x80000000u, 0u);
    EXPECT_EQ(GetVersion() & 0xFF, 4u);
    plat::SetReportedVersion(plat::kVersionWinNT4);
    EXPECT_EQ(GetVersion() & 0x80000000u, 0u);
    plat::SetReportedVersion(plat::kVersionWin95);
}

TEST(HeadlessScript, ParsesEventsAndRefusesBadLines) {
    auto& head = plat::InstallHeadless();
    std::string err;
    ASSERT_TRUE(head.LoadScript("# a comment\n100 click 10 20\n+50 key CTRL+A\n200 type Åsa\n300 answer IDYES\n", "",
                                &err))
        << err;
    EXPECT_EQ(head.AnswersLeft(), 1u);
    head.Advance(250);
    std::vector<plat::InputEvent> evs;
    plat::InputEvent ev;
    while (head.PollInput(ev)) evs.push_back(ev);
    ASSERT_EQ(evs.size(), 2u + 4u + 11u);
    EXPECT_EQ(evs[0].kind, plat::InputKind::MouseDown);
    EXPECT_EQ(evs[0].x, 10);
    EXPECT_EQ(evs[3].vk, 'A');
    EXPECT_EQ(evs[3].ch, 1);  // Ctrl+A types 0x01
    EXPECT_FALSE(evs[3].extended);
    // Typed as the keyboard types it: Shift held around Å's key, the character after the key.
    using K = plat::InputKind;
    const std::vector<std::tuple<K, int, int>> typed = {
        {K::KeyDown, VK_SHIFT, 0}, {K::KeyDown, VK_OEM_6, 0}, {K::Char, 0, 0xC5}, {K::KeyUp, VK_OEM_6, 0},
        {K::KeyUp, VK_SHIFT, 0},   {K::KeyDown, 'S', 0},      {K::Char, 0, 's'},  {K::KeyUp, 'S', 0},
        {K::KeyDown, 'A', 0},      {K::Char, 0, 'a'},         {K::KeyUp, 'A', 0}};
    for (size_t i = 0; i < typed.size(); ++i) {
        const plat::InputEvent& e = evs[6 + i];
        EXPECT_EQ(e.kind, std::get<0>(typed[i])) << i;
        if (e.kind == K::Char) {
            EXPECT_EQ(e.ch, std::get<2>(typed[i])) << i;
        } else {
            EXPECT_EQ(e.vk, std::get<1>(typed[i])) << i;
        }
    }
    EXPECT_FALSE(head.LoadScript("100 fly 1 2\n", "", &err));
    EXPECT_NE(err.find("line 1"), std::string::npos);
    EXPECT_FALSE(head.LoadScript("x click 1 2\n", "", &err));
    plat::ResetWindowing();
}

}  // namespace
