// Hand check of the dialogs on a real or virtual display: a dialog with every kind of
// control, then a sheet of three pages, then the file dialog. Use them with the mouse and
// keys; Escape goes on to the next.
//
//   platform_dialogs_check            until each is closed
//   platform_dialogs_check --seconds N each closes itself after N seconds (for screenshots)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backends/init.h"
#include "platform/dialogs/afx_dialogs.h"
#include "platform/strings/cp1252.h"

namespace {

int g_seconds = 0;
constexpr UINT_PTR kCloseTimer = 77;

const plat::DialogItem kEveryItems[] = {
    plat::GroupBox(u8"Ljudvolym", -1, 7, 4, 120, 56),
    plat::AutoRadioButton(u8"Använd &systemvolym", 1032, 14, 16, 104, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"Egen volym", 1033, 14, 28, 104, 10),
    plat::ScrollBar(1007, 14, 44, 106, 10, WS_TABSTOP),
    plat::GroupBox(u8"Val", -1, 133, 4, 120, 56),
    plat::AutoCheckBox(u8"S&para inställningar", 1009, 140, 16, 108, 10),
    plat::AutoCheckBox(u8"Tillåt barn", 1011, 140, 28, 108, 10),
    plat::LText(u8"&Namn:", -1, 7, 68, 30, 8),
    plat::EditText(1152, 40, 66, 87, 12, ES_AUTOHSCROLL),
    plat::LText(u8"Aktuell användare:", -1, 133, 68, 70, 8),
    plat::ComboBox(1085, 133, 78, 120, 60, WS_VSCROLL | CBS_SORT),
    plat::ListBox(1063, 7, 84, 120, 44, WS_VSCROLL | LBS_SORT | LBS_DISABLENOSCROLL),
    plat::DefPushButton(u8"&OK", IDOK, 93, 134, 50, 14),
    plat::PushButton(u8"&Avbryt", IDCANCEL, 148, 134, 50, 14),
    plat::PushButton(u8"&Hjälp", 9, 203, 134, 50, 14, WS_DISABLED),
};
const plat::DialogItem kPageItems[] = {
    plat::ListBox(1300, 7, 7, 150, 60, WS_VSCROLL | LBS_SORT | WS_TABSTOP),
    plat::PushButton(u8"Ta &bort", 1301, 170, 7, 50, 14),
    plat::AutoCheckBox(u8"Låt nya användare l&ägga till sig själva", 1058, 7, 76, 200, 10),
};
constexpr DWORD kPage = WS_CHILD | WS_CAPTION | DS_CONTROL;
const plat::DialogTemplate kTemplates[] = {
    {300, 0, 0, 260, 154, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Alla kontroller", kEveryItems},
    {701, 0, 0, 240, 100, kPage, u8"Inställningar", kPageItems},
    {702, 0, 0, 240, 100, kPage, u8"Inställningsrader", kPageItems},
    {703, 0, 0, 240, 100, kPage, u8"Användare", kPageItems},
};

class Every : public CDialog {
public:
    Every() : CDialog(300) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CheckRadioButton(1032, 1033, 1032);
        SetDlgItemText(1152, "G\xE4st");
        for (const char* n : {"Zeta", "\xC5sa", "Anna", "\xD6rjan"}) {
            SendDlgItemMessage(1063, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
            SendDlgItemMessage(1085, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n));
        }
        SendDlgItemMessage(1085, CB_SETCURSEL, 0);
        ::SetScrollRange(::GetDlgItem(m_hWnd, 1007), SB_CTL, 0, 7, TRUE);
        if (g_seconds) SetTimer(kCloseTimer, static_cast<UINT>(g_seconds) * 1000, nullptr);
        return TRUE;
    }

protected:
    afx_msg void OnTimer(UINT_PTR) { EndDialog(IDCANCEL); }
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar) {
        int p = bar->GetScrollPos();
        if (code == SB_LINELEFT) --p;
        if (code == SB_LINERIGHT) ++p;
        if (code == SB_PAGELEFT) p -= 2;
        if (code == SB_PAGERIGHT) p += 2;
        if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) p = static_cast<int>(pos);
        bar->SetScrollPos(p);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Every, CDialog)
    ON_WM_TIMER()
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

class Sheet : public CPropertySheet {
public:
    Sheet() : CPropertySheet("Vuxenavdelning") {
        AddPage(&a);
        AddPage(&b);
        AddPage(&c);
    }
    CPropertyPage a{701}, b{702}, c{703};
    BOOL OnInitDialog() override {
        CPropertySheet::OnInitDialog();
        if (g_seconds) SetTimer(kCloseTimer, static_cast<UINT>(g_seconds) * 1000, nullptr);
        return TRUE;
    }

protected:
    afx_msg void OnTimer(UINT_PTR) { EndDialog(IDCANCEL); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Sheet, CPropertySheet)
    ON_WM_TIMER()
END_MESSAGE_MAP()

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--seconds") == 0) g_seconds = std::atoi(argv[i + 1]);
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    plat::InstallMessageBoxes("Kontroll");
    plat::InstallDialogs();
    plat::RegisterDialogTemplates(kTemplates);
    Every every;
    every.DoModal();
    Sheet sheet;
    sheet.DoModal();
    if (!g_seconds) {
        CFileDialog files(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, "Alla filer (*.*)|*.*||");
        if (files.DoModal() == IDOK) std::printf("%s\n", plat::Cp1252ToUtf8(files.GetPathName().Str()).c_str());
    }
    return 0;
}
