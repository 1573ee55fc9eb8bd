// The layout of 'SND' resource items (little-endian). The first bytes decide the form:
//   file reference: u16 0x4546, u16 0, then a zero-terminated file name; the clip is the whole
//     file, raw samples, from the preference folder;
//   compressed: {u16 blocks B, u32 total samples, u16 largest decoded block, u16 unused}, valid
//     when 1 <= B <= 1000, total >= 1 and largest <= 10240; then B block headers {u32 offset of
//     the coded stream from the item's start, u16 coded length, u16 decoded length}, then the
//     coded streams (sound_delta.h);
//   plain: anything else; the whole item is raw 8-bit unsigned samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

inline constexpr uint32_t kSoundBlockSize = 10240;
inline constexpr uint16_t kSndFileRefTag = 0x4546;
inline constexpr uint16_t kSndMaxBlocks = 1000;
inline constexpr uint32_t kSndCompressedHeaderSize = 10;
inline constexpr uint32_t kSndBlockHeaderSize = 8;
// Longest file name a reference may hold (bytes before its zero).
inline constexpr size_t kSndMaxFileName = 64;
// Largest clip a file reference may bring in: as many samples as the largest compressed clip.
inline constexpr uint32_t kSndMaxFileLength = uint32_t{kSndMaxBlocks} * kSoundBlockSize;

enum class SndForm { Plain, Compressed, FileReference };

struct SndCompressedHeader {
    uint16_t blocks = 0;
    uint32_t total = 0;
    uint16_t largest = 0;
    uint16_t unused = 0;
};

struct SndBlockHeader {
    uint32_t offset = 0;
    uint16_t codedLength = 0;
    uint16_t decodedLength = 0;
};

// Reads the 10-byte header; false when head is shorter or the header fails the validity test.
bool ParseSndCompressedHeader(std::span<const uint8_t> head, SndCompressedHeader& header);
SndBlockHeader ParseSndBlockHeader(std::span<const uint8_t, kSndBlockHeaderSize> bytes);

// The form of an item of `size` bytes whose first bytes (up to 10 of them) are head.
SndForm ClassifySnd(std::span<const uint8_t> head, uint32_t size);

// Whether a referenced file name stays inside the folder it is looked up in: 1 to 64 bytes, no
// drive, no folder separators, not "." or "..", no control characters or wildcards.
bool IsSafeSndFileName(std::string_view name);
