// The controls' window procedures on their own, a table each: messages in, and out the
// notifications the parent gets, the state the control reports and whether it asked to be
// painted again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/winuser.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/headless/headless_backend.h"

namespace {

std::vector<UINT>* g_notes = nullptr;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && g_notes) g_notes->push_back(HIWORD(wParam));
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

struct In {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

constexpr LPARAM kInside = MAKELPARAM(10, 8);
constexpr LPARAM kOutside = MAKELPARAM(300, 300);
constexpr LPARAM kRepeat = static_cast<LPARAM>(1) << 30;  // the key was down already

struct ButtonCase {
    const char* name;
    DWORD type;  // BS_*, plus WS_DISABLED for a disabled button
    std::vector<In> in;
    std::vector<UINT> notes;  // the parent's WM_COMMAND codes, in order
    UINT state;               // BM_GETSTATE without the focus bit
    bool repaint;             // an update region is left after the messages
};

template <class Case>
class ControlProcTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        plat::RegisterControlClasses();
        WNDCLASS wc{};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = "ButtonParent";
        RegisterClass(&wc);
        m_parent = CreateWindow("ButtonParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                nullptr);
        g_notes = &m_notes;
    }
    void TearDown() override {
        g_notes = nullptr;
        plat::ResetWindowing();
    }
    // A control at (0, 0, 60, 20) of the parent, its first paint done, focus elsewhere and
    // the notifications of its making forgotten.
    HWND Make(const char* cls, const char* text, DWORD style) {
        HWND c = CreateWindow(cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 60, 20, m_parent,
                              reinterpret_cast<HMENU>(41), nullptr, nullptr);
        SetFocus(m_parent);
        ValidateRect(c, nullptr);
        m_notes.clear();
        return c;
    }

    HWND m_parent = nullptr;
    std::vector<UINT> m_notes;
};

using ButtonProcTest = ControlProcTest<ButtonCase>;

TEST_P(ButtonProcTest, MessagesInNotificationsStateAndPaintOut) {
    const ButtonCase& c = GetParam();
    HWND b = Make("BUTTON", "&Knapp", c.type);
    for (const In& m : c.in) SendMessage(b, m.msg, m.wParam, m.lParam);
    EXPECT_EQ(m_notes, c.notes);
    EXPECT_EQ(static_cast<UINT>(SendMessage(b, BM_GETSTATE, 0, 0)) & ~BST_FOCUS, c.state);
    EXPECT_EQ(GetUpdateRect(b, nullptr, FALSE) != FALSE, c.repaint);
}

const In kDown{WM_LBUTTONDOWN, MK_LBUTTON, kInside};
const In kUp{WM_LBUTTONUP, 0, kInside};
const In kUpOutside{WM_LBUTTONUP, 0, kOutside};
const In kSpaceDown{WM_KEYDOWN, VK_SPACE, 1};
const In kSpaceUp{WM_KEYUP, VK_SPACE, 1};

