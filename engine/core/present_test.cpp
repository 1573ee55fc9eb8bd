// Presenting frames on the screen: every transition ends with the screen equal to the frame
// surface, compose-only shows nothing, only dirty rectangles are copied, the busy/presenting
// guard drops a present and keeps the list, the grown-ups' section shows black, the redraw
// settles the scripts first, and a palette that cannot be read keeps the old one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/util/mono_debug.h"
#include "platform/core/display.h"
#include "platform/mci/debug_display.h"

namespace {

using enginetest::Bytes;
using enginetest::EngineTest;

// A title whose home module has a table with nothing in it.
class CQuietTitle : public CZelboTitle {
public:
    ~CQuietTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 1 ? &table : nullptr; }
    ModuleFunctionTable table{};
};

using Pixels = std::vector<uint8_t>;

class PresentTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        // A palette of 256 different colours, so every index shows as itself.
        std::vector<std::array<uint8_t, 3>> rgb;
        for (int i = 0; i < 256; ++i)
            rgb.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
        media::CResWriter module = ModuleFile(1);
        module.Add("PAL", 1500, enginetest::Palette(rgb));
        module.Add("SPR", 1100, enginetest::Picture(20, 10, 200));
        PutSharedFile(root / "Prog");
        PutModuleFile(root / "Prog", 1, module);
        title.Startup(programFolder);
        title.m_prefs.playIntroSound = 0;
        title.m_prefs.showStopSign = 0;
        HDC dc = GetDC(mainWnd.GetSafeHwnd());
        title.PresentFrame(dc, nullptr, 0, 0);  // the first paint enters the home module
        ReleaseDC(mainWnd.GetSafeHwnd(), dc);
        ASSERT_EQ(title.m_running, 1);
        ASSERT_TRUE(title.LoadModulePalette(1500, TRUE));
        title.m_paletteWanted = title.m_paletteShown;
    }

    // Paints the background surface with colour(x, y) (indices 10 to 245, which the identity
    // palette shows unchanged) and presents it whole with no transition.
    void PaintBackground(const std::function<int(int, int)>& colour) {
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) title.m_backgroundSurface->SetPixel(x, y, static_cast<BYTE>(colour(x, y)));
    }
    static int PatternA(int x, int y) { return 10 + (x / 8 + y / 8) % 100; }
    static int PatternB(int x, int y) { return 120 + (x * 3 + y) % 120; }
    void ShowWhole(const std::function<int(int, int)>& colour) {
        PaintBackground(colour);
        title.InvalidateGameRect(nullptr);
        title.Present(0);
    }
    static Pixels Screen() {
        const plat::Display& d = plat::TheDisplay();
        return Pixels(d.Pixels(), d.Pixels() + 640 * 480);
    }
    Pixels Frame() const {
        Pixels p(640 * 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) p[static_cast<size_t>(y) * 640 + x] = title.m_frameSurface->GetPixel(x, y);
        return p;
    }
    // The first pixel where two pictures differ, for messages.
    static std::string FirstDifference(const Pixels& a, const Pixels& b) {
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return "(" + std::to_string(i % 640) + ", " + std::to_string(i / 640) + "): " + std::to_string(a[i]) +
                       " vs " + std::to_string(b[i]);
        return "none";
    }

    CQuietTitle title;
};

class PresentKinds : public PresentTest, public ::testing::WithParamInterface<int> {};

