// A child for the run statements' tests: "setup_exit_child <code> [milliseconds]" waits that
// long, then ends through ExitProcess with the code (the whole 32 bits reach the parent, so
// -1 and 259 arrive as given).
#include <cstdlib>
#include <string>

#include "platform/core/object_wait.h"
#include "platform/process/process.h"

int main() {
    const std::string tail = plat::CommandLineTail(GetCommandLineA());
    char* rest = nullptr;
    const long code = std::strtol(tail.c_str(), &rest, 10);
    const long ms = std::strtol(rest, nullptr, 10);
    // Our own process never ends while we wait on it: a plain wait in real time.
    if (ms > 0) WaitForSingleObject(GetCurrentProcess(), static_cast<DWORD>(ms));
    ExitProcess(static_cast<UINT>(code));
}
