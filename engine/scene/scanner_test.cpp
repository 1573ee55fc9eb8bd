#include "engine/scene/scanner.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/base/user_prefs.h"
#include "engine/scene/anim_list.h"
#include "engine/scene/scan_target.h"
#include "engine/scene/scene_test_support.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/surface_test_support.h"
#include "platform/headless/headless_backend.h"

namespace {

struct ModuleCalls {
    std::vector<int32_t> scanPoints;
    std::vector<std::pair<CCorAnim*, int16_t>> clicks;
    std::function<void()> during;
};
ModuleCalls* g_calls = nullptr;

void RecordScanPoint(int32_t code) {
    g_calls->scanPoints.push_back(code);
    if (g_calls->during) g_calls->during();
}
int16_t RecordClick(CCorAnim* anim, int16_t id) {
    g_calls->clicks.emplace_back(anim, id);
    if (g_calls->during) g_calls->during();
    return 1;
}

class ScannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        hl = &plat::InstallHeadless();
        hl->SetQueryStep(0);  // the clock moves only when the test moves it
        res.Open();
        g_calls = &calls;
        table.OnScanPoint = RecordScanPoint;
        table.OnAnimClicked = RecordClick;
        host.table = &table;
        host.scanner = &scanner;
    }
    void TearDown() override { g_calls = nullptr; }

    CScanPointTarget* Point(int x, int y, BOOL enabled = TRUE, BOOL hide = FALSE) {
        return new CScanPointTarget(enabled, hide, x, y);
    }
    // Moves the clock one millisecond at a time until the highlight moves; the milliseconds
    // that took (0 when it did not move within limit).
    uint64_t UntilItMoves(uint64_t limit = 10000) {
        const int from = scanner.Current();
        for (uint64_t ms = 1; ms <= limit; ++ms) {
            hl->Advance(1);
            scanner.Tick();
            if (scanner.Current() != from) return ms;
        }
        return 0;
    }

    plat::HeadlessBackend* hl = nullptr;
    scenetest::CSceneResources res;
    scenetest::CFakeSceneHost host;
    ModuleFunctionTable table{};
    ModuleCalls calls;
    CScanner scanner;
};

