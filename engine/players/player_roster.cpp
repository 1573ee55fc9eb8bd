#include "engine/players/player_roster.h"

#include "engine/players/app_prefs.h"
#include "engine/players/player_strings.h"
#include "platform/afxwin/winapp.h"
#include "platform/strings/cp1252.h"

void CPlayerRoster::Load() {
    Free();
    const std::string guest = PlayerString(kIdsGuestName);
    m_instance = AfxGetInstanceHandle();
    m_resources = AfxGetResourceHandle();
    CAppPrefs& prefs = GetAppPrefs();
    if (!prefs.loaded) prefs.Load();
    if (!GetPlayerListPath(m_listPath)) m_listPath.clear();
    if (!m_listPath.empty()) m_count = LoadUserList(m_instance, m_entries, m_listPath.c_str());

    bool hasGuest = false;
    for (int i = 0; i < m_count; ++i) hasGuest = hasGuest || plat::EqualNoCase1252(m_entries[static_cast<size_t>(i)].name, guest);
    if (!hasGuest && !AddPlayer(guest, false) && m_count < kMaxPlayers) {
        // The guest plays without files of its own rather than leaving the roster empty.
        m_entries[static_cast<size_t>(m_count++)] = PlayerEntry{guest, {}};
    }

    const std::string& current = prefs.GetCurrentUser();
    m_current = FindByName(current) ? IndexOf(current) : 0;
    if (m_count > 0 && GetName(m_current) != current) {
        // The named player has no entry (removed, or never there): entry 0 plays, and the
        // preferences say so, so nothing of the name's stale files is ever read for it.
        prefs.SetCurrentUser(GetName(m_current));
    }
    LoadPlayerPrefs();
}

void CPlayerRoster::Free() {
    for (PlayerEntry& entry : m_entries) entry = PlayerEntry{};
    m_count = 0;
    m_current = 0;
}

int CPlayerRoster::FindByName(const std::string& name) const {
    for (int i = 0; i < m_count; ++i) {
        if (m_entries[static_cast<size_t>(i)].name == name) return 1;
    }
    return 0;
}

int CPlayerRoster::IndexOf(const std::string& name) const {
    for (int i = 0; i < m_count; ++i) {
        if (m_entries[static_cast<size_t>(i)].name == name) return i;
    }
    return 0;
}

int CPlayerRoster::Add(const std::string& name) { return AddPlayer(name, true); }

int CPlayerRoster::AddPlayer(const std::string& name, bool tellWhenNoFolder) {
    if (m_count >= kMaxPlayers || m_listPath.empty()) return 0;
    PlayerEntry entry{name, {}};
    if (!AddUser(m_instance, entry, m_listPath.c_str(), tellWhenNoFolder)) return 0;
    m_entries[static_cast<size_t>(m_count)] = std::move(entry);
    return ++m_count;
}

int CPlayerRoster::FindOrAdd(const std::string& name) {
    if (FindByName(name)) return IndexOf(name);
    return Add(name) ? m_count - 1 : -1;
}

std::string CPlayerRoster::GetName(int index) const {
    if (index < 0 || index >= m_count) return {};
    return m_entries[static_cast<size_t>(index)].name;
}

void CPlayerRoster::SetCurrent(int index) {
    if (index == m_current || index < 0 || index >= m_count) return;
    if (m_current >= 0 && m_current < m_count) WriteUserPrefsFor(m_entries[static_cast<size_t>(m_current)]);
    GetAppPrefs().SetCurrentUser(m_entries[static_cast<size_t>(index)].name);
    LoadPlayerPrefs();
    m_current = index;
}
