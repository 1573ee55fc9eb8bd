// The built Zelbo6.res checked with the game's own corner code (the resource generator cannot
// reach it): every piece outline of both sets closes exactly at all 24 turns, the larger kinds
// split into their parts exactly as the split tool lays them, the task records read whole, and
// the pattern fills cover a turned piece with the pattern's own pixels.
#include <gtest/gtest.h>

#include <set>

#include "activities/shapes/shape_group.h"
#include "activities/shapes/shapes_test_support.h"
#include "engine/toolbox/aliases.h"
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

// Every pattern fill (16 to 31) of a turned hexagon writes, at each pixel of a row inside the
// piece, a pixel of its picture (80 to 95) and never the transparent 0.
TEST_F(ShapesData, PatternFillsCoverAPieceWithTheirPicture) {
    CShapeCanvas& c = *Canvas({200, 150, 440, 330});
    for (int16_t fill = 16; fill <= 31; ++fill) {
        ClearCanvasRect(c.rect);
        const auto p = Piece(15, 150, {320, 240}, fill);
        p->Draw();
        const int16_t picture = static_cast<int16_t>(fill + 64);
        int16_t w = 0, h = 0;
        GetPictureSize(picture, w, h);
        ASSERT_EQ(w, 128) << picture;
        const uint8_t* pattern = LockPictureData(picture);
        ASSERT_NE(pattern, nullptr);
        std::set<uint8_t> colours(pattern, pattern + static_cast<size_t>(GetPictureStride(picture)) * h);
        UnlockPictureData(picture);
        colours.erase(0);  // row padding
        int inside = 0;
        for (int y = p->bounds.top; y < p->bounds.bottom - 1; ++y)
            for (int x = p->bounds.left; x < p->bounds.right; ++x) {
                // Off the outline by a pixel each way: surely inside the fill's spans.
                bool deep = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        deep = deep && p->ContainsPoint({static_cast<int16_t>(x + dx), static_cast<int16_t>(y + dy)});
                if (!deep) continue;
                ++inside;
                ASSERT_TRUE(colours.contains(At(c, x, y))) << "fill " << fill << " at " << x << "," << y << ": " << int{At(c, x, y)};
            }
        EXPECT_GT(inside, 1500) << fill;
    }
}

}  // namespace
