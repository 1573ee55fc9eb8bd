#include "media/surface/dirty_rect_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<RECT> Listed(const CDirtyRectList& l) {
    return std::vector<RECT>(l.begin(), l.end());
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct AddCase {
    const char* name;
    std::vector<RECT> added;
    std::vector<RECT> expected;  // in list order
};

class DirtyRectAdd : public ::testing::TestWithParam<AddCase> {};

TEST_P(DirtyRectAdd, MergesOverlapsOnly) {
    CDirtyRectList list(640, 480);
    for (const RECT& r : GetParam().added) list.Add(r);
    const std::vector<RECT> got = Listed(list);
    ASSERT_EQ(got.size(), GetParam().expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        const RECT& g = got[i];
        const RECT& e = GetParam().expected[i];
        EXPECT_TRUE(Same(g, e)) << i << ": {" << g.left << "," << g.top << "," << g.right << "," << g.bottom << "}";
    }
    // The invariant: no two listed rectangles share area.
    for (size_t i = 0; i < got.size(); ++i)
        for (size_t j = i + 1; j < got.size(); ++j) {
            const bool overlap = std::max(got[i].left, got[j].left) < std::min(got[i].right, got[j].right) &&
                                 std::max(got[i].top, got[j].top) < std::min(got[i].bottom, got[j].bottom);
            EXPECT_FALSE(overlap) << i << " and " << j;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DirtyRectAdd,
    ::testing::Values(
        AddCase{"TouchingKeptApart", {{0, 0, 10, 10}, {10, 0, 20, 10}}, {{0, 0, 10, 10}, {10, 0, 20, 10}}},
        AddCase{"TouchingBelowKeptApart", {{0, 0, 10, 10}, {0, 10, 10, 20}}, {{0, 0, 10, 10}, {0, 10, 10, 20}}},
        // The bridge meets both: the union with the first reaches the second, which the
        // restart from the head then merges too.
        AddCase{"Cascade", {{0, 0, 10, 10}, {20, 0, 30, 10}, {5, 0, 25, 10}}, {{0, 0, 30, 10}}},
        // The union of the new rectangle with the second grows into the first, which it did
        // not meet before.
        AddCase{"UnionGrowsIntoEarlier", {{0, 0, 12, 2}, {20, 0, 30, 10}, {11, 5, 25, 8}}, {{0, 0, 30, 10}}},
        AddCase{"ContainedDisappears", {{0, 0, 100, 100}, {10, 10, 20, 20}}, {{0, 0, 100, 100}}},
        AddCase{"EmptyIgnored", {{5, 5, 5, 10}, {7, 7, 3, 9}}, {}},
        AddCase{"OutsideClientIgnored", {{640, 0, 700, 10}, {-20, -20, 0, 5}}, {}},
        AddCase{"ClippedToClient", {{-10, 470, 20, 500}}, {{0, 470, 20, 480}}},
        AddCase{"DisjointKeepOrder", {{100, 100, 110, 110}, {0, 0, 5, 5}}, {{100, 100, 110, 110}, {0, 0, 5, 5}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DirtyRectList, IntersectsAndClipUnion) {
    CDirtyRectList list;
    list.Add(RECT{0, 0, 10, 10});
    list.Add(RECT{50, 50, 60, 60});
    EXPECT_TRUE(list.Intersects(RECT{9, 9, 12, 12}));
    EXPECT_FALSE(list.Intersects(RECT{10, 0, 20, 10}));  // a shared edge is not an intersection
    const RECT u = list.ClipUnion(RECT{5, 5, 55, 55});
    EXPECT_TRUE(Same(u, RECT{5, 5, 55, 55}));
    const RECT none = list.ClipUnion(RECT{20, 20, 30, 30});
    EXPECT_TRUE(Same(none, RECT{}));
    EXPECT_EQ(list.GetCount(), 2u);  // unchanged
}

TEST(DirtyRectList, TakeUnionLeavesTheClippedUnion) {
    CDirtyRectList list(100, 100);
    list.Add(RECT{0, 0, 10, 10});
    list.Add(RECT{90, 90, 100, 100});
    EXPECT_TRUE(Same(list.TakeUnion(), RECT{0, 0, 100, 100}));
    ASSERT_EQ(list.GetCount(), 1u);
    EXPECT_TRUE(Same(*list.begin(), RECT{0, 0, 100, 100}));

    CDirtyRectList empty;
    EXPECT_TRUE(Same(empty.TakeUnion(), RECT{}));
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(DirtyRectList, ClipAllDropsWhatFallsOutside) {
    CDirtyRectList list;
    list.Add(RECT{0, 0, 10, 10});
    list.Add(RECT{20, 0, 30, 10});
    list.ClipAll(RECT{5, 0, 25, 10});
    std::vector<RECT> got = Listed(list);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(Same(got[0], RECT{5, 0, 10, 10}));
    EXPECT_TRUE(Same(got[1], RECT{20, 0, 25, 10}));
    list.ClipAll(RECT{200, 200, 300, 300});
    EXPECT_TRUE(list.IsEmpty());
}

TEST(DirtyRectList, AddMergedReturnsTheMergedPosition) {
    CDirtyRectList list;
    list.Add(RECT{0, 0, 10, 10});
    auto pos = list.AddMerged(RECT{5, 5, 15, 15});
    ASSERT_NE(pos, list.End());
    EXPECT_TRUE(Same(*pos, RECT{0, 0, 15, 15}));
    EXPECT_EQ(list.AddMerged(RECT{3, 3, 3, 3}), list.End());
}

}  // namespace
