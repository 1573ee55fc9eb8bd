// The thread message queue, window timers, waiting and the default window procedure.
//
// Retrieval order, as on Windows: posted messages, input messages, WM_QUIT, WM_PAINT, WM_TIMER.
// WM_PAINT and WM_TIMER are made on demand, so they come only when nothing else is queued.
//
// Waits end on what is new since the thread last looked at its queue (GetMessage, PeekMessage,
// GetQueueStatus, WaitMessage, MsgWaitForMultipleObjects), as on Windows: a message left queued
// on purpose does not end the next wait. Every arrival marks its kind (QS_KEY, QS_POSTMESSAGE ...)
// as new; a look clears the marks. A timer is new when it came due after the last look.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "platform/core/display.h"
#include "platform/core/object_wait.h"
#include "platform/core/window_internal.h"

namespace plat::detail {
namespace {

// A queued message and, for input, the number of the input event it came from (key state).
struct Queued {
    MSG msg;
    uint64_t seq = 0;
};

std::mutex g_mu;
std::deque<Queued> g_posted;
std::deque<Queued> g_input;
DWORD g_news = 0;         // QS_ kinds queued since the thread last looked
uint64_t g_lookedAt = 0;  // clock at the last look: timers due after it are new

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
// The input event number of a removed message goes to *seq.
bool TakeFrom(std::deque<Queued>& q, MSG* out, HWND filter, UINT lo, UINT hi, bool remove, uint64_t* seq = nullptr) {
    std::lock_guard lock(g_mu);
    for (auto it = q.begin(); it != q.end();) {
        if (it->msg.hwnd && !IsLive(it->msg.hwnd)) {
            it = q.erase(it);
            continue;
        }
        if (Matches(it->msg, filter, lo, hi)) {
            *out = it->msg;
            if (remove) {
                if (seq) *seq = it->seq;
                q.erase(it);
            }
            return true;
        }
        ++it;
    }
    return false;
}

DWORD InputKind(UINT message) {
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return QS_KEY;
    if (message == WM_MOUSEMOVE) return QS_MOUSEMOVE;
    if (message > WM_MOUSEMOVE && message <= WM_MOUSELAST) return QS_MOUSEBUTTON;
    return QS_POSTMESSAGE;
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

// The first time after `after` at which a timer of the filter comes due.
uint64_t NextTimerDue(HWND filter, uint64_t after) {
    uint64_t next = kNoDeadline;
    for (const Timer& t : State().timers)
        if (WindowMatches(t.hwnd, filter) && t.due > after) next = std::min(next, t.due);
    return next;
}

// A timer of the filter that came due since the last look.
bool NewTimerDue(HWND filter, uint64_t now) {
    for (const Timer& t : State().timers)
        if (WindowMatches(t.hwnd, filter) && t.due > g_lookedAt && t.due <= now) return true;
    return false;
}

// The thread looks at its queue: what is there now is no longer new.
void Look() {
    uint64_t now = ClockNow();
    std::lock_guard lock(g_mu);
    g_news = 0;
    g_lookedAt = now;
}

DWORD TakeNews(DWORD mask) {
    std::lock_guard lock(g_mu);
    return g_news & mask;
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
    Look();
    auto& st = State();
    while (remove && TakeFrom(g_posted, msg, filter, plat::kMsgRemoteForeground, plat::kMsgRemoteForeground, true)) {
        if (msg->hwnd) SetForegroundWindow(msg->hwnd);
    }
    uint64_t seq = 0;
    if (TakeFrom(g_posted, msg, filter, lo, hi, remove) || TakeFrom(g_input, msg, filter, lo, hi, remove, &seq)) {
        if (remove) {
            st.messageTime = msg->time;
            st.messagePos = msg->pt;
            if (seq) InputTaken(seq);
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

// Waits until something of the kinds in mask arrives that is new since the last look (a timer
// of the filter coming due counts as QS_TIMER), or the deadline. True when something new came.
bool WaitForNew(HWND filter, DWORD mask, uint64_t deadline) {
    for (;;) {
        PumpBackend();
        uint64_t now = ClockNow();
        if (TakeNews(mask) || ((mask & QS_TIMER) && NewTimerDue(filter, now))) return true;
        uint64_t until = deadline;
        if (mask & QS_TIMER) until = std::min(until, NextTimerDue(filter, now));
        if (until <= now) return false;
        TheDisplay().PresentIfDirty();
        State().lastPresent = now;
        Backend().WaitUntil(until);
    }
}

std::string MaskName(DWORD mask) {
    if ((mask & QS_ALLINPUT) == QS_ALLINPUT) return "QS_ALLINPUT";
    static constexpr std::pair<DWORD, const char*> kNames[] = {
        {QS_KEY, "QS_KEY"},       {QS_MOUSEMOVE, "QS_MOUSEMOVE"}, {QS_MOUSEBUTTON, "QS_MOUSEBUTTON"},
        {QS_POSTMESSAGE, "QS_POSTMESSAGE"}, {QS_TIMER, "QS_TIMER"}, {QS_PAINT, "QS_PAINT"},
        {QS_SENDMESSAGE, "QS_SENDMESSAGE"}};
    std::string s;
    for (auto [bit, name] : kNames)
        if (mask & bit) s += (s.empty() ? "" : "|") + std::string(name);
    return s.empty() ? "nothing" : s;
}

std::string FilterName(HWND filter, UINT lo, UINT hi) {
    char buf[96];
    if (lo == 0 && hi == 0)
        std::snprintf(buf, sizeof buf, "any message");
    else
        std::snprintf(buf, sizeof buf, "messages 0x%04X-0x%04X", lo, hi);
    std::string s = buf;
    if (filter == reinterpret_cast<HWND>(-1))
        s += " of the thread";
    else if (IsLive(filter))
        s += " of window '" + filter->title + "'";
    return s;
}

// The last wait or empty poll of the thread, named when a headless run finds it can never end.
struct WaitNote {
    const char* call = nullptr;
    HWND window = nullptr;
    UINT lo = 0;
    UINT hi = 0;
    DWORD mask = 0;
};
WaitNote g_wait;

void NoteWait(const char* call, HWND window = nullptr, UINT lo = 0, UINT hi = 0, DWORD mask = 0) {
    g_wait = WaitNote{call, window, lo, hi, mask};
}

}  // namespace

DWORD WaitForObjectsOrMessages(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs, DWORD wakeMask) {
    if (!handles || count > MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    wakeMask &= QS_ALLINPUT;
    // Real time: an object's end comes from outside the program's clock.
    using RealClock = std::chrono::steady_clock;
    const auto realDeadline = RealClock::now() + std::chrono::milliseconds(timeoutMs);
    bool looked = false;
    for (;;) {
        DWORD signalled = 0;
        DWORD first = count;
        for (DWORD i = 0; i < count; ++i) {
            const int state = ObjectState(handles[i]);
            if (state < 0) {
                SetLastError(ERROR_INVALID_HANDLE);
                return WAIT_FAILED;
            }
            if (state > 0) {
                ++signalled;
                first = std::min(first, i);
            }
        }
        if (waitAll ? signalled == count : signalled > 0) return WAIT_OBJECT_0 + (waitAll ? 0 : first);
        PumpBackend();
        const uint64_t now = ClockNow();
        if (TakeNews(wakeMask) || ((wakeMask & QS_TIMER) && NewTimerDue(nullptr, now))) {
            Look();
            return WAIT_OBJECT_0 + count;
        }
        if (!looked) {  // from here on only what arrives during the wait ends it
            Look();
            looked = true;
        }
        uint32_t realMs = UINT32_MAX;
        if (timeoutMs != INFINITE) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(realDeadline - RealClock::now());
            if (left.count() <= 0) {
                Look();
                return WAIT_TIMEOUT;
            }
            realMs = static_cast<uint32_t>(left.count());
        }
        NoteWait("MsgWaitForMultipleObjects", nullptr, 0, 0, wakeMask);
        TheDisplay().PresentIfDirty();
        State().lastPresent = now;
        Backend().WaitReal((wakeMask & QS_TIMER) ? NextTimerDue(nullptr, now) : plat::kNoDeadline, realMs);
    }
}

void PostInput(const MSG& msg, uint64_t seq) {
    std::lock_guard lock(g_mu);
    // Mouse moves are coalesced: only the newest position of a window waits in the queue.
    if (msg.message == WM_MOUSEMOVE && !g_input.empty() && g_input.back().msg.message == WM_MOUSEMOVE &&
        g_input.back().msg.hwnd == msg.hwnd)
        g_input.back() = Queued{msg, seq};
    else
        g_input.push_back(Queued{msg, seq});
    g_news |= InputKind(msg.message);
}

uint64_t FirstQueuedInput() {
    std::lock_guard lock(g_mu);
    uint64_t first = UINT64_MAX;
    for (const Queued& q : g_input) first = std::min(first, q.seq);
    return first;
}

void RemoveWindowMessages(HWND hwnd) {
    std::lock_guard lock(g_mu);
    auto drop = [hwnd](std::deque<Queued>& q) {
        q.erase(std::remove_if(q.begin(), q.end(), [hwnd](const Queued& m) { return m.msg.hwnd == hwnd; }), q.end());
    };
    drop(g_posted);
    drop(g_input);
}

void WakeQueue(DWORD kinds) {
    {
        std::lock_guard lock(g_mu);
        g_news |= kinds;
    }
    if (HasBackend() && !OnUiThread()) Backend().Wake();
}

void ResetQueue() {
    std::lock_guard lock(g_mu);
    g_posted.clear();
    g_input.clear();
    g_news = 0;
    g_lookedAt = 0;
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
        g_posted.push_back(Queued{m, 0});
        g_news |= QS_POSTMESSAGE;
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
    WakeQueue(QS_POSTMESSAGE);
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
    MSG local;
    if (!msg) msg = &local;
    bool found = Peek(msg, hwnd, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
    if (!found) {
        // An empty poll lets time pass, so that a loop polling for a message meets what is due.
        NoteWait("PeekMessage", hwnd, filterMin, filterMax);
        plat::Backend().QueryClockMs();
    }
    PresentThrottled();
    return found ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    MSG local;
    if (!msg) msg = &local;
    while (!Peek(msg, hwnd, filterMin, filterMax, true)) {
        NoteWait("GetMessage", hwnd, filterMin, filterMax);
        WaitForNew(hwnd, QS_ALLINPUT, plat::kNoDeadline);
    }
    PresentThrottled();
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
    PumpBackend();
    if (!TakeNews(QS_ALLINPUT) && !NewTimerDue(nullptr, ClockNow())) {
        Look();
        NoteWait("WaitMessage");
        WaitForNew(nullptr, QS_ALLINPUT, plat::kNoDeadline);
    }
    Look();
    return TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD timeoutMs, DWORD wakeMask) {
    if (count != 0) return plat::detail::WaitForObjectsOrMessages(count, handles, waitAll, timeoutMs, wakeMask);
    wakeMask &= QS_ALLINPUT;
    PumpBackend();
    uint64_t now = ClockNow();
    bool woken = TakeNews(wakeMask) || ((wakeMask & QS_TIMER) && NewTimerDue(nullptr, now));
    if (!woken && timeoutMs != 0) {
        uint64_t deadline = timeoutMs == INFINITE ? plat::kNoDeadline : now + timeoutMs;
        Look();
        NoteWait("MsgWaitForMultipleObjects", nullptr, 0, 0, wakeMask);
        woken = WaitForNew(nullptr, wakeMask, deadline);
    }
    Look();
    return woken ? WAIT_OBJECT_0 + count : WAIT_TIMEOUT;
}

namespace {
// The kinds of message queued now, and those of them that are new since the last look.
void QueueKinds(DWORD* present, DWORD* fresh) {
    DWORD status = 0;
    DWORD news = 0;
    {
        std::lock_guard lock(g_mu);
        if (!g_posted.empty()) status |= QS_POSTMESSAGE;
        for (const Queued& q : g_input) status |= InputKind(q.msg.message);
        news = g_news;
    }
    if (State().quitPosted) status |= QS_POSTMESSAGE;
    if (PaintPending(nullptr)) status |= QS_PAINT;
    uint64_t now = ClockNow();
    if (DueTimer(nullptr, now)) status |= QS_TIMER;
    if (NewTimerDue(nullptr, now)) news |= QS_TIMER;
    *present = status;
    *fresh = news & status;
}
}  // namespace

DWORD GetQueueStatus(UINT flags) {
    PumpBackend();
    DWORD present = 0;
    DWORD fresh = 0;
    QueueKinds(&present, &fresh);
    present &= flags;
    fresh &= flags;
    {
        // What was asked about has been looked at.
        std::lock_guard lock(g_mu);
        g_news &= ~static_cast<DWORD>(flags);
        if (flags & QS_TIMER) g_lookedAt = ClockNow();
    }
    return (present << 16) | fresh;
}

BOOL GetInputState() {
    PumpBackend();
    DWORD present = 0;
    DWORD fresh = 0;
    QueueKinds(&present, &fresh);
    return (fresh & (QS_KEY | QS_MOUSEBUTTON)) ? TRUE : FALSE;
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
        g_posted.push_front(Queued{c, 0});
        g_news |= QS_POSTMESSAGE;
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
    uint64_t due = ClockNow() + elapseMs;
    // A window's timer of the same id, or a thread timer of an id SetTimer gave, is replaced
    // and keeps its id: callers store the result and kill by it.
    for (Timer& t : st.timers) {
        if (t.hwnd == hwnd && t.id == id && (hwnd || id)) {
            t.period = elapseMs;
            t.proc = proc;
            t.due = due;
            return hwnd ? (id ? id : 1) : id;
        }
    }
    if (!hwnd) id = st.nextThreadTimerId++;
    st.timers.push_back(Timer{hwnd, id, elapseMs, proc, due});
    WakeQueue(0);
    return hwnd ? (id ? id : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    if (hwnd && !IsLive(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    auto& t = State().timers;
    auto it = std::find_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == hwnd && x.id == id; });
    if (it == t.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    t.erase(it);
    // A WM_TIMER of a killed timer is never made: they are generated on demand.
    return TRUE;
}

namespace plat {
uint64_t NowMs64() { return Backend().QueryClockMs(); }

std::string DescribeWait() {
    const WaitNote& w = g_wait;
    if (!w.call) return "nothing";
    std::string call = w.call;
    if (call == "MsgWaitForMultipleObjects") return call + " waking on " + MaskName(w.mask);
    if (call == "GetMessage" || call == "PeekMessage") return call + " for " + FilterName(w.window, w.lo, w.hi);
    return call;
}
}  // namespace plat

DWORD GetTickCount() { return static_cast<DWORD>(plat::NowMs64()); }
DWORD timeGetTime() { return static_cast<DWORD>(plat::NowMs64()); }

void Sleep(DWORD ms) {
    NoteWait("Sleep");
    uint64_t deadline = ClockNow() + ms;
    plat::TheDisplay().PresentIfDirty();
    while (ClockNow() < deadline) plat::Backend().WaitUntil(deadline);
}
