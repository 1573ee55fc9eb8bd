// The module's number lists ('IN#': a 16-bit length N, then N 16-bit values, little-endian)
// and the level table made from list 200. Every read is bounded: a value past the list (or
// past what the item holds) reads 0.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

class CNumberList {
public:
    CNumberList() = default;
    // The values the item holds, cut to its length word.
    static CNumberList Parse(std::span<const uint8_t> item);
    static CNumberList Of(std::vector<int16_t> values) {
        CNumberList l;
        l.m_values = std::move(values);
        return l;
    }

    // Value i from 1 (value 0 is the length word); 0 outside the list.
    int16_t operator[](int i) const {
        return i >= 1 && i <= Count() ? m_values[static_cast<size_t>(i - 1)] : int16_t{0};
    }
    int16_t Count() const { return static_cast<int16_t>(m_values.size()); }

private:
    std::vector<int16_t> m_values;
};

// The lists the task generators read, by module-relative id; a list not loaded is empty.
class CNumberLists {
public:
    static constexpr std::array<int16_t, 19> kGeneratorLists{502, 505, 506, 512, 518, 545, 547, 548, 549, 553,
                                                              555, 556, 559, 560, 565, 566, 567, 568, 569};
    const CNumberList& Get(int16_t id) const;
    void Set(int16_t id, CNumberList list) { m_lists[id] = std::move(list); }
    // Reads every generator list from the current module's file.
    static CNumberLists Load();

private:
    std::map<int16_t, CNumberList> m_lists;
};

// Reads the current module's 'IN#' list of that id; empty when the module lacks it.
CNumberList ReadNumberList(int16_t id);

// The level table: pair i = (round type, topic) for table index i, at most 53 pairs.
struct CLevelPair {
    int16_t type = 0;
    int16_t topic = 0;
};
inline constexpr int kLevelPairs = 53;

class CLevelTable {
public:
    // N / 2 pairs of the list, at most 53.
    static CLevelTable From(const CNumberList& list);
    int16_t Count() const { return m_count; }
    CLevelPair At(int16_t index) const {
        const auto i = static_cast<size_t>(index);
        return index >= 0 && index < m_count && i < m_pairs.size() ? m_pairs[i] : CLevelPair{};
    }

private:
    std::array<CLevelPair, kLevelPairs> m_pairs{};
    int16_t m_count = 0;
};
