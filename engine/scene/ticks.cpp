#include "engine/scene/ticks.h"

#include <algorithm>

#include "platform/core/winuser.h"

uint64_t GetTicks() {
    return TicksFromMs(plat::NowMs64());
}

void SleepUntilTick(uint64_t tick) {
    // The first millisecond of the tick, rounded up.
    const uint64_t due = (tick * 1000 + 59) / 60;
    const uint64_t now = plat::NowMs64();
    if (due > now) Sleep(static_cast<DWORD>(std::min<uint64_t>(due - now, 0xFFFFFFFEu)));
}
