#include "engine/toolbox/cursor_item.h"

#include <vector>

#include "media/res/item_cache.h"
#include "media/res/res_mgr.h"
#include "platform/core/byte_order.h"

std::optional<CursorItem> ParseCursorItem(std::span<const uint8_t> item) {
    if (item.size() < kCursorItemSize) return std::nullopt;
    return CursorItem{plat::GetLeI16(item, 0), plat::GetLeI16(item, 2), plat::GetLeI16(item, 4)};
}

std::optional<CursorItem> ReadCursorItem(int32_t absoluteId) {
    // A cursor item has nothing to say past its sixth byte; larger ones are not read whole.
    constexpr uint32_t kMaxCursorItem = 4096;
    std::vector<uint8_t> bytes;
    if (!ReadResourceItem(kResCUR, absoluteId, nullptr, bytes, kMaxCursorItem)) return std::nullopt;
    return ParseCursorItem(bytes);
}
