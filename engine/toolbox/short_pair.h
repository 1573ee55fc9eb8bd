// A slot position of two 16-bit values, x then y, whose making leaves what it holds: the owner
// lays the positions out afterwards (the number panel's 57 slots on its arcs), so an array of
// them is made by running EmptyElementCtor over each element, which changes nothing. Copying a
// pair from two values is SetShortPair (screen_helpers.h).
#pragma once

#include <cstdint>

struct ShortPair {
    uint16_t x;
    uint16_t y;
};
static_assert(sizeof(ShortPair) == 4);

inline ShortPair& EmptyElementCtor(ShortPair& element) { return element; }
