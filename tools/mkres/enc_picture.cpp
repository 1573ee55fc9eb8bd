// 'SPR' pictures drawn from a small language of shapes: u32 width, u32 height, u32 number of
// pixel bytes (height × stride), then the rows, top row first, each padded with zeros to a
// multiple of 4 bytes (the stride). Pixels are indices of the module palette; 0 is transparent
// in sprites.
//
//   SPR M+10 picture          # a picture, 8-bit, in indices of the module palette
//     size 120 80             # first: width and height
//     colour sky 12           # a name for an index (0 is transparent in sprites)
//     fill sky
//     rect 0 60 120 80 20     # left top right bottom colour (right and bottom exclusive)
//     frame 0 0 120 80 1 2    # ... colour [line width]
//     roundrect 10 10 60 40 8 30        # ... corner radius, colour
//     roundframe 10 10 60 40 8 1 2      # ... corner radius, colour [line width]
//     ellipse 90 20 12 12 40  # centre x, y, radius x, y, colour
//     circle 90 20 12 40      # centre x, y, radius, colour
//     ring 90 20 12 12 1 2    # an outline: ... colour [line width]
//     polygon 50 10 70 30 70 10 90   # colour, then three or more points x y
//     line 0 0 119 79 1 3     # x0 y0 x1 y1 colour [width]; both ends drawn
//     label 60 30 1 "Hej" face FONT0028 centre outline 255
//     paste M+9 4 6           # a picture given earlier in the module, its top-left at (4, 6)
//   end
//
// A paste copies every pixel of the other picture that is not 0 (transparent), clipped, so one
// body can carry several stickers or lettering without drawing it again.
//
// A label is drawn in a face of the game's font file (RODODED1.FON in the platform's font
// folder), y being the top of the character cell.
#include <map>
#include <memory>

#include "tools/mkres/encoders.h"
#include "tools/mkres/game_faces.h"
#include "tools/mkres/picture_canvas.h"

namespace mkres {

namespace {

constexpr int kMaxPictureSide = 2048;
constexpr const char* kDefaultFace = "FONT0028";

class PictureParser {
public:
    PictureParser(EncodeContext& ctx) : m_ctx(ctx) {}

