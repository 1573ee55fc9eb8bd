// Files, folders, drives and searches in Windows terms, on the DOS path namespace of
// dospath.h. Names are Windows-1252; every failure sets GetLastError.
#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/core/wintypes.h"
#include "platform/fs/filetime.h"
#include "platform/fs/handles.h"

using LPCVOID = const void*;
using HFILE = int;
struct OVERLAPPED;  // Asynchronous input and output is not offered: pass null.

enum : UINT { MAX_PATH = 260 };

// Error codes the file calls set beside those of wintypes.h.
enum : DWORD {
    ERROR_NOT_SAME_DEVICE = 17,
    ERROR_WRITE_PROTECT = 19,
    ERROR_NEGATIVE_SEEK = 131,
    ERROR_BAD_PATHNAME = 161,
    ERROR_FILENAME_EXCED_RANGE = 206,
    ERROR_DIRECTORY = 267,
};

enum : DWORD {
    GENERIC_READ = 0x80000000,
    GENERIC_WRITE = 0x40000000,
    FILE_SHARE_READ = 0x1,
    FILE_SHARE_WRITE = 0x2,
    FILE_SHARE_DELETE = 0x4,
};

enum : DWORD { MOVEFILE_REPLACE_EXISTING = 0x1, MOVEFILE_COPY_ALLOWED = 0x2, MOVEFILE_WRITE_THROUGH = 0x8 };

enum : DWORD { CREATE_NEW = 1, CREATE_ALWAYS = 2, OPEN_EXISTING = 3, OPEN_ALWAYS = 4, TRUNCATE_EXISTING = 5 };

enum : DWORD {
    FILE_ATTRIBUTE_READONLY = 0x0001,
    FILE_ATTRIBUTE_HIDDEN = 0x0002,
    FILE_ATTRIBUTE_SYSTEM = 0x0004,
    FILE_ATTRIBUTE_DIRECTORY = 0x0010,
    FILE_ATTRIBUTE_ARCHIVE = 0x0020,
    FILE_ATTRIBUTE_NORMAL = 0x0080,
    FILE_ATTRIBUTE_TEMPORARY = 0x0100,
    FILE_FLAG_WRITE_THROUGH = 0x80000000,
    FILE_FLAG_RANDOM_ACCESS = 0x10000000,
    FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000,
    FILE_FLAG_DELETE_ON_CLOSE = 0x04000000,
};
enum : DWORD { INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF, INVALID_FILE_SIZE = 0xFFFFFFFF, INVALID_SET_FILE_POINTER = 0xFFFFFFFF };
enum : DWORD { FILE_BEGIN = 0, FILE_CURRENT = 1, FILE_END = 2 };

enum : UINT {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

enum : UINT { SEM_FAILCRITICALERRORS = 0x0001, SEM_NOGPFAULTERRORBOX = 0x0002, SEM_NOALIGNMENTFAULTEXCEPT = 0x0004,
              SEM_NOOPENFILEERRORBOX = 0x8000 };

// GetVolumeInformation file-system flags.
enum : DWORD { FS_CASE_IS_PRESERVED = 0x2, FS_UNICODE_STORED_ON_DISK = 0x4, FILE_READ_ONLY_VOLUME = 0x80000 };

// _lopen / OpenFile modes.
enum : UINT {
    OF_READ = 0x0000,
    OF_WRITE = 0x0001,
    OF_READWRITE = 0x0002,
    OF_SHARE_COMPAT = 0x0000,
    OF_SHARE_EXCLUSIVE = 0x0010,
    OF_SHARE_DENY_WRITE = 0x0020,
    OF_SHARE_DENY_READ = 0x0030,
    OF_SHARE_DENY_NONE = 0x0040,
    OF_DELETE = 0x0200,
    OF_CREATE = 0x1000,
    OF_EXIST = 0x4000,
};
inline constexpr HFILE HFILE_ERROR = -1;

struct OFSTRUCT {
    BYTE cBytes = 0;
    BYTE fFixedDisk = 0;
    WORD nErrCode = 0;
    WORD Reserved1 = 0;
    WORD Reserved2 = 0;
    char szPathName[128] = {};  // the full DOS path that was opened
};
using LPOFSTRUCT = OFSTRUCT*;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    DWORD dwReserved0 = 0;
    DWORD dwReserved1 = 0;
    char cFileName[MAX_PATH] = {};
    char cAlternateFileName[14] = {};
};
using WIN32_FIND_DATA = WIN32_FIND_DATAA;
using LPWIN32_FIND_DATAA = WIN32_FIND_DATAA*;
using LPWIN32_FIND_DATA = WIN32_FIND_DATAA*;

