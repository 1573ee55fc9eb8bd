// Golden images: a dialog with every kind of control, and a sheet of three pages.
#include "platform/dialogs/dialogs_test_support.h"

namespace {

using dialogs_test::CheckGolden;
using dialogs_test::DialogsTest;

constexpr UINT kEveryControl = 300;

// A custom control of the program's own: a bar in three colours.
LRESULT CALLBACK SwatchProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        const int third = rc.right / 3;
        plat::FillSolid(dc, RECT{0, 0, third, rc.bottom}, RGB(255, 0, 0));
        plat::FillSolid(dc, RECT{third, 0, 2 * third, rc.bottom}, RGB(0, 128, 0));
        plat::FillSolid(dc, RECT{2 * third, 0, rc.right, rc.bottom}, RGB(0, 0, 255));
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

const plat::DialogItem kEveryItems[] = {
    plat::GroupBox(u8"Ljudvolym", -1, 7, 4, 120, 56),
    plat::Icon(149, -1, 14, 18),
    plat::AutoRadioButton(u8"Använd &systemvolym", 1032, 40, 18, 84, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"Egen volym", 1033, 40, 30, 84, 10),
    plat::ScrollBar(1007, 14, 44, 106, 10, WS_TABSTOP),
    plat::GroupBox(u8"Val", -1, 133, 4, 120, 56),
    plat::AutoCheckBox(u8"&Spara inställningar", 1009, 140, 16, 108, 10),
    plat::AutoCheckBox(u8"Tillåt barn", 1011, 140, 28, 108, 10),
    plat::AutoCheckBox(u8"Avstängd", 1012, 140, 40, 108, 10, 0, 0),
    plat::LText(u8"&Namn:", -1, 7, 68, 30, 8),
    plat::EditText(1152, 40, 66, 87, 12, ES_AUTOHSCROLL),
    plat::LText(u8"Aktuell användare:", -1, 133, 68, 70, 8),
    plat::ComboBox(1085, 133, 78, 120, 60, WS_VSCROLL | CBS_SORT),
    plat::ListBox(1063, 7, 84, 120, 44, WS_VSCROLL | LBS_SORT | LBS_DISABLENOSCROLL),
    plat::Control(nullptr, 1200, "GoldenSwatch", WS_VISIBLE, 133, 96, 120, 12),
    plat::CText(u8"Ett centrerat textfält", -1, 133, 112, 120, 8),
    plat::DefPushButton(u8"&OK", IDOK, 93, 134, 50, 14),
    plat::PushButton(u8"&Avbryt", IDCANCEL, 148, 134, 50, 14),
    plat::PushButton(u8"&Hjälp", 9, 203, 134, 50, 14, WS_DISABLED),
};
const plat::DialogTemplate kEveryTemplate{kEveryControl, 0, 0, 260, 154,
                                          DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Alla kontroller",
                                          kEveryItems};

class EveryControlDialog : public CDialog {
public:
    EveryControlDialog() : CDialog(kEveryControl) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CheckRadioButton(1032, 1033, 1033);
        CheckDlgButton(1009, BST_CHECKED);
        GetDlgItem(1012)->EnableWindow(FALSE);
        SetDlgItemText(1152, "G\xE4st");
        for (const char* n : {"Zeta", "\xC5sa", "Anna", "\xD6rjan"}) {
            SendDlgItemMessage(1063, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
            SendDlgItemMessage(1085, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
        }
        SendDlgItemMessage(1063, LB_SETCURSEL, 1);
        SendDlgItemMessage(1085, CB_SETCURSEL, 2);
        ::SetScrollRange(GetDlgItem(1007)->m_hWnd, SB_CTL, 0, 7, FALSE);
        ::SetScrollPos(GetDlgItem(1007)->m_hWnd, SB_CTL, 3, TRUE);
        return TRUE;
    }
};

class Golden : public DialogsTest {};

TEST_F(Golden, DialogWithEveryControl) {
    WNDCLASS wc;
    wc.lpfnWndProc = SwatchProc;
    wc.lpszClassName = "GoldenSwatch";
    RegisterClass(&wc);
    plat::RegisterDialogTemplates(std::span(&kEveryTemplate, 1));
    plat::RegisterIconResource(149, plat::PixelArt({"    KKKKKKKK    ", "  KKYYYYYYYYKK  ", " KYYYYYYYYYYYYK ",
                                                    "KYYYKKYYYYKKYYYK", "KYYYKKYYYYKKYYYK", "KYYYYYYYYYYYYYYK",
                                                    "KYYKYYYYYYYYKYYK", " KYYKKKKKKKKYYK ", "  KKYYYYYYYYKK  ",
                                                    "    KKKKKKKK    "},
                                                   {{'K', RGB(0, 0, 0)}, {'Y', RGB(255, 255, 0)}}));
    EveryControlDialog dlg;
    // The focus on the first check box, then the picture.
    Later(20, [] {
        HWND c = plat::FindDialogItem(plat::ActiveDialog(), 1009);
        SetFocus(c);
    });
    Later(40, [] { CheckGolden("dialog_controls.png"); });
    Key(60, VK_ESCAPE);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

}  // namespace
