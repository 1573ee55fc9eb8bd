#include "platform/core/keyboard_layout.h"

#include <cstring>

#include "platform/core/winuser.h"

namespace {

constexpr int kVkOem102 = 0xE2;
constexpr UINT kDeadKey = 0x80000000u;

// A key of the main block: what it types alone, with Shift, and with Alt Gr (0: nothing).
struct KeyChars {
    int vk;
    uint8_t plain;
    uint8_t shifted;
    uint8_t altGr;
};
constexpr KeyChars kMainBlock[] = {
    {'1', '1', '!', 0},
    {'2', '2', '"', '@'},
    {'3', '3', '#', 0xA3},  // £
    {'4', '4', 0xA4, '$'},  // ¤
    {'5', '5', '%', 0x80},  // €
    {'6', '6', '&', 0},
    {'7', '7', '/', '{'},
    {'8', '8', '(', '['},
    {'9', '9', ')', ']'},
    {'0', '0', '=', '}'},
    {VK_OEM_PLUS, '+', '?', '\\'},
    {VK_OEM_6, 0xE5, 0xC5, 0},  // å Å
    {VK_OEM_7, 0xE4, 0xC4, 0},  // ä Ä
    {VK_OEM_3, 0xF6, 0xD6, 0},  // ö Ö
    {VK_OEM_2, '\'', '*', 0},
    {VK_OEM_5, 0xA7, 0xBD, 0},  // § ½
    {VK_OEM_COMMA, ',', ';', 0},
    {VK_OEM_PERIOD, '.', ':', 0},
    {VK_OEM_MINUS, '-', '_', 0},
    {kVkOem102, '<', '>', '|'},
    {VK_SPACE, ' ', ' ', 0},
};

// Keys that type the same character whatever the modifiers (the keypad's with Num Lock).
struct FixedChar {
    int vk;
    uint8_t ch;
};
constexpr FixedChar kFixed[] = {
    {VK_RETURN, '\r'}, {VK_BACK, 8}, {VK_TAB, 9}, {VK_ESCAPE, 27},
    {VK_MULTIPLY, '*'}, {VK_ADD, '+'}, {VK_SUBTRACT, '-'}, {VK_DIVIDE, '/'}, {VK_DECIMAL, ','},
};

const KeyChars* MainKey(UINT vk) {
    for (const KeyChars& k : kMainBlock)
        if (static_cast<UINT>(k.vk) == vk) return &k;
    return nullptr;
}

bool IsLetterKey(UINT vk) { return (vk >= 'A' && vk <= 'Z') || vk == VK_OEM_6 || vk == VK_OEM_7 || vk == VK_OEM_3; }

}  // namespace

int ToAscii(UINT vk, UINT /*scanCode*/, const BYTE* keyState, WORD* out, UINT /*flags*/) {
    if (!out || vk > 0xFF) return 0;
    const auto down = [&](int key) { return keyState && (keyState[key] & 0x80) != 0; };
    const bool shift = down(VK_SHIFT);
    const bool caps = keyState && (keyState[VK_CAPITAL] & 0x01) != 0;
    const bool ctrl = down(VK_CONTROL);
    const bool alt = down(VK_MENU);
    const auto give = [&](uint8_t c) {
        if (c == 0) return 0;
        *out = c;
        return 1;
    };
    if (ctrl && alt) {
        if (vk == 'E') return give(0x80);  // €
        const KeyChars* k = MainKey(vk);
        return give(k ? k->altGr : 0);
    }
    if (alt) return 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return give(static_cast<uint8_t>(vk - 'A' + 1));
        return give(static_cast<uint8_t>(shift != caps ? vk : vk + 32));
    }
    if (ctrl) return vk == VK_RETURN ? give('\n') : vk == VK_BACK ? give(0x7F) : 0;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return give(static_cast<uint8_t>('0' + (vk - VK_NUMPAD0)));
    for (const FixedChar& f : kFixed)
        if (static_cast<UINT>(f.vk) == vk) return give(f.ch);
    if (const KeyChars* k = MainKey(vk)) {
        const bool upper = IsLetterKey(vk) ? shift != caps : shift;
        return give(upper ? k->shifted : k->plain);
    }
    return 0;
}

UINT MapVirtualKeyA(UINT code, UINT type) {
    if (type != MAPVK_VK_TO_CHAR) return 0;
    if (code >= 'A' && code <= 'Z') return code;
    if (code >= VK_NUMPAD0 && code <= VK_NUMPAD0 + 9) return '0' + (code - VK_NUMPAD0);
    if (code == VK_OEM_4) return kDeadKey | 0xB4;  // ´
    if (code == VK_OEM_1) return kDeadKey | 0xA8;  // ¨
    for (const FixedChar& f : kFixed)
        if (static_cast<UINT>(f.vk) == code) return f.ch;
    if (const KeyChars* k = MainKey(code)) return k->plain;
    return 0;
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
    const DWORD word = GetVersion();
    const DWORD major = word & 0xFF;
    std::memset(reinterpret_cast<char*>(info) + sizeof info->dwOSVersionInfoSize, 0,
                sizeof *info - sizeof info->dwOSVersionInfoSize);
    info->dwMajorVersion = major;
    info->dwMinorVersion = (word >> 8) & 0xFF;
    if ((word & 0x80000000u) == 0) {
        info->dwPlatformId = VER_PLATFORM_WIN32_NT;
        info->dwBuildNumber = (word >> 16) & 0x7FFF;
    } else {
        info->dwPlatformId = major < 4 ? VER_PLATFORM_WIN32s : VER_PLATFORM_WIN32_WINDOWS;
        info->dwBuildNumber = 0;  // the word holds no build number off Windows NT
    }
    return TRUE;
}

namespace plat {

bool IsExtendedVirtualKey(int vk) {
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_INSERT:
        case VK_DELETE:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_DIVIDE:
        case VK_NUMLOCK: return true;
        default: return false;
    }
}

bool KeyForChar(uint8_t c, int* vk, bool* shift) {
    int key = 0;
    bool shifted = false;
    if (c >= 'a' && c <= 'z') {
        key = c - 32;
    } else if (c >= 'A' && c <= 'Z') {
        key = c;
        shifted = true;
    } else {
        for (const KeyChars& k : kMainBlock) {
            if (k.plain == c || k.shifted == c) {
                key = k.vk;
                shifted = k.plain != c;
                break;
            }
        }
    }
    if (!key) return false;
    if (vk) *vk = key;
    if (shift) *shift = shifted;
    return true;
}

}  // namespace plat
