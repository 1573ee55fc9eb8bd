// The game's program: the application object, the platform, the program's resources, the
// grown-ups' section and the players' preference files put together.
#include <cstdio>
#include <exception>
#include <string>

#include "adult/adult_section.h"
#include "app/app_resources.h"
#include "app/game_modules.h"
#include "app/zelbo_app.h"
#include "engine/players/prefs_file.h"
#include "engine/toolbox/picture_file_hosting.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/picture_print_hosting.h"
#include "platform/backends/init.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/msgbox/msgbox.h"

CZelboApp theApp;

namespace {
// The engine's preference record and the players' levels live in files from start-up to
// shutdown.
CPrefsFileStore thePrefsFiles;
}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "zelbo: %s\n", error.c_str());
        return 1;
    }
    plat::InstallMessageBoxes();
    plat::InstallDialogs();
    RegisterZelboResources();
    InstallAdultSection();
    SetPrefsStore(&thePrefsFiles);
    const CGameModules modules;
    InstallPictureItems();
    InstallPictureFileHost();
    InstallPicturePrintHost();
    try {
        return AfxWinMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelbo: %s\n", e.what());
        return 1;
    }
}
