// CWinApp: the program's one application object. The program defines a global object of its
// class (derived from CWinApp) and calls AfxWinMain from main after plat::InitPlatform:
//
//   CZelboApp theApp;
//   int main(int argc, char** argv) { ...; return AfxWinMain(argc, argv); }
//
// AfxWinMain sets the command-line tail, the show command, the application name (string
// AFX_IDS_APP_TITLE, else the program's file name), registers the control classes, brings
// the printer entries of WIN.INI in step, then InitInstance; Run's message loop (with
// PreTranslateMessage and OnIdle) until WM_QUIT; ExitInstance.
#pragma once

#include <string>
#include <vector>

#include "platform/afxwin/cwnd.h"

class CDocTemplate;
class CDocument;
class CWinApp;
namespace plat::afx {
void PrepareApp(CWinApp* app, int argc, char** argv);
}
struct PRINTDLG;
using POSITION = struct ZelboPosition*;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitApplication();
    // FALSE ends the program at once (after ExitInstance).
    virtual BOOL InitInstance();
    // The message loop; returns ExitInstance's code. A CException thrown by a handler is
    // reported (ReportError) and deleted here and the loop goes on; any other exception
    // leaves Run, for the program's own Run to catch.
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Idle work between messages: count 0 first; TRUE asks for more calls. Frees the
    // temporary objects of FromHandle.
    virtual BOOL OnIdle(LONG count);
    virtual int ExitInstance();
    // Takes one message and dispatches it (through PreTranslateMessage); FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    virtual BOOL IsIdleMessage(MSG* msg);
    virtual void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);
    virtual CDocument* OpenDocumentFile(LPCSTR fileName);

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    HINSTANCE m_hPrevInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;  // the command line after the program's name (Windows-1252)
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName = nullptr;
    LPCSTR m_pszExeName = nullptr;
    LPCSTR m_pszHelpFilePath = nullptr;
    LPCSTR m_pszProfileName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;
    MSG m_msgCur;
    HGLOBAL m_hDevMode = nullptr;
    HGLOBAL m_hDevNames = nullptr;

    // The profile: under HKEY_CURRENT_USER\Software\<key>\<application>\<section> once
    // SetRegistryKey was called, else in the INI file m_pszProfileName (<program>.INI).
    void SetRegistryKey(LPCSTR key);
    void SetRegistryKey(UINT keyStringId);
    UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue);
    BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value);
    CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue = nullptr);
    BOOL WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value);

    HCURSOR LoadStandardCursor(LPCSTR id) const;
    HCURSOR LoadCursor(UINT id) const;
    HICON LoadIcon(UINT id) const;
    HICON LoadStandardIcon(LPCSTR id) const;
    void DoWaitCursor(int code);  // 1 on, -1 off, 0 restore
    // Dialogs and their controls draw on this background in this text colour.
    void SetDialogBkColor(COLORREF background = RGB(192, 192, 192), COLORREF text = RGB(0, 0, 0));
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }
    void LoadStdProfileSettings(UINT = 4) {}

    void AddDocTemplate(CDocTemplate* tmpl);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    void CloseAllDocuments(BOOL endSession);
    // The default printer's device mode and names (made on first use, kept); FALSE when
    // there is no printer.
    BOOL GetPrinterDeviceDefaults(PRINTDLG* pd);

    afx_msg void OnFileNew();
    afx_msg void OnFileOpen();
    afx_msg void OnFilePrintSetup();
    afx_msg void OnAppExit();
    afx_msg void OnHelp();

protected:
    std::vector<CDocTemplate*> m_templates;
    std::string m_cmdLine, m_appName, m_exeName, m_helpPath, m_profileName, m_registryKey;
    int m_waitCount = 0;
    HCURSOR m_savedCursor = nullptr;

    DECLARE_MESSAGE_MAP()

    friend int AfxWinMain(int argc, char** argv);
    friend void plat::afx::PrepareApp(CWinApp* app, int argc, char** argv);
};

CWinApp* AfxGetApp();
CWinApp* AfxGetThread();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
LPCSTR AfxGetAppName();
void AfxPostQuitMessage(int exitCode);
// Runs the program's application object (see above); returns its exit code.
int AfxWinMain(int argc, char** argv);

namespace plat::afx {
// Sets the command line and names as AfxWinMain does, without running the program (tests).
void PrepareApp(CWinApp* app, int argc, char** argv);
// The colours of CWinApp::SetDialogBkColor (face and black unless set): dialogs and their
// controls paint with them.
struct DialogColourPair {
    COLORREF background;
    COLORREF text;
};
DialogColourPair DialogColours();
}  // namespace plat::afx
