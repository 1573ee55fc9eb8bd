// Dialogs from templates driven on the headless back end: data exchange, the keyboard
// (Tab, arrows, Enter, Escape, mnemonics), modal loops, scripted answers and failures.
#include <stdexcept>

#include "platform/dialogs/dialogs_test_support.h"

namespace {

using dialogs_test::DialogsTest;

constexpr UINT kSettings = 500;
constexpr int kRadioA = 1001, kRadioB = 1002, kRadioC = 1003;
constexpr int kCheck = 1010;
constexpr int kName = 1020;
constexpr int kAge = 1021;
constexpr int kOptions = 1030;
constexpr int kHidden = 1031;
constexpr int kDisabled = 1032;
constexpr int kNested = 1040;

const plat::DialogItem kSettingsItems[] = {
    plat::GroupBox(u8"Ljud", -1, 4, 2, 100, 50),
    plat::AutoRadioButton(u8"&Ett", kRadioA, 10, 12, 80, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"&Två", kRadioB, 10, 24, 80, 10),
    plat::AutoRadioButton(u8"T&re", kRadioC, 10, 36, 80, 10),
    plat::AutoCheckBox(u8"&Spara", kCheck, 110, 12, 80, 10, WS_GROUP),
    plat::LText(u8"&Namn:", -1, 110, 28, 30, 8),
    plat::EditText(kName, 140, 26, 60, 12, ES_AUTOHSCROLL),
    plat::LText(u8"Å&lder:", -1, 110, 44, 30, 8),
    plat::EditText(kAge, 140, 42, 60, 12),
    plat::PushButton(u8"&Tillval...", kOptions, 4, 60, 50, 14),
    plat::PushButton(u8"Dold", kHidden, 58, 60, 40, 14, 0, WS_VISIBLE),
    plat::PushButton(u8"Av", kDisabled, 100, 60, 40, 14, WS_DISABLED),
    plat::PushButton(u8"Inre", kNested, 4, 78, 50, 14),
    plat::DefPushButton(u8"OK", IDOK, 100, 78, 50, 14),
    plat::PushButton(u8"Avbryt", IDCANCEL, 154, 78, 50, 14),
};
const plat::DialogTemplate kTemplates[] = {
    {kSettings, 0, 0, 210, 96, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Inställningar", kSettingsItems},
};

class SettingsDialog : public CDialog {
public:
    SettingsDialog() : CDialog(kSettings) {}
    int m_radio = 1;
    int m_check = 0;
    CString m_name = "G\xE4st";
    int m_age = 7;
    int options = 0;
    std::function<void()> onOptions;
    std::function<void()> onNested;

    void DoDataExchange(CDataExchange* dx) override {
        DDX_Radio(dx, kRadioA, m_radio);
        DDX_Check(dx, kCheck, m_check);
        DDX_Text(dx, kName, m_name);
        DDV_MaxChars(dx, m_name, 15);
        DDX_Text(dx, kAge, m_age);
        DDV_MinMaxInt(dx, m_age, 1, 99);
    }

protected:
    afx_msg void OnOptions() {
        ++options;
        if (onOptions) onOptions();
    }
    afx_msg void OnNested() {
        if (onNested) onNested();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SettingsDialog, CDialog)
    ON_BN_CLICKED(kOptions, OnOptions)
    ON_BN_CLICKED(kNested, OnNested)
END_MESSAGE_MAP()

class Dialogs : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        plat::RegisterDialogTemplates(kTemplates);
    }
    static HWND Item(int id) { return plat::FindDialogItem(plat::ActiveDialog(), id); }
    static int FocusId() { return GetDlgCtrlID(GetFocus()); }
};

TEST_F(Dialogs, TemplateUnitsBecomePixelsOfTheDialogFont) {
    SettingsDialog dlg;
    Later(10, [] {
        HWND d = plat::ActiveDialog();
        RECT client;
        GetClientRect(d, &client);
        RECT want{0, 0, 210, 96};
        MapDialogRect(d, &want);
        EXPECT_EQ(client.right, want.right);
        EXPECT_EQ(client.bottom, want.bottom);
        // A control sits where its template rectangle maps to, in client coordinates.
        RECT r;
        GetWindowRect(Item(kName), &r);
        POINT tl{r.left, r.top};
        ScreenToClient(d, &tl);
        RECT mapped{140, 26, 200, 38};
        MapDialogRect(d, &mapped);
        EXPECT_EQ(tl.x, mapped.left);
        EXPECT_EQ(tl.y, mapped.top);
        EXPECT_EQ(r.right - r.left, mapped.right - mapped.left);
        // The 8-point dialog font: base units between 5 and 7 across, 13 down.
        RECT unit{0, 0, 4, 8};
        MapDialogRect(d, &unit);
        EXPECT_EQ(unit.bottom, 13);
        EXPECT_GE(unit.right, 5);
        EXPECT_LE(unit.right, 7);
        EXPECT_FALSE(IsWindowVisible(Item(kHidden)));
        EXPECT_FALSE(IsWindowEnabled(Item(kDisabled)));
    });
    Key(20, VK_ESCAPE);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(Dialogs, DataExchangeRoundTripsRadioCheckAndText) {
    SettingsDialog dlg;
    dlg.m_radio = 2;
    dlg.m_check = 1;
    Later(10, [] {
        // Loaded into the controls.
        EXPECT_EQ(SendMessage(Item(kRadioA), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(SendMessage(Item(kRadioC), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessage(Item(kCheck), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(plat::dlg::WindowText(Item(kName)), "G\xE4st");
        EXPECT_EQ(plat::dlg::WindowText(Item(kAge)), "7");
    });
    // The user changes them: a radio click, the check box by its mnemonic, new text.
    ClickItem(20, kRadioB);
    KeyWith(40, VK_MENU, 'S', 's');
    Later(50, [this] {
        SetFocus(Item(kName));
        SendMessage(Item(kName), EM_SETSEL, 0, -1);
        Type(1, "\xC5sa");
    });
    Later(70, [this] {
        SetFocus(Item(kAge));
        SendMessage(Item(kAge), EM_SETSEL, 0, -1);
        Type(1, "42");
    });
    ClickItem(90, IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_radio, 1);
    EXPECT_EQ(dlg.m_check, 0);
    EXPECT_EQ(dlg.m_name, "\xC5sa");
    EXPECT_EQ(dlg.m_age, 42);
}

TEST_F(Dialogs, FailedCheckKeepsTheDialogOpenWithTheFocusOnTheField) {
    SettingsDialog dlg;
    Later(10, [this] {
        SetWindowText(Item(kAge), "123");
        m_head->PushAnswer(IDOK);  // the range message
        ClickControl(1, Item(IDOK));
    });
    Later(30, [] {
        ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
        EXPECT_EQ(FocusId(), kAge);
        SetWindowText(Item(kAge), "12");
    });
    ClickItem(40, IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_age, 12);
}

TEST_F(Dialogs, TabVisitsTabStopsInTemplateOrderAndArrowsMoveInTheGroup) {
    SettingsDialog dlg;
    std::vector<int> seen;
    auto record = [&] { seen.push_back(FocusId()); };
    Later(10, record);  // first tab stop: the checked radio button of the group
    for (int i = 0; i < 6; ++i) {
        Key(20 + i * 10, VK_TAB, '\t');
        Later(25 + i * 10, record);
    }
    KeyWith(90, VK_SHIFT, VK_TAB, '\t');
    Later(95, record);
    // Arrows inside the radio group move and check.
    Later(100, [] { SetFocus(Item(kRadioB)); });
    Key(110, VK_DOWN);
    Later(115, [&] {
        record();
        EXPECT_EQ(SendMessage(Item(kRadioC), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessage(Item(kRadioB), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    });
    Key(120, VK_DOWN);  // wraps round within the group
    Later(125, record);
    Key(130, VK_ESCAPE);
    dlg.m_radio = 1;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // Hidden and disabled buttons and the labels are passed over; Tab wraps round.
    const std::vector<int> expected{kRadioB, kCheck, kName, kAge, kOptions, kNested, IDOK, kNested, kRadioC, kRadioA};
    EXPECT_EQ(seen, expected);
}

TEST_F(Dialogs, EnterPressesTheDefaultOrFocusedButtonAndEscapeCancels) {
    struct Case {
        const char* name;
        int focus;
        int key;
        INT_PTR result;
        int options;
    };
    const Case cases[] = {
        {"EnterInEdit", kName, VK_RETURN, IDOK, 0},
        {"EnterOnOtherButton", kOptions, VK_RETURN, IDCANCEL, 1},
        {"EscapeAnywhere", kCheck, VK_ESCAPE, IDCANCEL, 0},
        {"SpaceOnButton", kOptions, VK_SPACE, IDCANCEL, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsDialog dlg;
        Later(10, [&] {
            SetFocus(Item(c.focus));
            // A focused push button is drawn as the default one.
            const HWND ok = Item(IDOK);
            const bool okDefault = (GetWindowLong(ok, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            EXPECT_EQ(okDefault, c.focus != kOptions);
        });
        Key(20, c.key, c.key == VK_RETURN ? '\r' : c.key == VK_SPACE ? ' ' : 0x1B);
        if (c.options) Key(40, VK_ESCAPE, 0x1B);
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(dlg.options, c.options);
        Drain();
    }
}

TEST_F(Dialogs, EnterDoesNothingWhileTheDefaultButtonIsDisabled) {
    SettingsDialog dlg;
    Later(10, [] {
        EnableWindow(Item(IDOK), FALSE);
        SetFocus(Item(kName));
    });
    Key(20, VK_RETURN, '\r');
    Later(30, [this] {
        EXPECT_TRUE(IsWindow(plat::ActiveDialog()));
        EXPECT_FALSE(m_head->Beeps().empty());
    });
    Key(40, VK_ESCAPE);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

// Alt and a letter reach a control by its mnemonic whether the key event carries the letter
// (a script's key line with its character) or none (a real keyboard: SDL sends no text while
// Alt is held, and the system character comes from the key).
TEST_F(Dialogs, MnemonicsPressButtonsAndLabelsMoveToTheirField) {
    for (const bool carried : {true, false}) {
        SCOPED_TRACE(carried ? "character carried" : "no character");
        SettingsDialog dlg;
        KeyWith(10, VK_MENU, 'N', carried ? 'n' : 0);  // "&Namn:" → the name field
        Later(15, [] { EXPECT_EQ(FocusId(), kName); });
        KeyWith(20, VK_MENU, 'L', carried ? 'l' : 0);  // "Å&lder:" → the age field
        Later(25, [] { EXPECT_EQ(FocusId(), kAge); });
        KeyWith(30, VK_MENU, 'T', carried ? 't' : 0);  // "&Tillval..."
        Later(35, [&] { EXPECT_EQ(dlg.options, 1); });
        Later(40, [] { SetFocus(Item(kCheck)); });
        Type(45, "r");  // a plain letter on a button: "T&re"
        Later(50, [] { EXPECT_EQ(SendMessage(Item(kRadioC), BM_GETCHECK, 0, 0), BST_CHECKED); });
        Key(60, VK_ESCAPE);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
}

TEST_F(Dialogs, ModalInsideModalRefusesTheOuterDialogAndReturnsItsOwnCode) {
    SettingsDialog outer;
    INT_PTR inner = 0;
    HWND outerWindow = nullptr;
    outer.onNested = [&] {
        outerWindow = outer.m_hWnd;
        SettingsDialog second;
        second.onOptions = [&second] { second.EndDialog(7); };
        Later(10, [this, &outer] {
            EXPECT_NE(plat::ActiveDialog(), outer.m_hWnd);
            // The inner dialog moves aside so that the outer one's button can be clicked.
            RECT r;
            GetWindowRect(plat::ActiveDialog(), &r);
            SetWindowPos(plat::ActiveDialog(), nullptr, plat::kScreenWidth - (r.right - r.left), 0, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER);
            // A click on the outer dialog is refused while the inner one runs.
            const size_t beeps = m_head->Beeps().size();
            ClickControl(1, ::GetDlgItem(outer.m_hWnd, kOptions));
            Later(5, [this, beeps, &outer] {
                EXPECT_GT(m_head->Beeps().size(), beeps);
                EXPECT_EQ(outer.options, 0);
            });
        });
        ClickItem(30, kOptions);
        inner = second.DoModal();
    };
    ClickItem(10, kNested);
    Later(100, [&] {
        EXPECT_EQ(plat::ActiveDialog(), outerWindow);
        EXPECT_EQ(inner, 7);
    });
    Key(110, VK_ESCAPE);
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(inner, 7);
}

TEST_F(Dialogs, ScriptedAnswerPressesThatButtonAtOnce) {
    SettingsDialog dlg;
    dlg.m_age = 30;
    m_head->PushAnswer(IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_age, 30);
    SettingsDialog custom;
    custom.onOptions = [&custom] { custom.EndDialog(1134); };
    m_head->PushAnswer(kOptions);
    EXPECT_EQ(custom.DoModal(), 1134);
}

TEST_F(Dialogs, UndrivenModalDialogFailsInsteadOfHanging) {
    SettingsDialog dlg;
    EXPECT_THROW(dlg.DoModal(), plat::HeadlessStall);
    EXPECT_EQ(plat::CurrentModal(), nullptr);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    // A window timer keeps the queue busy: the ten-minute limit still ends it.
    HWND timerWindow = CreateWindow("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetTimer(timerWindow, 1, 55, nullptr);
    SettingsDialog again;
    EXPECT_THROW(again.DoModal(), plat::HeadlessStall);
}

TEST_F(Dialogs, ExceptionFromAHandlerLeavesDoModalWithTheDialogGone) {
    SettingsDialog dlg;
    dlg.onOptions = [] { throw std::runtime_error("engine quit"); };
    ClickItem(10, kOptions);
    EXPECT_THROW(dlg.DoModal(), std::runtime_error);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(plat::CurrentModal(), nullptr);
    EXPECT_EQ(FindWindow(nullptr, "Inst\xE4llningar"), nullptr);
}

TEST_F(Dialogs, CloseBoxAndAltF4CancelAndTheCaptionMovesTheDialog) {
    SettingsDialog dlg;
    POINT start{}, moved{};
    Later(10, [&] {
        RECT r;
        GetWindowRect(plat::ActiveDialog(), &r);
        start = POINT{r.left, r.top};
        // Drag by the caption 30 pixels right and 10 down.
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseDown;
        ev.x = r.left + 40;
        ev.y = r.top + 10;
        m_head->QueueInput(At(1), ev);
        ev.kind = plat::InputKind::MouseMove;
        ev.x += 30;
        ev.y += 10;
        m_head->QueueInput(At(2), ev);
        ev.kind = plat::InputKind::MouseUp;
        m_head->QueueInput(At(3), ev);
    });
    Later(20, [&] {
        RECT r;
        GetWindowRect(plat::ActiveDialog(), &r);
        moved = POINT{r.left, r.top};
        const RECT close = plat::dlg::CloseBoxRect(plat::ActiveDialog());
        ClickAt(1, POINT{r.left + (close.left + close.right) / 2, r.top + (close.top + close.bottom) / 2});
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(moved.x, start.x + 30);
    EXPECT_EQ(moved.y, start.y + 10);
    SettingsDialog second;
    KeyWith(10, VK_MENU, VK_F4);
    EXPECT_EQ(second.DoModal(), IDCANCEL);
}

// The close box is drawn pushed while the mouse holds it down over it (the frame asks the
// dialog manager), and a release away from it closes nothing.
TEST_F(Dialogs, CloseBoxIsPushedOnlyWhileHeldOverIt) {
    SettingsDialog dlg;
    std::vector<bool> pushed;
    POINT box{};
    Later(10, [&] {
        HWND d = plat::ActiveDialog();
        RECT r;
        GetWindowRect(d, &r);
        const RECT close = plat::dlg::CloseBoxRect(d);
        box = POINT{r.left + (close.left + close.right) / 2, r.top + (close.top + close.bottom) / 2};
        pushed.push_back(plat::look::CloseBoxPressed(d));
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseDown;
        ev.x = box.x;
        ev.y = box.y;
        m_head->QueueInput(At(1), ev);
    });
    Later(20, [&] {
        pushed.push_back(plat::look::CloseBoxPressed(plat::ActiveDialog()));
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseMove;
        ev.x = box.x - 60;
        ev.y = box.y + 40;
        m_head->QueueInput(At(1), ev);
    });
    Later(30, [&] {
        pushed.push_back(plat::look::CloseBoxPressed(plat::ActiveDialog()));
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseUp;
        ev.x = box.x - 60;
        ev.y = box.y + 40;
        m_head->QueueInput(At(1), ev);
    });
    Later(40, [&] {
        pushed.push_back(plat::look::CloseBoxPressed(plat::ActiveDialog()));
        PostMessage(plat::ActiveDialog(), WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(pushed, (std::vector<bool>{false, true, false, false}));
}

TEST_F(Dialogs, ModelessDialogTakesTabAndEnterThroughTheApplicationLoop) {
    SettingsDialog dlg;
    ASSERT_TRUE(dlg.Create(kSettings));
    plat::dlg::ShowDialog(dlg.m_hWnd);
    EXPECT_TRUE(IsWindowVisible(dlg.m_hWnd));
    // The program's own loop: PreTranslateMessage gives the dialog its keys.
    Key(10, VK_TAB, '\t');
    Later(20, [] { PostQuitMessage(0); });
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), kCheck);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

}  // namespace
