// The drawing canvas: lines, circles, pixels and clearing, clipped to the canvas wherever they
// reach; the scan tables of the fills; selecting and destroying canvases.
#include "activities/shapes/shape_canvas.h"

#include <gtest/gtest.h>

#include <random>

#include "activities/shapes/shapes_test_support.h"

namespace {

using shapestest::ShapesHostTest;
using CanvasTest = ShapesHostTest;

// Every pixel of the canvas that is not 0, as points.
std::vector<CCorPoint> Written(const CShapeCanvas& c) {
    std::vector<CCorPoint> out;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            if (c.pixels[static_cast<size_t>(y) * c.stride + static_cast<size_t>(x)] != 0)
                out.push_back({static_cast<int16_t>(x + c.rect.left), static_cast<int16_t>(y + c.rect.top)});
    return out;
}

TEST_F(CanvasTest, MadeOverABlankPictureOfItsRectangleAndNotCurrent) {
    CShapeCanvas* c = CreateCanvas({10, 20, 71, 50});
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c->picture, 0xFFFF);
    EXPECT_EQ(c->width, 61);
    EXPECT_EQ(c->height, 30);
    EXPECT_EQ(c->stride, 64);
    EXPECT_EQ(c->pen, (CCorPoint{10, 20}));
    EXPECT_EQ(c->colour, 25);
    EXPECT_EQ(c->pixels, nullptr);
    EXPECT_EQ(GetCurrentCanvas(), nullptr);
    SelectCanvas(c);
    EXPECT_NE(GetCanvasPixels(), nullptr);
    EXPECT_EQ(GetCanvasStride(), 64);
    EXPECT_EQ(GetCanvasOrigin(), (CCorPoint{10, 20}));
    const uint16_t picture = c->picture;
    DestroyCanvas(c);
    EXPECT_EQ(GetCurrentCanvas(), nullptr);  // the current canvas destroyed leaves none
    EXPECT_EQ(host.Picture(static_cast<int16_t>(picture)), nullptr);
    EXPECT_EQ(GetCanvasPicture(nullptr), 0);
    DestroyCanvas(nullptr);
}

// An empty rectangle has no picture; drawing into such a canvas writes nothing and is safe.
TEST_F(CanvasTest, AnEmptyRectangleMakesNoPicture) {
    for (const CCorRect r : {CCorRect{0, 0, 0, 0}, CCorRect{5, 5, 4, 9}, CCorRect{-32768, 0, 32767, 4}}) {
        CShapeCanvas* c = Canvas(r);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->picture, 0xFFFF);
        EXPECT_EQ(GetCanvasPixels(), nullptr);
        DrawCanvasLine({0, 0}, {3, 3});
        PlotCanvasPixel(0, 0);
        ClearCanvasRect(r);
        DrawCanvasCircle({1, 1}, 4);
    }
}

TEST_F(CanvasTest, LinesCirclesAndPixels) {
    CShapeCanvas& c = *Canvas({0, 0, 20, 12});
    SetCanvasColour(0);  // palette index 10
    DrawCanvasLine({10, 5}, {3, 5});
    for (int x = 0; x < 20; ++x) EXPECT_EQ(At(c, x, 5), x >= 3 && x <= 10 ? 10 : 0) << x;

    ClearCanvasRect({-5, -5, 100, 100});
    EXPECT_TRUE(Written(c).empty());

    SetCanvasColour(3);
    DrawCanvasCircle({7, 7}, 0);
    EXPECT_EQ(Written(c), (std::vector<CCorPoint>{{7, 7}}));
    EXPECT_EQ(At(c, 7, 7), 13);

    // A steep line and a shallow one, both ends drawn, one pixel per row or column.
    ClearCanvasRect(c.rect);
    DrawCanvasLine({2, 0}, {4, 10});
    EXPECT_EQ(Written(c).size(), 11u);
    ClearCanvasRect(c.rect);
    CanvasMoveTo({0, 11});
    CanvasLineTo({19, 2});
    EXPECT_EQ(Written(c).size(), 20u);
    EXPECT_EQ(At(c, 0, 11), 13);
    EXPECT_EQ(At(c, 19, 2), 13);
    EXPECT_EQ(c.pen, (CCorPoint{19, 2}));

    // A circle of radius 3: symmetric, and its four extreme points drawn.
    ClearCanvasRect(c.rect);
    DrawCanvasCircle({10, 6}, 3);
    for (const CCorPoint p : {CCorPoint{13, 6}, CCorPoint{7, 6}, CCorPoint{10, 3}, CCorPoint{10, 9}}) EXPECT_EQ(At(c, p.x, p.y), 13);
    for (const CCorPoint p : Written(c)) EXPECT_EQ(At(c, 20 - p.x, p.y), 13);

    // Clearing a part: only the common part with the canvas.
    ClearCanvasRect({-10, -10, 11, 7});
    for (const CCorPoint p : Written(c)) EXPECT_TRUE(p.x >= 11 || p.y >= 7);
}

// Partly outside: only the pixels inside; wholly outside: nothing. The canvas lies away from
// the origin, so both the rectangle and the picture bound the writes.
TEST_F(CanvasTest, DrawingIsClippedToTheCanvas) {
    CShapeCanvas& c = *Canvas({100, 50, 161, 80});
    SetCanvasColour(1);
    DrawCanvasLine({90, 60}, {200, 60});
    for (int x = 100; x < 161; ++x) EXPECT_EQ(At(c, x, 60), 11);
    EXPECT_EQ(Written(c).size(), 61u);
    ClearCanvasRect(c.rect);
    DrawCanvasLine({0, 0}, {99, 49});
    DrawCanvasLine({161, 50}, {300, 80});
    PlotCanvasPixel(161, 60);
    PlotCanvasPixel(100, 80);
    PlotCanvasPixel(99, 79);
    EXPECT_TRUE(Written(c).empty());
    PlotCanvasPixel(160, 79);
    EXPECT_EQ(Written(c), (std::vector<CCorPoint>{{160, 79}}));
}

