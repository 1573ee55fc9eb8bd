// The function tables of the game's modules, handed to the engine by the program that links
// them in (the engine cannot name the hub or the activities, which stand above it). The
// title's GetModuleTable answers a registered table first, then the table a module host
// filled. Program-wide, like the hosts' tables, so an engine object made by a test sees the
// same modules. User-interface thread only.
#pragma once

#include "engine/base/module_table.h"

inline constexpr int kFirstRegisteredModule = 1;
inline constexpr int kLastRegisteredModule = 6;

// Registers the table of a module 1 to 6 (null takes it away); false, and nothing kept, for
// any other module number.
bool RegisterModuleTable(int module, ModuleFunctionTable* table);
// The table registered for the module, or null.
ModuleFunctionTable* RegisteredModuleTable(int module);
