// The mixing tick's work: eight busy channels into one 1378-byte output buffer.
#include <benchmark/benchmark.h>

#include <vector>

#include "media/sound/sound_mixer.h"

namespace {

void BM_MixEightChannels(benchmark::State& state) {
    constexpr int32_t kChunk = 1378;
    // Each channel plays its own sound in 10240-byte buffers, as clips are queued.
    std::vector<std::vector<uint8_t>> sounds(kMixChannels, std::vector<uint8_t>(10240));
    for (int c = 0; c < kMixChannels; ++c)
        for (size_t i = 0; i < sounds[c].size(); ++i) sounds[c][i] = static_cast<uint8_t>(64 + (i * (c + 3)) % 128);
    std::array<CMixChannel, kMixChannels> channels{};
    auto refill = [&] {
        for (int c = 0; c < kMixChannels; ++c) {
            channels[c] = CMixChannel{};
            channels[c].index = static_cast<int16_t>(c);
            channels[c].chunk = kChunk;
            for (int k = 0; k < kMixQueueMax; ++k) channels[c].Append(sounds[c].data(), 10240);
        }
    };
    refill();
    std::vector<uint8_t> out(kChunk);
    for (auto _ : state) {
        if (MixChannels(channels, out) != 0xFF) refill();  // about once in 238 fills
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kChunk * kMixChannels);
}
BENCHMARK(BM_MixEightChannels);

}  // namespace
