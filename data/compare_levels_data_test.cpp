// The question board's level table in "Zelbo5.res" ('LVL' 5000): read as the game reads it, it
// holds each level 1 to 87 once, every row usable, and each row is the level written out below,
// column by column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/res_item_test_support.h"
#include "media/res/compare_levels.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace {

using namespace media;

// A level's row, written column by column.
struct Row : CompareLevelRow {
    Row(uint16_t lv, uint16_t columns, uint16_t drawShape) {
        level = lv, cols = columns, shape = drawShape;
        a = aRecent = {};
        repeat = kRepeatBoth;
        relation = kRelationUnset;
    }
    Row& Mode(uint16_t m, uint16_t s, uint16_t f = 0) { return mode = m, show = s, follow = f, *this; }
    Row& Or(uint16_t m, uint16_t s, uint16_t f = 0) { return altMode = m, altShow = s, altFollow = f, *this; }
    Row& A(uint16_t lo, uint16_t hi) { return A(lo, hi, lo, hi); }
    Row& A(uint16_t lo, uint16_t hi, uint16_t rlo, uint16_t rhi) { return a = {lo, hi}, aRecent = {rlo, rhi}, *this; }
    Row& B(uint16_t lo, uint16_t hi) { return B(lo, hi, lo, hi); }
    Row& B(uint16_t lo, uint16_t hi, uint16_t rlo, uint16_t rhi) { return b = {lo, hi}, bRecent = {rlo, rhi}, *this; }
    Row& C(uint16_t lo, uint16_t hi) { return c = {lo, hi}, *this; }
    Row& AB(uint16_t lo, uint16_t hi) { return A(lo, hi).B(lo, hi); }
    Row& AB(uint16_t lo, uint16_t hi, uint16_t rlo, uint16_t rhi) { return A(lo, hi, rlo, rhi).B(lo, hi, rlo, rhi); }
    Row& Tens() { return tens = 1, *this; }
    Row& Plus(uint16_t l) { return Plus(l, l); }
    Row& Plus(uint16_t l, uint16_t lr) { return op = kOpPlus, limit = l, limitRecent = lr, *this; }
    Row& Minus() { return op = kOpMinus, limit = limitRecent = 1, *this; }
    Row& NoCarry() { return carry = 1, *this; }
    Row& Compact(uint16_t which) { return compact = which, *this; }
    Row& Right(uint16_t rule) { return rightRule = rule, *this; }
    Row& Choose(uint16_t how) { return choice = how, relation = kRelationChosen, *this; }
    Row& Hidden() { return hidden = 1, *this; }
    Row& Distinct() { return distinct = 1, *this; }
    Row& Repeat(uint16_t side) { return repeat = side, *this; }
    Row& Relation(uint16_t r) { return relation = r, *this; }
};

constexpr uint16_t One = kShapeOneNumber, Two = kShapeTwoNumbers, ShownExpr = kShapeShownExpr,
                   LeftExpr = kShapeLeftExpr, BothExpr = kShapeBothExpr;
constexpr uint16_t Open = kFollowOpen, Sign = kFollowSign;

// Numbers to 9 and to 99 in the same patterns: the two-number levels of 4 to 10 and 17 to 30.
Row Shown(uint16_t lv, uint16_t cols, uint16_t lo, uint16_t hi) {
    return Row(lv, cols, One).A(lo, hi).Repeat(kRepeatShown).Relation(kRelationEqual);
}
Row Relate(uint16_t lv, uint16_t cols, uint16_t lo, uint16_t hi, uint16_t show) {
    return Row(lv, cols, Two).Mode(7, show).AB(lo, hi).Choose(kChoiceThree).Repeat(kRepeatLeftWhenEqual);
}
Row SignShown(uint16_t lv, uint16_t cols, uint16_t lo, uint16_t hi, uint16_t how) {
    return Row(lv, cols, Two).AB(lo, hi).Choose(how).Hidden().Repeat(kRepeatShown);
}
Row SumShown(uint16_t lv, uint16_t mode, uint16_t follow) {
    return Row(lv, 2, ShownExpr).Mode(mode, kShowExpr, follow).Compact(kCompactOpposite).Repeat(kRepeatShown);
}

