// The compare activity's level table ('LVL', media/res/compare_levels.h): one line per level,
// every level 1 to 87 exactly once, each row's draw checked as the game checks it.
//
//   LVL M comparelevels
//     1  mode 1 panel  cols 1  draw one  a 1-9  repeat shown  relation equal
//     16 mode 4 panel+open or 3 digits  cols 2  draw one  a 10-20  repeat shown  relation equal
//     11 mode 3 expr  cols 1  compact opposite  draw shownexpr  a 1-5/1-9  b 1-5/1-9  plus 6/9  repeat shown  relation equal
//   end
//
// A line is the level, then words in any order:
//   mode M SHOW, or M SHOW   the answer mode (Random(2) = 1) and the second one (Random(2) = 0),
//                            each with how the numbers are shown: panel, digits, expr (the shown
//                            side), panels, digits/panel, digits/digits, expr/either, expr/digits,
//                            expr/expr (left/right), followed by +sign, +open, +demo in that order
//   cols N                   1 to 3
//   compact opposite|both|left
//   draw one|two|shownexpr|leftexpr|bothexpr
//   a R, b R                 the first and second number or term: lo-hi, or lo-hi/lo-hi without
//                            and with a recent success
//   c lo-hi                  the third number
//   tens                     every number a whole ten
//   plus L, minus L          the operator and its limit (L or L/L without and with a recent success)
//   nocarry, noborrow        no carrying (with plus), no borrowing (with minus)
//   right free|term|first|relation|own|same|swapped
//   choose 2|3|1+2           the chosen relation: Random(2), Random(3), 1 + Random(2)
//   hidden, distinct
//   repeat both|left|right|shown|none|left-when-equal
//   relation unset|equal|values|chosen   (unset when not given)
// mode, cols, draw and repeat are needed.
#include <map>
#include <string>

#include "media/res/compare_levels.h"
#include "tools/mkres/encoders.h"

namespace mkres {

namespace {

using media::CompareLevelRow;
using media::NumberRange;

const std::map<std::string, uint16_t> kShows = {
    {"panel", media::kShowPanel},
    {"digits", media::kShowDigits},
    {"expr", media::kShowExpr},
    {"panels", media::kShowBothPanels},
    {"digits/panel", media::kShowLeftDigitsRightPanel},
    {"digits/digits", media::kShowBothDigits},
    {"expr/either", media::kShowLeftExprRightEither},
    {"expr/digits", media::kShowLeftExprRightDigits},
    {"expr/expr", media::kShowBothExpr},
};
const std::map<std::string, uint16_t> kCompacts = {
    {"opposite", media::kCompactOpposite}, {"both", media::kCompactBoth}, {"left", media::kCompactLeft}};
const std::map<std::string, uint16_t> kShapes = {{"one", media::kShapeOneNumber},
                                                 {"two", media::kShapeTwoNumbers},
                                                 {"shownexpr", media::kShapeShownExpr},
                                                 {"leftexpr", media::kShapeLeftExpr},
                                                 {"bothexpr", media::kShapeBothExpr}};
const std::map<std::string, uint16_t> kRights = {
    {"free", media::kRightFreeNumber}, {"term", media::kRightTermByChoice}, {"first", media::kRightFirstTerm},
    {"relation", media::kRightByRelation}, {"own", media::kRightOwnTerms}, {"same", media::kRightSameFirstTerm},
    {"swapped", media::kRightSwapped}};
const std::map<std::string, uint16_t> kChoices = {
    {"2", media::kChoiceTwo}, {"3", media::kChoiceThree}, {"1+2", media::kChoiceOneOrTwo}};
const std::map<std::string, uint16_t> kRepeats = {
    {"both", media::kRepeatBoth},   {"left", media::kRepeatLeft}, {"right", media::kRepeatRight},
    {"shown", media::kRepeatShown}, {"none", media::kRepeatNone}, {"left-when-equal", media::kRepeatLeftWhenEqual}};
const std::map<std::string, uint16_t> kRelations = {{"unset", media::kRelationUnset},
                                                    {"equal", media::kRelationEqual},
                                                    {"values", media::kRelationFromValues},
                                                    {"chosen", media::kRelationChosen}};

std::optional<int> Number0To999(const std::string& text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    for (char ch : text)
        if (ch < '0' || ch > '9') return std::nullopt;
    return std::stoi(text);
}

// "lo-hi" within 0 to 999, lo <= hi.
std::optional<NumberRange> ParseRange(const std::string& text) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) return std::nullopt;
    const auto lo = Number0To999(text.substr(0, dash));
    const auto hi = Number0To999(text.substr(dash + 1));
    if (!lo || !hi || *lo > *hi) return std::nullopt;
    return NumberRange{static_cast<uint16_t>(*lo), static_cast<uint16_t>(*hi)};
}

