// The shared per-problem routines in the entered module: the talking head with and without a cue
// list, where its expressions stand, the waits a click cuts short, blinking, the equation boxes
// and the panel button's loop next to a wait for every sprite.
#include "activities/duravod/shared_routines.h"

#include <gtest/gtest.h>

#include <vector>

#include "activities/duravod/duravod_test_support.h"
#include "activities/duravod/scene.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace {

using duravodtest::DuravodTest;
using duravodtest::gLog;

class DuravodRoutines : public DuravodTest {
protected:
    void SetUp() override {
        DuravodTest::SetUp();
        EnterWith(0);
    }
    void PressAfter(uint64_t ms) { PressLater(330, 300, ms); }
};

TEST_F(DuravodRoutines, TheHeadOpensOnlyForASoundWithCues) {
    duravod::CSpeaker& head = *S().Speaker;
    head.Hide();
    const int16_t hatch = GetSpriteFrame(S().Hatch);
    ClearClips();
    EXPECT_EQ(head.Say(duravod::kFirstCheer), 0);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{591}));
    EXPECT_EQ(head.shown, 0);
    EXPECT_EQ(GetSpriteFrame(S().Hatch), hatch) << "the hatch stayed shut";
    EXPECT_EQ(GetSpriteFrame(head.face), duravod::kNoPicture);

    ClearClips();
    EXPECT_EQ(head.Say(duravod::kTryAgain), 0);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{318}));
    EXPECT_EQ(head.shown, 1);
    EXPECT_EQ(GetSpriteFrame(S().Hatch), duravod::kNoPicture) << "the hatch opened";
    EXPECT_EQ(GetSpriteFrame(head.face), duravod::kFace) << "the face rests after the line";
    EXPECT_EQ(GetSpriteX(head.face), 104);
    head.Hide();
    EXPECT_EQ(head.shown, 0);
    EXPECT_EQ(GetSpriteFrame(S().Hatch), duravod::kHatchClosed);
}

TEST_F(DuravodRoutines, ACutShortLineReportsTheClick) {
    duravod::CSpeaker& head = *S().Speaker;
    PressAfter(300);
    ClearClips();
    const int16_t list[] = {duravod::kTooFewCountCarefully, duravod::kTryAgain, 0};
    EXPECT_EQ(head.Say(list), 1);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{316}));
    EXPECT_FALSE(IsSndPlaying(-1));
}

// Expression 681 chosen by name stands 2 pixels left of 680's place, 682 4 right; the same 681
// drawn at random stands without the offset. All bottom-aligned with the shut hatch.
TEST_F(DuravodRoutines, NamedExpressionsStandOffsetRandomOnesDoNot) {
    duravod::CSpeaker& head = *S().Speaker;
    int16_t w = 0, h = 0;
    GetPictureSize(duravod::kHatchClosed, w, h);
    const auto placed = [&] {
        WaitSpriteDone(head.expression);
        int16_t pw = 0, ph = 0;
        GetPictureSize(GetSpriteFrame(head.expression), pw, ph);
        EXPECT_EQ(GetSpriteY(head.expression) + ph, 318 + h);
        return GetSpriteX(head.expression);
    };
    head.SetExpression(681);
    EXPECT_EQ(placed(), 84);
    head.SetExpression(682);
    EXPECT_EQ(placed(), 90);
    head.SetExpression(680);
    EXPECT_EQ(placed(), 86);
    bool sawRandom681 = false;
    for (int i = 0; i < 60 && !sawRandom681; ++i) {
        head.expressionPicture = duravod::kNoPicture;
        head.SetExpression(0);
        const int16_t x = placed();
        EXPECT_EQ(x, 86) << "a random " << head.expressionPicture;
        sawRandom681 = head.expressionPicture == 681;
    }
    EXPECT_TRUE(sawRandom681);
}

