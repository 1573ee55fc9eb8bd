// Periodic callbacks on threads of their own, for the multimedia timer of the SDL back end.
// Each timer fires at start + k * period on the steady clock, so periods do not drift; a
// callback that overruns skips the ticks it missed instead of firing in a burst.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace plat {

class PeriodicTimers {
public:
    PeriodicTimers() = default;
    PeriodicTimers(const PeriodicTimers&) = delete;
    PeriodicTimers& operator=(const PeriodicTimers&) = delete;
    ~PeriodicTimers();

    // Returns an id > 0, or 0 when periodMs is 0 or the thread cannot start.
    uint32_t Start(uint32_t periodMs, std::function<void()> fn);
    // After it returns the callback is not running and never runs again; called from inside
    // the callback it returns at once and the thread ends when the callback does. Do not call
    // it while holding a lock the callback takes.
    void Stop(uint32_t id);
    void StopAll();

private:
    struct Timer;
    std::mutex m_mutex;
    std::map<uint32_t, std::shared_ptr<Timer>> m_timers;
    uint32_t m_nextId = 1;
};

}  // namespace plat
