#include "activities/ruduridodu/round_tile.h"

#include <algorithm>
#include <cstdio>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/round_task.h"
#include "activities/ruduridodu/ruduridodu_ids.h"
#include "activities/ruduridodu/slot_target.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"

namespace {

constexpr int16_t kNoPicture = 2;
constexpr int16_t kDriveIn = 125;       // 'ANI' from (330, 25) to the waiting place
constexpr int16_t kIntoBin = 200;       // 'ANI' into the bin
constexpr int16_t kFirstDigit = 470;    // 'SPR' the number's digits 0 to 9
constexpr int16_t kPlayArea = 102;      // the spot every car place lies in
constexpr int16_t kBinSpot = 121;
constexpr int16_t kHornBase = 300;      // + attribute 40: the car's horn
constexpr int16_t kBumpSound = 724;
constexpr int16_t kWrongSound = 728;
constexpr int16_t kTurnSound = 431;
constexpr int16_t kGoneSound = 745;
constexpr int16_t kBinSound = 208;      // + 20 x (vehicle mod 10)
constexpr int16_t kBinX = 14;
constexpr int16_t kBinY = 108;
constexpr int16_t kWaitingX = 280;      // where a switch-access drop that failed puts the car
constexpr int16_t kWaitingY = 32;

bool TwoPlayer() { return Module3::View().twoPlayerMode != 0; }

// Waits until every sprite's script has ended (or the wait must end).
void WaitAllSprites() {
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) Delay(0);
}

// The hidden pointer comes back on every way out of a drag.
struct HiddenCursor {
    HiddenCursor() { HideMouseCursor(); }
    ~HiddenCursor() { ShowMouseCursor(); }
    HiddenCursor(const HiddenCursor&) = delete;
    HiddenCursor& operator=(const HiddenCursor&) = delete;
};

// Tile ids stand where the car's picture ids will: unique among the tiles alive at once.
uint16_t NextTileId() {
    static uint16_t next = 0;
    next = static_cast<uint16_t>(next % 60000 + 1);
    return next;
}

}  // namespace

CRoundTile::CRoundTile() = default;
CRoundTile::~CRoundTile() {
    // A car deleted while it rests gives its slot back; its pictures go with it.
    Unpark();
    DisposeSprite(m_sprite);
    if (m_firstPicture >= 0) PurgeResource(m_firstPicture);
    if (m_secondPicture >= 0) PurgeResource(m_secondPicture);
}

CCorAnim* CRoundTile::MakeSprite() {
    if (!m_sprite) m_sprite = CreateSprite(330, 25, 2);
    return m_sprite;
}

void CRoundTile::Init() {
    m_id = NextTileId();
    m_facing = 0;
    m_wrongDrops = 0;
    m_placed = 0;
    m_gone = 0;
    m_link = nullptr;
    m_slot = nullptr;
    for (int16_t& a : m_attributes) a = 0;
}

int16_t CRoundTile::GetAttribute(int16_t code) const {
    const int i = AttributeSlot(code);
    return i < 0 ? 0 : m_attributes[i];
}

void CRoundTile::SetAttribute(int16_t code, int16_t value) {
    const int i = AttributeSlot(code);
    if (i >= 0) m_attributes[i] = value;
}

void CRoundTile::SetBasesFromAttributes() {
    m_firstBase = static_cast<int16_t>(GetAttribute(20) * 10 + GetAttribute(10));
    m_secondBase = static_cast<int16_t>(m_firstBase + 4);
}


void CRoundTile::GetBounds(int16_t& left, int16_t& top, int16_t& right, int16_t& bottom) const {
    int16_t x = 0, y = 0, w = 0, h = 0;
    GetSpritePos(m_sprite, &x, &y);
    const int16_t picture = GetSpriteFrame(m_sprite);
    GetPictureSize(picture, w, h);
    // Only the composed pictures reach above the body.
    const int16_t above = picture == m_firstPicture || picture == m_secondPicture ? m_top : int16_t{0};
    left = x;
    top = static_cast<int16_t>(y + above);
    right = static_cast<int16_t>(x + w);
    bottom = static_cast<int16_t>(top + h);
}

