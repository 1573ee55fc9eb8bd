// Any bytes as an ELF image: the stamp reader must answer without reading out of bounds.
#include <cstddef>
#include <cstdint>

#include "platform/version/version_stamp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const plat::StampLookup found = plat::FindVersionStamp(std::span<const uint8_t>(data, size));
    if (found.status == plat::StampStatus::Found && found.offset + plat::kVersionStampSize > size) __builtin_trap();
    return 0;
}
