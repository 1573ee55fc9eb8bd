// CResItem: the base of everything loaded from a module resource file. An item knows its
// resource id and type code, loads its data on demand from the module's CResMgr and keeps it
// in a pooled block (chunk_pool.h), so a purge can free it and the next use loads it again.
#pragma once

#include <cstdint>

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

protected:
    int32_t m_id;
    ResDirEntry* m_entry = nullptr;  // null until first looked up
};
