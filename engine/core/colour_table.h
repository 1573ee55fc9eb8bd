// The engine's colour numbers and the nearest entry of the screen palette: text items and the
// toolbox name colours by number and draw them with the palette entry nearest to each.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

// 1 yellow, 2 red, 6 magenta, 7 blue, 8 green, 9 dark green, 12 cyan, 13 grey, 14 white;
// every other number black.
COLORREF ColorNumberToRGB(int16_t code);
// The entry of first..last (cut to 0..255) of the engine's screen palette with the smallest
// squared distance to the colour, the first of equals; -1 when none is nearer than
// 3 × 255² (an entry exactly opposite the colour never counts), or without a palette.
int NearestPaletteIndex(COLORREF colour, int first, int last);
// The same over a table of 256 entries.
int NearestPaletteIndexIn(const PALETTEENTRY* entries, COLORREF colour, int first, int last);
