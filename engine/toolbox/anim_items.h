// The sprite toolbox's small items, read from the module resource files with ReadResourceItem:
// 'AN_' preload lists (what an animation needs in memory before it plays) and 'CUE' cue lists
// (which picture a talking sprite shows when, along one sound). Every count is cut to the
// records the item holds, so a damaged count never reads past the item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// 'AN_': u16 number of records n at byte 0 (0 is taken as 1), bytes 2 to 7 not read, then from
// byte 8 n records of 14 bytes: i16 picture id at 0, i16 sound id at 10 (module-relative,
// 0 = none); the other bytes are not read.
inline constexpr size_t kPreloadHeaderSize = 8;
inline constexpr size_t kPreloadRecordSize = 14;
inline constexpr size_t kPreloadSoundOffset = 10;

struct PreloadRecord {
    int16_t pictureId = 0;
    int16_t soundId = 0;
};

// 'CUE': u16 number of records n, then n records of 12 bytes {i32 time in milliseconds from
// the start of the sound, i32 not read, i32 picture id (its low 16 bits a module-relative
// id)}.
inline constexpr size_t kCueHeaderSize = 2;
inline constexpr size_t kCueRecordSize = 12;

struct CueRecord {
    int32_t timeMs = 0;
    int32_t pictureId = 0;
};

// The records of an item's bytes, the count cut to the whole records present.
std::vector<PreloadRecord> ParsePreloadList(std::span<const uint8_t> item);
std::vector<CueRecord> ParseCueList(std::span<const uint8_t> item);

// The item of the absolute id from its module's resource file; none when there is no such item
// or it cannot be read.
std::optional<std::vector<PreloadRecord>> ReadPreloadList(int32_t absoluteId);
std::optional<std::vector<CueRecord>> ReadCueList(int32_t absoluteId);
