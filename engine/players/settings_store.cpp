#include "engine/players/settings_store.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/afx/string_table.h"
#include "platform/afxwin/winapp.h"
#include "platform/profile/profile.h"

namespace {

// The application object's names; null when there is none or it is empty.
const char* RegistryKeyName() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pszRegistryKey && *app->m_pszRegistryKey ? app->m_pszRegistryKey : nullptr;
}

const char* ProfileName() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pszProfileName && *app->m_pszProfileName ? app->m_pszProfileName : nullptr;
}

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

HKEY CreateKey(HKEY parent, const char* name) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, name, 0, nullptr, 0, kAccess, nullptr, &key, &disposition) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

}  // namespace

CSettingsStore::CSettingsStore(HKEY root) { Init(kModeRegistry, root, nullptr); }

void CSettingsStore::Load() {
    modified = 0;
    loaded = 1;
}

void CSettingsStore::Init(int32_t newMode, HKEY root, const char* file) {
    modified = 0;
    loaded = 0;
    fileName[0] = '\0';
    if (file) {
        std::snprintf(fileName, sizeof fileName, "%s", file);
    }
    rootKey = root ? root : HKEY_LOCAL_MACHINE;
    mode = newMode;
    if (rootKey == HKEY_CURRENT_USER && mode != kModeIniFile) mode = kModeAppProfile;
}

HKEY CSettingsStore::RegistryGetAppKey() {
    if (!RegistryKeyName()) return nullptr;
    HKEY software = nullptr;
    if (RegOpenKeyExA(rootKey, "Software", 0, kAccess, &software) != ERROR_SUCCESS) return nullptr;
    HKEY company = CreateKey(software, RegistryKeyName());
    RegCloseKey(software);
    if (!company) return nullptr;
    HKEY app = CreateKey(company, ProfileName() ? ProfileName() : "");
    RegCloseKey(company);
    return app;
}

HKEY CSettingsStore::RegistryGetSectionKey(const char* section) {
    HKEY app = RegistryGetAppKey();
    if (!app) return nullptr;
    HKEY key = CreateKey(app, section);
    RegCloseKey(app);
    return key;
}

std::string CSettingsStore::GetStringNamed(const char* section, const char* entry, const std::string& def) {
    switch (mode) {
        case kModeAppProfile: {
            CWinApp* app = AfxGetApp();
            return app ? std::string(static_cast<const char*>(app->GetProfileString(section, entry, def.c_str()))) : def;
        }
        case kModeRegistry: {
            if (!RegistryKeyName()) {
                if (!ProfileName()) return def;
                char buffer[260];
                GetPrivateProfileStringA(section, entry, def.c_str(), buffer, sizeof buffer, ProfileName());
                return buffer;
            }
            HKEY key = RegistryGetSectionKey(section);
            if (!key) return def;
            DWORD type = 0;
            DWORD size = 0;
            std::string value = def;
            if (RegQueryValueExA(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
                std::vector<char> buffer(size + 1, '\0');
                DWORD got = size;
                if (RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) ==
                        ERROR_SUCCESS &&
                    got <= size) {
                    value.assign(buffer.data(), ::strnlen(buffer.data(), got));
                }
            }
            RegCloseKey(key);
            return value;
        }
        case kModeIniFile: {
            if (!fileName[0]) return def;
            char buffer[256];
            GetPrivateProfileStringA(section, entry, def.c_str(), buffer, sizeof buffer, fileName);
            return buffer;
        }
        default: return def;
    }
}

BOOL CSettingsStore::WriteStringNamed(const char* section, const char* entry, const char* value) {
    switch (mode) {
        case kModeAppProfile: {
            CWinApp* app = AfxGetApp();
            return app ? app->WriteProfileString(section, entry, value) : FALSE;
        }
        case kModeRegistry: {
            if (!RegistryKeyName()) {
                return ProfileName() ? WritePrivateProfileStringA(section, entry, value, ProfileName()) : FALSE;
            }
            if (!entry) {
                HKEY app = RegistryGetAppKey();
                if (!app) return FALSE;
                const LONG rc = RegDeleteKeyA(app, section);
                RegCloseKey(app);
                return rc == ERROR_SUCCESS;
            }
            HKEY key = RegistryGetSectionKey(section);
            if (!key) return FALSE;
            LONG rc;
            if (!value) {
                rc = RegDeleteValueA(key, entry);
            } else {
                rc = RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                    static_cast<DWORD>(std::strlen(value) + 1));
            }
            RegCloseKey(key);
            return rc == ERROR_SUCCESS;
        }
        case kModeIniFile:
            return fileName[0] ? WritePrivateProfileStringA(section, entry, value, fileName) : FALSE;
        default: return FALSE;
    }
}

int CSettingsStore::GetIntNamed(const char* section, const char* entry, int def) {
    switch (mode) {
        case kModeAppProfile: {
            CWinApp* app = AfxGetApp();
            return app ? static_cast<int>(app->GetProfileInt(section, entry, def)) : def;
        }
        case kModeRegistry: {
            if (!RegistryKeyName()) {
                return ProfileName() ? static_cast<int>(GetPrivateProfileIntA(section, entry, def, ProfileName())) : def;
            }
            HKEY key = RegistryGetSectionKey(section);
            if (!key) return def;
            DWORD type = 0;
            DWORD number = 0;
            DWORD size = sizeof number;
            int value = def;
            if (RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) == ERROR_SUCCESS &&
                type == REG_DWORD && size == sizeof number) {
                value = static_cast<int>(number);
            }
            RegCloseKey(key);
            return value;
        }
        case kModeIniFile:
            return fileName[0] ? static_cast<int>(GetPrivateProfileIntA(section, entry, def, fileName)) : def;
        default: return def;
    }
}

BOOL CSettingsStore::WriteIntNamed(const char* section, const char* entry, int value) {
    if (mode == kModeRegistry && RegistryKeyName()) {
        HKEY key = RegistryGetSectionKey(section);
        if (!key) return FALSE;
        const DWORD number = static_cast<DWORD>(value);
        const LONG rc = RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }
    if (mode == kModeAppProfile) {
        CWinApp* app = AfxGetApp();
        return app ? app->WriteProfileInt(section, entry, value) : FALSE;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return WriteStringNamed(section, entry, text);
}

namespace {

struct Names {
    std::string section;
    std::string entry;
};

std::optional<Names> LoadNames(UINT section, UINT entry) {
    auto s = plat::LookupString(section);
    auto e = plat::LookupString(entry);
    if (!s || !e) return std::nullopt;
    return Names{std::move(*s), std::move(*e)};
}

}  // namespace

std::string CSettingsStore::GetString(UINT section, UINT entry, const std::string& def) {
    const auto names = LoadNames(section, entry);
    return names ? GetStringNamed(names->section.c_str(), names->entry.c_str(), def) : def;
}

BOOL CSettingsStore::WriteString(UINT section, UINT entry, const char* value) {
    const auto names = LoadNames(section, entry);
    return names ? WriteStringNamed(names->section.c_str(), names->entry.c_str(), value) : FALSE;
}

int CSettingsStore::GetInt(UINT section, UINT entry, int def) {
    const auto names = LoadNames(section, entry);
    return names ? GetIntNamed(names->section.c_str(), names->entry.c_str(), def) : def;
}

BOOL CSettingsStore::WriteInt(UINT section, UINT entry, int value) {
    const auto names = LoadNames(section, entry);
    return names ? WriteIntNamed(names->section.c_str(), names->entry.c_str(), value) : FALSE;
}
