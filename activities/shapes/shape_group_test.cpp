// Groups: the merged outline and its loops (outer loop first), centres, shape identity, the
// group's fill and marking, taking children out, and seeded assemblies of pieces glued edge to
// edge whose outline encloses exactly their union.
#include "activities/shapes/shape_group.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "activities/shapes/shapes_test_support.h"
#include "platform/afx/message_box.h"

namespace {

using shapestest::Attach;
using shapestest::Corners;
using shapestest::NewPiece;
using shapestest::Piece;
using GroupTest = shapestest::ShapesHostTest;

struct Loop {
    uint32_t begin;
    uint32_t end;
};

std::vector<Loop> Loops(const CShapeGroup& g) {
    std::vector<Loop> out;
    uint32_t begin = 0;
    for (uint16_t end : g.loopEnds) {
        out.push_back({begin, end});
        begin = end;
    }
    return out;
}

// Each loop's edges run end to start, the last back to the first.
bool LoopsClose(const CShapeGroup& g) {
    for (const Loop& l : Loops(g))
        for (uint32_t i = l.begin; i < l.end; ++i) {
            const uint32_t next = i + 1 < l.end ? i + 1 : l.begin;
            if (g.edges.At(static_cast<int>(i))->end != g.edges.At(static_cast<int>(next))->start) return false;
        }
    return true;
}

// Even-odd over the loop's edges at a point (a ray to +x, half-open in y).
bool InsideLoop(const CShapeGroup& g, const Loop& l, double x, double y) {
    bool inside = false;
    for (uint32_t i = l.begin; i < l.end; ++i) {
        const ShapeEdge& e = *g.edges.At(static_cast<int>(i));
        const double y0 = e.start.y, y1 = e.end.y;
        if ((y0 > y) == (y1 > y)) continue;
        if (e.start.x + (y - y0) * (e.end.x - e.start.x) / (y1 - y0) > x) inside = !inside;
    }
    return inside;
}

bool InsideOutline(const CShapeGroup& g, double x, double y) {
    bool inside = false;
    for (const Loop& l : Loops(g)) inside ^= InsideLoop(g, l, x, y);
    return inside;
}

// Whether (x, y) lies within half a pixel of an edge of the shape.
bool NearEdge(const CShapePiece& s, double x, double y) {
    for (const ShapeEdge& e : s.edges) {
        const double ax = e.start.x, ay = e.start.y, bx = e.end.x, by = e.end.y;
        const double len2 = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
        const double t = len2 == 0 ? 0 : std::clamp(((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / len2, 0.0, 1.0);
        if (std::hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay))) < 0.5) return true;
    }
    return false;
}

// Even-odd over a shape's edges.
bool InsidePiece(const CShapePiece& p, double x, double y) {
    bool in = false;
    for (const ShapeEdge& e : p.edges) {
        const double y0 = e.start.y, y1 = e.end.y;
        if ((y0 > y) == (y1 > y)) continue;
        if (e.start.x + (y - y0) * (e.end.x - e.start.x) / (y1 - y0) > x) in = !in;
    }
    return in;
}

// Whether the two pieces' insides share a point of a half-pixel grid away from their edges
// (a sliver left by rounding too; the pieces' own overlap test sees crossings and containment).
bool InsidesMeet(const CShapePiece& a, const CShapePiece& b) {
    const double left = std::max(a.bounds.left, b.bounds.left), right = std::min(a.bounds.right, b.bounds.right);
    const double top = std::max(a.bounds.top, b.bounds.top), bottom = std::min(a.bounds.bottom, b.bounds.bottom);
    for (double y = top + 0.25; y < bottom; y += 0.5)
        for (double x = left + 0.25; x < right; x += 0.5)
            if (InsidePiece(a, x, y) && InsidePiece(b, x, y) && !NearEdge(a, x, y) && !NearEdge(b, x, y)) return true;
    return false;
}

// Counts the message boxes shown instead of showing them.
class CReports {
public:
    CReports()
        : m_saved(plat::SetMessageBoxHook([this](LPCSTR text, UINT, UINT) {
              texts.emplace_back(text);
              return IDOK;
          })) {}
    ~CReports() { plat::SetMessageBoxHook(m_saved); }
    std::vector<std::string> texts;

private:
    plat::MessageBoxHook m_saved;
};

