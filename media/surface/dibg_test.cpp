// CDibG: sizes and row order in each drawing mode, colours, copies, scaling, clipping and output.
#include "media/surface/dibg.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "media/res/sprite.h"
#include "media/surface/blit_rows.h"
#include "media/surface/surface_test_support.h"
#include "platform/gdi/printer_surface.h"
#include "platform/profile/profile.h"
#include "platform/gdi/wing.h"

namespace {

using surftest::Bytes;
using surftest::Mode;

// ---- Sizes and rows -------------------------------------------------------------------------

TEST(DibStride, RoundsToFourBytes) {
    const struct {
        int width, stride;
    } cases[] = {{1, 4}, {3, 4}, {4, 4}, {5, 8}, {13, 16}, {640, 640}, {641, 644}};
    for (const auto& c : cases) EXPECT_EQ(DibStride(c.width), c.stride) << c.width;
}

class DibModes : public surftest::SurfaceTest, public ::testing::WithParamInterface<Mode> {
protected:
    void SetUp() override {
        SurfaceTest::SetUp();
        surftest::StartDibSystem(GetParam());
    }
    bool TopDown() const { return GetParam() == Mode::WinGTopDown; }
};

TEST_P(DibModes, ModeAndStoredHeight) {
    const DibSystem& s = TheDibSystem();
    EXPECT_EQ(s.winGInUse, GetParam() != Mode::Plain);
    EXPECT_EQ(s.orientation, TopDown() ? kTopDown : kBottomUp);
    EXPECT_EQ(s.colourUsage, 1);  // the palette display

    CDibG d;
    d.Create(641, 480, nullptr);
    EXPECT_EQ(d.Stride(), 644);
    EXPECT_EQ(d.Height(), 480);
    EXPECT_EQ(d.GetBitmapInfo()->bmiHeader.biHeight, TopDown() ? -480 : 480);
    EXPECT_EQ(d.ImageSize(), 644u * 480u);
    EXPECT_TRUE(d.IsValid());
}

TEST_P(DibModes, RowTableFollowsTheRowOrder) {
    CDibG d;
    d.Create(5, 3, nullptr);
    ASSERT_EQ(d.Stride(), 8);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(d.RowOffset(y), 8 * (TopDown() ? y : 2 - y)) << y;
    d.SetPixel(4, 0, 77);
    EXPECT_EQ(d.Bits()[TopDown() ? 4 : 2 * 8 + 4], 77);
    EXPECT_EQ(d.GetPixel(4, 0), 77);
    EXPECT_EQ(d.PixelPtr(4, 0), d.Bits() + d.PixelOffset(4, 0));
}

TEST_P(DibModes, PositionsOffTheSurfaceAreHarmless) {
    CDibG d;
    d.Create(4, 4, nullptr);
    d.Fill(9);
    d.SetPixel(-1, 0, 1);
    d.SetPixel(4, 0, 1);
    d.SetPixel(0, 4, 1);
    EXPECT_EQ(d.GetPixel(-1, -1), 0);
    EXPECT_EQ(d.GetPixel(4, 3), 0);
    EXPECT_EQ(d.RowPtr(4), nullptr);
    EXPECT_EQ(d.PixelPtr(-1, 0), nullptr);
    for (const Bytes& row : surftest::Rows(d)) EXPECT_EQ(row, Bytes(4, 9));
}

TEST_P(DibModes, FlipVerticalSwapsRowsAndKeepsTheMiddle) {
    CDibG d;
    d.Create(3, 5, nullptr);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) d.SetPixel(x, y, static_cast<BYTE>(10 * y + x));
    d.FlipVertical();
    for (int y = 0; y < 5; ++y) EXPECT_EQ(d.GetPixel(1, y), 10 * (4 - y) + 1) << y;
}

