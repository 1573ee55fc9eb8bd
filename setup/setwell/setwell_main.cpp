// The setup program. It installs the product whose script it finds beside it (or in the
// folder its command line names); see setup/setwell/README.md.
#include "setup/common/program_start.h"
#include "setup/setwell/setwell_app.h"
#include "setup/setwell/setwell_dialogs.h"
#include "setup/setwell/setwell_strings.h"
#include "setup/setwell/setwell_windows.h"

namespace {
setup::CSetwellApp theApp;
}

int main(int argc, char** argv) {
    return setup::RunSetupProgram(
        "setwell", argc, argv,
        [] {
            setup::RegisterSetwellStrings();
            setup::RegisterSetwellDialogs();
            theApp.SetWindows(setup::MakeSetupWindows());
        },
        [] { theApp.SetWindows(nullptr); });
}
