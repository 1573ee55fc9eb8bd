// Helpers shared by the file calls of this folder; not for use outside platform/fs.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/strings/cp1252.h"

namespace plat::fsi {

namespace fs = std::filesystem;

// A DOS path checked and mapped for one call.
struct Resolved {
    std::string dos;  // "X:\..." normalised
    fs::path host;
    bool cd = false;
    bool isRoot = false;
};

// Null on failure, with the last error set: ERROR_PATH_NOT_FOUND (empty name, unmapped
// drive), ERROR_INVALID_NAME (bad characters, wildcards), ERROR_FILENAME_EXCED_RANGE,
// ERROR_NOT_READY (a CD drive whose folder is missing: no disc).
std::optional<Resolved> ResolveForApi(const char* name);

// The Windows error code of an errno value; ENOENT is ERROR_FILE_NOT_FOUND.
DWORD ErrorFromErrno(int err);
// For a missing host path: ERROR_FILE_NOT_FOUND when its folder exists, else PATH_NOT_FOUND.
DWORD NotFoundError(const fs::path& host);
// Sets the last error from errno (ENOENT split as above) and returns FALSE.
BOOL FailErrno(int err, const fs::path& host);
inline BOOL Fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

// lstat; false when the path does not exist (errno kept).
bool LStat(const fs::path& host, struct stat& st);

// DOS attributes of an entry from its lstat: a symbolic link is a plain file.
DWORD AttributesOf(const fs::path& host, const struct stat& lst, bool cd);
// Stores the attributes: read-only of a file in the owner write bit, the rest in the side
// store (an extended attribute of the file, or this process's table where the file system
// has none).
bool StoreAttributes(const fs::path& host, const struct stat& lst, DWORD attributes);
// Copies the side-store attributes from one file to another (CopyFile, MoveFile).
void CopySideAttributes(const fs::path& from, const struct stat& fromSt, const fs::path& to);
void ForgetSideAttributes(const struct stat& st);
// A file counts as writable (for deletion and write access) when the owner may write it.
inline bool OwnerWritable(const struct stat& st) { return (st.st_mode & S_IWUSR) != 0; }

// Whether an open file may be used as a file: a regular file anywhere; on Z: (the host) also a
// device such as /dev/full. A FIFO or socket never, nor a device reached from C: or a CD
// (a link planted there to /dev/zero would fill the disk).
inline bool IsOpenableKind(const Resolved& r, const struct stat& st) {
    if (S_ISREG(st.st_mode)) return true;
    if (!S_ISCHR(st.st_mode) && !S_ISBLK(st.st_mode)) return false;
    return !r.cd && !(r.dos.size() >= 2 && (r.dos[0] == 'C' || r.dos[0] == 'c'));
}

// Whether a handle of this process has the file open.
bool IsOpenInProcess(const struct stat& st);

FILETIME ToFileTime(const struct timespec& ts);

}  // namespace plat::fsi
