// Font strips: an 'SPR' picture of a face's glyphs (the layout is in font_strip.h; the pixels
// as in any 'SPR' item) and, as a companion of the same id, an 'IST' list whose string 1 is
// the characters in strip order: u16 1, the characters, a zero byte.
//
//   SPR M+51 fontstrip
//     face FONT0028            # a face of RODODED1.FON
//     ink 22                   # palette index of the glyphs (10 to 245)
//     outline 37               # optional: a one-pixel ring around the ink (10 to 245)
//     chars ascii swedish      # 0x20..0x7E; Å Ä Ö å ä ö É é Ü ü; or "these characters"
//     width 640                # optional: the widest band
//     separator 250 cap 251    # optional: the marker colours (1 to 255)
//   end
#include <map>

#include "tools/mkres/encoders.h"
#include "tools/mkres/font_strip.h"
#include "tools/mkres/game_faces.h"

namespace mkres {

namespace {

// The Windows-1252 letters of Swedish beyond ASCII.
constexpr char kSwedish[] = "\xC5\xC4\xD6\xE5\xE4\xF6\xC9\xE9\xDC\xFC";

struct Setting {
    int64_t low, high;
};

const std::map<std::string, Setting> kSettings = {
    {"ink", {10, 245}},      {"outline", {10, 245}}, {"width", {3, 4096}},
    {"separator", {1, 255}}, {"cap", {1, 255}},
};

class FontStripParser {
public:
    explicit FontStripParser(EncodeContext& ctx) : m_ctx(ctx) {}

    bool Line(const SourceLine& line) {
        const auto& t = line.tokens;
        for (size_t i = 0; i < t.size(); ++i) {
            const std::string word = t[i].kind == Token::Kind::Word ? t[i].text : '"' + t[i].text + '"';
            if (word == "chars") {
                if (i + 1 == t.size()) return Fail(line, "chars takes ascii, swedish or \"characters\"");
                for (++i; i < t.size(); ++i)
                    if (!Chars(line, t[i])) return false;
                return true;
            }
            if (word == "face") {
                if (m_face || i + 1 == t.size() || t[i + 1].kind != Token::Kind::Word)
                    return Fail(line, "face takes a face name, once");
                m_face = FindGameFace(line, t[++i].text, m_ctx);
                if (!m_face) return false;
                continue;
            }
            const auto setting = kSettings.find(word);
            if (setting == kSettings.end())
                return Fail(
                    line,
                    "a font strip's lines are face, ink, outline, chars, width, separator and cap, not " +
                        word);
            if (i + 1 == t.size() || m_values.contains(word))
                return Fail(line, word + " takes one number, once");
            const auto v = NumberIn(line, t[++i], setting->second.low, setting->second.high, m_ctx);
            if (!v) return false;
            m_values[word] = static_cast<int>(*v);
        }
        return true;
    }

    bool Finish(const ItemSource& item, std::vector<uint8_t>& out) {
        if (!m_face) return Fail(item, "a font strip needs a face");
        if (!m_values.contains("ink")) return Fail(item, "a font strip needs an ink colour");
        if (m_chars.empty()) return Fail(item, "a font strip needs characters (chars ...)");
        FontStripStyle style;
        style.ink = static_cast<uint8_t>(m_values["ink"]);
        if (m_values.contains("outline")) style.outline = m_values["outline"];
        if (m_values.contains("width")) style.maxWidth = m_values["width"];
        if (m_values.contains("separator")) style.separator = static_cast<uint8_t>(m_values["separator"]);
        if (m_values.contains("cap")) style.cap = static_cast<uint8_t>(m_values["cap"]);
        std::string error;
        const auto strip = DrawFontStrip(*m_face, m_chars, style, &error);
        if (!strip) return Fail(item, error);
        out = strip->SprBytes();
        m_ctx.AddCompanion("IST", FontStripCharList(m_chars));
        return true;
    }

private:
    template <class Where>
    bool Fail(const Where& at, const std::string& message) {
        m_ctx.Error(at.where, message);
        return false;
    }

    bool Chars(const SourceLine& line, const Token& token) {
        std::string add;
        if (token.kind == Token::Kind::String) {
            if (!token.cp1252Ok)
                return Fail(line, "\"" + token.text + "\" holds a character Windows-1252 does not have");
            add = token.cp1252;
        } else if (token.text == "ascii") {
            for (int c = 0x20; c < 0x7F; ++c) add += static_cast<char>(c);
        } else if (token.text == "swedish") {
            add = kSwedish;
        } else {
            return Fail(line, "chars takes ascii, swedish or \"characters\", not " + token.text);
        }
        // Caught here for the line; DrawFontStrip checks the rest against the face.
        for (const char c : add) {
            if (c == 0) return Fail(line, "character 0 cannot be in a strip");
            if (m_chars.find(c) != std::string::npos)
                return Fail(line, "character " + FontStripCharName(static_cast<uint8_t>(c)) +
                                      " is in the list twice");
            m_chars += c;
        }
        return true;
    }

    EncodeContext& m_ctx;
    const plat::BitmapFace* m_face = nullptr;
    std::map<std::string, int> m_values;
    std::string m_chars;
};

}  // namespace

bool EncodeFontStrip(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    FontStripParser parser(ctx);
    for (const SourceLine& line : item.body)
        if (!parser.Line(line)) return false;
    return parser.Finish(item, out);
}

}  // namespace mkres
