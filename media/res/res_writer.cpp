#include "media/res/res_writer.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include "platform/core/byte_order.h"

namespace media {

uint32_t TypeValue(std::string_view code) {
    if (code.size() != 3 && code.size() != 4) return 0;
    for (char c : code)
        if (c <= ' ' || c > '~') return 0;
    return plat::PackTypeCode(code);
}

bool CResWriter::Add(std::string_view type, uint16_t id, std::span<const uint8_t> data, uint16_t reserved) {
    const uint32_t value = TypeValue(type);
    if (value == 0) return false;
    Item item{std::string(type), std::vector<uint8_t>(data.begin(), data.end()), reserved};
    return m_items.emplace(std::make_pair(value, id), std::move(item)).second;
}

bool CResWriter::Add(std::string_view type, uint16_t id, std::string_view data, uint16_t reserved) {
    return Add(type, id, std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size()), reserved);
}

bool CResWriter::Has(std::string_view type, uint16_t id) const {
    return m_items.contains(std::make_pair(TypeValue(type), id));
}

const std::vector<uint8_t>* CResWriter::Find(std::string_view type, uint16_t id) const {
    const auto it = m_items.find(std::make_pair(TypeValue(type), id));
    return it == m_items.end() ? nullptr : &it->second.data;
}

std::vector<uint16_t> CResWriter::IdsOf(std::string_view type) const {
    std::vector<uint16_t> ids;
    const uint32_t value = TypeValue(type);
    for (const auto& [key, item] : m_items)
        if (key.first == value) ids.push_back(key.second);
    return ids;
}

std::vector<uint8_t> CResWriter::Build() const {
    std::vector<uint8_t> out;
    plat::AppendLe16(out, kMagic);
    plat::AppendLe32(out, 0);  // directory offset, known once the data is placed
    plat::AppendLe16(out, 0);
    std::vector<uint32_t> offsets;
    for (const auto& [key, item] : m_items) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        out.insert(out.end(), item.data.begin(), item.data.end());
    }
    plat::SetLe32(out, 2, static_cast<uint32_t>(out.size()));
    size_t i = 0;
    for (const auto& [key, item] : m_items) {
        // The code as text, first letter first; a three-letter code ends in a zero byte.
        for (size_t k = 0; k < 4; ++k) out.push_back(k < item.code.size() ? static_cast<uint8_t>(item.code[k]) : 0);
        plat::AppendLe16(out, key.second);
        plat::AppendLe32(out, offsets[i++]);
        plat::AppendLe32(out, static_cast<uint32_t>(item.data.size()));
        plat::AppendLe16(out, item.reserved);
    }
    return out;
}

bool CResWriter::WriteFile(const std::filesystem::path& path, std::string* error) const {
    const std::vector<uint8_t> bytes = Build();
    if (bytes.size() > 0xFFFFFFFFu) {
        if (error) *error = "the file would pass 4 GB";
        return false;
    }
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            if (error) *error = "cannot write " + temp.string();
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        if (error) *error = "cannot rename " + temp.string() + " to " + path.string() + ": " + ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace media
