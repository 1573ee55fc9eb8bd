// The engine's hot paths: transparent sprite copies into the frame surface, and the copy of the
// dirty rectangles from the frame surface to the window.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "media/res/sprite.h"
#include "media/surface/blit_rows.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"
#include "platform/headless/headless_backend.h"

namespace {

// A picture whose pixels are a quarter transparent (0), in runs, as sprites are.
std::vector<uint8_t> SprItem(int width, int height) {
    const int stride = (width + 3) & ~3;
    std::vector<uint8_t> b(12 + static_cast<size_t>(stride) * height);
    const uint32_t head[3] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                              static_cast<uint32_t>(stride * height)};
    std::memcpy(b.data(), head, 12);
    std::mt19937 rng(1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // A disc of colour on a transparent ground, with scattered holes.
            const int dx = x - width / 2, dy = y - height / 2;
            const bool inside = dx * dx + dy * dy < width * height / 4 && rng() % 16 != 0;
            b[12 + static_cast<size_t>(y) * stride + x] = inside ? static_cast<uint8_t>(10 + rng() % 200) : 0;
        }
    return b;
}

struct Surfaces {
    explicit Surfaces(bool winG) {
        plat::InstallHeadless();
        plat::ResetGdi();
        InitDibSystem(nullptr, !winG, 0);
        std::vector<uint8_t> rgb(768);
        for (int i = 0; i < 768; ++i) rgb[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 5);
        palette.FromRgbTriplets(rgb.data());
        frame.CreateRealized(640, 480, &palette);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) frame.SetPixel(x, y, static_cast<BYTE>(10 + (x ^ y) % 200));
    }
    ~Surfaces() {
        frame.FreeSurface();
        palette.Delete();
        ShutdownDibSystem();
        plat::ResetGdi();
    }
    CPalId palette;
    CDibG frame;
};

// One 128 × 128 transparent sprite drawn with its hot spot, clipped to the frame.
void BM_DrawSpriteTransparent(benchmark::State& state) {
    Surfaces s(false);
    const int side = static_cast<int>(state.range(0));
    CSprite sprite(-1);
    sprite.LoadFromBytes(SprItem(side, side));
    sprite.SetHotspot(side / 2, side / 2);
    const RECT clip{0, 0, 640, 480};
    int x = 0;
    for (auto _ : state) {
        s.frame.DrawSprite(sprite, POINT{100 + (x++ & 255), 200}, clip, TRUE);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * side * side);
}
BENCHMARK(BM_DrawSpriteTransparent)->Arg(32)->Arg(128)->Arg(480);

// The same rows through the byte-at-a-time loop, for comparison.
void BM_TransparentRowBytes(benchmark::State& state) {
    const auto item = SprItem(480, 480);
    std::vector<uint8_t> dst(480 * 480, 7);
    for (auto _ : state) {
        for (int y = 0; y < 480; ++y)
            media::CopyRowTransparentBytes(dst.data() + y * 480, item.data() + 12 + y * 480, 480);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 480 * 480);
}
BENCHMARK(BM_TransparentRowBytes);

void BM_TransparentRowWords(benchmark::State& state) {
    const auto item = SprItem(480, 480);
    std::vector<uint8_t> dst(480 * 480, 7);
    for (auto _ : state) {
        for (int y = 0; y < 480; ++y)
            media::CopyRowTransparentWords(dst.data() + y * 480, item.data() + 12 + y * 480, 480);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 480 * 480);
}
BENCHMARK(BM_TransparentRowWords);

// A whole frame through the dirty list to the screen: range 0 = WinG, range 1 = number of
// rectangles (1: the whole window; 12: small scattered ones).
void BM_PresentDirtyRects(benchmark::State& state) {
    Surfaces s(state.range(0) != 0);
    HDC screen = GetDC(nullptr);
    SelectPalette(screen, s.palette, FALSE);
    RealizePalette(screen);
    CDirtyRectList dirty;
    int64_t pixels = 0;
    for (auto _ : state) {
        if (state.range(1) == 1) {
            dirty.Add(RECT{0, 0, 640, 480});
        } else {
            for (int i = 0; i < state.range(1); ++i) dirty.Add(RECT{i * 50, i * 37, i * 50 + 64, i * 37 + 48});
        }
        for (const RECT& r : dirty) {
            s.frame.DrawRect(screen, r, r, SRCCOPY);
            pixels += (r.right - r.left) * (r.bottom - r.top);
        }
        dirty.RemoveAll();
    }
    ReleaseDC(nullptr, screen);
    state.SetBytesProcessed(pixels);
}
BENCHMARK(BM_PresentDirtyRects)->Args({0, 1})->Args({1, 1})->Args({0, 12})->Args({1, 12});

// Rectangle copies between surfaces (the background into the frame under each dirty rectangle).
void BM_BlitRect(benchmark::State& state) {
    Surfaces s(false);
    CDibG back;
    back.CreateRealized(640, 480, &s.palette);
    const bool aligned = state.range(0) != 0;
    for (auto _ : state) {
        s.frame.BlitRect(back, POINT{aligned ? 0 : 1, 0}, POINT{aligned ? 0 : 3, 0}, SIZE{aligned ? 640 : 636, 480});
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 640 * 480);
}
BENCHMARK(BM_BlitRect)->Arg(1)->Arg(0);

}  // namespace