// A transition draws the whole frame surface, whatever is dirty: with the frame holding a new
// picture and one small rectangle dirty, the timed kinds leave the whole screen equal to the
// frame, the untimed pushes all of it but the last 2 columns (shifted by them), and the kinds
// without steps only the dirty rectangle. Compose-only shows nothing.
TEST_P(PresentKinds, TheTransitionDrawsTheWholeFrameSurface) {
    const int kind = GetParam();
    ShowWhole(PatternA);
    PaintBackground(PatternB);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) title.m_frameSurface->SetPixel(x, y, static_cast<BYTE>(PatternB(x, y)));
    const RECT dirty{300, 200, 340, 230};
    title.InvalidateGameRect(&dirty);
    title.Present(static_cast<int16_t>(kind));
    const Pixels screen = Screen();
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool inside = x >= dirty.left && x < dirty.right && y >= dirty.top && y < dirty.bottom;
            int expected;
            if (kind == 5) {
                expected = PatternA(x, y);
            } else if (inside) {
                expected = PatternB(x, y);
            } else if (kind == 0 || kind == 4 || kind == 6) {
                expected = PatternA(x, y);
            } else if (kind == -2) {  // the screen moved left: the frame from x = 2 on
                expected = x >= 2 ? PatternB(x - 2, y) : PatternA(x + 638, y);
            } else if (kind == -1) {  // the screen moved right: the frame up to x = 638
                expected = x < 638 ? PatternB(x + 2, y) : PatternA(x - 638, y);
            } else {
                expected = PatternB(x, y);
            }
            if (screen[static_cast<size_t>(y) * 640 + x] != expected && wrong++ == 0) {
                ADD_FAILURE() << "first wrong pixel (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// Whatever the transition, with the whole screen dirty the screen ends equal to the frame
// surface; compose-only leaves the screen as it was until the next plain presentation.
TEST_P(PresentKinds, TheScreenEndsEqualToTheFrameSurface) {
    const int kind = GetParam();
    ShowWhole(PatternA);
    const Pixels before = Screen();
    ASSERT_EQ(before[0], PatternA(0, 0));
    PaintBackground(PatternB);
    title.InvalidateGameRect(nullptr);
    title.Present(static_cast<int16_t>(kind));
    EXPECT_TRUE(title.m_dirtyRects->IsEmpty());
    EXPECT_EQ(title.m_frameSurface->GetPixel(639, 479), PatternB(639, 479)) << "the frame holds the new picture";
    if (kind == 5) {
        EXPECT_EQ(Screen(), before) << FirstDifference(Screen(), before);
        title.InvalidateGameRect(nullptr);
        title.Present(0);
    }
    const Pixels frame = Frame();
    EXPECT_EQ(Screen(), frame) << FirstDifference(Screen(), frame);
}

INSTANTIATE_TEST_SUITE_P(Transitions, PresentKinds, ::testing::Range(-2, 11),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param < 0 ? "Minus" + std::to_string(-info.param) : std::to_string(info.param);
                         });

// With the compose-only flag every presentation composes and shows nothing.
TEST_F(PresentTest, TheComposeOnlyFlagShowsNothing) {
    ShowWhole(PatternA);
    const Pixels before = Screen();
    title.m_composeOnly = 1;
    ShowWhole(PatternB);
    EXPECT_EQ(Screen(), before);
    EXPECT_EQ(title.m_frameSurface->GetPixel(5, 5), PatternB(5, 5));
    title.m_composeOnly = 0;
}

// Kind 0 copies the dirty rectangles and nothing else.
TEST_F(PresentTest, KindZeroCopiesOnlyTheDirtyRectangles) {
    ShowWhole(PatternA);
    PaintBackground(PatternB);
    const RECT dirty[] = {{100, 50, 300, 120}, {400, 300, 420, 310}};
    for (const RECT& r : dirty) title.InvalidateGameRect(&r);
    title.Present(0);
    const Pixels screen = Screen();
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            bool inside = false;
            for (const RECT& r : dirty) inside |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            const int expected = inside ? PatternB(x, y) : PatternA(x, y);
            wrong += screen[static_cast<size_t>(y) * 640 + x] != expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

// While the busy/presenting guard is set (a frame being composed, a module being entered), a
// present is dropped and the dirty list keeps its rectangles for the next one.
TEST_F(PresentTest, TheGuardDropsAPresentAndKeepsTheDirtyList) {
    ShowWhole(PatternA);
    const Pixels before = Screen();
    PaintBackground(PatternB);
    const RECT r{10, 20, 60, 40};
    title.m_busyGuard = 1;
    title.InvalidateGameRect(&r);
    title.Present(0);
    title.StepAndPresent();
    title.RedrawArea(0);
    EXPECT_EQ(Screen(), before);
    ASSERT_EQ(title.m_dirtyRects->GetCount(), 1u);
    EXPECT_EQ(title.m_dirtyRects->begin()->left, 10);
    EXPECT_EQ(title.m_dirtyRects->begin()->bottom, 40);
    title.m_busyGuard = 0;
    title.Present(0);
    EXPECT_TRUE(title.m_dirtyRects->IsEmpty());
    EXPECT_EQ(Screen()[20 * 640 + 10], PatternB(10, 20));
    EXPECT_EQ(Screen()[40 * 640 + 10], PatternA(10, 40));
}

// A paint while the grown-ups' section is open shows black, not the scene behind it.
TEST_F(PresentTest, APaintInTheGrownUpsSectionIsBlack) {
    ShowWhole(PatternB);
    title.m_inAdultArea = 1;
    HDC dc = GetDC(mainWnd.GetSafeHwnd());
    title.PresentFrame(dc, nullptr, 0, 0);
    ReleaseDC(mainWnd.GetSafeHwnd(), dc);
    title.m_inAdultArea = 0;
    const plat::Display& d = plat::TheDisplay();
    int lit = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) lit += d.ShownColour(x, y) != 0;
    EXPECT_EQ(lit, 0);
}

