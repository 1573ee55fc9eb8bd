// The removal program. Its command line is the quoted folder that holds the installed copy of
// the product's script; see setup/rembly/README.md.
#include "setup/common/program_start.h"
#include "setup/rembly/rembly_app.h"
#include "setup/rembly/rembly_strings.h"

namespace {
setup::CRemblyApp theApp;
}

int main(int argc, char** argv) {
    // The removal program has no windows of its own: its questions are message boxes.
    return setup::RunSetupProgram("rembly", argc, argv, [] { setup::RegisterRemblyStrings(); }, [] {});
}