void CRoundTile::ComposePictures() {
    if (m_firstPicture < 0) m_firstPicture = CreatePictureItem();
    if (m_secondPicture < 0) m_secondPicture = CreatePictureItem();
    if (m_firstPicture < 0 || m_secondPicture < 0) return;
    CopyPictureInto(m_firstPicture, m_firstBase, 0, 0);
    CopyPictureInto(m_secondPicture, m_secondBase, 0, 0);
    if (!TwoPlayer() && m_number >= 0 && m_number <= 99) {
        const int16_t tens = static_cast<int16_t>(m_number / 10);
        const int16_t ones = static_cast<int16_t>(m_number % 10);
        const int16_t variant = GetAttribute(20);
        const int16_t tensX = variant == 24 ? int16_t{68} : variant == 22 ? int16_t{71} : int16_t{85};
        const int16_t y = variant == 24 ? int16_t{12} : int16_t{5};
        if (tens == 0) {
            CopyPictureInto(m_firstPicture, static_cast<int16_t>(kFirstDigit + ones), static_cast<int16_t>(tensX + 10), y);
            CopyPictureInto(m_secondPicture, static_cast<int16_t>(kFirstDigit + ones), 11, y);
        } else {
            CopyPictureInto(m_firstPicture, static_cast<int16_t>(kFirstDigit + tens), tensX, y);
            CopyPictureInto(m_firstPicture, static_cast<int16_t>(kFirstDigit + ones), static_cast<int16_t>(tensX + 10), y);
            CopyPictureInto(m_secondPicture, static_cast<int16_t>(kFirstDigit + tens), 11, y);
            CopyPictureInto(m_secondPicture, static_cast<int16_t>(kFirstDigit + ones), 21, y);
        }
    }
    CreateTileMotion();
}

void CRoundTile::CreateTileMotion() {
    const CarPictures* p = FindCarPictures(GetAttribute(30), GetAttribute(20));
    if (!p) return;
    if (m_firstPicture >= 0) CopyPictureInto(m_firstPicture, p->first, p->x, p->y);
    if (m_secondPicture >= 0) CopyPictureInto(m_secondPicture, p->second, p->secondX, p->y);
    m_anchorDx = p->anchorDx;
    m_anchorDy = p->anchorDy;
    m_top = p->y < 0 ? p->y : int16_t{0};
    m_motion = MakeTileMotion(GetAttribute(30), *p, m_sprite);
}

void CRoundTile::ShowFacing() { QueueSpriteFrameNoWait(m_sprite, m_facing == 1 ? m_secondPicture : m_firstPicture); }

void CRoundTile::Appear() {
    BeginBusy();
    Module3::SetReady(false);
    char line[80];
    std::snprintf(line, sizeof line, "a car drives in: record %d, number %d", m_record, m_number);
    Module3::Trace(line);
    MakeSprite();
    ComposePictures();
    m_facing = 0;
    ShowFacing();
    WaitSpriteDone(m_sprite);
    PreloadAnimation(kDriveIn);
    SetSpriteAnim(m_sprite, kDriveIn);
    SpriteToFront(m_sprite);
    while (GetSpriteStatus(m_sprite) == 0 && !WaitMustEnd()) Delay(0);
    GetSpritePos(m_sprite, &m_restX, &m_restY);
    Module3::SetReady(true);
    Module3::Touch();
    EndBusy();
}

void CRoundTile::Leave(int16_t soundBase, int16_t range) {
    // A car never brought on, or gone through the bin, has nothing to drive off.
    if (!m_sprite || m_gone) return;
    Module3::SetReady(false);
    if (soundBase != 0) {
        QueueSpriteSoundReplace(m_sprite, static_cast<int16_t>(20 * (GetAttribute(30) % 10 + 10) + RandomBelow(range) +
                                                                soundBase));
        TurnAround();
        QueueSpriteWaitSound(m_sprite, -1);
        QueueSpriteSoundReplace(m_sprite, kGoneSound);
    }
    SpriteToFront(m_sprite);
    if (CCorAnim* front = Module3::View().frontSprite) PutSpriteBefore(m_sprite, front);
    // Each step moves the car 20 sideways and 15 down, so the screen's size bounds the steps.
    for (int step = 0; step < 64 && !IsOffPlayArea() && !WaitMustEnd(); ++step) {
        MoveTo(static_cast<int16_t>(m_restX + (m_facing == 1 ? 20 : -20)), static_cast<int16_t>(m_restY + 15));
    }
    QueueSpriteFrameNoWait(m_sprite, kNoPicture);
    Module3::SetReady(true);
    Module3::Touch();
}

