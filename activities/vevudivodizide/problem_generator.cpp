#include "activities/vevudivodizide/problem_generator.h"

#include <cstdio>

#include "activities/vevudivodizide/number_panel.h"
#include "activities/vevudivodizide/question_board.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/util/mono_debug.h"

namespace vevudivodizide {

namespace {

LevelGenerator gGenerator = nullptr;

constexpr int16_t kLeftPanX = 50, kRightPanX = 369, kPanY = 240;

}  // namespace

LevelGenerator SetLevelGenerator(LevelGenerator generator) {
    const LevelGenerator before = gGenerator;
    gGenerator = generator;
    return before;
}

void GenerateProblem(CAct5Board& b) {
    b.lastInputTime = GetEngineTicks();
    b.relation = kNoRelation;
    b.workSide = 2;
    b.attempt = 1;
    b.leftDropLive = b.rightDropLive = b.wantLarger = 1;
    b.leftCompactHolder = b.rightCompactHolder = 0;
    b.RestBoth();
    b.FadeOutSign();
    b.leftPanel->LayoutArcItems(260);
    b.rightPanel->LayoutArcItems(260);
    b.PansLevel();
    ShowPicture(b.leftHolder, kPicNone);
    ShowPicture(b.rightHolder, kPicNone);
    ShowPicture(b.typingCursor, kPicNone);
    b.leftPanel->Clear();
    b.rightPanel->Clear();
    for (CDigitPlace* card : b.spareCards) card->Empty();
    b.DetachHolder(1);
    b.DetachHolder(2);
    b.FollowPan(1, kLeftPanX, kPanY);
    b.FollowPan(2, kRightPanX, kPanY);
    b.LayoutSpareCards();
    b.leftPlacesOpen = b.rightPlacesOpen = 0;
    b.SetTypingSide(1, false);
    b.SetTypingSide(2, false);
    b.activeSide = 2;
    for (int side = 1; side <= 2; ++side)
        for (int i = 0; i < 3; ++i) b.Place(side, i)->Unhighlight();
    b.WaitSpritesDone();
    b.playedLevel = b.level < kTopLevel ? b.level : static_cast<uint16_t>(69 + Random(static_cast<int16_t>(b.level - 69)));
    if (b.playedLevel >= 1 && b.playedLevel < kTopLevel) (gGenerator ? gGenerator : PoseStandInProblem)(b, b.playedLevel);
    b.targetLeft = static_cast<uint16_t>(b.leftValue);
    b.targetRight = static_cast<uint16_t>(b.rightValue);
    char line[160];
    std::snprintf(line, sizeof line, "Vevudivodizide: level %d plays %d, mode %u, work side %d, %d against %d, relation %d",
                  b.level, b.playedLevel, static_cast<unsigned>(b.answerMode), b.workSide, b.leftValue, b.rightValue,
                  b.relation == kNoRelation ? -1 : b.relation);
    MonoDebugWrite(line);
}

void PoseStandInProblem(CAct5Board& b, uint16_t) {
    b.leftDigits = b.rightDigits = 3;
    b.boxesShown = 1;
    b.SetMode1();
    const int shown = 3 - b.workSide;
    do {
        const int16_t v = static_cast<int16_t>(1 + Random(9));
        b.leftValue = shown == 1 ? v : int16_t{0};
        b.rightValue = shown == 2 ? v : int16_t{0};
    } while (b.IsAnswerCorrect(shown));
    b.relation = 0;
    ShowPanelNumber(b, shown);
}

void ShowPanelNumber(CAct5Board& b, int side) {
    CNumberPanel* panel = b.Panel(side);
    if (!panel) return;
    panel->SetBoxes(b.boxesShown);
    Delay(10);
    panel->SetValue(side == 1 ? b.leftValue : b.rightValue);
    Delay(10);
    panel->HideBoxes();
}

void ShowPlaceDigits(CAct5Board& b, int side) {
    if (side != 1 && side != 2) return;
    int h = 0, t = 0, o = 0;
    CCompareGame::SplitDigits(side == 1 ? b.leftValue : b.rightValue, h, t, o);
    b.AttachHolder(side, 0, 0, 0);
    b.LayoutSidePlaces(side, h, t, o);
    (side == 1 ? b.leftPlacesOpen : b.rightPlacesOpen) = 1;
}

void OpenAnswerSide(CAct5Board& b, int side) {
    if (side == 1) b.OpenLeftForAnswer();
    else if (side == 2) b.OpenRightForAnswer();
    else return;
    b.SetTypingSide(side, true);
    b.ShowCursor(side);
}

}  // namespace vevudivodizide
