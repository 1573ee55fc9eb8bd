// The dialog manager: dialogs made from templates, DefDlgProc (background, frame and caption,
// default button, focus kept across activation, the close box and moving by the caption),
// the modal loop, IsDialogMessage (Tab, arrows, Enter, Escape, mnemonics, also into pages
// inside a sheet). The dialog-item calls live with the window framework (afxwin/dialog_items.cpp).
#include "platform/dialogs/dialog_manager.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "platform/afx/message_box.h"
#include "platform/core/backend.h"
#include "platform/core/crt.h"
#include "platform/core/display.h"
#include "platform/afxwin/cwnd.h"
#include "platform/dialogs/dialogs_internal.h"
#include "platform/strings/cp1252.h"

namespace plat::dlg {
namespace {

struct DialogState {
    DLGPROC proc = nullptr;
    HFONT font = nullptr;
    bool ownFont = false;
    SIZE base{6, 13};
    HWND lastFocus = nullptr;
    HWND pendingFocus = nullptr;
    int defId = 0;
    bool ended = false;
    INT_PTR result = 0;
    bool child = false;
    // The caption: dragged, or the close box held.
    bool dragging = false;
    POINT dragFrom{};
    bool closeDown = false;
    bool closeInside = false;
};

DialogState* State(HWND hwnd) {
    if (!IsDialogWindow(hwnd)) return nullptr;
    return reinterpret_cast<DialogState*>(GetWindowLongPtr(hwnd, kDialogStateSlot));
}

// What a new dialog window starts with; handed over through CREATESTRUCT.
struct CreateParams {
    DialogState* state = nullptr;
};

std::string Text1252(const char8_t* utf8) {
    return utf8 ? Utf8ToCp1252(reinterpret_cast<const char*>(utf8)) : std::string();
}

bool Visible(HWND w) {
    return (GetWindowLong(w, GWL_STYLE) & WS_VISIBLE) != 0;
}
bool Enabled(HWND w) {
    return (GetWindowLong(w, GWL_STYLE) & WS_DISABLED) == 0;
}

std::vector<HWND> Controls(HWND dialog) {
    return plat::DialogControls(dialog);
}

UINT DlgCode(HWND control, WPARAM key = 0, MSG* msg = nullptr) {
    return control ? static_cast<UINT>(SendMessage(control, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(msg))) : 0;
}

bool IsPushButton(HWND w) {
    return (DlgCode(w) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

int DefaultId(HWND dialog) {
    const LRESULT r = SendMessage(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(static_cast<uintptr_t>(r)) == DC_HASDEFID ? LOWORD(static_cast<uintptr_t>(r)) : 0;
}

// The push buttons show which one Enter presses: the focused one, else the dialog's default.
void UpdateDefaultButton(HWND dialog, HWND focus) {
    const bool focusIsButton = focus && IsPushButton(focus);
    const int defId = DefaultId(dialog);
    bool marked = false;
    for (HWND w : Controls(dialog)) {
        if (!IsPushButton(w)) continue;
        bool shouldBeDefault = focusIsButton ? w == focus : (!marked && defId != 0 && GetDlgCtrlID(w) == defId && Visible(w));
        if (shouldBeDefault) marked = true;
        const DWORD type = static_cast<DWORD>(GetWindowLong(w, GWL_STYLE)) & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) continue;
        const bool isDefault = type == BS_DEFPUSHBUTTON;
        if (isDefault != shouldBeDefault)
            SendMessage(w, BM_SETSTYLE, shouldBeDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void GotoControl(HWND dialog, HWND control, bool keyboard) {
    if (!control) return;
    SetFocus(control);
    if (keyboard && IsWindow(control) && (DlgCode(control) & DLGC_HASSETSEL)) SendMessage(control, EM_SETSEL, 0, -1);
    (void)dialog;
}

HWND FirstTabStop(HWND dialog) {
    return GetNextDlgTabItem(dialog, nullptr, FALSE);
}

void FocusFirst(HWND dialog, DialogState* st) {
    HWND target = st->pendingFocus && IsWindow(st->pendingFocus) ? st->pendingFocus : FirstTabStop(dialog);
    st->pendingFocus = nullptr;
    if (target && IsChild(dialog, target)) GotoControl(dialog, target, true);
    else SetFocus(dialog);
}

// A mnemonic character chooses a control: a button is pressed, a label moves the focus on.
bool HandleMnemonic(HWND dialog, uint8_t ch) {
    const uint8_t wanted = ToUpper1252(ch);
    if (!wanted || wanted == ' ') return false;
    const std::vector<HWND> all = Controls(dialog);
    HWND focus = GetFocus();
    const auto at = std::find(all.begin(), all.end(), focus);
    const size_t start = at == all.end() ? all.size() - 1 : static_cast<size_t>(at - all.begin());
    for (size_t k = 1; k <= all.size(); ++k) {
        HWND w = all[(start + k) % all.size()];
        if (!Visible(w) || !Enabled(w)) continue;
        const UINT code = DlgCode(w);
        const std::string cls = ClassOf(w);
        if (cls != "BUTTON" && cls != "STATIC") continue;
        if (cls == "STATIC" && (GetWindowLong(w, GWL_STYLE) & SS_NOPREFIX)) continue;
        if (Mnemonic(WindowText(w)) != wanted) continue;
        if (code & DLGC_STATIC) {
            // A label or group box: the next control that takes the focus.
            auto it = std::find(all.begin(), all.end(), w);
            for (++it; it != all.end(); ++it)
                if (Visible(*it) && Enabled(*it) && !(DlgCode(*it) & DLGC_STATIC)) {
                    GotoControl(dialog, *it, true);
                    return true;
                }
            return true;
        }
        GotoControl(dialog, w, true);
        if (IsWindow(w)) SendMessage(w, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

void PressButton(HWND dialog, int id) {
    HWND button = nullptr;
    for (HWND w : Controls(dialog))
        if (GetDlgCtrlID(w) == id && Visible(w)) {
            button = w;
            break;
        }
    if (!button) button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return;
    }
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void FreeState(HWND hwnd) {
    DialogState* st = State(hwnd);
    if (!st) return;
    if (st->ownFont && st->font) DeleteObject(st->font);
    delete st;
    SetWindowLongPtr(hwnd, kDialogStateSlot, 0);
}

// The caption and the close box, by the mouse: client coordinates above the client area.
bool CaptionMouse(HWND hwnd, DialogState* st, UINT msg, LPARAM lParam) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT screen = p;
    ClientToScreen(hwnd, &screen);
    RECT wr;
    GetWindowRect(hwnd, &wr);
    const POINT w{screen.x - wr.left, screen.y - wr.top};
    const RECT close = CloseBoxRect(hwnd);
    const bool inClose = PtInRect(&close, w) != FALSE;
    switch (msg) {
        case WM_LBUTTONDOWN:
            if (p.y >= 0 || !((GetWindowLong(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)) return false;
            if (inClose) {
                st->closeDown = st->closeInside = true;
            } else {
                st->dragging = true;
                st->dragFrom = screen;
            }
            SetCapture(hwnd);
            PaintWindowFrame(hwnd);
            return true;
        case WM_MOUSEMOVE:
            if (st->closeDown) {
                if (inClose != st->closeInside) {
                    st->closeInside = inClose;
                    PaintWindowFrame(hwnd);
                }
                return true;
            }
            if (st->dragging) {
                const int dx = screen.x - st->dragFrom.x, dy = screen.y - st->dragFrom.y;
                if (dx || dy) {
                    st->dragFrom = screen;
                    SetWindowPos(hwnd, nullptr, wr.left + dx, wr.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                }
                return true;
            }
            return false;
        case WM_LBUTTONUP:
            if (!st->closeDown && !st->dragging) return false;
            {
                const bool chosen = st->closeDown && inClose;
                st->closeDown = st->closeInside = st->dragging = false;
                if (GetCapture() == hwnd) ReleaseCapture();
                PaintWindowFrame(hwnd);
                if (chosen) SendMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return true;
        default:
            return false;
    }
}

// kMsgCloseBoxPressed.
bool CloseBoxHeld(HWND hwnd) {
    DialogState* st = State(hwnd);
    return st && st->closeDown && st->closeInside;
}

// kMsgControlFocus: a control of the dialog got the focus.
void OnControlFocus(HWND dialog, HWND control) {
    if (!control || OwningDialog(control) != dialog) return;
    if (DialogState* st = State(dialog)) st->lastFocus = control;
    for (HWND w = GetParent(control); w && w != dialog; w = GetParent(w))
        if (DialogState* inner = State(w)) inner->lastFocus = control;
    UpdateDefaultButton(dialog, control);
}

}  // namespace

HWND CreateFromTemplate(const DialogTemplate& tmpl, HWND owner, DLGPROC proc, LPARAM param, const DialogOptions& options) {
    RegisterDialogClasses();
    auto state = std::make_unique<DialogState>();
    state->proc = proc;
    state->child = options.asChild;
    if (tmpl.pointSize > 0) {
        state->font = CreateFont(-MulDiv(tmpl.pointSize, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, static_cast<DWORD>(VARIABLE_PITCH) | FF_SWISS,
                                 tmpl.faceName ? tmpl.faceName : "MS Sans Serif");
        state->ownFont = state->font != nullptr;
    }
    if (!state->font) state->font = GetStockObject(DEFAULT_GUI_FONT);
    state->base = BaseUnits(state->font);
    const SIZE base = state->base;
    auto px = [&](int du, bool horizontal) { return MulDiv(du, horizontal ? base.cx : base.cy, horizontal ? 4 : 8); };

    DWORD style = tmpl.style & ~WS_VISIBLE;
    DWORD exStyle = tmpl.exStyle;
    if (style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTROL) exStyle |= WS_EX_CONTROLPARENT;
    if (options.asChild) {
        style = (style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME)) | WS_CHILD | DS_CONTROL;
        exStyle = (exStyle & ~WS_EX_DLGMODALFRAME) | WS_EX_CONTROLPARENT;
    }
    const int cx = px(tmpl.cx, true), cy = px(tmpl.cy, false);
    int x = px(tmpl.x, true), y = px(tmpl.y, false);
    if (!(style & WS_CHILD) && owner && !(style & DS_ABSALIGN)) {
        POINT o{0, 0};
        ClientToScreen(owner, &o);
        x += o.x;
        y += o.y;
    }
    CreateParams params{state.get()};
    const std::string caption = Text1252(tmpl.caption);
    HWND dlg = CreateWindowEx(exStyle, kDialogClass, caption.c_str(), style, x, y, cx, cy, owner,
                              (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<uintptr_t>(tmpl.id)) : nullptr,
                              nullptr, &params);
    if (!dlg) {
        if (!State(dlg) && state->ownFont) DeleteObject(state->font);
        return nullptr;
    }
    state.release();  // the window owns it now
    DialogState* st = State(dlg);
    // Size the window so that its client area is the template's.
    const SIZE extra = NonClientExtra(dlg);
    const int w = cx + extra.cx, h = cy + extra.cy;
    if (style & DS_CENTER) {
        x = (kScreenWidth - w) / 2;
        y = (kScreenHeight - h) / 2;
    }
    SetWindowPos(dlg, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessage(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(st->font), FALSE);

    std::vector<HWND> groupBoxes;
    for (const DialogItem& item : tmpl.items) {
        const std::string text = Text1252(item.text);
        const DWORD itemStyle = item.style | WS_CHILD;
        HWND c = CreateWindowEx(item.exStyle, item.className, text.c_str(), itemStyle, px(item.x, true),
                                px(item.y, false), px(item.cx, true), px(item.cy, false), dlg,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), nullptr, nullptr);
        if (!c) {
            std::fprintf(stderr, "dialog %u: control %d of class %s cannot be made\n", tmpl.id, item.id,
                         item.className ? item.className : "?");
            DestroyWindow(dlg);
            return nullptr;
        }
        SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(st->font), FALSE);
        const std::string cls = ClassOf(c);
        if (cls == "STATIC" && item.resource) {
            const DWORD type = itemStyle & SS_TYPEMASK;
            if (type == SS_ICON)
                SendMessage(c, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, MAKEINTRESOURCE(item.resource))), 0);
            else if (type == SS_BITMAP)
                SendMessage(c, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(LoadBitmap(nullptr, MAKEINTRESOURCE(item.resource))));
        }
        if (cls == "BUTTON") {
            const DWORD type = itemStyle & BS_TYPEMASK;
            if (type == BS_DEFPUSHBUTTON && st->defId == 0) st->defId = item.id;
            if (type == BS_GROUPBOX) groupBoxes.push_back(c);
        }
    }
    // Group boxes lie below the controls they hold: siblings clip each other here.
    for (HWND g : groupBoxes) SetWindowPos(g, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (options.deferInit) return dlg;
    InitDialog(dlg, param);
    if (!IsWindow(dlg)) return nullptr;
    if ((tmpl.style & WS_VISIBLE) && !options.hidden) ShowDialog(dlg);
    return dlg;
}

void InitDialog(HWND dlg, LPARAM param) {
    HWND first = FirstTabStop(dlg);
    const LRESULT setFocus = SendMessage(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dlg)) return;
    DialogState* st = State(dlg);
    if (st && !st->child) {
        // WM_INITDIALOG may have moved the tab stops (checked radio buttons): look again.
        if (setFocus) st->pendingFocus = FirstTabStop(dlg);
        else if (GetFocus() && IsChild(dlg, GetFocus())) st->pendingFocus = GetFocus();
    }
}

void ShowDialog(HWND dialog) {
    if (!IsWindow(dialog)) return;
    ShowWindow(dialog, SW_SHOW);
    DialogState* st = State(dialog);
    HWND focus = GetFocus();
    if (st && !st->child && (!focus || !IsChild(dialog, focus))) FocusFirst(dialog, st);
    UpdateWindow(dialog);
}

bool DialogEnded(HWND dialog, INT_PTR* result) {
    DialogState* st = State(dialog);
    if (!st) return true;
    if (result) *result = st->result;
    return st->ended;
}

INT_PTR RunModalLoop(HWND dialog, const std::function<bool(MSG&)>& preTranslate) {
    if (!IsWindow(dialog)) return -1;
    struct Guard {
        HWND dialog;
        HWND previousFocus;
        ~Guard() {
            PopModal(dialog);
            if (IsWindow(dialog)) DestroyWindow(dialog);
            if (previousFocus && IsWindow(previousFocus)) SetFocus(previousFocus);
        }
    } guard{dialog, GetFocus()};
    PushModal(dialog);
    std::string title = WindowText(dialog);
    if (!DialogEnded(dialog)) {
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowDialog(dialog);
    }
    // A scripted answer presses its button as soon as the dialog shows (-1: run on scripted input).
    int answer = -1;
    if (!DialogEnded(dialog) && HasBackend() && Backend().TakeScriptedAnswer(answer) && answer != -1)
        PressButton(dialog, answer);
    INT_PTR result = -1;
    switch (ModalLoop(dialog, [dialog, &result] { return DialogEnded(dialog, &result); }, preTranslate)) {
        case ModalEnd::Done:
            return IsWindow(dialog) ? result : -1;
        case ModalEnd::WindowGone:
        case ModalEnd::Quit:
            return -1;
        case ModalEnd::Overdue:
            throw HeadlessStall("dialog \"" + Cp1252ToUtf8(title) + "\" is still open after ten minutes of scripted time");
    }
    return -1;
}

// ---- The dialog class ------------------------------------------------------------------------------

LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT hooked = 0;
    if (afx::HookCreation(hwnd, msg, wParam, lParam, &hooked)) return hooked;
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
        const auto* params = cs ? static_cast<const CreateParams*>(cs->lpCreateParams) : nullptr;
        DialogState* st = params && params->state ? params->state : new DialogState;
        if (!params || !params->state) {
            st->font = GetStockObject(DEFAULT_GUI_FONT);
            st->base = BaseUnits(st->font);
        }
        SetWindowLongPtr(hwnd, kDialogStateSlot, reinterpret_cast<LONG_PTR>(st));
        SetWindowLongPtr(hwnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(st->proc));
    }
    // The controls' notices to the dialog manager, not the program's.
    if (msg == kMsgControlFocus) {
        OnControlFocus(hwnd, reinterpret_cast<HWND>(wParam));
        return 0;
    }
    if (msg == kMsgCloseBoxPressed) return CloseBoxHeld(hwnd) ? 1 : 0;
    DialogState* st = State(hwnd);
    if (st && st->proc && msg != WM_NCCREATE) {
        const INT_PTR handled = st->proc(hwnd, msg, wParam, lParam);
        switch (msg) {
            case WM_INITDIALOG:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
                if (handled || msg == WM_INITDIALOG) return handled;
                break;
            default:
                if (handled) return IsWindow(hwnd) ? GetWindowLongPtr(hwnd, DWLP_MSGRESULT) : 0;
                break;
        }
        if (!IsWindow(hwnd)) return 0;
    }
    const LRESULT r = DefDlgProc(hwnd, msg, wParam, lParam);
    // A dialog without a window object paints its frame here (AfxWndProc does it for the others).
    if (msg == WM_PAINT && IsWindow(hwnd) &&
        reinterpret_cast<WNDPROC>(GetWindowLongPtr(hwnd, GWLP_WNDPROC)) != &AfxWndProc)
        PaintWindowFrame(hwnd);
    return r;
}

}  // namespace plat::dlg

using namespace plat;
using namespace plat::dlg;

namespace {

// The background: the brush the dialog answers WM_CTLCOLORDLG with, else the dialog colour.
LRESULT OnEraseBackground(HWND hwnd, HDC dc) {
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessage(hwnd, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    if (!brush || GetObjectType(brush) != OBJ_BRUSH) brush = CachedBrush(DialogBackground());
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, brush);
    return 1;
}

LRESULT OnControlColour(HDC dc) {
    SetBkColor(dc, DialogBackground());
    SetTextColor(dc, DialogTextColour());
    return reinterpret_cast<LRESULT>(CachedBrush(DialogBackground()));
}

// The focus comes back where it was when the dialog is activated again.
void OnActivate(HWND hwnd, DialogState* st, bool active) {
    if (active) {
        if (!st->child) {
            HWND focus = GetFocus();
            if (!focus || !IsChild(hwnd, focus)) {
                if (st->lastFocus && IsWindow(st->lastFocus) && IsChild(hwnd, st->lastFocus))
                    SetFocus(st->lastFocus);
                else if (IsWindowVisible(hwnd))
                    FocusFirst(hwnd, st);
            }
        }
    } else {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) st->lastFocus = focus;
    }
    PaintWindowFrame(hwnd);
}

void OnSetFocus(HWND hwnd, DialogState* st) {
    if (st->lastFocus && IsWindow(st->lastFocus) && IsChild(hwnd, st->lastFocus)) {
        SetFocus(st->lastFocus);
    } else if (HWND first = FirstTabStop(hwnd); first && IsChild(hwnd, first)) {
        GotoControl(hwnd, first, true);
    }
}

void OnNextControl(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    HWND target = nullptr;
    if (LOWORD(lParam)) target = reinterpret_cast<HWND>(wParam);
    else target = GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0);
    if (target) GotoControl(hwnd, target, true);
}

void OnCaptureLost(HWND hwnd, DialogState* st) {
    if (!st->dragging && !st->closeDown) return;
    st->dragging = st->closeDown = st->closeInside = false;
    PaintWindowFrame(hwnd);
}

}  // namespace

LRESULT DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DialogState* st = State(hwnd);
    if (!st) return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_NCDESTROY:
            FreeState(hwnd);
            return DefWindowProc(hwnd, msg, wParam, lParam);
        case WM_ERASEBKGND:
            return OnEraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
            return OnControlColour(reinterpret_cast<HDC>(wParam));
        case WM_ACTIVATE:
            OnActivate(hwnd, st, wParam != 0);
            return 0;
        case WM_SETFOCUS:
            OnSetFocus(hwnd, st);
            return 0;
        case WM_SHOWWINDOW:
            return 0;
        case WM_SETTEXT: {
            const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
            PaintWindowFrame(hwnd);
            return r;
        }
        case WM_SETFONT:
            st->font = reinterpret_cast<HFONT>(wParam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(st->font);
        case WM_CLOSE:
            PressButton(hwnd, IDCANCEL);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case DM_GETDEFID:
            return st->defId ? MAKELPARAM(st->defId, DC_HASDEFID) : 0;
        case DM_SETDEFID:
            st->defId = static_cast<int>(wParam);
            UpdateDefaultButton(hwnd, GetFocus() && IsChild(hwnd, GetFocus()) ? GetFocus() : nullptr);
            return TRUE;
        case DM_REPOSITION:
            return 0;
        case WM_NEXTDLGCTL:
            OnNextControl(hwnd, wParam, lParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            if (CaptionMouse(hwnd, st, msg, lParam)) return 0;
            return DefWindowProc(hwnd, msg, wParam, lParam);
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) OnCaptureLost(hwnd, st);
            return 0;
        case WM_GETDLGCODE:
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

HWND CreateDialogIndirectParam(HINSTANCE, const DialogTemplate* tmpl, HWND owner, DLGPROC proc, LPARAM param) {
    if (!tmpl) return nullptr;
    return CreateFromTemplate(*tmpl, owner, proc, param);
}

HWND CreateDialogParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    const DialogTemplate* tmpl = FindDialogTemplate(name);
    if (!tmpl) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateDialogIndirectParam(instance, tmpl, owner, proc, param);
}

HWND CreateDialog(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc) {
    return CreateDialogParam(instance, name, owner, proc, 0);
}

INT_PTR DialogBoxIndirectParam(HINSTANCE, const DialogTemplate* tmpl, HWND owner, DLGPROC proc, LPARAM param) {
    if (!tmpl) return -1;
    DialogOptions options;
    options.hidden = true;
    HWND dlg = CreateFromTemplate(*tmpl, owner, proc, param, options);
    if (!dlg) return -1;
    return RunModalLoop(dlg, [dlg](MSG& m) { return IsDialogMessage(dlg, &m) != FALSE; });
}

INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    const DialogTemplate* tmpl = FindDialogTemplate(name);
    if (!tmpl) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    return DialogBoxIndirectParam(instance, tmpl, owner, proc, param);
}

INT_PTR DialogBox(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc) {
    return DialogBoxParam(instance, name, owner, proc, 0);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    DialogState* st = State(dialog);
    if (!st) return FALSE;
    st->ended = true;
    st->result = result;
    return TRUE;
}

BOOL IsDialogMessage(HWND dialog, MSG* msg) {
    if (!msg || !IsWindow(dialog)) return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
    HWND focus = GetFocus();
    if (focus && focus != dialog && !IsChild(dialog, focus)) focus = nullptr;
    switch (msg->message) {
        case WM_KEYDOWN: {
            const UINT code = focus ? DlgCode(focus, msg->wParam, msg) : 0;
            if (code & DLGC_WANTMESSAGE) break;
            switch (msg->wParam) {
                case VK_TAB: {
                    if (code & DLGC_WANTTAB) break;
                    HWND next = GetNextDlgTabItem(dialog, focus, GetKeyState(VK_SHIFT) < 0);
                    if (next) GotoControl(dialog, next, true);
                    return TRUE;
                }
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN: {
                    if (code & DLGC_WANTARROWS) break;
                    if (!focus) return TRUE;
                    const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
                    HWND next = GetNextDlgGroupItem(dialog, focus, back);
                    if (next && next != focus) {
                        GotoControl(dialog, next, true);
                        const UINT nextCode = DlgCode(next);
                        if ((nextCode & DLGC_RADIOBUTTON) &&
                            (static_cast<DWORD>(GetWindowLong(next, GWL_STYLE)) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                            SendMessage(next, BM_CLICK, 0, 0);
                    }
                    return TRUE;
                }
                case VK_RETURN: {
                    int id = 0;
                    if (focus && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && IsWindowEnabled(focus))
                        id = GetDlgCtrlID(focus);
                    if (!id) id = DefaultId(dialog);
                    if (!id) id = IDOK;
                    PressButton(dialog, id);
                    return TRUE;
                }
                case VK_ESCAPE:
                    PressButton(dialog, IDCANCEL);
                    return TRUE;
                default:
                    break;
            }
            break;
        }
        case WM_CHAR: {
            const UINT code = focus ? DlgCode(focus, msg->wParam, msg) : 0;
            if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
            const auto ch = static_cast<uint8_t>(msg->wParam);
            if (ch == '\t' || ch == '\r' || ch == 0x1B) return TRUE;
            if (HandleMnemonic(dialog, ch)) return TRUE;
            break;
        }
        case WM_SYSCHAR:
            if (HandleMnemonic(dialog, static_cast<uint8_t>(msg->wParam))) return TRUE;
            MessageBeep(0);
            return TRUE;
        default:
            break;
    }
    TranslateMessage(msg);
    DispatchMessage(msg);
    return TRUE;
}

BOOL MapDialogRect(HWND dialog, RECT* r) {
    DialogState* st = State(dialog);
    if (!st || !r) return FALSE;
    r->left = MulDiv(r->left, st->base.cx, 4);
    r->right = MulDiv(r->right, st->base.cx, 4);
    r->top = MulDiv(r->top, st->base.cy, 8);
    r->bottom = MulDiv(r->bottom, st->base.cy, 8);
    return TRUE;
}

LONG GetDialogBaseUnits() {
    return MAKELPARAM(8, 16);
}

namespace plat {

void RegisterDialogClasses() {
    RegisterControlClasses();
    struct ClassDef {
        LPCSTR name;
        WNDPROC proc;
        UINT style;
        int extra;
    };
    const ClassDef defs[] = {
        {dlg::kDialogClass, dlg::DialogClassProc, CS_DBLCLKS, dlg::kDialogExtraBytes},
        {dlg::kTextViewClass, dlg::TextViewProc, 0, sizeof(LONG_PTR)},
    };
    for (const ClassDef& d : defs) {
        WNDCLASS existing;
        if (GetClassInfo(nullptr, d.name, &existing)) continue;
        WNDCLASS wc;
        wc.style = d.style;
        wc.lpfnWndProc = d.proc;
        wc.cbWndExtra = d.extra;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = d.name;
        RegisterClass(&wc);
    }
}

}  // namespace plat
