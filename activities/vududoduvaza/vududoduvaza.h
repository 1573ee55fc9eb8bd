// The Vududoduvaza activity, module 4 (README.md).
#pragma once

#include "engine/base/module_table.h"

inline constexpr int kVududoduvazaModule = 4;

// The module's table for the program to register with the engine; a stand-in
// (engine/base/standin_table.h) until the activity is written.
ModuleFunctionTable* VududoduvazaModuleTable();
