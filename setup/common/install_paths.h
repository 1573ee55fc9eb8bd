// Paths and folders of the setup programs' statements: splitting a full path into its folder
// and name, making a folder with every missing level, and deleting a file at the next start
// of Windows through the [rename] section of "WinInit.ini".
#pragma once

#include <string>
#include <string_view>

namespace setup {

class CProductDat;
struct ScriptValues;

// Cuts the path at its last backslash: the folder before it, the name after it. False (and
// both parts empty) when the path has no backslash.
bool SplitPath(std::string_view path, std::string& directory, std::string& name);

// The folders both programs start with: the System and Windows folders, and the Temp folder
// where the script's copy goes, unless it is missing or is the folder the program runs in (the
// copy never goes there): then the System folder.
void FindStartFolders(ScriptValues& values);

// Whether the folder (one trailing backslash ignored) exists; the critical-error boxes are
// off while it looks.
bool DirectoryExists(std::string path);
// Makes one folder level (one trailing backslash ignored).
bool MakeDirectory(std::string path);
// Makes every missing level of the path, never the drive part. Nonzero when the whole path
// exists afterwards; 0 for a path without a backslash (at most 260 characters are used).
int CreateDirectoryPath(std::string_view path);

// Whether the path, made full, lies on the emulated installation's drive C:. Statements delete,
// overwrite or remove only there: Z: is the host's whole file system and a CD is read-only.
// A relative path counts from the current folder, which is usually on Z:.
// A path through a symbolic link counts where the link leads.
bool IsOnInstallDrive(std::string_view path);

// The folders an upward walk of emptied parents never removes: a drive's root, the Windows,
// System and Temp folders, "C:\Program Files", the Start menu and its Programs folder.
bool IsWalkStopFolder(std::string_view path);
// A stop folder by its name or by where it really leads (a link to the Windows folder counts
// as the Windows folder); a path that does not resolve counts as protected.
bool IsProtectedFolder(std::string_view path);
// Removes the path's parents that are left empty, nearest first. A parent that is missing is
// passed over; the walk stops at the first one that cannot be removed and at a stop folder.
void RemoveEmptyParents(std::string_view path);

// The host file of "WinInit.ini" in the script's Windows folder.
std::string WinInitPath(const CProductDat& script);

// WinInit.ini's text (as read in text mode) with "NUL=<path>" after every line that is exactly
// "[rename]", or, when there is none, a "[rename]" section with that line at the end (on a
// line of its own).
std::string WithDeleteAtBoot(std::string_view winInit, std::string_view path);
// Whether a line of WinInit.ini's text has `path` after its first '=' (blanks around it and
// case ignored): the file is already waiting to be moved or deleted there.
bool IsRenameSource(std::string_view winInit, std::string_view path);

// WinInit.ini's text with "<target>=<source>" at the end of its first "[rename]" section (an
// earlier line for the same target dropped), or in a new section at the end when there is none.
std::string WithRenameAtBoot(std::string_view winInit, std::string_view target, std::string_view source);

// Adds "NUL=<path>" after every "[rename]" line of WinInit.ini (made when missing), or a new
// "[rename]" section at the end when there is none, so that Windows deletes the file when it
// next starts. The file is read whole, whatever its size, and rewritten under the profile
// calls' lock through a temporary file; a link at its name is never read or written through
// (it is replaced). A file that cannot be read or written gets message 59169 and stays as it is.
void ScheduleDeleteAtBoot(CProductDat& script, const std::string& path);
// The same for a move at the next start: "<target>=<source>" (WithRenameAtBoot).
void ScheduleRenameAtBoot(CProductDat& script, const std::string& target, const std::string& source);

// Whether an INI statement's file is WinInit.ini (a bare name is the Windows folder's), by its
// name or where it leads: its [rename] lines move and delete files at the next start, so no
// script writes it.
bool NamesWinInit(const CProductDat& script, const std::string& iniFile);

}  // namespace setup
