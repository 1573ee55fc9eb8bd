// The controls driven by keys and clicks: the sorted list box, the drop-down list, the edit
// field with a character filter, the scroll bar, and a slider of the program's own on a
// scroll-bar control.
#include "platform/dialogs/dialogs_test_support.h"

namespace {

using dialogs_test::DialogsTest;

constexpr UINT kControls = 600;
constexpr int kList = 1063;
constexpr int kCombo = 1085;
constexpr int kEdit = 1152;
constexpr int kScroll = 1007;
constexpr int kSlider = 1008;
constexpr int kAfter = 1100;
constexpr UINT kMsgUpDown = 1550;
constexpr UINT kMsgFocus = 1551;
constexpr UINT kMsgPosition = 1552;

const plat::DialogItem kItems[] = {
    plat::ListBox(kList, 4, 4, 80, 40, WS_VSCROLL | LBS_SORT | LBS_NOINTEGRALHEIGHT),
    plat::ComboBox(kCombo, 90, 4, 80, 60, WS_VSCROLL | CBS_SORT),
    plat::EditText(kEdit, 90, 24, 80, 12, ES_AUTOHSCROLL),
    plat::ScrollBar(kScroll, 4, 50, 80, 10),
    plat::ScrollBar(kSlider, 90, 50, 80, 14, WS_TABSTOP),
    plat::PushButton(u8"Efter", kAfter, 90, 70, 40, 14),
    plat::DefPushButton(u8"OK", IDOK, 134, 70, 40, 14),
};
const plat::DialogTemplate kTemplates[] = {
    {kControls, 0, 0, 180, 90, DS_MODALFRAME | WS_POPUP | WS_CAPTION, u8"Kontroller", kItems},
};

const char* const kNames[] = {"\xC5sa", "Anna", "\xD6rjan", "Zeta"};

// Drops digits, as a program's name field does; everything else goes on to the edit.
class NameEdit : public CEdit {
public:
    int seen = 0;

protected:
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags) {
        ++seen;
        if (ch >= '0' && ch <= '9') return;
        CEdit::OnChar(ch, repeat, flags);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(NameEdit, CEdit)
    ON_WM_CHAR()
END_MESSAGE_MAP()

// A slider that draws a scroll-bar control itself, keeps its range in the control's scroll
// information, and tells its parent about keys, focus and releases.
class Slider : public CScrollBar {
public:
    int pos = 0;
    bool captured = false;
    int movesWhileCaptured = 0;
    int paints = 0;
    std::vector<BOOL> enables;

    int Width() const {
        CRect r;
        GetClientRect(&r);
        return r.Width();
    }
    int Max() const {
        int lo = 0, hi = 0;
        GetScrollRange(&lo, &hi);
        return hi;
    }

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        CRect r;
        GetClientRect(&r);
        dc.FillSolidRect(&r, RGB(192, 192, 192));
        const int x = Max() ? pos * (r.Width() - 8) / Max() : 0;
        dc.FillSolidRect(x, 0, 8, r.Height(), GetFocus() == this ? RGB(0, 0, 0) : RGB(128, 128, 128));
        ++paints;
    }
    afx_msg void OnLButtonDown(UINT, CPoint) {
        SetFocus();
        SetCapture();
        captured = true;
    }
    afx_msg void OnMouseMove(UINT, CPoint p) {
        if (!captured) return;
        ++movesWhileCaptured;
        pos = std::clamp(p.x * Max() / std::max(1, Width()), 0, Max());
    }
    afx_msg void OnLButtonUp(UINT, CPoint) {
        if (!captured) return;
        captured = false;
        ReleaseCapture();
        SetScrollPos(pos);
        GetParent()->SendMessage(kMsgPosition, static_cast<WPARAM>(pos));
    }
    afx_msg void OnKeyDown(UINT ch, UINT, UINT) {
        if (ch == VK_RIGHT && pos < Max()) SetScrollPos(++pos);
        if (ch == VK_LEFT && pos > 0) SetScrollPos(--pos);
        if (ch == VK_UP || ch == VK_DOWN) GetParent()->SendMessage(kMsgUpDown);
        Invalidate();
    }
    afx_msg void OnSetFocus(CWnd*) {
        Invalidate();
        GetParent()->SendMessage(kMsgFocus);
    }
    afx_msg void OnEnable(BOOL enable) { enables.push_back(enable); }
    afx_msg UINT OnGetDlgCode() { return DLGC_WANTARROWS; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Slider, CScrollBar)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_WM_ENABLE()
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

class ControlsDialog : public CDialog {
public:
    ControlsDialog() : CDialog(kControls) {}
    NameEdit edit;
    Slider slider;
    CListBox list;
    CComboBox combo;
    int sliderValue = 0;
    std::vector<std::pair<int, UINT>> notes;  // (id, code) of WM_COMMAND notifications
    std::vector<std::pair<UINT, WPARAM>> sliderMessages;
    std::vector<std::pair<UINT, int>> scrolls;  // (code, pos) of WM_HSCROLL from the plain bar

    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, kEdit, edit);
        DDX_Control(dx, kSlider, slider);
        DDX_Control(dx, kList, list);
        DDX_Control(dx, kCombo, combo);
        DDX_Scroll(dx, kSlider, sliderValue);
    }
    BOOL OnInitDialog() override {
        // The range lives in the control; DDX_Scroll then loads the position.
        ::SetScrollRange(::GetDlgItem(m_hWnd, kSlider), SB_CTL, 0, 7, FALSE);
        CDialog::OnInitDialog();
        slider.pos = slider.GetScrollPos();
        for (const char* n : kNames) {
            list.AddString(n);
            combo.AddString(n);
        }
        ::SetScrollRange(::GetDlgItem(m_hWnd, kScroll), SB_CTL, 0, 20, TRUE);
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (lParam && HIWORD(wParam) != BN_CLICKED) notes.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    bool Noted(int id, UINT code) const {
        return std::find(notes.begin(), notes.end(), std::make_pair(id, code)) != notes.end();
    }

protected:
    afx_msg LRESULT OnSliderMessage(WPARAM wParam, LPARAM) {
        sliderMessages.emplace_back(GetCurrentMessage()->message, wParam);
        return 0;
    }
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
        if (bar && bar->GetDlgCtrlID() == kScroll) {
            scrolls.emplace_back(code, static_cast<int>(pos));
            if (code == SB_LINERIGHT) bar->SetScrollPos(bar->GetScrollPos() + 1);
            if (code == SB_THUMBPOSITION) bar->SetScrollPos(static_cast<int>(pos));
        }
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ControlsDialog, CDialog)
    ON_MESSAGE(kMsgUpDown, OnSliderMessage)
    ON_MESSAGE(kMsgFocus, OnSliderMessage)
    ON_MESSAGE(kMsgPosition, OnSliderMessage)
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

class Controls : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        plat::RegisterDialogTemplates(kTemplates);
    }
    static std::vector<std::string> Rows(HWND list) {
        std::vector<std::string> rows;
        for (const plat::ControlState& c : plat::DescribeDialog(GetParent(list)))
            if (c.hwnd == list) rows = c.items;
        return rows;
    }
    // The screen point of a list row's middle.
    static POINT RowPoint(HWND list, int row) {
        RECT r;
        SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(list, &p);
        return p;
    }
    void Finish(ControlsDialog& dlg, uint64_t dt) {
        Later(dt, [] { PostMessage(plat::ActiveDialog(), WM_COMMAND, IDCANCEL, 0); });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
};

