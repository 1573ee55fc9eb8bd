// The Disk, File95 and File statements: files copied through the version-checking installer,
// so that an older file never silently replaces a newer one; shared files counted in the
// registry's SharedDLLs list; a file in use (or one whose version check refuses it) replaced at
// the next start of Windows through the [rename] section of "WinInit.ini".
#pragma once

#include <string>

#include "setup/common/script_text.h"

namespace setup {

class CSetwellApp;

inline constexpr char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A File statement's fields: source and destination (full paths), then the flags ('D' shared,
// 'R' read-only, 'H' hidden, anywhere, any case). A statement without a destination, with a
// path without a backslash, or with a destination off the C: drive is skipped with notice
// 59215.
void ParseFileStatement(CSetwellApp& app, const ScriptFields& fields);
void InstallFile(CSetwellApp& app, const std::string& source, const std::string& destination,
                 const std::string& flags);

// The Disk statement (volume label, disk name): asks for the disk until the source drive
// carries that label; Cancel ends the installation (59214).
void CheckDiskLabel(CSetwellApp& app, const ScriptFields& fields);

// The name a file waiting for the next start of Windows is installed under in `directory`:
// the name up to its first '.' followed by ".tmp", with a number after the stem (FOO1.tmp,
// FOO2.tmp ...) when that name exists in the folder or is already the source of a line of
// `winInit`, so that two files of one stem never share a temporary copy.
std::string TemporaryInstallName(const std::string& directory, const std::string& name,
                                 const std::string& winInit);

}  // namespace setup
