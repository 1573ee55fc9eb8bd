// Module 2, "Duravod", as the engine sees it: the entry points behind DuravodModuleTable(), the
// levels (54 in order, then review levels drawn from 38 to 54), the problem loop that creates,
// starts and replaces the one problem object, the routing of clicks, problem mode and free play,
// and holding a paint.
#pragma once

#include <cstdint>
#include <memory>

class CCorAnim;
class CText;

namespace duravod {

class CProblem;

// The table's entries.
void Enter();
void Start();
void Tick();
void KeyDown(int32_t key);
int16_t OnAnimClicked(CCorAnim* sprite, int16_t id);
int16_t OnTextClicked(CText* text, int16_t word);
int16_t BeginLeave();
void Leave();
void Notify(int32_t code);

// The level table of the module's file into the state (a trace line for each row clamped).
void LoadLevelTable();
// Passes the level when due and starts the next problem.
void NextProblem();
std::unique_ptr<CProblem> CreateProblem(int16_t kind);
void DeleteCurrentProblem();
// The level chooser's callback.
void SetProblemLevel(uint16_t chosen, int16_t index);
void OpenLevelChooser();
// which: 0 all, 1 the hatch idle animation, 2 piece winking, 3 the hint.
void StartModuleTimers(int16_t which);
void StopModuleTimers(int16_t which);
void ClearStage();
void ShowProblemText();
void OnProblemTextClicked();
void RepeatPrompt();
void LeaveProblemMode();
void ToggleProblemMode();
void OnModeButtonClicked(CCorAnim* sprite, int16_t id, int16_t index);
void HoldPaint(int16_t index);
int16_t PickPaintLook(CCorAnim* sprite, int16_t what);
void OnPieceClicked(CCorAnim* sprite, int16_t id, int16_t index);
void PaintPiece(CCorAnim* sprite, int16_t look, int16_t index);
void PaintVisitor(int16_t look);
void OnGroupMarkerClicked(int16_t group, int16_t id);
void OnActorClicked(int16_t slot, int16_t id);
void DragPiece(CCorAnim* sprite, int16_t index);
// The level after a passed level in review: 38 to 54, drawn again while it is `avoid`.
int16_t DrawReviewLevel(int16_t avoid);

}  // namespace duravod
