#include "media/res/item_cache.h"

#include <new>

#include "media/res/res_item_table.h"
#include "media/res/res_mgr.h"
#include "media/res/sprite.h"
#include "media/util/mono_debug.h"
#include "platform/core/byte_order.h"

namespace {

int ModuleOf(int32_t id) {
    return id / 1000;
}

}  // namespace

bool ReadResourceItem(uint32_t type, int32_t id, ResDirEntry** entry, std::vector<uint8_t>& out, uint32_t maxSize) {
    ResDirEntry* found = entry ? *entry : nullptr;
    if (!found) {
        CResMgr* mgr = ResItemHost().ResourceManager(ModuleOf(id));
        if (!mgr || id < 0) return false;
        found = mgr->FindEntry(type, static_cast<uint32_t>(id));
        if (!found) return false;
        if (entry) *entry = found;
    }
    if (!found->owner || found->size > maxSize) return false;
    try {
        out.assign(found->size, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    found->readPos = 0;
    return found->size == 0 || found->owner->LoadItem(out.data(), found, found->size);
}

bool ReadListString(int32_t id, int16_t n, char* dest, size_t capacity) {
    if (capacity == 0) return false;
    dest[0] = 0;
    std::vector<uint8_t> list;
    if (!ReadResourceItem(kResIST, id, nullptr, list)) return false;
    return CopyListStringFromItem(list.data(), list.size(), n, dest, capacity);
}

CSprite* GetResItem(int32_t id, BOOL load) {
    IResItemHost& host = ResItemHost();
    host.ServiceSound();
    const int32_t r = id % 1000;
    if (r == 2) return nullptr;
    if (r == 1) id = 1;
    CResItemTable* cache = host.ItemCache();
    if (!cache) return nullptr;
    CResItem* cached = cache->Find(id);
    if (cached && !cached->IsKindOf(RUNTIME_CLASS(CSprite))) return nullptr;  // another kind of item
    auto* item = static_cast<CSprite*>(cached);
    if (!item) {
        item = new CSprite(id);
        cache->Insert(id, item);
    }
    if (!load || item->IsLoaded() || item->Load()) {
        TheChunkPool().Touch(item);
        return item;
    }
    CResMgr* mgr = host.ResourceManager(id / 1000);
    if (!mgr || !mgr->FindEntry(kResSPR, static_cast<uint32_t>(id))) MonoDebugTraceMissing(kResSPR, id);
    return nullptr;
}

void LoadHotspotTable(int32_t id) {
    std::vector<uint8_t> table;
    if (!ReadResourceItem(kResHTN, id, nullptr, table)) return;
    for (size_t at = 0; at + 6 <= table.size(); at += 6) {
        const auto field = [&](size_t k) { return plat::GetLeI16(table, at + k); };
        CSprite* picture = GetResItem(ResItemHost().MapResourceId(field(0)), FALSE);
        if (picture) picture->SetHotspot(field(2), field(4));
    }
}
