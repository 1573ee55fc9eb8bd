#include "platform/core/crt.h"

#include <cstdlib>
#include <ctime>
#include <limits>
#include <mutex>

#include "platform/core/backend.h"
#include "platform/core/winuser.h"

namespace plat {
namespace {
thread_local uint32_t t_randState = 1;
}

void SRand(uint32_t seed) { t_randState = seed; }

uint32_t StartupSeed() {
    // The clock is read either way, so a run with a scripted seed keeps the same time line.
    const auto clock = static_cast<uint32_t>(timeGetTime());
    return HasBackend() ? Backend().StartupSeed(clock) : clock;
}

int Rand() {
    t_randState = t_randState * 214013u + 2531011u;
    return static_cast<int>((t_randState >> 16) & 0x7FFF);
}

namespace {

struct WallClock {
    std::mutex mutex;
    std::optional<int64_t> base;  // "now" at anchorMs of the back end's clock
    uint64_t anchorMs = 0;
    bool set = false;  // set by a test rather than taken from the host
};

WallClock& Wall() {
    static WallClock* clock = new WallClock;
    return *clock;
}

uint64_t BackendMs() { return HasBackend() ? Backend().NowMs() : 0; }

}  // namespace

int64_t WallClockSeconds() {
    auto& w = Wall();
    std::lock_guard lock(w.mutex);
    const bool virtualClock = HasBackend() && Backend().ClockIsVirtual();
    if (!w.set && !virtualClock) return static_cast<int64_t>(::time(nullptr));
    const uint64_t now = BackendMs();
    if (!w.base || now < w.anchorMs) {
        // First asked, or a new back end whose clock starts again: go on from here.
        if (!w.base) w.base = static_cast<int64_t>(::time(nullptr));
        w.anchorMs = now;
    }
    const uint64_t elapsed = now - w.anchorMs;
    // Keep the fraction of a second in the anchor so that seconds tick at the right moments.
    *w.base += static_cast<int64_t>(elapsed / 1000);
    w.anchorMs += elapsed / 1000 * 1000;
    return *w.base;
}

void SetWallClock(std::optional<int64_t> seconds) {
    auto& w = Wall();
    std::lock_guard lock(w.mutex);
    w.base = seconds;
    w.set = seconds.has_value();
    w.anchorMs = BackendMs();
}

}  // namespace plat

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t p = static_cast<int64_t>(a) * b;
    int64_t half = std::llabs(static_cast<int64_t>(c)) / 2;
    bool negative = (p < 0) != (c < 0);
    int64_t q = (std::llabs(p) + half) / std::llabs(static_cast<int64_t>(c));
    if (negative) q = -q;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(q);
}
