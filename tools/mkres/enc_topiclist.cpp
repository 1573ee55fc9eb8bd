// The grown-ups' topic lists: one picture per activity with a row for each step of its level
// slider ("Nivå 1–6" … "Nivå 53"), laid out as the topic panel hit-tests them
// (media/res/activity_levels.h): two columns half the area wide, rows kTopicRowHeight high from
// kTopicMargin down, the left column's rows first. The lit twin differs only in the rows'
// backgrounds, so the panel can copy one row of it over the plain picture.
//
//   SPR 233 topiclist
//     activity 3        # the module whose row of kActivityLevelSteps is drawn
//     face FONT0013     # optional: the labels' face (default FONT0013)
//   end
//   SPR 234 topiclist
//     activity 3
//     highlight         # the lit twin
//   end
//
// The picture is kTopicAreaWidth + 1 wide and kTopicAreaHeight + 2 high, as the panel draws it.
// A row below the picture or a label that does not fit its row is an error.
#include <string>

#include "media/res/activity_levels.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/game_faces.h"
#include "tools/mkres/picture_canvas.h"

namespace mkres {

namespace {

constexpr const char* kDefaultLabelFace = "FONT0013";

// Static colours of the palette (data/common/game_palette.mkres), the same in the dialogs'
// palette and the game's, so the list looks alike whichever is realised.
constexpr uint8_t kPaper = 255;   // white
constexpr uint8_t kInk = 0;       // black
constexpr uint8_t kEdge = 248;    // dark grey
constexpr uint8_t kRow = 246;     // cream
constexpr uint8_t kLit = 251;     // yellow

std::string StepLabel(int first, int levels) {
    std::string label = "Niv\xE5 " + std::to_string(first);
    if (levels > 1) label += "\x96" + std::to_string(first + levels - 1);  // an en dash
    return label;
}

}  // namespace

bool EncodeTopicList(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    const ActivityLevelSteps* row = nullptr;
    bool highlight = false;
    std::string faceName = kDefaultLabelFace;
    const SourceLine* faceLine = nullptr;
    for (const SourceLine& line : item.body) {
        const auto& t = line.tokens;
        const std::string op = t[0].kind == Token::Kind::Word ? t[0].text : std::string();
        if (op == "activity" && t.size() == 2) {
            const auto module = NumberIn(line, t[1], 2, 6, ctx);
            if (!module) return false;
            row = ActivityLevelStepsOf(static_cast<int>(*module));
        } else if (op == "highlight" && t.size() == 1) {
            highlight = true;
        } else if (op == "face" && t.size() == 2) {
            faceName = t[1].text;
            faceLine = &line;
        } else {
            ctx.Error(line.where, "a topic list takes activity N, face NAME and highlight, not " +
                                      (op.empty() ? std::string("\"...\"") : op));
            return false;
        }
    }
    if (!row) {
        ctx.Error(item.where, "a topic list needs its activity");
        return false;
    }
    const plat::BitmapFace* face = FindGameFace(faceLine ? *faceLine : item.body.front(), faceName, ctx);
    if (!face) return false;

    const int width = kTopicAreaWidth + 1, height = kTopicAreaHeight + 2;
    const int half = kTopicAreaWidth / 2;
    CPictureCanvas canvas(width, height, kPaper);
    canvas.Frame(0, 0, width, height, kEdge);
    int first = 1;
    for (int step = 0; step < row->steps; ++step) {
        const bool left = step < row->leftRows;
        const int x = left ? 0 : half;
        const int index = left ? step : step - row->leftRows;
        const int top = kTopicMargin + index * kTopicRowHeight;
        const int bottom = top + kTopicRowHeight;
        const int levels = row->levelsPerStep[static_cast<size_t>(step)];
        const std::string label = StepLabel(first, levels);
        first += levels;
        const SIZE extent = plat::TextExtent(*face, label);
        if (bottom > height || extent.cx + 8 > half - 4 ||
            extent.cy > kTopicRowHeight - 2) {
            ctx.Error(item.where, "step " + std::to_string(step + 1) + "'s row does not fit the topic list");
            return false;
        }
        canvas.Rect(x + 2, top + 1, x + half - 2, bottom - 1, highlight ? kLit : kRow);
        canvas.Label(*face, label, x + 8, top + (kTopicRowHeight - extent.cy) / 2, kInk, CPictureCanvas::Align::Left);
    }
    out = canvas.SprBytes();
    return true;
}

}  // namespace mkres
