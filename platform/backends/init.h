// Program start-up of the platform: picks the back end.
#pragma once

#include <string>

namespace plat {

// Installs the back end named by ZELBO_BACKEND ("sdl", the default, or "headless"). With the
// headless back end, ZELBO_SCRIPT names a script of input and actions to run; with SDL it
// names input beside the real one, and ZELBO_RECORD a file that records the run. Returns false
// with a message when no back end can start. First it installs the shell's DeleteFileA hook
// and, when the host restarted since the installation last saw it, applies the pending
// renames of WinInit.ini (plat::StartOfWindowsIfRebooted).
bool InitPlatform(std::string* error);

}  // namespace plat
