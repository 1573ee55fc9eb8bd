// The encoders of plain data: raw bytes, 16-bit tables and size records.
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

}  // namespace mkres
