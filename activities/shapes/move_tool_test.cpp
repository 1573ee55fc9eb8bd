// Snapping a piece put down: onto a neighbour's corner within 7 units when an edge beside it
// runs along the neighbour's (never turning it by 15 degrees or more), and onto the solution
// place of the smallest vertex jump within 10 units where it is the solution piece's shape.
#include "activities/shapes/move_tool.h"

#include <gtest/gtest.h>

#include "activities/shapes/shape_group.h"
#include "activities/shapes/shapes_test_support.h"

namespace {

using shapestest::Attach;
using shapestest::NewPiece;
using shapestest::Piece;

class SnapTest : public shapestest::ShapesHostTest {
protected:
    void TearDown() override {
        for (CShapePiece* s : list) delete s;
        list.Free();
        ShapesHostTest::TearDown();
    }
    CDynArray<CShapePiece*> list;
};

// A square and a triangle glued to each edge of a placed square (their places exact), dropped
// off their place by a displacement and a turn: snapped back exactly, or left where dropped.
TEST_F(SnapTest, ANeighbourWithin7UnitsAndUnder15DegreesPullsThePieceOn) {
    list.Add(NewPiece(10, 0, {300, 240}));
    list.Add(NewPiece(13, 600, {420, 120}));  // far away: never a candidate
    const struct {
        int16_t id;
        int edge;
        CCorPoint by;
        int16_t turn;
        bool snaps;
    } cases[] = {
        {10, 0, {0, 0}, 0, true},     {10, 1, {4, 5}, 0, true},    {12, 2, {-5, 4}, 0, true},  {12, 3, {7, 0}, 0, true},
        {10, 1, {-6, -3}, 0, true},   {10, 1, {8, 0}, 0, false},   {12, 0, {5, 5}, 0, false},  {10, 2, {0, 0}, 150, false},
        {12, 1, {2, 1}, 3450, false},
    };
    for (const auto& c : cases) {
        const auto placed = Attach(*list.GetAt(0), c.edge, c.id);
        ASSERT_NE(placed, nullptr);
        auto p = Piece(c.id, static_cast<int16_t>(placed->angle + c.turn), placed->GetPosition() + c.by);
        const CCorPoint dropped = p->GetPosition();
        const int16_t angle = p->angle;
        SnapToNeighbour(*p, list);
        if (c.snaps) {
            EXPECT_TRUE(IsSameShape(*p, *placed)) << c.id << " at edge " << c.edge;
            EXPECT_FALSE(p->Overlaps(*list.GetAt(0)));
        } else {
            EXPECT_EQ(p->GetPosition(), dropped) << c.id << " at edge " << c.edge << " by " << c.by.x << "," << c.by.y;
            EXPECT_EQ(p->angle, angle);
        }
    }
}

// The solution's two triangles (the rhombus of task 100): a triangle dropped within 10 units
// of a place where it fits lands there; the nearest place wins, of equal jumps the later; a
// place where it does not fit, or farther, leaves it.
TEST_F(SnapTest, TheSolutionPlaceOfTheSmallestJumpWithin10Units) {
    list.Add(NewPiece(12, 0, {300, 240}));
    list.Add(NewPiece(12, 600, {316, 231}));
    const struct {
        int16_t angle;
        CCorPoint at;
        int place;  // -1: stays
    } cases[] = {
        {0, {300, 240}, 0},   {0, {306, 248}, 0},   {0, {294, 232}, 0},  {600, {322, 223}, 1},
        {600, {309, 236}, 1}, {0, {311, 240}, -1},  {150, {300, 240}, -1}, {600, {316, 242}, -1},
    };
    for (const auto& c : cases) {
        auto p = Piece(12, c.angle, c.at);
        SnapToSolution(*p, list);
        if (c.place < 0)
            EXPECT_EQ(p->GetPosition(), c.at) << c.at.x << "," << c.at.y;
        else
            EXPECT_TRUE(IsSameShape(*p, *list.GetAt(static_cast<uint32_t>(c.place)))) << c.at.x << "," << c.at.y;
    }
    // Two solution places of the same shape one jump apart each way: the later wins.
    CDynArray<CShapePiece*> twins;
    twins.Add(NewPiece(10, 0, {290, 240}));
    twins.Add(NewPiece(10, 0, {298, 240}));
    auto p = Piece(10, 0, {294, 240});
    SnapToSolution(*p, twins);
    EXPECT_EQ(p->GetPosition(), (CCorPoint{298, 240}));
    for (CShapePiece* s : twins) delete s;
    twins.Free();
}

}  // namespace
