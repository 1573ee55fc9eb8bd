#include "activities/ruduridodu/module3.h"

#include <cstdio>

#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/ruduridodu/ruduridodu_ids.h"
#include "engine/base/activity_settings.h"
#include "engine/players/player_list.h"
#include "engine/players/prefs_options.h"
#include "engine/popups/level_chooser.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/module_level.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/util/mono_debug.h"

CModule3State::CModule3State() = default;
CModule3State::~CModule3State() = default;

int16_t RandomBelow(int16_t n) { return n < 1 ? int16_t{0} : Random(n); }

namespace {

CModule3State state;

ActivitySettings* Settings() {
    int16_t size = 0;
    return static_cast<ActivitySettings*>(GetSavedSettingsBlock(size));
}

void ShowLevelButton() {
    QueueSpriteFrameNoWait(state.levelButton, state.levelMode && state.mayChangeLevel ? ruduridodu::kLevelPicture : 2);
}

// A tile of the current round was clicked: its own handling, then what its placing decides.
int16_t OnTileClicked(CRoundTile* tile) {
    const int16_t result = tile->PickUp();
    CRoundTask* round = state.currentRound.get();
    if (!round) return result;
    CRoundTile* current = round->GetCurrentTile();
    if (!current || !current->IsPlaced()) return result;
    if (state.levelMode && round->IsSolved()) {
        Module3::OnTaskSolved();
        return result;
    }
    if (tile->IsGone()) round->DeleteTile(tile);
    if (CRoundTile* next = round->NextTile()) next->Appear();
    return result;
}

}  // namespace

