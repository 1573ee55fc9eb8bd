#include "media/surface/pal_id.h"

#include <gtest/gtest.h>

#include "media/surface/surface_test_support.h"

namespace {

using surftest::Bytes;

class PalIdTest : public surftest::SurfaceTest {};

TEST_F(PalIdTest, IdentityKeepsTheSystemStaticsAtBothEnds) {
    HDC screen = GetDC(nullptr);
    PALETTEENTRY sys[256];
    GetSystemPaletteEntries(screen, 0, 256, sys);
    const Bytes rgb = surftest::RgbTriplets();
    CPalId p;
    p.FromRgbTriplets(rgb.data());
    PALETTEENTRY e[256];
    ASSERT_TRUE(p.GetEntries(e));
    for (int i = 0; i < 256; ++i) {
        if (plat::IsStaticIndex(i)) {
            EXPECT_EQ(e[i].peRed, sys[i].peRed) << i;
            EXPECT_EQ(e[i].peGreen, sys[i].peGreen) << i;
            EXPECT_EQ(e[i].peBlue, sys[i].peBlue) << i;
            EXPECT_EQ(e[i].peFlags, sys[i].peFlags) << i;
        } else {
            EXPECT_EQ(e[i].peRed, rgb[3 * static_cast<size_t>(i)]) << i;
            EXPECT_EQ(e[i].peBlue, rgb[3 * static_cast<size_t>(i) + 2]) << i;
            EXPECT_EQ(e[i].peFlags, PC_RESERVED) << i;
        }
    }
    // Realised, index i of a picture is hardware index i.
    SelectPalette(screen, p, FALSE);
    RealizePalette(screen);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(plat::HardwareIndexOf(p, i), i) << i;
    ReleaseDC(nullptr, screen);
}

TEST_F(PalIdTest, WithoutAPaletteDisplayTheColoursStayAsGiven) {
    plat::OverrideDeviceCaps(RASTERCAPS, RC_BITBLT | RC_DI_BITMAP | RC_STRETCHDIB);
    const Bytes rgb = surftest::RgbTriplets();
    CPalId p;
    p.FromRgbTriplets(rgb.data());
    PALETTEENTRY e[256];
    ASSERT_TRUE(p.GetEntries(e));
    for (int i : {0, 9, 10, 245, 246, 255}) {
        EXPECT_EQ(e[i].peRed, rgb[3 * static_cast<size_t>(i)]) << i;
        EXPECT_EQ(e[i].peGreen, rgb[3 * static_cast<size_t>(i) + 1]) << i;
        EXPECT_EQ(e[i].peFlags, 0) << i;
    }
}

TEST_F(PalIdTest, ColourOrdersOfTheSources) {
    plat::OverrideDeviceCaps(RASTERCAPS, 0);
    Bytes bgr(768);
    RGBQUAD quads[256];
    for (int k = 0; k < 256; ++k) {
        bgr[3 * static_cast<size_t>(k)] = 1;  // blue
        bgr[3 * static_cast<size_t>(k) + 1] = 2;
        bgr[3 * static_cast<size_t>(k) + 2] = 3;  // red
        quads[k] = RGBQUAD{4, 5, 6, 0};
    }
    CPalId a, b;
    a.FromBgrTriplets(bgr.data());
    b.FromRgbQuads(quads);
    RGBQUAD ta[256], tb[256];
    a.GetColorTable(ta);
    b.GetColorTable(tb);
    EXPECT_EQ(ta[50].rgbRed, 3);
    EXPECT_EQ(ta[50].rgbBlue, 1);
    EXPECT_EQ(tb[50].rgbRed, 6);
    EXPECT_EQ(tb[50].rgbBlue, 4);
}

TEST_F(PalIdTest, EmptyPaletteLeavesTheTableAndKindThreeDoesNothing) {
    CPalId p;
    RGBQUAD t[256];
    for (auto& q : t) q = RGBQUAD{9, 9, 9, 9};
    p.GetColorTable(t);
    EXPECT_EQ(t[17].rgbGreen, 9);
    EXPECT_EQ(t[17].rgbReserved, 9);
    p.LoadPaletteFile("C:\\nothing.bmp", 3);
    EXPECT_FALSE(p.IsCreated());
}

TEST_F(PalIdTest, PaletteFiles) {
    plat::OverrideDeviceCaps(RASTERCAPS, 0);
    const std::string bmp = PutFile("p.bmp", surftest::BmpFile(2, {{1, 2}}));
    CPalId a;
    a.LoadPaletteFile(bmp.c_str(), CPalId::kBmpFile);
    PALETTEENTRY e[256];
    ASSERT_TRUE(a.GetEntries(e));
    EXPECT_EQ(e[200].peRed, 200);
    EXPECT_EQ(e[200].peGreen, 55);

    const std::string pcx = PutFile("p.pcx", surftest::PcxFile(1, 1, 1, {1}, 7));
    CPalId b;
    b.LoadPaletteFile(pcx.c_str(), CPalId::kPcxFile);
    ASSERT_TRUE(b.GetEntries(e));
    EXPECT_EQ(e[1].peRed, 10);  // colour bytes run 7, 8, 9, 10, ...

    const std::string shortBmp = PutFile("s.bmp", Bytes(500, 0));
    CPalId c;
    EXPECT_TRUE(surftest::ThrowsResource([&] { c.LoadBmpPalette(shortBmp.c_str()); }));
    EXPECT_TRUE(surftest::ThrowsResource([&] { c.LoadPcxPalette("C:\\missing.pcx"); }));
    const std::string shortPcx = PutFile("s.pcx", Bytes(700, 0));
    EXPECT_TRUE(surftest::ThrowsResource([&] { c.LoadPcxPalette(shortPcx.c_str()); }));
    EXPECT_FALSE(c.IsCreated());
}

TEST_F(PalIdTest, MakingAgainReplacesTheHandle) {
    const int before = plat::LiveGdiObjects();
    {
        CPalId p;
        const Bytes rgb = surftest::RgbTriplets();
        p.FromRgbTriplets(rgb.data());
        p.FromRgbTriplets(rgb.data());
        EXPECT_EQ(plat::LiveGdiObjects(), before + 1);
    }
    EXPECT_EQ(plat::LiveGdiObjects(), before);
}

}  // namespace
