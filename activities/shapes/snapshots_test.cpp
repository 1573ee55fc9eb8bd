// Pictures as piece lists: a snapshot of shapes and the shapes a list makes again, and lists
// from outside refused whole, with a trace line, when they cannot be restored as they stand.
#include "activities/shapes/snapshots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "activities/shapes/shape_group.h"
#include "activities/shapes/shape_target.h"
#include "activities/shapes/shapes_test_support.h"
#include "media/util/mono_debug.h"
#include "platform/mci/debug_display.h"

namespace {

using shapestest::Attach;
using shapestest::NewPiece;
using shapes::kDrawArea;
using Bytes = std::vector<uint8_t>;

class SnapshotTest : public shapestest::ShapesHostTest {
protected:
    void TearDown() override {
        for (CShapePiece* s : shapes) delete s;
        for (CShapePiece* s : again) delete s;
        shapes.Free();
        again.Free();
        ShapesHostTest::TearDown();
    }
    CDynArray<CShapePiece*> shapes, again;
};

TEST_F(SnapshotTest, AnEmptyPictureIsItsSetAndNoRecord) {
    const Bytes block = media::PieceListBytes(shapes::SnapshotOf(20, shapes));
    EXPECT_EQ(block, (Bytes{20, 0, 0, 0}));
}

// A piece, a group of three and a piece: six records, the group's m 3 and its members after it;
// the list makes the same shapes again, which give the same snapshot.
TEST_F(SnapshotTest, AGroupTakesOneRecordAndOneForEachMember) {
    shapes.Add(NewPiece(10, 300, {150, 60}, 3));
    auto* group = new CShapeGroup;
    CShapePiece* first = NewPiece(12, 0, {300, 240}, 5);
    group->AddChild(Attach(*first, 1, 12, 5).release());
    group->AddChild(Attach(*first, 2, 12, 5).release());
    group->AddChild(first);
    group->SetFill(-1);  // marked: every member marked
    shapes.Add(group);
    shapes.Add(NewPiece(15, 150, {500, 200}, 24));

    const media::PieceList list = shapes::SnapshotOf(10, shapes);
    ASSERT_EQ(list.records.size(), 6u);
    EXPECT_EQ(list.records[0], (media::PieceRecord{0, 3, 150, 60, 300}));
    EXPECT_EQ(list.records[1], (media::PieceRecord{-1, -1, group->position.x, group->position.y, 3}));
    for (int i = 2; i <= 4; ++i) {
        EXPECT_EQ(list.records[static_cast<size_t>(i)].kind, 2);
        EXPECT_EQ(list.records[static_cast<size_t>(i)].fill, 13);
    }
    EXPECT_EQ(list.records[4].x, 300);  // the first triangle, added last
    EXPECT_EQ(list.records[4].y, 240);
    EXPECT_EQ(list.records[4].angle, 0);
    EXPECT_EQ(list.records[5], (media::PieceRecord{5, 24, 500, 200, 150}));
    const Bytes block = media::PieceListBytes(list);
    EXPECT_EQ(block.size(), 4u + 10 * 6);
    EXPECT_TRUE(media::CheckPieceList(block, &kDrawArea));

    const auto read = shapes::AcceptPieceList(block, &kDrawArea, "test");
    ASSERT_TRUE(read.has_value());
    CShapeTarget::ReadPieceList(*read, again);
    ASSERT_EQ(again.GetSize(), 3u);
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(IsSameShape(*again.GetAt(i), *shapes.GetAt(i))) << i;
        EXPECT_EQ(again.GetAt(i)->fill, shapes.GetAt(i)->fill) << i;
    }
    EXPECT_EQ(shapes::SnapshotOf(10, again).records, list.records);
    EXPECT_EQ(shapes::SnapshotOf(10, again).records[1].x, group->position.x);
}

// Refused lists are named in the trace with their fault, one line each; a sound one is not.
TEST_F(SnapshotTest, RefusedListsAreNamedInTheTrace) {
    const std::filesystem::path trace = std::filesystem::path(::testing::TempDir()) / "snapshots_trace.txt";
    const Bytes good = media::PieceListBytes({10, {{2, 0, 300, 240, 0}}, false});
    Bytes kind7 = good;
    kind7[4] = 7;
    plat::SetTraceTarget(trace.string());
    MonoDebugOpen();
    EXPECT_TRUE(shapes::AcceptPieceList(good, &kDrawArea, "picture file"));
    EXPECT_FALSE(shapes::AcceptPieceList(kind7, &kDrawArea, "slot 3"));
    EXPECT_FALSE(shapes::AcceptPieceList(Bytes{10, 0, 1}, nullptr, "PLS 10"));
    MonoDebugClose();
    plat::SetTraceTarget(std::nullopt);
    std::ifstream in(trace, std::ios::binary);
    std::string lines, line;
    while (std::getline(in, line))
        if (line.rfind("shapes: ", 0) == 0) lines += line + "\n";
    EXPECT_EQ(lines, "shapes: refused slot 3: a piece kind outside 0 to 5\nshapes: refused PLS 10: shorter than its header\n");
    std::filesystem::remove(trace);
}

}  // namespace
