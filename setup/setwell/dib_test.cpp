#include "setup/setwell/dib.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/afx/mem_file.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/core/byte_order.h"
#include "platform/fs/dospath.h"
#include "setup/setwell/setup_palette.h"
#include "setup/setwell/setwell_strings.h"

namespace setup {
namespace {

// A BMP file as a writer would make it, with every field the reader checks open to change.
struct BmpSpec {
    uint32_t headerSize = 40;
    int32_t width = 3;
    int32_t height = 2;
    uint16_t bits = 8;
    uint32_t clrUsed = 4;
    int colours = 4;  // colour entries written
    std::optional<uint32_t> offBits = std::nullopt;  // default: right after the colours
    std::optional<uint32_t> size = std::nullopt;     // default: offBits + the pixel bytes written
    uint32_t pixelBytes = 0;           // default: stride x |height|
    size_t cut = 0;                    // bytes taken off the end
    size_t extra = 0;                  // bytes added after the end
    uint16_t type = 0x4D42;
};

uint32_t StrideOf(const BmpSpec& s) { return static_cast<uint32_t>(DibStride(s.width, s.bits)); }

std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
    const uint32_t entry = s.headerSize == 12 ? 3 : 4;
    const uint32_t off = s.offBits.value_or(14 + s.headerSize + entry * static_cast<uint32_t>(s.colours));
    const uint32_t rows = static_cast<uint32_t>(s.height < 0 ? -s.height : s.height);
    const uint32_t pixels = s.pixelBytes ? s.pixelBytes : StrideOf(s) * rows;
    std::vector<uint8_t> b;
    plat::AppendLe16(b, s.type);
    plat::AppendLe32(b, s.size.value_or(off + pixels));
    plat::AppendLe32(b, 0);
    plat::AppendLe32(b, off);
    plat::AppendLe32(b, s.headerSize);
    if (s.headerSize == 12) {
        plat::AppendLe16(b, static_cast<uint16_t>(s.width));
        plat::AppendLe16(b, static_cast<uint16_t>(s.height));
        plat::AppendLe16(b, 1);
        plat::AppendLe16(b, s.bits);
    } else {
        plat::AppendLe32(b, static_cast<uint32_t>(s.width));
        plat::AppendLe32(b, static_cast<uint32_t>(s.height));
        plat::AppendLe16(b, 1);
        plat::AppendLe16(b, s.bits);
        for (uint32_t v : {0u, 0u, 0u, 0u, s.clrUsed, 0u}) plat::AppendLe32(b, v);
        b.resize(14 + s.headerSize);
    }
    for (int i = 0; i < s.colours; ++i) {
        // Colour i is (blue 10i, green 20i, red 30i).
        b.push_back(static_cast<uint8_t>(10 * i));
        b.push_back(static_cast<uint8_t>(20 * i));
        b.push_back(static_cast<uint8_t>(30 * i));
        if (entry == 4) b.push_back(0);
    }
    b.resize(off);
    // Pixel byte k of the file holds k + 1, so rows can be told apart.
    for (uint32_t k = 0; k < pixels; ++k) b.push_back(static_cast<uint8_t>(k + 1));
    b.resize(b.size() - std::min(s.cut, b.size()) + s.extra);
    return b;
}

bool ReadBytes(CDIB& picture, const std::vector<uint8_t>& bytes) {
    CMemFile file(bytes);
    return picture.Read(file) != FALSE;
}

bool SamePicture(const CDIB& a, const CDIB& b) {
    return std::memcmp(&a.HeaderBlock(), &b.HeaderBlock(), sizeof(DibHeaderBlock)) == 0 && a.Bits() == b.Bits();
}

TEST(CDIBTest, StartsAsA16By16GreyPicture) {
    CDIB picture;
    EXPECT_EQ(picture.Width(), 16);
    EXPECT_EQ(picture.Height(), 16);
    EXPECT_EQ(picture.NumColors(), 256);
    EXPECT_EQ(picture.ColorTable()[200].rgbRed, 200);
    EXPECT_EQ(picture.ColorTable()[200].rgbBlue, 200);
    EXPECT_EQ(*picture.PixelAddress(15, 15), 0);
    RECT r;
    picture.GetRect(&r);
    EXPECT_EQ(r.right, 16);
    EXPECT_EQ(r.bottom, 16);
}

struct AcceptCase {
    const char* name;
    BmpSpec spec;
    int colours;
    uint8_t topLeft;  // pixel (0, 0), counted from the top
};

void PrintTo(const AcceptCase& c, std::ostream* os) { *os << c.name; }

class CDIBAcceptTest : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(CDIBAcceptTest, ReadsTheFile) {
    const AcceptCase& c = GetParam();
    CDIB picture;
    ASSERT_TRUE(ReadBytes(picture, MakeBmp(c.spec)));
    EXPECT_EQ(picture.Width(), c.spec.width);
    EXPECT_EQ(picture.Height(), std::abs(c.spec.height));  // kept bottom row first
    EXPECT_EQ(picture.BitsPerPixel(), c.spec.bits);
    EXPECT_EQ(picture.HeaderBlock().header.biSize, 40u);
    EXPECT_EQ(picture.NumColors(), c.colours);
    EXPECT_EQ(picture.ColorTable()[1].rgbRed, 30);
    EXPECT_EQ(picture.ColorTable()[1].rgbGreen, 20);
    EXPECT_EQ(picture.ColorTable()[1].rgbBlue, 10);
    EXPECT_EQ(picture.Bits().size(), size_t{StrideOf(c.spec)} * std::abs(c.spec.height));
    if (c.spec.bits == 8) {
        EXPECT_EQ(*picture.PixelAddress(0, 0), c.topLeft);
    }
}

// 3 pixels of 8 bits make rows of 4 bytes: the file's first row (bytes 1..4) is the bottom one.
INSTANTIATE_TEST_SUITE_P(
    Files, CDIBAcceptTest,
    ::testing::Values(AcceptCase{"info_header", {}, 4, 5},
                      AcceptCase{"colour_count_from_depth", {.clrUsed = 0, .colours = 256}, 256, 5},
                      AcceptCase{"core_header_triples", {.headerSize = 12, .clrUsed = 0, .colours = 256}, 256, 5},
                      AcceptCase{"core_header_4_bits", {.headerSize = 12, .bits = 4, .clrUsed = 0, .colours = 16}, 16,
                                 0},
                      AcceptCase{"top_down_rows", {.height = -2}, 4, 1},
                      AcceptCase{"pixel_data_longer_than_needed", {.pixelBytes = 100}, 4, 5}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefuseCase {
    const char* name;
    BmpSpec spec;
};

void PrintTo(const RefuseCase& c, std::ostream* os) { *os << c.name; }

class CDIBRefuseTest : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(CDIBRefuseTest, LeavesThePictureUnchanged) {
    CDIB picture;
    ASSERT_TRUE(ReadBytes(picture, MakeBmp({.width = 5, .height = 7, .clrUsed = 0, .colours = 256})));
    CDIB before;
    ASSERT_TRUE(ReadBytes(before, MakeBmp({.width = 5, .height = 7, .clrUsed = 0, .colours = 256})));
    EXPECT_FALSE(ReadBytes(picture, MakeBmp(GetParam().spec)));
    EXPECT_TRUE(SamePicture(picture, before));
}

INSTANTIATE_TEST_SUITE_P(
    Files, CDIBRefuseTest,
    ::testing::Values(
        RefuseCase{"not_bm", {.type = 0x4142}}, RefuseCase{"short_pixels", {.cut = 1}},
        // The pixels follow the header at once, and the file ends inside the four colours.
        RefuseCase{"short_colour_table", {.offBits = 14 + 40}},
        RefuseCase{"cut_inside_the_header", {.cut = 8 + 16 + 20}},
        RefuseCase{"header_of_108_bytes", {.headerSize = 108}},
        RefuseCase{"more_than_256_colours", {.clrUsed = 257, .colours = 257}},
        RefuseCase{"more_colours_than_the_depth_holds", {.bits = 4, .clrUsed = 17, .colours = 17}},
        RefuseCase{"offset_beyond_size", {.offBits = 100, .size = 99}},
        // The header's size leaves 7 bytes for rows of 8, though the file goes on.
        RefuseCase{"pixel_data_shorter_than_rows", {.pixelBytes = 7, .extra = 16}},
        // 65536 x 65536 bytes is 2^32: a product taken in 32 bits would wrap to 0 and pass.
        RefuseCase{"rows_overflowing_32_bits", {.width = 65536, .height = 65536, .pixelBytes = 16}},
        RefuseCase{"zero_width", {.width = 0, .pixelBytes = 4}},
        RefuseCase{"unknown_depth", {.bits = 7, .clrUsed = 0, .colours = 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CDIBWriteTest, RoundTripsThroughTheFileLayout) {
    CDIB picture;
    ASSERT_TRUE(ReadBytes(picture, MakeBmp({.width = 5, .height = 3, .clrUsed = 4})));
    *picture.PixelAddress(4, 0) = 3;  // top-right: the last pixel of the last row in the file
    CMemFile file;
    ASSERT_TRUE(picture.Write(file));
    const std::vector<uint8_t>& b = file.Bytes();
    const uint32_t stride = 8;  // 5 pixels padded
    ASSERT_EQ(b.size(), kDibWriteOffBits + 3 * stride);
    EXPECT_EQ(plat::GetLe16(b, 0), 0x4D42);
    EXPECT_EQ(plat::GetLe32(b, 2), b.size());
    EXPECT_EQ(plat::GetLe32(b, 10), 1078u);
    EXPECT_EQ(plat::GetLe32(b, 14), 40u);
    EXPECT_EQ(b[kDibWriteOffBits + 2 * stride + 4], 3);

    file.SeekToBegin();
    CDIB again;
    ASSERT_TRUE(again.Read(file));
    EXPECT_TRUE(SamePicture(picture, again));
}

// Load and Save on an emulated installation, with their messages.
class CDIBFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-dib-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_tmp = pattern;
        plat::SetEmulatedRoot(m_tmp / "c");
        std::filesystem::create_directories(m_tmp / "cd");
        plat::SetCdromFolders({m_tmp / "cd"});
        plat::ClearStringTable();
        RegisterSetwellStrings();
        plat::SetMessageBoxHook([this](LPCSTR text, UINT, UINT) {
            m_messages.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override {
        plat::SetMessageBoxHook({});
        plat::ResetDriveMap();
        std::error_code ec;
        std::filesystem::remove_all(m_tmp, ec);
    }
    std::filesystem::path m_tmp;
    std::vector<std::string> m_messages;
};

TEST_F(CDIBFileTest, LoadAndSaveReportTheirFailures) {
    CDIB picture;
    ASSERT_TRUE(ReadBytes(picture, MakeBmp({.width = 5, .height = 3})));
    ASSERT_TRUE(picture.Save("C:\\BKGND.BMP"));
    CDIB loaded;
    ASSERT_TRUE(loaded.Load("C:\\BKGND.BMP"));
    EXPECT_TRUE(SamePicture(picture, loaded));
    EXPECT_TRUE(m_messages.empty());

    EXPECT_FALSE(loaded.Load("C:\\MISSING.BMP"));  // not opened: no message
    EXPECT_TRUE(m_messages.empty());

    CFile damaged("C:\\DAMAGED.BMP", CFile::modeCreate | CFile::modeWrite);
    damaged.Write("BM", 2);
    damaged.Close();
    EXPECT_FALSE(loaded.Load("C:\\DAMAGED.BMP"));
    EXPECT_FALSE(picture.Save("D:\\COPY.BMP"));  // a CD cannot be written
    EXPECT_EQ(m_messages, (std::vector<std::string>{"Kunde inte l\xE4sa in filen.", "Kunde inte \xF6ppna filen."}));
    EXPECT_TRUE(SamePicture(picture, loaded));
}

TEST(CDIBPaletteTest, MapToPaletteRecoloursEachPixelToTheNearestEntry) {
    CDIB picture;
    ASSERT_TRUE(ReadBytes(picture, MakeBmp({.width = 4, .height = 1, .clrUsed = 4})));
    // Colour i is (30i, 20i, 10i) and pixel k holds k + 1: pixels 1, 2, 3, 4.
    *picture.PixelAddress(3, 0) = 0;
    PALETTEENTRY entries[3] = {{0, 0, 0, 0}, {61, 41, 21, 0}, {31, 21, 9, 0}};
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = 3;
    std::memcpy(log->palPalEntry, entries, sizeof entries);
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(log));

    CDIB unchanged = CDIB();
    EXPECT_FALSE(unchanged.MapToPalette(nullptr));

    ASSERT_TRUE(picture.MapToPalette(&palette));
    // Colour 1 (30,20,10) is nearest entry 2; colours 2 (60,40,20) and 3 (90,60,30) entry 1; colour 0 entry 0.
    const uint8_t expected[4] = {2, 1, 1, 0};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(*picture.PixelAddress(x, 0), expected[x]) << x;
    EXPECT_EQ(picture.NumColors(), 256);
    EXPECT_EQ(picture.ColorTable()[2].rgbRed, 31);
    EXPECT_EQ(picture.ColorTable()[2].rgbBlue, 9);
    EXPECT_EQ(picture.ColorTable()[200].rgbRed, 0);
}

TEST(CDIBPaletteTest, PaletteTakesThePictureColours) {
    CDIB picture;
    ASSERT_TRUE(ReadBytes(picture, MakeBmp({.clrUsed = 4})));
    CSetupPalette palette;
    ASSERT_TRUE(palette.CreateFromDib(&picture));
    EXPECT_EQ(palette.GetEntryCount(), 4);
    PALETTEENTRY e[4];
    ASSERT_EQ(palette.GetPaletteEntries(0, 4, e), 4u);
    EXPECT_EQ(e[3].peRed, 90);
    EXPECT_EQ(e[3].peGreen, 60);
    EXPECT_EQ(e[3].peBlue, 30);
    EXPECT_EQ(e[3].peFlags, 0);

    CDIB trueColour;
    ASSERT_TRUE(ReadBytes(trueColour, MakeBmp({.bits = 24, .clrUsed = 0, .colours = 0})));
    CSetupPalette none;
    EXPECT_FALSE(none.CreateFromDib(&trueColour));
}

// A 4 x 3 target of 9s and a source whose pixel (x, y) holds 10y + x.
class CDIBCopyBlockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ReadBytes(m_source, MakeBmp({.width = 4, .height = 3, .clrUsed = 0, .colours = 256})));
        ASSERT_TRUE(ReadBytes(m_target, MakeBmp({.width = 4, .height = 3, .clrUsed = 0, .colours = 256})));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                *m_source.PixelAddress(x, y) = static_cast<uint8_t>(10 * y + x);
                *m_target.PixelAddress(x, y) = 9;
            }
    }
    std::string Target() {
        std::string s;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) s += std::to_string(*m_target.PixelAddress(x, y)) + " ";
            s += "/ ";
        }
        return s;
    }
    CDIB m_source;
    CDIB m_target;
};

