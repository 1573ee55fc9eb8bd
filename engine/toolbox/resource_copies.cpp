#include "engine/toolbox/resource_copies.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "media/res/item_cache.h"
#include "media/res/res_item_host.h"
#include "media/res/res_mgr.h"

namespace {

// The absolute id of a module-relative one; the rule looks only at id modulo 1000.
int32_t AbsoluteId(int32_t id) { return ResItemHost().MapResourceId(static_cast<int16_t>(id % 1000)); }

}  // namespace

uint8_t* LoadResourceCopy(uint32_t type, int32_t id, uint32_t& size) {
    size = 0;
    IResItemHost& host = ResItemHost();
    host.ServiceSound();
    std::vector<uint8_t> bytes;
    if (!ReadResourceItem(type, AbsoluteId(id), nullptr, bytes)) return nullptr;
    // At least one byte, so an empty item still gives a copy that is not null.
    auto* copy = static_cast<uint8_t*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
    if (!copy) return nullptr;
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    size = static_cast<uint32_t>(bytes.size());
    return copy;
}

uint8_t* LoadResourceCopy(uint32_t type, int32_t id) {
    uint32_t size = 0;
    return LoadResourceCopy(type, id, size);
}

void FreeResourceCopy(void* copy) { std::free(copy); }

bool ResourceExists(uint32_t type, int32_t id) {
    const int32_t absolute = AbsoluteId(id);
    if (absolute < 0) return false;
    CResMgr* mgr = ResItemHost().ResourceManager(absolute / 1000);
    return mgr && mgr->FindEntry(type, static_cast<uint32_t>(absolute)) != nullptr;
}

void CopyListString(char* dest, size_t size, int32_t id, int16_t n) {
    if (!dest || size == 0) return;
    ReadListString(AbsoluteId(id), n, dest, size);
}
