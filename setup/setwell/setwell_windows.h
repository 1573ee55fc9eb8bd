// The setup program's windows as its flow uses them: the background window (the program's
// main window), dialog 102 and the progress dialog. RunWelcomeStep is the WelcomeDialog
// statement of a new installation; OpenBackground is also the over-install's window.
//
// The application object hands in what the windows read and change of its state
// (SetupWindowsHost); CSetwellWindows owns the progress dialog and keeps the background
// window, which deletes itself when it is destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "setup/common/script_host.h"
#include "setup/common/script_values.h"

class CWnd;

namespace setup {

class CBackgroundWnd;
class CProgressDlg;
class CSetupWindows;

struct SetupWindowsHost {
    ScriptValues& values;  // the script's values; the install folder is set from dialog 102
    CScriptHost& host;     // ShowSetupMessage
    int32_t& secondInstance;  // set when another copy of the program runs
    // The clean-up and the end of the process (ExitProcess(0)). It does not return in the
    // program; when a test's stand-in returns, the step returns at once.
    std::function<void()> exitSetup;
};

class CSetwellWindows {
public:
    CSetwellWindows() = default;
    ~CSetwellWindows();  // closes the progress dialog and the background window
    CSetwellWindows(const CSetwellWindows&) = delete;
    CSetwellWindows& operator=(const CSetwellWindows&) = delete;

    // Pass 1: the background window with the splash picture, dialog 102 over it, and on OK
    // the progress dialog and the chosen install folder. Another running copy, or any answer
    // but OK, ends through exitSetup.
    void RunWelcomeStep(SetupWindowsHost& app);
    // Pass 2: the progress dialog only, captioned 59225 with the product name, focused.
    void OpenProgress(SetupWindowsHost& app);
    // Loads the splash picture (59170 when it cannot: the window shows black), makes the
    // background window the main window and shows it. False when another copy runs: nothing
    // is made then, the main window is cleared and the second-instance flag set.
    bool OpenBackground(SetupWindowsHost& app);

    void SetProgressText(const std::string& text);
    void FocusProgress();
    void CloseProgress();
    void CloseBackground();

    CBackgroundWnd* Background() const { return m_background; }
    CProgressDlg* Progress() const { return m_progress; }

private:
    CBackgroundWnd* m_background = nullptr;
    CProgressDlg* m_progress = nullptr;
};

// The windows the program gives its application object (CSetwellApp::SetWindows): each call
// of the flow goes to a CSetwellWindows with the application's values, messages and flag; the
// exit is the application's ReleaseSetup and ExitProcess(0).
std::unique_ptr<CSetupWindows> MakeSetupWindows();

}  // namespace setup
