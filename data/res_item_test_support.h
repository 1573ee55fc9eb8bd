// For the data tests: an item of a built module resource file, read whole, and a list of ids
// an activity names checked against its module's built file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "media/res/res_id_list.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

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

// Little-endian fields of an item.
inline uint32_t Le32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
inline int Le16(const Bytes& b, size_t at) { return static_cast<int16_t>(b[at] | b[at + 1] << 8); }

// The hot spot of a picture in a module's 'HT#' table, if it has one.
inline std::optional<std::pair<int, int>> HotSpotOf(const Bytes& table, int id) {
    for (size_t at = 0; at + 6 <= table.size(); at += 6)
        if (Le16(table, at) == id) return std::pair{Le16(table, at + 2), Le16(table, at + 4)};
    return std::nullopt;
}

// Every (type, id) of the list is an item of the built "Zelbo<module>.res" (ZELBO_RES_DIR).
inline void ExpectIdsInModule(int module, std::span<const media::ResIdRef> ids) {
    const std::string name = "Zelbo" + std::to_string(module) + ".res";
    const std::string path = plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/" + name);
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(path.c_str()), 1) << name;
    for (const media::ResIdRef& ref : ids) {
        const char code[4] = {static_cast<char>(ref.type >> 16), static_cast<char>(ref.type >> 8),
                              static_cast<char>(ref.type), 0};
        EXPECT_NE(mgr.FindEntry(ref.type, static_cast<uint32_t>(module * 1000 + ref.id)), nullptr)
            << name << " lacks '" << code << "' " << ref.id;
    }
}

}  // namespace datatest
