// The level table of the compare activity's question board ('LVL', little-endian u16): a count N,
// then N rows of kCompareRowWords values each, one row per level 1 to 87 in any order. A row
// says how its level poses a problem: the answer mode (or two that Random(2) picks from), how
// the numbers are drawn (the shape, the ranges, the operator, the rules between them), what the
// repeat test compares, what `relation` holds afterwards and how the numbers are shown.
//
// Word by word (CompareLevelRow in this order):
//   0 level          1 to 87
//   1 mode           answer mode 1-5, 7-11; Random(2) = 1 picks it
//   2 altMode        0, or the mode Random(2) = 0 picks
//   3 show, 4 altShow        how the numbers are shown with mode and altMode (kShow...)
//   5 follow, 6 altFollow    what follows the showing (kFollow... bits)
//   7 cols           item boxes a panel shows: 1 ones, 2 tens and ones, 3 all
//   8 compact        the compact holder: 0 none, 1 the side opposite the work side, 2 both, 3 left
//   9 shape          kShape...
//   10-11 a, 12-13 aRecent   the first number or term without and with a recent success
//   14-15 b, 16-17 bRecent   the second
//   18-19 c                  the third: a hidden comparison number, the right number, a third term
//   20 tens          1: every drawn number is a whole ten
//   21 op            0 none, 1 plus, 2 minus
//   22 limit, 23 limitRecent  plus: the sum at most; minus: the difference at least
//   24 carry         1: no carrying (plus) or no borrowing (minus)
//   25 rightRule     what stands opposite the expression (kRight...)
//   26 choice        the chosen relation: 0 none, 1 Random(2) (relation 1 + q), 2 Random(3) (q),
//                    3 1 + Random(2)
//   27 hidden        1: the work side's number only decides the problem and is cleared afterwards
//   28 repeat        kRepeat...
//   29 relation      what `relation` holds: 0 unset, 1 equal, 2 from the values, 3 the chosen one
//   30 distinct      1: the two values differ (where no relation is chosen)
//
// Rows are outside input: ReadCompareLevels reads within the item's size and gives every level
// whose row is missing, short or damaged, or whose draw can never be met, level 1's row, with a
// note. Whether a draw can be met is decided exactly (CountRepeatKeys walks its draw space), so
// the rejection loops of the draws always end.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace media {

inline constexpr int kCompareLevels = 87;
inline constexpr size_t kCompareRowWords = 31;
inline constexpr uint16_t kCompareHighest = 999;

// How the numbers are shown.
enum CompareShow : uint16_t {
    kShowPanel = 1,                  // the shown side's number as items
    kShowDigits = 2,                 // the shown side's number on its cards
    kShowExpr = 3,                   // the expression on the shown side's cards
    kShowBothPanels = 4,
    kShowLeftDigitsRightPanel = 5,
    kShowBothDigits = 6,
    kShowLeftExprRightEither = 7,    // then Random(2) = 1: the right as items, 0: on its cards
    kShowLeftExprRightDigits = 8,
    kShowBothExpr = 9,
};
inline constexpr uint16_t kLastShow = kShowBothExpr;

// What follows the showing.
enum CompareFollow : uint16_t {
    kFollowSign = 1,           // the relation sign (ShowRelationSign)
    kFollowOpen = 2,           // the work side opened for the answer (OpenAnswerSide)
    kFollowDemonstration = 4,  // the relation buttons' demonstration before the draw, panels boxed first
};

enum CompareCompact : uint16_t { kCompactNone = 0, kCompactOpposite = 1, kCompactBoth = 2, kCompactLeft = 3 };

enum CompareShape : uint16_t {
    kShapeOneNumber = 1,     // one number for the shown side
    kShapeTwoNumbers = 2,    // left and right (one number when the chosen relation is equal)
    kShapeShownExpr = 3,     // an expression on the shown side, a hidden comparison number beside it
    kShapeLeftExpr = 4,      // an expression on the left, a number on the right
    kShapeBothExpr = 5,      // an expression on each side
};

enum CompareOp : uint16_t { kOpNone = 0, kOpPlus = 1, kOpMinus = 2 };

// What stands opposite the expression. Left expression: a free number from c, a term picked by
// Random(2) before the draw, the first term, or a number from c in the chosen relation (equal:
// the expression's value). Both sides: their own terms, the same first term (the right's second
// from c), the terms swapped.
enum CompareRightRule : uint16_t {
    kRightNone = 0,
    kRightFreeNumber = 1,
    kRightTermByChoice = 2,
    kRightFirstTerm = 3,
    kRightByRelation = 4,
    kRightOwnTerms = 5,
    kRightSameFirstTerm = 6,
    kRightSwapped = 7,
};

enum CompareChoice : uint16_t { kChoiceNone = 0, kChoiceTwo = 1, kChoiceThree = 2, kChoiceOneOrTwo = 3 };

enum CompareRepeat : uint16_t {
    kRepeatBoth = 0,
    kRepeatLeft = 1,
    kRepeatRight = 2,
    kRepeatShown = 3,
    kRepeatNone = 4,
    kRepeatLeftWhenEqual = 5,  // the left when the chosen relation is equal, else both
};

