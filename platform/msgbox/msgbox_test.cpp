#include "platform/msgbox/msgbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/core/display.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"
#include "platform/fonts/font_registry.h"

namespace {

using plat::kMessageBoxInteractive;

// A full-screen window under the boxes that counts what reaches it.
struct View {
    static inline int timers = 0;
    static inline int clicks = 0;
    static inline int keys = 0;
    static inline int paints = 0;
    static inline HWND destroyOnTimer = nullptr;
    static inline bool quitOnTimer = false;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        switch (m) {
            case WM_TIMER:
                ++timers;
                if (destroyOnTimer) {
                    HWND victim = destroyOnTimer;
                    destroyOnTimer = nullptr;
                    DestroyWindow(victim);
                }
                if (quitOnTimer) {
                    quitOnTimer = false;
                    PostQuitMessage(3);
                }
                return 0;
            case WM_LBUTTONDOWN:
                ++clicks;
                return 0;
            case WM_KEYDOWN:
                ++keys;
                return 0;
            case WM_PAINT: {
                ++paints;
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(h, &ps);
                plat::FillSolid(dc, RECT{0, 0, plat::kScreenWidth, plat::kScreenHeight}, RGB(0, 128, 0));
                EndPaint(h, &ps);
                return 0;
            }
            default:
                return DefWindowProc(h, m, w, l);
        }
    }
};

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_head = &plat::InstallHeadless();
        plat::ResetGdi();
        plat::Fonts().Clear();
        plat::ClearMessageBoxLog();
        View::timers = View::clicks = View::keys = View::paints = 0;
        View::destroyOnTimer = nullptr;
        View::quitOnTimer = false;
        WNDCLASS wc;
        wc.lpfnWndProc = View::Proc;
        wc.lpszClassName = "BoxTestView";
        RegisterClass(&wc);
        m_view = CreateWindow("BoxTestView", "Zelbo", WS_POPUP | WS_VISIBLE, 0, 0, plat::kScreenWidth,
                              plat::kScreenHeight, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_view, nullptr);
        SetTimer(m_view, 1, 55, nullptr);
        Pump();
    }
    void TearDown() override {
        plat::SetMessageBoxHook({});
        plat::ResetWindowing();
        plat::ResetGdi();
    }
    // Dispatches whatever is queued (paints included) without waiting.
    static void Pump() {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER) continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    uint64_t Now() const { return m_head->NowMs(); }
    // A key pressed and released at a time from now, with the character it types.
    void KeyAt(uint64_t after, int vk) {
        uint8_t ch = 0;
        if (vk == VK_RETURN) ch = '\r';
        if (vk == VK_ESCAPE) ch = 27;
        if (vk == VK_TAB) ch = 9;
        if (vk == VK_SPACE) ch = ' ';
        if (vk >= 'A' && vk <= 'Z') ch = static_cast<uint8_t>(vk);
        m_head->Key(Now() + after, vk, ch);
    }
    // The box on screen now (the topmost window of its class).
    static RECT BoxRect() {
        RECT r{};
        GetWindowRect(FindWindow("ZelboMessageBox", nullptr), &r);
        return r;
    }

    plat::HeadlessBackend* m_head = nullptr;
    HWND m_view = nullptr;
};

struct AnswerCase {
    UINT type;
    std::vector<int> buttons;
    int escape;  // what Escape answers, 0 for nothing
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << "type " << c.type;
}

class ButtonSets : public MessageBoxTest, public ::testing::WithParamInterface<AnswerCase> {};

