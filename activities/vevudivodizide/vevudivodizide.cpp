#include "activities/vevudivodizide/vevudivodizide.h"

#include "engine/base/standin_table.h"

ModuleFunctionTable* VevudivodizideModuleTable() {
    static constinit ModuleFunctionTable table = MakeStandInTable({0, 2, 6, 7, 8, 9, 11, 14, 15});
    return &table;
}