// "X" or "X/Y": the value without and with a recent success.
template <typename T, typename Parse>
std::optional<std::pair<T, T>> ParsePair(const std::string& text, Parse parse) {
    const size_t slash = text.find('/');
    const auto first = parse(text.substr(0, slash));
    if (!first) return std::nullopt;
    if (slash == std::string::npos) return std::pair<T, T>{*first, *first};
    const auto second = parse(text.substr(slash + 1));
    if (!second) return std::nullopt;
    return std::pair<T, T>{*first, *second};
}

// "SHOW[+sign][+open][+demo]".
bool ParseShow(const std::string& text, uint16_t& show, uint16_t& follow) {
    const size_t plus = text.find('+');
    const auto it = kShows.find(text.substr(0, plus));
    if (it == kShows.end()) return false;
    show = it->second;
    follow = 0;
    std::string rest = plus == std::string::npos ? std::string() : text.substr(plus);
    for (const auto& [word, bit] : {std::pair{"+sign", media::kFollowSign}, std::pair{"+open", media::kFollowOpen},
                                    std::pair{"+demo", media::kFollowDemonstration}}) {
        const std::string w = word;
        if (rest.compare(0, w.size(), w) == 0) {
            follow |= bit;
            rest.erase(0, w.size());
        }
    }
    return rest.empty();
}

class RowReader {
public:
    RowReader(const SourceLine& line, EncodeContext& ctx) : m_line(line), m_ctx(ctx) {}

    std::optional<CompareLevelRow> Read() {
        const auto& t = m_line.tokens;
        const auto level = NumberIn(m_line, t[0], 1, media::kCompareLevels, m_ctx);
        if (!level) return std::nullopt;
        m_row = CompareLevelRow{};
        m_row.level = static_cast<uint16_t>(*level);
        m_row.repeat = media::kRepeatBoth;
        m_row.relation = media::kRelationUnset;
        m_row.a = m_row.aRecent = {};
        size_t i = 1;
        while (i < t.size()) {
            if (t[i].kind != Token::Kind::Word) return Fail("unknown word \"" + t[i].text + "\"");
            const std::string key = t[i].text;
            ++i;
            if (key == "tens" || key == "hidden" || key == "distinct" || key == "nocarry" || key == "noborrow") {
                (key == "tens" ? m_row.tens : key == "hidden" ? m_row.hidden : key == "distinct" ? m_row.distinct : m_row.carry) = 1;
                if (key == "nocarry") m_noCarry = true;
                if (key == "noborrow") m_noBorrow = true;
                continue;
            }
            if (i >= t.size() || t[i].kind != Token::Kind::Word) return Fail(key + " needs a value");
            const std::string value = t[i].text;
            ++i;
            if (!Take(key, value, t, i)) return std::nullopt;
        }
        if (!m_haveMode || !m_haveCols || !m_haveDraw || !m_haveRepeat) return Fail("a row needs mode, cols, draw and repeat");
        if ((m_noCarry && m_row.op != media::kOpPlus) || (m_noBorrow && m_row.op != media::kOpMinus))
            return Fail("nocarry goes with plus, noborrow with minus");
        if (const auto fault = media::CheckCompareRow(m_row)) return Fail("level " + std::to_string(m_row.level) + ": " + *fault);
        return m_row;
    }

private:
    std::optional<CompareLevelRow> Fail(const std::string& message) {
        m_ctx.Error(m_line.where, message);
        return std::nullopt;
    }
    bool Bad(const std::string& message) {
        m_ctx.Error(m_line.where, message);
        return false;
    }
    bool Lookup(const std::map<std::string, uint16_t>& words, const std::string& key, const std::string& value,
                uint16_t& out) {
        const auto it = words.find(value);
        if (it == words.end()) return Bad("unknown " + key + " \"" + value + "\"");
        out = it->second;
        return true;
    }
    bool TakeRange(const std::string& key, const std::string& value, NumberRange& plain, NumberRange* recent) {
        // c has no second range: "lo-hi/lo-hi" is refused there.
        const auto r = recent ? ParsePair<NumberRange>(value, ParseRange) : std::nullopt;
        const auto single = recent ? std::nullopt : ParseRange(value);
        if (!r && !single) return Bad(key + " range \"" + value + "\" is not lo-hi within 0 to 999, lo not above hi");
        plain = r ? r->first : *single;
        if (recent) *recent = r->second;
        return true;
    }

