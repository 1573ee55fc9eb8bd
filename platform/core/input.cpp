// Input from the back end turned into queued messages, key and button state, cursors, and the
// system queries (metrics, colours, version, beep).
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string_view>

#include "platform/core/display.h"
#include "platform/core/keyboard_layout.h"
#include "platform/core/window_internal.h"

namespace plat::detail {
namespace {

constexpr UINT kHtClient = 1;
constexpr UINT kDoubleClickMs = 500;
constexpr UINT kCsDblClks = 0x0008;

// A key or button going down or up, from the input event numbered seq.
struct KeyChange {
    uint64_t seq = 0;
    uint8_t vk = 0;
    bool down = false;
};

// Two views of the keys, as on Windows: `down` is the input taken from the machine so far
// (GetAsyncKeyState); `held` and `toggled` follow the input messages the program has taken
// (GetKeyState), so a handler sees the keys as they were when its message was made.
struct InputState {
    std::array<uint8_t, 256> down{};      // 1 while held
    std::array<uint8_t, 256> pressed{};   // pressed since the last GetAsyncKeyState
    std::array<uint8_t, 256> held{};      // as of the input messages taken
    std::array<uint8_t, 256> toggled{};   // Caps Lock style toggles, as of the messages taken
    std::deque<KeyChange> changes;        // not yet in held/toggled
    uint64_t seq = 0;                     // number of the input event being turned into messages
    uint64_t taken = 0;                   // newest input event whose message the program took
    POINT cursor{kScreenWidth / 2, kScreenHeight / 2};
    bool clipped = false;
    RECT clip{};
    HCURSOR current = nullptr;
    int showCount = 0;
    HCURSOR shownOnBackend = reinterpret_cast<HCURSOR>(-1);
    bool shownVisible = true;
    // Double-click tracking.
    HWND lastClickWindow = nullptr;
    UINT lastClickMessage = 0;
    DWORD lastClickTime = 0;
    POINT lastClickPoint{};
    bool buttonsSwapped = false;
};

InputState& In() {
    static InputState s;
    return s;
}

DWORD g_version = kVersionWin95;

bool EnabledChain(HWND hwnd) {
    for (HWND w = hwnd; w; w = w->isChild ? w->parent : nullptr)
        if (w->style & WS_DISABLED) return false;
    return true;
}

// Input to windows outside the innermost modal window (and the windows it owns) is refused.
bool AllowedByModal(HWND target) {
    HWND modal = CurrentModal();
    if (!modal) return true;
    for (HWND top = TopLevelOf(target); top; top = top->parent) {
        if (top == modal || IsChild(modal, top)) return true;
        if (top->isChild) break;
    }
    return false;
}

WPARAM MouseKeyFlags() {
    auto& in = In();
    WPARAM f = 0;
    if (in.down[VK_LBUTTON]) f |= MK_LBUTTON;
    if (in.down[VK_RBUTTON]) f |= MK_RBUTTON;
    if (in.down[VK_MBUTTON]) f |= MK_MBUTTON;
    if (in.down[VK_SHIFT]) f |= MK_SHIFT;
    if (in.down[VK_CONTROL]) f |= MK_CONTROL;
    return f;
}

void SyncBackendCursor() {
    auto& in = In();
    bool visible = in.showCount >= 0 && in.current;
    if (in.shownOnBackend == in.current && in.shownVisible == visible) return;
    in.shownOnBackend = in.current;
    in.shownVisible = visible;
    if (HasBackend()) Backend().SetCursor(visible ? &in.current->image : nullptr);
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = static_cast<DWORD>(ClockNow());
    m.pt = In().cursor;
    PostInput(m, In().seq);
}

void SetDown(int vk, bool down) {
    auto& in = In();
    in.down[vk] = down ? 1 : 0;
    in.changes.push_back(KeyChange{in.seq, static_cast<uint8_t>(vk), down});
}

// Brings held/toggled up to the input the program has taken: every change of an event up to
// the newest one taken, and of events with no message still queued ahead of them (input that
// went to no window counts as taken once what came before it was).
void SyncKeyState() {
    auto& in = In();
    const uint64_t first = FirstQueuedInput();
    const uint64_t upTo = std::max(in.taken, first == UINT64_MAX ? in.seq : first > 0 ? first - 1 : 0);
    while (!in.changes.empty() && in.changes.front().seq <= upTo) {
        const KeyChange& c = in.changes.front();
        if (c.down && !in.held[c.vk]) in.toggled[c.vk] ^= 1;
        in.held[c.vk] = c.down ? 1 : 0;
        in.changes.pop_front();
    }
}

void HandleMouse(const InputEvent& ev) {
    auto& in = In();
    auto& st = State();
    POINT p{std::clamp(ev.x, 0, kScreenWidth - 1), std::clamp(ev.y, 0, kScreenHeight - 1)};
    if (in.clipped) {
        p.x = std::clamp<LONG>(p.x, in.clip.left, std::max(in.clip.left, in.clip.right - 1));
        p.y = std::clamp<LONG>(p.y, in.clip.top, std::max(in.clip.top, in.clip.bottom - 1));
    }
    in.cursor = p;
    int vk = ev.button == MouseButton::Left ? VK_LBUTTON : ev.button == MouseButton::Right ? VK_RBUTTON : VK_MBUTTON;
    if (ev.kind == InputKind::MouseDown) {
        SetDown(vk, true);
        in.pressed[vk] = 1;
    } else if (ev.kind == InputKind::MouseUp) {
        SetDown(vk, false);
    }

    HWND target = IsLive(st.capture) ? st.capture : HitTest(p);
    if (!target) return;
    if (!AllowedByModal(target) || (!st.capture && !EnabledChain(target))) {
        if (ev.kind == InputKind::MouseDown) MessageBeep(0);
        return;
    }
    if (!st.capture) {
        UINT mouseMsg = ev.kind == InputKind::MouseMove ? WM_MOUSEMOVE : WM_LBUTTONDOWN;
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(kHtClient, mouseMsg));
        if (!IsLive(target)) return;
    }
    if (ev.kind == InputKind::MouseDown && !st.capture) {
        HWND top = TopLevelOf(target);
        if (top != st.active) SetActiveWindow(top);
        if (!IsLive(target)) return;
    }
    POINT c = p;
    ScreenToClient(target, &c);
    UINT msg = WM_MOUSEMOVE;
    if (ev.kind != InputKind::MouseMove) {
        static constexpr UINT downMsgs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
        static constexpr UINT upMsgs[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
        int b = static_cast<int>(ev.button);
        msg = ev.kind == InputKind::MouseDown ? downMsgs[b] : upMsgs[b];
        if (ev.kind == InputKind::MouseDown) {
            DWORD now = static_cast<DWORD>(ClockNow());
            bool dbl = in.lastClickWindow == target && in.lastClickMessage == msg &&
                       now - in.lastClickTime <= kDoubleClickMs && std::abs(p.x - in.lastClickPoint.x) <= 2 &&
                       std::abs(p.y - in.lastClickPoint.y) <= 2;
            WNDCLASS wc;
            if (dbl && GetClassInfo(nullptr, target->className.c_str(), &wc) && (wc.style & kCsDblClks)) {
                msg += 2;  // WM_xBUTTONDBLCLK follows WM_xBUTTONDOWN by 2
                in.lastClickWindow = nullptr;
            } else {
                in.lastClickWindow = target;
                in.lastClickMessage = msg;
                in.lastClickTime = now;
                in.lastClickPoint = p;
            }
        }
    }
    Post(target, msg, MouseKeyFlags(), MAKELPARAM(c.x, c.y));
}

HWND KeyTarget() {
    auto& st = State();
    if (IsLive(st.focus)) return st.focus;
    if (IsLive(st.active)) return st.active;
    return nullptr;
}

void HandleKey(const InputEvent& ev) {
    auto& in = In();
    int vk = ev.vk & 0xFF;
    bool wasDown = in.down[vk] != 0;
    bool isDown = ev.kind == InputKind::KeyDown;
    SetDown(vk, isDown);
    if (isDown) in.pressed[vk] = 1;
    HWND target = KeyTarget();
    if (!target || !AllowedByModal(target)) return;
    bool alt = in.down[VK_MENU] != 0;
    bool sys = (alt && !in.down[VK_CONTROL]) || vk == VK_MENU || vk == VK_F10;
    UINT msg = isDown ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    uint8_t ch = ev.ch;
    if (isDown && sys && !ch && vk != VK_MENU) {
        // A key held with Alt types no text on a real keyboard (SDL sends none), yet it is the
        // system character a dialog's mnemonics answer to: the key's own character, as
        // TranslateMessage makes it on Windows.
        BYTE keys[256] = {};
        if (in.down[VK_SHIFT]) keys[VK_SHIFT] = 0x80;
        WORD typed = 0;
        if (ToAscii(static_cast<UINT>(vk), 0, keys, &typed, 0) == 1) ch = static_cast<uint8_t>(typed);
    }
    uintptr_t lp = 1;
    if (isDown) lp |= static_cast<uintptr_t>(ch) << 16;
    if (ev.extended) lp |= 1u << 24;
    if (alt) lp |= 1u << 29;
    if (wasDown) lp |= 1u << 30;
    if (!isDown) lp |= (1u << 30) | (1u << 31);
    Post(target, msg, static_cast<WPARAM>(vk), static_cast<LPARAM>(lp));
}

void HandleClose() {
    auto& st = State();
    HWND target = IsLive(st.active) ? st.active : nullptr;
    if (!target)
        for (HWND w : st.topLevel)
            if (w->style & WS_VISIBLE) {
                target = w;
                break;
            }
    // The machine's window stands for the program's main window: the owner at the root.
    while (target && !target->isChild && target->parent) target = target->parent;
    if (!target) return;
    if (CurrentModal()) {
        MessageBeep(0);
        return;
    }
    MSG m;
    m.hwnd = target;
    m.message = WM_CLOSE;
    m.time = static_cast<DWORD>(ClockNow());
    m.pt = In().cursor;
    PostInput(m, In().seq);
}

void HandleFocus(bool gained) {
    auto& in = In();
    if (!gained) {
        for (int vk = 0; vk < 256; ++vk)
            if (in.down[vk]) SetDown(vk, false);
    }
    for (HWND w : std::vector<HWND>(State().topLevel)) Post(w, WM_ACTIVATEAPP, gained ? TRUE : FALSE, 0);
}

// Standard cursor images drawn from text: 'X' black, '.' white, ' ' transparent.
HCURSOR MakeStandardCursor(std::initializer_list<std::string_view> rows, int hotX, int hotY) {
    auto* c = new HCURSOR__;
    c->shared = true;
    c->image.width = 0;
    for (auto r : rows) c->image.width = std::max<int>(c->image.width, static_cast<int>(r.size()));
    c->image.height = static_cast<int>(rows.size());
    c->image.hotX = hotX;
    c->image.hotY = hotY;
    for (auto r : rows)
        for (int x = 0; x < c->image.width; ++x) {
            char ch = x < static_cast<int>(r.size()) ? r[static_cast<size_t>(x)] : ' ';
            c->image.rgba.push_back(ch == 'X' ? 0xFF000000u : ch == '.' ? 0xFFFFFFFFu : 0u);
        }
    return c;
}

HCURSOR ArrowCursor() {
    static HCURSOR c = MakeStandardCursor({"X", "XX", "X.X", "X..X", "X...X", "X....X", "X.....X", "X......X",
                                           "X.......X", "X........X", "X.....XXXXX", "X..X..X", "X.X X..X",
                                           "XX  X..X", "X    X..X", "     X..X", "      X..X", "      X..X",
                                           "       XX"},
                                          0, 0);
    return c;
}

HCURSOR WaitCursor() {
    static HCURSOR c = MakeStandardCursor({"XXXXXXXXXXX", "X.........X", " XXXXXXXXX", " X.......X", "  X.....X",
                                           "   X...X", "    X.X", "     X", "    X.X", "   X...X", "  X..X..X",
                                           " X..XXX..X", " XXXXXXXXX", "X.........X", "XXXXXXXXXXX"},
                                          5, 7);
    return c;
}

HCURSOR IBeamCursor() {
    static HCURSOR c = MakeStandardCursor({"XXX XXX", "   X", "   X", "   X", "   X", "   X", "   X", "   X", "   X",
                                           "   X", "   X", "   X", "   X", "   X", "XXX XXX"},
                                          3, 7);
    return c;
}

HCURSOR CrossCursor() {
    static HCURSOR c = MakeStandardCursor({"     X", "     X", "     X", "     X", "     X", "XXXXXXXXXXX", "     X",
                                           "     X", "     X", "     X", "     X"},
                                          5, 5);
    return c;
}

}  // namespace

void PumpBackend() {
    if (!HasBackend()) return;
    InputEvent ev;
    while (Backend().PollInput(ev)) {
        ++In().seq;
        switch (ev.kind) {
            case InputKind::MouseMove:
            case InputKind::MouseDown:
            case InputKind::MouseUp: HandleMouse(ev); break;
            case InputKind::KeyDown:
            case InputKind::KeyUp: HandleKey(ev); break;
            case InputKind::Char:
                if (HWND t = KeyTarget(); t && AllowedByModal(t)) Post(t, WM_CHAR, ev.ch, 1);
                break;
            case InputKind::Close: HandleClose(); break;
            case InputKind::FocusLost: HandleFocus(false); break;
            case InputKind::FocusGained: HandleFocus(true); break;
        }
    }
}

void ResetInput() {
    auto& in = In();
    HCURSOR arrow = ArrowCursor();
    in = InputState{};
    in.current = arrow;
    SyncBackendCursor();
}

void InputTaken(uint64_t seq) {
    auto& in = In();
    in.taken = std::max(in.taken, seq);
    SyncKeyState();
}

void ForgetWindowInput(HWND hwnd) {
    if (In().lastClickWindow == hwnd) In().lastClickWindow = nullptr;
}

}  // namespace plat::detail

