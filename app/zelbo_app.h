// The game's application object: start-up (the colour-depth gate, the document template, the
// single running copy), the message loop that ends the program in order on the engine's exit
// exception, the deferred close, and the exit work (semaphore, application preferences, the
// launcher's notice) that runs once whenever the main window goes.
#pragma once

#include "engine/players/app_prefs.h"
#include "platform/afxwin/afxwin.h"
#include "platform/dialogs/dialog.h"

class CException;
class CCorExceptionBase;

// The command the child launcher's window "VIVEreduror" gets when the game ends.
inline constexpr UINT kLauncherExitCommand = 666;
inline constexpr const char* kLauncherWindowTitle = "VIVEreduror";

class CZelboApp : public CWinApp {
    DECLARE_DYNAMIC(CZelboApp)
public:
    CZelboApp();
    ~CZelboApp() override;

    // In order: the profile key, the application preferences, the colour-depth gate (fewer
    // than 8 bits per pixel: string 61285, start refused), dialog colours, the document
    // template and the first document (which starts the engine), landscape printing, then the
    // single-instance test: a second copy raises the first copy's window and ends.
    BOOL InitInstance() override;
    // The class library's loop; the engine's exit exception ends it: the exception reports,
    // and the main window is destroyed here, so the engine shuts down while the platform
    // still exists.
    int Run() override;
    // Takes one message; a class-library exception leaving its handler goes to
    // FatalEngineError. A close the main frame recorded while an engine call ran is carried
    // out here, once no engine call is running.
    BOOL PumpMessage() override;

    // The exit command's work: the exit work below, then WM_CLOSE posted to the main window.
    void ExitHelper();
    // Semaphore closed, application preferences saved, the launcher told: at most once, and
    // never in a second copy. The main frame runs it when it goes, by whatever path.
    void RunExitWork();
    bool ExitWorkDone() const { return m_exitWorkDone; }

    CAppPrefs* GetPrefs() { return &m_prefs; }
    HANDLE Semaphore() const { return m_semaphore; }
    // True once InitInstance found another copy running.
    bool IsSecondCopy() const { return m_secondCopy; }

protected:
    afx_msg void OnAppAbout();
    DECLARE_MESSAGE_MAP()

private:
    BOOL StartInstance();
    // The end of the program after an engine exception: report, delete, main window gone.
    void EndAfter(CCorExceptionBase* e);
    void CarryOutPendingClose();

    CAppPrefs m_prefs;
    CAppPrefs* m_previousPrefs = nullptr;
    HANDLE m_semaphore = nullptr;
    bool m_secondCopy = false;
    bool m_exitWorkDone = false;
};

// The about box: a plain dialog on template 24576.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
