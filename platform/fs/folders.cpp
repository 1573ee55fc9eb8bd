// Names and folders: copy, move, delete, folders, attributes, the current and the Windows
// folders, temporary names.
#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/fs/delete_observer.h"
#include "platform/fs/fs_internal.h"
#include "platform/fs/write_fault.h"

using namespace plat::fsi;

namespace {

// Copies a DOS string into a caller's buffer the Windows way: the length without the NUL
// on success, the size needed (with the NUL) when the buffer is too small.
DWORD CopyOut(const std::string& s, LPSTR buffer, DWORD size) {
    if (!buffer || size < s.size() + 1) return static_cast<DWORD>(s.size() + 1);
    std::memcpy(buffer, s.c_str(), s.size() + 1);
    return static_cast<DWORD>(s.size());
}

// Copies an open regular file into a new file made exclusively at `to` (never through a link
// planted there), at most the size the source had when it was opened, so a file that grows
// while it is read cannot fill the disk.
bool CopyContents(int in, const struct stat& sourceSt, const fs::path& to, mode_t mode) {
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode | S_IWUSR);
    if (out < 0) return false;
    char buf[65536];
    bool ok = true;
    int err = 0;
    off_t left = sourceSt.st_size;
    while (left > 0) {
        const ssize_t n = ::read(in, buf, static_cast<size_t>(std::min<off_t>(left, sizeof buf)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n < 0) {
                ok = false;
                err = errno;
            }
            break;
        }
        left -= n;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) {
                ok = false;
                err = errno;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    if (ok) {
        const struct timespec times[2] = {sourceSt.st_atim, sourceSt.st_mtim};
        ::futimens(out, times);  // a copy keeps the last-write time, as on Windows
        ::fchmod(out, mode);
    }
    if (::close(out) != 0 && ok) {
        ok = false;
        err = errno;
    }
    errno = err;
    return ok;
}

// Opens a file to be copied: without waiting (a FIFO would block the open) and only when it
// is a regular file once its links are followed; -1 with errno set (ENODEV for a device, FIFO
// or socket).
int OpenCopySource(const fs::path& from, struct stat& st) {
    const int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) return -1;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        errno = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
        return -1;
    }
    ::fcntl(in, F_SETFL, ::fcntl(in, F_GETFL) & ~O_NONBLOCK);
    return in;
}

// A temporary name beside `target` that no one can guess ahead: a planted link cannot wait
// for it, and O_EXCL refuses anything that is there.
fs::path UnpredictableTempName(const fs::path& target, const char* kind) {
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, 0) != static_cast<ssize_t>(sizeof bits)) {
        static std::atomic<uint64_t> counter{0};
        bits = (static_cast<uint64_t>(::getpid()) << 32) ^ static_cast<uint64_t>(::time(nullptr)) ^ (counter++ * 0x9E3779B97F4A7C15ull);
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(bits));
    fs::path temp = target;
    temp += std::string(".zelbo-") + kind + "-" + hex;
    return temp;
}

// Asks the write-fault hook; false with the last error set when the step may not go on.
bool StepAllowed(plat::WriteStep step, const fs::path& host) {
    DWORD fault = 0;
    if (plat::WriteStepAllowed(step, host, &fault)) return true;
    SetLastError(fault);
    return false;
}

// Removes a temporary file a failed step left, unless a kill stopped every write.
void DropTemp(const fs::path& temp) {
    DWORD fault = 0;
    if (plat::WriteStepAllowed(plat::WriteStep::Delete, temp, &fault)) ::unlink(temp.c_str());
}

}  // namespace

namespace {
std::atomic<plat::IDeleteFileObserver*> g_deleteObserver{nullptr};
}  // namespace

void plat::SetDeleteFileObserver(IDeleteFileObserver* observer) { g_deleteObserver = observer; }

BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists) {
    const auto src = ResolveForApi(from);
    if (!src) return FALSE;
    const auto dst = ResolveForApi(to);
    if (!dst) return FALSE;
    struct stat sst {};
    if (::stat(src->host.c_str(), &sst) != 0) return FailErrno(errno, src->host);
    if (S_ISDIR(sst.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    // The destination as it is, a link not followed: a link there is replaced, never written
    // through.
    struct stat dst_st {};
    const bool exists = ::lstat(dst->host.c_str(), &dst_st) == 0;
    if (exists && sst.st_dev == dst_st.st_dev && sst.st_ino == dst_st.st_ino) return Fail(ERROR_SHARING_VIOLATION);
    if (exists && failIfExists) return Fail(ERROR_FILE_EXISTS);
    if (dst->cd || (exists && (S_ISDIR(dst_st.st_mode) || (!S_ISLNK(dst_st.st_mode) && !OwnerWritable(dst_st)))))
        return Fail(ERROR_ACCESS_DENIED);
    if (exists && IsOpenInProcess(dst_st)) return Fail(ERROR_SHARING_VIOLATION);
    const int in = OpenCopySource(src->host, sst);
    // A device, FIFO or socket cannot be read as a file: a read fault.
    if (in < 0) return errno == ENODEV ? Fail(ERROR_READ_FAULT) : FailErrno(errno, src->host);
    // Into a temporary name first, so that a failed copy leaves the old file whole.
    const fs::path temp = UnpredictableTempName(dst->host, "copy");
    if (!StepAllowed(plat::WriteStep::CreateFile, temp)) {
        ::close(in);
        return FALSE;
    }
    if (!CopyContents(in, sst, temp, sst.st_mode & 07777)) {
        const int err = errno;
        ::close(in);
        if (err != EEXIST && err != ELOOP) DropTemp(temp);
        return err == ENOENT ? Fail(ERROR_PATH_NOT_FOUND) : Fail(ErrorFromErrno(err));
    }
    ::close(in);
    if (!StepAllowed(plat::WriteStep::Rename, dst->host)) {
        const DWORD err = GetLastError();
        DropTemp(temp);
        return Fail(err);
    }
    if (::rename(temp.c_str(), dst->host.c_str()) != 0) {
        const int err = errno;
        DropTemp(temp);
        return Fail(ErrorFromErrno(err));
    }
    struct stat lsst {};
    if (LStat(src->host, lsst)) CopySideAttributes(src->host, lsst, dst->host);
    return TRUE;
}

BOOL MoveFileA(LPCSTR from, LPCSTR to) { return MoveFileExA(from, to, MOVEFILE_COPY_ALLOWED); }

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    if (flags & ~(MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const auto src = ResolveForApi(from);
    if (!src) return FALSE;
    const auto dst = ResolveForApi(to);
    if (!dst) return FALSE;
    struct stat sst {};
    if (!LStat(src->host, sst)) return FailErrno(errno, src->host);
    if (src->cd || dst->cd || src->isRoot) return Fail(ERROR_ACCESS_DENIED);
    fs::path target = dst->host;
    struct stat dst_st {};
    bool replaces = false;
    if (LStat(dst->host, dst_st)) {
        if (dst_st.st_dev == sst.st_dev && dst_st.st_ino == sst.st_ino) {
            // The same file under another case: rename it to the case given.
            const std::string last = dst->dos.substr(dst->dos.find_last_of('\\') + 1);
            target = dst->host.parent_path() / plat::Cp1252ToUtf8(last);
        } else if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
            return Fail(ERROR_ALREADY_EXISTS);
        } else {
            // Only a file replaces a file, and never one that is read-only or open.
            if (S_ISDIR(sst.st_mode) || S_ISDIR(dst_st.st_mode) || dst->isRoot) return Fail(ERROR_ACCESS_DENIED);
            if (!S_ISLNK(dst_st.st_mode) && !OwnerWritable(dst_st)) return Fail(ERROR_ACCESS_DENIED);
            if (IsOpenInProcess(dst_st)) return Fail(ERROR_SHARING_VIOLATION);
            replaces = true;
        }
    }
    if (IsOpenInProcess(sst)) return Fail(ERROR_SHARING_VIOLATION);
    std::error_code ec;
    if (!fs::is_directory(target.parent_path(), ec)) return Fail(ERROR_PATH_NOT_FOUND);
    if (!StepAllowed(plat::WriteStep::Rename, target)) return FALSE;
    // One rename: the target names the old file or the new one, never neither.
    if (::rename(src->host.c_str(), target.c_str()) == 0) {
        if (replaces) ForgetSideAttributes(dst_st);
        return TRUE;
    }
    if (errno != EXDEV) return Fail(ErrorFromErrno(errno));
    // Another host file system: a file is copied and deleted, a folder cannot move.
    if (!S_ISREG(sst.st_mode) || !(flags & MOVEFILE_COPY_ALLOWED)) return Fail(ERROR_NOT_SAME_DEVICE);
    struct stat opened {};
    const int in = OpenCopySource(src->host, opened);
    if (in < 0) return Fail(ErrorFromErrno(errno));
    const fs::path temp = UnpredictableTempName(target, "move");
    const bool copied = CopyContents(in, opened, temp, sst.st_mode & 07777);
    const int copyErr = errno;
    ::close(in);
    if (!copied) {
        if (copyErr != EEXIST && copyErr != ELOOP) DropTemp(temp);
        return Fail(ErrorFromErrno(copyErr));
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        DropTemp(temp);
        return Fail(ErrorFromErrno(err));
    }
    if (replaces) ForgetSideAttributes(dst_st);
    CopySideAttributes(src->host, sst, target);
    if (StepAllowed(plat::WriteStep::Delete, src->host)) {
        ::unlink(src->host.c_str());
        ForgetSideAttributes(sst);
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR name) {
    const auto r = ResolveForApi(name);
    if (!r) return FALSE;
    struct stat st {};
    if (!LStat(r->host, st)) return FailErrno(errno, r->host);
    // A symbolic link is a plain file here: the link goes, never what it points to.
    if (S_ISDIR(st.st_mode) || r->cd) return Fail(ERROR_ACCESS_DENIED);
    if (!S_ISLNK(st.st_mode) && !OwnerWritable(st)) return Fail(ERROR_ACCESS_DENIED);
    if (IsOpenInProcess(st)) return Fail(ERROR_SHARING_VIOLATION);
    plat::IDeleteFileObserver* observer = g_deleteObserver;
    if (!StepAllowed(plat::WriteStep::Delete, r->host)) return FALSE;
    std::function<void()> afterwards = observer ? observer->Deleting(r->dos, r->host) : nullptr;
    if (::unlink(r->host.c_str()) != 0) return FailErrno(errno, r->host);
    ForgetSideAttributes(st);
    if (afterwards) afterwards();
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES) {
    const auto r = ResolveForApi(name);
    if (!r) return FALSE;
    struct stat st {};
    if (r->isRoot || LStat(r->host, st)) return Fail(ERROR_ALREADY_EXISTS);
    if (r->cd) return Fail(ERROR_ACCESS_DENIED);
    if (!StepAllowed(plat::WriteStep::CreateFolder, r->host)) return FALSE;
    if (::mkdir(r->host.c_str(), 0777) != 0) {
        return errno == ENOENT ? Fail(ERROR_PATH_NOT_FOUND) : Fail(ErrorFromErrno(errno));
    }
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR name) {
    const auto r = ResolveForApi(name);
    if (!r) return FALSE;
    struct stat st {};
    if (!LStat(r->host, st)) return FailErrno(errno, r->host);
    if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
    if (r->isRoot || r->cd) return Fail(ERROR_ACCESS_DENIED);
    if (AttributesOf(r->host, st, false) & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
    if (!StepAllowed(plat::WriteStep::Delete, r->host)) return FALSE;
    if (::rmdir(r->host.c_str()) != 0) {
        return (errno == ENOTEMPTY || errno == EEXIST) ? Fail(ERROR_DIR_NOT_EMPTY) : Fail(ErrorFromErrno(errno));
    }
    ForgetSideAttributes(st);
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR name) {
    const auto r = ResolveForApi(name);
    if (!r) return INVALID_FILE_ATTRIBUTES;
    struct stat st {};
    // A drive's root may be a link to its folder; it is still a folder.
    if (r->isRoot ? ::stat(r->host.c_str(), &st) != 0 : !LStat(r->host, st)) {
        FailErrno(errno, r->host);
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(r->host, st, r->cd);
}

BOOL SetFileAttributesA(LPCSTR name, DWORD attributes) {
    const auto r = ResolveForApi(name);
    if (!r) return FALSE;
    struct stat st {};
    if (!LStat(r->host, st)) return FailErrno(errno, r->host);
    if (r->cd) return Fail(ERROR_ACCESS_DENIED);
    if (!StoreAttributes(r->host, st, attributes)) return Fail(ErrorFromErrno(errno));
    return TRUE;
}

namespace {

// Whether a path's last part is empty: it ends in a separator ("sub\\", "C:/a/"), or in a name of
// dots and blanks other than "." and ".." ("...") that trimming leaves empty. Such a path names a
// folder, and its full form keeps the trailing backslash.
bool NamesAFolderOnly(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') path.remove_prefix(2);
    if (path.empty()) return false;  // a bare drive is its current folder, written as that folder
    const size_t cut = path.find_last_of("\\/");
    const std::string_view last = cut == std::string_view::npos ? path : path.substr(cut + 1);
    if (last.empty()) return true;
    if (last == "." || last == "..") return false;
    return last.find_first_not_of(". ") == std::string_view::npos;
}

}  // namespace

DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart) {
    if (filePart) *filePart = nullptr;
    const auto full = plat::FullDosPath(name ? name : "");
    if (!full) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    std::string out = *full;
    if (NamesAFolderOnly(name) && out.back() != '\\') out += '\\';
    const DWORD n = CopyOut(out, buffer, size);
    // A path that ends in a separator has no file part.
    if (n == out.size() && filePart && out.back() != '\\') *filePart = buffer + out.find_last_of('\\') + 1;
    return n;
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) { return CopyOut(plat::CurrentDosDirectory(), buffer, size); }

BOOL SetCurrentDirectoryA(LPCSTR name) {
    const auto r = ResolveForApi(name);
    if (!r) return FALSE;
    struct stat st {};
    if (::stat(r->host.c_str(), &st) != 0) return FailErrno(errno, r->host);
    if (!S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
    if (!plat::SetCurrentDosDirectory(r->dos)) return Fail(ERROR_PATH_NOT_FOUND);
    return TRUE;
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    plat::EmulatedRoot();  // makes the folders
    return CopyOut("C:\\WINDOWS", buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
    plat::EmulatedRoot();
    return CopyOut("C:\\WINDOWS\\SYSTEM", buffer, size);
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
    plat::EmulatedRoot();
    return CopyOut("C:\\WINDOWS\\TEMP\\", buffer, size);
}

UINT GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR name) {
    if (!folder || !name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string base = folder;
    if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
    base.append(prefix ? std::string_view(prefix).substr(0, std::min<size_t>(3, std::strlen(prefix))) : "");
    auto nameFor = [&](UINT n) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", n & 0xFFFF);
        return base + hex + ".TMP";
    };
    if (unique != 0) {
        const std::string s = nameFor(unique);
        if (s.size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return 0;
        }
        std::memcpy(name, s.c_str(), s.size() + 1);
        return unique & 0xFFFF;
    }
    // Start from the clock so that two programs rarely try the same numbers; make the file.
    const UINT start = static_cast<UINT>(::time(nullptr) ^ ::getpid()) & 0xFFFF;
    for (UINT i = 0; i < 0x10000; ++i) {
        const UINT n = ((start + i) & 0xFFFF) ? ((start + i) & 0xFFFF) : 1;
        const std::string s = nameFor(n);
        HANDLE h = CreateFileA(s.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            std::memcpy(name, s.c_str(), s.size() + 1);
            return n;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) return 0;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    const std::string dos = plat::HostToDosPath(exe);
    if (!buffer || size == 0) return 0;
    // Cut to the buffer, as Windows 95 does.
    const size_t n = std::min<size_t>(dos.size(), size - 1);
    std::memcpy(buffer, dos.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

UINT SetErrorMode(UINT mode) {
    static std::atomic<UINT> current{0};
    return current.exchange(mode);
}

namespace {

std::mutex g_treeHookMutex;
std::function<void(const fs::path&)> g_treeListedHook;

void TreeListed(const fs::path& folder) {
    std::function<void(const fs::path&)> hook;
    {
        std::lock_guard lock(g_treeHookMutex);
        hook = g_treeListedHook;
    }
    if (hook) hook(folder);
}

// Removes one entry of an open folder that is not a folder to enter (a file, a link, anything
// else); false when it stays.
bool RemoveEntryAt(int dirFd, const std::string& name, const fs::path& host, const std::string& dos,
                   const struct stat& st) {
    if (IsOpenInProcess(st)) return false;
    if (!StepAllowed(plat::WriteStep::Delete, host)) return false;
    plat::IDeleteFileObserver* observer = g_deleteObserver;
    std::function<void()> afterwards =
        observer && S_ISREG(st.st_mode) ? observer->Deleting(dos, host) : nullptr;
    if (::unlinkat(dirFd, name.c_str(), 0) != 0) return false;
    ForgetSideAttributes(st);
    if (afterwards) afterwards();
    return true;
}

// Empties an open folder: lists it, then removes each entry, entering real folders only.
void EmptyFolderAt(int dirFd, const fs::path& host, const std::string& dos,
                   const std::function<void(const std::string&)>& cannotDelete) {
    std::vector<std::string> names;
    {
        const int listFd = ::dup(dirFd);
        if (listFd < 0) return;
        DIR* listing = ::fdopendir(listFd);
        if (!listing) {
            ::close(listFd);
            return;
        }
        while (const dirent* e = ::readdir(listing)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(listing);
    }
    TreeListed(host);
    for (const std::string& name : names) {
        const fs::path entryHost = host / name;
        const std::string entryDos = dos + "\\" + plat::Utf8ToCp1252(name);
        struct stat st {};
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            const int sub = ::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) {
                EmptyFolderAt(sub, entryHost, entryDos, cannotDelete);
                ::close(sub);
                if (StepAllowed(plat::WriteStep::Delete, entryHost) && ::unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) == 0)
                    ForgetSideAttributes(st);
                continue;
            }
            // Swapped for something else since it was looked at: removed as what it is now.
            if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (S_ISDIR(st.st_mode)) continue;
        }
        if (!RemoveEntryAt(dirFd, name, entryHost, entryDos, st) && cannotDelete) cannotDelete(entryDos);
    }
}

}  // namespace

void plat::SetTreeListedHookForTests(std::function<void(const fs::path&)> hook) {
    std::lock_guard lock(g_treeHookMutex);
    g_treeListedHook = std::move(hook);
}

bool plat::DeleteFolderTree(const char* folder, const std::function<void(const std::string&)>& cannotDelete) {
    const auto r = ResolveForApi(folder);
    if (!r) return false;
    if (r->cd || r->isRoot) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    struct stat st {};
    if (!LStat(r->host, st)) return FailErrno(errno, r->host);
    if (!S_ISDIR(st.st_mode)) {
        // A link (or a file) where the folder should be goes as itself.
        const int parent = ::open(r->host.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (parent < 0) return FailErrno(errno, r->host);
        const bool removed = RemoveEntryAt(parent, r->host.filename().string(), r->host, r->dos, st);
        ::close(parent);
        if (!removed && cannotDelete) cannotDelete(r->dos);
        return true;
    }
    const int dirFd = ::open(r->host.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0) return FailErrno(errno, r->host);
    EmptyFolderAt(dirFd, r->host, r->dos, cannotDelete);
    ::close(dirFd);
    if (StepAllowed(plat::WriteStep::Delete, r->host) && ::rmdir(r->host.c_str()) == 0) ForgetSideAttributes(st);
    return true;
}
