// Polygon pieces: their corners in fixed point, turns, kinds, hit tests, nearest corners, solid
// and patterned fills with their shared pattern entries, and fills that reach anywhere.
#include "activities/shapes/shape_piece.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "activities/shapes/shapes_test_support.h"

namespace {

using shapestest::Corners;
using shapestest::Piece;
using PieceTest = shapestest::ShapesHostTest;

// The piece ids of both sets, all kinds.
std::vector<int16_t> AllIds() {
    std::vector<int16_t> ids;
    for (int16_t set : {10, 20})
        for (int16_t kind = 0; kind <= 5; ++kind) ids.push_back(static_cast<int16_t>(set + kind));
    return ids;
}

// Twice the polygon's area from its corners (shoelace), in 64 bits.
int64_t TwiceArea(const CShapePiece& p) {
    int64_t sum = 0;
    for (const ShapeEdge& e : p.edges) sum += int64_t{e.start.x} * e.end.y - int64_t{e.end.x} * e.start.y;
    return sum < 0 ? -sum : sum;
}

// Even-odd rule over the edges at a point off every edge (a ray to +x, half-open in y).
bool EvenOdd(const CShapePiece& p, double x, double y) {
    bool inside = false;
    for (const ShapeEdge& e : p.edges) {
        const double y0 = e.start.y, y1 = e.end.y;
        if ((y0 > y) == (y1 > y)) continue;
        const double cx = e.start.x + (y - y0) * (e.end.x - e.start.x) / (y1 - y0);
        if (cx > x) inside = !inside;
    }
    return inside;
}

// Distance from the point to the nearest edge.
double EdgeDistance(const CShapePiece& p, double x, double y) {
    double best = 1e9;
    for (const ShapeEdge& e : p.edges) {
        const double ax = e.start.x, ay = e.start.y, bx = e.end.x, by = e.end.y;
        const double len2 = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
        const double t = len2 == 0 ? 0 : std::clamp(((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / len2, 0.0, 1.0);
        best = std::min(best, std::hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay))));
    }
    return best;
}

TEST_F(PieceTest, BuiltWithItsBoundsFromTheOriginAndTheReferencePointInside) {
    const CShapePiece square(10);
    EXPECT_EQ(square.kind, 0);
    EXPECT_EQ(square.fill, 0);
    EXPECT_EQ(square.angle, 0);
    EXPECT_EQ(square.GetPosition(), (CCorPoint{16, 16}));
    EXPECT_EQ(square.bounds, (CCorRect{0, 0, 33, 33}));
    EXPECT_EQ(Corners(square), (std::vector<CCorPoint>{{0, 32}, {32, 32}, {32, 0}, {0, 0}}));
    EXPECT_EQ(square.GetCornerTotal(), 4);
    EXPECT_EQ(square.GetCorner(5), (CCorPoint{32, 32}));
    EXPECT_EQ(square.GetCorner(-1), (CCorPoint{0, 0}));
    for (size_t j = 0; j < square.edges.GetSize(); ++j) {
        const ShapeEdge& e = *square.edges.At(static_cast<int>(j));
        EXPECT_EQ(e.end, square.GetCorner(static_cast<int32_t>(j + 1)));
        EXPECT_EQ(e.length, 32);
    }
    EXPECT_EQ(Corners(square), [&] {
        std::vector<CCorPoint> base;
        for (const ShapeEdge& e : square.baseEdges) base.push_back(e.start);
        return base;
    }());
    for (const int16_t id : AllIds()) {
        const CShapePiece p(id);
        EXPECT_EQ(p.kind, id % 10);
        EXPECT_EQ(p.bounds.left, 0);
        EXPECT_EQ(p.bounds.top, 0);
        EXPECT_TRUE(p.ContainsPoint(p.GetPosition())) << id;
    }
}

TEST_F(PieceTest, KindsAndEmptyPieces) {
    EXPECT_EQ(CShapePiece(23).kind, 3);
    EXPECT_EQ(CShapePiece(-1).kind, -1);
    // No record, or a record of under two pairs: an empty shape.
    for (const int16_t id : {int16_t{-1}, int16_t{18}, int16_t{999}}) {
        const CShapePiece p(id);
        EXPECT_EQ(p.GetCornerTotal(), 0);
        EXPECT_EQ(p.GetCorner(3), (CCorPoint{}));
        EXPECT_EQ(p.bounds, (CCorRect{}));
        EXPECT_EQ(p.FindVertexNear({0, 0}, 5), -1);
    }
    for (const auto& bytes : {std::vector<uint8_t>{1, 0, 5, 0, 0, 0}, std::vector<uint8_t>{9, 0, 5, 0, 0, 0, 5, 0}}) {
        const CShapePiece p(12, media::ParsePieceOutline(bytes));
        EXPECT_EQ(p.GetCornerTotal(), 0);
    }
}

