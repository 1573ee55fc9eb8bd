#include "setup/setwell/setwell_windows.h"

#include "platform/afx/string_table.h"
#include "platform/afxwin/afxwin.h"
#include "platform/process/process.h"
#include "setup/setwell/background_wnd.h"
#include "setup/setwell/install_dir_dlg.h"
#include "setup/setwell/progress_dlg.h"
#include "setup/setwell/setup_windows.h"
#include "setup/setwell/setwell_app.h"
#include "setup/setwell/setwell_strings.h"

namespace setup {

namespace {

void SetMainWindow(CWnd* wnd) {
    if (CWinApp* app = AfxGetApp()) app->m_pMainWnd = wnd;
}

int ShowCommand() {
    CWinApp* app = AfxGetApp();
    return app && app->m_nCmdShow != -1 ? app->m_nCmdShow : SW_SHOWNORMAL;
}

}  // namespace

CSetwellWindows::~CSetwellWindows() {
    CloseProgress();
    CloseBackground();
}

bool CSetwellWindows::OpenBackground(SetupWindowsHost& app) {
    ScriptValues& v = app.values;
    auto* picture = new CDIB;
    // An empty name would ask for a picture with the file dialog; a setup has none to ask for.
    if (v.splashArtBmp.empty() || !picture->Load(v.splashArtBmp.c_str())) {
        CString text;
        AfxFormatString1(text, kIdsCannotOpenPicture, v.splashArtBmp.c_str());
        app.host.ShowSetupMessage(2, static_cast<const char*>(text), 0);
    }
    auto* window = new CBackgroundWnd(v.splashTitle);
    if (!window->IsCreated()) {
        delete window;
        delete picture;
        app.secondInstance = 1;
        SetMainWindow(nullptr);
        return false;
    }
    app.secondInstance = 0;
    m_background = window;
    SetMainWindow(window);
    window->AddPicture(v.splashX, v.splashY, picture);
    window->ShowWindow(ShowCommand());
    window->SetWindowText(v.splashTitle.c_str());
    window->UpdateWindow();
    return true;
}

void CSetwellWindows::RunWelcomeStep(SetupWindowsHost& app) {
    if (!OpenBackground(app)) {
        app.exitSetup();
        return;
    }
    ScriptValues& v = app.values;
    CInstallDirDlg dialog(m_background);
    InstallDirFields fields;
    fields.caption = v.welcomeTitle;
    fields.message = v.welcomeMessage;
    fields.productName = v.productName;
    fields.productVersion = v.productVersion;
    fields.productDir = v.productDir;
    fields.productExe = v.productExe;
    fields.initialPath = v.installDir;
    fields.productSize = v.productSize;
    fields.palette = m_background->Palette();
    dialog.SetFields(fields);
    if (dialog.DoModal() != IDOK) {
        app.exitSetup();
        return;
    }
    OpenProgress(app);
    v.installDir = dialog.ChosenPath();
}

void CSetwellWindows::OpenProgress(SetupWindowsHost& app) {
    CloseProgress();
    m_progress = new CProgressDlg(m_background);
    CString caption;
    AfxFormatString1(caption, kIdsInstallingProduct, app.values.productName.c_str());
    m_progress->SetProgressCaption(static_cast<const char*>(caption));
    FocusProgress();
}

void CSetwellWindows::SetProgressText(const std::string& text) {
    if (m_progress) m_progress->SetProgressText(text);
}

void CSetwellWindows::FocusProgress() {
    if (m_progress && m_progress->m_hWnd) m_progress->SetFocus();
}

void CSetwellWindows::CloseProgress() {
    if (!m_progress) return;
    if (m_progress->m_hWnd) m_progress->DestroyWindow();
    delete m_progress;
    m_progress = nullptr;
}

void CSetwellWindows::CloseBackground() {
    if (!m_background) return;
    CBackgroundWnd* window = m_background;
    m_background = nullptr;
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == window) app->m_pMainWnd = nullptr;
    // A made window deletes itself as it is destroyed.
    if (::IsWindow(window->m_hWnd)) window->DestroyWindow();
}

namespace {

// The windows as the application object reaches them (CSetupWindows), over CSetwellWindows.
class CProgramWindows : public CSetupWindows {
public:
    void RunWelcomeStep(CSetwellApp& app) override {
        SetupWindowsHost host = HostOf(app);
        m_windows.RunWelcomeStep(host);
    }
    void OpenProgress(CSetwellApp& app) override {
        SetupWindowsHost host = HostOf(app);
        m_windows.OpenProgress(host);
    }
    bool OpenBackground(CSetwellApp& app) override {
        SetupWindowsHost host = HostOf(app);
        return m_windows.OpenBackground(host);
    }
    void SetProgressText(CSetwellApp&, const std::string& text) override { m_windows.SetProgressText(text); }
    void FocusProgress(CSetwellApp&) override { m_windows.FocusProgress(); }
    void CloseProgress(CSetwellApp&) override { m_windows.CloseProgress(); }
    void CloseBackground(CSetwellApp&) override { m_windows.CloseBackground(); }

private:
    static SetupWindowsHost HostOf(CSetwellApp& app) {
        return SetupWindowsHost{app.Values(), app, app.m_secondInstance, [&app] {
                                    app.ReleaseSetup();
                                    ExitProcess(0);
                                }};
    }
    CSetwellWindows m_windows;
};

}  // namespace

std::unique_ptr<CSetupWindows> MakeSetupWindows() { return std::make_unique<CProgramWindows>(); }

}  // namespace setup
