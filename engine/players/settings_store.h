// CSettingsStore: named settings (a section, an entry, a string or an integer value) kept by
// one of three back ends, chosen when the store is set up and switchable at run time:
//   0  the application profile of the class library's application object (CWinApp's
//      GetProfileString and friends);
//   1  the registry below a root key, in the key
//      <root>\Software\<application's registry key name>\<application's profile name>\<section>
//      (without a registry key name, the INI file of the profile name);
//   2  a private INI file.
// Sections and entries are given as string-table ids, so the names live in the resources.
// A name that does not load reads as the default and writes as failure (0); a key that
// cannot be opened reads as the default and writes as failure. The back ends show no
// messages. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/wintypes.h"
#include "platform/registry/registry.h"

class CSettingsStore {
public:
    enum : int32_t { kModeAppProfile = 0, kModeRegistry = 1, kModeIniFile = 2 };

    // The registry back end below `root`.
    explicit CSettingsStore(HKEY root = HKEY_LOCAL_MACHINE);
    virtual ~CSettingsStore() = default;
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    virtual void Clear() { modified = 0; }
    virtual void Load();
    virtual void Save() { modified = 0; }

    // Chooses the back end: a null root is HKEY_LOCAL_MACHINE, a null file none. A root of
    // HKEY_CURRENT_USER with any mode but the INI file's selects the application profile.
    // Clears modified and loaded.
    void Init(int32_t mode, HKEY root, const char* file);

    // By string ids.
    std::string GetString(UINT section, UINT entry, const std::string& def);
    BOOL WriteString(UINT section, UINT entry, const char* value);
    int GetInt(UINT section, UINT entry, int def);
    BOOL WriteInt(UINT section, UINT entry, int value);

    // By names, straight to the back end. In registry mode a null entry deletes the whole
    // section key, a null value the entry's value.
    std::string GetStringNamed(const char* section, const char* entry, const std::string& def);
    BOOL WriteStringNamed(const char* section, const char* entry, const char* value);
    int GetIntNamed(const char* section, const char* entry, int def);
    BOOL WriteIntNamed(const char* section, const char* entry, int value);

    HKEY rootKey = HKEY_LOCAL_MACHINE;
    char fileName[260] = {};
    int32_t mode = kModeRegistry;
    uint32_t modified = 0;
    uint32_t loaded = 0;

protected:
    // <root>\Software\<registry key name>\<profile name>, made when missing; null on failure.
    HKEY RegistryGetAppKey();
    // The section below the application key, made when missing; null on failure.
    HKEY RegistryGetSectionKey(const char* section);
};
