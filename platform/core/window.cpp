// Window classes, the window tree, geometry, visibility, focus and invalidation.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/core/display.h"
#include "platform/core/window_internal.h"

namespace plat {
BOOL (*EraseBackgroundHook)(HWND hwnd, HDC hdc) = nullptr;
namespace {
const WindowSharingHooks* g_sharing = nullptr;
void TopLevelChanged(HWND hwnd) {
    if (g_sharing && g_sharing->topLevelChanged && hwnd && !hwnd->isChild) g_sharing->topLevelChanged();
}
}  // namespace
void SetWindowSharingHooks(const WindowSharingHooks* hooks) { g_sharing = hooks; }
const WindowSharingHooks* SharingHooks() { return g_sharing; }
}  // namespace plat

namespace plat::detail {

WindowState& State() {
    static WindowState state;
    return state;
}

bool IsLive(HWND hwnd) {
    if (!hwnd) return false;
    auto& all = State().all;
    return std::find(all.begin(), all.end(), hwnd) != all.end();
}

HWND TopLevelOf(HWND hwnd) {
    while (hwnd && hwnd->isChild) hwnd = hwnd->parent;
    return hwnd;
}

// Frame thickness and caption height of a window's non-client area.
POINT ClientOffset(HWND hwnd) {
    int border = 0;
    if (hwnd->style & WS_THICKFRAME)
        border = GetSystemMetrics(SM_CXFRAME);
    else if ((hwnd->style & WS_DLGFRAME) || (hwnd->exStyle & WS_EX_DLGMODALFRAME))
        border = GetSystemMetrics(SM_CXDLGFRAME);
    else if (hwnd->style & WS_BORDER)
        border = GetSystemMetrics(SM_CXBORDER);
    int caption = ((hwnd->style & WS_CAPTION) == WS_CAPTION) ? GetSystemMetrics(SM_CYCAPTION) : 0;
    return POINT{border, border + caption};
}

static RECT ClientRectLocal(HWND hwnd) {
    POINT off = ClientOffset(hwnd);
    LONG w = hwnd->rect.right - hwnd->rect.left;
    LONG h = hwnd->rect.bottom - hwnd->rect.top;
    return RECT{0, 0, std::max<LONG>(0, w - 2 * off.x), std::max<LONG>(0, h - off.y - off.x)};
}

RECT WindowRectScreen(HWND hwnd) {
    RECT r = hwnd->rect;
    if (hwnd->isChild && hwnd->parent) {
        POINT o = ClientOrigin(hwnd->parent);
        r.left += o.x;
        r.right += o.x;
        r.top += o.y;
        r.bottom += o.y;
    }
    return r;
}

RECT ClientRectScreen(HWND hwnd) {
    RECT w = WindowRectScreen(hwnd);
    POINT off = ClientOffset(hwnd);
    RECT c = ClientRectLocal(hwnd);
    return RECT{w.left + off.x, w.top + off.y, w.left + off.x + c.right, w.top + off.y + c.bottom};
}

static bool VisibleChain(HWND hwnd) {
    for (HWND w = hwnd; w; w = w->isChild ? w->parent : nullptr)
        if (!(w->style & WS_VISIBLE)) return false;
    return true;
}

static bool EnabledChain(HWND hwnd) {
    for (HWND w = hwnd; w; w = w->isChild ? w->parent : nullptr)
        if (w->style & WS_DISABLED) return false;
    return true;
}

static HWND HitChildren(HWND parent, POINT screen) {
    for (HWND c : parent->children) {
        if (!(c->style & WS_VISIBLE)) continue;
        RECT r = WindowRectScreen(c);
        if (PtInRect(&r, screen)) {
            RECT cr = ClientRectScreen(c);
            if (PtInRect(&cr, screen)) {
                if (HWND deeper = HitChildren(c, screen)) return deeper;
            }
            return c;
        }
    }
    return nullptr;
}

HWND HitTest(POINT screen) {
    for (HWND w : State().topLevel) {
        if (!(w->style & WS_VISIBLE)) continue;
        RECT r = w->rect;
        if (PtInRect(&r, screen)) {
            RECT cr = ClientRectScreen(w);
            if (PtInRect(&cr, screen)) {
                if (HWND c = HitChildren(w, screen)) return c;
            }
            return w;
        }
    }
    return nullptr;
}

static void InvalidateScreenArea(HWND w, const RECT& screen) {
    if (!(w->style & WS_VISIBLE)) return;
    RECT wr = WindowRectScreen(w);
    RECT x;
    if (!IntersectRect(&x, &wr, &screen)) return;
    RECT cr = ClientRectScreen(w);
    RECT cx;
    if (IntersectRect(&cx, &cr, &x)) {
        const RECT local = plat::Offset(cx, -cr.left, -cr.top);
        InvalidateRect(w, &local, TRUE);
    }
    for (HWND c : w->children) InvalidateScreenArea(c, screen);
}

void ExposeScreenRect(const RECT& screenArea) {
    RECT area;
    const RECT screen{0, 0, kScreenWidth, kScreenHeight};
    if (!IntersectRect(&area, &screenArea, &screen)) return;
    // What no window covers shows the desktop.
    std::vector<RECT> bare{area};
    for (HWND w : State().topLevel) {
        if (!(w->style & WS_VISIBLE)) continue;
        InvalidateScreenArea(w, area);
        plat::CutFromRects(bare, w->rect);
    }
    Display& d = TheDisplay();
    for (const RECT& r : bare) {
        for (LONG y = r.top; y < r.bottom; ++y)
            std::memset(d.Pixels() + static_cast<size_t>(y) * kScreenWidth + r.left, kDesktopColourIndex,
                        static_cast<size_t>(r.right - r.left));
        d.Invalidate(r);
    }
}

static std::string UpperName(LPCSTR name) {
    std::string s = name ? name : "";
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

static std::string AtomName(LPCSTR name) {
    if (name && IS_INTRESOURCE(name)) {
        std::string atom = std::to_string(reinterpret_cast<uintptr_t>(name));
        atom.insert(atom.begin(), '#');
        return atom;
    }
    return UpperName(name);
}

static void Unlink(HWND hwnd) {
    auto& st = State();
    auto drop = [hwnd](std::vector<HWND>& v) { v.erase(std::remove(v.begin(), v.end(), hwnd), v.end()); };
    if (hwnd->isChild && hwnd->parent)
        drop(hwnd->parent->children);
    else
        drop(st.topLevel);
    drop(st.all);
}

}  // namespace plat::detail

using namespace plat::detail;

ATOM RegisterClass(const WNDCLASS* wc) {
    if (!wc || !wc->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& st = State();
    std::string key = AtomName(wc->lpszClassName);
    if (st.classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    st.classes[key] = *wc;
    st.classNames[key] = IS_INTRESOURCE(wc->lpszClassName) ? key : std::string(wc->lpszClassName);
    st.classes[key].lpszClassName = nullptr;
    return static_cast<ATOM>(0xC000 + st.classes.size());
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE) {
    auto& st = State();
    std::string key = AtomName(className);
    st.classNames.erase(key);
    return st.classes.erase(key) ? TRUE : FALSE;
}

BOOL GetClassInfo(HINSTANCE, LPCSTR className, WNDCLASS* wc) {
    auto& st = State();
    auto it = st.classes.find(AtomName(className));
    if (it == st.classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    if (wc) {
        *wc = it->second;
        wc->lpszClassName = st.classNames[it->first].c_str();
    }
    return TRUE;
}

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    auto& st = State();
    auto it = st.classes.find(AtomName(className));
    if (it == st.classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !IsLive(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
        width = plat::kScreenWidth;
        height = plat::kScreenHeight;
    }
    HWND w = new HWND__;
    w->className = st.classNames[it->first];
    w->proc = it->second.lpfnWndProc;
    w->title = windowName ? windowName : "";
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->parent = IsLive(parent) ? parent : nullptr;
    w->isChild = child;
    w->id = child ? static_cast<int>(reinterpret_cast<uintptr_t>(menu)) : 0;
    w->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
    w->extra.assign(static_cast<size_t>(std::max(0, it->second.cbWndExtra)) / sizeof(LONG_PTR) + 1, 0);
    w->classCursor = it->second.hCursor;
    w->classBrush = it->second.hbrBackground;
    st.all.push_back(w);
    if (child)
        parent->children.push_back(w);  // new children go to the bottom: z-order = creation = tab order
    else
        st.topLevel.insert(st.topLevel.begin(), w);

    CREATESTRUCT cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!SendMessage(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(w);
        return nullptr;
    }
    if (SendMessage(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(w);
        return nullptr;
    }
    if (!IsLive(w)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(w, SW_SHOW);
    plat::TopLevelChanged(w);
    return w;
}

HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                  HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}

BOOL DestroyWindow(HWND hwnd) {
    if (!IsLive(hwnd) || hwnd->destroying) return FALSE;
    auto& st = State();
    hwnd->destroying = true;
    RECT area = WindowRectScreen(hwnd);
    bool wasVisible = VisibleChain(hwnd);
    hwnd->style &= ~WS_VISIBLE;
    // Owned top-level windows go first, then children, as Windows does.
    std::vector<HWND> owned;
    for (HWND w : st.topLevel)
        if (w->parent == hwnd) owned.push_back(w);
    for (HWND w : owned) DestroyWindow(w);
    if (st.capture == hwnd || IsChild(hwnd, st.capture)) ReleaseCapture();
    SendMessage(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> kids = hwnd->children;
    for (HWND c : kids) DestroyWindow(c);
    SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    if (st.focus == hwnd) st.focus = nullptr;
    if (st.active == hwnd) st.active = nullptr;
    st.modal.erase(std::remove(st.modal.begin(), st.modal.end(), hwnd), st.modal.end());
    st.timers.erase(std::remove_if(st.timers.begin(), st.timers.end(), [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                    st.timers.end());
    RemoveWindowMessages(hwnd);
    ForgetWindowInput(hwnd);
    bool topLevel = !hwnd->isChild;
    Unlink(hwnd);
    delete hwnd;
    if (topLevel && plat::g_sharing && plat::g_sharing->topLevelChanged) plat::g_sharing->topLevelChanged();
    if (wasVisible) ExposeScreenRect(area);
    if (!st.active) {
        for (HWND w : st.topLevel)
            if (w->style & WS_VISIBLE) {
                SetActiveWindow(w);
                break;
            }
    }
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return IsLive(hwnd) ? TRUE : FALSE; }

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : DefWindowProc(hwnd, msg, wParam, lParam);
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    if (!IsLive(hwnd)) return 0;
    switch (index) {
        case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(hwnd->proc);
        case GWLP_ID: return hwnd->id;
        case GWL_STYLE: return static_cast<LONG_PTR>(hwnd->style);
        case GWL_EXSTYLE: return static_cast<LONG_PTR>(hwnd->exStyle);
        case GWLP_USERDATA: return hwnd->userData;
        default:
            if (index >= 0 && static_cast<size_t>(index) / sizeof(LONG_PTR) < hwnd->extra.size())
                return hwnd->extra[static_cast<size_t>(index) / sizeof(LONG_PTR)];
            return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    if (!IsLive(hwnd)) return 0;
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
        case GWLP_WNDPROC: hwnd->proc = reinterpret_cast<WNDPROC>(value); break;
        case GWLP_ID: hwnd->id = static_cast<int>(value); break;
        case GWL_STYLE: hwnd->style = static_cast<DWORD>(value); break;
        case GWL_EXSTYLE: hwnd->exStyle = static_cast<DWORD>(value); break;
        case GWLP_USERDATA: hwnd->userData = value; break;
        default:
            if (index >= 0 && static_cast<size_t>(index) / sizeof(LONG_PTR) < hwnd->extra.size())
                hwnd->extra[static_cast<size_t>(index) / sizeof(LONG_PTR)] = value;
    }
    return old;
}

LONG GetWindowLong(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtr(hwnd, index)); }
LONG SetWindowLong(HWND hwnd, int index, LONG value) { return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value)); }

int GetClassName(HWND hwnd, LPSTR buffer, int size) {
    if (!IsLive(hwnd) || !buffer || size <= 0) return 0;
    int n = std::min<int>(size - 1, static_cast<int>(hwnd->className.size()));
    std::memcpy(buffer, hwnd->className.data(), static_cast<size_t>(n));
    buffer[n] = 0;
    return n;
}

int GetDlgCtrlID(HWND hwnd) { return IsLive(hwnd) && hwnd->isChild ? hwnd->id : 0; }

HWND GetDlgItem(HWND parent, int id) {
    if (!IsLive(parent)) return nullptr;
    for (HWND c : parent->children)
        if (c->id == id) return c;
    return nullptr;
}

HWND GetParent(HWND hwnd) { return IsLive(hwnd) ? hwnd->parent : nullptr; }

HWND SetParent(HWND child, HWND newParent) {
    if (!IsLive(child) || !child->isChild || !IsLive(newParent)) return nullptr;
    HWND old = child->parent;
    auto& v = old->children;
    v.erase(std::remove(v.begin(), v.end(), child), v.end());
    child->parent = newParent;
    newParent->children.insert(newParent->children.begin(), child);
    InvalidateRect(newParent, nullptr, TRUE);
    return old;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    if (!IsLive(parent) || !IsLive(hwnd)) return FALSE;
    for (HWND w = hwnd; w && w->isChild; w = w->parent)
        if (w->parent == parent) return TRUE;
    return FALSE;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    if (!IsLive(hwnd)) return nullptr;
    auto& siblings = hwnd->isChild ? hwnd->parent->children : State().topLevel;
    auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    switch (cmd) {
        case GW_HWNDFIRST: return siblings.empty() ? nullptr : siblings.front();
        case GW_HWNDLAST: return siblings.empty() ? nullptr : siblings.back();
        case GW_HWNDNEXT: return (it != siblings.end() && it + 1 != siblings.end()) ? *(it + 1) : nullptr;
        case GW_HWNDPREV: return (it != siblings.begin() && it != siblings.end()) ? *(it - 1) : nullptr;
        case GW_OWNER: return hwnd->isChild ? nullptr : hwnd->parent;
        case GW_CHILD: return hwnd->children.empty() ? nullptr : hwnd->children.front();
    }
    return nullptr;
}

HWND GetTopWindow(HWND parent) {
    if (!parent) return State().topLevel.empty() ? nullptr : State().topLevel.front();
    return GetWindow(parent, GW_CHILD);
}

HWND GetDesktopWindow() { return nullptr; }

BOOL SetWindowText(HWND hwnd, LPCSTR text) {
    if (!IsLive(hwnd)) return FALSE;
    BOOL ok = SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
    plat::TopLevelChanged(hwnd);
    return ok;
}

int GetWindowText(HWND hwnd, LPSTR buffer, int size) {
    if (!IsLive(hwnd) || !buffer || size <= 0) return 0;
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
    if (!IsLive(hwnd)) return 0;
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

HWND FindWindow(LPCSTR className, LPCSTR windowName) {
    for (HWND w : State().topLevel) {
        if (className && !IS_INTRESOURCE(className) && plat::detail::AtomName(className) != plat::detail::AtomName(w->className.c_str()))
            continue;
        if (windowName && w->title != windowName) continue;
        return w;
    }
    if (plat::g_sharing && plat::g_sharing->findRemote) return plat::g_sharing->findRemote(className, windowName);
    return nullptr;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
    if (!IsLive(hwnd)) return FALSE;
    bool was = (hwnd->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE && cmd != SW_MINIMIZE;
    if (show == was) return was;
    SendMessage(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (show) {
        hwnd->style |= WS_VISIBLE;
        if (VisibleChain(hwnd)) {
            // What the window now covers is painted by it; windows below lose that area.
            InvalidateRect(hwnd, nullptr, TRUE);
            for (HWND c : hwnd->children) InvalidateScreenArea(c, WindowRectScreen(c));
            plat::TheDisplay().Invalidate(WindowRectScreen(hwnd));
        }
        if (!hwnd->isChild && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE) SetActiveWindow(hwnd);
    } else {
        RECT area = WindowRectScreen(hwnd);
        bool visibleBefore = VisibleChain(hwnd);
        hwnd->style &= ~WS_VISIBLE;
        if (State().focus && (State().focus == hwnd || IsChild(hwnd, State().focus))) SetFocus(nullptr);
        if (visibleBefore) {
            if (hwnd->isChild)
                InvalidateScreenArea(hwnd->parent, area);
            ExposeScreenRect(area);
        }
        if (State().active == hwnd) {
            State().active = nullptr;
            for (HWND w : State().topLevel)
                if (w != hwnd && (w->style & WS_VISIBLE)) {
                    SetActiveWindow(w);
                    break;
                }
        }
    }
    return was;
}

BOOL IsWindowVisible(HWND hwnd) { return IsLive(hwnd) && VisibleChain(hwnd) ? TRUE : FALSE; }

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    if (!IsLive(hwnd)) return FALSE;
    bool wasDisabled = (hwnd->style & WS_DISABLED) != 0;
    if (enable && wasDisabled) {
        hwnd->style &= ~WS_DISABLED;
        SendMessage(hwnd, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        hwnd->style |= WS_DISABLED;
        auto& st = State();
        if (st.focus == hwnd || IsChild(hwnd, st.focus)) SetFocus(nullptr);
        if (st.capture == hwnd) ReleaseCapture();
        SendMessage(hwnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) { return IsLive(hwnd) && !(hwnd->style & WS_DISABLED) ? TRUE : FALSE; }

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    if (!IsLive(hwnd)) return FALSE;
    auto& st = State();
    RECT oldScreen = WindowRectScreen(hwnd);
    bool visible = VisibleChain(hwnd);
    RECT r = hwnd->rect;
    if (!(flags & SWP_NOMOVE)) {
        r.right += x - r.left;
        r.bottom += y - r.top;
        r.left = x;
        r.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(0, cx);
        r.bottom = r.top + std::max(0, cy);
    }
    bool moved = r.left != hwnd->rect.left || r.top != hwnd->rect.top;
    bool sized = (r.right - r.left) != (hwnd->rect.right - hwnd->rect.left) ||
                 (r.bottom - r.top) != (hwnd->rect.bottom - hwnd->rect.top);
    hwnd->rect = r;
    bool reordered = false;
    if (!(flags & SWP_NOZORDER)) {
        auto& siblings = hwnd->isChild ? hwnd->parent->children : st.topLevel;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
        if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST)
            siblings.insert(siblings.begin(), hwnd);
        else if (insertAfter == HWND_BOTTOM || insertAfter == HWND_NOTOPMOST || !IsLive(insertAfter))
            siblings.push_back(hwnd);
        else {
            auto it = std::find(siblings.begin(), siblings.end(), insertAfter);
            siblings.insert(it == siblings.end() ? siblings.end() : it + 1, hwnd);
        }
        reordered = true;
    }
    if (moved) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
    if (sized) {
        RECT c;
        GetClientRect(hwnd, &c);
        SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(c.right, c.bottom));
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
    if (visible && (moved || sized || reordered)) {
        InvalidateRect(hwnd, nullptr, TRUE);
        for (HWND c : hwnd->children) InvalidateScreenArea(c, WindowRectScreen(c));
        ExposeScreenRect(oldScreen);
        if (hwnd->isChild) InvalidateScreenArea(hwnd->parent, oldScreen);
    }
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL BringWindowToTop(HWND hwnd) {
    if (!IsLive(hwnd) && plat::g_sharing && plat::g_sharing->foregroundRemote)
        return plat::g_sharing->foregroundRemote(hwnd) ? TRUE : FALSE;
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (!IsLive(hwnd) && plat::g_sharing && plat::g_sharing->foregroundRemote)
        return plat::g_sharing->foregroundRemote(hwnd) ? TRUE : FALSE;
    if (!IsLive(hwnd)) return FALSE;
    HWND top = TopLevelOf(hwnd);
    BringWindowToTop(top);
    SetActiveWindow(top);
    return TRUE;
}

HWND GetForegroundWindow() { return State().active; }
HWND GetActiveWindow() { return State().active; }

HWND SetActiveWindow(HWND hwnd) {
    auto& st = State();
    HWND old = st.active;
    if (hwnd && !IsLive(hwnd)) return nullptr;
    hwnd = TopLevelOf(hwnd);
    if (old == hwnd) return old;
    if (IsLive(old)) SendMessage(old, WM_ACTIVATE, 0 /*WA_INACTIVE*/, reinterpret_cast<LPARAM>(hwnd));
    st.active = hwnd;
    if (hwnd) {
        SendMessage(hwnd, WM_ACTIVATE, 1 /*WA_ACTIVE*/, reinterpret_cast<LPARAM>(old));
        if (st.active == hwnd && (!st.focus || TopLevelOf(st.focus) != hwnd)) SetFocus(hwnd);
    }
    return IsLive(old) ? old : nullptr;
}

BOOL GetWindowRect(HWND hwnd, RECT* r) {
    if (!IsLive(hwnd) || !r) return FALSE;
    *r = WindowRectScreen(hwnd);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* r) {
    if (!IsLive(hwnd) || !r) return FALSE;
    *r = ClientRectLocal(hwnd);
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* p) {
    if (!IsLive(hwnd) || !p) return FALSE;
    POINT o = plat::ClientOrigin(hwnd);
    p->x += o.x;
    p->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
    if (!IsLive(hwnd) || !p) return FALSE;
    POINT o = plat::ClientOrigin(hwnd);
    p->x -= o.x;
    p->y -= o.y;
    return TRUE;
}

HWND WindowFromPoint(POINT screenPoint) { return HitTest(screenPoint); }

HWND ChildWindowFromPoint(HWND parent, POINT clientPoint) {
    if (!IsLive(parent)) return nullptr;
    POINT s = clientPoint;
    ClientToScreen(parent, &s);
    RECT cr = ClientRectScreen(parent);
    if (!PtInRect(&cr, s)) return nullptr;
    for (HWND c : parent->children) {
        RECT r = WindowRectScreen(c);
        if (PtInRect(&r, s)) return c;
    }
    return parent;
}

HWND SetFocus(HWND hwnd) {
    auto& st = State();
    HWND old = st.focus;
    if (hwnd && (!IsLive(hwnd) || !EnabledChain(hwnd))) return nullptr;
    if (old == hwnd) return old;
    st.focus = hwnd;
    if (IsLive(old)) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && st.focus == hwnd) {
        HWND top = TopLevelOf(hwnd);
        if (st.active != top) {
            st.active = top;
            SendMessage(top, WM_ACTIVATE, 1, reinterpret_cast<LPARAM>(old));
        }
        SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return IsLive(old) ? old : nullptr;
}

HWND GetFocus() { return State().focus; }

HWND SetCapture(HWND hwnd) {
    auto& st = State();
    HWND old = st.capture;
    if (!IsLive(hwnd)) return old;
    st.capture = hwnd;
    if (IsLive(old) && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return IsLive(old) ? old : nullptr;
}

BOOL ReleaseCapture() {
    auto& st = State();
    HWND old = st.capture;
    st.capture = nullptr;
    if (IsLive(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return State().capture; }

// Calls f with each visible child of a parent without WS_CLIPCHILDREN and the part of the
// parent's client area (client coordinates) that lies over the child's client area, in the
// child's client coordinates: invalidating or validating a parent reaches those children.
template <typename F>
static void ForEachChildPart(HWND parent, const RECT& area, F f) {
    if (parent->style & WS_CLIPCHILDREN) return;
    const POINT o = plat::ClientOrigin(parent);
    const RECT screenArea = plat::Offset(area, o.x, o.y);
    for (HWND c : std::vector<HWND>(parent->children)) {
        if (!(c->style & WS_VISIBLE)) continue;
        const RECT cr = ClientRectScreen(c);
        RECT x;
        if (IntersectRect(&x, &cr, &screenArea)) f(c, plat::Offset(x, -cr.left, -cr.top));
    }
}

BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase) {
    if (!hwnd) {
        plat::detail::ExposeScreenRect(r ? *r : RECT{0, 0, plat::kScreenWidth, plat::kScreenHeight});
        return TRUE;
    }
    if (!IsLive(hwnd)) return FALSE;
    RECT client = ClientRectLocal(hwnd);
    RECT area = client;
    if (r && !IntersectRect(&area, r, &client)) return TRUE;
    if (IsRectEmpty(&area)) return TRUE;
    if (hwnd->hasUpdate)
        UnionRect(&hwnd->update, &hwnd->update, &area);
    else
        hwnd->update = area;
    hwnd->hasUpdate = true;
    if (erase) hwnd->eraseUpdate = true;
    // A parent that does not clip its children paints over them: they are painted again after it.
    ForEachChildPart(hwnd, area, [](HWND c, const RECT& part) { InvalidateRect(c, &part, TRUE); });
    WakeQueue(QS_PAINT);
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* r) {
    if (!IsLive(hwnd)) return FALSE;
    const RECT whole = ClientRectLocal(hwnd);
    ForEachChildPart(hwnd, r ? *r : whole, [](HWND c, const RECT& part) { ValidateRect(c, &part); });
    if (!r) {
        hwnd->hasUpdate = false;
        hwnd->eraseUpdate = false;
        hwnd->update = RECT{};
        return TRUE;
    }
    // A bounding rectangle shrinks only when the validated part covers whole sides of it.
    RECT u = hwnd->update;
    RECT bound;
    SubtractRect(&bound, &u, r);
    hwnd->update = bound;
    hwnd->hasUpdate = !IsRectEmpty(&bound);
    if (!hwnd->hasUpdate) hwnd->eraseUpdate = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL) {
    if (!IsLive(hwnd)) return FALSE;
    if (r) *r = hwnd->hasUpdate ? hwnd->update : RECT{};
    return hwnd->hasUpdate ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!IsLive(hwnd)) return FALSE;
    if (hwnd->hasUpdate && VisibleChain(hwnd)) SendMessage(hwnd, WM_PAINT, 0, 0);
    for (HWND c : std::vector<HWND>(hwnd->children))
        if (IsLive(c)) UpdateWindow(c);
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN, UINT flags) {
    if (flags & RDW_INVALIDATE) InvalidateRect(hwnd, r, (flags & RDW_ERASE) ? TRUE : FALSE);
    if (flags & RDW_UPDATENOW) UpdateWindow(hwnd);
    return TRUE;
}

namespace plat {

void VisibleRects(HWND hwnd, bool clientArea, std::vector<RECT>& out) {
    out.clear();
    if (!detail::IsLive(hwnd) || !VisibleChain(hwnd)) return;
    RECT base = clientArea ? ClientRectScreen(hwnd) : WindowRectScreen(hwnd);
    RECT clipped;
    const RECT screen{0, 0, kScreenWidth, kScreenHeight};
    if (!IntersectRect(&clipped, &base, &screen)) return;
    for (HWND a = hwnd; a->isChild; a = a->parent) {
        const RECT parentClient = ClientRectScreen(a->parent);
        if (!IntersectRect(&clipped, &clipped, &parentClient)) return;
    }
    out.push_back(clipped);
    // Siblings above each window of the chain, then top-level windows above the top one.
    for (HWND a = hwnd; a; a = a->isChild ? a->parent : nullptr) {
        auto& siblings = a->isChild ? a->parent->children : State().topLevel;
        for (HWND s : siblings) {
            if (s == a) break;
            if (s->style & WS_VISIBLE) CutFromRects(out, WindowRectScreen(s));
        }
    }
    if (clientArea && (hwnd->style & WS_CLIPCHILDREN)) {
        for (HWND c : hwnd->children)
            if (c->style & WS_VISIBLE) CutFromRects(out, WindowRectScreen(c));
    }
}

POINT ClientOrigin(HWND hwnd) {
    if (!detail::IsLive(hwnd)) return POINT{};
    RECT c = ClientRectScreen(hwnd);
    return POINT{c.left, c.top};
}

RECT TakeUpdateRect(HWND hwnd, bool* erase) {
    if (erase) *erase = false;
    if (!detail::IsLive(hwnd)) return RECT{};
    RECT r = hwnd->hasUpdate ? hwnd->update : RECT{};
    if (erase) *erase = hwnd->eraseUpdate;
    hwnd->hasUpdate = false;
    hwnd->eraseUpdate = false;
    hwnd->update = RECT{};
    return r;
}

void BroadcastPaletteChanged(HWND changer) {
    for (HWND w : std::vector<HWND>(State().topLevel))
        if (detail::IsLive(w)) SendMessage(w, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(changer), 0);
}

void PushModal(HWND modal) { State().modal.push_back(modal); }

void PopModal(HWND modal) {
    auto& m = State().modal;
    auto it = std::find(m.rbegin(), m.rend(), modal);
    if (it != m.rend()) m.erase(std::next(it).base());
}

HWND CurrentModal() {
    auto& m = State().modal;
    return m.empty() ? nullptr : m.back();
}

ModalEnd ModalLoop(HWND modal, const std::function<bool()>& done, const std::function<bool(MSG&)>& preTranslate) {
    const bool scripted = HasBackend() && Backend().ScriptedInput();
    const uint64_t opened = scripted ? Backend().NowMs() : 0;
    MSG msg;
    for (;;) {
        if (done()) return ModalEnd::Done;
        if (!IsWindow(modal)) return ModalEnd::WindowGone;
        if (scripted && Backend().NowMs() - opened > kScriptedModalLimitMs) return ModalEnd::Overdue;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return ModalEnd::Quit;
        }
        if (!preTranslate || !preTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
}

void ResetWindowing() {
    auto& st = State();
    while (!st.topLevel.empty()) {
        HWND w = st.topLevel.front();
        if (!DestroyWindow(w)) {
            detail::Unlink(w);
            delete w;
        }
    }
    st = detail::WindowState{};
    detail::ResetInput();
    detail::ResetQueue();
    TheDisplay().ResetHardwarePalette();
    std::memset(TheDisplay().Pixels(), kDesktopColourIndex, kScreenWidth * kScreenHeight);
}

}  // namespace plat
