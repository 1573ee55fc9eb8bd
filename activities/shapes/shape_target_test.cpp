// Puzzle targets on a started engine in module 6 (the built file's tasks): the check's table,
// the lists read from the record, guide lines, the reference board, the asked-for marker, the
// outline's styles, taking shapes out of the lists, and damaged records.
#include "activities/shapes/shape_target.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "activities/shapes/shapes.h"
#include "activities/shapes/shapes_test_support.h"
#include "engine/scene/module_host.h"
#include "engine/toolbox/activity_test_support.h"
#include "media/util/mono_debug.h"
#include "platform/mci/debug_display.h"

namespace {

using shapestest::NewPiece;
using shapestest::Piece;

class TargetTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        UseBuiltFile(kShapesModule);
        EnterModule(kShapesModule, ModuleHostTable(kShapesModule));
    }
    void TearDown() override {
        SelectCanvas(nullptr);
        ActivityTest::TearDown();
    }

    // Owned copies of shapes the test places, as the scene's list holds them.
    CDynArray<CShapePiece*> Placed(std::initializer_list<CShapePiece*> shapes) {
        CDynArray<CShapePiece*> list;
        for (CShapePiece* s : shapes) {
            owned.emplace_back(s);
            list.Add(s);
        }
        return list;
    }
    static size_t Count(const CDynArray<CShapePiece*>& list) { return list.GetSize(); }

    CShapesModule module;
    std::vector<std::unique_ptr<CShapePiece>> owned;
};

TEST_F(TargetTest, CheckSolutionTable) {
    CShapeTarget rhombus(100);    // kind 0: triangles (300, 240) at 0 and (316, 231) at 600, fill 0
    CShapeTarget colours(101);    // kind 2: rhombus fill 4, two triangles fill 0
    ASSERT_EQ(Count(rhombus.solutionPieces), 2u);
    ASSERT_EQ(colours.Kind(), 2);
    const struct {
        const char* name;
        CShapeTarget* target;
        std::vector<CShapePiece*> placed;
        bool passes;
    } cases[] = {
        {"twins", &rhombus, {NewPiece(12, 600, {316, 231}), NewPiece(12, 0, {300, 240})}, true},
        {"an extra piece", &rhombus, {NewPiece(12, 600, {316, 231}), NewPiece(12, 0, {300, 240}), NewPiece(10, 0, {50, 50})}, false},
        {"a wrong fill", &rhombus, {NewPiece(12, 600, {316, 231}), NewPiece(12, 0, {300, 240}, 1)}, false},
        {"one moved a pixel", &rhombus, {NewPiece(12, 600, {316, 231}), NewPiece(12, 0, {301, 240})}, false},
        {"the rhombus piece in their place", &rhombus, {NewPiece(13, 0, {308, 235})}, false},
        {"colours anywhere", &colours, {NewPiece(12, 0, {50, 50}), NewPiece(15, 0, {400, 400}, 4), NewPiece(10, 0, {90, 90})}, true},
        {"colours, one wrong", &colours, {NewPiece(12, 0, {50, 50}, 1), NewPiece(15, 0, {400, 400}, 4), NewPiece(10, 0, {90, 90})}, false},
        // Marked and patterned fills count together, never as a colour of 0 to 7.
        {"colours, marked", &colours, {NewPiece(12, 0, {50, 50}, 8), NewPiece(15, 0, {400, 400}, 4), NewPiece(10, 0, {90, 90}, 8)}, false},
        {"colours, patterns", &colours, {NewPiece(12, 0, {50, 50}, 16), NewPiece(15, 0, {400, 400}, 4), NewPiece(10, 0, {90, 90}, 31)}, false},
        {"colours, one short", &colours, {NewPiece(15, 0, {400, 400}, 4), NewPiece(10, 0, {90, 90})}, false},
    };
    uint16_t fails = 0;
    for (const auto& c : cases) {
        CDynArray<CShapePiece*> list;
        for (CShapePiece* s : c.placed) {
            owned.emplace_back(s);
            list.Add(s);
        }
        const uint16_t before = c.target->failedChecks;
        EXPECT_EQ(c.target->CheckSolution(list), c.passes ? 1 : 0) << c.name;
        EXPECT_EQ(c.target->failedChecks, before + (c.passes ? 0 : 1)) << c.name;
        fails = static_cast<uint16_t>(fails + (c.passes ? 0 : 1));
    }
    EXPECT_EQ(rhombus.failedChecks + colours.failedChecks, fails);

    // A group glued from the solution pieces is one shape: it does not stand in for two.
    CShapeGroup* glued = new CShapeGroup;
    glued->AddChild(NewPiece(12, 0, {300, 240}));
    glued->AddChild(NewPiece(12, 600, {316, 231}));
    EXPECT_EQ(rhombus.CheckSolution(Placed({glued})), 0);

    // Groups' own fills fall in the other entry of the colour count, compared like the rest.
    CDynArray<CShapePiece*> groups;
    groups.Add(glued);
    EXPECT_FALSE(SolvesTask(2, colours.solutionPieces, groups));
    CDynArray<CShapePiece*> empty;
    EXPECT_TRUE(SolvesTask(0, empty, empty));
    EXPECT_TRUE(SolvesTask(2, empty, empty));
    CShapeTarget none(999);  // no record: an empty target
    EXPECT_EQ(none.CheckSolution(empty), 1);
    EXPECT_EQ(none.failedChecks, 0);
}

