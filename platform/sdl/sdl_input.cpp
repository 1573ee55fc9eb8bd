#include "platform/sdl/sdl_input.h"

#include <SDL.h>

#include "platform/core/wintypes.h"
#include "platform/strings/cp1252.h"

namespace plat {
namespace {

constexpr int kVkClear = 0x0C;
constexpr int kVkSnapshot = 0x2C;
constexpr int kVkLWin = 0x5B;
constexpr int kVkRWin = 0x5C;
constexpr int kVkApps = 0x5D;
constexpr int kVkF13 = 0x7C;
constexpr int kVkOem102 = 0xE2;

// Keypad digit keys: with Num Lock, and without (the cursor block they double as).
struct KeypadKey {
    SDL_Scancode scancode;
    int withNumLock;
    int withoutNumLock;
};
constexpr KeypadKey kKeypad[] = {
    {SDL_SCANCODE_KP_0, VK_NUMPAD0 + 0, VK_INSERT},  {SDL_SCANCODE_KP_1, VK_NUMPAD0 + 1, VK_END},
    {SDL_SCANCODE_KP_2, VK_NUMPAD0 + 2, VK_DOWN},    {SDL_SCANCODE_KP_3, VK_NUMPAD0 + 3, VK_NEXT},
    {SDL_SCANCODE_KP_4, VK_NUMPAD0 + 4, VK_LEFT},    {SDL_SCANCODE_KP_5, VK_NUMPAD0 + 5, kVkClear},
    {SDL_SCANCODE_KP_6, VK_NUMPAD0 + 6, VK_RIGHT},   {SDL_SCANCODE_KP_7, VK_NUMPAD0 + 7, VK_HOME},
    {SDL_SCANCODE_KP_8, VK_NUMPAD0 + 8, VK_UP},      {SDL_SCANCODE_KP_9, VK_NUMPAD0 + 9, VK_PRIOR},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, VK_DELETE},
};

struct ScancodeKey {
    SDL_Scancode scancode;
    int vk;
};
// Keys that do not depend on the layout, and the punctuation keys by their place on a Swedish keyboard.
constexpr ScancodeKey kByScancode[] = {
    {SDL_SCANCODE_RETURN, VK_RETURN},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE},
    {SDL_SCANCODE_BACKSPACE, VK_BACK},
    {SDL_SCANCODE_TAB, VK_TAB},
    {SDL_SCANCODE_SPACE, VK_SPACE},
    {SDL_SCANCODE_MINUS, VK_OEM_PLUS},      // + ?
    {SDL_SCANCODE_EQUALS, VK_OEM_4},        // ´ `
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_6},   // å
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_1},  // ¨ ^
    {SDL_SCANCODE_BACKSLASH, VK_OEM_2},     // ' *
    {SDL_SCANCODE_NONUSHASH, VK_OEM_2},     // ' * on ISO boards
    {SDL_SCANCODE_SEMICOLON, VK_OEM_3},     // ö
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7},    // ä
    {SDL_SCANCODE_GRAVE, VK_OEM_5},         // § ½
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD},
    {SDL_SCANCODE_SLASH, VK_OEM_MINUS},        // - _
    {SDL_SCANCODE_NONUSBACKSLASH, kVkOem102},  // < >
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL},
    {SDL_SCANCODE_PRINTSCREEN, kVkSnapshot},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL},
    {SDL_SCANCODE_PAUSE, VK_PAUSE},
    {SDL_SCANCODE_INSERT, VK_INSERT},
    {SDL_SCANCODE_HOME, VK_HOME},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR},
    {SDL_SCANCODE_DELETE, VK_DELETE},
    {SDL_SCANCODE_END, VK_END},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
    {SDL_SCANCODE_RIGHT, VK_RIGHT},
    {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_DOWN, VK_DOWN},
    {SDL_SCANCODE_UP, VK_UP},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT},
    {SDL_SCANCODE_KP_PLUS, VK_ADD},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN},
    {SDL_SCANCODE_APPLICATION, kVkApps},
    {SDL_SCANCODE_LCTRL, VK_CONTROL},
    {SDL_SCANCODE_RCTRL, VK_CONTROL},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LALT, VK_MENU},
    {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_LGUI, kVkLWin},
    {SDL_SCANCODE_RGUI, kVkRWin},
};

}  // namespace

