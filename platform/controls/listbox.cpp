// The "LISTBOX" class: a list of strings, sorted by Swedish collation when asked, with one
// selection (or several), a vertical scroll bar, keyboard and mouse; and "ComboLBox", the
// list that a combo box drops, which selects as the mouse moves and closes on a choice.
#include <algorithm>
#include <cstring>

#include "platform/afxwin/cwnd.h"
#include "platform/controls/controls.h"
#include "platform/controls/controls_internal.h"
#include "platform/strings/cp1252.h"

namespace plat::dlg {
namespace {

constexpr int kScrollWidth = 16;
constexpr UINT_PTR kRepeatTimer = 0x5C01;

struct ListState {
    ListModel model;
    int cur = -1;   // the selection (single) and the caret
    int top = 0;    // first visible item
    int itemHeight = 13;
    HFONT font = nullptr;
    bool mouseDown = false;
    ScrollPart pressed = ScrollPart::None;
    int thumbGrab = 0;
    bool dropList = false;  // the list of a combo box
    HWND combo = nullptr;
    bool closing = false;
};

ListState* State(HWND hwnd) {
    return StateOf<ListState>(hwnd);
}

DWORD Style(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
}

bool Multiple(HWND hwnd) {
    return (Style(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

int EdgeWidth(HWND hwnd) {
    if (GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) return 2;
    return 0;
}

RECT Inner(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return Inset(rc, EdgeWidth(hwnd));
}

int Visible(HWND hwnd, const ListState* st) {
    const RECT in = Inner(hwnd);
    return std::max(1, static_cast<int>(in.bottom - in.top) / std::max(1, st->itemHeight));
}

bool ShowsScrollBar(HWND hwnd, const ListState* st) {
    if (!(Style(hwnd) & WS_VSCROLL)) return false;
    return st->model.Count() > Visible(hwnd, st) || (Style(hwnd) & LBS_DISABLENOSCROLL);
}

RECT ScrollRect(HWND hwnd) {
    const RECT in = Inner(hwnd);
    return RECT{in.right - kScrollWidth, in.top, in.right, in.bottom};
}

RECT ItemsRect(HWND hwnd, const ListState* st) {
    RECT in = Inner(hwnd);
    if (ShowsScrollBar(hwnd, st)) in.right -= kScrollWidth;
    return in;
}

ScrollModel Scroll(HWND hwnd, const ListState* st) {
    ScrollModel m;
    m.vertical = true;
    m.min = 0;
    m.max = std::max(0, st->model.Count() - 1);
    m.page = static_cast<UINT>(Visible(hwnd, st));
    m.pos = st->top;
    m.enabled = IsWindowEnabled(hwnd) && st->model.Count() > Visible(hwnd, st);
    return m;
}

void SetTop(HWND hwnd, ListState* st, int top) {
    top = std::clamp(top, 0, std::max(0, st->model.Count() - Visible(hwnd, st)));
    if (top != st->top) {
        st->top = top;
        Redraw(hwnd);
    }
}

void EnsureVisible(HWND hwnd, ListState* st, int index) {
    if (index < 0) return;
    if (index < st->top) SetTop(hwnd, st, index);
    else if (index >= st->top + Visible(hwnd, st)) SetTop(hwnd, st, index - Visible(hwnd, st) + 1);
}

void Select(HWND hwnd, ListState* st, int index) {
    if (!st->model.Valid(index)) index = -1;
    if (!Multiple(hwnd)) {
        for (auto& it : st->model.items) it.selected = false;
        if (index >= 0) st->model.items[static_cast<size_t>(index)].selected = true;
    }
    st->cur = index;
    EnsureVisible(hwnd, st, index);
    Redraw(hwnd);
}

// A choice by the user: the selection moves and the parent is told.
void UserSelect(HWND hwnd, ListState* st, int index) {
    if (!st->model.Valid(index)) return;
    const bool changed = index != st->cur || (!Multiple(hwnd) && !st->model.items[static_cast<size_t>(index)].selected);
    if (Multiple(hwnd)) {
        auto& item = st->model.items[static_cast<size_t>(index)];
        item.selected = !item.selected;
        st->cur = index;
        EnsureVisible(hwnd, st, index);
        Redraw(hwnd);
    } else {
        Select(hwnd, st, index);
    }
    if ((changed || Multiple(hwnd)) && (Style(hwnd) & LBS_NOTIFY) && !st->dropList) Notify(hwnd, LBN_SELCHANGE);
}

int ItemAt(HWND hwnd, const ListState* st, POINT p) {
    const RECT r = ItemsRect(hwnd, st);
    if (p.x < r.left || p.x >= r.right || p.y < r.top || p.y >= r.bottom) return -1;
    const int i = st->top + static_cast<int>(p.y - r.top) / std::max(1, st->itemHeight);
    return st->model.Valid(i) ? i : -1;
}

void Paint(HWND hwnd, HDC dc) {
    ListState* st = State(hwnd);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const bool focused = HasFocus(hwnd) || (st->dropList);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH brush = ControlColours(st->combo ? st->combo : hwnd, dc, WM_CTLCOLORLISTBOX);
    const COLORREF textColour = enabled ? GetTextColor(dc) : kGrayText;
    if (st->dropList) Edge(dc, rc, kDark, kDark);
    else if (EdgeWidth(hwnd)) SunkenEdge(dc, rc);
    const RECT items = ItemsRect(hwnd, st);
    FillRect(dc, &items, brush);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    SetBkMode(dc, TRANSPARENT);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, items.left, items.top, items.right, items.bottom);
    for (int i = st->top; i < st->model.Count(); ++i) {
        const int y = items.top + (i - st->top) * st->itemHeight;
        if (y >= items.bottom) break;
        const ListItem& item = st->model.items[static_cast<size_t>(i)];
        const RECT r{items.left, y, items.right, y + st->itemHeight};
        if (item.selected && enabled) {
            Fill(dc, r, kSelection);
            SetTextColor(dc, kSelectionText);
        } else {
            SetTextColor(dc, textColour);
        }
        RECT tr{r.left + 2, r.top, r.right, r.bottom};
        DrawText(dc, item.text.c_str(), static_cast<int>(item.text.size()), &tr,
                 DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | ((Style(hwnd) & LBS_USETABSTOPS) ? static_cast<UINT>(DT_EXPANDTABS) : 0u));
        if (focused && i == st->cur && !st->dropList) FocusRect(dc, r);
    }
    if (focused && st->cur < 0 && !st->dropList && HasFocus(hwnd))
        FocusRect(dc, RECT{items.left, items.top, items.right, items.top + st->itemHeight});
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
    if (ShowsScrollBar(hwnd, st)) PaintScrollBar(dc, ScrollRect(hwnd), Scroll(hwnd, st), st->pressed, false);
}

void ScrollStep(HWND hwnd, ListState* st, ScrollPart part) {
    switch (part) {
        case ScrollPart::LineUp: SetTop(hwnd, st, st->top - 1); break;
        case ScrollPart::LineDown: SetTop(hwnd, st, st->top + 1); break;
        case ScrollPart::PageUp: SetTop(hwnd, st, st->top - Visible(hwnd, st)); break;
        case ScrollPart::PageDown: SetTop(hwnd, st, st->top + Visible(hwnd, st)); break;
        default: break;
    }
}

void KeyDown(HWND hwnd, ListState* st, WPARAM vk) {
    const int n = st->model.Count();
    if (n == 0) return;
    int i = st->cur;
    const int page = std::max(1, Visible(hwnd, st) - 1);
    switch (vk) {
        case VK_UP:
        case VK_LEFT: i = i < 0 ? 0 : std::max(0, i - 1); break;
        case VK_DOWN:
        case VK_RIGHT: i = i < 0 ? 0 : std::min(n - 1, i + 1); break;
        case VK_PRIOR: i = std::max(0, (i < 0 ? 0 : i) - page); break;
        case VK_NEXT: i = std::min(n - 1, (i < 0 ? 0 : i) + page); break;
        case VK_HOME: i = 0; break;
        case VK_END: i = n - 1; break;
        case VK_SPACE:
            if (Multiple(hwnd) && st->cur >= 0) UserSelect(hwnd, st, st->cur);
            return;
        default: return;
    }
    if (Multiple(hwnd)) {
        st->cur = i;
        EnsureVisible(hwnd, st, i);
        Redraw(hwnd);
        return;
    }
    if (i != st->cur) UserSelect(hwnd, st, i);
}

void CharTyped(HWND hwnd, ListState* st, uint8_t ch) {
    if (ch < 0x20) return;
    const int found = st->model.Find(st->cur, std::string(1, static_cast<char>(ch)), false);
    if (found >= 0 && found != st->cur) UserSelect(hwnd, st, found);
}

void StopRepeat(HWND hwnd, ListState* st) {
    KillTimer(hwnd, kRepeatTimer);
    st->pressed = ScrollPart::None;
    Redraw(hwnd);
}

LRESULT CopyText(const std::string& s, LPARAM buffer) {
    auto* out = reinterpret_cast<char*>(buffer);
    if (!out) return LB_ERR;
    std::memcpy(out, s.c_str(), s.size() + 1);
    return static_cast<LRESULT>(s.size());
}

void FitIntegralHeight(HWND hwnd, ListState* st) {
    if (st->dropList || (Style(hwnd) & LBS_NOINTEGRALHEIGHT)) return;
    RECT wr;
    GetWindowRect(hwnd, &wr);
    const int edge = 2 * EdgeWidth(hwnd);
    const int inner = std::max(0, static_cast<int>(wr.bottom - wr.top) - edge);
    const int fitted = std::max(st->itemHeight, inner / st->itemHeight * st->itemHeight);
    if (fitted != inner)
        SetWindowPos(hwnd, nullptr, 0, 0, wr.right - wr.left, fitted + edge, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The combo box is told that its dropped list closed (1: chosen, 0: cancelled).
void CloseDrop(HWND hwnd, ListState* st, bool chosen) {
    if (st->closing) return;
    st->closing = true;
    if (GetCapture() == hwnd) ReleaseCapture();
    HWND combo = st->combo;
    if (combo && IsWindow(combo)) SendMessage(combo, kMsgComboListDone, chosen ? 1 : 0, 0);
    if (IsWindow(hwnd)) st->closing = false;
}

const char* TextArg(LPARAM lParam) {
    return lParam ? reinterpret_cast<const char*>(lParam) : "";
}

// An item was added at i: the current item keeps its place.
LRESULT Added(HWND hwnd, ListState* st, int i) {
    if (st->cur >= i) ++st->cur;
    Redraw(hwnd);
    return i;
}

LRESULT OnDeleteString(HWND hwnd, ListState* st, int i) {
    if (!st->model.Delete(i)) return LB_ERR;
    if (st->cur == i) st->cur = -1;
    else if (st->cur > i) --st->cur;
    SetTop(hwnd, st, st->top);
    Redraw(hwnd);
    return st->model.Count();
}

// LB_SETSEL of a list with several selections: one item, or all (-1).
LRESULT OnSetSel(HWND hwnd, ListState* st, bool selected, int i) {
    if (!Multiple(hwnd)) return LB_ERR;
    if (i == -1) {
        for (auto& it : st->model.items) it.selected = selected;
    } else if (st->model.Valid(i)) {
        st->model.items[static_cast<size_t>(i)].selected = selected;
    } else {
        return LB_ERR;
    }
    Redraw(hwnd);
    return 0;
}

LRESULT OnSelectString(HWND hwnd, ListState* st, int after, LPARAM text) {
    const int i = st->model.Find(after, TextArg(text), false);
    if (i < 0) return LB_ERR;
    Select(hwnd, st, i);
    return i;
}

LRESULT OnGetItemRect(HWND hwnd, const ListState* st, int i, RECT* r) {
    if (!st->model.Valid(i) || !r) return LB_ERR;
    const RECT items = ItemsRect(hwnd, st);
    const int y = items.top + (i - st->top) * st->itemHeight;
    *r = RECT{items.left, y, items.right, y + st->itemHeight};
    return 0;
}

LRESULT ListMessage(HWND hwnd, ListState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case LB_ADDSTRING:
            return Added(hwnd, st, st->model.Add(TextArg(lParam)));
        case LB_INSERTSTRING:
            return Added(hwnd, st, st->model.Insert(static_cast<int>(wParam), TextArg(lParam)));
        case LB_DELETESTRING:
            return OnDeleteString(hwnd, st, static_cast<int>(wParam));
        case LB_RESETCONTENT:
            st->model.items.clear();
            st->cur = -1;
            st->top = 0;
            Redraw(hwnd);
            return 0;
        case LB_SETCURSEL: {
            const int i = static_cast<int>(wParam);
            Select(hwnd, st, i);
            return st->model.Valid(i) ? i : LB_ERR;
        }
        case LB_GETCURSEL:
            if (Multiple(hwnd)) return st->cur;
            return st->cur >= 0 && st->model.items[static_cast<size_t>(st->cur)].selected ? st->cur : LB_ERR;
        case LB_SETSEL:
            return OnSetSel(hwnd, st, wParam != 0, static_cast<int>(lParam));
        case LB_GETSEL: {
            const int i = static_cast<int>(wParam);
            return st->model.Valid(i) ? (st->model.items[static_cast<size_t>(i)].selected ? 1 : 0) : LB_ERR;
        }
        case LB_GETSELCOUNT: {
            if (!Multiple(hwnd)) return LB_ERR;
            return std::count_if(st->model.items.begin(), st->model.items.end(),
                                 [](const ListItem& it) { return it.selected; });
        }
        case LB_GETTEXT: {
            const int i = static_cast<int>(wParam);
            return st->model.Valid(i) ? CopyText(st->model.items[static_cast<size_t>(i)].text, lParam) : LB_ERR;
        }
        case LB_GETTEXTLEN: {
            const int i = static_cast<int>(wParam);
            return st->model.Valid(i) ? static_cast<LRESULT>(st->model.items[static_cast<size_t>(i)].text.size())
                                      : LB_ERR;
        }
        case LB_GETCOUNT:
            return st->model.Count();
        case LB_FINDSTRING:
        case LB_FINDSTRINGEXACT: {
            const int i = st->model.Find(static_cast<int>(wParam), TextArg(lParam), msg == LB_FINDSTRINGEXACT);
            return i >= 0 ? i : LB_ERR;
        }
        case LB_SELECTSTRING:
            return OnSelectString(hwnd, st, static_cast<int>(wParam), lParam);
        case LB_GETTOPINDEX:
            return st->top;
        case LB_SETTOPINDEX:
            if (!st->model.Valid(static_cast<int>(wParam)) && wParam != 0) return LB_ERR;
            SetTop(hwnd, st, static_cast<int>(wParam));
            return 0;
        case LB_GETITEMDATA: {
            const int i = static_cast<int>(wParam);
            return st->model.Valid(i) ? st->model.items[static_cast<size_t>(i)].data : LB_ERR;
        }
        case LB_SETITEMDATA: {
            const int i = static_cast<int>(wParam);
            if (!st->model.Valid(i)) return LB_ERR;
            st->model.items[static_cast<size_t>(i)].data = lParam;
            return 0;
        }
        case LB_GETITEMHEIGHT:
            return st->itemHeight;
        case LB_SETITEMHEIGHT:
            if (lParam <= 0 || lParam > 255) return LB_ERR;
            st->itemHeight = static_cast<int>(lParam);
            Redraw(hwnd);
            return 0;
        case LB_GETITEMRECT:
            return OnGetItemRect(hwnd, st, static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam));
        case LB_SETCARETINDEX:
            if (!st->model.Valid(static_cast<int>(wParam))) return LB_ERR;
            if (Multiple(hwnd)) st->cur = static_cast<int>(wParam);
            EnsureVisible(hwnd, st, static_cast<int>(wParam));
            Redraw(hwnd);
            return 0;
        case LB_GETCARETINDEX:
            return st->cur;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void OnNcCreate(HWND hwnd, const CREATESTRUCT* cs, bool dropList) {
    auto* s = new ListState;
    s->dropList = dropList;
    if (dropList && cs) s->combo = static_cast<HWND>(cs->lpCreateParams);
    LONG style = GetWindowLong(hwnd, GWL_STYLE);
    s->model.sorted = (style & LBS_SORT) != 0;
    if (style & WS_BORDER && !dropList) {
        SetWindowLong(hwnd, GWL_STYLE, style & ~static_cast<LONG>(WS_BORDER));
        SetWindowLong(hwnd, GWL_EXSTYLE, GetWindowLong(hwnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    }
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
}

void OnSetFont(HWND hwnd, ListState* st, WPARAM font, LPARAM redraw) {
    st->font = reinterpret_cast<HFONT>(font);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
    st->itemHeight = std::max(1, TextHeight(dc));
    SelectObject(dc, old);
    DeleteDC(dc);
    FitIntegralHeight(hwnd, st);
    if (redraw) Redraw(hwnd);
}

void OnKeyDown(HWND hwnd, ListState* st, WPARAM vk) {
    if (st->dropList && (vk == VK_RETURN || vk == VK_F4)) {
        CloseDrop(hwnd, st, true);
        return;
    }
    if (st->dropList && vk == VK_ESCAPE) {
        CloseDrop(hwnd, st, false);
        return;
    }
    KeyDown(hwnd, st, vk);
}

// A press on the scroll bar's parts: true when it was on one.
bool PressScrollBar(HWND hwnd, ListState* st, POINT p) {
    if (!ShowsScrollBar(hwnd, st)) return false;
    const ScrollModel m = Scroll(hwnd, st);
    const ScrollPart part = HitScrollBar(ScrollRect(hwnd), m, p);
    if (part == ScrollPart::None) return false;
    st->pressed = part;
    if (part == ScrollPart::Thumb) {
        RECT a, b, t;
        m.Layout(ScrollRect(hwnd), a, b, t);
        st->thumbGrab = p.y - t.top;
    } else {
        ScrollStep(hwnd, st, part);
        SetTimer(hwnd, kRepeatTimer, 400, nullptr);
    }
    if (!st->dropList) SetCapture(hwnd);
    Redraw(hwnd);
    return true;
}

// A click outside a dropped list closes it; on an item it chooses the item.
void OnLButtonDown(HWND hwnd, ListState* st, POINT p, bool doubleClick) {
    if (st->dropList) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        if (p.x < rc.left || p.x >= rc.right || p.y < rc.top || p.y >= rc.bottom) {
            CloseDrop(hwnd, st, false);
            return;
        }
    } else if (!HasFocus(hwnd)) {
        SetFocus(hwnd);
        if (!IsWindow(hwnd)) return;
    }
    if (PressScrollBar(hwnd, st, p)) return;
    const int i = ItemAt(hwnd, st, p);
    if (i >= 0) {
        UserSelect(hwnd, st, i);
        if (!IsWindow(hwnd)) return;
        if (doubleClick && (Style(hwnd) & LBS_NOTIFY) && !st->dropList) Notify(hwnd, LBN_DBLCLK);
    }
    if (!IsWindow(hwnd)) return;
    st->mouseDown = true;
    if (!st->dropList) SetCapture(hwnd);
}

// The thumb follows the pointer; a held button (or a dropped list) selects the item under it.
void OnMouseMove(HWND hwnd, ListState* st, POINT p) {
    if (st->pressed == ScrollPart::Thumb) {
        const RECT sr = ScrollRect(hwnd);
        const int offset = p.y - st->thumbGrab - (sr.top + kScrollWidth);
        SetTop(hwnd, st, Scroll(hwnd, st).PosFromThumb(sr, offset));
        return;
    }
    if (st->pressed != ScrollPart::None || !(st->dropList || st->mouseDown)) return;
    const int i = ItemAt(hwnd, st, p);
    if (i < 0 || i == st->cur) return;
    if (st->dropList)
        Select(hwnd, st, i);
    else if (!Multiple(hwnd))
        UserSelect(hwnd, st, i);
}

void OnLButtonUp(HWND hwnd, ListState* st, POINT p) {
    const bool wasScroll = st->pressed != ScrollPart::None;
    if (wasScroll) StopRepeat(hwnd, st);
    const bool wasDown = st->mouseDown;
    st->mouseDown = false;
    if (!st->dropList && GetCapture() == hwnd) ReleaseCapture();
    if (st->dropList && wasDown && !wasScroll && ItemAt(hwnd, st, p) >= 0) CloseDrop(hwnd, st, true);
}

void OnCaptureLost(HWND hwnd, ListState* st) {
    st->mouseDown = false;
    if (st->pressed != ScrollPart::None) StopRepeat(hwnd, st);
    if (st->dropList && IsWindowVisible(hwnd)) CloseDrop(hwnd, st, false);
}

// The repeat of a held scroll arrow or page area, while the pointer stays on it.
void OnRepeat(HWND hwnd, ListState* st) {
    if (st->pressed == ScrollPart::None || st->pressed == ScrollPart::Thumb) {
        KillTimer(hwnd, kRepeatTimer);
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(hwnd, &cursor);
    if (HitScrollBar(ScrollRect(hwnd), Scroll(hwnd, st), cursor) == st->pressed) ScrollStep(hwnd, st, st->pressed);
    SetTimer(hwnd, kRepeatTimer, 50, nullptr);
}

LRESULT ListBoxMessage(HWND hwnd, ListState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_CREATE:
            FitIntegralHeight(hwnd, st);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFONT:
            OnSetFont(hwnd, st, wParam, lParam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
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
            if (Style(hwnd) & LBS_NOTIFY) Notify(hwnd, LBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            Redraw(hwnd);
            if (Style(hwnd) & LBS_NOTIFY) Notify(hwnd, LBN_KILLFOCUS);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(hwnd, st, wParam);
            return 0;
        case WM_CHAR:
            CharTyped(hwnd, st, static_cast<uint8_t>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLButtonDown(hwnd, st, p, msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(hwnd, st, p);
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(hwnd, st, p);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) OnCaptureLost(hwnd, st);
            return 0;
        case WM_TIMER:
            if (wParam == kRepeatTimer) OnRepeat(hwnd, st);
            return 0;
        default:
            return ListMessage(hwnd, st, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<ListState>(
        hwnd, msg, wParam, lParam, [](HWND h, const CREATESTRUCT* cs) { OnNcCreate(h, cs, false); }, ListBoxMessage);
}

LRESULT CALLBACK ComboListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<ListState>(
        hwnd, msg, wParam, lParam, [](HWND h, const CREATESTRUCT* cs) { OnNcCreate(h, cs, true); }, ListBoxMessage);
}

const ControlClass kListBoxClass{"LISTBOX", ListBoxProc, CS_DBLCLKS, IDC_ARROW, RUNTIME_CLASS(CListBox)};
// The dropped list of a combo box.
const ControlClass kComboListBoxClass{kComboListClass, ComboListProc, CS_DBLCLKS, IDC_ARROW, nullptr};

}  // namespace plat::dlg
