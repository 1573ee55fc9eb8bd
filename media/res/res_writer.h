// Writes module resource files (".res"): an 8-byte header {u16 0x921A, u32 directory
// offset, 2 zero bytes}, the items' data, then the directory of 16-byte records
// {type text, u16 id, u32 offset, u32 size, u16 reserved} sorted by type value, then id,
// as the reader's binary search needs. Little-endian throughout.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace media {

inline constexpr uint16_t kMagic = 0x921A;
inline constexpr uint32_t kHeaderSize = 8;
inline constexpr uint32_t kRecordSize = 16;

// The packed value of a type code of three or four printable ASCII characters other than
// space ("SPR" = 0x535052, first letter highest); 0 for anything else.
uint32_t TypeValue(std::string_view code);

class CResWriter {
public:
    // Adds an item; false (and nothing added) for an invalid type code or a (type, id) that
    // is already there.
    bool Add(std::string_view type, uint16_t id, std::span<const uint8_t> data, uint16_t reserved = 0);
    bool Add(std::string_view type, uint16_t id, std::string_view data, uint16_t reserved = 0);
    bool Has(std::string_view type, uint16_t id) const;
    // The data of an item added, or null.
    const std::vector<uint8_t>* Find(std::string_view type, uint16_t id) const;
    // The ids of the items of one type, lowest first.
    std::vector<uint16_t> IdsOf(std::string_view type) const;
    size_t Count() const { return m_items.size(); }

    // The whole file. Items lie in directory order right after the header.
    std::vector<uint8_t> Build() const;
    // Writes Build() to a host path (through a temporary file renamed into place, so a
    // failed run leaves no half-written file); false with a message on failure.
    bool WriteFile(const std::filesystem::path& path, std::string* error) const;

private:
    struct Item {
        std::string code;
        std::vector<uint8_t> data;
        uint16_t reserved = 0;
    };
    // Keyed by (type value, id): the order of the directory.
    std::map<std::pair<uint32_t, uint16_t>, Item> m_items;
};

}  // namespace media
