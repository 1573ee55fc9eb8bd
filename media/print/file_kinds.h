// The file kinds of a picture file dialog, as a module's 'FIL' item holds them, and the
// recognition of a file's kind by its signature.
//
// 'FIL' item layout (little-endian):
//   the filter text, zero-terminated: "Description|pattern|...|" pairs for the file dialog;
//   u16 number of kinds;
//   per kind, in filter order: the extension without its dot, zero-terminated; u8 signature
//   offset; u8 signature length n; n signature bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace media {

struct FileKind {
    std::string extension;  // without the dot, Windows-1252
    uint8_t offset = 0;     // of the signature in the file
    std::vector<uint8_t> signature;
};

struct FileKindsTable {
    std::string filter;
    std::vector<FileKind> kinds;
};

// The table of a 'FIL' item's bytes; none when the item is cut short, a text is not
// terminated, or a kind's extension is empty. Bytes after the last kind are ignored.
std::optional<FileKindsTable> ParseFileKinds(std::span<const uint8_t> item);
// The item's bytes of a table (the writer beside the reader: the resource tool, tests).
// Empty when the table cannot be written: a text holding a zero byte, an empty extension, a
// signature longer than 255 bytes, more than 65535 kinds.
std::vector<uint8_t> BuildFileKinds(const FileKindsTable& table);

// The longest span of a file's first bytes any signature can reach (offset + length).
inline constexpr size_t kMaxSignatureReach = 255 + 255;

// The index (from 0) of the first kind whose signature lies wholly inside the file and
// matches; -1 when none does. head holds the file's first bytes, at least
// min(file length, kMaxSignatureReach) of them, or the whole file; fileLength is the file's
// length. A signature that would reach past the file's end never matches.
int MatchFileKind(const FileKindsTable& table, std::span<const uint8_t> head, uint64_t fileLength);

// The index (from 0) of the first kind whose extension equals ext (ignoring case), else -1.
int FindKindByExtension(const FileKindsTable& table, const std::string& ext);

}  // namespace media
