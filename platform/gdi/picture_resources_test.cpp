// The program's pictures: BMP images read through bounds checks (damaged ones refused whole),
// pixel art, bitmaps and icons by id, and the packed DIB that FindResource gives.
#include <cstring>
#include <functional>

#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/library.h"
#include "platform/gdi/picture_resources.h"

namespace {

// A BMP file of 3 x 2 pixels at 8 bits, bottom-up, colours red, green and blue.
std::vector<uint8_t> MakeBmp() {
    const int w = 3, h = 2, stride = 4, colours = 3;
    const uint32_t offBits = 14 + 40 + colours * 4;
    std::vector<uint8_t> f(offBits + stride * h, 0);
    auto put32 = [&](size_t o, uint32_t v) {
        for (int i = 0; i < 4; ++i) f[o + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    auto put16 = [&](size_t o, uint16_t v) {
        f[o] = static_cast<uint8_t>(v);
        f[o + 1] = static_cast<uint8_t>(v >> 8);
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<uint32_t>(f.size()));
    put32(10, offBits);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    put16(26, 1);
    put16(28, 8);
    put32(46, colours);
    const uint8_t table[] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};  // BGRx: red, green, blue
    std::memcpy(&f[54], table, sizeof(table));
    const uint8_t bottom[] = {2, 2, 2}, top[] = {0, 1, 2};
    std::memcpy(&f[offBits], bottom, 3);
    std::memcpy(&f[offBits + stride], top, 3);
    return f;
}

class PictureResources : public gdi_test::GdiTest {
protected:
    void SetUp() override {
        GdiTest::SetUp();
        plat::ClearPictureResources();
    }
    void TearDown() override {
        plat::ClearPictureResources();
        GdiTest::TearDown();
    }
};

TEST_F(PictureResources, BmpFileBecomesAPictureTopRowFirst) {
    plat::Picture p;
    std::string error;
    ASSERT_TRUE(plat::ParseBmp(MakeBmp(), p, &error)) << error;
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    EXPECT_EQ(p.pixels, (std::vector<uint8_t>{0, 1, 2, 2, 2, 2}));
    ASSERT_EQ(p.colours.size(), 3u);
    EXPECT_EQ(p.colours[0].rgbRed, 255);
}

TEST_F(PictureResources, DamagedBmpFilesAreRefusedWithAReason) {
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"NotBm", [](std::vector<uint8_t>& f) { f[0] = 'X'; }},
        {"CutHeader", [](std::vector<uint8_t>& f) { f.resize(20); }},
        {"CutPixels", [](std::vector<uint8_t>& f) { f.resize(f.size() - 1); }},
        {"PixelsPastTheEnd", [](std::vector<uint8_t>& f) { f[10] = 0xF0; }},
        {"HugeWidth", [](std::vector<uint8_t>& f) { f[21] = 0x7F; }},
        {"ZeroHeight", [](std::vector<uint8_t>& f) { f[22] = 0; }},
        {"Compressed", [](std::vector<uint8_t>& f) { f[30] = 1; }},
        {"TwentyFourBits", [](std::vector<uint8_t>& f) { f[28] = 24; }},
        {"UnknownHeader", [](std::vector<uint8_t>& f) { f[14] = 20; }},
        {"ColoursPastTheEnd", [](std::vector<uint8_t>& f) { f[47] = 0x10; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> f = MakeBmp();
        c.damage(f);
        plat::Picture p;
        p.width = 99;
        std::string error;
        EXPECT_FALSE(plat::ParseBmp(f, p, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(p.width, 99);  // untouched
        EXPECT_FALSE(plat::RegisterBitmapResource(500, f, &error));
    }
    EXPECT_EQ(plat::FindBitmapResource(500), nullptr);
}

TEST_F(PictureResources, BitmapsAndIconsByIdDrawInTheirOwnColours) {
    std::string error;
    ASSERT_TRUE(plat::RegisterBitmapResource(239, MakeBmp(), &error));
    plat::RegisterIconResource(149, plat::PixelArt({" R ", "RGR", " R "}, {{'R', RGB(255, 0, 0)}, {'G', RGB(0, 255, 0)}}));
    // The packed DIB of the resource: header, colours, bottom-up rows.
    HRSRC res = FindResource(nullptr, "#239", RT_BITMAP);
    ASSERT_NE(res, nullptr);
    const auto* dib = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, res)));
    ASSERT_NE(dib, nullptr);
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof(header));
    EXPECT_EQ(header.biWidth, 3);
    EXPECT_EQ(header.biHeight, 2);
    EXPECT_EQ(SizeofResource(nullptr, res), sizeof(header) + 3 * 4 + 2 * 4);
    EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(240), RT_BITMAP), nullptr);
    // Drawn onto the screen: the bitmap through a memory DC, the icon with its see-through pixels.
    HDC screen = GetDC(nullptr);
    plat::FillSolid(screen, RECT{0, 0, 20, 20}, RGB(255, 255, 255));
    HBITMAP bmp = LoadBitmap(nullptr, MAKEINTRESOURCE(239));
    ASSERT_NE(bmp, nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(screen, 0, 0, 3, 2, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    EXPECT_EQ(GetPixel(screen, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(screen, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(screen, 0, 1), RGB(0, 0, 255));
    HICON icon = LoadIcon(GetModuleHandle(nullptr), MAKEINTRESOURCE(149));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(nullptr, "#149"), icon);
    EXPECT_TRUE(DrawIcon(screen, 10, 10, icon));
    EXPECT_EQ(GetPixel(screen, 10, 10), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(screen, 11, 10), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(screen, 11, 11), RGB(0, 255, 0));
    ReleaseDC(nullptr, screen);
    EXPECT_NE(LoadIcon(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_EQ(LoadIcon(nullptr, MAKEINTRESOURCE(150)), nullptr);
}

}  // namespace
