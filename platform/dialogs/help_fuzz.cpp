// Reads any bytes as a help file (text or HTML): no crash, and text only ever shrinks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/dialogs/dialogs_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string title, text;
    const bool ok = plat::dlg::HelpFileText(std::string(reinterpret_cast<const char*>(data), size), title, text);
    if (ok == (size == 0)) std::abort();
    if (text.size() > size * 2 + 8) std::abort();  // "• " for each list item is the only growth
    return 0;
}
