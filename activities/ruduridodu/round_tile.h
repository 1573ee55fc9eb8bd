// An answer tile: a little car with four attributes (codes 10 to 40), a number, the task
// record it was made for (its container; record 0 belongs in the bin), its place in the
// round's tile list and its progress (placed in a container, gone through the bin).
#pragma once

#include <cstdint>

class CCorAnim;
class CSlotPoint;
class CSlotTarget;

class CRoundTile {
public:
    // The place of an attribute code (10, 20, 30, 40, 50) among the five, in that order; -1 for
    // any other code. Task records keep their entries by code in the same order.
    static int AttributeSlot(int16_t code) {
        return code >= 10 && code <= 50 && code % 10 == 0 ? code / 10 - 1 : -1;
    }

    CRoundTile();
    ~CRoundTile();
    CRoundTile(const CRoundTile&) = delete;
    CRoundTile& operator=(const CRoundTile&) = delete;

    // Gives the tile its id and clears its state: facing 0, no wrong drops, not placed, not
    // gone, no link, every attribute 0.
    void Init();

    // Attributes by code 10, 20, 30, 40, 50; any other code reads 0 and writes nothing.
    int16_t GetAttribute(int16_t code) const;
    void SetAttribute(int16_t code, int16_t value);

    uint16_t Id() const { return m_id; }
    int16_t Number() const { return m_number; }
    void SetNumber(int16_t n) { m_number = n; }
    int16_t Record() const { return m_record; }
    void SetRecord(int16_t r) { m_record = r; }
    CRoundTile* Link() const { return m_link; }
    void SetLink(CRoundTile* next) { m_link = next; }
    CCorAnim* Sprite() const { return m_sprite; }
    bool IsPlaced() const { return m_placed != 0; }
    void SetPlaced(bool placed) { m_placed = placed ? 1 : 0; }
    bool IsGone() const { return m_gone != 0; }
    void SetGone(bool gone) { m_gone = gone ? 1 : 0; }
    int16_t WrongDrops() const { return m_wrongDrops; }
    int16_t FirstBase() const { return m_firstBase; }
    int16_t SecondBase() const { return m_secondBase; }
    // The two base pictures from the attributes: first = attribute 20 x 10 + attribute 10.
    void SetBasesFromAttributes();

    // The car's sprite, made at (330, 25) showing nothing when the car has none yet.
    CCorAnim* MakeSprite();
    int16_t RestX() const { return m_restX; }
    int16_t RestY() const { return m_restY; }
    int16_t Facing() const { return m_facing; }
    // The ring the car rests in and its slot; null when it rests in none.
    CSlotTarget* ParkedIn() const { return m_parkedIn; }
    CSlotPoint* ParkedSlot() const { return m_slot; }

    // The car on the screen: bringing it on, driving, dragging, parking and the hints after a
    // wrong drop.
    void Appear();
    void Leave(int16_t soundBase, int16_t range);
    void MovePath(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t steps, int16_t wait);
    void MoveTo(int16_t x, int16_t y);
    bool IsOffPlayArea() const;
    int16_t PickUp();
    void Drag();
    bool DropOneMode(int16_t x, int16_t y);
    bool DropTwoMode(int16_t x, int16_t y);
    void DropAt(int16_t x, int16_t y);
    bool IsInOwnContainer() const;
    // Drives into the nearest free slot of its own ring (the round's container of its record).
    void Park();
    // Drives into the nearest free slot of that ring (a full ring makes room) and rests there.
    void ParkIn(CSlotTarget* ring);
    // Leaves its slot: the slot is free again and the ring's tally falls.
    void Unpark();
    void Bump(bool sound, int16_t x, int16_t y);
    void CheckBumps(bool sound);
    void FaceFirst();
    void FaceSecond();
    void TurnAround();
    void Hint();
    void CreateTileMotion();

private:
    uint16_t m_id = 0;  // the first picture's id
    int16_t m_secondPicture = 0;
    int16_t m_firstBase = -1;
    int16_t m_secondBase = -1;
    int16_t m_facing = 0;
    int16_t m_number = 0;
    int16_t m_record = 0;
    int16_t m_wrongDrops = 0;
    int16_t m_placed = 0;
    int16_t m_gone = 0;
    int16_t m_attributes[5] = {0, 0, 0, 0, 0};
    CCorAnim* m_sprite = nullptr;
    CRoundTile* m_link = nullptr;
    CSlotPoint* m_slot = nullptr;
    CSlotTarget* m_parkedIn = nullptr;
    int16_t m_restX = 330;
    int16_t m_restY = 25;
    int16_t m_anchorDx = 0;
    int16_t m_anchorDy = 0;
};
