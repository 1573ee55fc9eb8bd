#include "setup/rembly/rembly_app.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/afx/afx_string.h"
#include "platform/afx/string_table.h"
#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/msgbox/msgbox.h"
#include "platform/process/process.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "setup/common/install_paths.h"
#include "setup/common/installed_product.h"
#include "setup/common/program_run.h"
#include "setup/common/removal_journal.h"
#include "setup/common/tree_delete.h"
#include "setup/common/script_strings.h"
#include "setup/rembly/rembly_strings.h"

namespace setup {

namespace {

constexpr char kMakerName[] = "Quorva";
constexpr char kMakerKey[] = "Software\\Quorva";
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kTcpKey[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
constexpr char kIniDefault[] = "@#default#@";
constexpr DWORD kValueBuffer = 260;
constexpr DWORD kIniBuffer = 256;

char Upper(char c) {
    const auto u = static_cast<unsigned char>(c);
    // Windows-1252: the Latin-1 small letters lie 0x20 above their capitals (not 0xF7, the
    // division sign, nor 0xFF).
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7)) return static_cast<char>(u - 0x20);
    return c;
}

std::string UpperCase(std::string s) {
    for (char& c : s) c = Upper(c);
    return s;
}

bool EqualsNoCase1252(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

void PutCount(uint8_t* data, uint32_t count) {
    data[0] = static_cast<uint8_t>(count);
    data[1] = static_cast<uint8_t>(count >> 8);
    data[2] = static_cast<uint8_t>(count >> 16);
    data[3] = static_cast<uint8_t>(count >> 24);
}

bool IsWinIni(const std::string& file) { return EqualsNoCase1252(file, "WIN.INI"); }

// An INI file named with a folder or a drive is written where it names; a bare name goes to
// the Windows folder.
bool NamesFolder(const std::string& file) { return file.find_first_of("\\/:") != std::string::npos; }

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key) {
    char buffer[kIniBuffer] = {};
    if (IsWinIni(file)) {
        GetProfileStringA(section.c_str(), key.c_str(), kIniDefault, buffer, sizeof buffer);
    } else {
        GetPrivateProfileStringA(section.c_str(), key.c_str(), kIniDefault, buffer, sizeof buffer, file.c_str());
    }
    return buffer;
}

void WriteIni(const std::string& file, const std::string& section, const std::string& key, const char* value) {
    if (IsWinIni(file)) {
        WriteProfileStringA(section.c_str(), key.c_str(), value);
        WriteProfileStringA(nullptr, nullptr, nullptr);
    } else {
        WritePrivateProfileStringA(section.c_str(), key.c_str(), value, file.c_str());
    }
}

bool KeyHoldsValues(HKEY key) {
    char name[256] = {};
    DWORD size = sizeof name;
    const LONG rc = RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr);
    return rc != ERROR_NO_MORE_ITEMS;
}

bool KeyHoldsSubkeys(HKEY key) {
    char name[256] = {};
    DWORD size = sizeof name;
    return RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_NO_MORE_ITEMS;
}

// Deletes the key of HKEY_LOCAL_MACHINE at `path` and then each parent left empty. The key
// itself goes with its values when `withValues`; a parent goes only when it holds neither
// subkeys nor values, so other programs' values and keys stay. A top-level key is never
// deleted.
void PruneFrom(std::string path, bool withValues) {
    while (true) {
        if (path.find('\\') == std::string::npos) return;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        const bool keep = KeyHoldsSubkeys(key) || (!withValues && KeyHoldsValues(key));
        RegCloseKey(key);
        if (keep) return;
        if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS) return;
        path.resize(path.rfind('\\'));
        while (!path.empty() && path.back() == '\\') path.pop_back();
        withValues = false;
    }
}

std::string FormatMessage(UINT id, const char* s1) {
    CString text;
    const LPCSTR strings[] = {s1, nullptr};
    AfxFormatStrings(text, id, strings, 2);
    return text.Str();
}

}  // namespace

// --- CRemblyApp ----------------------------------------------------------------------------

CRemblyApp::CRemblyApp() : CWinApp("Rembly"), m_script(*this, this) {}

CRemblyApp::~CRemblyApp() = default;

