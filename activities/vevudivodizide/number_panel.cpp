#include "activities/vevudivodizide/number_panel.h"

#include "activities/vevudivodizide/vevudivodizide_ids.h"

#include <cmath>
#include <utility>

#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"
#include "media/res/anim_script.h"

namespace vevudivodizide {

namespace {

constexpr int16_t kNoPicture = kPicNone;

struct Point {
    int16_t x, y;
};

// Per column: hundreds, tens, ones.
constexpr const int16_t (&kRestPicture)[3] = kPicItemRest;
constexpr const int16_t (&kFlyPicture)[3] = kPicItemFlying;
constexpr const int16_t (&kLandPicture)[3] = kPicItemLanding;
constexpr Point kLandOffset[3] = {{-41, 13}, {3, -9}, {-6, 1}};
constexpr const int16_t (&kLandAnim)[3] = kAnimItemLanding;
constexpr const int16_t (&kLandSoundBase)[3] = kSndItemLanding;
constexpr const int16_t (&kLeaveSound)[3] = kSndItemLeaves;
constexpr const int16_t (&kBoxPicture)[3] = kPicBox;
constexpr Point kBoxPos[2][3] = {{{66, 5}, {129, 1}, {182, 5}}, {{383, 5}, {446, 1}, {499, 5}}};
constexpr Point kFlightStart[2][3] = {{{140, 86}, {145, 126}, {192, 150}}, {{455, 86}, {460, 126}, {507, 150}}};
constexpr const int16_t (&kBoxLeaveAnim)[2][3] = kAnimBoxLeave;
constexpr const int16_t (&kBoxReturnAnim)[2][3] = kAnimBoxReturn;
constexpr const int16_t (&kItemReturnAnim)[3] = kAnimItemReturn;
// Waits of 6 ticks queued before an item leaves its box.
constexpr int kLeaveWaits[3] = {5, 3, 2};

uint32_t Pack(int16_t x, int16_t y) { return media::PackAnimPoint(x, y); }

}  // namespace

void WaitAllSprites() {
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) Delay(1);
}

void WaitNoSound() {
    while (IsSndPlaying(-1) && !WaitMustEnd()) Delay(1);
}

void ShowPicture(CCorAnim* sprite, int16_t picture) { SpriteAddInstr(sprite, media::kAnimShowPicture, picture); }

void MoveTo(CCorAnim* sprite, int16_t x, int16_t y) {
    SpriteAddInstr(sprite, media::kAnimMoveTo, static_cast<int32_t>(Pack(x, y)));
}

void ShowAt(CCorAnim* sprite, int16_t picture, int16_t x, int16_t y) {
    ShowPicture(sprite, picture);
    MoveTo(sprite, x, y);
}

void QueueFlight(CCorAnim* sprite, int16_t x1, int16_t y1, int16_t x2, int16_t y2, int n) {
    MoveTo(sprite, x1, y1);
    SpriteAddInstr(sprite, media::kAnimWait, 1);
    const int dx = (x2 - x1) / n;
    const int dy = (y2 - y1) / n;
    for (int i = 1; i < n; ++i) {
        SpriteAddInstr(sprite, media::kAnimMoveBy,
                       static_cast<int32_t>(Pack(static_cast<int16_t>(dx), static_cast<int16_t>(dy))));
        SpriteAddInstr(sprite, media::kAnimWait, 1);
    }
    MoveTo(sprite, x2, y2);
    SpriteAddInstr(sprite, media::kAnimWait, 1);
}

