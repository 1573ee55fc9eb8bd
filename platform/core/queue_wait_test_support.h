// The table of queue waits that every back end's tests run: MsgWaitForMultipleObjects over
// wake masks and queue contents. A back end's test provides a Driver that makes messages of
// each kind arrive, at once or while the thread waits.
#pragma once

#include <gtest/gtest.h>

#include "platform/core/winuser.h"

namespace queue_wait_test {

enum class Arrival { None, Key, MouseMove, Click, Posted, Timer, Paint };

struct WaitCase {
    const char* name;
    Arrival old;       // queued and looked at before the wait (still queued)
    Arrival arriving;  // arrives kArrivalMs into the wait (or, with atOnce, before it unseen)
    DWORD mask;
    bool wakes;
    bool atOnce = false;
};

constexpr DWORD kTimeoutMs = 200;
constexpr int kArrivalMs = 20;
constexpr DWORD kInput = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON;

inline const WaitCase kWaitCases[] = {
    {"NothingNewSleepsToTheDeadline", Arrival::None, Arrival::None, QS_ALLINPUT, false},
    {"AnOldClickDoesNotWake", Arrival::Click, Arrival::None, QS_ALLINPUT, false},
    {"AnOldKeyDoesNotWakeAKeyWait", Arrival::Key, Arrival::None, QS_KEY, false},
    {"AnOldPostedMessageDoesNotWake", Arrival::Posted, Arrival::None, QS_ALLINPUT, false},
    {"AnOldDueTimerDoesNotWake", Arrival::Timer, Arrival::None, QS_TIMER, false},
    {"AnOldPaintDoesNotWake", Arrival::Paint, Arrival::None, QS_PAINT, false},
    {"ANewKeyWakesAKeyWait", Arrival::None, Arrival::Key, QS_KEY, true},
    {"ANewKeyDoesNotWakeAMouseWait", Arrival::None, Arrival::Key, QS_MOUSEMOVE | QS_MOUSEBUTTON, false},
    {"ANewMoveWakesAMoveWait", Arrival::None, Arrival::MouseMove, QS_MOUSEMOVE, true},
    {"ANewMoveDoesNotWakeAButtonWait", Arrival::None, Arrival::MouseMove, QS_MOUSEBUTTON | QS_KEY, false},
    {"ANewClickWakesAButtonWait", Arrival::None, Arrival::Click, QS_MOUSEBUTTON, true},
    {"ANewClickDoesNotWakeAKeyWait", Arrival::None, Arrival::Click, QS_KEY, false},
    {"ANewPostedMessageWakes", Arrival::None, Arrival::Posted, QS_POSTMESSAGE, true},
    {"ANewPostedMessageDoesNotWakeAnInputWait", Arrival::None, Arrival::Posted, kInput, false},
    {"ATimerComingDueWakesATimerWait", Arrival::None, Arrival::Timer, QS_TIMER, true},
    {"ATimerComingDueDoesNotWakeAKeyWait", Arrival::None, Arrival::Timer, QS_KEY, false},
    {"ANewPaintWakesAPaintWait", Arrival::None, Arrival::Paint, QS_PAINT, true},
    {"ANewPaintDoesNotWakeAPostedWait", Arrival::None, Arrival::Paint, QS_POSTMESSAGE, false},
    {"ANewKeyWakesDespiteAnOldClick", Arrival::Click, Arrival::Key, QS_ALLINPUT, true},
    {"NothingSendsAcrossThreads", Arrival::None, Arrival::Posted, QS_SENDMESSAGE, false},
    {"AMessageQueuedSinceTheLastLookWakesAtOnce", Arrival::None, Arrival::Posted, QS_ALLINPUT, true, true},
    {"AClickQueuedSinceTheLastLookWakesAtOnce", Arrival::None, Arrival::Click, QS_MOUSEBUTTON, true, true},
};

inline std::string CaseName(const ::testing::TestParamInfo<WaitCase>& info) { return info.param.name; }

class Driver {
public:
    virtual ~Driver() = default;
    // Whether this back end's test can make this kind arrive while the thread waits.
    virtual bool CanArrive(Arrival) const { return true; }
    // Makes a message of the kind reach the queue now (input may wait in the back end until the
    // next look; Settle lets it and a timer come in).
    virtual void Now(Arrival a) = 0;
    virtual void Settle(Arrival a) = 0;
    // Makes a message of the kind arrive ms from now, while the thread waits.
    virtual void After(Arrival a, int ms) = 0;
};

// Prepares the queue as the case says and waits; returns what MsgWaitForMultipleObjects did.
inline DWORD RunWaitCase(Driver& d, const WaitCase& c) {
    MSG m;
    if (c.old != Arrival::None) {
        d.Now(c.old);
        d.Settle(c.old);
        EXPECT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) << "the old message is not queued";
    } else {
        PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE);
    }
    if (c.arriving != Arrival::None) {
        if (c.atOnce) {
            d.Now(c.arriving);
            if (c.arriving == Arrival::Timer) d.Settle(c.arriving);
        } else {
            d.After(c.arriving, kArrivalMs);
        }
    }
    DWORD r = MsgWaitForMultipleObjects(0, nullptr, FALSE, kTimeoutMs, c.mask);
    // The old message is still there for the program to take.
    if (c.old != Arrival::None) {
        EXPECT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
    }
    return r;
}

}  // namespace queue_wait_test
