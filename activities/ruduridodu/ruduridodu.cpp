#include "activities/ruduridodu/ruduridodu.h"

#include "engine/base/standin_table.h"

ModuleFunctionTable* RuduridoduModuleTable() {
    static constinit ModuleFunctionTable table = MakeStandInTable({0, 2, 6, 7, 8, 9, 12, 14, 15});
    return &table;
}
