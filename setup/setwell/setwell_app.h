// The setup program's application object. InitInstance does the whole run and returns FALSE,
// so the class library's message loop never runs: the header pass of the product's script,
// then exactly one of a new installation (pass 1), an installation over an existing copy
// (pass 2, when started with the command line "OverInstall") or a plain start from the CD
// (the final-dialog program). Every exit goes through ReleaseSetup, and ends the process with
// ExitProcess(0) or by InitInstance returning FALSE.
//
// The header values, the folders and the open script copy live in the script object
// (Script(), Values()); the members below are the run's own state.
#pragma once

#include <memory>
#include <string>

#include "platform/afx/object.h"
#include "platform/afxwin/winapp.h"
#include "setup/common/installed_product.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_host.h"
#include "setup/common/statement_handlers.h"
#include "setup/setwell/setup_windows.h"

namespace setup {

// The system's version as GetVersion reported it when the object was made.
class CWinVersion : public CObject {
public:
    CWinVersion();
    ~CWinVersion() override = default;

    bool IsWindowsNT() const { return (m_version & 0x80000000u) == 0; }
    bool IsWindows95() const { return !IsWindowsNT() && Major() >= 4; }
    int Major() const { return static_cast<int>(m_version & 0xFF); }
    int Minor() const { return static_cast<int>((m_version >> 8) & 0xFF); }
    // Windows 95 and Windows NT run the program, except NT 3.51.
    bool IsSupported() const;

private:
    DWORD m_version;
};

// The registry key of the maker's products; the install tally and the products' keys are under it.
inline constexpr char kMakerKey[] = "Software\\Quorva";

class CSetwellApp : public CWinApp, public CScriptHost, public CStatementActions {
public:
    CSetwellApp();
    ~CSetwellApp() override;

    BOOL InitInstance() override;

    void InitDirectories();
    void RunInstall();
    // Nonzero when the product counts as installed; sets the install folder offered, the
    // installed path and the autoplay flag on the way.
    int FindInstalledProduct();
    void LaunchAfterInstall();
    void RegisterWithLauncher();
    // The clean-up before every exit; nothing while there is no main window, and harmless
    // when run again. The source drive and the product name stay until RestartWindows ran.
    void ReleaseSetup();

    // Kind 0 plain, 1 notice (caption with one more blank), 2 error (" Error" and the stop
    // icon); the caption is the product name, or "Quorva" while it is unknown.
    int ShowSetupMessage(int kind, const std::string& text, UINT flags) override;
    int ShowSetupMessage(int kind, UINT id, const char* s1, UINT flags, const char* s2 = nullptr);
    // Error message, clean-up, end of the process.
    [[noreturn]] void FatalStop(const std::string& text) override;
    [[noreturn]] void FatalStop(UINT id, const char* s1 = nullptr, const char* s2 = nullptr);
    // Clean-up and end of the process without a message (a run statement's question declined).
    void EndProgram() override;

    // The statements of the setup program (CStatementActions).
    void RunAction(CProductDat& script, StatementCall& call) override;
    void MissingFields(CProductDat& script, StatementCall& call) override;

    CProductDat& Script() { return m_script; }
    ScriptValues& Values() { return m_script.Values(); }
    CSetupWindows& Windows() { return *m_windows; }
    void SetWindows(std::unique_ptr<CSetupWindows> windows);

    // Restarts Windows at the end of an installation that asks for it, when the user agrees
    // and no diskette is left in drive A (a fourth reminder stops the setup with 59203).
    virtual void RestartWindows();
    // Whether a disk is in drive A (its volume information can be read).
    virtual bool DisketteInDriveA();
    // Starts a program (WinExec); > 31 on success.
    virtual UINT LaunchProgram(const std::string& commandLine, UINT showCommand);

    // The run's own state.
    int32_t m_secondInstance = 0;     // another copy already runs (set by the windows)
    std::string m_installedPath;      // the product key's "Install Path"
    std::string m_startMenuFolder;    // set by StartMenuRoot
    std::string m_commandLine;        // the whole command line
    int32_t m_disableAutoplay = 0;    // DisableAutoplayFlag
    int32_t m_restartWanted = 0;
    int32_t m_overInstallRun = 0;

private:
    void UpdateInstallTally();
    [[noreturn]] void ExitSetup();  // ReleaseSetup, then ExitProcess(0)
    void ForgetRestartValues();

    CProductDat m_script;
    std::unique_ptr<CSetupWindows> m_windows;
    bool m_comInitialised = false;
};

// The running program's application object.
CSetwellApp& TheSetwellApp();

}  // namespace setup
