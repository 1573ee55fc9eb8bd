// The thread message queue, window timers, waiting and the default window procedure.
//
// Retrieval order, as on Windows: posted messages, input messages, WM_QUIT, WM_PAINT, WM_TIMER.
// WM_PAINT and WM_TIMER are made on demand, so they come only when nothing else is queued.
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <thread>

#include "platform/core/display.h"
#include "platform/core/window_internal.h"

namespace plat::detail {
namespace {

std::mutex g_mu;
std::deque<MSG> g_posted;
std::deque<MSG> g_input;
uint64_t g_generation = 0;  // bumped on every new message: waits end when it moves

std::thread::id& UiThread() {
    static std::thread::id id = std::this_thread::get_id();
    return id;
}

bool OnUiThread() { return std::this_thread::get_id() == UiThread(); }

constexpr UINT kHtClient = 1;
constexpr UINT kScClose = 0xF060;
// A frame is shown at least this often while a program polls without waiting.
constexpr uint64_t kPresentIntervalMs = 8;

bool InRange(UINT msg, UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (msg >= lo && msg <= hi); }

bool WindowMatches(HWND target, HWND filter) {
    if (filter == reinterpret_cast<HWND>(-1)) return target == nullptr;
    if (!filter) return true;
    return target == filter || IsChild(filter, target);
}

bool Matches(const MSG& m, HWND filter, UINT lo, UINT hi) {
    return WindowMatches(m.hwnd, filter) && InRange(m.message, lo, hi);
}

// Takes (or copies) the first matching message of a queue, dropping messages of dead windows.
bool TakeFrom(std::deque<MSG>& q, MSG* out, HWND filter, UINT lo, UINT hi, bool remove) {
    std::lock_guard lock(g_mu);
    for (auto it = q.begin(); it != q.end();) {
        if (it->hwnd && !IsLive(it->hwnd)) {
            it = q.erase(it);
            continue;
        }
        if (Matches(*it, filter, lo, hi)) {
            *out = *it;
            if (remove) q.erase(it);
            return true;
        }
        ++it;
    }
    return false;
}

HWND FindPaintWindow(HWND w, HWND filter) {
    if (!(w->style & WS_VISIBLE)) return nullptr;
    if (w->hasUpdate && WindowMatches(w, filter)) return w;
    for (HWND c : w->children)
        if (HWND p = FindPaintWindow(c, filter)) return p;
    return nullptr;
}

HWND PaintPending(HWND filter) {
    for (HWND w : State().topLevel)
        if (HWND p = FindPaintWindow(w, filter)) return p;
    return nullptr;
}

Timer* DueTimer(HWND filter, uint64_t now) {
    Timer* best = nullptr;
    for (Timer& t : State().timers) {
        if (t.due > now || !WindowMatches(t.hwnd, filter)) continue;
        if (!best || t.due < best->due) best = &t;
    }
    return best;
}

uint64_t NextTimerDue(HWND filter) {
    uint64_t next = kNoDeadline;
    for (const Timer& t : State().timers)
        if (WindowMatches(t.hwnd, filter)) next = std::min(next, t.due);
    return next;
}

void Stamp(MSG* msg) {
    auto& st = State();
    msg->time = static_cast<DWORD>(ClockNow());
    GetCursorPos(&msg->pt);
    st.messageTime = msg->time;
    st.messagePos = msg->pt;
}

void PresentThrottled() {
    Display& d = TheDisplay();
    if (!d.IsDirty()) return;
    uint64_t now = Backend().NowMs();
    auto& st = State();
    if (now - st.lastPresent >= kPresentIntervalMs || now < st.lastPresent) {
        st.lastPresent = now;
        d.PresentIfDirty();
    }
}

bool Peek(MSG* msg, HWND filter, UINT lo, UINT hi, bool remove) {
    PumpBackend();
    auto& st = State();
    while (remove && TakeFrom(g_posted, msg, filter, plat::kMsgRemoteForeground, plat::kMsgRemoteForeground, true)) {
        if (msg->hwnd) SetForegroundWindow(msg->hwnd);
    }
    if (TakeFrom(g_posted, msg, filter, lo, hi, remove) || TakeFrom(g_input, msg, filter, lo, hi, remove)) {
        if (remove) {
            st.messageTime = msg->time;
            st.messagePos = msg->pt;
        }
        return true;
    }
    if (st.quitPosted && InRange(WM_QUIT, lo, hi)) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(st.quitCode);
        Stamp(msg);
        if (remove) st.quitPosted = false;
        return true;
    }
    if (InRange(WM_PAINT, lo, hi)) {
        if (HWND w = PaintPending(filter)) {
            *msg = MSG{};
            msg->hwnd = w;
            msg->message = WM_PAINT;
            Stamp(msg);
            return true;
        }
    }
    if (InRange(WM_TIMER, lo, hi)) {
        uint64_t now = ClockNow();
        if (Timer* t = DueTimer(filter, now)) {
            *msg = MSG{};
            msg->hwnd = t->hwnd;
            msg->message = WM_TIMER;
            msg->wParam = t->id;
            msg->lParam = reinterpret_cast<LPARAM>(t->proc);
            Stamp(msg);
            if (remove) t->due = now + t->period;
            return true;
        }
    }
    return false;
}

uint64_t Generation() {
    std::lock_guard lock(g_mu);
    return g_generation;
}

// Waits until a new message arrives, a timer matching the filter is due, or the deadline.
void WaitForNew(HWND filter, uint64_t deadline) {
    uint64_t gen = Generation();
    for (;;) {
        PumpBackend();
        if (Generation() != gen) return;
        uint64_t now = ClockNow();
        uint64_t until = std::min(deadline, NextTimerDue(filter));
        if (until <= now) return;
        TheDisplay().PresentIfDirty();
        State().lastPresent = now;
        Backend().WaitUntil(until);
    }
}

}  // namespace

