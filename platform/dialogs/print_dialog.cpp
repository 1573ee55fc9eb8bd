// Print set-up: the printer list, paper size, orientation and colour, returned as a device
// mode and the driver, device and port names in new memory handles; PrintDlg and CPrintDialog.
#include <algorithm>
#include <cstring>

#include "platform/dialogs/common_dialogs.h"
#include "platform/dialogs/dialogs_internal.h"
#include "platform/dialogs/dialog_manager.h"
#include "platform/strings/cp1252.h"

IMPLEMENT_DYNAMIC(CPrintDialog, CDialog)

namespace {

constexpr int kPrinterBox = 1136;
constexpr int kStatus = 1095;
constexpr int kType = 1096;
constexpr int kWhere = 1097;
constexpr int kPaperBox = 1137;
constexpr int kPortrait = 1056;
constexpr int kLandscape = 1057;
constexpr int kColour = 1058;
constexpr int kMono = 1059;

const plat::DialogItem kSetupItems[] = {
    plat::GroupBox(u8"Skrivare", -1, 7, 4, 266, 62),
    plat::LText(u8"&Namn:", -1, 14, 18, 34, 8),
    plat::ComboBox(kPrinterBox, 50, 16, 214, 100, WS_VSCROLL),
    plat::LText(u8"Status:", -1, 14, 34, 34, 8),
    plat::LText(u8"Klar", kStatus, 50, 34, 200, 8),
    plat::LText(u8"Typ:", -1, 14, 44, 34, 8),
    plat::LText(u8"", kType, 50, 44, 200, 8),
    plat::LText(u8"Plats:", -1, 14, 54, 34, 8),
    plat::LText(u8"", kWhere, 50, 54, 200, 8),
    plat::GroupBox(u8"Papper", -1, 7, 70, 130, 40),
    plat::LText(u8"&Storlek:", -1, 14, 86, 34, 8),
    plat::ComboBox(kPaperBox, 50, 84, 80, 60, WS_VSCROLL),
    plat::GroupBox(u8"Orientering", -1, 143, 70, 130, 40),
    plat::AutoRadioButton(u8"St&ående", kPortrait, 150, 82, 60, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"&Liggande", kLandscape, 150, 94, 60, 10),
    plat::GroupBox(u8"Utskrift", -1, 7, 114, 266, 26),
    plat::AutoRadioButton(u8"&Färg", kColour, 14, 126, 60, 10, WS_GROUP | WS_TABSTOP),
    plat::AutoRadioButton(u8"Svart&vitt", kMono, 80, 126, 60, 10),
    plat::DefPushButton(u8"OK", IDOK, 162, 146, 50, 14, WS_GROUP),
    plat::PushButton(u8"Avbryt", IDCANCEL, 223, 146, 50, 14),
};
const plat::DialogTemplate kSetupTemplate{
    0, 0, 0, 280, 167, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Skrivarinställningar", kSetupItems};

struct SetupState {
    std::vector<plat::PrinterInfo> printers;
    DEVMODE devMode;
    int printer = 0;
    bool setupOnly = true;
};

void ShowPrinter(HWND dlg, const SetupState& st) {
    const plat::PrinterInfo& p = st.printers[static_cast<size_t>(st.printer)];
    SetDlgItemText(dlg, kType, p.spooler ? "Skrivare i utskriftshanteraren" : "Skriver bilder som PNG-filer");
    SetDlgItemText(dlg, kWhere, p.port.c_str());
}

INT_PTR CALLBACK SetupProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* st = reinterpret_cast<SetupState*>(GetWindowLongPtr(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            st = reinterpret_cast<SetupState*>(lParam);
            SetWindowLongPtr(dlg, DWLP_USER, lParam);
            if (!st->setupOnly) SetWindowText(dlg, "Skriv ut");
            for (const plat::PrinterInfo& p : st->printers)
                SendDlgItemMessage(dlg, kPrinterBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.name.c_str()));
            SendDlgItemMessage(dlg, kPrinterBox, CB_SETCURSEL, static_cast<WPARAM>(st->printer), 0);
            SendDlgItemMessage(dlg, kPaperBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("A4"));
            SendDlgItemMessage(dlg, kPaperBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Letter"));
            SendDlgItemMessage(dlg, kPaperBox, CB_SETCURSEL, st->devMode.dmPaperSize == DMPAPER_LETTER ? 1 : 0, 0);
            CheckRadioButton(dlg, kPortrait, kLandscape,
                             st->devMode.dmOrientation == DMORIENT_LANDSCAPE ? kLandscape : kPortrait);
            CheckRadioButton(dlg, kColour, kMono, st->devMode.dmColor == DMCOLOR_MONOCHROME ? kMono : kColour);
            ShowPrinter(dlg, *st);
            return TRUE;
        }
        case WM_COMMAND:
            if (!st) return FALSE;
            if (LOWORD(wParam) == kPrinterBox && HIWORD(wParam) == CBN_SELCHANGE) {
                const LRESULT i = SendDlgItemMessage(dlg, kPrinterBox, CB_GETCURSEL, 0, 0);
                if (i >= 0 && static_cast<size_t>(i) < st->printers.size()) {
                    st->printer = static_cast<int>(i);
                    ShowPrinter(dlg, *st);
                }
                return TRUE;
            }
            if (LOWORD(wParam) == IDOK) {
                DEVMODE& dm = st->devMode;
                const plat::PrinterInfo& p = st->printers[static_cast<size_t>(st->printer)];
                std::memset(dm.dmDeviceName, 0, sizeof(dm.dmDeviceName));
                std::memcpy(dm.dmDeviceName, p.name.data(), std::min<size_t>(p.name.size(), CCHDEVICENAME - 1));
                dm.dmOrientation = IsDlgButtonChecked(dlg, kLandscape) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
                dm.dmPaperSize = SendDlgItemMessage(dlg, kPaperBox, CB_GETCURSEL, 0, 0) == 1 ? DMPAPER_LETTER : DMPAPER_A4;
                dm.dmColor = IsDlgButtonChecked(dlg, kMono) ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
                dm.dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_COLOR;
                EndDialog(dlg, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dlg, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

DEVMODE ReadDevMode(HGLOBAL h, const plat::PrinterInfo& printer) {
    DEVMODE dm = plat::DefaultDevMode(printer);
    if (!h || GlobalSize(h) < offsetof(DEVMODE, dmFields) + sizeof(DWORD)) return dm;
    const auto* p = static_cast<const uint8_t*>(GlobalLock(h));
    if (!p) return dm;
    DEVMODE given;
    std::memcpy(static_cast<void*>(&given), p, std::min(GlobalSize(h), sizeof(DEVMODE)));
    GlobalUnlock(h);
    if (given.dmFields & DM_ORIENTATION) dm.dmOrientation = given.dmOrientation;
    if (given.dmFields & DM_PAPERSIZE) dm.dmPaperSize = given.dmPaperSize;
    if (given.dmFields & DM_COLOR) dm.dmColor = given.dmColor;
    if (given.dmFields & DM_COPIES) dm.dmCopies = given.dmCopies;
    if (given.dmFields & DM_PRINTQUALITY) dm.dmPrintQuality = given.dmPrintQuality;
    if (given.dmFields & DM_YRESOLUTION) dm.dmYResolution = given.dmYResolution;
    return dm;
}

}  // namespace

namespace plat {

HGLOBAL MakeDevModeHandle(const DEVMODE& dm) {
    HGLOBAL h = GlobalAlloc(GHND, sizeof(DEVMODE));
    if (void* p = GlobalLock(h)) {
        std::memcpy(p, &dm, sizeof(DEVMODE));
        GlobalUnlock(h);
    }
    return h;
}

HGLOBAL MakeDevNamesHandle(const PrinterInfo& printer, bool isDefault) {
    const size_t size = sizeof(DEVNAMES) + printer.driver.size() + printer.name.size() + printer.port.size() + 3;
    HGLOBAL h = GlobalAlloc(GHND, size);
    auto* p = static_cast<uint8_t*>(GlobalLock(h));
    if (!p) return h;
    DEVNAMES dn;
    size_t at = sizeof(DEVNAMES);
    auto put = [&](const std::string& s) {
        std::memcpy(p + at, s.c_str(), s.size() + 1);
        const auto offset = static_cast<WORD>(at);
        at += s.size() + 1;
        return offset;
    };
    dn.wDriverOffset = put(printer.driver);
    dn.wDeviceOffset = put(printer.name);
    dn.wOutputOffset = put(printer.port);
    dn.wDefault = isDefault ? DN_DEFAULTPRN : 0;
    std::memcpy(p, &dn, sizeof(dn));
    GlobalUnlock(h);
    return h;
}

bool ReadDevNames(HGLOBAL h, std::string& driver, std::string& device, std::string& port) {
    driver.clear();
    device.clear();
    port.clear();
    const size_t size = GlobalSize(h);
    if (size < sizeof(DEVNAMES)) return false;
    const auto* p = static_cast<const char*>(GlobalLock(h));
    if (!p) return false;
    DEVNAMES dn;
    std::memcpy(&dn, p, sizeof(dn));
    auto get = [&](WORD offset, std::string& out) {
        if (offset < sizeof(DEVNAMES) || offset >= size) return false;
        out.assign(p + offset, strnlen(p + offset, size - offset));
        return true;
    };
    const bool ok = get(dn.wDriverOffset, driver) && get(dn.wDeviceOffset, device) && get(dn.wOutputOffset, port);
    GlobalUnlock(h);
    return ok;
}

}  // namespace plat

BOOL PrintDlg(PRINTDLG* pd) {
    plat::dlg::SetCommDlgError(0);
    if (!pd) return FALSE;
    SetupState st;
    st.printers = plat::ListPrinters();
    plat::PrinterInfo def;
    if (st.printers.empty() || !plat::GetDefaultPrinter(def)) {
        plat::dlg::SetCommDlgError(PDERR_NODEFAULTPRN);
        return FALSE;
    }
    // The printer to start with: the one the names hold, else the default.
    std::string driver, device, port;
    const bool named = pd->hDevNames && plat::ReadDevNames(pd->hDevNames, driver, device, port);
    for (size_t i = 0; i < st.printers.size(); ++i) {
        const bool match = named ? plat::EqualNoCase1252(st.printers[i].name, device)
                                 : plat::EqualNoCase1252(st.printers[i].name, def.name);
        if (match) st.printer = static_cast<int>(i);
    }
    st.devMode = ReadDevMode(pd->hDevMode, st.printers[static_cast<size_t>(st.printer)]);
    st.setupOnly = (pd->Flags & PD_PRINTSETUP) != 0;
    if (!(pd->Flags & PD_RETURNDEFAULT)) {
        plat::dlg::DialogOptions options;
        options.hidden = true;
        HWND owner = pd->hwndOwner ? pd->hwndOwner : plat::CurrentModal();
        HWND dlg = plat::dlg::CreateFromTemplate(kSetupTemplate, IsWindow(owner) ? owner : nullptr, SetupProc,
                                                  reinterpret_cast<LPARAM>(&st), options);
        if (!dlg) return FALSE;
        if (CWnd* w = CWnd::FromHandle(dlg)) w->CenterWindow();
        if (plat::dlg::RunModalLoop(dlg, [dlg](MSG& m) { return IsDialogMessage(dlg, &m) != FALSE; }) != IDOK)
            return FALSE;
    }
    const plat::PrinterInfo& chosen = st.printers[static_cast<size_t>(st.printer)];
    std::memset(st.devMode.dmDeviceName, 0, sizeof(st.devMode.dmDeviceName));
    std::memcpy(st.devMode.dmDeviceName, chosen.name.data(), std::min<size_t>(chosen.name.size(), CCHDEVICENAME - 1));
    // New handles: the caller's own stay as they were, for it to free.
    pd->hDevMode = plat::MakeDevModeHandle(st.devMode);
    pd->hDevNames = plat::MakeDevNamesHandle(chosen, plat::EqualNoCase1252(chosen.name, def.name));
    // Printers have no information contexts here: PD_RETURNIC gives a DC too.
    if (pd->Flags & (PD_RETURNDC | PD_RETURNIC))
        pd->hDC = CreateDC(chosen.driver.c_str(), chosen.name.c_str(), chosen.port.c_str(), &st.devMode);
    return TRUE;
}

// ---- CPrintDialog -------------------------------------------------------------------------------

CPrintDialog::CPrintDialog(BOOL printSetupOnly, DWORD flags, CWnd* parent) {
    m_pParentWnd = parent;
    m_pd.Flags = flags | (printSetupOnly ? PD_PRINTSETUP : 0);
}

CPrintDialog::~CPrintDialog() = default;

INT_PTR CPrintDialog::DoModal() {
    if (!m_pd.hwndOwner) {
        HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
        if (!owner && AfxGetMainWnd()) owner = AfxGetMainWnd()->m_hWnd;
        m_pd.hwndOwner = owner;
    }
    PRINTDLG pd = m_pd;
    if (!PrintDlg(&pd)) return IDCANCEL;
    m_pd = pd;
    return IDOK;
}

BOOL CPrintDialog::GetDefaults() {
    PRINTDLG pd = m_pd;
    pd.Flags |= PD_RETURNDEFAULT;
    pd.hDevMode = pd.hDevNames = nullptr;
    if (!PrintDlg(&pd)) return FALSE;
    m_pd.hDevMode = pd.hDevMode;
    m_pd.hDevNames = pd.hDevNames;
    m_pd.hDC = pd.hDC;
    return TRUE;
}

DEVMODE* CPrintDialog::GetDevMode() const {
    return static_cast<DEVMODE*>(GlobalLock(m_pd.hDevMode));
}

CString CPrintDialog::GetDriverName() const {
    std::string driver, device, port;
    plat::ReadDevNames(m_pd.hDevNames, driver, device, port);
    return CString(driver.c_str());
}

CString CPrintDialog::GetDeviceName() const {
    std::string driver, device, port;
    plat::ReadDevNames(m_pd.hDevNames, driver, device, port);
    return CString(device.c_str());
}

CString CPrintDialog::GetPortName() const {
    std::string driver, device, port;
    plat::ReadDevNames(m_pd.hDevNames, driver, device, port);
    return CString(port.c_str());
}

HDC CPrintDialog::CreatePrinterDC() {
    std::string driver, device, port;
    if (!plat::ReadDevNames(m_pd.hDevNames, driver, device, port)) return nullptr;
    const DEVMODE* dm = static_cast<const DEVMODE*>(GlobalLock(m_pd.hDevMode));
    m_pd.hDC = CreateDC(driver.c_str(), device.c_str(), port.c_str(), dm);
    if (dm) GlobalUnlock(m_pd.hDevMode);
    return m_pd.hDC;
}
