// Shared by the process area's files only.
#pragma once

namespace plat {

// The variables a parent of ours sets for its child: "<parent pid>:<value>".
inline constexpr char kCommandLineVar[] = "ZELBO_COMMAND_LINE";
inline constexpr char kExitFdVar[] = "ZELBO_EXIT_FD";

// The pipe on which ExitProcess hands the whole exit code to a parent of ours, or -1.
int ExitCodePipe();

}  // namespace plat
