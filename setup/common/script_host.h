// What the script engine needs from the program that runs it: the command line, the program's
// own path, and the message and fatal-stop conventions of the setup programs. The program
// installs its own host; the default one shows plain message boxes and ends the process.
#pragma once

#include <string>

#include "platform/core/wintypes.h"

namespace setup {

class CScriptHost {
public:
    virtual ~CScriptHost() = default;

    // The command line after the program's name, as the class library keeps it.
    virtual std::string CommandTail();
    // The program's own file (GetModuleFileNameA).
    virtual std::string ModuleFileName();
    // Kind 0 plain, 1 notice, 2 error; returns the message box's answer.
    virtual int ShowSetupMessage(int kind, const std::string& text, UINT flags);
    // Shows the error, runs the program's clean-up and ends the process. It must not return:
    // a test host throws instead, and the engine ends the process itself if a host returns.
    virtual void FatalStop(const std::string& text);
    // Runs the program's clean-up and ends the process without a message (the user declined
    // to go on). Like FatalStop it must not return.
    virtual void EndProgram();
};

// The host used when a program installs none.
CScriptHost& DefaultScriptHost();

}  // namespace setup
