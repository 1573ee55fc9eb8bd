#include "app/zelbo_app.h"

#include "app/app_resources.h"
#include "app/daz_doc.h"
#include "app/main_frame.h"
#include "app/rerava_view.h"
#include "engine/core/cor_engine.h"
#include "engine/core/fatal_error.h"
#include "media/res/cor_exception.h"
#include "platform/afx/exceptions.h"
#include "platform/dialogs/common_dialogs.h"
#include "platform/fs/winfile.h"
#include "platform/ipc/ipc.h"
#include "platform/msgbox/msgbox.h"

IMPLEMENT_DYNAMIC(CZelboApp, CWinApp)

BEGIN_MESSAGE_MAP(CZelboApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
END_MESSAGE_MAP()

namespace {

// The size of PRINTDLG as the printer defaults are asked with.
constexpr DWORD kPrintDialogSize = 66;

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ProgramFolderOf(path);
}

}  // namespace

CZelboApp::CZelboApp() : m_previousPrefs(SetAppPrefs(&m_prefs)) {}

CZelboApp::~CZelboApp() {
    if (&GetAppPrefs() == &m_prefs) SetAppPrefs(m_previousPrefs);
    if (m_semaphore) CloseHandle(m_semaphore);
}

BOOL CZelboApp::InitInstance() {
    // Start-up runs outside Run's loop, so an engine failure on the way ends the program here.
    try {
        try {
            return StartInstance();
        } catch (CException* e) {
            FatalEngineError(e);
        }
    } catch (CCorExceptionBase* e) {
        EndAfter(e);
    }
    return FALSE;
}

BOOL CZelboApp::StartInstance() {
    SetRegistryKey("Quorva");
    m_prefs.SetDefaults(ProgramFolder());
    m_prefs.Load();

    HDC screen = ::GetDC(nullptr);
    ::GetDeviceCaps(screen, PLANES);  // asked, never used: only the bits per pixel decide
    const int bitsPerPixel = ::GetDeviceCaps(screen, BITSPIXEL);
    ::ReleaseDC(nullptr, screen);
    if (bitsPerPixel < 8) {
        CString text;
        text.LoadString(kIdsNeeds256Colours);
        ::MessageBox(nullptr, text, theEngine->GetTitle(), MB_ICONINFORMATION);
        return FALSE;
    }

    SetDialogBkColor(theEngine->GetBackgroundColor(), RGB(0, 0, 0));
    AddDocTemplate(new CSingleDocTemplate(kDocTemplateResource, RUNTIME_CLASS(CDazDoc), RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CReravaView)));
    OnFileNew();
    if (!m_pMainWnd) return FALSE;

    PRINTDLG pd;
    pd.lStructSize = kPrintDialogSize;
    if (GetPrinterDeviceDefaults(&pd) && pd.hDevMode) {
        if (auto* mode = static_cast<DEVMODE*>(GlobalLock(pd.hDevMode))) {
            mode->dmOrientation = DMORIENT_LANDSCAPE;
            GlobalUnlock(pd.hDevMode);
        }
    }

    CString title;
    title.LoadString(kIdsTitle);
    m_semaphore = CreateSemaphore(nullptr, 0, 1, title);
    if (m_semaphore && GetLastError() == ERROR_ALREADY_EXISTS) {
        m_secondCopy = true;
        CloseHandle(m_semaphore);
        m_semaphore = nullptr;
        CString caption;
        m_pMainWnd->GetWindowText(caption);
        // This copy's own window has the same caption: it goes first, so the search finds the
        // copy that runs.
        m_pMainWnd->DestroyWindow();
        if (HWND first = ::FindWindow(nullptr, caption)) ::SetForegroundWindow(first);
        return FALSE;
    }
    return TRUE;
}

int CZelboApp::Run() {
    try {
        const int code = CWinApp::Run();
        // A loop ended by a WM_QUIT of its own still ends the game in order: the main window
        // goes here, not after main has returned.
        if (m_pMainWnd && ::IsWindow(m_pMainWnd->m_hWnd)) m_pMainWnd->DestroyWindow();
        return code;
    } catch (CCorExceptionBase* e) {
        EndAfter(e);
    }
    return ExitInstance();
}

BOOL CZelboApp::PumpMessage() {
    CarryOutPendingClose();
    BOOL more = TRUE;
    try {
        more = CWinApp::PumpMessage();
    } catch (CException* e) {
        FatalEngineError(e);
    }
    CarryOutPendingClose();
    return more;
}

void CZelboApp::CarryOutPendingClose() {
    if (!theEngine || !theEngine->ClosePending() || theEngine->CallDepth() > 0) return;
    theEngine->SetClosePending(false);
    if (m_pMainWnd && ::IsWindow(m_pMainWnd->m_hWnd)) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CZelboApp::EndAfter(CCorExceptionBase* e) {
    e->Report();
    delete e;
    if (m_pMainWnd && ::IsWindow(m_pMainWnd->m_hWnd)) m_pMainWnd->DestroyWindow();
}

void CZelboApp::ExitHelper() {
    RunExitWork();
    if (m_pMainWnd) m_pMainWnd->PostMessage(WM_CLOSE);
}

void CZelboApp::RunExitWork() {
    if (m_secondCopy || m_exitWorkDone) return;
    m_exitWorkDone = true;
    if (m_semaphore) {
        CloseHandle(m_semaphore);
        m_semaphore = nullptr;
    }
    m_prefs.Save();
    if (HWND launcher = ::FindWindow(nullptr, kLauncherWindowTitle))
        ::PostMessage(launcher, WM_COMMAND, kLauncherExitCommand, 0);
}

void CZelboApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

CAboutDlg::CAboutDlg() : CDialog(kAboutDialog) {}
