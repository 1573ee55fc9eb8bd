#include "activities/vevudivodizide/problem_generator.h"

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "activities/vevudivodizide/number_panel.h"
#include "activities/vevudivodizide/question_board.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"

namespace vevudivodizide {

namespace {

LevelGenerator gGenerator = nullptr;
uint32_t gPasses = 0;

media::CompareLevels LevelOneEverywhere() {
    media::CompareLevels t;
    t.rows.fill(media::CompareLevelOneRow());
    for (int level = 1; level <= media::kCompareLevels; ++level) t.rows[static_cast<size_t>(level - 1)].level = static_cast<uint16_t>(level);
    return t;
}

media::CompareLevels gLevels = LevelOneEverywhere();

constexpr int16_t kLeftPanX = 50, kRightPanX = 369, kPanY = 240;
constexpr uint32_t kResLVL = ResType("LVL");

void Trace(const std::string& text) { MonoDebugWrite(("Vevudivodizide: " + text).c_str()); }

void SetMode(CAct5Board& b, uint16_t mode) {
    switch (mode) {
    case 1: b.SetMode1(); break;
    case 2: b.SetMode2(); break;
    case 3: b.SetMode3(); break;
    case 4: b.SetMode4(); break;
    case 5: b.SetMode5(); break;
    case 7: b.SetMode7(); break;
    case 8: b.SetMode8(); break;
    case 9: b.SetMode9(); break;
    case 10: b.SetMode10(); break;
    case 11: b.SetMode11(); break;
    default: break;
    }
}

bool RecentSuccess(const CAct5Board& b) {
    for (uint16_t o : b.outcomes)
        if (o == 1) return true;
    return false;
}

// The numbers drawn pass by pass until a pass meets the row's rules and, where the draw can pose
// more than one value for it, the repeat test.
media::CompareProblem Draw(CAct5Board& b, const media::CompareLevelRow& row, const media::CompareDrawSetting& s) {
    const std::vector<media::DrawSlot> slots = media::DrawSlots(row, s);
    const int side = media::RepeatSide(row, s);
    const bool repeatTest = side >= 0 && media::CountRepeatKeys(row, s) > 1;
    std::vector<int> drawn(slots.size());
    gPasses = 0;
    while (true) {
        ++gPasses;
        for (size_t i = 0; i < slots.size(); ++i) drawn[i] = slots[i].At(Random(static_cast<int16_t>(slots[i].count)));
        const auto p = media::ComposeCompareProblem(row, s, drawn);
        if (!p) continue;
        b.leftValue = static_cast<int16_t>(p->left);
        b.rightValue = static_cast<int16_t>(p->right);
        if (repeatTest && b.IsAnswerCorrect(side)) continue;
        return *p;
    }
}

void Show(CAct5Board& b, uint16_t show, const media::CompareProblem& p, uint16_t op, bool boxed) {
    const int shown = 3 - b.workSide;
    auto expr = [&](int side) { ShowExpression(b, side, p.terms[side - 1][0], op, p.terms[side - 1][1]); };
    switch (show) {
    case media::kShowPanel: ShowPanelNumber(b, shown); break;
    case media::kShowDigits: ShowPlaceDigits(b, shown); break;
    case media::kShowExpr: expr(shown); break;
    case media::kShowBothPanels: ShowBothPanels(b, boxed); break;
    case media::kShowLeftDigitsRightPanel:
        ShowPlaceDigits(b, 1);
        ShowPanelNumber(b, 2);
        break;
    case media::kShowBothDigits:
        ShowPlaceDigits(b, 1);
        ShowPlaceDigits(b, 2);
        break;
    case media::kShowLeftExprRightEither:
        expr(1);
        if (Random(2) == 1) ShowPanelNumber(b, 2);
        else ShowPlaceDigits(b, 2);
        break;
    case media::kShowLeftExprRightDigits:
        expr(1);
        ShowPlaceDigits(b, 2);
        break;
    case media::kShowBothExpr:
        expr(1);
        expr(2);
        break;
    default: break;
    }
}

}  // namespace

LevelGenerator SetLevelGenerator(LevelGenerator generator) {
    const LevelGenerator before = gGenerator;
    gGenerator = generator;
    return before;
}

uint32_t LastDrawPasses() { return gPasses; }

const media::CompareLevels& CompareLevelTable() { return gLevels; }

void SetCompareLevelTable(const media::CompareLevels& table) {
    gLevels = table;
    for (media::CompareLevelRow& row : gLevels.rows) {
        if (!media::CheckCompareRow(row)) continue;
        const uint16_t level = row.level;
        row = media::CompareLevelOneRow();
        row.level = level;
    }
}

void LoadCompareLevels() {
    std::vector<std::string> notes;
    uint32_t size = 0;
    uint8_t* copy = ResourceExists(kResLVL, kProblemLevels) ? LoadResourceCopy(kResLVL, kProblemLevels, size) : nullptr;
    if (!copy) {
        gLevels = LevelOneEverywhere();
        Trace("the level table is missing: every level plays level 1's row");
        return;
    }
    gLevels = media::ReadCompareLevels(std::span<const uint8_t>(copy, size), notes);
    FreeResourceCopy(copy);
    for (const std::string& note : notes) Trace("level table, " + note);
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
    if (b.playedLevel >= 1 && b.playedLevel < kTopLevel) (gGenerator ? gGenerator : GenerateLevelProblem)(b, b.playedLevel);
    b.targetLeft = static_cast<uint16_t>(b.leftValue);
    b.targetRight = static_cast<uint16_t>(b.rightValue);
    char line[160];
    std::snprintf(line, sizeof line, "Vevudivodizide: level %d plays %d, mode %u, work side %d, %d against %d, relation %d",
                  b.level, b.playedLevel, static_cast<unsigned>(b.answerMode), b.workSide, b.leftValue, b.rightValue,
                  b.relation == kNoRelation ? -1 : b.relation);
    MonoDebugWrite(line);
}

void GenerateLevelProblem(CAct5Board& b, uint16_t level) {
    media::CompareLevelRow row = gLevels.Row(level);
    b.leftDigits = b.rightDigits = 3;
    b.boxesShown = row.cols;
    const bool alt = row.altMode != 0 && Random(2) == 0;
    const uint16_t show = alt ? row.altShow : row.show;
    const uint16_t follow = alt ? row.altFollow : row.follow;
    const bool demonstration = (follow & media::kFollowDemonstration) != 0;
    if (demonstration && b.problemsAtLevel == 0) b.hintPending = 1;
    SetMode(b, alt ? row.altMode : row.mode);
    switch (row.compact) {
    case media::kCompactOpposite: b.UseCompactHolder(CAct5Board::Compact::Opposite); break;
    case media::kCompactBoth: b.UseCompactHolder(CAct5Board::Compact::Both); break;
    case media::kCompactLeft: b.UseCompactHolder(CAct5Board::Compact::Left); break;
    default: break;
    }
    if (demonstration) {
        b.leftPanel->SetBoxes(b.boxesShown);
        b.rightPanel->SetBoxes(b.boxesShown);
        if (b.hintPending) b.PlayModeDemonstration();
    }
    media::CompareDrawSetting s;
    s.recent = RecentSuccess(b);
    s.workSide = b.workSide;
    if (row.choice != media::kChoiceNone) s.chosen = media::ChosenRelation(row.choice, Random(static_cast<int16_t>(media::ChoiceSpan(row.choice))));
    if (row.rightRule == media::kRightTermByChoice) s.term = Random(2);
    if (media::CountRepeatKeys(row, s, 1) == 0) {
        // Rows set by a test bypass the reader's check: the draw would never end.
        Trace("level " + std::to_string(level) + "'s draw is never met: level 1's row");
        row = media::CompareLevelOneRow();
        s = {s.recent, -1, s.workSide, 0};
    }
    const media::CompareProblem p = Draw(b, row, s);
    switch (row.relation) {
    case media::kRelationEqual: b.relation = 0; break;
    case media::kRelationFromValues: b.relation = b.leftValue > b.rightValue ? 1 : 2; break;
    case media::kRelationChosen: b.relation = static_cast<uint16_t>(s.chosen); break;
    default: break;
    }
    if (row.hidden) (b.workSide == 1 ? b.leftValue : b.rightValue) = 0;
    Show(b, show, p, row.op, demonstration);
    if (follow & media::kFollowSign) b.ShowRelationSign(b.relation == kNoRelation ? 0 : b.relation);
    if (follow & media::kFollowOpen) OpenAnswerSide(b, b.workSide);
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

void ShowBothPanels(CAct5Board& b, bool boxesShown) {
    if (!boxesShown) {
        b.leftPanel->SetBoxes(b.boxesShown);
        b.rightPanel->SetBoxes(b.boxesShown);
    }
    Delay(10);
    b.leftPanel->SetValue(b.leftValue);
    b.rightPanel->SetValue(b.rightValue);
    Delay(10);
    b.leftPanel->HideBoxes();
    b.rightPanel->HideBoxes();
}

void ShowPlaceDigits(CAct5Board& b, int side) {
    if (side != 1 && side != 2) return;
    int h = 0, t = 0, o = 0;
    CCompareGame::SplitDigits(side == 1 ? b.leftValue : b.rightValue, h, t, o);
    b.AttachHolder(side, 0, 0, 0);
    b.LayoutSidePlaces(side, h, t, o);
    (side == 1 ? b.leftPlacesOpen : b.rightPlacesOpen) = 1;
}

void ShowExpression(CAct5Board& b, int side, int x, uint16_t op, int y) {
    if (side != 1 && side != 2) return;
    b.AttachHolder(side, 0, 0, 0);
    CDigitPlace* const hundreds = b.Place(side, 0);
    CDigitPlace* const tens = b.Place(side, 1);
    CDigitPlace* const ones = b.Place(side, 2);
    if (x <= 9 && y <= 9) {
        hundreds->SetFixedDigit(x);
        ones->SetFixedDigit(y);
    } else {
        const size_t first = side == 1 ? 0 : 4;  // the side's four spare cards
        b.spareCards[first + 1]->SetFixedDigit(x / 10 % 10);
        hundreds->SetFixedDigit(x % 10);
        ones->SetFixedDigit(y / 10 % 10);
        b.spareCards[first + 2]->SetFixedDigit(y % 10);
    }
    if (op == media::kOpMinus) tens->ShowPicture119();
    else tens->ShowPicture115();
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