std::vector<Row> Levels() {
    const uint16_t P = kShowPanel, D = kShowDigits, E = kShowExpr, PP = kShowBothPanels, DP = kShowLeftDigitsRightPanel,
                   DD = kShowBothDigits, EX = kShowLeftExprRightEither, ED = kShowLeftExprRightDigits, EE = kShowBothExpr;
    std::vector<Row> r = {
        Shown(1, 1, 1, 9).Mode(1, P),
        Shown(2, 1, 1, 5).A(1, 5, 6, 9).Mode(4, P, Open),
        Shown(3, 1, 1, 5).A(1, 5, 6, 9).Mode(3, D),
        Row(4, 1, Two).Mode(2, PP).AB(1, 9).Distinct(),
        Row(5, 1, Two).Mode(1, P).AB(1, 9).Distinct().Hidden().Repeat(kRepeatShown).Relation(kRelationFromValues),
        Row(6, 1, Two).Mode(2, DP).AB(1, 5, 6, 9).Distinct(),
        Row(7, 1, Two).Mode(3, D).AB(1, 5, 6, 9).Distinct().Hidden().Repeat(kRepeatShown).Relation(kRelationFromValues),
        Row(8, 1, Two).Mode(4, P, Open).AB(1, 5, 6, 9).Distinct().Hidden().Repeat(kRepeatShown).Relation(kRelationFromValues),
        Row(9, 1, Two).Mode(2, DD).AB(1, 5, 6, 9).Distinct(),
        Row(10, 1, Two).Mode(5, D, Open).AB(1, 9).Distinct().Hidden().Repeat(kRepeatShown).Relation(kRelationFromValues),
    };
    for (uint16_t lv : {11, 12}) {
        r.push_back(Row(lv, 1, ShownExpr).Mode(lv == 11 ? 3 : 5, E, lv == 11 ? 0 : Open).Compact(kCompactOpposite)
                        .AB(1, 5, 1, 9).Plus(6, 9).Repeat(kRepeatShown).Relation(kRelationEqual));
    }
    for (uint16_t lv : {13, 14}) {
        r.push_back(Row(lv, 1, ShownExpr).Mode(lv == 13 ? 3 : 5, E, lv == 13 ? 0 : Open).Compact(kCompactOpposite)
                        .A(1, 5, 6, 9).B(1, 5, 1, 9).Minus().Repeat(kRepeatShown).Relation(kRelationEqual));
    }
    for (uint16_t first : {15, 23}) {
        const uint16_t lo = first == 15 ? 10 : 21, hi = first == 15 ? 20 : 99;
        r.push_back(Shown(first, 2, lo, hi).Mode(1, P));
        r.push_back(Shown(first + 1, 2, lo, hi).Mode(4, P, Open).Or(3, D));
        r.push_back(Row(first + 2, 2, Two).Mode(2, PP).AB(lo, hi).Distinct());
        r.push_back(Row(first + 3, 2, Two).Mode(1, P).AB(lo, hi).Distinct().Hidden()
                        .Repeat(first == 15 ? kRepeatShown : kRepeatRight).Relation(kRelationFromValues));
        r.push_back(Row(first + 4, 2, Two).Mode(2, DP).AB(lo, hi).Distinct());
        r.push_back(SignShown(first + 5, 2, lo, hi, kChoiceTwo).Mode(4, P, Open).Or(3, D));
        r.push_back(Row(first + 6, 2, Two).Mode(2, DD).AB(lo, hi).Distinct());
        r.push_back(SignShown(first + 7, 2, lo, hi, kChoiceTwo).Mode(5, D, Open));
    }
    r.push_back(Row(31, 1, LeftExpr).Mode(2, EX).Compact(kCompactLeft).AB(1, 9).Plus(9).Right(kRightFreeNumber).C(1, 9).Distinct());
    r.push_back(Row(32, 1, LeftExpr).Mode(2, ED).Compact(kCompactLeft).AB(1, 9).Plus(9).Right(kRightTermByChoice).Repeat(kRepeatLeft));
    r.push_back(Row(33, 1, LeftExpr).Mode(2, EX).Compact(kCompactLeft).AB(1, 9).Minus().Right(kRightFreeNumber).C(1, 9).Distinct());
    r.push_back(Row(34, 1, LeftExpr).Mode(2, ED).Compact(kCompactLeft).AB(1, 9).Minus().Right(kRightFirstTerm).Repeat(kRepeatLeft));
    r.push_back(Row(35, 1, ShownExpr).Mode(3, E).Or(5, E, Open).Compact(kCompactOpposite).AB(1, 9).Plus(9).C(1, 9)
                    .Choose(kChoiceTwo).Hidden().Repeat(kRepeatShown));
    r.push_back(Row(36, 1, ShownExpr).Mode(3, E).Or(5, E, Open).Compact(kCompactOpposite).AB(1, 9).Minus().C(1, 9)
                    .Choose(kChoiceTwo).Hidden().Repeat(kRepeatShown));
    r.push_back(SumShown(37, 3, 0).Tens().AB(10, 40, 10, 90).Plus(49, 99).NoCarry().Relation(kRelationEqual));
    r.push_back(SumShown(38, 5, Open).Tens().AB(10, 50, 10, 90).Plus(49, 99).NoCarry().Relation(kRelationEqual));
    r.push_back(SumShown(39, 3, 0).AB(10, 49, 10, 99).Plus(50, 99).NoCarry().Relation(kRelationEqual));
    r.push_back(SumShown(40, 3, 0).Tens().A(10, 50, 50, 90).B(10, 50, 10, 90).Minus().NoCarry().Relation(kRelationEqual));
    r.push_back(SumShown(41, 5, Open).Tens().AB(10, 50, 10, 90).Minus().NoCarry().Relation(kRelationEqual));
    r.push_back(SumShown(42, 3, 0).A(10, 50, 51, 99).B(10, 50, 10, 99).Minus().NoCarry().Relation(kRelationEqual));
    r.push_back(SumShown(43, 3, 0).AB(10, 99).Plus(99).NoCarry().C(10, 99).Choose(kChoiceThree).Hidden());
    r.push_back(SumShown(44, 5, Open).AB(10, 99).Plus(99).NoCarry().C(10, 99).Choose(kChoiceOneOrTwo).Hidden());
    r.push_back(SumShown(45, 3, 0).AB(10, 99).Minus().NoCarry().C(10, 99).Choose(kChoiceThree).Hidden());
    r.push_back(SumShown(46, 5, Open).AB(10, 99).Minus().NoCarry().C(10, 99).Choose(kChoiceOneOrTwo).Hidden());
    r.push_back(Row(47, 2, LeftExpr).Mode(2, EX).Compact(kCompactLeft).Tens().AB(10, 90).Plus(99).Right(kRightFreeNumber).C(10, 90).Distinct());
    r.push_back(Row(48, 2, LeftExpr).Mode(2, ED).Compact(kCompactLeft).AB(10, 99).Plus(99).NoCarry().Right(kRightTermByChoice).Repeat(kRepeatLeft));
    r.push_back(Row(49, 2, LeftExpr).Mode(2, EX).Compact(kCompactLeft).Tens().AB(10, 90).Minus().Right(kRightFreeNumber).C(10, 90).Distinct());
    r.push_back(Row(50, 2, LeftExpr).Mode(2, ED).Compact(kCompactLeft).AB(10, 99).Minus().NoCarry().Right(kRightFirstTerm).Repeat(kRepeatLeft));
    r.push_back(Row(51, 1, BothExpr).Mode(2, EE).Compact(kCompactBoth).AB(1, 9).Plus(9).Right(kRightOwnTerms).Distinct());
    r.push_back(Row(52, 1, BothExpr).Mode(2, EE).Compact(kCompactBoth).AB(1, 9).Minus().Right(kRightOwnTerms).Distinct());
    r.push_back(Row(53, 1, BothExpr).Mode(2, EE).Compact(kCompactBoth).AB(1, 9).Plus(9).Right(kRightSameFirstTerm).C(1, 9).Distinct());
    r.push_back(Row(54, 2, BothExpr).Mode(2, EE).Compact(kCompactBoth).Tens().AB(10, 90).Plus(99).Right(kRightOwnTerms).Distinct());
    r.push_back(Row(55, 2, BothExpr).Mode(2, EE).Compact(kCompactBoth).Tens().AB(10, 90).Minus().Right(kRightOwnTerms).Distinct());
    r.push_back(Relate(56, 1, 1, 9, PP).Mode(7, PP, kFollowDemonstration));
    r.push_back(Relate(57, 1, 1, 9, DD));
    r.push_back(SignShown(58, 1, 1, 9, kChoiceThree).Mode(8, P, Sign));
    r.push_back(SignShown(59, 1, 1, 9, kChoiceThree).Mode(9, D, Sign).Or(10, P, Sign | Open));
    r.push_back(SignShown(60, 1, 1, 9, kChoiceTwo).Mode(11, D, Sign | Open));
    r.push_back(Relate(61, 2, 10, 99, PP));
    r.push_back(Relate(62, 2, 10, 99, DP));
    r.push_back(Relate(63, 2, 10, 99, DD));
    r.push_back(SignShown(64, 2, 10, 99, kChoiceThree).Mode(8, P, Sign));
    r.push_back(SignShown(65, 2, 10, 99, kChoiceThree).Mode(9, D, Sign).Or(10, P, Sign | Open));
    r.push_back(SignShown(66, 2, 10, 99, kChoiceTwo).Mode(11, D, Sign | Open));
    r.push_back(Shown(67, 3, 100, 200).Mode(8, P, Sign));
    r.push_back(Shown(68, 3, 100, 200).Mode(9, D, Sign).Or(10, P, Sign | Open));
    r.push_back(Relate(69, 3, 100, 200, PP));
    r.push_back(Relate(70, 3, 100, 200, DP));
    r.push_back(Relate(71, 3, 100, 200, DD));
    r.push_back(Shown(72, 3, 201, 999).Mode(8, P, Sign));
    r.push_back(Shown(73, 3, 201, 999).Mode(9, D, Sign).Or(10, P, Sign | Open));
    r.push_back(Relate(74, 3, 201, 999, PP).Repeat(kRepeatNone));
    r.push_back(Relate(75, 3, 201, 999, DP).Repeat(kRepeatNone));
    r.push_back(Relate(76, 3, 201, 999, DD).Repeat(kRepeatNone));
    r.push_back(SignShown(77, 3, 100, 999, kChoiceThree).Mode(8, P, Sign).Repeat(kRepeatNone));
    r.push_back(SignShown(78, 3, 100, 999, kChoiceThree).Mode(9, D, Sign).Or(10, P, Sign | Open).Repeat(kRepeatNone));
    r.push_back(SignShown(79, 3, 100, 999, kChoiceTwo).Mode(11, D, Sign | Open).Repeat(kRepeatNone));
    r.push_back(Row(80, 2, BothExpr).Mode(7, EE).Compact(kCompactBoth).Tens().AB(10, 90).Plus(99).Right(kRightSwapped)
                    .Repeat(kRepeatNone).Relation(kRelationEqual));
    r.push_back(Row(81, 2, BothExpr).Mode(7, EE).Compact(kCompactBoth).AB(10, 99).Plus(99).NoCarry().Right(kRightSwapped)
                    .Repeat(kRepeatNone).Relation(kRelationEqual));
    r.push_back(Row(82, 2, BothExpr).Mode(7, EE).Compact(kCompactBoth).Tens().AB(10, 90).C(10, 90).Plus(99)
                    .Right(kRightSameFirstTerm).Choose(kChoiceTwo).Repeat(kRepeatNone));
    r.push_back(Row(83, 2, BothExpr).Mode(7, EE).Compact(kCompactBoth).AB(10, 99).C(10, 99).Plus(99).NoCarry()
                    .Right(kRightSameFirstTerm).Choose(kChoiceTwo).Repeat(kRepeatNone));
    r.push_back(Row(84, 2, LeftExpr).Mode(7, EX).Compact(kCompactLeft).AB(10, 99).Plus(99).NoCarry().Right(kRightByRelation)
                    .C(10, 99).Choose(kChoiceThree).Repeat(kRepeatNone));
    r.push_back(Row(85, 2, LeftExpr).Mode(7, EX).Compact(kCompactLeft).AB(10, 99).Minus().NoCarry().Right(kRightByRelation)
                    .C(10, 99).Choose(kChoiceThree).Repeat(kRepeatNone));
    r.push_back(SumShown(86, 9, Sign).Or(11, E, Sign | Open).AB(10, 99).Plus(99).NoCarry().C(10, 99).Choose(kChoiceThree)
                    .Hidden().Repeat(kRepeatNone));
    r.push_back(SumShown(87, 9, Sign).Or(11, E, Sign | Open).AB(10, 99).Minus().NoCarry().C(10, 99).Choose(kChoiceThree)
                    .Hidden().Repeat(kRepeatNone));
    return r;
}

