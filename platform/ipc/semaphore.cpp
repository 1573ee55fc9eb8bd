// Named semaphores as lock files: every holder keeps a shared lock on the name's file; a
// creator is whoever finds nobody holding it. The system drops the locks of a process that
// ends, however it ends.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>

#include "platform/fs/dospath.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/runtime_dir.h"

namespace plat {
namespace {

class CSemaphore : public CKernelObject {
public:
    CSemaphore(LONG count, LONG maximum, int fd) : m_count(count), m_maximum(maximum), m_fd(fd) {}
    ~CSemaphore() override {
        if (m_fd >= 0) ::close(m_fd);  // drops the lock
    }
    bool Release(LONG n, LONG* previous) {
        std::lock_guard lock(m_mu);
        if (n <= 0 || m_count + n > m_maximum) return false;
        if (previous) *previous = m_count;
        m_count += n;
        return true;
    }

private:
    std::mutex m_mu;
    LONG m_count;
    LONG m_maximum;
    int m_fd;
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
}  // namespace plat

HANDLE CreateSemaphore(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name) {
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int fd = -1;
    bool existed = false;
    if (name && *name) {
        std::filesystem::path dir = plat::RuntimeDir();
        if (dir.empty()) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return nullptr;
        }
        std::filesystem::path file = dir / ("sem-" + plat::HexName(name) + ".lock");
        fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::flock(fd, LOCK_SH);  // downgrade: the name is ours, others may join
        } else {
            existed = true;
            ::flock(fd, LOCK_SH);
        }
    }
    HANDLE h = plat::AllocHandle(std::make_shared<plat::CSemaphore>(initialCount, maximumCount, fd));
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
