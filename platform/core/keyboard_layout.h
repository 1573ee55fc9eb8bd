// The keyboard layout the platform types with: a Swedish keyboard, the one the SDL back end
// maps keys to (the key right of P is VK_OEM_6, å). ToAscii and MapVirtualKeyA answer from
// it on every back end; the headless script types text with it.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

constexpr UINT MAPVK_VK_TO_CHAR = 2;

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};
using OSVERSIONINFO = OSVERSIONINFOA;

// The character the key types with the keys of keyState (256 entries: 0x80 down, 0x01
// toggled): Shift, Caps Lock (letters, å, ä and ö only), Ctrl (Ctrl+letter gives 1 to 26)
// and Ctrl+Alt (the Alt Gr characters). 1 with the Windows-1252 character in *out; 0 for a
// key that types nothing, a dead accent key included (accents are not composed).
int ToAscii(UINT vk, UINT scanCode, const BYTE* keyState, WORD* out, UINT flags);

// Type 2 (MAPVK_VK_TO_CHAR): the key's unshifted character, letters A-Z as capitals, the two
// dead accent keys with the top bit set; 0 for a key without one. Other types: 0.
UINT MapVirtualKeyA(UINT code, UINT type);
#define MapVirtualKey MapVirtualKeyA

// The version GetVersion reports, spelled out: Windows NT (platform 2) when the word's top
// bit is clear, Win32s (platform 0) for a 3.x version with the top bit set, else Windows 95
// (platform 1). FALSE when the structure's size is not set.
BOOL GetVersionExA(OSVERSIONINFOA* info);
#define GetVersionEx GetVersionExA

namespace plat {

// Whether Windows flags the virtual key as extended when it comes from its usual key: the
// cursor block (arrows, Insert, Delete, Home, End, Page Up and Down), keypad divide and
// Num Lock.
bool IsExtendedVirtualKey(int vk);

// The key that types the Windows-1252 character c, and whether Shift is held for it; false
// for a character no key of the layout types alone (Alt Gr characters, accented letters
// other than å, ä and ö, control characters).
bool KeyForChar(uint8_t c, int* vk, bool* shift);

}  // namespace plat
