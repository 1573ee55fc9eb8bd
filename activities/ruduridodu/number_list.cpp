#include "activities/ruduridodu/number_list.h"

#include "engine/toolbox/resource_copies.h"
#include "media/res/res_mgr.h"

CNumberList CNumberList::Parse(std::span<const uint8_t> item) {
    CNumberList l;
    if (item.size() < 2) return l;
    const auto word = [&](size_t i) {
        return static_cast<int16_t>(static_cast<uint16_t>(item[2 * i] | (item[2 * i + 1] << 8)));
    };
    const size_t held = item.size() / 2 - 1;
    const auto n = static_cast<uint16_t>(word(0));
    const size_t count = n < held ? n : held;
    l.m_values.reserve(count);
    for (size_t i = 1; i <= count; ++i) l.m_values.push_back(word(i));
    return l;
}

const CNumberList& CNumberLists::Get(int16_t id) const {
    static const CNumberList kEmpty;
    const auto it = m_lists.find(id);
    return it == m_lists.end() ? kEmpty : it->second;
}

CNumberList ReadNumberList(int16_t id) {
    const uint32_t type = ResType("IN#");
    if (!ResourceExists(type, id)) return {};
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(type, id, size);
    if (!copy) return {};
    CNumberList list = CNumberList::Parse(std::span<const uint8_t>(copy, size));
    FreeResourceCopy(copy);
    return list;
}

CNumberLists CNumberLists::Load() {
    CNumberLists lists;
    for (int16_t id : kGeneratorLists) lists.Set(id, ReadNumberList(id));
    return lists;
}

CLevelTable CLevelTable::From(const CNumberList& list) {
    CLevelTable t;
    const int pairs = list.Count() / 2;
    t.m_count = static_cast<int16_t>(pairs < kLevelPairs ? pairs : kLevelPairs);
    for (int i = 0; i < t.m_count; ++i) {
        t.m_pairs[static_cast<size_t>(i)] = CLevelPair{list[2 * i + 1], list[2 * i + 2]};
    }
    return t;
}
