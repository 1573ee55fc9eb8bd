// libFuzzer target: spot items ('SPT'), spot lists ('SP#') and palette items ('PAL'), loaded
// as the game loads them from a module file. The first byte chooses the item; the rest is
// its body. What loads is then used: spots are hit-tested and outlined, palettes made.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/scene/pal_item.h"
#include "engine/scene/spot.h"
#include "media/res/res_items_test_support.h"
#include "media/res/spot_format.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/byte_order.h"
#include "platform/headless/headless_backend.h"

namespace {

void Start() {
    static bool started = false;
    if (started) return;
    plat::InstallHeadless();
    InitDibSystem(nullptr, TRUE, 0);
    started = true;
}

std::vector<uint8_t> List(std::initializer_list<uint16_t> ids) {
    std::vector<uint8_t> b;
    for (uint16_t id : ids) plat::AppendLe16(b, id);
    return b;
}

void UseSpots(itemtest::CTestHost& host, const media::CResWriter& writer) {
    if (!host.OpenModule(2, writer)) return;
    CSpotList spots;
    spots.LoadList(2500);
    CDibG surface;
    surface.Create(64, 48, nullptr);
    CDirtyRectList dirty;
    dirty.Add(RECT{0, 0, 64, 48});
    for (int y = -4; y < 52; y += 3)
        for (int x = -4; x < 68; x += 3) spots.FindAt(POINT{x, y});
    for (int32_t id = 2100; id < 2104; ++id)
        if (CSpot* s = spots.FindById(id)) s->SetOutline(TRUE);
    spots.DrawOutlines(surface, dirty);
    spots.UnloadList(2500);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    Start();
    const std::vector<uint8_t> body(data + 1, data + size);
    itemtest::CTestHost host;
    switch (data[0] % 3) {
    case 0: {  // one spot, listed twice
        media::CResWriter w;
        w.Add("SPT", 2100, body);
        w.Add("SP#", 2500, List({0, 2100, 2100}));
        UseSpots(host, w);
        break;
    }
    case 1: {  // a list naming good, missing and any spots
        media::CResWriter w;
        w.Add("SPT", 2100, media::EncodeSpotItem(2, 2, 30, 20));
        w.Add("SPT", 2101, media::EncodeSpotItem(-3, 40, 9, 52, std::vector<uint8_t>(13 * 13, 1)));
        w.Add("SP#", 2500, body);
        UseSpots(host, w);
        break;
    }
    default: {
        CPalItem item(0);
        if (item.LoadFromBytes(body)) {
            PALETTEENTRY e[4];
            item.GetEntries(254, 4, e);
        }
        break;
    }
    }
    return 0;
}
