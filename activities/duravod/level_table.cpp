#include "activities/duravod/level_table.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace duravod {

namespace {

// The group counts PickGroups can draw for a groups code.
std::vector<int> GroupCounts(uint16_t code) {
    if (code >= 1 && code <= 4) return {code};
    if (code == 5) return {2, 3};
    return {2, 3, 4};
}

// The orders PickOrder can give for an order code.
std::vector<int> Orders(uint16_t code) {
    if (code == 1) return {0};
    if (code == 2) return {1};
    return {0, 1};
}

bool SomeMultipleInRange(int g, int lo, int hi) {
    for (int k = 2; k <= 6; ++k)
        if (g * k >= lo && g * k <= hi) return true;
    return false;
}

// Kind 8: every given size the picker may keep (its product with the other side's most reaches
// the lowest number) has some other side that puts the product in range.
bool RowsAndColumnsFit(int lo, int hi, uint16_t orderCode) {
    for (int order : Orders(orderCode)) {
        const int givenCap = order == 1 ? 6 : 7;
        const int otherMost = order == 1 ? 7 : 6;
        const int most = std::max(2, std::min(hi, givenCap));
        bool anyKept = false;
        for (int s = 2; s <= most; ++s) {
            if (s * otherMost < lo) continue;
            anyKept = true;
            bool fits = false;
            for (int o = 1; o <= otherMost && !fits; ++o) fits = s * o >= lo && s * o <= hi;
            if (!fits) return false;
        }
        if (!anyKept) return false;
    }
    return true;
}

void Note(std::vector<std::string>& notes, const char* what, int from, int to) {
    char line[96];
    std::snprintf(line, sizeof line, "%s %d -> %d", what, from, to);
    notes.emplace_back(line);
}

void Set(uint16_t& field, int value, const char* what, std::vector<std::string>& notes) {
    if (field == value) return;
    Note(notes, what, field, value);
    field = static_cast<uint16_t>(value);
}

// Kinds 1 to 5: 1 <= minLowest <= lowest < highest <= 25.
void ClampRange(LevelRow& r, int minLowest, std::vector<std::string>& notes) {
    int lo = r.lowest, hi = r.highest;
    hi = std::min(hi, kHighestPosedNumber);
    lo = std::max(lo, minLowest);
    if (lo >= hi) {
        if (hi - 1 >= minLowest) {
            lo = hi - 1;
        } else {
            lo = minLowest;
            hi = minLowest + 1;
        }
    }
    Set(r.lowest, lo, "lowest", notes);
    Set(r.highest, hi, "highest", notes);
}

}  // namespace

int16_t PlayedKind(uint16_t kind) { return kind >= 1 && kind <= 8 ? static_cast<int16_t>(kind) : int16_t{1}; }

LevelRow ClampLevelRow(const LevelRow& row, std::vector<std::string>& notes) {
    LevelRow r = row;
    const int16_t kind = PlayedKind(r.kind);
    switch (kind) {
        case 1:
            ClampRange(r, 1, notes);
            break;
        case 2: {
            if (r.groups != 2 && r.groups != 3 && r.groups != 5) Set(r.groups, r.groups == 4 ? 3 : (r.groups < 2 ? 2 : 5), "groups", notes);
            ClampRange(r, r.groups == 2 ? 3 : 4, notes);
            break;
        }
        case 3:
            ClampRange(r, 2, notes);
            break;
        case 4:
            if (r.groups != 2 && r.groups != 3) Set(r.groups, r.groups < 2 ? 2 : 3, "groups", notes);
            ClampRange(r, 1, notes);
            break;
        case 5: {
            // At most lowest + 1 different splits exist for the smallest number; at most 15 boxes.
            int minLowest = 1;
            if (r.groups >= 1 && r.groups <= 4) minLowest = r.groups;
            if (r.groups == 5) minLowest = 3;
            if (r.groups == 6) minLowest = 5;
            if (r.groups < 1 || r.groups > 6) Set(r.highest, std::min<int>(r.highest, 14), "highest", notes);
            ClampRange(r, minLowest, notes);
            break;
        }
        case 6:
        case 7: {
            if (r.groups == 1) Set(r.groups, 2, "groups", notes);
            int lo = std::max<int>(r.lowest, 1), hi = std::min<int>(r.highest, kHighestPosedNumber);
            hi = std::max(hi, lo);
            for (int g : GroupCounts(r.groups)) {
                if (SomeMultipleInRange(g, lo, hi)) continue;
                if (lo > 6 * g) {
                    lo = 6 * g;
                } else {
                    hi = std::max(2 * g, g * ((lo + g - 1) / g));
                }
            }
            Set(r.lowest, lo, "lowest", notes);
            Set(r.highest, hi, "highest", notes);
            break;
        }
        case 8: {
            int lo = std::clamp<int>(r.lowest, 1, 42), hi = std::min<int>(r.highest, 42);
            if (!RowsAndColumnsFit(lo, hi, r.order)) hi = 42;
            Set(r.lowest, lo, "lowest", notes);
            Set(r.highest, hi, "highest", notes);
            break;
        }
    }
    return r;
}

CLevelTable CLevelTable::Parse(std::span<const uint8_t> bytes, std::vector<std::string>& notes) {
    CLevelTable t;
    if (bytes.size() < 2) return t;
    const size_t count = static_cast<size_t>(bytes[0] | bytes[1] << 8);
    const size_t values = std::min(count, (bytes.size() - 2) / 2);
    const auto value = [&](size_t i) -> uint16_t {
        return i < values ? static_cast<uint16_t>(bytes[2 + 2 * i] | bytes[3 + 2 * i] << 8) : uint16_t{0};
    };
    t.m_levels = static_cast<int>(std::min<size_t>((values + 4) / 5, kLastLevel));
    for (int level = 1; level <= t.m_levels; ++level) {
        const size_t at = 5 * static_cast<size_t>(level - 1);
        const LevelRow read{value(at), value(at + 1), value(at + 2), value(at + 3), value(at + 4)};
        std::vector<std::string> changes;
        t.m_rows[static_cast<size_t>(level)] = ClampLevelRow(read, changes);
        for (const std::string& change : changes) {
            char line[160];
            std::snprintf(line, sizeof line, "level %d (kind %u): %s", level, static_cast<unsigned>(read.kind), change.c_str());
            notes.emplace_back(line);
        }
    }
    return t;
}

LevelRow CLevelTable::Row(int level) const {
    if (level < 1 || level > kLastLevel) return {};
    return m_rows[static_cast<size_t>(level)];
}

}  // namespace duravod
