#include "platform/core/object_wait.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/core/window_internal.h"

namespace plat {
namespace {

std::atomic<IWaitableObjects*> g_objects{nullptr};
std::mutex g_mu;
std::condition_variable g_signalled;

}  // namespace

void SetWaitableObjects(IWaitableObjects* objects) { g_objects = objects; }

void ObjectSignalled() {
    { std::lock_guard lock(g_mu); }  // a waiter between its look and its sleep sees the change
    g_signalled.notify_all();
    detail::WakeQueue(0);  // no message kind: the waiter looks at its objects
}

namespace detail {

int ObjectState(HANDLE handle) {
    IWaitableObjects* objects = g_objects;
    return objects ? objects->State(handle) : -1;
}

}  // namespace detail
}  // namespace plat

DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock lock(plat::g_mu);
    for (;;) {
        const int state = plat::detail::ObjectState(handle);
        if (state < 0) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (state > 0) return WAIT_OBJECT_0;
        if (timeoutMs == INFINITE) {
            plat::g_signalled.wait(lock);
        } else if (plat::g_signalled.wait_until(lock, deadline) == std::cv_status::timeout) {
            if (plat::detail::ObjectState(handle) > 0) return WAIT_OBJECT_0;
            return WAIT_TIMEOUT;
        }
    }
}
