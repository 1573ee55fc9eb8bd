// The stand-in for the monochrome debug display device "\\.\MONO": a trace sink. The
// environment variable ZELBO_TRACE names it: "stderr", or a host file path that traces are
// appended to. Without the variable (or when the file cannot be opened) the device does not
// exist, exactly as on a machine without the display adapter.
#pragma once

#include <optional>
#include <string>

#include "platform/core/wintypes.h"
#include "platform/fs/handles.h"
#include "platform/fs/winfile.h"

// DeviceIoControl code that writes text to the debug display.
enum : DWORD { IOCTL_MONO_WRITE = 0x81002040 };

namespace plat {

// CreateFile for device names ("\\.\NAME"). Only "\\.\MONO" (any case) is known, and only
// while the trace sink exists; else INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND. The
// handle is closed with CloseHandle.
HANDLE CreateDeviceFile(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                        DWORD flagsAndAttributes, HANDLE templateFile);

// Tests: a sink target used instead of ZELBO_TRACE; nullopt returns to the environment.
void SetTraceTarget(std::optional<std::string> target);

}  // namespace plat

// IOCTL_MONO_WRITE on a debug display handle writes the input bytes (Windows-1252, shown as
// UTF-8) to the sink at once. Other codes fail with ERROR_INVALID_FUNCTION (1), other handles
// with ERROR_INVALID_HANDLE.
BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, DWORD* returned,
                     OVERLAPPED* overlapped);
