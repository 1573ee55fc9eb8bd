// Property sheets: pages made when first shown, tabs by click and Ctrl+Tab, the standard
// buttons hidden and replaced, end codes, WM_DESTROY while the pages are still there.
#include "platform/dialogs/dialogs_test_support.h"

namespace {

using dialogs_test::CheckGolden;
using dialogs_test::DialogsTest;

constexpr UINT kPageA = 701, kPageB = 702, kPageC = 703;
constexpr int kCheckA = 1100;
constexpr int kEditB = 1200;
constexpr int kListC = 1300;
constexpr int kQuit = 1134;
constexpr int kPlay = 1;

const plat::DialogItem kItemsA[] = {
    plat::GroupBox(u8"Ljudvolym", -1, 7, 7, 150, 40),
    plat::AutoRadioButton(u8"Använd systemvolym", 1101, 14, 19, 100, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"Egen", 1102, 14, 31, 100, 10),
    plat::AutoCheckBox(u8"&Spara", kCheckA, 14, 54, 100, 10),
};
const plat::DialogItem kItemsB[] = {
    plat::LText(u8"Namn:", -1, 7, 9, 30, 8),
    plat::EditText(kEditB, 40, 7, 100, 12, ES_AUTOHSCROLL),
};
const plat::DialogItem kItemsC[] = {
    plat::ListBox(kListC, 7, 7, 150, 60, WS_VSCROLL | LBS_SORT | WS_TABSTOP),
    plat::PushButton(u8"Ta &bort", 1301, 170, 7, 50, 14),
};
constexpr DWORD kPageStyle = WS_CHILD | WS_CAPTION | DS_CONTROL;
const plat::DialogTemplate kPages[] = {
    {kPageA, 0, 0, 240, 90, kPageStyle, u8"Inställningar", kItemsA},
    {kPageB, 0, 0, 240, 80, kPageStyle, u8"Inställningsrader", kItemsB},
    {kPageC, 0, 0, 240, 100, kPageStyle, u8"Användare", kItemsC},
};

class CountingPage : public CPropertyPage {
public:
    explicit CountingPage(UINT id) : CPropertyPage(id) {}
    int inits = 0;
    int activations = 0;
    int kills = 0;
    int oks = 0;
    bool refuseLeaving = false;
    BOOL OnInitDialog() override {
        ++inits;
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override {
        ++activations;
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override {
        ++kills;
        return refuseLeaving ? FALSE : CPropertyPage::OnKillActive();
    }
    void OnOK() override { ++oks; }
};

class SheetA : public CountingPage {
public:
    SheetA() : CountingPage(kPageA) {}
    int save = 1;
    void DoDataExchange(CDataExchange* dx) override { DDX_Check(dx, kCheckA, save); }
};

class SheetB : public CountingPage {
public:
    SheetB() : CountingPage(kPageB) {}
    CString name = "G\xE4st";
    void DoDataExchange(CDataExchange* dx) override { DDX_Text(dx, kEditB, name); }
};

// Hides the standard buttons and adds its own, as the grown-ups' sheet does.
class TestSheet : public CPropertySheet {
public:
    TestSheet() : CPropertySheet("Vuxenavdelning") {
        AddPage(&a);
        AddPage(&b);
        AddPage(&c);
    }
    SheetA a;
    SheetB b;
    CountingPage c{kPageC};
    bool customButtons = false;
    // What WM_DESTROY found: the pages' windows, and a value read from a page's control.
    std::vector<bool> pagesAtDestroy;
    CString nameAtDestroy;

    BOOL OnInitDialog() override {
        const BOOL r = CPropertySheet::OnInitDialog();
        if (!customButtons) return r;
        for (int id : {int(IDOK), int(IDCANCEL), int(ID_APPLY_NOW), int(ID_HELP)})
            if (CWnd* w = GetDlgItem(id)) w->ShowWindow(SW_HIDE);
        CRect rect;
        GetWindowRect(&rect);
        SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height() + 27, SWP_NOZORDER | SWP_NOACTIVATE);
        CRect client;
        GetClientRect(&client);
        m_quit.Create("Avsluta", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP,
                      CRect(8, client.bottom - 31, 88, client.bottom - 8), this, kQuit);
        m_play.Create("Spela", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON,
                      CRect(client.right - 88, client.bottom - 31, client.right - 8, client.bottom - 8), this, kPlay);
        m_quit.SetFont(GetFont());
        m_play.SetFont(GetFont());
        CenterWindow();
        return r;
    }

protected:
    afx_msg void OnPlay() { EndDialog(kPlay); }
    afx_msg void OnQuit() { EndDialog(kQuit); }
    afx_msg void OnDestroy() {
        for (CPropertyPage* p : {static_cast<CPropertyPage*>(&a), static_cast<CPropertyPage*>(&b),
                                 static_cast<CPropertyPage*>(&c)})
            pagesAtDestroy.push_back(p->m_hWnd && IsWindow(p->m_hWnd));
        if (b.m_hWnd) b.UpdateData(TRUE);
        nameAtDestroy = b.name;
        CPropertySheet::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()

    CButton m_quit;
    CButton m_play;
};
BEGIN_MESSAGE_MAP(TestSheet, CPropertySheet)
    ON_COMMAND(kPlay, OnPlay)
    ON_COMMAND(kQuit, OnQuit)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

// The standard buttons only.
class PlainSheet : public CPropertySheet {
public:
    PlainSheet() : CPropertySheet("Vuxenavdelning") {
        AddPage(&a);
        AddPage(&b);
        AddPage(&c);
    }
    SheetA a;
    SheetB b;
    CountingPage c{kPageC};
};

class Sheets : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        plat::RegisterDialogTemplates(kPages);
    }
    // The screen point of tab i.
    static POINT TabPoint(CPropertySheet& sheet, int i) {
        CWnd* tab = sheet.GetTabControl();
        RECT r{};
        tab->SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        tab->ClientToScreen(&p);
        return p;
    }
};

TEST_F(Sheets, PagesAreMadeWhenFirstShownAndEndWithTheCustomCode) {
    TestSheet sheet;
    sheet.customButtons = true;
    Later(10, [&] {
        EXPECT_NE(sheet.a.m_hWnd, nullptr);
        EXPECT_EQ(sheet.b.m_hWnd, nullptr);
        EXPECT_EQ(sheet.c.m_hWnd, nullptr);
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(sheet.m_hWnd, IDCANCEL)));
        ClickAt(1, TabPoint(sheet, 2));
    });
    Later(20, [&] {
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        EXPECT_NE(sheet.c.m_hWnd, nullptr);
        EXPECT_EQ(sheet.b.m_hWnd, nullptr);
        EXPECT_FALSE(::IsWindowVisible(sheet.a.m_hWnd));
        EXPECT_TRUE(::IsWindowVisible(sheet.c.m_hWnd));
    });
    KeyWith(30, VK_CONTROL, VK_TAB, '\t');  // round to the first page
    KeyWith(40, VK_CONTROL, VK_TAB, '\t');
    Later(50, [&] {
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        EXPECT_NE(sheet.b.m_hWnd, nullptr);
        sheet.b.SetDlgItemText(kEditB, "Zeta");
    });
    ClickItem(60, kQuit);
    EXPECT_EQ(sheet.DoModal(), kQuit);
    EXPECT_EQ(sheet.a.inits, 1);
    EXPECT_EQ(sheet.b.inits, 1);
    EXPECT_EQ(sheet.c.inits, 1);
    EXPECT_EQ(sheet.a.activations, 2);
    // WM_DESTROY of the sheet came while every page made still had its window.
    EXPECT_EQ(sheet.pagesAtDestroy, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(sheet.nameAtDestroy, "Zeta");
    EXPECT_EQ(sheet.b.m_hWnd, nullptr);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
}

