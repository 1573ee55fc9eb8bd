#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/fs/fs_internal.h"

namespace plat::fsi {

std::optional<Resolved> ResolveForApi(const char* name) {
    if (!name || !*name) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    const auto full = FullDosPath(name);
    if (!full || full->find_first_of("*?") != std::string::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return std::nullopt;
    }
    if (full->size() >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return std::nullopt;
    }
    const char letter = (*full)[0];
    const DriveKind kind = GetDriveKind(letter);
    const auto root = DriveRoot(letter);
    if (kind == DriveKind::None || !root) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    std::error_code ec;
    if (kind == DriveKind::Cdrom && !fs::is_directory(*root, ec)) {
        SetLastError(ERROR_NOT_READY);
        return std::nullopt;
    }
    auto host = ResolveDosPath(*full);
    if (!host) {
        SetLastError(ERROR_INVALID_NAME);
        return std::nullopt;
    }
    return Resolved{*full, *host, kind == DriveKind::Cdrom, full->size() == 3};
}

DWORD ErrorFromErrno(int err) {
    switch (err) {
        case 0: return ERROR_SUCCESS;
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
        case ETXTBSY: return ERROR_ACCESS_DENIED;
        case EEXIST: return ERROR_ALREADY_EXISTS;
        case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
        case ENOSPC:
        case EDQUOT:
        case EFBIG: return ERROR_DISK_FULL;
        case EMFILE:
        case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
        case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
        case EBADF: return ERROR_INVALID_HANDLE;
        case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
        case EXDEV: return ERROR_NOT_SAME_DEVICE;
        case EINVAL: return ERROR_INVALID_PARAMETER;
        case EILSEQ: return ERROR_INVALID_NAME;
        case EIO: return ERROR_READ_FAULT;
        case ELOOP: return ERROR_PATH_NOT_FOUND;
        default: return ERROR_ACCESS_DENIED;
    }
}

DWORD NotFoundError(const fs::path& host) {
    std::error_code ec;
    return fs::is_directory(host.parent_path(), ec) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

BOOL FailErrno(int err, const fs::path& host) {
    SetLastError(err == ENOENT ? NotFoundError(host) : ErrorFromErrno(err));
    return FALSE;
}

bool LStat(const fs::path& host, struct stat& st) { return ::lstat(host.c_str(), &st) == 0; }

FILETIME ToFileTime(const struct timespec& ts) {
    return UnixToFileTime(static_cast<int64_t>(ts.tv_sec), static_cast<uint32_t>(ts.tv_nsec));
}

// ---- Side store of the attributes Linux has no bit for.

namespace {

constexpr const char* kXattrName = "user.zelbo.dosattrib";
constexpr DWORD kSideBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_ARCHIVE;

struct SideTable {
    std::mutex mutex;
    std::map<std::pair<dev_t, ino_t>, DWORD> bits;
};

SideTable& Side() {
    static SideTable* table = new SideTable;
    return *table;
}

std::optional<DWORD> LoadSide(const fs::path& host, const struct stat& st) {
    if (!S_ISLNK(st.st_mode)) {
        char text[16] = {};
        const ssize_t n = ::getxattr(host.c_str(), kXattrName, text, sizeof text - 1);
        if (n > 0) return static_cast<DWORD>(std::strtoul(text, nullptr, 10)) & kSideBits;
    }
    auto& t = Side();
    std::lock_guard lock(t.mutex);
    const auto it = t.bits.find({st.st_dev, st.st_ino});
    if (it == t.bits.end()) return std::nullopt;
    return it->second;
}

void StoreSide(const fs::path& host, const struct stat& st, DWORD bits) {
    bits &= kSideBits;
    auto& t = Side();
    if (!S_ISLNK(st.st_mode)) {
        const std::string text = std::to_string(bits);
        if (::setxattr(host.c_str(), kXattrName, text.data(), text.size(), 0) == 0) {
            std::lock_guard lock(t.mutex);
            t.bits.erase({st.st_dev, st.st_ino});
            return;
        }
    }
    std::lock_guard lock(t.mutex);
    t.bits[{st.st_dev, st.st_ino}] = bits;
}

}  // namespace

DWORD AttributesOf(const fs::path& host, const struct stat& lst, bool cd) {
    const bool link = S_ISLNK(lst.st_mode);
    const bool dir = !link && S_ISDIR(lst.st_mode);
    const DWORD side = LoadSide(host, lst).value_or(dir ? DWORD{0} : DWORD{FILE_ATTRIBUTE_ARCHIVE});
    if (dir) return FILE_ATTRIBUTE_DIRECTORY | (side & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    DWORD a = side & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (cd || (!link && !OwnerWritable(lst))) a |= FILE_ATTRIBUTE_READONLY;
    return a ? a : FILE_ATTRIBUTE_NORMAL;
}

bool StoreAttributes(const fs::path& host, const struct stat& lst, DWORD attributes) {
    const bool link = S_ISLNK(lst.st_mode);
    const bool dir = !link && S_ISDIR(lst.st_mode);
    if (!dir && !link) {
        // A folder keeps its write bit: on Windows a read-only folder still takes new files.
        const mode_t mode = lst.st_mode & 07777;
        const mode_t wanted = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
        if (wanted != mode && ::chmod(host.c_str(), wanted) != 0) return false;
    }
    StoreSide(host, lst, dir ? attributes : (attributes & ~FILE_ATTRIBUTE_READONLY));
    return true;
}

void CopySideAttributes(const fs::path& from, const struct stat& fromSt, const fs::path& to) {
    const auto bits = LoadSide(from, fromSt);
    struct stat toSt {};
    if (!bits || !LStat(to, toSt)) return;
    StoreSide(to, toSt, *bits);
}

void ForgetSideAttributes(const struct stat& st) {
    auto& t = Side();
    std::lock_guard lock(t.mutex);
    t.bits.erase({st.st_dev, st.st_ino});
}

}  // namespace plat::fsi
