// The modules' reads of the engine's preference record, and the switches of the two
// navigation buttons they hide while a screen of their own is up.
#pragma once

#include <cstdint>

// The low 16 bits of a field of the engine's preference record: printing allowed
// (printingOn), colour printing (colourPrinting), the quit button shown (showStopSign),
// saving pictures allowed (savingOn), children may add players (childrenMayAddPlayers).
// 0 when there is no engine.
uint16_t GetPrefsOption08();
uint16_t GetPrefsOption28();
uint16_t GetPrefsOption0C();
uint16_t GetPrefsOption34();
uint16_t GetPrefsOption30();

// Shows (non-zero) or hides the engine's left navigation button (the quit or home button) or
// its corner button (pictures 106/107), and marks its area for redrawing.
void ShowNavButtonLeft(int show);
void ShowNavButtonRight(int show);
