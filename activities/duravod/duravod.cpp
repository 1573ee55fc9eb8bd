#include "activities/duravod/duravod.h"

#include "engine/base/standin_table.h"

ModuleFunctionTable* DuravodModuleTable() {
    static constinit ModuleFunctionTable table = MakeStandInTable({0, 2, 6, 7, 9, 11, 12, 14, 15});
    return &table;
}
