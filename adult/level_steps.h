// The activity page's level sliders: a slider step and the level an activity stores (level
// minus one) for one row of kActivityLevelSteps (media/res/activity_levels.h).
#pragma once

#include <cstdint>
#include <span>

// The first level of the step, zero-based: the sizes of the steps before it added up. Steps
// above n count as n; step 1 (and anything below it) is level 0.
int SliderStepToLevel(int step, int steps, std::span<const int32_t> levelsPerStep);

// The step that holds the stored level; a level beyond the last step's first (or a table of no
// steps) gives n + 1, which the slider shows as its last step.
int LevelToSliderStep(int level, int steps, std::span<const int32_t> levelsPerStep);
