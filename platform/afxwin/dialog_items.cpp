// The calls on a window's child controls that the class library wraps (CWnd::SetDlgItemText,
// CheckDlgButton, GetNextDlgTabItem, SetScrollPos ...): each finds the control by id or tab
// order and sends it its message, so they work on any parent, dialog or not.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/afxwin/cwnd.h"
#include "platform/strings/cp1252.h"

namespace {

bool Visible(HWND w) {
    return (GetWindowLong(w, GWL_STYLE) & WS_VISIBLE) != 0;
}
bool Enabled(HWND w) {
    return (GetWindowLong(w, GWL_STYLE) & WS_DISABLED) == 0;
}
UINT DlgCode(HWND control) {
    return control ? static_cast<UINT>(SendMessage(control, WM_GETDLGCODE, 0, 0)) : 0;
}

void Collect(HWND parent, std::vector<HWND>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLong(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && Visible(c)) {
            Collect(c, out);
            continue;
        }
        out.push_back(c);
    }
}

}  // namespace

namespace plat {

std::vector<HWND> DialogControls(HWND dialog) {
    std::vector<HWND> out;
    Collect(dialog, out);
    return out;
}

}  // namespace plat

// ---- Tab and group order ------------------------------------------------------------------------

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    const std::vector<HWND> all = plat::DialogControls(dialog);
    if (all.empty()) return nullptr;
    const auto at = std::find(all.begin(), all.end(), control);
    const int n = static_cast<int>(all.size());
    int start = at == all.end() ? (previous ? 0 : n - 1) : static_cast<int>(at - all.begin());
    for (int k = 1; k <= n; ++k) {
        const int i = previous ? ((start - k) % n + n) % n : (start + k) % n;
        HWND w = all[static_cast<size_t>(i)];
        const LONG style = GetWindowLong(w, GWL_STYLE);
        if ((style & WS_TABSTOP) && Visible(w) && Enabled(w) && IsWindowVisible(w)) return w;
    }
    return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    if (!control || !IsChild(dialog, control)) return GetNextDlgTabItem(dialog, nullptr, FALSE);
    HWND parent = GetParent(control);
    // The group: from the nearest control with WS_GROUP at or before this one, up to the next.
    HWND start = control;
    while (!(GetWindowLong(start, GWL_STYLE) & WS_GROUP)) {
        HWND prev = GetWindow(start, GW_HWNDPREV);
        if (!prev) break;
        start = prev;
    }
    std::vector<HWND> group;
    for (HWND w = start; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != start && (GetWindowLong(w, GWL_STYLE) & WS_GROUP)) break;
        group.push_back(w);
    }
    (void)parent;
    const auto at = std::find(group.begin(), group.end(), control);
    if (at == group.end()) return control;
    const int n = static_cast<int>(group.size());
    const int pos = static_cast<int>(at - group.begin());
    for (int k = 1; k <= n; ++k) {
        const int i = previous ? ((pos - k) % n + n) % n : (pos + k) % n;
        HWND w = group[static_cast<size_t>(i)];
        if (Visible(w) && Enabled(w) && !(DlgCode(w) & DLGC_STATIC)) return w;
    }
    return control;
}

// ---- Dialog items ---------------------------------------------------------------------------------

UINT GetDlgItemText(HWND dialog, int id, LPSTR buffer, int size) {
    HWND c = GetDlgItem(dialog, id);
    if (!c) {
        if (buffer && size > 0) buffer[0] = 0;
        return 0;
    }
    return static_cast<UINT>(GetWindowText(c, buffer, size));
}

BOOL SetDlgItemText(HWND dialog, int id, LPCSTR text) {
    HWND c = GetDlgItem(dialog, id);
    return c ? SetWindowText(c, text) : FALSE;
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated) *translated = FALSE;
    char buf[64] = {};
    if (!GetDlgItemText(dialog, id, buf, sizeof(buf))) return 0;
    const char* p = buf;
    while (*p == ' ') ++p;
    bool negative = false;
    if (isSigned && (*p == '-' || *p == '+')) negative = *p++ == '-';
    if (*p < '0' || *p > '9') return 0;
    uint64_t v = 0;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + static_cast<uint64_t>(*p++ - '0');
        if (v > 0xFFFFFFFFull) return 0;
    }
    while (*p == ' ') ++p;
    if (*p) return 0;
    if (isSigned && v > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
    if (translated) *translated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<int64_t>(v)) : static_cast<UINT>(v);
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    char buf[32];
    if (isSigned)
        std::snprintf(buf, sizeof(buf), "%d", static_cast<int>(value));
    else
        std::snprintf(buf, sizeof(buf), "%u", value);
    return SetDlgItemText(dialog, id, buf);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND c = GetDlgItem(dialog, id);
    if (!c) return FALSE;
    SendMessage(c, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    HWND c = GetDlgItem(dialog, id);
    return c ? static_cast<UINT>(SendMessage(c, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
    bool any = false;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(c);
        if (id < first || id > last) continue;
        SendMessage(c, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
        any = true;
    }
    return any ? TRUE : FALSE;
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND c = GetDlgItem(dialog, id);
    return c ? SendMessage(c, msg, wParam, lParam) : 0;
}

// ---- Scroll bars (SB_CTL: a scroll-bar control) --------------------------------------------------

namespace {
bool IsScrollControl(HWND hwnd, int bar) {
    if (bar != SB_CTL || !IsWindow(hwnd)) return false;
    char name[32] = {};
    GetClassName(hwnd, name, sizeof(name));
    return _stricmp(name, "SCROLLBAR") == 0;
}
}  // namespace

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    if (!IsScrollControl(hwnd, bar)) return 0;
    return static_cast<int>(SendMessage(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
}

int GetScrollPos(HWND hwnd, int bar) {
    if (!IsScrollControl(hwnd, bar)) return 0;
    return static_cast<int>(SendMessage(hwnd, SBM_GETPOS, 0, 0));
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
    if (!IsScrollControl(hwnd, bar)) return FALSE;
    SendMessage(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minPos), maxPos);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
    if (!IsScrollControl(hwnd, bar)) {
        if (minPos) *minPos = 0;
        if (maxPos) *maxPos = 0;
        return FALSE;
    }
    SendMessage(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos), reinterpret_cast<LPARAM>(maxPos));
    return TRUE;
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    if (!IsScrollControl(hwnd, bar)) return 0;
    return static_cast<int>(SendMessage(hwnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    if (!IsScrollControl(hwnd, bar)) return FALSE;
    return static_cast<BOOL>(SendMessage(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows) {
    if (!IsScrollControl(hwnd, static_cast<int>(bar))) return FALSE;
    return static_cast<BOOL>(SendMessage(hwnd, SBM_ENABLE_ARROWS, arrows, 0));
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    if (!IsScrollControl(hwnd, bar)) return FALSE;
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    return TRUE;
}