TEST_P(DibModes, CopyBitsTakesRowsInEitherOrder) {
    CDibG d;
    d.Create(4, 3, nullptr);
    // Packed rows 0, 1, 2 in memory, each filled with its memory index + 1.
    Bytes packed(12);
    for (int i = 0; i < 12; ++i) packed[static_cast<size_t>(i)] = static_cast<uint8_t>(i / 4 + 1);
    d.CopyBits(packed.data(), kTopDown);
    EXPECT_EQ(d.GetPixel(0, 0), 1);  // memory row 0 of a top-down source is picture row 0
    EXPECT_EQ(d.GetPixel(0, 2), 3);
    d.CopyBits(packed.data(), kBottomUp);
    EXPECT_EQ(d.GetPixel(0, 0), 3);  // of a bottom-up source, the last picture row
    EXPECT_EQ(d.GetPixel(0, 2), 1);
}

TEST_P(DibModes, AssignCopiesOnlyBetweenEqualSizes) {
    CDibG a, b, c;
    a.Create(8, 4, nullptr);
    b.Create(8, 4, nullptr);
    c.Create(6, 4, nullptr);
    a.Fill(3);
    b.Fill(5);
    c.Fill(7);
    b.Assign(a);
    EXPECT_EQ(b.GetPixel(7, 3), 3);
    c.Assign(a);
    for (const Bytes& row : surftest::Rows(c)) EXPECT_EQ(row, Bytes(6, 7));

    CDibG fresh;  // CopyFrom creates an empty surface like the source
    fresh.CopyFrom(a, TRUE);
    EXPECT_EQ(fresh.Width(), 8);
    EXPECT_EQ(fresh.GetPixel(2, 2), 3);
}

TEST_P(DibModes, AbsurdSizesRaiseTheMemoryException) {
    CDibG d;
    EXPECT_TRUE(surftest::ThrowsMemory([&] { d.Create(0, 10, nullptr); }));
    EXPECT_TRUE(surftest::ThrowsMemory([&] { d.Create(40000, 40000, nullptr); }));
    EXPECT_FALSE(d.IsCreated());
}

TEST_P(DibModes, FreeingLeavesNoGdiObjects) {
    const int before = plat::LiveGdiObjects();
    {
        CDibG a, b;
        a.Create(16, 16, nullptr);
        b.Create(32, 8, nullptr);
        HDC screen = GetDC(nullptr);
        a.DrawAt(screen, 0, 0);  // selects a into the WinG DC
        b.DrawAt(screen, 0, 0);  // and then b
        ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(plat::LiveGdiObjects(), before);
    EXPECT_EQ(TheDibSystem().selectedSurface, nullptr);
}

// ---- Colours ----------------------------------------------------------------------------------

TEST_P(DibModes, FindColourNeverAnswersZeroAndTiesGoLow) {
    RGBQUAD* t = TheDibSystem().rgbHeader.colours;
    for (int i = 0; i < 256; ++i) t[i] = RGBQUAD{200, 200, 200, 0};
    t[0] = RGBQUAD{30, 20, 10, 0};
    t[7] = RGBQUAD{31, 21, 10, 0};  // distance 2
    t[9] = RGBQUAD{30, 22, 10, 0};  // distance 2 as well
    t[5] = RGBQUAD{40, 40, 40, 0};
    t[200] = t[201] = RGBQUAD{1, 2, 3, 0};
    CDibG d;
    EXPECT_EQ(d.FindColour(RGBQUAD{30, 20, 10, 0}), 7);  // only entry 0 is exact
    EXPECT_EQ(d.NearestColour(RGBQUAD{30, 20, 10, 0}), 7);
    EXPECT_EQ(d.FindColour(RGBQUAD{1, 2, 3, 0}), 200);
    EXPECT_EQ(d.FindColour(RGBQUAD{40, 40, 40, 0}), 5);
    // Nothing nearer than 29999 (the largest distance is 765): the first entry wins.
    for (int i = 1; i < 256; ++i) t[i] = RGBQUAD{255, 255, 255, 0};
    EXPECT_EQ(d.FindColour(RGBQUAD{0, 0, 0, 0}), 1);
}

TEST_P(DibModes, FillRgbUsesTheNearestEntry) {
    RGBQUAD* t = TheDibSystem().rgbHeader.colours;
    for (int i = 0; i < 256; ++i) t[i] = RGBQUAD{0, 0, 0, 0};
    t[42] = RGBQUAD{0, 0, 250, 0};
    CDibG d;
    d.Create(5, 2, nullptr);
    d.FillRgb(RGBQUAD{0, 0, 255, 0});
    EXPECT_EQ(d.GetPixel(4, 1), 42);
}

// ---- Rectangle copies -----------------------------------------------------------------------

// A surface whose pixel (x, y) is seeded pseudo-randomly, a quarter of them 0.
void Noise(CDibG& d, unsigned seed) {
    std::mt19937 rng(seed);
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x) {
            const unsigned v = rng() % 256;
            d.SetPixel(x, y, static_cast<BYTE>(v < 64 ? 0 : v));
        }
}

