// CWinApp: start-up (AfxWinMain), the message loop with idle time, the profile in the
// registry or an INI file, the document templates and the printer defaults.
#include "platform/afxwin/winapp.h"

#include <cstring>

#include "platform/afx/exceptions.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/framework_dialogs.h"
#include "platform/afxwin/doc_view.h"
#include "platform/fs/winfile.h"
#include "platform/gdi/picture_resources.h"
#include "platform/print/print.h"
#include "platform/process/process.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"
#include "platform/strings/cp1252.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace {

CWinApp* g_app = nullptr;
HINSTANCE const kInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x00400000));

std::string ModuleFile() {
    char path[260] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}

}  // namespace

CWinApp* AfxGetApp() {
    return g_app;
}
CWinApp* AfxGetThread() {
    return g_app;
}
HINSTANCE AfxGetInstanceHandle() {
    return kInstance;
}
HINSTANCE AfxGetResourceHandle() {
    return kInstance;
}
LPCSTR AfxGetAppName() {
    return g_app ? g_app->m_pszAppName : "";
}
void AfxPostQuitMessage(int exitCode) {
    PostQuitMessage(exitCode);
}

namespace plat::afx {

void PrepareApp(CWinApp* app, int argc, char** argv) {
    app->m_hInstance = kInstance;
    // The line's tail as given: quotes stay (a folder argument holding blanks needs them).
    const std::string tail = plat::CommandLineTail(GetCommandLineA());
    app->m_cmdLine = tail;
    app->m_lpCmdLine = app->m_cmdLine.data();
    const std::string module = ModuleFile();
    std::string base = module.substr(module.find_last_of("\\/") == std::string::npos ? 0 : module.find_last_of("\\/") + 1);
    if (base.empty() && argc > 0 && argv[0]) {
        base = Utf8ToCp1252(argv[0]);
        const size_t slash = base.find_last_of("\\/");
        if (slash != std::string::npos) base = base.substr(slash + 1);
    }
    const size_t dot = base.find_last_of('.');
    app->m_exeName = dot == std::string::npos ? base : base.substr(0, dot);
    app->m_pszExeName = app->m_exeName.c_str();
    if (app->m_appName.empty()) {
        if (auto title = plat::LookupString(AFX_IDS_APP_TITLE)) {
            app->m_appName = title->substr(0, title->find('\n'));
        } else {
            app->m_appName = app->m_exeName;
        }
    }
    app->m_pszAppName = app->m_appName.c_str();
    app->m_profileName = app->m_exeName + ".INI";
    app->m_pszProfileName = app->m_profileName.c_str();
    std::string help = module;
    const size_t helpDot = help.find_last_of('.');
    const size_t helpSlash = help.find_last_of("\\/");
    if (helpDot != std::string::npos && (helpSlash == std::string::npos || helpDot > helpSlash)) help.resize(helpDot);
    app->m_helpPath = help + ".HLP";
    app->m_pszHelpFilePath = app->m_helpPath.c_str();
}

}  // namespace plat::afx

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    // However the run ends, by its own end or by an exception leaving it (a scripted run that
    // stalls), the temporary wrappers go here, once, before the program's static objects.
    struct CTempMapsAtExit {
        ~CTempMapsAtExit() { AfxDeleteTempMaps(); }
    } tempMaps;
    plat::afx::PrepareApp(app, argc, argv);
    plat::afx::FrameworkDialogs().RegisterClasses();
    plat::ListPrinters();
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd && IsWindow(app->m_pMainWnd->m_hWnd)) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

// ---- CWinApp ------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR appName) {
    if (appName) m_appName = appName;
    m_pszAppName = m_appName.c_str();
    g_app = this;
}

