// Adding and removing font files, and choosing the nearest face for a request.
#include "platform/fonts/font_registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "platform/fonts/text_test_support.h"

namespace plat {
namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        Fonts().Clear();
        Fonts().SetSystemFontFolder(ZELBO_FONT_DIR);
        m_dir = std::filesystem::temp_directory_path() /
                ("zelbo_text_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        Fonts().Clear();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string TempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = (m_dir / name).string();
        test::WriteBytes(path, bytes);
        return path;
    }

    std::filesystem::path m_dir;
};

struct ChoiceCase {
    const char* what;
    const char* faceName;
    int height, width, weight;
    bool italic;
    // The face expected: name, cell height, weight, italic, and whether it is simulated.
    const char* gotName;
    int gotHeight, gotWeight;
    bool gotItalic;
    int gotOverhang;
};

const ChoiceCase kChoices[] = {
    {"exact face", "FONT0021", 21, 9, 400, false, "FONT0021", 21, 400, false, 0},
    {"name ignores case", "font0027", 24, 10, 400, false, "FONT0027", 24, 400, false, 0},
    {"bold face of its own", "FONT0016", 15, 6, 700, false, "FONT0016", 15, 700, false, 0},
    {"italic face of its own", "FONT0017", 15, 7, 400, true, "FONT0017", 15, 400, true, 0},
    {"bold simulated", "FONT0015", 15, 6, 700, false, "FONT0015", 15, 700, false, 1},
    {"italic simulated", "FONT0021", 21, 9, 400, true, "FONT0021", 21, 400, true, 10},
    {"only size of the name wins over height", "FONT0035", 12, 0, 400, false, "FONT0035", 35, 400, false, 0},
    {"unknown name falls back to the dialog font", "NoSuchFace", 13, 0, 400, false, "MS Sans Serif", 13, 400, false, 0},
    {"unknown name, bigger size", "NoSuchFace", 16, 0, 400, false, "MS Sans Serif", 16, 400, false, 0},
    {"empty name", "", 0, 0, 0, false, "MS Sans Serif", 13, 400, false, 0},
    {"smaller raster face preferred to bigger", "MS Sans Serif", 15, 0, 400, false, "MS Sans Serif", 13, 400, false, 0},
    {"bigger face when none is smaller", "MS Sans Serif", 10, 0, 400, false, "MS Sans Serif", 13, 400, false, 0},
    {"negative height is the em height", "MS Sans Serif", -10, 0, 400, false, "MS Sans Serif", 13, 400, false, 0},
    {"height zero is the smallest", "MS Sans Serif", 0, 0, 400, false, "MS Sans Serif", 13, 400, false, 0},
    {"bold dialog face of its own", "ms sans serif", 16, 0, 700, false, "MS Sans Serif", 16, 700, false, 0},
    {"extreme numbers", "FONT0021", INT_MIN, INT_MIN, INT_MAX, true, "FONT0021", 21, 700, true, 11},
};

class Choice : public Registry, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(Choice, PicksTheNearestFace) {
    ASSERT_EQ(plat::AddFontFile(test::GameFontPath()), 12);
    const ChoiceCase& c = GetParam();
    const auto face = ChooseFace(c.faceName, c.height, c.width, c.weight, c.italic);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->faceName, c.gotName);
    EXPECT_EQ(face->height, c.gotHeight);
    EXPECT_EQ(face->weight, c.gotWeight);
    EXPECT_EQ(face->italic, c.gotItalic);
    EXPECT_EQ(face->overhang, c.gotOverhang);
    EXPECT_TRUE(face->Valid());
}

