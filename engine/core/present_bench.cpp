// Presenting a full dirty frame: the whole 640 × 480 screen marked dirty, composed in the frame
// surface (the background, then 20 animation objects of 32 × 32), the screen palette realised
// and the frame copied to the game view's window on the headless back end, as the idle step does after a module's screen changed
// everywhere. Argument 0: plain device-independent bitmaps; 1: WinG.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/core/zelbo_title.h"
#include "engine/scene/pal_item.h"
#include "media/res/res_items_test_support.h"
#include "media/res/res_writer.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/display.h"
#include "platform/headless/headless_backend.h"

namespace {

void BM_PresentFullDirtyFrame(benchmark::State& state) {
    plat::InstallHeadless();
    InitDibSystem(nullptr, state.range(0) == 0, 0);
    {
        itemtest::CTestHost res;
        res.module = 1;
        media::CResWriter writer;
        std::vector<itemtest::Bytes> rows;
        for (int y = 0; y < 32; ++y) {
            itemtest::Bytes row;
            for (int x = 0; x < 32; ++x) row.push_back(static_cast<uint8_t>((x + y) % 3 == 0 ? 0 : 10 + (x ^ y) % 200));
            rows.push_back(row);
        }
        writer.Add("SPR", 1012, itemtest::Spr(32, rows));
        res.OpenModule(1, writer);

        CWinApp app;
        CWnd view;
        view.CreateEx(0, nullptr, "Trumlaby", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr);
        app.m_pMainWnd = &view;
        {
            CZelboTitle title;
            title.m_screenWidth = 640;
            title.m_screenHeight = 480;
            title.m_dirtyRects = std::make_unique<CDirtyRectList>(640, 480);
            // The screen palette, realised at every present as the game's is: 236 colours.
            std::vector<uint8_t> pal{236, 0};
            for (int i = 0; i < 236; ++i) {
                pal.push_back(static_cast<uint8_t>(i));
                pal.push_back(static_cast<uint8_t>(255 - i));
                pal.push_back(static_cast<uint8_t>(i * 7));
            }
            title.m_screenPalette = std::make_unique<CPalItem>(0);
            title.m_screenPalette->LoadFromBytes(pal);
            CPalId* palette = title.m_screenPalette->GetPalette();
            title.m_frameSurface = std::make_unique<CDibG>();
            title.m_frameSurface->CreateSurface(640, 480, palette);
            title.m_backgroundSurface = std::make_unique<CDibG>();
            title.m_backgroundSurface->CreateSurface(640, 480, palette);
            for (int y = 0; y < 480; ++y)
                for (int x = 0; x < 640; ++x)
                    title.m_backgroundSurface->SetPixel(x, y, static_cast<BYTE>(10 + (x / 8 + y / 8) % 200));
            for (int i = 0; i < 20; ++i) title.m_anims.Create(1012, POINT{(i * 61) % 600, (i * 37) % 440});
            title.m_busyGuard = 0;
            for (auto _ : state) {
                title.InvalidateGameRect(nullptr);
                title.Present(0);
                benchmark::DoNotOptimize(title.m_frameSurface->Bits());
            }
            // The frame reached the screen (a corner no object covers).
            if (plat::TheDisplay().Pixel(639, 479) != title.m_backgroundSurface->GetPixel(639, 479))
                state.SkipWithError("the frame did not reach the screen");
            title.m_anims.RemoveAll();
        }
        app.m_pMainWnd = nullptr;
        view.DestroyWindow();
    }
    ShutdownDibSystem();
}
BENCHMARK(BM_PresentFullDirtyFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
