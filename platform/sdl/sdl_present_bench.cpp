// The SDL back end's present path: the palette conversion alone, and a whole Present through
// SDL (needs a display or SDL_VIDEODRIVER=offscreen; skipped when SDL cannot start video).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/sdl/frame_convert.h"
#include "platform/sdl/sdl_backend.h"

namespace {

constexpr int kW = 640;
constexpr int kH = 480;

struct Frame {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(kW * kH);
    std::vector<uint32_t> palette = std::vector<uint32_t>(256);
    Frame() {
        uint32_t s = 12345;
        for (auto& p : pixels) {
            s = s * 214013 + 2531011;
            p = static_cast<uint8_t>(s >> 16);
        }
        for (uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010203u & 0xFFFFFF;
    }
    // What AnimatePalette does to the display: entries 10-245 move on by one.
    void RotatePalette() {
        const uint32_t first = palette[10];
        for (int i = 10; i < 245; ++i) palette[i] = palette[i + 1];
        palette[245] = first;
    }
};

void BM_ConvertIndexedFrame(benchmark::State& state) {
    Frame f;
    std::vector<uint32_t> out(kW * kH);
    for (auto _ : state) {
        plat::ConvertIndexedFrame(f.pixels.data(), kW, kH, kW, f.palette.data(), out.data(), kW * 4);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}
BENCHMARK(BM_ConvertIndexedFrame)->Unit(benchmark::kMicrosecond);

void BM_PaletteChangeConvert(benchmark::State& state) {
    Frame f;
    std::vector<uint32_t> out(kW * kH);
    for (auto _ : state) {
        f.RotatePalette();
        plat::ConvertIndexedFrame(f.pixels.data(), kW, kH, kW, f.palette.data(), out.data(), kW * 4);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaletteChangeConvert)->Unit(benchmark::kMicrosecond);

std::unique_ptr<plat::IBackend>& SharedBackend() {
    static std::unique_ptr<plat::IBackend> backend = plat::CreateSdlBackend();
    return backend;
}

void BM_SdlPresent(benchmark::State& state) {
    plat::IBackend* be = SharedBackend().get();
    if (!be) {
        state.SkipWithError("SDL cannot start video");
        return;
    }
    Frame f;
    const bool animate = state.range(0) != 0;
    for (auto _ : state) {
        if (animate) f.RotatePalette();
        be->Present(f.pixels.data(), kW, kH, f.palette.data());
    }
}
BENCHMARK(BM_SdlPresent)->ArgName("paletteChange")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
