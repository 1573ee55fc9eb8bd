// libFuzzer target for the raster font parsers: any input is refused or read into
// consistent faces.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/fonts/font_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    std::string error;
    std::vector<plat::BitmapFace> faces;
    if (plat::ParseFon(bytes, faces, error)) {
        for (const plat::BitmapFace& f : faces)
            if (!f.Valid()) __builtin_trap();
    }
    plat::BitmapFace face;
    if (plat::ParseFnt(bytes, face, error) && !face.Valid()) __builtin_trap();
    return 0;
}