TEST_F(PieceTest, AnglesAreTakenModuloAFullTurnAndDownToFifteenDegrees) {
    const struct {
        int16_t given, angle;
    } cases[] = {{-150, 3450}, {3700, 0}, {299, 150}, {3599, 3450}, {-32768, 3150}, {0, 0}, {450, 450}, {32767, 300}};
    for (const auto& c : cases) {
        CShapePiece p(10);
        p.SetAngle(c.given);
        EXPECT_EQ(p.angle, c.angle) << c.given;
    }
    CShapePiece p(10);
    p.SetAngle(-150);
    EXPECT_EQ(p.angle, 3450);
    p.SetAngle(3700);
    EXPECT_EQ(p.angle, 0);
    p.SetAngle(299);
    EXPECT_EQ(p.angle, 150);
    // Turned about its position: the corners at 150 from the rounded previous corner.
    EXPECT_EQ(p.GetPosition(), (CCorPoint{16, 16}));
    EXPECT_EQ(Corners(p), (std::vector<CCorPoint>{{5, 36}, {36, 28}, {28, -3}, {-3, 5}}));
    EXPECT_EQ(p.bounds, (CCorRect{-3, -3, 37, 37}));
    p.SetAngle(0);
    EXPECT_EQ(Corners(p), (std::vector<CCorPoint>{{0, 32}, {32, 32}, {32, 0}, {0, 0}}));
}

// Every outline of both sets, at every turn and at places all over the plane.
TEST_F(PieceTest, TwentyFourTurnsGiveTheCornersBackAndInsideAgreesWithEvenOdd) {
    std::mt19937 rng(3);
    for (const int16_t id : AllIds()) {
        CShapePiece p(id);
        p.MoveTo({static_cast<int16_t>(std::uniform_int_distribution<int>(-500, 1000)(rng)),
                  static_cast<int16_t>(std::uniform_int_distribution<int>(-500, 1000)(rng))});
        const std::vector<CCorPoint> first = Corners(p);
        for (int turn = 1; turn <= 24; ++turn) {
            p.SetAngle(static_cast<int16_t>(turn * 150));
            ASSERT_EQ(p.edges.At(static_cast<int>(p.edges.GetSize() - 1))->end, p.GetCorner(0));
            for (int k = 0; k < 200; ++k) {
                const int16_t x = static_cast<int16_t>(std::uniform_int_distribution<int>(p.bounds.left - 2, p.bounds.right + 2)(rng));
                const int16_t y = static_cast<int16_t>(std::uniform_int_distribution<int>(p.bounds.top - 2, p.bounds.bottom + 2)(rng));
                if (EdgeDistance(p, x, y) < 1.0) continue;
                EXPECT_EQ(p.ContainsPoint({x, y}) != 0, EvenOdd(p, x, y)) << id << " at " << p.angle << ": " << x << "," << y;
            }
        }
        EXPECT_EQ(Corners(p), first) << id;
    }
}

TEST_F(PieceTest, AreasAsListedAndShoelaceAreasInTheSameProportion) {
    const double listed[] = {4.0, 2.0, 1.7321, 3.4642, 5.1963, 10.3926};
    for (int16_t kind = 0; kind <= 5; ++kind) EXPECT_EQ(CShapePiece(static_cast<int16_t>(20 + kind)).GetArea(), listed[kind]);
    EXPECT_EQ(CShapePiece(-1).GetArea(), 0.0);
    for (int16_t set : {10, 20})
        for (int16_t angle = 0; angle < 3600; angle += 150) {
            auto area = [&](int16_t kind) {
                auto p = Piece(static_cast<int16_t>(set + kind), angle, {200, 200});
                return static_cast<double>(TwiceArea(*p));
            };
            const double triangle = area(2);
            EXPECT_NEAR(area(3) / triangle, 2.0, 0.06) << set << " " << angle;
            EXPECT_NEAR(area(4) / triangle, 3.0, 0.09) << set << " " << angle;
            EXPECT_NEAR(area(5) / triangle, 6.0, 0.18) << set << " " << angle;
        }
}

