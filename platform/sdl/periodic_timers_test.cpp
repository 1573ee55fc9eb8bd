#include "platform/sdl/periodic_timers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Counts calls and lets the test wait for a number of them (no timing is asserted).
class Counter {
public:
    void Tick() {
        std::lock_guard lock(m_mutex);
        ++m_count;
        m_cv.notify_all();
    }
    bool WaitFor(int n) {
        std::unique_lock lock(m_mutex);
        return m_cv.wait_for(lock, 10s, [&] { return m_count >= n; });
    }
    int Count() {
        std::lock_guard lock(m_mutex);
        return m_count;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_count = 0;
};

TEST(PeriodicTimers, FiresUntilStoppedAndNeverAfter) {
    plat::PeriodicTimers timers;
    Counter counter;
    const uint32_t id = timers.Start(1, [&] { counter.Tick(); });
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(counter.WaitFor(5));
    timers.Stop(id);
    const int stoppedAt = counter.Count();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(counter.Count(), stoppedAt);
    timers.Stop(id);  // a second stop is harmless
}

TEST(PeriodicTimers, CallbackMayStopItsOwnTimer) {
    plat::PeriodicTimers timers;
    Counter counter;
    std::atomic<uint32_t> id{0};
    std::atomic<bool> stopped{false};
    id = timers.Start(1, [&] {
        counter.Tick();
        if (const uint32_t mine = id.load(); mine && !stopped) {
            timers.Stop(mine);
            stopped = true;  // the last thing the callback touches
        }
    });
    ASSERT_NE(id.load(), 0u);
    auto until = std::chrono::steady_clock::now() + 10s;
    while (!stopped && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(stopped);
    const int stoppedAt = counter.Count();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(counter.Count(), stoppedAt);
}

TEST(PeriodicTimers, DestructionStopsEveryTimer) {
    Counter counter;
    {
        plat::PeriodicTimers timers;
        ASSERT_NE(timers.Start(1, [&] { counter.Tick(); }), 0u);
        ASSERT_NE(timers.Start(2, [&] { counter.Tick(); }), 0u);
        ASSERT_TRUE(counter.WaitFor(4));
    }
    const int after = counter.Count();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(counter.Count(), after);
}

TEST(PeriodicTimers, RefusesAZeroPeriod) {
    plat::PeriodicTimers timers;
    EXPECT_EQ(timers.Start(0, [] {}), 0u);
    EXPECT_EQ(timers.Start(5, nullptr), 0u);
}

}  // namespace
