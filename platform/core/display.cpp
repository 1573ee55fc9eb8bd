#include "platform/core/display.h"

#include <climits>

#include "platform/core/backend.h"
#include "platform/core/rect.h"

namespace plat {

const std::array<PALETTEENTRY, 20>& StaticColours() {
    // The twenty reserved colours of a Windows 256-colour display: ten at the bottom, ten at the top.
    static const std::array<PALETTEENTRY, 20> colours = {{
        {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
        {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
        {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
        {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
    }};
    return colours;
}

Display::Display() { ResetHardwarePalette(); }

void Display::ResetHardwarePalette() {
    for (auto& e : m_palette) e = PALETTEENTRY{};
    const auto& st = StaticColours();
    for (int i = 0; i < kNumStatic; ++i) m_palette[StaticIndex(i)] = st[i];
    ++m_paletteVersion;
    InvalidateAll();
}

void Display::SetHardwareEntries(int start, int count, const PALETTEENTRY* entries, bool allowStatic) {
    bool changed = false;
    for (int i = 0; i < count; ++i) {
        int idx = start + i;
        if (idx < 0 || idx >= kPaletteSize) continue;
        if (!allowStatic && IsStaticIndex(idx)) continue;
        PALETTEENTRY e = entries[i];
        e.peFlags = 0;
        PALETTEENTRY& cur = m_palette[idx];
        if (cur.peRed != e.peRed || cur.peGreen != e.peGreen || cur.peBlue != e.peBlue) {
            cur = e;
            changed = true;
        }
    }
    if (changed) {
        ++m_paletteVersion;
        InvalidateAll();
    }
}

int Display::NearestHardwareIndex(COLORREF rgb) const {
    int best = 0;
    int bestDist = INT_MAX;
    for (int i = 0; i < kPaletteSize; ++i) {
        int dr = int(m_palette[i].peRed) - GetRValue(rgb);
        int dg = int(m_palette[i].peGreen) - GetGValue(rgb);
        int db = int(m_palette[i].peBlue) - GetBValue(rgb);
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
            if (d == 0) break;
        }
    }
    return best;
}

void Display::Invalidate(const RECT& r) {
    if (!IsRectEmpty(&r)) m_dirty = true;
}

void Display::InvalidateAll() { m_dirty = true; }

void Display::PresentIfDirty() {
    if (!m_dirty || !HasBackend()) return;
    uint32_t lut[kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i) lut[i] = RGB(m_palette[i].peRed, m_palette[i].peGreen, m_palette[i].peBlue);
    m_dirty = false;
    ++m_presents;
    Backend().Present(m_pixels.data(), kScreenWidth, kScreenHeight, lut);
}

uint32_t Display::ShownColour(int x, int y) const {
    const PALETTEENTRY& e = m_palette[Pixel(x, y)];
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

Display& TheDisplay() {
    static Display display;
    return display;
}

}  // namespace plat
