#include "engine/base/activity_settings.h"

void ActivitySettings::SetDefaults() {
    levelsSaved = secondFlag = childMayChangeLevel = fourthFlag = 1;
    for (uint16_t& l : level) l = 0;
    fill[0] = fill[1] = 0;
}

uint16_t* ActivitySettings::LevelOf(int module) {
    if (module < 2 || module > 6) return nullptr;
    return &level[module - 2];
}
