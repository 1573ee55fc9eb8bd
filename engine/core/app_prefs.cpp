#include "engine/core/app_prefs.h"

void CAppPrefs::SetDefaults(const std::string& programFolder) {
    installPath = programFolder;
    resourcePath.clear();
    currentUser = "G\xE4st";
}

void CAppPrefs::Load() { loaded = true; }

void CAppPrefs::Save() {
    savedInstallPath = installPath;
    savedResourcePath = resourcePath;
    savedCurrentUser = currentUser;
    ++saveCount;
}

std::string& CAppPrefs::GetCurrentUser() {
    if (!loaded) Load();
    return currentUser;
}

namespace {
CAppPrefs gEnginePrefs;
CAppPrefs* gAppPrefs = nullptr;
}  // namespace

CAppPrefs& GetAppPrefs() { return gAppPrefs ? *gAppPrefs : gEnginePrefs; }

CAppPrefs* SetAppPrefs(CAppPrefs* prefs) {
    CAppPrefs* old = gAppPrefs;
    gAppPrefs = prefs;
    return old;
}
