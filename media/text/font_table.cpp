#include "media/text/font_table.h"

CCorFont::~CCorFont() = default;

const NumberedFont* FindNumberedFont(int number) {
    for (const NumberedFont& row : kNumberedFonts)
        if (row.number == number) return &row;
    return nullptr;
}

BOOL CreateFontByNumber(int16_t number, CCorFont& font) {
    // CFont::CreateFont refuses to attach over a held font and would leak the new one.
    font.DeleteObject();
    const NumberedFont* row = FindNumberedFont(number);
    if (!row) return FALSE;
    return font.CreateFont(row->height, row->width, 0, 0, row->weight, row->italic ? 1 : 0, 0, 0,
                           ANSI_CHARSET, OUT_RASTER_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           VARIABLE_PITCH, row->face);
}
