#include "platform/fonts/bitmap_face.h"

#include <algorithm>

namespace plat {

const BitmapGlyph* BitmapFace::GlyphFor(uint8_t ch) const {
    if (glyphs.empty()) return nullptr;
    uint8_t code = ch;
    if (code < firstChar || code > lastChar) code = defaultChar;
    if (code < firstChar || code > lastChar) code = firstChar;
    const size_t index = static_cast<size_t>(code - firstChar);
    return index < glyphs.size() ? &glyphs[index] : nullptr;
}

int BitmapFace::Advance(uint8_t ch) const {
    const BitmapGlyph* g = GlyphFor(ch);
    return g ? g->advance : 0;
}

bool BitmapFace::Valid() const {
    if (height <= 0 || ascent < 0 || ascent > height || lastChar < firstChar) return false;
    if (glyphs.size() != static_cast<size_t>(lastChar - firstChar + 1)) return false;
    if (defaultChar < firstChar || defaultChar > lastChar) return false;
    for (const BitmapGlyph& g : glyphs) {
        if (g.advance < 0 || g.width < 0) return false;
        if (g.bits.size() != static_cast<size_t>(g.RowBytes()) * static_cast<size_t>(height)) return false;
    }
    return true;
}

SIZE TextExtent(const BitmapFace& face, std::string_view bytes) {
    SIZE s;
    for (const char c : bytes) s.cx += face.Advance(static_cast<uint8_t>(c));
    s.cy = face.height;
    return s;
}

namespace {

// A copy of the face whose glyphs are redrawn by draw(source glyph, new glyph) into cells of
// the width given by widthOf(source glyph).
template <class WidthOf, class Draw>
BitmapFace Redraw(const BitmapFace& face, WidthOf widthOf, Draw draw) {
    BitmapFace out = face;
    for (size_t i = 0; i < face.glyphs.size(); ++i) {
        const BitmapGlyph& src = face.glyphs[i];
        BitmapGlyph& dst = out.glyphs[i];
        dst.width = widthOf(src);
        dst.bits.assign(static_cast<size_t>(dst.RowBytes()) * static_cast<size_t>(face.height), 0);
        draw(src, dst);
    }
    return out;
}

}  // namespace

BitmapFace SynthesizeBold(const BitmapFace& face) {
    BitmapFace out = Redraw(
        face, [](const BitmapGlyph& g) { return g.width + 1; },
        [&](const BitmapGlyph& src, BitmapGlyph& dst) {
            dst.advance = src.advance + 1;
            for (int y = 0; y < face.height; ++y)
                for (int x = 0; x < src.width; ++x)
                    if (src.Ink(x, y)) {
                        dst.SetInk(x, y);
                        dst.SetInk(x + 1, y);
                    }
        });
    out.weight = std::max(face.weight, 700);
    out.overhang = face.overhang + 1;
    out.avgWidth = face.avgWidth + 1;
    out.maxWidth = face.maxWidth + 1;
    return out;
}

BitmapFace SynthesizeItalic(const BitmapFace& face) {
    const int lean = (face.height - 1) / 2;
    BitmapFace out = Redraw(
        face, [&](const BitmapGlyph& g) { return g.width + lean; },
        [&](const BitmapGlyph& src, BitmapGlyph& dst) {
            for (int y = 0; y < face.height; ++y) {
                const int shift = (face.height - 1 - y) / 2;
                for (int x = 0; x < src.width; ++x)
                    if (src.Ink(x, y)) dst.SetInk(x + shift, y);
            }
        });
    out.italic = true;
    out.overhang = face.overhang + lean;
    return out;
}

BitmapFace MakeBoxFace() {
    BitmapFace f;
    f.faceName = "System";
    f.height = 13;
    f.ascent = 11;
    f.internalLeading = 2;
    f.avgWidth = 6;
    f.maxWidth = 6;
    f.points = 8;
    f.pitchAndFamily = 0x21;
    f.firstChar = 0x20;
    f.lastChar = 0xFF;
    for (int c = f.firstChar; c <= f.lastChar; ++c) {
        BitmapGlyph g;
        g.advance = g.width = 6;
        g.bits.assign(static_cast<size_t>(f.height), 0);
        const bool blank = c == 0x20 || c == 0xA0;
        if (!blank) {
            for (int y = 3; y <= 10; ++y) {
                g.SetInk(1, y);
                g.SetInk(4, y);
            }
            for (int x = 1; x <= 4; ++x) {
                g.SetInk(x, 3);
                g.SetInk(x, 10);
            }
        }
        f.glyphs.push_back(std::move(g));
    }
    return f;
}

}  // namespace plat
