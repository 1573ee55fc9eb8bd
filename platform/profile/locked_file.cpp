#include "platform/profile/locked_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <new>
#include <random>
#include <system_error>

#include "platform/fs/write_fault.h"

namespace plat {

namespace fs = std::filesystem;

CUniqueFd& CUniqueFd::operator=(CUniqueFd&& other) noexcept {
    if (this != &other) {
        Reset(other.Release());
    }
    return *this;
}

int CUniqueFd::Release() {
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

void CUniqueFd::Reset(int fd) {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = fd;
}

CFolderLock::CFolderLock(const fs::path& file) {
    fs::path folder = file.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    m_fd.Reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!m_fd.Valid()) {
        return;
    }
    int rc;
    do {
        rc = ::flock(m_fd.Get(), LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        m_fd.Reset();
    }
}

CFolderLock::~CFolderLock() {
    if (m_fd.Valid()) {
        ::flock(m_fd.Get(), LOCK_UN);
    }
}

DWORD ReadWholeFd(int fd, std::string* out) {
    out->clear();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        if (static_cast<uint64_t>(st.st_size) > kMaxSmallFile) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        try {
            out->reserve(static_cast<size_t>(st.st_size));
        } catch (const std::bad_alloc&) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
    }
    char chunk[16384];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            out->clear();
            return ERROR_READ_FAULT;
        }
        if (n == 0) {
            return ERROR_SUCCESS;
        }
        if (out->size() + static_cast<size_t>(n) > kMaxSmallFile) {
            out->clear();
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        out->append(chunk, static_cast<size_t>(n));
    }
}

namespace {

DWORD OpenError(int err) {
    switch (err) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ERROR_DISK_FULL;
        default:
            return ERROR_WRITE_FAULT;
    }
}

// Asks the write-fault hook; false with `err` set to the errno the step fails with.
bool StepAllowed(WriteStep step, const fs::path& host, int* err) {
    DWORD fault = 0;
    if (WriteStepAllowed(step, host, &fault)) return true;
    *err = fault == ERROR_DISK_FULL ? ENOSPC : EIO;
    return false;
}

bool WriteAll(int fd, std::string_view bytes, const fs::path& host, int* err) {
    if (!StepAllowed(WriteStep::Write, host, err)) {
        // A failed write may have put down part of its bytes.
        if (*err == ENOSPC) {
            const ssize_t partial = ::write(fd, bytes.data(), bytes.size() / 2);
            (void)partial;
        }
        return false;
    }
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            *err = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// A name for the temporary file that no other writer picks at the same moment.
std::string TempName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937 rng{std::random_device{}()};
    return "." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter.fetch_add(1)) + "." + std::to_string(rng() & 0xFFFFFF) + ".tmp";
}

DWORD ReplaceAt(const fs::path& target, std::string_view bytes, CUniqueFd* keep);

}  // namespace

DWORD ReadWholeFile(const fs::path& file, std::string* out) {
    out->clear();
    // Never waits at the open: a FIFO where a file should be is refused, as anything but a
    // regular file is.
    CUniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Valid()) {
        struct stat st {};
        if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return ERROR_ACCESS_DENIED;
        ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    }
    if (!fd.Valid()) {
        int err = errno;
        if (err == ENOENT) {
            // Tell a missing folder from a missing file, as Windows does.
            std::error_code ec;
            return fs::is_directory(file.parent_path().empty() ? fs::path(".") : file.parent_path(), ec)
                       ? ERROR_FILE_NOT_FOUND
                       : ERROR_PATH_NOT_FOUND;
        }
        return OpenError(err);
    }
    return ReadWholeFd(fd.Get(), out);
}

DWORD ReplaceFileContents(const fs::path& file, std::string_view bytes, CUniqueFd* keep) {
    fs::path target = file;
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    return ReplaceAt(target, bytes, keep);
}

DWORD EditFileNoFollow(const fs::path& file, const std::function<std::string(const std::string&)>& edit) {
    CFolderLock lock(file);
    std::string text;
    struct stat st {};
    if (::lstat(file.c_str(), &st) == 0) {
        if (S_ISREG(st.st_mode)) {
            CUniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
            if (!fd.Valid()) return OpenError(errno);
            if (const DWORD rc = ReadWholeFd(fd.Get(), &text); rc != ERROR_SUCCESS) return rc;
        } else if (!S_ISLNK(st.st_mode)) {
            return ERROR_ACCESS_DENIED;
        }
    } else if (errno != ENOENT) {
        return OpenError(errno);
    }
    return ReplaceAt(file, edit(text), nullptr);
}

namespace {

DWORD ReplaceAt(const fs::path& target, std::string_view bytes, CUniqueFd* keep) {
    mode_t mode = 0666;
    bool useOldMode = false;
    struct stat st {};
    // A link still at the name (EditFileNoFollow) is replaced by the new file, like no file.
    if (::lstat(target.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        if (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0) {
            return ERROR_ACCESS_DENIED;
        }
        mode = st.st_mode & 07777;
        useOldMode = true;
    }

    fs::path folder = target.parent_path();
    CUniqueFd fd;
    fs::path temp;
    if (int err = 0; !StepAllowed(WriteStep::CreateFile, folder, &err)) return OpenError(err);
    for (int attempt = 0; attempt < 16 && !fd.Valid(); ++attempt) {
        temp = folder / TempName(target);
        fd.Reset(::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd.Valid() && errno != EEXIST) {
            int err = errno;
            return err == ENOENT ? ERROR_PATH_NOT_FOUND : OpenError(err);
        }
    }
    if (!fd.Valid()) {
        return ERROR_WRITE_FAULT;
    }

    int err = 0;
    bool ok = WriteAll(fd.Get(), bytes, temp, &err);
    if (ok && useOldMode && ::fchmod(fd.Get(), mode) != 0) {
        ok = false;
        err = errno;
    }
    ok = ok && StepAllowed(WriteStep::Flush, temp, &err);
    if (ok && ::fsync(fd.Get()) != 0) {
        ok = false;
        err = errno;
    }
    ok = ok && StepAllowed(WriteStep::Rename, target, &err);
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        fd.Reset();
        // After a kill the temporary file stays, as it would when the process dies.
        if (int dropErr = 0; StepAllowed(WriteStep::Delete, temp, &dropErr)) ::unlink(temp.c_str());
        return OpenError(err);
    }
    if (keep != nullptr) {
        ::lseek(fd.Get(), 0, SEEK_SET);
        *keep = std::move(fd);
    }
    return ERROR_SUCCESS;
}

}  // namespace

}  // namespace plat
