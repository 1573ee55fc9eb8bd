// Module 5, "Vevudivodizide", as the engine sees it: the entries behind
// VevudivodizideModuleTable (), the module-wide state and the callbacks the module gives the
// engine. Two screens share one background: the free board (screenState 4) and the question
// board (screenState 10); both live from Enter to Leave, and every entry and callback goes to
// the board of the current state (another state: nothing, answered 1).
#pragma once

#include <cstdint>

#include "engine/toolbox/facade.h"

class CCorAnim;
class CText;

namespace vevudivodizide {
class CAct5Board;
class CCompareFreeBoard;
}  // namespace vevudivodizide

namespace Module5 {

// The module-wide state (tests and the bot read it, nothing else writes it).
extern vevudivodizide::CCompareFreeBoard* freeBoard;
extern vevudivodizide::CAct5Board* questionBoard;
// A click went to an item box: the next click keeps the sounds playing and the after-input
// step is skipped.
extern uint16_t panelClickTaken;
extern CCorAnim* modeSwitchSprite;
extern CCorAnim* exitSprite;
extern CCorAnim* levelButton;
extern CCorAnim* decorationSprite;

// The table's entries.
void Enter();
void Start();
void Tick();
void KeyDown(int32_t key);
void OnScanPoint(int32_t code);
int16_t OnAnimClicked(CCorAnim* sprite, int16_t id);
int16_t OnTextClicked(CText* text, int16_t word);
void Leave();
void Notify(int32_t kind);

// Drag callbacks: A a digit tile, B a card, C a holder, D an item.
int16_t OnDragA(int16_t x, int16_t y);
int16_t OnDragB(int16_t x, int16_t y);
int16_t OnDragC(int16_t x, int16_t y);
int16_t OnDragD(int16_t x, int16_t y);
// Idle callbacks (EngineSetIdle counts units of 16 ms): an idle act of the guides, and the
// board's timed step (the free board's comparison after a pause).
void IdleAnimate();
void StepTimer();
inline constexpr int16_t kStepTimerUnits = 45;
// The idle act's next interval: (Random (3) + 5) × 120 units.
int16_t IdleInterval();
// Spots 1 (the mode switch) and 5 (the panels).
void SpotCallback(int16_t spot);
void AfterInput();
// 10 enters the question board, 4 the free board.
void SetScreen(int32_t state);
void AnimateSwitch();

}  // namespace Module5
