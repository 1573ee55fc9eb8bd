// Windows, the thread message queue, timers, input state and cursors.
// Windows semantics: WM_TIMER and WM_PAINT are made only when the queue holds nothing else,
// WM_MOUSEMOVE is coalesced, PeekMessage filters by window and message range.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/backend.h"
#include "platform/core/rect.h"
#include "platform/core/wintypes.h"

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    LPCSTR lpszMenuName = nullptr;
    LPCSTR lpszClassName = nullptr;
};

struct CREATESTRUCT {
    LPVOID lpCreateParams = nullptr;
    HINSTANCE hInstance = nullptr;
    HMENU hMenu = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    LPCSTR lpszName = nullptr;
    LPCSTR lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
};

// Classes and windows.
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(LPCSTR className, HINSTANCE hInstance);
BOOL GetClassInfo(HINSTANCE hInstance, LPCSTR className, WNDCLASS* wc);
// Child windows take the menu argument as their id.
HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                  HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
LONG GetWindowLong(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
int GetClassName(HWND hwnd, LPSTR buffer, int size);
int GetDlgCtrlID(HWND hwnd);
HWND GetDlgItem(HWND parent, int id);
HWND GetParent(HWND hwnd);
HWND SetParent(HWND child, HWND newParent);
BOOL IsChild(HWND parent, HWND hwnd);
enum : UINT { GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5 };
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND parent);
HWND GetDesktopWindow();

BOOL SetWindowText(HWND hwnd, LPCSTR text);
int GetWindowText(HWND hwnd, LPSTR buffer, int size);
int GetWindowTextLength(HWND hwnd);
// Finds a top-level window by class name and/or title (either may be null).
HWND FindWindow(LPCSTR className, LPCSTR windowName);

BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL BringWindowToTop(HWND hwnd);
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);
BOOL GetWindowRect(HWND hwnd, RECT* r);  // screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* r);  // (0, 0, width, height)
BOOL ClientToScreen(HWND hwnd, POINT* p);
BOOL ScreenToClient(HWND hwnd, POINT* p);
HWND WindowFromPoint(POINT screenPoint);
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint);

HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

// Painting.
BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* r);
BOOL UpdateWindow(HWND hwnd);
BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL erase);
BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags);
enum : UINT { RDW_INVALIDATE = 0x1, RDW_ERASE = 0x4, RDW_ALLCHILDREN = 0x80, RDW_UPDATENOW = 0x100 };

// Messages.
BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
// Waits end on what arrived since the thread last looked at its queue (GetMessage, PeekMessage,
// GetQueueStatus, WaitMessage, MsgWaitForMultipleObjects): a message already there does not end
// them. WaitMessage: any new message. MsgWaitForMultipleObjects: new messages of the kinds in
// wakeMask (QS_KEY, QS_MOUSEMOVE, QS_MOUSEBUTTON, QS_POSTMESSAGE, QS_TIMER, QS_PAINT ...),
// or timeoutMs. Returns WAIT_OBJECT_0 + count for "something new" and WAIT_TIMEOUT. Handles
// (process handles, object_wait.h) end the wait when signalled (WAIT_OBJECT_0 + index, or + 0
// when all are with waitAll); with handles the wait is in real time and the headless clock
// stands still (no timer comes due, nothing scripted happens, no HeadlessStall).
BOOL WaitMessage();
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs, DWORD wakeMask);
// High word: the kinds of message in the queue; low word: those of them new since the last call
// (or GetMessage/PeekMessage). Both limited to flags.
DWORD GetQueueStatus(UINT flags);
BOOL GetInputState();
DWORD GetMessageTime();
DWORD GetCurrentThreadId();
LONG GetMessagePos();

// Timers.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Clock: milliseconds of the platform's one clock, wrapping at 2^32 like the original.
DWORD GetTickCount();
DWORD timeGetTime();
void Sleep(DWORD ms);

// Input state. GetAsyncKeyState: the keys as of the input taken from the machine so far.
// GetKeyState and GetKeyboardState: as of the input messages the program has taken, so a
// handler reads the keys as they were when its message was made.
SHORT GetAsyncKeyState(int vk);
SHORT GetKeyState(int vk);
BOOL GetKeyboardState(BYTE* keys);  // 256 entries: 0x80 down, 0x01 toggled
BOOL GetCursorPos(POINT* p);
BOOL SetCursorPos(int x, int y);
int ShowCursor(BOOL show);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
BOOL DestroyCursor(HCURSOR cursor);
BOOL ClipCursor(const RECT* r);
UINT GetDoubleClickTime();

