// The built Zelbo6.res checked with the game's own corner code (the resource generator cannot
// reach it): every piece outline of both sets closes exactly at all 24 turns, the larger kinds
// split into their parts exactly as the split tool lays them, the task records read whole, the
// pattern fills cover a turned piece with the pattern's own pixels, the piece sets and examples
// pass the check their restoring asks, and every level's tasks can be solved from their trays.
#include <gtest/gtest.h>

#include <set>

#include "activities/shapes/shape_group.h"
#include "activities/shapes/shape_target.h"
#include "activities/shapes/shapes_ids.h"
#include "activities/shapes/shapes_test_support.h"
#include "activities/shapes/snapshots.h"
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

std::vector<uint8_t> Item(uint32_t type, int16_t id) {
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(type, id, size);
    if (!copy) return {};
    std::vector<uint8_t> out(copy, copy + size);
    FreeResourceCopy(copy);
    return out;
}

bool Within(const CCorRect& inner, const CCorRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// The trays: one piece of each kind, its kind its slot, all in the tray's zone; the examples:
// whole pictures inside the drawing area. Each passes the check the restoring code asks.
TEST_F(ShapesData, PieceSetsAndExamplesPassTheCheck) {
    const CCorRect tray{185, 380, 635, 475};
    for (int16_t set : {shapes::kLargePieces, shapes::kSmallPieces}) {
        const auto bytes = Item(kResPLS, set);
        ASSERT_TRUE(media::CheckPieceList(bytes)) << media::PieceListFault(bytes);
        const media::PieceList list = media::ParsePieceList(bytes);
        EXPECT_EQ(list.setId, set);
        ASSERT_EQ(list.records.size(), 6u);
        CDynArray<CShapePiece*> pieces;
        CShapeTarget::ReadPieceList(list, pieces);
        for (int16_t k = 0; k < 6; ++k) {
            EXPECT_EQ(list.records[static_cast<size_t>(k)].kind, k);
            EXPECT_EQ(pieces.GetAt(static_cast<uint32_t>(k))->GetCornerTotal(), k == 5 ? 6 : k == 4 ? 5 : k == 2 ? 3 : 4);
            EXPECT_TRUE(Within(pieces.GetAt(static_cast<uint32_t>(k))->bounds, tray)) << set << " kind " << k;
            delete pieces.GetAt(static_cast<uint32_t>(k));
        }
        pieces.Free();
        for (int16_t n = 0; n < 3; ++n) {
            const auto example = Item(kResPLS, static_cast<int16_t>(shapes::kExamplePictures + set + n));
            ASSERT_TRUE(media::CheckPieceList(example, &shapes::kDrawArea)) << n << ": " << media::PieceListFault(example, &shapes::kDrawArea);
            CDynArray<CShapePiece*> picture;
            CShapeTarget::ReadPieceList(media::ParsePieceList(example), picture);
            EXPECT_GE(picture.GetSize(), 3u);
            for (CShapePiece* p : picture) {
                EXPECT_TRUE(Within(p->bounds, shapes::kDrawArea)) << "example " << n << " of set " << set;
                for (CShapePiece* q : picture) EXPECT_TRUE(p == q || !p->Overlaps(*q)) << "example " << n << " of set " << set;
            }
            for (CShapePiece* p : picture) delete p;
            picture.Free();
        }
    }
}

// Every level names a list of tasks; each task reads whole, is of a kind the scene shows, lies
// in the drawing area and can be solved: its tray offers every kind of its solution in the
// solution's fill, and its prompt is a sound of the module.
TEST_F(ShapesData, EveryLevelsTasksCanBeSolvedFromTheirTrays) {
    const auto table = Item(kResINN, shapes::kLevelTable);
    ASSERT_GE(table.size(), 2u);
    const int levels = table[0] | table[1] << 8;
    EXPECT_EQ(levels, shapes::kLevelCount);
    ASSERT_EQ(table.size(), 2u + 2u * static_cast<size_t>(levels));
    for (int level = 1; level <= levels; ++level) {
        const int offset = table[2 * static_cast<size_t>(level)] | table[2 * static_cast<size_t>(level) + 1] << 8;
        const auto list = Item(kResINN, static_cast<int16_t>(shapes::kLevelTable + offset));
        ASSERT_GE(list.size(), 4u) << "level " << level;
        const int n = list[0] | list[1] << 8;
        ASSERT_EQ(list.size(), 2u + 2u * static_cast<size_t>(n)) << "level " << level;
        for (int t = 1; t <= n; ++t) {
            const int16_t id = static_cast<int16_t>(list[2 * static_cast<size_t>(t)] | list[2 * static_cast<size_t>(t) + 1] << 8);
            const auto bytes = Item(kResBPB, id);
            ASSERT_FALSE(bytes.empty()) << "BPB " << id;
            const media::TaskRecord task = media::ParseTaskRecord(bytes);
            EXPECT_FALSE(task.damaged) << id;
            EXPECT_TRUE(task.Kind() == 0 || task.Kind() == kTaskByColours) << id;
            ASSERT_FALSE(task.solution.records.empty()) << id;
            EXPECT_NE(Item(kResSND, static_cast<int16_t>(task.words[10])).size(), 0u) << id;
            EXPECT_EQ(task.words[11], 0) << id;
            for (const auto& r : task.solution.records) {
                ASSERT_GE(r.kind, 0);
                ASSERT_LE(r.kind, 5);
                EXPECT_GT(task.words[37 + static_cast<size_t>(r.kind)], 0) << id << ": no tray of kind " << r.kind;
                EXPECT_EQ(task.words[43 + static_cast<size_t>(r.kind)], r.fill) << id << ": the tray's fill of kind " << r.kind;
            }
            CShapeGroup outline;
            outline.ReadChildren(task.solution.records.data(), static_cast<int32_t>(task.solution.records.size()),
                                 static_cast<int16_t>(task.solution.setId));
            EXPECT_TRUE(Within(outline.bounds, shapes::kDrawArea)) << id;
            EXPECT_EQ(outline.loopEnds.GetSize(), 1u) << id;  // one shape, no holes
            for (int32_t i = 0; i < outline.ChildCount(); ++i)
                for (int32_t j = 0; j < i; ++j) EXPECT_FALSE(outline.GetChild(i)->Overlaps(*outline.GetChild(j))) << id;
        }
    }
}

}  // namespace
