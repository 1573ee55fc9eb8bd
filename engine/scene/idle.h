// Idle callbacks: a CIdle calls a plain function once its due time on the platform's
// millisecond clock has come (hints after a pause, idle animations, time-outs); it is removed
// after it fires unless the function arms it again while it runs. CIdleList is the engine's
// list of them, newest at the head; a function names its timer (the first from the head).
// Times are 64-bit milliseconds; periods are 16-bit milliseconds (a delay of 2048 ticks or more
// wraps to a negative period, a due time already passed). User-interface thread only.
#pragma once

#include <cstdint>
#include <list>
#include <memory>

class CIdle {
public:
    using Function = void (*)();

    CIdle(Function function, int16_t periodMs, int64_t dueMs, uint64_t serial)
        : m_function(function), m_due(dueMs), m_period(periodMs), m_serial(serial) {}

    Function GetFunction() const { return m_function; }
    int64_t GetDue() const { return m_due; }
    int16_t GetPeriod() const { return m_period; }

private:
    friend class CIdleList;
    Function m_function;
    int64_t m_due;
    int16_t m_period;
    uint64_t m_serial;  // tells a timer from a later one made at the same address
};

class CIdleList {
public:
    // A delay in ticks is held as that many 16 ms steps, in 16 bits.
    static int16_t PeriodOfTicks(int16_t ticks) { return static_cast<int16_t>(ticks * 16); }

    // A new timer at the head: period = ticks x 16 ms (16 bits), due now + period.
    CIdle* Create(CIdle::Function function, int16_t ticks);
    // The first timer of the function gets due = now + its period; nothing without one.
    void Rearm(CIdle::Function function);
    // Re-arms the function's timer when it has one (the new delay is not used), else creates one.
    void AddOrRearm(CIdle::Function function, int16_t ticks);
    CIdle* Find(CIdle::Function function) const;
    // Unlinks and deletes the first timer of the function.
    void Remove(CIdle::Function function);
    void RemoveAll();
    // Calls the due timers' functions, then removes the timers still due (those that did not
    // re-arm). The due ones are taken first; each is called only while it is still listed and
    // due, so a function may remove its own or another timer, add timers or empty the list.
    // A call made while one runs returns at once.
    void RunDue();

    size_t GetCount() const { return m_timers.size(); }
    const std::list<std::unique_ptr<CIdle>>& Timers() const { return m_timers; }

private:
    std::list<std::unique_ptr<CIdle>> m_timers;
    uint64_t m_nextSerial = 1;
};
