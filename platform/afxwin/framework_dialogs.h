// What the window framework asks of the dialogs above it: the dialogs of its standard commands
// (file open, print set-up, printing), help, and the window classes of the controls and
// dialogs a program's windows use. platform/dialogs installs its implementation once at start
// (plat::InstallDialogs); until then each call answers as a machine without dialogs would:
// nothing registered, no help, every dialog cancelled.
#pragma once

#include "platform/afxwin/cwnd.h"

class CWinApp;
class CPrintDialog;
struct CPrintInfo;
struct PRINTDLG;

namespace plat::afx {

class IFrameworkDialogs {
public:
    virtual ~IFrameworkDialogs() = default;

    // The window classes of the controls and dialogs (AfxWinMain registers them first thing).
    virtual void RegisterClasses() {}
    // WinHelp for CWnd::WinHelp and CWinApp::WinHelp; FALSE when nothing was shown.
    virtual BOOL Help(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data);
    // CWinApp::OnFileOpen: asks for a file and opens it with app.OpenDocumentFile.
    virtual void OpenFile(CWinApp& app);
    // CWinApp::OnFilePrintSetup: the print set-up dialog over the application's printer, whose
    // device mode and names (app.m_hDevMode, app.m_hDevNames) it replaces on OK.
    virtual void PrintSetup(CWinApp& app);
    // CWinApp::GetPrinterDeviceDefaults: the default printer's device mode and names, made on
    // first use and kept in app; FALSE when there is no printer.
    virtual BOOL PrinterDeviceDefaults(CWinApp& app, PRINTDLG* pd);
    // CPrintInfo's print dialog, made and deleted with it (null: none).
    virtual CPrintDialog* NewPrintDialog() { return nullptr; }
    virtual void DeletePrintDialog(CPrintDialog* dialog);
    // CView::DoPreparePrinting: the print dialog (or the default printer when info->m_bDirect)
    // and a printer DC for it; FALSE when cancelled.
    virtual BOOL PreparePrinting(CPrintInfo* info);
    // The printer DC PreparePrinting made, handed to the caller (who deletes it).
    virtual HDC TakePrinterDC(CPrintInfo* info);
};

// The installed implementation, else the neutral one.
IFrameworkDialogs& FrameworkDialogs();
// Installs the implementation (not owned; null restores the neutral one).
void SetFrameworkDialogs(IFrameworkDialogs* dialogs);

}  // namespace plat::afx
