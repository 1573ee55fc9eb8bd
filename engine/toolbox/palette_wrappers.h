// Plain access to the game palette: the engine's screen palette item (CCorEngine::m_screenPalette)
// read and changed entry by entry, its colours as red, green, blue triplets for the picture
// writers, and its darkest entry for the framed panels. Without an engine or a palette item the
// calls do nothing and answer 0 (FindDarkestPaletteEntry: 25).
//
// User-interface thread only.
#pragma once

#include <cstdint>

#include "platform/gdi/wingdi.h"

// Entries start .. start + number - 1 of the palette into table[start ..] (table holds 256
// entries, indexed from 0); the range is cut to the 256. Returns the number read.
uint32_t GetGamePaletteEntries(int32_t start, int32_t number, PALETTEENTRY* table);
// The palette's entries start .. from table[start ..]. When any were set, the frame and
// background surfaces take the same colours (under WinG their own colour tables, else the
// shared headers) and the whole screen is marked for redrawing. Returns the number set.
uint32_t SetGamePaletteEntries(int32_t start, int32_t number, const PALETTEENTRY* table);
// The 256 entries as red, green, blue at 3k, 3k + 1, 3k + 2 of buffer (768 bytes; entries the
// palette cannot give are black); *count, when given, receives 256. Returns buffer; a null
// buffer does nothing and returns null.
uint8_t* PaletteToRgbTriplets(uint8_t* buffer, int32_t* count);
// Over entries 1 to 255, the first whose red + green + blue is the smallest, when that is below
// 255 × 3; else 25 (also when there is no palette).
int16_t FindDarkestPaletteEntry();
