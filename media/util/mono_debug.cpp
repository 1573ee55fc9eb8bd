#include "media/util/mono_debug.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

#include "platform/mci/debug_display.h"

namespace {
CMonoDebugDevice theMonoDebugDevice;

std::set<std::pair<uint32_t, int32_t>>& ReportedMissing() {
    static std::set<std::pair<uint32_t, int32_t>> reported;
    return reported;
}
}  // namespace

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

void MonoDebugTraceMissing(uint32_t type, int32_t id) {
    if (!ReportedMissing().insert({type, id}).second) return;
    char code[4] = {};
    for (int i = 0; i < 3; ++i) {
        const auto c = static_cast<char>(type >> (16 - 8 * i));
        code[i] = c >= 0x20 && c < 0x7F ? c : '?';
    }
    char line[48];
    std::snprintf(line, sizeof line, "missing %s %d\n", code, static_cast<int>(id));
    MonoDebugWrite(line);
}

void MonoDebugForgetMissing() { ReportedMissing().clear(); }
