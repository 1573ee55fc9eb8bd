// The controls' window procedures on their own, a table each: messages in, and out the
// notifications the parent gets, the state the control reports and whether it asked to be
// painted again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/controls_internal.h"
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

// ---- Static, list box, combo box, scroll bar, tab control ----------------------------------------
// The parent's other mail: WM_HSCROLL / WM_VSCROLL codes and WM_NOTIFY codes, in order.
std::vector<UINT>* g_scrolls = nullptr;
std::vector<UINT>* g_notifies = nullptr;

LRESULT CALLBACK RecordingParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == WM_HSCROLL || msg == WM_VSCROLL) && g_scrolls) g_scrolls->push_back(LOWORD(wParam));
    if (msg == WM_NOTIFY && g_notifies && lParam) g_notifies->push_back(reinterpret_cast<const NMHDR*>(lParam)->code);
    return ParentProc(hwnd, msg, wParam, lParam);
}

template <class Case>
class RecordingProcTest : public ControlProcTest<Case> {
protected:
    void SetUp() override {
        ControlProcTest<Case>::SetUp();
        SetWindowLongPtr(this->m_parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingParentProc));
        g_scrolls = &m_scrolls;
        g_notifies = &m_notifies;
    }
    void TearDown() override {
        g_scrolls = nullptr;
        g_notifies = nullptr;
        ControlProcTest<Case>::TearDown();
    }
    // A control of the given size at (0, 0), as Make leaves it.
    HWND MakeSized(const char* cls, const char* text, DWORD style, int w, int h) {
        HWND c = this->Make(cls, text, style);
        SetWindowPos(c, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ValidateRect(c, nullptr);
        this->m_notes.clear();
        return c;
    }
    // Sends each message; the answer to the last one.
    static LRESULT SendAll(HWND c, const std::vector<In>& in) {
        LRESULT last = 0;
        for (const In& m : in) last = SendMessage(c, m.msg, m.wParam, m.lParam);
        return last;
    }

    std::vector<UINT> m_scrolls;
    std::vector<UINT> m_notifies;
};

struct StaticCase {
    const char* name;
    DWORD style;  // SS_*
    std::vector<In> in;
    std::vector<UINT> notes;
    LRESULT answer;  // to the last message
    bool repaint;
};

using StaticProcTest = RecordingProcTest<StaticCase>;

TEST_P(StaticProcTest, MessagesInNotificationsAnswerAndPaintOut) {
    const StaticCase& c = GetParam();
    HWND s = Make("STATIC", "Text", c.style);
    EXPECT_EQ(SendAll(s, c.in), c.answer);
    EXPECT_EQ(m_notes, c.notes);
    EXPECT_EQ(GetUpdateRect(s, nullptr, FALSE) != FALSE, c.repaint);
}

const In kDblClk{WM_LBUTTONDBLCLK, MK_LBUTTON, kInside};