// Seeded: lines and circles anywhere in the 16-bit plane, and off the screen, write only
// inside the canvas; the padding at each row's end stays untouched.
TEST_F(CanvasTest, SeededLinesAndCirclesAnywhereStayInside) {
    CShapeCanvas& c = *Canvas({-20, 440, 41, 500});
    std::mt19937 rng(7);
    auto coord = [&](bool wide) {
        return static_cast<int16_t>(wide ? std::uniform_int_distribution<int>(-32768, 32767)(rng)
                                         : std::uniform_int_distribution<int>(-80, 560)(rng));
    };
    for (int i = 0; i < 400; ++i) {
        const bool wide = i % 4 == 0;
        SetCanvasColour(static_cast<int16_t>(i % 200));
        DrawCanvasLine({coord(wide), coord(wide)}, {coord(wide), coord(wide)});
        DrawCanvasCircle({coord(false), coord(false)}, static_cast<int16_t>(std::uniform_int_distribution<int>(-5, 300)(rng)));
        PlotCanvasPixel(coord(wide), coord(wide));
    }
    EXPECT_FALSE(Written(c).empty());
    EXPECT_TRUE(PaddingClean(c));
}

TEST_F(CanvasTest, ScanEdgeEntersTheFirstXOfEachRow) {
    SpanTable table;
    table.fill(-7);
    ScanEdge({0, 0}, {4, 2}, table);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[1], 1);
    EXPECT_EQ(table[2], 3);
    EXPECT_EQ(table[3], -7);

    table.fill(-7);
    ScanEdge({5, 9}, {50, 9}, table);  // level: nothing
    for (int16_t v : table) EXPECT_EQ(v, -7);

    // Swapped ends give the same entries; a steep edge one entry per row.
    SpanTable other;
    other.fill(-7);
    table.fill(-7);
    ScanEdge({4, 2}, {0, 0}, other);
    ScanEdge({0, 0}, {4, 2}, table);
    EXPECT_EQ(other, table);
    table.fill(-7);
    ScanEdge({3, 10}, {5, 20}, table);
    for (int y = 10; y <= 20; ++y) EXPECT_GE(table[static_cast<size_t>(y)], 3);
    EXPECT_EQ(table[20], 5);

    // Rows outside 0 to 479 are left out, whatever the edge's length.
    table.fill(-7);
    ScanEdge({0, -30000}, {10, 30000}, table);
    ScanEdge({-32768, -32768}, {32767, 32767}, table);
    EXPECT_NE(table[0], -7);
    EXPECT_NE(table[479], -7);
}

TEST_F(CanvasTest, ScanTexturedEdgeSkipsTheLowerEndsRow) {
    CShapeDrawState& s = ShapeDrawState();
    s.texSpanDown.fill({-1, -1, -1});
    s.texSpanUp.fill({-1, -1, -1});
    ScanTexturedEdge({10, 100}, {14, 104}, {0, 0}, {8, 4});  // going down the screen
    for (int y = 100; y < 104; ++y) {
        const TexSpan e = s.texSpanDown[static_cast<size_t>(y)];
        EXPECT_EQ(e.x, 10 + (y - 100));
        EXPECT_EQ(e.u, (y - 100) * 2 * 256);
        EXPECT_EQ(e.v, (y - 100) * 256);
    }
    EXPECT_EQ(s.texSpanDown[104].x, -1);
    ScanTexturedEdge({20, 110}, {20, 105}, {3, 5}, {3, 0});  // up: into the other table, from its top
    EXPECT_EQ(s.texSpanUp[105].x, 20);
    EXPECT_EQ(s.texSpanUp[105].v, 0);
    EXPECT_EQ(s.texSpanUp[109].v, 4 * 256);
    EXPECT_EQ(s.texSpanUp[110].x, -1);
    ScanTexturedEdge({0, 7}, {9, 7}, {0, 0}, {9, 0});  // level: nothing
    EXPECT_EQ(s.texSpanDown[7].x, -1);
    ScanTexturedEdge({0, -32768}, {0, 32767}, {0, 0}, {0, 100});
    EXPECT_EQ(s.texSpanDown[0].x, 0);
    EXPECT_EQ(s.texSpanDown[479].x, 0);
}

TEST_F(CanvasTest, SelectingLocksOneCanvasAtATime) {
    CShapeCanvas* a = Canvas({0, 0, 8, 8});
    CShapeCanvas* b = Canvas({0, 0, 4, 4});
    EXPECT_EQ(a->pixels, nullptr);
    EXPECT_NE(b->pixels, nullptr);
    SelectCanvas(a);
    EXPECT_EQ(b->pixels, nullptr);
    EXPECT_EQ(GetCurrentCanvas(), a);
    SelectCanvas(nullptr);
    EXPECT_EQ(a->pixels, nullptr);
    // Without a canvas every call does nothing.
    SetCanvasColour(4);
    DrawCanvasLine({0, 0}, {3, 3});
    CanvasLineTo({1, 1});
    EXPECT_EQ(GetCanvasPixels(), nullptr);
    EXPECT_EQ(GetCanvasStride(), 0);
    EXPECT_EQ(GetCanvasOrigin(), (CCorPoint{}));
}

}  // namespace
