#include "engine/core/cor_engine.h"

#include <cstring>

#include "engine/core/engine_drag_host.h"
#include "engine/core/engine_hosts.h"
#include "engine/core/fatal_error.h"
#include "engine/core/launcher.h"
#include "engine/scene/sound_toolbox.h"
#include "media/res/item_cache.h"
#include "media/res/read_error_prompt.h"
#include "media/res/res_item_table.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/crt.h"
#include "platform/core/seam.h"
#include "platform/fs/winfile.h"
#include "platform/gdi/text_out.h"
#include "platform/msgbox/msgbox.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"

namespace {

constexpr const char* kIniFile = "QUORVA.INI";
constexpr const char* kFontFile = "RODODED1.FON";
constexpr const char* kCdPromptFallback =
    "Unable to read from application CD. Please insert CD and press OK\n"
    "or press CANCEL to exit program.";

constinit plat::Seam<IAdultSection> gAdultSection;

void AppendBackslash(std::string& folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
}

std::string EngineRegistryKey(CCorEngine& engine) {
    return std::string("Software\\Quorva\\") + engine.GetTitle() + "\\" + engine.GetVersionText();
}

}  // namespace

IAdultSection* SetAdultSection(IAdultSection* section) { return gAdultSection.Install(section); }
IAdultSection& AdultSection() { return gAdultSection.Get(); }

std::string ProgramFolderOf(const std::string& programPath) {
    const size_t cut = programPath.find_last_of('\\');
    return cut == std::string::npos ? std::string() : programPath.substr(0, cut + 1);
}

// Construction touches nothing of the platform but GetVersion: it runs before main.
CCorEngine::CCorEngine()
    : m_platformVersion(GetVersion()),
      m_dragHost(MakeEngineDragHost(*this)),
      m_drag(*m_dragHost),
      m_previousEngine(theEngine) {
    theEngine = this;
    m_busyGuard = 1;
}

// The game's class shuts down in its own destructor, while its virtual operations still
// answer; what is left here (a start-up never shut down) is undone without them.
CCorEngine::~CCorEngine() {
    if (m_started) UndoStartup();
    if (theEngine == this) theEngine = m_previousEngine;
}

COLORREF CCorEngine::GetBackgroundColor() { return GetSysColor(COLOR_BTNFACE); }

CEngineCall::CEngineCall() {
    if (theEngine) ++theEngine->m_callDepth;
}

CEngineCall::~CEngineCall() {
    if (theEngine) --theEngine->m_callDepth;
}

int32_t CCorEngine::MapResourceId(int16_t id) const {
    const int32_t r = id % 1000;
    int32_t absolute;
    if (m_sharedThreshold <= r && r < 990) {
        absolute = m_sharedBase + r;
    } else if (r < 0) {
        absolute = r - m_currentModule * 1000;
    } else {
        absolute = r + m_currentModule * 1000;
    }
    return static_cast<int16_t>(absolute);
}

std::string CCorEngine::ResourceFilePath(int module) const {
    return m_resourceFolder + m_appKey + static_cast<char>('0' + module) + ".res";
}

BOOL CCorEngine::OpenResourceFile(int module, BOOL prompt) {
    if (module < 0 || module >= kModuleCount) return FALSE;
    const std::string path = ResourceFilePath(module);
    CResMgr& file = m_resFiles[static_cast<size_t>(module)];
    for (;;) {
        if (file.Open(path.c_str())) return TRUE;
        if (!prompt) return FALSE;
        CString text;
        AfxFormatString1(text, 40010, path.c_str());
        if (AfxMessageBox(text, MB_OKCANCEL) != IDOK) {
            QuitGame();
            return FALSE;
        }
    }
}

void CCorEngine::CloseResourceFile(int module) {
    if (module < 0 || module >= kModuleCount) return;
    m_resFiles[static_cast<size_t>(module)].Close();
}

