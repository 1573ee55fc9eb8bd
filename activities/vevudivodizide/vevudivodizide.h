// The Vevudivodizide activity, module 5 (README.md).
#pragma once

#include "engine/base/module_table.h"

inline constexpr int kVevudivodizideModule = 5;

// The module's table for the program to register with the engine (module5.h).
ModuleFunctionTable* VevudivodizideModuleTable();
