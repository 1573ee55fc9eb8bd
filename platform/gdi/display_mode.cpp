// ChangeDisplaySettings: the 640 x 480 palette display shown in a window or over the host's
// whole screen.
#include "platform/core/backend.h"
#include "platform/core/display.h"
#include "platform/gdi/wingdi.h"

namespace {

constexpr DWORD kKnownFlags = CDS_UPDATEREGISTRY | CDS_TEST | CDS_FULLSCREEN;

// A field the mode names must agree with the one mode the display has; 0 means "as it is".
bool FitsTheDisplay(const DEVMODE& mode) {
    auto agrees = [&mode](DWORD field, DWORD value, DWORD wanted) {
        return !(mode.dmFields & field) || value == 0 || value == wanted;
    };
    return agrees(DM_PELSWIDTH, mode.dmPelsWidth, static_cast<DWORD>(plat::kScreenWidth)) &&
           agrees(DM_PELSHEIGHT, mode.dmPelsHeight, static_cast<DWORD>(plat::kScreenHeight)) && agrees(DM_BITSPERPEL, mode.dmBitsPerPel, 8);
}

}  // namespace

LONG ChangeDisplaySettingsA(DEVMODE* mode, DWORD flags) {
    if (flags & ~kKnownFlags) return DISP_CHANGE_BADFLAGS;
    if (mode && mode->dmSize < sizeof(DEVMODE)) return DISP_CHANGE_BADMODE;
    if (mode && !FitsTheDisplay(*mode)) return DISP_CHANGE_BADMODE;
    if (flags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
    if (plat::HasBackend()) plat::Backend().SetFullscreen((flags & CDS_FULLSCREEN) != 0 && mode);
    return DISP_CHANGE_SUCCESSFUL;
}

LONG ChangeDisplaySettings(DEVMODE* mode, DWORD flags) {
    return ChangeDisplaySettingsA(mode, flags);
}
