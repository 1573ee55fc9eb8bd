// The game's per-frame path: a whole 640 x 480 8-bit DIB copied 1:1 to the screen.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/core/display.h"
#include "platform/gdi/wing.h"
#include "platform/gdi/wingdi.h"

namespace {

struct Frame {
    bool reset = (plat::ResetGdi(), true);
    std::vector<uint8_t> info = std::vector<uint8_t>(sizeof(BITMAPINFOHEADER) + 256 * 4);
    std::vector<uint8_t> bits = std::vector<uint8_t>(640 * 480);
    HDC screen = GetDC(nullptr);

    explicit Frame(UINT usage, bool topDown = false) {
        // Each benchmark starts from the plain hardware palette: statics and black.
        auto* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
        h->biSize = sizeof(BITMAPINFOHEADER);
        h->biWidth = 640;
        h->biHeight = topDown ? -480 : 480;
        h->biPlanes = 1;
        h->biBitCount = 8;
        uint8_t* table = info.data() + sizeof(BITMAPINFOHEADER);
        for (int i = 0; i < 256; ++i) {
            if (usage == DIB_PAL_COLORS) {
                const WORD w = static_cast<WORD>(i);
                std::memcpy(table + 2 * i, &w, 2);
            } else {
                const PALETTEENTRY& e = plat::TheDisplay().HardwareEntry(i);
                const RGBQUAD q{e.peBlue, e.peGreen, e.peRed, 0};
                std::memcpy(table + 4 * i, &q, 4);
            }
        }
        for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<uint8_t>(i * 7);
    }
    ~Frame() { ReleaseDC(nullptr, screen); }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(info.data()); }
};

// DIB_PAL_COLORS through the default palette (not the identity: every pixel goes through a table).
void BM_StretchDIBitsPalColours(benchmark::State& state) {
    Frame f(DIB_PAL_COLORS);
    for (auto _ : state) {
        StretchDIBits(f.screen, 0, 0, 640, 480, 0, 0, 640, 480, f.bits.data(), f.Info(), DIB_PAL_COLORS,
                      SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 640 * 480);
}
BENCHMARK(BM_StretchDIBitsPalColours);

// The game's case: an identity palette realised, so the indices copy straight.
void BM_StretchDIBitsIdentity(benchmark::State& state) {
    Frame f(DIB_PAL_COLORS);
    std::vector<uint8_t> lp(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(lp.data());
    log->palVersion = 0x300;
    log->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        log->palPalEntry[i] = plat::TheDisplay().HardwareEntry(i);
        if (!plat::IsStaticIndex(i))
            log->palPalEntry[i] =
                PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, PC_RESERVED};
    }
    HPALETTE pal = CreatePalette(log);
    HPALETTE old = SelectPalette(f.screen, pal, FALSE);
    RealizePalette(f.screen);
    for (auto _ : state) {
        StretchDIBits(f.screen, 0, 0, 640, 480, 0, 0, 640, 480, f.bits.data(), f.Info(), DIB_PAL_COLORS,
                      SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 640 * 480);
    SelectPalette(f.screen, old, FALSE);
    DeleteObject(pal);
}
BENCHMARK(BM_StretchDIBitsIdentity);

void BM_StretchDIBitsRgbColours(benchmark::State& state) {
    Frame f(DIB_RGB_COLORS);
    for (auto _ : state) {
        StretchDIBits(f.screen, 0, 0, 640, 480, 0, 0, 640, 480, f.bits.data(), f.Info(), DIB_RGB_COLORS,
                      SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 640 * 480);
}
BENCHMARK(BM_StretchDIBitsRgbColours);

// The WinG path: a DIB section whose colour table matches the hardware palette.
void BM_WinGBitBlt(benchmark::State& state) {
    Frame f(DIB_RGB_COLORS, true);
    HDC wing = plat::wing::WinGCreateDC();
    void* bits = nullptr;
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(f.info.data());
    h->biHeight = -480;
    HBITMAP bmp = plat::wing::WinGCreateBitmap(wing, f.Info(), &bits);
    std::memcpy(bits, f.bits.data(), f.bits.size());
    HGDIOBJ old = SelectObject(wing, bmp);
    for (auto _ : state) {
        plat::wing::WinGBitBlt(f.screen, 0, 0, 640, 480, wing, 0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 640 * 480);
    SelectObject(wing, old);
    DeleteObject(bmp);
    DeleteDC(wing);
}
BENCHMARK(BM_WinGBitBlt);

// A stretched frame (320 x 240 doubled), nearest-neighbour.
void BM_StretchDIBitsDoubled(benchmark::State& state) {
    Frame f(DIB_PAL_COLORS);
    for (auto _ : state) {
        StretchDIBits(f.screen, 0, 0, 640, 480, 0, 0, 320, 240, f.bits.data(), f.Info(), DIB_PAL_COLORS,
                      SRCCOPY);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 640 * 480);
}
BENCHMARK(BM_StretchDIBitsDoubled);

}  // namespace
