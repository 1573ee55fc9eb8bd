#include "platform/sdl/periodic_timers.h"

#include <chrono>
#include <condition_variable>
#include <system_error>
#include <thread>
#include <vector>

namespace plat {

struct PeriodicTimers::Timer {
    std::mutex mutex;
    std::condition_variable cv;
    bool stop = false;
    std::thread thread;
};

using Clock = std::chrono::steady_clock;

PeriodicTimers::~PeriodicTimers() {
    StopAll();
}

uint32_t PeriodicTimers::Start(uint32_t periodMs, std::function<void()> fn) {
    if (periodMs == 0 || !fn) return 0;
    auto t = std::make_shared<Timer>();
    const Clock::duration period = std::chrono::milliseconds(periodMs);
    try {
        // The thread keeps its timer alive, so Stop from inside the callback may detach it.
        t->thread = std::thread([t, period, fn = std::move(fn)] {
            Clock::time_point next = Clock::now() + period;
            std::unique_lock lock(t->mutex);
            for (;;) {
                if (t->cv.wait_until(lock, next, [&] { return t->stop; })) return;
                lock.unlock();
                fn();
                lock.lock();
                next += period;
                const Clock::time_point now = Clock::now();
                if (next <= now) next += period * ((now - next) / period + 1);
            }
        });
    } catch (const std::system_error&) {
        return 0;
    }
    std::lock_guard lock(m_mutex);
    const uint32_t id = m_nextId++;
    m_timers[id] = std::move(t);
    return id;
}

void PeriodicTimers::Stop(uint32_t id) {
    std::shared_ptr<Timer> t;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_timers.find(id);
        if (it == m_timers.end()) return;
        t = std::move(it->second);
        m_timers.erase(it);
    }
    {
        std::lock_guard lock(t->mutex);
        t->stop = true;
    }
    t->cv.notify_all();
    if (t->thread.get_id() == std::this_thread::get_id())
        t->thread.detach();
    else
        t->thread.join();
}

void PeriodicTimers::StopAll() {
    std::vector<uint32_t> ids;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& [id, t] : m_timers) ids.push_back(id);
    }
    for (uint32_t id : ids) Stop(id);
}

}  // namespace plat
