#include "platform/core/crt.h"

#include <cstdlib>
#include <limits>

namespace plat {
namespace {
thread_local uint32_t t_randState = 1;
}

void SRand(uint32_t seed) { t_randState = seed; }

int Rand() {
    t_randState = t_randState * 214013u + 2531011u;
    return static_cast<int>((t_randState >> 16) & 0x7FFF);
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
