// CResItemTable: the engine's item cache, a chained hash table of resource items keyed by
// absolute resource id (bucket = id modulo the bucket count). The table owns its items; an
// item it lets go that still has uses lives on until its last use goes (CResItem::Drop).
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "platform/core/wintypes.h"

class CResItem;

class CResItemTable {
public:
    CResItemTable() = default;
    // Drops every item, purgeable or not.
    virtual ~CResItemTable();
    CResItemTable(const CResItemTable&) = delete;
    CResItemTable& operator=(const CResItemTable&) = delete;

    // n buckets (n >= 1); 1, or 0 when n is not positive. Items already held are dropped.
    BOOL Init(int n);
    // Puts the item at the head of its bucket; the table owns it from now on.
    void Insert(int32_t id, CResItem* item);
    // The item of the id, or null.
    CResItem* Find(int32_t id) const;
    // For every item whose id lies in [first, last], ReleaseItem decides whether it goes.
    void RemoveRange(int32_t first, int32_t last);
    // Removes every id (ReleaseItem decides) and frees the buckets when nothing was kept.
    virtual void Clear();
    // Keeps an item that is not purgeable unless the table is being destroyed; otherwise
    // drops it (deleted now, or with its last use) and answers true.
    virtual bool ReleaseItem(CResItem* item);

    // While set, RemoveRange deletes every item in the range, purgeable or not.
    void SetDestroying(bool on) { m_destroying = on ? 1 : 0; }
    bool IsDestroying() const { return m_destroying != 0; }
    int BucketCount() const { return m_n; }
    size_t GetCount() const;

private:
    struct Node {
        int32_t id;
        CResItem* item;
    };
    size_t Bucket(int32_t id) const;

    std::vector<std::list<Node>> m_buckets;
    int32_t m_n = 0;
    uint32_t m_destroying = 0;
};
