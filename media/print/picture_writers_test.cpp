// The picture writers: the PCX row encoder, the PCX and BMP files byte by byte, the files read
// back by the surfaces' loaders, and the failures a caller must see.
#include "media/print/picture_writers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "media/print/picture_file_host.h"
#include "media/res/res_item_host.h"
#include "media/surface/surface_test_support.h"
#include "platform/core/byte_order.h"
#include "platform/fs/write_fault.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Repeat(size_t n, uint8_t b) {
    return Bytes(n, b);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct EncodeCase {
    const char* name;
    Bytes row;
    Bytes encoded;
};

TEST(PcxRowEncoding, RunsLiteralsAndMarkedBytes) {
    const EncodeCase cases[] = {
        // 63 bytes, then the remaining 37 reach the row's end.
        {"hundred equal bytes", Repeat(100, 0x05), {0xFF, 0x05, 0xE5, 0x05}},
        // A run followed by another byte leaves its last byte to the next token.
        {"run then a single byte", {0x05, 0x05, 0x05, 0x22}, {0xC2, 0x05, 0x05, 0x22}},
        {"trailing single byte", {0x10, 0x11, 0x22}, {0x10, 0x11, 0x22}},
        {"lone marked byte", {0x01, 0xC3, 0x02}, {0x01, 0xC1, 0xC3, 0x02}},
        {"two equal bytes then another", {0x07, 0x07, 0x08}, {0xC1, 0x07, 0x07, 0x08}},
        {"marked byte at the end", {0x01, 0xC0}, {0x01, 0xC1, 0xC0}},
        {"run of marked bytes to the end", {0xC5, 0xC5}, {0xC2, 0xC5}},
        {"64 bytes to the end", Repeat(64, 0x30), {0xFF, 0x30, 0x30}},
        {"64 bytes then another", Concat({Repeat(64, 0x30), {0x31}}), {0xFF, 0x30, 0x30, 0x31}},
        {"one byte", {0xFF}, {0xC1, 0xFF}},
        {"nothing", {}, {}},
    };
    for (const EncodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out;
        media::EncodePcxRow(c.row, out);
        EXPECT_EQ(out, c.encoded);
        // The stream version writes the same bytes and answers the width.
        FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(EncodePcxLine(c.row.data(), static_cast<int>(c.row.size()), f), static_cast<int>(c.row.size()));
        std::rewind(f);
        Bytes streamed(c.encoded.size() + 1);
        streamed.resize(std::fread(streamed.data(), 1, streamed.size(), f));
        std::fclose(f);
        EXPECT_EQ(streamed, c.encoded);
    }
}

TEST(PcxRowEncoding, RefusedStreamGivesMinusOne) {
    // A stream open for reading only refuses every write.
    FILE* readOnly = std::fopen("/dev/null", "rb");
    ASSERT_NE(readOnly, nullptr);
    const Bytes row = {1, 2, 3};
    EXPECT_EQ(EncodePcxLine(row.data(), 3, readOnly), -1);
    std::fclose(readOnly);
}

// A picture of width × height with the given stride: pixel (x, y) = (x * 7 + y * 31) & 0xFF,
// so every value from runs to marked bytes turns up; the stride's tail holds 0xEE.
struct TestPicture {
    int width, height, stride;
    Bytes bits;
    TestPicture(int w, int h, int s) : width(w), height(h), stride(s), bits(static_cast<size_t>(s * h), 0xEE) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) bits[static_cast<size_t>(y * s + x)] = Pixel(x, y);
        // A run in the middle of the first row and a whole row of one colour.
        for (int x = 2; x < std::min(w, 9); ++x) bits[static_cast<size_t>(x)] = 0xC7;
        if (h > 2)
            for (int x = 0; x < w; ++x) bits[static_cast<size_t>(2 * s + x)] = 0x40;
    }
    static uint8_t Pixel(int x, int y) { return static_cast<uint8_t>((x * 7 + y * 31) & 0xFF); }
    media::PictureRows Rows() const { return {bits.data(), width, height, stride}; }
    uint8_t At(int x, int y) const { return bits[static_cast<size_t>(y * stride + x)]; }
};

