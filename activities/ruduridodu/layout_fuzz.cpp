// Fuzz target activities_ruduridodu_layout_fuzz: any bytes as a ring layout record, read as each
// of the five layouts reads it: no crash and no read outside the item; a record taken has
// every ring's capacity within 8 and as many slot points as its capacity.
//
// The first byte chooses the layout (its value modulo 5, plus 1); the rest is the record, copied
// to a buffer of exactly its size so that a read past it is seen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "activities/ruduridodu/slot_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int16_t layout = static_cast<int16_t>(data[0] % 5 + 1);
    const std::vector<uint8_t> record(data + 1, data + size);
    const CSlotLayoutRecord r = ParseSlotLayout(layout, record.data(), static_cast<uint32_t>(record.size()));
    if (!r.ok) return 0;
    for (const CSlotRingRecord& ring : r.rings) {
        if (ring.capacity < 0 || ring.capacity > CSlotTarget::kMaxSlots) std::abort();
        if (ring.slots.size() != static_cast<size_t>(ring.capacity)) std::abort();
    }
    return 0;
}
