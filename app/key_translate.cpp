#include "app/key_translate.h"

#include "platform/afxwin/cwnd.h"
#include "platform/core/winuser.h"

namespace {

class CPlatformReadings : public IKeyboardReadings {
public:
    bool ShiftHeld() override { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }
    bool CapsLockOn() override { return (GetKeyState(VK_CAPITAL) & 1) != 0; }
    bool NumLockOn() override { return (GetKeyState(VK_NUMLOCK) & 1) != 0; }
    bool ExtendedKey() override {
        const MSG* msg = CWnd::GetCurrentMessage();
        return msg && (static_cast<uint32_t>(msg->lParam) & (1u << 24)) != 0;
    }
    int PlatformId() override {
        // The version word: high bit clear is Windows NT.
        return (GetVersion() & 0x80000000u) ? 1 : 2;
    }
    UINT MapToChar(UINT vk) override { return SystemKeyChar(vk, false); }
    UINT ToAsciiChar(UINT vk) override {
        BYTE keys[256] = {};
        if (!GetKeyboardState(keys)) return 0;
        const bool shifted = ((keys[VK_SHIFT] & 0x80) != 0) != ((keys[VK_CAPITAL] & 1) != 0);
        return SystemKeyChar(vk, shifted);
    }

private:
    // Digits, the space bar and the Swedish board's letter and punctuation keys that a name
    // can hold.
    static UINT SystemKeyChar(UINT vk, bool shifted) {
        if (vk >= '0' && vk <= '9') return vk;
        switch (vk) {
            case VK_SPACE: return ' ';
            case VK_OEM_MINUS: return shifted ? '_' : '-';
            case VK_OEM_PLUS: return shifted ? '?' : '+';
            case VK_OEM_COMMA: return shifted ? ';' : ',';
            case VK_OEM_PERIOD: return shifted ? ':' : '.';
            case VK_OEM_6: return shifted ? 0xC5 : 0xE5;  // Å å
            case VK_OEM_7: return shifted ? 0xC4 : 0xE4;  // Ä ä
            case VK_OEM_3: return shifted ? 0xD6 : 0xF6;  // Ö ö
            default: return 0;
        }
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
