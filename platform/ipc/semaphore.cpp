// Named semaphores as lock files: every holder keeps a shared lock on the name's file; a
// creator is whoever finds nobody holding it. The system drops the locks of a process that
// ends, however it ends.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>

#include "platform/fs/dospath.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/runtime_dir.h"

namespace plat {
namespace {

// The named semaphores this program holds, so that ExitProcess, and the end of main, can let go
// of them all.
std::mutex g_namedMu;
std::set<class CSemaphore*> g_named;

class CSemaphore : public CKernelObject {
public:
    CSemaphore(LONG count, LONG maximum, int fd, std::filesystem::path file)
        : m_count(count), m_maximum(maximum), m_fd(fd), m_file(std::move(file)) {
        if (m_fd >= 0) {
            // A program that returns from main lets go as ExitProcess does, so that no lock
            // file of its names is left behind.
            static const bool atExit = std::atexit(ReleaseNamedSemaphores) == 0;
            (void)atExit;
            std::lock_guard lock(g_namedMu);
            g_named.insert(this);
        }
    }
    ~CSemaphore() override {
        {
            std::lock_guard lock(g_namedMu);
            g_named.erase(this);
        }
        LetGo();
    }
    bool Release(LONG n, LONG* previous) {
        std::lock_guard lock(m_mu);
        if (n <= 0 || m_count + n > m_maximum) return false;
        if (previous) *previous = m_count;
        m_count += n;
        return true;
    }
    // Drops the lock; the last holder removes the lock file, so runs leave no trace. The file
    // is removed while held exclusively, and openers check that the file they locked is
    // still the one of the name (CreateSemaphore), so nobody keeps an orphan.
    void LetGo() {
        std::lock_guard lock(m_mu);
        if (m_fd < 0) return;
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat mine {}, named {};
            if (::fstat(m_fd, &mine) == 0 && ::stat(m_file.c_str(), &named) == 0 && mine.st_ino == named.st_ino &&
                mine.st_dev == named.st_dev)
                ::unlink(m_file.c_str());
        }
        ::close(m_fd);  // drops the lock
        m_fd = -1;
    }

private:
    std::mutex m_mu;
    LONG m_count;
    LONG m_maximum;
    int m_fd;
    std::filesystem::path m_file;
};

std::string HexName(const std::string& name) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : name) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

}  // namespace

void ReleaseNamedSemaphores() {
    std::lock_guard lock(g_namedMu);
    for (CSemaphore* s : g_named) s->LetGo();
}

}  // namespace plat

HANDLE CreateSemaphore(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name) {
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int fd = -1;
    bool existed = false;
    std::filesystem::path path;
    if (name && *name) {
        std::filesystem::path dir = plat::RuntimeDir();
        if (dir.empty()) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return nullptr;
        }
        std::filesystem::path file = dir / ("sem-" + plat::HexName(name) + ".lock");
        for (int attempt = 0;; ++attempt) {
            fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            if (fd < 0) {
                SetLastError(ERROR_ACCESS_DENIED);
                return nullptr;
            }
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                existed = false;
                ::flock(fd, LOCK_SH);  // downgrade: the name is ours, others may join
            } else {
                existed = true;
                ::flock(fd, LOCK_SH);
            }
            // The last holder may have removed the file between our open and our lock.
            struct stat mine {}, named {};
            if ((::fstat(fd, &mine) == 0 && ::stat(file.c_str(), &named) == 0 && mine.st_ino == named.st_ino &&
                 mine.st_dev == named.st_dev) ||
                attempt >= 100) {
                break;
            }
            ::close(fd);
        }
        path = file;
    }
    HANDLE h = plat::AllocHandle(std::make_shared<plat::CSemaphore>(initialCount, maximumCount, fd, path));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LONG* previousCount) {
    auto s = plat::LookupHandleAs<plat::CSemaphore>(semaphore);
    if (!s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!s->Release(releaseCount, previousCount)) {
        SetLastError(298);  // ERROR_TOO_MANY_POSTS
        return FALSE;
    }
    return TRUE;
}