TEST_P(DibModes, TransparentCopySkipsZeroOnBothPaths) {
    CDibG src, dst;
    src.Create(8, 1, nullptr);
    dst.Create(8, 1, nullptr);
    const BYTE row[8] = {0, 5, 0, 7, 0, 5, 0, 7};
    for (int x = 0; x < 8; ++x) src.SetPixel(x, 0, row[x]);
    for (const int x : {0, 1}) {  // x 0 with width 4 takes the word path, x 1 the byte path
        dst.Fill(9);
        dst.BlitRectTransparent(src, POINT{x, 0}, POINT{x, 0}, SIZE{4, 1});
        EXPECT_EQ(dst.GetPixel(x, 0), row[x] ? row[x] : 9) << x;
        EXPECT_EQ(dst.GetPixel(x + 1, 0), row[x + 1] ? row[x + 1] : 9) << x;
        EXPECT_EQ(dst.GetPixel(x + 2, 0), row[x + 2] ? row[x + 2] : 9) << x;
        EXPECT_EQ(dst.GetPixel(x + 3, 0), row[x + 3] ? row[x + 3] : 9) << x;
    }
}

TEST_P(DibModes, WordAndBytePathsGiveTheSamePixels) {
    // The same copies through the aligned (word) and unaligned (byte) paths: an aligned copy
    // and its reference made pixel by pixel, and an unaligned one likewise.
    CDibG src, a, b;
    src.Create(67, 23, nullptr);
    a.Create(71, 29, nullptr);
    b.Create(71, 29, nullptr);
    Noise(src, 1);
    for (const bool transparent : {false, true}) {
        for (const POINT at : {POINT{8, 3}, POINT{3, 5}}) {
            Noise(a, 2);
            Noise(b, 2);
            const POINT from{at.x == 8 ? 12 : 5, 2};
            const SIZE size{at.x == 8 ? 40 : 37, 17};
            if (transparent)
                a.BlitRectTransparent(src, from, at, size);
            else
                a.BlitRect(src, from, at, size);
            for (int y = 0; y < size.cy; ++y)
                for (int x = 0; x < size.cx; ++x) {
                    const BYTE v = src.GetPixel(from.x + x, from.y + y);
                    if (!transparent || v) b.SetPixel(at.x + x, at.y + y, v);
                }
            EXPECT_EQ(surftest::Rows(a), surftest::Rows(b)) << transparent << " at " << at.x;
        }
    }
}

TEST(BlitRows, WordTransparentCopyMatchesBytesOnUnalignedData) {
    std::mt19937 rng(7);
    Bytes src(203), d1(203), d2(203);
    for (auto& v : src) v = rng() % 3 == 0 ? 0 : static_cast<uint8_t>(rng());
    for (size_t i = 0; i < d1.size(); ++i) d1[i] = d2[i] = static_cast<uint8_t>(rng());
    for (size_t off = 0; off < 9; ++off)
        for (size_t n : {0u, 1u, 7u, 8u, 9u, 63u, 190u}) {
            Bytes a = d1, b = d2;
            media::CopyRowTransparentWords(a.data() + off, src.data() + (off * 5) % 11, n);
            media::CopyRowTransparentBytes(b.data() + off, src.data() + (off * 5) % 11, n);
            ASSERT_EQ(a, b) << off << " " << n;
        }
}