CRemblyApp& TheRemblyApp() { return *static_cast<CRemblyApp*>(AfxGetApp()); }

BOOL CRemblyApp::InitInstance() {
    Enable3dControls();
    m_comInitialised = CoInitialize(nullptr) >= 0;
    InitDirectories();
    const DWORD version = GetVersion();
    const bool nt = (version & 0x80000000u) == 0;
    const int major = static_cast<int>(version & 0xFF);
    const int minor = static_cast<int>((version >> 8) & 0xFF);
    if ((nt && major == 3 && minor == 51) || (!nt && major < 4)) {
        ShowSetupMessage(2, kIdsRemovalNotWindows95, nullptr, MB_ICONHAND);
        ReleaseSetup();
        return FALSE;
    }
    // A removal stopped midway is taken up again from its record, which keeps the script.
    if (const std::optional<std::string> folder = RemovalScriptFolder(CommandTail())) {
        m_journal = std::make_unique<CRemovalJournal>(Values().windowsDir, *folder);
        m_resuming = m_journal->Load();
        if (m_resuming) m_script.UseRemovalScriptAt(m_journal->ScriptPath());
    }
    if (!m_script.ProcessProductDatForRemoval(kHeaderPass)) FatalStop(kIdsCannotOpenScript);
    // A script without its product, its tally or its welcome step removes nothing.
    if (!m_script.HeaderComplete()) FatalStop(kIdsCannotReadScript);
    RunRemoval();
    ReleaseSetup();
    return FALSE;
}

void CRemblyApp::InitDirectories() {
    ScriptValues& v = Values();
    v = ScriptValues{};
    m_lastInstallation = 0;
    m_installedPath.clear();
    m_startMenuFolder.clear();
    m_disableAutoplay = 0;

    FindStartFolders(v);
}

void CRemblyApp::RunRemoval() {
    ScriptValues& v = Values();
    if (FindWindow(nullptr, v.productName.c_str())) {
        m_script.CloseTempProductDat();
        ExitRemoval();
    }
    // A removal taken up again counts as installed whatever its statements already removed.
    if (!FindInstalledProduct() && !m_resuming) {
        ShowSetupMessage(2, kIdsNotInstalled, v.productName.c_str(), MB_ICONEXCLAMATION);
        return;
    }
    if (ShowSetupMessage(0, kIdsRemoveQuestion, v.productName.c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;

    // Every path the statements name is looked at before anything is removed.
    const std::string startMenuFolder = m_startMenuFolder;
    m_checking = true;
    m_script.ProcessProductDatForRemoval(kInstallPass);
    m_checking = false;
    m_startMenuFolder = startMenuFolder;

    // From here on the removal is recorded, and a run stopped anywhere can be run again: the
    // tally is lowered once, before the statements, and each statement done is counted.
    if (m_journal && !m_resuming) {
        const std::string script = *RemovalScriptFolder(CommandTail()) + "\\Product.Dat";
        if (!m_journal->Start(script, v.productName)) m_journal.reset();
    }
    LowerInstallTally();
    m_statementIndex = 0;
    m_script.ProcessProductDatForRemoval(kInstallPass);
    m_script.CloseTempProductDat();
    FinishRemoval();
}

int CRemblyApp::FindInstalledProduct() {
    ScriptValues& v = Values();
    HKEY maker = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMakerKey, 0, KEY_ALL_ACCESS, &maker) != ERROR_SUCCESS) {
        HKEY windows = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWindowsKey, 0, KEY_READ, &windows) == ERROR_SUCCESS) {
            if (const auto dir = QueryText(windows, "ProgramFilesDir")) v.installDir = *dir + "\\" + kMakerName;
            RegCloseKey(windows);
        }
        return 0;
    }
    InstalledProduct found;
    const int installed = FindProductInstallation(maker, kMakerKey, v, found);
    RegCloseKey(maker);
    m_installedPath = found.installedPath;
    m_disableAutoplay = found.disableAutoplay;
    return installed;
}

