// The Duravod activity, module 2 (README.md).
#pragma once

#include "engine/base/module_table.h"

inline constexpr int kDuravodModule = 2;

// The module's table for the program to register with the engine; a stand-in
// (engine/base/standin_table.h) until the activity is written.
ModuleFunctionTable* DuravodModuleTable();
