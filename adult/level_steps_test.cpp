// Slider steps and stored levels for every row of the activity page.
#include "adult/level_steps.h"

#include <gtest/gtest.h>

#include <string>

#include "media/res/activity_levels.h"

namespace {

int ToStep(const ActivityLevelSteps& row, int level) { return LevelToSliderStep(level, row.steps, row.Weights()); }
int ToLevel(const ActivityLevelSteps& row, int step) { return SliderStepToLevel(step, row.steps, row.Weights()); }

struct Known {
    int row;
    int stored;  // level − 1 as the block holds it
    int step;
};

// Ruduridodu (row 0): level 6 is the last of step 1; 53 and up beyond the last step's first.
const Known kToStep[] = {
    {0, 0, 1}, {0, 5, 1}, {0, 6, 2}, {0, 51, 12}, {0, 52, 13}, {0, 53, 14}, {0, 60, 14}, {0, 32767, 14},
    {1, 0, 1}, {1, 2, 2}, {1, 3, 3}, {1, 54, 26}, {1, 55, 27},
};

TEST(LevelSteps, KnownLevelsShowTheirStep) {
    for (const Known& k : kToStep)
        EXPECT_EQ(ToStep(kActivityLevelSteps[k.row], k.stored), k.step) << "row " << k.row << " level " << k.stored;
}

TEST(LevelSteps, StepsGiveTheirFirstLevel) {
    const ActivityLevelSteps& duravod = kActivityLevelSteps[1];
    EXPECT_EQ(ToLevel(duravod, 3), 3) << "levels 1, 2 and 3 lie in steps 1 and 2";
    for (const ActivityLevelSteps& row : kActivityLevelSteps) {
        EXPECT_EQ(ToLevel(row, 1), 0) << row.module;
        EXPECT_EQ(ToLevel(row, 0), 0) << row.module;
        EXPECT_EQ(ToLevel(row, row.steps + 2), ToLevel(row, row.steps)) << "above the last step counts as it";
        EXPECT_EQ(ToLevel(row, row.steps), row.levels - row.levelsPerStep[static_cast<size_t>(row.steps - 1)])
            << "the last step's first level";
    }
}

// Every step comes back as itself, and every level shows the step whose first level is at or
// below it, with the next step's first level above it.
TEST(LevelSteps, RoundTripsForEveryRow) {
    for (const ActivityLevelSteps& row : kActivityLevelSteps) {
        SCOPED_TRACE("module " + std::to_string(row.module));
        for (int step = 1; step <= row.steps; ++step) EXPECT_EQ(ToStep(row, ToLevel(row, step)), step) << step;
        for (int level = 0; level < row.levels - 1; ++level) {
            const int step = ToStep(row, level);
            ASSERT_GE(step, 1);
            ASSERT_LE(step, row.steps);
            EXPECT_LE(ToLevel(row, step), level) << level;
            EXPECT_GT(ToLevel(row, step + 1), level) << level;
        }
    }
}

TEST(LevelSteps, NoStepsGiveStepOne) {
    EXPECT_EQ(LevelToSliderStep(4, 0, {}), 1);
    EXPECT_EQ(SliderStepToLevel(4, 0, {}), 0);
}

}  // namespace