using namespace plat::detail;

SHORT GetAsyncKeyState(int vk) {
    PumpBackend();
    auto& in = In();
    vk &= 0xFF;
    int down = in.down[vk];
    if (vk == VK_SHIFT) down |= in.down[VK_LSHIFT] | in.down[VK_RSHIFT];
    if (vk == VK_CONTROL) down |= in.down[VK_LCONTROL] | in.down[VK_RCONTROL];
    if (vk == VK_MENU) down |= in.down[VK_LMENU] | in.down[VK_RMENU];
    SHORT r = static_cast<SHORT>((down ? 0x8000 : 0) | (in.pressed[vk] ? 1 : 0));
    in.pressed[vk] = 0;
    return r;
}

SHORT GetKeyState(int vk) {
    SyncKeyState();
    auto& in = In();
    vk &= 0xFF;
    int down = in.held[vk];
    if (vk == VK_SHIFT) down |= in.held[VK_LSHIFT] | in.held[VK_RSHIFT];
    if (vk == VK_CONTROL) down |= in.held[VK_LCONTROL] | in.held[VK_RCONTROL];
    if (vk == VK_MENU) down |= in.held[VK_LMENU] | in.held[VK_RMENU];
    return static_cast<SHORT>((down ? 0x8000 : 0) | (in.toggled[vk] ? 1 : 0));
}