TEST_P(DibModes, CopiesClipToBothSurfaces) {
    CDibG src, dst;
    src.Create(10, 10, nullptr);
    dst.Create(6, 6, nullptr);
    Noise(src, 3);
    dst.Fill(1);
    // Starts left of and above the destination and runs past both surfaces.
    dst.BlitRect(src, POINT{2, 2}, POINT{-3, -1}, SIZE{20, 20});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)  // source column 10 does not exist
            EXPECT_EQ(dst.GetPixel(x, y), x < 5 ? src.GetPixel(x + 5, y + 3) : 1) << x << "," << y;
    dst.Fill(1);
    dst.BlitRectTransparent(src, POINT{-4, 8}, POINT{0, 0}, SIZE{6, 6});  // source rows 8, 9 only
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(dst.GetPixel(x, 2), 1);
        const BYTE v = x < 4 ? 1 : src.GetPixel(x - 4, 8);
        EXPECT_EQ(dst.GetPixel(x, 0), v ? v : 1) << x;
    }
}

TEST_P(DibModes, StretchCopyFromANegativeLeft) {
    CDibG src, dst;
    src.Create(10, 1, nullptr);
    dst.Create(20, 2, nullptr);
    for (int x = 0; x < 10; ++x) src.SetPixel(x, 0, static_cast<BYTE>(x + 1));
    dst.Fill(99);
    // 10 source pixels over 40 destination pixels: a step of 1/4 pixel; the first 10 fall
    // left of the surface, so sampling starts 10 steps (2.5 pixels) in.
    dst.StretchCopy(src, RECT{-10, 0, 30, 1}, RECT{0, 0, 10, 1});
    for (int x = 0; x < 20; ++x) EXPECT_EQ(dst.GetPixel(x, 0), (x + 10) / 4 + 1) << x;
    EXPECT_EQ(dst.GetPixel(0, 1), 99);
}

TEST_P(DibModes, StretchCopyScalesAndSkipsSourceOutside) {
    CDibG src, dst;
    src.Create(4, 4, nullptr);
    dst.Create(8, 8, nullptr);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) src.SetPixel(x, y, static_cast<BYTE>(1 + x + 4 * y));
    dst.Fill(0);
    dst.StretchCopy(src, RECT{8, 8, 0, 0}, RECT{0, 0, 4, 4});  // reversed rectangles are normalised
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.GetPixel(x, y), 1 + x / 2 + 4 * (y / 2));
    dst.Fill(0);
    dst.StretchCopy(src, RECT{0, 0, 8, 8}, RECT{2, 2, 6, 6});  // half of it lies outside the source
    EXPECT_EQ(dst.GetPixel(0, 0), src.GetPixel(2, 2));
    EXPECT_EQ(dst.GetPixel(7, 7), 0);
}

// ---- Sprites ----------------------------------------------------------------------------------

std::unique_ptr<CSprite> SpriteOf(int width, const std::vector<Bytes>& rows, int hx, int hy) {
    const int stride = (width + 3) & ~3;
    Bytes item(12, 0);
    plat::SetLe32(item, 0, static_cast<uint32_t>(width));
    plat::SetLe32(item, 4, static_cast<uint32_t>(rows.size()));
    plat::SetLe32(item, 8, static_cast<uint32_t>(stride * static_cast<int>(rows.size())));
    for (Bytes row : rows) {
        row.resize(static_cast<size_t>(stride), 0);
        item.insert(item.end(), row.begin(), row.end());
    }
    auto s = std::make_unique<CSprite>(-1);
    EXPECT_TRUE(s->LoadFromBytes(item));
    s->SetHotspot(hx, hy);
    return s;
}

