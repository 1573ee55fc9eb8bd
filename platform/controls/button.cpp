// The "BUTTON" class: push buttons (default, disabled, hidden), check boxes (plain, automatic,
// three-state), radio buttons (plain, automatic, with their groups) and group boxes.
#include <algorithm>

#include "platform/afxwin/cwnd.h"
#include "platform/controls/controls.h"
#include "platform/controls/controls_internal.h"

namespace plat::dlg {
namespace {

struct ButtonState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;     // drawn pressed
    bool mouseDown = false;  // the left button went down on it and is held
    bool spaceDown = false;
    HFONT font = nullptr;
    HGDIOBJ image = nullptr;
};

DWORD Type(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & BS_TYPEMASK;
}

bool IsPush(DWORD type) {
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON || type == BS_OWNERDRAW;
}
bool IsCheck(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}
bool IsRadio(DWORD type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

void SetCheck(HWND hwnd, ButtonState* st, UINT check) {
    const DWORD type = Type(hwnd);
    if (!IsCheck(type) && !IsRadio(type)) return;
    if (check > BST_INDETERMINATE) check = BST_CHECKED;
    if (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE) check = BST_CHECKED;
    if (IsRadio(type)) {
        // The checked radio button of a group is its tab stop.
        LONG style = GetWindowLong(hwnd, GWL_STYLE);
        style = check ? (style | WS_TABSTOP) : (style & ~static_cast<LONG>(WS_TABSTOP));
        SetWindowLong(hwnd, GWL_STYLE, style);
    }
    if (st->check != check) {
        st->check = check;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

// The automatic radio buttons of the button's group, in order.
std::vector<HWND> RadioGroup(HWND hwnd) {
    std::vector<HWND> group;
    HWND parent = GetParent(hwnd);
    if (!parent) return group;
    HWND start = hwnd;
    while (!(GetWindowLong(start, GWL_STYLE) & WS_GROUP)) {
        HWND prev = GetWindow(start, GW_HWNDPREV);
        if (!prev) break;
        start = prev;
    }
    for (HWND w = start; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != start && (GetWindowLong(w, GWL_STYLE) & WS_GROUP)) break;
        if (ClassOf(w) == "BUTTON" && Type(w) == BS_AUTORADIOBUTTON) group.push_back(w);
    }
    return group;
}

void Click(HWND hwnd) {
    ButtonState* st = StateOf<ButtonState>(hwnd);
    const DWORD type = Type(hwnd);
    if (type == BS_AUTOCHECKBOX) {
        SetCheck(hwnd, st, st->check ? BST_UNCHECKED : BST_CHECKED);
    } else if (type == BS_AUTO3STATE) {
        SetCheck(hwnd, st, (st->check + 1) % 3);
    } else if (type == BS_AUTORADIOBUTTON) {
        for (HWND other : RadioGroup(hwnd))
            if (other != hwnd) SendMessage(other, BM_SETCHECK, BST_UNCHECKED, 0);
        SetCheck(hwnd, st, BST_CHECKED);
    }
    Notify(hwnd, BN_CLICKED);
}

RECT TextRectOf(HWND hwnd, HDC dc, const RECT& area, const std::string& text, UINT format) {
    RECT calc = area;
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &calc, format | DT_CALCRECT);
    const int w = calc.right - calc.left, h = calc.bottom - calc.top;
    RECT r = area;
    const DWORD align = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & BS_CENTER;
    if (align == BS_CENTER) {
        r.left = area.left + (area.right - area.left - w) / 2;
    } else if (align == BS_RIGHT) {
        r.left = area.right - w;
    }
    r.right = r.left + w;
    r.top = area.top + (area.bottom - area.top - h) / 2;
    r.bottom = r.top + h;
    return r;
}

void Paint(HWND hwnd, HDC dc) {
    ButtonState* st = StateOf<ButtonState>(hwnd);
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const DWORD type = style & BS_TYPEMASK;
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const bool focused = HasFocus(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    const std::string text = WindowText(hwnd);
    const bool multi = (style & BS_MULTILINE) != 0;
    const UINT lineFormat = multi ? DT_WORDBREAK : DT_SINGLELINE;

    if (IsPush(type)) {
        HBRUSH brush = ControlColours(hwnd, dc, WM_CTLCOLORBTN);
        (void)brush;
        const COLORREF textColour = GetTextColor(dc);
        const bool isDefault = type == BS_DEFPUSHBUTTON;
        ButtonFace(dc, rc, isDefault, st->pushed);
        RECT area = Inset(rc, 3);
        if (st->pushed) area = RECT{area.left + 1, area.top + 1, area.right + 1, area.bottom + 1};
        RECT tr = TextRectOf(hwnd, dc, area, text, lineFormat | DT_CENTER);
        tr.left = area.left;
        tr.right = area.right;
        DrawStateText(dc, text, tr, lineFormat | DT_CENTER | (multi ? 0u : static_cast<UINT>(DT_VCENTER)), enabled, textColour);
        if (focused) FocusRect(dc, Inset(rc, isDefault || st->pushed ? 4 : 3));
    } else if (type == BS_GROUPBOX) {
        HBRUSH brush = ControlColours(hwnd, dc, WM_CTLCOLORSTATIC);
        const COLORREF textColour = GetTextColor(dc);
        const int th = TextHeight(dc);
        EtchedRect(dc, RECT{rc.left, rc.top + th / 2, rc.right, rc.bottom});
        if (!text.empty()) {
            RECT calc{0, 0, 0, 0};
            DrawText(dc, text.c_str(), static_cast<int>(text.size()), &calc, DT_SINGLELINE | DT_CALCRECT);
            RECT label{rc.left + 8, rc.top, rc.left + 8 + (calc.right - calc.left) + 4, rc.top + th};
            FillRect(dc, &label, brush);
            RECT textRect{label.left + 2, label.top, label.right, label.bottom};
            DrawStateText(dc, text, textRect, DT_SINGLELINE | DT_LEFT, enabled, textColour);
        }
    } else {
        HBRUSH brush = ControlColours(hwnd, dc, WM_CTLCOLORSTATIC);
        const COLORREF textColour = GetTextColor(dc);
        FillRect(dc, &rc, brush);
        const bool left = (style & BS_LEFTTEXT) != 0;
        const int glyph = IsRadio(type) ? 12 : 13;
        const int gy = rc.top + (rc.bottom - rc.top - glyph) / 2;
        const int gx = left ? rc.right - glyph : rc.left;
        if (IsRadio(type))
            RadioGlyph(dc, gx, gy, st->check == BST_CHECKED, st->pushed, enabled);
        else
            CheckBoxGlyph(dc, gx, gy, st->check, st->pushed, enabled);
        RECT area = left ? RECT{rc.left, rc.top, rc.right - glyph - 4, rc.bottom}
                         : RECT{rc.left + glyph + 4, rc.top, rc.right, rc.bottom};
        RECT tr = TextRectOf(hwnd, dc, area, text, lineFormat | DT_LEFT);
        DrawStateText(dc, text, tr, lineFormat | DT_LEFT, enabled, textColour);
        if (focused && !text.empty()) {
            RECT f{tr.left - 1, tr.top, tr.right + 1, tr.bottom + 1};
            IntersectRect(&f, &f, &rc);
            FocusRect(dc, f);
        } else if (focused) {
            FocusRect(dc, RECT{gx - 1, gy - 1, gx + glyph + 1, gy + glyph + 1});
        }
    }
    SelectObject(dc, oldFont);
}

bool Inside(HWND hwnd, LPARAM lp) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return PtInRect(&rc, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}) != FALSE;
}

UINT DialogCode(DWORD type) {
    if (type == BS_GROUPBOX) return DLGC_STATIC;
    if (IsRadio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
    if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    if (IsPush(type)) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    return DLGC_BUTTON;
}

void OnKillFocus(HWND hwnd, ButtonState* st) {
    if (st->spaceDown || st->mouseDown) {
        st->spaceDown = st->mouseDown = false;
        st->pushed = false;
        if (GetCapture() == hwnd) ReleaseCapture();
    }
    Redraw(hwnd);
    if (GetWindowLong(hwnd, GWL_STYLE) & BS_NOTIFY) Notify(hwnd, BN_KILLFOCUS);
}

// The button goes down under the mouse (radio buttons and notifying buttons tell a double click).
void OnLButtonDown(HWND hwnd, ButtonState* st, DWORD type, bool doubleClick) {
    if (type == BS_GROUPBOX) return;
    if (doubleClick && (IsRadio(type) || type == BS_OWNERDRAW || (GetWindowLong(hwnd, GWL_STYLE) & BS_NOTIFY))) {
        Notify(hwnd, BN_DOUBLECLICKED);
        if (!IsWindow(hwnd)) return;
    }
    if (!HasFocus(hwnd)) SetFocus(hwnd);
    if (!IsWindow(hwnd)) return;
    SetCapture(hwnd);
    st->mouseDown = true;
    st->pushed = true;
    Redraw(hwnd);
}

// While held, the button shows pushed only with the pointer on it.
void OnMouseMove(HWND hwnd, ButtonState* st, LPARAM point) {
    if (!st->mouseDown) return;
    const bool in = Inside(hwnd, point);
    if (in != st->pushed) {
        st->pushed = in;
        Redraw(hwnd);
    }
}

void OnLButtonUp(HWND hwnd, ButtonState* st, LPARAM point) {
    if (!st->mouseDown) return;
    const bool in = Inside(hwnd, point);
    st->mouseDown = false;
    st->pushed = false;
    if (GetCapture() == hwnd) ReleaseCapture();
    Redraw(hwnd);
    if (in) Click(hwnd);
}

void OnCaptureChanged(HWND hwnd, ButtonState* st, HWND taker) {
    if (!st->mouseDown || taker == hwnd) return;
    st->mouseDown = false;
    st->pushed = false;
    Redraw(hwnd);
}

// Space pushes the button on its first key down (not on repeats) and clicks it on release.
void OnKey(HWND hwnd, ButtonState* st, DWORD type, bool down, WPARAM vk, LPARAM lParam) {
    if (vk != VK_SPACE) return;
    if (down) {
        if (type == BS_GROUPBOX || (lParam & (1 << 30))) return;
        st->spaceDown = true;
        st->pushed = true;
        Redraw(hwnd);
    } else if (st->spaceDown) {
        st->spaceDown = false;
        st->pushed = false;
        Redraw(hwnd);
        Click(hwnd);
    }
}

void OnSetState(HWND hwnd, ButtonState* st, bool pushed) {
    if (st->pushed == pushed) return;
    st->pushed = pushed;
    Redraw(hwnd);
}

void OnSetStyle(HWND hwnd, WPARAM buttonStyle, LPARAM redraw) {
    const LONG style = GetWindowLong(hwnd, GWL_STYLE);
    const LONG next = (style & ~0xFFFF) | static_cast<LONG>(buttonStyle & 0xFFFF);
    if (next == style) return;
    SetWindowLong(hwnd, GWL_STYLE, next);
    if (redraw) Redraw(hwnd);
}

void OnClickMessage(HWND hwnd, DWORD type) {
    if (!IsWindowEnabled(hwnd) || type == BS_GROUPBOX) return;
    if (!HasFocus(hwnd)) SetFocus(hwnd);
    if (IsWindow(hwnd)) Click(hwnd);
}

LRESULT ButtonMessage(HWND hwnd, ButtonState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    const DWORD type = Type(hwnd);
    switch (msg) {
        case WM_GETDLGCODE:
            return DialogCode(type);
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) Redraw(hwnd);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_SETTEXT: {
            const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
            if (type == BS_GROUPBOX) InvalidateRect(GetParent(hwnd), nullptr, TRUE);
            Redraw(hwnd);
            return r;
        }
        case WM_ENABLE:
            Redraw(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return PaintNow(hwnd, Paint);
        case WM_SETFOCUS:
            Redraw(hwnd);
            ControlGotFocus(hwnd);
            if (GetWindowLong(hwnd, GWL_STYLE) & BS_NOTIFY) Notify(hwnd, BN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(hwnd, st);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLButtonDown(hwnd, st, type, msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(hwnd, st, lParam);
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(hwnd, st, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged(hwnd, st, reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            OnKey(hwnd, st, type, msg == WM_KEYDOWN, wParam, lParam);
            return 0;
        case BM_GETCHECK:
            return st->check;
        case BM_SETCHECK:
            SetCheck(hwnd, st, static_cast<UINT>(wParam));
            return 0;
        case BM_GETSTATE:
            return st->check | (st->pushed ? BST_PUSHED : 0) | (HasFocus(hwnd) ? BST_FOCUS : 0);
        case BM_SETSTATE:
            OnSetState(hwnd, st, wParam != 0);
            return 0;
        case BM_SETSTYLE:
            OnSetStyle(hwnd, wParam, lParam);
            return 0;
        case BM_CLICK:
            OnClickMessage(hwnd, type);
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<ButtonState>(hwnd, msg, wParam, lParam, MakeState<ButtonState>, ButtonMessage);
}

const ControlClass kButtonClass{"BUTTON", ButtonProc, CS_DBLCLKS, IDC_ARROW, RUNTIME_CLASS(CButton)};

}  // namespace plat::dlg
