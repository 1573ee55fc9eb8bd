// Shared by the GDI text files (text_out.cpp, draw_text.cpp) only.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/gdi/text_out.h"
#include "platform/fonts/bitmap_face.h"

namespace plat::gdi {

// Positions further out than this are taken as this far (no sum of advances overflows).
constexpr int64_t kMaxTextExtent = int64_t(1) << 24;

// The face of a DC's font and the lines the font's LOGFONT adds.
struct FontUse {
    std::shared_ptr<const BitmapFace> face;
    bool underline = false;
    bool strikeOut = false;
};
// False for an invalid DC.
bool FontOfDc(HDC hdc, FontUse& out);

// The row of the cell that underlines are drawn on.
int UnderlineRow(const BitmapFace& face);

// ExtTextOut's work with the font already found; underlines lists runs of characters
// (first, count) to underline as well (DrawText's mnemonics).
BOOL DrawTextRun(HDC hdc, const FontUse& font, int x, int y, UINT options, const RECT* rect,
                 std::string_view text, const INT* dx, const std::vector<std::pair<int, int>>* underlines);

}  // namespace plat::gdi
