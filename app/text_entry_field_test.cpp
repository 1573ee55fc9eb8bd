// The text entry field on the activity kit, in the hub's file with its font strip 52: the edits
// as a table, the pixel limit, the caret's place and blinking; TranslateVirtualKey over readings
// the tests set.
#include "app/text_entry_field.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/chooser_test_support.h"
#include "engine/base/standin_table.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace {

using choosertest::FakeKeyboard;

constexpr UINT kSpace = VK_SPACE;
constexpr UINT kBack = 8;
constexpr UINT kDel = 46;
constexpr UINT kKeyLeft = 37;
constexpr UINT kKeyRight = 39;

struct TranslateCase {
    const char* what;
    UINT vk;
    int keypad, mapDelete;
    bool shift, caps, num, ext;
    int platform;
    BYTE expected;
};

// Readings: shift, Caps Lock, Num Lock, extended; the keymap answers 0xE5 for VK_OEM_6 through
// ToAscii and 0xF6 for VK_OEM_3 through MapVirtualKey, a blank for VK_OEM_5 through both.
TEST(TranslateVirtualKey, FollowsTheKeyboardState) {
    const TranslateCase cases[] = {
        {"letter", 'A', 1, 1, false, false, false, false, 1, 'a'},
        {"letter with Shift", 'A', 1, 1, true, false, false, false, 1, 'A'},
        {"letter with Caps Lock", 'Z', 1, 1, false, true, false, false, 1, 'Z'},
        {"letter with Caps Lock and Shift", 'Z', 1, 1, true, true, false, false, 1, 'z'},
        {"keypad *", 106, 1, 1, false, false, false, false, 1, '*'},
        {"keypad +", 107, 1, 1, false, false, false, false, 1, '+'},
        {"keypad -", 109, 1, 1, false, false, false, false, 1, '-'},
        {"keypad /", 111, 1, 1, false, false, false, false, 1, '/'},
        {"keypad 0 with Num Lock", 96, 1, 1, false, false, true, false, 1, '0'},
        {"keypad 9 with Num Lock", 105, 1, 1, false, false, true, false, 1, '9'},
        {"keypad . with Num Lock", 110, 1, 1, false, false, true, false, 1, '.'},
        {"keypad 0 without Num Lock", 96, 1, 1, false, false, false, false, 1, 0},
        {"keypad 5 without Num Lock", 12, 1, 1, false, false, false, false, 1, '5'},
        {"keypad 9 (PgUp) without Num Lock", 33, 1, 1, false, false, false, false, 1, '9'},
        {"keypad 3 (PgDn) without Num Lock", 34, 1, 1, false, false, false, false, 1, '3'},
        {"keypad 1 (End) without Num Lock", 35, 1, 1, false, false, false, false, 1, '1'},
        {"keypad 7 (Home) without Num Lock", 36, 1, 1, false, false, false, false, 1, '7'},
        {"keypad 4 (left) without Num Lock", 37, 1, 1, false, false, false, false, 1, '4'},
        {"keypad 8 (up) without Num Lock", 38, 1, 1, false, false, false, false, 1, '8'},
        {"keypad 6 (right) without Num Lock", 39, 1, 1, false, false, false, false, 1, '6'},
        {"keypad 2 (down) without Num Lock", 40, 1, 1, false, false, false, false, 1, '2'},
        {"keypad 0 (Ins) without Num Lock", 45, 1, 1, false, false, false, false, 1, '0'},
        {"keypad . (Del) without Num Lock", 46, 1, 0, false, false, false, false, 1, '.'},
        {"cursor-block Home is no digit", 36, 1, 1, false, false, false, true, 1, 0},
        {"cursor-block up is no digit", 38, 1, 1, false, false, false, true, 1, 0},
        {"cursor-block Home with Num Lock", 36, 1, 1, false, false, true, true, 1, 0},
        {"no keypad: Num Lock digits", 100, 0, 1, false, false, true, false, 1, '4'},
        {"no keypad: Num Lock *", 106, 0, 1, false, false, true, false, 1, '*'},
        {"no keypad: Num Lock /", 111, 0, 1, false, false, true, false, 1, '/'},
        {"no keypad, no Num Lock: no operator", 106, 0, 1, false, false, false, false, 1, 0},
        {"no keypad: no second meanings", 36, 0, 1, false, false, false, false, 1, 0},
        {"extended Delete", 46, 1, 1, false, false, false, true, 1, 127},
        {"extended Delete, Num Lock on", 46, 1, 1, false, false, true, true, 1, 127},
        {"extended Delete without the mapping", 46, 1, 0, false, false, false, true, 1, 0},
        {"keypad Delete is no 127", 46, 1, 1, false, false, false, false, 1, '.'},
        {"å through ToAscii", VK_OEM_6, 1, 1, false, false, false, false, 1, 0xE5},
        {"ToAscii not asked on NT", VK_OEM_6, 1, 1, false, false, false, false, 2, 0},
        {"ö through MapVirtualKey on NT", VK_OEM_3, 1, 1, false, false, false, false, 2, 0xF6},
        {"MapVirtualKey not asked off NT", VK_OEM_3, 1, 1, false, false, false, false, 1, 0},
        {"NT: a blank of another key is 0", VK_OEM_5, 1, 1, false, false, false, false, 2, 0},
        {"not NT: a blank of another key stays", VK_OEM_5, 1, 1, false, false, false, false, 1, ' '},
        {"NT: the space bar", VK_SPACE, 1, 1, false, false, false, false, 2, ' '},
        {"version query failed", VK_OEM_6, 1, 1, false, false, false, false, -1, 0},
        {"letters need no version", 'Q', 1, 1, false, false, false, false, -1, 'q'},
    };
    for (const TranslateCase& c : cases) {
        FakeKeyboard kb;
        kb.shift = c.shift;
        kb.capsLock = c.caps;
        kb.numLock = c.num;
        kb.extended = c.ext;
        kb.platformId = c.platform;
        kb.asciiKey = c.vk == VK_OEM_5 ? VK_OEM_5 : (c.vk == VK_SPACE ? VK_SPACE : VK_OEM_6);
        kb.asciiChar = c.vk == VK_OEM_5 || c.vk == VK_SPACE ? ' ' : 0xE5;
        kb.mapKey = c.vk == VK_OEM_5 ? VK_OEM_5 : (c.vk == VK_SPACE ? VK_SPACE : VK_OEM_3);
        kb.mapChar = c.vk == VK_OEM_5 || c.vk == VK_SPACE ? ' ' : 0xF6;
        EXPECT_EQ(TranslateVirtualKey(c.vk, c.keypad, c.mapDelete), c.expected) << c.what;
    }
}

