#include "engine/players/player_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "engine/core/cor_engine.h"
#include "engine/core/launcher.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_strings.h"
#include "engine/players/prefs_file.h"
#include "platform/afx/message_box.h"
#include "platform/fs/winfile.h"
#include "platform/profile/profile.h"
#include "platform/strings/cp1252.h"

namespace {

// A profile value never holds a line break, so this default tells a missing key from an
// empty value.
constexpr const char* kMissing = "\n";

bool Fits(const std::string& path) { return !path.empty() && path.size() < MAX_PATH; }

bool IsAbsolute(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

void CopyOut(const std::string& text, char* buffer, size_t size) {
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

// Every key of a section: the list is read again with a larger buffer until it fits whole.
std::vector<std::string> SectionKeys(const std::string& section, const char* file) {
    std::vector<std::string> keys;
    // A profile file over 64 MiB is never read, so its key list is smaller than that.
    constexpr DWORD kLargest = 65u * 1024 * 1024;
    for (DWORD size = 1500;; size = std::min(size * 4, kLargest)) {
        std::vector<char> buffer(size);
        const DWORD n = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), size, file);
        if (n == size - 2 && size < kLargest) continue;  // cut: read again with more room
        for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += std::strlen(p) + 1) keys.emplace_back(p);
        break;
    }
    return keys;
}

bool KeyExists(const std::vector<std::string>& keys, std::string_view name) {
    return std::any_of(keys.begin(), keys.end(), [&](const std::string& key) { return plat::EqualNoCase1252(key, name); });
}

// A key's value; none when the key is missing or the value does not fit MAX_PATH.
std::optional<std::string> ListValue(const char* name, const char* file) {
    char value[MAX_PATH + 1];
    const DWORD n =
        GetPrivateProfileStringA(PlayerString(kIdsUserListSection).c_str(), name, kMissing, value, sizeof value, file);
    if (std::strcmp(value, kMissing) == 0 || n >= MAX_PATH) return std::nullopt;
    return std::string(value, n);
}

// A list value names a folder below the program folder: not empty (that would be the program
// folder itself, whose preference file is no player's), no drive, no root, and no part made of
// dots and blanks only (the path rules read "..", "..." and ". ." as a step up or as nothing).
bool IsPlayerFolderValue(const std::string& value) {
    if (value.empty() || value.find(':') != std::string::npos || value[0] == '\\' || value[0] == '/') return false;
    size_t start = 0;
    while (start < value.size()) {
        size_t end = value.find_first_of("\\/", start);
        if (end == std::string::npos) end = value.size();
        const std::string_view part(value.data() + start, end - start);
        if (part.find_first_not_of(". ") == std::string_view::npos) return false;
        start = end + 1;
    }
    return true;
}

// A list value as a folder to compare: "/" read as "\", no doubled backslash, one at the end.
std::string FolderKey(const std::string& value) {
    std::string key;
    for (char c : value) {
        if (c == '/') c = '\\';
        if (c == '\\' && !key.empty() && key.back() == '\\') continue;
        key += c;
    }
    if (key.empty() || key.back() != '\\') key += '\\';
    return key;
}

bool SameFolder(const std::string& a, const std::string& b) { return plat::EqualNoCase1252(FolderKey(a), FolderKey(b)); }

// The list's entries in file order: each key and its value (none when it has no usable one).
std::vector<std::pair<std::string, std::optional<std::string>>> ListEntries(const char* file) {
    std::vector<std::pair<std::string, std::optional<std::string>>> entries;
    for (std::string& key : SectionKeys(PlayerString(kIdsUserListSection), file)) {
        std::optional<std::string> value = ListValue(key.c_str(), file);
        entries.emplace_back(std::move(key), std::move(value));
    }
    return entries;
}

// Whether another name, earlier in the list, names the folder this name's value names: the
// folder is the earlier player's, and this one has none of its own.
bool FolderIsAnEarlierPlayers(const std::string& name, const std::string& value, const char* file) {
    for (const auto& [key, other] : ListEntries(file)) {
        if (plat::EqualNoCase1252(key, name)) return false;
        if (other && SameFolder(*other, value)) return true;
    }
    return false;
}

