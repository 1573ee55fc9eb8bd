// The removal program's application object. InitInstance does the whole run and returns
// FALSE: the header pass of the installed copy of the product's script (its folder is the
// quoted command line), the question, one removal pass that undoes the script's statements,
// the install tally lowered by one, and the end: the restart question after the last
// installation, else the closing message. The program shows no window of its own.
//
// Nothing outside the emulated drive C: is ever deleted, overwritten or removed: before the
// removal pass a checking pass reads every statement, and one whose path lies elsewhere (Z: is
// the host's whole file system) stops the program before anything is touched.
#pragma once

#include <memory>
#include <string>

#include "platform/afxwin/winapp.h"
#include "setup/common/product_dat.h"
#include "setup/common/removal_journal.h"
#include "setup/common/script_host.h"
#include "setup/common/statement_handlers.h"

namespace setup {

class CRemblyApp : public CWinApp, public CScriptHost, public CStatementActions {
public:
    CRemblyApp();
    ~CRemblyApp() override;

    BOOL InitInstance() override;

    void InitDirectories();
    void RunRemoval();
    // Nonzero when the product counts as installed. The install folder changes only when the
    // maker's key is missing altogether.
    int FindInstalledProduct();
    // Lowers the install tally by one; a tally at 0 or missing stays 0 and marks the last
    // installation.
    void LowerInstallTally();
    [[noreturn]] void FinishRemoval();
    // The restart question after the last installation; Yes restarts Windows.
    void RestartWindows();
    // Closes and deletes the script copy if it is open, ends COM; harmless when run again.
    void ReleaseSetup();

    // The removal handlers.
    void RemoveInstalledFile(const std::string& path, const std::string& flags);
    void RemoveStartMenuItem(const std::string& linkPath);
    void PruneRegistryKey(const std::string& key);
    void RemoveRegistryValue(const std::string& key, const std::string* valueName);
    void CopyIniEntry(const ScriptFields& fields);
    void SetIniEntry(const ScriptFields& fields);
    void KillIniEntry(const ScriptFields& fields);

    // Kind 0 plain, 1 notice, 2 error (" Error" and the stop icon); the caption is the product
    // name (or "Quorva") followed by twelve blanks, a notice's by eight more.
    int ShowSetupMessage(int kind, const std::string& text, UINT flags) override;
    int ShowSetupMessage(int kind, UINT id, const char* s1, UINT flags);
    [[noreturn]] void FatalStop(const std::string& text) override;
    // Clean-up and end without a message (a run statement's question declined).
    void EndProgram() override;
    [[noreturn]] void FatalStop(UINT id, const char* s1 = nullptr);

    // The statements of the removal pass (CStatementActions).
    void RunAction(CProductDat& script, StatementCall& call) override;

    CProductDat& Script() { return m_script; }
    ScriptValues& Values() { return m_script.Values(); }

    // What the removal shares with the setup program's statements: programs run and waited
    // for, folders and files deleted, and the restart itself.
    virtual void RunProgram(const std::string& commandLine);
    virtual void RunProgramWithPrompt(const ScriptFields& fields);
    virtual void DeleteTree(const std::string& directory);
    virtual void EraseFile(const std::string& path);
    // The diskette check and the restart of Windows (ExitWindowsEx ends the program).
    virtual void RestartNow();

    // The run's own state.
    int32_t m_lastInstallation = 0;  // the tally reached 0 or was missing
    std::string m_installedPath;
    std::string m_startMenuFolder;
    int32_t m_disableAutoplay = 0;

private:
    void RunCheckedAction(StatementCall& call);
    void CheckAction(StatementCall& call);
    void RequireOnInstallDrive(const std::string& path);
    // An INI file a statement writes: on C: when it names a folder, and never WinInit.ini.
    void RequireIniFileAllowed(const std::string& file);
    void RemoveEmptiedFolders(std::string directory);
    [[noreturn]] void ExitRemoval();

    CProductDat m_script;
    std::unique_ptr<CRemovalJournal> m_journal;  // the record of this removal
    bool m_resuming = false;  // a removal stopped midway, taken up again
    int m_statementIndex = 0;
    bool m_checking = false;  // the checking pass: paths are looked at, nothing is done
    bool m_comInitialised = false;
};

// The running program's application object.
CRemblyApp& TheRemblyApp();

}  // namespace setup
