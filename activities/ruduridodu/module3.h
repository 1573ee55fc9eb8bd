// Module 3, "Ruduridodu", as the engine sees it: the entry points behind
// RuduridoduModuleTable(), the module-wide state, the two modes of play and the factory that
// makes one round after another. In level mode a presenter sets sorting tasks chosen by the
// level table (list 200: round type and topic per table index); two good tasks in a row raise
// the level, two bad ones lower it. Exactly one round exists while a task is on.
#pragma once

#include <cstdint>
#include <memory>

#include "activities/ruduridodu/number_list.h"
#include "activities/ruduridodu/round_task.h"
#include "activities/ruduridodu/task_kinds.h"
#include "media/util/cor_geometry.h"

class CCorAnim;
class CPresenter;

// A value from 0 to n - 1 from the engine's generator (never reseeded); 0 for n below 1.
int16_t RandomBelow(int16_t n);

inline constexpr int16_t kTopLevel = 53;

// The module-wide state; one instance. Tests and the bot read it through Module3::View().
struct CModule3State {
    int16_t levelMode = 1;
    int16_t twoPlayerMode = 0;
    int16_t firstRound = 1;
    int16_t ready = 0;
    uint32_t lastActivity = 0;
    int16_t idleActs = 0;
    int16_t level = 1;
    int16_t goodRun = 0;
    int16_t badRun = 0;
    int16_t taskMistakes = 0;
    int16_t mayChangeLevel = 0;
    int16_t variant = 1;
    CLevelTable levelTable;
    CCorRect screenRect{0, 0, 0, 0};
    CRotation rotation;
    CNumberLists lists;
    std::unique_ptr<CRoundTask> currentRound;
    std::unique_ptr<CPresenter> presenter;
    CCorAnim* frontSprite = nullptr;
    CCorAnim* exitButton = nullptr;
    CCorAnim* levelButton = nullptr;
    CCorAnim* modeButton = nullptr;
    CCorAnim* binSprite = nullptr;
    // The table index, round type and topic of the last task made (0 when none was).
    int16_t taskIndex = 0;
    int16_t taskType = 0;
    int16_t taskTopic = 0;
    CModule3State();
    ~CModule3State();
};

namespace Module3 {

// The table's entries.
void Enter();
void Start();
void Tick();
void KeyDown(int32_t key);
void OnScanPoint(int32_t code);
int16_t OnAnimClicked(CCorAnim* sprite, int16_t id);
int16_t BeginLeave();
void Leave();
void Notify(int32_t code);

// The module's operations.
void LoadRoundLevels();
void CreateNextRound();
void FreeRound();
// Judges the task just solved: its wrong drops make it good (at most one) or bad.
void JudgeLevel();
void OpenRoundLevelChooser();
void OnLevelChosen(uint16_t ok, int16_t index);
void SwitchRoundMode();
void SelectRoundVariant(int16_t i);
void RaiseControls();
// The current task is solved: its closing act, the judgment and the next task.
void OnTaskSolved();
// The table index a task at this level plays: the level itself below 53, else a random
// index from 30 to 52; an index without a complete task takes the nearest one below that
// has one; 0 when none has.
int16_t TableIndexFor(int16_t level);

// Services the rounds and tiles use.
void SetReady(bool ready);
void AddTaskMistake();
CPresenter* Presenter();
// The round on now; null between rounds.
CRoundTask* CurrentRound();
// The round on now becomes this one (the round made by the module was freed first, so that the
// new one's rings can take their spots), with the bin and the play area spots loaded: rounds of
// a test's making are played as the module's own.
void UseRound(std::unique_ptr<CRoundTask> round);
// The child acted: the quiet time before an idle act starts again.
void Touch();
// The bin's lid opens and shuts.
void PlayBinAnimation();
// Plays the sound and waits for the sounds to end: false when a click cut them short.
bool PlayAndWait(int16_t sound);
// A line of the module's trace: "Ruduridodu: " and the text.
void Trace(const char* text);

const CModule3State& View();

}  // namespace Module3