TEST_F(CDIBCopyBlockTest, CopiesTopDownAndSkipsTheTransparentIndex) {
    ASSERT_TRUE(m_source.CopyBlock(&m_target, 1, 0, 3, 2, 0, 1, -1));
    EXPECT_EQ(Target(), "9 10 11 12 / 9 20 21 22 / 9 9 9 9 / ");
    ASSERT_TRUE(m_source.CopyBlock(&m_target, 0, 1, 3, 2, 0, 0, 1));  // index 1 is see-through
    EXPECT_EQ(Target(), "9 10 11 12 / 0 20 2 22 / 10 11 12 9 / ");
}

TEST_F(CDIBCopyBlockTest, RefusesBlocksOutsideEitherPicture) {
    const std::string before = Target();
    struct Case {
        int x, y, w, h, sx, sy;
    };
    const Case cases[] = {{2, 0, 3, 1, 0, 0}, {0, 2, 1, 2, 0, 0}, {0, 0, 2, 1, 3, 0}, {0, 0, 1, 2, 0, 2},
                          {-1, 0, 1, 1, 0, 0}, {0, 0, 1, 1, 0, -1}, {0, 0, -1, 1, 0, 0}};
    for (const Case& c : cases) EXPECT_FALSE(m_source.CopyBlock(&m_target, c.x, c.y, c.w, c.h, c.sx, c.sy, -1));
    EXPECT_TRUE(m_source.CopyBlock(&m_target, 3, 2, 0, 5, 0, 0, -1));  // nothing to copy
    EXPECT_EQ(Target(), before);

    CDIB fourBits;
    ASSERT_TRUE(ReadBytes(fourBits, MakeBmp({.width = 8, .height = 2, .bits = 4, .clrUsed = 0, .colours = 16})));
    EXPECT_EQ(fourBits.PixelAddress(7, 0), nullptr);  // a byte per pixel would run past the row
    EXPECT_FALSE(fourBits.CopyBlock(&m_target, 0, 0, 4, 1, 4, 0, -1));
    EXPECT_EQ(Target(), before);
}

TEST_F(CDIBCopyBlockTest, CopyWithinOnePictureReadsTheSourceFirst) {
    ASSERT_TRUE(m_source.CopyBlock(&m_source, 0, 1, 4, 2, 0, 0, -1));
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(*m_source.PixelAddress(x, 1), x);
        EXPECT_EQ(*m_source.PixelAddress(x, 2), 10 + x);
    }
}

}  // namespace
}  // namespace setup
