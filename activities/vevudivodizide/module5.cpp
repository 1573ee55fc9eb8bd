#include "activities/vevudivodizide/module5.h"

#include "activities/vevudivodizide/free_board.h"
#include "activities/vevudivodizide/problem_generator.h"
#include "activities/vevudivodizide/question_board.h"
#include "activities/vevudivodizide/vevudivodizide.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/base/activity_settings.h"
#include "engine/players/player_list.h"
#include "engine/players/prefs_options.h"
#include "engine/popups/level_chooser.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/module_level.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/waits.h"

using vevudivodizide::CAct5Board;
using vevudivodizide::CCompareFreeBoard;
using vevudivodizide::kFreeBoard;
using vevudivodizide::kQuestionBoard;
using vevudivodizide::screenState;

namespace Module5 {

CCompareFreeBoard* freeBoard = nullptr;
CAct5Board* questionBoard = nullptr;
uint16_t panelClickTaken = 0;
CCorAnim* modeSwitchSprite = nullptr;
CCorAnim* exitSprite = nullptr;
CCorAnim* levelButton = nullptr;
CCorAnim* decorationSprite = nullptr;

namespace {

bool OnFreeBoard() { return screenState == kFreeBoard && freeBoard; }
bool OnQuestionBoard() { return screenState == kQuestionBoard && questionBoard; }

ActivitySettings* Settings() {
    int16_t size = 0;
    void* block = GetSavedSettingsBlock(size);
    if (!block || size < static_cast<int16_t>(sizeof(ActivitySettings))) return nullptr;
    return static_cast<ActivitySettings*>(block);
}

}  // namespace

int16_t IdleInterval() { return static_cast<int16_t>((Random(3) + 5) * 120); }

void Enter() {
    screenState = kFreeBoard;
    panelClickTaken = 0;
    freeBoard = new CCompareFreeBoard;
    freeBoard->Build();
    freeBoard->Reset();
    questionBoard = new CAct5Board;
    questionBoard->Build();
    questionBoard->Reset();
    questionBoard->LoadLevel();
    vevudivodizide::LoadCompareLevels();
    questionBoard->SetStopSpeech(0);
    EngineSetSpotHandler(vevudivodizide::kSpotModeSwitch, SpotCallback);
    EngineSetSpotHandler(vevudivodizide::kSpotPanels, SpotCallback);
    EngineEnableSpot(vevudivodizide::kSpotModeSwitch, 0);
    EngineEnableSpot(vevudivodizide::kSpotPanels, 0);
    ShowNavButtonLeft(0);
    decorationSprite = CreateSprite(0, 413, vevudivodizide::kPicDecoration);
    modeSwitchSprite = CreateSprite(15, 380, vevudivodizide::kPicSwitch);
    exitSprite = CreateSprite(9, 439, vevudivodizide::kPicExit);
    levelButton = CreateSprite(50, 438, vevudivodizide::kPicNone);
    questionBoard->StartRound();
    AfterInput();
    InvalidateRect16(CCorRect{0, 0, 640, 480});
    RedrawArea(0);
}

void Start() {
    StopAllSnds();
    if (!OnQuestionBoard()) return;
    CAct5Board& b = *questionBoard;
    b.SetStopSpeech(0);
    if (!IsScanOn()) EndBusy();
    b.PlayIntroScene(Random(2));
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) {
        if (IsClickPending(0)) {
            b.SetStopSpeech(1);
            break;
        }
        Delay(1);
    }
    if (b.StopSpeech()) {
        StopAllSnds();
        b.StopCharacters();
        b.RestBoth();
        b.WaitSpritesDone();
    } else {
        b.RestBoth();
        b.WaitSpritesDone();
        b.Introduce();
    }
    if (!IsScanOn()) BeginBusy();
    b.SetStopSpeech(0);
    vevudivodizide::GenerateProblem(b);
    AfterInput();
    if (!IsScanOn()) EndBusy();
    b.SpeakInstructions();
    if (!IsScanOn()) BeginBusy();
    b.ArmIdle();
    b.SetStopSpeech(0);
}

void Tick() {}

void KeyDown(int32_t key) {
    if (OnFreeBoard()) {
        freeBoard->OnKey(key);
    } else if (OnQuestionBoard()) {
        questionBoard->StopIdle();
        questionBoard->OnKey(key);
        if (questionBoard) questionBoard->ArmIdle();
    }
}

void OnScanPoint(int32_t) {}

int16_t OnAnimClicked(CCorAnim* sprite, int16_t id) {
    if (!panelClickTaken) StopAllSnds();
    if (OnFreeBoard()) {
        if (freeBoard->OnClick(sprite)) {
            if (!panelClickTaken) AfterInput();
            return 1;
        }
    } else if (OnQuestionBoard()) {
        questionBoard->StopIdle();
        if (questionBoard->OnClick(sprite, id)) {
            if (OnQuestionBoard() && !questionBoard->IsChooserAsked()) questionBoard->ArmIdle();
            if (!panelClickTaken) AfterInput();
            return 1;
        }
        questionBoard->ArmIdle();
    }
    if (sprite && sprite == exitSprite) {
        if (OnQuestionBoard()) questionBoard->StopIdle();
        QueueSpriteFrameNoWait(exitSprite, vevudivodizide::kPicExitPressed);
        if (TrackButton(exitSprite, vevudivodizide::kPicExitPressed, vevudivodizide::kPicExit)) {
            Delay(0);
            EngineLeaveModule();
        }
        return 1;
    }
    return 0;
}

