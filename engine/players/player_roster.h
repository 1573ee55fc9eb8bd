// CPlayerRoster: the players that the player chooser and the grown-ups' pages show (at most
// 90, the guest "Gäst" always among them) and the index of the one who is playing. Changing
// the current player writes the engine's block (the outgoing player's levels) into that
// player's file, names the new player in the application preferences and loads the new
// player's levels. Each user of the roster makes its own; UI thread only.
#pragma once

#include <array>
#include <string>

#include "engine/players/player_list.h"
#include "platform/core/wintypes.h"

class CPlayerRoster {
public:
    CPlayerRoster() = default;

    // Reads the player list (player_list.h) and adds the guest when no entry is the guest
    // (without regard to case, as the list's keys); a guest that cannot be added is kept in
    // memory, without a notice, so the roster is never empty. The player the application preferences name is
    // made current, else entry 0, which the preferences then name too; its levels are loaded.
    void Load();
    // Empties the roster.
    void Free();

    // Exact comparison (case-sensitive, byte for byte).
    int FindByName(const std::string& name) const;
    // The first entry of exactly that name; 0 when there is none.
    int IndexOf(const std::string& name) const;
    // A new player on the next entry (AddUser); the new number of players, or 0 with nothing
    // written when the roster is full or the player cannot be made (name refused, key taken,
    // no folder of its own: after the notice 61284, list not writable).
    int Add(const std::string& name);
    // The index of the entry of exactly that name, added when missing; -1 when it cannot be
    // added.
    int FindOrAdd(const std::string& name);
    // A copy of the player's name; empty for an index outside the roster.
    std::string GetName(int index) const;
    // Makes the player current: the outgoing player's levels go into its own file, the new
    // player is named in the application preferences and its levels are loaded. Nothing
    // happens for the current index or one outside the roster.
    void SetCurrent(int index);

    int Count() const { return m_count; }
    int Current() const { return m_current; }
    const PlayerEntry& Entry(int index) const { return m_entries[static_cast<size_t>(index)]; }
    const std::string& ListPath() const { return m_listPath; }

private:
    int AddPlayer(const std::string& name, bool tellWhenNoFolder);

    HINSTANCE m_instance = nullptr;
    HINSTANCE m_resources = nullptr;
    std::string m_listPath;
    std::array<PlayerEntry, kMaxPlayers> m_entries{};
    int m_count = 0;
    int m_current = 0;
};