TEST_F(PieceTest, OverlapsAndContains) {
    auto left = Piece(10, 0, {100, 100});
    auto right = Piece(10, 0, {132, 100});  // shares the left one's right edge
    auto corner = Piece(10, 0, {132, 132});  // shares one corner
    EXPECT_FALSE(left->Overlaps(*right));
    EXPECT_FALSE(right->Overlaps(*left));
    EXPECT_FALSE(left->Overlaps(*corner));
    auto shifted = Piece(10, 0, {120, 110});
    EXPECT_TRUE(left->Overlaps(*shifted));

    auto hexagon = Piece(15, 0, {300, 300});
    auto triangle = Piece(22, 0, {300, 300});
    EXPECT_TRUE(hexagon->ContainsShape(*triangle));
    EXPECT_FALSE(triangle->ContainsShape(*hexagon));
    EXPECT_TRUE(hexagon->Overlaps(*triangle));
    EXPECT_TRUE(triangle->Overlaps(*hexagon));
    EXPECT_TRUE(hexagon->ContainsShape(CShapePiece(-1)));  // no corners: held
}

TEST_F(PieceTest, FindVertexNearTakesTheNearestWithinTheRadiusTiesToTheLater) {
    auto p = Piece(10, 0, {100, 100});
    const std::vector<CCorPoint> c = Corners(*p);
    for (int16_t i = 0; i < 4; ++i) {
        EXPECT_EQ(p->FindVertexNear(c[static_cast<size_t>(i)], 0), i);
        EXPECT_EQ(p->FindVertexNear({static_cast<int16_t>(c[static_cast<size_t>(i)].x + 1), c[static_cast<size_t>(i)].y}, 0), -1);
    }
    // Halfway between corners 0 and 1 (16 from both): the later.
    const CCorPoint mid{static_cast<int16_t>((c[0].x + c[1].x) / 2), static_cast<int16_t>((c[0].y + c[1].y) / 2)};
    EXPECT_EQ(p->FindVertexNear(mid, 16), 1);
    EXPECT_EQ(p->FindVertexNear(mid, 15), -1);
    EXPECT_EQ(p->FindVertexNear({static_cast<int16_t>(c[2].x + 3), static_cast<int16_t>(c[2].y + 4)}, 5), 2);
    // Far away: the squares of 16-bit differences do not wrap.
    EXPECT_EQ(p->FindVertexNear({-32768, -32768}, 32767), -1);
}

TEST_F(PieceTest, FillsMarkingAndTheSharedPatternEntries) {
    auto& table = ShapeDrawState().pieceTextures;
    AddPattern(80, 8, 8);
    {
        auto a = Piece(10, 0, {0, 0}, 16);
        auto b = Piece(12, 0, {0, 0}, 16);
        ASSERT_NE(table[0], nullptr);
        EXPECT_EQ(table[0]->references, 2);
        EXPECT_EQ(table[0]->picture, 80);
        EXPECT_EQ(table[0]->width, 8);
        EXPECT_EQ(table[0]->stride, 8);
        a->SetMarked(1);
        EXPECT_EQ(a->fill, 24);
        EXPECT_TRUE(a->IsMarked());
        ASSERT_NE(table[8], nullptr);
        EXPECT_EQ(table[8]->picture, 88);
        EXPECT_EQ(table[0]->references, 1);
        a->SetMarked(0);
        EXPECT_EQ(a->fill, 16);
        EXPECT_EQ(table[8], nullptr);  // released when no piece uses it
        b->SetFill(3);
        EXPECT_EQ(table[0]->references, 1);
        b->SetMarked(1);
        EXPECT_EQ(b->fill, 11);
        b->SetMarked(1);
        EXPECT_EQ(b->fill, 11);
        // Only 0 to 31: any other fill is refused (above 31 would index past the entries).
        for (const int16_t bad : {int16_t{32}, int16_t{-1}, int16_t{-9}, int16_t{1000}}) {
            b->SetFill(bad);
            EXPECT_EQ(b->fill, 11);
        }
        b->SetFill(31);
        EXPECT_EQ(table[15]->picture, 95);
    }
    // Destroyed pieces release their entries (checked again at tear-down).
    EXPECT_EQ(table[0], nullptr);
    EXPECT_EQ(table[15], nullptr);
}

