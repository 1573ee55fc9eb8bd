#include "setup/setwell/setwell_app.h"

#include <algorithm>
#include <cstring>

#include "platform/afx/afx_string.h"
#include "platform/afx/string_table.h"
#include "platform/core/winuser.h"
#include "platform/fs/winfile.h"
#include "platform/msgbox/msgbox.h"
#include "platform/process/process.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "setup/common/install_paths.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_text.h"
#include "setup/common/program_run.h"
#include "setup/common/removal_journal.h"
#include "setup/common/tree_delete.h"
#include "setup/setwell/file_install.h"
#include "setup/setwell/setup_statements.h"
#include "setup/setwell/setwell_strings.h"

namespace setup {

namespace {

constexpr char kMakerName[] = "Quorva";
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kLauncherKey[] = "Software\\Quorva\\Zadaro\\AddApp";
constexpr DWORD kValueBuffer = 260;

// Cuts the path at its rightmost backslash; unchanged when it has none.
std::string CutLastComponent(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

}  // namespace

// --- CWinVersion ---------------------------------------------------------------------------

CWinVersion::CWinVersion() : m_version(GetVersion()) {}

bool CWinVersion::IsSupported() const {
    if (IsWindowsNT() && Major() == 3 && Minor() == 51) return false;
    return IsWindows95() || IsWindowsNT();
}

// --- CSetwellApp ---------------------------------------------------------------------------

namespace {

// Until the program installs its windows: no windows, so no dialog answers; a welcome step
// cannot choose a folder and ends the run as a Cancel would.
class CNoSetupWindows : public CSetupWindows {
public:
    void RunWelcomeStep(CSetwellApp& app) override {
        app.ReleaseSetup();
        ExitProcess(0);
    }
    void OpenProgress(CSetwellApp&) override {}
    bool OpenBackground(CSetwellApp&) override { return false; }
    void SetProgressText(CSetwellApp&, const std::string&) override {}
    void FocusProgress(CSetwellApp&) override {}
    void CloseProgress(CSetwellApp&) override {}
    void CloseBackground(CSetwellApp&) override {}
};

}  // namespace

CSetwellApp::CSetwellApp() : CWinApp("Setwell"), m_script(*this, this), m_windows(std::make_unique<CNoSetupWindows>()) {}

CSetwellApp::~CSetwellApp() = default;

CSetwellApp& TheSetwellApp() { return *static_cast<CSetwellApp*>(AfxGetApp()); }

void CSetwellApp::SetWindows(std::unique_ptr<CSetupWindows> windows) {
    m_windows = windows ? std::move(windows) : std::make_unique<CNoSetupWindows>();
}

BOOL CSetwellApp::InitInstance() {
    m_commandLine = GetCommandLineA();
    Enable3dControls();
    m_comInitialised = CoInitialize(nullptr) >= 0;
    InitDirectories();
    // Only a command line that is exactly this word (the installed product starts the
    // program so) is an over-install.
    m_overInstallRun = EqualsNoCase(m_commandLine, "OverInstall") ? 1 : 0;

    const CWinVersion version;
    if (!version.IsSupported()) {
        ShowSetupMessage(2, kIdsNotWindows95, nullptr, MB_ICONHAND);
        ReleaseSetup();
        return FALSE;
    }
    if (!m_script.ProcessProductDat(kHeaderPass)) FatalStop(kIdsCannotOpenScript);
    // A script without its product, its tally or its welcome step changes nothing.
    if (!m_script.HeaderComplete()) FatalStop(kIdsCannotReadScript);
    RunInstall();
    ReleaseSetup();
    return FALSE;
}

void CSetwellApp::InitDirectories() {
    ScriptValues& v = Values();
    v = ScriptValues{};
    m_installedPath.clear();
    m_startMenuFolder.clear();
    m_disableAutoplay = 0;
    m_restartWanted = 0;
    m_secondInstance = 0;

    FindStartFolders(v);
}

void CSetwellApp::RunInstall() {
    ScriptValues& v = Values();
    // The product runs: leave it alone.
    if (FindWindow(nullptr, v.productName.c_str())) {
        m_script.CloseTempProductDat();
        ExitSetup();
    }

    if (!FindInstalledProduct()) {
        m_script.ProcessProductDat(kInstallPass);
        m_script.CloseTempProductDat();
        // A removal of this product stopped midway is over: this installation replaces it.
        CRemovalJournal::DropRecordsOfProduct(v.windowsDir, v.productName);
        UpdateInstallTally();
        LaunchAfterInstall();
        if (m_restartWanted) {
            ReleaseSetup();
            RestartWindows();
            ForgetRestartValues();
        }
        return;
    }

    if (m_overInstallRun) {
        if (v.noOverinstall) {
            ShowSetupMessage(0, kIdsAlreadyInstalled, v.productName.c_str(), 0);
            m_script.CloseTempProductDat();
            ExitSetup();
        }
        v.installDir = CutLastComponent(CutLastComponent(m_installedPath));
        // Another copy runs: end as the welcome step does, without a window.
        if (!m_windows->OpenBackground(*this)) {
            m_pMainWnd = nullptr;
            ExitSetup();
        }
        m_script.ProcessProductDat(kOverInstallPass);
        m_script.CloseTempProductDat();
        LaunchAfterInstall();
        if (m_restartWanted) {
            ReleaseSetup();
            RestartWindows();
            ForgetRestartValues();
            return;
        }
        m_script.CloseTempProductDat();
        ExitSetup();
    }

    // A plain start from the CD of an installed product.
    m_script.CloseTempProductDat();
    if (m_disableAutoplay) return;
    if (!FindWindow(nullptr, v.productName.c_str())) {
        RequireProgramOnInstallOrCd(m_script, v.finalDlgExe);
        LaunchProgram(v.finalDlgExe, SW_SHOWNORMAL);
    }
    ExitSetup();
}

void CSetwellApp::UpdateInstallTally() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMakerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition) !=
        ERROR_SUCCESS)
        FatalStop(kIdsCannotCreateKey, kMakerKey);
    const std::string& name = Values().tallyValueName;
    // Never a count under an empty name (the key's default value).
    if (name.empty()) {
        RegCloseKey(key);
        FatalStop(kIdsCannotReadScript);
    }
    uint8_t data[kValueBuffer] = {};
    DWORD length = sizeof data;
    DWORD type = 0;
    uint32_t count = 1;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, data, &length) == ERROR_SUCCESS) {
        count = CountOfValue(data, length);
        if (!m_overInstallRun) ++count;
    } else {
        length = 4;
    }
    // Never shorter than the count itself; longer values keep their other bytes.
    length = std::max<DWORD>(length, 4);
    data[0] = static_cast<uint8_t>(count);
    data[1] = static_cast<uint8_t>(count >> 8);
    data[2] = static_cast<uint8_t>(count >> 16);
    data[3] = static_cast<uint8_t>(count >> 24);
    if (RegSetValueExA(key, name.c_str(), 0, REG_BINARY, data, length) != ERROR_SUCCESS) {
        RegCloseKey(key);
        FatalStop(kIdsCannotSetValue, kMakerKey);
    }
    RegCloseKey(key);
}

