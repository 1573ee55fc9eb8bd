#include "engine/scene/idle.h"

#include <algorithm>
#include <vector>

#include "platform/core/winuser.h"

namespace {

// One guard for the whole program: a function that runs the idle step again (by waiting)
// does not run timers inside timers.
bool gRunning = false;

int64_t NowMs() {
    return static_cast<int64_t>(plat::NowMs64());
}

}  // namespace

CIdle* CIdleList::Create(CIdle::Function function, int16_t ticks) {
    const int16_t period = PeriodOfTicks(ticks);
    m_timers.push_front(std::make_unique<CIdle>(function, period, NowMs() + period, m_nextSerial++));
    return m_timers.front().get();
}

CIdle* CIdleList::Find(CIdle::Function function) const {
    for (const auto& t : m_timers)
        if (t->m_function == function) return t.get();
    return nullptr;
}

void CIdleList::Rearm(CIdle::Function function) {
    if (CIdle* t = Find(function)) t->m_due = NowMs() + t->m_period;
}

void CIdleList::AddOrRearm(CIdle::Function function, int16_t ticks) {
    if (Find(function))
        Rearm(function);
    else
        Create(function, ticks);
}

void CIdleList::Remove(CIdle::Function function) {
    const auto it = std::find_if(m_timers.begin(), m_timers.end(), [function](const auto& t) { return t->m_function == function; });
    if (it != m_timers.end()) m_timers.erase(it);
}

void CIdleList::RemoveAll() {
    m_timers.clear();
}

void CIdleList::RunDue() {
    if (gRunning) return;
    gRunning = true;
    // Cleared however the pass ends: a callback may leave by the engine's exit exception.
    struct Clear {
        ~Clear() { gRunning = false; }
    } clear;
    const int64_t now = NowMs();
    std::vector<uint64_t> due;
    for (const auto& t : m_timers)
        if (t->m_due <= now) due.push_back(t->m_serial);
    for (uint64_t serial : due) {
        const auto it = std::find_if(m_timers.begin(), m_timers.end(), [serial](const auto& t) { return t->m_serial == serial; });
        if (it == m_timers.end() || (*it)->m_due > now) continue;  // removed or re-armed meanwhile
        (*it)->m_function();
    }
    std::erase_if(m_timers, [now](const auto& t) { return t->m_due <= now; });
}