void CNumberPanel::Init(const std::array<int16_t, 4>& rectangle, const std::array<int16_t, 3>& animatorX,
                        int16_t animatorY) {
    rect = rectangle;
    SetItemPictures(kItemPictureBase);
    const int side = IsLeft() ? 0 : 1;
    for (int k = 0; k < kColumns; ++k) boxes[k] = CreateSprite(kBoxPos[side][k].x, kBoxPos[side][k].y, kNoPicture);
    for (int i = 8; i >= 0; --i) hundredsItems[i] = CreateSprite(0, 0, kNoPicture);
    for (int i = 18; i >= 0; --i) tensItems[i] = CreateSprite(0, 0, kNoPicture);
    for (int i = 17; i >= 0; --i) onesItems[i] = CreateSprite(0, 0, kNoPicture);
    for (int k = 0; k < kColumns; ++k) boxAnimators[k] = CreateSprite(animatorX[k], animatorY, kNoPicture);
}

void CNumberPanel::SetItemPictures(int16_t base) {
    for (int k = 0; k < kColumns; ++k) {
        const int16_t picture = static_cast<int16_t>(base + 53 - k);
        halfSize[k] = static_cast<uint16_t>(GetPictureHalfWidth(picture));
        halfSize[k + 3] = static_cast<uint16_t>(GetPictureHalfHeight(picture));
    }
}

void CNumberPanel::LayoutArcItems(int16_t y0) {
    const double cx = IsLeft() ? 158 : 477;
    const double R = 0.49 * (rect[2] - rect[0]);
    const double s = std::sin(0.15707902820441216);
    // One slot on a ring of radius f × R at angle a; e lowers the ring, k lifts the item by its
    // half heights so that it stands on the arc.
    auto place = [&](int column, int slot, double a, double f, double e, int k, int xShift = 0) {
        const int hw = halfSize[column];
        const int hh = halfSize[column + 3];
        const int x = static_cast<int>(std::cos(a) * R * f + cx) - hw + xShift;
        const int y = static_cast<int>(std::sin(a) * R * s * f + y0 + e) - k * hh;
        slots[column][slot] = SlotPos{static_cast<uint16_t>(x), static_cast<uint16_t>(y)};
    };
    const double top = 1.5707903;

    // Ones and tens: the outer ring's even slots from the top of the bowl toward one side, its odd
    // ones toward the other, a few jittered; the inner ring half a step further round.
    struct Rings {
        int column;
        double step, half, oddStart, f;
        double innerE;
        int innerK, innerOdd;  // how many inner slots take the odd angles
        int shiftEven4, shiftOdd3;  // x shifts of slots 8 and 7
    };
    const Rings rings[2] = {
        {kOnes, 0.33597457, 0.16798728704452515, 1.9067649, 1, 1, 2, 3, 0, 0},
        {kTens, 0.36651772, 0.18325886130332947, 1.937308, 0.7, 3, 3, 4, 4, -4},
    };
    const double evenJitter[6] = {0, 0.07, -0.07, 0, 0.07, 0};
    const double oddJitter[5] = {-0.07, 0.07, 0, -0.07, 0};
    for (const Rings& r : rings) {
        double even[6], odd[5];
        for (int j = 0; j < 6; ++j) even[j] = top - j * r.step;
        for (int j = 0; j < 5; ++j) odd[j] = r.oddStart + j * r.step;
        for (int j = 0; j < 6; ++j) place(r.column, 2 * j, even[j] + evenJitter[j], r.f, 2, 2, j == 4 ? r.shiftEven4 : 0);
        for (int j = 0; j < 5; ++j) place(r.column, 2 * j + 1, odd[j] + oddJitter[j], r.f, 2, 2, j == 3 ? r.shiftOdd3 : 0);
        for (int j = 0; j < 4; ++j) place(r.column, 11 + 2 * j, even[j] - r.half, r.f, r.innerE, r.innerK);
        for (int j = 0; j < r.innerOdd; ++j) place(r.column, 12 + 2 * j, odd[j] - r.half, r.f, r.innerE, r.innerK);
    }
    // Hundreds: a stack of five, three and one.
    {
        const int c = static_cast<int>(cx);
        constexpr Point kStack[9] = {{-36, -59}, {-62, -66},  {-9, -66},  {-92, -66}, {23, -66},
                                     {-35, -100}, {-63, -106}, {-6, -106}, {-33, -149}};
        for (int i = 0; i < 9; ++i)
            slots[kHundreds][i] = SlotPos{static_cast<uint16_t>(c + kStack[i].x), static_cast<uint16_t>(y0 + kStack[i].y)};
    }
}

