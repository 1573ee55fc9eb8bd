#include "media/res/slot_list.h"

BOOL CSlotList::Init(int n) {
    if (n <= 0) return FALSE;
    m_slots.assign(static_cast<size_t>(n), Slot{});
    for (int i = 0; i < n; ++i) {
        m_slots[static_cast<size_t>(i)].prev = i - 1;
        m_slots[static_cast<size_t>(i)].next = i + 1 < n ? i + 1 : -1;
    }
    m_freeHead = 0;
    m_usedHead = m_usedTail = -1;
    m_count = 0;
    return TRUE;
}

void CSlotList::Free() {
    m_slots.clear();
    m_freeHead = m_usedHead = m_usedTail = -1;
    m_count = 0;
}

int CSlotList::Next(int i) const {
    return Used(i) ? m_slots[static_cast<size_t>(i)].next : -1;
}

int CSlotList::Prev(int i) const {
    return Used(i) ? m_slots[static_cast<size_t>(i)].prev : -1;
}

int CSlotList::TakeFree(void* item) {
    if (!item || m_freeHead < 0) return -1;
    const int i = m_freeHead;
    Slot& s = m_slots[static_cast<size_t>(i)];
    m_freeHead = s.next;
    if (m_freeHead >= 0) m_slots[static_cast<size_t>(m_freeHead)].prev = -1;
    s.item = item;
    ++m_count;
    return i;
}

int CSlotList::AddHead(void* item) {
    const int i = TakeFree(item);
    if (i < 0) return -1;
    Slot& s = m_slots[static_cast<size_t>(i)];
    s.prev = -1;
    s.next = m_usedHead;
    if (m_usedHead >= 0) m_slots[static_cast<size_t>(m_usedHead)].prev = i;
    m_usedHead = i;
    if (m_usedTail < 0) m_usedTail = i;
    return i;
}

int CSlotList::AddTail(void* item) {
    const int i = TakeFree(item);
    if (i < 0) return -1;
    Slot& s = m_slots[static_cast<size_t>(i)];
    s.next = -1;
    s.prev = m_usedTail;
    if (m_usedTail >= 0) m_slots[static_cast<size_t>(m_usedTail)].next = i;
    m_usedTail = i;
    if (m_usedHead < 0) m_usedHead = i;
    return i;
}

void CSlotList::Remove(int i) {
    if (!Used(i)) return;
    Slot& s = m_slots[static_cast<size_t>(i)];
    if (s.prev >= 0)
        m_slots[static_cast<size_t>(s.prev)].next = s.next;
    else
        m_usedHead = s.next;
    if (s.next >= 0)
        m_slots[static_cast<size_t>(s.next)].prev = s.prev;
    else
        m_usedTail = s.prev;
    s.item = nullptr;
    s.prev = -1;
    s.next = m_freeHead;
    if (m_freeHead >= 0) m_slots[static_cast<size_t>(m_freeHead)].prev = i;
    m_freeHead = i;
    --m_count;
}

bool CSlotList::Replace(int i, void* item) {
    if (!Used(i) || !item) return false;
    m_slots[static_cast<size_t>(i)].item = item;
    return true;
}

void* CSlotList::Item(int i) const {
    return Used(i) ? m_slots[static_cast<size_t>(i)].item : nullptr;
}
