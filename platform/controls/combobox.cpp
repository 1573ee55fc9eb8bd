// The "COMBOBOX" class as a drop-down list: a selection field with a button, and a list
// (a "ComboLBox" pop-up owned by the combo box's window) that drops below it. The same
// operations as the list box (sorted add, insert, delete, find, select, text, count). The
// styles CBS_DROPDOWN and CBS_SIMPLE behave as a drop-down list too.
#include <algorithm>
#include <cstring>

#include "platform/core/display.h"
#include "platform/afxwin/cwnd.h"
#include "platform/controls/controls.h"
#include "platform/controls/controls_internal.h"

namespace plat::dlg {
namespace {

constexpr int kButtonWidth = 16;

struct ComboState {
    HWND list = nullptr;
    HFONT font = nullptr;
    int itemHeight = 13;
    int fieldHeight = 21;
    int dropHeight = 100;  // the template's height: field and list together
    bool dropped = false;
    int selAtDrop = -1;
};

ComboState* State(HWND hwnd) {
    return StateOf<ComboState>(hwnd);
}

LRESULT ToList(ComboState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    return st->list && IsWindow(st->list) ? SendMessage(st->list, msg, wParam, lParam) : CB_ERR;
}

int Current(ComboState* st) {
    const LRESULT r = ToList(st, LB_GETCURSEL, 0, 0);
    return r < 0 ? -1 : static_cast<int>(r);
}

std::string ItemText(ComboState* st, int i) {
    const LRESULT n = ToList(st, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n < 0) return {};
    std::string s(static_cast<size_t>(n) + 1, '\0');
    ToList(st, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

void FitField(HWND hwnd, ComboState* st) {
    RECT wr;
    GetWindowRect(hwnd, &wr);
    if (wr.bottom - wr.top != st->fieldHeight)
        SetWindowPos(hwnd, nullptr, 0, 0, wr.right - wr.left, st->fieldHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Close(HWND hwnd, ComboState* st, bool chosen) {
    if (!st->dropped) return;
    st->dropped = false;
    if (st->list && IsWindow(st->list)) {
        if (GetCapture() == st->list) ReleaseCapture();
        ShowWindow(st->list, SW_HIDE);
    }
    Redraw(hwnd);
    const int now = Current(st);
    if (!chosen) ToList(st, LB_SETCURSEL, static_cast<WPARAM>(st->selAtDrop), 0);
    Notify(hwnd, CBN_CLOSEUP);
    if (!IsWindow(hwnd)) return;
    if (chosen && now != st->selAtDrop) {
        Notify(hwnd, CBN_SELENDOK);
        if (IsWindow(hwnd)) Notify(hwnd, CBN_SELCHANGE);
    } else {
        Notify(hwnd, CBN_SELENDCANCEL);
    }
}

void Drop(HWND hwnd, ComboState* st) {
    if (st->dropped || !st->list || !IsWindow(st->list)) return;
    Notify(hwnd, CBN_DROPDOWN);
    if (!IsWindow(hwnd)) return;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    const int count = static_cast<int>(std::max<LRESULT>(1, ToList(st, LB_GETCOUNT, 0, 0)));
    const int room = std::max(st->itemHeight, st->dropHeight - st->fieldHeight);
    const int height = std::min(room, count * st->itemHeight) + 2;
    int y = wr.bottom;
    if (y + height > kScreenHeight && wr.top - height >= 0) y = wr.top - height;
    st->selAtDrop = Current(st);
    st->dropped = true;
    SetWindowPos(st->list, HWND_TOP, wr.left, y, wr.right - wr.left, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ToList(st, LB_SETCURSEL, static_cast<WPARAM>(st->selAtDrop), 0);
    SetCapture(st->list);
    Redraw(hwnd);
}

void UserSelect(HWND hwnd, ComboState* st, int index) {
    const int count = static_cast<int>(ToList(st, LB_GETCOUNT, 0, 0));
    if (count <= 0) return;
    index = std::clamp(index, 0, count - 1);
    if (index == Current(st)) return;
    ToList(st, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Redraw(hwnd);
    Notify(hwnd, CBN_SELCHANGE);
}

void Paint(HWND hwnd, HDC dc) {
    ComboState* st = State(hwnd);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const bool focused = HasFocus(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH brush = ControlColours(hwnd, dc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
    const COLORREF textColour = enabled ? GetTextColor(dc) : kGrayText;
    SunkenEdge(dc, rc);
    const RECT inner = Inset(rc, 2);
    const RECT button{inner.right - kButtonWidth, inner.top, inner.right, inner.bottom};
    const RECT field{inner.left, inner.top, button.left, inner.bottom};
    FillRect(dc, &field, brush);
    ArrowButton(dc, button, Arrow::Down, st->dropped, enabled);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    SetBkMode(dc, TRANSPARENT);
    const int cur = Current(st);
    const RECT box = Inset(field, 1);
    if (focused && !st->dropped && enabled) {
        Fill(dc, box, kSelection);
        SetTextColor(dc, kSelectionText);
    } else {
        SetTextColor(dc, textColour);
    }
    if (cur >= 0) {
        const std::string text = ItemText(st, cur);
        RECT tr{box.left + 2, box.top, box.right, box.bottom};
        DrawText(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (focused && !st->dropped) FocusRect(dc, box);
    SelectObject(dc, oldFont);
}

LRESULT OnCreate(HWND hwnd, ComboState* st) {
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    HWND top = hwnd;
    while (GetWindowLong(top, GWL_STYLE) & WS_CHILD) top = GetParent(top);
    st->list = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kComboListClass, "",
                              WS_POPUP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | ((style & CBS_SORT) ? LBS_SORT : 0), 0, 0,
                              10, 10, top, nullptr, nullptr, hwnd);
    if (!st->list) return -1;
    FitField(hwnd, st);
    return 0;
}

void OnSetFont(HWND hwnd, ComboState* st, WPARAM font, LPARAM redraw) {
    st->font = reinterpret_cast<HFONT>(font);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
    st->itemHeight = std::max(1, TextHeight(dc));
    SelectObject(dc, old);
    DeleteDC(dc);
    st->fieldHeight = st->itemHeight + 8;
    ToList(st, WM_SETFONT, font, 0);
    FitField(hwnd, st);
    if (redraw) Redraw(hwnd);
}

void OnKillFocus(HWND hwnd, ComboState* st) {
    Close(hwnd, st, false);
    if (!IsWindow(hwnd)) return;
    Redraw(hwnd);
    Notify(hwnd, CBN_KILLFOCUS);
}

// A click on the field, or Alt+Up/Down: the list drops, or closes with the choice.
void ToggleDrop(HWND hwnd, ComboState* st) {
    if (st->dropped)
        Close(hwnd, st, true);
    else
        Drop(hwnd, st);
}

void OnKeyDown(HWND hwnd, ComboState* st, WPARAM vk, LPARAM lParam) {
    if (st->dropped) {
        if (vk == VK_RETURN || vk == VK_F4) Close(hwnd, st, true);
        else if (vk == VK_ESCAPE) Close(hwnd, st, false);
        else ToList(st, WM_KEYDOWN, vk, lParam);
        return;
    }
    const int cur = Current(st);
    const int count = static_cast<int>(ToList(st, LB_GETCOUNT, 0, 0));
    switch (vk) {
        case VK_F4: Drop(hwnd, st); break;
        case VK_UP:
        case VK_LEFT: UserSelect(hwnd, st, cur < 0 ? 0 : cur - 1); break;
        case VK_DOWN:
        case VK_RIGHT: UserSelect(hwnd, st, cur < 0 ? 0 : cur + 1); break;
        case VK_PRIOR: UserSelect(hwnd, st, (cur < 0 ? 0 : cur) - 8); break;
        case VK_NEXT: UserSelect(hwnd, st, (cur < 0 ? 0 : cur) + 8); break;
        case VK_HOME: UserSelect(hwnd, st, 0); break;
        case VK_END: UserSelect(hwnd, st, count - 1); break;
        default: break;
    }
}

// A letter chooses the next item beginning with it.
void OnChar(HWND hwnd, ComboState* st, uint8_t ch) {
    if (ch < 0x20) return;
    const LRESULT found = ToList(st, LB_FINDSTRING, static_cast<WPARAM>(Current(st)),
                                 reinterpret_cast<LPARAM>(std::string(1, static_cast<char>(ch)).c_str()));
    if (found < 0) return;
    if (st->dropped)
        ToList(st, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    else
        UserSelect(hwnd, st, static_cast<int>(found));
}

// The field's text is the chosen item's.
LRESULT OnGetText(ComboState* st, WPARAM size, LPARAM buffer) {
    auto* buf = reinterpret_cast<char*>(buffer);
    if (!buf || size == 0) return 0;
    const int cur = Current(st);
    const std::string text = cur >= 0 ? ItemText(st, cur) : std::string();
    const size_t n = std::min<size_t>(size - 1, text.size());
    std::memcpy(buf, text.data(), n);
    buf[n] = 0;
    return static_cast<LRESULT>(n);
}

LRESULT OnSetText(HWND hwnd, ComboState* st, LPARAM text) {
    const LRESULT found = ToList(st, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text);
    if (found < 0) return CB_ERR;
    ToList(st, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    Redraw(hwnd);
    return TRUE;
}

LRESULT OnSetItemHeight(HWND hwnd, ComboState* st, WPARAM which, LPARAM height) {
    if (height <= 0 || height > 255) return CB_ERR;
    if (static_cast<int>(which) == -1) {
        st->fieldHeight = static_cast<int>(height) + 6;
        FitField(hwnd, st);
    } else {
        st->itemHeight = static_cast<int>(height);
        ToList(st, LB_SETITEMHEIGHT, 0, height);
    }
    return CB_OKAY;
}

LRESULT OnGetDroppedRect(HWND hwnd, const ComboState* st, LPARAM out) {
    auto* r = reinterpret_cast<RECT*>(out);
    if (!r) return CB_ERR;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    *r = RECT{wr.left, wr.top, wr.right, wr.top + st->dropHeight};
    return CB_OKAY;
}

// The combo box messages its list answers: the list box message, which arguments go on, and
// whether the field shows a change.
struct ListForward {
    UINT combo;
    UINT list;
    bool passWParam;
    bool passLParam;
    bool redraw;
};
constexpr ListForward kListForwards[] = {
    {CB_ADDSTRING, LB_ADDSTRING, true, true, true},
    {CB_INSERTSTRING, LB_INSERTSTRING, true, true, true},
    {CB_DELETESTRING, LB_DELETESTRING, true, true, true},
    {CB_SETCURSEL, LB_SETCURSEL, true, false, true},
    {CB_SELECTSTRING, LB_SELECTSTRING, true, true, true},
    {CB_GETCOUNT, LB_GETCOUNT, false, false, false},
    {CB_GETCURSEL, LB_GETCURSEL, false, false, false},
    {CB_GETLBTEXT, LB_GETTEXT, true, true, false},
    {CB_GETLBTEXTLEN, LB_GETTEXTLEN, true, false, false},
    {CB_FINDSTRING, LB_FINDSTRING, true, true, false},
    {CB_FINDSTRINGEXACT, LB_FINDSTRINGEXACT, true, true, false},
    {CB_GETITEMDATA, LB_GETITEMDATA, true, false, false},
    {CB_SETITEMDATA, LB_SETITEMDATA, true, true, false},
};

bool ForwardToList(HWND hwnd, ComboState* st, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    for (const ListForward& f : kListForwards) {
        if (f.combo != msg) continue;
        *result = ToList(st, f.list, f.passWParam ? wParam : 0, f.passLParam ? lParam : 0);
        if (f.redraw) Redraw(hwnd);
        return true;
    }
    return false;
}

void MakeComboState(HWND hwnd, const CREATESTRUCT* cs) {
    auto* s = new ComboState;
    if (cs) s->dropHeight = cs->cy;
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
}

void DestroyComboState(HWND, ComboState* st) {
    if (st->list && IsWindow(st->list)) DestroyWindow(st->list);
}

LRESULT ComboBoxMessage(HWND hwnd, ComboState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT forwarded = 0;
    if (ForwardToList(hwnd, st, msg, wParam, lParam, &forwarded)) return forwarded;
    switch (msg) {
        case WM_CREATE:
            return OnCreate(hwnd, st);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS | (st->dropped ? DLGC_WANTALLKEYS : 0);
        case WM_SETFONT:
            OnSetFont(hwnd, st, wParam, lParam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_ENABLE:
            if (!wParam) Close(hwnd, st, false);
            Redraw(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return PaintNow(hwnd, Paint);
        case WM_SETFOCUS:
            Redraw(hwnd);
            ControlGotFocus(hwnd);
            Notify(hwnd, CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(hwnd, st);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!HasFocus(hwnd)) SetFocus(hwnd);
            if (IsWindow(hwnd)) ToggleDrop(hwnd, st);
            return 0;
        case kMsgComboListDone:
            Close(hwnd, st, wParam != 0);
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam != VK_DOWN && wParam != VK_UP) return DefWindowProc(hwnd, msg, wParam, lParam);
            ToggleDrop(hwnd, st);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(hwnd, st, wParam, lParam);
            return 0;
        case WM_CHAR:
            OnChar(hwnd, st, static_cast<uint8_t>(wParam));
            return 0;
        case WM_GETTEXT:
            return OnGetText(st, wParam, lParam);
        case WM_GETTEXTLENGTH: {
            const int cur = Current(st);
            return cur >= 0 ? ToList(st, LB_GETTEXTLEN, static_cast<WPARAM>(cur), 0) : 0;
        }
        case WM_SETTEXT:
            return OnSetText(hwnd, st, lParam);
        case CB_RESETCONTENT:
            ToList(st, LB_RESETCONTENT, 0, 0);
            Redraw(hwnd);
            return CB_OKAY;
        case CB_GETITEMHEIGHT:
            return static_cast<int>(wParam) == -1 ? st->fieldHeight - 6 : st->itemHeight;
        case CB_SETITEMHEIGHT:
            return OnSetItemHeight(hwnd, st, wParam, lParam);
        case CB_SHOWDROPDOWN:
            if (wParam) Drop(hwnd, st);
            else Close(hwnd, st, false);
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return st->dropped ? TRUE : FALSE;
        case CB_GETDROPPEDCONTROLRECT:
            return OnGetDroppedRect(hwnd, st, lParam);
        case CB_LIMITTEXT:
        case CB_SETEDITSEL:
            return TRUE;
        case CB_GETEDITSEL:
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<ComboState>(hwnd, msg, wParam, lParam, MakeComboState, ComboBoxMessage, DestroyComboState);
}

const ControlClass kComboBoxClass{"COMBOBOX", ComboBoxProc, CS_DBLCLKS, IDC_ARROW, RUNTIME_CLASS(CComboBox)};

}  // namespace plat::dlg
