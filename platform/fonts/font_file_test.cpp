// The font files made at build time, read by FreeType and by our own reader.
#include <ft2build.h>
#include <gtest/gtest.h>
#include FT_FREETYPE_H
#include FT_WINFONTS_H

#include <string_view>

#include "platform/fonts/font_file.h"
#include "platform/fonts/font_raster.h"
#include "platform/fonts/text_test_support.h"

namespace plat {
namespace {

struct ExpectedFace {
    const char* name;
    int height;
    int avgWidth;
    int weight;
    bool italic;
};

// The game's faces: names and metrics the game asks for by name.
constexpr ExpectedFace kGameFaces[] = {
    {"FONTSYS", 15, 4, 400, false},   {"GLORBLE", 12, 7, 400, false},   {"FONT0013", 13, 5, 400, false},
    {"FONT0015", 15, 6, 400, false},  {"FONT0016", 15, 6, 700, false},  {"FONT0017", 15, 7, 400, true},
    {"FONT0021", 21, 9, 400, false},  {"FONT0022", 21, 9, 700, false},  {"FONT0027", 24, 10, 400, false},
    {"FONT0028", 24, 10, 700, false}, {"FONT0035", 35, 16, 400, false}, {"FONT0036", 36, 16, 400, false},
};

class FreeTypeFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(FT_Init_FreeType(&m_lib), 0); }
    void TearDown() override {
        for (FT_Face f : m_faces) FT_Done_Face(f);
        FT_Done_FreeType(m_lib);
    }
    FT_Face Open(const std::string& path, long index) {
        FT_Face face = nullptr;
        const FT_Error e = FT_New_Face(m_lib, path.c_str(), index, &face);
        EXPECT_EQ(e, 0) << path << " face " << index;
        if (face) m_faces.push_back(face);
        return face;
    }

    FT_Library m_lib = nullptr;
    std::vector<FT_Face> m_faces;
};

TEST_F(FreeTypeFixture, ReadsEveryGameFaceWithItsNameAndMetrics) {
    FT_Face probe = Open(test::GameFontPath(), 0);
    ASSERT_NE(probe, nullptr);
    ASSERT_EQ(probe->num_faces, 12);
    for (long i = 0; i < 12; ++i) {
        const ExpectedFace& want = kGameFaces[i];
        SCOPED_TRACE(want.name);
        FT_Face face = Open(test::GameFontPath(), i);
        ASSERT_NE(face, nullptr);
        EXPECT_STREQ(face->family_name, want.name);
        ASSERT_EQ(face->num_fixed_sizes, 1);
        EXPECT_EQ(face->available_sizes[0].height, want.height);
        FT_WinFNT_HeaderRec h{};
        ASSERT_EQ(FT_Get_WinFNT_Header(face, &h), 0);
        ASSERT_EQ(face->num_charmaps, 1);
        ASSERT_EQ(FT_Set_Charmap(face, face->charmaps[0]), 0);
        EXPECT_EQ(h.pixel_height, want.height);
        EXPECT_EQ(h.avg_width, want.avgWidth);
        EXPECT_EQ(h.weight, want.weight);
        EXPECT_EQ(h.italic != 0, want.italic);
        EXPECT_EQ(h.charset, 0);  // ANSI
        EXPECT_EQ(h.first_char, 0x1F);
        EXPECT_EQ(h.last_char, 0xFF);
        EXPECT_EQ(h.first_char + h.default_char, ' ');  // bytes without a glyph, CR and LF show blank
        EXPECT_EQ(h.first_char + h.break_char, ' ');
        EXPECT_LT(h.ascent, h.pixel_height);
    }
}