void CNumberPanel::SetValue(int16_t value) {
    if (value < 0 || value > 999) return;
    Clear();
    const int hundreds = value / 100, tens = (value % 100) / 10, ones = value % 10;
    for (int i = 0; i < ones; ++i) AddItem(kOnes);
    for (int i = 0; i < tens; ++i) AddItem(kTens);
    for (int i = 0; i < hundreds; ++i) AddItem(kHundreds);
    WaitAllSprites();
}

void CNumberPanel::FlyIn(int column, int index, int steps, bool queueWaits) {
    const int side = IsLeft() ? 0 : 1;
    CCorAnim* item = Item(column, index);
    const SlotPos slot = slots[column][index];
    const Point start = kFlightStart[side][column];
    if (queueWaits)
        for (int i = 0; i < kLeaveWaits[column]; ++i) SpriteAddInstr(item, media::kAnimWait, 6);
    ShowPicture(item, kFlyPicture[column]);
    // The flying picture's centre lands on the resting picture's centre.
    const int16_t endX = static_cast<int16_t>(slot.x + halfSize[column] - GetPictureHalfWidth(kFlyPicture[column]));
    const int16_t endY =
        static_cast<int16_t>(slot.y + halfSize[column + 3] - GetPictureHalfHeight(kFlyPicture[column]));
    QueueFlight(item, start.x, start.y, endX, endY, steps);
    ShowAt(item, kLandPicture[column], static_cast<int16_t>(slot.x + kLandOffset[column].x),
           static_cast<int16_t>(slot.y + kLandOffset[column].y));
    SetSpriteAnim(item, kLandAnim[column]);
    SpriteAddInstr(item, media::kAnimPlayNewSound, kLandSoundBase[column] + Random(8));
    if (column == kOnes) {
        ShowAt(item, kRestPicture[column], static_cast<int16_t>(slot.x), static_cast<int16_t>(slot.y));
    } else {
        QueueSpriteFrameAt(item, kRestPicture[column], static_cast<int16_t>(slot.x), static_cast<int16_t>(slot.y));
    }
}

void CNumberPanel::AddItem(int column) {
    if (!ValidColumn(column)) return;
    const int index = FirstFreeSlot(column);
    if (index < 0) return;
    const int side = IsLeft() ? 0 : 1;
    PlaySndFree(kLeaveSound[column]);
    SetSpriteAnim(boxAnimators[column], kBoxLeaveAnim[side][column]);
    FlyIn(column, index, 4, true);
    ++columnItems[column];
    occupied[column][index] = 1;
    WaitSpriteDone(boxAnimators[column]);
}

void CNumberPanel::Demonstrate(int column, int index) {
    const int side = IsLeft() ? 0 : 1;
    PlaySndFree(kLeaveSound[column]);
    SetSpriteAnim(boxAnimators[column], kBoxLeaveAnim[side][column]);
    WaitSpriteDone(boxAnimators[column]);
    FlyIn(column, index, 5, false);
    WaitSpriteDone(Item(column, index));
    WaitNoSound();
}

void CNumberPanel::DemoItem(int column) {
    if (ValidColumn(column)) Demonstrate(column, 0);
}

void CNumberPanel::DemoSecondOne() { Demonstrate(kOnes, 1); }

void CNumberPanel::HideDemoItem(int column) {
    if (ValidColumn(column)) ShowPicture(Item(column, 0), kNoPicture);
}

void CNumberPanel::HideSecondOne() { ShowPicture(Item(kOnes, 1), kNoPicture); }

