// What both programs read of an installed product in the registry: its text values, its
// 4-byte counts, and whether the product key names a copy that is still there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry/registry.h"
#include "setup/common/script_values.h"

namespace setup {

// A text value of at most 259 bytes; none when it is missing.
std::optional<std::string> QueryText(HKEY key, const char* name);

// Reads a 4-byte count; a shorter value reads with zeros for its missing bytes.
uint32_t CountOfValue(const uint8_t* data, DWORD length);

struct InstalledProduct {
    std::string installedPath;    // the product key's "Install Path"
    int32_t disableAutoplay = 0;  // "Disable Autoplay" on the maker's key, or the temporary key
};

// Looks under the maker's key (open, the caller closes it) for the product's key, first with
// its version and then without: 1 when it names an installation whose program is still there,
// or when autoplay is disabled; 0 when there is no key, no "Install Path", or the path is gone.
// `out` holds what was found either way.
int FindProductInstallation(HKEY maker, const char* makerKey, const ScriptValues& v, InstalledProduct& out);

}  // namespace setup