enum CompareRelation : uint16_t {
    kRelationUnset = 0,
    kRelationEqual = 1,
    kRelationFromValues = 2,
    kRelationChosen = 3,
};

struct NumberRange {
    uint16_t lo = 0;
    uint16_t hi = 0;
    bool operator==(const NumberRange&) const = default;
};

struct CompareLevelRow {
    uint16_t level = 1;
    uint16_t mode = 1;
    uint16_t altMode = 0;
    uint16_t show = kShowPanel;
    uint16_t altShow = 0;
    uint16_t follow = 0;
    uint16_t altFollow = 0;
    uint16_t cols = 1;
    uint16_t compact = kCompactNone;
    uint16_t shape = kShapeOneNumber;
    NumberRange a{1, 9}, aRecent{1, 9};
    NumberRange b{}, bRecent{};
    NumberRange c{};
    uint16_t tens = 0;
    uint16_t op = kOpNone;
    uint16_t limit = 0;
    uint16_t limitRecent = 0;
    uint16_t carry = 0;
    uint16_t rightRule = kRightNone;
    uint16_t choice = kChoiceNone;
    uint16_t hidden = 0;
    uint16_t repeat = kRepeatShown;
    uint16_t relation = kRelationEqual;
    uint16_t distinct = 0;
    bool operator==(const CompareLevelRow&) const = default;
};

// Level 1's row, which stands in for every level whose row cannot be used: one number 1 to 9 on
// the shown side as items, answer mode 1.
CompareLevelRow CompareLevelOneRow();

// What a draw fixes before its passes: a recent success, the chosen relation (-1 none, else
// 0 equal, 1 left larger, 2 left smaller), the work side (1, 2) and the term Random(2) picked
// (kRightTermByChoice).
struct CompareDrawSetting {
    bool recent = false;
    int chosen = -1;
    int workSide = 2;
    int term = 0;
};

// The relation (0..2) a choice gives for a draw of Random: Random(2) q -> 1 + q, Random(3) q -> q,
// 1 + Random(2) -> 1 + q. -1 for kChoiceNone. `q` is the value the random source gave.
int ChosenRelation(uint16_t choice, int q);
// How many values Random is asked for: 2, 3 or 2 (0 for none).
int ChoiceSpan(uint16_t choice);

// A problem as the draw leaves it, before the hidden number is cleared.
struct CompareProblem {
    int left = 0;
    int right = 0;
    bool expr[2] = {false, false};  // left, right: shown as an expression
    int terms[2][2] = {{0, 0}, {0, 0}};
};

// The ranges a draw's passes draw from, in order (at most four numbers). A number is lo + k * step
// for k in 0 .. count - 1.
struct DrawSlot {
    int lo = 0;
    int step = 1;
    int count = 0;
    int At(int k) const { return lo + k * step; }
};
std::vector<DrawSlot> DrawSlots(const CompareLevelRow& row, const CompareDrawSetting& setting);
// The problem a pass's numbers make, or none when they break the row's rules. `drawn` holds one
// value per slot.
std::optional<CompareProblem> ComposeCompareProblem(const CompareLevelRow& row, const CompareDrawSetting& setting,
                                                    std::span<const int> drawn);
// The side the repeat test compares (0 both, 1 left, 2 right), or -1 for none.
int RepeatSide(const CompareLevelRow& row, const CompareDrawSetting& setting);

// How many different values the repeat test can see among the problems a draw can pose, up to
// `cap` (1 or 2): 0 when the draw can never be met, 1 when every problem repeats the same value
// (the repeat test must then accept the repeat), 2 when there are more. Without a repeat test it
// counts whole problems by their values.
int CountRepeatKeys(const CompareLevelRow& row, const CompareDrawSetting& setting, int cap = 2);

// Every draw setting a row can meet (both histories, each chosen relation, both work sides,
// each picked term).
std::vector<CompareDrawSetting> DrawSettings(const CompareLevelRow& row);

// Why a row cannot be used (a value out of its field's range, a show that needs an expression
// the shape has not, a draw never met), or none.
std::optional<std::string> CheckCompareRow(const CompareLevelRow& row);

struct CompareLevels {
    std::array<CompareLevelRow, kCompareLevels> rows{};
    const CompareLevelRow& Row(int level) const;  // level 1..87; outside it level 1's row
};

// Reads the item (any bytes): the first row of each level 1..87 counts; rows past the item's
// end or its count are not read. Each level left without a usable row gets level 1's row and a
// note naming the level and the reason.
CompareLevels ReadCompareLevels(std::span<const uint8_t> item, std::vector<std::string>& notes);

// The item's bytes: the count, then the rows in the order given.
std::vector<uint8_t> CompareLevelsBytes(std::span<const CompareLevelRow> rows);
std::array<uint16_t, kCompareRowWords> CompareRowWords(const CompareLevelRow& row);
CompareLevelRow CompareRowFromWords(std::span<const uint16_t, kCompareRowWords> words);

}  // namespace media
