// The level chooser's button: module 6's level chooser (its table 'IN#' 800, its pictures from
// 800, the default panel style) over the test module, opened as the shapes activity opens it.
// ShowLevelChooser returns at once; the chooser takes over the module's click, tick and key
// entries until it closes. The level index its callback reports is kept, so the next opening
// starts at the level chosen last.
#include "engine/popups/level_chooser.h"
#include "tests/popups/popups_module.h"

namespace {

constexpr int16_t kLevelTable = 800;
constexpr int16_t kLevelPictures = 800;

int16_t gLevelIndex = 0;  // the current level - 1

void OnLevelChosen(uint16_t /*chosen*/, int16_t levelIndex) { gLevelIndex = levelIndex; }

}  // namespace

void OpenLevelChooser() {
    ShowLevelChooser(PopupsModuleTable(), OnLevelChosen, kLevelTable, gLevelIndex, kLevelPictures, nullptr);
}
