#include "activities/duravod/problem.h"

#include <array>
#include <utility>

#include "activities/duravod/actors.h"
#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/duravod_module.h"
#include "activities/duravod/duravod_state.h"
#include "activities/duravod/grid_panel.h"
#include "activities/duravod/level_table.h"
#include "activities/duravod/scene.h"
#include "activities/duravod/shared_routines.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/sprite_toolbox.h"

namespace duravod {

namespace {

std::array<bool, 9> gIntroductionSaid{};

ProblemFactory& Factory() {
    static ProblemFactory factory;
    return factory;
}

int16_t Say(int16_t sound) {
    CSpeaker* speaker = State().Speaker.get();
    return speaker ? speaker->Say(sound) : int16_t{0};
}

void CloseHead() {
    if (CSpeaker* speaker = State().Speaker.get()) speaker->Hide();
}

}  // namespace

void CEquationLines::Add(const std::string& text) {
    if (count >= kEquationLines) return;
    lines[static_cast<size_t>(count++)] = text.substr(0, kEquationLineChars);
}

CProblem::CProblem() = default;
CProblem::~CProblem() = default;

void CProblem::KindOneStart() {
    CDuravodState& s = State();
    DeleteReadouts();
    ShowBinAndTray();
    if (s.VisitorSide == 1) VisitorLeave(0);
    if (s.VisitorSide != 2) VisitorEnter(2, 0);
    SetUp();
}

void CProblem::KindOneFinish() { DeleteReadouts(); }

void CProblem::BeginSetUp(int16_t batch) {
    CDuravodState& s = State();
    s.NewPieceBatch = batch;
    s.WrongTries = 0;
    firstLimit = 0;
    QueueSpriteFrameNoWait(s.LayerSprites[0], kNoPicture);
    if (s.Panel) s.Panel->Update();
}

bool CProblem::StepStaging() {
    if (++staging < 2) return false;
    staging = 0;
    return true;
}

void CProblem::EndSetUp(int16_t handOut, int16_t introduction) {
    for (int16_t slot = 0; slot < kActorSlots; ++slot) ShowSetNumber(slot, 0);
    HandOverPieces(handOut);
    WaitAllSprites();
    const int16_t kind = PlayedKind(static_cast<uint16_t>(kindCode));
    if (introduction && IntroductionDue(kind)) {
        MarkIntroductionSaid(kind);
        if (Say(introduction)) {
            CloseHead();
            return;
        }
    }
    Prompt();
}

void CProblem::WrongAnswer(int16_t held) {
    CDuravodState& s = State();
    s.SolvedInLevel = 0;
    ++s.WrongTries;
    int16_t cut = 0;
    if (s.WrongTries == 1) {
        cut = Say(kTryAgain);
    } else if (s.WrongTries == 2) {
        cut = Say(target < held ? kTooMany : kTooFew);
    } else {
        firstLimit = 1;
        cut = Say(kTryAgain);
        if (!cut) cut = Say(target < held ? kTooManyCountCarefully : kTooFewCountCarefully);
    }
    if (cut) {
        CloseHead();
    } else {
        Prompt();
    }
}

void CProblem::CorrectSteps(bool readEquation, bool setSolved) {
    CDuravodState& s = State();
    if (setSolved) solved = 1;
    RefreshReadout();
    int16_t cut = 0;
    if (passMark > s.SolvedInLevel + 1) {
        cut = Say(static_cast<int16_t>(kFirstPraise + Random(4)));
        CloseHead();
        if (!cut) PlaySndAny(static_cast<int16_t>(kFirstCheer + Random(4)));
    } else {
        cut = Say(static_cast<int16_t>(kFirstLevelPraise + Random(3)));
        CloseHead();
        if (!cut) {
            PlaySndAny(static_cast<int16_t>(kFirstCheer + Random(4)));
            PlayLevelReward();
        }
    }
    if (!cut && !WaitSoundsOrClick() && readEquation) SayEquation(0);
    if (s.WrongTries == 0) ++s.SolvedInLevel;
    solved = 0;
    // Nothing of this object is touched after this: the next problem may be of another kind.
    NextProblem();
}

bool IntroductionDue(int16_t kind) { return kind >= 1 && kind <= 8 && !gIntroductionSaid[static_cast<size_t>(kind)]; }

void MarkIntroductionSaid(int16_t kind) {
    if (kind >= 1 && kind <= 8) gIntroductionSaid[static_cast<size_t>(kind)] = true;
}

void ResetIntroductions() { gIntroductionSaid = {}; }

bool PromptSwitch(int index) {
    uint16_t ids[kPhraseSize] = {};
    const int16_t n = BuildPhrase(ids, kPromptSwitches, 0, 0, 0, 0, 0);
    if (index < 1 || index > n || index > kPhraseMaxIds) return false;
    return ids[index - 1] >= 2;
}

ProblemFactory SetProblemFactory(ProblemFactory factory) { return std::exchange(Factory(), std::move(factory)); }

std::unique_ptr<CProblem> MakeProblem(int16_t kind) {
    if (Factory()) return Factory()(kind);
    return std::make_unique<CQuietProblem>(PlayedKind(static_cast<uint16_t>(kind)));
}

CQuietProblem::CQuietProblem(int16_t kind) { kindCode = kind; }

void CQuietProblem::Start() { KindOneStart(); }

void CQuietProblem::Finish() { KindOneFinish(); }

}  // namespace duravod