// The default levels in a block of the engine's size; the engine's own block keeps its levels.
// Empty when the engine has no block.
std::string DefaultLevels() {
    if (!theEngine) return {};
    int32_t size = 0;
    void* block = theEngine->GetSavedSettings(size);
    if (!block || size <= 0) return {};
    const std::string saved(static_cast<const char*>(block), static_cast<size_t>(size));
    theEngine->ResetSavedSettings();
    std::string defaults(static_cast<const char*>(block), static_cast<size_t>(size));
    std::memcpy(block, saved.data(), saved.size());
    return defaults;
}

// The first "Kid" + three digits below kids\ that could be made and that no list entry names;
// none when all 99 failed.
std::optional<std::string> MakeOwnFolder(const std::string& program, const char* listFile) {
    const std::string kids = PlayerString(kIdsKidsFolder);
    if (!Fits(program + kids) || !MakePlayerPath((program + kids).c_str())) return std::nullopt;
    std::vector<std::string> listed;
    for (auto& [key, value] : ListEntries(listFile)) {
        if (value) listed.push_back(std::move(*value));
    }
    for (int n = 1; n <= kMaxPlayerFolders; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "Kid%03d\\", n);
        const std::string relative = kids + name;
        if (!Fits(program + relative)) return std::nullopt;
        // A folder the list names is that player's even while it cannot be reached.
        if (std::any_of(listed.begin(), listed.end(), [&](const std::string& v) { return SameFolder(v, relative); })) {
            continue;
        }
        // A folder already there belongs to someone: the next number is tried.
        if (MakeDirectory((program + relative).c_str())) return relative;
    }
    return std::nullopt;
}

// Makes the player's folder, name file, list entry and default levels; the name is taken as
// it is (the caller checked it). No folder of its own, no player: two players never share one.
// `tell`: the notice 61284 says so.
int MakePlayer(HINSTANCE module, PlayerEntry& entry, const char* listFile, bool tell) {
    std::string program;
    if (!listFile || !GetGameFolder(module, program)) return 0;
    const std::optional<std::string> relative = MakeOwnFolder(program, listFile);
    if (!relative) {
        if (tell) AfxMessageBox(kIdsNoPlayerFolder, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    const std::string nameFile = program + *relative + PlayerString(kIdsNameFile);
    // A value loses one pair of enclosing quotes when read: a name in quotes keeps them
    // inside another pair.
    const std::string& name = entry.name;
    const bool quoted = name.size() >= 2 && (name[0] == '"' || name[0] == '\'') && name.back() == name[0];
    const std::string value = quoted ? "\"" + name + "\"" : name;
    // Without its name file a folder is no one's once the list is rebuilt from the
    // folders: no name file, no player.
    if (!Fits(nameFile) || !WritePrivateProfileStringA(PlayerString(kIdsNameSection).c_str(),
                                                       PlayerString(kIdsNameKey).c_str(), value.c_str(),
                                                       nameFile.c_str())) {
        DeleteFileA(nameFile.c_str());
        RemoveDirectoryA((program + *relative).c_str());
        return 0;
    }

    if (!WritePrivateProfileStringA(PlayerString(kIdsUserListSection).c_str(), entry.name.c_str(), relative->c_str(),
                                    listFile)) {
        // No entry, no player: the folder made for it is free again.
        DeleteFileA((program + *relative + PlayerString(kIdsNameFile)).c_str());
        RemoveDirectoryA((program + *relative).c_str());
        return 0;
    }
    entry.folder = *relative;

    // The new player starts at the default levels; the engine's block keeps the levels of the
    // player who is playing. A file that cannot be written gives the same defaults when read.
    const std::string levels = DefaultLevels();
    if (!levels.empty()) WriteUserPrefs((program + *relative).c_str(), levels.data(), levels.size());
    return 1;
}

// The folder a player entry's files are in; empty for an entry without one.
std::string EntryFolder(const PlayerEntry& entry) {
    if (entry.folder.empty() || IsAbsolute(entry.folder)) return entry.folder;
    std::string program;
    if (!GetGameFolder(nullptr, program)) return {};
    return program + entry.folder;
}

// Inserts the name in list order: the guest first, the others after entry 0 before the first
// greater name.
void InsertInOrder(std::vector<PlayerEntry>& list, PlayerEntry entry, const std::string& guest) {
    if (plat::EqualNoCase1252(entry.name, guest)) {
        list.insert(list.begin(), std::move(entry));
        return;
    }
    auto at = list.begin() + (list.empty() ? 0 : 1);
    while (at != list.end() && plat::SwedishCollateNoCase(at->name, entry.name) <= 0) ++at;
    list.insert(at, std::move(entry));
}

}  // namespace

bool IsValidPlayerName(std::string_view name) {
    if (name.empty() || name.size() > kMaxPlayerNameLength) return false;
    if (name.front() == ' ' || name.back() == ' ' || name.front() == ';' || name.front() == '[') return false;
    for (const char c : name) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x20 || byte == 0x7F || c == '=') return false;
        if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) return false;
    }
    return true;
}

