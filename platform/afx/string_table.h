// The program's string table. Each program lists its strings in one source file as UTF-8
// literals and registers the list at start:
//
//   const plat::StringEntry kStrings[] = {{40000, u8"Kunde inte läsa ..."}, ...};
//   plat::RegisterStringTable(kStrings);   // first thing in main
//
// The texts are converted to Windows-1252 once, at registration; LoadString serves those bytes.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/core/wintypes.h"

class CString;

namespace plat {

struct StringEntry {
    UINT id;
    const char8_t* text;
};

// Adds the entries to the process's table; an id given again replaces the earlier text.
// Characters without a Windows-1252 byte become '?'. A null text registers an empty string.
void RegisterStringTable(std::span<const StringEntry> entries);
// Empties the table (tests).
void ClearStringTable();
// The Windows-1252 text of an id; none when the id is not in the table.
std::optional<std::string> LookupString(UINT id);

}  // namespace plat

// Copies the string into the buffer, truncated to size - 1 bytes and always terminated;
// returns the number of bytes copied without the terminator, 0 when the id is missing (the
// buffer then holds an empty string) or the buffer is null or has no room. The instance is
// ignored: a process has one table.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
inline int LoadString(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    return LoadStringA(instance, id, buffer, size);
}

// The class library's "%1".."%9" formatting: each "%n" becomes strings[n - 1]; a placeholder
// beyond the count given becomes '?'; a null string is left out; a '%' not followed by a digit
// 1-9 is kept as it is. The format of an id that is missing leaves the output unchanged.
void AfxFormatStrings(CString& out, LPCSTR format, LPCSTR const* strings, int count);
void AfxFormatStrings(CString& out, UINT formatId, LPCSTR const* strings, int count);
void AfxFormatString1(CString& out, UINT formatId, LPCSTR s1);
void AfxFormatString2(CString& out, UINT formatId, LPCSTR s1, LPCSTR s2);
