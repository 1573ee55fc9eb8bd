// Font strips: the layout checked mechanically the way the game's scanner reads it (markers,
// cells, ascent and descent walks), for a small face made here and for the game's faces
// through mkres and the resource reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "platform/fonts/font_file.h"
#include "platform/fonts/font_registry.h"
#include "tools/mkres/font_strip.h"
#include "tools/mkres/mkres_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An 'SPR' item's pixels, read through bounds checks.
struct Strip {
    int width = 0, height = 0, stride = 0;
    Bytes pixels;
    uint8_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return pixels[static_cast<size_t>(y) * stride + static_cast<size_t>(x)];
    }
};

std::optional<Strip> ReadSpr(const Bytes& b) {
    if (b.size() < 12) return std::nullopt;
    auto u32 = [&](size_t at) {
        return static_cast<int>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24);
    };
    Strip s{u32(0), u32(4), (u32(0) + 3) / 4 * 4, {}};
    if (s.width <= 0 || s.height <= 0 || u32(8) != s.stride * s.height || b.size() != 12u + u32(8))
        return std::nullopt;
    s.pixels.assign(b.begin() + 12, b.end());
    return s;
}

Strip FromCanvas(const mkres::CPictureCanvas& c) {
    const auto s = ReadSpr(c.SprBytes());
    return s ? *s : Strip{};
}

// One glyph as the scanner finds it: its run on a baseline row, the tally walking up its
// last column to the separator line (ascent = tally - 1) and the rows walking down to the
// next separator pixel (descent).
struct Cell {
    int x = 0, width = 0, row = 0, separatorAbove = 0, ascent = 0, descent = 0;
};

// The cells in strip order, checking the markers on the way: background and cap pixels,
// column 0 marking the baseline rows only, every run closed by a separator, no cap or
// separator pixel in the rows a glyph is drawn from.
std::vector<Cell> Cells(const Strip& s, uint8_t separator, uint8_t cap) {
    std::vector<Cell> cells;
    EXPECT_EQ(s.At(0, 0), 0);
    EXPECT_EQ(s.At(0, 1), cap);
    int bands = 0;
    for (int r = 2; r < s.height; ++r) {
        if (s.At(0, r) == 0) continue;
        EXPECT_EQ(s.At(0, r), separator) << "row " << r;
        ++bands;
        int x = 1;
        while (x < s.width) {
            const int start = x;
            while (x < s.width && s.At(x, r) != separator) ++x;
            if (x == s.width) {
                EXPECT_EQ(x, start) << "a run not closed by a separator on row " << r;
                break;
            }
            if (x > start) {
                Cell c{start, x - start, r, 0, 0, 0};
                const int last = x - 1;
                int y = r;
                while (y >= 2 && s.At(last, y) != separator) {
                    EXPECT_NE(s.At(last, y), cap) << "cap colour in the cell at " << last << "," << y;
                    --y;
                }
                EXPECT_GE(y, 2) << "no separator line above the cell at " << start << "," << r;
                c.separatorAbove = y;
                c.ascent = r - y - 1;
                y = r + 1;
                while (y < s.height && s.At(last, y) != separator) ++y;
                EXPECT_LT(y, s.height) << "no separator below the cell at " << start << "," << r;
                c.descent = y - r - 1;
                for (int cy = c.separatorAbove + 1; cy <= r + c.descent; ++cy)
                    for (int cx = start; cx <= last; ++cx) {
                        EXPECT_NE(s.At(cx, cy), separator) << cx << "," << cy;
                        EXPECT_NE(s.At(cx, cy), cap) << cx << "," << cy;
                    }
                for (int cx = start; cx <= last; ++cx) EXPECT_EQ(s.At(cx, c.separatorAbove), separator);
                cells.push_back(c);
            }
            ++x;
        }
    }
    EXPECT_GE(bands, 1);
    EXPECT_LE(bands, mkres::kFontStripMaxBands);
    return cells;
}

