// The level table of the level chooser ('IN#', little-endian 16-bit values) and the ruler's
// segment layout. The chooser (engine/popups/level_chooser.h) reads the table and hit-tests the ruler's
// segments with these functions, and the resource generator draws the ruler's labels with the
// same layout, so what a child reads on a segment is what a click there chooses.
//
//   offset 0          unused
//   offset 2          N, the index of the last level group (groups 0 to N)
//   offset 4          the height of one ruler unit in pixels
//   offset 6, 8       x and y of the segment area inside the ruler picture
//   offset 10         the end margin of the track in pixels
//   offset 12 + 4 i   group i's segment height in units
//   offset 14 + 4 i   group i's number of levels
//
// Levels are numbered from 1 across the groups in order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "media/util/cor_geometry.h"

namespace media {

// The chooser keeps one segment rectangle per group, 26 of them: N is at most 25.
inline constexpr int kLevelSegmentCount = 26;
inline constexpr int kMaxLastLevelGroup = kLevelSegmentCount - 1;
inline constexpr size_t kLevelTableHeaderBytes = 12;
inline constexpr size_t kLevelGroupBytes = 4;

struct LevelGroup {
    int16_t units = 0;   // segment height in ruler units
    int16_t levels = 0;  // levels in the group
};

struct LevelTable {
    int16_t lastGroup = 1;  // N, 1 to 25 and never past the groups the item holds
    int16_t unitHeight = 0;
    int16_t areaX = 0;
    int16_t areaY = 0;
    int16_t endMargin = 0;
    std::vector<LevelGroup> groups;  // lastGroup + 1 entries
};

// Reads a table within its size. N below 1 is taken as 1, above 25 as 25, and beyond the
// groups the item holds as its last whole group. None when the item is shorter than its header
// or holds fewer than two whole groups (there is nothing to choose between).
std::optional<LevelTable> ParseLevelTable(std::span<const uint8_t> item);

// The table's bytes: N as given, then the header values and one record per group (fixtures and
// the resource generator's checks).
std::vector<uint8_t> LevelTableBytes(int16_t lastGroup, int16_t unitHeight, int16_t areaX, int16_t areaY,
                                     int16_t endMargin, std::span<const LevelGroup> groups);

// The group holding a level: the groups' levels are added up from group 0 until the total
// reaches the level or the group is N. A level past the table's total gives N; a level below 1
// gives 0.
int16_t GroupOfLevel(const LevelTable& table, int32_t level);
// The first level of a group: 1 + the levels of the groups before it (g outside 0 to N is held
// to it). Kept within 1 to 32767 whatever the table says.
int16_t FirstLevelOfGroup(const LevelTable& table, int32_t group);

// The segment rectangles over the ruler's segment area (right and bottom exclusive); the
// segments' bounds are inclusive. The area is split in two columns at its horizontal middle:
// segments run top down in the left column, each units x unit height rows high and starting on
// the row after the previous one; the first segment that would pass the area's bottom starts
// the right column at the area's top, and every later one stays there. Rectangles past N stay
// all zero.
std::array<Rect16, kLevelSegmentCount> LayoutLevelSegments(const LevelTable& table, const Rect16& area);

}  // namespace media
