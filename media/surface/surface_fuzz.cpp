// libFuzzer target: 'SPR' items, PCX images and BMP files, loaded as the game loads them.
// The first byte chooses the reader and the drawing mode; the rest is the input. A loaded
// picture is then drawn, so that what a reader accepted is also safe to use.
#include <cstddef>
#include <cstdint>
#include <span>

#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "platform/afx/exceptions.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"

namespace {

void Start(bool winG) {
    static int mode = -1;
    if (mode == static_cast<int>(winG)) return;
    if (mode < 0) plat::InstallHeadless();
    ShutdownDibSystem();
    InitDibSystem(nullptr, !winG, 0);
    mode = static_cast<int>(winG);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t selector = data[0];
    const std::span<const uint8_t> input(data + 1, size - 1);
    Start((selector & 0x10) != 0);

    CDibG target;
    target.Create(64, 48, nullptr);
    try {
        switch (selector % 3) {
        case 0: {
            CSprite sprite(-1);
            if (sprite.LoadFromBytes(input)) {
                target.DrawSprite(sprite, POINT{-3, 5}, RECT{0, 0, 64, 48}, TRUE);
                CSprite grown(-1);
                grown.BlitSprite(sprite, 7, -2);
            }
            break;
        }
        case 1: {
            CDibG d;
            d.LoadPcxMemory(input, nullptr, nullptr);
            target.StretchCopy(d, RECT{-5, -5, 70, 50}, RECT{0, 0, d.Width(), d.Height()});
            break;
        }
        default: {
            CPalId palette;
            CDibG d;
            d.LoadBmpMemory(input, &palette);
            target.BlitRectTransparent(d, POINT{1, 1}, POINT{0, 0}, SIZE{d.Width(), d.Height()});
            break;
        }
        }
    } catch (CException* e) {
        e->Delete();
    }
    return 0;
}
