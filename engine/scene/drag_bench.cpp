// One move of a drag: the frame pixels under the old rectangle put back from the work surface,
// those under the new one saved, the picture drawn there, and the union of both rectangles
// copied to the window. A 64 × 64 and a 128 × 128 picture over a 640 × 480 frame, moved 6 and 4
// pixels a step back and forth across the screen.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/scene/anim_list.h"
#include "engine/scene/drag_mgr.h"
#include "engine/scene/scene_host.h"
#include "engine/scene/spot.h"
#include "media/res/res_items_test_support.h"
#include "media/res/res_writer.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

class CBenchDragHost : public IDragHost {
public:
    CAnimList& DisplayList() override { return list; }
    CSpotList& Spots() override { return spots; }
    CDibG* FrameSurface() override { return &frame; }
    CPalId* ScreenPalette() override { return nullptr; }
    POINT PictureOrigin() override { return POINT{0, 0}; }
    HWND GameWindow() override { return window; }
    HWND MainWindow() override { return window; }
    POINT LastClickPoint() override { return POINT{40, 40}; }
    void Invalidate(const RECT*) override {}
    void PresentDirty() override {}
    void SetComposeOnly(bool) override {}
    void RedrawScene() override {}
    void StampStatic(int32_t, POINT) override {}
    void RequestClose() override {}
    bool ClosePending() override { return false; }
    bool PreTranslate(MSG&) override { return false; }

    CAnimList list;
    CSpotList spots;
    CDibG frame;
    HWND window = nullptr;
};

void BM_OneDragMove(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    plat::InstallHeadless();
    InitDibSystem(nullptr, TRUE, 0);
    {
        itemtest::CTestHost res;
        res.module = 3;
        media::CResWriter writer;
        std::vector<itemtest::Bytes> rows;
        for (int y = 0; y < side; ++y) {
            itemtest::Bytes row;
            for (int x = 0; x < side; ++x) row.push_back(static_cast<uint8_t>((x + y) % 4 == 0 ? 0 : 10 + (x ^ y) % 200));
            rows.push_back(row);
        }
        writer.Add("SPR", 3030, itemtest::Spr(side, rows));
        res.OpenModule(3, writer);

        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "DragBenchView";
        RegisterClass(&wc);
        CBenchDragHost host;
        host.window = CreateWindow("DragBenchView", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                   nullptr, nullptr);
        host.frame.Create(640, 480, nullptr);
        host.frame.Fill(30);
        auto home = std::make_unique<CSpot>(3100);
        home->SetRect(RECT{0, 0, 640, 480});
        host.spots.Append(std::move(home));
        CCorAnim* sprite = host.list.Create(3030, POINT{20, 20});
        {
            CDragMgr drag(host);
            drag.Start(sprite, 3100, 0, kNoSnapLimit, nullptr);
            POINT p{40, 40};
            int dx = 6, dy = 4;
            for (auto _ : state) {
                p.x += dx;
                p.y += dy;
                if (p.x < 40 || p.x > 600 - side) dx = -dx;
                if (p.y < 40 || p.y > 440 - side) dy = -dy;
                drag.Move(p);
                benchmark::DoNotOptimize(host.frame.Bits());
            }
            drag.Cancel();
        }
        host.list.RemoveAll();
        DestroyWindow(host.window);
    }
    ShutdownDibSystem();
}
BENCHMARK(BM_OneDragMove)->Arg(64)->Arg(128)->Unit(benchmark::kMicrosecond);

}  // namespace