TEST_P(DibModes, SpritesGoThroughHotspotClipAndMap) {
    CDibG d;
    d.Create(6, 4, nullptr);
    auto s = SpriteOf(3, {{1, 0, 2}, {3, 4, 0}}, 1, 1);
    d.Fill(9);
    d.CopySprite(*s, POINT{2, 2}, TRUE);  // top-left at (1, 1)
    EXPECT_EQ(surftest::Rows(d), (std::vector<Bytes>{{9, 9, 9, 9, 9, 9}, {9, 1, 9, 2, 9, 9}, {9, 3, 4, 9, 9, 9},
                                                     {9, 9, 9, 9, 9, 9}}));
    d.Fill(9);
    s->SetTransparent(FALSE);
    d.DrawSprite(*s, POINT{0, 0}, RECT{1, 0, 6, 4}, FALSE);  // the clip cuts the first column
    EXPECT_EQ(surftest::Rows(d)[0], (Bytes{9, 0, 2, 9, 9, 9}));
    EXPECT_EQ(surftest::Rows(d)[1], (Bytes{9, 4, 0, 9, 9, 9}));
    d.Fill(9);
    s->SetTransparent(TRUE);
    BYTE map[256];
    for (int i = 0; i < 256; ++i) map[i] = static_cast<BYTE>(100 + i);
    d.DrawSpriteMapped(*s, POINT{3, 2}, RECT{0, 0, 6, 4}, map, FALSE);
    EXPECT_EQ(surftest::Rows(d)[2], (Bytes{9, 9, 9, 101, 9, 102}));
    EXPECT_EQ(surftest::Rows(d)[3], (Bytes{9, 9, 9, 103, 104, 9}));
}

TEST_P(DibModes, SpritesOffTheSurfaceAreClipped) {
    CDibG d;
    d.Create(5, 5, nullptr);
    auto s = SpriteOf(4, {Bytes(4, 1), Bytes(4, 2), Bytes(4, 3), Bytes(4, 4)}, 0, 0);
    d.Fill(9);
    BYTE same[256];
    for (int i = 0; i < 256; ++i) same[i] = static_cast<BYTE>(i);
    // Positions partly and wholly outside, and clip rectangles reaching past the surface.
    for (const POINT p : {POINT{-2, -3}, POINT{3, 4}, POINT{-100000, 7}, POINT{2147483000, -2147483000}}) {
        d.CopySprite(*s, p, TRUE);
        d.DrawSprite(*s, p, RECT{-50, -50, 50, 50}, TRUE);
        d.DrawSpriteMapped(*s, p, RECT{-50, -50, 50, 50}, same, TRUE);
    }
    EXPECT_EQ(d.GetPixel(0, 0), 4);  // row 3 of the sprite at (-2, -3)
    EXPECT_EQ(d.GetPixel(4, 4), 1);  // row 0 at (3, 4)
    EXPECT_EQ(d.GetPixel(2, 2), 9);
}

TEST_P(DibModes, ASpriteWithoutPixelsBeeps) {
    CDibG d;
    d.Create(4, 4, nullptr);
    d.Fill(9);
    CSprite empty(-1);
    const size_t beeps = plat::Headless().Beeps().size();
    d.DrawSprite(empty, POINT{0, 0}, RECT{0, 0, 4, 4}, TRUE);
    EXPECT_EQ(plat::Headless().Beeps().size(), beeps + 1);
    EXPECT_EQ(d.GetPixel(0, 0), 9);
}

// ---- Output -----------------------------------------------------------------------------------

class DibOutput : public DibModes {
protected:
    void SetUp() override {
        DibModes::SetUp();
        m_palette.FromRgbTriplets(surftest::RgbTriplets().data());
        m_screen = GetDC(nullptr);
        SelectPalette(m_screen, m_palette, FALSE);
        RealizePalette(m_screen);
    }
    void TearDown() override {
        ReleaseDC(nullptr, m_screen);
        DibModes::TearDown();
    }
    CPalId m_palette;
    HDC m_screen = nullptr;
};