CWinApp::~CWinApp() {
    for (CDocTemplate* t : m_templates) delete t;
    m_templates.clear();
    GlobalFree(m_hDevMode);
    GlobalFree(m_hDevNames);
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitApplication() {
    return TRUE;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return static_cast<int>(m_msgCur.message == WM_QUIT ? m_msgCur.wParam : 0);
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    HWND stop = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    return CWnd::WalkPreTranslateTree(stop, msg);
}

BOOL CWinApp::PumpMessage() {
    if (!GetMessage(&m_msgCur, nullptr, 0, 0)) return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        TranslateMessage(&m_msgCur);
        DispatchMessage(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinApp::IsIdleMessage(MSG* msg) {
    static POINT lastMouse{-1, -1};
    if (msg->message == WM_MOUSEMOVE) {
        const bool same = msg->pt.x == lastMouse.x && msg->pt.y == lastMouse.y;
        lastMouse = msg->pt;
        return same ? FALSE : TRUE;
    }
    return msg->message != WM_PAINT && msg->message != 0x0118 ? TRUE : FALSE;
}

BOOL CWinApp::OnIdle(LONG count) {
    if (count >= 1) AfxDeleteTempMaps();
    return count < 1 ? TRUE : FALSE;
}

int CWinApp::Run() {
    bool idle = true;
    LONG idleCount = 0;
    MSG peek;
    for (;;) {
        while (idle && !PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        do {
            bool goOn = true;
            try {
                goOn = PumpMessage() != FALSE;
            } catch (CException* e) {
                e->ReportError(MB_ICONEXCLAMATION);
                e->Delete();
            }
            if (!goOn) return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                idle = true;
                idleCount = 0;
            }
        } while (PeekMessage(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void CWinApp::WinHelp(DWORD_PTR data, UINT command) {
    plat::afx::FrameworkDialogs().Help(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, m_pszHelpFilePath, command, data);
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR fileName) {
    return m_templates.empty() ? nullptr : m_templates.front()->OpenDocumentFile(fileName);
}

// ---- Profile --------------------------------------------------------------------------------------

void CWinApp::SetRegistryKey(LPCSTR key) {
    m_registryKey = key ? key : "";
    m_pszRegistryKey = m_registryKey.c_str();
    m_profileName = m_appName;
    m_pszProfileName = m_profileName.c_str();
}

void CWinApp::SetRegistryKey(UINT keyStringId) {
    CString key;
    key.LoadString(keyStringId);
    SetRegistryKey(key);
}

namespace {
// HKEY_CURRENT_USER\Software\<key>\<application>\<section>, made when asked.
HKEY SectionKey(const std::string& company, const std::string& app, LPCSTR section, bool create) {
    const std::string path = "Software\\" + company + "\\" + app + "\\" + (section ? section : "");
    HKEY key = nullptr;
    if (create) {
        DWORD disposition = 0;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition) != ERROR_SUCCESS)
            return nullptr;
    } else if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}
}  // namespace

UINT CWinApp::GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) {
    if (!m_registryKey.empty()) {
        HKEY key = SectionKey(m_registryKey, m_appName, section, false);
        if (!key) return static_cast<UINT>(defaultValue);
        DWORD type = 0, value = 0, size = sizeof(value);
        const LONG rc = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value) ? value : static_cast<UINT>(defaultValue);
    }
    return GetPrivateProfileIntA(section, entry, defaultValue, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCSTR section, LPCSTR entry, int value) {
    if (!m_registryKey.empty()) {
        HKEY key = SectionKey(m_registryKey, m_appName, section, true);
        if (!key) return FALSE;
        const DWORD v = static_cast<DWORD>(value);
        const LONG rc = RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
        RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    char text[16];
    std::snprintf(text, sizeof(text), "%d", value);
    return WritePrivateProfileStringA(section, entry, text, m_pszProfileName);
}

CString CWinApp::GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue) {
    if (!m_registryKey.empty()) {
        HKEY key = SectionKey(m_registryKey, m_appName, section, false);
        if (!key) return CString(defaultValue);
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
            RegCloseKey(key);
            return CString(defaultValue);
        }
        std::string value(size + 1, '\0');
        RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
        RegCloseKey(key);
        return CString(value.c_str());
    }
    std::vector<char> buffer(4096);
    GetPrivateProfileStringA(section, entry, defaultValue ? defaultValue : "", buffer.data(),
                             static_cast<DWORD>(buffer.size()), m_pszProfileName);
    return CString(buffer.data());
}

BOOL CWinApp::WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value) {
    if (!m_registryKey.empty()) {
        if (!entry) {
            const std::string path = "Software\\" + m_registryKey + "\\" + m_appName + "\\" + (section ? section : "");
            return RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
        }
        HKEY key = SectionKey(m_registryKey, m_appName, section, true);
        if (!key) return FALSE;
        LONG rc;
        if (!value)
            rc = RegDeleteValueA(key, entry);
        else
            rc = RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                static_cast<DWORD>(std::strlen(value) + 1));
        RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    return WritePrivateProfileStringA(section, entry, value, m_pszProfileName);
}

// ---- Resources and cursors ----------------------------------------------------------------------

HCURSOR CWinApp::LoadStandardCursor(LPCSTR id) const {
    return ::LoadCursor(nullptr, id);
}
HCURSOR CWinApp::LoadCursor(UINT id) const {
    return ::LoadCursor(nullptr, MAKEINTRESOURCE(id));
}
HICON CWinApp::LoadIcon(UINT id) const {
    return ::LoadIcon(kInstance, MAKEINTRESOURCE(id));
}
HICON CWinApp::LoadStandardIcon(LPCSTR id) const {
    return ::LoadIcon(nullptr, id);
}

void CWinApp::DoWaitCursor(int code) {
    if (code > 0) {
        if (m_waitCount++ == 0) m_savedCursor = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
        else ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    } else if (code < 0) {
        if (m_waitCount > 0 && --m_waitCount == 0)
            ::SetCursor(m_savedCursor ? m_savedCursor : ::LoadCursor(nullptr, IDC_ARROW));
    } else if (m_waitCount > 0) {
        ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    }
}

namespace {
plat::afx::DialogColourPair g_dialogColours{RGB(192, 192, 192), RGB(0, 0, 0)};
}  // namespace

plat::afx::DialogColourPair plat::afx::DialogColours() {
    return g_dialogColours;
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) {
    g_dialogColours = {background, text};
}

// ---- Documents ----------------------------------------------------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* tmpl) {
    if (tmpl) m_templates.push_back(tmpl);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const {
    return m_templates.empty() ? nullptr : reinterpret_cast<POSITION>(uintptr_t(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const {
    const auto i = reinterpret_cast<uintptr_t>(pos);
    if (i == 0 || i > m_templates.size()) {
        pos = nullptr;
        return nullptr;
    }
    CDocTemplate* t = m_templates[i - 1];
    pos = i < m_templates.size() ? reinterpret_cast<POSITION>(i + 1) : nullptr;
    return t;
}

void CWinApp::CloseAllDocuments(BOOL endSession) {
    for (CDocTemplate* t : m_templates) t->CloseAllDocuments(endSession);
}

BOOL CWinApp::GetPrinterDeviceDefaults(PRINTDLG* pd) {
    return pd ? plat::afx::FrameworkDialogs().PrinterDeviceDefaults(*this, pd) : FALSE;
}

// ---- Commands -----------------------------------------------------------------------------------

void CWinApp::OnFileNew() {
    if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    plat::afx::FrameworkDialogs().OpenFile(*this);
}

void CWinApp::OnFilePrintSetup() {
    plat::afx::FrameworkDialogs().PrintSetup(*this);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnHelp() {
    WinHelp(0, HELP_CONTENTS);
}
