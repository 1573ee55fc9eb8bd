// The "SCROLLBAR" class and the scroll-bar calls for it (SB_CTL): range, position, page,
// arrows that repeat while held, page clicks, a dragged thumb, keys; WM_HSCROLL or WM_VSCROLL
// to the parent, which moves the position (as Windows leaves that to the program).
#include <algorithm>

#include "platform/afxwin/cwnd.h"
#include "platform/controls/controls.h"
#include "platform/controls/controls_internal.h"

namespace plat::dlg {
namespace {

constexpr UINT_PTR kRepeatTimer = 0x5C02;

struct ScrollState {
    ScrollModel model;
    ScrollPart pressed = ScrollPart::None;
    int grab = 0;         // thumb: where it was taken, along the bar
    int trackPos = 0;     // thumb: the position it stands for while dragged
    bool tracking = false;
    bool arrowsDisabled = false;
};

ScrollState* State(HWND hwnd) {
    return StateOf<ScrollState>(hwnd);
}

bool Vertical(HWND hwnd) {
    return (GetWindowLong(hwnd, GWL_STYLE) & SBS_VERT) != 0;
}

void Send(HWND hwnd, UINT code, int pos = 0) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    SendMessage(parent, Vertical(hwnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(hwnd));
}

UINT CodeOf(ScrollPart part) {
    switch (part) {
        case ScrollPart::LineUp: return SB_LINEUP;
        case ScrollPart::LineDown: return SB_LINEDOWN;
        case ScrollPart::PageUp: return SB_PAGEUP;
        case ScrollPart::PageDown: return SB_PAGEDOWN;
        default: return SB_ENDSCROLL;
    }
}

ScrollModel Model(HWND hwnd, const ScrollState* st) {
    ScrollModel m = st->model;
    m.vertical = Vertical(hwnd);
    m.enabled = IsWindowEnabled(hwnd) && !st->arrowsDisabled;
    if (st->tracking) m.pos = st->trackPos;
    return m;
}

RECT Bar(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return rc;
}

int SetPos(HWND hwnd, ScrollState* st, int pos, bool redraw) {
    const int old = st->model.pos;
    st->model.pos = std::clamp(pos, st->model.min, st->model.MaxPos());
    if (redraw && old != st->model.pos) Redraw(hwnd);
    return old;
}

// A press on an arrow or the page area scrolls at once and repeats while held; the thumb is taken.
void OnLButtonDown(HWND hwnd, ScrollState* st, POINT p) {
    if ((GetWindowLong(hwnd, GWL_STYLE) & WS_TABSTOP) && !HasFocus(hwnd)) SetFocus(hwnd);
    if (!IsWindow(hwnd)) return;
    const ScrollModel m = Model(hwnd, st);
    if (!m.enabled) return;
    const ScrollPart part = HitScrollBar(Bar(hwnd), m, p);
    if (part == ScrollPart::None) return;
    st->pressed = part;
    SetCapture(hwnd);
    if (part == ScrollPart::Thumb) {
        RECT a, b, t;
        m.Layout(Bar(hwnd), a, b, t);
        st->grab = m.vertical ? p.y - t.top : p.x - t.left;
        st->tracking = true;
        st->trackPos = st->model.pos;
        Redraw(hwnd);
        return;
    }
    Redraw(hwnd);
    Send(hwnd, CodeOf(part));
    if (IsWindow(hwnd)) SetTimer(hwnd, kRepeatTimer, 400, nullptr);
}

void OnMouseMove(HWND hwnd, ScrollState* st, POINT p) {
    if (!st->tracking) return;
    const ScrollModel m = Model(hwnd, st);
    RECT a, b, t;
    m.Layout(Bar(hwnd), a, b, t);
    const int arrow = m.vertical ? a.bottom - a.top : a.right - a.left;
    const int offset = (m.vertical ? p.y : p.x) - st->grab - arrow;
    const int pos = m.PosFromThumb(Bar(hwnd), offset);
    if (pos != st->trackPos) {
        st->trackPos = pos;
        Redraw(hwnd);
        Send(hwnd, SB_THUMBTRACK, pos);
    }
}

// The press ends: by the button's release, or by losing the capture.
void OnRelease(HWND hwnd, ScrollState* st, bool released) {
    if (st->pressed == ScrollPart::None) return;
    const bool wasTracking = st->tracking;
    const int pos = st->trackPos;
    st->pressed = ScrollPart::None;
    st->tracking = false;
    KillTimer(hwnd, kRepeatTimer);
    if (released && GetCapture() == hwnd) ReleaseCapture();
    Redraw(hwnd);
    if (wasTracking) Send(hwnd, SB_THUMBPOSITION, pos);
    if (IsWindow(hwnd)) Send(hwnd, SB_ENDSCROLL);
}

// The repeat of a held arrow or page area, while the pointer stays on it.
void OnRepeat(HWND hwnd, ScrollState* st) {
    if (st->pressed == ScrollPart::None || st->tracking) {
        KillTimer(hwnd, kRepeatTimer);
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(hwnd, &cursor);
    if (HitScrollBar(Bar(hwnd), Model(hwnd, st), cursor) == st->pressed) Send(hwnd, CodeOf(st->pressed));
    if (IsWindow(hwnd)) SetTimer(hwnd, kRepeatTimer, 50, nullptr);
}

void OnKeyDown(HWND hwnd, WPARAM vk) {
    UINT code = SB_ENDSCROLL;
    const bool vertical = Vertical(hwnd);
    switch (vk) {
        case VK_LEFT: if (!vertical) code = SB_LINELEFT; break;
        case VK_RIGHT: if (!vertical) code = SB_LINERIGHT; break;
        case VK_UP: if (vertical) code = SB_LINEUP; break;
        case VK_DOWN: if (vertical) code = SB_LINEDOWN; break;
        case VK_PRIOR: code = SB_PAGEUP; break;
        case VK_NEXT: code = SB_PAGEDOWN; break;
        case VK_HOME: code = SB_TOP; break;
        case VK_END: code = SB_BOTTOM; break;
        default: break;
    }
    if (code != SB_ENDSCROLL) {
        Send(hwnd, code);
        if (IsWindow(hwnd)) Send(hwnd, SB_ENDSCROLL);
    }
}

LRESULT OnSetRange(HWND hwnd, ScrollState* st, int minPos, int maxPos, bool redraw) {
    const int old = st->model.pos;
    st->model.min = minPos;
    st->model.max = maxPos;
    if (st->model.max < st->model.min) std::swap(st->model.min, st->model.max);
    st->model.pos = std::clamp(st->model.pos, st->model.min, st->model.MaxPos());
    if (redraw) Redraw(hwnd);
    return old;
}

LRESULT OnSetScrollInfo(HWND hwnd, ScrollState* st, const SCROLLINFO* info, bool redraw) {
    if (!info) return st->model.pos;
    if (info->fMask & SIF_RANGE) {
        st->model.min = info->nMin;
        st->model.max = std::max(info->nMin, info->nMax);
    }
    if (info->fMask & SIF_PAGE) st->model.page = static_cast<int>(std::min<UINT>(info->nPage, 0x7FFFFFFF));
    if (info->fMask & SIF_POS) st->model.pos = info->nPos;
    st->model.pos = std::clamp(st->model.pos, st->model.min, st->model.MaxPos());
    if (redraw) Redraw(hwnd);
    return st->model.pos;
}

LRESULT OnGetScrollInfo(const ScrollState* st, SCROLLINFO* info) {
    if (!info) return FALSE;
    if (info->fMask & SIF_RANGE) {
        info->nMin = st->model.min;
        info->nMax = st->model.max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = static_cast<UINT>(st->model.page);
    if (info->fMask & SIF_POS) info->nPos = st->model.pos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = st->tracking ? st->trackPos : st->model.pos;
    return TRUE;
}

void Paint(HWND hwnd, HDC dc) {
    const ScrollState* st = State(hwnd);
    PaintScrollBar(dc, Bar(hwnd), Model(hwnd, st), st->pressed, HasFocus(hwnd));
}

void MakeScrollState(HWND hwnd, const CREATESTRUCT*) {
    auto* s = new ScrollState;
    s->model.min = 0;
    s->model.max = 100;
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
}

LRESULT ScrollBarMessage(HWND hwnd, ScrollState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_ENABLE:
        case WM_SIZE:
            Redraw(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return PaintNow(hwnd, Paint);
        case WM_SETFOCUS:
            Redraw(hwnd);
            ControlGotFocus(hwnd);
            return 0;
        case WM_KILLFOCUS:
            Redraw(hwnd);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLButtonDown(hwnd, st, p);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(hwnd, st, p);
            return 0;
        case WM_LBUTTONUP:
            OnRelease(hwnd, st, true);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) OnRelease(hwnd, st, false);
            return 0;
        case WM_TIMER:
            if (wParam == kRepeatTimer) OnRepeat(hwnd, st);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(hwnd, wParam);
            return 0;
        case WM_KEYUP:
            return 0;
        case SBM_SETPOS:
            return SetPos(hwnd, st, static_cast<int>(wParam), lParam != 0);
        case SBM_GETPOS:
            return st->model.pos;
        case SBM_SETRANGE:
        case SBM_SETRANGEREDRAW:
            return OnSetRange(hwnd, st, static_cast<int>(wParam), static_cast<int>(lParam), msg == SBM_SETRANGEREDRAW);
        case SBM_GETRANGE:
            if (wParam) *reinterpret_cast<int*>(wParam) = st->model.min;
            if (lParam) *reinterpret_cast<int*>(lParam) = st->model.max;
            return 0;
        case SBM_ENABLE_ARROWS:
            st->arrowsDisabled = wParam == ESB_DISABLE_BOTH;
            Redraw(hwnd);
            return TRUE;
        case SBM_SETSCROLLINFO:
            return OnSetScrollInfo(hwnd, st, reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0);
        case SBM_GETSCROLLINFO:
            return OnGetScrollInfo(st, reinterpret_cast<SCROLLINFO*>(lParam));
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<ScrollState>(hwnd, msg, wParam, lParam, MakeScrollState, ScrollBarMessage);
}

const ControlClass kScrollBarClass{"SCROLLBAR", ScrollBarProc, CS_DBLCLKS, IDC_ARROW, RUNTIME_CLASS(CScrollBar)};

}  // namespace plat::dlg
