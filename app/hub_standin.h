// The hub (module 1) until it is written: the fairground screen with its five entrances. An
// entrance clicked has what its bounce needs loaded (its 'AN_' list), bounces with its sound
// (its 'ANI' script of the same id), and once the script has ended and every sound is quiet
// the game switches to the entrance's activity (`EngineRunCommand`): the hub is taken down
// with its leaving animation, then the activity is entered fully. Once entered, a talking host
// in front of the welcome sign greets the child; a click ends the greeting and still reaches
// what it was on. No player chooser, name board, leave sprite or ambient animations yet.
#pragma once

#include <cstdint>

#include "engine/core/module_table.h"

inline constexpr int kHubModule = 1;

// An entrance: its picture and click id (module-relative), where its top-left corner lies
// (picture coordinates), the module it switches to and its 'AN_' preload list.
struct HubEntrance {
    int16_t id;
    int16_t x, y;
    int module;
    int16_t preload;
};
inline constexpr HubEntrance kHubEntrances[] = {
    {200, 0, 12, 2, 200}, {300, 0, 241, 3, 204}, {400, 421, 246, 4, 203}, {500, 210, 0, 5, 201}, {600, 417, 36, 6, 202},
};

// The talking host: its rest picture (the mouth pictures follow it), its greeting, whose 'CUE'
// list has the same id, and where its top-left corner lies (picture coordinates).
inline constexpr int16_t kHubHostPicture = 900;
inline constexpr int16_t kHubGreeting = 900;
inline constexpr int16_t kHubHostX = 272, kHubHostY = 316;

// The hub's function table: entries 0, 2, 6, 7, 9, 14 and 15.
ModuleFunctionTable* HubModuleTable();
