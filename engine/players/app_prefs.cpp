#include "engine/players/app_prefs.h"

#include "engine/players/player_strings.h"
#include "platform/core/winuser.h"

void CAppPrefs::SetDefaults(const std::string& programFolder) {
    m_programFolder = programFolder;
    installPath = programFolder;
    resourcePath = "D:";
    currentUser = plat::LookupString(kIdsGuestName).value_or("G\xE4st");
}

void CAppPrefs::Load() {
    const bool windowsNt = (GetVersion() & 0x80000000u) == 0;
    if (windowsNt && GetString(kIdsVersionSection, kIdsInstallPathKey, "").empty()) {
        // An installation that kept its paths in the INI file: carry them into the registry.
        Init(kModeIniFile, nullptr, "Zelbo.INI");
        installPath = GetString(kIdsVersionSection, kIdsInstallPathKey, installPath);
        resourcePath = GetString(kIdsVersionSection, kIdsResourcePathKey, resourcePath);
        Init(kModeRegistry, HKEY_LOCAL_MACHINE, nullptr);
        WriteString(kIdsVersionSection, kIdsInstallPathKey, installPath.c_str());
        WriteString(kIdsVersionSection, kIdsResourcePathKey, resourcePath.c_str());
    }
    installPath = GetString(kIdsVersionSection, kIdsInstallPathKey, installPath);
    resourcePath = GetString(kIdsVersionSection, kIdsResourcePathKey, resourcePath);
    // The game's files are where the program is, whatever an older installation recorded.
    installPath = m_programFolder;
    loadedResourcePath = resourcePath;
    currentUser = GetString(kIdsGeneralSection, kIdsCurrentUserKey, currentUser);
    CSettingsStore::Load();
}

void CAppPrefs::Save() {
    WriteString(kIdsVersionSection, kIdsInstallPathKey, installPath.c_str());
    WriteString(kIdsVersionSection, kIdsResourcePathKey, resourcePath.c_str());
    WriteString(kIdsGeneralSection, kIdsCurrentUserKey, currentUser.c_str());
    CSettingsStore::Save();
}

std::string& CAppPrefs::GetCurrentUser() {
    if (!loaded) Load();
    return currentUser;
}

void CAppPrefs::SetCurrentUser(const std::string& name) {
    currentUser = name;
    modified = 1;
}

namespace {
CAppPrefs& EnginePrefs() {
    static CAppPrefs* prefs = new CAppPrefs;
    return *prefs;
}
CAppPrefs* gAppPrefs = nullptr;
}  // namespace

CAppPrefs& GetAppPrefs() { return gAppPrefs ? *gAppPrefs : EnginePrefs(); }

CAppPrefs* SetAppPrefs(CAppPrefs* prefs) {
    CAppPrefs* old = gAppPrefs;
    gAppPrefs = prefs;
    return old;
}
