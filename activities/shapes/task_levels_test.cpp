// The puzzle levels: the built file's 26 levels, the seeded shuffle of a level's list, the
// progression from level to level with the last one repeating in the same order, stored levels
// outside the table taken as the nearest, and damaged or missing tables and lists.
#include "activities/shapes/task_levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "activities/shapes/shapes_test_support.h"
#include "engine/toolbox/numbers.h"
#include "media/res/res_writer.h"
#include "platform/core/crt.h"

namespace {

using LevelsTest = shapestest::ShapesHostTest;
using Bytes = std::vector<uint8_t>;

// What a list comes out as from the seed: entry i swapped with entry Random(N) + 1 in turn.
std::vector<int16_t> Shuffled(std::vector<int16_t> list, unsigned seed) {
    plat::SRand(seed);
    const int16_t n = static_cast<int16_t>(list.size());
    for (int16_t i = 0; i < n; ++i) std::swap(list[static_cast<size_t>(i)], list[static_cast<size_t>(Random(n))]);
    return list;
}

TEST_F(LevelsTest, ALevelsListIsShuffledFromTheSeed) {
    CShapeLevels levels;
    levels.LoadTable();
    ASSERT_EQ(levels.LevelCount(), 26);
    for (unsigned seed : {1u, 7u, 4711u}) {
        levels.listLoaded = false;
        plat::SRand(seed);
        levels.SetLevel(2);
        EXPECT_EQ(levels.tasks, Shuffled({203, 204, 205}, seed)) << seed;
        EXPECT_EQ(levels.taskIndex, 1);
        EXPECT_EQ(levels.CurrentTask(), levels.tasks[0]);
    }
    // The same level again changes nothing, also the draws.
    const auto before = levels.tasks;
    levels.NextTask();
    plat::SRand(99);
    levels.SetLevel(2);
    EXPECT_EQ(levels.tasks, before);
    EXPECT_EQ(levels.taskIndex, 2);
}

// Three tasks a level: the fourth is the next level's first; after the last level its list
// comes round again in the same order.
TEST_F(LevelsTest, LevelsFollowOneAnotherAndTheLastRepeats) {
    CShapeLevels levels;
    levels.LoadTable();
    levels.SetLevel(1);
    std::vector<int16_t> seen;
    for (int i = 0; i < 3; ++i) {
        seen.push_back(levels.CurrentTask());
        levels.NextTask();
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<int16_t>{200, 201, 202}));
    EXPECT_EQ(levels.level, 2);
    EXPECT_EQ(levels.taskIndex, 1);

    levels.SetLevel(26);
    const auto order = levels.tasks;
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(levels.CurrentTask(), order[static_cast<size_t>(i)]);
            levels.NextTask();
        }
    EXPECT_EQ(levels.level, 26);
}

// A visit starts at the stored level + 1, never past the table: 0, 25, 26, 40 give 1, 26, 26, 26.
TEST_F(LevelsTest, StoredLevelsOutsideTheTableAreTheNearest) {
    const struct {
        int32_t stored;
        int16_t level;
    } cases[] = {{0, 1}, {25, 26}, {26, 26}, {40, 26}, {32767, 26}, {65535, 26}, {-5, 1}};
    for (const auto& c : cases) {
        CShapeLevels levels;
        levels.LoadTable();
        levels.SetLevel(c.stored + 1);
        EXPECT_EQ(levels.level, c.level) << c.stored;
        EXPECT_NE(levels.CurrentTask(), 0) << c.stored;
    }
}

// Tables and lists of a file of the test's own: counts cut to the values present, a missing
// or empty list no task, no table level 1 without tasks.
TEST(ShapeLevelsItems, DamagedAndMissingItemsGiveNoTaskBeyondWhatTheyHold) {
    toolboxtest::CPictureHost host;
    host.module = 6;
    media::CResWriter w;
    w.Add("IN#", 6010, Bytes{5, 0, 1, 0, 2, 0, 3, 0});  // 5 levels claimed, 3 held
    w.Add("IN#", 6011, Bytes{4, 0, 0x2C, 0x01});        // 4 tasks claimed, one held: 300
    w.Add("IN#", 6012, Bytes{0, 0});                    // empty
    ASSERT_TRUE(host.OpenModule(6, w));             // no 'IN#' 13: level 3's list is missing
    CShapeLevels levels;
    levels.LoadTable();
    EXPECT_EQ(levels.LevelCount(), 3);
    const struct {
        int16_t level;
        int16_t task;
    } cases[] = {{1, 300}, {2, 0}, {3, 0}, {9, 0}};
    for (const auto& c : cases) {
        levels.SetLevel(c.level);
        EXPECT_EQ(levels.CurrentTask(), c.task) << c.level;
        levels.NextTask();  // nothing to step over
    }
    EXPECT_EQ(levels.level, 3);

    media::CResWriter none;
    none.Add("IN#", 6011, Bytes{1, 0, 0x2C, 0x01});
    ASSERT_TRUE(host.OpenModule(6, none));
    CShapeLevels empty;
    empty.LoadTable();
    empty.SetLevel(4);
    EXPECT_EQ(empty.level, 1);
    EXPECT_EQ(empty.CurrentTask(), 0);
    empty.NextTask();
    EXPECT_EQ(empty.CurrentTask(), 0);
}

}  // namespace
