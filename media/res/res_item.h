// CResItem: the base of everything loaded from a module resource file. An item knows its
// resource id and type code, loads its data on demand from the module's CResMgr and keeps it
// in a pooled block (chunk_pool.h), so a purge can free it and the next use loads it again.
//
// Uses: the item cache owns its items, but whoever keeps an item beyond the call that found
// it (a static picture, a button, an animation showing a picture) holds a use of it
// (CResItemRef below). When the cache lets an item go (a purge of its ids, a module unload,
// the cache's end) it calls Drop: an item nobody uses is deleted at once; a used one lives on,
// out of the cache, until its last use is let go. A dropped item keeps the data it has (it
// leaves the pool, so no purge frees it) and forgets its directory entry, which may belong to
// a resource file that is closed next.
#pragma once

#include <cstdint>
#include <utility>

#include "media/res/chunk_pool.h"

class CResMgr;
struct ResDirEntry;

class CResItem : public CMemChunk {
    DECLARE_DYNAMIC(CResItem)
public:
    explicit CResItem(int32_t id) : m_id(id) {}

    virtual uint32_t TypeCode() const = 0;
    // 1 when the data is present afterwards, else 0 (the item stays unloaded).
    virtual BOOL Load() = 0;

    int32_t GetId() const { return m_id; }
    ResDirEntry* GetEntry() const { return m_entry; }

    void AddUse() { ++m_uses; }
    // Lets go of one use; a dropped item goes with its last use.
    void ReleaseUse();
    uint32_t UseCount() const { return m_uses; }
    // The cache lets go of the item: deleted now when unused, else with its last use.
    void Drop();
    bool IsDropped() const { return m_dropped; }

protected:
    int32_t m_id;
    ResDirEntry* m_entry = nullptr;  // null until first looked up, and once dropped

private:
    uint32_t m_uses = 0;
    bool m_dropped = false;
};

// Holds one use of an item for as long as it lives (copies hold one more, moves pass it on).
template <class T>
class CResItemRef {
public:
    CResItemRef() = default;
    explicit CResItemRef(T* item) : m_item(item) {
        if (m_item) m_item->AddUse();
    }
    CResItemRef(const CResItemRef& other) : CResItemRef(other.m_item) {}
    CResItemRef(CResItemRef&& other) noexcept : m_item(std::exchange(other.m_item, nullptr)) {}
    CResItemRef& operator=(CResItemRef other) noexcept {
        std::swap(m_item, other.m_item);
        return *this;
    }
    ~CResItemRef() { Reset(); }

    // Holds item instead (null: nothing).
    void Reset(T* item = nullptr) {
        if (item) item->AddUse();
        T* old = std::exchange(m_item, item);
        if (old) old->ReleaseUse();
    }
    T* Get() const { return m_item; }
    T* operator->() const { return m_item; }
    T& operator*() const { return *m_item; }
    explicit operator bool() const { return m_item != nullptr; }

private:
    T* m_item = nullptr;
};