// Each control registers its wrapper with its window class: FromHandle's temporary objects are
// of that class (whatever case the class name is given in), other windows get a plain CWnd, and
// the temporaries go at idle time.
TEST_F(Controls, TemporaryObjectsAreTheWrapperEachControlRegistered) {
    struct Case {
        const char* windowClass;
        CRuntimeClass* wrapper;
    };
    const Case cases[] = {{"BUTTON", RUNTIME_CLASS(CButton)},     {"Edit", RUNTIME_CLASS(CEdit)},
                          {"static", RUNTIME_CLASS(CStatic)},     {"LISTBOX", RUNTIME_CLASS(CListBox)},
                          {"ComboBox", RUNTIME_CLASS(CComboBox)}, {"SCROLLBAR", RUNTIME_CLASS(CScrollBar)},
                          {"#32770", RUNTIME_CLASS(CWnd)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.windowClass);
        HWND h = CreateWindow(c.windowClass, "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(CWnd::FromHandle(h)->GetRuntimeClass(), c.wrapper);
        DestroyWindow(h);
    }
    HWND button = CreateWindow("BUTTON", "Knapp", WS_POPUP | BS_AUTOCHECKBOX, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    CWnd* temp = CWnd::FromHandle(button);
    ASSERT_NE(dynamic_cast<CButton*>(temp), nullptr);
    EXPECT_EQ(CWnd::FromHandle(button), temp);
    static_cast<CButton*>(temp)->SetCheck(1);
    EXPECT_EQ(SendMessage(button, BM_GETCHECK, 0, 0), 1);
    CWinApp app;
    app.OnIdle(0);
    app.OnIdle(1);  // the second idle call frees them
    CWnd* fresh = CWnd::FromHandle(button);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->m_hWnd, button);
    DestroyWindow(button);
}

TEST_F(Controls, ListBoxSortsSwedishAndFindsWithoutRegardToCase) {
    ControlsDialog dlg;
    Later(10, [&] {
        CListBox& list = dlg.list;
        EXPECT_EQ(Rows(list.m_hWnd), (std::vector<std::string>{"Anna", "Zeta", "\xC5sa", "\xD6rjan"}));
        EXPECT_EQ(list.FindStringExact(-1, "ANNA"), 0);
        EXPECT_EQ(list.FindStringExact(-1, "Ann"), LB_ERR);
        EXPECT_EQ(list.FindString(-1, "\xF6R"), 3);  // "ör" finds "Örjan"
        EXPECT_EQ(list.FindString(3, "a"), 0);         // searches on from the row after, wrapping
        EXPECT_EQ(list.FindString(-1, "x"), LB_ERR);
        EXPECT_EQ(list.SelectString(-1, "\xE5"), 2);
        EXPECT_EQ(list.GetCurSel(), 2);
        // An unsorted insert goes where it is told; deleting moves the selection with it.
        EXPECT_EQ(list.InsertString(0, "Bo"), 0);
        EXPECT_EQ(list.GetCurSel(), 3);
        EXPECT_EQ(list.DeleteString(0), 4);
        CString text;
        list.GetText(list.GetCurSel(), text);
        EXPECT_EQ(text, "\xC5sa");
        // Equal texts keep the order they came in.
        EXPECT_EQ(list.AddString("anna"), 1);
        list.DeleteString(1);
    });
    Finish(dlg, 20);
}

TEST_F(Controls, ListBoxTakesClicksDoubleClicksKeysAndScrolls) {
    ControlsDialog dlg;
    Later(10, [&] { ClickAt(1, RowPoint(dlg.list.m_hWnd, 1)); });
    Later(20, [&] {
        EXPECT_EQ(dlg.list.GetCurSel(), 1);
        EXPECT_TRUE(dlg.Noted(kList, LBN_SELCHANGE));
        EXPECT_EQ(GetFocus(), dlg.list.m_hWnd);
        const POINT p = RowPoint(dlg.list.m_hWnd, 2);
        ClickAt(1, p);
        ClickAt(100, p);
    });
    Later(200, [&] {
        EXPECT_EQ(dlg.list.GetCurSel(), 2);
        EXPECT_TRUE(dlg.Noted(kList, LBN_DBLCLK));
        dlg.notes.clear();
    });
    Key(210, VK_HOME);
    Later(215, [&] { EXPECT_EQ(dlg.list.GetCurSel(), 0); });
    Type(220, "z");
    Later(225, [&] {
        EXPECT_EQ(dlg.list.GetCurSel(), 1);
        EXPECT_TRUE(dlg.Noted(kList, LBN_SELCHANGE));
        for (int i = 0; i < 20; ++i) dlg.list.AddString(("Namn " + std::to_string(i)).c_str());
    });
    Key(230, VK_END);
    Later(240, [&] {
        const int last = dlg.list.GetCount() - 1;
        EXPECT_EQ(dlg.list.GetCurSel(), last);
        EXPECT_GT(dlg.list.GetTopIndex(), 0);  // scrolled to show the last row
        dlg.list.SetTopIndex(0);
        // The scroll bar's down arrow moves the rows up.
        RECT r;
        GetWindowRect(dlg.list.m_hWnd, &r);
        ClickAt(1, POINT{r.right - 6, r.bottom - 6});
    });
    Later(250, [&] { EXPECT_EQ(dlg.list.GetTopIndex(), 1); });
    Finish(dlg, 260);
}

TEST_F(Controls, DropDownListFindsByPrefixAndChoosesFromItsList) {
    ControlsDialog dlg;
    Later(10, [&] {
        CComboBox& combo = dlg.combo;
        EXPECT_EQ(combo.FindString(-1, "z"), 1);
        EXPECT_EQ(combo.FindString(-1, "\xE5S"), 2);  // "åS" finds "Åsa"
        EXPECT_EQ(combo.FindStringExact(-1, "zeta"), 1);
        EXPECT_EQ(combo.SelectString(-1, "\xD6"), 3);
        CString text;
        combo.GetWindowText(text);
        EXPECT_EQ(text, "\xD6rjan");
        combo.SetFocus();
    });
    // A letter chooses the next item beginning with it; Up moves one back.
    Type(20, "a");
    Later(25, [&] {
        EXPECT_EQ(dlg.combo.GetCurSel(), 0);
        EXPECT_TRUE(dlg.Noted(kCombo, CBN_SELCHANGE));
        dlg.notes.clear();
    });
    // A click drops the list below the box; a click on a row chooses it.
    ClickItem(30, kCombo);
    Later(40, [&] {
        EXPECT_TRUE(dlg.combo.GetDroppedState());
        EXPECT_TRUE(dlg.Noted(kCombo, CBN_DROPDOWN));
        RECT box, dropped;
        dlg.combo.GetWindowRect(&box);
        HWND list = nullptr;
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
            if (IsWindowVisible(w) && plat::dlg::ClassOf(w) == plat::dlg::ToUpperName(plat::dlg::kComboListClass)) list = w;
        ASSERT_NE(list, nullptr);
        GetWindowRect(list, &dropped);
        EXPECT_EQ(dropped.top, box.bottom);
        EXPECT_EQ(dropped.left, box.left);
        ClickAt(1, RowPoint(list, 3));
    });
    Later(50, [&] {
        EXPECT_FALSE(dlg.combo.GetDroppedState());
        EXPECT_EQ(dlg.combo.GetCurSel(), 3);
        EXPECT_TRUE(dlg.Noted(kCombo, CBN_SELCHANGE));
        EXPECT_TRUE(dlg.Noted(kCombo, CBN_CLOSEUP));
        dlg.notes.clear();
    });
    // F4 drops it, Down moves in the list, Escape puts the old choice back.
    Key(60, VK_F4);
    Key(70, VK_DOWN);
    Later(75, [&] { EXPECT_TRUE(dlg.combo.GetDroppedState()); });
    Key(80, VK_ESCAPE);
    Later(90, [&] {
        EXPECT_TRUE(IsWindow(plat::ActiveDialog()));  // Escape closed the list, not the dialog
        EXPECT_FALSE(dlg.combo.GetDroppedState());
        EXPECT_EQ(dlg.combo.GetCurSel(), 3);
        EXPECT_FALSE(dlg.Noted(kCombo, CBN_SELCHANGE));
    });
    Finish(dlg, 100);
}

TEST_F(Controls, EditFilterDropsDigitsAlsoWhenPasted) {
    ControlsDialog dlg;
    Later(10, [&] {
        dlg.edit.SetFocus();
        dlg.edit.SetWindowText("");
        dlg.notes.clear();
    });
    Type(20, "a1b2c");
    Later(30, [&] {
        CString text;
        dlg.edit.GetWindowText(text);
        EXPECT_EQ(text, "abc");
        EXPECT_EQ(dlg.edit.seen, 5);
        plat::dlg::SetClipboardText("x9y");
        dlg.notes.clear();
    });
    KeyWith(40, VK_CONTROL, 'V', 0x16);
    Later(50, [&] {
        CString text;
        dlg.edit.GetWindowText(text);
        EXPECT_EQ(text, "abcxy");
        // One change notification for the whole paste.
        EXPECT_EQ(std::count(dlg.notes.begin(), dlg.notes.end(), std::make_pair(kEdit, EN_CHANGE)), 1);
        dlg.edit.SetSel(0, 1);
    });
    KeyWith(60, VK_SHIFT, VK_INSERT);  // the other paste key, over a selection
    Later(70, [&] {
        CString text;
        dlg.edit.GetWindowText(text);
        EXPECT_EQ(text, "xybcxy");
        int start = -1, end = -1;
        dlg.edit.GetSel(start, end);
        EXPECT_EQ(start, 2);
        EXPECT_EQ(end, 2);
        // The limit holds for typing and pasting alike.
        dlg.edit.LimitText(7);
        dlg.notes.clear();
    });
    Type(80, "q");
    KeyWith(90, VK_CONTROL, 'V', 0x16);
    Later(100, [&] {
        CString text;
        dlg.edit.GetWindowText(text);
        EXPECT_EQ(text, "xyqbcxy");
        EXPECT_TRUE(dlg.Noted(kEdit, EN_MAXTEXT));
    });
    Key(110, VK_BACK, '\b');
    KeyWith(120, VK_SHIFT, VK_HOME);
    Type(125, "Z");
    Later(130, [&] {
        CString text;
        dlg.edit.GetWindowText(text);
        EXPECT_EQ(text, "Zbcxy");
    });
    Finish(dlg, 140);
}

TEST_F(Controls, SliderOfTheProgramGetsCaptureFocusKeysAndEnableChanges) {
    ControlsDialog dlg;
    dlg.sliderValue = 2;
    Later(10, [&] {
        EXPECT_EQ(dlg.slider.pos, 2);  // DDX_Scroll loaded the control's position
        EXPECT_GT(dlg.slider.paints, 0);
        // Press on the slider, drag out of it to the right, release.
        RECT r;
        dlg.slider.GetWindowRect(&r);
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseDown;
        ev.x = r.left + 2;
        ev.y = (r.top + r.bottom) / 2;
        m_head->QueueInput(At(1), ev);
        ev.kind = plat::InputKind::MouseMove;
        ev.x = r.right + 40;
        ev.y = r.bottom + 30;
        m_head->QueueInput(At(2), ev);
        ev.kind = plat::InputKind::MouseUp;
        m_head->QueueInput(At(3), ev);
    });
    Later(20, [&] {
        EXPECT_EQ(GetFocus(), dlg.slider.m_hWnd);
        EXPECT_EQ(dlg.slider.movesWhileCaptured, 1);
        EXPECT_EQ(dlg.slider.pos, 7);
        EXPECT_EQ(GetCapture(), nullptr);
        ASSERT_EQ(dlg.sliderMessages.size(), 2u);
        EXPECT_EQ(dlg.sliderMessages[0].first, kMsgFocus);
        EXPECT_EQ(dlg.sliderMessages[1], std::make_pair(kMsgPosition, WPARAM(7)));
        dlg.sliderMessages.clear();
    });
    Key(30, VK_LEFT);
    Key(35, VK_UP);  // the slider wants arrows: Up is its own, not the dialog's
    Later(40, [&] {
        EXPECT_EQ(dlg.slider.pos, 6);
        EXPECT_EQ(GetFocus(), dlg.slider.m_hWnd);
        ASSERT_EQ(dlg.sliderMessages.size(), 1u);
        EXPECT_EQ(dlg.sliderMessages[0].first, kMsgUpDown);
        // Tab leaves it and comes back round to it.
        SetFocus(::GetDlgItem(dlg.m_hWnd, kAfter));
        dlg.sliderMessages.clear();
    });
    KeyWith(50, VK_SHIFT, VK_TAB, '\t');
    Later(60, [&] {
        EXPECT_EQ(GetFocus(), dlg.slider.m_hWnd);
        ASSERT_EQ(dlg.sliderMessages.size(), 1u);
        EXPECT_EQ(dlg.sliderMessages[0].first, kMsgFocus);
        dlg.slider.EnableWindow(FALSE);
        EXPECT_EQ(dlg.slider.enables, (std::vector<BOOL>{FALSE}));
        EXPECT_NE(GetFocus(), dlg.slider.m_hWnd);
        dlg.slider.EnableWindow(TRUE);
        EXPECT_EQ(dlg.slider.enables, (std::vector<BOOL>{FALSE, TRUE}));
    });
    ClickItem(70, IDOK);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.sliderValue, 6);  // DDX_Scroll stored what the slider set
}

