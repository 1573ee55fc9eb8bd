#include "platform/sdl/fullscreen_check.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace plat {
namespace {

// An EWMH window manager names its check window on the root window.
bool WindowManagerRunning(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &after, &data);
    const bool running = status == Success && type == XA_WINDOW && format == 32 && count == 1;
    if (data) XFree(data);
    return running;
}

}  // namespace

bool FullscreenHonoured(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return true;
    Display* display = info.info.x11.display;
    if (WindowManagerRunning(display)) return true;
    XSync(display, False);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, info.info.x11.window, &attributes)) return true;
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &bounds) != 0) return true;
    return attributes.width >= bounds.w && attributes.height >= bounds.h;
}

}  // namespace plat
