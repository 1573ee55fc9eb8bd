// MessageBox: the box's window, its modal loop, keyboard and mouse, the scripted answers and
// the hook that makes AfxMessageBox use it.
#include "platform/msgbox/msgbox.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/core/backend.h"
#include "platform/core/display.h"
#include "platform/core/winuser.h"
#include "platform/msgbox/msgbox_internal.h"
#include "platform/strings/cp1252.h"

namespace plat {
namespace {

using msgbox::Box;
using msgbox::Button;

constexpr const char* kClassName = "ZelboMessageBox";

std::vector<MessageBoxRecord>& Log() {
    static std::vector<MessageBoxRecord> log;
    return log;
}

// The Swedish system's button texts.
const char* Label(int id) {
    switch (id) {
        case IDOK:
            return "OK";
        case IDCANCEL:
            return "Avbryt";
        case IDABORT:
            return "&Avbryt";
        case IDRETRY:
            return "&F\xF6rs\xF6k igen";
        case IDIGNORE:
            return "&Ignorera";
        case IDYES:
            return "&Ja";
        case IDNO:
            return "&Nej";
        default:
            return "";
    }
}

std::string Describe(const Box& box) {
    return "message box \"" + Cp1252ToUtf8(box.caption) + "\": \"" + Cp1252ToUtf8(box.text) + "\"";
}

Box* BoxOf(HWND hwnd) {
    return reinterpret_cast<Box*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
}

void Redraw(Box& box) {
    InvalidateRect(box.hwnd, nullptr, FALSE);
}

void Finish(Box& box, int answer) {
    if (box.done || answer == 0) return;
    box.done = true;
    box.result = answer;
}

void MoveFocus(Box& box, int step) {
    const int n = static_cast<int>(box.buttons.size());
    box.focus = ((box.focus + step) % n + n) % n;
    box.spaceDown = false;
    box.pressed = -1;
    Redraw(box);
}

bool Inside(const RECT& r, int x, int y) {
    return PtInRect(&r, POINT{x, y}) != FALSE;
}

// The button whose mnemonic is ch, or -1.
int ButtonByMnemonic(const Box& box, uint8_t ch) {
    for (size_t i = 0; i < box.buttons.size(); ++i) {
        const char* amp = std::strchr(box.buttons[i].label, '&');
        if (amp && amp[1] && ToUpper1252(static_cast<uint8_t>(amp[1])) == ToUpper1252(ch))
            return static_cast<int>(i);
    }
    return -1;
}

void EndCapture(Box& box) {
    box.pressed = -1;
    box.pressedInside = false;
    box.closePressed = false;
    box.closeInside = false;
    if (GetCapture() == box.hwnd) ReleaseCapture();
}

void OnKeyDown(Box& box, WPARAM vk) {
    switch (vk) {
        case VK_RETURN:
            Finish(box, box.buttons[static_cast<size_t>(box.focus)].id);
            break;
        case VK_ESCAPE:
            Finish(box, box.escapeAnswer);
            break;
        case VK_TAB:
            MoveFocus(box, GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            break;
        case VK_LEFT:
        case VK_UP:
            MoveFocus(box, -1);
            break;
        case VK_RIGHT:
        case VK_DOWN:
            MoveFocus(box, 1);
            break;
        case VK_SPACE:
            if (box.pressed < 0) {
                box.spaceDown = true;
                box.pressed = box.focus;
                box.pressedInside = true;
                Redraw(box);
            }
            break;
        default:
            break;
    }
}

// Space presses the focused button on its release.
void OnKeyUp(Box& box, WPARAM vk) {
    if (vk != VK_SPACE || !box.spaceDown) return;
    const int index = box.pressed;
    box.spaceDown = false;
    EndCapture(box);
    Redraw(box);
    if (index >= 0) Finish(box, box.buttons[static_cast<size_t>(index)].id);
}

// A button's underlined letter presses it (Alt held or not); Alt with any other letter beeps.
void OnChar(Box& box, uint8_t ch, bool withAlt) {
    if (ch < 0x20) return;  // Enter, Escape and Tab work on their key downs
    const int i = ButtonByMnemonic(box, ch);
    if (i >= 0) {
        box.focus = i;
        Finish(box, box.buttons[static_cast<size_t>(i)].id);
    } else if (withAlt) {
        MessageBeep(0);
    }
}

void OnLButtonDown(Box& box, int x, int y) {
    for (size_t i = 0; i < box.buttons.size(); ++i) {
        if (!Inside(box.buttons[i].rect, x, y)) continue;
        box.focus = static_cast<int>(i);
        box.pressed = static_cast<int>(i);
        box.pressedInside = true;
        box.spaceDown = false;
        SetCapture(box.hwnd);
        Redraw(box);
        return;
    }
    if (box.escapeAnswer && Inside(box.closeRect, x, y)) {
        box.closePressed = box.closeInside = true;
        SetCapture(box.hwnd);
        Redraw(box);
    }
}

// A held button (or the close box) shows pushed only with the pointer on it.
void OnMouseMove(Box& box, int x, int y) {
    if (box.pressed >= 0 && !box.spaceDown) {
        const bool in = Inside(box.buttons[static_cast<size_t>(box.pressed)].rect, x, y);
        if (in != box.pressedInside) {
            box.pressedInside = in;
            Redraw(box);
        }
    } else if (box.closePressed) {
        const bool in = Inside(box.closeRect, x, y);
        if (in != box.closeInside) {
            box.closeInside = in;
            Redraw(box);
        }
    }
}

void OnLButtonUp(Box& box) {
    int answer = 0;
    if (box.pressed >= 0 && !box.spaceDown && box.pressedInside)
        answer = box.buttons[static_cast<size_t>(box.pressed)].id;
    else if (box.closePressed && box.closeInside)
        answer = box.escapeAnswer;
    if (box.closePressed || (box.pressed >= 0 && !box.spaceDown)) {
        EndCapture(box);
        Redraw(box);
    }
    Finish(box, answer);
}

void OnCancelPress(Box& box) {
    if (box.spaceDown || (box.pressed < 0 && !box.closePressed)) return;
    box.pressed = -1;
    box.closePressed = false;
    Redraw(box);
}

LRESULT CALLBACK BoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Box* box = BoxOf(hwnd);
    if (!box) return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            msgbox::Paint(*box, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything
        case WM_KEYDOWN:
            OnKeyDown(*box, wParam);
            return 0;
        case WM_KEYUP:
            OnKeyUp(*box, wParam);
            return 0;
        case WM_CHAR:
        case WM_SYSCHAR:
            OnChar(*box, static_cast<uint8_t>(wParam), msg == WM_SYSCHAR);
            return 0;
        case WM_CLOSE:  // Alt+F4
            Finish(*box, box->escapeAnswer);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnLButtonDown(*box, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(*box, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(*box);
            return 0;
        case WM_CAPTURECHANGED:
        case WM_CANCELMODE:
            OnCancelPress(*box);
            return 0;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

bool RegisterBoxClass() {
    WNDCLASS existing;
    if (GetClassInfo(nullptr, kClassName, &existing)) return true;
    WNDCLASS wc;
    wc.lpfnWndProc = BoxProc;
    wc.lpszClassName = kClassName;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    return RegisterClass(&wc) != 0;
}

// Everything a box holds is released on every way out, exceptions included.
struct OpenBox {
    Box box;
    HWND previousFocus = nullptr;
    bool modal = false;
    ~OpenBox() {
        if (modal) PopModal(box.hwnd);
        if (box.hwnd && IsWindow(box.hwnd)) {
            SetWindowLongPtr(box.hwnd, GWLP_USERDATA, 0);
            DestroyWindow(box.hwnd);
        }
        if (previousFocus && IsWindow(previousFocus)) SetFocus(previousFocus);
        if (box.font) DeleteObject(box.font);
        if (box.bold) DeleteObject(box.bold);
    }
};

// The box's loop: every message of the program is dispatched (timers and paints reach their
// windows; the core drops input meant for other windows) until a button is chosen.
void RunModal(OpenBox& open) {
    Box& box = open.box;
    switch (ModalLoop(box.hwnd, [&box] { return box.done; })) {
        case ModalEnd::Done:
            return;
        case ModalEnd::WindowGone:
            // Destroyed under the box (its owner went): answer as Escape would, else the default.
            box.result = box.escapeAnswer ? box.escapeAnswer : box.buttons[static_cast<size_t>(box.focus)].id;
            box.hwnd = nullptr;
            return;
        case ModalEnd::Quit:
            // WM_QUIT ends the box and goes on to the program's own loop.
            box.result = box.escapeAnswer ? box.escapeAnswer : box.buttons[static_cast<size_t>(box.focus)].id;
            return;
        case ModalEnd::Overdue:
            throw MessageBoxUnanswered(Describe(box) + " is still open after ten minutes of scripted time");
    }
}

int ShowBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    OpenBox open;
    Box& box = open.box;
    box.text = text ? text : "";
    box.caption = caption ? caption : "Fel";
    box.type = type;
    box.icon = type & MB_ICONMASK;
    if (box.icon != MB_ICONHAND && box.icon != MB_ICONQUESTION && box.icon != MB_ICONEXCLAMATION &&
        box.icon != MB_ICONASTERISK)
        box.icon = 0;
    for (int id : MessageBoxButtons(type)) box.buttons.push_back(Button{id, Label(id), RECT{}});
    box.escapeAnswer = MessageBoxEscapeAnswer(type);
    const int wanted = static_cast<int>((type & MB_DEFMASK) >> 8);
    box.focus = wanted < static_cast<int>(box.buttons.size()) ? wanted : 0;

    MessageBoxRecord record;
    record.owner = owner;
    record.caption = box.caption;
    record.text = box.text;
    record.type = type;
    for (const Button& b : box.buttons) record.buttons.push_back(b.id);
    record.icon = box.icon;
    record.defaultButton = box.buttons[static_cast<size_t>(box.focus)].id;
    const size_t logIndex = Log().size();
    Log().push_back(record);

    int scripted = kMessageBoxInteractive;
    if (Backend().TakeScriptedAnswer(scripted)) {
        if (scripted != kMessageBoxInteractive &&
            std::find(record.buttons.begin(), record.buttons.end(), scripted) == record.buttons.end())
            throw MessageBoxUnanswered(Describe(box) + " cannot answer " + std::to_string(scripted));
    } else if (Backend().ScriptedInput()) {
        throw MessageBoxUnanswered(Describe(box) + " has no scripted answer");
    }

    box.font = look::MakeDialogFont(false);
    box.bold = look::MakeDialogFont(true);
    msgbox::LayOut(box);
    if (!RegisterBoxClass()) return 0;
    open.previousFocus = GetFocus();
    const int x = std::max(0, (kScreenWidth - box.width) / 2);
    const int y = std::max(0, (kScreenHeight - box.height) / 2);
    box.hwnd = CreateWindowEx(WS_EX_TOPMOST, kClassName, box.caption.c_str(), WS_POPUP, x, y, box.width,
                              box.height, IsWindow(owner) ? owner : nullptr, nullptr, nullptr, nullptr);
    if (!box.hwnd) return 0;
    SetWindowLongPtr(box.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    PushModal(box.hwnd);
    open.modal = true;
    ShowWindow(box.hwnd, SW_SHOW);
    UpdateWindow(box.hwnd);
    MessageBeep(box.icon);

    if (scripted != kMessageBoxInteractive)
        box.result = scripted;
    else
        RunModal(open);
    Log()[logIndex].answer = box.result;
    return box.result;
}

}  // namespace

std::vector<int> MessageBoxButtons(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

int MessageBoxEscapeAnswer(UINT type) {
    const std::vector<int> buttons = MessageBoxButtons(type);
    if (std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end()) return IDCANCEL;
    return buttons.size() == 1 ? buttons[0] : 0;
}

const std::vector<MessageBoxRecord>& MessageBoxLog() {
    return Log();
}

void ClearMessageBoxLog() {
    Log().clear();
}

void InstallMessageBoxes(std::string caption) {
    SetMessageBoxHook([caption](LPCSTR text, UINT type, UINT) {
        HWND owner = GetActiveWindow();
        std::string title = caption;
        if (title.empty()) {
            HWND main = owner;
            while (main && GetParent(main)) main = GetParent(main);
            if (main) {
                char buffer[256] = {};
                GetWindowText(main, buffer, sizeof(buffer));
                title = buffer;
            }
        }
        return MessageBox(owner, text, title.c_str(), type);
    });
}

}  // namespace plat

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (!plat::HasBackend()) {
        // No screen yet: say it on the terminal and take the default button.
        std::fprintf(stderr, "[%s] %s\n", plat::Cp1252ToUtf8(caption ? caption : "Fel").c_str(),
                     plat::Cp1252ToUtf8(text ? text : "").c_str());
        return plat::DefaultMessageBoxButton(type);
    }
    return plat::ShowBox(owner, text, caption, type);
}
