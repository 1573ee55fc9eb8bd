// The setup program. It installs the product whose script it finds beside it (or in the
// folder its command line names); see setup/setwell/README.md.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/afxwin/winapp.h"
#include "platform/backends/init.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/msgbox/msgbox.h"
#include "setup/setwell/setwell_app.h"
#include "setup/setwell/setwell_dialogs.h"
#include "setup/setwell/setwell_strings.h"
#include "setup/setwell/setwell_windows.h"

namespace {
setup::CSetwellApp theApp;
}

int main(int argc, char** argv) {
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "setwell: %s\n", error.c_str());
        return 1;
    }
    plat::InstallMessageBoxes();
    plat::InstallDialogs();
    setup::RegisterSetwellStrings();
    setup::RegisterSetwellDialogs();
    theApp.SetWindows(setup::MakeSetupWindows());
    try {
        return AfxWinMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "setwell: %s\n", e.what());
        return 1;
    }
}
