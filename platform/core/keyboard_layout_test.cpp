#include "platform/core/keyboard_layout.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/core/winuser.h"

namespace {

// A keyboard state with the given keys down and Caps Lock on or off.
struct State {
    BYTE keys[256] = {};
    State(std::initializer_list<int> down, bool caps = false) {
        for (int k : down) keys[k] = 0x80;
        if (caps) keys[VK_CAPITAL] = 0x01;
    }
};

TEST(KeyboardLayout, ToAsciiTypesTheSwedishKeyboard) {
    struct Case {
        const char* what;
        UINT vk;
        std::initializer_list<int> down;
        bool caps;
        int result;
        WORD ch;
    };
    const Case cases[] = {
        {"letter", 'A', {}, false, 1, 'a'},
        {"Shift", 'A', {VK_SHIFT}, false, 1, 'A'},
        {"Caps Lock", 'A', {}, true, 1, 'A'},
        {"Caps Lock and Shift", 'A', {VK_SHIFT}, true, 1, 'a'},
        {"å", VK_OEM_6, {}, false, 1, 0xE5},
        {"Å", VK_OEM_6, {VK_SHIFT}, false, 1, 0xC5},
        {"ä", VK_OEM_7, {}, false, 1, 0xE4},
        {"Ä with Caps Lock", VK_OEM_7, {}, true, 1, 0xC4},
        {"ö", VK_OEM_3, {}, false, 1, 0xF6},
        {"Ö", VK_OEM_3, {VK_SHIFT}, false, 1, 0xD6},
        {"digit", '7', {}, false, 1, '7'},
        {"shifted digit", '7', {VK_SHIFT}, false, 1, '/'},
        {"Caps Lock leaves digits alone", '7', {}, true, 1, '7'},
        {"hyphen", VK_OEM_MINUS, {}, false, 1, '-'},
        {"underscore", VK_OEM_MINUS, {VK_SHIFT}, false, 1, '_'},
        {"space", VK_SPACE, {VK_SHIFT}, false, 1, ' '},
        {"keypad digit", VK_NUMPAD0 + 4, {}, false, 1, '4'},
        {"keypad decimal", VK_DECIMAL, {}, false, 1, ','},
        {"keypad plus", VK_ADD, {}, false, 1, '+'},
        {"Enter", VK_RETURN, {}, false, 1, '\r'},
        {"Ctrl+A", 'A', {VK_CONTROL}, false, 1, 1},
        {"Ctrl+Z", 'Z', {VK_CONTROL}, false, 1, 26},
        {"Alt Gr 2", '2', {VK_CONTROL, VK_MENU}, false, 1, '@'},
        {"Alt Gr E", 'E', {VK_CONTROL, VK_MENU}, false, 1, 0x80},
        {"Alt alone", 'A', {VK_MENU}, false, 0, 0},
        {"Ctrl+digit", '1', {VK_CONTROL}, false, 0, 0},
        {"accent key", VK_OEM_4, {}, false, 0, 0},
        {"arrow", VK_LEFT, {}, false, 0, 0},
        {"F1", VK_F1, {}, false, 0, 0},
        {"beyond the keys", 0x1234, {}, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        State state(c.down, c.caps);
        WORD ch = 0;
        EXPECT_EQ(ToAscii(c.vk, 0, state.keys, &ch, 0), c.result);
        EXPECT_EQ(ch, c.ch);
    }
}

TEST(KeyboardLayout, MapVirtualKeyGivesTheUnshiftedCharacter) {
    const std::pair<UINT, UINT> cases[] = {
        {'A', 'A'},           {'Z', 'Z'},         {'5', '5'},          {VK_OEM_6, 0xE5}, {VK_OEM_7, 0xE4},
        {VK_OEM_3, 0xF6},     {VK_SPACE, ' '},    {VK_OEM_MINUS, '-'}, {VK_NUMPAD0, '0'}, {VK_OEM_4, 0x800000B4u},
        {VK_OEM_1, 0x800000A8u}, {VK_LEFT, 0},    {VK_F1 + 4, 0},
    };
    for (const auto& [vk, expected] : cases) EXPECT_EQ(MapVirtualKeyA(vk, MAPVK_VK_TO_CHAR), expected) << vk;
    EXPECT_EQ(MapVirtualKeyA('A', 0), 0u);  // only the character mapping is kept
}

TEST(KeyboardLayout, GetVersionExSpellsOutTheReportedVersion) {
    struct Case {
        DWORD word;
        DWORD platform;
        DWORD major;
        DWORD minor;
        DWORD build;
    };
    const Case cases[] = {
        {plat::kVersionWin95, VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0},
        {plat::kVersionWinNT4, VER_PLATFORM_WIN32_NT, 4, 0, 1381},
        {plat::kVersionWin32s, VER_PLATFORM_WIN32s, 3, 10, 0},
    };
    for (const Case& c : cases) {
        plat::SetReportedVersion(c.word);
        OSVERSIONINFOA info;
        info.dwOSVersionInfoSize = sizeof info;
        ASSERT_TRUE(GetVersionExA(&info));
        EXPECT_EQ(info.dwPlatformId, c.platform) << std::hex << c.word;
        EXPECT_EQ(info.dwMajorVersion, c.major);
        EXPECT_EQ(info.dwMinorVersion, c.minor);
        EXPECT_EQ(info.dwBuildNumber, c.build);
    }
    plat::SetReportedVersion(plat::kVersionWin95);
    OSVERSIONINFOA unsized{};
    EXPECT_FALSE(GetVersionExA(&unsized));
    EXPECT_FALSE(GetVersionExA(nullptr));
}

// Every character a single key types comes back from that key, and nothing else does.
TEST(KeyboardLayout, EveryKeyedCharacterIsTypedByItsKey) {
    int keyed = 0;
    for (int c = 1; c < 256; ++c) {
        int vk = 0;
        bool shift = false;
        if (!plat::KeyForChar(static_cast<uint8_t>(c), &vk, &shift)) continue;
        ++keyed;
        State state(shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
        WORD ch = 0;
        ASSERT_EQ(ToAscii(static_cast<UINT>(vk), 0, state.keys, &ch, 0), 1) << c;
        EXPECT_EQ(ch, c);
    }
    // Letters, digits and their shifted signs, åäöÅÄÖ, space, and + ? ' * § ½ , ; . : - _ < >.
    EXPECT_EQ(keyed, 26 * 2 + 10 * 2 + 6 + 1 + 14);
    for (uint8_t c : {uint8_t{'@'}, uint8_t{0xE9}, uint8_t{'\r'}, uint8_t{0}})
        EXPECT_FALSE(plat::KeyForChar(c, nullptr, nullptr)) << int(c);
}

TEST(KeyboardLayout, TheCursorBlockIsExtended) {
    for (int vk : {int{VK_LEFT}, int{VK_RIGHT}, int{VK_UP}, int{VK_DOWN}, int{VK_INSERT}, int{VK_DELETE}, int{VK_HOME},
                   int{VK_END}, int{VK_PRIOR}, int{VK_NEXT}})
        EXPECT_TRUE(plat::IsExtendedVirtualKey(vk)) << vk;
    for (int vk : {int{'A'}, int{VK_RETURN}, int{VK_NUMPAD0}, int{VK_DECIMAL}, int{VK_SHIFT}}) EXPECT_FALSE(plat::IsExtendedVirtualKey(vk)) << vk;
}

}  // namespace