int BandCount(const std::vector<Cell>& cells) {
    std::vector<int> rows;
    for (const Cell& c : cells)
        if (rows.empty() || rows.back() != c.row) rows.push_back(c.row);
    return static_cast<int>(rows.size());
}

// A face of a few glyphs drawn as text: 6 rows, the baseline on row 3 (ascent 4).
struct GlyphArt {
    char ch;
    int advance;
    std::vector<std::string> rows;  // '#' ink
};

plat::BitmapFace SmallFace() {
    const GlyphArt art[] = {
        {' ', 3, {"...", "...", "...", "...", "...", "..."}},
        {'-', 3, {"...", "...", "###", "...", "...", "..."}},
        {'?', 3, {"##.", "..#", ".#.", ".#.", "...", "..."}},
        {'W', 7, {"#.....#", "#.....#", "#..#..#", ".##.##.", ".......", "......."}},
        {'a', 4, {"....", ".##.", "#..#", ".###", "....", "...."}},
        {'g', 4, {"....", ".###", "#..#", ".###", "...#", "###."}},
        {'p', 3, {"...", "##.", "#.#", "##.", "#..", "..."}},
    };
    plat::BitmapFace f;
    f.faceName = "SMALL";
    f.height = 6;
    f.ascent = 4;
    f.firstChar = ' ';
    f.lastChar = 'p';
    f.defaultChar = '?';
    f.glyphs.resize(f.lastChar - f.firstChar + 1);
    auto draw = [&](const GlyphArt& a, plat::BitmapGlyph& g) {
        g.advance = a.advance;
        g.width = a.advance;
        g.bits.assign(static_cast<size_t>(g.RowBytes()) * f.height, 0);
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < g.width; ++x)
                if (a.rows[y][x] == '#') g.SetInk(x, y);
    };
    // As in the game's file, characters without a glyph of their own show the default one.
    for (plat::BitmapGlyph& g : f.glyphs) draw(art[2], g);
    for (const GlyphArt& a : art) draw(a, f.glyphs[static_cast<size_t>(a.ch - f.firstChar)]);
    return f;
}

struct SmallCase {
    const char* name;
    int outline;  // -1 none
    int maxWidth;
    int bands;
    // Descent of each of "a g p - W" and the blank: the rows of ink (and ring) below the baseline.
    int descents[6];
};

class SmallFaceStrip : public ::testing::TestWithParam<SmallCase> {};

