// The "EDIT" class, single line: text with a limit, selection and caret, keyboard and mouse
// editing, the clipboard, undo, password and case styles, horizontal scrolling. Typed
// characters arrive as WM_CHAR, and a paste sends each character through WM_CHAR too, so a
// program's filter on WM_CHAR (a subclass) sees pasted text as well.
#include <algorithm>
#include <cstring>

#include "platform/afxwin/cwnd.h"
#include "platform/controls/controls.h"
#include "platform/controls/controls_internal.h"
#include "platform/strings/cp1252.h"

namespace plat::dlg {
namespace {

constexpr size_t kDefaultLimit = 32767;

struct EditState {
    std::string text;
    size_t anchor = 0;  // selection: from anchor to caret
    size_t caret = 0;
    size_t limit = kDefaultLimit;
    int scrollX = 0;
    bool modified = false;
    bool mouseDown = false;
    char password = 0;
    HFONT font = nullptr;
    std::string undoText;
    size_t undoCaret = 0;
    bool canUndo = false;
    // A paste in progress: its characters come through WM_CHAR without a notification each.
    bool pasting = false;
    bool changedWhilePasting = false;
};

EditState* State(HWND hwnd) {
    return StateOf<EditState>(hwnd);
}

DWORD Style(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
}

bool HasEdge(HWND hwnd) {
    return (GetWindowLong(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
}

// The text area inside the 3-D edge.
RECT TextArea(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return HasEdge(hwnd) ? Inset(rc, 2) : rc;
}

std::string Shown(const EditState* st) {
    return st->password ? std::string(st->text.size(), st->password) : st->text;
}

int WidthOf(HWND hwnd, const std::string& s) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, ControlFont(hwnd));
    const int w = TextWidth(dc, s);
    SelectObject(dc, old);
    DeleteDC(dc);
    return w;
}

int CaretPixel(HWND hwnd, const EditState* st, size_t index) {
    return WidthOf(hwnd, Shown(st).substr(0, index));
}

// The character boundary nearest to an x of the client area.
size_t IndexAt(HWND hwnd, const EditState* st, int x) {
    const RECT area = TextArea(hwnd);
    const int target = x - area.left - 1 + st->scrollX;
    const std::string shown = Shown(st);
    int prev = 0;
    for (size_t i = 1; i <= shown.size(); ++i) {
        const int w = WidthOf(hwnd, shown.substr(0, i));
        if (target < (prev + w) / 2 + ((prev + w) % 2)) return i - 1;
        prev = w;
    }
    return shown.size();
}

void KeepCaretVisible(HWND hwnd, EditState* st) {
    const RECT area = TextArea(hwnd);
    const int visible = std::max(1, static_cast<int>(area.right - area.left) - 2);
    const int cx = CaretPixel(hwnd, st, st->caret);
    if (cx - st->scrollX >= visible) st->scrollX = cx - visible + visible / 4;
    if (cx < st->scrollX) st->scrollX = std::max(0, cx - visible / 4);
    const int total = WidthOf(hwnd, Shown(st));
    if (total - st->scrollX < visible) st->scrollX = std::max(0, total - visible + 1);
    if (st->scrollX < 0) st->scrollX = 0;
}

size_t SelStart(const EditState* st) {
    return std::min(st->anchor, st->caret);
}
size_t SelEnd(const EditState* st) {
    return std::max(st->anchor, st->caret);
}

void SyncTitle(HWND hwnd, const EditState* st) {
    DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(st->text.c_str()));
}

void Changed(HWND hwnd, EditState* st) {
    st->modified = true;
    SyncTitle(hwnd, st);
    KeepCaretVisible(hwnd, st);
    Redraw(hwnd);
    if (st->pasting) {
        st->changedWhilePasting = true;
        return;
    }
    Notify(hwnd, EN_UPDATE);
    if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
}

void SaveUndo(EditState* st) {
    st->undoText = st->text;
    st->undoCaret = st->caret;
    st->canUndo = true;
}

// Replaces the selection with text as far as the limit lets it; false when nothing fitted.
bool ReplaceSelection(HWND hwnd, EditState* st, const std::string& with, bool notify) {
    const size_t a = SelStart(st), b = SelEnd(st);
    const size_t room = st->limit > st->text.size() - (b - a) ? st->limit - (st->text.size() - (b - a)) : 0;
    std::string piece = with.substr(0, std::min(with.size(), room));
    if (piece.size() < with.size()) Notify(hwnd, EN_MAXTEXT);
    if (!IsWindow(hwnd)) return false;
    if (piece.empty() && a == b) return false;
    std::string next = st->text.substr(0, a) + piece + st->text.substr(b);
    // Without automatic scrolling, text must fit the box.
    if (!(Style(hwnd) & ES_AUTOHSCROLL) && !piece.empty()) {
        const RECT area = TextArea(hwnd);
        const std::string shown = st->password ? std::string(next.size(), st->password) : next;
        if (WidthOf(hwnd, shown) > area.right - area.left - 2) {
            Notify(hwnd, EN_MAXTEXT);
            return false;
        }
    }
    SaveUndo(st);
    st->text = std::move(next);
    st->caret = st->anchor = a + piece.size();
    if (notify) Changed(hwnd, st);
    return true;
}

void SetSelection(HWND hwnd, EditState* st, size_t anchor, size_t caret) {
    anchor = std::min(anchor, st->text.size());
    caret = std::min(caret, st->text.size());
    if (anchor == st->anchor && caret == st->caret) return;
    st->anchor = anchor;
    st->caret = caret;
    KeepCaretVisible(hwnd, st);
    Redraw(hwnd);
}

bool IsWordChar(char c) {
    const auto u = static_cast<uint8_t>(c);
    return IsAlpha1252(u) || (c >= '0' && c <= '9') || c == '_';
}

size_t WordLeft(const std::string& s, size_t i) {
    while (i > 0 && !IsWordChar(s[i - 1])) --i;
    while (i > 0 && IsWordChar(s[i - 1])) --i;
    return i;
}

size_t WordRight(const std::string& s, size_t i) {
    while (i < s.size() && IsWordChar(s[i])) ++i;
    while (i < s.size() && !IsWordChar(s[i])) ++i;
    return i;
}

void Copy(EditState* st) {
    if (st->password || SelStart(st) == SelEnd(st)) return;
    SetClipboardText(st->text.substr(SelStart(st), SelEnd(st) - SelStart(st)));
}

void Paste(HWND hwnd, EditState* st) {
    if (Style(hwnd) & ES_READONLY) {
        MessageBeep(0);
        return;
    }
    std::string clip = ClipboardText();
    clip = clip.substr(0, clip.find_first_of("\r\n"));
    if (clip.empty()) return;
    // Each character goes through WM_CHAR (and so through a subclass's filter).
    st->pasting = true;
    st->changedWhilePasting = false;
    for (char c : clip) {
        if (!IsWindow(hwnd)) return;
        SendMessage(hwnd, WM_CHAR, static_cast<uint8_t>(c), 1);
    }
    if (!IsWindow(hwnd)) return;
    st = State(hwnd);
    st->pasting = false;
    if (st->changedWhilePasting) {
        Notify(hwnd, EN_UPDATE);
        if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
    }
}

void Cut(HWND hwnd, EditState* st) {
    if (SelStart(st) == SelEnd(st)) return;
    Copy(st);
    if (Style(hwnd) & ES_READONLY) return;
    ReplaceSelection(hwnd, st, "", true);
}

void Undo(HWND hwnd, EditState* st) {
    if (!st->canUndo || (Style(hwnd) & ES_READONLY)) return;
    std::swap(st->text, st->undoText);
    std::swap(st->caret, st->undoCaret);
    st->caret = std::min(st->caret, st->text.size());
    st->anchor = st->caret;
    Changed(hwnd, st);
}

void TypeChar(HWND hwnd, EditState* st, uint8_t ch) {
    const DWORD style = Style(hwnd);
    if (ch == '\b') {
        if (style & ES_READONLY) return;
        if (SelStart(st) == SelEnd(st)) {
            if (st->caret == 0) return;
            st->anchor = st->caret - 1;
        }
        ReplaceSelection(hwnd, st, "", true);
        return;
    }
    if (ch < 0x20) return;  // control characters: Ctrl+C/V/X/Z come through WM_KEYDOWN
    if (style & ES_READONLY) {
        MessageBeep(0);
        return;
    }
    if ((style & ES_NUMBER) && !(ch >= '0' && ch <= '9')) {
        MessageBeep(0);
        return;
    }
    if (style & ES_UPPERCASE) ch = ToUpper1252(ch);
    if (style & ES_LOWERCASE) ch = ToLower1252(ch);
    if (!ReplaceSelection(hwnd, st, std::string(1, static_cast<char>(ch)), true) && !st->pasting) MessageBeep(0);
}

void KeyDown(HWND hwnd, EditState* st, WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    size_t caret = st->caret;
    switch (vk) {
        case VK_LEFT:
            if (!shift && SelStart(st) != SelEnd(st) && !ctrl) {
                SetSelection(hwnd, st, SelStart(st), SelStart(st));
                return;
            }
            caret = ctrl ? WordLeft(st->text, caret) : (caret > 0 ? caret - 1 : 0);
            break;
        case VK_RIGHT:
            if (!shift && SelStart(st) != SelEnd(st) && !ctrl) {
                SetSelection(hwnd, st, SelEnd(st), SelEnd(st));
                return;
            }
            caret = ctrl ? WordRight(st->text, caret) : std::min(st->text.size(), caret + 1);
            break;
        case VK_HOME: caret = 0; break;
        case VK_END: caret = st->text.size(); break;
        case VK_DELETE:
            if (shift) {
                Cut(hwnd, st);
                return;
            }
            if (Style(hwnd) & ES_READONLY) return;
            if (SelStart(st) == SelEnd(st)) {
                if (st->caret >= st->text.size()) return;
                st->anchor = st->caret + 1;
            }
            ReplaceSelection(hwnd, st, "", true);
            return;
        case VK_INSERT:
            if (shift) Paste(hwnd, st);
            else if (ctrl) Copy(st);
            return;
        case 'C':
            if (ctrl) Copy(st);
            return;
        case 'X':
            if (ctrl) Cut(hwnd, st);
            return;
        case 'V':
            if (ctrl) Paste(hwnd, st);
            return;
        case 'Z':
            if (ctrl) Undo(hwnd, st);
            return;
        default:
            return;
    }
    SetSelection(hwnd, st, shift ? st->anchor : caret, caret);
}

void Paint(HWND hwnd, HDC dc) {
    EditState* st = State(hwnd);
    const DWORD style = Style(hwnd);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const bool focused = HasFocus(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const bool grey = !enabled || (style & ES_READONLY);
    HBRUSH brush = ControlColours(hwnd, dc, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
    COLORREF textColour = GetTextColor(dc);
    if (!enabled) textColour = kGrayText;
    if (HasEdge(hwnd)) SunkenEdge(dc, rc);
    const RECT area = TextArea(hwnd);
    FillRect(dc, &area, brush);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(hwnd));
    const int th = TextHeight(dc);
    const int y = area.top + std::max(0, static_cast<int>(area.bottom - area.top - th) / 2);
    const std::string shown = Shown(st);
    int x0 = area.left + 1 - st->scrollX;
    const int total = TextWidth(dc, shown);
    const int boxWidth = area.right - area.left - 2;
    if ((style & ES_CENTER) == ES_CENTER && !(style & ES_RIGHT)) x0 += std::max(0, (boxWidth - total) / 2);
    if (style & ES_RIGHT) x0 += std::max(0, boxWidth - total);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);
    const size_t a = SelStart(st), b = SelEnd(st);
    const bool showSel = a != b && (focused || (style & ES_NOHIDESEL));
    auto part = [&](size_t from, size_t to, bool selected) {
        if (from >= to) return;
        const int px = x0 + TextWidth(dc, shown.substr(0, from));
        const std::string piece = shown.substr(from, to - from);
        if (selected) {
            Fill(dc, RECT{px, y, px + TextWidth(dc, piece), y + th}, kSelection);
            SetTextColor(dc, kSelectionText);
        } else {
            SetTextColor(dc, textColour);
        }
        TextOut(dc, px, y, piece.c_str(), static_cast<int>(piece.size()));
    };
    if (showSel) {
        part(0, a, false);
        part(a, b, true);
        part(b, shown.size(), false);
    } else {
        part(0, shown.size(), false);
    }
    if (focused && enabled && !showSel) {
        const int cx = x0 + TextWidth(dc, shown.substr(0, st->caret));
        Fill(dc, RECT{cx, y, cx + 1, y + th}, kDark);
    }
    RestoreDC(dc, saved);
    SelectObject(dc, oldFont);
}

void OnNcCreate(HWND hwnd, const CREATESTRUCT* cs) {
    auto* s = new EditState;
    if (cs && cs->lpszName) s->text = cs->lpszName;
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(s));
    // A plain border becomes Windows 95's sunken edge, drawn inside the window.
    LONG style = GetWindowLong(hwnd, GWL_STYLE);
    if (style & WS_BORDER) {
        SetWindowLong(hwnd, GWL_STYLE, style & ~static_cast<LONG>(WS_BORDER));
        SetWindowLong(hwnd, GWL_EXSTYLE, GetWindowLong(hwnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    }
    if (style & ES_PASSWORD) s->password = '*';
}

void OnSetText(HWND hwnd, EditState* st, const char* text) {
    st->text = text ? text : "";
    st->text = st->text.substr(0, st->text.find_first_of("\r\n"));
    st->anchor = st->caret = 0;
    st->scrollX = 0;
    st->modified = false;
    st->canUndo = false;
    SyncTitle(hwnd, st);
    Redraw(hwnd);
    Notify(hwnd, EN_UPDATE);
    if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
}

LRESULT OnGetText(const EditState* st, WPARAM size, LPARAM buffer) {
    auto* buf = reinterpret_cast<char*>(buffer);
    if (!buf || size == 0) return 0;
    const size_t n = std::min<size_t>(size - 1, st->text.size());
    std::memcpy(buf, st->text.data(), n);
    buf[n] = 0;
    return static_cast<LRESULT>(n);
}

void OnKillFocus(HWND hwnd, EditState* st) {
    if (st->mouseDown && GetCapture() == hwnd) ReleaseCapture();
    st->mouseDown = false;
    Redraw(hwnd);
    Notify(hwnd, EN_KILLFOCUS);
}

void OnLButtonDown(HWND hwnd, EditState* st, WPARAM keys, int x) {
    if (!HasFocus(hwnd)) SetFocus(hwnd);
    if (!IsWindow(hwnd)) return;
    const size_t i = IndexAt(hwnd, st, x);
    const bool shift = (keys & MK_SHIFT) != 0;
    SetSelection(hwnd, st, shift ? st->anchor : i, i);
    st->mouseDown = true;
    SetCapture(hwnd);
}

// A double click selects the word under the pointer.
void OnLButtonDblClk(HWND hwnd, EditState* st, int x) {
    const size_t i = IndexAt(hwnd, st, x);
    size_t a = i, b = i;
    while (a > 0 && IsWordChar(st->text[a - 1])) --a;
    while (b < st->text.size() && IsWordChar(st->text[b])) ++b;
    SetSelection(hwnd, st, a, b);
}

void OnLButtonUp(HWND hwnd, EditState* st) {
    if (!st->mouseDown) return;
    st->mouseDown = false;
    if (GetCapture() == hwnd) ReleaseCapture();
}

LRESULT OnGetSel(const EditState* st, WPARAM startOut, LPARAM endOut) {
    const auto a = static_cast<DWORD>(SelStart(st)), b = static_cast<DWORD>(SelEnd(st));
    if (startOut) *reinterpret_cast<DWORD*>(startOut) = a;
    if (endOut) *reinterpret_cast<DWORD*>(endOut) = b;
    return static_cast<LRESULT>(MAKELPARAM(static_cast<int>(std::min<DWORD>(a, 0xFFFF)),
                                           static_cast<int>(std::min<DWORD>(b, 0xFFFF))));
}

void OnSetSel(HWND hwnd, EditState* st, WPARAM wParam, LPARAM lParam) {
    const auto start = static_cast<intptr_t>(static_cast<int>(wParam));
    const auto end = static_cast<intptr_t>(static_cast<int>(lParam));
    if (start < 0) {
        SetSelection(hwnd, st, st->caret, st->caret);
        return;
    }
    const size_t b = end < 0 ? st->text.size() : static_cast<size_t>(end);
    SetSelection(hwnd, st, static_cast<size_t>(start), b);
}

void OnSetReadOnly(HWND hwnd, bool readOnly) {
    LONG style = GetWindowLong(hwnd, GWL_STYLE);
    style = readOnly ? (style | static_cast<LONG>(ES_READONLY)) : (style & ~static_cast<LONG>(ES_READONLY));
    SetWindowLong(hwnd, GWL_STYLE, style);
    Redraw(hwnd);
}

// EM_GETLINE: the buffer's first word says how much room it has; no NUL is added.
LRESULT OnGetLine(const EditState* st, LPARAM buffer) {
    auto* buf = reinterpret_cast<char*>(buffer);
    if (!buf) return 0;
    WORD room = 0;
    std::memcpy(&room, buf, sizeof(room));
    const size_t n = std::min<size_t>(room, st->text.size());
    std::memcpy(buf, st->text.data(), n);
    return static_cast<LRESULT>(n);
}

// The edit control's own messages (EM_*) and the clipboard's; false for any other message.
bool OnEditMessage(HWND hwnd, EditState* st, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    LRESULT r = 0;
    switch (msg) {
        case EM_GETSEL: r = OnGetSel(st, wParam, lParam); break;
        case EM_SETSEL: OnSetSel(hwnd, st, wParam, lParam); break;
        case EM_REPLACESEL: ReplaceSelection(hwnd, st, lParam ? reinterpret_cast<const char*>(lParam) : "", true); break;
        case EM_LIMITTEXT: st->limit = wParam ? static_cast<size_t>(wParam) : size_t(0x7FFFFFFE); break;
        case EM_GETLIMITTEXT: r = static_cast<LRESULT>(st->limit); break;
        case EM_SETREADONLY:
            OnSetReadOnly(hwnd, wParam != 0);
            r = TRUE;
            break;
        case EM_GETMODIFY: r = st->modified ? TRUE : FALSE; break;
        case EM_SETMODIFY: st->modified = wParam != 0; break;
        case EM_CANUNDO: r = st->canUndo ? TRUE : FALSE; break;
        case EM_UNDO:
        case WM_UNDO:
            Undo(hwnd, st);
            r = TRUE;
            break;
        case EM_EMPTYUNDOBUFFER: st->canUndo = false; break;
        case EM_SETPASSWORDCHAR:
            st->password = static_cast<char>(wParam);
            Redraw(hwnd);
            break;
        case EM_GETPASSWORDCHAR: r = static_cast<uint8_t>(st->password); break;
        case EM_SCROLLCARET:
            KeepCaretVisible(hwnd, st);
            Redraw(hwnd);
            r = TRUE;
            break;
        case EM_GETLINECOUNT: r = 1; break;
        case EM_GETLINE: r = OnGetLine(st, lParam); break;
        case WM_COPY: Copy(st); break;
        case WM_CUT: Cut(hwnd, st); break;
        case WM_PASTE: Paste(hwnd, st); break;
        case WM_CLEAR:
            if (!(Style(hwnd) & ES_READONLY)) ReplaceSelection(hwnd, st, "", true);
            break;
        default:
            return false;
    }
    *result = r;
    return true;
}

LRESULT EditMessage(HWND hwnd, EditState* st, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnEditMessage(hwnd, st, msg, wParam, lParam, &result)) return result;
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            if (lParam) Redraw(hwnd);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_SETTEXT:
            OnSetText(hwnd, st, reinterpret_cast<const char*>(lParam));
            return TRUE;
        case WM_GETTEXT:
            return OnGetText(st, wParam, lParam);
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(st->text.size());
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
            Notify(hwnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            OnKillFocus(hwnd, st);
            return 0;
        case WM_CHAR:
            TypeChar(hwnd, st, static_cast<uint8_t>(wParam));
            return 0;
        case WM_KEYDOWN:
            KeyDown(hwnd, st, wParam);
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(hwnd, st, wParam, GET_X_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            OnLButtonDblClk(hwnd, st, GET_X_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            if (st->mouseDown) SetSelection(hwnd, st, st->anchor, IndexAt(hwnd, st, GET_X_LPARAM(lParam)));
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(hwnd, st);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) st->mouseDown = false;
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ControlProc<EditState>(hwnd, msg, wParam, lParam, OnNcCreate, EditMessage);
}

const ControlClass kEditClass{"EDIT", EditProc, CS_DBLCLKS, IDC_IBEAM, RUNTIME_CLASS(CEdit)};

}  // namespace plat::dlg