    bool Line(const SourceLine& line) {
        const auto& t = line.tokens;
        const std::string op = t[0].kind == Token::Kind::Word ? t[0].text : std::string();
        if (op == "size") {
            if (m_canvas || t.size() != 3) return Fail(line, "size takes width and height, once, before any drawing");
            const auto w = NumberIn(line, t[1], 1, kMaxPictureSide, m_ctx);
            const auto h = w ? NumberIn(line, t[2], 1, kMaxPictureSide, m_ctx) : std::nullopt;
            if (!h) return false;
            m_canvas = std::make_unique<CPictureCanvas>(static_cast<int>(*w), static_cast<int>(*h));
            return true;
        }
        if (op == "colour" || op == "color") {
            if (t.size() != 3 || t[1].kind != Token::Kind::Word || ParseNumber(t[1].text))
                return Fail(line, "colour takes a name and a palette index");
            const auto v = NumberIn(line, t[2], 0, 255, m_ctx);
            if (!v) return false;
            m_names[t[1].text] = static_cast<uint8_t>(*v);
            return true;
        }
        if (!m_canvas) return Fail(line, "a picture starts with its size");
        CPictureCanvas& c = *m_canvas;
        if (op == "fill") {
            uint8_t v;
            if (!Args(line, 1, 1) || !Colour(line, 1, v)) return false;
            c.Fill(v);
        } else if (op == "rect" || op == "frame") {
            int n[4];
            uint8_t v;
            int width = 1;
            if (!Args(line, 5, op == "frame" ? 6 : 5) || !Numbers(line, 1, 4, n) || !Colour(line, 5, v) ||
                !Width(line, 6, width))
                return false;
            if (op == "rect")
                c.Rect(n[0], n[1], n[2], n[3], v);
            else
                c.Frame(n[0], n[1], n[2], n[3], v, width);
        } else if (op == "roundrect" || op == "roundframe") {
            int n[5];
            uint8_t v;
            int width = 1;
            if (!Args(line, 6, op == "roundframe" ? 7 : 6) || !Numbers(line, 1, 5, n) || !Colour(line, 6, v) ||
                !Width(line, 7, width))
                return false;
            if (op == "roundrect")
                c.RoundRect(n[0], n[1], n[2], n[3], n[4], v);
            else
                c.RoundFrame(n[0], n[1], n[2], n[3], n[4], v, width);
        } else if (op == "ellipse" || op == "ring") {
            int n[4];
            uint8_t v;
            int width = 1;
            if (!Args(line, 5, op == "ring" ? 6 : 5) || !Numbers(line, 1, 4, n) || !Colour(line, 5, v) ||
                !Width(line, 6, width))
                return false;
            if (op == "ellipse")
                c.Ellipse(n[0], n[1], n[2], n[3], v);
            else
                c.Ring(n[0], n[1], n[2], n[3], v, width);
        } else if (op == "circle") {
            int n[3];
            uint8_t v;
            if (!Args(line, 4, 4) || !Numbers(line, 1, 3, n) || !Colour(line, 4, v)) return false;
            c.Ellipse(n[0], n[1], n[2], n[2], v);
        } else if (op == "polygon") {
            uint8_t v;
            if (t.size() < 8 || t.size() % 2 != 0) return Fail(line, "polygon takes a colour and three or more points");
            if (!Colour(line, 1, v)) return false;
            std::vector<std::pair<int, int>> points;
            for (size_t i = 2; i + 1 < t.size(); i += 2) {
                int p[2];
                if (!Numbers(line, i, 2, p)) return false;
                points.emplace_back(p[0], p[1]);
            }
            c.Polygon(points, v);
        } else if (op == "line") {
            int n[4];
            uint8_t v;
            int width = 1;
            if (!Args(line, 5, 6) || !Numbers(line, 1, 4, n) || !Colour(line, 5, v) || !Width(line, 6, width))
                return false;
            c.Line(n[0], n[1], n[2], n[3], v, width);
        } else if (op == "label") {
            return Label(line);
        } else if (op == "paste") {
            return Paste(line);
        } else {
            return Fail(line, "unknown drawing command " + (op.empty() ? std::string("\"...\"") : op));
        }
        return true;
    }

    // A canvas of the given size, as a size line would make it.
    void Start(int width, int height) { m_canvas = std::make_unique<CPictureCanvas>(width, height); }
    std::vector<uint8_t> Pixels() const {
        std::vector<uint8_t> out;
        for (int y = 0; y < m_canvas->Height(); ++y)
            for (int x = 0; x < m_canvas->Width(); ++x) out.push_back(m_canvas->At(x, y));
        return out;
    }

    bool Finish(const ItemSource& item, std::vector<uint8_t>& out) {
        if (!m_canvas) {
            m_ctx.Error(item.where, "a picture needs a size");
            return false;
        }
        out = m_canvas->SprBytes();
        return true;
    }

private:
    bool Fail(const SourceLine& line, const std::string& message) {
        m_ctx.Error(line.where, message);
        return false;
    }
    // The command takes from `least` to `most` arguments.
    bool Args(const SourceLine& line, size_t least, size_t most) {
        const size_t n = line.tokens.size() - 1;
        if (n < least || n > most)
            return Fail(line, line.tokens[0].text + " takes " + std::to_string(least) +
                                  (most > least ? " to " + std::to_string(most) : std::string()) + " values");
        return true;
    }
    bool Numbers(const SourceLine& line, size_t first, size_t count, int* out) {
        for (size_t i = 0; i < count; ++i) {
            const auto v = NumberIn(line, line.tokens[first + i], -32768, 32767, m_ctx);
            if (!v) return false;
            out[i] = static_cast<int>(*v);
        }
        return true;
    }
    bool Colour(const SourceLine& line, size_t at, uint8_t& out) {
        const Token& token = line.tokens[at];
        if (token.kind == Token::Kind::Word) {
            const auto named = m_names.find(token.text);
            if (named != m_names.end()) {
                out = named->second;
                return true;
            }
        }
        const auto v = NumberIn(line, token, 0, 255, m_ctx);
        if (!v) return false;
        out = static_cast<uint8_t>(*v);
        return true;
    }
    // An optional line width at `at`.
    bool Width(const SourceLine& line, size_t at, int& out) {
        if (at >= line.tokens.size()) return true;
        const auto v = NumberIn(line, line.tokens[at], 1, 256, m_ctx);
        if (!v) return false;
        out = static_cast<int>(*v);
        return true;
    }

