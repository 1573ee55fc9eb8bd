#include "activities/ruduridodu/slot_layout.h"

CSlotLayout::~CSlotLayout() = default;

void CSlotLayout::Build(int16_t) {}

CSlotTarget* CSlotLayout::Container(int16_t i) const {
    if (i < 1 || i > ContainerTally()) return nullptr;
    return m_containers[static_cast<size_t>(i - 1)].get();
}

int16_t CSlotLayout::ContainerAt(int16_t x, int16_t y) const {
    for (int16_t i = ContainerTally(); i >= 1; --i) {
        if (Container(i)->Contains(x, y)) return i;
    }
    return 10;
}