    bool Take(const std::string& key, const std::string& value, const std::vector<Token>& t, size_t& i) {
        if (key == "mode" || key == "or") {
            const auto m = ParseNumber(value);
            if (!m || *m < 1 || *m > 11 || *m == 6) return Bad("unknown mode " + value);
            if (i >= t.size() || t[i].kind != Token::Kind::Word) return Bad(key + " " + value + " needs how it shows");
            uint16_t show = 0, follow = 0;
            if (!ParseShow(t[i].text, show, follow)) return Bad("unknown show \"" + t[i].text + "\"");
            ++i;
            if (key == "mode") {
                m_row.mode = static_cast<uint16_t>(*m);
                m_row.show = show;
                m_row.follow = follow;
                m_haveMode = true;
            } else {
                m_row.altMode = static_cast<uint16_t>(*m);
                m_row.altShow = show;
                m_row.altFollow = follow;
            }
            return true;
        }
        if (key == "cols") {
            const auto n = ParseNumber(value);
            if (!n || *n < 1 || *n > 3) return Bad("cols " + value + " is not 1 to 3");
            m_row.cols = static_cast<uint16_t>(*n);
            m_haveCols = true;
            return true;
        }
        if (key == "compact") return Lookup(kCompacts, key, value, m_row.compact);
        if (key == "draw") return (m_haveDraw = true, Lookup(kShapes, key, value, m_row.shape));
        if (key == "a") return TakeRange(key, value, m_row.a, &m_row.aRecent);
        if (key == "b") return TakeRange(key, value, m_row.b, &m_row.bRecent);
        if (key == "c") return TakeRange(key, value, m_row.c, nullptr);
        if (key == "plus" || key == "minus") {
            const auto l = ParsePair<int>(value, Number0To999);
            if (!l) return Bad(key + " limit \"" + value + "\" is not 0 to 999");
            m_row.op = key == "plus" ? media::kOpPlus : media::kOpMinus;
            m_row.limit = static_cast<uint16_t>(l->first);
            m_row.limitRecent = static_cast<uint16_t>(l->second);
            return true;
        }
        if (key == "right") return Lookup(kRights, key, value, m_row.rightRule);
        if (key == "choose") return Lookup(kChoices, key, value, m_row.choice);
        if (key == "repeat") return (m_haveRepeat = true, Lookup(kRepeats, key, value, m_row.repeat));
        if (key == "relation") return Lookup(kRelations, key, value, m_row.relation);
        return Bad("unknown word \"" + key + "\"");
    }

    const SourceLine& m_line;
    EncodeContext& m_ctx;
    CompareLevelRow m_row;
    bool m_haveMode = false, m_haveCols = false, m_haveDraw = false, m_haveRepeat = false;
    bool m_noCarry = false, m_noBorrow = false;
};

}  // namespace

bool EncodeCompareLevels(const ItemSource& item, EncodeContext& ctx, std::vector<uint8_t>& out) {
    std::vector<CompareLevelRow> rows;
    std::map<int, Location> given;
    for (const SourceLine& line : item.body) {
        RowReader reader(line, ctx);
        const auto row = reader.Read();
        if (!row) return false;
        if (const auto before = given.find(row->level); before != given.end()) {
            ctx.Error(line.where, "level " + std::to_string(row->level) + " is given twice (first at " + before->second.Text() + ")");
            return false;
        }
        given[row->level] = line.where;
        rows.push_back(*row);
    }
    for (int level = 1; level <= media::kCompareLevels; ++level) {
        if (!given.count(level)) {
            ctx.Error(item.where, "level " + std::to_string(level) + " is missing");
            return false;
        }
    }
    out = media::CompareLevelsBytes(rows);
    return true;
}

}  // namespace mkres