TEST_F(Controls, ScrollBarSendsLinesAndThumbToItsParent) {
    ControlsDialog dlg;
    Later(10, [&] {
        HWND bar = ::GetDlgItem(dlg.m_hWnd, kScroll);
        RECT r;
        GetWindowRect(bar, &r);
        ClickAt(1, POINT{r.right - 4, (r.top + r.bottom) / 2});  // the right arrow
    });
    Later(20, [&] {
        HWND bar = ::GetDlgItem(dlg.m_hWnd, kScroll);
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
        ASSERT_GE(dlg.scrolls.size(), 2u);
        EXPECT_EQ(dlg.scrolls.front().first, SB_LINERIGHT);
        EXPECT_EQ(dlg.scrolls.back().first, SB_ENDSCROLL);
        dlg.scrolls.clear();
        // Drag the thumb to the far right.
        SCROLLINFO info;
        info.fMask = SIF_ALL;
        GetScrollInfo(bar, SB_CTL, &info);
        EXPECT_EQ(info.nMax, 20);
        RECT r;
        GetWindowRect(bar, &r);
        const int height = r.bottom - r.top;
        const int thumbX = r.left + height + (r.right - r.left - 3 * height) * 1 / 20 + height / 2;
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseDown;
        ev.x = thumbX;
        ev.y = (r.top + r.bottom) / 2;
        m_head->QueueInput(At(1), ev);
        ev.kind = plat::InputKind::MouseMove;
        ev.x = r.right + 50;
        m_head->QueueInput(At(2), ev);
        ev.kind = plat::InputKind::MouseUp;
        m_head->QueueInput(At(3), ev);
    });
    Later(30, [&] {
        HWND bar = ::GetDlgItem(dlg.m_hWnd, kScroll);
        ASSERT_FALSE(dlg.scrolls.empty());
        EXPECT_EQ(dlg.scrolls.front(), std::make_pair(static_cast<UINT>(SB_THUMBTRACK), 20));
        EXPECT_NE(std::find(dlg.scrolls.begin(), dlg.scrolls.end(), std::make_pair(static_cast<UINT>(SB_THUMBPOSITION), 20)),
                  dlg.scrolls.end());
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), 20);
    });
    Finish(dlg, 40);
}

}  // namespace
