// 'FIL' file kinds of a picture file dialog: the filter text, then per kind its extension and
// signature (media/print/file_kinds.h, whose writer makes the bytes).
//
//   filter "Description (*.ext)|*.ext|...||"
//   kind "ext" at OFFSET signature BYTES...
//
// The filter comes first and once; it lists one description and pattern pair per kind, in
// the kinds' order. BYTES are the data language's (bare numbers one byte each, "text").
#include <algorithm>

#include "media/print/file_kinds.h"
#include "platform/strings/cp1252.h"
#include "tools/mkres/encoders.h"

namespace mkres {

namespace {

// The description and pattern pairs of a filter text, up to its "||".
size_t FilterPairs(std::string filter) {
    if (const size_t end = filter.find("||"); end != std::string::npos) filter.resize(end);
    if (filter.empty()) return 0;
    const size_t bars = static_cast<size_t>(std::count(filter.begin(), filter.end(), '|'));
    return (bars + (filter.back() == '|' ? 0 : 1)) / 2;
}

bool IsWord(const Token& t, const char* word) {
    return t.kind == Token::Kind::Word && t.text == word;
}

}  // namespace

bool EncodeFileKinds(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    media::FileKindsTable table;
    bool haveFilter = false;
    for (const SourceLine& line : item.body) {
        const auto& t = line.tokens;
        if (IsWord(t[0], "filter")) {
            if (haveFilter || !table.kinds.empty() || t.size() != 2 || t[1].kind != Token::Kind::String) {
                ctx.Error(line.where, "filter \"text\" comes once, first");
                return false;
            }
            if (!t[1].cp1252Ok || t[1].cp1252.find('\0') != std::string::npos) {
                ctx.Error(line.where, "the filter holds a zero byte or a character Windows-1252 does not have");
                return false;
            }
            table.filter = t[1].cp1252;
            haveFilter = true;
            continue;
        }
        if (!IsWord(t[0], "kind")) {
            ctx.Error(line.where, "a line is filter \"text\" or kind \"ext\" at OFFSET signature BYTES");
            return false;
        }
        if (!haveFilter) {
            ctx.Error(line.where, "the filter comes before the kinds");
            return false;
        }
        if (t.size() < 6 || t[1].kind != Token::Kind::String || !IsWord(t[2], "at") || !IsWord(t[4], "signature")) {
            ctx.Error(line.where, "a kind is kind \"ext\" at OFFSET signature BYTES");
            return false;
        }
        media::FileKind kind;
        kind.extension = t[1].cp1252;
        if (!t[1].cp1252Ok || kind.extension.empty() || kind.extension.find_first_of(std::string(".\0|*?\\", 6)) != std::string::npos) {
            ctx.Error(line.where, "an extension is a name without a dot, bar, wildcard or zero byte");
            return false;
        }
        for (const media::FileKind& other : table.kinds)
            if (plat::EqualNoCase1252(other.extension, kind.extension)) {
                ctx.Error(line.where, "the extension " + kind.extension + " is listed twice");
                return false;
            }
        const auto offset = NumberIn(line, t[3], 0, 255, ctx);
        if (!offset) return false;
        kind.offset = static_cast<uint8_t>(*offset);
        if (!AppendData(line, 5, 1, ctx, kind.signature)) return false;
        if (kind.signature.empty() || kind.signature.size() > 255) {
            ctx.Error(line.where, "a signature holds 1 to 255 bytes");
            return false;
        }
        table.kinds.push_back(std::move(kind));
    }
    if (!haveFilter || table.kinds.empty()) {
        ctx.Error(item.where, "file kinds need a filter and at least one kind");
        return false;
    }
    if (FilterPairs(table.filter) != table.kinds.size()) {
        ctx.Error(item.where, "the filter lists " + std::to_string(FilterPairs(table.filter)) + " kinds, the item " +
                                  std::to_string(table.kinds.size()));
        return false;
    }
    out = media::BuildFileKinds(table);
    return !out.empty();
}

}  // namespace mkres
