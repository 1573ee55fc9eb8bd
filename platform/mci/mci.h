// The media control interface as far as the game uses it: commands to a movie device.
// No movie device exists on this platform: opening one fails and every command to a
// device answers MCIERR_DEVICE_NOT_READY. Tests may install a driver of their own.
#pragma once

#include <functional>

#include "platform/core/mmsystem.h"
#include "platform/core/wintypes.h"

using MCIERROR = DWORD;
using MCIDEVICEID = UINT;

inline constexpr MCIDEVICEID MCI_ALL_DEVICE_ID = 0xFFFFFFFF;

// Commands.
enum : UINT {
    MCI_OPEN = 0x0803,
    MCI_CLOSE = 0x0804,
    MCI_PLAY = 0x0806,
    MCI_SEEK = 0x0807,
    MCI_STOP = 0x0808,
    MCI_PAUSE = 0x0809,
    MCI_SET = 0x080D,
    MCI_STATUS = 0x0814,
    MCI_WINDOW = 0x0841,
    MCI_PUT = 0x0842,
    MCI_WHERE = 0x0843,
    MCI_RESUME = 0x0855,
};

// Flags.
enum : DWORD {
    MCI_NOTIFY = 0x00000001,
    MCI_WAIT = 0x00000002,
    MCI_OPEN_ELEMENT = 0x00000200,
    MCI_OPEN_ALIAS = 0x00000400,
    MCI_OPEN_TYPE = 0x00002000,
    // MCI_WHERE and MCI_PUT: the destination rectangle (the movie's place in its window).
    MCI_ANIM_WHERE_DESTINATION = 0x00040000,
    MCI_ANIM_PUT_DESTINATION = 0x00040000,
};

// Errors (MCIERR_BASE + n).
enum : MCIERROR {
    MCIERR_BASE = 256,
    MCIERR_INVALID_DEVICE_ID = 257,
    MCIERR_UNRECOGNIZED_COMMAND = 261,
    MCIERR_INVALID_DEVICE_NAME = 263,
    MCIERR_DEVICE_NOT_READY = 276,
};

// The notification posted to a callback window when a command with MCI_NOTIFY ends.
enum : UINT { MM_MCINOTIFY = 0x03B9 };

struct MCI_GENERIC_PARMS {
    DWORD_PTR dwCallback = 0;
};

// Every parameter block begins with the callback field.
struct MCI_OPEN_PARMSA : MCI_GENERIC_PARMS {
    MCIDEVICEID wDeviceID = 0;
    LPCSTR lpstrDeviceType = nullptr;
    LPCSTR lpstrElementName = nullptr;
    LPCSTR lpstrAlias = nullptr;
};

// MCI_WHERE answers left and top in rc.left/rc.top and the width and height in
// rc.right/rc.bottom.
struct MCI_ANIM_RECT_PARMS : MCI_GENERIC_PARMS {
    RECT rc;
};

MCIERROR mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params);
inline MCIERROR mciSendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    return mciSendCommandA(device, message, flags, params);
}

namespace plat {
// A device driver that answers every command instead of "no device"; an empty function
// restores the default. Returns the previous driver.
using MciDriver = std::function<MCIERROR(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params)>;
MciDriver SetMciDriver(MciDriver driver);
}  // namespace plat
