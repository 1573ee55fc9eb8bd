// The game's program. Until the engine exists it shows the start-up pattern.
#include <cstdio>
#include <string>

#include "app/start_pattern.h"
#include "platform/backends/init.h"
#include "platform/core/backend.h"
#include "platform/core/winuser.h"
#include "platform/msgbox/msgbox.h"
#include "media/res/res_strings.h"

int main() {
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "zelbo: %s\n", error.c_str());
        return 1;
    }
    plat::InstallMessageBoxes();
    media::RegisterResStrings();
    plat::Backend().SetTitle("Zelbo");
    HWND main = app::CreateStartPatternWindow();
    if (!main) {
        std::fprintf(stderr, "zelbo: cannot create the window\n");
        return 1;
    }
    MSG msg;
    try {
        while (GetMessage(&msg, nullptr, 0, 0)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelbo: %s\n", e.what());
        return 1;
    }
    return static_cast<int>(msg.wParam);
}
