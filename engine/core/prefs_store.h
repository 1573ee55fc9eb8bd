// The player's preference files as the engine reaches them: the store behind the engine's
// record (engine/base/user_prefs.h) and saved-settings block, installed once at start.
//
// The neutral store has no files: loading gives the defaults (as for a player without a file)
// and saving writes nothing and reports 0.
#pragma once

#include <string>

#include "engine/base/user_prefs.h"

// A record's defaults, and the engine object's saved-settings block reset with it.
void SetDefaultPrefs(CUserPrefs& prefs);

// The player's preference file behind the engine's record and saved-settings block. Each call
// returns 1 on success, 0 on failure.
class IPrefsStore {
public:
    virtual ~IPrefsStore() = default;
    // The record and then the block of the current player into the engine object (start-up).
    // Neutral: no file, so the engine defaults (record and block), 1.
    virtual int LoadPrefs();
    // The engine's record and block into the files (shutdown, the grown-ups' copy-back).
    // Neutral: nothing written, 0.
    virtual int SavePrefs() { return 0; }
    // The current player's block alone into the engine object (entering the home module).
    // Neutral: no file, so the engine defaults, 1.
    virtual int ReadUserPrefs();
    // The preference folder, ending in a backslash (where the sound files that 'SND' items
    // name lie). Neutral: none, empty.
    virtual std::string PrefsFolder() { return {}; }
    // The current player's own folder, where the player's record files lie (in launcher mode
    // the child's folder). Neutral: none, empty.
    virtual std::string PlayerFolder() { return {}; }
};
// Installs the store (null: the neutral one) and returns the one installed before.
IPrefsStore* SetPrefsStore(IPrefsStore* store);
IPrefsStore& PrefsStore();

int LoadPrefs();
int SavePrefs();
int ReadUserPrefs();
