// The Ruduridodu activity, module 3 (README.md).
#pragma once

#include "engine/base/module_table.h"

inline constexpr int kRuduridoduModule = 3;

// The module's table for the program to register with the engine; a stand-in
// (engine/base/standin_table.h) until the activity is written.
ModuleFunctionTable* RuduridoduModuleTable();
