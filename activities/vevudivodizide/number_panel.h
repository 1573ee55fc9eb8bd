// CNumberPanel: one side's number (0 to 999) as items lying in that side's balance pan: small
// items for ones, middle items for tens, large items for hundreds. Items fly in from three item
// boxes at the top of the screen, can be dragged out again, and lie on arcs that follow the pan
// as it rises and sinks (LayoutArcItems, then MoveItemsToSlots).
//
// Which panel it is follows from its rectangle: a left edge below x 320 is the left panel,
// anything else the right one; every position, picture and animation that differs between the
// two is chosen by that test. Columns are 0 hundreds, 1 tens, 2 ones; a column outside 0..2
// changes nothing and answers neutrally.
//
// The sprites belong to the engine's display list (leaving the module disposes of them); the
// panel only holds their handles. User-interface thread only; the operations that animate wait
// through the toolbox (Delay, WaitSpriteDone), so input stays queued meanwhile.
#pragma once

#include <array>
#include <cstdint>

#include "engine/toolbox/facade.h"

class CCorAnim;

namespace vevudivodizide {

struct SlotPos {
    uint16_t x = 0;
    uint16_t y = 0;
};

class CNumberPanel {
public:
    static constexpr int kColumns = 3;
    static constexpr int kHundreds = 0, kTens = 1, kOnes = 2;
    // Slots per column: 9 hundreds, 19 tens, 18 ones.
    static constexpr std::array<int, kColumns> kCapacity{9, 19, 18};
    static constexpr int kMaxSlots = 19;

    CNumberPanel() = default;
    CNumberPanel(const CNumberPanel&) = delete;
    CNumberPanel& operator=(const CNumberPanel&) = delete;

    // Stores the rectangle (left, top, right, bottom), takes the items' half sizes and creates
    // the boxes, the items (hundreds slot 8 down to 0, tens 18 down to 0, ones 17 down to 0) and
    // the three box animators at (animatorX[k], animatorY), all showing "no picture".
    void Init(const std::array<int16_t, 4>& rectangle, const std::array<int16_t, 3>& animatorX, int16_t animatorY);
    // Every slot position for a pan whose baseline is y0; computes only.
    void LayoutArcItems(int16_t y0);
    // The half sizes the arcs use, from pictures base + 53, + 52, + 51.
    void SetItemPictures(int16_t base);
    // Empties the columns, then flies in the value's ones, tens and hundreds and waits for all
    // sprites. A value outside 0..999 changes nothing.
    void SetValue(int16_t value);
    // One item more in the column: its flight from the box, landing and sound.
    void AddItem(int column);
    // The item at the slot flies back into its box (bundling).
    void ReturnItem(int index, int column);
    // Before nine items of column 1 or 2 go back, the tenth shows briefly at its box.
    void ShowTenth(int column);
    void RemoveItem(int index, int column);
    void DropInBin();
    // The pressed item leaves its column for good (DropInBin, the column one lower).
    void TakePressedAway();
    void SnapBack(int index, int column);
    void Clear();
    // A press on an item: 1 when taken (a drag of the item, or a picture whose id modulo 100 is
    // 54 to 56, taken with nothing else); 0 when the sprite is none of the items.
    int16_t PressItem(CCorAnim* sprite);
    int16_t HitBox(CCorAnim* sprite);
    bool IsOverOwnBox(int16_t x, int16_t y) const;
    bool IsInsidePan(int16_t x, int16_t y) const;
    void SetBoxes(int mode);
    void HideBoxes();
    bool IsBoxMarked(int column) const;
    void MoveItemsToSlots();
    void SwapItems(int first, int second, int column);
    void CloseGap(int removedIndex);
    void DemoItem(int column);
    void DemoSecondOne();
    void HideDemoItem(int column);
    void HideSecondOne();
    void AddBoxScanTargets();

    // Queries.
    int ItemCount(int column) const;
    SlotPos Slot(int column, int index) const;
    CCorAnim* Item(int column, int index) const;
    int FirstFreeSlot(int column) const;
    int LastShownItem(int column) const;
    int ShownBoxCount() const;
    bool IsOccupied(int column, int index) const;
    int Value() const;
    bool IsLeft() const { return rect[0] < 320; }
    CCorAnim* Box(int column) const;
    CCorAnim* BoxAnimator(int column) const;
    // The callback an item's drag reports its moves to (the board's bin hover).
    void SetItemMoveHook(EngineDragCallback hook) { itemMoveHook = hook; }

    std::array<uint16_t, 3> columnItems{};
    std::array<int16_t, 4> rect{};
    uint16_t pressedColumn = 0;
    uint16_t pressedIndex = 0;
    uint16_t pressedBox = 0;
    std::array<uint16_t, 3> boxAnchorX{};
    std::array<uint16_t, 3> boxAnchorY{};
    std::array<CCorAnim*, 18> onesItems{};
    std::array<CCorAnim*, 19> tensItems{};
    std::array<CCorAnim*, 9> hundredsItems{};
    std::array<CCorAnim*, 3> boxes{};
    std::array<CCorAnim*, 3> boxAnimators{};
    // Value-initialised: the right panel's arcs are laid only when a board is entered.
    std::array<std::array<SlotPos, kMaxSlots>, kColumns> slots{};
    std::array<uint16_t, 6> halfSize{};
    std::array<std::array<uint16_t, kMaxSlots>, kColumns> occupied{};

private:
    static bool ValidColumn(int column) { return column >= 0 && column < kColumns; }
    static bool ValidSlot(int column, int index) { return ValidColumn(column) && index >= 0 && index < kCapacity[column]; }
    // Flies item `index` of the column in from its box (AddItem's animation and the demonstrations').
    void FlyIn(int column, int index, int steps, bool queueWaits);
    // A demonstration's flight: the box opens first, five steps, then the sounds end.
    void Demonstrate(int column, int index);

    EngineDragCallback itemMoveHook = nullptr;
};

// Wait one tick at a time until no sprite's script runs / no sound plays; both also end while a
// close of the main window is pending (nothing in the wait could end it then).
void WaitAllSprites();
void WaitNoSound();
// Shows a picture at a place at once (queued as the next instructions of the sprite's script).
void ShowAt(CCorAnim* sprite, int16_t picture, int16_t x, int16_t y);
void ShowPicture(CCorAnim* sprite, int16_t picture);
void MoveTo(CCorAnim* sprite, int16_t x, int16_t y);
// Queues a straight flight of n steps from (x1, y1) to (x2, y2), one tick a step.
void QueueFlight(CCorAnim* sprite, int16_t x1, int16_t y1, int16_t x2, int16_t y2, int n);

}  // namespace vevudivodizide
