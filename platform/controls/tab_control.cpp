// The property sheet's tabs ("SysTabControl32"): a row of tabs along the top of the window,
// the chosen one raised, and the top line of the frame around the pages below them (the
// sheet draws the rest of that frame). Clicks and Left/Right choose a tab, telling the parent
// with WM_NOTIFY TCN_SELCHANGING (non-zero refuses) and TCN_SELCHANGE.
#include <algorithm>

#include "platform/afxwin/cwnd.h"
#include "platform/controls/controls_internal.h"

namespace plat::dlg {
namespace {

constexpr int kTabHeight = 18;  // a tab not chosen; the chosen one is 2 taller
constexpr int kTabPadding = 6;

struct TabState {
    std::vector<std::string> items;
    int cur = -1;
    HFONT font = nullptr;
};

TabState* State(HWND hwnd) {
    return StateOf<TabState>(hwnd);
}

// The rectangle of tab i (not raised), in client coordinates.
RECT TabRect(HWND hwnd, const TabState* st, int i) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
    int x = 2;
    RECT r{};
    for (int k = 0; k <= i && k < static_cast<int>(st->items.size()); ++k) {
        RECT calc{0, 0, 0, 0};
        const std::string& t = st->items[static_cast<size_t>(k)];
        DrawText(dc, t.c_str(), static_cast<int>(t.size()), &calc, DT_SINGLELINE | DT_CALCRECT);
        const int w = std::max(40, static_cast<int>(calc.right) + 2 * kTabPadding);
        r = RECT{x, 2, x + w, 2 + kTabHeight};
        x += w;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return r;
}

bool Choose(HWND hwnd, TabState* st, int index) {
    if (index < 0 || index >= static_cast<int>(st->items.size()) || index == st->cur) return false;
    HWND parent = GetParent(hwnd);
    NMHDR nm;
    nm.hwndFrom = hwnd;
    nm.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd));
    nm.code = TCN_SELCHANGING;
    if (parent && SendMessage(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm))) return false;
    if (!IsWindow(hwnd)) return false;
    st->cur = index;
    InvalidateRect(hwnd, nullptr, FALSE);
    nm.code = TCN_SELCHANGE;
    if (parent) SendMessage(parent, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
    return true;
}

void Paint(HWND hwnd, HDC dc) {
    TabState* st = State(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH brush = ControlColours(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &rc, brush);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    // The top line of the page frame.
    const int base = 2 + kTabHeight;
    Fill(dc, rc.left, base, rc.right - 1, base + 1, kHighlight);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    auto drawTab = [&](int i, bool chosen) {
        RECT r = TabRect(hwnd, st, i);
        if (chosen) r = RECT{r.left - 2, r.top - 2, r.right + 2, r.bottom + 1};
        Fill(dc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom}, kFace);
        Fill(dc, r.left, r.top + 2, r.left + 1, r.bottom, kHighlight);       // left
        Fill(dc, r.left + 1, r.top + 1, r.left + 2, r.top + 2, kHighlight);  // corner
        Fill(dc, r.left + 2, r.top, r.right - 2, r.top + 1, kHighlight);     // top
        Fill(dc, r.right - 2, r.top + 1, r.right - 1, r.top + 2, kDark);     // corner
        Fill(dc, r.right - 1, r.top + 2, r.right, r.bottom, kDark);          // right
        Fill(dc, r.right - 2, r.top + 2, r.right - 1, r.bottom, kShadow);
        const std::string& t = st->items[static_cast<size_t>(i)];
        RECT tr{r.left, r.top + (chosen ? 1 : 2), r.right, r.bottom};
        DrawStateText(dc, t, tr, DT_SINGLELINE | DT_CENTER | DT_VCENTER, enabled, kWindowText);
        if (chosen && HasFocus(hwnd)) {
            RECT calc{0, 0, 0, 0};
            DrawText(dc, t.c_str(), static_cast<int>(t.size()), &calc, DT_SINGLELINE | DT_CALCRECT);
            const int w = calc.right, cx = (tr.left + tr.right) / 2, cy = (tr.top + tr.bottom) / 2;
            FocusRect(dc, RECT{cx - w / 2 - 3, cy - calc.bottom / 2 - 1, cx - w / 2 + w + 3, cy - calc.bottom / 2 + calc.bottom + 1});
        }
    };
    for (int i = 0; i < static_cast<int>(st->items.size()); ++i)
        if (i != st->cur) drawTab(i, false);
    if (st->cur >= 0 && st->cur < static_cast<int>(st->items.size())) drawTab(st->cur, true);
    SelectObject(dc, oldFont);
}