INSTANTIATE_TEST_SUITE_P(
    Statics, StaticProcTest,
    ::testing::Values(
        StaticCase{"clickWithoutNotifyIsSilent", SS_LEFT, {kDown, kUp}, {}, 0, false},
        StaticCase{"clickWithNotify", SS_LEFT | SS_NOTIFY, {kDown, kUp}, {STN_CLICKED}, 0, false},
        StaticCase{"doubleClickWithNotify", SS_LEFT | SS_NOTIFY, {kDown, kUp, kDblClk, kUp}, {STN_CLICKED, STN_DBLCLK},
                   0, false},
        StaticCase{"takesNoKeysInADialog", SS_LEFT, {{WM_GETDLGCODE, 0, 0}}, {}, DLGC_STATIC, false},
        StaticCase{"newTextRepaints", SS_LEFT, {{WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ny")}}, {}, TRUE, true},
        StaticCase{"disablingRepaints", SS_LEFT, {{WM_ENABLE, FALSE, 0}}, {}, 0, true},
        StaticCase{"fontWithoutRedrawLeavesThePicture", SS_LEFT,
                   {{WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE}}, {}, 0, false},
        StaticCase{"fontWithRedrawRepaints", SS_LEFT,
                   {{WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE}}, {}, 0, true},
        StaticCase{"noIconAtFirst", SS_ICON, {{STM_GETICON, 0, 0}}, {}, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ListCase {
    const char* name;
    DWORD style;  // LBS_*
    std::vector<In> in;
    std::vector<UINT> notes;
    LRESULT answer;  // to the last message
    int selected;    // LB_GETCURSEL
    int top;         // LB_GETTOPINDEX
};

using ListBoxProcTest = RecordingProcTest<ListCase>;

// Eight items in a list 60 pixels tall: four show (13 pixels each).
TEST_P(ListBoxProcTest, MessagesInNotificationsSelectionAndScrollOut) {
    const ListCase& c = GetParam();
    HWND l = MakeSized("LISTBOX", "", c.style, 80, 4 * 13);
    for (const char* item : {"Anna", "Bertil", "Cesar", "David", "Erik", "Filip", "Gustav", "Helge"})
        SendMessage(l, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    m_notes.clear();
    EXPECT_EQ(SendAll(l, c.in), c.answer);
    EXPECT_EQ(m_notes, c.notes);
    EXPECT_EQ(SendMessage(l, LB_GETCURSEL, 0, 0), c.selected);
    EXPECT_EQ(SendMessage(l, LB_GETTOPINDEX, 0, 0), c.top);
}

constexpr LPARAM Row(int row) { return MAKELPARAM(10, row * 13 + 5); }
LPARAM Text(const char* s) { return reinterpret_cast<LPARAM>(s); }

INSTANTIATE_TEST_SUITE_P(
    ListBoxes, ListBoxProcTest,
    ::testing::Values(
        ListCase{"clickSelectsSilently", 0, {{WM_LBUTTONDOWN, MK_LBUTTON, Row(1)}, {WM_LBUTTONUP, 0, Row(1)}}, {}, 0,
                 1, 0},
        ListCase{"clickWithNotifyTellsTheParent", LBS_NOTIFY,
                 {{WM_LBUTTONDOWN, MK_LBUTTON, Row(2)}, {WM_LBUTTONUP, 0, Row(2)}}, {LBN_SETFOCUS, LBN_SELCHANGE}, 0, 2,
                 0},
        ListCase{"doubleClickWithNotify", LBS_NOTIFY,
                 {{WM_LBUTTONDOWN, MK_LBUTTON, Row(0)}, {WM_LBUTTONUP, 0, Row(0)}, {WM_LBUTTONDBLCLK, MK_LBUTTON, Row(0)},
                  {WM_LBUTTONUP, 0, Row(0)}},
                 {LBN_SETFOCUS, LBN_SELCHANGE, LBN_DBLCLK}, 0, 0, 0},
        ListCase{"clickBelowTheItemsSelectsNothing", LBS_NOTIFY, {{LB_DELETESTRING, 7, 0}, {LB_RESETCONTENT, 0, 0},
                 {LB_ADDSTRING, 0, Text("Ivar")}, {WM_LBUTTONDOWN, MK_LBUTTON, Row(2)}, {WM_LBUTTONUP, 0, Row(2)}},
                 {LBN_SETFOCUS}, 0, LB_ERR, 0},
        // The program's own choice is not told back to it.
        ListCase{"setCurSelIsSilent", LBS_NOTIFY, {{LB_SETCURSEL, 5, 0}}, {}, 5, 5, 2},
        ListCase{"setCurSelOutOfRangeClears", LBS_NOTIFY, {{LB_SETCURSEL, 3, 0}, {LB_SETCURSEL, 99, 0}}, {}, LB_ERR,
                 LB_ERR, 0},
        ListCase{"downTakesTheNext", LBS_NOTIFY, {{LB_SETCURSEL, 2, 0}, Key(VK_DOWN)}, {LBN_SELCHANGE}, 0, 3, 0},
        ListCase{"upAtTheFirstIsSilent", LBS_NOTIFY, {{LB_SETCURSEL, 0, 0}, Key(VK_UP)}, {}, 0, 0, 0},
        ListCase{"endTakesTheLastAndScrollsToIt", LBS_NOTIFY, {Key(VK_END)}, {LBN_SELCHANGE}, 0, 7, 4},
        ListCase{"nextPageMovesByAShownPageLessOne", 0, {Key(VK_HOME), Key(VK_NEXT)}, {}, 0, 3, 0},
        ListCase{"aLetterFindsTheNextItemBeginningWithIt", LBS_NOTIFY, {Char('f')}, {LBN_SELCHANGE}, 0, 5, 2},
        ListCase{"aLetterWithoutAnItemChangesNothing", LBS_NOTIFY, {Char('q')}, {}, 0, LB_ERR, 0},
        // Sorted in Swedish order, where A with a ring comes after Z.
        ListCase{"sortedAddsTakeTheirPlaces", LBS_SORT,
                 {{LB_ADDSTRING, 0, Text("\xC5ke")}, {LB_ADDSTRING, 0, Text("Bo")},
                  {LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text("\xC5ke")}},
                 {}, 9, LB_ERR, 0},
        ListCase{"deletingTheSelectedItemClearsTheSelection", 0, {{LB_SETCURSEL, 2, 0}, {LB_DELETESTRING, 2, 0}}, {},
                 7, LB_ERR, 0},
        ListCase{"deletingAnItemAboveKeepsTheSelectedItem", 0, {{LB_SETCURSEL, 4, 0}, {LB_DELETESTRING, 0, 0}}, {}, 7,
                 3, 1},
        ListCase{"findIsWithoutRegardToCase", 0, {{LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), Text("cESAR")}}, {}, 2,
                 LB_ERR, 0},
        ListCase{"textOfNoItemIsAnError", 0, {{LB_GETTEXTLEN, 8, 0}}, {}, LB_ERR, LB_ERR, 0},
        ListCase{"topIndexScrollsNoFurtherThanTheLastPage", 0, {{LB_SETTOPINDEX, 6, 0}}, {}, 0, LB_ERR, 4},
        ListCase{"severalSelectionsToggleByClick", LBS_MULTIPLESEL,
                 {{WM_LBUTTONDOWN, MK_LBUTTON, Row(1)}, {WM_LBUTTONUP, 0, Row(1)}, {WM_LBUTTONDOWN, MK_LBUTTON, Row(3)},
                  {WM_LBUTTONUP, 0, Row(3)}, {LB_GETSELCOUNT, 0, 0}},
                 {}, 2, 3, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct ComboCase {
    const char* name;
    std::vector<In> in;
    std::vector<UINT> notes;
    int selected;  // CB_GETCURSEL
    bool dropped;  // CB_GETDROPPEDSTATE
    const char* text;  // WM_GETTEXT: the selected item's
};

using ComboBoxProcTest = RecordingProcTest<ComboCase>;

TEST_P(ComboBoxProcTest, MessagesInNotificationsSelectionAndDropOut) {
    const ComboCase& c = GetParam();
    HWND b = MakeSized("COMBOBOX", "", CBS_DROPDOWNLIST, 80, 100);
    for (const char* item : {"Anna", "Bertil", "Cesar"}) SendMessage(b, CB_ADDSTRING, 0, Text(item));
    SetFocus(b);
    m_notes.clear();
    SendAll(b, c.in);
    EXPECT_EQ(m_notes, c.notes);
    EXPECT_EQ(SendMessage(b, CB_GETCURSEL, 0, 0), c.selected);
    EXPECT_EQ(SendMessage(b, CB_GETDROPPEDSTATE, 0, 0) != FALSE, c.dropped);
    char text[32] = {};
    GetWindowText(b, text, sizeof text);
    EXPECT_STREQ(text, c.text);
}

const In kAltDown{WM_SYSKEYDOWN, VK_DOWN, 1};

INSTANTIATE_TEST_SUITE_P(
    ComboBoxes, ComboBoxProcTest,
    ::testing::Values(
        ComboCase{"downSelectsTheNext", {{CB_SETCURSEL, 0, 0}, Key(VK_DOWN)}, {CBN_SELCHANGE}, 1, false, "Bertil"},
        ComboCase{"upAtTheFirstIsSilent", {{CB_SETCURSEL, 0, 0}, Key(VK_UP)}, {}, 0, false, "Anna"},
        ComboCase{"endSelectsTheLast", {Key(VK_END), Key(VK_END)}, {CBN_SELCHANGE}, 2, false, "Cesar"},
        ComboCase{"setCurSelIsSilent", {{CB_SETCURSEL, 1, 0}}, {}, 1, false, "Bertil"},
        ComboCase{"aLetterSelects", {Char('c')}, {CBN_SELCHANGE}, 2, false, "Cesar"},
        ComboCase{"f4Drops", {Key(VK_F4)}, {CBN_DROPDOWN}, -1, true, ""},
        ComboCase{"altDownDrops", {kAltDown}, {CBN_DROPDOWN}, -1, true, ""},
        ComboCase{"chosenInTheDroppedList",
                  {{CB_SETCURSEL, 0, 0}, Key(VK_F4), Key(VK_DOWN), Key(VK_RETURN)},
                  {CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELENDOK, CBN_SELCHANGE},
                  1,
                  false,
                  "Bertil"},
        ComboCase{"escapePutsTheSelectionBack",
                  {{CB_SETCURSEL, 0, 0}, Key(VK_F4), Key(VK_DOWN), Key(VK_ESCAPE)},
                  {CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELENDCANCEL},
                  0,
                  false,
                  "Anna"},
        ComboCase{"clickDropsAndClickAgainCloses",
                  {kDown, kUp, kDown, kUp},
                  {CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELENDCANCEL},
                  -1,
                  false,
                  ""},
        ComboCase{"losingTheFocusClosesTheList",
                  {Key(VK_F4), {WM_KILLFOCUS, 0, 0}},
                  {CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELENDCANCEL, CBN_KILLFOCUS},
                  -1,
                  false,
                  ""},
        ComboCase{"setTextOfAnItemSelectsIt", {{WM_SETTEXT, 0, Text("cesar")}}, {}, 2, false, "Cesar"},
        ComboCase{"setTextOfNoItemChangesNothing", {{CB_SETCURSEL, 0, 0}, {WM_SETTEXT, 0, Text("Q")}}, {}, 0, false,
                  "Anna"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ScrollCase {
    const char* name;
    DWORD style;  // SBS_HORZ or SBS_VERT
    std::vector<In> in;
    std::vector<UINT> scrolls;  // the codes the parent gets
    int pos;                    // SBM_GETPOS
};

using ScrollBarProcTest = RecordingProcTest<ScrollCase>;

// A bar 100 x 16 (or 16 x 100) of range 0..10: arrows of 16, a thumb of 16 on a track of 68.
TEST_P(ScrollBarProcTest, MessagesInScrollCodesAndPositionOut) {
    const ScrollCase& c = GetParam();
    const bool vertical = (c.style & SBS_VERT) != 0;
    HWND s = MakeSized("SCROLLBAR", "", c.style, vertical ? 16 : 100, vertical ? 100 : 16);
    SendMessage(s, SBM_SETRANGE, 0, 10);
    SendAll(s, c.in);
    EXPECT_EQ(m_scrolls, c.scrolls);
    EXPECT_EQ(SendMessage(s, SBM_GETPOS, 0, 0), c.pos);
}

In At(UINT msg, int x, int y) { return In{msg, msg == WM_LBUTTONUP ? 0u : static_cast<WPARAM>(MK_LBUTTON), MAKELPARAM(x, y)}; }

INSTANTIATE_TEST_SUITE_P(
    ScrollBars, ScrollBarProcTest,
    ::testing::Values(
        // The bar tells; the program moves the position (the bar's own stays).
        ScrollCase{"leftArrow", SBS_HORZ, {At(WM_LBUTTONDOWN, 5, 8), At(WM_LBUTTONUP, 5, 8)},
                   {SB_LINELEFT, SB_ENDSCROLL}, 0},
        ScrollCase{"rightArrow", SBS_HORZ, {At(WM_LBUTTONDOWN, 95, 8), At(WM_LBUTTONUP, 95, 8)},
                   {SB_LINERIGHT, SB_ENDSCROLL}, 0},
        ScrollCase{"pageAfterTheThumb", SBS_HORZ, {At(WM_LBUTTONDOWN, 60, 8), At(WM_LBUTTONUP, 60, 8)},
                   {SB_PAGERIGHT, SB_ENDSCROLL}, 0},
        ScrollCase{"pageBeforeTheThumb", SBS_HORZ, {{SBM_SETPOS, 10, FALSE}, At(WM_LBUTTONDOWN, 30, 8),
                   At(WM_LBUTTONUP, 30, 8)}, {SB_PAGELEFT, SB_ENDSCROLL}, 10},
        ScrollCase{"upArrowOfAVerticalBar", SBS_VERT, {At(WM_LBUTTONDOWN, 8, 5), At(WM_LBUTTONUP, 8, 5)},
                   {SB_LINEUP, SB_ENDSCROLL}, 0},
        ScrollCase{"thumbDraggedToTheEnd", SBS_HORZ,
                   {At(WM_LBUTTONDOWN, 20, 8), At(WM_MOUSEMOVE, 90, 8), At(WM_LBUTTONUP, 90, 8)},
                   {SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}, 0},
        ScrollCase{"lostCaptureEndsThePress", SBS_HORZ, {At(WM_LBUTTONDOWN, 5, 8), {WM_CAPTURECHANGED, 0, 0}},
                   {SB_LINELEFT, SB_ENDSCROLL}, 0},
        ScrollCase{"keysOfItsDirection", SBS_HORZ, {Key(VK_RIGHT), Key(VK_UP), Key(VK_HOME)},
                   {SB_LINERIGHT, SB_ENDSCROLL, SB_TOP, SB_ENDSCROLL}, 0},
        ScrollCase{"keysOfAVerticalBar", SBS_VERT, {Key(VK_DOWN), Key(VK_NEXT), Key(VK_LEFT)},
                   {SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL}, 0},
        ScrollCase{"disabledArrowsTakeNoClick", SBS_HORZ,
                   {{SBM_ENABLE_ARROWS, ESB_DISABLE_BOTH, 0}, At(WM_LBUTTONDOWN, 5, 8), At(WM_LBUTTONUP, 5, 8)}, {}, 0},
        ScrollCase{"positionHeldToTheRange", SBS_HORZ, {{SBM_SETPOS, 15, FALSE}}, {}, 10},
        ScrollCase{"aNewRangeHoldsThePosition", SBS_HORZ, {{SBM_SETPOS, 8, FALSE}, {SBM_SETRANGE, 0, 5}}, {}, 5}),
    [](const auto& info) { return std::string(info.param.name); });

struct TabCase {
    const char* name;
    std::vector<In> in;
    std::vector<UINT> notifies;  // WM_NOTIFY codes
    int selected;                // TCM_GETCURSEL
    int count;                   // TCM_GETITEMCOUNT
};

using TabProcTest = RecordingProcTest<TabCase>;

TCITEM g_tabItem{TCIF_TEXT, 0, 0, const_cast<char*>("Ny"), 0, -1, 0};

// Three tabs; the first is chosen.
TEST_P(TabProcTest, MessagesInNotificationsAndChoiceOut) {
    const TabCase& c = GetParam();
    HWND t = MakeSized(WC_TABCONTROL, "", 0, 200, 60);
    for (const char* name : {"Ett", "Tv\xE5", "Tre"}) {
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(name);
        SendMessage(t, TCM_INSERTITEM, SendMessage(t, TCM_GETITEMCOUNT, 0, 0), reinterpret_cast<LPARAM>(&item));
    }
    RECT second{};
    SendMessage(t, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    std::vector<In> in = c.in;
    for (In& m : in)
        if (m.msg == WM_LBUTTONDOWN && m.lParam == 0) m.lParam = MAKELPARAM(second.left + 3, second.top + 3);
    SendAll(t, in);
    EXPECT_EQ(m_notifies, c.notifies);
    EXPECT_EQ(SendMessage(t, TCM_GETCURSEL, 0, 0), c.selected);
    EXPECT_EQ(SendMessage(t, TCM_GETITEMCOUNT, 0, 0), c.count);
}

const In kOnSecondTab{WM_LBUTTONDOWN, MK_LBUTTON, 0};  // the test puts it on the second tab

INSTANTIATE_TEST_SUITE_P(
    Tabs, TabProcTest,
    ::testing::Values(
        TabCase{"clickOnATab", {kOnSecondTab}, {TCN_SELCHANGING, TCN_SELCHANGE}, 1, 3},
        TabCase{"clickOnTheChosenTabIsSilent", {{TCM_SETCURSEL, 1, 0}, kOnSecondTab}, {}, 1, 3},
        TabCase{"clickBesideTheTabs", {{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(190, 10)}}, {}, 0, 3},
        TabCase{"rightAndLeftKeys", {Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_RIGHT), Key(VK_LEFT)},
                {TCN_SELCHANGING, TCN_SELCHANGE, TCN_SELCHANGING, TCN_SELCHANGE, TCN_SELCHANGING, TCN_SELCHANGE}, 1, 3},
        TabCase{"leftOfTheFirstDoesNothing", {Key(VK_LEFT)}, {}, 0, 3},
        // The program's own choice is not told back to it.
        TabCase{"setCurSelIsSilent", {{TCM_SETCURSEL, 2, 0}}, {}, 2, 3},
        TabCase{"setCurSelOutOfRangeChangesNothing", {{TCM_SETCURSEL, 3, 0}}, {}, 0, 3},
        TabCase{"insertBeforeTheChosenKeepsIt", {{TCM_SETCURSEL, 1, 0},
                {TCM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&g_tabItem)}}, {}, 2, 4},
        TabCase{"deleteAll", {{TCM_DELETEALLITEMS, 0, 0}}, {}, -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The prologue every control's procedure shares: the state is there from WM_NCCREATE on, every
// later message reaches the control's handler with it, and at WM_NCDESTROY the control lets go
// of what the state holds before the state goes.
struct ProbeState {
    static inline std::vector<std::string>* log = nullptr;
    ~ProbeState() { log->push_back("state deleted"); }
};

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return plat::dlg::ControlProc<ProbeState>(
        hwnd, msg, wParam, lParam,
        [](HWND h, const CREATESTRUCT* cs) {
            ProbeState::log->push_back(std::string("made for ") + (cs && cs->lpszName ? cs->lpszName : "?"));
            plat::dlg::MakeState<ProbeState>(h, cs);
        },
        [](HWND h, ProbeState*, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == WM_CREATE) ProbeState::log->push_back("created");
            if (m == WM_USER) return 7;
            return DefWindowProc(h, m, w, l);
        },
        [](HWND h, ProbeState* st) {
            ProbeState::log->push_back(plat::dlg::StateOf<ProbeState>(h) == st ? "let go, state still kept" : "let go");
        });
}

TEST(ControlPrologue, TheStateLivesFromNcCreateToNcDestroy) {
    plat::InstallHeadless();
    std::vector<std::string> log;
    ProbeState::log = &log;
    WNDCLASS wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.lpszClassName = "Probe";
    wc.cbWndExtra = sizeof(LONG_PTR);
    ASSERT_TRUE(RegisterClass(&wc));
    HWND w = CreateWindow("Probe", "sond", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 7);
    EXPECT_NE(plat::dlg::StateOf<ProbeState>(w), nullptr);
    DestroyWindow(w);
    EXPECT_EQ(log, (std::vector<std::string>{"made for sond", "created", "let go, state still kept", "state deleted"}));
    ProbeState::log = nullptr;
    plat::ResetWindowing();
}

}  // namespace