// The character a key message carries is what the user's own layout typed (a French board's 2
// types é, a US board's ö key types ;), or a character without a key of its own (VK_PACKET);
// control characters it carries are no text, and the key's own rules answer then.
TEST(TranslateVirtualKey, TheCarriedCharacterIsTheLayouts) {
    const struct {
        const char* what;
        UINT vk;
        UINT carried;
        BYTE expected;
    } cases[] = {
        {"AZERTY 2 types é", '2', 0xE9, 0xE9},
        {"US ; key", VK_OEM_3, ';', ';'},
        {"Å without a key", VK_PACKET, 0xC5, 0xC5},
        {"VK_PACKET carrying nothing", VK_PACKET, 0, 0},
        {"Ctrl+A carries 1: the letter", 'A', 0x01, 'a'},
        {"Enter carries 13: no text", VK_RETURN, 0x0D, 0},
        {"nothing carried: the keymap", VK_OEM_6, 0, 0xE5},
    };
    for (const auto& c : cases) {
        FakeKeyboard kb;
        kb.asciiKey = VK_OEM_6;
        kb.asciiChar = 0xE5;
        kb.carried = c.carried;
        EXPECT_EQ(TranslateVirtualKey(c.vk, 1, 1), c.expected) << c.what;
    }
}

// The platform's keyboard types the Swedish letters on their keys, digits and the blank; the
// version query tells Windows NT.
TEST(TranslateVirtualKey, PlatformKeymapGivesTheSwedishLetters) {
    plat::InstallHeadless();
    IKeyboardReadings& kb = PlatformKeyboardReadings();
    const struct {
        UINT vk;
        UINT expected;
    } cases[] = {{VK_OEM_6, 0xE5}, {VK_OEM_7, 0xE4}, {VK_OEM_3, 0xF6}, {'7', '7'}, {VK_SPACE, ' '},
                 {VK_OEM_MINUS, '-'}, {VK_F1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(kb.MapToChar(c.vk), c.expected) << c.vk;
        EXPECT_EQ(kb.ToAsciiChar(c.vk), c.expected) << c.vk;
    }
    EXPECT_EQ(kb.MapToChar(VK_OEM_4), 0u) << "an accent key alone is no character";
    EXPECT_EQ(kb.PlatformId(), 1);
    plat::SetReportedVersion(plat::kVersionWinNT4);
    EXPECT_EQ(kb.PlatformId(), 2);
    plat::SetReportedVersion(plat::kVersionWin95);
}

class EntryFieldTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        UseBuiltFile(1);
        EnterModule(1, &hub);
        font = std::make_unique<CBitmapFont>(52, 0, 1);
        ASSERT_GT(font->LineHeight(), 0) << "the hub's font strip 52";
        for (uint16_t c = 'a'; c <= 'z'; ++c)
            if (c != 'q') allowed.push_back(c);
        for (uint16_t c = 'A'; c <= 'Z'; ++c) allowed.push_back(c);
        allowed.push_back(' ');
        keyboard.asciiKey = VK_SPACE;
        keyboard.asciiChar = ' ';
    }
    void TearDown() override {
        field.reset();
        font.reset();
        ActivityTest::TearDown();
    }
    void Make(uint16_t maxLength, int16_t width) {
        field = std::make_unique<CTextEntryField>(font.get(), kCaret, CCorPoint{kLeft, kTop},
                                                  CCorPoint{static_cast<int16_t>(kLeft + width), kTop + 30},
                                                  &allowed, maxLength);
    }
    int16_t Width(const std::string& s) {
        return font->TextWidth({reinterpret_cast<const BYTE*>(s.data()), s.size()}, static_cast<int16_t>(s.size()));
    }
    std::string Text() const { return std::string(field->Text().CStr(), static_cast<size_t>(field->Length())); }

    static constexpr int16_t kCaret = 52;
    static constexpr int16_t kLeft = 100;
    static constexpr int16_t kTop = 200;
    ModuleFunctionTable hub = MakeStandInTable({0, 2, 6, 7, 9, 14, 15});
    FakeKeyboard keyboard;
    std::unique_ptr<CBitmapFont> font;
    std::vector<uint16_t> allowed;
    std::unique_ptr<CTextEntryField> field;
};

