#include "tools/mkres/mouth_cues.h"

#include <algorithm>
#include <cstdlib>

#include "platform/core/byte_order.h"

namespace mkres {

namespace {

// Windows whose mean distance from the silent level 0x80 stays below this are quiet whatever
// the loudest window is (noise in a spoken clip's pauses).
constexpr int kQuietFloor = 3;

}  // namespace

std::vector<Cue> MouthCues(std::span<const uint8_t> samples, int rate, int32_t rest,
                           const std::array<int32_t, 3>& open) {
    const size_t window = std::max<size_t>(1, static_cast<size_t>(rate) * kMouthWindowMs / 1000);
    std::vector<int> loudness;
    for (size_t at = 0; at < samples.size(); at += window) {
        const size_t end = std::min(samples.size(), at + window);
        long sum = 0;
        for (size_t i = at; i < end; ++i) sum += std::abs(static_cast<int>(samples[i]) - 0x80);
        loudness.push_back(static_cast<int>(sum / static_cast<long>(end - at)));
    }
    const int loudest = loudness.empty() ? 0 : *std::max_element(loudness.begin(), loudness.end());
    const int quiet = std::max(kQuietFloor, loudest / 8);

    std::vector<Cue> cues;
    auto show = [&](int32_t ms, int32_t picture) {
        if (cues.empty() || cues.back().picture != picture) cues.push_back({ms, picture});
    };
    for (size_t w = 0; w < loudness.size(); ++w) {
        const int32_t ms = static_cast<int32_t>(static_cast<int64_t>(w * window) * 1000 / rate);
        const int level = loudness[w];
        int32_t picture = rest;
        if (level >= quiet) {
            // Thirds of the range from the quiet level up to the loudest window.
            const int step = std::max(1, (loudest - quiet + 1) / 3);
            picture = open[static_cast<size_t>(std::min(2, (level - quiet) / step))];
        }
        show(ms, picture);
    }
    show(static_cast<int32_t>(static_cast<int64_t>(samples.size()) * 1000 / rate), rest);
    return cues;
}

std::vector<uint8_t> EncodeCueItem(std::span<const Cue> cues) {
    std::vector<uint8_t> out;
    plat::AppendLe16(out, static_cast<uint16_t>(cues.size()));
    for (const Cue& c : cues) {
        plat::AppendLe32(out, static_cast<uint32_t>(c.ms));
        plat::AppendLe32(out, 0);
        plat::AppendLe32(out, static_cast<uint32_t>(c.picture));
    }
    return out;
}

}  // namespace mkres