int VirtualKeyFromSdl(int scancode, int keycode, bool numLock) {
    // Letters as the desktop layout places them, like Windows.
    if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
    switch (keycode) {
        case 0xE5:
            return VK_OEM_6;  // å
        case 0xE4:
            return VK_OEM_7;  // ä
        case 0xF6:
            return VK_OEM_3;  // ö
        default:
            break;
    }
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0) return '0';
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return VK_F1 + (scancode - SDL_SCANCODE_F1);
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
        return kVkF13 + (scancode - SDL_SCANCODE_F13);
    for (const KeypadKey& k : kKeypad)
        if (k.scancode == scancode) return numLock ? k.withNumLock : k.withoutNumLock;
    for (const ScancodeKey& k : kByScancode)
        if (k.scancode == scancode) return k.vk;
    return 0;
}

bool IsExtendedKey(int scancode) {
    switch (scancode) {
        case SDL_SCANCODE_LEFT:
        case SDL_SCANCODE_RIGHT:
        case SDL_SCANCODE_UP:
        case SDL_SCANCODE_DOWN:
        case SDL_SCANCODE_INSERT:
        case SDL_SCANCODE_DELETE:
        case SDL_SCANCODE_HOME:
        case SDL_SCANCODE_END:
        case SDL_SCANCODE_PAGEUP:
        case SDL_SCANCODE_PAGEDOWN:
        case SDL_SCANCODE_RCTRL:
        case SDL_SCANCODE_RALT:
        case SDL_SCANCODE_KP_ENTER:
        case SDL_SCANCODE_KP_DIVIDE:
        case SDL_SCANCODE_NUMLOCKCLEAR: return true;
        default: return false;
    }
}

uint8_t ControlCharForKey(int vk, bool ctrl, bool alt) {
    switch (vk) {
        case VK_RETURN:
            return 0x0D;
        case VK_ESCAPE:
            return 0x1B;
        case VK_BACK:
            return 0x08;
        case VK_TAB:
            return 0x09;
        default:
            break;
    }
    if (ctrl && !alt && vk >= 'A' && vk <= 'Z') return static_cast<uint8_t>(vk - 'A' + 1);
    return 0;
}

std::string TypedTextToCp1252(std::string_view utf8) {
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<uint8_t>(utf8[i]);
        int len = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if (lead < 0x80) {
            len = 1;
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            len = 2;
            cp = lead & 0x1F;
            min = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            len = 3;
            cp = lead & 0x0F;
            min = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            len = 4;
            cp = lead & 0x07;
            min = 0x10000;
        }
        bool ok = len > 0 && i + static_cast<size_t>(len) <= utf8.size();
        for (int k = 1; ok && k < len; ++k) {
            const auto b = static_cast<uint8_t>(utf8[i + static_cast<size_t>(k)]);
            ok = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            ++i;  // a malformed byte: drop it and resynchronise on the next
            continue;
        }
        i += static_cast<size_t>(len);
        if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) continue;
        const int b = CodePointToCp1252(cp);
        if (b >= 0) out.push_back(static_cast<char>(b));
    }
    return out;
}

void AddTypedText(std::deque<InputEvent>& pending, std::string_view utf8) {
    const std::string text = TypedTextToCp1252(utf8);
    if (text.size() == 1 && !pending.empty()) {
        InputEvent& key = pending.back();
        if (key.kind == InputKind::KeyDown && key.ch == 0 && key.vk != VK_PACKET) {
            key.ch = static_cast<uint8_t>(text[0]);
            return;
        }
    }
    for (char c : text) {
        InputEvent ev;
        ev.kind = InputKind::KeyDown;
        ev.vk = VK_PACKET;
        ev.ch = static_cast<uint8_t>(c);
        pending.push_back(ev);
        ev.kind = InputKind::KeyUp;
        ev.ch = 0;
        pending.push_back(ev);
    }
}

}  // namespace plat
