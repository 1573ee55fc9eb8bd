// A task's containers as its kind lays them out (one to three rings, a partner ring, an
// overlap), built from the layout's number list. The layout owns its containers; they are
// reached by their number from 1.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "activities/ruduridodu/slot_target.h"

class CCorAnim;

class CSlotLayout {
public:
    // The layout of task kind `kind` (1 to 5).
    explicit CSlotLayout(int16_t kind) : m_kind(kind) {}
    virtual ~CSlotLayout();
    CSlotLayout(const CSlotLayout&) = delete;
    CSlotLayout& operator=(const CSlotLayout&) = delete;

    // Builds the containers from the layout's number list.
    virtual void Build(int16_t listId);

    int16_t Kind() const { return m_kind; }
    int16_t ContainerTally() const { return static_cast<int16_t>(m_containers.size()); }
    // The containers the task presents and announces: 1 up to this tally.
    int16_t AnnouncedTally() const { return m_announced; }
    // Container i from 1; null outside.
    CSlotTarget* Container(int16_t i) const;
    // The number of the container whose oval holds the point; 10 when none.
    int16_t ContainerAt(int16_t x, int16_t y) const;

protected:
    int16_t m_kind;
    int16_t m_announced = 0;
    std::vector<std::unique_ptr<CSlotTarget>> m_containers;
};
