// Writers of the Windows raster font formats: one face as an FNT resource, and a set of
// them wrapped in a 16-bit NE executable (.FON) with its font directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fonts/bitmap_face.h"

namespace fontbuild {

struct FntOptions {
    std::string copyright;
    // Version 3.0 (32-bit glyph offsets); 2.0 is written when the face fits in 64K unless
    // this is set, and 3.0 otherwise.
    bool forceVersion3 = false;
};

// The face must be Valid(); each cell is written advance pixels wide (ink beyond it, as in
// a synthesized italic, is cut off).
std::vector<uint8_t> WriteFnt(const plat::BitmapFace& face, const FntOptions& options = {});

struct FonModule {
    std::string moduleName;                   // resident name, e.g. "RODODED1"
    std::string description;                  // non-resident name, "FONTRES 100,96,96 : ..." by convention
    std::vector<std::vector<uint8_t>> fonts;  // FNT resources, numbered from 1
};

// Empty when the module does not fit the format (over 1 MB of resources, or no fonts).
std::vector<uint8_t> WriteFon(const FonModule& module);

}  // namespace fontbuild
