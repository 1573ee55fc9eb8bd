// Measuring and drawing with a bitmap face, and the bold and italic simulations.
#include "platform/fonts/bitmap_face.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/fonts/font_file.h"
#include "platform/fonts/text_test_support.h"

namespace plat {
namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Draw(const BitmapFace& face, std::string_view text, int x, int y) {
    Pixels p;
    ForEachInk(face, text, x, y, [&](int px, int py) { p.insert({px, py}); });
    return p;
}

Pixels GlyphAt(const BitmapFace& face, uint8_t ch, int x, int y) {
    Pixels p;
    const BitmapGlyph& g = *face.GlyphFor(ch);
    for (int gy = 0; gy < face.height; ++gy)
        for (int gx = 0; gx < g.width; ++gx)
            if (g.Ink(gx, gy)) p.insert({x + gx, y + gy});
    return p;
}

// The test face's character 'A' + i is i + 3 wide; bytes outside 'A'..'L' draw as 'A'.
TEST(TextExtent, IsTheSumOfTheAdvances) {
    const BitmapFace face = test::MakeTestFace("T", 9, 12);
    const struct {
        const char* text;
        int width;
    } cases[] = {
        {"", 0}, {"A", 3}, {"ABC", 3 + 4 + 5}, {"LLL", 14 * 3}, {"A\xE5z", 3 + 3 + 3}, {"KLA", 13 + 14 + 3},
    };
    for (const auto& c : cases) {
        const SIZE s = TextExtent(face, c.text);
        EXPECT_EQ(s.cx, c.width) << c.text;
        EXPECT_EQ(s.cy, 9) << c.text;
    }
}

TEST(TextExtent, MatchesWhereTheGlyphsAreDrawn) {
    for (const BitmapFace& face : LoadFontFile(test::GameFontPath())) {
        const std::string text = "\x1FH\xE4lsa p\xE5 dig!";
        Pixels want;
        int x = 10;
        for (char c : text) {
            const Pixels g = GlyphAt(face, static_cast<uint8_t>(c), x, 3);
            want.insert(g.begin(), g.end());
            x += face.Advance(static_cast<uint8_t>(c));
        }
        EXPECT_EQ(x - 10, TextExtent(face, text).cx) << face.faceName;
        EXPECT_EQ(Draw(face, text, 10, 3), want) << face.faceName;
    }
}

TEST(Simulation, BoldOverstrikesOnePixelRightAndWidensEachAdvance) {
    const BitmapFace face = test::MakeTestFace("T", 9, 12);
    const BitmapFace bold = SynthesizeBold(face);
    ASSERT_TRUE(bold.Valid());
    EXPECT_EQ(bold.weight, 700);
    EXPECT_EQ(bold.overhang, 1);
    for (uint8_t c = 'A'; c <= 'L'; ++c) {
        EXPECT_EQ(bold.Advance(c), face.Advance(c) + 1);
        Pixels want = GlyphAt(face, c, 0, 0);
        const Pixels shifted = GlyphAt(face, c, 1, 0);
        want.insert(shifted.begin(), shifted.end());
        EXPECT_EQ(GlyphAt(bold, c, 0, 0), want) << c;
    }
}

TEST(Simulation, ItalicLeansTheTopRightAndKeepsTheBottom) {
    const BitmapFace face = test::MakeTestFace("T", 9, 12);
    const BitmapFace italic = SynthesizeItalic(face);
    ASSERT_TRUE(italic.Valid());
    EXPECT_TRUE(italic.italic);
    EXPECT_EQ(italic.overhang, 4);
    for (uint8_t c = 'A'; c <= 'L'; ++c) {
        EXPECT_EQ(italic.Advance(c), face.Advance(c));
        const BitmapGlyph& src = *face.GlyphFor(c);
        const BitmapGlyph& dst = *italic.GlyphFor(c);
        for (int x = 0; x < src.width; ++x) {
            EXPECT_EQ(dst.Ink(x, 8), src.Ink(x, 8));      // bottom row stays
            EXPECT_EQ(dst.Ink(x + 4, 0), src.Ink(x, 0));  // top row leans by the overhang
        }
    }
}

TEST(BitmapFaceValid, RefusesInconsistentFaces) {
    const BitmapFace good = test::MakeTestFace("T", 9, 12);
    ASSERT_TRUE(good.Valid());
    BitmapFace f = good;
    f.glyphs.pop_back();
    EXPECT_FALSE(f.Valid()) << "cell count";
    f = good;
    f.glyphs[3].bits.pop_back();
    EXPECT_FALSE(f.Valid()) << "bitmap size";
    f = good;
    f.defaultChar = 'Z';
    EXPECT_FALSE(f.Valid()) << "default character";
    f = good;
    f.ascent = 10;
    EXPECT_FALSE(f.Valid()) << "ascent";
    EXPECT_TRUE(MakeBoxFace().Valid());
}

}  // namespace
}  // namespace plat
