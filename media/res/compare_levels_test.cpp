#include "media/res/compare_levels.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using media::CompareDrawSetting;
using media::CompareLevelRow;
using media::NumberRange;

// Every problem a draw can pose, found by trying every combination of its slots' values; the
// number of different repeat keys among them (the walk's exact answer), capped.
int BruteForceKeys(const CompareLevelRow& row, const CompareDrawSetting& s, int cap) {
    const auto slots = media::DrawSlots(row, s);
    std::set<long long> keys;
    std::vector<int> k(slots.size(), 0);
    for (const auto& slot : slots)
        if (slot.count == 0) return 0;
    const int side = media::RepeatSide(row, s);
    while (true) {
        std::vector<int> d;
        for (size_t i = 0; i < slots.size(); ++i) d.push_back(slots[i].At(k[i]));
        if (const auto p = media::ComposeCompareProblem(row, s, d)) {
            keys.insert(side == 1 ? p->left : side == 2 ? p->right : p->left * 100000LL + p->right);
        }
        size_t i = 0;
        while (i < slots.size() && ++k[i] == slots[i].count) k[i++] = 0;
        if (i == slots.size()) break;
    }
    return std::min(static_cast<int>(keys.size()), cap);
}

// Small rows of every shape and rule, random ranges and limits: the walk counts what trying
// every combination counts, for every setting the row can meet.
TEST(CompareLevelsWalk, CountsWhatEveryCombinationGives) {
    std::mt19937 random(20261211);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    auto range = [&](int top) {
        const int lo = pick(0, top), hi = pick(lo, std::min(top, lo + pick(0, 12)));
        return NumberRange{static_cast<uint16_t>(lo), static_cast<uint16_t>(hi)};
    };
    int checked = 0, single = 0, never = 0;
    for (int n = 0; n < 1500; ++n) {
        CompareLevelRow row;
        row.shape = static_cast<uint16_t>(pick(1, 5));
        row.tens = static_cast<uint16_t>(pick(0, 3) == 0);
        const int top = row.tens ? 90 : 25;
        row.a = range(top), row.aRecent = range(top), row.b = range(top), row.bRecent = range(top), row.c = range(top);
        row.op = row.shape >= media::kShapeShownExpr ? static_cast<uint16_t>(pick(1, 2)) : uint16_t{media::kOpNone};
        row.limit = static_cast<uint16_t>(pick(0, 30)), row.limitRecent = static_cast<uint16_t>(pick(0, 40));
        row.carry = static_cast<uint16_t>(pick(0, 1));
        row.rightRule = row.shape == media::kShapeLeftExpr   ? static_cast<uint16_t>(pick(1, 4))
                        : row.shape == media::kShapeBothExpr ? static_cast<uint16_t>(pick(5, 7))
                                                             : uint16_t{0};
        row.choice = static_cast<uint16_t>(pick(0, 3));
        row.hidden = static_cast<uint16_t>(pick(0, 1));
        row.distinct = static_cast<uint16_t>(pick(0, 1));
        row.repeat = static_cast<uint16_t>(pick(0, 5));
        for (const CompareDrawSetting& s : media::DrawSettings(row)) {
            const int want = BruteForceKeys(row, s, 2);
            ASSERT_EQ(media::CountRepeatKeys(row, s), want)
                << "shape " << row.shape << " rule " << row.rightRule << " chosen " << s.chosen << " side " << s.workSide;
            ++checked;
            single += want == 1;
            never += want == 0;
        }
    }
    // The rows reach all three answers (never, one key, two or more) often.
    EXPECT_GT(single, 100);
    EXPECT_GT(never, 100);
    EXPECT_GT(checked - single - never, 100);
}

CompareLevelRow TwoNumbers(NumberRange a, uint16_t distinct, uint16_t choice) {
    CompareLevelRow row;
    row.shape = media::kShapeTwoNumbers;
    row.show = media::kShowBothPanels;
    row.a = row.aRecent = row.b = row.bRecent = a;
    row.distinct = distinct;
    row.choice = choice;
    row.relation = choice ? media::kRelationChosen : media::kRelationUnset;
    row.repeat = media::kRepeatBoth;
    return row;
}

