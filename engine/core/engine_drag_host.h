// The engine's answers to its drag manager (engine/scene/drag_mgr.h): the display list, the
// spots, the frame surface and palette, the windows, the last click point, the dirty list and
// its presentation, the compose-only flag, static pictures, the deferred close, the held hot
// key and the application's message pre-translation.
#pragma once

#include <memory>

class CCorEngine;
class IDragHost;

std::unique_ptr<IDragHost> MakeEngineDragHost(CCorEngine& engine);
