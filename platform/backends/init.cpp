#include "platform/backends/init.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"
#include "platform/ipc/ipc.h"
#include "platform/process/process.h"
#include "platform/shell/shell.h"
#ifdef ZELBO_HAVE_SDL
#include "platform/sdl/sdl_backend.h"
#endif

namespace plat {

bool InitPlatform(std::string* error) {
    // Deleting a shortcut also removes its desktop entry.
    InstallShellHooks();
    // The host restarted since the installation last ran: Windows starts again for it too.
    StartOfWindowsIfRebooted();
    const char* env = std::getenv("ZELBO_BACKEND");
    std::string name = env && *env ? env : "sdl";
    if (name == "headless") {
        HeadlessBackend& head = InstallHeadless();
        const char* script = std::getenv("ZELBO_SCRIPT");
        if (script && *script) {
            std::ifstream in(script, std::ios::binary);
            if (!in) {
                if (error) *error = std::string("cannot read the script ") + script;
                return false;
            }
            std::stringstream text;
            text << in.rdbuf();
            std::string path = script;
            size_t slash = path.rfind('/');
            std::string dir = slash == std::string::npos ? "" : path.substr(0, slash);
            if (!head.LoadScript(text.str(), dir, error)) return false;
        }
        StartWindowSharing();
        return true;
    }
#ifdef ZELBO_HAVE_SDL
    if (name == "sdl") {
        auto sdl = CreateSdlBackend();
        if (!sdl) {
            if (error) *error = "the SDL back end cannot start (no display?); try ZELBO_BACKEND=headless";
            return false;
        }
        SetBackend(std::move(sdl));
        ResetWindowing();
        // Other programs of the installation find our windows; alone we still work.
        StartWindowSharing();
        return true;
    }
#endif
    if (error) *error = "unknown back end '" + name + "' (ZELBO_BACKEND: sdl or headless)";
    return false;
}

}  // namespace plat
