// The form in which each activity keeps its level in the saved-settings block (level - 1 for
// every activity, the stored word read signed or unsigned), with the module's range of
// levels. The table says each form once; the toolbox reads and writes a player's level through
// it (GetModuleLevel), and the player files hold the levels of a file to the ranges when they
// load it (HoldStoredLevels), so no activity and no page meets a level it does not have.
#pragma once

#include <cstdint>

struct ActivitySettings;

struct ModuleLevelForm {
    int module;          // 2 to 6
    int16_t firstLevel;  // the module's levels, both ends included
    int16_t lastLevel;
    int16_t storedBias;  // stored = level - storedBias
    // Where a stored value outside the range leads: the first level, or the nearer end.
    bool outsideToFirst;
    // The stored word read as an unsigned number (a huge value is past the end, never below 1).
    bool storedUnsigned;
};

// The form of module 2..6; null for any other module.
const ModuleLevelForm* ModuleLevelFormOf(int module);

// The level a stored word stands for (read as the form says), held to the range.
int16_t LevelFromStored(const ModuleLevelForm& form, uint16_t stored);
// The stored word of a level, the level held to the range first.
uint16_t StoredFromLevel(const ModuleLevelForm& form, int16_t level);

// Rewrites every stored level of the block as the stored word of the level it stands for, so
// a word from a damaged file (62608) becomes one the module has; a word already in range is
// kept as it is. Returns how many words changed.
int HoldStoredLevels(ActivitySettings& block);
