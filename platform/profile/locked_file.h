// Small text files that several processes read and rewrite (INI files, the registry):
// whole-file reads, an inter-process lock around read-modify-write, and replacement by a
// temporary file renamed over the old one, so that a reader sees the old or the new
// contents and a failed write leaves the old file as it was.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/core/wintypes.h"

namespace plat {

// Files larger than this are refused rather than read into memory.
constexpr size_t kMaxSmallFile = 64u << 20;

// An owned host file descriptor.
class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    CUniqueFd(CUniqueFd&& other) noexcept : m_fd(other.Release()) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept;
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;
    ~CUniqueFd() { Reset(); }

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    int Release();
    void Reset(int fd = -1);

private:
    int m_fd = -1;
};

// Exclusive lock, shared by all processes, on the folder that holds a file. The folder is
// locked rather than a lock file beside the data, so that no stray file appears in
// listings or keeps a folder from being removed. Blocks until the lock is granted.
class CFolderLock {
public:
    explicit CFolderLock(const std::filesystem::path& file);
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;
    ~CFolderLock();

    // False when the folder could not be opened; the caller goes on unlocked.
    bool Held() const { return m_fd.Valid(); }

private:
    CUniqueFd m_fd;
};

// Reads a whole file from an open descriptor. ERROR_SUCCESS, ERROR_READ_FAULT, or
// ERROR_NOT_ENOUGH_MEMORY for a file beyond kMaxSmallFile.
DWORD ReadWholeFd(int fd, std::string* out);
// Reads a whole file. ERROR_FILE_NOT_FOUND when it does not exist, ERROR_PATH_NOT_FOUND
// when its folder does not, ERROR_ACCESS_DENIED, and the errors of ReadWholeFd.
DWORD ReadWholeFile(const std::filesystem::path& file, std::string* out);

// Replaces a file's contents by writing a temporary file beside it and renaming it over
// the old one (a symbolic link is followed: its target is replaced). The new file keeps
// the old one's permissions. A file without its owner's write bit is read-only:
// ERROR_ACCESS_DENIED. Other results: ERROR_PATH_NOT_FOUND, ERROR_DISK_FULL,
// ERROR_WRITE_FAULT. On success and when `keep` is given, it receives an open read
// descriptor of the new file.
DWORD ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes,
                          CUniqueFd* keep = nullptr);

// Reads and rewrites a small file under the lock on its folder without ever opening it
// through a link: `edit` receives the text (empty when there is no file, or when a link stands
// at the name) and returns the new text, which replaces the file through a temporary file
// renamed over it (a link at the name is replaced, never written through). ERROR_SUCCESS, or
// the failure (ERROR_ACCESS_DENIED for a folder, device or read-only file at the name).
DWORD EditFileNoFollow(const std::filesystem::path& file, const std::function<std::string(const std::string&)>& edit);

}  // namespace plat
