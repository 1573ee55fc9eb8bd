#include "tools/mkres/font_strip.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace mkres {

namespace {

// A byte outside the face's range, or one that only shows the default character ('?' for
// the bytes Windows-1252 leaves undefined).
bool FaceLacks(const plat::BitmapFace& face, uint8_t ch) {
    if (ch < face.firstChar || ch > face.lastChar) return true;
    if (ch == face.defaultChar) return false;
    const plat::BitmapGlyph* g = face.GlyphFor(ch);
    const plat::BitmapGlyph* d = face.GlyphFor(face.defaultChar);
    return !g || (d && g->advance == d->advance && g->width == d->width && g->bits == d->bits);
}

// The bands the cells fill left to right, each at most maxWidth pixels with column 0 and one
// separator pixel after every cell: the index of each band's first cell.
std::vector<size_t> Wrap(const std::vector<int>& cellWidths, int maxWidth) {
    std::vector<size_t> starts;
    int x = maxWidth;  // forces a first band
    for (size_t i = 0; i < cellWidths.size(); ++i) {
        if (x + cellWidths[i] + 1 > maxWidth) {
            starts.push_back(i);
            x = 1;
        }
        x += cellWidths[i] + 1;
    }
    return starts;
}

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

bool CheckStyle(const FontStripStyle& s, std::string* error) {
    if (s.separator == 0 || s.cap == 0) return Fail(error, "the separator and cap colours cannot be 0");
    if (s.separator == s.cap) return Fail(error, "the separator and cap colours must differ");
    const struct {
        int value;
        const char* name;
    } inks[] = {{s.ink, "ink"}, {s.outline, "outline"}};
    for (const auto& ink : inks) {
        if (ink.value < 0) continue;
        const std::string n = std::to_string(ink.value);
        if (ink.value == 0)
            return Fail(error, std::string("the ") + ink.name + " cannot be 0, the background");
        if (ink.value == s.separator)
            return Fail(error, std::string("the ") + ink.name + " " + n + " is the separator colour");
        if (ink.value == s.cap)
            return Fail(error, std::string("the ") + ink.name + " " + n + " is the cap colour");
    }
    if (s.outline == s.ink) return Fail(error, "the outline must differ from the ink");
    return true;
}

bool CheckChars(const plat::BitmapFace& face, std::string_view chars, std::string* error) {
    if (chars.empty()) return Fail(error, "a font strip needs characters");
    std::array<bool, 256> seen{};
    for (const char c : chars) {
        const auto ch = static_cast<uint8_t>(c);
        if (ch == 0) return Fail(error, "character 0 cannot be in a strip");
        if (seen[ch]) return Fail(error, "character " + FontStripCharName(ch) + " is in the list twice");
        seen[ch] = true;
        if (FaceLacks(face, ch))
            return Fail(error, "face " + face.faceName + " has no character " + FontStripCharName(ch));
        if (face.Advance(ch) <= 0)
            return Fail(error, "character " + FontStripCharName(ch) + " has no width in " + face.faceName);
    }
    return true;
}

}  // namespace

std::optional<CPictureCanvas> DrawFontStrip(const plat::BitmapFace& face, std::string_view chars,
                                            const FontStripStyle& style, std::string* error) {
    if (!face.Valid() || face.ascent < 1) {
        Fail(error, "face " + face.faceName + " cannot be laid out in a strip");
        return std::nullopt;
    }
    if (!CheckStyle(style, error) || !CheckChars(face, chars, error)) return std::nullopt;

    const int pad = style.outline >= 0 ? 1 : 0;
    const int cellHeight = face.height + 2 * pad;
    const int baseline = pad + face.ascent - 1;  // in the cell: the row the letters sit on
    std::vector<int> widths;
    for (const char c : chars) {
        const plat::BitmapGlyph* g = face.GlyphFor(static_cast<uint8_t>(c));
        widths.push_back(std::max(g->advance, g->width) + 2 * pad);
    }

    const int widest = *std::max_element(widths.begin(), widths.end());
    std::vector<size_t> starts = Wrap(widths, style.maxWidth);
    if (widest + 2 > style.maxWidth || starts.size() > static_cast<size_t>(kFontStripMaxBands)) {
        int total = 1;
        for (const int w : widths) total += w + 1;
        int need = std::max(widest + 2, style.maxWidth + 1);
        while (need < total && Wrap(widths, need).size() > static_cast<size_t>(kFontStripMaxBands)) ++need;
        Fail(error, "the glyphs do not fit in " + std::to_string(kFontStripMaxBands) + " bands of width " +
                        std::to_string(style.maxWidth) + "; width " + std::to_string(need) +
                        " would hold them");
        return std::nullopt;
    }
    starts.push_back(chars.size());
    const int bands = static_cast<int>(starts.size()) - 1;

    int width = 0;
    for (int b = 0; b < bands; ++b) {
        int x = 1;
        for (size_t i = starts[b]; i < starts[b + 1]; ++i) x += widths[i] + 1;
        width = std::max(width, x);
    }
    const int pitch = cellHeight + 1;
    CPictureCanvas strip(width, 3 + bands * pitch, 0);
    strip.Set(0, 1, style.cap);
    for (int b = 0; b <= bands; ++b) strip.Rect(1, 2 + b * pitch, width, 3 + b * pitch, style.separator);

    for (int b = 0; b < bands; ++b) {
        const int top = 3 + b * pitch;  // the cells' first row
        const int row = top + baseline;
        strip.Set(0, row, style.separator);
        int x = 1;
        for (size_t i = starts[b]; i < starts[b + 1]; ++i) {
            strip.Label(face, chars.substr(i, 1), x + pad, top + pad, style.ink, CPictureCanvas::Align::Left,
                        style.outline);
            const int last = x + widths[i] - 1;
            int lowest = row;
            for (int y = row + 1; y < top + cellHeight; ++y)
                for (int cx = x; cx <= last; ++cx)
                    if (strip.At(cx, y)) lowest = y;
            // The descent marker: the next separator line serves for the deepest cells.
            if (lowest + 1 < top + cellHeight) strip.Set(last, lowest + 1, style.separator);
            x = last + 1;
            strip.Set(x++, row, style.separator);
        }
        strip.Rect(x, row, width, row + 1, style.separator);
    }
    return strip;
}

std::string FontStripCharName(uint8_t ch) {
    char text[16];
    if (ch > 0x20 && ch < 0x7F)
        std::snprintf(text, sizeof text, "'%c'", static_cast<char>(ch));
    else
        std::snprintf(text, sizeof text, "0x%02X", ch);
    return text;
}

std::vector<uint8_t> FontStripCharList(std::string_view chars) {
    std::vector<uint8_t> out(chars.size() + 3, 0);
    out[0] = 1;
    std::copy(chars.begin(), chars.end(), out.begin() + 2);
    return out;
}

}  // namespace mkres
