#include "platform/core/mmsystem.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

#include "platform/core/backend.h"

namespace {

struct MmTimer {
    uint32_t backendId = 0;
    std::atomic<bool> fired{false};
};

std::mutex g_mu;
std::map<UINT, std::shared_ptr<MmTimer>> g_timers;
UINT g_nextId = 1;
constexpr UINT kMinPeriod = 1;
constexpr UINT kMaxPeriod = 1000000;

}  // namespace

MMRESULT timeGetDevCaps(TIMECAPS* caps, UINT size) {
    if (!caps || size < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
    caps->wPeriodMin = kMinPeriod;
    caps->wPeriodMax = kMaxPeriod;
    return TIMERR_NOERROR;
}

MMRESULT timeBeginPeriod(UINT periodMs) { return periodMs >= kMinPeriod ? TIMERR_NOERROR : TIMERR_NOCANDO; }
MMRESULT timeEndPeriod(UINT periodMs) { return periodMs >= kMinPeriod ? TIMERR_NOERROR : TIMERR_NOCANDO; }

MMRESULT timeSetEvent(UINT delayMs, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
    if (!callback || delayMs < kMinPeriod || delayMs > kMaxPeriod) return 0;
    auto timer = std::make_shared<MmTimer>();
    UINT id;
    {
        std::lock_guard lock(g_mu);
        id = g_nextId++;
    }
    bool periodic = (flags & TIME_PERIODIC) != 0;
    std::weak_ptr<MmTimer> weak = timer;
    uint32_t backendId = plat::Backend().StartPeriodic(delayMs, [weak, id, callback, user, periodic] {
        auto t = weak.lock();
        if (!t) return;
        // A one-shot timer stays registered with the back end until killed but fires once.
        if (!periodic && t->fired.exchange(true)) return;
        callback(id, 0, user, 0, 0);
    });
    if (!backendId) return 0;
    timer->backendId = backendId;
    std::lock_guard lock(g_mu);
    g_timers[id] = timer;
    return id;
}

MMRESULT timeKillEvent(UINT timerId) {
    std::shared_ptr<MmTimer> t;
    {
        std::lock_guard lock(g_mu);
        auto it = g_timers.find(timerId);
        if (it == g_timers.end()) return MMSYSERR_INVALPARAM;
        t = it->second;
        g_timers.erase(it);
    }
    plat::Backend().StopPeriodic(t->backendId);
    return TIMERR_NOERROR;
}