int CSetwellApp::FindInstalledProduct() {
    ScriptValues& v = Values();
    const auto programFilesDir = [] {
        std::optional<std::string> dir;
        HKEY windows = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWindowsKey, 0, KEY_READ, &windows) == ERROR_SUCCESS) {
            dir = QueryText(windows, "ProgramFilesDir");
            RegCloseKey(windows);
        }
        return dir;
    };

    HKEY maker = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMakerKey, 0, KEY_ALL_ACCESS, &maker) != ERROR_SUCCESS) {
        if (const auto dir = programFilesDir()) v.installDir = *dir + "\\" + kMakerName;
        return 0;
    }
    if (const auto home = QueryText(maker, "Default Home")) {
        v.installDir = *home;
    } else if (const auto dir = programFilesDir()) {
        v.installDir = *dir + "\\" + kMakerName;
    }

    InstalledProduct found;
    const int installed = FindProductInstallation(maker, kMakerKey, v, found);
    RegCloseKey(maker);
    m_installedPath = found.installedPath;
    m_disableAutoplay = found.disableAutoplay;
    return installed;
}

void CSetwellApp::LaunchAfterInstall() {
    ScriptValues& v = Values();
    m_windows->CloseProgress(*this);
    MessageBeep(MB_ICONHAND);
    ShowSetupMessage(0, kIdsInstallationDone, v.productName.c_str(), MB_ICONINFORMATION);
    if (v.runOnlineReg && !m_overInstallRun) {
        const std::string folder = v.setupDir + "\\" + v.onlineRegDir;
        const std::string program = folder + "\\" + v.onlineRegExe;
        WritePrivateProfileStringA("Online Registration", "Register Path", folder.c_str(), "Quorva.ini");
        RequireProgramOnInstallOrCd(m_script, program);
        if (LaunchProgram(program, SW_SHOW) < 32) {
            MessageBeep(MB_ICONHAND);
            ShowSetupMessage(0, kIdsCannotInstall, v.productName.c_str(), MB_ICONINFORMATION);
        }
    } else if (v.runAutoPlayDlg) {
        RequireProgramOnInstallOrCd(m_script, v.finalDlgExe);
        if (LaunchProgram(v.finalDlgExe, SW_SHOWNORMAL) < 32) {
            MessageBeep(MB_ICONHAND);
            ShowSetupMessage(0, kIdsInstallationDone, v.productName.c_str(), MB_ICONINFORMATION);
        }
    }
}

