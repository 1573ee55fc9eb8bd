#include "app/start_pattern.h"

#include <array>
#include <cmath>
#include <vector>

#include "platform/core/display.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

namespace app {
namespace {

constexpr int kFirst = 10;
constexpr int kCount = 236;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 55;

struct Pattern {
    HPALETTE palette = nullptr;
    std::array<PALETTEENTRY, kCount> wheel{};
    int phase = 0;
    int ticks = 0;
    std::vector<uint8_t> pixels;  // top-down, 640 x 480
};

Pattern g_pattern;

PALETTEENTRY Hue(double h) {
    // A bright colour wheel: hue 0..1 to RGB at full saturation.
    auto channel = [h](double offset) {
        double x = std::fmod(h + offset, 1.0) * 6.0;
        double v = x < 1 ? x : x < 3 ? 1 : x < 4 ? 4 - x : 0;
        return static_cast<BYTE>(std::lround(v * 255));
    };
    return PALETTEENTRY{channel(2.0 / 6), channel(0), channel(4.0 / 6), PC_RESERVED};
}

void BuildPattern() {
    Pattern& p = g_pattern;
    for (int i = 0; i < kCount; ++i) p.wheel[static_cast<size_t>(i)] = Hue(double(i) / kCount);
    std::vector<BYTE> buf(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256);
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    const auto& statics = plat::StaticColours();
    for (int i = 0; i < 256; ++i) {
        if (plat::IsStaticIndex(i))
            lp->palPalEntry[i] = statics[static_cast<size_t>(i < 10 ? i : i - 236)];
        else
            lp->palPalEntry[i] = p.wheel[static_cast<size_t>(i - kFirst)];
    }
    p.palette = CreatePalette(lp);

    p.pixels.assign(plat::kScreenWidth * plat::kScreenHeight, 0);
    for (int y = 0; y < plat::kScreenHeight; ++y)
        for (int x = 0; x < plat::kScreenWidth; ++x) {
            uint8_t v;
            if (y < 320) {
                // Diagonal bands through the whole wheel.
                v = static_cast<uint8_t>(kFirst + ((x + y) / 3) % kCount);
            } else if (y < 400) {
                // The twenty static colours, which never cycle.
                int i = x * 20 / plat::kScreenWidth;
                v = static_cast<uint8_t>(plat::StaticIndex(i));
            } else {
                // Rings around the centre of the bottom strip.
                int dx = x - plat::kScreenWidth / 2, dy = (y - 440) * 4;
                v = static_cast<uint8_t>(kFirst + static_cast<int>(std::sqrt(double(dx * dx + dy * dy)) / 2) % kCount);
            }
            p.pixels[static_cast<size_t>(y) * plat::kScreenWidth + x] = v;
        }
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    HPALETTE old = SelectPalette(dc, g_pattern.palette, FALSE);
    RealizePalette(dc);
    struct {
        BITMAPINFOHEADER h;
        WORD colours[256];
    } bmi{};
    bmi.h.biSize = sizeof(BITMAPINFOHEADER);
    bmi.h.biWidth = plat::kScreenWidth;
    bmi.h.biHeight = -plat::kScreenHeight;  // top-down
    bmi.h.biPlanes = 1;
    bmi.h.biBitCount = 8;
    bmi.h.biCompression = BI_RGB;
    for (int i = 0; i < 256; ++i) bmi.colours[i] = static_cast<WORD>(i);
    StretchDIBits(dc, 0, 0, plat::kScreenWidth, plat::kScreenHeight, 0, 0, plat::kScreenWidth, plat::kScreenHeight,
                  g_pattern.pixels.data(), reinterpret_cast<const BITMAPINFO*>(&bmi), DIB_PAL_COLORS, SRCCOPY);
    SelectPalette(dc, old, FALSE);
    EndPaint(hwnd, &ps);
}

// The palette moves on every other tick: smooth enough to see, and half the presents.
void Cycle() {
    Pattern& p = g_pattern;
    if (++p.ticks % 2) return;
    p.phase = (p.phase + 4) % kCount;
    std::array<PALETTEENTRY, kCount> rotated;
    for (int i = 0; i < kCount; ++i) rotated[static_cast<size_t>(i)] = p.wheel[static_cast<size_t>((i + p.phase) % kCount)];
    AnimatePalette(p.palette, kFirst, kCount, rotated.data());
}

LRESULT PatternProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: SetTimer(hwnd, kTimerId, kTimerMs, nullptr); return 0;
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_TIMER:
            if (wParam == kTimerId) Cycle();
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) PostMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kTimerId);
            if (g_pattern.palette) DeleteObject(g_pattern.palette);
            g_pattern.palette = nullptr;
            PostQuitMessage(0);
            return 0;
        default: return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

HWND CreateStartPatternWindow() {
    BuildPattern();
    WNDCLASS wc;
    wc.lpfnWndProc = PatternProc;
    wc.lpszClassName = "ZelboStartPattern";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClass(&wc);
    return CreateWindow("ZelboStartPattern", "Zelbo", WS_POPUP | WS_VISIBLE, 0, 0, plat::kScreenWidth,
                        plat::kScreenHeight, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace app
