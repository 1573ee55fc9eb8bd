// PCX and BMP reading: the decoder on its own, then whole files through the surface loaders.
#include "media/surface/picture_formats.h"

#include <gtest/gtest.h>

#include "media/surface/surface_test_support.h"
#include "platform/dialogs/resources.h"

namespace {

using surftest::Bytes;
using surftest::Mode;

// ---- The PCX decoder ------------------------------------------------------------------------

struct DecodeCase {
    const char* name;
    int width, height, bytesPerLine;
    Bytes encoded;
    bool complete;
    std::vector<Bytes> rows;  // expected picture rows (width bytes each)
};

class PcxDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PcxDecode, Rows) {
    const DecodeCase& c = GetParam();
    const int stride = (c.width + 3) & ~3;
    // Exactly the store, so AddressSanitizer sees any write past it.
    auto store = std::make_unique<uint8_t[]>(static_cast<size_t>(stride) * c.height);
    std::fill(store.get(), store.get() + static_cast<size_t>(stride) * c.height, 0xEE);
    const media::PcxLayout layout{c.width, c.height, c.bytesPerLine};
    EXPECT_EQ(media::DecodePcxRows(c.encoded, layout, store.get(), stride), c.complete);
    for (size_t y = 0; y < c.rows.size(); ++y)
        EXPECT_EQ(Bytes(store.get() + y * stride, store.get() + y * stride + c.width), c.rows[y]) << "row " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PcxDecode,
    ::testing::Values(
        DecodeCase{"Literals", 3, 2, 3, {1, 2, 3, 4, 5, 6}, true, {{1, 2, 3}, {4, 5, 6}}},
        DecodeCase{"Runs", 4, 1, 4, {0xC3, 9, 0xC1, 0xC5}, true, {{9, 9, 9, 0xC5}}},
        // 0xC0 is a run of nothing: it writes no pixel and consumes two bytes.
        DecodeCase{"EmptyRun", 2, 1, 2, {0xC0, 7, 1, 2}, true, {{1, 2}}},
        // A run past the row's end is cut there; the next row starts with the next byte.
        DecodeCase{"RunCutAtRowEnd", 4, 2, 4, {0xC6, 5, 1, 2, 3, 4}, true, {{5, 5, 5, 5}, {1, 2, 3, 4}}},
        // Line length 6 for a picture 4 wide (stride 4): the two extra bytes are dropped.
        DecodeCase{"LongLinesDropTheirTail", 4, 2, 6, {0xC6, 1, 0xC6, 2}, true, {{1, 1, 1, 1}, {2, 2, 2, 2}}},
        DecodeCase{"LongLinesMixed", 3, 2, 8, {1, 2, 3, 0xC5, 4, 7, 8, 9, 0xC5, 6}, true, {{1, 2, 3}, {7, 8, 9}}},
        DecodeCase{"EndsInsideARow", 4, 2, 4, {0xC4, 1, 2, 3}, false, {{1, 1, 1, 1}}},
        DecodeCase{"EndsBeforeARunsValue", 4, 1, 4, {1, 0xC3}, false, {}},
        DecodeCase{"Empty", 1, 1, 1, {}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PcxHeader, RefusesWhatItCannotRead) {
    media::PcxLayout l;
    EXPECT_TRUE(media::ParsePcxHeader(surftest::PcxHeader(13, 7, 14), 8192, l));
    EXPECT_EQ(l.width, 13);
    EXPECT_EQ(l.height, 7);
    EXPECT_EQ(l.bytesPerLine, 14);

    auto with = [](auto change) {
        Bytes h = surftest::PcxHeader(13, 7, 14);
        change(h);
        media::PcxLayout out;
        return media::ParsePcxHeader(h, 8192, out);
    };
    EXPECT_FALSE(with([](Bytes& h) { h[3] = 1; }));                          // 1 bit per pixel
    EXPECT_FALSE(with([](Bytes& h) { h[65] = 3; }));                         // three planes
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe16(h, 4, 20); }));         // xMin past xMax
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe16(h, 66, 12); }));        // lines shorter than the width
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe16(h, 8, 0xFFFE); }));     // 65535 wide
    EXPECT_FALSE(media::ParsePcxHeader(Bytes(100, 0), 8192, l));          // short header
}

