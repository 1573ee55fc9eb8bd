#include "platform/sdl/sdl_input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "platform/core/wintypes.h"

namespace {

struct KeyCase {
    const char* name;
    SDL_Scancode scancode;
    SDL_Keycode keycode;
    bool numLock;
    int vk;
};

class VirtualKeyFromSdlTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyFromSdlTest, Translates) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(plat::VirtualKeyFromSdl(c.scancode, c.keycode, c.numLock), c.vk);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeyFromSdlTest,
    ::testing::Values(
        // Letters follow the layout (the key at Q types a on a French board), or the place
        // when the layout has no Latin letters.
        KeyCase{"letter", SDL_SCANCODE_A, SDLK_a, false, 'A'},
        KeyCase{"azerty", SDL_SCANCODE_Q, SDLK_a, false, 'A'},
        KeyCase{"cyrillic", SDL_SCANCODE_F, 0x0430, false, 'F'},
        KeyCase{"digit", SDL_SCANCODE_1, SDLK_1, false, '1'},
        KeyCase{"zero", SDL_SCANCODE_0, SDLK_0, false, '0'},
        KeyCase{"f1", SDL_SCANCODE_F1, SDLK_F1, false, VK_F1},
        KeyCase{"f12", SDL_SCANCODE_F12, SDLK_F12, false, VK_F12},
        // Swedish letters by what the key types, so the layout's own VK_OEM codes come out.
        KeyCase{"aring", SDL_SCANCODE_LEFTBRACKET, 0xE5, false, VK_OEM_6},
        KeyCase{"auml", SDL_SCANCODE_APOSTROPHE, 0xE4, false, VK_OEM_7},
        KeyCase{"ouml", SDL_SCANCODE_SEMICOLON, 0xF6, false, VK_OEM_3},
        KeyCase{"usBracketIsAring", SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, false, VK_OEM_6},
        KeyCase{"plusKey", SDL_SCANCODE_MINUS, SDLK_PLUS, false, VK_OEM_PLUS},
        KeyCase{"minusKey", SDL_SCANCODE_SLASH, SDLK_MINUS, false, VK_OEM_MINUS},
        KeyCase{"comma", SDL_SCANCODE_COMMA, SDLK_COMMA, false, VK_OEM_COMMA},
        KeyCase{"return", SDL_SCANCODE_RETURN, SDLK_RETURN, false, VK_RETURN},
        KeyCase{"escape", SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, false, VK_ESCAPE},
        KeyCase{"backspace", SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, false, VK_BACK},
        KeyCase{"tab", SDL_SCANCODE_TAB, SDLK_TAB, false, VK_TAB},
        KeyCase{"space", SDL_SCANCODE_SPACE, SDLK_SPACE, false, VK_SPACE},
        KeyCase{"delete", SDL_SCANCODE_DELETE, SDLK_DELETE, false, VK_DELETE},
        KeyCase{"pageUp", SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, false, VK_PRIOR},
        KeyCase{"pageDown", SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, false, VK_NEXT},
        KeyCase{"left", SDL_SCANCODE_LEFT, SDLK_LEFT, false, VK_LEFT},
        KeyCase{"down", SDL_SCANCODE_DOWN, SDLK_DOWN, false, VK_DOWN},
        KeyCase{"leftShift", SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, false, VK_SHIFT},
        KeyCase{"rightShift", SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, false, VK_SHIFT},
        KeyCase{"rightCtrl", SDL_SCANCODE_RCTRL, SDLK_RCTRL, false, VK_CONTROL},
        KeyCase{"altGr", SDL_SCANCODE_RALT, SDLK_RALT, false, VK_MENU},
        KeyCase{"capsLock", SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, false, VK_CAPITAL},
        // The keypad: digits with Num Lock, the cursor block without.
        KeyCase{"kp4NumLock", SDL_SCANCODE_KP_4, SDLK_KP_4, true, VK_NUMPAD0 + 4},
        KeyCase{"kp4", SDL_SCANCODE_KP_4, SDLK_KP_4, false, VK_LEFT},
        KeyCase{"kp0NumLock", SDL_SCANCODE_KP_0, SDLK_KP_0, true, VK_NUMPAD0},
        KeyCase{"kp0", SDL_SCANCODE_KP_0, SDLK_KP_0, false, VK_INSERT},
        KeyCase{"kp5", SDL_SCANCODE_KP_5, SDLK_KP_5, false, 0x0C},
        KeyCase{"kpPeriodNumLock", SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, true, VK_DECIMAL},
        KeyCase{"kpPeriod", SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, false, VK_DELETE},
        KeyCase{"kpPlus", SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, false, VK_ADD},
        KeyCase{"kpMinus", SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, true, VK_SUBTRACT},
        KeyCase{"kpEnter", SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, false, VK_RETURN},
        KeyCase{"unknown", SDL_SCANCODE_MUTE, SDLK_MUTE, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlCharForKey, OnlyKeysWithoutTextGiveACharacter) {
    EXPECT_EQ(plat::ControlCharForKey(VK_RETURN, false, false), 0x0D);
    EXPECT_EQ(plat::ControlCharForKey(VK_ESCAPE, false, false), 0x1B);
    EXPECT_EQ(plat::ControlCharForKey(VK_BACK, false, false), 0x08);
    EXPECT_EQ(plat::ControlCharForKey(VK_TAB, false, false), 0x09);
    EXPECT_EQ(plat::ControlCharForKey('A', true, false), 0x01);
    EXPECT_EQ(plat::ControlCharForKey('Z', true, false), 0x1A);
    // Letters type through text input; AltGr (Ctrl+Alt) combinations type text too.
    EXPECT_EQ(plat::ControlCharForKey('A', false, false), 0);
    EXPECT_EQ(plat::ControlCharForKey('A', true, true), 0);
    EXPECT_EQ(plat::ControlCharForKey(VK_OEM_6, false, false), 0);
    EXPECT_EQ(plat::ControlCharForKey(VK_DELETE, false, false), 0);
}

TEST(TypedTextToCp1252, ConvertsWhatWindows1252HoldsAndDropsTheRest) {
    struct Case {
        const char* utf8;
        const char* cp1252;
    };
    const Case cases[] = {
        {"Hej", "Hej"},
        {"\xC3\xA5\xC3\xA4\xC3\xB6\xC3\x85\xC3\x84\xC3\x96", "\xE5\xE4\xF6\xC5\xC4\xD6"},  // åäöÅÄÖ
        {"\xE2\x82\xAC", "\x80"},                                                          // €
        {"a\U0001F600b", "ab"},                                                            // emoji: none
        {"a\xC3", "a"},                                                                    // cut short
        {"\xC0\xAFx", "x"},                                                                // overlong
        {"\xED\xA0\x80y", "y"},                                                            // surrogate
        {"\xC2\x85z\t", "z"},  // C1 and C0 controls
        {"\xFF\xFE", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(plat::TypedTextToCp1252(c.utf8), c.cp1252) << c.utf8;
}

// Typed text joins the key down that typed it (one character); a character without a key of
// its own comes as a VK_PACKET down carrying it, and its up.
TEST(AddTypedText, JoinsItsKeyOrComesAsAPacket) {
    using plat::InputEvent;
    using plat::InputKind;
    auto keyDown = [](int vk, uint8_t ch = 0) {
        InputEvent ev;
        ev.kind = InputKind::KeyDown;
        ev.vk = vk;
        ev.ch = ch;
        return ev;
    };
    auto keyUp = [](int vk) {
        InputEvent ev;
        ev.kind = InputKind::KeyUp;
        ev.vk = vk;
        return ev;
    };
    struct Event {
        InputKind kind;
        int vk;
        uint8_t ch;
        bool operator==(const Event&) const = default;
    };
    const struct {
        const char* what;
        std::vector<InputEvent> before;
        const char* utf8;
        std::vector<Event> after;
    } cases[] = {
        {"a key's own letter", {keyDown('A')}, "a", {{InputKind::KeyDown, 'A', 'a'}}},
        {"AZERTY 2 types é", {keyDown('2')}, "\xC3\xA9", {{InputKind::KeyDown, '2', 0xE9}}},
        {"Å with no key before it",
         {},
         "\xC3\x85",
         {{InputKind::KeyDown, VK_PACKET, 0xC5}, {InputKind::KeyUp, VK_PACKET, 0}}},
        {"after a key up: no key of its own",
         {keyDown('S'), keyUp('S')},
         "s",
         {{InputKind::KeyDown, 'S', 0},
          {InputKind::KeyUp, 'S', 0},
          {InputKind::KeyDown, VK_PACKET, 's'},
          {InputKind::KeyUp, VK_PACKET, 0}}},
        {"a key that typed already (Enter)",
         {keyDown(VK_RETURN, 0x0D)},
         "x",
         {{InputKind::KeyDown, VK_RETURN, 0x0D}, {InputKind::KeyDown, VK_PACKET, 'x'}, {InputKind::KeyUp, VK_PACKET, 0}}},
        {"two characters at once (an input method)",
         {keyDown('A')},
         "sa",
         {{InputKind::KeyDown, 'A', 0},
          {InputKind::KeyDown, VK_PACKET, 's'},
          {InputKind::KeyUp, VK_PACKET, 0},
          {InputKind::KeyDown, VK_PACKET, 'a'},
          {InputKind::KeyUp, VK_PACKET, 0}}},
        {"nothing Windows-1252 holds", {keyDown('A')}, "\xE4\xB8\xAD", {{InputKind::KeyDown, 'A', 0}}},
    };
    for (const auto& c : cases) {
        std::deque<InputEvent> pending(c.before.begin(), c.before.end());
        plat::AddTypedText(pending, c.utf8);
        std::vector<Event> got;
        for (const InputEvent& ev : pending) got.push_back(Event{ev.kind, ev.vk, ev.ch});
        EXPECT_EQ(got, c.after) << c.what;
    }
}

}  // namespace
