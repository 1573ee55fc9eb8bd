#include "media/res/level_table.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

using media::LevelGroup;
using media::LevelTable;

// Duravod's groups: 26 groups, 55 levels.
const std::vector<int16_t> kDuravodLevels = {2, 1, 3, 2, 2, 1, 2, 2, 3, 2, 2, 4, 3,
                                             2, 2, 1, 2, 1, 1, 2, 5, 6, 1, 1, 1, 1};

std::vector<LevelGroup> GroupsOf(const std::vector<int16_t>& levels, int16_t units = 1) {
    std::vector<LevelGroup> groups;
    for (int16_t n : levels) groups.push_back({units, n});
    return groups;
}

LevelTable Parsed(const std::vector<uint8_t>& bytes) {
    const auto t = media::ParseLevelTable(bytes);
    EXPECT_TRUE(t.has_value());
    return t.value_or(LevelTable{});
}

TEST(LevelTableTest, ReadsTheHeaderAndGroups) {
    const std::vector<LevelGroup> groups = {{2, 4}, {3, 1}, {1, 7}};
    const LevelTable t = Parsed(media::LevelTableBytes(2, 9, -4, 6, 30, groups));
    EXPECT_EQ(t.lastGroup, 2);
    EXPECT_EQ(t.unitHeight, 9);
    EXPECT_EQ(t.areaX, -4);
    EXPECT_EQ(t.areaY, 6);
    EXPECT_EQ(t.endMargin, 30);
    ASSERT_EQ(t.groups.size(), 3u);
    EXPECT_EQ(t.groups[1].units, 3);
    EXPECT_EQ(t.groups[1].levels, 1);
    EXPECT_EQ(t.groups[2].levels, 7);
}

struct ClampCase {
    int16_t n;
    int held;         // whole group records in the item
    int extraBytes;   // a partial record after them
    int expected;     // N read, -1: refused
};

class LevelTableClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(LevelTableClampTest, NStaysWithinTheSegmentsAndTheItem) {
    const ClampCase& c = GetParam();
    std::vector<uint8_t> bytes = media::LevelTableBytes(c.n, 8, 0, 0, 10, GroupsOf(std::vector<int16_t>(c.held, 2)));
    bytes.insert(bytes.end(), static_cast<size_t>(c.extraBytes), 0x7F);
    const auto t = media::ParseLevelTable(bytes);
    if (c.expected < 0) {
        EXPECT_FALSE(t.has_value());
        return;
    }
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->lastGroup, c.expected);
    EXPECT_EQ(t->groups.size(), static_cast<size_t>(c.expected) + 1);
    // Every group kept was read from the item, none from the partial record.
    for (const LevelGroup& g : t->groups) EXPECT_EQ(g.levels, 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, LevelTableClampTest,
                         ::testing::Values(ClampCase{25, 26, 0, 25}, ClampCase{30, 30, 0, 25},
                                           ClampCase{32767, 40, 0, 25}, ClampCase{0, 5, 0, 1},
                                           ClampCase{-7, 5, 0, 1}, ClampCase{3, 5, 0, 3},
                                           ClampCase{25, 10, 0, 9}, ClampCase{25, 10, 3, 9},
                                           ClampCase{1, 2, 0, 1}, ClampCase{5, 1, 2, -1},
                                           ClampCase{5, 0, 0, -1}));

TEST(LevelTableTest, RefusesAnItemShorterThanItsHeader) {
    const std::vector<uint8_t> bytes = media::LevelTableBytes(1, 8, 0, 0, 0, GroupsOf({1, 1}));
    for (size_t size = 0; size < media::kLevelTableHeaderBytes; ++size) {
        EXPECT_FALSE(media::ParseLevelTable(std::span(bytes).first(size)).has_value()) << size;
    }
}

TEST(LevelTableTest, GroupOfALevel) {
    const LevelTable t = Parsed(media::LevelTableBytes(25, 8, 0, 0, 10, GroupsOf(kDuravodLevels)));
    ASSERT_EQ(std::accumulate(kDuravodLevels.begin(), kDuravodLevels.end(), 0), 55);
    const struct {
        int32_t level;
        int16_t group;
    } cases[] = {{1, 0}, {2, 0}, {3, 1}, {4, 2}, {6, 2}, {7, 3}, {12, 6}, {49, 21}, {51, 21}, {52, 22},
                 {54, 24}, {55, 25}, {56, 25}, {1000, 25}, {0, 0}, {-3, 0}};
    for (const auto& c : cases) EXPECT_EQ(media::GroupOfLevel(t, c.level), c.group) << "level " << c.level;
}