TEST_F(TargetTest, ListsGuidesBoardAndMarker) {
    CShapeTarget guides(104);
    EXPECT_EQ(guides.gridSprites.GetSize(), 2u);  // the slanted line makes nothing
    const auto vertical = SpritesShowing(shapes::kGuideBarVertical);
    const auto horizontal = SpritesShowing(shapes::kGuideBarHorizontal);
    ASSERT_EQ(vertical.size(), 1u);
    ASSERT_EQ(horizontal.size(), 1u);
    EXPECT_EQ(GetSpriteX(vertical[0]), 299);
    EXPECT_EQ(GetSpriteY(vertical[0]), 150);
    EXPECT_EQ(GetSpriteX(horizontal[0]), 220);
    EXPECT_EQ(GetSpriteY(horizontal[0]), 239);
    ASSERT_NE(guides.outlineSprite, nullptr);
    // The outline lies behind the guide lines.
    const auto sprites = Sprites();
    size_t outlineAt = 0, guideAt = 0;
    for (const auto& s : sprites) {
        if (s.picture == static_cast<int16_t>(guides.outlineCanvas->picture)) outlineAt = s.order;
        if (s.picture == shapes::kGuideBarVertical) guideAt = s.order;
    }
    EXPECT_LT(outlineAt, guideAt);
    EXPECT_EQ(guides.referenceStatic, 0);
    EXPECT_EQ(guides.markerSprite, nullptr);

    CShapeTarget marking(102);
    EXPECT_EQ(Count(marking.referencePieces), 1u);
    EXPECT_EQ(Count(marking.startPieces), 2u);
    EXPECT_NE(marking.referenceStatic, 0);
    EXPECT_TRUE(marking.IsReferencePiece(*Piece(10, 0, {300, 240}, 5)));
    EXPECT_FALSE(marking.IsReferencePiece(*Piece(12, 0, {360, 240})));
    EXPECT_TRUE(marking.IsSolutionPiece(*Piece(10, 0, {300, 240})));
    EXPECT_FALSE(marking.IsSolutionPieceWithFill(*Piece(10, 0, {300, 240})));
    EXPECT_TRUE(marking.IsSolutionPieceWithFill(*Piece(10, 0, {300, 240}, 8)));
    EXPECT_FALSE(marking.IsSolutionPiece(*Piece(10, 0, {301, 240})));
    EXPECT_EQ(marking.outlineStyle, 2);
    EXPECT_EQ(marking.markerSprite, nullptr);

    CShapeTarget withStart(103);  // kind 3: the second triangle is asked for
    ASSERT_NE(withStart.markerSprite, nullptr);
    const auto asked = Piece(12, 600, {316, 231});
    EXPECT_EQ(GetSpriteX(withStart.markerSprite), asked->bounds.left);
    EXPECT_EQ(GetSpriteY(withStart.markerSprite), asked->bounds.bottom + 5);
    ASSERT_EQ(withStart.outline->ChildCount(), 1);  // only what the start lacks is outlined
    EXPECT_TRUE(IsSameShape(*withStart.outline->GetChild(0), *asked));
    EXPECT_EQ(withStart.outline->GetChild(0)->fill, 2);
    EXPECT_EQ(static_cast<const void*>(withStart.startBlock.data()),
              static_cast<const void*>(withStart.record.data() + withStart.task.startOffset));
    EXPECT_EQ(media::ParsePieceList(withStart.startBlock).records.size(), 1u);
}