TEST_F(GroupTest, TwoTrianglesMakeOneLoopOfFourCentredOnTheirBounds) {
    for (int16_t set : {10, 20}) {
        auto first = Piece(static_cast<int16_t>(set + 2), 0, {100, 100});
        auto second = Attach(*first, 1, static_cast<int16_t>(set + 2));
        ASSERT_NE(second, nullptr);
        CShapeGroup g;
        EXPECT_EQ(g.kind, -1);
        EXPECT_EQ(g.fill, kGroupUnmarked);
        g.AddChild(first.release());
        g.AddChild(second.release());
        EXPECT_EQ(g.edges.GetSize(), 4u);
        EXPECT_EQ(g.GetCornerTotal(), 4);
        EXPECT_EQ(std::vector<uint16_t>(g.loopEnds.begin(), g.loopEnds.end()), std::vector<uint16_t>{4});
        EXPECT_TRUE(LoopsClose(g));
        const CCorRect b = g.bounds;
        EXPECT_EQ(g.GetPosition(), (CCorPoint{static_cast<int16_t>(b.left + (b.right - b.left) / 2),
                                              static_cast<int16_t>(b.top + (b.bottom - b.top) / 2)}));
        EXPECT_DOUBLE_EQ(g.GetArea(), 2 * 1.7321);
    }
}

// Six triangles round a point: the six inner edges cancel, a loop of six remains, the same
// shape as the hexagon of the set.
TEST_F(GroupTest, SixTrianglesRoundAPointMakeTheHexagon) {
    for (int16_t set : {10, 20}) {
        std::vector<std::unique_ptr<CShapePiece>> t;
        t.push_back(Piece(static_cast<int16_t>(set + 2), 0, {200, 200}));
        const CCorPoint centre = t[0]->GetCorner(0);
        for (int k = 1; k < 6; ++k) {
            // The previous triangle's edge from the centre that no triangle shares yet.
            const CShapePiece& prev = *t.back();
            int edge = -1;
            for (int j = 0; j < 3; ++j) {
                const ShapeEdge& e = *prev.edges.At(j);
                if (e.start != centre && e.end != centre) continue;
                bool shared = false;
                for (const auto& other : t)
                    for (const ShapeEdge& f : other->edges) shared |= f.start == e.end && f.end == e.start;
                if (!shared) edge = j;
            }
            ASSERT_GE(edge, 0);
            t.push_back(Attach(prev, edge, static_cast<int16_t>(set + 2)));
            ASSERT_NE(t.back(), nullptr);
        }
        CShapeGroup g;
        for (auto& p : t) g.AddChild(p.release());
        EXPECT_EQ(g.edges.GetSize(), 6u) << set;
        EXPECT_EQ(g.loopEnds.GetSize(), 1u);
        EXPECT_TRUE(LoopsClose(g));
        // The hexagon of the set at the same place is the same shape.
        bool found = false;
        for (int i = 0; i < 6 && !found; ++i) {
            auto h = Piece(static_cast<int16_t>(set + 5), 0, {0, 0});
            h->MoveTo(h->GetPosition() + (g.GetCorner(0) - h->GetCorner(i)));
            found = IsSameShape(g, *h) != 0;
        }
        EXPECT_TRUE(found) << set;
    }
}

// Eight squares round a square hole: two loops, the outer one first whatever the order the
// children came in (chaining may close the hole first).
TEST_F(GroupTest, ARingPutsTheOuterLoopFirst) {
    std::vector<CCorPoint> cells;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            if (x != 1 || y != 1) cells.push_back({static_cast<int16_t>(116 + 32 * x), static_cast<int16_t>(116 + 32 * y)});
    std::mt19937 rng(5);
    for (int round = 0; round < 12; ++round) {
        std::shuffle(cells.begin(), cells.end(), rng);
        CShapeGroup g;
        for (const CCorPoint c : cells) g.AddChild(NewPiece(10, 0, c));
        ASSERT_EQ(Loops(g).size(), 2u);
        EXPECT_EQ(g.loopEnds.GetAt(0), 12);
        EXPECT_EQ(g.loopEnds.GetAt(1), 16);
        EXPECT_EQ(g.GetCornerTotal(), 12);
        EXPECT_TRUE(LoopsClose(g));
        EXPECT_EQ(g.bounds, (CCorRect{100, 100, 197, 197}));
        EXPECT_FALSE(g.ContainsPoint({148, 148}));  // the hole
        EXPECT_TRUE(g.ContainsPoint({110, 148}));
    }
}