// The first target stays the interval plus 3 s when the interval is below 2 s; every other
// target stays the interval. The highlight moves on the first millisecond past the stay.
TEST_F(ScannerTest, StepTimesTable) {
    const struct {
        int speed;
        uint64_t interval, first, later;
    } cases[] = {
        {0, 500, 3500, 500},
        {1, 150, 3150, 150},
        {10, 1500, 4500, 1500},
        {30, 4500, 4500, 4500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        CScanner s;
        for (int i = 0; i < 3; ++i) s.AddTarget(Point(10 * i, 0), -1);
        s.Configure(TRUE, c.speed, TRUE);
        EXPECT_EQ(s.Interval(), c.interval);
        ASSERT_EQ(s.Current(), 0);
        const auto moves = [&] {
            const int from = s.Current();
            for (uint64_t ms = 1; ms <= 10000; ++ms) {
                hl->Advance(1);
                s.Tick();
                if (s.Current() != from) return ms;
            }
            return uint64_t{0};
        };
        const int presents = host.presents;
        EXPECT_EQ(moves(), c.first + 1);
        EXPECT_EQ(s.Current(), 1);
        EXPECT_EQ(moves(), c.later + 1);
        EXPECT_EQ(s.Current(), 2);
        EXPECT_EQ(host.presents, presents + 2);  // each step presents the screen
        s.Enable(FALSE);
    }
}

// The player's record: scanning allowed, the speed, and whether the highlight wraps.
TEST_F(ScannerTest, ConfiguredFromThePlayersRecord) {
    const struct {
        uint32_t allowed;
        uint16_t speed;
        uint32_t advanceAuto;
        BOOL on;
        uint32_t interval;
        BOOL wrap;
    } cases[] = {
        {0, 4, 1, FALSE, 600, TRUE},
        {1, 0, 0, TRUE, 500, FALSE},
        {1, 30, 1, TRUE, 4500, TRUE},
    };
    scanner.AddTarget(Point(1, 1), -1);
    for (const auto& c : cases) {
        CUserPrefs prefs{};
        prefs.scanningAllowed = c.allowed;
        prefs.scanSpeed = c.speed;
        prefs.scanAdvanceAuto = c.advanceAuto;
        scanner.Configure(prefs);
        EXPECT_EQ(scanner.IsOn(), c.on) << c.speed;
        EXPECT_EQ(scanner.Interval(), c.interval);
        EXPECT_EQ(scanner.Wraps(), c.wrap);
        EXPECT_EQ(scanner.Current(), 0);
    }
    scanner.Enable(FALSE);
}

TEST_F(ScannerTest, NoStepWhileTheEngineIsBusyOrScanningIsOff) {
    scanner.AddTarget(Point(0, 0), -1);
    scanner.AddTarget(Point(1, 0), -1);
    scanner.Configure(TRUE, 30, TRUE);
    host.busy = true;
    hl->Advance(10000);
    scanner.Tick();
    EXPECT_EQ(scanner.Current(), 0);
    host.busy = false;
    scanner.Tick();
    EXPECT_EQ(scanner.Current(), 1);
    scanner.Enable(FALSE);
    hl->Advance(10000);
    scanner.Tick();
    EXPECT_EQ(scanner.Current(), 1);
}

TEST_F(ScannerTest, WrapDisabledTargetsAndRemovals) {
    scanner.AddTarget(Point(0, 0, FALSE), -1);  // slot 0, disabled
    scanner.AddTarget(Point(1, 0), -1);         // 1
    scanner.AddTarget(Point(2, 0, FALSE), -1);  // 2, disabled
    scanner.AddTarget(Point(3, 0), -1);         // 3
    scanner.Configure(TRUE, 30, FALSE);
    EXPECT_FALSE(scanner.Wraps());
    EXPECT_EQ(scanner.Current(), 1);  // Restart skips the disabled first
    scanner.Advance();
    EXPECT_EQ(scanner.Current(), 3);  // Advance skips too
    scanner.Advance();
    EXPECT_EQ(scanner.Current(), -1);  // past the last, without wrap: nothing
    scanner.Advance();
    EXPECT_EQ(scanner.Current(), -1);
    scanner.Restart();
    EXPECT_EQ(scanner.Current(), 1);

    scanner.Configure(TRUE, 30, TRUE);
    scanner.Advance();
    scanner.Advance();
    EXPECT_EQ(scanner.Current(), 1);  // wrapped

    // Every removal sends the highlight back to the first enabled target.
    scanner.Advance();
    ASSERT_EQ(scanner.Current(), 3);
    scanner.RemoveAt(2);
    EXPECT_EQ(scanner.Current(), 1);
    scanner.Advance();
    scanner.RemoveAt(3);  // the highlighted one
    EXPECT_EQ(scanner.Current(), 1);
    scanner.RemoveAt(1);
    EXPECT_EQ(scanner.Current(), -1);  // only a disabled one left
    EXPECT_EQ(scanner.Count(), 1);
    EXPECT_TRUE(scanner.IsOn());
}

TEST_F(ScannerTest, AFullTableTakesNoMoreAndASlotIsReplaced) {
    for (int i = 0; i < kScanSlots; ++i) ASSERT_EQ(scanner.AddTarget(Point(i, 0), -1), i);
    EXPECT_EQ(scanner.AddTarget(Point(0, 0), -1), -1);  // the target is deleted (leak check)
    EXPECT_EQ(scanner.Count(), kScanSlots);
    CScanPointTarget* replacement = Point(77, 77);
    EXPECT_EQ(scanner.AddTarget(replacement, 5), 5);
    EXPECT_EQ(scanner.Target(5), replacement);
    EXPECT_EQ(scanner.Count(), kScanSlots);
    scanner.RemoveAll();
    EXPECT_EQ(scanner.Count(), 0);
    EXPECT_EQ(scanner.Current(), -1);
}

// Activation: the last click point becomes the target's position, and the target does what a
// click would: OnScanPoint (3), OnAnimClicked with the picture id modulo 1000, the spot's
// action. The scanner is busy and not ready meanwhile, and starts again at the first target.
TEST_F(ScannerTest, ActivationReachesTheModuleAsAClickWould) {
    CAnimList list;
    CCorAnim* anim = list.Create(3020, POINT{100, 50});  // 6 × 4, hot spot (0, 0)
    host.spots[4005] = RECT{10, 20, 30, 60};
    scanner.AddTarget(Point(7, 8), -1);
    scanner.AddTarget(new CScanAnimTarget(anim, TRUE, FALSE, 1, -1), -1);
    scanner.AddTarget(new CScanSpotTarget(4005, TRUE, FALSE, 2, 3), -1);
    scanner.AddTarget(new CScanSpotTarget(4006, TRUE, FALSE, 0, 0), -1);  // no such spot
    scanner.Configure(TRUE, 30, TRUE);
    calls.during = [&] {
        EXPECT_TRUE(scanner.IsBusy());
        EXPECT_FALSE(scanner.IsReady());
    };

    scanner.Activate();
    EXPECT_EQ(calls.scanPoints, (std::vector<int32_t>{3}));
    EXPECT_EQ(host.lastClick.x, 7);
    EXPECT_EQ(host.lastClick.y, 8);
    EXPECT_EQ(scanner.Current(), 0);

    scanner.Advance();
    scanner.Activate();
    ASSERT_EQ(calls.clicks.size(), 1u);
    EXPECT_EQ(calls.clicks[0].first, anim);
    EXPECT_EQ(calls.clicks[0].second, 20);
    EXPECT_EQ(host.lastClick.x, 100 + 3 + 1);  // the picture's centre, plus the offset
    EXPECT_EQ(host.lastClick.y, 50 + 2 - 1);

    scanner.Advance();
    scanner.Advance();
    scanner.Activate();
    EXPECT_EQ(host.clickedSpots, (std::vector<int32_t>{4005}));
    EXPECT_EQ(host.lastClick.x, 20 + 2);
    EXPECT_EQ(host.lastClick.y, 40 + 3);
    EXPECT_TRUE(scanner.IsReady());
    EXPECT_FALSE(scanner.IsBusy());

    // The spot that does not exist is never highlighted; an object without a picture neither.
    anim->SetPicture(kNoPictureId);
    scanner.Advance();
    EXPECT_EQ(scanner.Current(), 2);
    scanner.Advance();
    EXPECT_EQ(scanner.Current(), 0);

    // Off: nothing.
    scanner.Enable(FALSE);
    scanner.Activate();
    EXPECT_EQ(calls.scanPoints.size(), 1u);
}

// The module clears every target from inside an activation (its own target included).
TEST_F(ScannerTest, AnActivationThatRemovesEveryTargetIsSafe) {
    scanner.AddTarget(Point(1, 1, TRUE, TRUE), -1);
    scanner.AddTarget(Point(2, 2), -1);
    scanner.Configure(TRUE, 30, TRUE);
    const int presents = host.presents;
    calls.during = [&] { scanner.RemoveAll(); };
    scanner.Activate();
    EXPECT_EQ(host.presents, presents + 1);  // hide on activate: presented before
    EXPECT_EQ(scanner.Count(), 0);
    EXPECT_EQ(scanner.Current(), -1);
    EXPECT_TRUE(scanner.IsReady());
}

TEST_F(ScannerTest, EnableHidesAndShowsThePointerOnce) {
    const int start = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    scanner.AddTarget(Point(1, 1), -1);
    scanner.Enable(TRUE);
    EXPECT_EQ(ShowCursor(TRUE) - 1, start - 1);
    ShowCursor(FALSE);
    scanner.Enable(TRUE);  // already on: no second hide
    EXPECT_EQ(ShowCursor(TRUE) - 1, start - 1);
    ShowCursor(FALSE);
    EXPECT_TRUE(scanner.IsOn());
    EXPECT_TRUE(scanner.IsReady());
    scanner.Enable(FALSE);
    EXPECT_EQ(ShowCursor(TRUE) - 1, start);
    ShowCursor(FALSE);
    scanner.Enable(FALSE);
    EXPECT_EQ(ShowCursor(TRUE) - 1, start);
    ShowCursor(FALSE);
    EXPECT_FALSE(scanner.IsOn());
}

// Removing an animation object removes the targets that follow it, and only those; text
// targets go by their object.
class CTextTarget : public CScanTarget {
public:
    explicit CTextTarget(const void* text) : CScanTarget(TRUE, FALSE, 0, 0), m_text(text) {}
    BOOL IsEnabled() override { return TRUE; }
    POINT GetPosition() override { return POINT{0, 0}; }
    void Activate() override {}
    int GetKind() const override { return kScanTextKind; }
    const void* GetObject() const override { return m_text; }
    const void* m_text;
};

TEST_F(ScannerTest, TargetsGoWithTheirObjects) {
    CAnimList list;
    CCorAnim* a = list.Create(3012, POINT{0, 0});
    CCorAnim* b = list.Create(3012, POINT{0, 0});
    int text = 0, otherText = 0;
    scanner.AddTarget(new CScanAnimTarget(a, TRUE, FALSE, 0, 0), -1);
    scanner.AddTarget(new CScanAnimTarget(b, TRUE, FALSE, 0, 0), -1);
    scanner.AddTarget(new CScanAnimTarget(a, TRUE, FALSE, 5, 5), -1);
    scanner.AddTarget(new CTextTarget(&text), -1);
    scanner.AddTarget(new CTextTarget(&otherText), -1);
    scanner.RemoveTargetsOf(a);  // not a text item: nothing
    EXPECT_EQ(scanner.Count(), 5);
    list.Remove(a);
    EXPECT_EQ(scanner.Count(), 3);
    scanner.RemoveTargetsOf(&text);
    ASSERT_EQ(scanner.Count(), 2);
    EXPECT_EQ(scanner.Target(scanner.Current())->GetObject(), b);
}

// The highlight is drawn and invalidated over the same rectangle: with its hot spot at its
// centre, moving it on and redrawing what was invalidated leaves nothing of it behind.
TEST_F(ScannerTest, AHighlightWithACentredHotSpotLeavesNoTrail) {
    surftest::StartDibSystem(surftest::Mode::Plain);
    CDibG surface;
    surface.Create(64, 48, nullptr);
    surface.Fill(9);
    CSprite* ring = GetResItem(3012, TRUE);  // 4 × 4 of colour 12
    ASSERT_NE(ring, nullptr);
    ring->SetHotspot(2, 2);
    scanner.AddTarget(Point(20, 20), -1);
    scanner.AddTarget(Point(40, 30), -1);
    scanner.SetHighlight(ring, 1, 0);
    scanner.Configure(TRUE, 30, TRUE);

    // What the presentation does: the background again under each dirty rectangle, then the
    // highlight.
    const auto present = [&] {
        CDirtyRectList dirty(64, 48);
        for (const RECT& r : host.invalidated) dirty.Add(r);
        host.invalidated.clear();
        for (const RECT& r : dirty)
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) surface.SetPixel(x, y, 9);
        scanner.Draw(surface, dirty);
    };
    present();
    const auto highlighted = [&] {
        std::vector<POINT> pixels;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                if (surface.GetPixel(x, y) == 12) pixels.push_back(POINT{x, y});
        return pixels;
    };
    // At (20, 20) + (1, 0) with the hot spot (2, 2): pixels 19..22 × 18..21.
    auto pixels = highlighted();
    ASSERT_EQ(pixels.size(), 16u);
    EXPECT_EQ(pixels.front().x, 19);
    EXPECT_EQ(pixels.front().y, 18);
    scanner.Advance();
    present();
    pixels = highlighted();
    ASSERT_EQ(pixels.size(), 16u);  // none left at the first target
    EXPECT_EQ(pixels.front().x, 39);
    EXPECT_EQ(pixels.front().y, 28);
    scanner.Enable(FALSE);
    present();
    EXPECT_TRUE(highlighted().empty());
    ShutdownDibSystem();
}

}  // namespace