void CRoundTile::MovePath(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t steps, int16_t wait) {
    if (x0 == x1 && y0 == y1) return;
    if (steps < 1) steps = 1;
    int16_t x = x0, y = y0;
    for (int32_t i = 0; i <= steps; ++i) {
        x = static_cast<int16_t>((steps - i) * x0 / steps + i * x1 / steps);
        y = static_cast<int16_t>((steps - i) * y0 / steps + i * y1 / steps);
        MoveSpriteInPicture(m_sprite, x, y);
        QueueSpriteWait(m_sprite, wait);
    }
    m_restX = x;
    m_restY = y;
}

void CRoundTile::MoveTo(int16_t x, int16_t y) {
    MoveSpriteInPicture(m_sprite, x, y);
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) Delay(1);
    m_restX = x;
    m_restY = y;
}

bool CRoundTile::IsOffPlayArea() const {
    if (!m_sprite) return true;
    CCorRect area{0, 0, 0, 0};
    EngineGetSpotRect(kPlayArea, area);
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    GetBounds(left, top, right, bottom);
    return right <= area.left || left >= area.right || bottom <= area.top || top >= area.bottom || left >= right ||
           top >= bottom;
}

int16_t CRoundTile::PickUp() {
    Module3::SetReady(false);
    QueueSpriteSoundReplace(m_sprite, static_cast<int16_t>(kHornBase + GetAttribute(40)));
    if (IsScanOn()) {
        SetScanHighlight(GetSpriteFrame(m_sprite), -30, -30);
        QueueSpriteFrameNoWait(m_sprite, kNoPicture);
        if (CRoundTask* round = Module3::CurrentRound()) {
            round->OnTilePicked();
            round->SetPickedTile(this);
        }
    } else {
        if (m_placed) Unpark();
        Drag();
    }
    Module3::SetReady(true);
    Module3::Touch();
    return 1;
}

void CRoundTile::Drag() {
    if (!m_sprite) return;
    int16_t startX = 0, startY = 0;
    GetSpritePos(m_sprite, &startX, &startY);
    // The click's offset within the car; the car follows once the pointer moves from where it
    // was read first (a pointer not yet moved to the press never moves the car).
    int16_t clickX = 0, clickY = 0;
    GetLastClick(clickX, clickY);
    const int16_t offsetX = static_cast<int16_t>(clickX - startX);
    const int16_t offsetY = static_cast<int16_t>(clickY - startY);
    int16_t mouseX = 0, mouseY = 0;
    GetMouse(mouseX, mouseY);
    const int16_t firstX = mouseX, firstY = mouseY;
    bool moved = false;
    int16_t width = 0, height = 0;
    GetPictureSize(GetSpriteFrame(m_sprite), width, height);
    const CCorRect screen = Module3::View().screenRect;
    int16_t end = 0;
    {
        HiddenCursor hidden;
        StopAllSnds();
        SpriteToFront(m_sprite);
        if (CCorAnim* front = Module3::View().frontSprite) PutSpriteBefore(m_sprite, front);
        int16_t x = startX, y = startY;
        for (;;) {
            // The end is asked first: the pointer is then read where the release left it.
            end = CarryEnd();
            GetMouse(mouseX, mouseY);
            moved = moved || mouseX != firstX || mouseY != firstY;
            if (!moved) {
                mouseX = clickX;
                mouseY = clickY;
            }
            int16_t nx = static_cast<int16_t>(mouseX - offsetX);
            int16_t ny = static_cast<int16_t>(mouseY - offsetY);
            if (nx > screen.right - width) nx = static_cast<int16_t>(screen.right - width);
            if (ny > screen.bottom - height) ny = static_cast<int16_t>(screen.bottom - height);
            if (nx < screen.left) nx = static_cast<int16_t>(screen.left);
            if (ny < screen.top) ny = static_cast<int16_t>(screen.top);
            if (end != 2 && (nx != x || ny != y)) {
                MoveSpriteInPicture(m_sprite, nx, ny);
                // The car faces the way it moves: left and down or right and up shows the first
                // picture, left and up or right and down the second; straight up or down keeps it.
                if (nx != x) {
                    const bool first = (nx < x) == (ny >= y);
                    if (first && m_facing != 0) FaceFirst();
                    if (!first && m_facing != 1) FaceSecond();
                }
                x = nx;
                y = ny;
            }
            if (end != 0) break;
            Delay(0);
        }
        WaitSpriteDone(m_sprite);
    }
    if (end == 2) {
        // The window is closing or the program quits: no drop, the car goes back.
        MoveSpriteInPicture(m_sprite, startX, startY);
        if (m_placed) Park();
        return;
    }
    const bool placed = TwoPlayer() ? DropTwoMode(startX, startY) : DropOneMode(startX, startY);
    if (placed) m_placed = 1;
}

