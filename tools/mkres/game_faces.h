// The faces of the game's font file (RODODED1.FON in the platform's font folder), which
// picture labels and font strips are drawn in.
#pragma once

#include <string>

#include "platform/fonts/bitmap_face.h"
#include "tools/mkres/encoders.h"

namespace mkres {

inline constexpr const char* kGameFontFile = "RODODED1.FON";

// The face of that name, the file read once and recorded as an input of the build; null
// (with an error on the line) when the file cannot be read or has no such face.
const plat::BitmapFace* FindGameFace(const SourceLine& line, const std::string& name, EncodeContext& ctx);

}  // namespace mkres