TEST(BmpHeaders, RefusesWhatItCannotRead) {
    const Bytes good = surftest::BmpFile(5, {Bytes(5, 1), Bytes(5, 2)});
    media::BmpLayout l;
    ASSERT_TRUE(media::ParseBmpHeaders(good, good.size(), 8192, l));
    EXPECT_EQ(l.stride, 8u);
    EXPECT_EQ(l.pixelOffset, 1078u);
    auto with = [&](auto change, uint64_t size = 0) {
        Bytes h = good;
        change(h);
        media::BmpLayout out;
        return media::ParseBmpHeaders(h, size ? size : h.size(), 8192, out);
    };
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe16(h, 28, 24); }));       // 24 bits
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe32(h, 30, 1); }));        // compressed
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe32(h, 18, 0); }));        // no width
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe32(h, 22, 100000); }));   // absurd height
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe32(h, 46, 300); }));      // 300 colours
    EXPECT_FALSE(with([](Bytes&) {}, good.size() - 1));                      // rows cut short
    EXPECT_FALSE(with([](Bytes& h) { plat::SetLe32(h, 10, 0x7FFFFFF0); }));  // rows beyond the file
}

// ---- Whole files --------------------------------------------------------------------------------

class PictureFiles : public surftest::SurfaceTest, public ::testing::WithParamInterface<Mode> {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        surftest::StartDibSystem(GetParam());
    }
};

TEST_P(PictureFiles, PcxFirstRowIsPictureRowZero) {
    // 640 × 480, each row a run of its own colour (row number + 10, wrapping below 0xC0).
    Bytes encoded;
    for (int y = 0; y < 480; ++y) {
        const uint8_t v = static_cast<uint8_t>(10 + y % 170);
        for (int k = 0; k < 640; k += 63) {
            encoded.push_back(static_cast<uint8_t>(0xC0 | std::min(63, 640 - k)));
            encoded.push_back(v);
        }
    }
    const std::string path = PutFile("rows.pcx", surftest::PcxFile(640, 480, 640, encoded));
    CPalId palette;
    CDibG d;
    d.LoadPcxFile(path.c_str(), &palette);
    ASSERT_EQ(d.Width(), 640);
    ASSERT_EQ(d.Height(), 480);
    for (int y : {0, 1, 239, 479}) EXPECT_EQ(d.GetPixel(321, y), 10 + y % 170) << y;
    // The palette was made from the file's colours (entry k = byte k of the colour block).
    ASSERT_TRUE(palette.IsCreated());
    PALETTEENTRY e[256];
    ASSERT_TRUE(palette.GetEntries(e));
    EXPECT_EQ(e[100].peRed, static_cast<uint8_t>(300));
    EXPECT_EQ(e[100].peGreen, static_cast<uint8_t>(301));
    EXPECT_EQ(e[100].peBlue, static_cast<uint8_t>(302));
}

TEST_P(PictureFiles, DamagedPcxIsRefusedAndTheSurfaceKept) {
    CDibG d;
    d.Create(4, 2, nullptr);
    d.Fill(42);
    const Bytes rows = surftest::PcxLiteralRows({{1, 2, 3, 4}, {5, 6, 7, 8}});
    const struct {
        const char* name;
        Bytes file;
    } damaged[] = {
        // The last row cut short: the marker byte is read as a pixel, then the data ends.
        {"Truncated", surftest::PcxFile(4, 2, 4, Bytes(rows.begin(), rows.end() - 2))},
        {"ShorterThanHeaderAndPalette", Bytes(surftest::PcxHeader(4, 2, 4))},
        {"Huge", surftest::PcxFile(8000, 8000, 8000, rows)},
        {"Oversized", surftest::PcxFile(20000, 2, 20000, rows)},
        {"FourBitPlanes", [&] {
             Bytes f = surftest::PcxFile(4, 2, 4, rows);
             f[65] = 4;
             return f;
         }()},
    };
    for (const auto& c : damaged) {
        const std::string path = PutFile("bad.pcx", c.file);
        EXPECT_TRUE(surftest::ThrowsResource([&] { d.LoadPcxFile(path.c_str(), nullptr); })) << c.name;
        ASSERT_EQ(d.Width(), 4) << c.name;
        EXPECT_EQ(surftest::Rows(d), (std::vector<Bytes>{Bytes(4, 42), Bytes(4, 42)})) << c.name;
    }
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.LoadPcxFile("C:\\missing.pcx", nullptr); }));
}

