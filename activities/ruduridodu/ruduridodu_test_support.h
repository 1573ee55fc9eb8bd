// For the Ruduridodu tests: the number lists of the built module file, and the rule a
// container stands for, judged independently of the generators.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "activities/ruduridodu/number_list.h"
#include "activities/ruduridodu/task_kinds.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace ruduridodutest {

// The 'IN#' list of module 3 with that relative id in the built Zelbo3.res; empty when absent.
inline CNumberList BuiltList(CResMgr& mgr, int16_t id) {
    ResDirEntry* e = mgr.FindEntry(kResINN, static_cast<uint32_t>(3000 + id));
    if (!e) return {};
    std::vector<uint8_t> bytes(e->size);
    e->readPos = 0;
    if (!mgr.LoadItem(bytes.data(), e, e->size)) return {};
    return CNumberList::Parse(bytes);
}

// The level table and the generator lists of the built module file.
struct BuiltData {
    CLevelTable table;
    CNumberLists lists;
    bool ok = false;
};
inline BuiltData LoadBuiltData() {
    BuiltData d;
    CResMgr mgr;
    if (mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo3.res").c_str()) != 1) return d;
    d.table = CLevelTable::From(BuiltList(mgr, 200));
    for (int16_t id : CNumberLists::kGeneratorLists) d.lists.Set(id, BuiltList(mgr, id));
    d.ok = true;
    return d;
}

// Whether the tile meets the rule of the record's container by itself: an attribute value,
// odd, even, above, below or equal to the record's extra; the opposite for a marked record.
inline bool MeetsOwnRule(const CTaskRecord& ring, const CRoundTile& tile) {
    const int16_t v = ring.Value();
    const int16_t n = tile.Number();
    const int16_t x = ring.GetExtra();
    bool meets = false;
    if (v >= 11 && v <= 44) {
        meets = tile.GetAttribute(static_cast<int16_t>(v / 10 * 10)) == v;
    } else if (v == 51) {
        meets = n % 2 != 0;
    } else if (v == 52) {
        meets = n % 2 == 0;
    } else if (v == 53) {
        meets = n > x;
    } else if (v == 54) {
        meets = n < x;
    } else if (v == 55) {
        meets = n == x;
    } else {
        ADD_FAILURE() << "container " << ring.Number() << " stands for " << v;
    }
    return ring.IsMarked() ? !meets : meets;
}

// The containers whose own rules count: kinds 1 and 2 one a record, kinds 3 and 4 with inner
// containers inside container 1, kind 5 two containers (record 3 is their overlap).
inline int RuleContainers(int16_t kind) { return kind == 2 || kind == 4 ? 3 : 2; }

inline std::set<int> ContainersMet(const CRoundTask& task, const CRoundTile& tile) {
    std::set<int> met;
    const int16_t kind = task.RoundType();
    for (int16_t k = 1; k <= RuleContainers(kind); ++k) {
        if (MeetsOwnRule(*task.GetRecord(k), tile)) met.insert(k);
    }
    if ((kind == 3 || kind == 4) && !met.count(1)) met.clear();
    return met;
}

inline std::set<int> ExpectedContainers(int16_t kind, int16_t record) {
    if (record == 0) return {};
    if (kind == 3 || kind == 4) return record == 1 ? std::set<int>{1} : std::set<int>{1, record};
    if (kind == 5 && record == 3) return {1, 2};
    return {record};
}

}  // namespace ruduridodutest