void CRemblyApp::LowerInstallTally() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMakerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition) !=
        ERROR_SUCCESS)
        FatalStop(kIdsRemovalCannotCreateKey, kMakerKey);
    const std::string& name = Values().tallyValueName;
    // Never a count under an empty name (the key's default value).
    if (name.empty()) {
        RegCloseKey(key);
        FatalStop(kIdsCannotReadScript);
    }
    uint8_t data[kValueBuffer] = {};
    DWORD length = sizeof data;
    DWORD type = 0;
    uint32_t count = 0;
    const bool present = RegQueryValueExA(key, name.c_str(), nullptr, &type, data, &length) == ERROR_SUCCESS;
    std::optional<uint32_t> before = present ? std::optional<uint32_t>(CountOfValue(data, length)) : std::nullopt;
    if (!present) length = 4;
    // A removal taken up again lowers the tally it first read, not the lowered one: once only.
    if (m_journal) {
        if (m_journal->tallyTaken) {
            before = m_journal->tallyBefore;
        } else {
            m_journal->tallyTaken = true;
            m_journal->tallyBefore = before;
            m_journal->Save();
        }
    }
    if (before) {
        // A stored 0 stays 0: this is the last installation, not one of four thousand million.
        count = *before == 0 ? 0 : *before - 1;
        if (*before <= 1) m_lastInstallation = 1;
    } else {
        m_lastInstallation = 1;
    }
    length = std::max<DWORD>(length, 4);
    PutCount(data, count);
    if (RegSetValueExA(key, name.c_str(), 0, REG_BINARY, data, length) != ERROR_SUCCESS) {
        RegCloseKey(key);
        FatalStop(kIdsRemovalCannotSetValue, kMakerKey);
    }
    RegCloseKey(key);
}

void CRemblyApp::FinishRemoval() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMakerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition) ==
        ERROR_SUCCESS) {
        const std::string& name = Values().tallyValueName;
        uint8_t data[kValueBuffer] = {};
        DWORD length = sizeof data;
        DWORD type = 0;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, data, &length) == ERROR_SUCCESS &&
            CountOfValue(data, length) == 0 && RegDeleteValueA(key, name.c_str()) == ERROR_SUCCESS) {
            RegCloseKey(key);
            key = nullptr;
            // The program's own file goes when Windows next starts; one run from elsewhere
            // than the installation (a build folder on the host) is never scheduled.
            const std::string self = ModuleFileName();
            if (IsOnInstallDrive(self)) ScheduleDeleteAtBoot(m_script, self);
            PruneFrom(kMakerKey, false);
        }
        if (key) RegCloseKey(key);
    }
    // The last statement is done: the record of the removal goes.
    if (m_journal) m_journal->Remove();
    ReleaseSetup();
    if (m_lastInstallation) {
        RestartWindows();
    } else {
        ShowSetupMessage(0, kIdsRemovalDone, nullptr, MB_ICONINFORMATION);
    }
    ExitRemoval();
}