// Every cell holds the face's glyph where the scanner will look for it: the run is the
// advance (2 more with an outline), the ascent walk ends at the face's ascent, the descent
// walk at the lowest ink, and the pixels are the ink, its ring and 0.
TEST_P(SmallFaceStrip, CellsHoldTheGlyphsWhereTheScannerLooks) {
    const SmallCase& p = GetParam();
    const plat::BitmapFace face = SmallFace();
    const std::string chars = "agp-W ";
    mkres::FontStripStyle style;
    style.ink = 40;
    style.outline = p.outline;
    style.maxWidth = p.maxWidth;
    style.separator = 7;
    style.cap = 9;
    std::string error;
    const auto canvas = mkres::DrawFontStrip(face, chars, style, &error);
    ASSERT_TRUE(canvas) << error;
    const Strip s = FromCanvas(*canvas);
    const std::vector<Cell> cells = Cells(s, 7, 9);
    ASSERT_EQ(cells.size(), chars.size());
    EXPECT_EQ(BandCount(cells), p.bands);
    EXPECT_LE(s.width, p.maxWidth);

    const int pad = p.outline >= 0 ? 1 : 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        SCOPED_TRACE(std::string("character ") + chars[i]);
        const Cell& c = cells[i];
        const plat::BitmapGlyph& g = *face.GlyphFor(static_cast<uint8_t>(chars[i]));
        EXPECT_EQ(c.width, g.advance + 2 * pad);
        EXPECT_EQ(c.ascent, face.ascent - 1 + pad);
        EXPECT_EQ(c.descent, p.descents[i]);
        const int top = c.separatorAbove + 1;
        const int cellHeight = face.height + 2 * pad;
        for (int cx = c.x; cx < c.x + c.width; ++cx)
            EXPECT_EQ(s.At(cx, top + cellHeight), 7) << "the next separator line";
        for (int y = 0; y < cellHeight; ++y)
            for (int x = 0; x < c.width; ++x) {
                const bool ink = g.Ink(x - pad, y - pad);
                bool ring = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        ring = ring || (pad && g.Ink(x - pad + dx, y - pad + dy));
                const bool marker = x == c.width - 1 && top + y == c.row + c.descent + 1;
                const int want = marker ? 7 : ink ? 40 : ring ? p.outline : 0;
                EXPECT_EQ(s.At(c.x + x, top + y), want) << x << "," << y;
            }
    }
    // Column 0 is 0 everywhere but at the cap and the baseline rows.
    for (int y = 2; y < s.height; ++y) {
        const bool baseline =
            std::any_of(cells.begin(), cells.end(), [&](const Cell& c) { return c.row == y; });
        EXPECT_EQ(s.At(0, y) != 0, baseline) << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, SmallFaceStrip,
    ::testing::Values(SmallCase{"OneBand", -1, 640, 1, {0, 2, 1, 0, 0, 0}},
                      SmallCase{"Outlined", 12, 640, 1, {1, 3, 2, 0, 1, 0}},
                      // 1 + (4+1) + (4+1) + (3+1) = 15: "agp" fill the first band exactly.
                      SmallCase{"ThreeBands", -1, 15, 3, {0, 2, 1, 0, 0, 0}},
                      SmallCase{"OutlinedBands", 12, 16, 4, {1, 3, 2, 0, 1, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct StripFault {
    const char* name;
    std::string chars;
    int ink, outline, separator, cap;
    const char* message;
};

class SmallFaceStripFaults : public ::testing::TestWithParam<StripFault> {};

TEST_P(SmallFaceStripFaults, AreRefused) {
    const StripFault& p = GetParam();
    mkres::FontStripStyle style{static_cast<uint8_t>(p.ink), p.outline, 640,
                                static_cast<uint8_t>(p.separator), static_cast<uint8_t>(p.cap)};
    std::string error;
    EXPECT_FALSE(mkres::DrawFontStrip(SmallFace(), p.chars, style, &error));
    EXPECT_NE(error.find(p.message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmallFaceStripFaults,
    ::testing::Values(StripFault{"Empty", "", 40, -1, 7, 9, "needs characters"},
                      StripFault{"Zero", std::string("a\0g", 3), 40, -1, 7, 9, "character 0"},
                      StripFault{"Twice", "aga", 40, -1, 7, 9, "'a' is in the list twice"},
                      StripFault{"OutsideTheFace", "az", 40, -1, 7, 9, "has no character 'z'"},
                      // 'b' is in the face's range but only shows the default character.
                      StripFault{"OnlyTheDefault", "ab", 40, -1, 7, 9, "has no character 'b'"},
                      StripFault{"InkIsCap", "a", 9, -1, 7, 9, "ink 9 is the cap colour"},
                      StripFault{"OutlineIsSeparator", "a", 40, 7, 7, 9, "outline 7 is the separator colour"},
                      StripFault{"OutlineIsInk", "a", 40, 40, 7, 9, "outline must differ"},
                      StripFault{"SameMarkers", "a", 40, -1, 7, 7, "must differ"}),
    [](const auto& info) { return std::string(info.param.name); });

using mkrestest::Built;

std::string FirstError(const Built& b) {
    return b.diag.Errors().empty() ? std::string() : b.diag.Errors()[0];
}

struct GameStripCase {
    const char* name;
    const char* face;
    const char* options;  // further body lines
    int pad;
    uint8_t separator, cap;
};

class GameFaceStrip : public ::testing::TestWithParam<GameStripCase> {};

// Built by mkres and read back through the resource reader: the picture and its character
// list of the same id, one cell per character in list order, each the advance wide, the
// descenders' cells with a descent and the others none beyond their ring.
TEST_P(GameFaceStrip, ReadsBackAsPictureAndCharacterList) {
    const GameStripCase& p = GetParam();
    const plat::BitmapFace* face = mkrestest::GameFace(p.face);
    ASSERT_NE(face, nullptr) << "the game font file is built by the fonts target";
    const Built b = mkrestest::Build(std::string("module 1\nSPR M+51 fontstrip\n  face ") + p.face +
                                         "\n  ink 22\n  chars ascii\n  chars swedish \"\xE2\x80\xA6\"\n" +
                                         p.options + "end\n",
                                     "strip.mkres");
    ASSERT_TRUE(b.ok) << FirstError(b);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("S.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("S.RES"));
    EXPECT_EQ(mgr.Entries().size(), 2u);

    std::string chars;
    for (int c = 0x20; c < 0x7F; ++c) chars += static_cast<char>(c);
    chars += "\xC5\xC4\xD6\xE5\xE4\xF6\xC9\xE9\xDC\xFC\x85";
    Bytes list{1, 0};
    list.insert(list.end(), chars.begin(), chars.end());
    list.push_back(0);
    EXPECT_EQ(restest::ReadWhole(mgr, mgr.FindEntry(kResIST, 1051)), list);

    const auto s = ReadSpr(restest::ReadWhole(mgr, mgr.FindEntry(kResSPR, 1051)));
    ASSERT_TRUE(s);
    const std::vector<Cell> cells = Cells(*s, p.separator, p.cap);
    ASSERT_EQ(cells.size(), chars.size());
    for (size_t i = 0; i < chars.size(); ++i) {
        const auto ch = static_cast<uint8_t>(chars[i]);
        SCOPED_TRACE(mkres::FontStripCharName(ch));
        const Cell& c = cells[i];
        EXPECT_EQ(c.width, face->Advance(ch) + 2 * p.pad);
        EXPECT_EQ(c.ascent, face->ascent - 1 + p.pad);
        // The drawn rows hold all the cell's ink, and nothing but ink, ring and 0.
        int inkDrawn = 0;
        for (int y = c.separatorAbove + 1; y <= c.row + c.descent; ++y)
            for (int x = c.x; x < c.x + c.width; ++x) {
                const uint8_t v = s->At(x, y);
                EXPECT_TRUE(v == 0 || v == 22 || (p.pad && v == 37)) << int(v) << " at " << x << "," << y;
                inkDrawn += v == 22;
            }
        int ink = 0;
        plat::ForEachInk(*face, std::string(1, static_cast<char>(ch)), 0, 0, [&](int, int) { ++ink; });
        EXPECT_EQ(inkDrawn, ink);
    }
    // Descenders reach below the ring of the letters sitting on the baseline; the blank has
    // no ring.
    const struct {
        char ch;
        bool descends;
    } descents[] = {{'g', true}, {'p', true}, {'y', true}, {'a', false}, {'A', false}, {'\xC5', false}};
    for (const auto& d : descents) {
        const Cell& c = cells[chars.find(d.ch)];
        if (d.descends)
            EXPECT_GT(c.descent, p.pad) << d.ch;
        else
            EXPECT_EQ(c.descent, p.pad) << d.ch;
    }
    EXPECT_EQ(cells[chars.find(' ')].descent, 0);
}

INSTANTIATE_TEST_SUITE_P(Faces, GameFaceStrip,
                         ::testing::Values(GameStripCase{"Small", "FONT0013", "", 0, 250, 251},
                                           GameStripCase{"LargeOutlinedNarrow", "FONT0028",
                                                         "  outline 37\n  width 300\n", 1, 250, 251},
                                           GameStripCase{"MarkersGiven", "FONT0015", "  separator 1 cap 2\n",
                                                         0, 1, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

std::string StripSource(const std::string& body) {
    return "module 1\nSPR M+1 fontstrip\n" + body + "end\n";
}

// The width a refused strip names is the least that holds the glyphs in ten bands.
TEST(FontStripEncoder, TooManyBandsNamesTheWidthThatFits) {
    auto build = [](int width) {
        return mkrestest::Build(StripSource("  face FONT0028\n  ink 22\n  chars ascii swedish\n  width " +
                                            std::to_string(width) + "\n"));
    };
    const Built refused = build(100);
    ASSERT_FALSE(refused.ok);
    const std::string error = FirstError(refused);
    const size_t at = error.find("; width ");
    ASSERT_NE(at, std::string::npos) << error;
    const int need = std::stoi(error.substr(at + 8));
    ASSERT_GT(need, 100);

    const Built fits = build(need);
    ASSERT_TRUE(fits.ok) << FirstError(fits);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("S.RES", fits.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("S.RES"));
    const auto s = ReadSpr(restest::ReadWhole(mgr, mgr.FindEntry(kResSPR, 1001)));
    ASSERT_TRUE(s);
    EXPECT_EQ(BandCount(Cells(*s, 250, 251)), mkres::kFontStripMaxBands);
    EXPECT_LE(s->width, need);
    EXPECT_FALSE(build(need - 1).ok);
}

struct EncoderFault {
    const char* name;
    const char* body;
    int line;
    const char* message;
};

class FontStripEncoderFaults : public ::testing::TestWithParam<EncoderFault> {};

TEST_P(FontStripEncoderFaults, AreReportedWithTheirLine) {
    const Built b = mkrestest::Build(StripSource(GetParam().body), "strip.mkres");
    ASSERT_FALSE(b.ok);
    EXPECT_TRUE(b.file.empty());
    const std::string error = FirstError(b);
    EXPECT_NE(error.find("strip.mkres:" + std::to_string(GetParam().line) + ": "), std::string::npos)
        << error;
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontStripEncoderFaults,
    ::testing::Values(
        EncoderFault{"UnknownFace", "  face NOFACE\n", 3, "no face NOFACE"},
        EncoderFault{"DuplicateCharacter",
                     "  face FONT0015 ink 22\n  chars ascii\n  chars \"\xC3\xA5\" \"a\"\n", 5,
                     "'a' is in the list twice"},
        EncoderFault{"NoCharacters", "  face FONT0015\n  ink 22\n", 2, "needs characters"},
        EncoderFault{"NoInk", "  face FONT0015\n  chars ascii\n", 2, "needs an ink"},
        EncoderFault{"NoFace", "  ink 22\n  chars ascii\n", 2, "needs a face"},
        EncoderFault{"InkIsSeparator", "  face FONT0015\n  ink 30\n  chars ascii\n  separator 30\n", 2,
                     "ink 30 is the separator colour"},
        EncoderFault{"InkOutsidePictureColours", "  face FONT0015\n  ink 250\n", 4, "outside 10 to 245"},
        EncoderFault{"TooManyBands", "  face FONT0028 ink 22 width 100\n  chars ascii\n", 2,
                     "bands of width 100"},
        EncoderFault{"LackedByTheFace", "  face FONT0015 ink 22\n  chars \"ab\\x81\"\n", 2,
                     "no character 0x81"},
        EncoderFault{"BelowTheFace", "  face FONT0015 ink 22\n  chars \"\\x01\"\n", 2, "no character 0x01"},
        EncoderFault{"SettingTwice", "  face FONT0015 ink 22\n  ink 23\n", 4, "once"},
        EncoderFault{"UnknownSet", "  face FONT0015 ink 22\n  chars latin\n", 4, "not latin"},
        EncoderFault{"UnknownLine", "  face FONT0015\n  colour 22\n", 4, "not colour"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
