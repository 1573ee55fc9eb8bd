#include "engine/toolbox/palette_wrappers.h"

#include <algorithm>

#include "engine/core/cor_engine.h"
#include "engine/scene/pal_item.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"

namespace {

constexpr int kEntries = 256;
constexpr int16_t kNoDarkEntry = 25;

CPalId* GamePalette() {
    if (!theEngine || !theEngine->m_screenPalette) return nullptr;
    CPalId* palette = theEngine->m_screenPalette->GetPalette();
    return palette && palette->GetSafeHandle() ? palette : nullptr;
}

// The part of start .. start + number - 1 inside the 256 entries; false when none is.
bool CutRange(int32_t& start, int32_t& number) {
    if (start < 0) {
        number += start;
        start = 0;
    }
    number = std::min(number, kEntries - start);
    return start < kEntries && number > 0;
}

}  // namespace

uint32_t GetGamePaletteEntries(int32_t start, int32_t number, PALETTEENTRY* table) {
    CPalId* palette = GamePalette();
    if (!palette || !table || !CutRange(start, number)) return 0;
    return GetPaletteEntries(*palette, static_cast<UINT>(start), static_cast<UINT>(number), table + start);
}

uint32_t SetGamePaletteEntries(int32_t start, int32_t number, const PALETTEENTRY* table) {
    CPalId* palette = GamePalette();
    if (!palette || !table || !CutRange(start, number)) return 0;
    const UINT set = SetPaletteEntries(*palette, static_cast<UINT>(start), static_cast<UINT>(number), table + start);
    if (set == 0) return 0;
    CCorEngine& e = *theEngine;
    // The item's own copy of the entries answers the nearest-colour searches and the cursors.
    e.m_screenPalette->ReadBackEntries();
    if (TheDibSystem().winGInUse) {
        for (CDibG* surface : {e.m_frameSurface.get(), e.m_backgroundSurface.get()})
            if (surface && surface->IsValid()) surface->SetColorEntries(start, static_cast<int>(set), table + start);
    } else {
        SetDibColorTable(palette);
    }
    e.InvalidateGameRect(nullptr);
    return set;
}

uint8_t* PaletteToRgbTriplets(uint8_t* buffer, int32_t* count) {
    if (!buffer) return nullptr;
    PALETTEENTRY entries[kEntries] = {};
    GetGamePaletteEntries(0, kEntries, entries);
    for (int k = 0; k < kEntries; ++k) {
        buffer[3 * k] = entries[k].peRed;
        buffer[3 * k + 1] = entries[k].peGreen;
        buffer[3 * k + 2] = entries[k].peBlue;
    }
    if (count) *count = kEntries;
    return buffer;
}

int16_t FindDarkestPaletteEntry() {
    PALETTEENTRY entries[kEntries] = {};
    if (GetGamePaletteEntries(0, kEntries, entries) != kEntries) return kNoDarkEntry;
    int16_t darkest = kNoDarkEntry;
    int best = 3 * 255;
    for (int16_t i = 1; i < kEntries; ++i) {
        const int sum = entries[i].peRed + entries[i].peGreen + entries[i].peBlue;
        if (sum < best) {
            best = sum;
            darkest = i;
        }
    }
    return darkest;
}