struct RowCase {
    const char* name;
    CompareLevelRow row;
    bool usable;
};

class CompareRowCheck : public ::testing::TestWithParam<RowCase> {};

TEST_P(CompareRowCheck, RefusesWhatCannotBePlayed) {
    EXPECT_EQ(media::CheckCompareRow(GetParam().row).has_value(), !GetParam().usable)
        << media::CheckCompareRow(GetParam().row).value_or("");
}

CompareLevelRow With(CompareLevelRow row, void (*change)(CompareLevelRow&)) {
    change(row);
    return row;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CompareRowCheck,
    ::testing::Values(
        RowCase{"LevelOne", media::CompareLevelOneRow(), true},
        RowCase{"FiveToFiveDistinct", TwoNumbers({5, 5}, 1, media::kChoiceNone), false},
        RowCase{"FiveToSixDistinct", TwoNumbers({5, 6}, 1, media::kChoiceNone), true},
        RowCase{"FiveToFiveLargerOrSmaller", TwoNumbers({5, 5}, 0, media::kChoiceThree), false},
        RowCase{"UnknownShape", With(media::CompareLevelOneRow(), [](CompareLevelRow& r) { r.shape = 6; }), false},
        RowCase{"UnknownMode", With(media::CompareLevelOneRow(), [](CompareLevelRow& r) { r.mode = 6; }), false},
        RowCase{"RangeTo1000", With(media::CompareLevelOneRow(), [](CompareLevelRow& r) { r.aRecent.hi = 1000; }), false},
        RowCase{"RangeReversed", With(media::CompareLevelOneRow(), [](CompareLevelRow& r) { r.a = {9, 1}; }), false},
        RowCase{"ExprShownWithoutExpr", With(media::CompareLevelOneRow(), [](CompareLevelRow& r) { r.show = media::kShowExpr; }), false},
        RowCase{"Level88", With(media::CompareLevelOneRow(), [](CompareLevelRow& r) { r.level = 88; }), false},
        // A sum of one-digit terms beside a larger hidden one-digit number needs a sum of 8 at
        // most: terms from 5 and 4 give only 9.
        RowCase{"HiddenNeverLarger", With(media::CompareLevelOneRow(), [](CompareLevelRow& r) {
                    r.shape = media::kShapeShownExpr, r.show = media::kShowExpr, r.op = media::kOpPlus;
                    r.a = r.aRecent = {5, 9}, r.b = r.bRecent = {4, 9};
                    r.limit = r.limitRecent = 9, r.c = {1, 9}, r.hidden = 1, r.choice = media::kChoiceTwo;
                    r.relation = media::kRelationChosen;
                }), false},
        RowCase{"HiddenSometimesLarger", With(media::CompareLevelOneRow(), [](CompareLevelRow& r) {
                    r.shape = media::kShapeShownExpr, r.show = media::kShowExpr, r.op = media::kOpPlus;
                    r.a = r.aRecent = r.b = r.bRecent = {1, 5};
                    r.limit = r.limitRecent = 9, r.c = {1, 9}, r.hidden = 1, r.choice = media::kChoiceTwo;
                    r.relation = media::kRelationChosen;
                }), true}),
    [](const auto& info) { return std::string(info.param.name); });

// A draw with a single problem: its repeat test sees one value, so the generator accepts the
// repeat; a draw with none sees none.
TEST(CompareLevelsWalk, ASingleProblemIsOneKey) {
    CompareLevelRow row = TwoNumbers({5, 6}, 0, media::kChoiceOneOrTwo);
    EXPECT_EQ(media::CountRepeatKeys(row, {false, 1, 2, 0}), 1);  // 6 against 5 only
    EXPECT_EQ(media::CountRepeatKeys(row, {false, 2, 2, 0}), 1);
    row.a = row.aRecent = row.b = row.bRecent = {5, 5};
    EXPECT_EQ(media::CountRepeatKeys(row, {false, 1, 2, 0}), 0);
    row.a = row.aRecent = row.b = row.bRecent = {0, 999};
    EXPECT_EQ(media::CountRepeatKeys(row, {true, 2, 1, 0}), 2);
}

