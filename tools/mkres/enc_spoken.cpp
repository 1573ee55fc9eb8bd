// Spoken phrases: word clips, phrase templates and number tables.
//
//   SND M+640 word          # a word clip for chains: trimmed to a few ms of silence at both
//     "fyrtio"              # ends, levelled to every other word clip, at a calm pace; plain
//   end
//
//   IPA M+100               # phrase template ('IPA', default encoder `phrase`): up to 8 codes,
//     510 number 1 form 3   # each a u16. A sound id 1 to 32767 as it stands; `number K [form F]`
//     extra 511 end         # the placeholder of argument K (1-4) in number form F (1-8, default
//   end                     # 1), stored -(10 (F - 1) + K); `extra` -99, `extra2` -98, `end` 0
//
//   IPB M+7                 # number table ('IPB', 'IPC': default encoder `numbers`): up to 8
//     647 648               # sound ids 1 to 32767, then a 0 when fewer than 8
//   end
//
// The game's phrase builder reads a template or table for at most 8 codes and stops at a 0.
#include <array>
#include <map>
#include <optional>

#include "media/sound/snd_encoder.h"
#include "media/sound/synth/voice.h"
#include "platform/core/byte_order.h"
#include "tools/mkres/encoders.h"

namespace mkres {

namespace {

constexpr size_t kMaxCodes = 8;

bool AddCode(const SourceLine& line, std::vector<uint8_t>& out, int64_t code, EncodeContext& ctx) {
    if (out.size() / 2 >= kMaxCodes) {
        ctx.Error(line.where, "more than 8 codes");
        return false;
    }
    plat::AppendLe16(out, static_cast<uint16_t>(code));
    return true;
}

}  // namespace

bool EncodeWordClip(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    // Each word is spoken once a run, however many forms copy it.
    static std::map<std::string, std::vector<uint8_t>> spoken;
    if (item.body.empty() || item.body.size() > 2 || item.body[0].tokens.size() != 1 ||
        item.body[0].tokens[0].kind != Token::Kind::String) {
        ctx.Error(item.where, "a word clip is one line with one \"word\" (and a mouth line)");
        return false;
    }
    std::optional<std::array<int32_t, 4>> mouth;
    if (item.body.size() == 2) {
        const SourceLine& line = item.body[1];
        if (line.tokens.empty() || line.tokens[0].kind != Token::Kind::Word || line.tokens[0].text != "mouth") {
            ctx.Error(line.where, "a word clip's second line is its mouth");
            return false;
        }
        mouth = ParseMouthLine(line, ctx);
        if (!mouth) return false;
    }
    const Token& word = item.body[0].tokens[0];
    if (!word.cp1252Ok) {
        ctx.Error(item.body[0].where, "the text has a character Windows-1252 lacks");
        return false;
    }
    const std::string key = (ToneModeAsked(false) ? "tone:" : "speech:") + word.cp1252;
    auto found = spoken.find(key);
    if (found == spoken.end()) {
        std::vector<uint8_t> samples;
        std::string error;
        if (!SpeakOrToneWord(word.cp1252, false, samples, &error)) {
            ctx.Error(item.body[0].where, error);
            return false;
        }
        found = spoken.emplace(key, std::move(samples)).first;
    }
    out = EncodeSndPlain(found->second);
    return !mouth || AddMouthCues(item, found->second, *mouth, ctx);
}

bool EncodePhraseTemplate(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    for (const SourceLine& line : item.body) {
        const auto& t = line.tokens;
        for (size_t i = 0; i < t.size(); ++i) {
            const std::string& w = t[i].kind == Token::Kind::Word ? t[i].text : std::string();
            int64_t code = 0;
            if (w == "extra") {
                code = -99;
            } else if (w == "extra2") {
                code = -98;
            } else if (w == "end") {
                code = 0;
            } else if (w == "number") {
                if (i + 1 >= t.size()) {
                    ctx.Error(line.where, "number takes an argument 1 to 4");
                    return false;
                }
                const auto arg = NumberIn(line, t[++i], 1, 4, ctx);
                if (!arg) return false;
                int64_t form = 1;
                if (i + 1 < t.size() && t[i + 1].kind == Token::Kind::Word && t[i + 1].text == "form") {
                    if (i + 2 >= t.size()) {
                        ctx.Error(line.where, "form takes a number form 1 to 8");
                        return false;
                    }
                    const auto f = NumberIn(line, t[i + 2], 1, 8, ctx);
                    if (!f) return false;
                    form = *f;
                    i += 2;
                }
                code = -(10 * (form - 1) + *arg);
            } else {
                const auto id = NumberIn(line, t[i], 1, 32767, ctx);
                if (!id) return false;
                code = *id;
            }
            if (!AddCode(line, out, code, ctx)) return false;
        }
    }
    return true;
}

bool EncodeNumberTable(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    for (const SourceLine& line : item.body) {
        for (const Token& token : line.tokens) {
            const auto id = NumberIn(line, token, 1, 32767, ctx);
            if (!id || !AddCode(line, out, *id, ctx)) return false;
        }
    }
    if (out.size() / 2 < kMaxCodes) plat::AppendLe16(out, 0);
    return true;
}

}  // namespace mkres