void CRoundTile::SlideBack(int16_t x, int16_t y) {
    int16_t fromX = 0, fromY = 0;
    GetSpritePos(m_sprite, &fromX, &fromY);
    MovePath(fromX, fromY, x, y, 3, 3);
    m_restX = x;
    m_restY = y;
    WaitMoveOrClick(m_sprite, x, y);
}

void CRoundTile::AfterParking() {
    CRoundTask* round = Module3::CurrentRound();
    if (round && round->Layout()) round->Layout()->RestackTiles();
    if (CPresenter* presenter = Module3::Presenter()) presenter->Arrange();
}

void CRoundTile::DriveIntoBin() {
    CCorAnim* bin = Module3::View().binSprite;
    PreloadAnimation(ruduridodu::kBinLid);
    if (bin) SetSpriteAnim(bin, ruduridodu::kBinLid);
    PreloadAnimation(kIntoBin);
    SetSpriteAnim(m_sprite, kIntoBin);
    if (bin) {
        QueueSpriteFrameAt(bin, ruduridodu::kBinPicture, kBinX, kBinY);
        QueueSpriteWaitSound(bin, 0);
    }
    QueueSpriteSoundReplace(m_sprite, static_cast<int16_t>(kBinSound + 20 * (GetAttribute(30) % 10)));
    WaitAllSprites();
}

bool CRoundTile::DropOneMode(int16_t x, int16_t y) {
    CRoundTask* round = Module3::CurrentRound();
    int16_t cx = 0, cy = 0;
    SpriteCentre(m_sprite, GetSpriteFrame(m_sprite), cx, cy);
    const int16_t c = round ? round->ContainerAt(cx, cy) : int16_t{10};
    CSlotTarget* own = round ? round->GetContainer(m_record) : nullptr;
    if (own && c == m_record) {
        own->Unhighlight();
        Park();
        WaitSpriteOrClick(m_sprite);
        AfterParking();
        CheckBumps(true);
        if (m_placed) return false;
        round->AddTilePlaced();
        return true;
    }
    if (m_placed) {
        SlideBack(x, y);
        Park();
        WaitSpriteOrClick(m_sprite);
        AfterParking();
        CheckBumps(true);
        return false;
    }
    const uint32_t packed = static_cast<uint16_t>(cx) | static_cast<uint32_t>(static_cast<uint16_t>(cy)) << 16;
    if ((EngineSpotAtPoint(packed) & 0xFFFF) == kBinSpot && m_record == 0) {
        DriveIntoBin();
        if (round) round->AddTilePlaced();
        m_gone = 1;
        return true;
    }
    if (c == 10 || !round) {
        SlideBack(x, y);
        return false;
    }
    Module3::AddTaskMistake();
    ++m_wrongDrops;
    QueueSpriteSoundReplace(m_sprite, kWrongSound);
    QueueSpriteSound(m_sprite, kTurnSound);
    if (!IsScanOn()) {
        SlideBack(x, y);
        WaitSoundsOrClick();
    }
    Module3::SetReady(false);
    Delay(5);
    Hint();
    Module3::SetReady(true);
    return false;
}