void CNumberPanel::ReturnItem(int index, int column) {
    if (!ValidSlot(column, index)) return;
    const int side = IsLeft() ? 0 : 1;
    CCorAnim* item = Item(column, index);
    const SlotPos slot = slots[column][index];
    SetSpriteAnim(item, kItemReturnAnim[column]);
    if (column == kHundreds) {
        const int16_t toX = static_cast<int16_t>((side == 0 ? 126 : 441) + GetPictureHalfWidth(kPicHundredsSettling) - GetPictureHalfWidth(kFlyPicture[kHundreds]));
        const int16_t toY = static_cast<int16_t>(89 + GetPictureHalfHeight(kPicHundredsSettling) - GetPictureHalfHeight(kFlyPicture[kHundreds]));
        QueueFlight(item, static_cast<int16_t>(slot.x + 3), static_cast<int16_t>(slot.y - 103), toX, toY, 3);
    } else if (column == kTens) {
        QueueFlight(item, static_cast<int16_t>(slot.x + 2), static_cast<int16_t>(slot.y - 9), side == 0 ? 145 : 460, 91, 2);
        WaitAllSprites();
    } else {
        QueueFlight(item, static_cast<int16_t>(slot.x + 3), static_cast<int16_t>(slot.y - 5), side == 0 ? 192 : 507, 150, 2);
        WaitAllSprites();
    }
    SetSpriteAnim(boxAnimators[column], kBoxReturnAnim[side][column]);
    ShowPicture(item, kNoPicture);
    if (occupied[column][index]) {
        occupied[column][index] = 0;
        if (columnItems[column] > 0) --columnItems[column];
    }
}

void CNumberPanel::ShowTenth(int column) {
    if (column != kTens && column != kOnes) return;
    const int side = IsLeft() ? 0 : 1;
    SetSpriteAnim(boxAnimators[column], kBoxLeaveAnim[side][column]);
    CCorAnim* tenth = Item(column, 9);
    for (int i = 0; i < (column == kTens ? 4 : 3); ++i) SpriteAddInstr(tenth, media::kAnimWait, 6);
    const Point start = kFlightStart[side][column];
    ShowAt(tenth, kFlyPicture[column], start.x, start.y);
    SpriteAddInstr(tenth, media::kAnimWait, 30);
    ShowPicture(tenth, kNoPicture);
    SetSpriteAnim(boxAnimators[column], kBoxReturnAnim[side][column]);
}

void CNumberPanel::RemoveItem(int index, int column) {
    if (!ValidSlot(column, index)) return;
    ShowPicture(Item(column, index), kNoPicture);
    if (occupied[column][index]) {
        occupied[column][index] = 0;
        if (columnItems[column] > 0) --columnItems[column];
    }
}

void CNumberPanel::DropInBin() {
    PlaySndFree(kSndIntoBin);
    if (!ValidSlot(pressedColumn, pressedIndex)) return;
    const SlotPos slot = slots[pressedColumn][pressedIndex];
    ShowAt(Item(pressedColumn, pressedIndex), kNoPicture, static_cast<int16_t>(slot.x), static_cast<int16_t>(slot.y));
    occupied[pressedColumn][pressedIndex] = 0;
}

void CNumberPanel::TakePressedAway() {
    if (!ValidSlot(pressedColumn, pressedIndex)) return;
    const bool held = occupied[pressedColumn][pressedIndex] != 0;
    DropInBin();
    if (held && columnItems[pressedColumn] > 0) --columnItems[pressedColumn];
}

void CNumberPanel::SnapBack(int index, int column) {
    if (!ValidSlot(column, index)) return;
    const SlotPos slot = slots[column][index];
    MoveTo(Item(column, index), static_cast<int16_t>(slot.x), static_cast<int16_t>(slot.y));
}

void CNumberPanel::Clear() {
    for (int column = 0; column < kColumns; ++column) {
        for (int i = 0; i < kCapacity[column]; ++i) ShowPicture(Item(column, i), kNoPicture);
        columnItems[column] = 0;
        occupied[column].fill(0);
    }
}