// Our reader and FreeType's read the same pixels and advances from every face: the writer
// and the reader cannot share a misreading of the format.
TEST_F(FreeTypeFixture, OurReaderAgreesWithFreeTypeOnEveryGlyph) {
    for (const std::string& path : {test::GameFontPath(), test::DialogFontPath()}) {
        std::string error;
        const std::vector<BitmapFace> faces = LoadFontFile(path, &error);
        ASSERT_FALSE(faces.empty()) << error;
        for (size_t i = 0; i < faces.size(); ++i) {
            const BitmapFace& ours = faces[i];
            SCOPED_TRACE(path + " " + ours.faceName + " " + std::to_string(ours.height));
            ASSERT_TRUE(ours.Valid());
            FT_Face face = Open(path, static_cast<long>(i));
            ASSERT_NE(face, nullptr);
            FT_WinFNT_HeaderRec h{};
            ASSERT_EQ(FT_Get_WinFNT_Header(face, &h), 0);
            ASSERT_EQ(face->num_charmaps, 1);  // character codes are the bytes
            ASSERT_EQ(FT_Set_Charmap(face, face->charmaps[0]), 0);
            EXPECT_EQ(ours.faceName, face->family_name);
            EXPECT_EQ(ours.height, h.pixel_height);
            EXPECT_EQ(ours.ascent, h.ascent);
            EXPECT_EQ(ours.internalLeading, h.internal_leading);
            EXPECT_EQ(ours.avgWidth, h.avg_width);
            EXPECT_EQ(ours.maxWidth, h.max_width);
            EXPECT_EQ(ours.weight, h.weight);
            for (int c = ours.firstChar; c <= ours.lastChar; ++c) {
                ASSERT_EQ(FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO), 0);
                const FT_Bitmap& bm = face->glyph->bitmap;
                const BitmapGlyph* g = ours.GlyphFor(static_cast<uint8_t>(c));
                ASSERT_NE(g, nullptr);
                ASSERT_EQ(static_cast<int>(bm.width), g->width) << "char " << c;
                ASSERT_EQ(static_cast<int>(bm.rows), ours.height) << "char " << c;
                EXPECT_EQ(face->glyph->advance.x >> 6, g->advance) << "char " << c;
                for (int y = 0; y < ours.height; ++y)
                    for (int x = 0; x < g->width; ++x) {
                        const bool ft = (bm.buffer[y * bm.pitch + x / 8] & (0x80 >> (x & 7))) != 0;
                        ASSERT_EQ(ft, g->Ink(x, y)) << "char " << c << " at " << x << "," << y;
                    }
            }
        }
    }
}

bool HasInk(const BitmapGlyph& g) {
    for (uint8_t b : g.bits)
        if (b) return true;
    return false;
}

