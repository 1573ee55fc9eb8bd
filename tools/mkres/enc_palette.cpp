// 'PAL': u16 number of colours n (at most 256), then n colours of three bytes each, stored
// blue, green, red. The game's loader reverses each colour into red, green, blue and builds
// the palette from those triplets.
#include <cmath>

#include "platform/core/byte_order.h"
#include "tools/mkres/encoders.h"

namespace mkres {

namespace {

struct Rgb {
    int r, g, b;
};

Rgb FromValue(int64_t v) {
    return Rgb{static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF)};
}

// n colours evenly along the stops, the first and last stops included.
std::vector<Rgb> Ramp(const std::vector<Rgb>& stops, int n) {
    std::vector<Rgb> out;
    const int segments = static_cast<int>(stops.size()) - 1;
    for (int i = 0; i < n; ++i) {
        const double t = n == 1 ? 0.0 : static_cast<double>(i) * segments / (n - 1);
        const int j = std::min(static_cast<int>(t), segments - 1);
        const double f = t - j;
        auto mix = [&](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
        out.push_back(Rgb{mix(stops[j].r, stops[j + 1].r), mix(stops[j].g, stops[j + 1].g), mix(stops[j].b, stops[j + 1].b)});
    }
    return out;
}

}  // namespace

bool EncodePalette(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::vector<Rgb> colours;
    for (const SourceLine& line : item.body) {
        const auto& t = line.tokens;
        const std::string& first = t[0].kind == Token::Kind::Word ? t[0].text : std::string();
        if (first == "at") {
            // Checks where the next colour lands, so that a miscounted list fails here.
            const auto at = t.size() == 2 ? NumberIn(line, t[1], 0, 256, ctx) : std::nullopt;
            if (!at) {
                if (t.size() != 2) ctx.Error(line.where, "at takes one index");
                return false;
            }
            if (*at != static_cast<int64_t>(colours.size())) {
                ctx.Error(line.where, "the next colour is " + std::to_string(colours.size()) + ", not " + t[1].text);
                return false;
            }
        } else if (first == "rgb") {
            if (t.size() != 4) {
                ctx.Error(line.where, "rgb takes red, green and blue");
                return false;
            }
            Rgb c{};
            int* parts[3] = {&c.r, &c.g, &c.b};
            for (int k = 0; k < 3; ++k) {
                const auto v = NumberIn(line, t[k + 1], 0, 255, ctx);
                if (!v) return false;
                *parts[k] = static_cast<int>(*v);
            }
            colours.push_back(c);
        } else if (first == "ramp") {
            if (t.size() < 4) {
                ctx.Error(line.where, "ramp takes a count and two or more colours");
                return false;
            }
            const auto n = NumberIn(line, t[1], 1, 256, ctx);
            if (!n) return false;
            std::vector<Rgb> stops;
            for (size_t k = 2; k < t.size(); ++k) {
                const auto v = NumberIn(line, t[k], 0, 0xFFFFFF, ctx);
                if (!v) return false;
                stops.push_back(FromValue(*v));
            }
            const auto ramp = Ramp(stops, static_cast<int>(*n));
            colours.insert(colours.end(), ramp.begin(), ramp.end());
        } else {
            for (const Token& token : t) {
                const auto v = NumberIn(line, token, 0, 0xFFFFFF, ctx);
                if (!v) return false;
                colours.push_back(FromValue(*v));
            }
        }
        if (colours.size() > 256) {
            ctx.Error(line.where, "a palette holds at most 256 colours");
            return false;
        }
    }
    if (colours.empty()) {
        ctx.Error(item.where, "a palette needs at least one colour");
        return false;
    }
    plat::AppendLe16(out, static_cast<uint16_t>(colours.size()));
    for (const Rgb& c : colours) {
        out.push_back(static_cast<uint8_t>(c.b));
        out.push_back(static_cast<uint8_t>(c.g));
        out.push_back(static_cast<uint8_t>(c.r));
    }
    return true;
}

}  // namespace mkres