void CSetwellApp::RegisterWithLauncher() {
    ScriptValues& v = Values();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLauncherKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    if (ShowSetupMessage(0, kIdsAddToLauncher, v.productName.c_str(), MB_YESNO) == IDYES) {
        const std::string program = v.installDir + "\\" + v.productDir + "\\" + v.productExe + ".exe";
        if (RegSetValueExA(key, v.productName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(program.c_str()),
                           static_cast<DWORD>(program.size())) != ERROR_SUCCESS) {
            RegCloseKey(key);
            FatalStop(kIdsCannotSetLauncherValue);
        }
    }
    RegCloseKey(key);
}

void CSetwellApp::ReleaseSetup() {
    // The script's copy goes on every way out, with or without a window.
    m_script.CloseTempProductDat();
    if (!m_pMainWnd) return;
    m_windows->CloseBackground(*this);
    m_pMainWnd = nullptr;
    m_windows->CloseProgress(*this);
    // The source drive and the product name stay for RestartWindows, which runs after this
    // clean-up and still names them (ForgetRestartValues empties them afterwards).
    ScriptValues& v = Values();
    std::string sourceDrive = std::move(v.sourceDrive);
    std::string productName = std::move(v.productName);
    v = ScriptValues{};
    for (std::string* s : {&v.splashArtBmp, &v.welcomeTitle, &v.welcomeMessage, &v.installDir, &v.overInstallCommand})
        s->clear();
    v.sourceDrive = std::move(sourceDrive);
    v.productName = std::move(productName);
    m_installedPath.clear();
    m_startMenuFolder.clear();
    m_commandLine.clear();
    if (m_comInitialised) {
        CoUninitialize();
        m_comInitialised = false;
    }
}

void CSetwellApp::ForgetRestartValues() {
    Values().sourceDrive.clear();
    Values().productName.clear();
}

