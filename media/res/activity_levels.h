// How each activity's levels fall into the steps of its level slider on the grown-ups' activity
// page and into the groups of its level chooser ('IN#' 2060, 3100, 4100, 5100, 6800): one row
// per row of the page, top to bottom. A step covers a fixed number of levels; the levels of a
// row are its steps' sizes added up. Every activity stores its level minus one in the
// saved-settings block (at blockOffset) and accepts the first level of the last step.
//
// The topic list of a row shows one topic per step in two columns (leftRows on the left, the
// rest on the right), each row kTopicRowHeight pixels high from kTopicMargin down, in a
// picture area of kTopicAreaWidth × kTopicAreaHeight; the pictures (mkres `topiclist`) and the
// panel that hit-tests them share this layout.
#pragma once

#include <array>
#include <cstdint>
#include <span>

struct ActivityLevelSteps {
    int module;            // 2 to 6
    int blockOffset;       // byte offset of the level in the saved-settings block
    int steps;             // n: the slider's steps
    std::array<int32_t, 26> levelsPerStep;  // the first `steps` entries count
    int levels;            // their sum: the activity's number of levels
    int leftRows;          // topics in the topic list's left column

    std::span<const int32_t> Weights() const { return {levelsPerStep.data(), static_cast<size_t>(steps)}; }
};

// Ruduridodu, Duravod, Vevudivodizide, the shapes activity, Vududoduvaza.
inline constexpr ActivityLevelSteps kActivityLevelSteps[5] = {
    {3, 0x12, 13, {6, 4, 4, 3, 3, 2, 3, 3, 6, 5, 5, 8, 1}, 53, 7},
    {2, 0x10, 26, {2, 1, 3, 2, 2, 1, 2, 2, 3, 2, 2, 4, 3, 2, 2, 1, 2, 1, 1, 2, 5, 6, 1, 1, 1, 1}, 55, 13},
    {5, 0x16, 23, {3, 7, 2, 2, 2, 6, 2, 6, 6, 3, 3, 8, 5, 5, 3, 3, 2, 3, 2, 3, 3, 8, 1}, 88, 12},
    {6, 0x18, 26, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 26, 13},
    {4, 0x14, 25, {2, 2, 1, 1, 1, 1, 2, 1, 1, 1, 1, 2, 2, 2, 1, 2, 1, 3, 3, 1, 2, 2, 1, 1, 1}, 38, 13},
};

inline constexpr int kTopicAreaWidth = 377;
inline constexpr int kTopicAreaHeight = 199;
inline constexpr int kTopicRowHeight = 15;
inline constexpr int kTopicMargin = 3;

// The row of the module, or null.
constexpr const ActivityLevelSteps* ActivityLevelStepsOf(int module) {
    for (const ActivityLevelSteps& row : kActivityLevelSteps)
        if (row.module == module) return &row;
    return nullptr;
}

constexpr bool ActivityLevelStepsAddUp() {
    for (const ActivityLevelSteps& row : kActivityLevelSteps) {
        int sum = 0;
        for (int i = 0; i < row.steps; ++i) sum += row.levelsPerStep[static_cast<size_t>(i)];
        if (sum != row.levels) return false;
    }
    return true;
}
static_assert(ActivityLevelStepsAddUp(), "each row's steps add up to its levels");
