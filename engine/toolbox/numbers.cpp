#include "engine/toolbox/numbers.h"

#include "platform/core/crt.h"

int16_t Random(int16_t n) {
    if (n == 0) return 0;
    return static_cast<int16_t>(plat::Rand() % n);
}

int16_t ISqrt(int16_t x) {
    const int32_t v = x < 0 ? -static_cast<int32_t>(x) : x;
    if (v == 0) return 0;
    int32_t g = (v + 1) / 2;
    int32_t prev = 1;
    while (g != prev) {
        prev = g;
        g = (g + v / g + 1) / 2;
    }
    return static_cast<int16_t>(g);
}