void CRemblyApp::RestartWindows() {
    if (ShowSetupMessage(0, kIdsRemovalRestartQuestion, nullptr, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        RestartNow();
    } else {
        ShowSetupMessage(0, kIdsRemovalDone, nullptr, MB_ICONINFORMATION);
    }
}

void CRemblyApp::RestartNow() {
    for (int seen = 1;; ++seen) {
        char label[64] = {};
        if (!GetVolumeInformationA("a:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) break;
        if (seen == 4) FatalStop(kIdsDisketteNoRestart);
        ShowSetupMessage(1, kIdsDisketteInDrive, nullptr, MB_ICONEXCLAMATION);
    }
    const DWORD version = GetVersion();
    if ((version & 0x80000000u) == 0) {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
        TOKEN_PRIVILEGES privileges{};
        if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
            CloseHandle(token);
            return;
        }
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        const DWORD error = GetLastError();
        CloseHandle(token);
        if (error != 0) return;
    }
    ExitWindowsEx(EWX_REBOOT, 0);
}

void CRemblyApp::ReleaseSetup() {
    m_script.CloseTempProductDat();
    m_installedPath.clear();
    m_startMenuFolder.clear();
    if (m_comInitialised) {
        CoUninitialize();
        m_comInitialised = false;
    }
}

void CRemblyApp::EndProgram() { ExitRemoval(); }

void CRemblyApp::ExitRemoval() {
    ReleaseSetup();
    ExitProcess(0);
}

int CRemblyApp::ShowSetupMessage(int kind, const std::string& text, UINT flags) {
    const std::string& name = Values().productName;
    std::string caption = (name.empty() ? std::string(kMakerName) : name) + std::string(12, ' ');
    if (kind == 1) caption += std::string(8, ' ');
    if (kind == 2) {
        caption += " Error";
        flags |= MB_ICONHAND;
    }
    MessageBeep(MB_ICONHAND);
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

int CRemblyApp::ShowSetupMessage(int kind, UINT id, const char* s1, UINT flags) {
    return ShowSetupMessage(kind, FormatMessage(id, s1), flags);
}

void CRemblyApp::FatalStop(const std::string& text) {
    ShowSetupMessage(2, text, MB_ICONHAND);
    ExitRemoval();
}

void CRemblyApp::FatalStop(UINT id, const char* s1) {
    FatalStop(FormatMessage(id, s1));
    // A derived host that returns from its fatal stop still ends the run.
    ExitProcess(0);
}

// --- The removal pass ----------------------------------------------------------------------

void CRemblyApp::RunAction(CProductDat&, StatementCall& call) {
    if (m_checking) {
        CheckAction(call);
        return;
    }
    // A removal taken up again passes over what its first run did; the Start-menu folder is
    // only a value, set again each time.
    const int index = m_statementIndex++;
    if (m_journal && index < m_journal->statementsDone && call.row.actionId != kActStartMenuRoot) return;
    RunCheckedAction(call);
    if (m_journal) {
        m_journal->statementsDone = index + 1;
        m_journal->Save();
    }
}

void CRemblyApp::RequireOnInstallDrive(const std::string& path) {
    if (!IsOnInstallDrive(path)) FatalStop(kIdsCannotReadScript);
}

void CRemblyApp::RequireIniFileAllowed(const std::string& file) {
    if (NamesFolder(file)) RequireOnInstallDrive(file);
    if (NamesWinInit(m_script, file)) FatalStop(kIdsCannotReadScript);
}

namespace {

// The link file a StartMenu or Internet statement names: in the Start-menu folder, or, when
// no StartMenuRoot ran, under the maker's group of the Programs folder.
std::string LinkFile(const std::string& startMenuFolder, const ScriptValues& v, const ScriptFields& fields) {
    std::string link = startMenuFolder + "\\" + fields[2] + ".lnk";
    if (link.front() == '\\') link = v.windowsDir + "\\Start Menu\\Programs\\" + kMakerName + "\\" + v.productDir + link;
    return link;
}

bool DnsEnabled() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTcpKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    const auto value = QueryText(key, "EnableDNS");
    RegCloseKey(key);
    return value && *value == "1";
}

std::optional<std::string> ProgramsFolder() {
    LPITEMIDLIST list = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAMS, &list) < 0) return std::nullopt;
    char path[MAX_PATH] = {};
    const BOOL ok = SHGetPathFromIDList(list, path);
    CoTaskMemFree(list);
    if (!ok) return std::string();
    return std::string(path);
}

}  // namespace

void CRemblyApp::CheckAction(StatementCall& call) {
    const ScriptValues& v = Values();
    const ScriptFields& f = call.fields;
    switch (call.row.actionId) {
        case kActFile95:
        case kActFile: RequireOnInstallDrive(f[1]); return;
        case kActStartMenuRoot:
            if (const auto programs = ProgramsFolder(); programs && !programs->empty()) {
                m_startMenuFolder = *programs + "\\" + kMakerName + "\\" + call.value;
                RequireOnInstallDrive(m_startMenuFolder);
            }
            return;
        case kActStartMenu95:
        case kActStartMenu:
        case kActInternet: RequireOnInstallDrive(LinkFile(m_startMenuFolder, v, f)); return;
        case kActUninstallDelTree: {
            std::string folder = call.value;
            if (!folder.empty() && folder.back() == '\\') folder.pop_back();
            RequireOnInstallDrive(folder);
            // Refused here, before anything is removed, not halfway through the removal.
            if (IsProtectedFolder(folder)) FatalStop(kIdsCannotReadScript);
            return;
        }
        case kActUninstallErase: RequireOnInstallDrive(f[0]); return;
        case kActUninstallIniCopy:
        case kActUninstallIniEntry:
        case kActUninstallKillIniEntry: RequireIniFileAllowed(f[0]); return;
        case kActUninstallRun: RequireProgramOnInstallOrCd(m_script, call.value); return;
        case kActUninstallRunMsg: RequireProgramOnInstallOrCd(m_script, f[2]); return;
        default: return;
    }
}

