#include "setup/setwell/setup_statements.h"

#include <array>
#include <cstring>

#include "platform/afx/afx_string.h"
#include "platform/afx/message_box.h"
#include "platform/fs/winfile.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "setup/common/install_paths.h"
#include "setup/common/program_run.h"
#include "setup/common/registry_text.h"
#include "setup/common/script_strings.h"
#include "setup/setwell/setwell_app.h"
#include "setup/setwell/setwell_strings.h"

namespace setup {

namespace {

constexpr char kQuorvaFolder[] = "\\Quorva";
constexpr char kTcpIpKey[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr char kDefaultIniFile[] = "Quorva.ini";

void ShowProgress(CSetwellApp& app, UINT id) {
    CString text;
    text.LoadString(id);
    app.Windows().SetProgressText(app, text.Str());
}

// A file a statement writes must lie on the emulated installation's drive (a name without a
// folder is the Windows folder's).
void RequireInstallDrive(CSetwellApp& app, const std::string& path) {
    if (path.find_first_of("\\/") != std::string::npos && !IsOnInstallDrive(path))
        app.FatalStop(kIdsCannotReadScript);
}

void WriteRegistryValue(CSetwellApp& app, const std::string& keyText, const std::string* valueName, DWORD type,
                        const BYTE* data, DWORD length) {
    const std::string path = RegistryPathOfKey(keyText);
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        app.FatalStop(kIdsCannotCreateKey, path.c_str());
    if (valueName && data && RegSetValueExA(key, valueName->c_str(), 0, type, data, length) != ERROR_SUCCESS) {
        RegCloseKey(key);
        app.FatalStop(kIdsCannotSetValue, path.c_str());
    }
    RegCloseKey(key);
}

}  // namespace

// --- Shortcuts -----------------------------------------------------------------------------

void SetStartMenuRoot(CSetwellApp& app, const std::string& group) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list))) {
        app.ShowSetupMessage(2, kIdsNoStartMenuFolder, nullptr, 0);
    } else {
        char programs[MAX_PATH] = {};
        if (!SHGetPathFromIDList(list, programs)) {
            app.ShowSetupMessage(2, kIdsNoStartMenuPath, nullptr, 0);
        } else {
            app.m_startMenuFolder = std::string(programs) + kQuorvaFolder + "\\" + group;
        }
        CoTaskMemFree(list);
    }
    // Looked at before anything is made: a Start menu that is a link off C: is not this
    // installation's.
    if (!app.m_startMenuFolder.empty() && !IsOnInstallDrive(app.m_startMenuFolder)) app.FatalStop(kIdsCannotReadScript);
    CreateDirectoryPath(app.m_startMenuFolder);
}

void AddStartMenuItem(CSetwellApp& app, const ScriptFields& fields) {
    if (app.m_startMenuFolder.empty()) return;
    const std::string linkPath = app.m_startMenuFolder + "\\" + fields[2] + ".lnk";
    RequireInstallDrive(app, linkPath);
    // A shortcut starts only what lies in the installation or on the CD.
    if (!IsOnInstallOrCdDrive(fields[1])) app.FatalStop(kIdsCannotReadScript);
    // The arguments count only after an icon field.
    CreateShellLink(fields[0], fields[1], linkPath, fields[3], fields.Has(3) ? fields[4] : std::string());
}

void ProbeInternetDns(CSetwellApp& app, const ScriptFields& fields) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTcpIpKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    const LONG found = RegQueryValueExA(key, "EnableDNS", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (found == ERROR_SUCCESS && std::strcmp(value, "1") == 0) AddStartMenuItem(app, fields);
}

void CreateShellLink(const std::string& description, const std::string& target, const std::string& linkPath,
                     const std::string& iconFile, const std::string& arguments) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        link->SetPath(target.c_str());
        link->SetDescription(description.c_str());
        if (!iconFile.empty()) link->SetIconLocation(iconFile.c_str(), 0);
        if (!arguments.empty()) link->SetArguments(arguments.c_str());
        std::array<WCHAR, MAX_PATH> wide{};
        if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide.data(), static_cast<int>(wide.size())) > 0)
            file->Save(wide.data(), FALSE);
        file->Release();
    }
    link->Release();
}

// --- INI and registry ----------------------------------------------------------------------

void WriteIniStatement(CSetwellApp& app, const ScriptFields& fields) {
    const std::string file = fields.Has(3) ? fields[3] : std::string(kDefaultIniFile);
    RequireInstallDrive(app, file);
    if (NamesWinInit(app.Script(), file)) app.FatalStop(kIdsCannotReadScript);
    WritePrivateProfileStringA(fields[0].c_str(), fields.Has(1) ? fields[1].c_str() : nullptr,
                               fields.Has(2) ? fields[2].c_str() : nullptr, file.c_str());
}

void AddRegistryEntry(CSetwellApp& app, const ScriptFields& fields) {
    ShowProgress(app, kIdsMakingRegistryEntries);
    WriteRegistryString(app, fields[0], fields.Has(1) ? &fields[1] : nullptr, fields.Has(2) ? &fields[2] : nullptr);
}

void AddRegistryEntryHex(CSetwellApp& app, const ScriptFields& fields) {
    ShowProgress(app, kIdsMakingRegistryEntries);
    std::array<uint8_t, kHexByteBuffer> bytes{};
    const size_t count = ParseHexBytes(bytes, fields[2]);
    WriteRegistryBinary(app, fields[0], fields[1], bytes.data(), count);
}

void WriteRegistryString(CSetwellApp& app, const std::string& keyText, const std::string* valueName,
                         const std::string* text) {
    WriteRegistryValue(app, keyText, valueName, REG_SZ, text ? reinterpret_cast<const BYTE*>(text->c_str()) : nullptr,
                       text ? static_cast<DWORD>(text->size()) : 0);
}

void WriteRegistryBinary(CSetwellApp& app, const std::string& keyText, const std::string& valueName,
                         const uint8_t* bytes, size_t length) {
    WriteRegistryValue(app, keyText, &valueName, REG_BINARY, bytes, static_cast<DWORD>(length));
}

// --- Programs and the restart --------------------------------------------------------------

void CSetupRunObserver::BeforeRun() { ShowProgress(m_app, kIdsRunningProgram); }
void CSetupRunObserver::AfterRun() { m_app.Windows().FocusProgress(m_app); }

void RunDirectXSetup(CSetwellApp& app, const std::string& commandLine) {
    CSetupRunObserver observer(app);
    const std::optional<DWORD> code = RunProgram(app.Script(), commandLine, &observer);
    if (!code) return;
    const int32_t result = static_cast<int32_t>(*code);
    if (result < 0) app.ShowSetupMessage(2, kIdsDirectXFailed, nullptr, 0);
    if (result == 1) app.m_restartWanted = 1;
}

void SetInstallReboot(CSetwellApp& app) { app.m_restartWanted = 1; }

}  // namespace setup