TEST(LevelTableTest, FirstLevelOfAGroupGivesBackTheGroup) {
    const LevelTable t = Parsed(media::LevelTableBytes(25, 8, 0, 0, 10, GroupsOf(kDuravodLevels)));
    int32_t first = 1;
    for (int g = 0; g <= 25; ++g) {
        EXPECT_EQ(media::FirstLevelOfGroup(t, g), first) << "group " << g;
        EXPECT_EQ(media::GroupOfLevel(t, first), g) << "group " << g;
        first += kDuravodLevels[static_cast<size_t>(g)];
    }
    EXPECT_EQ(media::FirstLevelOfGroup(t, 40), 55);
    EXPECT_EQ(media::FirstLevelOfGroup(t, -1), 1);
}

TEST(LevelTableTest, FirstLevelStaysAPositive16BitLevel) {
    const LevelTable big = Parsed(media::LevelTableBytes(3, 8, 0, 0, 0, GroupsOf({32767, 32767, 32767, 1})));
    EXPECT_EQ(media::FirstLevelOfGroup(big, 3), 32767);
    const LevelTable negative = Parsed(media::LevelTableBytes(2, 8, 0, 0, 0, GroupsOf({-30, -2, 4})));
    EXPECT_EQ(media::FirstLevelOfGroup(negative, 2), 1);
}

TEST(LevelTableTest, SegmentsBreakIntoTheRightColumnOnceAndStayThere) {
    // Area 100 x 40 at (10, 20); unit 5: heights 10, 15, 20, 5, 10.
    const std::vector<LevelGroup> groups = {{2, 1}, {3, 1}, {4, 1}, {1, 1}, {2, 1}};
    const LevelTable t = Parsed(media::LevelTableBytes(4, 5, 0, 0, 0, groups));
    const auto seg = media::LayoutLevelSegments(t, Rect16{10, 20, 110, 60});
    const Rect16 expected[] = {
        {10, 20, 59, 29},   // left column, bounds inclusive
        {10, 30, 59, 44},
        {60, 20, 109, 39},  // 45..64 would pass row 59: the right column starts at the top
        {60, 40, 109, 44},  // would fit the left column, stays right
        {60, 45, 109, 54},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(seg[i].left, expected[i].left) << i;
        EXPECT_EQ(seg[i].top, expected[i].top) << i;
        EXPECT_EQ(seg[i].right, expected[i].right) << i;
        EXPECT_EQ(seg[i].bottom, expected[i].bottom) << i;
    }
    for (size_t i = std::size(expected); i < seg.size(); ++i) {
        EXPECT_EQ(seg[i].left | seg[i].top | seg[i].right | seg[i].bottom, 0) << i;
    }
}

TEST(LevelTableTest, ASegmentEndingOnTheLastRowStaysInTheLeftColumn) {
    const LevelTable t = Parsed(media::LevelTableBytes(2, 10, 0, 0, 0, GroupsOf({1, 1, 1}, 2)));
    const auto seg = media::LayoutLevelSegments(t, Rect16{0, 0, 50, 40});
    EXPECT_EQ(seg[1].left, 0);
    EXPECT_EQ(seg[1].bottom, 39);
    EXPECT_EQ(seg[2].left, 25);
    EXPECT_EQ(seg[2].top, 0);
}

TEST(LevelTableTest, ThirtyGroupsFillAllTwentySixSegments) {
    const LevelTable t = Parsed(media::LevelTableBytes(30, 4, 0, 0, 0, GroupsOf(std::vector<int16_t>(30, 1))));
    const auto seg = media::LayoutLevelSegments(t, Rect16{0, 0, 200, 52});
    for (int i = 0; i < media::kLevelSegmentCount; ++i) {
        EXPECT_EQ(seg[static_cast<size_t>(i)].bottom - seg[static_cast<size_t>(i)].top, 3) << i;
        EXPECT_EQ(seg[static_cast<size_t>(i)].left, i < 13 ? 0 : 100) << i;
    }
}

}  // namespace
