// The level chooser's button. TO BE FILLED with CLevelChooser (app/level_chooser.h): open it
// as module 6 does (its table, 'IN#' 800, base id 800, the current level) and keep the level
// its callback reports. Until then the button opens nothing.
#include "tests/popups/popups_module.h"

void OpenLevelChooser() {}
