// A font strip: the glyphs of a face painted in one 8-bit picture, in rows ("bands") that a
// bitmap font scans back into its tables.
//
//   row 0          column 0 is 0: the background
//   row 1          column 0 is the cap colour
//   each band      a separator line (columns 1 .. W-1), the cell rows above the baseline,
//                  the baseline row, the rows below it; a closing separator line after the
//                  last band
//
// Column 0 holds the separator colour on the baseline rows only, so they are the glyph rows.
// On a baseline row, from column 1, each glyph cell is followed by one separator pixel; the
// row after the last cell is separator too. A cell is the glyph's advance wide (2 more with an
// outline, whose ring also adds a row above and below); its pixels are the ink, the outline
// or 0. The scanner walks up a cell's last column from the baseline to the separator line for
// the ascent, and down from the row below the baseline to the next separator pixel for the
// descent: so each cell gets a separator pixel in its last column right below its lowest ink,
// unless that is the next separator line anyway.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fonts/bitmap_face.h"
#include "tools/mkres/picture_canvas.h"

namespace mkres {

// The scanner finds at most 10 glyph rows. Its character list area holds 259 characters,
// more than the 255 distinct non-zero bytes, so any list of distinct characters fits.
inline constexpr int kFontStripMaxBands = 10;

struct FontStripStyle {
    uint8_t ink = 0;
    int outline = -1;  // none
    int maxWidth = 640;
    uint8_t separator = 250;
    uint8_t cap = 251;
};

// The strip of the characters (Windows-1252 bytes, each once, in strip order); none, with
// *error set, when a character is 0, repeated or missing from the face, the colours clash, or
// the glyphs need more than kFontStripMaxBands bands of style.maxWidth pixels.
std::optional<CPictureCanvas> DrawFontStrip(const plat::BitmapFace& face, std::string_view chars,
                                            const FontStripStyle& style, std::string* error);

// A character for messages: 'a', or 0xC5 beyond printable ASCII.
std::string FontStripCharName(uint8_t ch);

// The 'IST' list that goes with a strip: u16 1, the characters, a zero byte.
std::vector<uint8_t> FontStripCharList(std::string_view chars);

}  // namespace mkres
