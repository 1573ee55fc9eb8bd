// Reads any bytes as a BMP resource: no crash, and a picture read is whole and consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi/picture_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::Picture p;
    std::string error;
    if (!plat::ParseBmp(std::span(data, size), p, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (p.width <= 0 || p.height <= 0 || p.pixels.size() != static_cast<size_t>(p.width) * p.height) std::abort();
    for (uint8_t v : p.pixels)
        if (v >= p.colours.size()) std::abort();
    return 0;
}