BOOL GetKeyboardState(BYTE* keys) {
    if (!keys) return FALSE;
    SyncKeyState();
    auto& in = In();
    for (int vk = 0; vk < 256; ++vk)
        keys[vk] = static_cast<BYTE>((in.held[vk] ? 0x80 : 0) | (in.toggled[vk] ? 1 : 0));
    return TRUE;
}

BOOL GetCursorPos(POINT* p) {
    if (!p) return FALSE;
    *p = In().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    auto& in = In();
    in.cursor = POINT{std::clamp(x, 0, plat::kScreenWidth - 1), std::clamp(y, 0, plat::kScreenHeight - 1)};
    if (plat::HasBackend()) plat::Backend().WarpMouse(in.cursor.x, in.cursor.y);
    plat::InputEvent ev;
    ev.kind = plat::InputKind::MouseMove;
    ev.x = in.cursor.x;
    ev.y = in.cursor.y;
    HandleMouse(ev);
    return TRUE;
}

int ShowCursor(BOOL show) {
    auto& in = In();
    in.showCount += show ? 1 : -1;
    SyncBackendCursor();
    return in.showCount;
}

HCURSOR SetCursor(HCURSOR cursor) {
    auto& in = In();
    HCURSOR old = in.current;
    in.current = cursor;
    SyncBackendCursor();
    return old;
}

