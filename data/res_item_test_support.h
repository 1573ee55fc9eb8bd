// For the data tests: an item of a built module resource file, read whole.
#pragma once

#include <cstdint>
#include <vector>

#include "media/res/res_mgr.h"

namespace datatest {

using Bytes = std::vector<uint8_t>;

// The item's bytes; empty when the file has no such item or it cannot be read.
inline Bytes ReadItem(CResMgr& mgr, uint32_t type, uint32_t id) {
    ResDirEntry* e = mgr.FindEntry(type, id);
    if (!e) return {};
    Bytes out(e->size);
    e->readPos = 0;
    if (!mgr.LoadItem(out.data(), e, e->size)) return {};
    return out;
}

}  // namespace datatest
