// Reading back what a dialog's controls show, for tests and scripted runs.
#include "platform/dialogs/dialog_probe.h"

#include "platform/controls/controls_internal.h"

namespace plat {
namespace {

void Collect(HWND parent, std::vector<HWND>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetWindowLong(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
            Collect(c, out);
            continue;
        }
        out.push_back(c);
    }
}

std::string ItemText(HWND w, UINT lenMsg, UINT textMsg, int i) {
    const LRESULT n = SendMessage(w, lenMsg, static_cast<WPARAM>(i), 0);
    if (n < 0) return {};
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessage(w, textMsg, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(n));
    return s;
}

}  // namespace

std::vector<ControlState> DescribeDialog(HWND dialog) {
    std::vector<HWND> all;
    Collect(dialog, all);
    std::vector<ControlState> out;
    for (HWND w : all) {
        ControlState c;
        c.hwnd = w;
        c.id = GetDlgCtrlID(w);
        c.className = dlg::ClassOf(w);
        c.text = dlg::WindowText(w);
        c.style = static_cast<DWORD>(GetWindowLong(w, GWL_STYLE));
        c.visible = IsWindowVisible(w) != FALSE;
        c.enabled = IsWindowEnabled(w) != FALSE;
        c.focused = GetFocus() == w;
        if (c.className == "BUTTON") c.check = static_cast<int>(SendMessage(w, BM_GETCHECK, 0, 0));
        if (c.className == "LISTBOX" || c.className == "COMBOBOX") {
            const bool combo = c.className == "COMBOBOX";
            const int n = static_cast<int>(SendMessage(w, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
            for (int i = 0; i < n; ++i)
                c.items.push_back(ItemText(w, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, combo ? CB_GETLBTEXT : LB_GETTEXT, i));
            c.selection = static_cast<int>(SendMessage(w, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
        }
        if (c.className == "SCROLLBAR") {
            c.scrollPos = GetScrollPos(w, SB_CTL);
            GetScrollRange(w, SB_CTL, &c.scrollMin, &c.scrollMax);
        }
        if (c.className == dlg::ToUpperName(WC_TABCONTROL)) c.selection = static_cast<int>(SendMessage(w, TCM_GETCURSEL, 0, 0));
        out.push_back(std::move(c));
    }
    return out;
}

HWND FindDialogItem(HWND dialog, int id) {
    std::vector<HWND> all;
    Collect(dialog, all);
    for (HWND w : all)
        if (GetDlgCtrlID(w) == id && IsWindowVisible(w)) return w;
    for (HWND w : all)
        if (GetDlgCtrlID(w) == id) return w;
    return nullptr;
}

POINT ControlCentre(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND ActiveDialog() {
    if (HWND m = CurrentModal()) return m;
    return GetActiveWindow();
}

}  // namespace plat
