// CSlotList: a fixed number of slots, each holding one item pointer, with a chain of the slots
// in use and a chain of the free ones. A handle is a slot index; -1 means none. The static
// pictures and the switch-access scanner keep their items in one each. It does not own the
// items.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/wintypes.h"

class CSlotList {
public:
    // n slots, all free, chained in index order; 1, or 0 when n is not positive.
    BOOL Init(int n);
    // Drops every slot.
    void Free();

    int Head() const { return m_usedHead; }
    int Tail() const { return m_usedTail; }
    // The neighbours in the used chain; -1 at its ends and for a free or unknown slot.
    int Next(int i) const;
    int Prev(int i) const;

    // Puts the item in the first free slot at the head (AddHead) or the tail (AddTail) of the
    // used chain; the slot, or -1 when every slot is taken or the item is null.
    int AddHead(void* item);
    int AddTail(void* item);
    // Frees the slot; a free or unknown slot is ignored.
    void Remove(int i);
    // Puts another item in a used slot, keeping its place in the chain; false (nothing
    // changed) for a free or unknown slot or a null item.
    bool Replace(int i, void* item);
    // The item of a used slot, else null.
    void* Item(int i) const;
    int Capacity() const { return static_cast<int>(m_slots.size()); }
    int GetCount() const { return m_count; }

private:
    struct Slot {
        void* item = nullptr;
        int next = -1;
        int prev = -1;
    };
    bool Used(int i) const { return i >= 0 && i < Capacity() && m_slots[static_cast<size_t>(i)].item; }
    int TakeFree(void* item);

    std::vector<Slot> m_slots;
    int m_usedHead = -1;
    int m_usedTail = -1;
    int m_freeHead = -1;
    int m_count = 0;
};
