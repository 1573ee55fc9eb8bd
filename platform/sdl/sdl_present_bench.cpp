// The SDL back end's present path: the palette conversion alone, enlarged, and a whole Present
// through SDL.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <span>
#include <string>
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

// The whole frame through a ready table into a surface twice the size.
void BM_ConvertIndexedScaled2(benchmark::State& state) {
    Frame f;
    uint32_t table[256];
    plat::BuildArgbTable(f.palette.data(), table);
    std::vector<uint32_t> out(kW * 2 * kH * 2);
    for (auto _ : state) {
        plat::ConvertIndexedScaled(f.pixels.data(), kW, kH, kW, table, 2, out.data(), kW * 2 * 4);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ConvertIndexedScaled2)->Unit(benchmark::kMicrosecond);

// One back end at a time (SDL has one video subsystem), made again when the scale changes.
plat::IBackend* BackendAtScale(int scale) {
    static std::unique_ptr<plat::IBackend> backend;
    static int made = 0;
    if (made != scale) {
        backend.reset();
        const std::string s = std::to_string(scale);
        setenv("ZELBO_WINDOW_SCALE", s.c_str(), 1);
        backend = plat::CreateSdlBackend();
        made = scale;
    }
    return backend.get();
}

// A whole present through SDL: one 64 x 64 rectangle changed, or the whole frame, at scale 1
// and 2 (needs a display or SDL_VIDEODRIVER=dummy; skipped when SDL cannot start video).
void BM_SdlPresent(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    const int scale = static_cast<int>(state.range(1));
    const bool animate = state.range(2) != 0;
    plat::IBackend* be = BackendAtScale(scale);
    if (!be) {
        state.SkipWithError("SDL cannot start video");
        return;
    }
    Frame f;
    const RECT whole{0, 0, kW, kH};
    be->Present(f.pixels.data(), kW, kH, f.palette.data(), std::span<const RECT>(&whole, 1));
    const RECT small{288, 208, 288 + 64, 208 + 64};
    const RECT changed = side == 0 ? whole : small;
    uint8_t v = 0;
    for (auto _ : state) {
        // Something really changes in the rectangle every frame.
        ++v;
        for (LONG y = changed.top; y < changed.bottom; y += 8) f.pixels[static_cast<size_t>(y) * kW + 300] = v;
        if (animate) f.RotatePalette();
        be->Present(f.pixels.data(), kW, kH, f.palette.data(), std::span<const RECT>(&changed, 1));
    }
    state.SetLabel(static_cast<plat::SdlBackend*>(be)->PresentPath());
}
BENCHMARK(BM_SdlPresent)
    ->ArgNames({"rect", "scale", "paletteChange"})
    ->Args({64, 1, 0})
    ->Args({0, 1, 0})
    ->Args({64, 2, 0})
    ->Args({0, 2, 0})
    ->Args({0, 1, 1})
    ->Args({0, 2, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
