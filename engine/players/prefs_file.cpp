#include "engine/players/prefs_file.h"

#include <cstring>
#include <optional>
#include <string>

#include "engine/base/activity_settings.h"
#include "engine/base/module_level_forms.h"
#include "engine/core/cor_engine.h"
#include "engine/core/launcher.h"
#include "engine/players/player_list.h"
#include "engine/players/player_roster.h"
#include "media/res/record_file_io.h"
#include "media/util/mono_debug.h"
#include "platform/fs/crt_stat.h"
#include "platform/fs/winfile.h"
#include "platform/strings/cp1252.h"

namespace {

constexpr size_t kRecordSize = sizeof(CUserPrefs);
// The most a file's tail (the block) is kept when only the record changes.
constexpr size_t kMaxKeptBlock = 64 * 1024;

void CopyCut(const std::string& text, char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string DropBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// The file's path for a folder (null: the preference folder); none when it does not fit.
std::optional<std::string> PrefsPath(const char* folder) {
    std::string base;
    if (folder) {
        base = WithBackslash(folder);
    } else {
        char prefsFolder[MAX_PATH];
        if (!GetPrefsFolder(prefsFolder, sizeof prefsFolder)) return std::nullopt;
        base = prefsFolder;
    }
    char name[MAX_PATH];
    if (!GetPrefsFileName(name, sizeof name)) return std::nullopt;
    base += name;
    if (base.size() + 4 >= MAX_PATH) return std::nullopt;  // room for the temporary file's name
    return base;
}

// Reads up to `limit` bytes from the start of a file; none when it cannot be opened.
std::optional<std::string> ReadPrefix(const std::string& path, size_t limit) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes(limit, '\0');
    DWORD got = 0;
    if (!ReadFile(h, bytes.data(), static_cast<DWORD>(limit), &got, nullptr)) got = 0;
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

// A player's file whose levels could not be read when they were loaded for play: while the
// engine plays stand-in levels for it, nothing replaces it (empty: none).
std::string g_heldPath;

bool IsHeld(const std::string& path) { return !g_heldPath.empty() && plat::EqualNoCase1252(path, g_heldPath); }

// Replaces the file whole: a temporary file beside it, written, flushed and renamed over it.
bool ReplaceWhole(const std::string& path, const std::string& bytes) {
    if (IsHeld(path)) return false;
    const std::string temp = path + ".new";
    HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size() &&
              FlushFileBuffers(h);
    CloseHandle(h);
    if (ok) {
        // A read-only preference file is made writable before it is replaced.
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            SetFileAttributesA(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        }
        ok = MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (!ok) DeleteFileA(temp.c_str());
    return ok;
}

std::string RecordBytes(const CUserPrefs& record) {
    return std::string(reinterpret_cast<const char*>(&record), kRecordSize);
}

// The engine object's block; null when it has none.
uint8_t* EngineBlock(size_t& size) {
    size = 0;
    if (!theEngine) return nullptr;
    int32_t n = 0;
    void* block = theEngine->GetSavedSettings(n);
    if (!block || n <= 0) return nullptr;
    size = static_cast<size_t>(n);
    return static_cast<uint8_t*>(block);
}

// What reading a file's block found.
enum class BlockRead : uint8_t {
    Whole,       // read whole into the target, its levels held to their ranges
    NoFile,      // there is no file
    Unopenable,  // something is there but cannot be opened for reading
    Short,       // the file ends before the block does (`got` says where); the target unchanged
};

BlockRead ReadBlockInto(const std::string& path, uint8_t* target, size_t size, size_t& got) {
    got = 0;
    const auto bytes = ReadPrefix(path, kRecordSize + size);
    if (!bytes) return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? BlockRead::NoFile : BlockRead::Unopenable;
    got = bytes->size();
    if (bytes->size() < kRecordSize + size) return BlockRead::Short;
    std::memcpy(target, bytes->data() + kRecordSize, size);
    if (size == sizeof(ActivitySettings)) {
        // A damaged or foreign file's level words are held to the modules' ranges here, so no
        // one after this reads a level an activity does not have.
        ActivitySettings levels;
        std::memcpy(&levels, target, sizeof levels);
        if (HoldStoredLevels(levels) != 0) {
            std::memcpy(target, &levels, sizeof levels);
            MonoDebugWrite(("Levels outside their range in " + path + " held to the activities' ranges\n").c_str());
        }
    }
    return BlockRead::Whole;
}

// The folder given is made first; none means the preference folder.
std::optional<std::string> PathForWriting(const char* folder) {
    if (folder && !MakePath(folder)) return std::nullopt;
    return PrefsPath(folder);
}

}  // namespace

void SetFileRecordDefaults(CUserPrefs& record) {
    record.SetRecordDefaults();
    record.scanSpeed = 30;
    record.useOwnVolume = 0;
}

int GetPrefsFileName(char* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    const char* key = theEngine ? theEngine->GetAppKey() : nullptr;
    CopyCut(std::string(key ? key : "") + ".PRF", buffer, size);
    return 1;
}

int GetLauncherPlayer(char* name, size_t nameSize, char* folder, size_t folderSize) {
    return GetLauncherUserPath(name, nameSize, folder, folderSize);
}

int GetPrefsFolder(char* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    std::string folder;
    if (IsLauncherModeSet()) {
        char child[MAX_PATH];
        if (!GetLauncherUserPath(nullptr, 0, child, sizeof child) || !MakePath(child)) return 0;
        folder = child;
    } else {
        const std::string game = DropBackslash(theEngine ? theEngine->m_programFolder : std::string());
        struct _stat info {};
        if (!game.empty() && _stat(game.c_str(), &info) == 0 && (info.st_mode & _S_IFDIR) && (info.st_mode & _S_IWRITE)) {
            folder = game;
        } else {
            char temp[MAX_PATH];
            const DWORD n = GetTempPathA(sizeof temp, temp);
            if (n == 0 || n >= sizeof temp) return 0;
            folder = temp;
        }
    }
    folder = WithBackslash(folder);
    if (folder.size() >= size) return 0;
    CopyCut(folder, buffer, size);
    return 1;
}

int ReadPrefs(const char* folder, CUserPrefs* record) {
    const auto path = PrefsPath(folder);
    if (!path) return 0;
    const auto bytes = ReadPrefix(*path, kRecordSize);
    if (!bytes) {
        // No file yet: defaults, and that is no error.
        if (record) {
            SetFileRecordDefaults(*record);
        } else if (theEngine) {
            SetDefaultPrefs(theEngine->m_prefs);
        }
        return 1;
    }
    if (bytes->size() < kRecordSize) return 0;
    CUserPrefs read;
    std::memcpy(&read, bytes->data(), kRecordSize);
    // Copied field by field: names without a terminator are cut to their fields.
    if (record) {
        record->CopyFrom(read);
    } else if (theEngine) {
        theEngine->m_prefs.CopyFrom(read);
    }
    return 1;
}

int WritePrefs(const char* folder, const CUserPrefs* record) {
    const auto path = PathForWriting(folder);
    if (!path) return 0;
    CUserPrefs copy;
    if (record) {
        copy = *record;
    } else if (theEngine) {
        theEngine->m_prefs.CopyTo(copy);
    } else {
        return 0;
    }
    std::string bytes = RecordBytes(copy);
    // The block the file holds stays behind the record.
    if (const auto old = ReadPrefix(*path, kRecordSize + kMaxKeptBlock); old && old->size() > kRecordSize) {
        bytes += old->substr(kRecordSize);
    }
    return ReplaceWhole(*path, bytes) ? 1 : 0;
}

int ReadUserPrefs(const char* folder, void* block, size_t size) {
    const auto path = PrefsPath(folder);
    if (!path) return 0;
    size_t engineSize = 0;
    uint8_t* engineBlock = EngineBlock(engineSize);
    uint8_t* target = block ? static_cast<uint8_t*>(block) : engineBlock;
    const size_t targetSize = block ? size : engineSize;
    if (!target) return 0;
    size_t got = 0;
    const BlockRead read = ReadBlockInto(*path, target, targetSize, got);
    if (read == BlockRead::NoFile || read == BlockRead::Unopenable) {
        // No file: default levels into the target. The record is never touched, and the
        // engine's own block keeps its levels unless it is the target.
        if (!engineBlock) return 0;
        const std::string saved(reinterpret_cast<const char*>(engineBlock), engineSize);
        theEngine->ResetSavedSettings();
        if (target != engineBlock) {
            std::memset(target, 0, targetSize);
            std::memcpy(target, engineBlock, std::min(targetSize, engineSize));
            std::memcpy(engineBlock, saved.data(), engineSize);
        }
        return 1;
    }
    return read == BlockRead::Whole ? 1 : 0;
}

int LoadPlayLevels(const char* folder) {
    const std::string held = std::move(g_heldPath);
    g_heldPath.clear();
    size_t size = 0;
    uint8_t* block = EngineBlock(size);
    if (!block) return 0;
    const auto path = PrefsPath(folder);
    if (!path) {
        theEngine->ResetSavedSettings();
        MonoDebugWrite("No preference file path for the player: default levels\n");
        return 0;
    }
    // The last load found this same file held: the block holds this player's stand-in levels
    // and what was played on them since (an activity's start loads the levels again), which
    // stay while the file still cannot be read.
    const bool standIn = !held.empty() && plat::EqualNoCase1252(held, *path);
    const auto defaults = [&] {
        if (!standIn) theEngine->ResetSavedSettings();
    };
    size_t got = 0;
    switch (ReadBlockInto(*path, block, size, got)) {
        case BlockRead::Whole:
            return 1;
        case BlockRead::NoFile:
            defaults();
            return 1;
        case BlockRead::Unopenable:
            defaults();
            g_heldPath = *path;
            MonoDebugWrite(("Could not open " + *path + ": default levels for now, the file is kept as it is\n").c_str());
            return 0;
        case BlockRead::Short:
            break;
    }
    // A file too short for the record and the block: the player starts again at the default
    // levels, and the file is kept whole beside the new one for a grown-up to look at.
    defaults();
    std::string aside;
    const std::string what = "Damaged preference file " + *path + " (" + std::to_string(got) + " bytes)";
    if (MoveFileAside(*path, aside) == 0) {
        MonoDebugWrite((what + " set aside as " + aside + ": default levels\n").c_str());
    } else {
        g_heldPath = *path;
        MonoDebugWrite((what + " could not be set aside: default levels for now, the file is kept as it is\n").c_str());
    }
    return 0;
}

void ReleasePrefsFileHold() { g_heldPath.clear(); }

int WriteUserPrefs(const char* folder, const void* block, size_t size) {
    const auto path = PathForWriting(folder);
    if (!path) return 0;
    size_t engineSize = 0;
    const uint8_t* engineBlock = EngineBlock(engineSize);
    const auto* source = block ? static_cast<const uint8_t*>(block) : engineBlock;
    const size_t sourceSize = block ? size : engineSize;
    if (!source) return 0;
    std::string bytes;
    const auto old = ReadPrefix(*path, kRecordSize);
    if (old && old->size() == kRecordSize) {
        bytes = *old;  // the record the file holds, byte for byte
    } else {
        CUserPrefs defaults;
        SetFileRecordDefaults(defaults);
        bytes = RecordBytes(defaults);
    }
    bytes.append(reinterpret_cast<const char*>(source), sourceSize);
    return ReplaceWhole(*path, bytes) ? 1 : 0;
}

int SavePrefsFile(const char* folder) {
    const auto path = PathForWriting(folder);
    if (!path || !theEngine) return 0;
    size_t engineSize = 0;
    const uint8_t* engineBlock = EngineBlock(engineSize);
    if (!engineBlock) {
        WritePrefs(folder, nullptr);
        return 0;  // no block to save
    }
    CUserPrefs copy;
    theEngine->m_prefs.CopyTo(copy);
    std::string bytes = RecordBytes(copy);
    bytes.append(reinterpret_cast<const char*>(engineBlock), engineSize);
    return ReplaceWhole(*path, bytes) ? 1 : 0;
}

int DoesFileExist(const char* path) {
    if (!path) return 0;
    OFSTRUCT info;
    return OpenFile(path, &info, OF_EXIST) != HFILE_ERROR ? 1 : 0;
}

int DirectoryExists(const char* path) {
    if (!path) return 0;
    const std::string p = DropBackslash(path);
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const DWORD attributes = GetFileAttributesA(p.c_str());
    SetErrorMode(oldMode);
    return attributes != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

int MakeDirectory(const char* path) {
    if (!path) return 0;
    return CreateDirectoryA(DropBackslash(path).c_str(), nullptr) ? 1 : 0;
}

int MakePath(const char* path) {
    if (!path) return 0;
    const std::string p = DropBackslash(path);
    const size_t first = p.find('\\');
    if (first == std::string::npos) return 0;
    for (size_t cut = p.find('\\', first + 1); cut != std::string::npos; cut = p.find('\\', cut + 1)) {
        const std::string prefix = p.substr(0, cut);
        if (!DirectoryExists(prefix.c_str()) && !MakeDirectory(prefix.c_str())) return 0;
    }
    return DirectoryExists(p.c_str()) || MakeDirectory(p.c_str()) ? 1 : 0;
}

int CPrefsFileStore::LoadPrefs() {
    ReleasePrefsFileHold();  // a new session
    const int record = ReadPrefs(nullptr, nullptr);
    if (IsLauncherModeSet()) return record && LoadPlayerPrefs() ? 1 : 0;
    // The players as the chooser loads them: the guest is made on a first run, a current
    // player without a list entry gives way to entry 0, and that player's levels are read.
    CPlayerRoster players;
    players.Load();
    return record;
}

int CPrefsFileStore::SavePrefs() {
    const int both = SavePrefsFile(nullptr);
    const int player = IsLauncherModeSet() ? 1 : SavePlayerPrefs();
    return both && player ? 1 : 0;
}

int CPrefsFileStore::ReadUserPrefs() { return LoadPlayerPrefs(); }

std::string CPrefsFileStore::PrefsFolder() {
    char folder[MAX_PATH];
    return GetPrefsFolder(folder, sizeof folder) ? std::string(folder) : std::string();
}

std::string CPrefsFileStore::PlayerFolder() {
    if (IsLauncherModeSet()) return PrefsFolder();  // the launcher's child folder
    std::string folder;
    return CurrentPlayerFolder(folder) == 1 ? folder : std::string();
}