TEST_P(DibOutput, DrawToDCShowsThePictureAsIs) {
    CDibG d;
    d.CreateRealized(40, 30, &m_palette);
    Noise(d, 4);
    ASSERT_TRUE(d.DrawAt(m_screen, 100, 50));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(plat::TheDisplay().Pixel(100 + x, 50 + y), d.GetPixel(x, y)) << x << "," << y;
    // A part of it, and the same part doubled.
    ASSERT_TRUE(d.DrawRect(m_screen, RECT{0, 0, 10, 5}, RECT{7, 11, 17, 16}, SRCCOPY));
    EXPECT_EQ(plat::TheDisplay().Pixel(0, 0), d.GetPixel(7, 11));
    EXPECT_EQ(plat::TheDisplay().Pixel(9, 4), d.GetPixel(16, 15));
    ASSERT_TRUE(d.DrawRect(m_screen, RECT{300, 300, 320, 310}, RECT{7, 11, 17, 16}, SRCCOPY));
    EXPECT_EQ(plat::TheDisplay().Pixel(319, 309), d.GetPixel(16, 15));
    EXPECT_EQ(plat::TheDisplay().Pixel(302, 302), d.GetPixel(8, 12));
}

// The raster operation of Draw reaches the device: each operation over a known screen gives
// its function of source and screen pixel (palette indices on the identity palette).
TEST_P(DibOutput, DrawHonoursTheRasterOperation) {
    CDibG d, back;
    d.CreateRealized(16, 8, &m_palette);
    back.CreateRealized(16, 8, &m_palette);
    Noise(d, 9);
    Noise(back, 3);
    struct Case {
        const char* name;
        DWORD rop;
        uint8_t (*result)(uint8_t src, uint8_t dst);
    };
    const Case cases[] = {
        {"SRCCOPY", SRCCOPY, [](uint8_t s, uint8_t) { return s; }},
        {"SRCINVERT", SRCINVERT, [](uint8_t s, uint8_t t) { return uint8_t(s ^ t); }},
        {"SRCAND", SRCAND, [](uint8_t s, uint8_t t) { return uint8_t(s & t); }},
        {"SRCPAINT", SRCPAINT, [](uint8_t s, uint8_t t) { return uint8_t(s | t); }},
        {"NOTSRCCOPY", NOTSRCCOPY, [](uint8_t s, uint8_t) { return uint8_t(~s); }},
    };
    int x0 = 10;
    for (const Case& c : cases) {
        ASSERT_TRUE(back.DrawAt(m_screen, x0, 200)) << c.name;
        ASSERT_TRUE(d.Draw(m_screen, x0, 200, 16, 8, 0, 0, 16, 8, c.rop)) << c.name;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(plat::TheDisplay().Pixel(x0 + x, 200 + y), c.result(d.GetPixel(x, y), back.GetPixel(x, y)))
                    << c.name << " " << x << "," << y;
        x0 += 20;
    }
}

TEST_P(DibOutput, PrintPathsKeepTheRightWayUp) {
    CDibG d;
    d.CreateRealized(12, 9, &m_palette);
    Noise(d, 5);
    HDC mem = CreateCompatibleDC(m_screen);
    HBITMAP bmp = CreateCompatibleBitmap(m_screen, 12, 9);
    HGDIOBJ oldBmp = SelectObject(mem, bmp);
    HPALETTE oldPal = SelectPalette(mem, m_palette, FALSE);
    RealizePalette(mem);
    auto check = [&](const char* what, int sy, int sh) {
        std::vector<uint8_t> bits(static_cast<size_t>(GetBitmapBits(bmp, 0, nullptr)));
        GetBitmapBits(bmp, static_cast<LONG>(bits.size()), bits.data());
        const size_t pitch = bits.size() / 9;
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(bits[static_cast<size_t>(y) * pitch + static_cast<size_t>(x)], d.GetPixel(x, sy + y))
                    << what << " " << x << "," << y;
    };
    ASSERT_TRUE(d.PrintStretch(mem, 0, 0, 12, 9, 0, 0, 12, 9));
    check("whole", 0, 9);
    PatBlt(mem, 0, 0, 12, 9, BLACKNESS);
    ASSERT_TRUE(d.PrintStretch(mem, 0, 0, 12, 4, 0, 3, 12, 4));
    check("rows 3-6", 3, 4);
    if (TheDibSystem().orientation == kBottomUp) {
        PatBlt(mem, 0, 0, 12, 9, BLACKNESS);
        ASSERT_TRUE(d.PrintWhole(mem, RECT{0, 0, 12, 9}));
        check("bottom-up whole", 0, 9);
    }
    SelectPalette(mem, oldPal, FALSE);
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
}

