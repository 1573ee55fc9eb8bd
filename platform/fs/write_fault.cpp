#include "platform/fs/write_fault.h"

#include <atomic>
#include <mutex>

namespace plat {
namespace {

struct HookState {
    std::mutex mutex;
    IWriteFaultHook* hook = nullptr;
    bool killed = false;
};

HookState& State() {
    static HookState* state = new HookState;
    return *state;
}

// Read without the lock on the common path: no hook, no kill.
std::atomic<bool> g_active{false};

}  // namespace

IWriteFaultHook* SetWriteFaultHook(IWriteFaultHook* hook) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    IWriteFaultHook* previous = s.hook;
    s.hook = hook;
    s.killed = false;
    g_active = hook != nullptr;
    return previous;
}

bool WriteStepAllowed(WriteStep step, const std::filesystem::path& host, DWORD* error) {
    if (!g_active.load(std::memory_order_acquire)) return true;
    auto& s = State();
    std::lock_guard lock(s.mutex);
    if (s.killed) {
        *error = ERROR_WRITE_FAULT;
        return false;
    }
    if (!s.hook) return true;
    switch (s.hook->Before(step, host)) {
        case WriteFault::None: return true;
        case WriteFault::Kill: s.killed = true; break;
        case WriteFault::Fail: break;
    }
    *error = ERROR_DISK_FULL;
    return false;
}

bool WritesKilled() {
    if (!g_active.load(std::memory_order_acquire)) return false;
    auto& s = State();
    std::lock_guard lock(s.mutex);
    return s.killed;
}

WriteFault CWriteFaultPlan::Before(WriteStep step, const std::filesystem::path&) {
    m_seen.push_back(step);
    return Steps() - 1 == m_at ? m_fault : WriteFault::None;
}

}  // namespace plat
