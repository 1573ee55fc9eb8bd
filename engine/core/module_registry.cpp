#include "engine/core/module_registry.h"

#include <array>

namespace {

// Zero-initialised before any constructor runs, so static objects may register in any order.
std::array<ModuleFunctionTable*, kLastRegisteredModule - kFirstRegisteredModule + 1> gTables{};

bool Valid(int module) { return module >= kFirstRegisteredModule && module <= kLastRegisteredModule; }

}  // namespace

bool RegisterModuleTable(int module, ModuleFunctionTable* table) {
    if (!Valid(module)) return false;
    gTables[static_cast<size_t>(module - kFirstRegisteredModule)] = table;
    return true;
}

ModuleFunctionTable* RegisteredModuleTable(int module) {
    return Valid(module) ? gTables[static_cast<size_t>(module - kFirstRegisteredModule)] : nullptr;
}