TEST_F(TargetTest, TheOutlineAndItsStyles) {
    CShapeTarget ring(105);
    ASSERT_NE(ring.outline, nullptr);
    EXPECT_EQ(ring.outline->loopEnds.GetSize(), 2u);
    EXPECT_EQ(ring.outline->GetCornerTotal(), 12);
    ASSERT_NE(ring.outlineCanvas, nullptr);
    EXPECT_EQ(ring.outlineCanvas->rect, ring.outline->bounds);
    EXPECT_EQ(GetSpriteX(ring.outlineSprite), ring.outline->bounds.left);
    EXPECT_EQ(ring.outlineStyle, 1);
    EXPECT_EQ(GetCurrentCanvas(), nullptr);  // the canvas found is selected again

    SelectCanvas(ring.outlineCanvas);
    auto pixel = [&](int16_t x, int16_t y) { return shapestest::CanvasAt(*ring.outlineCanvas, x, y); };
    const CCorPoint corner = ring.outline->GetCorner(0);
    EXPECT_EQ(pixel(corner.x, corner.y), 10);  // outline colour 0 is palette index 10
    EXPECT_EQ(pixel(284, 200), 0);             // an inner edge: not drawn in style 1
    EXPECT_EQ(pixel(284, 240), 10);            // the hole's edge
    ring.outlineCanvas->pixels[0] = 77;  // a mark the same style leaves alone
    SelectCanvas(nullptr);
    ring.SetOutlineStyle(1);
    SelectCanvas(ring.outlineCanvas);
    EXPECT_EQ(ring.outlineCanvas->pixels[0], 77);
    SelectCanvas(nullptr);
    ring.SetOutlineStyle(3);  // every child's outline: the inner edges too
    SelectCanvas(ring.outlineCanvas);
    EXPECT_NE(ring.outlineCanvas->pixels[0], 77);
    EXPECT_EQ(pixel(284, 200), 10);
    SelectCanvas(nullptr);
    ring.SetOutlineStyle(0);
    SelectCanvas(ring.outlineCanvas);
    for (int16_t y = ring.outline->bounds.top; y < ring.outline->bounds.bottom; ++y)
        for (int16_t x = ring.outline->bounds.left; x < ring.outline->bounds.right; ++x) ASSERT_EQ(pixel(x, y), 0);
    SelectCanvas(nullptr);

    // Taking a solution piece out rebuilds the outline from the rest.
    ring.RemoveFromLists(*Piece(10, 0, {300, 208}));  // the ring opens
    EXPECT_EQ(Count(ring.solutionPieces), 7u);
    EXPECT_EQ(ring.outline->ChildCount(), 7);
    EXPECT_EQ(ring.outline->loopEnds.GetSize(), 1u);
    EXPECT_EQ(ring.outlineStyle, 0);
    // An entry of the lists itself may be the shape given.
    ring.RemoveFromLists(*ring.solutionPieces.GetAt(0));
    EXPECT_EQ(Count(ring.solutionPieces), 6u);
}

