// Keyboard and text translation of the SDL back end, as pure functions (no display needed).
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "platform/core/backend.h"

namespace plat {

// The Windows virtual key for an SDL key (its SDL_Scancode and SDL_Keycode), 0 when it has none.
// Letters follow the desktop layout as on Windows; the punctuation keys map by position as on
// a Swedish keyboard (the key right of P is VK_OEM_6, å), and a key that types å, ä or ö gives
// VK_OEM_6, VK_OEM_7 or VK_OEM_3 on any layout. Keypad digits give VK_NUMPAD0-9 with Num Lock,
// the cursor keys without it.
int VirtualKeyFromSdl(int scancode, int keycode, bool numLock);

// Whether Windows flags the key as extended: the separate cursor block, right Ctrl and Alt,
// keypad Enter and divide, Num Lock.
bool IsExtendedKey(int scancode);

// The character Windows' TranslateMessage makes from a key down that SDL sends no text for:
// Enter, Escape, Backspace, Tab, and Ctrl+letter (1-26). 0 for every other key.
uint8_t ControlCharForKey(int vk, bool ctrl, bool alt);

// Typed text (UTF-8) as Windows-1252 bytes; characters Windows-1252 cannot hold, control
// characters and malformed bytes are dropped.
std::string TypedTextToCp1252(std::string_view utf8);

// Adds typed text (UTF-8) to the input still to be taken, as Windows delivers it: a single
// character typed by the key down just queued becomes that key's character (the layout's own;
// TranslateMessage makes the WM_CHAR from it); any other character, one without a key of its own
// (a key the layout lacks, composed or from an input method or an on-screen keyboard), comes as
// a VK_PACKET key down carrying it and its key up.
void AddTypedText(std::deque<InputEvent>& pending, std::string_view utf8);

}  // namespace plat
