// The scene: the hatch's lists and picks, the visitor's routes, the introduction cut short, the
// two idle prompts, the pointer's stand-in and blinking for ever.
#include "activities/duravod/scene.h"

#include <algorithm>
#include <set>

#include "activities/duravod/duravod_test_support.h"
#include "activities/duravod/grid_panel.h"
#include "activities/duravod/pieces.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/numbers.h"
#include "platform/core/crt.h"
#include "platform/headless/golden_test_support.h"

namespace duravodtest {
namespace {

using duravod::CHatchList;

std::vector<uint8_t> ListBytes(uint16_t n, size_t ids) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(n & 0xFF), static_cast<uint8_t>(n >> 8)};
    for (size_t i = 0; i < ids; ++i) {
        bytes.push_back(static_cast<uint8_t>(910 + i));
        bytes.push_back(static_cast<uint8_t>((910 + i) >> 8));
    }
    return bytes;
}

TEST(DuravodHatchLists, ReadWithinTheItemAndAtMostTwentyHeld) {
    const struct {
        uint16_t n;
        size_t ids;
        size_t held;
        bool noted;
    } cases[] = {
        {6, 6, 6, false}, {25, 25, 20, true}, {1, 1, 1, false}, {0, 0, 0, false},
        {5, 3, 3, true},   // the count says more than the item holds
        {0xFFFF, 4, 4, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> notes;
        const std::vector<uint8_t> bytes = ListBytes(c.n, c.ids);
        const CHatchList list = CHatchList::Parse(bytes, notes);
        EXPECT_EQ(list.Ids().size(), c.held) << c.n;
        EXPECT_EQ(!notes.empty(), c.noted) << c.n;
        for (size_t i = 0; i < list.Ids().size(); ++i) EXPECT_EQ(list.Ids()[i], static_cast<int16_t>(910 + i));
    }
    std::vector<std::string> notes;
    const uint8_t one = 7;
    EXPECT_TRUE(CHatchList::Parse(std::span<const uint8_t>(&one, 1), notes).Ids().empty());
}

TEST(DuravodHatchLists, PicksNeverRepeatWhereTheyCanAndEnd) {
    plat::SRand(3);
    std::vector<std::string> notes;
    CHatchList many = CHatchList::Parse(ListBytes(25, 25), notes);
    std::set<int16_t> seen;
    int16_t last = 0;
    for (int k = 0; k < 400; ++k) {
        const int16_t id = many.Pick();
        EXPECT_NE(id, last);
        EXPECT_GE(id, 910);
        EXPECT_LE(id, 929) << "only the first 20 are held";
        seen.insert(id);
        last = id;
    }
    EXPECT_EQ(seen.size(), 20u);
    CHatchList one = CHatchList::Parse(ListBytes(1, 1), notes);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(one.Pick(), 910) << "one id repeats";
    CHatchList none = CHatchList::Parse(ListBytes(0, 0), notes);
    EXPECT_EQ(none.Pick(), 0) << "nothing plays";
}

class DuravodScene : public DuravodTest {
protected:
    void SetUp() override {
        DuravodTest::SetUp();
        EnterWith(1);
        duravod::StopModuleTimers(0);
        duravod::StopModuleTimers(3);
    }
    // Where the sprite that shows the picture is first seen, sampled each 4 virtual ms.
    void WatchFirstPlace(int16_t picture, uint64_t ms) {
        first.reset();
        for (uint64_t t = 2; t <= ms; t += 4) {
            head->At(head->NowMs() + t, [this, picture] {
                if (first) return;
                const std::vector<CCorAnim*> showing = SpritesShowing(picture);
                if (!showing.empty()) first = CCorPoint{GetSpriteX(showing.back()), GetSpriteY(showing.back())};
            });
        }
    }
    std::optional<CCorPoint> first;
};

TEST_F(DuravodScene, AVisitorOnItsSideStaysAndSideOneAlwaysComesByRouteA) {
    ASSERT_NE(S().VisitorSide, 0) << "the greeting brought one";
    const size_t before = Sprites().size();
    const uint64_t now = head->NowMs();
    ClearClips();
    duravod::VisitorEnter(S().VisitorSide, 0);
    EXPECT_EQ(Sprites().size(), before);
    EXPECT_EQ(head->NowMs(), now);
    EXPECT_TRUE(Clips().empty());

    std::set<std::pair<int16_t, int16_t>> sideTwoStarts;
    for (int k = 0; k < 8; ++k) {
        duravod::VisitorLeave(0);
        ASSERT_EQ(S().Visitor, nullptr);
        const CCorPoint at = duravod::VisitorPosition(1);
        WatchFirstPlace(static_cast<int16_t>(duravod::kVisitorLeft + S().PieceLook), 3000);
        duravod::VisitorEnter(1, 0);
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(first->x, at.x + 100) << "route A starts above and right of the place";
        EXPECT_EQ(first->y, at.y - 106);
        EXPECT_EQ(GetSpriteX(S().Visitor), at.x);
        EXPECT_EQ(GetSpriteY(S().Visitor), at.y);
        EXPECT_EQ(S().VisitorSide, 1);
        duravod::VisitorLeave(0);
        WatchFirstPlace(static_cast<int16_t>(duravod::kVisitorRight + S().PieceLook), 3000);
        duravod::VisitorEnter(2, 1);
        ASSERT_TRUE(first.has_value());
        sideTwoStarts.insert({first->x, first->y});
        const CCorPoint place = duravod::VisitorPosition(2);
        EXPECT_EQ(GetSpriteX(S().Visitor), place.x);
        EXPECT_EQ(GetSpriteY(S().Visitor), place.y);
        EXPECT_EQ(GetSpriteFrame(S().LayerSprites[2]), duravod::kNoPicture) << "the curtain opened again";
    }
    EXPECT_GE(sideTwoStarts.size(), 2u) << "side 2 comes by more than one route";
}

TEST_F(DuravodScene, AClickCutsTheIntroductionShortWithItsLastPictures) {
    S().IntroPending = 1;
    PressLater(320, 240, 300);
    const uint64_t started = head->NowMs();
    duravod::PlayIntro();
    EXPECT_LT(head->NowMs() - started, 1500u);
    EXPECT_EQ(S().IntroPending, 0);
    EXPECT_EQ(GetSpriteFrame(S().TitleSprite), duravod::kNoPicture);
    EXPECT_EQ(GetSpriteFrame(S().LayerSprites[0]), duravod::kTitleSmall);
    EXPECT_EQ(GetSpriteX(S().LayerSprites[0]), 42);
    EXPECT_EQ(GetSpriteY(S().LayerSprites[0]), 0);
    EXPECT_EQ(GetSpriteFrame(S().Hatch), duravod::kHatchPicture);
    EXPECT_EQ(GetSpriteX(S().Hatch), 86);
    EXPECT_EQ(GetSpriteY(S().Hatch), 318);
    // Played to its end, it leaves the hatch at rest too.
    S().IntroPending = 1;
    duravod::PlayIntro();
    EXPECT_EQ(S().IntroPending, 0);
    EXPECT_EQ(GetSpriteFrame(S().Hatch), duravod::kHatchPicture);
    EXPECT_EQ(GetSpriteY(S().Hatch), 318);
}

TEST_F(DuravodScene, TheHintFiresOnceAndTheIdlePromptComesBackWithItsPeriod) {
    ClearClips();
    duravod::StartModuleTimers(3);
    ASSERT_EQ(S().HintArmed, 1);
    RunFor(20000);
    const std::vector<int16_t> clips = Clips();
    const auto hints = std::count_if(clips.begin(), clips.end(), [](int16_t id) { return id == 300 || id == 301; });
    EXPECT_EQ(hints, 1);
    EXPECT_EQ(S().HintArmed, 0);

    // The idle prompt: the hatch plays now and then, each time after 1300 to 1499 units of 16 ms.
    // Sampled by the clock, as the prompt plays inside the engine's idle step.
    std::vector<uint64_t> starts;
    bool running = false;
    duravod::StopModuleTimers(1);
    duravod::StartModuleTimers(1);
    const uint64_t armed = head->NowMs();
    for (uint64_t t = 8; t <= 90000; t += 8) {
        head->At(armed + t, [&, t] {
            const bool now = GetSpriteStatus(S().Hatch) == 0;
            if (now && !running) starts.push_back(t);
            running = now;
        });
    }
    RunFor(90000);
    ASSERT_GE(starts.size(), 3u);
    EXPECT_GE(starts[0], 1300u * 16);
    EXPECT_LE(starts[0], 1500u * 16 + 100);
    const uint64_t period = starts[1] - starts[0];
    EXPECT_GE(period, 1300u * 16);
    // The same period again (the play itself lies inside it), not a new draw.
    EXPECT_NEAR(static_cast<double>(starts[2] - starts[1]), static_cast<double>(period), 200.0);
    duravod::StopModuleTimers(1);
}

TEST_F(DuravodScene, ThePointersStandInStaysInItsClampAndTakesNoClick) {
    duravod::CCursorSprite& cursor = *S().Cursor;
    cursor.MoveTo(-50, -60);
    EXPECT_EQ(static_cast<int16_t>(cursor.x), -10);
    EXPECT_EQ(static_cast<int16_t>(cursor.y), -10);
    cursor.MoveTo(900, 700);
    EXPECT_EQ(cursor.x, 630);
    EXPECT_EQ(cursor.y, 470);
    cursor.MoveTo(300, 200);
    cursor.ShowHand();
    WaitSpriteDone(cursor.sprite);
    EXPECT_EQ(GetSpriteX(cursor.sprite), 300);
    EXPECT_EQ(GetSpriteFrame(cursor.sprite), duravod::kHandCursor);
    // The gesture sprite under it takes the click.
    QueueSpriteFrameAt(S().GestureSprite, duravod::kGesture, 300, 200);
    WaitSpriteDone(S().GestureSprite);
    cursor.ToFront();
    S().GesturesShown = 0;
    ClickAt(305, 205);
    EXPECT_EQ(S().GesturesShown, 1);
}

TEST_F(DuravodScene, BlinkingForEverGoesOnUntilTheSpriteIsStopped) {
    CCorAnim* sprite = CreateSprite(100, 100, duravod::kPiece);
    Delay(0);
    duravod::BlinkSprite(sprite, -1);
    int changes = 0;
    int16_t last = GetSpriteFrame(sprite);
    for (int t = 0; t < 300; ++t) {
        Delay(1);
        if (GetSpriteFrame(sprite) != last) ++changes;
        last = GetSpriteFrame(sprite);
    }
    EXPECT_GE(changes, 30);
    EXPECT_EQ(GetSpriteStatus(sprite), -1);
    StopSprite(sprite);
    QueueSpriteFrameNoWait(sprite, duravod::kPiece);
    Delay(1);
    last = GetSpriteFrame(sprite);
    for (int t = 0; t < 60; ++t) {
        Delay(1);
        EXPECT_EQ(GetSpriteFrame(sprite), last);
    }
    // Nothing to blink: a sprite without a picture, or a count of 0.
    CCorAnim* blank = CreateSprite(0, 0, duravod::kNoPicture);
    duravod::BlinkSprite(blank, 3);
    EXPECT_EQ(GetSpriteStatus(blank), 1);
    duravod::BlinkSprite(sprite, 0);
    EXPECT_EQ(GetSpriteStatus(sprite), 1);
}

TEST_F(DuravodScene, TheBarsSwapAndTheHatchGoesWithTheProblemBar) {
    duravod::BarLayoutB();
    WaitSpriteDone(kAllSprites);
    EXPECT_EQ(GetSpriteFrame(S().LowerBar), duravod::kBarB);
    EXPECT_EQ(GetSpriteFrame(S().Hatch), duravod::kNoPicture);
    EXPECT_EQ(S().LevelButton, nullptr);
    for (CCorAnim* button : S().ModeButtons) EXPECT_NE(button, nullptr);
    EXPECT_EQ(GetSpriteFrame(S().HomeButton), duravod::kHomePicture);
    duravod::BarLayoutA();
    WaitSpriteDone(kAllSprites);
    EXPECT_EQ(GetSpriteFrame(S().LowerBar), duravod::kBarA);
    EXPECT_EQ(GetSpriteY(S().LowerBar), 425);
    EXPECT_EQ(GetSpriteFrame(S().Hatch), duravod::kHatchPicture);
    EXPECT_EQ(GetSpriteY(S().Hatch), 318);
    EXPECT_EQ(GetSpriteY(S().SideSprite), 396);
    for (CCorAnim* button : S().ModeButtons) EXPECT_EQ(button, nullptr);
    ASSERT_NE(S().LevelButton, nullptr);
    EXPECT_EQ(GetSpriteY(S().LevelButton), 445);
}

// The stage after the introduction and the greeting: the visitor, the lower bar with its
// buttons, the hatch at rest, the panel with the problem's text.
TEST_F(DuravodScene, TheStageAfterTheIntroduction) {
    gLog.lines = {"Hur m\xE5nga bollar?"};
    // The text's face as the read-outs leave it (the engine's default outlives a test).
    EngineSetTextDefault(27);
    duravod::ShowProblemText();
    if (S().Speaker) S().Speaker->Hide();
    // The panel button's bobbing arrow runs for ever: stopped, the screen holds still.
    duravod::StopButtonLoop();
    WaitSpriteDone(kAllSprites);
    EXPECT_NE(GetSpriteFrame(S().Hatch), duravod::kNoPicture);
    EXPECT_EQ(GetSpriteY(S().Hatch), 318);
    EXPECT_EQ(GetSpriteFrame(S().LowerBar), duravod::kBarA);
    EXPECT_NE(S().Visitor, nullptr);
    EXPECT_EQ(GetSpriteFrame(S().Panel->sprite), duravod::kPanelNarrow);
    InvalidateRect16(CCorRect{0, 0, 640, 480});
    RedrawArea(0);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "duravod_stage.png");
}

}  // namespace
}  // namespace duravodtest