// Damaged records are read within their size; an empty solution makes no outline canvas.
TEST_F(TargetTest, DamagedRecordsMakeWhatTheyHold) {
    media::TaskRecord task;
    task.words[4] = 3;
    task.words[5] = 1;
    task.guides = {{100, 10, 100, 90}};
    task.reference = {10, {{0, 0, 300, 240, 0}}, false};
    task.start = {10, {{2, 0, 300, 240, 0}}, false};
    task.solution = {10, {{2, 0, 300, 240, 0}, {-1, 3, 0, 0, 2}, {2, 3, 316, 231, 600}, {0, 3, 100, 100, 0}}, false};
    const std::vector<uint8_t> whole = media::TaskRecordBytes(task);
    {
        CShapeTarget t(whole);
        EXPECT_EQ(Count(t.solutionPieces), 2u);
        EXPECT_EQ(t.outline->ChildCount(), 2);
    }
    for (size_t size = 0; size <= whole.size(); size += 3) {
        CShapeTarget t(std::span<const uint8_t>(whole.data(), size));
        EXPECT_LE(Count(t.solutionPieces), 2u);
        if (t.outline && t.outline->edges.IsEmpty()) {
            EXPECT_EQ(t.outlineCanvas, nullptr);
            EXPECT_EQ(t.outlineSprite, nullptr);
        }
    }
    // G, M and m far too large.
    std::vector<uint8_t> bad = whole;
    bad[114] = 0x7F;
    CShapeTarget manyGuides(bad);
    EXPECT_EQ(manyGuides.gridSprites.GetSize(), 1u);  // the one line present
    EXPECT_TRUE(manyGuides.solutionPieces.IsEmpty());
    bad = whole;
    const size_t solutionAt = whole.size() - (4 + 10 * 4);
    bad[solutionAt + 2] = 0x7F;
    bad[solutionAt + 3] = 0x7F;
    bad[solutionAt + 4 + 10 + 8] = 0x40;
    CShapeTarget big(bad);
    EXPECT_EQ(Count(big.solutionPieces), 2u);  // the triangle and a group of the rest
    EXPECT_EQ(static_cast<const CShapeGroup*>(big.solutionPieces.GetAt(1))->ChildCount(), 2);
    CShapeTarget empty(std::span<const uint8_t>{});
    EXPECT_EQ(empty.outline, nullptr);
    EXPECT_EQ(empty.outlineCanvas, nullptr);
}

}  // namespace

namespace {

// A module file of the test's own, entered by the test.
class TargetTraceTest : public activitytest::ActivityTest {
protected:
    CShapesModule module;
};

// Damaged items are read as far as they go and named in the trace, one line each.
TEST_F(TargetTraceTest, DamagedItemsAreNamedInTheTrace) {
    const std::filesystem::path trace = tmp / "trace.txt";
    media::TaskRecord task;
    task.solution = {10, {{2, 0, 300, 240, 0}, {2, 0, 316, 231, 600}}, false};
    std::vector<uint8_t> record = media::TaskRecordBytes(task);
    record.resize(record.size() - 5);  // the second solution piece cut
    std::vector<uint8_t> outline = media::PieceOutlineBytes({18, 2100}, std::vector<media::PiecePair>{{32, 0}, {32, 1200}, {32, 2400}, {32, 0}});
    outline.resize(outline.size() - 4);  // n says 5 pairs, 4 are there
    media::CResWriter w = EnteredModuleFile(kShapesModule);
    w.Add("BPB", 6100, record);
    w.Add("PN#", 6012, outline);
    UseModuleFile(kShapesModule, w);
    plat::SetTraceTarget(trace.string());
    MonoDebugOpen();
    EnterModule(kShapesModule, ModuleHostTable(kShapesModule));
    {
        CShapeTarget target(100);
        EXPECT_EQ(target.solutionPieces.GetSize(), 1u);
        ASSERT_EQ(target.solutionPieces.GetAt(0)->GetCornerTotal(), 3);  // the whole pairs of the outline
    }
    MonoDebugClose();
    plat::SetTraceTarget(std::nullopt);
    std::ifstream in(trace, std::ios::binary);
    std::string lines, line;
    while (std::getline(in, line))
        if (line.rfind("shapes: ", 0) == 0) lines += line + "\n";
    EXPECT_EQ(lines, "shapes: damaged BPB 100\nshapes: damaged PN# 12\n");
}

}  // namespace
