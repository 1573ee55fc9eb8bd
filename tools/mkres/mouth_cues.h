// Cue lists for a talking mouth: which picture shows when along a sound, and the 'CUE' item
// bytes the game reads (u16 count, then records {i32 milliseconds, i32 0, i32 picture id}).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace mkres {

struct Cue {
    int32_t ms = 0;
    int32_t picture = 0;
};

// Cues that follow the loudness of 8-bit unsigned samples at `rate` a second: the clip is cut
// into windows of kMouthWindowMs; a quiet window shows `rest`, the others one of the three open
// pictures (least open first) by their loudness against the loudest window. A cue is made only
// where the picture changes, and the list always ends with `rest` at the end of the clip (or
// where the last quiet stretch begins).
inline constexpr int kMouthWindowMs = 80;
std::vector<Cue> MouthCues(std::span<const uint8_t> samples, int rate, int32_t rest,
                           const std::array<int32_t, 3>& open);

// The 'CUE' item of the cues; at most 65535 of them (the caller checks).
std::vector<uint8_t> EncodeCueItem(std::span<const Cue> cues);

}  // namespace mkres