int16_t OnTextClicked(CText*, int16_t) { return 1; }

void Leave() {
    // A chooser still open hears its cancel while the board it answers to still exists.
    StopAllSnds();
    CloseLevelChooser();
    EngineRemoveIdle(IdleAnimate);
    EngineRemoveIdle(StepTimer);
    // The scan targets follow the sprites about to go.
    ClearScanTargets();
    DisposeAllSprites();
    FreeAllSnds();
    const int16_t level = questionBoard ? static_cast<int16_t>(questionBoard->GetLevel()) : int16_t{1};
    delete freeBoard;
    delete questionBoard;
    freeBoard = nullptr;
    questionBoard = nullptr;
    modeSwitchSprite = exitSprite = levelButton = decorationSprite = nullptr;
    panelClickTaken = 0;
    const ActivitySettings* settings = Settings();
    if (settings && settings->levelsSaved) {
        SetModuleLevel(kVevudivodizideModule, level);
        SavePlayerPrefs();
    }
}

void Notify(int32_t) {
    if (OnFreeBoard()) {
        freeBoard->SetScanStep1();
        AfterInput();
    } else if (OnQuestionBoard()) {
        questionBoard->ResetScan();
        AfterInput();
    }
}

int16_t OnDragA(int16_t x, int16_t y) {
    if (OnFreeBoard()) return freeBoard->OnTileDragMove(x, y);
    if (OnQuestionBoard()) return questionBoard->OnTileDragMoveHere(x, y);
    return 1;
}

int16_t OnDragB(int16_t x, int16_t y) {
    if (OnFreeBoard()) return freeBoard->OnCardDragMove(x, y);
    if (OnQuestionBoard()) return questionBoard->OnCardDragMove(x, y);
    return 1;
}

int16_t OnDragC(int16_t x, int16_t y) {
    if (OnFreeBoard()) return freeBoard->OnHolderDragMove(x, y);
    if (OnQuestionBoard()) return questionBoard->OnHolderDragMove(x, y);
    return 1;
}

int16_t OnDragD(int16_t x, int16_t y) { return OnDragC(x, y); }

void IdleAnimate() {
    EngineRemoveIdle(IdleAnimate);
    if (!OnQuestionBoard()) return;
    questionBoard->IdleAct();
    EngineSetIdle(IdleInterval(), IdleAnimate);
}

void StepTimer() {
    EngineRemoveIdle(StepTimer);
    // Only the free board has a timed step (its comparison after a pause).
    if (OnFreeBoard()) freeBoard->CompareAfterPause();
}

void SpotCallback(int16_t spot) {
    if (spot == vevudivodizide::kSpotModeSwitch) {
        if (OnQuestionBoard()) freeBoard->Enter();
    } else if (spot == vevudivodizide::kSpotPanels) {
        if (OnFreeBoard()) {
            freeBoard->DeselectLabels();
        } else if (OnQuestionBoard()) {
            questionBoard->StopIdle();
            questionBoard->OnDrop();
            if (questionBoard) questionBoard->ArmIdle();
        }
    }
    FlushEvents(6);
}

void AfterInput() {
    if (OnFreeBoard()) freeBoard->RebuildScanTargets();
    else if (OnQuestionBoard()) questionBoard->RebuildScanTargets();
}

void SetScreen(int32_t state) {
    screenState = state;
    if (state == kQuestionBoard && questionBoard) questionBoard->Enter();
    else if (state == kFreeBoard && freeBoard) freeBoard->Enter();
}

void AnimateSwitch() {
    PlaySndFree(vevudivodizide::kSndSwitch);
    vevudivodizide::ShowAt(modeSwitchSprite, vevudivodizide::kPicSwitchTurn2, 4, 381);
    Delay(12);
    vevudivodizide::ShowAt(modeSwitchSprite, vevudivodizide::kPicSwitchTurn1, 14, 380);
    Delay(8);
    vevudivodizide::ShowAt(modeSwitchSprite, vevudivodizide::kPicSwitch, 15, 380);
    Delay(8);
}

}  // namespace Module5

namespace {

constexpr ModuleFunctionTable MakeTable() {
    ModuleFunctionTable t{};
    t.Enter = Module5::Enter;
    t.Start = Module5::Start;
    t.Tick = Module5::Tick;
    t.KeyDown = Module5::KeyDown;
    t.OnScanPoint = Module5::OnScanPoint;
    t.OnAnimClicked = Module5::OnAnimClicked;
    t.OnTextClicked = Module5::OnTextClicked;
    t.Leave = Module5::Leave;
    t.Notify = Module5::Notify;
    return t;
}

constinit ModuleFunctionTable gTable = MakeTable();

}  // namespace

ModuleFunctionTable* VevudivodizideModuleTable() { return &gTable; }