// System.
BOOL MessageBeep(UINT type);
DWORD GetVersion();
int GetSystemMetrics(int index);
DWORD GetSysColor(int index);

namespace plat {

// A colour cursor from an 8-bit picture (indices into palette), a 1-bit AND mask (rows padded
// to 16 bits, bit set = transparent) and a hot spot.
HCURSOR CreateColourCursor(int width, int height, int hotX, int hotY, const uint8_t* indices,
                           const uint8_t* andMask, const PALETTEENTRY* palette);
// The image of a cursor (tests, and the back end when it shows one).
const CursorImage* CursorImageOf(HCURSOR cursor);
// What the back end is showing now: nullptr when hidden (ShowCursor count below 0).
HCURSOR ShownCursor();

// The version GetVersion reports; tests set the Windows NT or Win32s words.
void SetReportedVersion(DWORD version);
// GetSystemMetrics (SM_SWAPBUTTON): 0 unless a test swaps the buttons; reset with the input.
void SetMouseButtonsSwapped(bool swapped);
constexpr DWORD kVersionWin95 = 0xC0000004;  // 4.0, high bit set
constexpr DWORD kVersionWinNT4 = 0x05650004;  // 4.0 build 1381, high bit clear
constexpr DWORD kVersionWin32s = 0x80000A03;  // 3.10, high bit set

// 64-bit milliseconds of the platform clock (no wrap); the engine's tick comes from this.
uint64_t NowMs64();

// Window geometry for GDI: the visible parts of a window (client area or whole window) in
// screen coordinates, with windows above it and (for client areas of WS_CLIPCHILDREN windows)
// its children cut out.
void VisibleRects(HWND hwnd, bool clientArea, std::vector<RECT>& out);
// Screen position of the window's client (0, 0), or of its window rectangle's corner.
POINT ClientOrigin(HWND hwnd);
// The window's update region taken by BeginPaint (its bounding rectangle) and cleared.
RECT TakeUpdateRect(HWND hwnd, bool* erase);
// DefWindowProc's WM_ERASEBKGND fills the window with its class brush through this hook,
// which the GDI layer sets (core has no drawing of its own).
extern BOOL (*EraseBackgroundHook)(HWND hwnd, HDC hdc);
// Called for every top-level window when the hardware palette changed (WM_PALETTECHANGED).
void BroadcastPaletteChanged(HWND changer);

// Modal state: while a modal loop of this window runs, input to every other top-level window
// of the program is refused (message boxes and dialogs set this).
void PushModal(HWND modal);
void PopModal(HWND modal);
HWND CurrentModal();

// How a modal loop ended.
enum class ModalEnd { Done, WindowGone, Quit, Overdue };
// Script time a modal loop may stay open when every input is scripted (Backend().ScriptedInput()):
// a box nobody drives would otherwise wait for ever.
inline constexpr uint64_t kScriptedModalLimitMs = 10 * 60 * 1000;
// The modal loop of message boxes and dialogs (the caller pushes and pops the modal state): takes
// every message of the program and dispatches it, preTranslate first when given (true: handled),
// until done() is true, the modal window is destroyed, or WM_QUIT comes (posted again for the
// program's own loop). On scripted input it gives up after kScriptedModalLimitMs (Overdue).
ModalEnd ModalLoop(HWND modal, const std::function<bool()>& done,
                   const std::function<bool(MSG&)>& preTranslate = {});

// Windows of other programs of the same installation (platform/ipc fills these in): top-level
// windows are published, FindWindow looks among them, and posting to or raising one of them
// reaches its program.
struct WindowSharingHooks {
    void (*topLevelChanged)() = nullptr;
    HWND (*findRemote)(LPCSTR className, LPCSTR windowName) = nullptr;
    bool (*postRemote)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = nullptr;
    bool (*foregroundRemote)(HWND hwnd) = nullptr;
};
void SetWindowSharingHooks(const WindowSharingHooks* hooks);
// A message another program posts to bring one of our windows to the front.
constexpr UINT kMsgRemoteForeground = 0x7FF0;

// Resets every window, timer, queue and input state: tests call it between cases.
void ResetWindowing();

}  // namespace plat
