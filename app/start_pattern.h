// The start-up pattern: colour bands through a palette of PC_RESERVED entries that
// cycle on a 55 ms timer, so the palette display and palette animation can be seen working.
#pragma once

#include "platform/core/wintypes.h"

namespace app {

// Creates the pattern's full-screen window; nullptr on failure.
HWND CreateStartPatternWindow();

}  // namespace app