int GetGameFolder(HINSTANCE module, std::string& folder) {
    if (theEngine && !theEngine->m_programFolder.empty()) {
        folder = theEngine->m_programFolder;
    } else {
        char path[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameA(module, path, sizeof path);
        if (n == 0 || n >= sizeof path - 1) return 0;
        folder = ProgramFolderOf(path);
    }
    if (folder.empty()) return 0;
    if (folder.back() != '\\') folder += '\\';
    return Fits(folder) ? 1 : 0;
}

int GetPlayerListPath(std::string& path) {
    path = GetAppPrefs().installPath;
    // Without a folder the name alone would be a file of the Windows folder.
    if (path.empty()) return 0;
    if (path.back() != '\\') path += '\\';
    path += PlayerString(kIdsUserListFile);
    return Fits(path) ? 1 : 0;
}

int AddUser(HINSTANCE module, PlayerEntry& entry, const char* listFile, bool tellWhenNoFolder) {
    if (!listFile || !IsValidPlayerName(entry.name)) return 0;
    if (KeyExists(SectionKeys(PlayerString(kIdsUserListSection), listFile), entry.name)) return 0;
    return MakePlayer(module, entry, listFile, tellWhenNoFolder);
}

int LoadUserList(HINSTANCE module, std::span<PlayerEntry> entries, const char* listFile) {
    if (!listFile) return 0;
    const int capacity = static_cast<int>(std::min<size_t>(entries.size(), kMaxPlayers));
    const std::vector<std::string> all = SectionKeys(PlayerString(kIdsUserListSection), listFile);
    if (all.empty()) return ScanUserDirectories(module, entries.data(), capacity, listFile);
    // A key given twice is one player: the file's reads see the first only.
    std::vector<std::string> keys;
    for (const std::string& key : all) {
        if (keys.size() == static_cast<size_t>(capacity)) break;
        if (!KeyExists(keys, key)) keys.push_back(key);
    }

    std::string program;
    if (!GetGameFolder(module, program)) return 0;
    const std::string guest = PlayerString(kIdsGuestName);
    std::vector<PlayerEntry> list;
    std::vector<std::string> taken;  // the folders of the names before, in file order
    for (const std::string& name : keys) {
        PlayerEntry entry{name, {}};
        const std::optional<std::string> value = ListValue(name.c_str(), listFile);
        const bool usable = value && IsPlayerFolderValue(*value) && Fits(program + *value);
        const bool shared =
            usable && std::any_of(taken.begin(), taken.end(), [&](const std::string& t) { return SameFolder(t, *value); });
        if (usable && !shared) taken.push_back(*value);
        if (usable && !shared && DirectoryExists((program + *value).c_str())) {
            entry.folder = program + *value;
        } else if (MakePlayer(module, entry, listFile, false)) {
            // A player whose folder has gone, who never had one, or whose folder an earlier
            // name has, is given a new one.
            taken.push_back(entry.folder);
            entry.folder = program + entry.folder;
        } else if (usable && !shared) {
            // No new folder can be made now: the entry stays as it is. The player plays with
            // default levels, and nothing is written while the folder cannot be reached.
            entry.folder = program + *value;
        }
        if (!Fits(entry.folder)) entry.folder.clear();
        InsertInOrder(list, std::move(entry), guest);
    }
    std::move(list.begin(), list.end(), entries.begin());
    return static_cast<int>(list.size());
}

int ScanUserDirectories(HINSTANCE module, PlayerEntry* entries, int capacity, const char* listFile) {
    std::string program;
    if (!listFile || !GetGameFolder(module, program)) return 0;
    capacity = std::max(capacity, 0);
    const std::string kids = PlayerString(kIdsKidsFolder);
    const std::string pattern = program + kids + "*.*";
    if (!Fits(pattern)) return 0;
    const std::string section = PlayerString(kIdsUserListSection);

    std::vector<std::string> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const DWORD skip = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        if ((data.dwFileAttributes & skip) || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            data.cFileName[0] == '.') {
            continue;
        }
        const std::string relative = kids + data.cFileName + "\\";
        const std::string nameFile = program + relative + PlayerString(kIdsNameFile);
        if (!Fits(nameFile)) continue;
        char name[kMaxPlayerNameLength + 1];
        GetPrivateProfileStringA(PlayerString(kIdsNameSection).c_str(), PlayerString(kIdsNameKey).c_str(), "", name,
                                 sizeof name, nameFile.c_str());
        // A name that would not come back as its own key, a second folder of one name, or a
        // name the list gives another folder would repoint a player's entry.
        if (!IsValidPlayerName(name) || KeyExists(found, name)) continue;
        const std::optional<std::string> listed = ListValue(name, listFile);
        if (listed && !plat::EqualNoCase1252(*listed, relative)) continue;
        found.emplace_back(name);
        if (!listed) WritePrivateProfileStringA(section.c_str(), name, relative.c_str(), listFile);
        const int n = static_cast<int>(found.size());
        if (entries && n <= capacity) entries[n - 1] = PlayerEntry{name, program + relative};
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return std::min(static_cast<int>(found.size()), capacity);
}

int GetPlayerPrefsPath(const char* name, char* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    buffer[0] = '\0';
    std::string listFile;
    if (!name || !GetPlayerListPath(listFile)) return 0;
    const std::optional<std::string> value = ListValue(name, listFile.c_str());
    if (!value || !IsPlayerFolderValue(*value) || FolderIsAnEarlierPlayers(name, *value, listFile.c_str())) return 0;
    std::string path = GetAppPrefs().installPath;
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += *value;
    if (path.size() >= size || path.size() >= MAX_PATH) return 0;
    CopyOut(path, buffer, size);
    return 1;
}

int CurrentPlayerFolder(std::string& folder) {
    const std::string& name = GetAppPrefs().GetCurrentUser();
    if (name.empty()) return -1;
    char path[MAX_PATH];
    if (!GetPlayerPrefsPath(name.c_str(), path, sizeof path)) return 0;
    folder = path;
    return 1;
}

int LoadPlayerPrefs() {
    if (IsLauncherModeSet()) return LoadPlayLevels(nullptr);
    std::string folder;
    const int found = CurrentPlayerFolder(folder);
    if (found < 0) return 0;
    if (found == 0) {
        // A name without an entry has no file of its own: never the preference folder's.
        if (theEngine) theEngine->ResetSavedSettings();
        return 0;
    }
    return LoadPlayLevels(folder.c_str());
}

int SavePlayerPrefs() {
    if (IsLauncherModeSet()) return WriteUserPrefs(nullptr, nullptr, 0);
    std::string folder;
    if (CurrentPlayerFolder(folder) != 1) return 0;
    return WriteUserPrefs(folder.c_str(), nullptr, 0);
}

int WriteUserPrefsFor(const PlayerEntry& entry) {
    if (IsLauncherModeSet()) return WriteUserPrefs(nullptr, nullptr, 0);
    const std::string folder = EntryFolder(entry);
    if (!Fits(folder)) return 0;
    return WriteUserPrefs(folder.c_str(), nullptr, 0);
}

int MakePlayerPath(const char* path) { return MakePath(path); }