// Files. Share modes are enforced between the handles of this process; a file of a CD
// drive or one without the owner write bit refuses write access (ERROR_ACCESS_DENIED).
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, DWORD* read, OVERLAPPED* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, DWORD* written, OVERLAPPED* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
BOOL GetFileTime(HANDLE file, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite);
BOOL SetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* lastAccess, const FILETIME* lastWrite);

// The 16-bit style calls: an HFILE is the file's HANDLE as an int.
HFILE _lopen(LPCSTR name, int mode);
HFILE _lcreat(LPCSTR name, int attributes);
UINT _lread(HFILE file, LPVOID buffer, UINT count);
UINT _lwrite(HFILE file, LPCSTR buffer, UINT count);
LONG _llseek(HFILE file, LONG offset, int origin);
HFILE _lclose(HFILE file);
// OF_EXIST tests and closes again, OF_DELETE deletes, OF_CREATE creates or truncates.
HFILE OpenFile(LPCSTR name, LPOFSTRUCT info, UINT style);

// Folders and names.
BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists);
BOOL MoveFileA(LPCSTR from, LPCSTR to);
// MOVEFILE_REPLACE_EXISTING puts a file over an existing one in one rename (a reader sees the
// old file or the new one); a folder, a read-only or open target is refused. Across host file
// systems a file is copied only with MOVEFILE_COPY_ALLOWED (ERROR_NOT_SAME_DEVICE without).
// MOVEFILE_WRITE_THROUGH is accepted; other flags are ERROR_INVALID_PARAMETER.
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
BOOL DeleteFileA(LPCSTR name);
BOOL CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryA(LPCSTR name);
DWORD GetFileAttributesA(LPCSTR name);
BOOL SetFileAttributesA(LPCSTR name, DWORD attributes);
DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart);

// Searches: '*' and '?' in the last component, matched without regard to case; "*.*"
// matches every name. Symbolic links are reported as plain files.
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);

// Current folder and the Windows folders.
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR name);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
DWORD GetTempPathA(DWORD size, LPSTR buffer);
UINT GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR name);
// The running program's file in DOS form (the one module there is).
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// Drives.
UINT GetDriveTypeA(LPCSTR root);
DWORD GetLogicalDrives();
DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer);
BOOL GetVolumeInformationA(LPCSTR root, LPSTR label, DWORD labelSize, DWORD* serial, DWORD* maxComponentLength,
                           DWORD* fileSystemFlags, LPSTR fileSystemName, DWORD fileSystemNameSize);
// Like Windows 95 on a large disk: counts are clamped so that the products fit in 31 bits.
BOOL GetDiskFreeSpaceA(LPCSTR root, DWORD* sectorsPerCluster, DWORD* bytesPerSector, DWORD* freeClusters,
                       DWORD* totalClusters);
// Accepted; no system error boxes are ever shown. Returns the previous mode.
UINT SetErrorMode(UINT mode);

// Runtime-library calls on DOS paths.
// 0, or -1 with errno set. Modes: 0 exists, 2 writable, 4 readable, 6 both.
int _access(const char* name, int mode);

