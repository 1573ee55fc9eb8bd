// The hub (module 1) until it is written: the fairground screen with its five entrances. An
// entrance clicked bounces with its sound (its 'ANI' script of the same id), and once the
// script has ended and every sound is quiet the game switches to the entrance's activity:
// the hub is taken down with its leaving animation, then the activity is entered fully. No
// greeting, player chooser, name board, leave sprite or ambient animations yet.
#pragma once

#include <cstdint>

#include "engine/core/module_table.h"

inline constexpr int kHubModule = 1;

// An entrance: its picture and click id (module-relative), where its top-left corner lies
// (picture coordinates), and the module it switches to.
struct HubEntrance {
    int16_t id;
    int16_t x, y;
    int module;
};
inline constexpr HubEntrance kHubEntrances[] = {
    {200, 0, 12, 2}, {300, 0, 241, 3}, {400, 421, 246, 4}, {500, 210, 0, 5}, {600, 417, 36, 6},
};

// The hub's function table: entries 0, 2, 6, 7, 9, 14 and 15.
ModuleFunctionTable* HubModuleTable();
