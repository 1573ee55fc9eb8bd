#include "adult/level_steps.h"

#include <algorithm>

int SliderStepToLevel(int step, int steps, std::span<const int32_t> levelsPerStep) {
    const int before = std::min({step, steps, static_cast<int>(levelsPerStep.size())}) - 1;
    if (before < 1) return 0;
    int level = 0;
    for (int i = 0; i < before; ++i) level += levelsPerStep[static_cast<size_t>(i)];
    return level;
}

int LevelToSliderStep(int level, int steps, std::span<const int32_t> levelsPerStep) {
    if (steps < 1) return steps + 1;
    const int n = std::min(steps, static_cast<int>(levelsPerStep.size()));
    int sum = 1;
    for (int i = 0; i < n; ++i) {
        sum += levelsPerStep[static_cast<size_t>(i)];
        if (sum > level + 1) return i + 1;
    }
    return steps + 1;
}