// A printer whose page is 40 × 30 pixels.
class CTestPrinter : public plat::IPrinterDevice {
public:
    CTestPrinter() { page.Reset(40, 30); }
    int DeviceCaps(int index) const override { return index == TECHNOLOGY ? DT_RASPRINTER : 0; }
    plat::PrinterPage* Page() override { return &page; }
    plat::PrinterPage page;
};

TEST_P(DibOutput, PrintsOnAPrinterDC) {
    plat::SetPrinterOpener([](LPCSTR, LPCSTR, LPCSTR, const void*) -> std::unique_ptr<plat::IPrinterDevice> {
        return std::make_unique<CTestPrinter>();
    });
    SetDibColourUsage(0);  // printing renders with RGB colour tables
    CDibG d;
    d.CreateRealized(40, 30, &m_palette);
    Noise(d, 8);
    HDC printer = CreateDC("WINSPOOL", "Test", nullptr, nullptr);
    ASSERT_NE(printer, nullptr);
    ASSERT_TRUE(d.DrawStretched(printer, RECT{0, 0, 40, 30}, SRCCOPY));
    const plat::PrinterPage& page = static_cast<CTestPrinter*>(plat::PrinterDeviceOf(printer))->page;
    PALETTEENTRY e[256];
    ASSERT_TRUE(m_palette.GetEntries(e));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const RGBQUAD& got = page.table[page.pixels[static_cast<size_t>(y) * 40 + static_cast<size_t>(x)]];
            const PALETTEENTRY& want = e[d.GetPixel(x, y)];
            ASSERT_EQ(got.rgbRed, want.peRed) << x << "," << y;
            ASSERT_EQ(got.rgbGreen, want.peGreen) << x << "," << y;
            ASSERT_EQ(got.rgbBlue, want.peBlue) << x << "," << y;
        }
    DeleteDC(printer);
    plat::SetPrinterOpener(nullptr);
}

TEST_P(DibOutput, BltAndStretchToDC) {
    CDibG d;
    d.CreateRealized(16, 16, &m_palette);
    Noise(d, 6);
    ASSERT_TRUE(d.BltToDC(m_screen, POINT{20, 20}, POINT{4, 4}, SIZE{8, 8}));
    EXPECT_EQ(plat::TheDisplay().Pixel(20, 20), d.GetPixel(4, 4));
    EXPECT_EQ(plat::TheDisplay().Pixel(27, 27), d.GetPixel(11, 11));
    ASSERT_TRUE(d.StretchToDC(m_screen, POINT{200, 200}, SIZE{32, 32}, POINT{0, 0}, SIZE{16, 16}));
    EXPECT_EQ(plat::TheDisplay().Pixel(231, 231), d.GetPixel(15, 15));
    EXPECT_EQ(plat::TheDisplay().Pixel(203, 201), d.GetPixel(1, 0));
}

INSTANTIATE_TEST_SUITE_P(Modes, DibModes, ::testing::Values(Mode::Plain, Mode::WinGTopDown, Mode::WinGBottomUp),
                         [](const auto& info) { return std::string(surftest::ModeName(info.param)); });
INSTANTIATE_TEST_SUITE_P(Modes, DibOutput, ::testing::Values(Mode::Plain, Mode::WinGTopDown, Mode::WinGBottomUp),
                         [](const auto& info) { return std::string(surftest::ModeName(info.param)); });

// ---- The WinG library -------------------------------------------------------------------------

