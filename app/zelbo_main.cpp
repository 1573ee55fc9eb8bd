// The game's program: the application object, the platform, the program's resources and the
// grown-ups' section put together.
#include <cstdio>
#include <exception>
#include <string>

#include "adult/adult_section.h"
#include "app/app_resources.h"
#include "app/zelbo_app.h"
#include "platform/backends/init.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/msgbox/msgbox.h"

CZelboApp theApp;

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
    try {
        return AfxWinMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelbo: %s\n", e.what());
        return 1;
    }
}
