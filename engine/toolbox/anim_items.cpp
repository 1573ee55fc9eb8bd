#include "engine/toolbox/anim_items.h"

#include <algorithm>

#include "media/res/item_cache.h"
#include "media/res/res_mgr.h"
#include "platform/core/byte_order.h"

namespace {

// How many records of a table that starts at `header` the item holds whole, at most `count`.
size_t RecordsPresent(size_t itemSize, size_t header, size_t recordSize, size_t count) {
    if (itemSize < header) return 0;
    return std::min(count, (itemSize - header) / recordSize);
}

// Items larger than the greatest table a 16-bit count can describe hold nothing meaningful
// beyond it; they are not read whole.
constexpr uint32_t kMaxPreloadItem = kPreloadHeaderSize + 0xFFFF * kPreloadRecordSize;
constexpr uint32_t kMaxCueItem = kCueHeaderSize + 0xFFFF * kCueRecordSize;

}  // namespace

std::vector<PreloadRecord> ParsePreloadList(std::span<const uint8_t> item) {
    std::vector<PreloadRecord> records;
    if (item.size() < 2) return records;
    size_t n = plat::GetLe16(item, 0);
    if (n == 0) n = 1;
    n = RecordsPresent(item.size(), kPreloadHeaderSize, kPreloadRecordSize, n);
    records.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t at = kPreloadHeaderSize + i * kPreloadRecordSize;
        records.push_back({plat::GetLeI16(item, at), plat::GetLeI16(item, at + kPreloadSoundOffset)});
    }
    return records;
}

std::vector<CueRecord> ParseCueList(std::span<const uint8_t> item) {
    std::vector<CueRecord> records;
    if (item.size() < 2) return records;
    const size_t n = RecordsPresent(item.size(), kCueHeaderSize, kCueRecordSize, plat::GetLe16(item, 0));
    records.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const size_t at = kCueHeaderSize + i * kCueRecordSize;
        records.push_back({plat::GetLeI32(item, at), plat::GetLeI32(item, at + 8)});
    }
    return records;
}

std::optional<std::vector<PreloadRecord>> ReadPreloadList(int32_t absoluteId) {
    std::vector<uint8_t> bytes;
    if (!ReadResourceItem(kResANU, absoluteId, nullptr, bytes, kMaxPreloadItem)) return std::nullopt;
    return ParsePreloadList(bytes);
}

std::optional<std::vector<CueRecord>> ReadCueList(int32_t absoluteId) {
    std::vector<uint8_t> bytes;
    if (!ReadResourceItem(kResCUE, absoluteId, nullptr, bytes, kMaxCueItem)) return std::nullopt;
    return ParseCueList(bytes);
}