namespace Module3 {

const CModule3State& View() { return state; }

void Trace(const char* text) {
    char line[160];
    std::snprintf(line, sizeof line, "Ruduridodu: %s\n", text);
    MonoDebugWrite(line);
}

void SetReady(bool ready) { state.ready = ready ? 1 : 0; }

void AddTaskMistake() { ++state.taskMistakes; }

CPresenter* Presenter() { return state.presenter.get(); }

CRoundTask* CurrentRound() { return state.currentRound.get(); }

void Touch() { state.lastActivity = GetEngineTicks(); }

void UseRound(std::unique_ptr<CRoundTask> round) {
    state.currentRound = std::move(round);
    EngineLoadSpot(120);
    EngineLoadSpot(100);
    RaiseControls();
}

void PlayBinAnimation() {
    PreloadAnimation(ruduridodu::kBinLid);
    SetSpriteAnim(state.binSprite, ruduridodu::kBinLid);
    WaitSpriteDone(state.binSprite);
    QueueSpriteFrameAt(state.binSprite, ruduridodu::kBinPicture, 14, 108);
}

bool PlayAndWait(int16_t sound) {
    PlaySndFree(sound);
    while (IsSndPlaying(-1)) {
        Delay(0);
        if (IsClickPending(1)) {
            StopAllSnds();
            return false;
        }
    }
    return true;
}

void Enter() {
    EngineSuspendScan();
    state.presenter = std::make_unique<CPresenter>();
    state.frontSprite = CreateSprite(0, 418, ruduridodu::kFrontPicture);
    state.exitButton = CreateSprite(4, 438, ruduridodu::kExitPicture);
    state.levelButton = CreateSprite(43, 438, 2);
    state.modeButton = CreateSprite(16, 388, ruduridodu::kModePicture);
    state.binSprite = CreateSprite(14, 108, ruduridodu::kBinPicture);
    GetScreenMode(&state.screenRect);
    SetDefaultFrameTicks(0);
    LoadRoundLevels();
    ShowNavButtonLeft(0);
}

void Start() {
    EndBusy();
    while (IsSndPlaying(-1)) {
        Delay(0);
        if (IsClickPending(1)) StopAllSnds();
    }
    LoadPlayerPrefs();
    ActivitySettings* settings = Settings();
    state.presenter->Enter(state.firstRound != 0, state.frontSprite);
    // The block's stored form (level - 1) and the range of levels are the engine's table's.
    const int16_t level = GetModuleLevel(kRuduridoduModule);
    state.level = level < 1 ? int16_t{1} : level;
    state.mayChangeLevel = settings ? static_cast<int16_t>(settings->childMayChangeLevel & 0xFFFF) : 0;
    ShowLevelButton();
    state.goodRun = 0;
    state.badRun = 0;
    state.taskMistakes = 0;
    state.rotation.Draw();
    state.presenter->SetLongIdleTurn(0);
    CreateNextRound();
    while (IsSndPlaying(-1)) Delay(0);
    // The quiet time before an idle act starts when the child can act.
    state.lastActivity = GetEngineTicks();
    BeginBusy();
}

void Tick() {
    if (!state.ready) return;
    const uint32_t now = GetEngineTicks();
    if (state.idleActs >= 4) {
        if (state.currentRound) {
            state.ready = 0;
            if (state.levelMode) state.presenter->LongIdleAct();
            state.idleActs = 0;
            state.ready = 1;
        }
        return;
    }
    const int16_t r = RandomBelow(300);
    if (now - state.lastActivity > static_cast<uint32_t>(300 + r)) {
        if (state.currentRound) {
            state.ready = 0;
            if (RandomBelow(100) % 2 == 0) {
                state.currentRound->Tiles().IdleMove();
            } else if (state.levelMode) {
                state.presenter->IdleAct();
            }
            state.ready = 1;
            ++state.idleActs;
        }
        state.lastActivity = GetEngineTicks();
    }
}

void KeyDown(int32_t) {}

void OnScanPoint(int32_t) {
    CRoundTask* round = state.currentRound.get();
    if (!round || round->RoundType() != 5) return;
    if (CRoundTile* tile = round->PickedTile()) {
        CSlotTarget* overlap = round->GetContainer(3);
        tile->DropAt(overlap ? overlap->CentreX() : int16_t{0}, overlap ? overlap->CentreY() : int16_t{0});
    } else if (!round->PickedPiece()) {
        round->AnnounceContainer(3);
    }
    state.ready = 1;
}

int16_t OnAnimClicked(CCorAnim* sprite, int16_t) {
    StopAllSnds();
    if (!sprite) return 0;
    if (sprite == state.exitButton) {
        state.ready = 0;
        QueueSpriteFrameNoWait(sprite, ruduridodu::kExitPressed);
        if (!TrackButton(sprite, ruduridodu::kExitPressed, ruduridodu::kExitPicture)) {
            state.ready = 1;
            return 1;
        }
        QueueSpriteFrameNoWait(sprite, ruduridodu::kExitPicture);
        WaitSpriteDone(sprite);
        EngineLeaveModule();
        return 1;
    }
    // The level button acts only while it shows itself: in level mode, when children may
    // change the level.
    if (sprite == state.levelButton && state.levelMode && state.mayChangeLevel) {
        if (TrackButton(sprite, ruduridodu::kLevelPressed, ruduridodu::kLevelPicture)) {
            QueueSpriteFrameNoWait(sprite, ruduridodu::kLevelPicture);
            WaitSpriteDone(sprite);
            OpenRoundLevelChooser();
        }
        state.lastActivity = GetEngineTicks();
        return 1;
    }
    CRoundTask* round = state.currentRound.get();
    if (round) {
        if (CRoundTile* tile = round->Tiles().FindBySprite(sprite)) return OnTileClicked(tile);
    }
    if (sprite == state.modeButton) {
        SwitchRoundMode();
        return 1;
    }
    if (state.presenter && state.presenter->IsOwnSprite(sprite)) {
        state.presenter->OnClick();
        return 1;
    }
    if (round) {
        if (CSlotTarget* container = round->FindContainerBySprite(sprite)) {
            state.ready = 0;
            if (state.levelMode) {
                state.presenter->Listen();
                container->Announce();
                state.presenter->Rest();
            } else {
                container->Announce();
            }
            state.lastActivity = GetEngineTicks();
            state.ready = 1;
            return 1;
        }
    }
    if (sprite == state.binSprite) {
        state.ready = 0;
        PlayBinAnimation();
        state.lastActivity = GetEngineTicks();
        state.ready = 1;
        return 1;
    }
    state.lastActivity = GetEngineTicks();
    return 0;
}

int16_t BeginLeave() { return 0; }

void Leave() {
    FreeRound();
    state.presenter.reset();
    ActivitySettings* settings = Settings();
    if (settings && settings->levelsSaved) {
        SetModuleLevel(kRuduridoduModule, state.level);
        SavePlayerPrefs();
    }
    state.levelMode = 1;
    state.twoPlayerMode = 0;
    state.ready = 0;
    // The fixed sprites go with the module: a table driven without the engine's unload (the
    // program's module check) leaves nothing behind in the display list.
    for (CCorAnim** sprite : {&state.frontSprite, &state.exitButton, &state.levelButton, &state.modeButton, &state.binSprite}) {
        DisposeSprite(*sprite);
        *sprite = nullptr;
    }
}

void Notify(int32_t code) {
    if (code == kModuleNotifyScanOn) EngineSuspendScan();
}

void LoadRoundLevels() {
    state.levelTable = CLevelTable::From(ReadNumberList(ruduridodu::kRoundLevels));
    state.lists = CNumberLists::Load();
}

int16_t TableIndexFor(int16_t level) {
    const int16_t wanted = level < kTopLevel ? level : static_cast<int16_t>(30 + RandomBelow(23));
    const int16_t index = NearestCompleteIndex(state.levelTable, wanted);
    if (index != wanted) {
        char line[120];
        if (index >= 1) {
            std::snprintf(line, sizeof line, "table index %d makes no complete task, index %d plays", wanted, index);
        } else {
            std::snprintf(line, sizeof line, "table index %d and none below it makes a complete task", wanted);
        }
        Trace(line);
    }
    return index;
}

void CreateNextRound() {
    BeginBusy();
    // Only a solved task is judged (OnTaskSolved); an abandoned task's mistakes are dropped.
    state.taskMistakes = 0;
    state.taskIndex = state.taskType = state.taskTopic = 0;
    if (state.levelMode) {
        const int16_t index = TableIndexFor(state.level);
        if (index >= 1) {
            const CLevelPair pair = state.levelTable.At(index);
            std::unique_ptr<CTaskKind> task =
                MakeTaskKind(pair.type, pair.topic, index, CTaskInputs{&state.rotation, &state.lists});
            if (task) {
                task->Prepare();
                state.taskIndex = index;
                state.taskType = pair.type;
                state.taskTopic = pair.topic;
                char line[120];
                std::snprintf(line, sizeof line, "level %d, table index %d, kind %d, topic %d", state.level, index,
                              pair.type, pair.topic);
                Trace(line);
                state.currentRound = std::move(task);
                if (!state.currentRound->Start(state.firstRound) && state.presenter) state.presenter->Rest();
            }
        }
    }
    state.firstRound = 0;
    if (state.currentRound) {
        if (CRoundTile* tile = state.currentRound->NextTile()) tile->Appear();
    }
    EngineLoadSpot(120);
    EngineLoadSpot(100);
    RaiseControls();
    EndBusy();
    state.ready = 1;
    state.lastActivity = GetEngineTicks();
}

void FreeRound() {
    state.currentRound.reset();
    EngineUnloadSpots(100);
    EngineUnloadSpots(120);
}

void JudgeLevel() {
    if (state.taskMistakes <= 1) {
        ++state.goodRun;
        state.badRun = 0;
    } else {
        state.goodRun = 0;
        ++state.badRun;
    }
    if (state.goodRun >= 2 && state.level < kTopLevel) {
        ++state.level;
        state.goodRun = state.badRun = 0;
    } else if (state.badRun >= 2 && state.level >= 2) {
        --state.level;
        state.goodRun = state.badRun = 0;
    }
    state.taskMistakes = 0;
}

void OnTaskSolved() {
    if (state.currentRound) state.currentRound->EndRound();
    FreeRound();
    JudgeLevel();
    CreateNextRound();
    state.ready = 1;
    state.lastActivity = GetEngineTicks();
}

void OpenRoundLevelChooser() {
    state.ready = 0;
    FreeRound();
    ShowLevelChooser(RuduridoduModuleTable(), OnLevelChosen, ruduridodu::kLevelTable,
                     static_cast<int16_t>(state.level - 1), ruduridodu::kLevelChooserPictures, nullptr);
}

void OnLevelChosen(uint16_t ok, int16_t index) {
    if (state.levelMode) {
        if (ok) {
            state.level = index >= 1 ? static_cast<int16_t>(index + 1 > kTopLevel ? kTopLevel : index + 1) : int16_t{1};
            state.goodRun = state.badRun = 0;
        }
        CreateNextRound();
    }
    state.ready = 1;
}

void SwitchRoundMode() {
    state.ready = 0;
    PreloadAnimation(ruduridodu::kModeTurn);
    SetSpriteAnim(state.modeButton, ruduridodu::kModeTurn);
    while (GetSpriteStatus(state.modeButton) == 0) Delay(0);
    FreeRound();
    if (state.levelMode) {
        state.twoPlayerMode = 1;
        state.levelMode = 0;
        state.firstRound = 1;
        ShowLevelButton();
        state.variant = 1;
    } else {
        state.levelMode = 1;
        state.twoPlayerMode = 0;
        ShowLevelButton();
        if (state.presenter) state.presenter->Enter(state.firstRound != 0, state.frontSprite);
        Delay(20);
    }
    CreateNextRound();
    state.lastActivity = GetEngineTicks();
    state.ready = 1;
}

void SelectRoundVariant(int16_t i) {
    state.ready = 0;
    if (i < 0 || i > 2 || state.variant == i + 1) {
        state.ready = 1;
        state.lastActivity = GetEngineTicks();
        return;
    }
    FreeRound();
    state.variant = static_cast<int16_t>(i + 1);
    CreateNextRound();
    state.ready = 1;
    state.lastActivity = GetEngineTicks();
}

void RaiseControls() {
    SpriteToFront(state.levelButton);
    SpriteToFront(state.exitButton);
    PutSpriteBefore(state.frontSprite, state.levelButton);
    PutSpriteAfter(state.modeButton, state.frontSprite);
    if (state.presenter) state.presenter->Arrange();
}

}  // namespace Module3

namespace {

constexpr ModuleFunctionTable MakeTable() {
    ModuleFunctionTable t{};
    t.Enter = Module3::Enter;
    t.Start = Module3::Start;
    t.Tick = Module3::Tick;
    t.KeyDown = Module3::KeyDown;
    t.OnScanPoint = Module3::OnScanPoint;
    t.OnAnimClicked = Module3::OnAnimClicked;
    t.BeginLeave = Module3::BeginLeave;
    t.Leave = Module3::Leave;
    t.Notify = Module3::Notify;
    return t;
}

constinit ModuleFunctionTable gTable = MakeTable();

}  // namespace

ModuleFunctionTable* RuduridoduModuleTable() { return &gTable; }
