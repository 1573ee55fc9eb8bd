// A player's level in an activity, over the engine's saved-settings block (GetSavedSettingsBlock,
// which stays for what else the block holds). Each activity keeps its level in the block in a
// form of its own (level - 1 for every activity, the stored word read signed or unsigned). The
// table below says each form once, with the module's range of levels; a level read from a
// damaged file is held to that range here, so no activity meets a level it does not have.
#pragma once

#include <cstdint>

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

// The current player's level in module 2..6 from the engine's block; 0 for another module or
// when the game keeps no block.
int16_t GetModuleLevel(int module);
// Stores the level (held to the module's range) in the engine's block; nothing for another
// module. Whether levels are saved at all is the block's own flag, which the caller reads.
void SetModuleLevel(int module, int16_t level);
