// The few C runtime and kernel helpers the programs rely on bit for bit.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

namespace plat {

// The generator of the original C runtime: state = state * 214013 + 2531011, result bits 16-30.
// Named apart from the host's rand so that both can be linked.
constexpr int kRandMax = 0x7FFF;
void SRand(uint32_t seed);
int Rand();

}  // namespace plat

// a * b / c with the 64-bit product, rounded half away from zero; -1 when c is 0 or on overflow.
int MulDiv(int a, int b, int c);
