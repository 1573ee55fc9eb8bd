// A player's level in an activity, over the engine's saved-settings block (GetSavedSettingsBlock,
// which stays for what else the block holds). Each activity keeps its level in the block in a
// form of its own, said once in engine/base/module_level_forms.h with the module's range of
// levels; a level read here is held to that range, so no activity meets a level it does not
// have.
#pragma once

#include <cstdint>

#include "engine/base/module_level_forms.h"

// The current player's level in module 2..6 from the engine's block; 0 for another module or
// when the game keeps no block.
int16_t GetModuleLevel(int module);
// Stores the level (held to the module's range) in the engine's block; nothing for another
// module. Whether levels are saved at all is the block's own flag, which the caller reads.
void SetModuleLevel(int module, int16_t level);
