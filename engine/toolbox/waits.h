// The toolbox's clock and its synchronous wait: modules are written as straight-line code that
// waits with Delay while the engine goes on (idle steps: the module's Tick, scanning, idle
// callbacks, sound, animations, presentation). Mouse and key input stays queued meanwhile; a
// module that does not want it throws it away with FlushEvents.
#pragma once

#include <cstdint>

// The engine tick (sixtieths of a second), its low 32 bits.
uint32_t GetEngineTicks();
// Runs idle steps until n ticks have passed, one step per engine tick: between steps, and
// before the first when the last Delay step ran in the same tick, it sleeps to the next tick.
// n <= 0 runs exactly one step. A close of the main window that a step takes in is carried out
// by the application after the module's handler returns; Delay keeps its time.
void Delay(int32_t n);
// Whether a wait loop of a module must end now: the engine stops running (or there is none), or
// a close of the main window is pending (nothing the loop waits for can come any more).
bool WaitMustEnd();
// Any mask with a non-zero low 16 bits removes every queued mouse and key message; 0 nothing.
void FlushEvents(uint32_t mask);
// Whether the engine is taking the current module down (its leave under way or requested): a
// module's callback that runs then (a pop-up closed by the leave) starts nothing new.
bool ModuleLeaving();
