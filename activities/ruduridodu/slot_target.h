// A container (ring) of the screen into which cars are driven: its picture and a halo behind
// it, the oval that takes drops, up to 8 slots where cars come to rest, and the number plate
// that shows what it stands for. Three kinds share the base: an ordinary ring (CSlotBox), a
// ring whose announcement compares it with a partner ring (CSlotBoxEx) and the overlap of two
// crossing rings (CSlotOverlap). The layouts (slot_layout.h) build and own them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

class CCorAnim;
class CPlayerPiece;
class CRoundTask;
class CRoundTile;

// One place in a ring where a car rests.
class CSlotPoint {
public:
    CSlotPoint(int16_t x, int16_t y) : m_x(x), m_y(y) {}
    int16_t X() const { return m_x; }
    int16_t Y() const { return m_y; }
    CRoundTile* Occupant() const { return m_occupant; }
    bool IsFree() const { return m_free != 0; }
    void Take(CRoundTile* tile) {
        m_occupant = tile;
        m_free = 0;
    }
    void Release() {
        m_occupant = nullptr;
        m_free = 1;
    }

private:
    int16_t m_x;
    int16_t m_y;
    CRoundTile* m_occupant = nullptr;
    int16_t m_free = 1;
};

// The number plate: two picture items made for it (normal and highlighted) into which the
// blank plates (base and base + 5) and then the plate's signs are copied, and its sprite.
// Its teardown gives both picture items back, so a plate a round leaks no picture ids.
class CNumberPlate {
public:
    CNumberPlate(int16_t base, int16_t x, int16_t y);
    ~CNumberPlate();
    CNumberPlate(const CNumberPlate&) = delete;
    CNumberPlate& operator=(const CNumberPlate&) = delete;

    int16_t X() const { return m_x; }
    int16_t Y() const { return m_y; }
    int16_t NormalPicture() const { return m_normal; }
    int16_t HighlightedPicture() const { return m_highlighted; }
    int16_t ShownCode() const { return m_shownCode; }
    void SetShownCode(int16_t code) { m_shownCode = code; }
    CCorAnim* Sprite() const { return m_sprite; }

    // The blank plates into the two pictures.
    void CopyBlanks();
    // A picture into both pictures at (x, y).
    void CopyIntoBoth(int16_t picture, int16_t x, int16_t y);
    void ShowNormal();
    void ShowHighlighted();
    // Hides and drops the sprite and both pictures, makes them anew with the blank plates in
    // and the sprite at the plate's place.
    void Rebuild();
    // The sprite goes to the plate's place.
    void MoveToPlace();

private:
    void MakePictures();
    void DropPictures();

    int16_t m_x;
    int16_t m_y;
    int16_t m_normal = -1;
    int16_t m_highlighted = -1;
    int16_t m_base;
    int16_t m_baseHighlighted;
    int16_t m_shownCode = 0;
    CCorAnim* m_sprite = nullptr;
};

// What every container has; the base itself draws and says nothing.
class CSlotTarget {
public:
    static constexpr int16_t kMaxSlots = 8;

    // (x, y) the picture's top-left, (cx, cy) the oval's centre, (dx, dy) the drop offset.
    CSlotTarget(int16_t number, int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t dx, int16_t dy);
    virtual ~CSlotTarget();
    CSlotTarget(const CSlotTarget&) = delete;
    CSlotTarget& operator=(const CSlotTarget&) = delete;

    virtual void ShowNumber();
    virtual void Highlight(int16_t picture);
    virtual void Unhighlight();
    virtual bool Contains(int16_t x, int16_t y) const;
    // Says what the ring holds: 1 when it ran to its end, 0 when a click cut it short.
    virtual int16_t Announce();
    virtual int16_t SpeakNumber(int16_t code);
    virtual int16_t SpeakNumberAlt(int16_t code);

    int16_t Number() const { return m_number; }
    int16_t X() const { return m_x; }
    int16_t Y() const { return m_y; }
    int16_t CentreX() const { return m_centreX; }
    int16_t CentreY() const { return m_centreY; }
    int16_t DropX() const { return static_cast<int16_t>(m_centreX + m_dropDx); }
    int16_t DropY() const { return static_cast<int16_t>(m_centreY + m_dropDy); }
    CCorAnim* MainSprite() const { return m_mainSprite; }
    CCorAnim* HaloSprite() const { return m_haloSprite; }
    int16_t Picture() const { return m_picture; }
    int16_t HaloPicture() const { return m_haloPicture; }
    int16_t SecondHaloPicture() const { return m_secondHaloPicture; }
    int16_t PresenterPicture() const { return m_presenterPicture; }
    void SetPresenterPicture(int16_t picture) { m_presenterPicture = picture; }
    int16_t Value() const { return m_value; }
    void SetValue(int16_t v) { m_value = v; }
    CNumberPlate* Plate() const { return m_plate.get(); }
    void SetPlate(int16_t base, int16_t x, int16_t y);
    bool Holds() const { return m_holds != 0; }
    int16_t Owner() const { return m_owner; }
    // The round whose records the plate and the announcements read (set by the layout).
    void SetRound(CRoundTask* round) { m_round = round; }
    CRoundTask* Round() const { return m_round; }

