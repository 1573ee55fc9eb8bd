#include "engine/toolbox/picture_quad.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/toolbox/toolbox_test_support.h"
#include "media/surface/surface_test_support.h"
#include "platform/headless/golden_test_support.h"

namespace {

using Rows = std::vector<std::vector<uint8_t>>;

// A source whose every pixel is different and not 0: y × 16 + x + 1.
Rows Numbered(int width, int height) {
    Rows rows(static_cast<size_t>(height), std::vector<uint8_t>(static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rows[y][x] = static_cast<uint8_t>(y * 16 + x + 1);
    return rows;
}

Rows PictureRows(CSprite& s) {
    Rows rows;
    for (int y = 0; y < s.Height(); ++y)
        rows.emplace_back(s.Bits() + y * s.Stride(), s.Bits() + y * s.Stride() + s.Width());
    return rows;
}

class PictureQuad : public ::testing::Test {
protected:
    toolboxtest::CPictureHost host;
};

TEST_F(PictureQuad, AnAxisAlignedRectangleGivesTheSourceWithoutItsLastColumnAndRow) {
    ASSERT_NE(host.AddPicture(40, 5, Numbered(5, 4)), nullptr);
    Rows expected = Numbered(4, 3);
    for (const CCorPoint origin : {CCorPoint{10, 20}, CCorPoint{-4, -3}}) {
        const int16_t x = origin.x, y = origin.y;
        const int16_t id = DrawPictureQuad(40, {x, y}, {static_cast<int16_t>(x + 4), y},
                                           {static_cast<int16_t>(x + 4), static_cast<int16_t>(y + 3)},
                                           {x, static_cast<int16_t>(y + 3)});
        ASSERT_GT(id, 0);
        CSprite* made = host.Picture(id);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(PictureRows(*made), expected);
        EXPECT_EQ(made->HotspotX(), 0);
        EXPECT_EQ(made->HotspotY(), 0);
    }
}

// The new picture covers the bounding box; its hot spot is where p0 lies in it, so drawing it
// at p0 puts it in place. The trapezoid's slanted sides leave its corners blank.
TEST_F(PictureQuad, ATrapezoidFillsItsBoxBetweenItsSidesWithTheHotSpotAtTheFirstCorner) {
    ASSERT_NE(host.AddPicture(40, 5, Numbered(5, 4)), nullptr);
    const int16_t id = DrawPictureQuad(40, {105, 50}, {115, 50}, {120, 60}, {100, 60});
    CSprite* made = host.Picture(id);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Width(), 20);
    EXPECT_EQ(made->Height(), 10);
    EXPECT_EQ(made->HotspotX(), 5);
    EXPECT_EQ(made->HotspotY(), 0);
    const Rows rows = PictureRows(*made);
    EXPECT_EQ(rows[0][0], 0);   // outside the slanted left side
    EXPECT_EQ(rows[0][19], 0);  // and the right one
    EXPECT_EQ(rows[0][5], 1);   // the source's top-left corner at p0
    // The last row drawn lies a row above p3: its source row is 9 × 3 / 10 of the way down.
    EXPECT_EQ(rows[9][0], 2 * 16 + 1);
    EXPECT_EQ(rows[9][19], 0);          // the right end of each row is never drawn
}

TEST_F(PictureQuad, BoxesTallerThanTheEdgeTablesAndPicturesThatCannotBeMadeGiveZero) {
    ASSERT_NE(host.AddPicture(40, 4, Numbered(4, 4)), nullptr);
    EXPECT_EQ(DrawPictureQuad(40, {0, 0}, {3, 0}, {3, 641}, {0, 641}), 0);
    EXPECT_EQ(DrawPictureQuad(40, {0, -1}, {3, -1}, {3, 640}, {0, 640}), 0);
    EXPECT_EQ(host.newPictures, 0);  // refused before any picture was made

    // 640 rows still fit: the last row drawn is 639.
    const int16_t tall = DrawPictureQuad(40, {0, 0}, {3, 0}, {3, 640}, {0, 640});
    ASSERT_GT(tall, 0);
    CSprite* made = host.Picture(tall);
    ASSERT_NE(made, nullptr);
    ASSERT_EQ(made->Height(), 640);
    EXPECT_NE(made->Bits()[639 * made->Stride()], 0);

    // A box of no width: no picture can be made.
    EXPECT_EQ(DrawPictureQuad(40, {5, 0}, {5, 0}, {5, 9}, {5, 9}), 0);
    // A source that does not exist: the picture is made and stays blank.
    const int16_t blank = DrawPictureQuad(41, {0, 0}, {3, 0}, {3, 3}, {0, 3});
    ASSERT_GT(blank, 0);
    for (const auto& row : PictureRows(*host.Picture(blank))) EXPECT_EQ(row, std::vector<uint8_t>(3, 0));
}

// Points are checked before anything is drawn; the buffers are exactly their size, so any
// byte written or read outside would be caught by AddressSanitizer.
TEST(TexturePolygon, DrawsOnlyWhenEveryPointLiesInsideBothPictures) {
    struct Case {
        const char* what;
        int destinationHeight;
        std::vector<CCorPoint> to;
        std::vector<CCorPoint> from;
        bool draws;
    };
    const std::vector<CCorPoint> square{{0, 0}, {3, 0}, {3, 3}, {0, 3}};
    const Case cases[] = {
        {"the whole destination, right and bottom edges included", 6, {{0, 0}, {8, 0}, {8, 6}, {0, 6}}, square, true},
        {"a point right of the right edge", 6, {{0, 0}, {9, 0}, {8, 6}, {0, 6}}, square, false},
        {"a point below the bottom edge", 6, {{0, 0}, {8, 0}, {8, 7}, {0, 6}}, square, false},
        {"a point left of the picture", 6, {{-1, 0}, {8, 0}, {8, 6}, {0, 6}}, square, false},
        {"a point above the picture", 6, {{0, -1}, {8, 0}, {8, 6}, {0, 6}}, square, false},
        {"row 640 of a taller picture", 700, {{0, 0}, {8, 0}, {8, 640}, {0, 640}}, square, true},
        {"below row 640 of a taller picture", 700, {{0, 0}, {8, 0}, {8, 641}, {0, 641}}, square, false},
        {"a source point right of the source", 6, {{0, 0}, {8, 0}, {8, 6}, {0, 6}}, {{0, 0}, {4, 0}, {3, 3}, {0, 3}}, false},
        {"a source point above the source", 6, {{0, 0}, {8, 0}, {8, 6}, {0, 6}}, {{0, -1}, {3, 0}, {3, 3}, {0, 3}}, false},
        {"every point on one row", 6, {{0, 2}, {8, 2}, {6, 2}, {1, 2}}, square, false},
        {"two points", 6, {{0, 0}, {8, 6}}, {{0, 0}, {3, 3}}, false},
    };
    std::vector<uint8_t> sourceBytes(16);
    for (size_t i = 0; i < sourceBytes.size(); ++i) sourceBytes[i] = static_cast<uint8_t>(i + 1);
    const LockedPicture source{sourceBytes.data(), 4, 4, 4};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> destinationBytes(static_cast<size_t>(8 * c.destinationHeight), 0xEE);
        const LockedPicture destination{destinationBytes.data(), 8, static_cast<int16_t>(c.destinationHeight), 8};
        TexturePolygon(source, destination, c.from.data(), c.to.data(), static_cast<int>(c.to.size()));
        size_t drawn = 0;
        for (uint8_t b : destinationBytes) drawn += b != 0xEE;
        if (!c.draws) {
            EXPECT_EQ(drawn, 0u);
            continue;
        }
        const int rows = std::min(c.destinationHeight, 640);
        const int lastRow = std::max<int>(c.to[2].y, c.to[3].y);
        EXPECT_EQ(drawn, static_cast<size_t>(8 * std::min(rows, lastRow)));
        EXPECT_EQ(destinationBytes[0], 1);
    }
}

// A striped and framed picture mapped onto a trapezoid and onto a tilted quadrilateral, drawn
// at their first corners onto a plain screen (tests/golden/picture_quad.png;
// ZELBO_UPDATE_GOLDEN=1 writes it instead: look at it before keeping it).
class PictureQuadGolden : public surftest::SurfaceTest {
protected:
    toolboxtest::CPictureHost host;
};

TEST_F(PictureQuadGolden, APictureOnATrapezoidAndATiltedQuadrilateral) {
    surftest::StartDibSystem(surftest::Mode::Plain);
    std::vector<uint8_t> rgb(768, 0);
    const uint8_t colours[][3] = {{235, 235, 225}, {40, 40, 160}, {250, 200, 40}, {220, 60, 50}, {40, 150, 70}};
    for (int i = 0; i < 5; ++i)
        for (int k = 0; k < 3; ++k) rgb[static_cast<size_t>((10 + i) * 3 + k)] = colours[i][k];
    CPalId palette;
    palette.FromRgbTriplets(rgb.data());

    // 64 × 48: yellow and green checks of 8 pixels, a red diagonal, a blue frame 2 wide.
    Rows art(48, std::vector<uint8_t>(64));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t c = ((x / 8 + y / 8) % 2) ? 12 : 14;
            if (std::abs(x * 3 - y * 4) < 4) c = 13;
            if (x < 2 || y < 2 || x >= 62 || y >= 46) c = 11;
            art[y][x] = c;
        }
    ASSERT_NE(host.AddPicture(40, 64, art), nullptr);
    const int16_t trapezoid = DrawPictureQuad(40, {220, 60}, {420, 60}, {560, 280}, {80, 280});
    const int16_t tilted = DrawPictureQuad(40, {120, 320}, {300, 350}, {270, 460}, {90, 420});
    ASSERT_GT(trapezoid, 0);
    ASSERT_GT(tilted, 0);

    CDibG frame;
    frame.CreateRealized(640, 480, &palette);
    CSprite ground(-1);
    ASSERT_TRUE(ground.AllocBits(640, 480));
    std::memset(ground.Bits(), 10, ground.Size());
    ground.SetTransparent(FALSE);
    frame.CopySprite(ground, POINT{0, 0}, FALSE);
    const RECT all{0, 0, 640, 480};
    frame.DrawSprite(*host.Picture(trapezoid), POINT{220, 60}, all, TRUE);
    frame.DrawSprite(*host.Picture(tilted), POINT{120, 320}, all, TRUE);

    HDC screen = GetDC(nullptr);
    SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);
    frame.DrawRect(screen, all, all, SRCCOPY);
    ReleaseDC(nullptr, screen);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "picture_quad.png");
}

}  // namespace
