#include "engine/base/module_level_forms.h"

#include <algorithm>
#include <array>

#include "engine/base/activity_settings.h"

namespace {

constexpr std::array<ModuleLevelForm, 5> kForms{{
    // Duravod: 54 levels and the review after them (stored 54); every stored word from 54 up,
    // 0xFFFF too, is the review.
    {2, 1, 55, 1, false, true},
    // Ruduridodu: from 53 on it plays review levels.
    {3, 1, 53, 1, false, false},
    // Vududoduvaza: 37 problem types and the mixed level 38.
    {4, 1, 38, 1, false, false},
    // Vevudivodizide: 87 levels and the review level 88; a stored value it cannot read starts it
    // at level 1.
    {5, 1, 88, 1, true, false},
    // The shapes activity: 26 levels.
    {6, 1, 26, 1, false, false},
}};

int16_t Hold(const ModuleLevelForm& form, int32_t level) {
    if (level >= form.firstLevel && level <= form.lastLevel) return static_cast<int16_t>(level);
    if (form.outsideToFirst) return form.firstLevel;
    return static_cast<int16_t>(std::clamp<int32_t>(level, form.firstLevel, form.lastLevel));
}

}  // namespace

const ModuleLevelForm* ModuleLevelFormOf(int module) {
    for (const ModuleLevelForm& form : kForms)
        if (form.module == module) return &form;
    return nullptr;
}

int16_t LevelFromStored(const ModuleLevelForm& form, uint16_t stored) {
    const int32_t read = form.storedUnsigned ? int32_t{stored} : int32_t{static_cast<int16_t>(stored)};
    return Hold(form, read + form.storedBias);
}

uint16_t StoredFromLevel(const ModuleLevelForm& form, int16_t level) {
    return static_cast<uint16_t>(Hold(form, level) - form.storedBias);
}

int HoldStoredLevels(ActivitySettings& block) {
    int changed = 0;
    for (const ModuleLevelForm& form : kForms) {
        uint16_t& stored = *block.LevelOf(form.module);
        const uint16_t held = StoredFromLevel(form, LevelFromStored(form, stored));
        if (held != stored) {
            stored = held;
            ++changed;
        }
    }
    return changed;
}