INSTANTIATE_TEST_SUITE_P(
    Buttons, ButtonProcTest,
    ::testing::Values(
        ButtonCase{"pushClicked", BS_PUSHBUTTON, {kDown, kUp}, {BN_CLICKED}, BST_UNCHECKED, true},
        ButtonCase{"pushReleasedOutside", BS_PUSHBUTTON, {kDown, kUpOutside}, {}, BST_UNCHECKED, true},
        ButtonCase{"pushHeldShowsPushed", BS_PUSHBUTTON, {kDown}, {}, BST_PUSHED, true},
        ButtonCase{"pushHeldMovedOff",
                   BS_PUSHBUTTON,
                   {kDown, {WM_MOUSEMOVE, MK_LBUTTON, kOutside}},
                   {},
                   BST_UNCHECKED,
                   true},
        ButtonCase{"spaceClicks", BS_PUSHBUTTON, {kSpaceDown, kSpaceUp}, {BN_CLICKED}, BST_UNCHECKED, true},
        ButtonCase{"spaceRepeatAloneDoesNothing",
                   BS_PUSHBUTTON,
                   {{WM_KEYDOWN, VK_SPACE, 1 | kRepeat}, kSpaceUp},
                   {},
                   BST_UNCHECKED,
                   false},
        ButtonCase{"otherKeyDoesNothing", BS_PUSHBUTTON, {{WM_KEYDOWN, 'A', 1}, {WM_KEYUP, 'A', 1}}, {}, 0, false},
        ButtonCase{"autoCheckToggles", BS_AUTOCHECKBOX, {kDown, kUp}, {BN_CLICKED}, BST_CHECKED, true},
        ButtonCase{"autoCheckTwice", BS_AUTOCHECKBOX, {kDown, kUp, kDown, kUp}, {BN_CLICKED, BN_CLICKED}, 0, true},
        ButtonCase{"auto3StateCycles",
                   BS_AUTO3STATE,
                   {kSpaceDown, kSpaceUp, kSpaceDown, kSpaceUp},
                   {BN_CLICKED, BN_CLICKED},
                   BST_INDETERMINATE,
                   true},
        ButtonCase{"plainCheckBoxLeavesTheCheckToItsOwner", BS_CHECKBOX, {kDown, kUp}, {BN_CLICKED}, 0, true},
        ButtonCase{"setCheckOnATwoStateBoxGivesChecked", BS_AUTOCHECKBOX, {{BM_SETCHECK, 2, 0}}, {}, BST_CHECKED, true},
        ButtonCase{"setCheckUnchangedPaintsNothing", BS_AUTOCHECKBOX, {{BM_SETCHECK, 0, 0}}, {}, 0, false},
        ButtonCase{"setCheckOnAPushButtonIsIgnored", BS_PUSHBUTTON, {{BM_SETCHECK, 1, 0}}, {}, 0, false},
        ButtonCase{"radioDoubleClick",
                   BS_AUTORADIOBUTTON,
                   {{WM_LBUTTONDBLCLK, MK_LBUTTON, kInside}, kUp},
                   {BN_DOUBLECLICKED, BN_CLICKED},
                   BST_CHECKED,
                   true},
        ButtonCase{"pushDoubleClickIsAPress", BS_PUSHBUTTON, {{WM_LBUTTONDBLCLK, MK_LBUTTON, kInside}, kUp},
                   {BN_CLICKED}, 0, true},
        ButtonCase{"groupBoxTakesNoClick", BS_GROUPBOX, {kDown, kUp, {BM_CLICK, 0, 0}}, {}, 0, false},
        ButtonCase{"clickMessage", BS_AUTOCHECKBOX, {{BM_CLICK, 0, 0}}, {BN_CLICKED}, BST_CHECKED, true},
        ButtonCase{"clickMessageOnADisabledButton", BS_PUSHBUTTON | WS_DISABLED, {{BM_CLICK, 0, 0}}, {}, 0, false},
        ButtonCase{"setStateDrawsPushed", BS_PUSHBUTTON, {{BM_SETSTATE, 1, 0}}, {}, BST_PUSHED, true},
        ButtonCase{"lostCaptureLetsGo",
                   BS_PUSHBUTTON,
                   {kDown, {WM_CAPTURECHANGED, 0, 0}, kUp},
                   {},
                   BST_UNCHECKED,
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

struct EditCase {
    const char* name;
    DWORD style;  // ES_*
    const char* text;  // at creation
    std::vector<In> in;
    const char* after;  // the text
    std::vector<UINT> notes;
    DWORD selection;  // EM_GETSEL: start in the low word, end in the high word
};

using EditProcTest = ControlProcTest<EditCase>;

TEST_P(EditProcTest, MessagesInTextNotificationsAndSelectionOut) {
    const EditCase& c = GetParam();
    HWND e = Make("EDIT", c.text, ES_AUTOHSCROLL | c.style);
    for (const In& m : c.in) SendMessage(e, m.msg, m.wParam, m.lParam);
    char text[64] = {};
    GetWindowText(e, text, sizeof text);
    EXPECT_STREQ(text, c.after);
    EXPECT_EQ(m_notes, c.notes);
    EXPECT_EQ(static_cast<DWORD>(SendMessage(e, EM_GETSEL, 0, 0)), c.selection);
}

In Char(uint8_t c) { return In{WM_CHAR, c, 1}; }
In Key(WPARAM vk) { return In{WM_KEYDOWN, vk, 1}; }
const std::vector<UINT> kChanged{EN_UPDATE, EN_CHANGE};
std::vector<UINT> Times(const std::vector<UINT>& v, int n) {
    std::vector<UINT> out;
    for (int i = 0; i < n; ++i) out.insert(out.end(), v.begin(), v.end());
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditProcTest,
    ::testing::Values(
        EditCase{"typesWindows1252", 0, "", {Char(0xC5), Char('s'), Char('a')}, "\xC5sa", Times(kChanged, 3), 0x00030003},
        EditCase{"numbersOnly", ES_NUMBER, "", {Char('a'), Char('1')}, "1", kChanged, 0x00010001},
        EditCase{"upperCase", ES_UPPERCASE, "", {Char(0xE5), Char('b')}, "\xC5" "B", Times(kChanged, 2), 0x00020002},
        EditCase{"readOnlyTakesNothing", ES_READONLY, "abc", {Char('x'), Char('\b'), Key(VK_DELETE)}, "abc", {}, 0},
        EditCase{"controlCharactersAreNoText", 0, "", {Char(0x01), Char(0x1B)}, "", {}, 0},
        EditCase{"backspaceAtTheStartDoesNothing", 0, "ab", {Char('\b')}, "ab", {}, 0},
        EditCase{"deleteAfterHome", 0, "abc", {Key(VK_HOME), Key(VK_DELETE)}, "bc", kChanged, 0},
        EditCase{"backspaceAtTheEnd", 0, "abc", {Key(VK_END), Char('\b')}, "ab", kChanged, 0x00020002},
        EditCase{"selectAllThenType", 0, "abc", {{EM_SETSEL, 0, static_cast<LPARAM>(-1)}, Char('z')}, "z", kChanged,
                 0x00010001},
        EditCase{"limitStopsTyping",
                 0,
                 "",
                 {{EM_LIMITTEXT, 2, 0}, Char('a'), Char('b'), Char('c')},
                 "ab",
                 {EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_MAXTEXT},
                 0x00020002},
        // A single-line edit tells its parent of text set by WM_SETTEXT too.
        EditCase{"setTextTellsItsParent", 0, "", {{WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ny")}}, "ny", kChanged, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