struct EditCase {
    const char* what;
    std::vector<UINT> keys;
    const char* text;
    uint16_t caret;
};

// Typing, moving and deleting, from an empty field of at most 6 characters, wide enough.
TEST_F(EntryFieldTest, EditsAsTyped) {
    const EditCase cases[] = {
        {"letters", {'A', 'B', 'C'}, "abc", 3},
        {"a leading blank is refused", {kSpace, 'A'}, "a", 1},
        {"a blank after a word", {'A', kSpace, 'B'}, "a b", 3},
        {"a blank at the start refused also later", {'A', 'B', kKeyLeft, kKeyLeft, kSpace}, "ab", 0},
        {"backspace", {'A', 'B', kBack}, "a", 1},
        {"backspace at 0 does nothing", {'A', kKeyLeft, kBack}, "a", 0},
        {"insert in the middle", {'A', 'B', kKeyLeft, 'C'}, "acb", 2},
        {"left at 0 does nothing", {'A', kKeyLeft, kKeyLeft}, "a", 0},
        {"right at the end does nothing", {'A', kKeyRight}, "a", 1},
        {"left then right", {'A', 'B', kKeyLeft, kKeyLeft, kKeyRight}, "ab", 1},
        {"delete in the middle keeps the caret", {'A', 'B', 'C', kKeyLeft, kKeyLeft, kDel}, "ac", 1},
        {"delete at the end does nothing", {'A', 'B', kDel}, "ab", 2},
        {"delete on an empty field does nothing", {kDel, kBack}, "", 0},
        {"delete takes blanks that become leading", {'A', kSpace, kSpace, 'B', kKeyLeft, kKeyLeft, kKeyLeft, kKeyLeft, kDel}, "b", 0},
        {"backspace takes blanks that become leading", {'A', kSpace, kSpace, 'B', kKeyLeft, kKeyLeft, kKeyLeft, kBack}, "b", 0},
        {"the maximum length", {'A', 'B', 'C', 'D', 'E', 'F', 'G'}, "abcdef", 6},
        {"no insert at the maximum, also inside", {'A', 'B', 'C', 'D', 'E', 'F', kKeyLeft, 'G'}, "abcdef", 5},
        {"a letter outside the list", {'A', 'Q', 'B'}, "ab", 2},
        {"a key with no character", {'A', VK_F1, VK_OEM_6}, "a", 1},
    };
    for (const EditCase& c : cases) {
        Make(6, 400);
        for (UINT key : c.keys) field->OnKey(key);
        EXPECT_EQ(Text(), c.text) << c.what;
        EXPECT_EQ(field->CaretPosition(), c.caret) << c.what;
        EXPECT_EQ(GetSpriteX(field->CaretSprite()), kLeft + (c.caret ? Width(std::string(c.text, c.caret)) : 0))
            << c.what;
        EXPECT_TRUE(field->BlinkEnabled()) << c.what;
        field.reset();
    }
}