    bool Label(const SourceLine& line) {
        const auto& t = line.tokens;
        int n[2];
        uint8_t v;
        if (t.size() < 5 || !Numbers(line, 1, 2, n) || !Colour(line, 3, v)) {
            if (t.size() < 5) return Fail(line, "label takes x, y, a colour and \"text\"");
            return false;
        }
        if (t[4].kind != Token::Kind::String) return Fail(line, "label text is a quoted string");
        if (!t[4].cp1252Ok) return Fail(line, "\"" + t[4].text + "\" holds a character Windows-1252 does not have");
        std::string faceName = kDefaultFace;
        CPictureCanvas::Align align = CPictureCanvas::Align::Left;
        int outline = -1;
        for (size_t i = 5; i < t.size(); ++i) {
            const std::string& word = t[i].text;
            if (word == "left") {
                align = CPictureCanvas::Align::Left;
            } else if (word == "centre" || word == "center") {
                align = CPictureCanvas::Align::Centre;
            } else if (word == "right") {
                align = CPictureCanvas::Align::Right;
            } else if (word == "face" && i + 1 < t.size()) {
                faceName = t[++i].text;
            } else if (word == "outline" && i + 1 < t.size()) {
                uint8_t o;
                if (!Colour(line, ++i, o)) return false;
                outline = o;
            } else {
                return Fail(line, "label options are left, centre, right, face NAME and outline COLOUR, not " + word);
            }
        }
        const plat::BitmapFace* face = FindGameFace(line, faceName, m_ctx);
        if (!face) return false;
        m_canvas->Label(*face, t[4].cp1252, n[0], n[1], v, align, outline);
        return true;
    }

    bool Paste(const SourceLine& line) {
        const auto& t = line.tokens;
        if (t.size() != 4) return Fail(line, "paste takes a picture id, x and y");
        const auto id = m_ctx.ItemId(line, t[1]);
        int at[2];
        if (!id || !Numbers(line, 2, 2, at)) return false;
        const std::vector<uint8_t>* bytes = m_ctx.BuiltItem("SPR", *id);
        if (!bytes) return Fail(line, "no picture SPR " + std::to_string(*id) + " given before this item");
        const auto u32 = [&](size_t at) {
            return static_cast<uint32_t>((*bytes)[at]) | static_cast<uint32_t>((*bytes)[at + 1]) << 8 |
                   static_cast<uint32_t>((*bytes)[at + 2]) << 16 | static_cast<uint32_t>((*bytes)[at + 3]) << 24;
        };
        if (bytes->size() < 12) return Fail(line, "SPR " + std::to_string(*id) + " is not a picture");
        const uint32_t w = u32(0), h = u32(4), size = u32(8);
        const uint64_t stride = (static_cast<uint64_t>(w) + 3) / 4 * 4;
        if (w == 0 || h == 0 || w > kMaxPictureSide || h > kMaxPictureSide || size != stride * h ||
            bytes->size() < 12 + static_cast<uint64_t>(size))
            return Fail(line, "SPR " + std::to_string(*id) + " is not a picture");
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; ++x) {
                const uint8_t v = (*bytes)[12 + y * stride + x];
                if (v) m_canvas->Set(at[0] + static_cast<int>(x), at[1] + static_cast<int>(y), v);
            }
        }
        return true;
    }

    EncodeContext& m_ctx;
    std::unique_ptr<CPictureCanvas> m_canvas;
    std::map<std::string, uint8_t> m_names;
};

}  // namespace

bool EncodePicture(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    PictureParser parser(ctx);
    for (const SourceLine& line : item.body)
        if (!parser.Line(line)) return false;
    return parser.Finish(item, out);
}

std::optional<std::vector<uint8_t>> DrawPictureLines(std::span<const SourceLine> lines, int width, int height,
                                                     EncodeContext& ctx) {
    PictureParser parser(ctx);
    parser.Start(width, height);
    for (const SourceLine& line : lines)
        if (!parser.Line(line)) return std::nullopt;
    return parser.Pixels();
}

}  // namespace mkres
