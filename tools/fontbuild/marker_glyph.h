// The marker glyph (character 0x1F) of the game's faces: a solid triangle pointing right.
#pragma once

#include "platform/fonts/bitmap_face.h"

namespace fontbuild {

// The text items draw this glyph five rows below the line's top and colour only the ink
// strictly inside the glyph's cell (advance × height at the line's top). So the ink keeps
// one column clear on both sides and stays above the cell's last five rows; within that it
// is centred on the lower-case letters of the line it leads.
plat::BitmapGlyph MakeMarkerGlyph(const plat::BitmapFace& face);

}  // namespace fontbuild
