// CCompareFreeBoard: the free board (screenState 4). The child builds a number on each side,
// as items fetched from the boxes or as digits typed or dragged onto the cards, and the
// balance, the sign and the speakers show how the two compare. Nothing is asked or scored.
// With switch access a tile is chosen first (scanStep 2) and then the place for its digit.
#pragma once

#include <cstdint>

#include "activities/vevudivodizide/compare_game.h"

namespace vevudivodizide {

class CCompareFreeBoard : public CCompareGame {
public:
    CCompareFreeBoard();

    void Enter();
    // 1 when the click was handled.
    int16_t OnClick(CCorAnim* sprite);
    void OnKey(int32_t key);
    void RebuildScanTargets();
    void SetScanStep1() { scanStep = 1; }
    void DeselectLabels();
    // The comparison after a pause (the module's StepTimer).
    void CompareAfterPause();

    void ClearAll();
    void ChooseTypingSide();
    void TypeDigit(int d);
    void Backspace();
    void DropTile(int d);
    void AddFromBox(int side);
    void DropItem(int side);
    void DropCard(int side, int index);
    void MoveCard(int side, int from, int to);
    void DropHolder(int side);
    void TogglePlaces(int side);
    void Commit();
    void SelectLabel(int index, int side);

    uint16_t selectedDigit = 0;
    uint32_t scanStep = 1;

private:
    void ScheduleCompare();
    void ReadAndLayout(int side);
    void StartTyping(int side);
    int16_t& ValueOf(int side) { return side == 1 ? leftValue : rightValue; }
};

}  // namespace vevudivodizide
