// Whether a full-screen request of the SDL back end's window was honoured.
#pragma once

struct SDL_Window;

namespace plat {

// After SDL_SetWindowFullscreen: true when the window really covers its display. On X11 a
// window manager carries the request out (its own time); with none (a kiosk session, a bare X
// server) the window keeps its size while SDL takes it for the whole display, so the real
// size is asked of the X server. Other video systems are taken at their word.
bool FullscreenHonoured(SDL_Window* window);

}  // namespace plat
