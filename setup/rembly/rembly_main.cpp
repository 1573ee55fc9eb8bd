// The removal program. Its command line is the quoted folder that holds the installed copy of
// the product's script; see setup/rembly/README.md.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/afxwin/winapp.h"
#include "platform/backends/init.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/msgbox/msgbox.h"
#include "setup/rembly/rembly_app.h"
#include "setup/rembly/rembly_strings.h"

namespace {
setup::CRemblyApp theApp;
}

int main(int argc, char** argv) {
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "rembly: %s\n", error.c_str());
        return 1;
    }
    plat::InstallMessageBoxes();
    plat::InstallDialogs();
    setup::RegisterRemblyStrings();
    try {
        return AfxWinMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rembly: %s\n", e.what());
        return 1;
    }
}
