// A monochrome bitmap face in memory: the glyphs and metrics of one raster font, whatever
// file it came from, as GDI text output and measurement use it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/wintypes.h"

namespace plat {

// One character cell. The bitmap is width × face height pixels in rows of RowBytes()
// bytes, the most significant bit the leftmost pixel, a set bit ink. width equals advance
// except in synthesized italic faces, whose ink leans past the advance.
struct BitmapGlyph {
    int advance = 0;
    int width = 0;
    std::vector<uint8_t> bits;

    int RowBytes() const { return (width + 7) / 8; }
    bool Ink(int x, int y) const {
        if (x < 0 || x >= width || y < 0) return false;
        const size_t i = static_cast<size_t>(y) * RowBytes() + static_cast<size_t>(x / 8);
        return i < bits.size() && (bits[i] & (0x80 >> (x & 7))) != 0;
    }
    void SetInk(int x, int y) {
        if (x < 0 || x >= width || y < 0) return;
        const size_t i = static_cast<size_t>(y) * RowBytes() + static_cast<size_t>(x / 8);
        if (i < bits.size()) bits[i] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
};

struct BitmapFace {
    std::string faceName;
    int height = 0;           // cell height in pixels
    int ascent = 0;           // rows above the baseline; descent is height - ascent
    int internalLeading = 0;  // part of the cell above the em (accents)
    int externalLeading = 0;  // suggested gap between lines, outside the cell
    int avgWidth = 0;
    int maxWidth = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int overhang = 0;  // extra width of synthesized bold or italic
    int points = 0;    // nominal size
    int vertRes = 96;
    int horizRes = 96;
    uint8_t charSet = 0;         // ANSI_CHARSET
    uint8_t pitchAndFamily = 0;  // as TEXTMETRIC's tmPitchAndFamily: bit 0 set = variable pitch
    // Absolute character codes; a code outside firstChar..lastChar draws as defaultChar.
    uint8_t firstChar = 0x20;
    uint8_t lastChar = 0xFF;
    uint8_t defaultChar = '?';
    uint8_t breakChar = ' ';
    std::vector<BitmapGlyph> glyphs;  // lastChar - firstChar + 1 cells, from firstChar

    int Descent() const { return height - ascent; }
    // The glyph drawn for a byte; null only for a face without glyphs.
    const BitmapGlyph* GlyphFor(uint8_t ch) const;
    int Advance(uint8_t ch) const;
    // Internal consistency (cell count, bitmap sizes, default char in range).
    bool Valid() const;
};

// Sum of the advances of the bytes, and the cell height.
SIZE TextExtent(const BitmapFace& face, std::string_view bytes);

// Calls plot(x, y) for every ink pixel of the text drawn with the cell's top left corner
// at (x, y); the caller clips.
template <class Plot>
void ForEachInk(const BitmapFace& face, std::string_view bytes, int x, int y, Plot&& plot) {
    int penX = x;
    for (const char c : bytes) {
        const BitmapGlyph* g = face.GlyphFor(static_cast<uint8_t>(c));
        if (!g) continue;
        const int rowBytes = g->RowBytes();
        for (int row = 0; row < face.height; ++row) {
            const size_t base = static_cast<size_t>(row) * rowBytes;
            if (base + rowBytes > g->bits.size()) break;
            for (int col = 0; col < g->width; ++col) {
                if (g->bits[base + col / 8] & (0x80 >> (col & 7))) plot(penX + col, y + row);
            }
        }
        penX += g->advance;
    }
}

// Windows' simulations for a raster face lacking the asked weight or slant: bold overstrikes
// each glyph one pixel to the right and widens each advance by one; italic shears the ink
// right by one pixel every two rows above the baseline.
BitmapFace SynthesizeBold(const BitmapFace& face);
BitmapFace SynthesizeItalic(const BitmapFace& face);

// The face used when no font file could be loaded at all: every printable character a
// hollow box, so text stays visible and measurable.
BitmapFace MakeBoxFace();

}  // namespace plat
