// The seam between GDI and the printing layer (platform/print): a printer DC draws into the
// page image of a printer device that the printing layer opens, with GDI's usual drawing.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/gdi/wingdi.h"

namespace plat {

// One page at the printer's resolution: 8-bit values over a colour table that grows as
// colours are drawn (entry 0 is the white paper), so a page of up to 256 colours keeps them
// exactly; further colours take the nearest entry.
struct PrinterPage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // top row first
    std::array<RGBQUAD, 256> table{};
    int used = 1;
    void Reset(int w, int h);
};

class IPrinterDevice {
public:
    virtual ~IPrinterDevice() = default;
    virtual int DeviceCaps(int index) const = 0;
    // The page being drawn; null outside StartPage..EndPage (drawing then does nothing).
    virtual PrinterPage* Page() = 0;
};

// Opens a printer for CreateDC (driver, device, port, DEVMODE or null); null when there is
// no such printer. The printing layer installs it.
using PrinterOpener = std::unique_ptr<IPrinterDevice> (*)(LPCSTR driver, LPCSTR device, LPCSTR port,
                                                          const void* devMode);
void SetPrinterOpener(PrinterOpener opener);
// The device of a printer DC, or null.
IPrinterDevice* PrinterDeviceOf(HDC hdc);

}  // namespace plat