// Each button set takes every one of its answers from the script and records the box; an
// answer the box cannot give fails loudly, as does a box nobody answered.
TEST_P(ButtonSets, ScriptedAnswersAndRecords) {
    const AnswerCase& c = GetParam();
    EXPECT_EQ(plat::MessageBoxButtons(c.type), c.buttons);
    for (int answer : c.buttons) {
        m_head->PushAnswer(answer);
        EXPECT_EQ(MessageBoxA(m_view, "Sista raden\nf\xF6rsta", "Rubrik",
                              c.type | MB_ICONEXCLAMATION | MB_DEFBUTTON2),
                  answer);
    }
    const auto& log = plat::MessageBoxLog();
    ASSERT_EQ(log.size(), c.buttons.size());
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].answer, c.buttons[i]);
        EXPECT_EQ(log[i].buttons, c.buttons);
        EXPECT_EQ(log[i].caption, "Rubrik");
        EXPECT_EQ(log[i].text, "Sista raden\nf\xF6rsta");
        EXPECT_EQ(log[i].icon, static_cast<UINT>(MB_ICONEXCLAMATION));
        EXPECT_EQ(log[i].owner, m_view);
        EXPECT_EQ(log[i].defaultButton, c.buttons[c.buttons.size() > 1 ? 1 : 0]);
    }

    m_head->PushAnswer(99);
    EXPECT_THROW(MessageBoxA(nullptr, "Fel svar", nullptr, c.type), plat::MessageBoxUnanswered);
    try {
        MessageBoxA(nullptr, "Ingen svarar", "Tyst", c.type);
        ADD_FAILURE() << "an unanswered box returned";
    } catch (const plat::MessageBoxUnanswered& e) {
        EXPECT_NE(std::string(e.what()).find("Ingen svarar"), std::string::npos) << e.what();
    }
    // Nothing of a failed box stays behind.
    EXPECT_EQ(plat::CurrentModal(), nullptr);
    EXPECT_EQ(FindWindow("ZelboMessageBox", nullptr), nullptr);
}

// Escape answers IDCANCEL only where there is a Cancel button (an OK box gives IDOK);
// elsewhere it does nothing and the box waits for Enter, which takes the default button.
TEST_P(ButtonSets, EscapeOnlyWhereSomethingCancels) {
    const AnswerCase& c = GetParam();
    EXPECT_EQ(plat::MessageBoxEscapeAnswer(c.type), c.escape);
    m_head->PushAnswer(kMessageBoxInteractive);
    KeyAt(100, VK_ESCAPE);
    KeyAt(200, VK_RETURN);
    const int answer = MessageBoxA(m_view, "Tryck Escape", "Prov", c.type);
    EXPECT_EQ(answer, c.escape ? c.escape : c.buttons[0]);
    EXPECT_EQ(View::keys, 0) << "keys went to the box, not the view";
}

INSTANTIATE_TEST_SUITE_P(Table, ButtonSets,
                         ::testing::Values(AnswerCase{MB_OK, {IDOK}, IDOK},
                                           AnswerCase{MB_OKCANCEL, {IDOK, IDCANCEL}, IDCANCEL},
                                           AnswerCase{MB_YESNO, {IDYES, IDNO}, 0},
                                           AnswerCase{MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDCANCEL},
                                           AnswerCase{MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDCANCEL},
                                           AnswerCase{MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, 0}));

struct KeysCase {
    UINT type;
    std::vector<int> keys;  // virtual keys in order; VK_SHIFT holds Shift over the next key
    int answer;
};

void PrintTo(const KeysCase& c, std::ostream* os) {
    *os << "type " << c.type << ", " << c.keys.size() << " keys";
}

class Keyboard : public MessageBoxTest, public ::testing::WithParamInterface<KeysCase> {};

