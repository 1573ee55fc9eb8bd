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
namespace {

// The script ZELBO_SCRIPT names, its text and folder; false with a message when it cannot be read.
bool ReadScript(const char* path, std::string* text, std::string* dir, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = std::string("cannot read the script ") + path;
        return false;
    }
    std::stringstream all;
    all << in.rdbuf();
    *text = all.str();
    const std::string p = path;
    const size_t slash = p.rfind('/');
    *dir = slash == std::string::npos ? "" : p.substr(0, slash);
    return true;
}

}  // namespace

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
            std::string text, dir;
            if (!ReadScript(script, &text, &dir, error) || !head.LoadScript(text, dir, error)) return false;
            head.EndRunAfterScript();
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
        auto& real = static_cast<SdlBackend&>(*sdl);
        // A script beside the real input; a recording of all that arrives.
        const char* script = std::getenv("ZELBO_SCRIPT");
        if (script && *script) {
            std::string text, dir;
            if (!ReadScript(script, &text, &dir, error) || !real.LoadScript(text, error)) return false;
        }
        const char* record = std::getenv("ZELBO_RECORD");
        if (record && *record && !real.StartRecording(record, error)) return false;
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