TEST_F(PieceTest, SolidFillsCoverEveryRowWithBothSpanEnds) {
    CShapeCanvas& c = *Canvas({0, 0, 200, 200});
    auto square = Piece(10, 0, {50, 60}, 3);
    square->Draw();
    const CCorRect b = square->bounds;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool in = x >= b.left && x < b.right && y >= b.top && y < b.bottom;
            ASSERT_EQ(At(c, x, y), in ? 218 : 0) << x << "," << y;
        }
    // A turned hexagon: every row of its bounds drawn between its spans' ends, without gaps
    // (a corner's own pixel may be left to the outline).
    ClearCanvasRect(c.rect);
    auto hexagon = Piece(15, 450, {100, 100}, 7);
    hexagon->Draw();
    for (int y = hexagon->bounds.top; y < hexagon->bounds.bottom; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < 200; ++x)
            if (At(c, x, y) == 222) {
                if (first < 0) first = x;
                last = x;
            }
        ASSERT_GE(first, 0) << y;
        for (int x = first; x <= last; ++x) EXPECT_EQ(At(c, x, y), 222);  // no gaps in a row
    }
    hexagon->DrawOutline(5);
    for (const CCorPoint p : Corners(*hexagon)) EXPECT_EQ(At(c, p.x, p.y), 15);
}

TEST_F(PieceTest, PatternFillsLeaveTheLeftColumnAndLastRowAndWrapInThePattern) {
    AddPattern(80, 8, 6);  // smaller than the piece: read wrapping
    CShapeCanvas& c = *Canvas({0, 0, 120, 120});
    auto square = Piece(10, 0, {40, 30}, 16);
    square->Draw();
    const CCorRect b = square->bounds;  // (24, 14, 57, 47)
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool in = x > b.left && x < b.right && y >= b.top && y < b.bottom - 1;
            const int k = x - b.left - 1, j = y - b.top;
            ASSERT_EQ(At(c, x, y), in ? 100 + (k % 8 + 3 * (j % 6)) % 50 : 0) << x << "," << y;
        }
    // Moved, the piece shows the same part of its pattern.
    ClearCanvasRect(c.rect);
    square->MoveTo({70, 70});
    square->Draw();
    EXPECT_EQ(At(c, square->bounds.left + 1, square->bounds.top), 100);
    EXPECT_EQ(At(c, square->bounds.left + 3, square->bounds.top + 2), 100 + 2 + 6);
    // A pattern whose picture is missing draws nothing (the module's file holds all sixteen,
    // so the entry is pointed at an id the file lacks).
    ClearCanvasRect(c.rect);
    auto missing = Piece(10, 0, {40, 30}, 17);
    ASSERT_NE(ShapeDrawState().pieceTextures[1], nullptr);
    ShapeDrawState().pieceTextures[1]->picture = 79;
    missing->Draw();
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(At(c, x, y), 0);
}

// A piece turned across row 0 and pieces anywhere, off the screen too: fills and outlines write
// only inside the canvas, and the fill tables only their 480 rows.
TEST_F(PieceTest, PiecesAnywhereWriteOnlyInsideTheCanvas) {
    AddPattern(80, 16, 16);
    CShapeCanvas& c = *Canvas({-7, -9, 54, 471});
    auto across = Piece(15, 150, {10, 2}, 4);
    across->Draw();
    EXPECT_LT(across->bounds.top, 0);
    EXPECT_EQ(At(c, 10, 0), 219);
    EXPECT_EQ(At(c, 10, -1), 0);  // rows above 0 are not filled
    auto patterned = Piece(15, 300, {30, 5}, 16);
    patterned->Draw();
    EXPECT_TRUE(PaddingClean(c));

    std::mt19937 rng(11);
    for (int i = 0; i < 300; ++i) {
        const bool wide = i % 3 == 0;
        auto coord = [&] {
            return static_cast<int16_t>(wide ? std::uniform_int_distribution<int>(-32700, 32700)(rng)
                                             : std::uniform_int_distribution<int>(-60, 540)(rng));
        };
        const int16_t id = AllIds()[static_cast<size_t>(i) % 12];
        auto p = Piece(id, static_cast<int16_t>(150 * (i % 24)), {coord(), coord()}, static_cast<int16_t>(i % 2 ? i % 8 : 16));
        p->Draw();
        p->DrawOutline(static_cast<int16_t>(i % 50));
    }
    EXPECT_TRUE(PaddingClean(c));
}

}  // namespace
