// CAppPrefs: the application preferences (install folder, resource folder, current player)
// in the settings store, registry back end below HKEY_LOCAL_MACHINE:
//   "1.0"\"Install Path", "1.0"\"Resource Path", "General"\"Current User".
// Owned by the application object, which registers it at construction; the player code and
// the grown-ups' pages reach it through GetAppPrefs (CZelboApp::GetPrefs).
#pragma once

#include <string>

#include "engine/players/settings_store.h"

class CAppPrefs : public CSettingsStore {
public:
    CAppPrefs() : CSettingsStore(HKEY_LOCAL_MACHINE) {}

    // The program folder as install path, "D:" as resource path, "Gäst" as current player.
    void SetDefaults(const std::string& programFolder);
    // Reads the three settings (each with the current value as default). On Windows NT an
    // empty install path in the registry is first filled from "Zelbo.INI" with the resource
    // path. The install path is the program's own folder whatever was read.
    void Load() override;
    // Writes the three settings.
    void Save() override;

    // The current player's name; loads the preferences first when they are not loaded yet.
    std::string& GetCurrentUser();
    void SetCurrentUser(const std::string& name);

    std::string installPath;
    std::string resourcePath;
    std::string currentUser;
    // The resource path as read, before anything changed it.
    std::string loadedResourcePath;

private:
    std::string m_programFolder;
};

// The application's preferences: the registered object, or one of the engine's own until the
// application registers its object. Never null.
CAppPrefs& GetAppPrefs();
// Registers the application's object (null: the engine's own again); returns the one before.
CAppPrefs* SetAppPrefs(CAppPrefs* prefs);
