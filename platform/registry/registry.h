// The registry: keys and values with Windows' calls, kept for the whole emulated
// installation in one REGEDIT4 text file (see registry_store.h). Names are Windows-1252,
// case-insensitive, and keep the case they were made with.
//
// Deviations from Windows, all harmless to the programs:
// - access masks are accepted and not checked; every handle may read and write;
// - RegDeleteKey refuses a key that has subkeys (ERROR_ACCESS_DENIED), as Windows NT does;
// - REG_SZ and REG_EXPAND_SZ are kept as text: the data given ends at its first NUL or at
//   the length given, and a query returns the text with its terminator;
// - a handle names its key by path: a key deleted and made again is the same key;
// - HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\SOFTWARE\Classes; keys have no class name and
//   report the registry file's last write time.
#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/core/wintypes.h"
#include "platform/fs/filetime.h"
#include "platform/fs/handles.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000003u));

// Value types.
enum : DWORD {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_LITTLE_ENDIAN = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_MULTI_SZ = 7,
};

enum : DWORD { REG_OPTION_NON_VOLATILE = 0, REG_OPTION_VOLATILE = 1 };
enum : DWORD { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };

enum : REGSAM {
    KEY_QUERY_VALUE = 0x0001,
    KEY_SET_VALUE = 0x0002,
    KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008,
    KEY_NOTIFY = 0x0010,
    KEY_CREATE_LINK = 0x0020,
    KEY_READ = 0x20019,
    KEY_WRITE = 0x20006,
    KEY_EXECUTE = 0x20019,
    KEY_ALL_ACCESS = 0xF003F,
};

// Error codes of the registry calls beside those of wintypes.h.
enum : DWORD {
    ERROR_BADDB = 1009,
    ERROR_BADKEY = 1010,
    ERROR_REGISTRY_IO_FAILED = 1016,
    ERROR_KEY_DELETED = 1018,
};

// Limits of names, as Windows has them.
constexpr size_t kMaxRegKeyNameLength = 255;
constexpr size_t kMaxRegValueNameLength = 16383;
constexpr size_t kMaxRegKeyDepth = 512;

// A null or empty sub key opens a new handle to the key itself. Sub keys are paths with
// '\' between names; empty names (doubled or leading '\') are skipped.
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result);
// Makes every missing level; disposition REG_CREATED_NEW_KEY when the last level is new.
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, DWORD* disposition);
LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result);
LONG RegCloseKey(HKEY key);
// A null or empty name is the key's default value. A null data pointer asks for the
// size; a short buffer gives ERROR_MORE_DATA with the size needed in *dataSize.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
// Deletes a key without subkeys, with its values; an empty sub key is the key itself.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Sub keys and values in the order they were made. *nameSize holds the buffer's size in
// characters on entry and the name's length without NUL on return; a short name buffer
// gives ERROR_MORE_DATA.
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved, LPSTR className,
                   DWORD* classSize, FILETIME* lastWrite);
LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, DWORD* nameSize, DWORD* reserved, DWORD* type,
                   BYTE* data, DWORD* dataSize);
LONG RegQueryInfoKeyA(HKEY key, LPSTR className, DWORD* classSize, DWORD* reserved, DWORD* subKeys,
                      DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
                      DWORD* maxValueLength, DWORD* securityDescriptorSize, FILETIME* lastWrite);
// Every change already reached the file.
LONG RegFlushKey(HKEY key);

namespace plat {
// The registry file of the current emulated root: C:\WINDOWS\registry.reg.
std::filesystem::path RegistryFilePath();
}  // namespace plat

inline LONG RegOpenKeyEx(HKEY k, LPCSTR s, DWORD o, REGSAM a, PHKEY r) {
    return RegOpenKeyExA(k, s, o, a, r);
}
inline LONG RegOpenKey(HKEY k, LPCSTR s, PHKEY r) {
    return RegOpenKeyA(k, s, r);
}
inline LONG RegCreateKeyEx(HKEY k, LPCSTR s, DWORD res, LPSTR c, DWORD o, REGSAM a, LPSECURITY_ATTRIBUTES sa,
                           PHKEY r, DWORD* d) {
    return RegCreateKeyExA(k, s, res, c, o, a, sa, r, d);
}
inline LONG RegCreateKey(HKEY k, LPCSTR s, PHKEY r) {
    return RegCreateKeyA(k, s, r);
}
inline LONG RegQueryValueEx(HKEY k, LPCSTR n, DWORD* res, DWORD* t, BYTE* d, DWORD* sz) {
    return RegQueryValueExA(k, n, res, t, d, sz);
}
inline LONG RegSetValueEx(HKEY k, LPCSTR n, DWORD res, DWORD t, const BYTE* d, DWORD sz) {
    return RegSetValueExA(k, n, res, t, d, sz);
}
inline LONG RegDeleteValue(HKEY k, LPCSTR n) {
    return RegDeleteValueA(k, n);
}
inline LONG RegDeleteKey(HKEY k, LPCSTR s) {
    return RegDeleteKeyA(k, s);
}
inline LONG RegEnumKeyEx(HKEY k, DWORD i, LPSTR n, DWORD* ns, DWORD* res, LPSTR c, DWORD* cs, FILETIME* t) {
    return RegEnumKeyExA(k, i, n, ns, res, c, cs, t);
}
inline LONG RegEnumKey(HKEY k, DWORD i, LPSTR n, DWORD ns) {
    return RegEnumKeyA(k, i, n, ns);
}
inline LONG RegEnumValue(HKEY k, DWORD i, LPSTR n, DWORD* ns, DWORD* res, DWORD* t, BYTE* d, DWORD* ds) {
    return RegEnumValueA(k, i, n, ns, res, t, d, ds);
}
inline LONG RegQueryInfoKey(HKEY k, LPSTR c, DWORD* cs, DWORD* res, DWORD* sk, DWORD* msk, DWORD* mc,
                            DWORD* v, DWORD* mvn, DWORD* mv, DWORD* sd, FILETIME* t) {
    return RegQueryInfoKeyA(k, c, cs, res, sk, msk, mc, v, mvn, mv, sd, t);
}