void CRemblyApp::RunCheckedAction(StatementCall& call) {
    const ScriptValues& v = Values();
    const ScriptFields& f = call.fields;
    switch (call.row.actionId) {
        case kActFile95:
        case kActFile: {
            RequireOnInstallDrive(f[1]);
            std::string flags = UpperCase(f[2]);
            RemoveInstalledFile(f[1], flags);
            return;
        }
        case kActStartMenuRoot: {
            const auto programs = ProgramsFolder();
            if (!programs) {
                ShowSetupMessage(2, kIdsNoStartMenuFolder, nullptr, 0);
            } else if (programs->empty()) {
                ShowSetupMessage(2, kIdsNoStartMenuPath, nullptr, 0);
            } else {
                m_startMenuFolder = *programs + "\\" + kMakerName + "\\" + call.value;
            }
            return;
        }
        case kActInternet:
            if (!DnsEnabled()) return;
            [[fallthrough]];
        case kActStartMenu95:
        case kActStartMenu: {
            // The link path as the setup made it; a leading backslash means no StartMenuRoot ran.
            const std::string link = m_startMenuFolder + "\\" + f[2] + ".lnk";
            RequireOnInstallDrive(LinkFile(m_startMenuFolder, v, f));
            RemoveStartMenuItem(link);
            return;
        }
        case kActRegistryEntryHex:
        case kActRegistryEntry95:
        case kActRegistryEntry:
        case kActUninstallRegistryEntry: PruneRegistryKey(call.row.actionId == kActUninstallRegistryEntry ? call.value : f[0]); return;
        case kActUninstallAnyRegistryEntry:
            RemoveRegistryValue(f[0], f.Has(1) ? &f[1] : nullptr);
            return;
        case kActUninstallRun: RunProgram(call.value); return;
        case kActUninstallRunMsg: RunProgramWithPrompt(f); return;
        case kActUninstallDelTree:
            RequireOnInstallDrive(call.value);
            DeleteTree(call.value);
            return;
        case kActUninstallErase:
            RequireOnInstallDrive(f[0]);
            EraseFile(f[0]);
            return;
        case kActUninstallIniCopy: CopyIniEntry(f); return;
        case kActUninstallIniEntry: SetIniEntry(f); return;
        case kActUninstallKillIniEntry: KillIniEntry(f); return;
        default: return;
    }
}

void CRemblyApp::RemoveInstalledFile(const std::string& path, const std::string& flags) {
    if (!FileExists(path)) return;
    if (flags.find('D') != std::string::npos) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            &disposition) != ERROR_SUCCESS)
            FatalStop(kIdsRemovalCannotCreateKey, kSharedDllsKey);
        uint8_t data[kValueBuffer] = {};
        DWORD length = sizeof data;
        DWORD type = 0;
        uint32_t count = 0;
        if (RegQueryValueExA(key, path.c_str(), nullptr, &type, data, &length) == ERROR_SUCCESS) {
            const uint32_t old = CountOfValue(data, length);
            count = old == 0 ? 0 : old - 1;
        } else {
            length = 4;
        }
        length = std::max<DWORD>(length, 4);
        PutCount(data, count);
        if (RegSetValueExA(key, path.c_str(), 0, REG_BINARY, data, length) != ERROR_SUCCESS) {
            RegCloseKey(key);
            FatalStop(kIdsRemovalCannotSetValue, kSharedDllsKey);
        }
        if (count == 0) RegDeleteValueA(key, path.c_str());
        RegCloseKey(key);
        if (count != 0) return;
        std::string directory, name;
        SplitPath(path, directory, name);
        if (ShowSetupMessage(1, kIdsSharedFileUnused, name.c_str(), MB_YESNO) != IDYES) return;
    }
    const std::optional<std::string> full = plat::FullDosPath(path);
    const std::optional<std::string> self = plat::FullDosPath(ModuleFileName());
    if (!(full && self && EqualsNoCase1252(*full, *self))) {
        if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) || !DeleteFileA(path.c_str()))
            ScheduleDeleteAtBoot(m_script, path);
    }
    std::string directory, name;
    if (SplitPath(path, directory, name)) RemoveEmptiedFolders(directory);
}

