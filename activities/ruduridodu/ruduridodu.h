// The Ruduridodu activity, module 3 (README.md; the module itself: Module3, module3.h).
#pragma once

#include "engine/base/module_table.h"

inline constexpr int kRuduridoduModule = 3;

// The module's table (Module3's entries), for the program to register with the engine.
ModuleFunctionTable* RuduridoduModuleTable();
