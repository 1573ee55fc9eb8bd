// The setup program's statements beyond the header values and the files: Start-menu
// shortcuts, registry and INI entries, programs run, deletions and the restart request.
// Each runs when its statement is met in pass 1 or 2.
#pragma once

#include <cstdint>
#include <string>

#include "setup/common/program_run.h"
#include "setup/common/script_text.h"

namespace setup {

class CSetwellApp;

// StartMenuRoot: the Start menu's Programs folder + "\Quorva\<group>", made with every level.
void SetStartMenuRoot(CSetwellApp& app, const std::string& group);
// StartMenu95, StartMenu: description, target, link name[, icon file[, arguments]]; a link
// "<link name>.lnk" in the Start-menu folder, nothing before a StartMenuRoot statement.
void AddStartMenuItem(CSetwellApp& app, const ScriptFields& fields);
// Internet: AddStartMenuItem when TCP/IP name resolution is on ("EnableDNS" is "1").
void ProbeInternetDns(CSetwellApp& app, const ScriptFields& fields);
// A shell link; failures are silent.
void CreateShellLink(const std::string& description, const std::string& target, const std::string& linkPath,
                     const std::string& iconFile, const std::string& arguments);

// IniFile95: section, key, value[, file] (default "Quorva.ini" in the Windows folder). No
// value removes the key; no key removes the section.
void WriteIniStatement(CSetwellApp& app, const ScriptFields& fields);

// RegistryEntry95, RegistryEntry: key[, value name[, text]] under HKEY_LOCAL_MACHINE
// "Software"; a key alone is made with no value.
void AddRegistryEntry(CSetwellApp& app, const ScriptFields& fields);
// RegistryEntryHex: key, value name, hexadecimal digits (a REG_BINARY value).
void AddRegistryEntryHex(CSetwellApp& app, const ScriptFields& fields);
// Makes the key (59211 when it cannot) and, with a name and data, sets the value (59212);
// both failures stop the installation.
void WriteRegistryString(CSetwellApp& app, const std::string& keyText, const std::string* valueName,
                         const std::string* text);
void WriteRegistryBinary(CSetwellApp& app, const std::string& keyText, const std::string& valueName,
                         const uint8_t* bytes, size_t length);

// Around a program the setup runs: the progress dialog says so, and gets the focus back after.
class CSetupRunObserver : public CRunObserver {
public:
    explicit CSetupRunObserver(CSetwellApp& app) : m_app(app) {}
    void BeforeRun() override;
    void AfterRun() override;

private:
    CSetwellApp& m_app;
};

// InstallRunDX: a negative exit code shows 59190, an exit code of 1 asks for a restart.
void RunDirectXSetup(CSetwellApp& app, const std::string& commandLine);
// InstallReboot.
void SetInstallReboot(CSetwellApp& app);

}  // namespace setup
