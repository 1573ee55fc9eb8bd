#include "app/key_translate.h"

#include "platform/afxwin/cwnd.h"
#include "platform/core/keyboard_layout.h"
#include "platform/core/winuser.h"

namespace {

class CPlatformReadings : public IKeyboardReadings {
public:
    // As the key's own message found it: typing runs ahead of a handler that waits for a caret
    // or a sound, and Shift may be up again by the time the key is handled.
    bool ShiftHeld() override { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }
    bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
    bool NumLockOn() override { return (GetKeyState(VK_NUMLOCK) & 1) != 0; }
    bool ExtendedKey() override {
        const MSG* msg = CWnd::GetCurrentMessage();
        return msg && (static_cast<uint32_t>(msg->lParam) & (1u << 24)) != 0;
    }
    int PlatformId() override {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        return GetVersionExA(&info) ? static_cast<int>(info.dwPlatformId) : -1;
    }
    // A dead accent key's character (top bit set) is no character of its own.
    UINT MapToChar(UINT vk) override {
        const UINT c = MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR);
        return (c & 0x80000000u) ? 0 : c;
    }
    UINT MessageChar() override {
        const MSG* msg = CWnd::GetCurrentMessage();
        if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return 0;
        return (static_cast<uint32_t>(msg->lParam) >> 16) & 0xFF;
    }
    UINT ToAsciiChar(UINT vk) override {
        BYTE keys[256] = {};
        WORD ch = 0;
        if (!GetKeyboardState(keys) || ToAscii(vk, 0, keys, &ch, 0) != 1) return 0;
        return ch;
    }
};

IKeyboardReadings* g_readings = nullptr;

IKeyboardReadings& Readings() { return g_readings ? *g_readings : PlatformKeyboardReadings(); }

}  // namespace

IKeyboardReadings& PlatformKeyboardReadings() {
    static CPlatformReadings readings;
    return readings;
}

IKeyboardReadings* SetKeyboardReadings(IKeyboardReadings* readings) {
    IKeyboardReadings* old = g_readings;
    g_readings = readings;
    return old;
}

namespace {

BYTE NumPadChar(UINT vk) {
    if (vk >= 96 && vk <= 105) return static_cast<BYTE>('0' + (vk - 96));
    switch (vk) {
        case 106: return '*';
        case 107: return '+';
        case 109: return '-';
        case 110: return '.';
        case 111: return '/';
        default: return 0;
    }
}

BYTE Translate(IKeyboardReadings& kb, UINT vk, int keypad) {
    if (const UINT carried = kb.MessageChar() & 0xFF; carried >= 0x20 && carried != 0x7F) return static_cast<BYTE>(carried);
    const bool shifted = kb.CapsLockOn() != kb.ShiftHeld();
    const bool numLock = kb.NumLockOn();
    const bool extended = kb.ExtendedKey();
    if (keypad) {
        switch (vk) {
            case 106: return '*';
            case 107: return '+';
            case 109: return '-';
            case 111: return '/';
            default: break;
        }
        if (numLock) {
            if ((vk >= 96 && vk <= 105) || vk == 110) return NumPadChar(vk);
        } else if (!extended) {
            switch (vk) {
                case 12: return '5';
                case 33: return '9';
                case 34: return '3';
                case 35: return '1';
                case 36: return '7';
                case 37: return '4';
                case 38: return '8';
                case 39: return '6';
                case 40: return '2';
                case 45: return '0';
                case 46: return '.';
                default: break;
            }
        }
    } else if (numLock && vk >= 96 && vk <= 111) {
        if (const BYTE c = NumPadChar(vk)) return c;
    }
    if (vk >= 'A' && vk <= 'Z') return static_cast<BYTE>(shifted ? vk : vk + ('a' - 'A'));
    const int platform = kb.PlatformId();
    if (platform < 0) return 0;
    if (platform == 2) {
        const UINT c = kb.MapToChar(vk) & 0xFF;
        if (c == ' ' && vk != VK_SPACE) return 0;
        return static_cast<BYTE>(c);
    }
    return static_cast<BYTE>(kb.ToAsciiChar(vk) & 0xFF);
}

}  // namespace

BYTE TranslateVirtualKey(UINT vk, int keypad, int mapDelete) {
    IKeyboardReadings& kb = Readings();
    const BYTE c = Translate(kb, vk, keypad);
    if (mapDelete && vk == VK_DELETE && kb.ExtendedKey()) return 127;
    return c;
}
