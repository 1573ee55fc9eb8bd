// 'SND' sounds. The body's lines add samples (8-bit unsigned mono, 11025 per second) in order;
// a plain clip starts with two silent samples (0x80 0x80) so it never reads as another form.
//
//   SND M+990 sound
//     speak "Hej! Vad roligt att se dig."   # espeak-ng's Swedish voice; without it the build
//                                           # fails, unless ZELBO_VOICE=tone asks for tones
//     effect chime                          # a synthesised effect (media/sound/synth)
//     tone 440 120                          # a tone: Hz, milliseconds
//     compressed                            # store delta-compressed instead of plain
//     mouth 20 21 22 23                     # a 'CUE' of the same id: rest picture, then
//   end                                     # three mouth pictures, least open first
//
//   SND M+991 sound
//     reference "INTRO.SND"                 # a file reference, looked up in the player's folder
//   end
#include "media/sound/snd_encoder.h"
#include "media/sound/synth/effects.h"
#include "media/sound/synth/voice.h"
#include "media/sound/sound_clip.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/mouth_cues.h"

namespace mkres {

bool EncodeSound(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::vector<uint8_t> samples;
    bool compressed = false;
    std::optional<std::string> reference;
    std::optional<std::array<int32_t, 4>> mouth;  // rest, then the open pictures
    for (const SourceLine& line : item.body) {
        const std::string& word = line.tokens.front().text;
        auto stringArg = [&]() -> const Token* {
            if (line.tokens.size() != 2 || line.tokens[1].kind != Token::Kind::String) {
                ctx.Error(line.where, word + " takes one \"string\"");
                return nullptr;
            }
            if (!line.tokens[1].cp1252Ok) {
                ctx.Error(line.where, "the text has a character Windows-1252 lacks");
                return nullptr;
            }
            return &line.tokens[1];
        };
        if (word == "speak") {
            const Token* t = stringArg();
            if (!t) return false;
            std::vector<uint8_t> spoken;
            std::string error;
            if (!SpeakOrTone(t->cp1252, false, spoken, &error)) {
                ctx.Error(line.where, error);
                return false;
            }
            samples.insert(samples.end(), spoken.begin(), spoken.end());
        } else if (word == "effect") {
            if (line.tokens.size() != 2) {
                ctx.Error(line.where, "effect takes a name");
                return false;
            }
            auto fx = SynthEffect(line.tokens[1].text);
            if (fx.empty()) {
                ctx.Error(line.where, "unknown effect '" + line.tokens[1].text + "'");
                return false;
            }
            samples.insert(samples.end(), fx.begin(), fx.end());
        } else if (word == "tone") {
            if (line.tokens.size() != 3) {
                ctx.Error(line.where, "tone takes Hz and milliseconds");
                return false;
            }
            auto hz = NumberIn(line, line.tokens[1], 20, 5000, ctx);
            auto ms = NumberIn(line, line.tokens[2], 1, 60000, ctx);
            if (!hz || !ms) return false;
            auto t = Tone(static_cast<double>(*hz), static_cast<int>(*ms));
            samples.insert(samples.end(), t.begin(), t.end());
        } else if (word == "compressed" && line.tokens.size() == 1) {
            compressed = true;
        } else if (word == "mouth") {
            if (mouth) {
                ctx.Error(line.where, "mouth takes four picture ids (rest, then three open), once");
                return false;
            }
            mouth = ParseMouthLine(line, ctx);
            if (!mouth) return false;
        } else if (word == "reference") {
            const Token* t = stringArg();
            if (!t) return false;
            reference = t->cp1252;
        } else {
            ctx.Error(line.where, "unknown sound line '" + word + "'");
            return false;
        }
    }
    if (reference) {
        if (!samples.empty()) {
            ctx.Error(item.where, "a file reference holds no samples of its own");
            return false;
        }
        if (mouth) {
            ctx.Error(item.where, "a file reference has no samples for a mouth to follow");
            return false;
        }
        out = EncodeSndFileRef(*reference);
        return true;
    }
    if (samples.empty()) {
        ctx.Error(item.where, "a sound needs samples (speak, effect or tone)");
        return false;
    }
    out = compressed ? EncodeSndCompressed(samples) : EncodeSndPlain(samples);
    return !mouth || AddMouthCues(item, samples, *mouth, ctx);
}

std::optional<std::array<int32_t, 4>> ParseMouthLine(const SourceLine& line, EncodeContext& ctx) {
    if (line.tokens.size() != 5) {
        ctx.Error(line.where, "mouth takes four picture ids (rest, then three open), once");
        return std::nullopt;
    }
    std::array<int32_t, 4> ids{};
    for (size_t k = 0; k < 4; ++k) {
        const auto id = NumberIn(line, line.tokens[k + 1], -32768, 32767, ctx);
        if (!id) return std::nullopt;
        ids[k] = static_cast<int32_t>(*id);
    }
    return ids;
}

bool AddMouthCues(const ItemSource& item, std::span<const uint8_t> samples, const std::array<int32_t, 4>& mouth,
                  EncodeContext& ctx) {
    const std::vector<Cue> cues = MouthCues(samples, kSoundRate, mouth[0], {mouth[1], mouth[2], mouth[3]});
    if (cues.size() > 0xFFFF) {
        ctx.Error(item.where, "the sound is too long for a mouth's cue list");
        return false;
    }
    ctx.AddCompanion("CUE", EncodeCueItem(cues));
    return true;
}

}  // namespace mkres
