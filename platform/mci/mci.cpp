#include "platform/mci/mci.h"

#include <utility>

namespace {
plat::MciDriver g_driver;
}

MCIERROR mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
    if (g_driver) return g_driver(device, message, flags, params);
    if (message == MCI_OPEN) {
        // No movie driver is installed, whatever the type or file named.
        return MCIERR_INVALID_DEVICE_NAME;
    }
    if (device == MCI_ALL_DEVICE_ID && message == MCI_CLOSE) return 0;  // nothing is open
    return MCIERR_DEVICE_NOT_READY;
}

namespace plat {
MciDriver SetMciDriver(MciDriver driver) { return std::exchange(g_driver, std::move(driver)); }
}  // namespace plat
