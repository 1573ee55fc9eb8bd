// The engine's 16-bit point and rectangle in picture coordinates: x first; right and bottom
// exclusive.
#pragma once

#include <cstdint>

struct CCorPoint {
    int16_t x = 0;
    int16_t y = 0;
};
static_assert(sizeof(CCorPoint) == 4);

struct CCorRect {
    int16_t left = 0;
    int16_t top = 0;
    int16_t right = 0;
    int16_t bottom = 0;

    int16_t Width() const { return static_cast<int16_t>(right - left); }
    int16_t Height() const { return static_cast<int16_t>(bottom - top); }
};
static_assert(sizeof(CCorRect) == 8);
