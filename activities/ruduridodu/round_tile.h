// An answer tile: a little car with four attributes (codes 10 to 40), a number, the task
// record it was made for (its container; record 0 belongs in the bin), its place in the
// round's tile list and its progress (placed in a container, gone through the bin). On the
// screen it is a sprite showing one of two pictures composed for it when it appears: the car
// seen along one diagonal (first) and along the other (second), each its body with the
// sticker (the base), its number and its vehicle's outline, windows and wheels.
#pragma once

#include <cstdint>
#include <memory>

#include "activities/ruduridodu/tile_motion.h"

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
    // The two composed pictures (picture items made when the car appears); -1 before.
    int16_t FirstPicture() const { return m_firstPicture; }
    int16_t SecondPicture() const { return m_secondPicture; }
    int16_t AnchorDx() const { return m_anchorDx; }
    int16_t AnchorDy() const { return m_anchorDy; }
    const CTileMotion* Motion() const { return m_motion.get(); }
    // The car's picture rectangle on the screen (its overlays may reach above the body).
    void GetBounds(int16_t& left, int16_t& top, int16_t& right, int16_t& bottom) const;
    int16_t RestX() const { return m_restX; }
    int16_t RestY() const { return m_restY; }
    int16_t Facing() const { return m_facing; }
    // The ring the car rests in and its slot; null when it rests in none.
    CSlotTarget* ParkedIn() const { return m_parkedIn; }
    CSlotPoint* ParkedSlot() const { return m_slot; }

    // The car on the screen: bringing it on, driving, dragging, parking and the hints after a
    // wrong drop.
    // Composes the pictures and drives the car in to its waiting place (animation 125).
    void Appear();
    // Composes both pictures: the bases, the number (one-player play), the vehicle overlays.
    void ComposePictures();
    // Drives off the play area; with a sound base, first its engine's sound (base + a random
    // number below range) while it turns round, then 745.
    void Leave(int16_t soundBase, int16_t range);
    void MovePath(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t steps, int16_t wait);
    void MoveTo(int16_t x, int16_t y);
    // Whether the car's picture lies wholly outside the play area (spot 102).
    bool IsOffPlayArea() const;
    // A click on the car: its horn; then the drag (or, with switch access, the car is picked).
    int16_t PickUp();
    // Follows the pointer while the button is held; on release the mode's drop decides. A close,
    // the engine stopping or a quit ends it without a drop, the car going back where it was.
    void Drag();
    // The drop of one-player play, (x, y) where the drag began: true when the car counts as
    // newly placed (in its ring, or through the bin when it belongs there).
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
    // Nudged towards (x, y) and back to its rest point.
    void Bump(bool sound, int16_t x, int16_t y);
    // The first other placed car that this car's picture touches is bumped away from it.
    void CheckBumps(bool sound);
    void FaceFirst();
    void FaceSecond();
    // Shows the other picture for 30 ticks.
    void TurnAround();
    // After a wrong drop, by the car's wrong drops: 2 the rings say what they hold, 3 and more
    // the car's own ring (or the bin) is shown.
    void Hint();
    // The vehicle overlays into both pictures, the anchor and the motion object, by vehicle
    // (attribute 30) and variant (attribute 20); nothing for others.
    void CreateTileMotion();

private:
    // Drops the car into the bin: both sprites' animations, the car's sound, all waited for.
    void DriveIntoBin();
    // Slides the car back to (x, y) in 3 steps of 3 ticks and waits (a click jumps it).
    void SlideBack(int16_t x, int16_t y);
    // After a car came to rest in its ring: the parked cars restacked, the presenter in front.
    void AfterParking();
    void ShowFacing();

    // A number unique among the tiles alive at once (the records list their cars by it).
    uint16_t m_id = 0;
    int16_t m_firstPicture = -1;
    int16_t m_secondPicture = -1;
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
    // How far the overlays reach above the body (0 or negative).
    int16_t m_top = 0;
    std::unique_ptr<CTileMotion> m_motion;
};
