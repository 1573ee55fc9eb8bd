// Writing and reading the Windows raster font formats, and refusing damaged files.
#include <ft2build.h>
#include <gtest/gtest.h>
#include FT_FREETYPE_H
#include FT_WINFONTS_H

#include <functional>
#include <random>

#include "platform/fonts/font_file.h"
#include "platform/fonts/text_test_support.h"
#include "tools/fontbuild/fnt_writer.h"

namespace plat {
namespace {

void ExpectSameFace(const BitmapFace& got, const BitmapFace& want) {
    EXPECT_EQ(got.faceName, want.faceName);
    EXPECT_EQ(got.height, want.height);
    EXPECT_EQ(got.ascent, want.ascent);
    EXPECT_EQ(got.internalLeading, want.internalLeading);
    EXPECT_EQ(got.avgWidth, want.avgWidth);
    EXPECT_EQ(got.maxWidth, want.maxWidth);
    EXPECT_EQ(got.weight, want.weight);
    EXPECT_EQ(got.italic, want.italic);
    EXPECT_EQ(got.points, want.points);
    EXPECT_EQ(got.firstChar, want.firstChar);
    EXPECT_EQ(got.lastChar, want.lastChar);
    EXPECT_EQ(got.defaultChar, want.defaultChar);
    EXPECT_EQ(got.breakChar, want.breakChar);
    ASSERT_EQ(got.glyphs.size(), want.glyphs.size());
    for (size_t i = 0; i < got.glyphs.size(); ++i) {
        EXPECT_EQ(got.glyphs[i].advance, want.glyphs[i].advance) << "glyph " << i;
        EXPECT_EQ(got.glyphs[i].bits, want.glyphs[i].bits) << "glyph " << i;
    }
}

uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// Where things lie in a font file the writer made, found by walking its tables.
struct Layout {
    size_t ne = 0;
    size_t resTable = 0;
    size_t fontType = 0;  // TYPEINFO of the fonts
    size_t fontInfo = 0;  // NAMEINFO of the first font
    size_t fnt = 0;       // the first font's bytes
    bool v3 = false;
    size_t charTable = 0;  // its first character entry
};

Layout Walk(const std::vector<uint8_t>& fon) {
    Layout l;
    l.ne = Get16(fon, 0x3C);
    l.resTable = l.ne + Get16(fon, l.ne + 0x24);
    const unsigned shift = Get16(fon, l.resTable);
    size_t pos = l.resTable + 2;
    while (Get16(fon, pos) != 0x8008) pos += 8 + 12 * Get16(fon, pos + 2);
    l.fontType = pos;
    l.fontInfo = pos + 8;
    l.fnt = static_cast<size_t>(Get16(fon, l.fontInfo)) << shift;
    l.v3 = Get16(fon, l.fnt) == 0x0300;
    l.charTable = l.fnt + (l.v3 ? 148 : 118);
    return l;
}

std::vector<BitmapFace> TestFaces() {
    BitmapFace bold = test::MakeTestFace("Tiny", 11, 14, 700);
    bold.italic = true;
    return {test::MakeTestFace("Tiny", 9, 12), bold};
}

std::vector<uint8_t> TestFon(bool v3) {
    fontbuild::FonModule m;
    m.moduleName = "TINY";
    m.description = "FONTRES 100,96,96 : TINY";
    for (const BitmapFace& f : TestFaces()) m.fonts.push_back(fontbuild::WriteFnt(f, {"test", v3}));
    return fontbuild::WriteFon(m);
}

class FontFormat : public ::testing::TestWithParam<bool> {};  // true: FNT version 3.0

TEST_P(FontFormat, FonRoundTrips) {
    const FontFileContents read = ReadFontBytes(TestFon(GetParam()));
    ASSERT_TRUE(read.error.empty()) << read.error;
    const std::vector<BitmapFace> want = TestFaces();
    ASSERT_EQ(read.bitmapFaces.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) ExpectSameFace(read.bitmapFaces[i], want[i]);
}

TEST_P(FontFormat, BareFntRoundTrips) {
    const BitmapFace want = TestFaces()[1];
    const FontFileContents read = ReadFontBytes(fontbuild::WriteFnt(want, {"", GetParam()}));
    ASSERT_EQ(read.bitmapFaces.size(), 1u) << read.error;
    ExpectSameFace(read.bitmapFaces[0], want);
}

struct FreeTypeLibrary {
    FreeTypeLibrary() { FT_Init_FreeType(&lib); }
    ~FreeTypeLibrary() { FT_Done_FreeType(lib); }  // frees its faces too
    FT_Library lib = nullptr;
};

TEST_P(FontFormat, FreeTypeReadsTheSameGlyphs) {
    const std::vector<uint8_t> fon = TestFon(GetParam());
    const std::vector<BitmapFace> want = TestFaces();
    FreeTypeLibrary ft;
    ASSERT_NE(ft.lib, nullptr);
    for (size_t i = 0; i < want.size(); ++i) {
        FT_Face face = nullptr;
        ASSERT_EQ(
            FT_New_Memory_Face(ft.lib, fon.data(), static_cast<FT_Long>(fon.size()), static_cast<FT_Long>(i), &face), 0);
        EXPECT_EQ(face->num_faces, 2);
        FT_WinFNT_HeaderRec h{};
        ASSERT_EQ(FT_Get_WinFNT_Header(face, &h), 0);
        ASSERT_EQ(face->num_charmaps, 1);
        ASSERT_EQ(FT_Set_Charmap(face, face->charmaps[0]), 0);
        EXPECT_EQ(h.version, GetParam() ? 0x300 : 0x200);
        EXPECT_STREQ(face->family_name, "Tiny");
        EXPECT_EQ(h.weight, want[i].weight);
        EXPECT_EQ(h.italic != 0, want[i].italic);
        for (int c = want[i].firstChar; c <= want[i].lastChar; ++c) {
            ASSERT_EQ(FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO), 0);
            const FT_Bitmap& bm = face->glyph->bitmap;
            const BitmapGlyph& g = *want[i].GlyphFor(static_cast<uint8_t>(c));
            ASSERT_EQ(static_cast<int>(bm.width), g.width);
            for (int y = 0; y < want[i].height; ++y)
                for (int x = 0; x < g.width; ++x)
                    EXPECT_EQ((bm.buffer[y * bm.pitch + x / 8] & (0x80 >> (x & 7))) != 0, g.Ink(x, y));
        }
    }
}

// Every prefix of a file is either refused with a reason or read whole: never a face made
// of half a glyph table.
TEST_P(FontFormat, EveryTruncationIsRefusedOrReadWhole) {
    const BitmapFace bare = TestFaces()[0];
    const std::vector<std::vector<uint8_t>> files = {TestFon(GetParam()), fontbuild::WriteFnt(bare, {"", GetParam()})};
    for (const auto& file : files) {
        const FontFileContents whole = ReadFontBytes(file);
        ASSERT_FALSE(whole.bitmapFaces.empty());
        for (size_t n = 0; n < file.size(); ++n) {
            const FontFileContents read = ReadFontBytes(std::vector<uint8_t>(file.begin(), file.begin() + n));
            if (read.Empty()) {
                EXPECT_FALSE(read.error.empty()) << "length " << n;
                continue;
            }
            ASSERT_EQ(read.bitmapFaces.size(), whole.bitmapFaces.size()) << "length " << n;
            for (size_t i = 0; i < read.bitmapFaces.size(); ++i)
                ExpectSameFace(read.bitmapFaces[i], whole.bitmapFaces[i]);
        }
    }
}

struct Damage {
    const char* what;
    std::function<void(std::vector<uint8_t>&, const Layout&)> apply;
};

const Damage kDamages[] = {
    {"new header offset past the end", [](auto& b, const Layout&) { Put32(b, 0x3C, 0xFFFFFF00u); }},
    {"resource table past the end", [](auto& b, const Layout& l) { Put16(b, l.ne + 0x24, 0xFFF0); }},
    {"huge alignment shift", [](auto& b, const Layout& l) { Put16(b, l.resTable, 40); }},
    {"resource count past the end", [](auto& b, const Layout& l) { Put16(b, l.fontType + 2, 0xFFFF); }},
    {"no font resources", [](auto& b, const Layout& l) { Put16(b, l.fontType, 0x8009); }},
    {"font offset past the end", [](auto& b, const Layout& l) { Put16(b, l.fontInfo, 0xFFFF); }},
    {"font of zero length", [](auto& b, const Layout& l) { Put16(b, l.fontInfo + 2, 0); }},
    {"font cut short", [](auto& b, const Layout& l) { b.resize(l.fnt + 140); }},
    {"font size past the resource", [](auto& b, const Layout& l) { Put32(b, l.fnt + 2, 0x7FFFFFFFu); }},
    {"font size zero", [](auto& b, const Layout& l) { Put32(b, l.fnt + 2, 0); }},
    {"unknown version", [](auto& b, const Layout& l) { Put16(b, l.fnt, 0x0100); }},
    {"vector font", [](auto& b, const Layout& l) { Put16(b, l.fnt + 66, 1); }},
    {"zero cell height", [](auto& b, const Layout& l) { Put16(b, l.fnt + 88, 0); }},
    {"last character before first", [](auto& b, const Layout& l) { b.at(l.fnt + 96) = 0x20; }},
    {"glyph offset past the end",
     [](auto& b, const Layout& l) {
         if (l.v3) {
             Put32(b, l.charTable + 2, 0x00FFFFFFu);
         } else {
             Put16(b, l.charTable + 2, 0xFFFF);
         }
     }},
    {"glyph wider than the file", [](auto& b, const Layout& l) { Put16(b, l.charTable, 0xFFFF); }},
    {"face name offset past the end", [](auto& b, const Layout& l) { Put32(b, l.fnt + 105, 0x00FFFFFFu); }},
};

class DamagedFon : public ::testing::TestWithParam<std::tuple<Damage, bool>> {};

TEST_P(DamagedFon, IsRefusedWithAReason) {
    const auto& [damage, v3] = GetParam();
    std::vector<uint8_t> file = TestFon(v3);
    damage.apply(file, Walk(file));
    const FontFileContents read = ReadFontBytes(file);
    EXPECT_TRUE(read.Empty());
    EXPECT_FALSE(read.error.empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedFon, ::testing::Combine(::testing::ValuesIn(kDamages), ::testing::Bool()),
                         [](const auto& info) {
                             std::string name =
                                 std::string(std::get<0>(info.param).what) + (std::get<1>(info.param) ? "_v3" : "_v2");
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// Random damage: whatever is read back is a consistent face.
TEST_P(FontFormat, RandomDamageNeverGivesABrokenFace) {
    const std::vector<uint8_t> original = TestFon(GetParam());
    std::mt19937 rng(20240601);
    std::uniform_int_distribution<size_t> where(0, original.size() - 1);
    std::uniform_int_distribution<int> value(0, 255), count(1, 4);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> file = original;
        for (int k = count(rng); k > 0; --k) file[where(rng)] = static_cast<uint8_t>(value(rng));
        const FontFileContents read = ReadFontBytes(file);
        for (const BitmapFace& f : read.bitmapFaces) EXPECT_TRUE(f.Valid()) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, FontFormat, ::testing::Bool(),
                         [](const auto& info) { return info.param ? std::string("v3") : std::string("v2"); });

}  // namespace
}  // namespace plat
