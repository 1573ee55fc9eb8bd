// A module's resources named by type and module-relative id: what an activity's code names, listed
// once in its ids header, so that a data test can find every one in the built module file.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/core/byte_order.h"

namespace media {

struct ResIdRef {
    uint32_t type;  // three letters packed, first in the high byte ('SPR', 'SND', 'IN#' ...)
    int16_t id;     // module-relative (0 to 999)
    constexpr ResIdRef(std::string_view code, int16_t relative) : type(plat::PackTypeCode(code)), id(relative) {}
};

}  // namespace media