void CCorEngine::Startup(const std::string& programFolder) {
    CEngineCall call;
    if (m_started) Shutdown();
    m_started = true;
    // A new run's clock may start below the last one's: the module's Tick waits for nothing.
    m_lastTick = 0;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));

    m_previousNewHandler = std::set_new_handler(EngineNewHandler);
    m_newHandlerInstalled = true;
    if (!m_hosts) m_hosts = std::make_unique<CEngineHosts>(*this);
    m_hosts->Install();
    m_hostsInstalled = true;

    m_launcherMode = IsLauncherActive(m_launcherSwapPath, sizeof m_launcherSwapPath);
    m_sharedThreshold = 1000;
    m_sharedBase = 0;
    m_spareNumber = 10;
    m_running = 0;
    m_busyGuard = 1;
    m_leaveRequest = 0;
    SetDefaultPrefs(m_prefs);
    m_currentModule = 0;
    m_resourcePathFromIni = 0;
    m_moduleCursorA = m_moduleCursorB = nullptr;
    plat::SRand(static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(plat::StartupSeed() & 0xFFFF))));

    std::strncpy(m_appKey, GetAppKey(), sizeof m_appKey - 1);
    m_appKey[sizeof m_appKey - 1] = 0;
    m_programFolder = programFolder;
    AppendBackslash(m_programFolder);

    // The configured folder: the registry, else the INI file (default: the program folder).
    m_resourceFolder.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, EngineRegistryKey(*this).c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char value[260] = {};
        DWORD type = 0;
        DWORD size = sizeof value - 1;
        if (RegQueryValueExA(key, "Resource Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            value[size < sizeof value ? size : sizeof value - 1] = 0;
            m_resourceFolder = value;
        }
        RegCloseKey(key);
    }
    if (m_resourceFolder.empty()) {
        char value[260] = {};
        GetPrivateProfileStringA(GetTitle(), "Resource Path", m_programFolder.c_str(), value, sizeof value, kIniFile);
        m_resourceFolder = value;
        if (m_resourceFolder != m_programFolder) m_resourcePathFromIni = 1;
    }
    AppendBackslash(m_resourceFolder);

    if (!FindResourceFiles()) {
        QuitGame();
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return;
    }

    m_dirtyRects = std::make_unique<CDirtyRectList>();
    LoadPrefs();
    m_prefsLoaded = true;

    m_outputOpened = m_sounds.OpenOutput(GetSampleRate(), GetMixerBufferParam()) != 0;
    CheckWaveOutput();

    GetScreenSize(m_screenWidth, m_screenHeight);
    CreatePaletteItems();
    m_frameSurface = std::make_unique<CDibG>();
    m_frameSurface->CreateSurface(m_screenWidth, m_screenHeight, m_screenPalette->GetPalette());
    m_backgroundSurface = std::make_unique<CDibG>();
    m_backgroundSurface->CreateSurface(m_screenWidth, m_screenHeight, m_screenPalette->GetPalette());

    m_itemCache = std::make_unique<CResItemTable>();
    m_itemCache->Init(100);

    m_fontPath = m_resourceFolder + kFontFile;
    m_fontAdded = AddFontResourceA(m_fontPath.c_str()) != 0;

    m_dirtyRects->RemoveAll();
    m_lastClickX = m_lastClickY = 0;
    m_scanner.SetHighlight(GetResItem(1, TRUE), 0, 0);

    m_busyGuard = 0;
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

bool CCorEngine::ProbeFolder(const std::string& folder) {
    const std::string saved = m_resourceFolder;
    m_resourceFolder = folder;
    if (OpenResourceFile(0, FALSE)) return true;
    m_resourceFolder = saved;
    return false;
}

// The program folder first; then the configured folder and its key subfolder, then the root
// and the key subfolder of each CD-ROM drive in turn; then the CD prompt, and round again.
bool CCorEngine::FindResourceFiles() {
    const std::string configured = m_resourceFolder;
    const bool promptWasOn = IsReadErrorPromptEnabled();
    EnableReadErrorPrompt(false);
    bool found = ProbeFolder(m_programFolder);
    bool onCdDrive = false;
    while (!found) {
        std::string folder = configured;
        int nextDrive = 0;
        for (;;) {
            if (ProbeFolder(folder) || ProbeFolder(folder + m_appKey + "\\")) {
                found = true;
                break;
            }
            while (nextDrive < 26 && GetDriveKind(nextDrive) != 4) ++nextDrive;
            if (nextDrive >= 26) break;
            folder = std::string(1, static_cast<char>('A' + nextDrive)) + ":\\";
            ++nextDrive;
            onCdDrive = true;
        }
        if (found) break;
        onCdDrive = false;
        char text[512] = {};
        if (LoadString(nullptr, kCdPromptString, text, sizeof text) == 0) {
            std::strncpy(text, kCdPromptFallback, sizeof text - 1);
        }
        CWnd* main = AfxGetMainWnd();
        if (MessageBoxA(main ? main->GetSafeHwnd() : nullptr, text, GetTitle(), MB_OKCANCEL | MB_ICONSTOP) ==
            IDCANCEL) {
            EnableReadErrorPrompt(promptWasOn);
            return false;
        }
    }
    EnableReadErrorPrompt(true);
    if (onCdDrive) RecordCdFolder();
    return true;
}