// A chain that comes back to one of its own corners closes a loop there; the edges before that
// corner go on as the next chain. One outline of two squares meeting at a corner, walked from
// a corner away from the meeting point.
TEST_F(GroupTest, AChainTouchingItsOwnCornerClosesALoopThere) {
    media::PieceOutline figure;
    figure.lead = {10, 0};
    for (int16_t d : {900, 1800, 2700, 1800, 2700, 0, 900, 0}) figure.edges.push_back({32, d});
    CShapeGroup g;
    g.AddChild(new CShapePiece(10, figure));
    ASSERT_EQ(g.edges.GetSize(), 8u);
    EXPECT_EQ(std::vector<uint16_t>(g.loopEnds.begin(), g.loopEnds.end()), (std::vector<uint16_t>{4, 8}));
    EXPECT_TRUE(LoopsClose(g));
    // Both loops run through the meeting point.
    const CCorPoint meeting = g.GetCorner(0);
    int through = 0;
    for (const ShapeEdge& e : g.edges) through += e.start == meeting;
    EXPECT_EQ(through, 2);
}

TEST_F(GroupTest, IsSameShapeIgnoresFillStartOrderAndDirectionButNotAPixel) {
    auto a = Piece(10, 0, {100, 100}, 3);
    auto b = Piece(10, 0, {100, 100}, 6);
    EXPECT_TRUE(IsSameShape(*a, *b));
    // The same square as a group of two triangles? No: a rhombus of two triangles.
    auto t1 = Piece(12, 0, {100, 100});
    auto t2 = Attach(*t1, 1, 12);
    ASSERT_NE(t2, nullptr);
    CShapeGroup forward, backward;
    forward.AddChild(NewPiece(12, t1->angle, t1->GetPosition()));
    forward.AddChild(NewPiece(12, t2->angle, t2->GetPosition()));
    backward.AddChild(NewPiece(12, t2->angle, t2->GetPosition(), 5));
    backward.AddChild(NewPiece(12, t1->angle, t1->GetPosition(), 5));
    EXPECT_NE(Corners(forward), Corners(backward));
    EXPECT_TRUE(IsSameShape(forward, backward));
    // The rhombus piece of the set lies exactly on the two triangles.
    bool found = false;
    for (int16_t angle = 0; angle < 3600 && !found; angle += 150)
        for (int i = 0; i < 4 && !found; ++i) {
            auto r = Piece(13, angle, {0, 0});
            r->MoveTo(r->GetPosition() + (forward.GetCorner(0) - r->GetCorner(i)));
            found = IsSameShape(*r, forward) && IsSameShape(forward, *r);
        }
    EXPECT_TRUE(found);
    // Moved one pixel: different.
    backward.MoveTo(backward.GetPosition() + CCorPoint{1, 0});
    EXPECT_TRUE(IsDifferentShape(forward, backward));
    EXPECT_FALSE(IsSameShape(*a, *t1));  // edge counts differ
    // Empty shapes are the same shape.
    EXPECT_TRUE(IsSameShape(CShapeGroup(), CShapePiece(-1)));
}

TEST_F(GroupTest, FillMarkAndMovesReachTheChildrenTurnsDoNothing) {
    CShapeGroup g;
    g.AddChild(NewPiece(10, 0, {100, 100}, 2));
    g.AddChild(NewPiece(10, 0, {132, 100}, 4));
    g.SetMarked(1);
    EXPECT_EQ(g.fill, kGroupMarked);
    EXPECT_TRUE(g.IsMarked());
    EXPECT_EQ(g.GetChild(0)->fill, 10);
    EXPECT_EQ(g.GetChild(1)->fill, 12);
    g.SetMarked(0);
    EXPECT_EQ(g.fill, kGroupUnmarked);
    EXPECT_EQ(g.GetChild(0)->fill, 2);
    g.SetFill(3);
    EXPECT_EQ(g.GetChild(0)->fill, 3);
    EXPECT_EQ(g.GetChild(1)->fill, 3);
    g.SetMarked(1);
    EXPECT_EQ(g.fill, 11);
    EXPECT_EQ(g.GetChild(1)->fill, 11);
    g.SetFill(-9);
    EXPECT_EQ(g.GetChild(1)->fill, 3);
    for (const int16_t bad : {int16_t{-2}, int16_t{32}, int16_t{-32768}}) {
        g.SetFill(bad);
        EXPECT_EQ(g.fill, -9);
    }
    const std::vector<CCorPoint> before = Corners(g);
    const CCorPoint child = g.GetChild(1)->GetPosition();
    g.SetAngle(450);
    EXPECT_EQ(Corners(g), before);
    EXPECT_EQ(g.GetChild(1)->angle, 0);
    const CCorPoint step{5, -7};
    g.MoveTo(g.GetPosition() + step);
    EXPECT_EQ(g.GetChild(1)->GetPosition(), child + step);
    EXPECT_EQ(g.GetCorner(0), before[0] + step);
    g.RebuildOutline();
    EXPECT_EQ(g.GetCorner(0), before[0] + step);
}

