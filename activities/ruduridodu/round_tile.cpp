#include "activities/ruduridodu/round_tile.h"

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/round_task.h"
#include "activities/ruduridodu/slot_target.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace {

// Tile ids stand where the car's picture ids will: unique among the tiles alive at once.
uint16_t NextTileId() {
    static uint16_t next = 0;
    next = static_cast<uint16_t>(next % 60000 + 1);
    return next;
}

}  // namespace

CRoundTile::CRoundTile() = default;
CRoundTile::~CRoundTile() {
    // A car deleted while it rests gives its slot back.
    Unpark();
    DisposeSprite(m_sprite);
}

CCorAnim* CRoundTile::MakeSprite() {
    if (!m_sprite) m_sprite = CreateSprite(330, 25, 2);
    return m_sprite;
}

void CRoundTile::Init() {
    m_id = NextTileId();
    m_secondPicture = 0;
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

void CRoundTile::Appear() {}
void CRoundTile::Leave(int16_t, int16_t) {}
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
bool CRoundTile::IsOffPlayArea() const { return true; }
int16_t CRoundTile::PickUp() { return 1; }
void CRoundTile::Drag() {}
bool CRoundTile::DropOneMode(int16_t, int16_t) { return false; }
bool CRoundTile::DropTwoMode(int16_t, int16_t) { return false; }
void CRoundTile::DropAt(int16_t, int16_t) {}
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
void CRoundTile::Bump(bool, int16_t, int16_t) {}
void CRoundTile::CheckBumps(bool) {}
void CRoundTile::FaceFirst() { m_facing = 0; }
void CRoundTile::FaceSecond() { m_facing = 1; }
void CRoundTile::TurnAround() {}
void CRoundTile::Hint() {}
void CRoundTile::CreateTileMotion() {}
