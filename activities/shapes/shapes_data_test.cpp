// The built Zelbo6.res checked with the game's own corner code (the resource generator cannot
// reach it): every piece outline of both sets closes exactly at all 24 turns, the larger kinds
// split into their parts exactly as the split tool lays them, and the task records read whole.
#include <gtest/gtest.h>

#include "activities/shapes/shape_group.h"
#include "activities/shapes/shapes_test_support.h"
#include "engine/toolbox/geometry.h"
#include "engine/toolbox/resource_copies.h"
#include "media/res/res_mgr.h"

namespace {

using shapestest::Piece;
using ShapesData = shapestest::ShapesHostTest;

TEST_F(ShapesData, EveryOutlineClosesAtEveryTurn) {
    for (int16_t set : {10, 20})
        for (int16_t kind = 0; kind <= 5; ++kind) {
            const int16_t id = static_cast<int16_t>(set + kind);
            for (int16_t angle = 0; angle < 3600; angle += 150) {
                const auto p = Piece(id, angle, {320, 240});
                ASSERT_GE(p->GetCornerTotal(), 3) << id;
                // The corner the last stored pair leads to, as BuildCorners steps: it is the first.
                const ShapeEdge& last = *p->edges.At(static_cast<int>(p->edges.GetSize() - 1));
                const int16_t d = static_cast<int16_t>((last.direction + angle) % 3600);
                const CCorPoint back{static_cast<int16_t>((last.start.x * 256 + Cos256(d) * last.length + 128) >> 8),
                                     static_cast<int16_t>((last.start.y * 256 - Sin256(d) * last.length + 128) >> 8)};
                EXPECT_EQ(back, p->GetCorner(0)) << id << " at " << angle;
                EXPECT_EQ(last.length, set == 10 ? 32 : 24);
            }
        }
}

// Each split part turned so that its edge b runs along the piece's edge a, and moved so that
// its vertex b' lies on the piece's vertex a': together the parts are the piece's shape.
TEST_F(ShapesData, TheLargerKindsSplitExactlyIntoTheirParts) {
    const struct {
        int16_t kind, part, a, b, va, vb;
    } table[] = {{3, 2, 0, 0, 0, 0}, {3, 2, 2, 0, 2, 0}, {4, 3, 0, 3, 0, 3}, {4, 2, 1, 0, 1, 0}, {5, 4, 0, 0, 0, 0}, {5, 4, 3, 0, 3, 0}};
    for (int16_t set : {10, 20})
        for (int16_t kind = 3; kind <= 5; ++kind)
            for (int16_t angle = 0; angle < 3600; angle += 150) {
                const auto p = Piece(static_cast<int16_t>(set + kind), angle, {320, 240});
                CShapeGroup parts;
                for (const auto& row : table) {
                    if (row.kind != kind) continue;
                    auto* part = new CShapePiece(static_cast<int16_t>(set + row.part));
                    const int32_t turn = (p->edges.At(row.a)->direction + p->angle) % 3600 - part->edges.At(row.b)->direction % 3600;
                    part->SetAngle(static_cast<int16_t>(part->angle + turn));
                    part->MoveTo(part->GetPosition() + (p->GetCorner(row.va) - part->GetCorner(row.vb)));
                    parts.AddChild(part);
                }
                EXPECT_TRUE(IsSameShape(parts, *p)) << "kind " << kind << " of set " << set << " at " << angle;
                EXPECT_EQ(parts.loopEnds.GetSize(), 1u);
            }
}

TEST_F(ShapesData, TaskRecordsReadWhole) {
    for (int16_t id = 100; id <= 105; ++id) {
        uint32_t size = 0;
        uint8_t* copy = LoadResourceCopy(kResBPB, id, size);
        ASSERT_NE(copy, nullptr) << id;
        const media::TaskRecord task = media::ParseTaskRecord(std::span<const uint8_t>(copy, size));
        FreeResourceCopy(copy);
        EXPECT_FALSE(task.damaged) << id;
        EXPECT_EQ(media::TaskRecordBytes(task).size(), size) << id;
        EXPECT_FALSE(task.solution.records.empty()) << id;
        EXPECT_LE(task.Kind(), 3);
    }
}

}  // namespace
