// Windows' profile calls: INI files in the DOS path namespace, read and written with
// Windows' semantics (see ini_file.h for the format). Text is Windows-1252.
//
// File names: a name without '\' or '/' is a file of the Windows folder; others resolve
// through the DOS path namespace (relative to the current folder, case-insensitively). A
// null file name is WIN.INI.
// Every write is a locked read-modify-write of the whole file, replaced through a
// temporary file, so that two processes never lose each other's writes and a failed
// write leaves the old file intact.
#pragma once

#include "platform/core/wintypes.h"

// With both section and key: the value (quotes around it stripped, blanks trimmed), or
// the default (trailing blanks stripped; null is empty) when missing. A value longer than
// the buffer is cut to size - 1 characters plus NUL, and size - 1 is returned.
// Null section: the section names; null key: the section's keys (the default when it has
// none). Lists are NUL-separated and end in two NULs; a list that does not fit has its
// last name cut so that the buffer ends in two NULs, and size - 2 is returned.
// Returns the number of characters stored, without the final NUL.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR file);
// Leading decimal digits of the value with an optional sign ("12abc" is 12, "abc" is 0),
// wrapping like an unsigned 32-bit number; the default when the value is missing or empty.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR file);
// "key=value" strings of a section as a list (truncated as above).
DWORD GetPrivateProfileSectionA(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file);
DWORD GetPrivateProfileSectionNamesA(LPSTR buffer, DWORD size, LPCSTR file);
// A null value deletes the key, a null key deletes the section; all three null only
// flush (nothing is cached, so TRUE at once). The file is created when missing (its
// folder must exist). A value or key is cut at a line break.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
// Replaces the section's lines with a list of "key=value" strings ending in an empty
// string; a null list deletes the section.
BOOL WritePrivateProfileSectionA(LPCSTR section, LPCSTR lines, LPCSTR file);

// The same on WIN.INI of the Windows folder.
DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size);
UINT GetProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue);
BOOL WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value);
DWORD GetProfileSectionA(LPCSTR section, LPSTR buffer, DWORD size);
BOOL WriteProfileSectionA(LPCSTR section, LPCSTR lines);

inline DWORD GetPrivateProfileString(LPCSTR s, LPCSTR k, LPCSTR d, LPSTR b, DWORD n, LPCSTR f) {
    return GetPrivateProfileStringA(s, k, d, b, n, f);
}
inline UINT GetPrivateProfileInt(LPCSTR s, LPCSTR k, INT d, LPCSTR f) {
    return GetPrivateProfileIntA(s, k, d, f);
}
inline DWORD GetPrivateProfileSection(LPCSTR s, LPSTR b, DWORD n, LPCSTR f) {
    return GetPrivateProfileSectionA(s, b, n, f);
}
inline DWORD GetPrivateProfileSectionNames(LPSTR b, DWORD n, LPCSTR f) {
    return GetPrivateProfileSectionNamesA(b, n, f);
}
inline BOOL WritePrivateProfileString(LPCSTR s, LPCSTR k, LPCSTR v, LPCSTR f) {
    return WritePrivateProfileStringA(s, k, v, f);
}
inline BOOL WritePrivateProfileSection(LPCSTR s, LPCSTR l, LPCSTR f) {
    return WritePrivateProfileSectionA(s, l, f);
}
inline DWORD GetProfileString(LPCSTR s, LPCSTR k, LPCSTR d, LPSTR b, DWORD n) {
    return GetProfileStringA(s, k, d, b, n);
}
inline UINT GetProfileInt(LPCSTR s, LPCSTR k, INT d) {
    return GetProfileIntA(s, k, d);
}
inline BOOL WriteProfileString(LPCSTR s, LPCSTR k, LPCSTR v) {
    return WriteProfileStringA(s, k, v);
}
inline DWORD GetProfileSection(LPCSTR s, LPSTR b, DWORD n) {
    return GetProfileSectionA(s, b, n);
}
inline BOOL WriteProfileSection(LPCSTR s, LPCSTR l) {
    return WriteProfileSectionA(s, l);
}
