// CreateFile and the calls on file handles.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "platform/fs/fs_internal.h"
#include "platform/fs/write_fault.h"

namespace plat::fsi {
namespace {

class CFileObject : public CKernelObject {
public:
    CFileObject(int fd, fs::path host, DWORD access, DWORD share, bool deleteOnClose, dev_t dev, ino_t ino)
        : fd(fd), host(std::move(host)), access(access), share(share), deleteOnClose(deleteOnClose), dev(dev), ino(ino) {}
    ~CFileObject() override;

    const int fd;
    const fs::path host;
    const DWORD access;
    const DWORD share;
    const bool deleteOnClose;
    const dev_t dev;
    const ino_t ino;
};

// The files this process holds open, for share modes and for refusing to delete them.
struct OpenTable {
    std::mutex mutex;
    std::multimap<std::pair<dev_t, ino_t>, CFileObject*> files;
};

OpenTable& Opened() {
    static OpenTable* table = new OpenTable;
    return *table;
}

CFileObject::~CFileObject() {
    {
        auto& t = Opened();
        std::lock_guard lock(t.mutex);
        auto [first, last] = t.files.equal_range({dev, ino});
        for (auto it = first; it != last; ++it) {
            if (it->second == this) {
                t.files.erase(it);
                break;
            }
        }
    }
    ::close(fd);
    DWORD fault = 0;
    if (deleteOnClose && plat::WriteStepAllowed(plat::WriteStep::Delete, host, &fault)) ::unlink(host.c_str());
}

bool SharesWith(DWORD access, DWORD share, const CFileObject& other) {
    if ((access & GENERIC_READ) && !(other.share & FILE_SHARE_READ)) return false;
    if ((access & GENERIC_WRITE) && !(other.share & FILE_SHARE_WRITE)) return false;
    if ((other.access & GENERIC_READ) && !(share & FILE_SHARE_READ)) return false;
    if ((other.access & GENERIC_WRITE) && !(share & FILE_SHARE_WRITE)) return false;
    return true;
}

std::shared_ptr<CFileObject> FileOf(HANDLE h) {
    auto f = LookupHandleAs<CFileObject>(h);
    if (!f) SetLastError(ERROR_INVALID_HANDLE);
    return f;
}

}  // namespace

bool IsOpenInProcess(const struct stat& st) {
    auto& t = Opened();
    std::lock_guard lock(t.mutex);
    return t.files.count({st.st_dev, st.st_ino}) != 0;
}

}  // namespace plat::fsi

