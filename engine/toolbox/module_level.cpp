#include "engine/toolbox/module_level.h"

#include "engine/base/activity_settings.h"
#include "engine/toolbox/picture_items.h"

namespace {

ActivitySettings* Block() {
    int16_t size = 0;
    void* block = GetSavedSettingsBlock(size);
    if (!block || size < static_cast<int16_t>(sizeof(ActivitySettings))) return nullptr;
    return static_cast<ActivitySettings*>(block);
}

}  // namespace

int16_t GetModuleLevel(int module) {
    const ModuleLevelForm* form = ModuleLevelFormOf(module);
    ActivitySettings* block = Block();
    if (!form || !block) return 0;
    return LevelFromStored(*form, *block->LevelOf(module));
}

void SetModuleLevel(int module, int16_t level) {
    const ModuleLevelForm* form = ModuleLevelFormOf(module);
    ActivitySettings* block = Block();
    if (!form || !block) return;
    *block->LevelOf(module) = StoredFromLevel(*form, level);
}
