// A task's rings as its kind lays them out, from the layout's 'IN#' record: two or three rings
// with their slots and plates, a clickable spot over each ring that has a plate, and the ring
// under a point. The layout owns its rings (numbered from 1) and the spots it made.
//
// The record (unsigned 16-bit words; word 0 unused): ring n's 11 words from word 11 (n - 1) + 1
// (picture x, y; oval centre x, y; plate x, y; picture, halo, second halo, plate base,
// capacity), then the slot points: layouts 1 and 2 share one pattern of offsets from each
// ring's top-left (words 23 / 34 on), layout 3 lists ring 2's offsets and then ring 1's (word
// 23 on), layout 4 rings 1, 2, 3 in turn (word 34 on); layout 5 has the overlap's 4 words
// (x, y, halo, capacity; its centre (x + 86, y + 98)) at word 23 and absolute points from
// word 27 for rings 1, 2 and the overlap.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "activities/ruduridodu/slot_target.h"

class CRoundTask;

// One ring's record as read.
struct CSlotRingRecord {
    int16_t x = 0, y = 0, centreX = 0, centreY = 0, plateX = 0, plateY = 0;
    int16_t picture = 2, halo = 2, halo2 = 2, plateBase = 0, capacity = 0;
    std::vector<std::array<int16_t, 2>> slots;  // absolute points
};

// A layout record read within its item: the rings in their numbers' order; a capacity above 8
// is held to 8. `ok` false (nothing built) when a word the layout needs lies past the item's
// end or the layout is not 1 to 5.
struct CSlotLayoutRecord {
    bool ok = false;
    std::vector<CSlotRingRecord> rings;
};
CSlotLayoutRecord ParseSlotLayout(int16_t layout, const uint8_t* bytes, uint32_t size);

class CSlotLayout {
public:
    // Room for every slot of three full rings.
    static constexpr int kMaxSlots = 3 * CSlotTarget::kMaxSlots;
    // Ring n's spot is 640 + n.
    static constexpr int16_t kFirstSpot = 640;

    explicit CSlotLayout(int16_t kind, CRoundTask* round = nullptr) : m_kind(kind), m_round(round) {}
    virtual ~CSlotLayout();
    CSlotLayout(const CSlotLayout&) = delete;
    CSlotLayout& operator=(const CSlotLayout&) = delete;

    // Builds the rings from the 'IN#' item, fills the plates and makes the spots.
    virtual void Create(int16_t id);
    // Builds the rings from the record; the base builds nothing.
    virtual void Build(int16_t id);

    int16_t Kind() const { return m_kind; }
    int16_t ContainerTally() const { return static_cast<int16_t>(m_containers.size()); }
    // The rings with a plate and a spot: 1 up to this tally.
    int16_t AnnouncedTally() const { return m_announced; }
    // Ring n from 1; null outside.
    CSlotTarget* Container(int16_t n) const;
    // The highest-numbered ring whose oval holds the point (so the overlap before its two
    // rings); 10 when none.
    int16_t ContainerAt(int16_t x, int16_t y) const;
    // Later slots' cars draw over earlier ones; the frame is presented at once.
    void RestackTiles();
    int16_t SlotTally() const { return static_cast<int16_t>(m_slots.size()); }
    CSlotPoint* SlotAt(int16_t i) const;
    // The handler of the rings' spots 641 to 643 (the engine calls it for a click on a spot, or
    // when switch access activates it): a car or piece picked by switch access is dropped on
    // the ring, else the ring under the point announces itself.
    static void OnSpot(int16_t spotId);

protected:
    // Builds the rings of the record; `kinds` says for each ring what it is.
    enum class Ring { Box, BoxEx, Overlap };
    struct RingPlan {
        Ring kind;
        int16_t dx, dy;          // drop offset of a plain ring
        int16_t presenterPicture;
    };
    void BuildFrom(int16_t id, const std::vector<RingPlan>& plan, int16_t announced);
    void MakeSpots();

    int16_t m_kind;
    CRoundTask* m_round;
    int16_t m_announced = 0;
    std::vector<std::unique_ptr<CSlotTarget>> m_containers;
    std::vector<CSlotPoint*> m_slots;
    std::vector<int16_t> m_spots;
};

class CSlotLayout1 : public CSlotLayout {
public:
    explicit CSlotLayout1(CRoundTask* round = nullptr) : CSlotLayout(1, round) {}
    void Build(int16_t id) override;
};
class CSlotLayout2 : public CSlotLayout {
public:
    explicit CSlotLayout2(CRoundTask* round = nullptr) : CSlotLayout(2, round) {}
    void Build(int16_t id) override;
};
class CSlotLayout3 : public CSlotLayout {
public:
    explicit CSlotLayout3(CRoundTask* round = nullptr) : CSlotLayout(3, round) {}
    void Build(int16_t id) override;
};
class CSlotLayout4 : public CSlotLayout {
public:
    explicit CSlotLayout4(CRoundTask* round = nullptr) : CSlotLayout(4, round) {}
    void Build(int16_t id) override;
};
class CSlotLayout5 : public CSlotLayout {
public:
    explicit CSlotLayout5(CRoundTask* round = nullptr) : CSlotLayout(5, round) {}
    void Build(int16_t id) override;
};

// The layout of that number (1 to 5) for the round; null for another number.
std::unique_ptr<CSlotLayout> MakeSlotLayout(int16_t layout, CRoundTask* round);
