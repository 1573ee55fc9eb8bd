// Runs one program the way the setup statements do (RunProgram: the wait on the process
// handle with this thread's messages handled) and returns when it ended. The CPU this costs is
// measured from outside by scripts/measure-run-wait.
//   setup_run_wait <command line>
#include <cstdio>
#include <string>

#include "platform/backends/init.h"
#include "platform/process/process.h"
#include "setup/common/product_dat.h"
#include "setup/common/program_run.h"

int main() {
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "setup_run_wait: %s\n", error.c_str());
        return 1;
    }
    const std::string commandLine = plat::CommandLineTail(GetCommandLineA());
    setup::CProductDat script;
    const std::optional<DWORD> code = setup::RunProgram(script, commandLine);
    if (!code) {
        std::fprintf(stderr, "setup_run_wait: cannot start %s\n", commandLine.c_str());
        return 1;
    }
    std::printf("exit code %u\n", static_cast<unsigned>(*code));
    return 0;
}
