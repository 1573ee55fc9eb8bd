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

// Whether a DOS path, its links followed, lies on the emulated installation's drive C: or on a
// CD drive: the only places a statement's program or shortcut target may be.
bool IsOnInstallOrCdDrive(const std::string& path);
// The program a statement's command line starts (found as CreateProcessA finds it, its links
// followed) when it lies on C: or a CD; a program anywhere else (Z:, the host's files, a link
// leading off C:) stops the run with the script error 59209. None when no program is found.
std::optional<std::string> RequireProgramOnInstallOrCd(CProductDat& script, const std::string& commandLine);

// Starts the command line and waits for the program to end, handling this thread's messages
// meanwhile. The program must pass RequireProgramOnInstallOrCd, and the file checked is the
// one started. The wait is on the process handle, so a program that ends with the code 259
// (STILL_ACTIVE) ends it too. Returns the exit code; none for an empty command line and for a
// program that cannot start (message 59182, a notice).
std::optional<DWORD> RunProgram(CProductDat& script, const std::string& commandLine, CRunObserver* observer = nullptr);

// RunProgram, then, when the exit code equals `exitCodeField` read as the runtime library's
// atoi reads it, asks the message (quotes removed) with 59189 appended; anything but Yes
// closes the script copy and ends the program through the host's EndProgram.
void RunProgramWithPrompt(CProductDat& script, const std::string& message, const std::string& exitCodeField,
                          const std::string& commandLine, CRunObserver* observer = nullptr);

}  // namespace setup