// Tab and the arrows move the focus (and the default) round the buttons, Enter and Space
// press the focused one, a button's underlined letter presses it at once.
TEST_P(Keyboard, FocusAndChoice) {
    const KeysCase& c = GetParam();
    m_head->PushAnswer(kMessageBoxInteractive);
    uint64_t t = 50;
    for (size_t i = 0; i < c.keys.size(); ++i, t += 50) {
        if (c.keys[i] == VK_SHIFT) {
            plat::InputEvent ev;
            ev.kind = plat::InputKind::KeyDown;
            ev.vk = VK_SHIFT;
            m_head->QueueInput(Now() + t, ev);
            KeyAt(t + 10, c.keys[++i]);
            ev.kind = plat::InputKind::KeyUp;
            m_head->QueueInput(Now() + t + 20, ev);
        } else {
            KeyAt(t, c.keys[i]);
        }
    }
    EXPECT_EQ(MessageBoxA(m_view, "Tangenter", "Prov", c.type), c.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Keyboard,
    ::testing::Values(KeysCase{MB_YESNOCANCEL | MB_DEFBUTTON2, {VK_RETURN}, IDNO},
                      KeysCase{MB_YESNOCANCEL | MB_DEFBUTTON3, {VK_RETURN}, IDCANCEL},
                      KeysCase{MB_YESNOCANCEL, {VK_TAB, VK_RETURN}, IDNO},
                      KeysCase{MB_YESNOCANCEL, {VK_TAB, VK_TAB, VK_TAB, VK_RETURN}, IDYES},
                      KeysCase{MB_YESNOCANCEL, {VK_SHIFT, VK_TAB, VK_RETURN}, IDCANCEL},
                      KeysCase{MB_YESNOCANCEL, {VK_RIGHT, VK_RIGHT, VK_LEFT, VK_SPACE}, IDNO},
                      KeysCase{MB_ABORTRETRYIGNORE, {VK_DOWN, VK_UP, VK_UP, VK_RETURN}, IDIGNORE},
                      KeysCase{MB_ABORTRETRYIGNORE, {'F'}, IDRETRY},
                      KeysCase{MB_ABORTRETRYIGNORE, {'I'}, IDIGNORE}, KeysCase{MB_YESNO, {'X', 'N'}, IDNO},
                      KeysCase{MB_YESNO | MB_DEFBUTTON2, {'J'}, IDYES},
                      KeysCase{MB_OKCANCEL, {'A', VK_RETURN}, IDOK}));  // OK and Cancel have no letters

// A button answers when pressed and released on it; released elsewhere it does not. The
// caption's close button cancels where Escape would.
TEST_F(MessageBoxTest, MouseChoosesOnRelease) {
    m_head->PushAnswer(kMessageBoxInteractive);
    m_head->At(Now() + 20, [&] {
        const RECT box = BoxRect();
        // Press on the right button (Cancel), slide off and release: nothing.
        const int cancelX = box.left + (box.right - box.left) / 2 + 40, buttonY = box.bottom - 25;
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseDown;
        ev.x = cancelX;
        ev.y = buttonY;
        m_head->QueueInput(Now() + 10, ev);
        ev.kind = plat::InputKind::MouseMove;
        ev.x = box.left + 5;
        m_head->QueueInput(Now() + 20, ev);
        ev.kind = plat::InputKind::MouseUp;
        m_head->QueueInput(Now() + 30, ev);
        // Then a click on the left button (OK).
        m_head->Click(Now() + 100, box.left + (box.right - box.left) / 2 - 40, buttonY);
    });
    EXPECT_EQ(MessageBoxA(m_view, "Klicka", "Mus", MB_OKCANCEL | MB_DEFBUTTON2), IDOK);

    m_head->PushAnswer(kMessageBoxInteractive);
    m_head->At(Now() + 20, [&] {
        const RECT box = BoxRect();
        m_head->Click(Now() + 10, box.right - 3 - 2 - 8, box.top + 3 + 2 + 7);
    });
    EXPECT_EQ(MessageBoxA(m_view, "St\xE4ng", "Mus", MB_RETRYCANCEL), IDCANCEL);
}

// While the box is up the view's timer keeps ticking and a click on the view is refused;
// when the box goes, the view is asked to paint what it covered.
TEST_F(MessageBoxTest, ModalLoopKeepsTimersAndRefusesInputBeneath) {
    m_head->PushAnswer(kMessageBoxInteractive);
    size_t beepsBefore = 0;
    m_head->At(Now() + 200, [&] { beepsBefore = m_head->Beeps().size(); });
    m_head->Click(Now() + 300, 5, 5);
    m_head->Key(Now() + 310, 'Q', 'Q');
    KeyAt(1100, VK_RETURN);
    const int paintsBefore = View::paints;
    const uint64_t start = Now();
    EXPECT_EQ(MessageBoxA(m_view, "V\xE4nta", "Timer", MB_OK | MB_ICONINFORMATION), IDOK);
    EXPECT_GE(Now() - start, 1100u);
    EXPECT_GE(View::timers, 18);
    EXPECT_EQ(View::clicks, 0);
    EXPECT_EQ(View::keys, 0);
    EXPECT_EQ(m_head->Beeps().size(), beepsBefore + 1) << "the refused click beeps";
    RECT update;
    EXPECT_TRUE(GetUpdateRect(m_view, &update, FALSE));
    Pump();
    EXPECT_GT(View::paints, paintsBefore);
    EXPECT_EQ(GetActiveWindow(), m_view);

    // The box is gone: the view takes clicks again.
    m_head->Click(Now() + 10, 5, 5);
    m_head->Advance(20);
    Pump();
    EXPECT_EQ(View::clicks, 1);
}

// A box whose owner is destroyed under it ends; WM_QUIT ends it too and is passed on.
TEST_F(MessageBoxTest, EndsWhenTheOwnerGoesOrTheProgramQuits) {
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "BoxOwner";
    RegisterClass(&wc);
    HWND owner = CreateWindow("BoxOwner", "", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
    View::destroyOnTimer = owner;
    m_head->PushAnswer(kMessageBoxInteractive);
    EXPECT_EQ(MessageBoxA(owner, "\xC4garen f\xF6rsvinner", "Prov", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_EQ(plat::CurrentModal(), nullptr);

    View::quitOnTimer = true;
    m_head->PushAnswer(kMessageBoxInteractive);
    EXPECT_EQ(MessageBoxA(m_view, "Slut", "Prov", MB_OKCANCEL), IDCANCEL);
    MSG msg;
    EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 3u);
}

// AfxMessageBox shows the real box once installed, captioned with the main window's title.
TEST_F(MessageBoxTest, AfxMessageBoxUsesTheBoxOnceInstalled) {
    plat::InstallMessageBoxes();
    m_head->PushAnswer(IDRETRY);
    EXPECT_EQ(AfxMessageBox("Kunde inte l\xE4sa.", MB_RETRYCANCEL | MB_ICONHAND), IDRETRY);
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(plat::MessageBoxLog()[0].caption, "Zelbo");
    EXPECT_EQ(plat::MessageBoxLog()[0].icon, static_cast<UINT>(MB_ICONHAND));

    plat::InstallMessageBoxes("Quorva Fel");
    m_head->PushAnswer(IDOK);
    EXPECT_EQ(AfxMessageBox("Slut p\xE5 minne."), IDOK);
    EXPECT_EQ(plat::MessageBoxLog().back().caption, "Quorva Fel");
}

// The box is drawn with static colours only, so the program's palette cannot spoil it, and
// it lies centred on the screen over everything.
TEST_F(MessageBoxTest, DrawnWithStaticColoursInTheMiddle) {
    m_head->PushAnswer(kMessageBoxInteractive);
    bool onlyStatics = true;
    RECT box{};
    m_head->At(Now() + 20, [&] {
        box = BoxRect();
        for (LONG y = box.top; y < box.bottom; ++y)
            for (LONG x = box.left; x < box.right; ++x)
                onlyStatics &= plat::IsStaticIndex(plat::TheDisplay().Pixel(x, y));
    });
    KeyAt(40, VK_RETURN);
    MessageBoxA(m_view,
                "En text som \xE4r s\xE5 l\xE5ng att den m\xE5ste delas p\xE5 flera rader f\xF6r att f\xE5 "
                "plats i rutan "
                "som inte f\xE5r bli bredare \xE4n s\xE5 h\xE4r.",
                "Rubrik", MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_TRUE(onlyStatics);
    EXPECT_NEAR((box.left + box.right) / 2, plat::kScreenWidth / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, plat::kScreenHeight / 2, 1);
    EXPECT_GT(box.bottom - box.top, 100) << "several lines of text";
    EXPECT_LE(box.right - box.left, 500);
}

}  // namespace