// Every character of Windows-1252 that prints has a glyph of its own with ink; the bytes
// without a character, CR and LF among them, show the blank (the default character), so a line
// break inside a line of text never draws.
TEST(GameFontFile, EveryPrintableCharacterHasItsOwnInkedGlyph) {
    const std::vector<BitmapFace> faces = LoadFontFile(test::GameFontPath());
    ASSERT_EQ(faces.size(), 12u);
    for (const BitmapFace& face : faces) {
        SCOPED_TRACE(face.faceName);
        const BitmapGlyph& fallback = *face.GlyphFor('?');
        for (int c = 0x21; c <= 0xFF; ++c) {
            const char32_t cp = Cp1252CodePoint(static_cast<uint8_t>(c));
            const BitmapGlyph& g = *face.GlyphFor(static_cast<uint8_t>(c));
            if (c == 0x7F || c == 0xA0 || cp == 0) continue;
            EXPECT_TRUE(HasInk(g)) << "char " << c;
            if (c != '?') {
                EXPECT_NE(g.bits, fallback.bits) << "char " << c << " shows the default glyph";
            }
        }
        const BitmapGlyph& blank = *face.GlyphFor(' ');
        for (int c : {0x0A, 0x0D, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
            const BitmapGlyph& g = *face.GlyphFor(static_cast<uint8_t>(c));
            EXPECT_FALSE(HasInk(g)) << "char " << c;
            EXPECT_EQ(g.advance, blank.advance) << "char " << c;
        }
    }
}

// The bold twins mark spoken words, so at the same average width they must carry clearly more
// ink than their regular faces.
TEST(GameFontFile, BoldTwinsAreClearlyHeavier) {
    const std::vector<BitmapFace> faces = LoadFontFile(test::GameFontPath());
    auto inkOf = [&](const char* name) {
        for (const BitmapFace& face : faces) {
            if (face.faceName != name) continue;
            int ink = 0;
            for (int c = 'a'; c <= 'z'; ++c) {
                const BitmapGlyph& g = *face.GlyphFor(static_cast<uint8_t>(c));
                for (int y = 0; y < face.height; ++y)
                    for (int x = 0; x < g.width; ++x) ink += g.Ink(x, y) ? 1 : 0;
            }
            return ink;
        }
        ADD_FAILURE() << name << " missing";
        return 0;
    };
    for (const auto& [regular, bold] : {std::pair{"FONT0015", "FONT0016"}, std::pair{"FONT0021", "FONT0022"},
                                        std::pair{"FONT0027", "FONT0028"}}) {
        EXPECT_GT(inkOf(bold) * 100, inkOf(regular) * 125) << bold << " against " << regular;
    }
}

// The Swedish letters, named one by one since a slip here is what a player would see.
TEST(GameFontFile, SwedishLettersAreDistinctAndInked) {
    const std::string_view letters = "\xE5\xE4\xF6\xC5\xC4\xD6\xE9\xC9\xFC\xDC";  // åäöÅÄÖéÉüÜ
    const std::string_view bases = "aaoAAOeEuU";
    for (const BitmapFace& face : LoadFontFile(test::GameFontPath())) {
        SCOPED_TRACE(face.faceName);
        for (size_t i = 0; i < letters.size(); ++i) {
            const BitmapGlyph& g = *face.GlyphFor(static_cast<uint8_t>(letters[i]));
            const BitmapGlyph& base = *face.GlyphFor(static_cast<uint8_t>(bases[i]));
            EXPECT_TRUE(HasInk(g)) << "letter " << i;
            EXPECT_NE(g.bits, base.bits) << "letter " << i << " lacks its accent";
        }
    }
}

// The text items draw glyph 0x1F five rows below a line's top and colour only the ink
// strictly inside the glyph's cell there; ink outside would stay in the text colour.
TEST(GameFontFile, MarkerGlyphHasInkInsideTheColouredArea) {
    constexpr int kDrop = 5;
    for (const BitmapFace& face : LoadFontFile(test::GameFontPath())) {
        SCOPED_TRACE(face.faceName);
        const BitmapGlyph& g = *face.GlyphFor(0x1F);
        EXPECT_EQ(face.firstChar, 0x1F);
        int ink = 0;
        for (int y = 0; y < face.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                if (!g.Ink(x, y)) continue;
                ++ink;
                EXPECT_GT(x, 0);
                EXPECT_LT(x, g.advance - 1);
                EXPECT_LT(y + kDrop, face.height) << "row " << y;
                EXPECT_GT(y + kDrop, 0);
            }
        EXPECT_GT(ink, 4);
        // Pointing right: the middle row is the longest.
        int longest = 0, longestRow = -1;
        for (int y = 0; y < face.height; ++y) {
            int n = 0;
            for (int x = 0; x < g.width; ++x) n += g.Ink(x, y);
            if (n > longest) {
                longest = n;
                longestRow = y;
            }
        }
        EXPECT_GT(longest, 1);
        EXPECT_TRUE(g.Ink(1, longestRow));
    }
}

TEST(DialogFontFile, HoldsTheDialogFaceInRegularAndBold) {
    std::string error;
    const std::vector<BitmapFace> faces = LoadFontFile(test::DialogFontPath(), &error);
    ASSERT_FALSE(faces.empty()) << error;
    bool regular13 = false, bold13 = false;
    for (const BitmapFace& f : faces) {
        EXPECT_EQ(f.faceName, "MS Sans Serif");
        regular13 = regular13 || (f.height == 13 && f.weight == 400);
        bold13 = bold13 || (f.height == 13 && f.weight == 700);
    }
    EXPECT_TRUE(regular13);
    EXPECT_TRUE(bold13);
}

}  // namespace
}  // namespace plat
