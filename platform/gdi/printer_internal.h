// Printer DCs inside GDI (printer_surface.cpp), for dc.cpp.
#pragma once

#include "platform/gdi/gdi_internal.h"

namespace plat::gdi {

// A printer DC from the installed opener, or null.
HDC CreatePrinterDc(LPCSTR driver, LPCSTR device, LPCSTR port, const void* devMode);
// The page surface of a printer DC; false outside a page.
bool PrinterSurface(DcObj* dc, Surface& s, POINT& origin);
int PrinterCaps(DcObj* dc, int index);
// The DC goes: its device is closed.
void ForgetPrinterDc(DcObj* dc);

}  // namespace plat::gdi
