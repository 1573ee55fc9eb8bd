// Commands to a movie's media device. A movie plays a video in a window of its own; the
// presentation step and the drag manager ask for the rectangle it covers. No movie device
// exists on this platform, so no movie is ever played: see platform/mci/mci.h.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"
#include "platform/mci/mci.h"

class CMovie {
public:
    // mciSendCommand to the movie's device. With a parameter block (which begins with the
    // callback field), MCI_NOTIFY and an existing owner window, the callback is the window.
    MCIERROR SendMovieCommand(UINT message, DWORD flags, MCI_GENERIC_PARMS* params);
    // 0 with *rect = the movie's destination rectangle {left, top, right, bottom}; else the
    // media error, *rect unchanged; MCIERR_DEVICE_NOT_READY (276) when no device is open.
    MCIERROR GetMovieRect(RECT* rect);

    uint16_t m_deviceId = 0;  // 0 while no device is open
    HWND m_window = nullptr;  // the owning window, target of notifications
};
