// For the data tests: an item of a built module resource file, read whole, a list of ids an
// activity names checked against its module's built file, and how long a script runs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "media/res/anim_script.h"
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

// Runs a script's waits and loops as the script runner does; the ticks until its end, or -1
// when it never ends (restart, hold, sound jump, an endless loop, or no end within 100000 steps).
inline int ScriptTicks(const Bytes& script) {
    const size_t count = script.size() / media::kAnimRecordSize;
    std::vector<uint32_t> left(count, 0);
    std::vector<bool> primed(count, false);
    int ticks = 0;
    size_t i = 0;
    for (int steps = 0; steps < 100000; ++steps) {
        if (i >= count) return -1;
        const int16_t op = static_cast<int16_t>(Le16(script, i * media::kAnimRecordSize));
        const uint32_t operand = Le32(script, i * media::kAnimRecordSize + 2);
        switch (op) {
        case media::kAnimEmpty:
            return ticks;
        case media::kAnimRestart:
        case media::kAnimHold:
        case media::kAnimJumpIfSound:
        case media::kAnimWaitSinceMark:
            return -1;
        case media::kAnimWait:
            ticks += static_cast<int>(operand);
            ++i;
            break;
        case media::kAnimLoop: {
            if (media::AnimLoopN(operand) == 4095) return -1;
            if (!primed[i]) {
                left[i] = media::AnimLoopC(operand);
                primed[i] = true;
            }
            // The body has run once when the loop is reached: C more times in all.
            if (left[i] > 1) {
                --left[i];
                i = static_cast<size_t>(static_cast<int>(i) + media::AnimLoopJump(operand) + 1);
            } else {
                primed[i] = false;
                ++i;
            }
            break;
        }
        default:
            ++i;
        }
    }
    return -1;
}

}  // namespace datatest
