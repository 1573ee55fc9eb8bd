// Internal state of the window manager, shared by the core's source files only.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/winuser.h"

struct HWND__ {
    std::string className;
    WNDPROC proc = nullptr;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // owner for top-level windows
    bool isChild = false;
    int id = 0;
    RECT rect;  // window rectangle: parent client coordinates for children, screen for top-level
    std::vector<HWND> children;  // front (top of z-order) first
    LONG_PTR userData = 0;
    std::vector<LONG_PTR> extra;
    HCURSOR classCursor = nullptr;
    HBRUSH classBrush = nullptr;
    bool hasUpdate = false;
    bool eraseUpdate = false;
    RECT update;  // client coordinates
    bool destroying = false;
};

struct HCURSOR__ {
    plat::CursorImage image;
    bool shared = false;  // standard cursors are never destroyed
};

namespace plat {
const WindowSharingHooks* SharingHooks();
}

namespace plat::detail {

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    TIMERPROC proc = nullptr;
    uint64_t due = 0;
};

struct WindowState {
    std::vector<HWND> topLevel;  // front first
    std::vector<HWND> all;       // every live window
    std::map<std::string, WNDCLASS> classes;  // key: upper-case class name
    std::map<std::string, std::string> classNames;
    std::vector<Timer> timers;
    UINT_PTR nextThreadTimerId = 1;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    std::vector<HWND> modal;
    DWORD messageTime = 0;
    POINT messagePos;
    bool quitPosted = false;
    int quitCode = 0;
    uint64_t lastPresent = 0;
};

WindowState& State();
bool IsLive(HWND hwnd);
HWND TopLevelOf(HWND hwnd);
// Deepest visible, enabled window under a screen point (nullptr: the desktop).
HWND HitTest(POINT screen);
// Exposes an area of the screen that a window left (hide, move, destroy).
void ExposeScreenRect(const RECT& screen);
RECT ClientRectScreen(HWND hwnd);
RECT WindowRectScreen(HWND hwnd);
POINT ClientOffset(HWND hwnd);  // client origin inside the window rectangle

// The queue (message_queue.cpp).
// Queues an input message made from the input event numbered seq.
void PostInput(const MSG& msg, uint64_t seq);
// The number of the oldest input event with a message still queued (UINT64_MAX: none).
uint64_t FirstQueuedInput();
void RemoveWindowMessages(HWND hwnd);
// Marks the QS_ kinds as newly queued and ends a wait of another thread's making.
void WakeQueue(DWORD kinds);
void ResetQueue();
// Waits on kernel objects and messages (MsgWaitForMultipleObjects with handles).
DWORD WaitForObjectsOrMessages(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs, DWORD wakeMask);

// Kernel objects (object_wait.cpp): 1 signalled, 0 not yet, -1 not waitable.
int ObjectState(HANDLE handle);

// Input (input.cpp).
void PumpBackend();
// The program took the input message of event seq: GetKeyState follows the keys up to it.
void InputTaken(uint64_t seq);
void ResetInput();
void ForgetWindowInput(HWND hwnd);

// The clock as the platform itself reads it (never steps the headless clock).
inline uint64_t ClockNow() { return Backend().NowMs(); }

}  // namespace plat::detail