void PostInput(const MSG& msg) {
    {
        std::lock_guard lock(g_mu);
        // Mouse moves are coalesced: only the newest position of a window waits in the queue.
        if (msg.message == WM_MOUSEMOVE && !g_input.empty() && g_input.back().message == WM_MOUSEMOVE &&
            g_input.back().hwnd == msg.hwnd)
            g_input.back() = msg;
        else
            g_input.push_back(msg);
        ++g_generation;
    }
}

void RemoveWindowMessages(HWND hwnd) {
    std::lock_guard lock(g_mu);
    auto drop = [hwnd](std::deque<MSG>& q) {
        q.erase(std::remove_if(q.begin(), q.end(), [hwnd](const MSG& m) { return m.hwnd == hwnd; }), q.end());
    };
    drop(g_posted);
    drop(g_input);
}

void WakeQueue() {
    {
        std::lock_guard lock(g_mu);
        ++g_generation;
    }
    if (HasBackend() && !OnUiThread()) Backend().Wake();
}

void ResetQueue() {
    std::lock_guard lock(g_mu);
    g_posted.clear();
    g_input.clear();
    ++g_generation;
    UiThread() = std::this_thread::get_id();
}

}  // namespace plat::detail

using namespace plat::detail;

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd && OnUiThread() && !IsLive(hwnd)) {
        const plat::WindowSharingHooks* sharing = plat::SharingHooks();
        if (sharing && sharing->postRemote && sharing->postRemote(hwnd, msg, wParam, lParam)) return TRUE;
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MSG m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = static_cast<DWORD>(ClockNow());
    {
        std::lock_guard lock(g_mu);
        g_posted.push_back(m);
        ++g_generation;
    }
    if (!OnUiThread()) plat::Backend().Wake();
    return TRUE;
}