// Caps Lock and Shift together give small letters; either alone capitals.
TEST_F(EntryFieldTest, LettersFollowCapsLockAndShift) {
    Make(10, 400);
    keyboard.shift = true;
    field->OnKey('A');
    keyboard.capsLock = true;
    field->OnKey('B');
    keyboard.shift = false;
    field->OnKey('C');
    EXPECT_EQ(Text(), "AbC");
}

// A character that would pass the block's width is taken back; one that ends exactly at it fits.
TEST_F(EntryFieldTest, TheBlocksWidthLimitsTheText) {
    Make(15, Width("www"));
    for (int i = 0; i < 5; ++i) field->OnKey('W');
    EXPECT_EQ(Text(), "www");
    EXPECT_EQ(field->CaretPosition(), 3);
    field->OnKey(kKeyLeft);
    field->OnKey('I');
    EXPECT_EQ(Text(), "www");
    EXPECT_EQ(field->CaretPosition(), 2);
    ASSERT_GT(Width("www"), Width("ww"));
}

// The caret toggles only once more than 60 ticks have passed since the last toggle, not
// while blinking is stopped, and a key shows it again.
TEST_F(EntryFieldTest, TheCaretBlinksAboutOnceASecond) {
    Make(6, 400);
    CCorAnim* caret = field->CaretSprite();
    ASSERT_NE(caret, nullptr);
    EXPECT_EQ(GetSpriteY(caret), kTop - 1);
    EXPECT_EQ(GetSpriteFrame(caret), kCaret);
    g_lastCaretBlink = GetEngineTicks();
    field->Blink();
    EXPECT_EQ(GetSpriteFrame(caret), kCaret) << "too early";
    Delay(61);
    field->StopBlink();
    field->Blink();
    EXPECT_EQ(GetSpriteFrame(caret), kCaret) << "stopped";
    field->EnableBlink();
    field->Blink();
    EXPECT_EQ(GetSpriteFrame(caret), 2);
    field->Blink();
    EXPECT_EQ(GetSpriteFrame(caret), 2) << "just toggled";
    field->OnKey('A');
    EXPECT_EQ(GetSpriteFrame(caret), kCaret) << "a key shows the caret";
    EXPECT_TRUE(field->BlinkEnabled());
}

// The text's sprite is the field's; the caret is not its text. The field takes its caret away.
TEST_F(EntryFieldTest, HitTestAndDestruction) {
    Make(6, 400);
    field->OnKey('A');
    ASSERT_NE(field->Block()->Sprite(), nullptr);
    EXPECT_TRUE(field->HitTest(field->Block()->Sprite(), 0));
    EXPECT_FALSE(field->HitTest(field->CaretSprite(), 0));
    EXPECT_FALSE(field->HitTest(nullptr, 0));
    CCorAnim* caret = field->CaretSprite();
    auto* text = static_cast<CCorAnim*>(field->Block()->Sprite());
    CCorString out("old");
    field->GetText(out);
    EXPECT_EQ(out.CompareText("a"), kCompareEqual);
    field.reset();
    EXPECT_FALSE(theEngine->m_anims.Contains(caret));
    EXPECT_FALSE(theEngine->m_anims.Contains(text));
}

}  // namespace
