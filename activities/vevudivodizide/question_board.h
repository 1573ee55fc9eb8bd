// CAct5Board: the question board (screenState 10). On the compare game's balance it poses one
// problem at a time at the child's level: the answer mode (1, 2, 3, 4, 5, 7, 8, 9, 10 or 11)
// says which side the child works on and which controls take the answer (item boxes, digit
// tiles and typing, a click on a side, the relation buttons); the check button, a click on a
// side or a relation button asks for the verdict. Two problems in a row solved at the first try
// raise the level (1..88); the level chooser sets it where the grown-ups allow it.
//
// The module (module5.h) holds one board from its entry to its leaving; GenerateProblem
// (problem_generator.h) poses the problems; the guides' speech (guides.cpp) keeps its place in
// every sequence. User-interface thread only; the operations wait through the toolbox, so
// input stays queued meanwhile.
#pragma once

#include <array>
#include <cstdint>

#include "activities/vevudivodizide/compare_game.h"

namespace vevudivodizide {

inline constexpr uint16_t kTopLevel = 88;
inline constexpr uint16_t kNoRelation = 0xFFFF;

class CAct5Board : public CCompareGame {
public:
    CAct5Board();

    // ---- Screen ----
    // Entering from the free board: the starting state, the intro, a problem, the instructions.
    void Enter();
    void StartRound();
    // 1 when the click was taken.
    int16_t OnClick(CCorAnim* sprite, int16_t id);
    void OnKey(int32_t key);
    void RebuildScanTargets();
    void StopIdle();
    void ArmIdle();
    void SaveTileStates();
    void RestoreTileStates();
    void ResetScan() { scanStep = 1; }
    uint16_t GetLevel() const { return level; }
    uint16_t IsChooserAsked() const { return levelChooserAsked; }
    // The tile drag's move: the work side's places under the point are highlighted.
    int16_t OnTileDragMoveHere(int16_t x, int16_t y);

    // ---- Answer modes ----
    void SetMode1();
    void SetMode2();
    void SetMode3();
    void SetMode4();
    void SetMode5();
    void SetMode7();
    void SetMode8();
    void SetMode9();
    void SetMode10();
    void SetMode11();
    bool IsAnswerCorrect(int side) const;
    bool IsRelationRight() const;
    bool IsBuiltRelationRight() const;
    bool IsSignRight() const;
    bool IsWorkSideUnbuilt() const;
    void Evaluate();
    void ChooseRelation(int kind);
    void OnDrop();
    void JudgeLeftDrop();
    void JudgeRightDrop();
    void AddLeftItem() { AddItemOn(1); }
    void AddRightItem() { AddItemOn(2); }
    void MoveLeftItem() { MoveItemOn(1); }
    void MoveRightItem() { MoveItemOn(2); }
    void TypeDigit(int d);
    void TakeTile(int d);
    void MoveLeftCard(int i) { MoveCardOn(1, i); }
    void MoveRightCard(int i) { MoveCardOn(2, i); }
    void MarkPlace(int i, int side);
    void Backspace();
    void ToggleLeftPlaces() { TogglePlacesOn(1); }
    void ToggleRightPlaces() { TogglePlacesOn(2); }
    void DropLeftHolder() { DropHolderOn(1); }
    void DropRightHolder() { DropHolderOn(2); }
    void SayLeft() { SaySide(1); }
    void SayRight() { SaySide(2); }
    void ClearWorkSide();
    void OpenLeftForAnswer() { OpenForAnswer(1); }
    void OpenRightForAnswer() { OpenForAnswer(2); }
    enum class Compact { Opposite, Both, Left };
    void UseCompactHolder(Compact which);
    void LayoutSpareCards();

    // ---- Outcomes and levels ----
    void LoadLevel();
    void ResetOutcomes();
    void RecordOutcome(uint16_t outcome, uint16_t maxLevel);
    void NextProblem();
    bool ChildMayChangeLevel() const;
    void ChooseLevel();
    void SetLevel(int index);
    // After a level chosen in the chooser: the outcomes afresh and a problem at the new level.
    void LevelChanged();

    // ---- Guides (their speech comes with the guides' characters) ----
    void PlayIntroScene(int which);
    void PlayFarewellScene(int which);
    void RestBoth();
    void StopCharacters();
    void Introduce();
    void SpeakInstructions();
    void Praise();
    void ReactToSign();
    void ReactToBuild();
    void ReactToExpression();
    void ReactToDrop();
    void LightTiles();
    void SayFarewell();
    void IdleAct();
    void GuideClicked();
    // The spoken demonstration of the relation buttons (the level that introduces them).
    void PlayModeDemonstration();

    uint16_t problemsAtLevel = 0;
    std::array<uint16_t, 3> outcomes{};
    uint16_t level = 1;
    uint16_t playedLevel = 1;
    uint16_t attempt = 1;
    uint16_t workSide = 2;
    uint16_t scanDigit = 0;
    uint16_t targetLeft = 0, targetRight = 0;
    std::array<uint16_t, 10> savedTileStates{};
    uint32_t lastInputTime = 0;
    uint32_t helpTime = 0;
    uint32_t answerMode = 1;
    uint32_t scanStep = 1;
    uint16_t boxesShown = 3;
    uint16_t relation = kNoRelation;
    uint16_t wrongTry = 0;
    uint16_t tilesInPlay = 1;
    uint16_t hintPending = 0;
    uint16_t levelChooserAsked = 0;
    uint16_t helpGiven = 0;
    uint16_t leftDropLive = 1, rightDropLive = 1;
    uint16_t wantLarger = 1;

private:
    void AddItemOn(int side);
    void MoveItemOn(int side);
    void MoveCardOn(int side, int i);
    void TogglePlacesOn(int side);
    void DropHolderOn(int side);
    void SaySide(int side);
    void OpenForAnswer(int side);
    // The common parts of the mode setters.
    void SetItemMode(uint32_t mode, bool setsActiveSide);
    void SetTileMode(uint32_t mode);
    void ShowCheckAndClear();
    void HideCheckAndClear();
    // A right answer: the comparison, praise, a pause of `pause` ticks and the next problem.
    void Celebrate(int pause);
    // A wrong answer: remembered, the reaction, the next attempt.
    void Wrong(void (CAct5Board::*react)());
    // The places of a side read, laid out again and its value set from them.
    void ReadAndLayout(int side);
    void CloseSidePlaces(int side);
    // The work side's ones card is blank.
    bool OnesBlank() const;
    int16_t& ValueOf(int side) { return side == 1 ? leftValue : rightValue; }
    uint16_t& ItemsLive(int side) { return side == 1 ? leftItemsLive : rightItemsLive; }
};

// The digits LightTiles lights for the other side's number n (0..999): with relation 0 n's own
// digits; with 1 or 2 the digits of the numbers the work side must hold (above n where it must be
// larger, below n where smaller), until all ten are covered. None when no number is left (below
// 0, above 999).
std::array<bool, 10> LitDigits(uint16_t relation, int workSide, int n);

// The level chooser's callback: 0 keeps the level and the problem (the idle act re-armed);
// otherwise the board plays the chosen level (index + 1, held to 1..88) afresh.
void OnLevelChosen(uint16_t choice, int16_t index);

}  // namespace vevudivodizide
