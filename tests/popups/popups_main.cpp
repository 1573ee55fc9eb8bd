// zelbo_popups: the game with the pop-ups' test module in module 6's place (popups_module.h),
// for headless runs of the shared pop-ups and of dragging. Everything else is the game's
// program as zelbo_main.cpp puts it together.
#include <cstdio>
#include <exception>
#include <string>

#include "adult/adult_section.h"
#include "app/app_resources.h"
#include "app/game_modules.h"
#include "app/zelbo_app.h"
#include "engine/core/module_registry.h"
#include "engine/players/prefs_file.h"
#include "engine/toolbox/picture_file_hosting.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/picture_print_hosting.h"
#include "platform/backends/init.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/msgbox/msgbox.h"
#include "tests/popups/popups_module.h"

CZelboApp theApp;

namespace {
CPrefsFileStore thePrefsFiles;
}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "zelbo_popups: %s\n", error.c_str());
        return 1;
    }
    plat::InstallMessageBoxes();
    plat::InstallDialogs();
    RegisterZelboResources();
    InstallAdultSection();
    SetPrefsStore(&thePrefsFiles);
    const CGameModules modules;
    // A registered table is answered before module 6's host.
    RegisterModuleTable(kPopupsModule, PopupsModuleTable());
    InstallPictureItems();
    InstallPictureFileHost();
    InstallPicturePrintHost();
    try {
        return AfxWinMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelbo_popups: %s\n", e.what());
        return 1;
    }
}