bool CRoundTile::DropTwoMode(int16_t x, int16_t y) {
    CRoundTask* round = Module3::CurrentRound();
    int16_t cx = 0, cy = 0;
    SpriteCentre(m_sprite, GetSpriteFrame(m_sprite), cx, cy);
    const int16_t c = round ? round->ContainerAt(cx, cy) : int16_t{10};
    if (round && c != 10 && round->DropTile(this, c)) return true;
    if (m_placed) {
        SlideBack(x, y);
        Park();
        AfterParking();
        CheckBumps(true);
        return false;
    }
    const uint32_t packed = static_cast<uint16_t>(cx) | static_cast<uint32_t>(static_cast<uint16_t>(cy)) << 16;
    if (round && (EngineSpotAtPoint(packed) & 0xFFFF) == kBinSpot) {
        // The bin takes a car that fits no ring.
        bool fits = false;
        const int16_t last = round->RoundType() == 3 ? int16_t{1} : int16_t{2};
        for (int16_t k = 1; k <= last; ++k) {
            CSlotTarget* ring = round->GetContainer(k);
            if (ring && ring->Holds() && GetAttribute(static_cast<int16_t>(ring->Value() / 10 * 10)) == ring->Value())
                fits = true;
        }
        if (!fits) {
            if (CTaskRecord* record = round->GetRecord(m_record)) record->RemoveChoice(*this);
            DriveIntoBin();
            round->AddTilePlaced();
            m_gone = 1;
            return true;
        }
        SlideBack(x, y);
        WaitAllSprites();
        return false;
    }
    if (c == 10 || !round) {
        SlideBack(x, y);
        WaitAllSprites();
        return false;
    }
    QueueSpriteSoundReplace(m_sprite, kWrongSound);
    QueueSpriteSound(m_sprite, kTurnSound);
    Module3::AddTaskMistake();
    ++m_wrongDrops;
    SlideBack(x, y);
    WaitAllSprites();
    Module3::SetReady(false);
    Delay(5);
    Hint();
    Module3::SetReady(true);
    return false;
}

void CRoundTile::DropAt(int16_t x, int16_t y) {
    CRoundTask* round = Module3::CurrentRound();
    if (!round) return;
    MoveTo(x, y);
    ShowFacing();
    const bool placed = TwoPlayer() ? DropTwoMode(kWaitingX, kWaitingY) : DropOneMode(kWaitingX, kWaitingY);
    if (placed) {
        m_placed = 1;
    } else {
        MoveTo(kWaitingX, kWaitingY);
    }
    round->SetPickedTile(nullptr);
    SetScanHighlight(1, 0, 0);
    CRoundTile* current = round->GetCurrentTile();
    if (!current || !current->IsPlaced()) return;
    if (Module3::View().levelMode && round->IsSolved()) {
        // The round and this car go with it.
        Module3::OnTaskSolved();
        return;
    }
    if (m_gone) round->DeleteTile(this);
    if (CRoundTile* next = round->NextTile()) next->Appear();
}

bool CRoundTile::IsInOwnContainer() const {
    CRoundTask* round = Module3::CurrentRound();
    CSlotTarget* ring = round ? round->GetContainer(m_record) : nullptr;
    if (!ring || !m_sprite) return false;
    int16_t x = 0, y = 0;
    SpriteCentre(m_sprite, GetSpriteFrame(m_sprite), x, y);
    return round->ContainerAt(x, y) == m_record;
}
void CRoundTile::Park() {
    CRoundTask* round = Module3::CurrentRound();
    ParkIn(round ? round->GetContainer(m_record) : nullptr);
}

void CRoundTile::ParkIn(CSlotTarget* ring) {
    if (!ring || !MakeSprite()) return;
    const int16_t i = ring->FindNearestFreeSlot(this);
    CSlotPoint* slot = ring->Slot(i);
    if (!slot) return;
    const int16_t tx = static_cast<int16_t>(slot->X() - (m_facing == 1 ? m_anchorDx : 0));
    const int16_t ty = static_cast<int16_t>(slot->Y() - m_anchorDy);
    int16_t x = 0, y = 0;
    GetSpritePos(m_sprite, &x, &y);
    if (Module3::View().twoPlayerMode && m_placed) {
        QueueSpriteSoundReplace(m_sprite,
                                static_cast<int16_t>(209 + 20 * (GetAttribute(30) % 10) + RandomBelow(75) % 2));
        QueueSpriteWaitSound(m_sprite, -1);
    }
    if (IsInOwnContainer()) {
        MovePath(x, y, tx, ty, 1, 1);
    } else {
        MovePath(x, y, tx, ty, 4, 4);
    }
    m_restX = tx;
    m_restY = ty;
    ring->TakeSlot(slot, this);
    m_slot = slot;
    m_parkedIn = ring;
    ring->Unhighlight();
    WaitMoveOrClick(m_sprite, tx, ty);
}

