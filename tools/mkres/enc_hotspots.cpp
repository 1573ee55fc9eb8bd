// 'HT#' hotspot tables: records of three i16 {picture id, hot spot x, hot spot y}, six bytes
// each, little-endian. The picture id is module-relative (the game maps it when it applies
// the table).
//
//   HT# M+500 hotspots
//     10 60 40        # picture M+10: its hot spot is pixel (60, 40)
//   end
#include "platform/core/byte_order.h"
#include "tools/mkres/encoders.h"

namespace mkres {

bool EncodeHotspots(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    for (const SourceLine& line : item.body) {
        if (line.tokens.size() != 3) {
            ctx.Error(line.where, "a hotspot record is: picture id, x, y");
            return false;
        }
        for (const Token& token : line.tokens) {
            const auto v = NumberIn(line, token, -32768, 32767, ctx);
            if (!v) return false;
            plat::AppendLe16(out, static_cast<uint16_t>(static_cast<int16_t>(*v)));
        }
    }
    return true;
}

}  // namespace mkres
