// How both setup programs start: the platform (the back end the environment names), the
// confinement of writes to the installation (platform/shell), the message boxes and dialogs,
// what the program registers of its own, then the class library's main. A platform that cannot
// start, or an exception out of the run (a scripted run that stalls), is reported on stderr
// under the program's name and ends the program with 1; closeWindows then takes the program's
// windows down while the platform still stands, before the program's static objects (and the
// platform's) go at exit.
#pragma once

#include <cstdio>
#include <exception>
#include <functional>
#include <string>

#include "platform/afxwin/winapp.h"
#include "platform/backends/init.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/msgbox/msgbox.h"
#include "platform/shell/shell.h"

namespace setup {

inline int RunSetupProgram(const char* name, int argc, char** argv, const std::function<void()>& registerOwn,
                           const std::function<void()>& closeWindows) {
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "%s: %s\n", name, error.c_str());
        return 1;
    }
    // Whatever a product's script asks, nothing outside the installation is written.
    plat::ConfineToInstallation(name);
    plat::InstallMessageBoxes();
    plat::InstallDialogs();
    registerOwn();
    try {
        return AfxWinMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        closeWindows();
        return 1;
    }
}

}  // namespace setup
