// 'CUR' items: a cursor made from a picture of the module. Three i16 values, little-endian:
// the picture id (module-relative), the hot spot's x and y in the picture. Bytes after the
// sixth are not read; an item shorter than 6 bytes is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

inline constexpr size_t kCursorItemSize = 6;

struct CursorItem {
    int16_t pictureId = 0;
    int16_t hotX = 0;
    int16_t hotY = 0;
};

std::optional<CursorItem> ParseCursorItem(std::span<const uint8_t> item);
// The 'CUR' item of the absolute id from its module's resource file; none when it is missing,
// unreadable or too short.
std::optional<CursorItem> ReadCursorItem(int32_t absoluteId);
