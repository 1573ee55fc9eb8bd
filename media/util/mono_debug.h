// Trace output to the monochrome debug display. The device is opened once at program
// start and closed at exit; without it every write does nothing. On this platform the
// device is the trace sink that ZELBO_TRACE names (see platform/mci/debug_display.h).
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

// The one static record of the device; its constructor opens it, its destructor closes it.
class CMonoDebugDevice {
public:
    CMonoDebugDevice();
    ~CMonoDebugDevice();
    CMonoDebugDevice(const CMonoDebugDevice&) = delete;
    CMonoDebugDevice& operator=(const CMonoDebugDevice&) = delete;

    int32_t m_open = 0;
    HANDLE m_device = nullptr;
};

// Opens "\\.\MONO" (closing it first when open); the open flag says whether it exists.
void MonoDebugOpen();
void MonoDebugClose();
// Sends the text without its terminating zero in one write; nothing for null or empty text
// or without the device. Reports nothing.
void MonoDebugWrite(const char* text);
// Whether the device is open.
bool MonoDebugIsOpen();

// An item a module file lacks: writes "missing SPR 2104" (the type's three letters and the
// absolute id) once per type and id in a run, so a missing picture or sound shows in the trace
// without flooding it. Whole-program tests fail on such a line.
void MonoDebugTraceMissing(uint32_t type, int32_t id);
// Forgets what was reported (a test's new run).
void MonoDebugForgetMissing();