BOOL PostThreadMessage(DWORD, UINT msg, WPARAM wParam, LPARAM lParam) {
    return PostMessage(nullptr, msg, wParam, lParam);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!IsLive(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return CallWindowProc(hwnd->proc, hwnd, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    auto& st = State();
    st.quitPosted = true;
    st.quitCode = exitCode;
    WakeQueue();
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    MSG local;
    if (!msg) msg = &local;
    bool found = Peek(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
    PresentThrottled();
    return found ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    MSG local;
    if (!msg) msg = &local;
    while (!Peek(msg, hwnd, filterMin, filterMax, true)) WaitForNew(hwnd, plat::kNoDeadline);
    PresentThrottled();
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
    MSG m;
    if (Peek(&m, nullptr, 0, 0, false)) return TRUE;
    WaitForNew(nullptr, plat::kNoDeadline);
    return TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD timeoutMs, DWORD) {
    if (count != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    uint64_t start = ClockNow();
    uint64_t deadline = timeoutMs == INFINITE ? plat::kNoDeadline : start + timeoutMs;
    for (;;) {
        MSG m;
        if (Peek(&m, nullptr, 0, 0, false)) return WAIT_OBJECT_0 + count;
        if (ClockNow() >= deadline) return WAIT_TIMEOUT;
        WaitForNew(nullptr, deadline);
    }
}

DWORD GetQueueStatus(UINT flags) {
    PumpBackend();
    DWORD status = 0;
    {
        std::lock_guard lock(g_mu);
        if (!g_posted.empty()) status |= QS_POSTMESSAGE;
        for (const MSG& m : g_input) {
            if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) status |= QS_KEY;
            if (m.message == WM_MOUSEMOVE) status |= QS_MOUSEMOVE;
            if (m.message > WM_MOUSEMOVE && m.message <= WM_MOUSELAST) status |= QS_MOUSEBUTTON;
        }
    }
    if (PaintPending(nullptr)) status |= QS_PAINT;
    if (DueTimer(nullptr, ClockNow())) status |= QS_TIMER;
    status &= flags;
    return (status << 16) | status;
}

BOOL GetInputState() {
    return (GetQueueStatus(QS_KEY | QS_MOUSEBUTTON) & 0xFFFF) ? TRUE : FALSE;
}

DWORD GetMessageTime() { return State().messageTime; }
LONG GetMessagePos() { return static_cast<LONG>(MAKELPARAM(State().messagePos.x, State().messagePos.y)); }
DWORD GetCurrentThreadId() { return static_cast<DWORD>(std::hash<std::thread::id>{}(std::this_thread::get_id())); }

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return FALSE;
    // The platform carries the typed Windows-1252 character in the scan-code byte of lParam.
    auto ch = static_cast<uint8_t>((static_cast<uintptr_t>(msg->lParam) >> 16) & 0xFF);
    if (!ch) return FALSE;
    MSG c = *msg;
    c.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    c.wParam = ch;
    {
        std::lock_guard lock(g_mu);
        g_posted.push_front(c);
        ++g_generation;
    }
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    if (!msg->hwnd || !IsLive(msg->hwnd)) return 0;
    LRESULT r = SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return r;
}

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!IsLive(hwnd)) return 0;
    switch (msg) {
        case WM_NCCREATE: return TRUE;
        case WM_CLOSE: DestroyWindow(hwnd); return 0;
        case WM_PAINT: ValidateRect(hwnd, nullptr); return 0;
        case WM_ERASEBKGND:
            if (plat::EraseBackgroundHook && hwnd->classBrush && wParam)
                return plat::EraseBackgroundHook(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETTEXT:
            hwnd->title = lParam ? reinterpret_cast<const char*>(lParam) : "";
            return TRUE;
        case WM_GETTEXT: {
            auto* buf = reinterpret_cast<char*>(lParam);
            if (!buf || wParam == 0) return 0;
            size_t n = std::min<size_t>(wParam - 1, hwnd->title.size());
            std::memcpy(buf, hwnd->title.data(), n);
            buf[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(hwnd->title.size());
        case WM_SETCURSOR:
            if (hwnd->isChild && hwnd->parent && SendMessage(hwnd->parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
            if (LOWORD(static_cast<uintptr_t>(lParam)) == kHtClient && hwnd->classCursor) {
                SetCursor(hwnd->classCursor);
                return TRUE;
            }
            return FALSE;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (static_cast<uintptr_t>(lParam) & (1u << 29)))
                SendMessage(TopLevelOf(hwnd), WM_SYSCOMMAND, kScClose, 0);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == kScClose) SendMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_MOUSEACTIVATE: return 1;  // MA_ACTIVATE
        default: return 0;
    }
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    auto& st = State();
    if (hwnd && !IsLive(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    elapseMs = std::max<UINT>(elapseMs, 10);  // the system's minimum interval
    if (!hwnd) id = st.nextThreadTimerId++;
    uint64_t due = ClockNow() + elapseMs;
    for (Timer& t : st.timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.period = elapseMs;
            t.proc = proc;
            t.due = due;
            return hwnd ? 1 : id;
        }
    }
    st.timers.push_back(Timer{hwnd, id, elapseMs, proc, due});
    WakeQueue();
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto& t = State().timers;
    auto it = std::find_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == hwnd && x.id == id; });
    if (it == t.end()) return FALSE;
    t.erase(it);
    // A WM_TIMER of a killed timer is never made: they are generated on demand.
    return TRUE;
}

namespace plat {
uint64_t NowMs64() { return Backend().QueryClockMs(); }
}  // namespace plat

DWORD GetTickCount() { return static_cast<DWORD>(plat::NowMs64()); }
DWORD timeGetTime() { return static_cast<DWORD>(plat::NowMs64()); }

void Sleep(DWORD ms) {
    uint64_t deadline = ClockNow() + ms;
    plat::TheDisplay().PresentIfDirty();
    while (ClockNow() < deadline) plat::Backend().WaitUntil(deadline);
}
