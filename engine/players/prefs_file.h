// The preference file "<application key>.PRF" ("Zelbo.PRF"): the 284-byte preference record,
// then the engine object's saved-settings block (the activities' levels), byte for byte, no
// header. It lives in the preference folder (GetPrefsFolder) or in a player's folder.
//
// Every write replaces the file whole: the new contents go to a temporary file in the same
// folder, are flushed, and the temporary file is renamed over the old one (MoveFileEx), so a
// failed or killed write leaves the old file as it was. WritePrefs keeps the block the file
// holds, WriteUserPrefs the record; SavePrefsFile writes both in one replacement.
//
// A folder argument may be null: the preference folder. A folder gets a backslash when it
// lacks one; paths that do not fit MAX_PATH fail. All return 1 on success, 0 on failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/core/prefs_store.h"

// The record defaults for a file's record: the engine defaults with scanSpeed 30, the printer
// setup and names zero. useOwnVolume is 0, as in the engine defaults, so a new player's game
// is never silenced by a volume of 0.
void SetFileRecordDefaults(CUserPrefs& record);

// "<key>.PRF", cut to the buffer (always terminated); 0 for a null or empty buffer.
int GetPrefsFileName(char* buffer, size_t size);
// Launcher mode: the launcher's current child's folder (made when missing); else the game's
// folder when it is writable, else the temporary folder. Ends in a backslash; 0 and an empty
// buffer on failure or when it does not fit.
int GetPrefsFolder(char* buffer, size_t size);
// The launcher's current child for those above the engine core (the grown-ups' sheet): its
// display name ("first last") and its folder (made when missing, no trailing backslash), as
// GetLauncherUserPath gives them. 1 on success; 0 with the buffers empty otherwise.
int GetLauncherPlayer(char* name, size_t nameSize, char* folder, size_t folderSize);

// The record: into `record`, or (null) into the engine's record only when all 284 bytes
// arrived. A missing file gives defaults (record defaults, or the engine defaults) and 1; a
// short file 0, the engine's record unchanged.
int ReadPrefs(const char* folder, CUserPrefs* record);
// Writes the record (the engine's when null), keeping the block the file holds. A given
// folder is made first.
int WritePrefs(const char* folder, const CUserPrefs* record);
// The block: into `block` (size bytes), or (null) into the engine object's block. A missing
// file: without a folder the engine defaults (record and block); with a folder default levels
// into the target block, the engine's record untouched (and the engine's block too when the
// target is another block). A short file: 0, the target unchanged. A block read whole has its
// level words held to the activities' ranges (HoldStoredLevels) before anyone sees it.
int ReadUserPrefs(const char* folder, void* block, size_t size);
// The engine object's block for the player about to play, from the file in `folder` (null:
// the preference folder); never leaves the levels of the player before in the block:
// - read whole: its levels (held to their ranges); 1. No file: default levels; 1.
// - too short for the record and the block (damaged): default levels, and the file is set
//   aside whole ("Zelbo.001", the first free number: MoveFileAside), so the levels played from
//   now on go into a new file and the damaged one stays for a grown-up to look at; 0.
// - there but not to be opened (held open by another program, no access), or damaged and not
//   to be set aside: default levels for now, and nothing replaces that file until a later
//   LoadPlayLevels reads it, so the levels it holds are there again once it can be read (a
//   load that finds it held again keeps the levels played on the stand-ins meanwhile); 0.
// Each case that is not a plain read or a missing file writes a trace line.
int LoadPlayLevels(const char* folder);
// Forgets the file LoadPlayLevels keeps from writes: a new session starts without one.
void ReleasePrefsFileHold();
// Writes the block (the engine object's when null) after the record the file holds (record
// defaults when there is none or it is short). A given folder is made first.
int WriteUserPrefs(const char* folder, const void* block, size_t size);
// The engine's record and block in one replacement.
int SavePrefsFile(const char* folder);

int DoesFileExist(const char* path);
// The folder operations: whether a path exists (file or folder), making one folder, and
// making every level of a path (never a drive's root). A trailing backslash is dropped.
int DirectoryExists(const char* path);
int MakeDirectory(const char* path);
int MakePath(const char* path);

// The engine's preference store: the record in the preference folder's file, the block (the
// levels) always the current player's. The program installs it (SetPrefsStore).
//
// The block the engine holds is read only from the current player's own file (LoadPlayerPrefs,
// player_list.h), at start-up and on every entry of the home module, never from the
// preference folder's file, which may hold another player's levels; and every save of the
// engine's preferences also writes the block into the current player's own file (outside
// launcher mode: in launcher mode the preference folder is the child's own), so the
// grown-ups' level edits reach the file the next home entry reads.
class CPrefsFileStore : public IPrefsStore {
public:
    // ReadPrefs, then the current player's levels: in launcher mode LoadPlayerPrefs (1 only
    // when both succeed); else the players are loaded as the chooser loads them
    // (CPlayerRoster::Load: the guest made on a first run, a current player without an entry
    // replaced by entry 0, that player's levels read), and the result is ReadPrefs'.
    int LoadPrefs() override;
    // The engine's record and block into the preference folder's file in one replacement;
    // outside launcher mode the block also into the current player's file (SavePlayerPrefs).
    // 1 only when both succeed.
    int SavePrefs() override;
    // LoadPlayerPrefs.
    int ReadUserPrefs() override;
    // GetPrefsFolder; empty when it fails.
    std::string PrefsFolder() override;
    // CurrentPlayerFolder; empty when the current player has no folder.
    std::string PlayerFolder() override;
};
