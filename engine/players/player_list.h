// The players and their folders. The player list is section "User List" of "Zelbo.ini" in the
// install folder: one key per player (the name), its value the player's folder relative to
// the program folder, ending in a backslash ("kids\Kid007\"), one folder per player. Each
// folder holds "SETTINGS.INI" (section "Settings", key "Namn" = the name) and the
// player's preference file (record and levels, prefs_file.h).
//
// Names are INI keys: IsValidPlayerName keeps out every name that would not come back as the
// same key, and a name whose key exists (compared without regard to case, as the INI file
// does) is never added again, so one player's entry is never repointed at another's folder.
//
// In launcher mode the players belong to the launcher: the level operations use the
// launcher's current child folder and ignore the list.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/core/wintypes.h"

inline constexpr int kMaxPlayers = 90;               // entries taken from the list
inline constexpr int kMaxPlayerFolders = 99;         // Kid001 .. Kid099
inline constexpr size_t kMaxPlayerNameLength = 31;  // characters of a name

// A player: the name, and the folder either as written to the list (relative to the program
// folder) or, once loaded, the program folder followed by it. Empty folder: a player kept in
// memory only (it has no files).
struct PlayerEntry {
    std::string name;
    std::string folder;
};

// 1 to 31 Windows-1252 characters, none a control character (nor one of the five bytes
// Windows-1252 leaves undefined), no "=", not beginning with ";" or "[", no blank at either end.
bool IsValidPlayerName(std::string_view name);

// The folder of the module's program file with its trailing backslash (the engine's program
// folder once it has started). 0 when there is none.
int GetGameFolder(HINSTANCE module, std::string& folder);
// The player-list file: the application preferences' install path followed by "Zelbo.ini".
// 0 when there is no install path or the path does not fit MAX_PATH.
int GetPlayerListPath(std::string& path);

// Makes a new player for entry.name: the first "kids\KidNNN\" (001..099) that can be made and
// that no list entry names (two players never share a folder); writes the name file, the list
// entry, and the default levels (from a scratch block: the engine's block is never touched)
// into the new folder's preference file; entry.folder becomes the relative folder. 0 and
// nothing written when the name is refused or its key exists, when no folder can be made (then,
// with tellWhenNoFolder, after the notice 61284), or when the list entry cannot be written
// (then the folder made for it is removed again).
int AddUser(HINSTANCE module, PlayerEntry& entry, const char* listFile, bool tellWhenNoFolder = true);

// Fills `entries` (at most 90 are taken) from the list, every key of it, in this order: the
// guest ("Gäst", any case) first, the others sorted without regard to case after entry 0,
// which is never compared. A player whose folder has gone, whose value names none below the
// program folder, or whose folder a name earlier in the file names, gets a new one (as AddUser
// makes them, without the notice). When none can be made the entry is left as it is in the
// list: the player keeps the folder it names (default levels while it cannot be reached, and
// nothing written), or, sharing an earlier name's folder, none in memory. An empty list is
// rebuilt from the folders (ScanUserDirectories with the capacity). Returns the number of
// entries filled.
int LoadUserList(HINSTANCE module, std::span<PlayerEntry> entries, const char* listFile);

// Writes a list entry for every player folder below "kids\" whose name file holds a name
// (valid, not one already found, and not one the list gives another folder); fills `entries`
// (may be null) up to `capacity`. Returns the number of players found, at most `capacity`.
int ScanUserDirectories(HINSTANCE module, PlayerEntry* entries, int capacity, const char* listFile);

// The player's folder as an absolute path: install path + the list's value for the name,
// into `buffer`. 0 and an empty buffer when the name has no entry, when the value names no
// folder below the program folder (empty, a drive, a root or ".."), when a name earlier in the
// list names the same folder (it is that player's), or when the path does not fit.
int GetPlayerPrefsPath(const char* name, char* buffer, size_t size);

// The current player's levels into the engine object's block: outside launcher mode from the
// folder of the player the application preferences name (default levels, and 0, when that
// name has no entry; nothing when there is no name), in launcher mode from the launcher's
// child folder (LoadPlayLevels: a damaged file gives default levels and is set aside, one that
// cannot be opened gives default levels and is not written). 1 when the player's own levels
// or, without a file, the defaults were loaded.
int LoadPlayerPrefs();
// The engine object's block into the current player's preference file (nothing, and 0, for a
// name without an entry).
int SavePlayerPrefs();
// The current player's folder (the one that player's list entry names) into folder: 1; 0 for a
// name without an entry, -1 with no current name (folder unchanged).
int CurrentPlayerFolder(std::string& folder);
// The engine object's block into that player's preference file (launcher mode: the launcher
// child's). 0 and nothing written for an entry without a folder.
int WriteUserPrefsFor(const PlayerEntry& entry);

// The folder operations of the player files are those of the preference file.
int MakePlayerPath(const char* path);
