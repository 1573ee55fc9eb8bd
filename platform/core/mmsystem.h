// The multimedia timer: a periodic callback on a thread of its own (SDL back end) or run
// deterministically as virtual time passes (headless back end).
#pragma once

#include "platform/core/wintypes.h"

using MMRESULT = UINT;
using DWORD_PTR = uintptr_t;
using LPTIMECALLBACK = void (*)(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);

enum : MMRESULT { TIMERR_NOERROR = 0, TIMERR_NOCANDO = 97, MMSYSERR_INVALPARAM = 11 };
enum : UINT { TIME_ONESHOT = 0x0000, TIME_PERIODIC = 0x0001, TIME_CALLBACK_FUNCTION = 0x0000 };

struct TIMECAPS {
    UINT wPeriodMin = 0;
    UINT wPeriodMax = 0;
};

MMRESULT timeGetDevCaps(TIMECAPS* caps, UINT size);
MMRESULT timeBeginPeriod(UINT periodMs);
MMRESULT timeEndPeriod(UINT periodMs);
// Returns the timer id, 0 on failure.
MMRESULT timeSetEvent(UINT delayMs, UINT resolutionMs, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
MMRESULT timeKillEvent(UINT timerId);
