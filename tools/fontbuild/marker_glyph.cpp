#include "tools/fontbuild/marker_glyph.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace fontbuild {

namespace {

constexpr int kDrawDrop = 5;  // rows the marker is drawn below the line's top

// Top ink row of 'x' in the face, or an estimate when it has none.
int XHeightTop(const plat::BitmapFace& face) {
    if ('x' >= face.firstChar && 'x' <= face.lastChar) {
        const plat::BitmapGlyph& g = face.glyphs[static_cast<size_t>('x' - face.firstChar)];
        for (int y = 0; y < face.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (g.Ink(x, y)) return y;
    }
    return face.ascent - std::max(1, face.ascent / 2);
}

}  // namespace

plat::BitmapGlyph MakeMarkerGlyph(const plat::BitmapFace& face) {
    const int xTop = XHeightTop(face);
    const int xHeight = std::max(3, face.ascent - xTop);
    // Rows usable for ink: drawn kDrawDrop lower, the ink must end above the cell's last row.
    const int lastRow = face.height - 1 - kDrawDrop;
    int rows = std::min(xHeight + 1, lastRow + 1);
    if (rows % 2 == 0) --rows;
    rows = std::max(rows, 1);
    const int width = std::max(1, static_cast<int>(std::lround(rows * 0.87)));
    // Centre of the lower-case letters on screen, moved back up by the drop.
    const double centre = (xTop + face.ascent - 1) / 2.0 - kDrawDrop;
    const int top =
        std::clamp(static_cast<int>(std::lround(centre - (rows - 1) / 2.0)), 0, std::max(0, lastRow - rows + 1));

    plat::BitmapGlyph g;
    g.advance = g.width = width + 3;  // one clear column before the ink, two after
    g.bits.assign(static_cast<size_t>(g.RowBytes()) * static_cast<size_t>(face.height), 0);
    const double half = (rows - 1) / 2.0;
    for (int i = 0; i < rows; ++i) {
        const double fromMiddle = std::abs(i - half);
        const int length = std::max(1, static_cast<int>(std::lround(width * (1.0 - fromMiddle / (half + 1.0)))));
        for (int x = 0; x < length; ++x) g.SetInk(1 + x, top + i);
    }
    return g;
}

}  // namespace fontbuild
