#include "engine/scene/fade.h"

#include <algorithm>

#include "engine/scene/pal_item.h"
#include "engine/scene/scene_host.h"
#include "engine/scene/ticks.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

namespace {

constexpr int kFirst = 10;
constexpr int kCount = 236;  // entries 10 to 245

// Runs a fade: scale(c, elapsed) gives each step's component; final gives the last entries.
template <class Scale>
void RunFade(CPalItem* item, int32_t duration, int kept, Scale scale, bool toBlack) {
    if (!item || !item->GetPalette() || !item->GetPalette()->GetSafeHandle()) return;
    CPalId& palette = *item->GetPalette();
    ISceneHost& host = SceneHost();
    HWND window = host.GameWindow();
    HDC dc = GetDC(window);
    if (!TheDibSystem().winGInUse) SetDibColorTable(&palette);
    HPALETTE old = dc ? SelectPalette(dc, palette, FALSE) : nullptr;
    if (dc) RealizePalette(dc);

    const PALETTEENTRY* full = item->Entries() + kFirst;
    PALETTEENTRY work[kCount];
    for (int i = 0; i < kCount; ++i) work[i] = PALETTEENTRY{full[i].peRed, full[i].peGreen, full[i].peBlue, PC_RESERVED};

    const uint64_t start = GetTicks();
    uint64_t last = UINT64_MAX;
    for (uint64_t now = start; duration > 0 && now - start < static_cast<uint64_t>(duration); now = GetTicks()) {
        if (now != last) {
            last = now;
            const auto elapsed = static_cast<int32_t>(now - start);
            for (int i = 0; i < kCount; ++i) {
                if (kFirst + i == kept && kept != 0) continue;
                work[i].peRed = scale(full[i].peRed, elapsed, duration);
                work[i].peGreen = scale(full[i].peGreen, elapsed, duration);
                work[i].peBlue = scale(full[i].peBlue, elapsed, duration);
            }
            AnimatePalette(palette, kFirst, kCount, work);
        }
        SleepUntilTick(now + 1);
    }
    for (int i = 0; i < kCount; ++i) {
        work[i].peRed = toBlack ? 0 : full[i].peRed;
        work[i].peGreen = toBlack ? 0 : full[i].peGreen;
        work[i].peBlue = toBlack ? 0 : full[i].peBlue;
    }
    AnimatePalette(palette, kFirst, kCount, work);
    if (CDibG* frame = host.FrameSurface()) frame->SetColorEntries(kFirst, kCount, work);

    if (dc) {
        SelectPalette(dc, old, FALSE);
        ReleaseDC(window, dc);
    }
}

}  // namespace

void FadeOut(CPalItem* item, int32_t duration, int kept) {
    RunFade(
        item, duration, kept,
        [](BYTE c, int32_t elapsed, int32_t d) { return static_cast<BYTE>(c - c * elapsed / d); }, true);
}

void FadeIn(CPalItem* item, int32_t duration, int kept) {
    RunFade(
        item, duration, kept, [](BYTE c, int32_t elapsed, int32_t d) { return static_cast<BYTE>(c * elapsed / d); },
        false);
}
