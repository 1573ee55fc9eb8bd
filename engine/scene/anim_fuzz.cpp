// Fuzz target: any bytes as an 'ANI' item, loaded into two objects of the display list and run
// for a bounded number of passes, with cues that remove objects and clicks in between. Nothing
// may crash, read out of bounds or hang.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/base/module_table.h"
#include "engine/scene/anim_list.h"
#include "engine/scene/scene_host.h"
#include "media/res/res_items_test_support.h"
#include "media/res/res_writer.h"

namespace {

CAnimList* g_list = nullptr;
size_t g_created = 0;

// A module's cue makes a few objects; a Restart loop of cues runs thousands of them a pass,
// and making one each time would only measure a list grown without bound. The bound counts
// every object a cue made, not those still shown: a cue that removes its own object and makes
// another keeps the shown count low while the list keeps each disposed object until the
// module is left.
constexpr size_t kMaxCreated = 64;

void Cue(CCorAnim* anim, uint32_t value) {
    if (value & 1) g_list->Remove(anim);
    if ((value & 2) && g_created < kMaxCreated) {
        ++g_created;
        g_list->Create(3012, POINT{static_cast<LONG>(value >> 8 & 0xFF), 10});
    }
}
int16_t Clicked(CCorAnim* anim, int16_t) {
    g_list->Remove(anim);
    return 0;
}

class CFuzzSceneHost : public ISceneHost {
public:
    uint64_t Ticks() override { return now; }
    void WaitForTicks(uint64_t ticks) override { now = ticks; }
    ModuleFunctionTable* ModuleTable() override { return &table; }
    int PlaySound(int32_t, int channel) override { return channel >= 1 && channel <= 8 ? channel : 1; }
    bool IsSoundPlaying(int channel) override { return channel == 1 && now % 3 == 0; }
    uint64_t now = 0;
    ModuleFunctionTable table{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    itemtest::CTestHost res;
    res.module = 3;
    media::CResWriter writer;
    writer.Add("SPR", 3012, itemtest::Spr(4, {{1, 2, 0, 3}, {0, 4, 5, 6}}));
    writer.Add("SPR", 3013, itemtest::Spr(2, {{7, 7}}));
    writer.Add("ANI", 3100, std::span<const uint8_t>(data, size));
    if (!res.OpenModule(3, writer)) return 0;

    CFuzzSceneHost scene;
    scene.table.OnAnimCue = Cue;
    scene.table.OnAnimClicked = Clicked;
    ISceneHost* saved = SetSceneHost(&scene);
    {
        CAnimList list;
        g_list = &list;
        g_created = 0;
        list.Create(3012, POINT{5, 5})->LoadScript(3100);
        list.Create(2, POINT{0, 0})->LoadScript(3100);
        for (int pass = 0; pass < 24; ++pass) {
            list.StepAll();
            scene.now += 1 + static_cast<uint64_t>(pass % 7);
            list.ClickAt(POINT{6, 5}, pass % 2 == 0);
            list.FindAt(POINT{5, 6});
            list.GetState();
        }
        list.ReleaseAll(7);
        g_list = nullptr;
    }
    SetSceneHost(saved);
    return 0;
}
