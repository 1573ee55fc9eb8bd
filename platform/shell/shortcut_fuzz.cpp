// Any bytes as a shortcut stand-in: the reader answers without harm, and what it reads
// writes back to a stand-in it reads the same.
#include <cstddef>
#include <cstdint>

#include "platform/shell/shortcut_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto link = plat::ParseShortcutStandIn(std::string_view(reinterpret_cast<const char*>(data), size));
    if (link) {
        const auto again = plat::ParseShortcutStandIn(plat::FormatShortcutStandIn(*link));
        if (!again || again->target != link->target || again->desktopEntry != link->desktopEntry) __builtin_trap();
        (void)plat::IsOurDesktopEntryName(link->desktopEntry);
    }
    return 0;
}