class WinGChoice : public surftest::SurfaceTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(WinGChoice, AnyMissingEntryPointMeansPlainDibs) {
    plat::SetBuiltinExportHidden("WING32.DLL", GetParam(), true);
    InitDibSystem(nullptr, false, 0);
    EXPECT_TRUE(TheDibSystem().winGTried);
    EXPECT_FALSE(TheDibSystem().winGAvailable);
    EXPECT_FALSE(TheDibSystem().winGInUse);
    EXPECT_EQ(TheDibSystem().orientation, kBottomUp);
    EXPECT_EQ(GetModuleHandle("WING32.DLL"), nullptr);  // freed again
    CDibG d;
    d.Create(8, 8, nullptr);
    EXPECT_EQ(d.WinGBitmap(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(EntryPoints, WinGChoice,
                         ::testing::Values("WinGCreateDC", "WinGRecommendDIBFormat", "WinGCreateBitmap",
                                           "WinGGetDIBPointer", "WinGSetDIBColorTable", "WinGBitBlt",
                                           "WinGStretchBlt", "WinGGetDIBColorTable", "WinGCreateHalftoneBrush",
                                           "WinGCreateHalftonePalette"),
                         [](const auto& info) { return std::string(info.param); });

class WinGSystem : public surftest::SurfaceTest {};

TEST_F(WinGSystem, NoLibraryOrSwitchedOffMeansPlainDibs) {
    plat::SetBuiltinLibraryHidden("WING32.DLL", true);
    InitDibSystem(nullptr, false, 0);
    EXPECT_FALSE(TheDibSystem().winGInUse);
    ShutdownDibSystem();
    plat::SetBuiltinLibraryHidden("WING32.DLL", false);
    InitDibSystem(nullptr, true, 0);
    EXPECT_FALSE(TheDibSystem().winGInUse);
    EXPECT_EQ(GetModuleHandle("WING32.DLL"), nullptr);  // never loaded
    EXPECT_FALSE(LoadWinG(nullptr));                    // tried: the cached answer
}

// The profiling message goes into WIN.INI, which every program loading the library shares, only
// while the library loads: afterwards, whether it loaded or not, the file is as it was, with no
// such section, with the section but not the entry, or with another program's message in it.
TEST_F(WinGSystem, ProfileMessageLeavesWinIniAsItWas) {
    const std::filesystem::path winIni = m_tmp / "c" / "WINDOWS" / "WIN.INI";
    std::filesystem::create_directories(winIni.parent_path());
    const std::string files[] = {
        "[windows]\r\ndevice=Skrivare,drv,LPT1:\r\n",
        "[WinG]\r\nAnnat=1\r\n\r\n[windows]\r\ndevice=Skrivare,drv,LPT1:\r\n",
        "[windows]\r\ndevice=Skrivare,drv,LPT1:\r\n\r\n[wing]\r\nprofilemessage=Ett annat program\r\n",
    };
    for (const std::string& before : files) {
        for (const bool loads : {true, false}) {
            SCOPED_TRACE(before + (loads ? " loading" : " failing"));
            std::ofstream(winIni, std::ios::binary | std::ios::trunc) << before;
            plat::SetBuiltinExportHidden("WING32.DLL", "WinGBitBlt", !loads);
            InitDibSystem("Kontrollerar", false, 0);
            EXPECT_EQ(TheDibSystem().winGInUse, loads);
            std::ifstream in(winIni, std::ios::binary);
            const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(after, before);
            ShutdownDibSystem();
            plat::SetBuiltinExportHidden("WING32.DLL", "WinGBitBlt", false);
        }
    }
}

TEST_F(WinGSystem, SetColorEntriesReachTheWinGBitmap) {
    InitDibSystem(nullptr, false, 0);
    ASSERT_TRUE(TheDibSystem().winGInUse);
    CDibG d;
    d.Create(4, 4, nullptr);
    const PALETTEENTRY e[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    d.SetColorEntries(30, 2, e);
    ASSERT_TRUE(d.IsSelected());
    RGBQUAD got[2];
    ASSERT_EQ(plat::wing::WinGGetDIBColorTable(TheDibSystem().winGDC, 30, 2, got), 2u);
    EXPECT_EQ(got[1].rgbRed, 4);
    EXPECT_EQ(got[1].rgbBlue, 6);
}

}  // namespace