std::vector<CompareLevelRow> AllLevels() {
    std::vector<CompareLevelRow> rows;
    for (uint16_t level = 1; level <= media::kCompareLevels; ++level) {
        CompareLevelRow row = TwoNumbers({10, static_cast<uint16_t>(20 + level)}, 1, media::kChoiceNone);
        row.level = level;
        rows.push_back(row);
    }
    return rows;
}

TEST(CompareLevelsRead, RowsComeBackLevelByLevel) {
    std::vector<CompareLevelRow> rows = AllLevels();
    std::swap(rows[0], rows[40]);  // any order
    std::vector<std::string> notes;
    const media::CompareLevels t = media::ReadCompareLevels(media::CompareLevelsBytes(rows), notes);
    EXPECT_TRUE(notes.empty()) << notes[0];
    for (int level = 1; level <= media::kCompareLevels; ++level) {
        EXPECT_EQ(t.Row(level).level, level);
        EXPECT_EQ(t.Row(level).a.hi, 20 + level);
    }
    EXPECT_EQ(t.Row(0), t.Row(1));
    EXPECT_EQ(t.Row(88), t.Row(1));
}

struct DamageCase {
    const char* name;
    void (*damage)(std::vector<uint8_t>& bytes);
    int level;             // the level that plays level 1's row
    const char* note;      // what its note says
};

class CompareLevelsDamage : public ::testing::TestWithParam<DamageCase> {};

// Byte offset of word w of row i.
size_t At(size_t i, size_t w) { return 2 + (i * media::kCompareRowWords + w) * 2; }

TEST_P(CompareLevelsDamage, TheLevelPlaysLevelOnesRowWithANote) {
    std::vector<uint8_t> bytes = media::CompareLevelsBytes(AllLevels());
    GetParam().damage(bytes);
    std::vector<std::string> notes;
    const media::CompareLevels t = media::ReadCompareLevels(bytes, notes);
    EXPECT_EQ(t.Row(GetParam().level), media::CompareLevelOneRow());
    bool noted = false;
    for (const std::string& n : notes) noted |= n.find(GetParam().note) != std::string::npos;
    EXPECT_TRUE(noted) << (notes.empty() ? "no notes" : notes[0]);
    if (!bytes.empty()) {  // the others stand
        EXPECT_EQ(t.Row(30).a.hi, 50);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Items, CompareLevelsDamage,
    ::testing::Values(
        DamageCase{"FiveToFiveDistinct", [](std::vector<uint8_t>& b) {
                        for (size_t w = 10; w <= 17; ++w) b[At(4, w)] = 5;
                    }, 5, "never met"},
        DamageCase{"UnknownShape", [](std::vector<uint8_t>& b) { b[At(6, 9)] = 9; }, 7, "unknown shape 9"},
        DamageCase{"RangeOutside", [](std::vector<uint8_t>& b) { b[At(8, 15)] = 0xE8, b[At(8, 15) + 1] = 3; }, 9, "0 to 999"},
        DamageCase{"ShortItem", [](std::vector<uint8_t>& b) { b.resize(At(86, 5)); }, 87, "level 87 has no row"},
        DamageCase{"CountTooLarge", [](std::vector<uint8_t>& b) { b.resize(At(86, 0)); }, 87, "holds 86 whole rows of the 87"},
        DamageCase{"LevelTwice", [](std::vector<uint8_t>& b) { b[At(3, 0)] = 3; }, 4, "level 3 is given twice"},
        DamageCase{"Level88", [](std::vector<uint8_t>& b) { b[At(10, 0)] = 88; }, 11, "names level 88"},
        DamageCase{"Empty", [](std::vector<uint8_t>& b) { b.clear(); }, 1, "level 1 has no row"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
