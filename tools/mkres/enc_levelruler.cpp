// The level chooser's ruler and its highlight, drawn from the module's level table ('IN#',
// media/res/level_table.h) with the chooser's own segment layout (LayoutLevelSegments), so each
// label sits on the segment a click there chooses. The item is an 'SPR' picture (the layout of
// the `picture` encoder).
//
//   SPR M+71 levelruler
//     table M+60          # the level table, given earlier in the module
//     size 240 234        # the ruler picture
//     face FONT0016       # optional: the labels' face (default FONT0016)
//     paper 197           # optional: the ruler's background index (default 229, pale sand)
//   end
//   SPR M+72 levelruler
//     table M+60
//     size 240 234
//     highlight           # the highlight: the segment area only, every segment lit
//   end
//
// The segment area lies at the table's x and y offsets inside the ruler, centred: it is the
// ruler's size less twice the offsets, which is also the highlight's size. Each group's segment
// is labelled with its levels ("1–2", "3"); on the ruler the segments go from green (easy)
// through yellow and orange to red (hard), on the highlight each is yellow with a red frame.
// A module whose palette gives 229 another use names its own paper (10 to 245).
// A label that does not fit its segment is an error.
#include <string>

#include "media/res/level_table.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/game_faces.h"
#include "tools/mkres/picture_canvas.h"

namespace mkres {

namespace {

constexpr int kMaxSide = 2048;
constexpr const char* kDefaultLabelFace = "FONT0016";

// Palette indices of the game palette (data/common/game_palette.mkres).
constexpr uint8_t kDefaultPaper = 229;  // pale sand
constexpr uint8_t kInk = 22;         // black
constexpr uint8_t kEdge = 27;        // dark grey
constexpr uint8_t kLitFill = 12;     // yellow
constexpr uint8_t kLitFrame = 10;    // red
// Easy to hard: pale green, pale yellow, pale orange, pale red.
constexpr uint8_t kDifficulty[] = {98, 82, 66, 50};

std::string LevelsLabel(const media::LevelTable& table, int group) {
    const int first = media::FirstLevelOfGroup(table, group);
    const int levels = table.groups[static_cast<size_t>(group)].levels;
    if (levels <= 1) return std::to_string(first);
    return std::to_string(first) + "\x96" + std::to_string(first + levels - 1);  // an en dash
}

}  // namespace

bool EncodeLevelRuler(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::optional<media::LevelTable> table;
    int width = 0, height = 0;
    bool highlight = false;
    uint8_t paper = kDefaultPaper;
    std::string faceName = kDefaultLabelFace;
    const SourceLine* faceLine = nullptr;
    for (const SourceLine& line : item.body) {
        const auto& t = line.tokens;
        const std::string op = t[0].kind == Token::Kind::Word ? t[0].text : std::string();
        if (op == "table" && t.size() == 2) {
            const auto id = ctx.ItemId(line, t[1]);
            if (!id) return false;
            const std::vector<uint8_t>* bytes = ctx.BuiltItem("IN#", *id);
            if (!bytes) {
                ctx.Error(line.where, "no level table IN# " + std::to_string(*id) + " given before this item");
                return false;
            }
            table = media::ParseLevelTable(*bytes);
            if (!table) {
                ctx.Error(line.where, "IN# " + std::to_string(*id) + " is not a level table of two groups or more");
                return false;
            }
        } else if (op == "size" && t.size() == 3) {
            const auto w = NumberIn(line, t[1], 1, kMaxSide, ctx);
            const auto h = w ? NumberIn(line, t[2], 1, kMaxSide, ctx) : std::nullopt;
            if (!h) return false;
            width = static_cast<int>(*w);
            height = static_cast<int>(*h);
        } else if (op == "highlight" && t.size() == 1) {
            highlight = true;
        } else if (op == "paper" && t.size() == 2) {
            const auto v = NumberIn(line, t[1], 10, 245, ctx);
            if (!v) return false;
            paper = static_cast<uint8_t>(*v);
        } else if (op == "face" && t.size() == 2) {
            faceName = t[1].text;
            faceLine = &line;
        } else {
            ctx.Error(line.where, "a level ruler takes table ID, size W H, face NAME, paper C and highlight, not " +
                                      (op.empty() ? std::string("\"...\"") : op));
            return false;
        }
    }
    if (!table || width == 0) {
        ctx.Error(item.where, "a level ruler needs its table and its size");
        return false;
    }
    const int areaWidth = width - 2 * table->areaX;
    const int areaHeight = height - 2 * table->areaY;
    if (table->areaX < 0 || table->areaY < 0 || areaWidth < 2 || areaHeight < 1) {
        ctx.Error(item.where, "the table's offsets leave no segment area in a ruler of " + std::to_string(width) +
                                  " x " + std::to_string(height));
        return false;
    }
    const plat::BitmapFace* face = FindGameFace(faceLine ? *faceLine : item.body.front(), faceName, ctx);
    if (!face) return false;

    const int originX = highlight ? 0 : table->areaX;
    const int originY = highlight ? 0 : table->areaY;
    CPictureCanvas canvas(highlight ? areaWidth : width, highlight ? areaHeight : height, highlight ? 0 : paper);
    if (!highlight) canvas.Frame(0, 0, width, height, kEdge);
    const Rect16 area{static_cast<int16_t>(originX), static_cast<int16_t>(originY),
                      static_cast<int16_t>(originX + areaWidth), static_cast<int16_t>(originY + areaHeight)};
    const auto segments = media::LayoutLevelSegments(*table, area);
    for (int g = 0; g <= table->lastGroup; ++g) {
        const Rect16& s = segments[static_cast<size_t>(g)];
        const int right = s.right + 1, bottom = s.bottom + 1;  // the segment's bounds are inclusive
        const std::string label = LevelsLabel(*table, g);
        const SIZE extent = plat::TextExtent(*face, label);
        if (bottom > area.bottom || extent.cx + 4 > right - s.left || extent.cy > bottom - s.top) {
            ctx.Error(item.where, "group " + std::to_string(g) + "'s label does not fit its segment (" +
                                      std::to_string(right - s.left) + " x " + std::to_string(bottom - s.top) +
                                      " pixels inside the area)");
            return false;
        }
        const size_t band = static_cast<size_t>(g) * std::size(kDifficulty) / (static_cast<size_t>(table->lastGroup) + 1);
        if (highlight) {
            canvas.Rect(s.left, s.top, right, bottom, kLitFill);
            canvas.Frame(s.left, s.top, right, bottom, kLitFrame, 2);
        } else {
            canvas.Rect(s.left + 1, s.top + 1, right - 1, bottom - 1, kDifficulty[band]);
            canvas.Frame(s.left + 1, s.top + 1, right - 1, bottom - 1, kEdge);
        }
        canvas.Label(*face, label, (s.left + right) / 2, s.top + (bottom - s.top - extent.cy) / 2, kInk,
                     CPictureCanvas::Align::Centre);
    }
    out = canvas.SprBytes();
    return true;
}

}  // namespace mkres