using namespace plat::fsi;

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE) {
    const auto r = ResolveForApi(name);
    if (!r) return INVALID_HANDLE_VALUE;
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING ||
        (disposition == TRUNCATE_EXISTING && !(access & GENERIC_WRITE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    struct stat before {};
    const bool existed = ::stat(r->host.c_str(), &before) == 0;
    const bool creates = disposition != OPEN_EXISTING && disposition != TRUNCATE_EXISTING;
    const bool writes = (access & GENERIC_WRITE) || disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (existed && S_ISDIR(before.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (existed && disposition == CREATE_NEW) {
        SetLastError(ERROR_FILE_EXISTS);
        return INVALID_HANDLE_VALUE;
    }
    if ((r->cd && (writes || (creates && !existed))) || (existed && writes && !OwnerWritable(before))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }

    const bool truncates = (disposition == CREATE_ALWAYS && existed) || disposition == TRUNCATE_EXISTING;
    if (DWORD fault = 0; (!existed && creates && !plat::WriteStepAllowed(plat::WriteStep::CreateFile, r->host, &fault)) ||
                         (truncates && !plat::WriteStepAllowed(plat::WriteStep::SetLength, r->host, &fault))) {
        SetLastError(fault);
        return INVALID_HANDLE_VALUE;
    }

    int flags = O_CLOEXEC;
    if ((access & GENERIC_READ) && (access & GENERIC_WRITE)) {
        flags |= O_RDWR;
    } else if (access & GENERIC_WRITE) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;
    }
    if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
    if (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) flags |= O_CREAT;
    // A new file gets write permission for its owner even when it is created read-only, so
    // that this handle can write it; the attribute is applied afterwards. The open never
    // waits: a FIFO planted where a file should be would block it.
    const int fd = ::open(r->host.c_str(), flags | O_NONBLOCK, 0666);
    if (fd < 0) {
        const int err = errno;
        if (err == EEXIST) {
            SetLastError(ERROR_FILE_EXISTS);
        } else {
            FailErrno(err, r->host);
        }
        return INVALID_HANDLE_VALUE;
    }
    struct stat st {};
    ::fstat(fd, &st);
    if (!IsOpenableKind(*r, st)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    {
        auto& t = Opened();
        std::lock_guard lock(t.mutex);
        auto [first, last] = t.files.equal_range({st.st_dev, st.st_ino});
        for (auto it = first; it != last; ++it) {
            if (!SharesWith(access, shareMode, *it->second)) {
                ::close(fd);
                if (!existed) ::unlink(r->host.c_str());
                SetLastError(ERROR_SHARING_VIOLATION);
                return INVALID_HANDLE_VALUE;
            }
        }
    }
    if (truncates) {
        if (::ftruncate(fd, 0) != 0) {
            const int err = errno;
            ::close(fd);
            FailErrno(err, r->host);
            return INVALID_HANDLE_VALUE;
        }
    }
    const DWORD attributeBits = flagsAndAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if ((!existed || disposition == CREATE_ALWAYS) && attributeBits) {
        StoreAttributes(r->host, st, attributeBits | FILE_ATTRIBUTE_ARCHIVE);
        ::fstat(fd, &st);
    }
    auto object = std::make_shared<CFileObject>(fd, r->host, access, shareMode,
                                                (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0, st.st_dev,
                                                st.st_ino);
    {
        auto& t = Opened();
        std::lock_guard lock(t.mutex);
        t.files.emplace(std::pair{st.st_dev, st.st_ino}, object.get());
    }
    HANDLE h = plat::AllocHandle(std::move(object));
    const bool reportExisting = existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, DWORD* read, OVERLAPPED* overlapped) {
    if (read) *read = 0;
    const auto f = FileOf(file);
    if (!f) return FALSE;
    if (overlapped || (!buffer && toRead)) return Fail(ERROR_INVALID_PARAMETER);
    if (!(f->access & GENERIC_READ)) return Fail(ERROR_ACCESS_DENIED);
    DWORD done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < toRead) {
        const ssize_t n = ::read(f->fd, out + done, toRead - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (read) *read = done;
            return Fail(errno == EIO ? ERROR_READ_FAULT : ErrorFromErrno(errno));
        }
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (read) *read = done;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, DWORD* written, OVERLAPPED* overlapped) {
    if (written) *written = 0;
    const auto f = FileOf(file);
    if (!f) return FALSE;
    if (overlapped || (!buffer && toWrite)) return Fail(ERROR_INVALID_PARAMETER);
    if (!(f->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    DWORD done = 0;
    const auto* in = static_cast<const char*>(buffer);
    DWORD fault = 0;
    const bool allowed = plat::WriteStepAllowed(plat::WriteStep::Write, f->host, &fault);
    // A write the hook fails puts down half of its bytes, as a full disk or a kill may.
    const DWORD upTo = allowed ? toWrite : fault == ERROR_DISK_FULL ? toWrite / 2 : 0;
    while (done < upTo) {
        const ssize_t n = ::write(f->fd, in + done, upTo - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (written) *written = done;
            return Fail(errno == EIO ? ERROR_WRITE_FAULT : ErrorFromErrno(errno));
        }
        done += static_cast<DWORD>(n);
    }
    if (written) *written = done;
    if (!allowed) return Fail(fault);
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
    const auto f = FileOf(file);
    if (!f) return INVALID_SET_FILE_POINTER;
    int whence = 0;
    switch (method) {
        case FILE_BEGIN: whence = SEEK_SET; break;
        case FILE_CURRENT: whence = SEEK_CUR; break;
        case FILE_END: whence = SEEK_END; break;
        default: Fail(ERROR_INVALID_PARAMETER); return INVALID_SET_FILE_POINTER;
    }
    const int64_t move = distanceHigh
        ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) | static_cast<DWORD>(distance))
        : static_cast<int64_t>(distance);
    int64_t base = 0;
    if (whence == SEEK_CUR) {
        base = ::lseek(f->fd, 0, SEEK_CUR);
    } else if (whence == SEEK_END) {
        struct stat st {};
        base = ::fstat(f->fd, &st) == 0 ? st.st_size : -1;
    }
    if (base < 0) {
        Fail(ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the result must fit in 32 bits, as on Windows.
    const int64_t target = base + move;
    if (target < 0) {
        Fail(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!distanceHigh && target > 0xFFFFFFFELL) {
        Fail(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (::lseek(f->fd, static_cast<off_t>(target), SEEK_SET) < 0) {
        Fail(ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(target & 0xFFFFFFFF);
}

BOOL SetEndOfFile(HANDLE file) {
    const auto f = FileOf(file);
    if (!f) return FALSE;
    if (!(f->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    if (DWORD fault = 0; !plat::WriteStepAllowed(plat::WriteStep::SetLength, f->host, &fault)) return Fail(fault);
    const off_t pos = ::lseek(f->fd, 0, SEEK_CUR);
    if (pos < 0 || ::ftruncate(f->fd, pos) != 0) return Fail(ErrorFromErrno(errno));
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
    const auto f = FileOf(file);
    if (!f) return FALSE;
    if (!(f->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    if (DWORD fault = 0; !plat::WriteStepAllowed(plat::WriteStep::Flush, f->host, &fault)) return Fail(fault);
    if (::fdatasync(f->fd) != 0 && errno != EINVAL) return Fail(ERROR_WRITE_FAULT);
    return TRUE;
}

DWORD GetFileSize(HANDLE file, DWORD* sizeHigh) {
    const auto f = FileOf(file);
    if (!f) return INVALID_FILE_SIZE;
    struct stat st {};
    if (::fstat(f->fd, &st) != 0) {
        Fail(ErrorFromErrno(errno));
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<uint64_t>(st.st_size);
    if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size & 0xFFFFFFFF);
}

BOOL GetFileTime(HANDLE file, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
    const auto f = FileOf(file);
    if (!f) return FALSE;
    struct stat st {};
    if (::fstat(f->fd, &st) != 0) return Fail(ErrorFromErrno(errno));
    // Linux keeps no creation time everywhere; the last write stands in for it.
    if (creation) *creation = ToFileTime(st.st_mtim);
    if (lastAccess) *lastAccess = ToFileTime(st.st_atim);
    if (lastWrite) *lastWrite = ToFileTime(st.st_mtim);
    return TRUE;
}

BOOL SetFileTime(HANDLE file, const FILETIME*, const FILETIME* lastAccess, const FILETIME* lastWrite) {
    const auto f = FileOf(file);
    if (!f) return FALSE;
    if (!(f->access & GENERIC_WRITE)) return Fail(ERROR_ACCESS_DENIED);
    auto toSpec = [](const FILETIME* ft) {
        struct timespec ts {};
        if (!ft) {
            ts.tv_nsec = UTIME_OMIT;
            return ts;
        }
        const uint64_t v = plat::FileTimeValue(*ft);
        ts.tv_sec = static_cast<time_t>(plat::FileTimeToUnixSeconds(*ft));
        ts.tv_nsec = static_cast<long>(v % 10'000'000 * 100);
        return ts;
    };
    const struct timespec times[2] = {toSpec(lastAccess), toSpec(lastWrite)};
    if (::futimens(f->fd, times) != 0) return Fail(ErrorFromErrno(errno));
    return TRUE;
}

// ---- The 16-bit style calls.

namespace {

HANDLE FromHfile(HFILE h) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(h)); }

HFILE ToHfile(HANDLE h) {
    if (h == INVALID_HANDLE_VALUE) return HFILE_ERROR;
    return static_cast<HFILE>(reinterpret_cast<intptr_t>(h));
}

DWORD AccessOfMode(int mode) {
    switch (mode & 3) {
        case OF_WRITE: return GENERIC_WRITE;
        case OF_READWRITE: return GENERIC_READ | GENERIC_WRITE;
        default: return GENERIC_READ;
    }
}

DWORD ShareOfMode(int mode) {
    switch (mode & 0x70) {
        case OF_SHARE_EXCLUSIVE: return 0;
        case OF_SHARE_DENY_WRITE: return FILE_SHARE_READ;
        case OF_SHARE_DENY_READ: return FILE_SHARE_WRITE;
        default: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

}  // namespace

HFILE _lopen(LPCSTR name, int mode) {
    return ToHfile(CreateFileA(name, AccessOfMode(mode), ShareOfMode(mode), nullptr, OPEN_EXISTING, 0, nullptr));
}

HFILE _lcreat(LPCSTR name, int attributes) {
    const DWORD attrs = static_cast<DWORD>(attributes) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return ToHfile(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               CREATE_ALWAYS, attrs, nullptr));
}

UINT _lread(HFILE file, LPVOID buffer, UINT count) {
    DWORD read = 0;
    if (!ReadFile(FromHfile(file), buffer, count, &read, nullptr)) return static_cast<UINT>(HFILE_ERROR);
    return read;
}

UINT _lwrite(HFILE file, LPCSTR buffer, UINT count) {
    // Writing nothing cuts the file at the current position, as the 16-bit call does.
    if (count == 0) return SetEndOfFile(FromHfile(file)) ? 0 : static_cast<UINT>(HFILE_ERROR);
    DWORD written = 0;
    if (!WriteFile(FromHfile(file), buffer, count, &written, nullptr)) return static_cast<UINT>(HFILE_ERROR);
    return written;
}

LONG _llseek(HFILE file, LONG offset, int origin) {
    const DWORD pos = SetFilePointer(FromHfile(file), offset, nullptr, static_cast<DWORD>(origin));
    if (pos == INVALID_SET_FILE_POINTER) return HFILE_ERROR;
    return static_cast<LONG>(pos);
}

HFILE _lclose(HFILE file) { return CloseHandle(FromHfile(file)) ? 0 : HFILE_ERROR; }

HFILE OpenFile(LPCSTR name, LPOFSTRUCT info, UINT style) {
    if (info) {
        *info = OFSTRUCT{};
        info->cBytes = sizeof(OFSTRUCT);
        if (const auto full = plat::FullDosPath(name ? name : "")) {
            std::strncpy(info->szPathName, full->c_str(), sizeof info->szPathName - 1);
            info->fFixedDisk = plat::GetDriveKind((*full)[0]) == plat::DriveKind::Fixed ? 1 : 0;
        }
    }
    auto result = [&](HFILE h) {
        if (info && h == HFILE_ERROR) info->nErrCode = static_cast<WORD>(GetLastError());
        return h;
    };
    if (style & OF_DELETE) return result(DeleteFileA(name) ? 1 : HFILE_ERROR);
    if (style & OF_CREATE) {
        return result(ToHfile(CreateFileA(name, AccessOfMode(static_cast<int>(style)) | GENERIC_WRITE,
                                          ShareOfMode(static_cast<int>(style)), nullptr, CREATE_ALWAYS, 0, nullptr)));
    }
    const HFILE h = _lopen(name, static_cast<int>(style & 0x73));
    if (h != HFILE_ERROR && (style & OF_EXIST)) {
        _lclose(h);
        return 1;
    }
    return result(h);
}
