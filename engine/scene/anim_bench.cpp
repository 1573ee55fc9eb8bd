// The display list's work per frame: StepAll and DrawAll for 100 objects moving about a
// 640 × 480 frame surface, each 32 × 32 and stepping every tick, with the dirty rectangles
// their moves leave (merged as the engine's list merges them).
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/scene/anim_list.h"
#include "engine/scene/scene_host.h"
#include "media/res/anim_script.h"
#include "media/res/res_items_test_support.h"
#include "media/res/res_writer.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/headless/headless_backend.h"

namespace {

using namespace media;

class CBenchSceneHost : public ISceneHost {
public:
    uint64_t Ticks() override { return now; }
    void Invalidate(const RECT& r) override { dirty.Add(r); }
    uint64_t now = 0;
    CDirtyRectList dirty{640, 480};
};

void BM_StepAllDrawAll100Objects(benchmark::State& state) {
    plat::InstallHeadless();
    InitDibSystem(nullptr, TRUE, 0);
    {
        itemtest::CTestHost res;
        res.module = 3;
        media::CResWriter writer;
        std::vector<itemtest::Bytes> rows;
        for (int y = 0; y < 32; ++y) {
            itemtest::Bytes row;
            for (int x = 0; x < 32; ++x) row.push_back(static_cast<uint8_t>((x + y) % 3 == 0 ? 0 : 10 + (x ^ y) % 200));
            rows.push_back(row);
        }
        writer.Add("SPR", 3012, itemtest::Spr(32, rows));
        res.OpenModule(3, writer);

        CBenchSceneHost host;
        ISceneHost* saved = SetSceneHost(&host);
        CDibG frame;
        frame.Create(640, 480, nullptr);
        frame.Fill(30);
        {
            CAnimList list;
            for (int i = 0; i < 100; ++i) {
                CCorAnim* a = list.Create(3012, POINT{(i * 61) % 600, (i * 37) % 440});
                // Round and round: a step, a tick's wait, for ever.
                const int16_t dx = static_cast<int16_t>(i % 5 - 2), dy = static_cast<int16_t>(i % 3 - 1);
                a->AddInstr(kAnimMoveBy, PackAnimPoint(dx, dy));
                a->AddInstr(kAnimWait, 1);
                a->AddInstr(kAnimMoveBy, PackAnimPoint(static_cast<int16_t>(-dx), static_cast<int16_t>(-dy)));
                a->AddInstr(kAnimWait, 1);
                a->AddInstr(kAnimLoop, PackAnimLoop(4095, 4095, -5));
            }
            for (auto _ : state) {
                ++host.now;
                list.StepAll();
                list.DrawAll(frame, host.dirty);
                benchmark::DoNotOptimize(frame.Bits());
                host.dirty.RemoveAll();
            }
        }
        SetSceneHost(saved);
    }
    ShutdownDibSystem();
}
BENCHMARK(BM_StepAllDrawAll100Objects)->Unit(benchmark::kMicrosecond);

}  // namespace