    // Slots: appended up to the capacity (at most 8).
    int16_t Capacity() const { return m_capacity; }
    void SetCapacity(int16_t capacity);
    // A new free slot at (x, y); null when the ring has its capacity's slots.
    CSlotPoint* AddSlot(int16_t x, int16_t y);
    int16_t SlotCount() const { return m_slotCount; }
    CSlotPoint* Slot(int16_t i) const;
    int16_t Taken() const { return m_taken; }
    // A car comes to rest in the slot / leaves it.
    void TakeSlot(CSlotPoint* slot, CRoundTile* tile);
    void ReleaseSlot();
    // The slot a car coming in rests in: the free slot nearest to its picture's middle (ties
    // to the lower slot), at any distance. A full ring makes room: a random occupant drives
    // off and is deleted, and its slot is given. -1 when the ring has no slot.
    int16_t FindNearestFreeSlot(CRoundTile* tile);

    // Two-player play: the piece's value goes on the plate; a piece of the same category
    // that owned the ring goes home.
    void PlaceForPlayer(int16_t value, CPlayerPiece* piece);

protected:
    // The switches of phrase template 500 (an entry above 1 is on), zero beyond its end.
    static std::array<uint16_t, 33> Switches();
    // Whether the round's record of this number is marked.
    bool RecordMarked(int16_t record) const;
    int16_t RecordExtra(int16_t record) const;
    // The presenter says the template (number argument `number`); 0 when a click cut it short.
    static int16_t SayTemplate(int16_t templateId, int16_t number, int16_t first = 0, int16_t second = 0);
    static int16_t PointAndSayTemplate(int16_t picture, int16_t templateId, int16_t number);
    static int16_t SayOne(int16_t sound);
    // A sound played on a free channel and waited for; 0 when a click cut it short.
    static int16_t PlayOne(int16_t sound);
    static bool TwoPlayer();
    // Waits until the running sounds end or a click comes.
    static void WaitSoundsQuiet();
    int16_t SpeakWith(int16_t code, const int16_t (&templates)[5]);

    int16_t m_x;
    int16_t m_y;
    int16_t m_centreX;
    int16_t m_centreY;
    int16_t m_dropDx;
    int16_t m_dropDy;
    int16_t m_presenterPicture = 2;
    int16_t m_number;
    std::unique_ptr<CNumberPlate> m_plate;
    CCorAnim* m_mainSprite = nullptr;
    CCorAnim* m_haloSprite = nullptr;
    int16_t m_picture = 2;
    int16_t m_haloPicture = 2;
    int16_t m_secondHaloPicture = 2;
    int16_t m_holds = 0;
    int16_t m_owner = -1;
    int16_t m_taken = 0;
    int16_t m_capacity = 0;
    int16_t m_slotCount = 0;
    std::array<std::unique_ptr<CSlotPoint>, kMaxSlots> m_slots;
    int16_t m_value = 0;
    CRoundTask* m_round = nullptr;
};

// An ordinary ring: its picture and a halo sprite behind it.
class CSlotBox : public CSlotTarget {
public:
    CSlotBox(int16_t number, int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t dx, int16_t dy, int16_t picture,
             int16_t halo, int16_t halo2, int16_t capacity);
    ~CSlotBox() override;

    void ShowNumber() override;
    void Highlight(int16_t picture) override;
    void Unhighlight() override;
    bool Contains(int16_t x, int16_t y) const override;
    int16_t Announce() override;
    int16_t SpeakNumber(int16_t code) override;
    int16_t SpeakNumberAlt(int16_t code) override;

protected:
    // Sprites made at the given halo offset (CSlotBoxEx's differs).
    CSlotBox(int16_t number, int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t dx, int16_t dy, int16_t picture,
             int16_t halo, int16_t halo2, int16_t capacity, int16_t haloDy);
    void FreeScreen();
};

// A ring whose announcement compares it with its partner ring (inside it or beside it).
class CSlotBoxEx : public CSlotBox {
public:
    CSlotBoxEx(int16_t number, int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t picture, int16_t halo,
               int16_t capacity, CSlotTarget* partner);
    ~CSlotBoxEx() override;

    void Highlight(int16_t picture) override;
    void Unhighlight() override;
    int16_t Announce() override;
    CSlotTarget* Partner() const { return m_partner; }

private:
    int16_t AnnounceAlone(int16_t v);

    CSlotTarget* m_partner;
};

// The overlap of two crossing rings: a point inside both ovals.
class CSlotOverlap : public CSlotTarget {
public:
    CSlotOverlap(int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t halo, int16_t capacity, CSlotTarget* first,
                 CSlotTarget* second);
    ~CSlotOverlap() override;

    void Highlight(int16_t picture) override;
    void Unhighlight() override;
    bool Contains(int16_t x, int16_t y) const override;
    int16_t Announce() override;

private:
    int16_t AnnounceSpecialPair(int16_t a, int16_t b);

    CSlotTarget* m_first;
    CSlotTarget* m_second;
};