HCURSOR GetCursor() { return In().current; }

HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) {
    if (instance || !IS_INTRESOURCE(name)) return nullptr;  // programs' own cursors come from their resources
    switch (reinterpret_cast<uintptr_t>(name)) {
        case 32512: return ArrowCursor();
        case 32514:
        case 32650: return WaitCursor();
        case 32513: return IBeamCursor();
        case 32515: return CrossCursor();
        default: return ArrowCursor();
    }
}

BOOL DestroyCursor(HCURSOR cursor) {
    if (!cursor || cursor->shared) return FALSE;
    auto& in = In();
    if (in.current == cursor) {
        in.current = nullptr;
        SyncBackendCursor();
    }
    if (in.shownOnBackend == cursor) in.shownOnBackend = reinterpret_cast<HCURSOR>(-1);
    delete cursor;
    return TRUE;
}

BOOL ClipCursor(const RECT* r) {
    auto& in = In();
    in.clipped = r != nullptr;
    if (r) in.clip = *r;
    return TRUE;
}

UINT GetDoubleClickTime() { return 500; }

BOOL MessageBeep(UINT type) {
    if (plat::HasBackend()) plat::Backend().Beep(type);
    return TRUE;
}

DWORD GetVersion() { return g_version; }

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXFULLSCREEN: return plat::kScreenWidth;
        case SM_CYSCREEN: return plat::kScreenHeight;
        case SM_CYFULLSCREEN: return plat::kScreenHeight - 18;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL: return 16;
        case SM_CYCAPTION: return 18;
        case SM_CXBORDER:
        case SM_CYBORDER: return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME: return 3;
        case SM_CXFRAME:
        case SM_CYFRAME: return 4;
        case SM_CXEDGE:
        case SM_CYEDGE: return 2;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR: return 32;
        case SM_CYMENU: return 18;
        case SM_MOUSEPRESENT: return 1;
        case SM_SWAPBUTTON: return In().buttonsSwapped ? 1 : 0;
        case SM_CMOUSEBUTTONS: return 2;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK: return 4;
        default: return 0;
    }
}

