// The Vududoduvaza activity, module 4. Until the activity is written its table stands in:
// the entries the engine calls on this module are there and do nothing (results 0: no click
// handled); the others are null, so the engine delivers nothing there.
#pragma once

#include "engine/base/module_table.h"

inline constexpr int kVududoduvazaModule = 4;

// The module's function table (constant data, ready before any code runs), for the program to
// register with the engine.
ModuleFunctionTable* VududoduvazaModuleTable();
