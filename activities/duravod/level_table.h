// Duravod's level table ('IN#' 61): a 16-bit count N, then N values, five a level in level
// order (kind, lowest, highest, order code, groups code). Levels 1 to 54 are kept; row 0 and
// every level the item does not hold read zeros.
//
// The item is outside input: it is read within its size, and every row the problems could not
// pose from is clamped to one they can, with a line per clamp (ClampLevelRow says the rules),
// so no picking loop meets a range it cannot leave and no number reaches past the used-number
// flags.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace duravod {

inline constexpr int kLastLevel = 54;
inline constexpr int kFirstReviewLevel = 38;
inline constexpr int kHighestPosedNumber = 25;  // the used-number flags' last column

struct LevelRow {
    uint16_t kind = 0;
    uint16_t lowest = 0;
    uint16_t highest = 0;
    uint16_t order = 0;
    uint16_t groups = 0;
    bool operator==(const LevelRow&) const = default;
};

// The kind a row's kind code plays: 1..8 as stored, any other value kind 1.
int16_t PlayedKind(uint16_t kind);

// Clamps a row to one its kind can pose from; each change is described in `notes` (one line
// each). Kinds 1-5: 1 <= lowest < highest <= 25, kind 2 lowest >= 3 (4 when its groups code can
// give 3 parts), kind 3 lowest >= 2; kind 2 groups code 2, 3 or 5, kind 4 2 or 3; kind 5 with
// groups code 1-6 asks at most lowest + 1 splits, with another code highest <= 14; kinds 6 and 7
// not groups code 1, and for every group count the code can draw some G x k (2 <= k <= 6) in
// range; kind 8 some rows x columns (6 rows, 7 columns at most) in range for both orders.
LevelRow ClampLevelRow(const LevelRow& row, std::vector<std::string>& notes);

class CLevelTable {
public:
    static constexpr int kRows = kLastLevel + 1;
    // Reads the item's bytes (any bytes); each clamp leaves a line in `notes` naming the level.
    static CLevelTable Parse(std::span<const uint8_t> bytes, std::vector<std::string>& notes);
    // The row of a level; zeros outside 1..54.
    LevelRow Row(int level) const;
    // How many levels the item held (0..54).
    int Levels() const { return m_levels; }

private:
    std::array<LevelRow, kRows> m_rows{};
    int m_levels = 0;
};

}  // namespace duravod
