// Shared by the printing layer's files only.
#pragma once

#include <vector>

#include "platform/print/print.h"

namespace plat::print {

// The printers now, WIN.INI brought in step.
std::vector<PrinterInfo> QueryPrinters();
// The spooler in use (null: none).
IPrintSpooler* SpoolerInUse();
// Makes GDI's CreateDC open our printers.
void EnsurePrinterOpener();

}  // namespace plat::print
