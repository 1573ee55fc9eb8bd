// The encoders of plain data: raw bytes, 16-bit tables and size records.
#include <string>

#include "platform/core/byte_order.h"
#include "tools/mkres/encoders.h"

namespace mkres {

bool EncodeRaw(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    for (const SourceLine& line : item.body) {
        if (!AppendData(line, 0, 1, ctx, out)) return false;
    }
    return true;
}

bool EncodeWords(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    for (const SourceLine& line : item.body) {
        if (!AppendData(line, 0, 2, ctx, out)) return false;
    }
    return true;
}

// 'PNT': u16 width, u16 height.
bool EncodeSize(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::vector<int64_t> values;
    for (const SourceLine& line : item.body) {
        for (const Token& token : line.tokens) {
            const auto v = NumberIn(line, token, 0, 0xFFFF, ctx);
            if (!v) return false;
            values.push_back(*v);
        }
    }
    if (values.size() != 2) {
        ctx.Error(item.where, "a size record takes two numbers: width and height");
        return false;
    }
    for (const int64_t v : values) plat::AppendLe16(out, static_cast<uint16_t>(v));
    return true;
}

// A list of characters ('IN#', e.g. what a typed name may hold): strings, whose every
// Windows-1252 byte is one character, and single codes 1 to 255 → u16 n, then n u16 codes.
// Every character once; an empty list is an error.
bool EncodeCharList(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::vector<uint16_t> codes;
    auto add = [&](const SourceLine& line, int code) {
        for (const uint16_t c : codes) {
            if (c == code) {
                ctx.Error(line.where, "character " + std::to_string(code) + " is listed twice");
                return false;
            }
        }
        codes.push_back(static_cast<uint16_t>(code));
        return true;
    };
    for (const SourceLine& line : item.body) {
        for (const Token& token : line.tokens) {
            if (token.kind == Token::Kind::String) {
                if (!token.cp1252Ok) {
                    ctx.Error(line.where, "\"" + token.text + "\" holds a character Windows-1252 lacks");
                    return false;
                }
                if (token.cp1252.empty()) {
                    ctx.Error(line.where, "an empty string adds no character");
                    return false;
                }
                for (const char c : token.cp1252)
                    if (!add(line, static_cast<uint8_t>(c))) return false;
                continue;
            }
            const auto v = NumberIn(line, token, 1, 255, ctx);
            if (!v || !add(line, static_cast<int>(*v))) return false;
        }
    }
    if (codes.empty()) {
        ctx.Error(item.where, "a character list holds at least one character");
        return false;
    }
    plat::AppendLe16(out, static_cast<uint16_t>(codes.size()));
    for (const uint16_t c : codes) plat::AppendLe16(out, c);
    return true;
}

}  // namespace mkres