int16_t CNumberPanel::PressItem(CCorAnim* sprite) {
    if (!sprite) return 0;
    const int frame = GetSpriteFrame(sprite) % 100;
    if (frame >= 54 && frame <= 56) return 1;
    for (int column = 0; column < kColumns; ++column) {
        for (int i = 0; i < kCapacity[column]; ++i) {
            if (Item(column, i) != sprite) continue;
            pressedColumn = static_cast<uint16_t>(column);
            pressedIndex = static_cast<uint16_t>(i);
            EngineDragObject(sprite, 5, 0, 32767, itemMoveHook);
            return 1;
        }
    }
    return 0;
}

int16_t CNumberPanel::HitBox(CCorAnim* sprite) {
    if (!sprite) return 0;
    for (int k = 0; k < kColumns; ++k) {
        if (boxes[k] == sprite || boxAnimators[k] == sprite) {
            pressedBox = static_cast<uint16_t>(k);
            return 1;
        }
    }
    return 0;
}

bool CNumberPanel::IsOverOwnBox(int16_t x, int16_t y) const {
    if (!ValidColumn(pressedColumn)) return false;
    CCorAnim* box = boxes[pressedColumn];
    const int16_t picture = GetSpriteFrame(box);
    const int left = GetSpriteX(box), top = GetSpriteY(box);
    return x >= left && x <= left + 2 * GetPictureHalfWidth(picture) && y >= top &&
           y <= top + 2 * GetPictureHalfHeight(picture);
}

bool CNumberPanel::IsInsidePan(int16_t x, int16_t y) const {
    const int left = rect[0], top = rect[1], right = rect[2], bottom = rect[3];
    if (y < top || y > bottom) return false;
    if (y <= 278) return x >= left && x <= right;
    // Below 278 the outer side slants in by up to 40 pixels at the bottom.
    const int w = (y - 278) * 40 / (bottom - 278);
    return IsLeft() ? (x >= left && x <= right - w) : (x >= left + w && x <= right);
}

void CNumberPanel::SetBoxes(int mode) {
    const int side = IsLeft() ? 0 : 1;
    auto show = [&](int k) { ShowAt(boxes[k], kBoxPicture[k], kBoxPos[side][k].x, kBoxPos[side][k].y); };
    for (int k = 0; k < kColumns; ++k) ShowPicture(boxes[k], kNoPicture);
    switch (mode) {
    case 1:
        ShowAt(boxes[kOnes], kPicOnesBoxAlone, side == 0 ? 180 : 497, 6);
        break;
    case 2:
        ShowAt(boxes[kTens], kPicTensBoxAlone, side == 0 ? 120 : 437, 1);
        show(kOnes);
        break;
    case 3:
        for (int k = 0; k < kColumns; ++k) show(k);
        break;
    default:
        break;
    }
}

void CNumberPanel::HideBoxes() {
    const int16_t hw = GetPictureHalfWidth(kPicBox[kHundreds]);
    const int16_t hh = GetPictureHalfHeight(kPicBox[kHundreds]);
    for (int k = 0; k < kColumns; ++k) {
        boxAnchorX[k] = static_cast<uint16_t>(GetSpriteX(boxes[k]) + hw + k);
        boxAnchorY[k] = static_cast<uint16_t>(GetSpriteY(boxes[k]) + 2 * hh);
        ShowPicture(boxes[k], kNoPicture);
    }
}

bool CNumberPanel::IsBoxMarked(int column) const {
    if (!ValidColumn(column)) return false;
    const int16_t frame = GetSpriteFrame(boxes[column]);
    return frame >= kPicBoxMarkedFirst && frame <= kPicBoxMarkedLast;
}

void CNumberPanel::MoveItemsToSlots() {
    for (int column = 0; column < kColumns; ++column)
        for (int i = 0; i < kCapacity[column]; ++i)
            MoveTo(Item(column, i), static_cast<int16_t>(slots[column][i].x), static_cast<int16_t>(slots[column][i].y));
}