TEST_P(PictureFiles, PcxIntoASurfaceOfAnotherSizeAndReload) {
    CDibG d;
    d.Create(50, 50, nullptr);
    const std::string small = PutFile("small.pcx", surftest::PcxFile(3, 2, 4, surftest::PcxLiteralRows({{1, 2, 3, 0}, {4, 5, 0xC7, 0}})));
    d.LoadPcxFile(small.c_str(), nullptr);
    EXPECT_EQ(d.Width(), 3);
    EXPECT_EQ(surftest::Rows(d), (std::vector<Bytes>{{1, 2, 3}, {4, 5, 0xC7}}));
    const std::string other = PutFile("other.pcx", surftest::PcxFile(3, 2, 3, surftest::PcxLiteralRows({{9, 9, 9}, {8, 8, 8}})));
    d.ReloadPcxFile(other.c_str(), nullptr);
    EXPECT_EQ(surftest::Rows(d), (std::vector<Bytes>{{9, 9, 9}, {8, 8, 8}}));
    const std::string wide = PutFile("wide.pcx", surftest::PcxFile(4, 2, 4, surftest::PcxLiteralRows({{1, 1, 1, 1}, {1, 1, 1, 1}})));
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.ReloadPcxFile(wide.c_str(), nullptr); }));
    EXPECT_EQ(d.GetPixel(0, 1), 8);
}

TEST_P(PictureFiles, PcxInMemoryWithItsColours) {
    const Bytes rgb = surftest::RgbTriplets();
    Bytes pcx = surftest::PcxHeader(2, 2, 2);
    const Bytes rows = surftest::PcxLiteralRows({{1, 2}, {3, 4}});
    pcx.insert(pcx.end(), rows.begin(), rows.end());
    CPalId palette;
    CDibG d;
    d.LoadPcxMemory(pcx, rgb.data(), &palette);
    EXPECT_EQ(surftest::Rows(d), (std::vector<Bytes>{{1, 2}, {3, 4}}));
    EXPECT_TRUE(palette.IsCreated());
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.LoadPcxMemory(std::span<const uint8_t>(pcx).first(130), nullptr, nullptr); }));
}

TEST_P(PictureFiles, BmpRowsComeOutTopRowFirst) {
    const std::vector<Bytes> rows = {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}};
    for (const bool topDown : {false, true}) {
        const std::string path = PutFile("pic.bmp", surftest::BmpFile(5, rows, topDown));
        CPalId palette;
        CDibG d;
        d.LoadBmpFile(path.c_str(), &palette);
        EXPECT_EQ(surftest::Rows(d), rows) << topDown;
        PALETTEENTRY e[256];
        ASSERT_TRUE(palette.GetEntries(e));
        EXPECT_EQ(e[100].peRed, 100);  // the file's colour 100 is (100, 155, 50)
        EXPECT_EQ(e[100].peGreen, 155);
        EXPECT_EQ(e[100].peBlue, 50);
    }
}

TEST_P(PictureFiles, DamagedBmpIsRefused) {
    const Bytes good = surftest::BmpFile(5, {Bytes(5, 1), Bytes(5, 2)});
    CDibG d;
    const std::string cut = PutFile("cut.bmp", Bytes(good.begin(), good.end() - 3));
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.LoadBmpFile(cut.c_str(), nullptr); }));
    Bytes deep = good;
    plat::SetLe16(deep, 28, 4);
    const std::string four = PutFile("four.bmp", deep);
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.LoadBmpFile(four.c_str(), nullptr); }));
    const std::string tiny = PutFile("tiny.bmp", Bytes(good.begin(), good.begin() + 20));
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.LoadBmpFile(tiny.c_str(), nullptr); }));
    EXPECT_FALSE(d.IsCreated());

    d.Create(5, 2, nullptr);
    const std::string other = PutFile("other.bmp", surftest::BmpFile(5, {Bytes(5, 7), Bytes(5, 8), Bytes(5, 9)}));
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.ReloadBmpFile(other.c_str(), nullptr); }));
    const std::string same = PutFile("same.bmp", surftest::BmpFile(5, {Bytes(5, 7), Bytes(5, 8)}));
    d.ReloadByKind(same.c_str(), nullptr, CDibG::kBmpFile);
    EXPECT_EQ(d.GetPixel(4, 1), 8);
}

// The palette's entry 100 is the pictures' colour 100: (100, 155, 50) in the BMP fixture.
bool HasBmpColours(const CPalId& palette) {
    PALETTEENTRY e[256];
    return palette.IsCreated() && palette.GetEntries(e) && e[100].peRed == 100 && e[100].peGreen == 155 &&
           e[100].peBlue == 50;
}

