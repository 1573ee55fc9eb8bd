// What the controls share: class registration, notifications, colours from the parent, the
// list model of list and combo boxes, the built-in icons and the clipboard.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/afxwin/cwnd.h"
#include "platform/afxwin/winapp.h"
#include "platform/controls/controls_internal.h"
#include "platform/strings/cp1252.h"

namespace plat::dlg {

void Notify(HWND hwnd, UINT code) {
    HWND parent = GetParent(hwnd);
    if (!parent || !(GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD)) return;
    SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

COLORREF DialogBackground() {
    return afx::DialogColours().background;
}
COLORREF DialogTextColour() {
    return afx::DialogColours().text;
}

HBRUSH CachedBrush(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> cache;
    auto it = cache.find(colour);
    if (it != cache.end()) {
        // Tests free every GDI object between cases: a handle is used only while it still is
        // a brush of this colour.
        LOGBRUSH lb;
        if (GetObjectType(it->second) == OBJ_BRUSH && GetObject(it->second, sizeof(lb), &lb) == sizeof(lb) &&
            lb.lbColor == colour && lb.lbStyle == BS_SOLID)
            return it->second;
    }
    HBRUSH b = CreateSolidBrush(colour);
    cache[colour] = b;
    return b;
}

HBRUSH ControlColours(HWND hwnd, HDC dc, UINT msg) {
    const bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
    SetTextColor(dc, kWindowText);
    SetBkColor(dc, window ? kWindow : kFace);
    HWND parent = GetParent(hwnd);
    HBRUSH brush = nullptr;
    if (parent && (GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD))
        brush = reinterpret_cast<HBRUSH>(SendMessage(parent, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (!brush || GetObjectType(brush) != OBJ_BRUSH) {
        SetTextColor(dc, kWindowText);
        SetBkColor(dc, window ? kWindow : kFace);
        brush = CachedBrush(window ? kWindow : kFace);
    }
    return brush;
}

std::string WindowText(HWND hwnd) {
    const int n = GetWindowTextLength(hwnd);
    std::string s(static_cast<size_t>(std::max(0, n)) + 1, '\0');
    const int got = GetWindowText(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(0, got)));
    return s;
}

uint8_t Mnemonic(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return ToUpper1252(static_cast<uint8_t>(text[i + 1]));
    }
    return 0;
}

bool HasFocus(HWND hwnd) {
    return GetFocus() == hwnd;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassName(hwnd, name, sizeof(name));
    return ToUpper1252(std::string_view(name));
}

std::string ToUpperName(const char* name) {
    return ToUpper1252(std::string_view(name ? name : ""));
}

bool IsDialogWindow(HWND hwnd) {
    return hwnd && ClassOf(hwnd) == kDialogClass;
}

void ControlGotFocus(HWND control) {
    if (HWND dialog = OwningDialog(control)) SendMessage(dialog, kMsgControlFocus, reinterpret_cast<WPARAM>(control), 0);
}

HWND OwningDialog(HWND hwnd) {
    HWND found = nullptr;
    for (HWND w = GetParent(hwnd); w; w = (GetWindowLong(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr) {
        if (IsDialogWindow(w)) found = w;
        if (!(GetWindowLong(w, GWL_STYLE) & WS_CHILD)) break;
    }
    return found;
}

// ---- List model ---------------------------------------------------------------------------------

int ListModel::Add(const std::string& text) {
    if (!sorted) {
        items.push_back(ListItem{text});
        return Count() - 1;
    }
    // After every item that does not sort after it, as Windows places equal strings.
    auto it = std::upper_bound(items.begin(), items.end(), text, [](const std::string& t, const ListItem& item) {
        return SwedishCollateNoCase(t, item.text) < 0;
    });
    const auto index = it - items.begin();
    items.insert(it, ListItem{text});
    return static_cast<int>(index);
}

int ListModel::Insert(int index, const std::string& text) {
    if (index < 0 || index > Count()) index = Count();
    items.insert(items.begin() + index, ListItem{text});
    return index;
}

bool ListModel::Delete(int index) {
    if (!Valid(index)) return false;
    items.erase(items.begin() + index);
    return true;
}

int ListModel::Find(int after, const std::string& text, bool exact) const {
    const int n = Count();
    if (n == 0) return -1;
    int start = (after < -1 || after >= n) ? -1 : after;
    for (int k = 1; k <= n; ++k) {
        const int i = (start + k) % n;
        const std::string& t = items[static_cast<size_t>(i)].text;
        if (exact) {
            if (CompareNoCase1252(t, text) == 0) return i;
        } else if (t.size() >= text.size() && CompareNoCase1252(std::string_view(t).substr(0, text.size()), text) == 0) {
            return i;
        }
    }
    return -1;
}

// ---- Painting -------------------------------------------------------------------------------------

void Redraw(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT PaintNow(HWND hwnd, void (*paint)(HWND, HDC)) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    paint(hwnd, dc);
    EndPaint(hwnd, &ps);
    return 0;
}

// ---- Clipboard ------------------------------------------------------------------------------------

namespace {
std::string g_clipboard;
bool g_clipboardHasText = false;
bool g_clipboardOpen = false;
}  // namespace

std::string ClipboardText() {
    return g_clipboardHasText ? g_clipboard : std::string();
}

void SetClipboardText(const std::string& text) {
    g_clipboard = text;
    g_clipboardHasText = true;
}

}  // namespace plat::dlg

using namespace plat::dlg;

BOOL OpenClipboard(HWND) {
    if (g_clipboardOpen) return FALSE;
    g_clipboardOpen = true;
    return TRUE;
}

BOOL CloseClipboard() {
    const bool was = g_clipboardOpen;
    g_clipboardOpen = false;
    return was ? TRUE : FALSE;
}

BOOL EmptyClipboard() {
    if (!g_clipboardOpen) return FALSE;
    g_clipboard.clear();
    g_clipboardHasText = false;
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    if (!g_clipboardOpen || format != CF_TEXT || !data) return nullptr;
    const auto* text = static_cast<const char*>(GlobalLock(data));
    if (!text) return nullptr;
    const size_t size = GlobalSize(data);
    g_clipboard.assign(text, strnlen(text, size));
    g_clipboardHasText = true;
    GlobalUnlock(data);
    GlobalFree(data);
    return data;
}

HANDLE GetClipboardData(UINT format) {
    static HGLOBAL last = nullptr;
    if (!g_clipboardOpen || format != CF_TEXT || !g_clipboardHasText) return nullptr;
    if (last) GlobalFree(last);
    last = GlobalAlloc(GMEM_MOVEABLE, g_clipboard.size() + 1);
    if (auto* p = static_cast<char*>(GlobalLock(last))) {
        std::memcpy(p, g_clipboard.c_str(), g_clipboard.size() + 1);
        GlobalUnlock(last);
    }
    return last;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    return format == CF_TEXT && g_clipboardHasText ? TRUE : FALSE;
}

namespace plat {

void RegisterControlClasses() {
    using namespace plat::dlg;
    for (const ControlClass* c : {&kButtonClass, &kStaticClass, &kEditClass, &kListBoxClass, &kComboListBoxClass,
                                  &kComboBoxClass, &kScrollBarClass, &kTabControlClass}) {
        WNDCLASS existing;
        if (!GetClassInfo(nullptr, c->name, &existing)) {
            WNDCLASS wc;
            wc.style = c->style;
            wc.lpfnWndProc = c->proc;
            wc.cbWndExtra = sizeof(LONG_PTR);
            wc.hCursor = LoadCursor(nullptr, c->cursor);
            wc.lpszClassName = c->name;
            RegisterClass(&wc);
        }
        afx::RegisterWrapperClass(c->name, c->wrapper);
    }
}

}  // namespace plat