INSTANTIATE_TEST_SUITE_P(Cases, Choice, ::testing::ValuesIn(kChoices), [](const auto& info) {
    std::string name = info.param.what;
    for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

TEST_F(Registry, RemovingTheFileLosesItsFacesButNotFontsAlreadyMade) {
    const std::string path = test::GameFontPath();
    ASSERT_EQ(plat::AddFontFile(path), 12);
    const auto made = ChooseFace("FONT0021", 21, 9, 400, false);
    ASSERT_EQ(made->faceName, "FONT0021");
    EXPECT_TRUE(plat::RemoveFontFile(path));
    EXPECT_EQ(ChooseFace("FONT0021", 21, 9, 400, false)->faceName, "MS Sans Serif");
    EXPECT_EQ(made->height, 21);
    EXPECT_EQ(TextExtent(*made, "Hej").cx, made->Advance('H') + made->Advance('e') + made->Advance('j'));
}

TEST_F(Registry, AddingTwiceNeedsTwoRemovals) {
    const std::string path = test::GameFontPath();
    ASSERT_EQ(plat::AddFontFile(path), 12);
    // The same file by another name is the same resource.
    const std::string other = (std::filesystem::path(ZELBO_FONT_DIR) / ".." / "fonts" / "RODODED1.FON").string();
    ASSERT_EQ(plat::AddFontFile(other), 12);
    EXPECT_TRUE(plat::RemoveFontFile(path));
    EXPECT_EQ(ChooseFace("FONT0013", 13, 5, 400, false)->faceName, "FONT0013");
    EXPECT_TRUE(plat::RemoveFontFile(path));
    EXPECT_EQ(ChooseFace("FONT0013", 13, 5, 400, false)->faceName, "MS Sans Serif");
    SetLastError(0);
    EXPECT_FALSE(plat::RemoveFontFile(path));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Registry, MissingAndDamagedFilesAreRefused) {
    SetLastError(0);
    EXPECT_EQ(plat::AddFontFile((m_dir / "absent.fon").string()), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    std::vector<uint8_t> damaged = test::ReadBytes(test::GameFontPath());
    damaged.resize(damaged.size() / 2);
    const std::string path = TempFile("HALF.FON", damaged);
    std::string error;
    EXPECT_EQ(Fonts().Add(path, &error), 0);
    EXPECT_NE(error.find("font resource"), std::string::npos) << error;
    EXPECT_EQ(plat::AddFontFile(path), 0);
    EXPECT_EQ(plat::AddFontFile(TempFile("EMPTY.FON", {})), 0);
}

TEST_F(Registry, WithoutAnyFontFileTextStillHasAFace) {
    Fonts().SetSystemFontFolder((m_dir / "nothing-here").string());
    EXPECT_FALSE(Fonts().SystemFontError().empty());
    const auto face = ChooseFace("MS Sans Serif", 13, 0, 400, false);
    ASSERT_NE(face, nullptr);
    EXPECT_TRUE(face->Valid());
    EXPECT_GT(TextExtent(*face, "abc").cx, 0);
}

// An outline font is drawn at the height asked for, in Windows' two senses of height.
TEST_F(Registry, OutlineFontsAreDrawnAtTheAskedHeight) {
    ASSERT_GE(plat::AddFontFile(test::DejaVuPath("DejaVuSans.ttf")), 1);
    for (int height : {9, 20, 31}) {
        const auto cell = ChooseFace("DejaVu Sans", height, 0, 400, false);
        EXPECT_EQ(cell->faceName, "DejaVu Sans");
        EXPECT_EQ(cell->height, height);
        EXPECT_TRUE(cell->Valid());
        const auto em = ChooseFace("DejaVu Sans", -height, 0, 400, false);
        EXPECT_EQ(em->height - em->internalLeading, height);
        EXPECT_GT(em->height, height);
    }
    const auto twice = ChooseFace("DejaVu Sans", 20, 0, 400, false);
    EXPECT_EQ(twice, ChooseFace("DejaVu Sans", 20, 0, 400, false));  // kept, not redrawn
}

// A bitmap font in a format FreeType reads (BDF), with a known glyph.
TEST_F(Registry, BitmapFontsOfOtherFormatsLoadThroughFreeType) {
    const std::string bdf =
        "STARTFONT 2.1\n"
        "FONT -test-Blocky-Medium-R-Normal--8-80-75-75-C-60-ISO10646-1\n"
        "SIZE 8 75 75\n"
        "FONTBOUNDINGBOX 6 8 0 -2\n"
        "STARTPROPERTIES 6\n"
        "FAMILY_NAME \"Blocky\"\n"
        "CHARSET_REGISTRY \"ISO10646\"\n"
        "CHARSET_ENCODING \"1\"\n"
        "FONT_ASCENT 6\n"
        "FONT_DESCENT 2\n"
        "DEFAULT_CHAR 63\n"
        "ENDPROPERTIES\n"
        "CHARS 2\n"
        "STARTCHAR question\nENCODING 63\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 6 8 0 -2\n"
        "BITMAP\n78\n84\n04\n18\n20\n00\n20\n00\nENDCHAR\n"
        "STARTCHAR adiaeresis\nENCODING 228\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 6 8 0 -2\n"
        "BITMAP\n48\n00\n78\n04\n7C\n84\n7C\n00\nENDCHAR\n"
        "ENDFONT\n";
    const std::string path = TempFile("blocky.bdf", std::vector<uint8_t>(bdf.begin(), bdf.end()));
    ASSERT_EQ(plat::AddFontFile(path), 1);
    const auto face = ChooseFace("Blocky", 8, 0, 400, false);
    ASSERT_EQ(face->faceName, "Blocky");
    EXPECT_EQ(face->height, 8);
    EXPECT_EQ(face->ascent, 6);
    const BitmapGlyph& ae = *face->GlyphFor(0xE4);  // ä
    EXPECT_EQ(ae.advance, 6);
    const uint8_t rows[8] = {0x48, 0x00, 0x78, 0x04, 0x7C, 0x84, 0x7C, 0x00};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(ae.Ink(x, y), (rows[y] & (0x80 >> x)) != 0) << x << "," << y;
    // A byte the font lacks draws as its default character.
    EXPECT_EQ(face->GlyphFor('Z')->bits, face->GlyphFor('?')->bits);
}

}  // namespace
}  // namespace plat
