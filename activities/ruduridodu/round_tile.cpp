#include "activities/ruduridodu/round_tile.h"

namespace {

// Tile ids stand where the car's picture ids will: unique among the tiles alive at once.
uint16_t NextTileId() {
    static uint16_t next = 0;
    next = static_cast<uint16_t>(next % 60000 + 1);
    return next;
}

}  // namespace

CRoundTile::CRoundTile() = default;
CRoundTile::~CRoundTile() = default;

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
void CRoundTile::MovePath(int16_t, int16_t, int16_t, int16_t, int16_t, int16_t) {}
void CRoundTile::MoveTo(int16_t, int16_t) {}
bool CRoundTile::IsOffPlayArea() const { return true; }
int16_t CRoundTile::PickUp() { return 1; }
void CRoundTile::Drag() {}
bool CRoundTile::DropOneMode(int16_t, int16_t) { return false; }
bool CRoundTile::DropTwoMode(int16_t, int16_t) { return false; }
void CRoundTile::DropAt(int16_t, int16_t) {}
bool CRoundTile::IsInOwnContainer() const { return false; }
void CRoundTile::Park() {}
void CRoundTile::Unpark() {}
void CRoundTile::Bump(bool, int16_t, int16_t) {}
void CRoundTile::CheckBumps(bool) {}
void CRoundTile::FaceFirst() { m_facing = 0; }
void CRoundTile::FaceSecond() { m_facing = 1; }
void CRoundTile::TurnAround() {}
void CRoundTile::Hint() {}
void CRoundTile::CreateTileMotion() {}