void CSetwellApp::RestartWindows() {
    const std::string& drive = Values().sourceDrive;
    const char letter = drive.empty() ? '\0' : static_cast<char>(drive[0] & ~0x20);
    std::string question;
    if (letter == 'A' || letter == 'B') {
        CString text;
        const char name[] = {letter, '\0'};
        AfxFormatString1(text, kIdsRemoveDisketteRestart, name);
        question = text.Str();
    } else {
        CString text;
        text.LoadString(kIdsRestartQuestion);
        question = text.Str();
    }
    if (ShowSetupMessage(0, question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;

    for (int found = 1; DisketteInDriveA(); ++found) {
        if (found == 4) FatalStop(kIdsDisketteNoRestart);
        ShowSetupMessage(1, kIdsDisketteInDriveA, nullptr, MB_ICONEXCLAMATION);
    }

    if (CWinVersion().IsWindowsNT()) {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
        TOKEN_PRIVILEGES privileges{};
        const bool looked = LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) != FALSE;
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        const bool adjusted =
            looked && AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
        const DWORD error = GetLastError();
        CloseHandle(token);
        if (!adjusted || error != 0) return;
    }
    ExitWindowsEx(EWX_REBOOT, 0);
}

bool CSetwellApp::DisketteInDriveA() {
    char label[MAX_PATH] = {};
    DWORD serial = 0, maxLength = 0, flags = 0;
    return GetVolumeInformationA("a:\\", label, sizeof label, &serial, &maxLength, &flags, nullptr, 0) != FALSE;
}

void CSetwellApp::EndProgram() { ExitSetup(); }

UINT CSetwellApp::LaunchProgram(const std::string& commandLine, UINT showCommand) {
    return WinExec(commandLine.c_str(), showCommand);
}

void CSetwellApp::ExitSetup() {
    ReleaseSetup();
    ExitProcess(0);
}

int CSetwellApp::ShowSetupMessage(int kind, const std::string& text, UINT flags) {
    const std::string& name = Values().productName;
    std::string caption = (name.empty() ? std::string(kMakerName) : name) + " ";
    if (kind == 1) caption += " ";
    if (kind == 2) {
        caption += " Error";
        flags |= MB_ICONHAND;
    }
    MessageBeep(MB_ICONHAND);
    HWND owner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

int CSetwellApp::ShowSetupMessage(int kind, UINT id, const char* s1, UINT flags, const char* s2) {
    CString text;
    const LPCSTR strings[] = {s1, s2};
    AfxFormatStrings(text, id, strings, 2);
    return ShowSetupMessage(kind, std::string(text.Str()), flags);
}

void CSetwellApp::FatalStop(const std::string& text) {
    ShowSetupMessage(2, text, MB_ICONHAND);
    ExitSetup();
}

void CSetwellApp::FatalStop(UINT id, const char* s1, const char* s2) {
    CString text;
    const LPCSTR strings[] = {s1, s2};
    AfxFormatStrings(text, id, strings, 2);
    FatalStop(std::string(text.Str()));
    // A derived host that returns from its fatal stop still ends the run.
    ExitProcess(0);
}

void CSetwellApp::RunAction(CProductDat&, StatementCall& call) {
    switch (call.row.actionId) {
        case kActWelcomeDialog:
            if (call.pass == kInstallPass) {
                m_windows->RunWelcomeStep(*this);
            } else {
                m_windows->OpenProgress(*this);
            }
            return;
        case kActDisk: CheckDiskLabel(*this, call.fields); return;
        case kActFile95:
        case kActFile: ParseFileStatement(*this, call.fields); return;
        case kActFinalText: RegisterWithLauncher(); return;
        case kActStartMenuRoot: SetStartMenuRoot(*this, call.value); return;
        case kActStartMenu95:
        case kActStartMenu: AddStartMenuItem(*this, call.fields); return;
        case kActInternet: ProbeInternetDns(*this, call.fields); return;
        case kActIniFile95: WriteIniStatement(*this, call.fields); return;
        case kActRegistryEntry95:
        case kActRegistryEntry: AddRegistryEntry(*this, call.fields); return;
        case kActRegistryEntryHex: AddRegistryEntryHex(*this, call.fields); return;
        case kActInstallRun: {
            CSetupRunObserver observer(*this);
            RunProgram(m_script, call.value, &observer);
            return;
        }
        case kActInstallRunMsg: {
            CSetupRunObserver observer(*this);
            RunProgramWithPrompt(m_script, call.fields[0], call.fields[1], call.fields[2], &observer);
            return;
        }
        case kActInstallRunDX: RunDirectXSetup(*this, call.value); return;
        case kActInstallDelTree: DeleteTree(m_script, call.value); return;
        case kActInstallErase: EraseFile(m_script, call.fields[0]); return;
        case kActInstallReboot: SetInstallReboot(*this); return;
        default: return;
    }
}

void CSetwellApp::MissingFields(CProductDat&, StatementCall& call) {
    if (call.row.actionId == kActFile95 || call.row.actionId == kActFile) ParseFileStatement(*this, call.fields);
}

}  // namespace setup
