// The DOS path namespace: drive letters mapped onto host folders, and the translation
// between DOS paths (Windows-1252, backslashes, case-insensitive) and host paths (UTF-8).
//
//   C:  the emulated Windows installation (EmulatedRoot)
//   D:, E:, ...  CD-ROM drives, one per folder of ZELBO_CDROM (colon-separated), read-only
//   Z:  the host's "/", so that every host file has a DOS name
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The host folder of C:\. ZELBO_ROOT, else $XDG_DATA_HOME/quorva/c, else
// ~/.local/share/quorva/c. The Windows folders are made on first use.
std::filesystem::path EmulatedRoot();
// Replaces the root (tests use a temporary folder); an empty path returns to the default.
void SetEmulatedRoot(const std::filesystem::path& root);
// Replaces the CD-ROM folders (D:, E:, ... in order); an empty list leaves no CD drives.
void SetCdromFolders(const std::vector<std::filesystem::path>& folders);
// Forgets the overrides: the root and CD folders are read again from the environment.
void ResetDriveMap();

enum class DriveKind { None, Fixed, Cdrom };
// What a drive letter (either case) is mapped to.
DriveKind GetDriveKind(char letter);
// The host folder of a drive's root, or none for an unmapped letter.
std::optional<std::filesystem::path> DriveRoot(char letter);
// Bit n set for each mapped drive (bit 0 = A:).
uint32_t MappedDrives();

// The absolute, normalised DOS form of a path: "X:\A\B" (a root is "X:\"). Accepts '\'
// and '/', "X:\...", "X:rel" (relative to that drive's current folder), "\..." (root of
// the current drive) and plain relative paths; "." and repeated separators are dropped and
// ".." stops at the drive root. None for an empty path, UNC and device names, and names
// holding characters Windows refuses (< > " | control characters; ':' after the drive).
// Wildcards are kept, so that search patterns normalise too.
std::optional<std::string> FullDosPath(std::string_view dosPath);

// The host path of a DOS path. Existing components are found case-insensitively in
// Windows-1252 (an exact match wins); the first missing component and all after it keep
// the case given. None when the path is invalid, holds wildcards, or names an unmapped
// drive. Never leaves the drive's root through "..".
std::optional<std::filesystem::path> ResolveDosPath(std::string_view dosPath);

// The DOS form of a host path: "C:\..." under the emulated root, "D:\..." under a CD
// folder, else "Z:\..."; names are converted to Windows-1252.
std::string HostToDosPath(const std::filesystem::path& hostPath);

// Where a DOS path really leads: its host path with every symbolic link on the way followed
// (the last component too, also a link to something that does not exist), in DOS form, so a
// link under C: to a host folder gives "Z:\...". Components that do not exist are kept as
// given. None when the path does not resolve or its links go round in circles.
std::optional<std::string> RealDosPath(std::string_view dosPath);

// The process's current folder ("X:\..."), and each drive's own current folder that
// drive-relative paths ("D:file") use. Initially the host's working folder in DOS form.
std::string CurrentDosDirectory();
std::string CurrentDosDirectoryOf(char letter);
// Makes an existing folder current; false when it does not resolve to a folder.
bool SetCurrentDosDirectory(std::string_view dosPath);

}  // namespace plat
