#include "platform/core/display.h"

#include <algorithm>
#include <climits>
#include <span>

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

namespace {
int64_t Area(const RECT& r) { return int64_t(r.right - r.left) * (r.bottom - r.top); }
RECT Bound(const RECT& a, const RECT& b) {
    RECT u;
    UnionRect(&u, &a, &b);
    return u;
}
}  // namespace

void Display::Invalidate(const RECT& in) {
    RECT r{std::max<LONG>(in.left, 0), std::max<LONG>(in.top, 0), std::min<LONG>(in.right, kScreenWidth),
           std::min<LONG>(in.bottom, kScreenHeight)};
    if (r.right <= r.left || r.bottom <= r.top) return;
    m_dirty = true;
    if (!m_allDirty) AddDirty(r);
}

// Keeps few rectangles: one that overlaps or touches another joins it when their bounding box
// is not much more than the two (an animation moving a little, text drawn piece by piece).
void Display::AddDirty(RECT r) {
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < m_rects.size(); ++i) {
            const RECT& o = m_rects[i];
            const bool near = r.left <= o.right && o.left <= r.right && r.top <= o.bottom && o.top <= r.bottom;
            const RECT b = Bound(r, o);
            if (near && Area(b) <= Area(r) + Area(o) + 32 * 32) {
                r = b;
                m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(i));
                merged = true;
                break;
            }
        }
    }
    m_rects.push_back(r);
    if (m_rects.size() > kMaxDirtyRects) {
        RECT all = m_rects.front();
        for (const RECT& x : m_rects) all = Bound(all, x);
        m_rects.assign(1, all);
    }
}

void Display::InvalidateAll() {
    m_dirty = true;
    m_allDirty = true;
    m_rects.clear();
}

void Display::PresentIfDirty() {
    if (!m_dirty || !HasBackend()) return;
    IBackend& backend = Backend();
    uint32_t lut[kPaletteSize];
    for (int i = 0; i < kPaletteSize; ++i) lut[i] = RGB(m_palette[i].peRed, m_palette[i].peGreen, m_palette[i].peBlue);
    // A back end new to this screen, or a new palette: every pixel is shown again.
    if (&backend != m_presentedTo || m_paletteVersion != m_presentedPalette) m_allDirty = true;
    const RECT whole{0, 0, kScreenWidth, kScreenHeight};
    std::span<const RECT> changed = m_allDirty ? std::span<const RECT>(&whole, 1) : std::span<const RECT>(m_rects);
    m_presentedTo = &backend;
    m_presentedPalette = m_paletteVersion;
    ++m_presents;
    backend.Present(m_pixels.data(), kScreenWidth, kScreenHeight, lut, changed);
    m_dirty = false;
    m_allDirty = false;
    m_rects.clear();
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