// The redraw plays the running scripts to their end before it presents; while the module is
// being taken down it does nothing.
TEST_F(PresentTest, RedrawSettlesTheScriptsFirst) {
    ShowWhole(PatternA);
    CCorAnim* walker = title.m_anims.Create(1100, POINT{0, 0});
    walker->AddInstr(media::kAnimWait, 30);
    walker->AddInstr(media::kAnimMoveTo, 0x00640032);  // (50, 100): x in the low half
    title.m_unloading = 1;
    title.RedrawArea(2);
    EXPECT_EQ(walker->GetScriptState(), 0) << "nothing runs while unloading";
    title.m_unloading = 0;
    const uint64_t start = plat::NowMs64();
    title.RedrawArea(2);
    EXPECT_GE(plat::NowMs64() - start, 500u) << "the script's wait was played out";
    EXPECT_EQ(walker->GetScriptState(), kAnimFinished);
    EXPECT_EQ(Screen(), Frame());
}

// A palette that cannot be read keeps the old one, with its surfaces; one that can replaces
// it, and surfaces kept (no rebuild) take its colours.
TEST_F(PresentTest, AFailedPaletteKeepsTheOldOne) {
    for (BOOL rebuild : {TRUE, FALSE}) {
        CPalItem* palette = title.m_screenPalette.get();
        CDibG* frame = title.m_frameSurface.get();
        EXPECT_FALSE(title.LoadModulePalette(1777, rebuild));
        EXPECT_EQ(title.m_screenPalette.get(), palette);
        EXPECT_EQ(title.m_paletteShown, 1500);
        EXPECT_EQ(title.m_frameSurface.get(), frame);
    }
    // A wanted palette that cannot be read: the frame is still presented in the old one.
    ShowWhole(PatternA);
    PaintBackground(PatternB);
    title.m_paletteWanted = 1777;
    title.InvalidateGameRect(nullptr);
    title.Present(0);
    EXPECT_EQ(title.m_paletteShown, 1500);
    EXPECT_EQ(Screen(), Frame());
    title.m_paletteWanted = 1500;

    CDibG* frame = title.m_frameSurface.get();
    ASSERT_TRUE(title.LoadModulePalette(1000, FALSE));
    EXPECT_EQ(title.m_frameSurface.get(), frame);
    EXPECT_EQ(frame->Palette(), title.m_screenPalette->GetPalette());
    EXPECT_EQ(title.m_backgroundSurface->Palette(), title.m_screenPalette->GetPalette());
    EXPECT_EQ(frame->GetPixel(3, 3), PatternB(3, 3)) << "the pixels stay";
}

// The trace tells when an entered module first shows a frame (a start is timed by it from
// outside): once per entry, and not for a frame only composed.
TEST_F(PresentTest, TheFirstFrameShownAfterEachEntryIsTracedOnce) {
    // A name of its own: other builds on the machine run this test at the same time.
    const std::filesystem::path trace =
        std::filesystem::temp_directory_path() / ("zelbo-present-trace-" + std::to_string(std::random_device{}()) + ".txt");
    std::filesystem::remove(trace);
    plat::SetTraceTarget(trace.string());
    MonoDebugOpen();
    title.m_composeOnly = 1;
    title.GoToModule(1, TRUE);
    ShowWhole(PatternA);
    title.m_composeOnly = 0;
    const auto text = [&] {
        std::ifstream in(trace);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(text(), "") << "nothing shown yet";
    ShowWhole(PatternA);
    ShowWhole(PatternB);
    EXPECT_EQ(text(), "Module 1: first frame shown\n");
    title.GoToModule(1, TRUE);
    ShowWhole(PatternA);
    EXPECT_EQ(text(), "Module 1: first frame shown\nModule 1: first frame shown\n");
    MonoDebugClose();
    plat::SetTraceTarget(std::nullopt);
    std::filesystem::remove(trace);
}

}  // namespace
