// The game's numbered fonts: a fixed table from a font number to a face of the game's font
// file (added at start-up), and the font object the text code holds them in.
#pragma once

#include <cstdint>

#include "platform/afxwin/cdc.h"

// The font object of the text code: a class-library font with no data of its own.
class CCorFont : public CFont {
public:
    CCorFont() = default;
    ~CCorFont() override;
};

// One row of the font table.
struct NumberedFont {
    int16_t number;
    const char* face;
    int height;
    int width;
    int weight;
    bool italic;
};

// The rows, in ascending order of number.
inline constexpr NumberedFont kNumberedFonts[] = {
    {0, "FONTSYS", 15, 4, 400, false},    {10, "GLORBLE", 12, 7, 400, false},
    {13, "FONT0013", 13, 5, 400, false},  {15, "FONT0015", 15, 6, 400, false},
    {16, "FONT0016", 15, 6, 700, false},  {17, "FONT0017", 15, 7, 400, true},
    {21, "FONT0021", 21, 9, 400, false},  {22, "FONT0022", 21, 9, 700, false},
    {27, "FONT0027", 24, 10, 400, false}, {28, "FONT0028", 24, 10, 700, false},
    {35, "FONT0035", 35, 16, 400, false}, {36, "FONT0036", 36, 16, 400, false},
};

// The row of a number, or null.
const NumberedFont* FindNumberedFont(int number);

// Makes the font of the number's row and attaches it to font, after freeing any font the
// object held; a number outside the table leaves the object empty. FALSE when it is empty.
BOOL CreateFontByNumber(int16_t number, CCorFont& font);
