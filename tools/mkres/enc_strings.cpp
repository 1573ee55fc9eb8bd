// 'IST' string lists: a u16 head word (the number of strings unless `head` says otherwise;
// the game does not read it), then the strings in Windows-1252, each ending in a zero byte.
// Strings are numbered from 1; a line may give the number it expects.
#include "platform/core/byte_order.h"
#include "tools/mkres/encoders.h"

namespace mkres {

bool EncodeStrings(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::optional<int64_t> head;
    std::vector<std::string> strings;
    for (const SourceLine& line : item.body) {
        const auto& t = line.tokens;
        if (t[0].kind == Token::Kind::Word && t[0].text == "head") {
            if (t.size() != 2 || head || !strings.empty()) {
                ctx.Error(line.where, "head takes one number and comes once, before the strings");
                return false;
            }
            head = NumberIn(line, t[1], 0, 0xFFFF, ctx);
            if (!head) return false;
            continue;
        }
        size_t at = 0;
        if (t.size() == 2 && t[0].kind == Token::Kind::Word) {
            const auto n = NumberIn(line, t[0], 1, 0xFFFF, ctx);
            if (!n) return false;
            if (*n != static_cast<int64_t>(strings.size()) + 1) {
                ctx.Error(line.where, "this is string " + std::to_string(strings.size() + 1) + ", not " + t[0].text);
                return false;
            }
            at = 1;
        }
        if (t.size() != at + 1 || t[at].kind != Token::Kind::String) {
            ctx.Error(line.where, "a string line is \"text\" or NUMBER \"text\"");
            return false;
        }
        const Token& s = t[at];
        if (!s.cp1252Ok) {
            ctx.Error(line.where, "\"" + s.text + "\" holds a character Windows-1252 does not have");
            return false;
        }
        if (s.cp1252.find('\0') != std::string::npos) {
            ctx.Error(line.where, "a string of a list cannot hold a zero byte");
            return false;
        }
        strings.push_back(s.cp1252);
        if (strings.size() > 0xFFFF) {
            ctx.Error(line.where, "a list holds at most 65535 strings");
            return false;
        }
    }
    plat::AppendLe16(out, static_cast<uint16_t>(head.value_or(static_cast<int64_t>(strings.size()))));
    for (const std::string& s : strings) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    }
    return true;
}

}  // namespace mkres