// A click ends the wait at once: the sprite stands in the final picture at the final place and
// is silent. Without the skip-on-move flag a pointer move does not end it.
TEST_F(DuravodRoutines, WaitSpriteOrSkip) {
    CCorAnim* walker = CreateSprite(100, 100, duravod::kPiece);
    QueueSpriteSound(walker, duravod::kIntroduction);
    QueueSpriteFrameMove(walker, duravod::kPiece + 1, 5, 0);
    QueueSpriteWait(walker, 600);
    QueueSpriteFrameAt(walker, duravod::kPiece + 3, 200, 200);
    PressAfter(400);
    const uint32_t before = GetEngineTicks();
    EXPECT_EQ(duravod::WaitSpriteOrSkip(walker, duravod::kPiece + 3, 200, 200, 0), 1);
    EXPECT_LT(GetEngineTicks() - before, 120u);
    EXPECT_EQ(GetSpriteFrame(walker), duravod::kPiece + 3);
    EXPECT_EQ(GetSpriteX(walker), 200);
    EXPECT_EQ(GetSpriteY(walker), 200);
    EXPECT_FALSE(IsSndPlaying(-1)) << "silent";
    RunFor(200);
    FlushEvents(1);  // the click stays queued for the handler after the wait; here it goes

    QueueSpriteWait(walker, 30);
    QueueSpriteFrameAt(walker, duravod::kPiece, 10, 10);
    head->MouseMove(head->NowMs() + 50, 300, 300);
    EXPECT_EQ(duravod::WaitSpriteOrSkip(walker, duravod::kPiece + 3, 200, 200, 0), 0);
    EXPECT_EQ(GetSpriteFrame(walker), duravod::kPiece);
}

// Blinking waits for a picture to blink while the sprite's script may still bring one; a sprite
// that shows none when nothing runs on it is left alone (the wait never ends otherwise).
TEST_F(DuravodRoutines, BlinkingAnEmptySpriteReturns) {
    CCorAnim* empty = CreateSprite(10, 10, duravod::kNoPicture);
    const uint32_t before = GetEngineTicks();
    duravod::BlinkSprite(empty, 2);
    EXPECT_LT(GetEngineTicks() - before, 3u);
    EXPECT_EQ(GetSpriteStatus(empty), 1);

    CCorAnim* late = CreateSprite(10, 10, duravod::kNoPicture);
    QueueSpriteWait(late, 10);
    QueueSpriteFrameNoWait(late, duravod::kPiece + 2);
    duravod::BlinkSprite(late, 2);
    EXPECT_EQ(GetSpriteFrame(late), duravod::kPiece + 2);
    EXPECT_EQ(GetSpriteStatus(late), 0) << "blinking";
    WaitSpriteDone(late);
    EXPECT_EQ(GetSpriteFrame(late), duravod::kPiece + 2);
}

// The panel button's loop runs for ever; waiting for every sprite ends all the same.
TEST_F(DuravodRoutines, TheButtonLoopDoesNotHoldAWaitForEverySprite) {
    duravod::StartButtonLoop();
    ASSERT_NE(S().ButtonLoopSprite, nullptr);
    RunFor(100);
    EXPECT_EQ(GetSpriteStatus(S().ButtonLoopSprite), -1);
    const uint32_t before = GetEngineTicks();
    duravod::WaitAllSprites();
    EXPECT_LT(GetEngineTicks() - before, 60u);
    duravod::StopButtonLoop();
    EXPECT_EQ(S().ButtonLoopSprite, nullptr);
}

// Every box 1..N answers a click on its own box, the last one too; a box without its text takes
// the click and reads nothing; at most 15 boxes.
TEST_F(DuravodRoutines, EveryEquationBoxTakesItsClicks) {
    S().ProblemNumbers.Set(0, 0, 6);
    for (int16_t i = 1; i <= 3; ++i) {
        S().ProblemNumbers.Set(i, 1, i);
        S().ProblemNumbers.Set(i, 2, static_cast<int16_t>(6 - i));
    }
    duravod::CEquationList list(3);
    for (int16_t i = 1; i <= 3; ++i) list.MakeText(i);
    gLog.saidRows.clear();
    for (int16_t i : {3, 1, 2}) EXPECT_EQ(list.OnClick(list.Item(i)->box, 0), 1) << i;
    EXPECT_EQ(gLog.saidRows, (std::vector<int16_t>{3, 1, 2}));
    EXPECT_EQ(list.OnClick(S().Hatch, 0), 0);
    EXPECT_EQ(list.Item(4), nullptr);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(duravod::CEquationList(40).Count(), 15);
    EXPECT_EQ(list.Overlaps(list.Item(2)->x + 5, list.Item(2)->y + 5, 4, 4), 1);
    EXPECT_EQ(list.Overlaps(300, 300, 4, 4), 0);
}

}  // namespace
