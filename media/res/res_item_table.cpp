#include "media/res/res_item_table.h"

#include "media/res/res_item.h"

CResItemTable::~CResItemTable() {
    m_destroying = 1;
    // Not the virtual Clear: a subclass is already gone here.
    RemoveRange(INT32_MIN, INT32_MAX);
    m_buckets.clear();
    m_n = 0;
    m_destroying = 0;
}

BOOL CResItemTable::Init(int n) {
    if (n <= 0) return FALSE;
    if (!m_buckets.empty()) {
        const uint32_t was = m_destroying;
        m_destroying = 1;
        RemoveRange(INT32_MIN, INT32_MAX);
        m_destroying = was;
    }
    m_buckets.assign(static_cast<size_t>(n), {});
    m_n = n;
    return TRUE;
}

size_t CResItemTable::Bucket(int32_t id) const {
    // Negative ids land in a bucket too (the remainder is taken as non-negative).
    const int64_t r = int64_t{id} % m_n;
    return static_cast<size_t>(r < 0 ? r + m_n : r);
}

void CResItemTable::Insert(int32_t id, CResItem* item) {
    if (!item) return;
    if (m_buckets.empty()) Init(100);
    m_buckets[Bucket(id)].push_front(Node{id, item});
}

CResItem* CResItemTable::Find(int32_t id) const {
    if (m_buckets.empty()) return nullptr;
    for (const Node& node : m_buckets[Bucket(id)])
        if (node.id == id) return node.item;
    return nullptr;
}

void CResItemTable::RemoveRange(int32_t first, int32_t last) {
    for (auto& bucket : m_buckets) {
        for (auto it = bucket.begin(); it != bucket.end();) {
            if (it->id >= first && it->id <= last && ReleaseItem(it->item))
                it = bucket.erase(it);
            else
                ++it;
        }
    }
}

void CResItemTable::Clear() {
    // Every id, negative ones too; the buckets go only when nothing was kept, so that kept
    // (built) pictures are neither lost nor leaked.
    RemoveRange(INT32_MIN, INT32_MAX);
    if (GetCount() == 0) {
        m_buckets.clear();
        m_n = 0;
    }
}

bool CResItemTable::ReleaseItem(CResItem* item) {
    if (!item->m_purgeable && !m_destroying) return false;
    item->Drop();
    return true;
}

size_t CResItemTable::GetCount() const {
    size_t n = 0;
    for (const auto& bucket : m_buckets) n += bucket.size();
    return n;
}