void CRemblyApp::RemoveEmptiedFolders(std::string directory) {
    while (directory.size() >= 4 && !IsProtectedFolder(directory)) {
        WIN32_FIND_DATAA found{};
        const std::string pattern = directory + "\\*.*";
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        bool holdsSomething = false;
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string entry = found.cFileName;
                if (entry != "." && entry != "..") holdsSomething = true;
            } while (!holdsSomething && FindNextFileA(search, &found));
            FindClose(search);
        }
        if (holdsSomething) return;
        if (!RemoveDirectoryA(directory.c_str()))
            ShowSetupMessage(1, kIdsCannotRemoveFolder, directory.c_str(), MB_ICONEXCLAMATION);
        const size_t slash = directory.rfind('\\');
        if (slash == std::string::npos) return;
        directory.resize(slash);
    }
}

void CRemblyApp::RemoveStartMenuItem(const std::string& linkPath) {
    const ScriptValues& v = Values();
    std::string path = linkPath;
    if (!path.empty() && path.front() == '\\')
        path = v.windowsDir + "\\Start Menu\\Programs\\" + kMakerName + "\\" + v.productDir + linkPath;
    if (!FileExists(path)) return;
    if (!DeleteFileA(path.c_str())) {
        ShowSetupMessage(2, kIdsCannotRemoveLink, path.c_str(), 0);
        return;
    }
    // The emptied group folder goes, and an emptied maker's folder; the Start menu stays.
    for (size_t slash = path.rfind('\\'); slash != std::string::npos; slash = path.rfind('\\')) {
        path.resize(slash);
        if (IsProtectedFolder(path) || !RemoveDirectoryA(path.c_str())) return;
    }
}

void CRemblyApp::PruneRegistryKey(const std::string& key) {
    std::string path = "Software";
    if (key.empty() || key.front() != '\\') path += "\\";
    path += key;
    PruneFrom(path, true);
}

void CRemblyApp::RemoveRegistryValue(const std::string& key, const std::string* valueName) {
    if (valueName) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return;
        const LONG rc = RegDeleteValueA(handle, valueName->c_str());
        RegCloseKey(handle);
        // A value already gone is as good as deleted.
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) FatalStop(kIdsRemovalCannotSetValue, key.c_str());
    }
    PruneFrom(key, false);
}

void CRemblyApp::CopyIniEntry(const ScriptFields& f) {
    const std::string value = ReadIni(f[3], f[4], f[5]);
    if (value == kIniDefault) return;
    RequireIniFileAllowed(f[0]);
    WriteIni(f[0], f[1], f[2], value.c_str());
}

void CRemblyApp::SetIniEntry(const ScriptFields& f) {
    RequireIniFileAllowed(f[0]);
    WriteIni(f[0], f[1], f[2], f[3].c_str());
}

void CRemblyApp::KillIniEntry(const ScriptFields& f) {
    const std::string value = UpperCase(ReadIni(f[0], f[1], f[2]));
    if (value.find(UpperCase(f[3])) == std::string::npos) return;
    RequireIniFileAllowed(f[0]);
    WriteIni(f[0], f[1], f[2], nullptr);
}

// --- What the removal shares with the setup program ----------------------------------------

void CRemblyApp::RunProgram(const std::string& commandLine) { setup::RunProgram(m_script, commandLine); }

void CRemblyApp::RunProgramWithPrompt(const ScriptFields& f) {
    setup::RunProgramWithPrompt(m_script, f[0], f[1], f[2]);
}

void CRemblyApp::DeleteTree(const std::string& directory) { setup::DeleteTree(m_script, directory); }

void CRemblyApp::EraseFile(const std::string& path) { setup::EraseFile(m_script, path); }

}  // namespace setup
