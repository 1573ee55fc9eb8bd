#include "tools/mkres/encoders.h"

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace mkres {

namespace {

// Add an item type here: its encoder's name, the type codes that use it by default, and
// the function (declared in encoders.h, defined in enc_<name>.cpp).
constexpr EncoderInfo kEncoders[] = {
    {"raw", "", EncodeRaw},
    {"words", "IN# SP# CUR", EncodeWords},
    {"size", "PNT", EncodeSize},
    {"charlist", "", EncodeCharList},
    {"palette", "PAL", EncodePalette},
    {"strings", "IST", EncodeStrings},
    {"picture", "SPR", EncodePicture},
    {"hotspots", "HT#", EncodeHotspots},
    {"spot", "SPT", EncodeSpot},
    {"sound", "SND", EncodeSound},
    {"script", "ANI", EncodeScript},
    {"fontstrip", "", EncodeFontStrip},
    {"preload", "AN_", EncodePreload},
    {"cues", "CUE", EncodeCues},
    {"word", "", EncodeWordClip},
    {"phrase", "IPA", EncodePhraseTemplate},
    {"numbers", "IPB IPC", EncodeNumberTable},
    {"filekinds", "FIL", EncodeFileKinds},
    {"levelruler", "", EncodeLevelRuler},
    {"topiclist", "", EncodeTopicList},
    {"outline", "PN#", EncodeOutline},
    {"piecelist", "PLS", EncodePieceList},
    {"task", "BPB", EncodeTask},
    {"comparelevels", "", EncodeCompareLevels},
};

struct Width {
    int bytes;
    int64_t low;
    int64_t high;
};

std::optional<Width> WidthKeyword(const std::string& word) {
    if (word == "u8") return Width{1, 0, 0xFF};
    if (word == "i8") return Width{1, -0x80, 0x7F};
    if (word == "u16") return Width{2, 0, 0xFFFF};
    if (word == "i16") return Width{2, -0x8000, 0x7FFF};
    if (word == "u32") return Width{4, 0, 0xFFFFFFFFLL};
    if (word == "i32") return Width{4, -0x80000000LL, 0x7FFFFFFF};
    return std::nullopt;
}

void AppendValue(std::vector<uint8_t>& out, int64_t value, int bytes) {
    const auto v = static_cast<uint64_t>(value);
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

std::optional<std::vector<uint8_t>> EncodeContext::ReadInputFile(const SourceLine& line, const std::string& name) {
    const std::filesystem::path file = line.folder / std::filesystem::path(name);
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Error(line.where, "cannot read " + file.string());
        return std::nullopt;
    }
    AddInput(file);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<uint8_t>* EncodeContext::BuiltItem(const std::string& type, uint16_t id) const {
    const auto it = m_built.find(std::pair(type, id));
    return it == m_built.end() ? nullptr : &it->second;
}

void EncodeContext::AddInput(const std::filesystem::path& file) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(file, ec);
    m_inputs.insert(ec ? file : canonical);
}

std::span<const EncoderInfo> Encoders() { return kEncoders; }

const EncoderInfo* FindEncoder(const std::string& name) {
    for (const EncoderInfo& e : kEncoders) {
        if (name == e.name) return &e;
    }
    return nullptr;
}

const EncoderInfo* DefaultEncoder(const std::string& type) {
    for (const EncoderInfo& e : kEncoders) {
        std::istringstream codes(e.defaultFor);
        std::string code;
        while (codes >> code) {
            if (code == type) return &e;
        }
    }
    return FindEncoder("raw");
}

std::optional<int64_t> NumberIn(const SourceLine& line, const Token& token, int64_t low, int64_t high,
                                EncodeContext& ctx) {
    const auto n = token.kind == Token::Kind::Word ? ParseNumber(token.text) : std::nullopt;
    if (!n) {
        ctx.Error(line.where, "expected a number, not " + (token.kind == Token::Kind::String ? '"' + token.text + '"' : token.text));
        return std::nullopt;
    }
    if (*n < low || *n > high) {
        ctx.Error(line.where, token.text + " is outside " + std::to_string(low) + " to " + std::to_string(high));
        return std::nullopt;
    }
    return n;
}

bool AppendData(const SourceLine& line, size_t first, int width, EncodeContext& ctx, std::vector<uint8_t>& out) {
    // Bare numbers may be written signed or unsigned.
    Width w{width, -(int64_t{1} << (8 * width - 1)), (int64_t{1} << (8 * width)) - 1};
    const auto& t = line.tokens;
    for (size_t i = first; i < t.size(); ++i) {
        const Token& token = t[i];
        if (token.kind == Token::Kind::String) {
            if (!token.cp1252Ok) {
                ctx.Error(line.where, "\"" + token.text + "\" holds a character Windows-1252 does not have");
                return false;
            }
            out.insert(out.end(), token.cp1252.begin(), token.cp1252.end());
            continue;
        }
        if (const auto kw = WidthKeyword(token.text)) {
            w = *kw;
            continue;
        }
        if (token.text == "fill") {
            if (i + 2 >= t.size()) {
                ctx.Error(line.where, "fill takes a count and a value");
                return false;
            }
            const auto count = NumberIn(line, t[i + 1], 0, 1 << 24, ctx);
            const auto value = NumberIn(line, t[i + 2], w.low, w.high, ctx);
            if (!count || !value) return false;
            for (int64_t k = 0; k < *count; ++k) AppendValue(out, *value, w.bytes);
            i += 2;
            continue;
        }
        if (token.text == "file") {
            if (i + 1 >= t.size() || t[i + 1].kind != Token::Kind::String) {
                ctx.Error(line.where, "file takes a quoted file name");
                return false;
            }
            const auto bytes = ctx.ReadInputFile(line, t[i + 1].text);
            if (!bytes) return false;
            out.insert(out.end(), bytes->begin(), bytes->end());
            ++i;
            continue;
        }
        const auto value = NumberIn(line, token, w.low, w.high, ctx);
        if (!value) return false;
        AppendValue(out, *value, w.bytes);
    }
    return true;
}

bool BuildModule(const ModuleSource& source, Diagnostics& diag, media::CResWriter& writer,
                 std::set<std::filesystem::path>& inputs) {
    EncodeContext ctx(diag, inputs);
    ctx.SetModule(source.module);
    bool ok = diag.Ok();
    // Where each item is given, so that a companion clashing with an item given elsewhere
    // names both lines whichever comes first.
    std::map<std::pair<std::string, uint16_t>, Location> given;
    for (const ItemSource& item : source.items) given.emplace(std::pair(item.type, item.id), item.where);
    auto add = [&](const ItemSource& item, const std::string& type, const std::vector<uint8_t>& bytes) {
        if (bytes.size() > 0x7FFFFFFF) {
            diag.Error(item.where, "item too large");
            return false;
        }
        if (!writer.Add(type, item.id, bytes)) {
            diag.Error(item.where, "item " + type + " " + std::to_string(item.id) + " cannot be added");
            return false;
        }
        return true;
    };
    for (const ItemSource& item : source.items) {
        const EncoderInfo* encoder = item.encoder.empty() ? DefaultEncoder(item.type) : FindEncoder(item.encoder);
        if (!encoder) {
            diag.Error(item.where, "no encoder named " + item.encoder);
            ok = false;
            continue;
        }
        std::vector<uint8_t> bytes;
        const bool encoded = encoder->encode(item, ctx, bytes);
        const std::vector<EncodeContext::Companion> companions = ctx.TakeCompanions();
        if (!encoded || !add(item, item.type, bytes)) {
            ok = false;
            continue;
        }
        ctx.RecordBuilt(item.type, item.id, bytes);
        for (const EncodeContext::Companion& c : companions) {
            const auto other = given.find(std::pair(c.type, item.id));
            if (other != given.end() && other->second.Text() != item.where.Text()) {
                diag.Error(item.where, "this item makes " + c.type + " " + std::to_string(item.id) +
                                           ", which is also given at " + other->second.Text());
                ok = false;
                continue;
            }
            if (!add(item, c.type, c.bytes)) ok = false;
        }
    }
    return ok && diag.Ok();
}

}  // namespace mkres
