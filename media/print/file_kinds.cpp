#include "media/print/file_kinds.h"

#include <algorithm>
#include <cstring>

#include "platform/core/byte_order.h"
#include "platform/strings/cp1252.h"

namespace media {

namespace {

// A zero-terminated text at `at`; none when no zero byte follows within the item.
std::optional<std::string> ReadText(std::span<const uint8_t> item, size_t& at) {
    if (at >= item.size()) return std::nullopt;
    const auto* begin = item.data() + at;
    const auto* zero = static_cast<const uint8_t*>(std::memchr(begin, 0, item.size() - at));
    if (!zero) return std::nullopt;
    std::string text(reinterpret_cast<const char*>(begin), static_cast<size_t>(zero - begin));
    at += text.size() + 1;
    return text;
}

}  // namespace

std::optional<FileKindsTable> ParseFileKinds(std::span<const uint8_t> item) {
    FileKindsTable table;
    size_t at = 0;
    auto filter = ReadText(item, at);
    if (!filter) return std::nullopt;
    table.filter = std::move(*filter);
    if (!plat::InSpan(item.size(), at, 2)) return std::nullopt;
    const uint16_t count = plat::GetLe16(item, at);
    at += 2;
    for (uint16_t k = 0; k < count; ++k) {
        FileKind kind;
        auto ext = ReadText(item, at);
        if (!ext || ext->empty() || !plat::InSpan(item.size(), at, 2)) return std::nullopt;
        kind.extension = std::move(*ext);
        kind.offset = item[at];
        const uint8_t length = item[at + 1];
        at += 2;
        if (!plat::InSpan(item.size(), at, length)) return std::nullopt;
        kind.signature.assign(item.begin() + static_cast<ptrdiff_t>(at), item.begin() + static_cast<ptrdiff_t>(at + length));
        at += length;
        table.kinds.push_back(std::move(kind));
    }
    return table;
}

std::vector<uint8_t> BuildFileKinds(const FileKindsTable& table) {
    std::vector<uint8_t> out;
    if (table.filter.find('\0') != std::string::npos || table.kinds.size() > 0xFFFF) return {};
    out.insert(out.end(), table.filter.begin(), table.filter.end());
    out.push_back(0);
    plat::AppendLe16(out, static_cast<uint16_t>(table.kinds.size()));
    for (const FileKind& kind : table.kinds) {
        if (kind.extension.empty() || kind.extension.find('\0') != std::string::npos || kind.signature.size() > 255)
            return {};
        out.insert(out.end(), kind.extension.begin(), kind.extension.end());
        out.push_back(0);
        out.push_back(kind.offset);
        out.push_back(static_cast<uint8_t>(kind.signature.size()));
        out.insert(out.end(), kind.signature.begin(), kind.signature.end());
    }
    return out;
}

int MatchFileKind(const FileKindsTable& table, std::span<const uint8_t> head, uint64_t fileLength) {
    for (size_t k = 0; k < table.kinds.size(); ++k) {
        const FileKind& kind = table.kinds[k];
        const uint64_t end = uint64_t{kind.offset} + kind.signature.size();
        if (end > fileLength || end > head.size()) continue;
        if (std::equal(kind.signature.begin(), kind.signature.end(), head.begin() + kind.offset))
            return static_cast<int>(k);
    }
    return -1;
}

int FindKindByExtension(const FileKindsTable& table, const std::string& ext) {
    if (ext.empty()) return -1;
    for (size_t k = 0; k < table.kinds.size(); ++k)
        if (plat::EqualNoCase1252(table.kinds[k].extension, ext)) return static_cast<int>(k);
    return -1;
}

}  // namespace media
