// The few C runtime and kernel helpers the programs rely on bit for bit.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/core/wintypes.h"

namespace plat {

// The generator of the original C runtime: state = state * 214013 + 2531011, result bits 16-30.
// Named apart from the host's rand so that both can be linked.
constexpr int kRandMax = 0x7FFF;
void SRand(uint32_t seed);
int Rand();
// What a program seeds its random numbers with at start: the clock (timeGetTime) read now,
// unless the back end answers otherwise (a script's `seed` line); the SDL back end records
// it when it records the run, so a replay draws the same numbers.
uint32_t StartupSeed();

// The runtime's time(): seconds since 1 January 1970 UTC, the scale of file times. On the
// headless back end "now" is virtual: it starts where a test set it (else at the host's time
// when first asked) and moves on with the back end's clock, whole seconds as they pass.
int64_t WallClockSeconds();
// Sets "now" (from here it moves with the back end's clock); nullopt goes back to the host's
// time. Meant for tests; any back end follows it.
void SetWallClock(std::optional<int64_t> seconds);

}  // namespace plat

// a * b / c with the 64-bit product, rounded half away from zero; -1 when c is 0 or on overflow.
int MulDiv(int a, int b, int c);