TEST(CompareLevelsData, EveryLevelIsItsRowColumnByColumn) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo5.res").c_str()), 1);
    const datatest::Bytes item = datatest::ReadItem(mgr, ResType("LVL"), 5000);
    ASSERT_FALSE(item.empty());
    std::vector<std::string> notes;
    const CompareLevels table = ReadCompareLevels(item, notes);
    EXPECT_TRUE(notes.empty()) << notes[0];
    EXPECT_EQ(datatest::Le16(item, 0), kCompareLevels);
    std::vector<int> seen(kCompareLevels + 1, 0);
    for (int i = 0; i < kCompareLevels; ++i) ++seen[static_cast<size_t>(datatest::Le16(item, 2 + i * kCompareRowWords * 2))];
    const std::vector<Row> want = Levels();
    ASSERT_EQ(want.size(), static_cast<size_t>(kCompareLevels));
    for (int level = 1; level <= kCompareLevels; ++level) {
        EXPECT_EQ(seen[static_cast<size_t>(level)], 1) << level;
        const CompareLevelRow& w = want[static_cast<size_t>(level - 1)];
        ASSERT_EQ(w.level, level);
        const auto got = CompareRowWords(table.Row(level));
        const auto expected = CompareRowWords(w);
        for (size_t k = 0; k < kCompareRowWords; ++k) EXPECT_EQ(got[k], expected[k]) << "level " << level << " word " << k;
    }
}

}  // namespace
