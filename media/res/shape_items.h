// The shapes activity's items (little-endian 16-bit values): piece outlines ('PN#'), piece
// lists (a picture's placed pieces: 'PLS' items, snapshots, slots, picture files and the blocks
// of a task record) and task records ('BPB'). One reader and one writer per layout, for the
// activity, the resource generator and the tests.
//
// 'PN#':  n, then n pairs (length, direction in tenths of a degree). Pair 0 leads from the
//         piece's reference point to its first corner; pairs 1 to n - 1 are the edges.
// piece list:  u16 piece set id, i16 M, M records of 10 bytes: kind (-1 a group), fill, x, y,
//         angle; a group record's last field is m, the number of member records after it.
// 'BPB':  57 u16 words (index 4 the task kind, 5 the starting outline style), i16 G at 114,
//         G guide lines (x1, y1, x2, y2) from 116, then three piece lists: reference, start,
//         solution.
//
// Readers never read past the item. A damaged item (counts beyond the bytes it holds) is
// read as far as it goes and reported through `damaged`; the caller names it in the trace.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "media/util/cor_geometry.h"

namespace media {

struct PiecePair {
    int16_t length = 0;
    int16_t direction = 0;
    bool operator==(const PiecePair&) const = default;
};

struct PieceOutline {
    PiecePair lead;
    std::vector<PiecePair> edges;  // empty: the outline has no corner (under 2 pairs)
    bool damaged = false;          // n claimed more pairs than the item holds
};

// The whole pairs the item holds, up to n (a negative n is 0).
PieceOutline ParsePieceOutline(std::span<const uint8_t> item);
std::vector<uint8_t> PieceOutlineBytes(PiecePair lead, std::span<const PiecePair> edges);

inline constexpr size_t kPieceRecordBytes = 10;
inline constexpr size_t kPieceListHeaderBytes = 4;

struct PieceRecord {
    int16_t kind = 0;  // 0 to 5 a piece, -1 a group
    int16_t fill = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t angle = 0;  // for a group: m, its member records that follow
    bool operator==(const PieceRecord&) const = default;
};

struct PieceList {
    uint16_t setId = 0;
    std::vector<PieceRecord> records;
    bool damaged = false;
};

// A block at the start of bytes; `used` receives the bytes it takes (4 + 10 M as read). A
// header cut short reads its missing values as 0; M is cut to the whole records present (a
// negative M is 0), and each group's m to the records that follow it in the block (negative 0).
PieceList ParsePieceList(std::span<const uint8_t> bytes, size_t* used = nullptr);
std::vector<uint8_t> PieceListBytes(const PieceList& list);
// The shapes a list makes: its records minus the member records of its groups.
size_t PieceListShapeCount(const PieceList& list);

// Whether a piece list, from outside the program (a picture file, a record slot's 'data', a
// 'PLS' item), can be restored as it stands: at least 4 + 10 M bytes with M not negative;
// every group's m not negative and within the records after it, its members pieces (groups do
// not nest); piece kinds 0 to 5, piece fills 0 to 31, group fills -9, -1 or 0 to 31; piece
// angles multiples of 150 from 0 to 3450; and, when `area` is given, every piece's position
// inside it (a group's own position is not used). Null when it passes, else what is wrong,
// for the caller's trace line.
const char* PieceListFault(std::span<const uint8_t> bytes, const CCorRect* area = nullptr);
inline bool CheckPieceList(std::span<const uint8_t> bytes, const CCorRect* area = nullptr) {
    return PieceListFault(bytes, area) == nullptr;
}

struct GuideLine {
    int16_t x1 = 0;
    int16_t y1 = 0;
    int16_t x2 = 0;
    int16_t y2 = 0;
    bool operator==(const GuideLine&) const = default;
};

inline constexpr size_t kTaskWordCount = 57;
inline constexpr size_t kTaskKindIndex = 4;
inline constexpr size_t kTaskStyleIndex = 5;
inline constexpr size_t kTaskGuidesAt = 116;

struct TaskRecord {
    std::array<uint16_t, kTaskWordCount> words{};
    std::vector<GuideLine> guides;
    PieceList reference;
    PieceList start;
    PieceList solution;
    size_t startOffset = 0;  // where the start block begins in the item (its size at most)
    bool damaged = false;

    uint16_t Kind() const { return words[kTaskKindIndex]; }
    uint16_t Style() const { return words[kTaskStyleIndex]; }
};

// Missing words are 0; G is cut to the whole guide lines present (negative 0), each block
// as ParsePieceList reads it, a block beyond the item empty.
TaskRecord ParseTaskRecord(std::span<const uint8_t> item);
std::vector<uint8_t> TaskRecordBytes(const TaskRecord& task);

}  // namespace media
