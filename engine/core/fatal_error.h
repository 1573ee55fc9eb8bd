// The end of the program on a failure it cannot recover from: a message (out of memory, or
// any other exception), then the engine's exit exception, which the application's Run
// catches to end the program in order.
#pragma once

class CException;

// Sets the busy/presenting guard (no frame is presented afterwards), shows string 40001 for a
// CMemoryException and 40011 for anything else, deletes e, and throws a new CCorExceptionExit
// by pointer. Never returns.
[[noreturn]] void FatalEngineError(CException* e);

// The allocation-failure handler the start-up installs: throws the class library's memory
// exception.
void EngineNewHandler();