std::array<uint8_t, 768> Colours() {
    std::array<uint8_t, 768> rgb{};
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 5 + 3);
    return rgb;
}

std::array<PALETTEENTRY, 256> Entries() {
    const auto rgb = Colours();
    std::array<PALETTEENTRY, 256> e{};
    for (size_t k = 0; k < 256; ++k) e[k] = PALETTEENTRY{rgb[3 * k], rgb[3 * k + 1], rgb[3 * k + 2], 0};
    return e;
}

class PictureWriters : public surftest::SurfaceTest {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        surftest::StartDibSystem(surftest::Mode::Plain);
    }
    Bytes ReadFile(const std::string& name) {
        std::ifstream in(m_tmp / "c" / name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(PictureWriters, PcxHeaderAndTail) {
    const TestPicture pic(13, 3, 16);
    const auto rgb = Colours();
    ASSERT_EQ(media::WritePcxPicture(pic.Rows(), rgb, "C:\\pic.pcx"), 0);
    const Bytes f = ReadFile("pic.pcx");
    ASSERT_GT(f.size(), 128u + 769u);
    const Bytes fixed = {10, 5, 1, 8, 0, 0, 0, 0, 12, 0, 2, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 16), fixed);
    EXPECT_EQ(Bytes(f.begin() + 16, f.begin() + 64), Bytes(rgb.begin(), rgb.begin() + 48));
    EXPECT_EQ(f[64], 0);
    EXPECT_EQ(f[65], 1);
    EXPECT_EQ(plat::GetLe16(f, 66), 13);
    EXPECT_EQ(plat::GetLe16(f, 68), 1);
    EXPECT_EQ(Bytes(f.begin() + 70, f.begin() + 128), Bytes(58, 0));
    // The rows as the encoder makes them, then the marker and the 256 colours.
    Bytes rows;
    for (int y = 0; y < pic.height; ++y)
        media::EncodePcxRow(std::span<const uint8_t>(pic.bits).subspan(static_cast<size_t>(y * pic.stride), 13), rows);
    ASSERT_EQ(f.size(), 128 + rows.size() + 1 + 768);
    EXPECT_EQ(Bytes(f.begin() + 128, f.begin() + 128 + static_cast<ptrdiff_t>(rows.size())), rows);
    EXPECT_EQ(f[128 + rows.size()], 0x0C);
    EXPECT_EQ(Bytes(f.end() - 768, f.end()), Bytes(rgb.begin(), rgb.end()));
}

TEST_F(PictureWriters, PcxReadBackGivesThePixelsAndColours) {
    for (const auto& [w, h, s] : {std::array{13, 7, 16}, std::array{64, 3, 64}, std::array{100, 2, 100}}) {
        SCOPED_TRACE(w);
        const TestPicture pic(w, h, s);
        const auto rgb = Colours();
        ASSERT_EQ(media::WritePcxPicture(pic.Rows(), rgb, "C:\\back.pcx"), 0);
        CPalId palette;
        CDibG d;
        d.LoadPcxFile("C:\\back.pcx", &palette);
        ASSERT_EQ(d.Width(), w);
        ASSERT_EQ(d.Height(), h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(d.GetPixel(x, y), pic.At(x, y)) << x << "," << y;
        PALETTEENTRY e[256];
        ASSERT_TRUE(palette.GetEntries(e));
        // Entries the identity step leaves to the picture.
        for (int k = 10; k < 246; ++k) {
            EXPECT_EQ(e[k].peRed, rgb[3 * static_cast<size_t>(k)]) << k;
            EXPECT_EQ(e[k].peGreen, rgb[3 * static_cast<size_t>(k) + 1]) << k;
            EXPECT_EQ(e[k].peBlue, rgb[3 * static_cast<size_t>(k) + 2]) << k;
        }
    }
}

TEST_F(PictureWriters, BmpOfThirteenWidePictureWithStrideSixteen) {
    const int height = 5;
    const TestPicture pic(13, height, 16);
    const auto colours = Entries();
    ASSERT_EQ(media::WriteBmpPicture(pic.Rows(), colours, "C:\\pic.bmp"), 0);
    const Bytes f = ReadFile("pic.bmp");
    ASSERT_EQ(f.size(), 16u * height + 1078u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(plat::GetLe32(f, 2), 16u * height + 1078u);
    EXPECT_EQ(plat::GetLe32(f, 6), 0u);
    EXPECT_EQ(plat::GetLe32(f, 10), 1078u);
    EXPECT_EQ(plat::GetLe32(f, 14), 40u);
    EXPECT_EQ(plat::GetLe32(f, 18), 13u);
    EXPECT_EQ(plat::GetLeI32(f, 22), height);
    EXPECT_EQ(plat::GetLe16(f, 26), 1);
    EXPECT_EQ(plat::GetLe16(f, 28), 8);
    for (size_t at : {30u, 34u, 38u, 42u, 50u}) EXPECT_EQ(plat::GetLe32(f, at), 0u) << at;
    EXPECT_EQ(plat::GetLe32(f, 46), 256u);
    // RGBQUADs: blue, green, red, 0.
    for (size_t k = 0; k < 256; ++k) {
        EXPECT_EQ(f[54 + 4 * k], colours[k].peBlue) << k;
        EXPECT_EQ(f[55 + 4 * k], colours[k].peGreen) << k;
        EXPECT_EQ(f[56 + 4 * k], colours[k].peRed) << k;
        EXPECT_EQ(f[57 + 4 * k], 0) << k;
    }
    // The last picture row first, each with the whole stride.
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = height - 1 - fileRow;
        const auto at = f.begin() + 1078 + fileRow * 16;
        EXPECT_EQ(Bytes(at, at + 16), Bytes(pic.bits.begin() + y * 16, pic.bits.begin() + y * 16 + 16)) << fileRow;
    }
    CPalId palette;
    CDibG d;
    d.LoadBmpFile("C:\\pic.bmp", &palette);
    ASSERT_EQ(d.Width(), 13);
    ASSERT_EQ(d.Height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 13; ++x) ASSERT_EQ(d.GetPixel(x, y), pic.At(x, y)) << x << "," << y;
    PALETTEENTRY e[256];
    ASSERT_TRUE(palette.GetEntries(e));
    for (int k = 10; k < 246; ++k) {
        EXPECT_EQ(e[k].peRed, colours[static_cast<size_t>(k)].peRed) << k;
        EXPECT_EQ(e[k].peBlue, colours[static_cast<size_t>(k)].peBlue) << k;
    }
}

TEST_F(PictureWriters, FailuresAreReportedNeverAsWritten) {
    const TestPicture pic(13, 4, 16);
    const auto rgb = Colours();
    const auto colours = Entries();
    // The host's full device takes every buffered byte; only the close fails.
    EXPECT_EQ(media::WritePcxPicture(pic.Rows(), rgb, "Z:\\dev\\full"), kPictureWriteError);
    EXPECT_EQ(media::WriteBmpPicture(pic.Rows(), colours, "Z:\\dev\\full"), kPictureWriteError);
    // A folder that does not exist.
    EXPECT_EQ(media::WritePcxPicture(pic.Rows(), rgb, "C:\\saknas\\a.pcx"), kPcxCannotOpen);
    EXPECT_EQ(media::WriteBmpPicture(pic.Rows(), colours, "C:\\saknas\\a.bmp"), kBmpCannotOpen);
    // A file that cannot be created.
    plat::CWriteFaultPlan refuse(0, plat::WriteFault::Fail);
    plat::SetWriteFaultHook(&refuse);
    EXPECT_EQ(media::WritePcxPicture(pic.Rows(), rgb, "C:\\full.pcx"), kPcxCannotOpen);
    plat::SetWriteFaultHook(nullptr);
    EXPECT_TRUE(refuse.Hit());
    // No pixels: nothing is written.
    EXPECT_EQ(media::WriteBmpPicture({nullptr, 13, 4, 16}, colours, "C:\\none.bmp"), kBmpCannotOpen);
    EXPECT_EQ(media::WritePcxPicture({pic.bits.data(), 13, 4, 8}, rgb, "C:\\none.pcx"), kPcxCannotOpen);
    EXPECT_FALSE(std::filesystem::exists(m_tmp / "c" / "none.bmp"));
    EXPECT_FALSE(std::filesystem::exists(m_tmp / "c" / "none.pcx"));
}

// Picture items and the game palette as the engine gives them, counting the locks.
class CItemsAndPalette : public IResItemHost, public IPictureFileHost {
public:
    CItemsAndPalette() : m_items(SetResItemHost(this)), m_palette(SetPictureFileHost(this)) {}
    ~CItemsAndPalette() override {
        SetResItemHost(m_items);
        SetPictureFileHost(m_palette);
    }
    void GetPictureSize(int16_t id, int16_t& w, int16_t& h) override {
        w = h = 0;
        if (auto it = pictures.find(id); it != pictures.end()) {
            w = static_cast<int16_t>(it->second->width);
            h = static_cast<int16_t>(it->second->height);
        }
    }
    uint16_t GetPictureAttr(int16_t id) override {
        auto it = pictures.find(id);
        return it == pictures.end() ? 0xFFFF : static_cast<uint16_t>(it->second->stride);
    }
    BYTE* LockPictureData(int16_t id) override {
        auto it = pictures.find(id);
        if (it == pictures.end()) return nullptr;
        ++locks;
        return it->second->bits.data();
    }
    void UnlockPictureData(BYTE*) override { --locks; }
    void PaletteToRgbTriplets(uint8_t* rgb) override {
        const auto c = Colours();
        std::copy(c.begin(), c.end(), rgb);
    }
    void GetGamePaletteEntries(int start, int number, PALETTEENTRY* table) override {
        const auto e = Entries();
        for (int i = start; i < start + number; ++i) table[i] = e[static_cast<size_t>(i)];
    }

    std::map<int16_t, TestPicture*> pictures;
    int locks = 0;

private:
    IResItemHost* m_items;
    IPictureFileHost* m_palette;
};

TEST_F(PictureWriters, PictureItemsWithTheGamePalette) {
    TestPicture pic(13, 4, 16);
    CItemsAndPalette host;
    host.pictures[40] = &pic;
    ASSERT_EQ(WritePcxFile(40, "C:\\item.pcx"), 0);
    ASSERT_EQ(WriteBmpFile(40, "C:\\item.bmp"), 0);
    EXPECT_EQ(host.locks, 0);
    const Bytes pcx = ReadFile("item.pcx");
    const auto rgb = Colours();
    ASSERT_GT(pcx.size(), 768u);
    EXPECT_EQ(Bytes(pcx.end() - 768, pcx.end()), Bytes(rgb.begin(), rgb.end()));
    CDibG d;
    d.LoadPcxFile("C:\\item.pcx", nullptr);
    EXPECT_EQ(d.GetPixel(12, 3), pic.At(12, 3));
    const Bytes bmp = ReadFile("item.bmp");
    ASSERT_EQ(bmp.size(), 16u * 4 + 1078);
    EXPECT_EQ(bmp[54 + 4 * 200], Entries()[200].peBlue);
    // A picture that does not exist writes nothing and says so.
    EXPECT_EQ(WritePcxFile(41, "C:\\missing.pcx"), kPcxCannotOpen);
    EXPECT_EQ(WriteBmpFile(41, "C:\\missing.bmp"), kBmpCannotOpen);
    EXPECT_FALSE(std::filesystem::exists(m_tmp / "c" / "missing.pcx"));
    EXPECT_EQ(host.locks, 0);
    // A close that fails reaches the caller through the item writers too.
    EXPECT_EQ(WritePcxFile(40, "Z:\\dev\\full"), kPictureWriteError);
    EXPECT_EQ(WriteBmpFile(40, "Z:\\dev\\full"), kPictureWriteError);
    EXPECT_EQ(host.locks, 0);
}

}  // namespace