void CNumberPanel::SwapItems(int first, int second, int column) {
    if (!ValidSlot(column, first) || !ValidSlot(column, second) || first == second) return;
    CCorAnim* a = Item(column, first);
    CCorAnim* b = Item(column, second);
    const SlotPos p = slots[column][first];
    const SlotPos q = slots[column][second];
    Delay(20);
    // Toward each other's slot in quarters, 5 ticks apart.
    for (int quarter = 1; quarter <= 4; ++quarter) {
        const int dx = (q.x - p.x) * quarter / 4;
        const int dy = (q.y - p.y) * quarter / 4;
        MoveTo(a, static_cast<int16_t>(p.x + dx), static_cast<int16_t>(p.y + dy));
        MoveTo(b, static_cast<int16_t>(q.x - dx), static_cast<int16_t>(q.y - dy));
        Delay(5);
    }
    // Each sprite goes home showing the other's picture: the pictures have traded slots.
    const int16_t pictureA = GetSpriteFrame(a);
    const int16_t pictureB = GetSpriteFrame(b);
    ShowAt(a, pictureB, static_cast<int16_t>(p.x), static_cast<int16_t>(p.y));
    ShowAt(b, pictureA, static_cast<int16_t>(q.x), static_cast<int16_t>(q.y));
    Delay(10);
    if (first > 0) PutSpriteBefore(a, Item(column, first - 1));
    if (second > 0) PutSpriteBefore(b, Item(column, second - 1));
    std::swap(occupied[column][first], occupied[column][second]);
}

void CNumberPanel::CloseGap(int removedIndex) {
    if (removedIndex < 0 || removedIndex >= 8) return;
    const int remaining = columnItems[kHundreds];
    if (removedIndex >= 5) {
        if (remaining == 8) SwapItems(8, removedIndex, kHundreds);
    } else if (remaining >= 5) {
        const int last = LastShownItem(kHundreds);
        if (last > removedIndex) SwapItems(last, removedIndex, kHundreds);
    }
}

void CNumberPanel::AddBoxScanTargets() {
    for (CCorAnim* box : boxes)
        if (GetSpriteFrame(box) != kNoPicture) AddScanSprite(-1, box, 0, 0, 1, 1);
}

int CNumberPanel::ItemCount(int column) const { return ValidColumn(column) ? columnItems[column] : 0; }

SlotPos CNumberPanel::Slot(int column, int index) const {
    return ValidSlot(column, index) ? slots[column][index] : SlotPos{};
}

CCorAnim* CNumberPanel::Item(int column, int index) const {
    if (!ValidSlot(column, index)) return nullptr;
    switch (column) {
    case kHundreds:
        return hundredsItems[index];
    case kTens:
        return tensItems[index];
    default:
        return onesItems[index];
    }
}

int CNumberPanel::FirstFreeSlot(int column) const {
    if (!ValidColumn(column)) return -1;
    for (int i = 0; i < kCapacity[column]; ++i)
        if (!occupied[column][i]) return i;
    return -1;
}

int CNumberPanel::LastShownItem(int column) const {
    if (!ValidColumn(column)) return -1;
    for (int i = kCapacity[column] - 1; i >= 0; --i)
        if (occupied[column][i]) return i;
    return -1;
}

int CNumberPanel::ShownBoxCount() const {
    int n = 0;
    for (CCorAnim* box : boxes)
        if (GetSpriteFrame(box) != kNoPicture) ++n;
    return n;
}

bool CNumberPanel::IsOccupied(int column, int index) const {
    return ValidSlot(column, index) && occupied[column][index] != 0;
}

int CNumberPanel::Value() const { return 100 * columnItems[0] + 10 * columnItems[1] + columnItems[2]; }

CCorAnim* CNumberPanel::Box(int column) const { return ValidColumn(column) ? boxes[column] : nullptr; }

CCorAnim* CNumberPanel::BoxAnimator(int column) const { return ValidColumn(column) ? boxAnimators[column] : nullptr; }

}  // namespace vevudivodizide