namespace plat {
// fopen on a DOS path, so that stdio users keep their error flag and formatting; null with
// errno and the last error set on failure. Writing modes fail on CD drives.
FILE* fopen_dos(const char* name, const char* mode);
int remove_dos(const char* name);
int rename_dos(const char* from, const char* to);

// Deletes a folder and everything in it through folder handles, never following a link: a
// link inside the tree is removed and what it names stays, and a subfolder swapped for a link
// after its folder was listed is removed as the link it now is. A folder that is itself a link
// is removed as a link. Each entry that cannot go (open in this program, refused by the host)
// is passed to `cannotDelete` with its DOS path and the rest goes on. Files deleted are heard
// by the delete observer as DeleteFileA's are. False when the folder is missing or on a CD.
bool DeleteFolderTree(const char* folder, const std::function<void(const std::string& dosPath)>& cannotDelete);
// Tests: called after each folder of a DeleteFolderTree is listed, before its entries go.
void SetTreeListedHookForTests(std::function<void(const std::filesystem::path& hostFolder)> hook);
}  // namespace plat

inline HANDLE CreateFile(LPCSTR n, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD f, HANDLE t) {
    return CreateFileA(n, a, s, sa, d, f, t);
}
inline BOOL CopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists) { return CopyFileA(from, to, failIfExists); }
inline BOOL MoveFile(LPCSTR from, LPCSTR to) { return MoveFileA(from, to); }
inline BOOL MoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) { return MoveFileExA(from, to, flags); }
inline BOOL DeleteFile(LPCSTR name) { return DeleteFileA(name); }
inline BOOL CreateDirectory(LPCSTR name, LPSECURITY_ATTRIBUTES sa) { return CreateDirectoryA(name, sa); }
inline BOOL RemoveDirectory(LPCSTR name) { return RemoveDirectoryA(name); }
inline DWORD GetFileAttributes(LPCSTR name) { return GetFileAttributesA(name); }
inline BOOL SetFileAttributes(LPCSTR name, DWORD attributes) { return SetFileAttributesA(name, attributes); }
inline DWORD GetFullPathName(LPCSTR n, DWORD size, LPSTR buf, LPSTR* part) { return GetFullPathNameA(n, size, buf, part); }
inline HANDLE FindFirstFile(LPCSTR pattern, WIN32_FIND_DATAA* data) { return FindFirstFileA(pattern, data); }
inline BOOL FindNextFile(HANDLE search, WIN32_FIND_DATAA* data) { return FindNextFileA(search, data); }
inline DWORD GetCurrentDirectory(DWORD size, LPSTR buffer) { return GetCurrentDirectoryA(size, buffer); }
inline BOOL SetCurrentDirectory(LPCSTR name) { return SetCurrentDirectoryA(name); }
inline UINT GetWindowsDirectory(LPSTR buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); }
inline UINT GetSystemDirectory(LPSTR buffer, UINT size) { return GetSystemDirectoryA(buffer, size); }
inline DWORD GetTempPath(DWORD size, LPSTR buffer) { return GetTempPathA(size, buffer); }
inline UINT GetTempFileName(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR name) {
    return GetTempFileNameA(folder, prefix, unique, name);
}
inline DWORD GetModuleFileName(HMODULE module, LPSTR buffer, DWORD size) { return GetModuleFileNameA(module, buffer, size); }
inline UINT GetDriveType(LPCSTR root) { return GetDriveTypeA(root); }
inline DWORD GetLogicalDriveStrings(DWORD size, LPSTR buffer) { return GetLogicalDriveStringsA(size, buffer); }
inline BOOL GetVolumeInformation(LPCSTR root, LPSTR label, DWORD labelSize, DWORD* serial, DWORD* maxLen, DWORD* flags,
                                 LPSTR fsName, DWORD fsNameSize) {
    return GetVolumeInformationA(root, label, labelSize, serial, maxLen, flags, fsName, fsNameSize);
}
inline BOOL GetDiskFreeSpace(LPCSTR root, DWORD* spc, DWORD* bps, DWORD* freeClusters, DWORD* totalClusters) {
    return GetDiskFreeSpaceA(root, spc, bps, freeClusters, totalClusters);
}
