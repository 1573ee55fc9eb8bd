#include "media/res/compare_levels.h"

#include <algorithm>

#include "platform/core/byte_order.h"

namespace media {

namespace {

// A value's relation to a pivot that a partner must have.
enum class Want { Any, Less, Greater, NotEqual, Equal };

// The wanted relation of the second value to the first for a chosen relation (-1 none).
Want WantOf(int chosen, bool distinct) {
    switch (chosen) {
        case 0: return Want::Equal;
        case 1: return Want::Less;     // left larger: the second is smaller
        case 2: return Want::Greater;  // left smaller: the second is larger
        default: return distinct ? Want::NotEqual : Want::Any;
    }
}

bool Holds(Want want, int first, int second) {
    switch (want) {
        case Want::Less: return second < first;
        case Want::Greater: return second > first;
        case Want::NotEqual: return second != first;
        case Want::Equal: return second == first;
        case Want::Any: break;
    }
    return true;
}

// The same relation seen from the other value.
Want Mirrored(Want want) {
    if (want == Want::Less) return Want::Greater;
    if (want == Want::Greater) return Want::Less;
    return want;
}

DrawSlot SlotOf(const NumberRange& r, bool tens) {
    DrawSlot s;
    if (!tens) {
        s.lo = r.lo;
        s.count = r.hi >= r.lo ? r.hi - r.lo + 1 : 0;
        return s;
    }
    const int first = (r.lo + 9) / 10 * 10;
    const int last = r.hi / 10 * 10;
    s.lo = first;
    s.step = 10;
    s.count = first <= last && first <= r.hi ? (last - first) / 10 + 1 : 0;
    return s;
}

DrawSlot SlotA(const CompareLevelRow& row, bool recent) { return SlotOf(recent ? row.aRecent : row.a, row.tens != 0); }
DrawSlot SlotB(const CompareLevelRow& row, bool recent) { return SlotOf(recent ? row.bRecent : row.b, row.tens != 0); }
DrawSlot SlotC(const CompareLevelRow& row) { return SlotOf(row.c, row.tens != 0); }

// The value of x op y under the row's limit and carrying rule, or none.
std::optional<int> PairValue(const CompareLevelRow& row, bool recent, int x, int y) {
    const int limit = recent ? row.limitRecent : row.limit;
    if (row.op == kOpPlus) {
        if (x + y > limit) return std::nullopt;
        if (row.carry && x % 10 + y % 10 > 9) return std::nullopt;
        return x + y;
    }
    if (row.op == kOpMinus) {
        if (x - y < limit) return std::nullopt;
        if (row.carry && y % 10 > x % 10) return std::nullopt;
        return x - y;
    }
    return std::nullopt;
}

// Whether the pair walk may stop at y: every larger y of the slot fails the limit too.
bool PastLimit(const CompareLevelRow& row, bool recent, int x, int y) {
    const int limit = recent ? row.limitRecent : row.limit;
    if (row.op == kOpPlus) return x + y > limit;
    if (row.op == kOpMinus) return x - y < limit;
    return true;
}

// The smallest and largest value of a slot that stands in `want` to the pivot.
struct Bounds {
    bool any = false;
    int lo = 0, hi = 0;
};

Bounds PartnerBounds(const DrawSlot& s, Want want, int pivot) {
    Bounds b;
    if (s.count <= 0) return b;
    const int first = s.lo, last = s.At(s.count - 1);
    auto clampUp = [&](int v) {  // the slot's smallest value >= v
        if (v <= first) return first;
        return first + (v - first + s.step - 1) / s.step * s.step;
    };
    auto clampDown = [&](int v) {  // the slot's largest value <= v
        if (v >= last) return last;
        if (v < first) return first - s.step;
        return first + (v - first) / s.step * s.step;
    };
    int lo = first, hi = last;
    switch (want) {
        case Want::Any: break;
        case Want::Less: hi = clampDown(pivot - 1); break;
        case Want::Greater: lo = clampUp(pivot + 1); break;
        case Want::Equal:
            if (pivot < first || pivot > last || (pivot - first) % s.step != 0) return b;
            lo = hi = pivot;
            break;
        case Want::NotEqual:
            if (first == pivot) lo = first + s.step;
            if (last == pivot) hi = last - s.step;
            break;
    }
    if (lo > hi || lo > last || hi < first) return b;
    b.any = true;
    b.lo = lo;
    b.hi = hi;
    return b;
}

// The same over distinct values sorted ascending, by binary search.
Bounds PartnerBoundsOf(const std::vector<int>& sorted, Want want, int pivot) {
    Bounds b;
    if (sorted.empty()) return b;
    const auto below = std::lower_bound(sorted.begin(), sorted.end(), pivot);  // first >= pivot
    const auto above = std::upper_bound(sorted.begin(), sorted.end(), pivot);  // first > pivot
    auto from = sorted.begin();
    auto to = sorted.end();  // the partners are [from, to) less what NotEqual leaves out
    switch (want) {
        case Want::Any: break;
        case Want::Less: to = below; break;
        case Want::Greater: from = above; break;
        case Want::Equal: from = below, to = above; break;
        case Want::NotEqual:
            if (sorted.size() == 1 && sorted.front() == pivot) return b;
            b.any = true;
            b.lo = sorted.front() != pivot ? sorted.front() : sorted[1];
            b.hi = sorted.back() != pivot ? sorted.back() : sorted[sorted.size() - 2];
            return b;
    }
    if (from >= to) return b;
    b.any = true;
    b.lo = *from;
    b.hi = *(to - 1);
    return b;
}

class KeySet {
public:
    explicit KeySet(int cap) : m_cap(std::max(cap, 1)) {}
    // True when the cap is reached.
    bool Add(int64_t key) {
        if (std::find(m_keys.begin(), m_keys.end(), key) == m_keys.end()) m_keys.push_back(key);
        return Full();
    }
    bool Full() const { return static_cast<int>(m_keys.size()) >= m_cap; }
    int Count() const { return std::min(static_cast<int>(m_keys.size()), m_cap); }

private:
    int m_cap;
    std::vector<int64_t> m_keys;
};

int64_t KeyOf(const CompareProblem& p, int side) {
    if (side == 1) return p.left;
    if (side == 2) return p.right;
    return int64_t{p.left} * 100000 + p.right;
}

bool ValidMode(uint16_t m) { return (m >= 1 && m <= 5) || (m >= 7 && m <= 11); }

bool RangeOk(const NumberRange& r) { return r.lo <= r.hi && r.hi <= kCompareHighest; }

bool ShowFits(uint16_t show, uint16_t shape) {
    switch (show) {
        case kShowPanel:
        case kShowDigits:
        case kShowBothPanels:
        case kShowLeftDigitsRightPanel:
        case kShowBothDigits: return shape == kShapeOneNumber || shape == kShapeTwoNumbers;
        case kShowExpr: return shape == kShapeShownExpr;
        case kShowLeftExprRightEither:
        case kShowLeftExprRightDigits: return shape == kShapeLeftExpr;
        case kShowBothExpr: return shape == kShapeBothExpr;
        default: return false;
    }
}

std::optional<std::string> CheckFields(const CompareLevelRow& r) {
    if (r.level < 1 || r.level > kCompareLevels) return "level " + std::to_string(r.level) + " is not 1 to 87";
    if (!ValidMode(r.mode)) return "unknown mode " + std::to_string(r.mode);
    if (r.altMode != 0 && !ValidMode(r.altMode)) return "unknown second mode " + std::to_string(r.altMode);
    if (r.shape < kShapeOneNumber || r.shape > kShapeBothExpr) return "unknown shape " + std::to_string(r.shape);
    if (!ShowFits(r.show, r.shape)) return "show " + std::to_string(r.show) + " does not fit shape " + std::to_string(r.shape);
    if (r.altMode != 0 && !ShowFits(r.altShow, r.shape))
        return "second show " + std::to_string(r.altShow) + " does not fit shape " + std::to_string(r.shape);
    if (r.follow > 7 || r.altFollow > 7) return "unknown follow bits";
    if (r.cols < 1 || r.cols > 3) return "cols " + std::to_string(r.cols) + " is not 1 to 3";
    if (r.compact > kCompactLeft) return "unknown compact holder " + std::to_string(r.compact);
    for (const NumberRange* range : {&r.a, &r.aRecent, &r.b, &r.bRecent, &r.c}) {
        if (!RangeOk(*range))
            return "range " + std::to_string(range->lo) + " to " + std::to_string(range->hi) + " is not within 0 to 999";
    }
    if (r.tens > 1 || r.carry > 1 || r.hidden > 1 || r.distinct > 1) return "a flag is not 0 or 1";
    const bool expression = r.shape >= kShapeShownExpr;
    if (r.op > kOpMinus || (expression && r.op == kOpNone)) return "unknown operator " + std::to_string(r.op);
    if (r.limit > kCompareHighest || r.limitRecent > kCompareHighest) return "a limit is not within 0 to 999";
    const bool ruleOk = r.shape == kShapeLeftExpr   ? r.rightRule >= kRightFreeNumber && r.rightRule <= kRightByRelation
                        : r.shape == kShapeBothExpr ? r.rightRule >= kRightOwnTerms && r.rightRule <= kRightSwapped
                                                    : r.rightRule == kRightNone;
    if (!ruleOk) return "right-number rule " + std::to_string(r.rightRule) + " does not fit shape " + std::to_string(r.shape);
    if (r.choice > kChoiceOneOrTwo) return "unknown relation choice " + std::to_string(r.choice);
    if (r.repeat > kRepeatLeftWhenEqual) return "unknown repeat test " + std::to_string(r.repeat);
    if (r.relation > kRelationChosen || (r.relation == kRelationChosen && r.choice == kChoiceNone))
        return "unknown relation " + std::to_string(r.relation);
    return std::nullopt;
}

// The pair walk of the expression shapes: every (x, y) of slots a and b whose value the row
// allows, with its value; `visit` returns true to stop.
template <typename Visit>
void WalkPairs(const CompareLevelRow& row, bool recent, Visit&& visit) {
    const DrawSlot sa = SlotA(row, recent), sb = SlotB(row, recent);
    for (int i = 0; i < sa.count; ++i) {
        const int x = sa.At(i);
        for (int j = 0; j < sb.count; ++j) {
            const int y = sb.At(j);
            const auto v = PairValue(row, recent, x, y);
            if (!v) {
                if (PastLimit(row, recent, x, y)) break;
                continue;
            }
            if (visit(x, y, *v)) return;
        }
    }
}

bool HiddenDrawn(const CompareLevelRow& row, const CompareDrawSetting& s) {
    return row.hidden && (s.chosen == 1 || s.chosen == 2);
}

bool RightFromSlot(const CompareLevelRow& row, const CompareDrawSetting& s) {
    return (row.rightRule == kRightFreeNumber || row.rightRule == kRightByRelation) && s.chosen != 0;
}

}  // namespace

CompareLevelRow CompareLevelOneRow() { return CompareLevelRow{}; }

int ChosenRelation(uint16_t choice, int q) {
    switch (choice) {
        case kChoiceTwo:
        case kChoiceOneOrTwo: return 1 + q;
        case kChoiceThree: return q;
        default: return -1;
    }
}

int ChoiceSpan(uint16_t choice) {
    switch (choice) {
        case kChoiceTwo:
        case kChoiceOneOrTwo: return 2;
        case kChoiceThree: return 3;
        default: return 0;
    }
}

std::vector<DrawSlot> DrawSlots(const CompareLevelRow& row, const CompareDrawSetting& s) {
    const DrawSlot a = SlotA(row, s.recent), b = SlotB(row, s.recent), c = SlotC(row);
    switch (row.shape) {
        case kShapeOneNumber: return {a};
        case kShapeTwoNumbers: return s.chosen == 0 ? std::vector<DrawSlot>{a} : std::vector<DrawSlot>{a, b};
        case kShapeShownExpr: return HiddenDrawn(row, s) ? std::vector<DrawSlot>{a, b, c} : std::vector<DrawSlot>{a, b};
        case kShapeLeftExpr: return RightFromSlot(row, s) ? std::vector<DrawSlot>{a, b, c} : std::vector<DrawSlot>{a, b};
        case kShapeBothExpr:
            if (row.rightRule == kRightOwnTerms) return {a, b, a, b};
            if (row.rightRule == kRightSameFirstTerm) return {a, b, c};
            return {a, b};
        default: return {};
    }
}

std::optional<CompareProblem> ComposeCompareProblem(const CompareLevelRow& row, const CompareDrawSetting& s,
                                                    std::span<const int> d) {
    if (d.size() != DrawSlots(row, s).size()) return std::nullopt;
    const Want want = WantOf(s.chosen, row.distinct != 0);
    const int shown = 3 - s.workSide;
    CompareProblem p;
    auto setSides = [&](int shownValue, int workValue) {
        p.left = shown == 1 ? shownValue : workValue;
        p.right = shown == 2 ? shownValue : workValue;
    };
    switch (row.shape) {
        case kShapeOneNumber: setSides(d[0], 0); return p;
        case kShapeTwoNumbers:
            if (s.chosen == 0) {
                if (row.hidden) setSides(d[0], 0);
                else p.left = p.right = d[0];
                return p;
            }
            p.left = d[0];
            p.right = d[1];
            if (!Holds(want, p.left, p.right)) return std::nullopt;
            return p;
        case kShapeShownExpr: {
            const auto v = PairValue(row, s.recent, d[0], d[1]);
            if (!v) return std::nullopt;
            setSides(*v, HiddenDrawn(row, s) ? d[2] : 0);
            p.expr[shown - 1] = true;
            p.terms[shown - 1][0] = d[0];
            p.terms[shown - 1][1] = d[1];
            if (HiddenDrawn(row, s) && !Holds(want, p.left, p.right)) return std::nullopt;
            return p;
        }
        case kShapeLeftExpr: {
            const auto v = PairValue(row, s.recent, d[0], d[1]);
            if (!v) return std::nullopt;
            p.left = *v;
            p.expr[0] = true;
            p.terms[0][0] = d[0];
            p.terms[0][1] = d[1];
            switch (row.rightRule) {
                case kRightTermByChoice: p.right = s.term == 0 ? d[0] : d[1]; break;
                case kRightFirstTerm: p.right = d[0]; break;
                default: p.right = RightFromSlot(row, s) ? d[2] : *v; break;
            }
            if (!Holds(want, p.left, p.right)) return std::nullopt;
            return p;
        }
        case kShapeBothExpr: {
            const auto left = PairValue(row, s.recent, d[0], d[1]);
            if (!left) return std::nullopt;
            int rx = d[1], ry = d[0];  // swapped
            if (row.rightRule == kRightOwnTerms) rx = d[2], ry = d[3];
            else if (row.rightRule == kRightSameFirstTerm) rx = d[0], ry = d[2];
            const auto right = PairValue(row, s.recent, rx, ry);
            if (!right || !Holds(want, *left, *right)) return std::nullopt;
            p.left = *left;
            p.right = *right;
            p.expr[0] = p.expr[1] = true;
            p.terms[0][0] = d[0];
            p.terms[0][1] = d[1];
            p.terms[1][0] = rx;
            p.terms[1][1] = ry;
            return p;
        }
        default: return std::nullopt;
    }
}

int RepeatSide(const CompareLevelRow& row, const CompareDrawSetting& s) {
    switch (row.repeat) {
        case kRepeatBoth: return 0;
        case kRepeatLeft: return 1;
        case kRepeatRight: return 2;
        case kRepeatShown: return 3 - s.workSide;
        case kRepeatLeftWhenEqual: return s.chosen == 0 ? 1 : 0;
        default: return -1;
    }
}

int CountRepeatKeys(const CompareLevelRow& row, const CompareDrawSetting& s, int cap) {
    KeySet keys(std::clamp(cap, 1, 2));
    const int side = RepeatSide(row, s);
    const Want want = WantOf(s.chosen, row.distinct != 0);
    // Adds the problem of the drawn numbers when the row allows it; true to stop.
    auto tryDraw = [&](const std::vector<int>& d) {
        const auto p = ComposeCompareProblem(row, s, d);
        return p && keys.Add(KeyOf(*p, side));
    };
    // Where a number is the partner of others, the problems with its smallest and its largest
    // partner are tried: every partner between them gives a key between theirs, so two
    // different keys exist exactly when these give two.
    const DrawSlot a = SlotA(row, s.recent), b = SlotB(row, s.recent), c = SlotC(row);
    switch (row.shape) {
        case kShapeOneNumber:
            for (int i = 0; i < a.count; ++i)
                if (tryDraw({a.At(i)})) break;
            break;
        case kShapeTwoNumbers:
            for (int i = 0; i < a.count; ++i) {
                const int l = a.At(i);
                if (s.chosen == 0) {
                    if (tryDraw({l})) break;
                    continue;
                }
                const Bounds rb = PartnerBounds(b, want, l);
                if (rb.any && (tryDraw({l, rb.lo}) || tryDraw({l, rb.hi}))) break;
            }
            break;
        case kShapeShownExpr:
            WalkPairs(row, s.recent, [&](int x, int y, int v) {
                if (!HiddenDrawn(row, s)) return tryDraw({x, y});
                // The hidden number stands on the work side: its wanted relation to the value is
                // the chosen one when it is on the right, mirrored when on the left.
                const Want hw = s.workSide == 2 ? want : Mirrored(want);
                const Bounds hb = PartnerBounds(c, hw, v);
                if (!hb.any) return false;
                return tryDraw({x, y, hb.lo}) || tryDraw({x, y, hb.hi});
            });
            break;
        case kShapeLeftExpr:
            WalkPairs(row, s.recent, [&](int x, int y, int v) {
                if (!RightFromSlot(row, s)) return tryDraw({x, y});
                const Bounds nb = PartnerBounds(c, want, v);
                if (!nb.any) return false;
                return tryDraw({x, y, nb.lo}) || tryDraw({x, y, nb.hi});
            });
            break;
        case kShapeBothExpr:
            if (row.rightRule == kRightOwnTerms) {
                // Both sides draw from the same slots: up to three different values with a pair
                // each decide whether two different keys exist.
                std::vector<std::pair<int, std::pair<int, int>>> values;
                WalkPairs(row, s.recent, [&](int x, int y, int v) {
                    for (const auto& e : values)
                        if (e.first == v) return false;
                    values.push_back({v, {x, y}});
                    return values.size() >= 3;
                });
                for (const auto& l : values) {
                    for (const auto& r : values) {
                        if (tryDraw({l.second.first, l.second.second, r.second.first, r.second.second})) return keys.Count();
                    }
                }
            } else if (row.rightRule == kRightSameFirstTerm) {
                for (int i = 0; i < a.count && !keys.Full(); ++i) {
                    const int x = a.At(i);
                    std::vector<int> values;  // the right's values x op z
                    for (int k = 0; k < c.count; ++k)
                        if (const auto v = PairValue(row, s.recent, x, c.At(k))) values.push_back(*v);
                    if (values.empty()) continue;
                    std::sort(values.begin(), values.end());
                    // x op z is one-to-one in z: the term back from a value.
                    auto termOf = [&](int v) { return row.op == kOpPlus ? v - x : x - v; };
                    for (int j = 0; j < b.count; ++j) {
                        const auto v = PairValue(row, s.recent, x, b.At(j));
                        if (!v) continue;
                        const Bounds vb = PartnerBoundsOf(values, want, *v);
                        if (vb.any && (tryDraw({x, b.At(j), termOf(vb.lo)}) || tryDraw({x, b.At(j), termOf(vb.hi)}))) break;
                    }
                }
            } else {
                WalkPairs(row, s.recent, [&](int x, int y, int) { return tryDraw({x, y}); });
            }
            break;
        default: break;
    }
    return keys.Count();
}

std::vector<CompareDrawSetting> DrawSettings(const CompareLevelRow& row) {
    std::vector<CompareDrawSetting> out;
    const int span = ChoiceSpan(row.choice);
    for (int recent = 0; recent < 2; ++recent) {
        for (int q = 0; q < std::max(span, 1); ++q) {
            for (int side = 1; side <= 2; ++side) {
                for (int term = 0; term < (row.rightRule == kRightTermByChoice ? 2 : 1); ++term) {
                    out.push_back({recent != 0, span ? ChosenRelation(row.choice, q) : -1, side, term});
                }
            }
        }
    }
    return out;
}

std::optional<std::string> CheckCompareRow(const CompareLevelRow& row) {
    if (auto fault = CheckFields(row)) return fault;
    for (const CompareDrawSetting& s : DrawSettings(row)) {
        if (CountRepeatKeys(row, s, 1) == 0) {
            return std::string("its draw is never met (") + (s.recent ? "with" : "without") +
                   " a recent success, relation " + std::to_string(s.chosen) + ", work side " + std::to_string(s.workSide) +
                   ", term " + std::to_string(s.term) + ")";
        }
    }
    return std::nullopt;
}

const CompareLevelRow& CompareLevels::Row(int level) const {
    return rows[static_cast<size_t>(level >= 1 && level <= kCompareLevels ? level - 1 : 0)];
}

std::array<uint16_t, kCompareRowWords> CompareRowWords(const CompareLevelRow& r) {
    return {r.level,      r.mode,       r.altMode,     r.show,       r.altShow,   r.follow,    r.altFollow, r.cols,
            r.compact,    r.shape,      r.a.lo,        r.a.hi,       r.aRecent.lo, r.aRecent.hi, r.b.lo,    r.b.hi,
            r.bRecent.lo, r.bRecent.hi, r.c.lo,        r.c.hi,       r.tens,      r.op,        r.limit,     r.limitRecent,
            r.carry,      r.rightRule,  r.choice,      r.hidden,     r.repeat,    r.relation,  r.distinct};
}

CompareLevelRow CompareRowFromWords(std::span<const uint16_t, kCompareRowWords> w) {
    CompareLevelRow r;
    r.level = w[0];
    r.mode = w[1];
    r.altMode = w[2];
    r.show = w[3];
    r.altShow = w[4];
    r.follow = w[5];
    r.altFollow = w[6];
    r.cols = w[7];
    r.compact = w[8];
    r.shape = w[9];
    r.a = {w[10], w[11]};
    r.aRecent = {w[12], w[13]};
    r.b = {w[14], w[15]};
    r.bRecent = {w[16], w[17]};
    r.c = {w[18], w[19]};
    r.tens = w[20];
    r.op = w[21];
    r.limit = w[22];
    r.limitRecent = w[23];
    r.carry = w[24];
    r.rightRule = w[25];
    r.choice = w[26];
    r.hidden = w[27];
    r.repeat = w[28];
    r.relation = w[29];
    r.distinct = w[30];
    return r;
}

std::vector<uint8_t> CompareLevelsBytes(std::span<const CompareLevelRow> rows) {
    std::vector<uint8_t> out;
    plat::AppendLe16(out, static_cast<uint16_t>(rows.size()));
    for (const CompareLevelRow& row : rows)
        for (uint16_t w : CompareRowWords(row)) plat::AppendLe16(out, w);
    return out;
}

CompareLevels ReadCompareLevels(std::span<const uint8_t> item, std::vector<std::string>& notes) {
    CompareLevels t;
    std::array<bool, kCompareLevels> given{};
    const size_t rowBytes = kCompareRowWords * 2;
    const size_t held = item.size() >= 2 ? (item.size() - 2) / rowBytes : 0;
    const size_t count = std::min<size_t>(plat::GetLe16(item, 0), held);
    for (size_t i = 0; i < count; ++i) {
        std::array<uint16_t, kCompareRowWords> words{};
        for (size_t k = 0; k < kCompareRowWords; ++k) words[k] = plat::GetLe16(item, 2 + i * rowBytes + 2 * k);
        const CompareLevelRow row = CompareRowFromWords(words);
        if (row.level < 1 || row.level > kCompareLevels) {
            notes.push_back("row " + std::to_string(i + 1) + " names level " + std::to_string(row.level) + ", not 1 to 87");
            continue;
        }
        const size_t at = row.level - 1U;
        if (given[at]) {
            notes.push_back("level " + std::to_string(row.level) + " is given twice; its first row counts");
            continue;
        }
        given[at] = true;
        if (const auto fault = CheckCompareRow(row)) {
            notes.push_back("level " + std::to_string(row.level) + ": " + *fault + "; it plays level 1's row");
            t.rows[at] = CompareLevelOneRow();
            continue;
        }
        t.rows[at] = row;
    }
    if (item.size() >= 2 && plat::GetLe16(item, 0) > held)
        notes.push_back("the item holds " + std::to_string(held) + " whole rows of the " +
                        std::to_string(plat::GetLe16(item, 0)) + " it counts");
    for (int level = 1; level <= kCompareLevels; ++level) {
        if (given[static_cast<size_t>(level - 1)]) continue;
        notes.push_back("level " + std::to_string(level) + " has no row; it plays level 1's row");
        t.rows[static_cast<size_t>(level - 1)] = CompareLevelOneRow();
    }
    return t;
}

}  // namespace media
