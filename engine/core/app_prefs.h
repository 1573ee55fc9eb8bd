// The application preferences: the install folder, the resource folder and the current
// player's name. Owned by the application object, which registers it at construction; the
// engine and the player code reach it through GetAppPrefs.
//
// For now the values live in memory only: Load marks them loaded and keeps what they hold,
// Save keeps a copy of the values as saved and counts the saves.
#pragma once

#include <string>

class CAppPrefs {
public:
    // The program folder as "Install Path", "Gäst" as the current player.
    void SetDefaults(const std::string& programFolder);
    void Load();
    void Save();

    // The current player's name; loads the preferences first when they are not loaded yet.
    std::string& GetCurrentUser();

    std::string installPath;
    std::string resourcePath;
    std::string currentUser;
    bool loaded = false;

    // What the last Save kept, and how many saves ran.
    std::string savedInstallPath;
    std::string savedResourcePath;
    std::string savedCurrentUser;
    int saveCount = 0;
};

// The application's preferences: the registered object, or one of the engine's own until the
// application registers its object. Never null.
CAppPrefs& GetAppPrefs();
// Registers the application's object (null: the engine's own again); returns the one before.
CAppPrefs* SetAppPrefs(CAppPrefs* prefs);
