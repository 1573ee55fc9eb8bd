// The engine's tick clock: sixtieths of a second of the platform's millisecond clock, in 64
// bits, so it never wraps or drops in a run (a 32-bit product would drop after 19.9 hours).
#pragma once

#include <cstdint>

inline constexpr uint64_t TicksFromMs(uint64_t ms) {
    return ms * 60 / 1000;
}

// The current tick.
uint64_t GetTicks();
// Sleeps, taking no messages, until the clock reaches the first millisecond of the tick;
// returns at once when it has.
void SleepUntilTick(uint64_t tick);
