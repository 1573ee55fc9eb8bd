#include "engine/toolbox/waits.h"

#include "engine/core/cor_engine.h"
#include "engine/scene/ticks.h"

uint32_t GetEngineTicks() { return static_cast<uint32_t>(GetTicks()); }

void Delay(int32_t n) {
    if (!theEngine) return;
    const uint64_t end = GetTicks() + static_cast<uint64_t>(n > 0 ? n : 0);
    for (;;) {
        uint64_t now = GetTicks();
        if (now == theEngine->m_delayStepTick) {
            SleepUntilTick(now + 1);
            now = GetTicks();
        }
        theEngine->RunIdle();
        if (!theEngine) return;
        theEngine->m_delayStepTick = now;
        if (GetTicks() >= end) return;
    }
}

bool ModuleLeaving() { return theEngine && (theEngine->m_unloading || theEngine->m_leaveRequest); }

bool WaitMustEnd() { return !theEngine || !theEngine->m_running || theEngine->ClosePending(); }

void FlushEvents(uint32_t mask) {
    if ((mask & 0xFFFF) != 0) FlushQueuedInput();
}
