#include "media/text/bitmap_font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/text/text_test_support.h"

namespace {

using texttest::AddBoxStrip;
using texttest::FakeTextHost;
using texttest::Picture;

constexpr BYTE kCap = 5;
constexpr BYTE kSep = 9;

// Pixels from a drawing: '.' 0, 'A' the cap colour, '|' the separator, '#' 40, '*' 41, digits
// their value + 100.
std::vector<std::vector<BYTE>> Grid(const std::vector<std::string>& rows) {
    std::vector<std::vector<BYTE>> out;
    for (const std::string& row : rows) {
        std::vector<BYTE> r;
        for (char ch : row) {
            switch (ch) {
                case '.':
                    r.push_back(0);
                    break;
                case 'A':
                    r.push_back(kCap);
                    break;
                case '|':
                    r.push_back(kSep);
                    break;
                case '#':
                    r.push_back(40);
                    break;
                case '*':
                    r.push_back(41);
                    break;
                default:
                    r.push_back(static_cast<BYTE>(100 + ch - '0'));
                    break;
            }
        }
        out.push_back(r);
    }
    return out;
}

// Three glyph rows (4, 10, 14); a cap pixel over 'c'; descenders on 'b', 'd', 'e', 'f'.
const std::vector<std::string> kThreeRowStrip = {
    "........",  // 0: background 0
    "A.......",  // 1: cap colour
    ".|||||||",  // 2
    "..#..#..",  // 3
    "|##|.##|",  // 4: a (1-2), b (4-6)
    "..|...#.",  // 5: a ends here (descent 0)
    "........",  // 6
    ".|||||||",  // 7
    ".#......",  // 8
    ".A......",  // 9: the cap pixel in c's column
    "|.|..|||",  // 10: c (1), d (3-4)
    "........",  // 11
    ".|||||||",  // 12
    "..#*#...",  // 13
    "|.#*#|#|",  // 14: e (1-4), f (6)
    "....#.#.",  // 15: the picture's last row ends the descents
};

struct GlyphCase {
    char c;
    int16_t width, height, ascent, descent;
    uint32_t offset;
};

TEST(BitmapFont, ScansThreeGlyphRowsWithCapAndDescenders) {
    FakeTextHost host;
    host.AddPicture(51, Grid(kThreeRowStrip));
    host.AddCharacterList(51, "abcdefg");
    CBitmapFont font(51, 18, 1);

    const GlyphCase cases[] = {
        {'a', 2, 2, 1, 0, 3 * 8 + 1}, {'b', 3, 4, 1, 2, 3 * 8 + 4},  {'c', 1, 1, 2, 0, 8 * 8 + 1},
        {'d', 2, 4, 2, 1, 8 * 8 + 3}, {'e', 4, 3, 1, 1, 13 * 8 + 1}, {'f', 1, 3, 1, 1, 13 * 8 + 6},
    };
    for (const GlyphCase& g : cases) {
        const auto c = static_cast<BYTE>(g.c);
        ASSERT_TRUE(font.Defined(c)) << g.c;
        EXPECT_EQ(font.GlyphWidth(c), g.width) << g.c;
        EXPECT_EQ(font.GlyphHeight(c), g.height) << g.c;
        EXPECT_EQ(font.GlyphAscent(c), g.ascent) << g.c;
        EXPECT_EQ(font.GlyphDescent(c), g.descent) << g.c;
        EXPECT_EQ(font.GlyphOffset(c), g.offset) << g.c;
    }
    EXPECT_FALSE(font.Defined('g'));  // the list is longer than the strip
    EXPECT_EQ(font.GreatestDescent(), 2);
    EXPECT_EQ(font.Baseline(), 2);
    EXPECT_EQ(font.LineHeight(), 2 + 3 + 1);
    EXPECT_EQ(font.BackgroundColor(), 0);
    EXPECT_EQ(font.InkColor(), 0);
    EXPECT_EQ(font.CharTotal(), 7);
    EXPECT_EQ(font.SizeValue(), 18);
    EXPECT_EQ(font.Target(), CBitmapFont::kNoTarget);
    EXPECT_EQ(host.locks, 0);
}

TEST(BitmapFont, DrawsClippedGlyphsInTheirOwnColoursOrTheInk) {
    FakeTextHost host;
    host.AddPicture(51, Grid(kThreeRowStrip));
    host.AddCharacterList(51, "abcdef");
    host.AddPicture(60, std::vector<std::vector<BYTE>>(6, std::vector<BYTE>(8, 0)));
    CBitmapFont font(51, 0, 1);
    font.SetTarget(60);

    // 'e' at x -1: its first column is clipped; its top is the baseline minus its ascent.
    font.MoveTo(-1, 3);
    const BYTE e[] = {'e'};
    font.DrawUnits(e, 1);
    EXPECT_EQ(font.PenX(), -1 + 4 + 1);
    const Picture& t = host.pictures[60];
    const std::vector<std::vector<BYTE>> own = {{40, 41, 40}, {40, 41, 40}, {0, 0, 40}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(t.At(x, 2 + y), own[y][x]) << x << "," << y;
    EXPECT_EQ(t.At(3, 2), 0);
    EXPECT_EQ(t.At(0, 1), 0);

    font.SetInkColor(7);
    font.MoveTo(4, 5);  // rows 4..6: the last is below the target
    font.DrawUnits(e, 1);
    EXPECT_EQ(t.At(4, 4), 0);  // the glyph's transparent first column
    EXPECT_EQ(t.At(5, 4), 7);
    EXPECT_EQ(t.At(6, 4), 7);
    EXPECT_EQ(t.At(7, 5), 7);
    EXPECT_EQ(t.At(5, 5), 7);
    EXPECT_EQ(host.locks, 0);

    // No target: nothing drawn, the pen still moves.
    font.SetTarget(CBitmapFont::kNoTarget);
    font.MoveTo(0, 3);
    font.DrawUnits(e, 1);
    EXPECT_EQ(font.PenX(), 5);
}

TEST(BitmapFont, MeasuresUnitsSpacesAndPictures) {
    FakeTextHost host;
    AddBoxStrip(host, 51, {{' ', 3}, {'x', 2}, {'y', 4}});
    host.AddPicture(77, Grid({"##", "##", "##", "##", "##"}));  // 2 x 5
    CBitmapFont font(51, 0, 1);
    ASSERT_EQ(font.GlyphWidth('x'), 2);
    ASSERT_EQ(font.GlyphHeight('x'), 2);

    struct Case {
        const char* what;
        std::vector<BYTE> text;
        int16_t width, height, descent;
    } const cases[] = {
        {"empty", {}, -1, 0, 0},
        {"two letters", {'x', 'y'}, 2 + 1 + 4, 2, 0},
        {"space code", {'x', 0xFE, 3, 7, 0, 'x'}, 2 + 1 + 7 + 1 + 2, 2, 0},
        {"picture, offset 2", {'x', 0xFF, 5, 2, 0, 77, 0}, 2 + 1 + 2, 5, 2},
        {"no glyph: spacing only", {'x', 'q', 'x'}, 2 + 1 + 0 + 1 + 2, 2, 0},
        {"0xFD is a character here", {'x', 0xFD, 3}, 2 + 1 + 0 + 1 + 0, 2, 0},
        {"short space code", {'x', 0xFE, 1}, 2 + 1 + 0, 2, 0},
        {"sequence past the end", {'x', 0xFF, 9, 0}, 2, 2, 0},
    };
    for (const Case& c : cases) {
        int16_t h = -5, w = -5;
        EXPECT_EQ(font.MeasureText(c.text, 99, h, w), 1) << c.what;
        EXPECT_EQ(w, c.width) << c.what;
        EXPECT_EQ(h, c.height) << c.what;
        EXPECT_EQ(font.MaxDescent(c.text, 99), c.descent) << c.what;
        CCorRect r{5, 5, 5, 5};
        font.TextRect(c.text, 99, r);
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.right, c.width) << c.what;
        EXPECT_EQ(r.bottom, c.height) << c.what;
    }
    EXPECT_EQ(font.TextWidth(std::vector<BYTE>{'x', 'y'}, 1), 2);
    EXPECT_EQ(font.PictureWidth(77), 2);
    EXPECT_EQ(font.PictureHeight(77), 5);
    EXPECT_EQ(font.PictureWidth(78), 0);

    // A string's units: the picture's offset is its descent.
    CCorStyledString s;
    const BYTE bytes[] = {'x', 0xFF, 5, 2, 0, 77, 0};
    s.Assign(bytes, sizeof bytes);
    EXPECT_EQ(font.MaxDescent(s), 2);
    font.MoveTo(0, 0);
    font.DrawString(s);
    EXPECT_EQ(font.PenX(), 2 + 1 + 2 + 1);
}

TEST(BitmapFont, JustifiedBlanksTakeTheRemainderOnTheLast) {
    FakeTextHost host;
    AddBoxStrip(host, 51, {{' ', 3}, {'x', 2}});
    host.AddPicture(60, std::vector<std::vector<BYTE>>(4, std::vector<BYTE>(30, 0)));
    CBitmapFont font(51, 0, 1);
    font.SetTarget(60);
    const std::vector<BYTE> text{'x', ' ', 'x', ' ', 'x'};
    const int16_t natural = font.TextWidth(text, 5);
    ASSERT_EQ(natural, 3 + 4 + 3 + 4 + 2);

    font.MoveTo(0, 2);
    font.DrawJustified(text, 5, static_cast<int16_t>(natural + 5));
    // The blanks advance 2 and 3 pixels more than usual; the line ends at the line width.
    const Picture& t = host.pictures[60];
    std::string row;
    for (int x = 0; x < 24; ++x) row += t.At(x, 2) ? 'x' : '.';
    EXPECT_EQ(row, "xx.......xx........xx...");
    EXPECT_EQ(font.PenX(), natural + 5 + 1);

    // Without blanks it draws as it stands.
    font.MoveTo(0, 3);
    font.DrawJustified(std::vector<BYTE>{'x', 'x'}, 2, 20);
    EXPECT_EQ(font.PenX(), 6);
}

TEST(BitmapFont, InlinePicturesAreTransparentAndClipped) {
    FakeTextHost host;
    AddBoxStrip(host, 51, {{'x', 2}});
    host.AddPicture(77, Grid({"#.", "##", "#*"}));
    host.AddPicture(60, std::vector<std::vector<BYTE>>(4, std::vector<BYTE>(6, 0)));
    CBitmapFont font(51, 0, 1);
    font.SetTarget(60);
    font.SetInkColor(3);  // pictures keep their colours whatever the ink
    font.MoveTo(4, 2);
    const std::vector<BYTE> text{0xFF, 5, 1, 0, 77, 0, 'x'};
    font.DrawUnits(text, 2);
    // Top at 2 - 3 + 1 + 1 = 1; columns 4 and 5; the row below the target is cut.
    const Picture& t = host.pictures[60];
    EXPECT_EQ(t.At(4, 1), 40);
    EXPECT_EQ(t.At(5, 1), 0);
    EXPECT_EQ(t.At(5, 2), 40);
    EXPECT_EQ(t.At(5, 3), 41);
    EXPECT_EQ(t.At(4, 0), 0);
    EXPECT_EQ(font.PenX(), 4 + 2 + 1 + 2 + 1);
}

TEST(BitmapFont, Character255NeverSetsTheLineMetrics) {
    FakeTextHost host;
    host.AddPicture(51, Grid({
                            "......",
                            "......",
                            ".|||.|",  // nothing above the second glyph: it reaches row 0
                            "....#.",
                            "....#.",
                            "..#.#.",
                            "|#|.#|",
                            "...|..",
                        }));
    host.AddCharacterList(51, "a\xFF");
    CBitmapFont font(51, 0, 0);
    ASSERT_TRUE(font.Defined(0xFF));
    EXPECT_EQ(font.GlyphAscent(0xFF), 6);
    EXPECT_EQ(font.GlyphAscent('a'), 3);
    EXPECT_EQ(font.Baseline(), 3);
    EXPECT_EQ(font.LineHeight(), 3 + 2 + 1);
}

// Damaged strips: the scan stays inside the picture and records only whole glyphs.
TEST(BitmapFont, MalformedStripsAreScannedWithinBounds) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        std::string chars;
        std::string defined;  // the characters that get glyphs
    } const cases[] = {
        {"no glyph rows", {"....", "....", ".###", "#..."}, "ab", ""},
        {"run never closed", {"....", "....", "|##.", "...."}, "ab", ""},
        {"second run open", {"....", "....", "|#|#", "...."}, "ab", "a"},
        {"more glyphs than characters", {"....", "....", "|#|#|", "....."}, "a", "a"},
        {"no separator above or below", {"..", "..", "|.", "|#|", ".#."}, "ab", "a"},
        {"one row only", {"|#|"}, "a", ""},
        {"two rows", {"..", "|#"}, "a", ""},
        {"cap everywhere", {"...", "A..", "|A|", "AAA", "|A|"}, "ab", "ab"},
        {"empty list", {"....", "....", "|#|.", "...."}, "", ""},
    };
    for (const Case& c : cases) {
        FakeTextHost host;
        host.AddPicture(51, Grid(c.rows));
        host.AddCharacterList(51, c.chars);
        CBitmapFont font(51, 0, 1);
        std::string defined;
        for (int ch = 1; ch < 256; ++ch)
            if (font.Defined(static_cast<BYTE>(ch))) defined += static_cast<char>(ch);
        EXPECT_EQ(defined, c.defined) << c.what;
        for (char ch : defined) {
            const auto g = static_cast<BYTE>(ch);
            const size_t last = font.GlyphOffset(g) +
                                static_cast<size_t>(font.GlyphHeight(g) - 1) * host.pictures[51].stride +
                                font.GlyphWidth(g);
            if (font.GlyphHeight(g) > 0) {
                EXPECT_LE(last, host.pictures[51].bits.size()) << c.what;
            }
        }
        host.AddPicture(60, std::vector<std::vector<BYTE>>(4, std::vector<BYTE>(4, 0)));
        font.SetTarget(60);
        font.MoveTo(0, 1);
        const std::vector<BYTE> text(c.chars.begin(), c.chars.end());
        font.DrawUnits(text, static_cast<int16_t>(text.size()));
    }
    // More than ten glyph rows: only the first ten count.
    std::vector<std::string> rows = {"...", "..."};
    for (int i = 0; i < 11; ++i) {
        rows.push_back(".||");
        rows.push_back("|#|");
    }
    FakeTextHost host;
    host.AddPicture(51, Grid(rows));
    host.AddCharacterList(51, "abcdefghijk");
    CBitmapFont font(51, 0, 1);
    EXPECT_TRUE(font.Defined('j'));
    EXPECT_FALSE(font.Defined('k'));
}

TEST(BitmapFont, MissingStripOrListMakesAnEmptyFont) {
    {
        FakeTextHost host;
        host.AddCharacterList(51, "ab");
        CBitmapFont font(51, 0, 1);
        EXPECT_FALSE(font.Defined('a'));
        EXPECT_EQ(font.LineHeight(), 0);
    }
    {
        FakeTextHost host;
        host.AddPicture(51, Grid(kThreeRowStrip));
        CBitmapFont font(51, 0, 1);
        EXPECT_EQ(font.CharTotal(), 0);
        EXPECT_FALSE(font.Defined('a'));
    }
    {
        // A list longer than the 259 characters the font reads.
        FakeTextHost host;
        host.AddPicture(51, Grid(kThreeRowStrip));
        host.AddCharacterList(51, std::string(300, 'z'));
        CBitmapFont font(51, 0, 1);
        EXPECT_EQ(font.CharTotal(), 259);
    }
}

}  // namespace
