// TranslateVirtualKey: the character a virtual key types, as the text entry field reads it,
// from the keyboard's state at the key's message (Shift, Caps Lock, Num Lock, the extended
// bit) and the system's keymap. The state is read through IKeyboardReadings so that tests can
// set each reading; the default reads the platform.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

class IKeyboardReadings {
public:
    virtual ~IKeyboardReadings() = default;
    virtual bool ShiftHeld() = 0;      // as of the key message being handled, high bit
    virtual bool CapsLockOn() = 0;     // toggle bit
    virtual bool NumLockOn() = 0;      // toggle bit
    virtual bool ExtendedKey() = 0;    // bit 24 of the key message being handled
    // The platform id of the version query (2: Windows NT); -1 when the query fails.
    virtual int PlatformId() = 0;
    // The unshifted character of the key (MapVirtualKey type 2); 0 for none.
    virtual UINT MapToChar(UINT vk) = 0;
    // The character the key types with the current keyboard state (ToAscii); 0 for none.
    virtual UINT ToAsciiChar(UINT vk) = 0;
    // The character the key message being handled carries, from which TranslateMessage makes
    // its WM_CHAR: what the user's own layout typed with the key, or a character that came
    // without a key (VK_PACKET); 0 for none.
    virtual UINT MessageChar() = 0;
};

// The platform's readings.
IKeyboardReadings& PlatformKeyboardReadings();
// Installs the readings TranslateVirtualKey uses (null: the platform's); returns the previous.
IKeyboardReadings* SetKeyboardReadings(IKeyboardReadings* readings);

// The character code of vk, or 0. A printable character the key message carries is the one the
// user's layout typed and wins. Otherwise, with keypad set, the keypad's operator keys and (without
// Num Lock, not extended) its digit keys' second meanings give their characters; with
// mapDelete set, an extended Delete gives 127.
BYTE TranslateVirtualKey(UINT vk, int keypad, int mapDelete);
