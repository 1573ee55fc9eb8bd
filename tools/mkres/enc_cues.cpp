// 'AN_' preload lists and 'CUE' cue lists.
//
// 'AN_' (encoder `preload`): u16 number of records, six bytes of 0, then 14-byte records
// {i16 picture id, eight bytes of 0, i16 sound id, two bytes of 0}; ids module-relative,
// 0 = none. The game preloads each record's picture and sound before an animation plays.
//
//   AN_ M+200 preload
//     picture 12 sound 990    # picture M+12 and sound M+990
//     picture 13
//   end
//
// 'CUE' (encoder `cues`): u16 number of records, then 12-byte records {i32 time in
// milliseconds from the start of the sound, i32 0, i32 picture id (module-relative,
// sign-extended)}. A cue list belongs to the sound of the same id; the sprite that speaks the
// sound shows each picture at its time, and the last one when the sound has ended.
//
//   CUE M+101 cues
//     0 20        # at once: picture M+20
//     150 21
//     600 20      # the rest picture, last
//   end
#include "platform/core/byte_order.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/mouth_cues.h"

namespace mkres {

namespace {

constexpr size_t kMaxRecords = 0xFFFF;

std::optional<int16_t> Id(const SourceLine& line, const Token& token, EncodeContext& ctx) {
    const auto v = NumberIn(line, token, -32768, 32767, ctx);
    if (!v) return std::nullopt;
    return static_cast<int16_t>(*v);
}

}  // namespace

bool EncodePreload(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::vector<std::pair<int16_t, int16_t>> records;
    for (const SourceLine& line : item.body) {
        const auto& t = line.tokens;
        const bool shape = (t.size() == 2 || (t.size() == 4 && t[2].text == "sound")) && t[0].text == "picture" &&
                           t[1].kind == Token::Kind::Word && (t.size() == 2 || t[3].kind == Token::Kind::Word);
        if (!shape) {
            ctx.Error(line.where, "a preload record is: picture P [sound S]");
            return false;
        }
        const auto picture = Id(line, t[1], ctx);
        if (!picture) return false;
        int16_t sound = 0;
        if (t.size() == 4) {
            const auto s = Id(line, t[3], ctx);
            if (!s) return false;
            sound = *s;
        }
        records.emplace_back(*picture, sound);
    }
    if (records.empty() || records.size() > kMaxRecords) {
        ctx.Error(item.where, "a preload list holds 1 to 65535 records");
        return false;
    }
    plat::AppendLe16(out, static_cast<uint16_t>(records.size()));
    out.resize(8, 0);
    for (const auto& [picture, sound] : records) {
        plat::AppendLe16(out, static_cast<uint16_t>(picture));
        out.resize(out.size() + 8, 0);
        plat::AppendLe16(out, static_cast<uint16_t>(sound));
        plat::AppendLe16(out, 0);
    }
    return true;
}

bool EncodeCues(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::vector<Cue> cues;
    for (const SourceLine& line : item.body) {
        if (line.tokens.size() != 2) {
            ctx.Error(line.where, "a cue is: milliseconds, picture id");
            return false;
        }
        const auto ms = NumberIn(line, line.tokens[0], 0, 0x7FFFFFFF, ctx);
        const auto picture = ms ? Id(line, line.tokens[1], ctx) : std::nullopt;
        if (!picture) return false;
        if (!cues.empty() && *ms < cues.back().ms) {
            ctx.Error(line.where, "cues go in time order");
            return false;
        }
        cues.push_back({static_cast<int32_t>(*ms), *picture});
    }
    if (cues.size() > kMaxRecords) {
        ctx.Error(item.where, "a cue list holds at most 65535 cues");
        return false;
    }
    out = EncodeCueItem(cues);
    return true;
}

}  // namespace mkres