TEST_F(Sheets, EnterPressesTheSheetsOwnDefaultButton) {
    TestSheet sheet;
    sheet.customButtons = true;
    Later(10, [&] { sheet.a.GetDlgItem(kCheckA)->SetFocus(); });
    Key(20, VK_RETURN, '\r');
    EXPECT_EQ(sheet.DoModal(), kPlay);
    EXPECT_EQ(sheet.pagesAtDestroy, (std::vector<bool>{true, false, false}));
}

TEST_F(Sheets, StandardButtonsApplyEveryMadePageOrCancel) {
    {
        PlainSheet sheet;
        Later(10, [&] {
            // A page that refuses to go keeps the tabs where they are.
            sheet.a.refuseLeaving = true;
            ClickAt(1, TabPoint(sheet, 1));
        });
        Later(20, [&] {
            EXPECT_EQ(sheet.GetActiveIndex(), 0);
            EXPECT_EQ(sheet.b.m_hWnd, nullptr);
            sheet.a.refuseLeaving = false;
            sheet.a.CheckDlgButton(kCheckA, BST_UNCHECKED);
            sheet.SetActivePage(1);
        });
        ClickItem(30, IDOK);
        EXPECT_EQ(sheet.DoModal(), IDOK);
        EXPECT_EQ(sheet.a.oks, 1);
        EXPECT_EQ(sheet.b.oks, 1);
        EXPECT_EQ(sheet.c.oks, 0);
        EXPECT_EQ(sheet.a.save, 0);  // stored when it was left
    }
    Drain();
    {
        PlainSheet sheet;
        Key(10, VK_ESCAPE, 0x1B);
        EXPECT_EQ(sheet.DoModal(), IDCANCEL);
        EXPECT_EQ(sheet.a.oks, 0);
    }
}

TEST_F(Sheets, TabOrderRunsThroughTheTabsThePageAndTheButtons) {
    PlainSheet sheet;
    std::vector<int> seen;
    Later(10, [&] { SetFocus(sheet.GetTabControl()->m_hWnd); });
    for (int i = 0; i < 5; ++i) {
        Key(20 + i * 10, VK_TAB, '\t');
        Later(25 + i * 10, [&] { seen.push_back(GetDlgCtrlID(GetFocus())); });
    }
    Key(100, VK_ESCAPE);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(seen, (std::vector<int>{1101, kCheckA, IDOK, IDCANCEL, static_cast<int>(AFX_IDC_TAB_CONTROL)}));
}

TEST_F(Sheets, GoldenThreePageSheet) {
    PlainSheet sheet;
    Later(10, [&] {
        sheet.SetActivePage(2);
        sheet.c.SendDlgItemMessage(kListC, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("G\xE4st"));
        sheet.c.SendDlgItemMessage(kListC, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Anna"));
        sheet.c.SendDlgItemMessage(kListC, LB_SETCURSEL, 0);
        SetFocus(sheet.GetTabControl()->m_hWnd);
    });
    Later(30, [] { CheckGolden("property_sheet.png"); });
    Key(40, VK_ESCAPE);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

}  // namespace