DWORD GetSysColor(int index) {
    switch (index) {
        case COLOR_DESKTOP: return RGB(0, 128, 128);
        case COLOR_ACTIVECAPTION: return RGB(0, 0, 128);
        case COLOR_WINDOW: return RGB(255, 255, 255);
        case COLOR_CAPTIONTEXT: return RGB(255, 255, 255);
        case COLOR_HIGHLIGHT: return RGB(0, 0, 128);
        case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
        case COLOR_BTNFACE: return RGB(192, 192, 192);
        case COLOR_BTNSHADOW: return RGB(128, 128, 128);
        case COLOR_GRAYTEXT: return RGB(128, 128, 128);
        case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
        case COLOR_3DLIGHT: return RGB(192, 192, 192);
        case COLOR_WINDOWTEXT:
        case COLOR_BTNTEXT:
        case COLOR_3DDKSHADOW:
        default: return RGB(0, 0, 0);
    }
}

namespace plat {

HCURSOR CreateColourCursor(int width, int height, int hotX, int hotY, const uint8_t* indices,
                           const uint8_t* andMask, const PALETTEENTRY* palette) {
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || !indices || !palette) return nullptr;
    auto* c = new HCURSOR__;
    c->image.width = width;
    c->image.height = height;
    c->image.hotX = std::clamp(hotX, 0, width - 1);
    c->image.hotY = std::clamp(hotY, 0, height - 1);
    c->image.rgba.resize(static_cast<size_t>(width) * height);
    size_t maskStride = static_cast<size_t>((width + 15) / 16) * 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool transparent = andMask && (andMask[y * maskStride + x / 8] & (0x80 >> (x % 8)));
            const PALETTEENTRY& e = palette[indices[static_cast<size_t>(y) * width + x]];
            c->image.rgba[static_cast<size_t>(y) * width + x] =
                transparent ? 0u : (0xFF000000u | RGB(e.peRed, e.peGreen, e.peBlue));
        }
    return c;
}

const CursorImage* CursorImageOf(HCURSOR cursor) { return cursor ? &cursor->image : nullptr; }

HCURSOR ShownCursor() {
    auto& in = In();
    return in.showCount >= 0 ? in.current : nullptr;
}

void SetReportedVersion(DWORD version) { g_version = version; }

void SetMouseButtonsSwapped(bool swapped) { In().buttonsSwapped = swapped; }

}  // namespace plat
