// The shapes activity's items, written by media/res/shape_items.h's writers:
//
//   outline ('PN#'):   lead LENGTH DIRECTION, then edge LENGTH DIRECTION lines (at least 3)
//   piecelist ('PLS'): set ID, then piece lines: piece KIND FILL X Y ANGLE, or group FILL X Y
//                      followed by its member KIND FILL X Y ANGLE lines
//   task ('BPB'):      kind K, style S, word INDEX VALUES... (indexes 6 to 56), guide X1 Y1 X2 Y2
//                      lines, then the blocks `reference set ID`, `start set ID` and
//                      `solution set ID`, each followed by its piece lines, in that order
//
// Lengths are 0 to 32767, directions 0 to 3599 (tenths of a degree, 0 along +x, 900 up);
// kinds 0 to 9, piece fills 0 to 31, group fills -9, -1 or 0 to 31; angles multiples of 150
// from 0 to 3450. A group's member count is the member lines after it.
#include "media/res/shape_items.h"
#include "tools/mkres/encoders.h"

namespace mkres {

namespace {

bool IsWord(const Token& t, const char* word) { return t.kind == Token::Kind::Word && t.text == word; }

std::optional<media::PiecePair> Pair(const SourceLine& line, EncodeContext& ctx) {
    if (line.tokens.size() != 3) {
        ctx.Error(line.where, line.tokens[0].text + " takes a length and a direction");
        return std::nullopt;
    }
    const auto length = NumberIn(line, line.tokens[1], 0, 32767, ctx);
    if (!length) return std::nullopt;
    const auto direction = NumberIn(line, line.tokens[2], 0, 3599, ctx);
    if (!direction) return std::nullopt;
    return media::PiecePair{static_cast<int16_t>(*length), static_cast<int16_t>(*direction)};
}

std::optional<media::PieceRecord> Record(const SourceLine& line, EncodeContext& ctx) {
    const auto& t = line.tokens;
    if (t.size() != 6) {
        ctx.Error(line.where, t[0].text + " takes KIND FILL X Y ANGLE");
        return std::nullopt;
    }
    const auto kind = NumberIn(line, t[1], 0, 9, ctx);
    const auto fill = kind ? NumberIn(line, t[2], 0, 31, ctx) : std::nullopt;
    const auto x = fill ? NumberIn(line, t[3], -32768, 32767, ctx) : std::nullopt;
    const auto y = x ? NumberIn(line, t[4], -32768, 32767, ctx) : std::nullopt;
    const auto angle = y ? NumberIn(line, t[5], 0, 3450, ctx) : std::nullopt;
    if (!angle) return std::nullopt;
    if (*angle % 150 != 0) {
        ctx.Error(line.where, "an angle is a multiple of 150");
        return std::nullopt;
    }
    return media::PieceRecord{static_cast<int16_t>(*kind), static_cast<int16_t>(*fill), static_cast<int16_t>(*x),
                              static_cast<int16_t>(*y), static_cast<int16_t>(*angle)};
}

// One piece line into the list: false (with an error) when it is none or malformed.
bool PieceLine(const SourceLine& line, media::PieceList& list, size_t& openGroup, EncodeContext& ctx) {
    const auto& t = line.tokens;
    if (IsWord(t[0], "piece")) {
        const auto r = Record(line, ctx);
        if (!r) return false;
        list.records.push_back(*r);
        openGroup = SIZE_MAX;
        return true;
    }
    if (IsWord(t[0], "member")) {
        if (openGroup == SIZE_MAX) {
            ctx.Error(line.where, "a member follows its group or another member");
            return false;
        }
        const auto r = Record(line, ctx);
        if (!r) return false;
        list.records.push_back(*r);
        ++list.records[openGroup].angle;
        return true;
    }
    if (IsWord(t[0], "group")) {
        if (t.size() != 4) {
            ctx.Error(line.where, "group takes FILL X Y");
            return false;
        }
        const auto fill = NumberIn(line, t[1], -9, 31, ctx);
        if (!fill) return false;
        if (*fill < 0 && *fill != -9 && *fill != -1) {
            ctx.Error(line.where, "a group's fill is -9, -1 or 0 to 31");
            return false;
        }
        const auto x = NumberIn(line, t[2], -32768, 32767, ctx);
        const auto y = x ? NumberIn(line, t[3], -32768, 32767, ctx) : std::nullopt;
        if (!y) return false;
        openGroup = list.records.size();
        list.records.push_back({-1, static_cast<int16_t>(*fill), static_cast<int16_t>(*x), static_cast<int16_t>(*y), 0});
        return true;
    }
    ctx.Error(line.where, "a piece line is piece, group or member");
    return false;
}

bool SetLine(const SourceLine& line, size_t first, media::PieceList& list, EncodeContext& ctx) {
    const auto& t = line.tokens;
    if (t.size() != first + 2 || !IsWord(t[first], "set")) {
        ctx.Error(line.where, "a piece list begins with set ID");
        return false;
    }
    const auto id = NumberIn(line, t[first + 1], 0, 65535, ctx);
    if (!id) return false;
    list.setId = static_cast<uint16_t>(*id);
    return true;
}

bool Finished(const ItemSource& item, const media::PieceList& list, EncodeContext& ctx) {
    if (list.records.size() > 32767) {
        ctx.Error(item.where, "a piece list holds at most 32767 records");
        return false;
    }
    return true;
}

}  // namespace

bool EncodeOutline(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::optional<media::PiecePair> lead;
    std::vector<media::PiecePair> edges;
    for (const SourceLine& line : item.body) {
        const bool isLead = IsWord(line.tokens[0], "lead");
        if (!isLead && !IsWord(line.tokens[0], "edge")) {
            ctx.Error(line.where, "a line is lead LENGTH DIRECTION or edge LENGTH DIRECTION");
            return false;
        }
        if (isLead == lead.has_value() || (isLead && !edges.empty())) {
            ctx.Error(line.where, "lead comes once, first");
            return false;
        }
        const auto pair = Pair(line, ctx);
        if (!pair) return false;
        if (isLead) {
            lead = pair;
        } else {
            edges.push_back(*pair);
        }
    }
    if (!lead || edges.size() < 3 || edges.size() > 1000) {
        ctx.Error(item.where, "an outline is a lead and 3 to 1000 edges");
        return false;
    }
    out = media::PieceOutlineBytes(*lead, edges);
    return true;
}

bool EncodePieceList(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    if (item.body.empty()) {
        ctx.Error(item.where, "a piece list begins with set ID");
        return false;
    }
    media::PieceList list;
    if (!SetLine(item.body[0], 0, list, ctx)) return false;
    size_t openGroup = SIZE_MAX;
    for (size_t i = 1; i < item.body.size(); ++i)
        if (!PieceLine(item.body[i], list, openGroup, ctx)) return false;
    if (!Finished(item, list, ctx)) return false;
    out = media::PieceListBytes(list);
    return true;
}

bool EncodeTask(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    media::TaskRecord task;
    media::PieceList* blocks[] = {&task.reference, &task.start, &task.solution};
    const char* names[] = {"reference", "start", "solution"};
    int block = -1;  // the block being read, -1 before the first
    size_t openGroup = SIZE_MAX;
    for (const SourceLine& line : item.body) {
        const auto& t = line.tokens;
        if (block + 1 < 3 && IsWord(t[0], names[block + 1])) {
            ++block;
            if (!SetLine(line, 1, *blocks[block], ctx)) return false;
            openGroup = SIZE_MAX;
            continue;
        }
        if (block >= 0) {
            if (!PieceLine(line, *blocks[block], openGroup, ctx)) return false;
            continue;
        }
        if (IsWord(t[0], "kind") || IsWord(t[0], "style")) {
            const auto v = t.size() == 2 ? NumberIn(line, t[1], 0, 3, ctx) : std::nullopt;
            if (!v) {
                if (t.size() != 2) ctx.Error(line.where, t[0].text + " takes one number, 0 to 3");
                return false;
            }
            task.words[IsWord(t[0], "kind") ? media::kTaskKindIndex : media::kTaskStyleIndex] = static_cast<uint16_t>(*v);
        } else if (IsWord(t[0], "word")) {
            const auto index = t.size() >= 3 ? NumberIn(line, t[1], 6, 56, ctx) : std::nullopt;
            if (!index) {
                if (t.size() < 3) ctx.Error(line.where, "word takes an index and values");
                return false;
            }
            if (*index + static_cast<int64_t>(t.size()) - 2 > 57) {
                ctx.Error(line.where, "the values run past word 56");
                return false;
            }
            for (size_t k = 2; k < t.size(); ++k) {
                const auto v = NumberIn(line, t[k], -32768, 65535, ctx);
                if (!v) return false;
                task.words[static_cast<size_t>(*index) + k - 2] = static_cast<uint16_t>(*v);
            }
        } else if (IsWord(t[0], "guide")) {
            if (t.size() != 5) {
                ctx.Error(line.where, "guide takes X1 Y1 X2 Y2");
                return false;
            }
            int16_t v[4];
            for (size_t k = 0; k < 4; ++k) {
                const auto n = NumberIn(line, t[k + 1], -32768, 32767, ctx);
                if (!n) return false;
                v[k] = static_cast<int16_t>(*n);
            }
            task.guides.push_back({v[0], v[1], v[2], v[3]});
        } else {
            ctx.Error(line.where, "a task line is kind, style, word, guide or a block (reference, start, solution)");
            return false;
        }
    }
    if (block != 2) {
        ctx.Error(item.where, "a task has the blocks reference, start and solution, in that order");
        return false;
    }
    for (const media::PieceList* b : blocks)
        if (!Finished(item, *b, ctx)) return false;
    out = media::TaskRecordBytes(task);
    return true;
}

}  // namespace mkres
