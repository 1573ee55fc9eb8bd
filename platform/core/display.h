// The one 640 x 480 8-bit palette display of the platform: its pixels (palette indices) and
// its hardware palette. Drawing writes pixels and marks what it touched; a present sends only
// the rectangles that changed since the last one, and a frame where nothing changed costs
// nothing. The back end shows them through the hardware palette, so a palette change
// re-presents the whole screen without a redraw.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/core/wintypes.h"

namespace plat {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kPaletteSize = 256;
constexpr int kNumStatic = 20;  // entries 0-9 and 246-255
// Where no window covers the screen it shows the desktop: static colour 6 (0, 128, 128).
constexpr uint8_t kDesktopColourIndex = 6;

// The 20 static colours of a Windows 256-colour display, in hardware entries 0-9 and 246-255.
const std::array<PALETTEENTRY, 20>& StaticColours();
// Hardware index of static colour i (0-19).
constexpr int StaticIndex(int i) { return i < 10 ? i : 236 + i; }
constexpr bool IsStaticIndex(int i) { return i < 10 || i >= 246; }

class Display {
public:
    Display();

    uint8_t* Pixels() { return m_pixels.data(); }
    const uint8_t* Pixels() const { return m_pixels.data(); }
    uint8_t Pixel(int x, int y) const { return m_pixels[static_cast<size_t>(y) * kScreenWidth + x]; }

    const PALETTEENTRY& HardwareEntry(int i) const { return m_palette[i]; }
    // Sets hardware entries; static entries (0-9, 246-255) are refused unless allowStatic.
    void SetHardwareEntries(int start, int count, const PALETTEENTRY* entries, bool allowStatic = false);
    // Back to the static colours in 0-9/246-255 and black in between.
    void ResetHardwarePalette();
    // Hardware index whose colour is nearest to rgb (ties go to the lower index).
    int NearestHardwareIndex(COLORREF rgb) const;
    uint32_t PaletteVersion() const { return m_paletteVersion; }

    // Something changed in rect (screen coordinates) and must be shown.
    void Invalidate(const RECT& r);
    void InvalidateAll();
    // Presents through the back end if anything changed since the last present: the changed
    // rectangles, or the whole screen after a palette change or to a back end not yet shown to.
    void PresentIfDirty();
    bool IsDirty() const { return m_dirty; }
    // Counts presents, for tests of "changed without a redraw".
    uint64_t PresentCount() const { return m_presents; }
    // The rectangles waiting to be presented (empty with everything to be presented).
    const std::vector<RECT>& DirtyRects() const { return m_rects; }

    // At most this many separate rectangles wait; more are merged into their bounding box.
    static constexpr size_t kMaxDirtyRects = 16;

    // The colour a pixel shows right now (0x00BBGGRR).
    uint32_t ShownColour(int x, int y) const;

private:
    std::array<uint8_t, kScreenWidth * kScreenHeight> m_pixels{};
    std::array<PALETTEENTRY, kPaletteSize> m_palette{};
    void AddDirty(RECT r);

    bool m_dirty = true;
    bool m_allDirty = true;
    std::vector<RECT> m_rects;  // while !m_allDirty: disjoint-ish changed rectangles
    uint32_t m_paletteVersion = 0;
    uint32_t m_presentedPalette = UINT32_MAX;
    const void* m_presentedTo = nullptr;  // the back end last presented to
    uint64_t m_presents = 0;
};

Display& TheDisplay();

}  // namespace plat