// Only the drive's root is recorded, so the next start finds the disc in whichever drive.
void CCorEngine::RecordCdFolder() {
    const std::string root = m_resourceFolder.substr(0, 3);
    if (m_resourcePathFromIni) {
        WritePrivateProfileStringA(GetTitle(), "Resource Path", root.c_str(), kIniFile);
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, EngineRegistryKey(*this).c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, "Resource Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(root.c_str()), 3);
    RegCloseKey(key);
}

// The screen palette item and the fade palette item, each 'PAL' 0 of the shared file loaded at
// once. Without a readable item a palette is still made, all black, so the surfaces have one.
void CCorEngine::CreatePaletteItems() {
    for (std::unique_ptr<CPalItem>* item : {&m_screenPalette, &m_fadePalette}) {
        *item = std::make_unique<CPalItem>(0);
        if (!(*item)->Load()) (*item)->LoadFromBytes(std::vector<uint8_t>{0, 0});
    }
}

void CCorEngine::CheckWaveOutput() {
    m_canSetWaveVolume = CanSetWaveVolume();
}

void CCorEngine::Shutdown() {
    if (!m_started) return;
    const bool wasRunning = m_running != 0;
    if (wasRunning && !m_inAdultArea) UnloadModule(FALSE);
    m_running = 0;
    // A hot key still held belongs to the run that ends here.
    m_heldHotKey = 0;
    m_busyGuard = 1;
    if (wasRunning) OnShutdown();
    UndoStartup();
}

// Everything start-up acquired, in the reverse order, and only that.
void CCorEngine::UndoStartup() {
    if (m_outputOpened) {
        m_sounds.CloseOutput();
        m_outputOpened = false;
    }
    m_scanner.SetHighlight(nullptr, 0, 0);
    m_texts.clear();
    m_statics.RemoveAll();
    m_spots.RemoveAll();
    m_idles.RemoveAll();
    if (m_itemCache) {
        m_itemCache->Clear();
        m_itemCache.reset();
    }
    for (CResMgr& file : m_resFiles) {
        if (file.IsOpen()) file.Close();
    }
    m_frameSurface.reset();
    m_backgroundSurface.reset();
    if (m_prefsLoaded) {
        SavePrefs();
        m_prefsLoaded = false;
    }
    if (m_dirtyRects) {
        m_dirtyRects->RemoveAll();
        m_dirtyRects.reset();
    }
    m_fadePalette.reset();
    m_screenPalette.reset();
    if (m_fontAdded) {
        RemoveFontResourceA(m_fontPath.c_str());
        m_fontAdded = false;
    }
    if (m_hostsInstalled) {
        m_hosts->Remove();
        m_hostsInstalled = false;
    }
    if (m_newHandlerInstalled) {
        std::set_new_handler(m_previousNewHandler);
        m_newHandlerInstalled = false;
    }
    m_moduleTable = nullptr;
    m_currentModule = 0;
    m_inAdultArea = 0;
    m_started = false;
}

namespace {
// The cursor's display level (ShowCursor's counter) read without changing it, and set.
int CursorLevel() {
    const int level = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return level;
}

void SetCursorLevel(int target) {
    int level = CursorLevel();
    while (level < target) level = ShowCursor(TRUE);
    while (level > target) level = ShowCursor(FALSE);
}
}  // namespace

int16_t CCorEngine::RunAdultArea() {
    CEngineCall call;
    int16_t result = 1;
    m_inAdultArea = 1;
    const int cursorLevel = CursorLevel();
    SetCursorLevel(0);

    m_prefs.CopyTo(m_editedPrefs);
    int32_t size = 0;
    auto* block = static_cast<ActivitySettings*>(GetSavedSettings(size));
    ActivitySettings scratch{};
    if (!block || size < static_cast<int32_t>(sizeof(ActivitySettings))) {
        scratch.SetDefaults();
        block = &scratch;
    }
    CWnd* main = AfxGetMainWnd();
    const int answer =
        AdultSection().RunSheet(m_launcherMode != 0, kAdultSheetCaption, main, m_editedPrefs, *block);
    if (answer == IDOK || answer == kAdultSheetQuit) {
        m_prefs.CopyFrom(m_editedPrefs);
        SavePrefs();
        if (answer == kAdultSheetQuit) result = 2;
    }
    if (answer == IDOK && main && main->GetSafeHwnd()) {
        main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    m_ctrlQEnabled = m_editedPrefs.showStopSign != 0 ? 1 : 0;

    SetCursorPos(320, 240);
    SetCursorLevel(cursorLevel);
    if (result != 2) m_inAdultArea = 0;
    return result;
}

void EngineStartup() {
    if (!theEngine) return;
    char path[260] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    theEngine->Startup(ProgramFolderOf(path));
}

void EngineShutdown() {
    if (theEngine) theEngine->Shutdown();
}