void CRoundTile::Unpark() {
    if (!m_slot) return;
    m_slot->Release();
    if (m_parkedIn) m_parkedIn->ReleaseSlot();
    m_slot = nullptr;
    m_parkedIn = nullptr;
}
void CRoundTile::Bump(bool sound, int16_t x, int16_t y) {
    if (!m_sprite) return;
    if (sound) QueueSpriteSoundReplace(m_sprite, kBumpSound);
    const int16_t restX = m_restX, restY = m_restY;
    MovePath(restX, restY, x, y, 2, 3);
    MovePath(x, y, restX, restY, 2, 3);
    WaitMoveOrClick(m_sprite, restX, restY);
}

void CRoundTile::CheckBumps(bool sound) {
    CRoundTask* round = Module3::CurrentRound();
    if (!round || !m_sprite) return;
    BeginBusy();
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    GetBounds(left, top, right, bottom);
    const auto across = [&](int32_t v) { return left <= v && v < right; };
    const auto down = [&](int32_t v) { return top <= v && v < bottom; };
    for (CRoundTile* other = round->Tiles().First(); other; other = other->Link()) {
        if (other == this || !other->IsPlaced() || other->IsGone() || !other->Sprite()) continue;
        int16_t oLeft = 0, oTop = 0, oRight = 0, oBottom = 0;
        other->GetBounds(oLeft, oTop, oRight, oBottom);
        // Its left edge, its right edge or a point up to 100 right of its left edge lies over this
        // car's width, and its top or bottom edge over this car's height.
        const bool leftIn = across(oLeft);
        const bool rightIn = across(oRight - 1);
        const bool nearIn = oLeft < right && left < std::min<int32_t>(oRight, oLeft + 100);
        const bool topIn = down(oTop);
        const bool bottomIn = down(oBottom - 1);
        if (!(leftIn || rightIn || nearIn) || !(topIn || bottomIn)) continue;
        // Away from this car: right when its left edge lies over this car, else left; down when
        // its top edge does, else up.
        int16_t x = 0, y = 0;
        GetSpritePos(other->Sprite(), &x, &y);
        const int16_t dx = leftIn ? int16_t{10} : int16_t{-10};
        const int16_t dy = topIn ? int16_t{10} : int16_t{-10};
        other->Bump(sound, static_cast<int16_t>(x + dx), static_cast<int16_t>(y + dy));
        break;
    }
    EndBusy();
}

void CRoundTile::FaceFirst() {
    m_facing = 0;
    QueueSpriteFrameNoWait(m_sprite, m_firstPicture);
}

void CRoundTile::FaceSecond() {
    m_facing = 1;
    QueueSpriteFrameNoWait(m_sprite, m_secondPicture);
}

void CRoundTile::TurnAround() {
    if (!m_sprite) return;
    QueueSpriteFrameNoWait(m_sprite, m_facing == 1 ? m_firstPicture : m_secondPicture);
    QueueSpriteWait(m_sprite, 30);
    ShowFacing();
}

void CRoundTile::Hint() {
    CRoundTask* round = Module3::CurrentRound();
    if (!round) return;
    const bool onePlayer = !TwoPlayer();
    CPresenter* presenter = onePlayer ? Module3::Presenter() : nullptr;
    if (presenter) presenter->Listen();
    if (m_wrongDrops == 2) {
        for (int16_t k = 1; k <= round->AnnouncedTally(); ++k) {
            if (!round->AnnounceContainer(k)) break;
        }
    } else if (m_wrongDrops >= 3) {
        if (m_record == 0) {
            if (CPresenter* speaker = Module3::Presenter()) speaker->Say(200);
            Module3::PlayBinAnimation();
        } else if (!onePlayer) {
            round->TileCue(this);
        } else if (CSlotTarget* ring = round->GetContainer(m_record)) {
            ring->Announce();
            ring->Highlight(ring->SecondHaloPicture());
        }
    }
    if (presenter) presenter->Rest();
}
