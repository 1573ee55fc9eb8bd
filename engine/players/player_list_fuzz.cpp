// Any bytes as the player list "Zelbo.ini" and as the players' "SETTINGS.INI" files:
// LoadUserList, ScanUserDirectories and CPlayerRoster::Load never crash, fill at most 90
// entries, and every entry is a player whose folder lies below the program folder (or, for a
// guest kept in memory, none). The input is the list, then a NUL byte, then the name file
// given to each of three player folders.
#include <stdlib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/core/cor_engine.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_list.h"
#include "engine/players/player_roster.h"
#include "engine/players/player_strings.h"
#include "platform/afx/message_box.h"
#include "platform/fs/dospath.h"
#include "platform/strings/cp1252.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Root() {
    static const fs::path* root = [] {
        // Every list write is flushed to disk: a memory file system keeps the runs quick.
        std::string pattern = "/dev/shm/zelbo-players-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            pattern = (fs::temp_directory_path() / "zelbo-players-fuzz-XXXXXX").string();
            if (!mkdtemp(pattern.data())) std::abort();
        }
        plat::SetEmulatedRoot(fs::path(pattern) / "c");
        plat::EmulatedRoot();
        RegisterPlayerStrings();
        theEngine->m_programFolder = "C:\\Prog\\";
        GetAppPrefs().SetDefaults("C:\\Prog\\");
        GetAppPrefs().loaded = 1;
        plat::SetMessageBoxHook([](LPCSTR, UINT, UINT) { return IDOK; });
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(Root().parent_path(), ec);
        });
        return new fs::path(fs::path(pattern) / "c");
    }();
    return *root;
}

void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The folder, resolved as the file calls resolve it, lies below the program folder (a name no
// file call accepts names no place at all).
bool Below(const std::string& folder) {
    const auto full = plat::FullDosPath(folder);
    if (!full) return true;
    return full->size() > 8 && plat::EqualNoCase1252(full->substr(0, 8), "C:\\PROG\\");
}

void CheckEntries(const std::array<PlayerEntry, kMaxPlayers>& entries, int n) {
    if (n < 0 || n > kMaxPlayers) std::abort();
    for (int i = 0; i < n; ++i) {
        const PlayerEntry& e = entries[static_cast<size_t>(i)];
        if (e.name.empty() || (!e.folder.empty() && !Below(e.folder))) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path program = Root() / "Prog";
    std::error_code ec;
    fs::remove_all(program, ec);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const size_t cut = bytes.find('\0');
    const std::string list = bytes.substr(0, cut);
    const std::string names = cut == std::string::npos ? std::string() : bytes.substr(cut + 1);
    for (const char* folder : {"Kid001", "Kid002", "Kid005"}) Write(program / "kids" / folder / "SETTINGS.INI", names);
    Write(program / "Zelbo.ini", list);

    std::array<PlayerEntry, kMaxPlayers> entries;
    CheckEntries(entries, LoadUserList(nullptr, entries, "C:\\Prog\\Zelbo.ini"));

    Write(program / "Zelbo.ini", "");
    entries = {};
    const int found = ScanUserDirectories(nullptr, entries.data(), 2, "C:\\Prog\\Zelbo.ini");
    if (found > 2) std::abort();
    CheckEntries(entries, found);

    Write(program / "Zelbo.ini", list);
    GetAppPrefs().currentUser = names.substr(0, names.find('\n'));
    CPlayerRoster roster;
    roster.Load();
    if (roster.Count() < 1 || roster.Count() > kMaxPlayers) std::abort();
    if (roster.Current() < 0 || roster.Current() >= roster.Count()) std::abort();
    for (int i = 0; i < roster.Count(); ++i) {
        const std::string& folder = roster.Entry(i).folder;
        if (!folder.empty() && !Below(folder.find(':') == std::string::npos ? "C:\\Prog\\" + folder : folder)) std::abort();
    }
    return 0;
}
