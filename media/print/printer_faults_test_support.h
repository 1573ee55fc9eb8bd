// For tests: each printer fault the platform's printers can be given, the one message
// printing shows for it, and whether the page had been started by then (the printing flag is
// set and the "Skriver ut..." box is up only from the page's start).
#pragma once

#include "platform/print/print.h"

namespace printtest {

struct PrinterFaultCase {
    plat::PrinterFault fault;
    const char* message;
    bool pageStarted;
};

inline constexpr PrinterFaultCase kPrinterFaultCases[] = {
    {plat::PrinterFault::kCreateDC,
     "Skrivaren \xe4r felaktigt inst\xe4lld. Kontrollera inst\xe4llningarna i Windows Kontrollpanel.", false},
    {plat::PrinterFault::kNoBitBlt, "Skrivaren kan inte skriva ut grafik.", false},
    {plat::PrinterFault::kStartDoc, "Skrivaren eller utskriftshanteraren kan inte behandla dokumentet.", false},
    {plat::PrinterFault::kStartPage, "Skrivaren eller utskriftshanteraren kan inte behandla en sida.", false},
    {plat::PrinterFault::kEndPage, "Skrivaren eller utskriftshanteraren kan inte avsluta en sida.", true},
    {plat::PrinterFault::kEndDoc, "Skrivaren eller utskriftshanteraren kan inte avsluta dokumentet.", true},
};

}  // namespace printtest
