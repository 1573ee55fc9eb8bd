#include "media/util/mono_debug.h"

#include <cstring>

#include "platform/mci/debug_display.h"

namespace {
CMonoDebugDevice theMonoDebugDevice;
}

CMonoDebugDevice::CMonoDebugDevice() { MonoDebugOpen(); }

CMonoDebugDevice::~CMonoDebugDevice() { MonoDebugClose(); }

void MonoDebugOpen() {
    MonoDebugClose();  // a second open must not lose the first handle
    theMonoDebugDevice.m_device = plat::CreateDeviceFile("\\\\.\\MONO", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    theMonoDebugDevice.m_open = theMonoDebugDevice.m_device != INVALID_HANDLE_VALUE ? 1 : 0;
}

void MonoDebugClose() {
    if (theMonoDebugDevice.m_open) {
        CloseHandle(theMonoDebugDevice.m_device);
        theMonoDebugDevice.m_open = 0;
    }
}

void MonoDebugWrite(const char* text) {
    if (text == nullptr || *text == '\0' || !theMonoDebugDevice.m_open) return;
    DWORD returned = 0;
    DeviceIoControl(theMonoDebugDevice.m_device, IOCTL_MONO_WRITE, const_cast<char*>(text),
                    static_cast<DWORD>(std::strlen(text)), nullptr, 0, &returned, nullptr);
}

bool MonoDebugIsOpen() { return theMonoDebugDevice.m_open != 0; }