// Bitmap resources are the program's own, registered with the window framework; kind 4 reads
// them by "#id".
TEST_P(PictureFiles, BitmapResourcesComeFromTheProgramsResources) {
    const Bytes file = surftest::BmpFile(3, {{1, 2, 3}, {4, 5, 6}});
    std::string error;
    ASSERT_TRUE(plat::RegisterBitmapResource(239, file, &error)) << error;
    CPalId palette;
    CDibG d;
    d.LoadByKind("#239", &palette, CDibG::kBitmapResource);
    EXPECT_EQ(surftest::Rows(d), (std::vector<Bytes>{{1, 2, 3}, {4, 5, 6}}));
    EXPECT_TRUE(HasBmpColours(palette)) << "the palette is made from the resource's colours";
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.LoadResourceBitmap("#240", nullptr); }));
    EXPECT_TRUE(surftest::ThrowsResource([&] { d.LoadByKind("#240", nullptr, CDibG::kBitmapResource); }));
    EXPECT_EQ(surftest::Rows(d), (std::vector<Bytes>{{1, 2, 3}, {4, 5, 6}})) << "a failed load keeps the surface";

    // An installed source is asked instead.
    const Bytes packed(file.begin() + 14, file.end());
    struct Source : IBitmapResourceSource {
        const Bytes* packed = nullptr;
        std::span<const uint8_t> PackedDib(LPCSTR name) override {
            return std::string(name) == "#240" ? std::span<const uint8_t>(*packed) : std::span<const uint8_t>{};
        }
    } source;
    source.packed = &packed;
    IBitmapResourceSource* const saved = SetBitmapResourceSource(&source);
    CDibG other;
    other.LoadResourceBitmap("#240", nullptr);
    EXPECT_EQ(surftest::Rows(other), (std::vector<Bytes>{{1, 2, 3}, {4, 5, 6}}));
    SetBitmapResourceSource(saved);
    plat::ClearPictureResources();
}

// Every load and reload makes a palette that is not made yet from the picture's colours.
TEST_P(PictureFiles, ReloadsMakeAPaletteNotYetMade) {
    const std::vector<Bytes> rows = {{1, 2, 3}, {4, 5, 6}};
    const Bytes bmp = surftest::BmpFile(3, rows);
    std::string error;
    ASSERT_TRUE(plat::RegisterBitmapResource(239, bmp, &error)) << error;
    const std::string bmpPath = PutFile("re.bmp", bmp);
    const std::string pcxPath = PutFile("re.pcx", surftest::PcxFile(3, 2, 4, surftest::PcxLiteralRows({{1, 2, 3, 0}, {4, 5, 6, 0}}), 1));
    struct Case {
        const char* what;
        std::string name;
        int kind;
    };
    const Case cases[] = {
        {"bitmap resource", "#239", CDibG::kBitmapResource},
        {"BMP file", bmpPath, CDibG::kBmpFile},
        {"PCX file", pcxPath, CDibG::kPcxFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDibG d;
        d.Create(3, 2, nullptr);
        CPalId palette;
        d.ReloadByKind(c.name.c_str(), &palette, c.kind);
        EXPECT_EQ(surftest::Rows(d), rows);
        ASSERT_TRUE(palette.IsCreated());
        PALETTEENTRY e[256];
        ASSERT_TRUE(palette.GetEntries(e));
        if (c.kind == CDibG::kPcxFile) {
            EXPECT_EQ(e[100].peRed, static_cast<uint8_t>(1 + 300));  // colour block byte 3k + seed
            EXPECT_EQ(e[100].peGreen, static_cast<uint8_t>(1 + 301));
        } else {
            EXPECT_TRUE(HasBmpColours(palette));
        }
        // A palette already made stays as it is.
        CPalId made;
        made.FromRgbTriplets(surftest::RgbTriplets().data());
        d.ReloadByKind(c.name.c_str(), &made, c.kind);
        ASSERT_TRUE(made.GetEntries(e));
        EXPECT_EQ(e[100].peBlue, (100 * 3) & 0xFF);
    }
    plat::ClearPictureResources();
}

INSTANTIATE_TEST_SUITE_P(Modes, PictureFiles, ::testing::Values(Mode::Plain, Mode::WinGTopDown, Mode::WinGBottomUp),
                         [](const auto& info) { return std::string(surftest::ModeName(info.param)); });

}  // namespace