// A click on a tab chooses it.
void OnLButtonDown(HWND hwnd, TabState* st, POINT p) {
    for (int i = 0; i < static_cast<int>(st->items.size()); ++i) {
        const RECT r = TabRect(hwnd, st, i);
        if (p.x >= r.left && p.x < r.right && p.y >= 0 && p.y < r.bottom) {
            if (!HasFocus(hwnd) && (GetWindowLong(hwnd, GWL_STYLE) & WS_TABSTOP)) SetFocus(hwnd);
            if (IsWindow(hwnd)) Choose(hwnd, st, i);
            return;
        }
    }
}

bool ValidTab(const TabState* st, int i) {
    return i >= 0 && i < static_cast<int>(st->items.size());
}

LRESULT OnSetCurSel(HWND hwnd, TabState* st, int i) {
    const int old = st->cur;
    if (!ValidTab(st, i)) return -1;
    st->cur = i;
    InvalidateRect(hwnd, nullptr, FALSE);
    return old;
}

LRESULT OnInsertItem(HWND hwnd, TabState* st, int at, const TCITEM* item) {
    if (!item) return -1;
    const int i = std::clamp(at, 0, static_cast<int>(st->items.size()));
    st->items.insert(st->items.begin() + i, item->pszText ? item->pszText : "");
    if (st->cur < 0) st->cur = 0;
    else if (st->cur >= i && st->items.size() > 1) ++st->cur;
    InvalidateRect(hwnd, nullptr, FALSE);
    return i;
}

LRESULT OnSetItem(HWND hwnd, TabState* st, int i, const TCITEM* item) {
    if (!item || !ValidTab(st, i)) return FALSE;
    st->items[static_cast<size_t>(i)] = item->pszText ? item->pszText : "";
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

LRESULT OnDeleteItem(HWND hwnd, TabState* st, int i) {
    if (!ValidTab(st, i)) return FALSE;
    st->items.erase(st->items.begin() + i);
    if (st->cur >= static_cast<int>(st->items.size())) st->cur = static_cast<int>(st->items.size()) - 1;
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

LRESULT OnGetItemRect(HWND hwnd, TabState* st, int i, RECT* r) {
    if (!r || !ValidTab(st, i)) return FALSE;
    *r = TabRect(hwnd, st, i);
    return TRUE;
}

// The strip this window covers: tabs and the frame's top line.
void OnAdjustRect(bool larger, RECT* r) {
    if (!r) return;
    if (larger)
        r->top -= 3 + kTabHeight;
    else
        r->top += 3 + kTabHeight;
}

LRESULT TabControlMessage(HWND hwnd, TabState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return PaintNow(hwnd, Paint);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, FALSE);
            if (msg == WM_SETFOCUS) ControlGotFocus(hwnd);
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(hwnd, st, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_LEFT) Choose(hwnd, st, st->cur - 1);
            else if (wParam == VK_RIGHT) Choose(hwnd, st, st->cur + 1);
            return 0;
        case TCM_GETITEMCOUNT:
            return static_cast<LRESULT>(st->items.size());
        case TCM_GETCURSEL:
            return st->cur;
        case TCM_SETCURSEL:
            return OnSetCurSel(hwnd, st, static_cast<int>(wParam));
        case TCM_INSERTITEM:
            return OnInsertItem(hwnd, st, static_cast<int>(wParam), reinterpret_cast<const TCITEM*>(lParam));
        case TCM_SETITEM:
            return OnSetItem(hwnd, st, static_cast<int>(wParam), reinterpret_cast<const TCITEM*>(lParam));
        case TCM_DELETEITEM:
            return OnDeleteItem(hwnd, st, static_cast<int>(wParam));
        case TCM_DELETEALLITEMS:
            st->items.clear();
            st->cur = -1;
            InvalidateRect(hwnd, nullptr, FALSE);
            return TRUE;
        case TCM_GETITEMRECT:
            return OnGetItemRect(hwnd, st, static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam));
        case TCM_ADJUSTRECT:
            OnAdjustRect(wParam != 0, reinterpret_cast<RECT*>(lParam));
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK TabControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<TabState>(hwnd, msg, wParam, lParam, MakeState<TabState>, TabControlMessage);
}

const ControlClass kTabControlClass{WC_TABCONTROL, TabControlProc, CS_DBLCLKS, IDC_ARROW, nullptr};

}  // namespace plat::dlg
