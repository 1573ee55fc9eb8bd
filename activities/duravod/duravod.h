// The Duravod activity, module 2 (README.md).
#pragma once

#include "engine/base/module_table.h"

inline constexpr int kDuravodModule = 2;

// The module's table for the program to register with the engine (duravod_module.h): entries
// 0, 2, 6, 7, 9, 11, 12, 14 and 15.
ModuleFunctionTable* DuravodModuleTable();
