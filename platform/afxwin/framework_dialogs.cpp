// The neutral framework dialogs and the installed one.
#include "platform/afxwin/framework_dialogs.h"

namespace plat::afx {

BOOL IFrameworkDialogs::Help(HWND, LPCSTR, UINT, ULONG_PTR) {
    return FALSE;
}
void IFrameworkDialogs::OpenFile(CWinApp&) {}
void IFrameworkDialogs::PrintSetup(CWinApp&) {}
BOOL IFrameworkDialogs::PrinterDeviceDefaults(CWinApp&, PRINTDLG*) {
    return FALSE;
}
void IFrameworkDialogs::DeletePrintDialog(CPrintDialog*) {}
BOOL IFrameworkDialogs::PreparePrinting(CPrintInfo*) {
    return FALSE;
}
HDC IFrameworkDialogs::TakePrinterDC(CPrintInfo*) {
    return nullptr;
}

namespace {
IFrameworkDialogs* g_installed = nullptr;
}  // namespace

IFrameworkDialogs& FrameworkDialogs() {
    static IFrameworkDialogs neutral;
    return g_installed ? *g_installed : neutral;
}

void SetFrameworkDialogs(IFrameworkDialogs* dialogs) {
    g_installed = dialogs;
}

}  // namespace plat::afx
