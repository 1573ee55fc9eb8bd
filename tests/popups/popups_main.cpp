// zelbo_popups: the game with the pop-ups' test module in module 6's place (popups_module.h),
// for headless runs of the shared pop-ups and of dragging. Everything else is the game's
// program (RunZelboProgram).
#include "app/zelbo_app.h"
#include "app/zelbo_program.h"
#include "engine/core/module_registry.h"
#include "tests/popups/popups_module.h"

CZelboApp theApp;

int main(int argc, char** argv) {
    // A registered table is answered before module 6's host.
    return RunZelboProgram(argc, argv, "zelbo_popups", [] { RegisterModuleTable(kPopupsModule, PopupsModuleTable()); });
}
