// The run statements both programs share: a program started from a statement's command line
// and waited for, the setup's windows kept painted meanwhile.
#pragma once

#include <optional>
#include <string>

#include "platform/core/wintypes.h"

namespace setup {

class CProductDat;

// What a program does around a run (the setup program shows a progress text before and gives
// the progress dialog the focus after; the removal program does nothing).
class CRunObserver {
public:
    virtual ~CRunObserver() = default;
    virtual void BeforeRun() {}
    virtual void AfterRun() {}
};

// Starts the command line and waits for the program to end, handling this thread's messages
// meanwhile. The wait is on the process handle, so a program that ends with the code 259
// (STILL_ACTIVE) ends it too. Returns the exit code; none for an empty command line and for a
// program that cannot start (message 59182, a notice).
std::optional<DWORD> RunProgram(CProductDat& script, const std::string& commandLine, CRunObserver* observer = nullptr);

// RunProgram, then, when the exit code equals `exitCodeField` read as the runtime library's
// atoi reads it, asks the message (quotes removed) with 59189 appended; anything but Yes
// closes the script copy and ends the program through the host's EndProgram.
void RunProgramWithPrompt(CProductDat& script, const std::string& message, const std::string& exitCodeField,
                          const std::string& commandLine, CRunObserver* observer = nullptr);

}  // namespace setup
