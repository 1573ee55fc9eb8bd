#include "app/zelbo_program.h"

#include <cstdio>
#include <exception>
#include <string>

#include "adult/adult_section.h"
#include "app/app_resources.h"
#include "app/game_modules.h"
#include "engine/core/cor_engine.h"
#include "engine/players/prefs_file.h"
#include "engine/toolbox/picture_file_hosting.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/picture_print_hosting.h"
#include "platform/afxwin/winapp.h"
#include "platform/backends/init.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/msgbox/msgbox.h"

IAdultSection* InstallAdultSection() {
    static CAdultSection section;
    return SetAdultSection(&section);
}

int RunZelboProgram(int argc, char** argv, const char* name, void (*beforeRun)()) {
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "%s: %s\n", name, error.c_str());
        return 1;
    }
    plat::InstallMessageBoxes();
    plat::InstallDialogs();
    RegisterZelboResources();
    InstallAdultSection();
    // The engine's preference record and the players' levels live in files from start-up to
    // shutdown.
    static CPrefsFileStore prefsFiles;
    SetPrefsStore(&prefsFiles);
    const CGameModules modules;
    if (beforeRun) beforeRun();
    InstallPictureItems();
    InstallPictureFileHost();
    InstallPicturePrintHost();
    try {
        return AfxWinMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    }
}
