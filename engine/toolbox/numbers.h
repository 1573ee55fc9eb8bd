// The toolbox's number functions, shared by every activity.
#pragma once

#include <cstdint>

// 0 when n is 0 (no random value is drawn); otherwise the program's shared generator's next
// value (plat::Rand, 0 to 32767) modulo n, the remainder taken as in C: 0 to |n| - 1. A number
// from a to b is a + Random(b - a + 1).
int16_t Random(int16_t n);

// The integer square root of |x| by a Newton iteration that adds a half at each step, in
// 32 bits (so -32768 works): never more than one away from the true root.
int16_t ISqrt(int16_t x);