TEST_F(GroupTest, RemoveChildAtRefusesPositionsNotBelowTheCount) {
    CReports reports;
    CShapeGroup g;
    g.AddChild(NewPiece(10, 0, {100, 100}));
    g.AddChild(NewPiece(12, 0, {200, 100}));
    for (const int32_t bad : {2, 3, -1}) EXPECT_EQ(g.RemoveChildAt(bad), nullptr);
    EXPECT_EQ(reports.texts, std::vector<std::string>(3, "invalid CDynArray position"));
    EXPECT_EQ(g.ChildCount(), 2);
    std::unique_ptr<CShapePiece> taken(g.RemoveChildAt(0));
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->kind, 0);
    EXPECT_EQ(g.ChildCount(), 1);
    EXPECT_EQ(g.edges.GetSize(), 7u);  // stale until rebuilt
    g.RebuildOutline();
    EXPECT_EQ(g.edges.GetSize(), 3u);
    EXPECT_EQ(g.GetChild(1), nullptr);
    EXPECT_EQ(g.GetChild(-1), nullptr);
}

TEST_F(GroupTest, EmptyGroupsAndGroupsWithoutLoopsAreEmptyShapes) {
    CShapeGroup empty;
    empty.RebuildOutline();
    EXPECT_EQ(empty.GetCornerTotal(), 0);
    EXPECT_EQ(empty.bounds, (CCorRect{}));
    EXPECT_EQ(empty.GetCorner(2), (CCorPoint{}));
    CShapeGroup noPieces;
    noPieces.AddChild(new CShapePiece(18));  // no outline
    EXPECT_EQ(noPieces.GetCornerTotal(), 0);
    EXPECT_TRUE(noPieces.edges.IsEmpty());
    EXPECT_EQ(noPieces.bounds, (CCorRect{}));
    CShapeCanvas& c = *Canvas({0, 0, 10, 10});
    empty.Draw();
    empty.DrawOutline(1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(At(c, x, y), 0);
}

TEST_F(GroupTest, CopyPiecesAndReadChildrenMakeNewChildren) {
    CShapeGroup inner;
    inner.AddChild(NewPiece(22, 0, {50, 50}, 2));
    inner.AddChild(NewPiece(22, 600, {80, 50}, 2));
    CDynArray<CShapePiece*> list;
    auto loose = Piece(25, 150, {200, 200}, 6);
    list.Add(loose.get());
    list.Add(&inner);
    CShapeGroup copy;
    copy.CopyPieces(list, 10);  // set 10: the bigger pieces
    ASSERT_EQ(copy.ChildCount(), 3);
    EXPECT_EQ(copy.GetChild(0)->kind, 5);
    EXPECT_EQ(copy.GetChild(0)->angle, 150);
    EXPECT_EQ(copy.GetChild(0)->GetPosition(), (CCorPoint{200, 200}));
    EXPECT_EQ(copy.GetChild(0)->fill, 6);
    EXPECT_EQ(copy.GetChild(0)->edges.At(0)->length, 32);
    EXPECT_EQ(copy.GetChild(2)->angle, 600);
    EXPECT_EQ(inner.ChildCount(), 2);  // the source is not changed

    const media::PieceRecord records[] = {{2, 1, 30, 40, 150}, {-1, 0, 0, 0, 0}, {0, 16, 90, 90, 0}};
    AddPattern(80, 4, 4);
    CShapeGroup read;
    read.ReadChildren(records, 3, 20);
    ASSERT_EQ(read.ChildCount(), 2);
    EXPECT_EQ(read.GetChild(0)->angle, 150);
    EXPECT_EQ(read.GetChild(0)->GetPosition(), (CCorPoint{30, 40}));
    EXPECT_EQ(read.GetChild(1)->fill, 16);
    EXPECT_EQ(read.loopEnds.GetSize(), 2u);
}

// Seeded assemblies of triangles and rhombi glued edge to edge: the outline's loops close,
// they enclose exactly the union of the pieces, loop 0 lies in no other loop, and the same
// pieces added in another order give the same shape.
TEST_F(GroupTest, SeededAssembliesEncloseExactlyTheirUnion) {
    std::mt19937 rng(19);
    size_t total = 0;
    for (int round = 0; round < 40; ++round) {
        const int16_t set = round % 2 ? 10 : 20;
        std::vector<std::unique_ptr<CShapePiece>> pieces;
        pieces.push_back(Piece(static_cast<int16_t>(set + 2 + round % 2), static_cast<int16_t>(150 * (round % 24)), {240, 240}));
        const int wanted = 2 + round % 9;
        for (int tries = 0; tries < 200 && static_cast<int>(pieces.size()) < wanted; ++tries) {
            const CShapePiece& to = *pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
            const int edge = std::uniform_int_distribution<int>(0, static_cast<int>(to.edges.GetSize()) - 1)(rng);
            const int16_t kind = std::uniform_int_distribution<int>(0, 1)(rng) ? 2 : 3;
            auto p = Attach(to, edge, static_cast<int16_t>(set + kind));
            if (!p) continue;
            bool clash = false;
            for (const auto& q : pieces) clash |= p->Overlaps(*q) != 0 || InsidesMeet(*p, *q);
            if (!clash) pieces.push_back(std::move(p));
        }
        total += pieces.size();
        CShapeGroup g, other;
        for (const auto& p : pieces) g.AddChild(NewPiece(static_cast<int16_t>(set + p->kind), p->angle, p->GetPosition()));
        std::vector<size_t> order(pieces.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::shuffle(order.begin(), order.end(), rng);
        for (size_t i : order)
            other.AddChild(NewPiece(static_cast<int16_t>(set + pieces[i]->kind), pieces[i]->angle, pieces[i]->GetPosition()));

        ASSERT_FALSE(g.loopEnds.IsEmpty());
        EXPECT_TRUE(LoopsClose(g)) << round;
        EXPECT_EQ(g.loopEnds.GetAt(static_cast<int>(g.loopEnds.GetSize() - 1)), g.edges.GetSize()) << round;
        EXPECT_TRUE(IsSameShape(g, other)) << round;
        const std::vector<Loop> loops = Loops(g);
        for (size_t l = 1; l < loops.size(); ++l)
            for (uint32_t i = loops[0].begin; i < loops[0].end; ++i) {
                const CCorPoint c = g.edges.At(static_cast<int>(i))->start;
                // A corner of loop 0 off loop l's edges lies outside loop l.
                bool onL = false;
                for (uint32_t j = loops[l].begin; j < loops[l].end; ++j) {
                    const ShapeEdge& e = *g.edges.At(static_cast<int>(j));
                    onL |= std::abs((e.end.x - e.start.x) * (c.y - e.start.y) - (e.end.y - e.start.y) * (c.x - e.start.x)) <= 64 &&
                           c.x >= std::min(e.start.x, e.end.x) - 1 && c.x <= std::max(e.start.x, e.end.x) + 1 &&
                           c.y >= std::min(e.start.y, e.end.y) - 1 && c.y <= std::max(e.start.y, e.end.y) + 1;
                }
                if (!onL) {
                    EXPECT_FALSE(InsideLoop(g, loops[l], c.x, c.y)) << round << " loop " << l;
                }
            }
        for (int k = 0; k < 400; ++k) {
            const double x = std::uniform_real_distribution<double>(g.bounds.left - 3, g.bounds.right + 3)(rng);
            const double y = std::uniform_real_distribution<double>(g.bounds.top - 3, g.bounds.bottom + 3)(rng);
            bool nearEdge = NearEdge(g, x, y);
            bool inChild = false;
            for (const auto& p : pieces) {
                nearEdge |= NearEdge(*p, x, y);
                inChild |= InsidePiece(*p, x, y);
            }
            if (nearEdge) continue;
            EXPECT_EQ(InsideOutline(g, x, y), inChild) << round << " at " << x << "," << y;
        }
    }
    EXPECT_GE(total, 200u);  // the assemblies grew: 2 to 10 pieces each
}

}  // namespace
