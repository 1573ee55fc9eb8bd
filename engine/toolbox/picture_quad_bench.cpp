// DrawPictureQuad of a 320 × 240 picture onto a trapezoid of about the same size (a new
// picture made, the source mapped into it, then dropped), and TexturePolygon alone onto a
// 320 × 240 rectangle.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/toolbox/picture_quad.h"
#include "engine/toolbox/toolbox_test_support.h"

namespace {

std::vector<std::vector<uint8_t>> Art(int width, int height) {
    std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(height), std::vector<uint8_t>(static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) rows[y][x] = static_cast<uint8_t>(10 + (x / 8 + y / 8) % 200);
    return rows;
}

void BM_DrawPictureQuad320x240(benchmark::State& state) {
    toolboxtest::CPictureHost host;
    host.AddPicture(40, 320, Art(320, 240));
    for (auto _ : state) {
        const int16_t id = DrawPictureQuad(40, {60, 0}, {300, 0}, {360, 240}, {0, 240});
        benchmark::DoNotOptimize(id);
        host.cache.SetDestroying(true);
        host.cache.RemoveRange(host.MapResourceId(id), host.MapResourceId(id));
        host.cache.SetDestroying(false);
    }
}
BENCHMARK(BM_DrawPictureQuad320x240)->Unit(benchmark::kMicrosecond);

void BM_TexturePolygon320x240(benchmark::State& state) {
    std::vector<uint8_t> source(320 * 240), target(320 * 240);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i % 251);
    const LockedPicture from{source.data(), 320, 240, 320};
    const LockedPicture to{target.data(), 320, 240, 320};
    const CCorPoint sourcePoints[4] = {{0, 0}, {319, 0}, {319, 239}, {0, 239}};
    const CCorPoint targetPoints[4] = {{0, 0}, {320, 0}, {320, 240}, {0, 240}};
    for (auto _ : state) {
        TexturePolygon(from, to, sourcePoints, targetPoints, 4);
        benchmark::DoNotOptimize(target.data());
    }
}
BENCHMARK(BM_TexturePolygon320x240)->Unit(benchmark::kMicrosecond);

}  // namespace
