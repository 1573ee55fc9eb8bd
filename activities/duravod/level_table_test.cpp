// The level table read from any bytes, each rule's clamp with its line, and the problem number
// drawn from what the table gives: no range it cannot leave, no flag outside the used numbers.
#include "activities/duravod/level_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "activities/duravod/duravod_state.h"
#include "activities/duravod/shared_routines.h"
#include "media/res/res_mgr.h"
#include "platform/core/crt.h"
#include "platform/fs/dospath.h"

namespace {

using duravod::CLevelTable;
using duravod::LevelRow;

std::vector<uint8_t> TableBytes(const std::vector<LevelRow>& rows, int count = -1) {
    std::vector<uint16_t> values;
    for (const LevelRow& r : rows) values.insert(values.end(), {r.kind, r.lowest, r.highest, r.order, r.groups});
    std::vector<uint8_t> bytes;
    const uint16_t n = static_cast<uint16_t>(count < 0 ? static_cast<int>(values.size()) : count);
    bytes.push_back(static_cast<uint8_t>(n & 0xFF));
    bytes.push_back(static_cast<uint8_t>(n >> 8));
    for (uint16_t v : values) {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    return bytes;
}

struct ClampCase {
    const char* what;
    LevelRow read;
    LevelRow kept;
    size_t lines;
};

class LevelRowClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(LevelRowClamp, KeepsWhatTheKindCanPose) {
    const ClampCase& c = GetParam();
    std::vector<std::string> notes;
    const LevelRow kept = duravod::ClampLevelRow(c.read, notes);
    EXPECT_EQ(kept, c.kept) << c.what << ": " << kept.kind << " " << kept.lowest << " " << kept.highest << " "
                            << kept.order << " " << kept.groups;
    EXPECT_EQ(notes.size(), c.lines) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Duravod, LevelRowClamp,
    ::testing::Values(
        ClampCase{"a good kind-1 row", {1, 1, 3, 1, 1}, {1, 1, 3, 1, 1}, 0},
        ClampCase{"a zero row", {0, 0, 0, 0, 0}, {0, 1, 2, 0, 0}, 2},
        ClampCase{"kind 9 plays kind 1", {9, 4, 8, 0, 0}, {9, 4, 8, 0, 0}, 0},
        ClampCase{"kind 0 with one number", {0, 5, 5, 0, 0}, {0, 4, 5, 0, 0}, 1},
        ClampCase{"highest 30", {1, 10, 30, 0, 1}, {1, 10, 25, 0, 1}, 1},
        ClampCase{"lowest above highest", {3, 12, 4, 0, 0}, {3, 3, 4, 0, 0}, 1},
        ClampCase{"kind 2 lowest 2 with two parts", {2, 2, 6, 0, 2}, {2, 3, 6, 0, 2}, 1},
        ClampCase{"kind 2 lowest 3 with three parts", {2, 3, 6, 0, 3}, {2, 4, 6, 0, 3}, 1},
        ClampCase{"kind 2 groups code 5 may give three", {2, 3, 6, 0, 5}, {2, 4, 6, 0, 5}, 1},
        ClampCase{"kind 2 groups code 4", {2, 5, 9, 0, 4}, {2, 5, 9, 0, 3}, 1},
        ClampCase{"kind 3 lowest 1", {3, 1, 5, 0, 0}, {3, 2, 5, 0, 0}, 1},
        ClampCase{"kind 4 groups code 1", {4, 2, 5, 0, 1}, {4, 2, 5, 0, 2}, 1},
        ClampCase{"kind 4 groups code 6", {4, 2, 5, 0, 6}, {4, 2, 5, 0, 3}, 1},
        ClampCase{"kind 5 asks more splits than 2 has", {5, 2, 6, 0, 4}, {5, 4, 6, 0, 4}, 1},
        ClampCase{"kind 5 code 6 needs 5", {5, 3, 9, 0, 6}, {5, 5, 9, 0, 6}, 1},
        ClampCase{"kind 5 code 0 asks T + 1: at most 14", {5, 5, 20, 0, 0}, {5, 5, 14, 0, 0}, 1},
        ClampCase{"kind 6 groups code 1", {6, 4, 8, 0, 1}, {6, 4, 8, 0, 2}, 1},
        ClampCase{"kind 6: 4 groups between 9 and 11", {6, 9, 11, 0, 4}, {6, 9, 12, 0, 4}, 1},
        ClampCase{"kind 7: 2 groups from 13", {7, 13, 20, 0, 2}, {7, 12, 20, 0, 2}, 1},
        ClampCase{"kind 7: codes 2 to 4 up to 5", {7, 1, 5, 0, 0}, {7, 1, 8, 0, 0}, 1},
        ClampCase{"kind 8: a prime alone", {8, 41, 41, 0, 0}, {8, 41, 42, 0, 0}, 1},
        ClampCase{"kind 8: lowest 60", {8, 60, 80, 0, 0}, {8, 42, 42, 0, 0}, 2},
        ClampCase{"kind 8: highest 1", {8, 1, 1, 1, 0}, {8, 1, 42, 1, 0}, 1}),
    [](const ::testing::TestParamInfo<ClampCase>& info) { return "Case" + std::to_string(info.index); });

TEST(DuravodLevelTable, ReadsWithinTheItemAndLinesNameTheLevel) {
    std::vector<std::string> notes;
    // 3 rows promised 400 values: only the three are read; the second is clamped.
    const CLevelTable t = CLevelTable::Parse(TableBytes({{1, 1, 3, 1, 1}, {1, 10, 30, 0, 1}, {3, 2, 5, 1, 1}}, 400), notes);
    EXPECT_EQ(t.Levels(), 3);
    EXPECT_EQ(t.Row(2), (LevelRow{1, 10, 25, 0, 1}));
    EXPECT_EQ(t.Row(4), LevelRow{});
    EXPECT_EQ(t.Row(0), LevelRow{});
    EXPECT_EQ(t.Row(55), LevelRow{});
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "level 2 (kind 1): highest 30 -> 25");
    // A half row reads zeros for what is missing.
    const CLevelTable half = CLevelTable::Parse(TableBytes({{3, 4, 9, 1, 1}}, 3), notes);
    EXPECT_EQ(half.Row(1), (LevelRow{3, 4, 9, 0, 0}));
    for (const std::vector<uint8_t>& bytes : {std::vector<uint8_t>{}, std::vector<uint8_t>{7}, std::vector<uint8_t>{0xFF, 0xFF}}) {
        EXPECT_EQ(CLevelTable::Parse(bytes, notes).Levels(), 0);
    }
    // 60 levels given: 54 kept.
    const CLevelTable longer = CLevelTable::Parse(TableBytes(std::vector<LevelRow>(60, LevelRow{1, 2, 9, 0, 0})), notes);
    EXPECT_EQ(longer.Levels(), 54);
}

class DuravodPick : public ::testing::Test {
protected:
    void SetUp() override {
        s.UsedNumbers = {};
        s.ProblemNumbers.Clear();
        plat::SRand(7);
    }
    void UseRow(const LevelRow& row) {
        std::vector<std::string> notes;
        s.LevelTable = CLevelTable::Parse(TableBytes({row}), notes);
        s.CurrentLevel = 1;
    }
    duravod::CDuravodState& s = duravod::State();
};

// With all five numbers of 1-5 posed, the tries run out at the sixth: the kind's row is wiped and
// a number other than the previous pick comes, the only one flagged afterwards.
TEST_F(DuravodPick, TheSixthTryWipesTheRowNeverThePreviousPick) {
    UseRow({1, 1, 5, 0, 0});
    for (int round = 0; round < 40; ++round) {
        s.ProblemNumbers.Set(0, 0, static_cast<int16_t>(1 + round % 5));
        const int16_t previous = s.ProblemNumbers.Picked();
        for (int n = 1; n <= 5; ++n) s.UsedNumbers.Set(1, n, true);
        duravod::PickProblemNumber();
        const int16_t picked = s.ProblemNumbers.Picked();
        EXPECT_NE(picked, previous);
        EXPECT_GE(picked, 1);
        EXPECT_LE(picked, 5);
        for (int n = 1; n <= 5; ++n) EXPECT_EQ(s.UsedNumbers.Get(1, n), n == picked) << n;
        EXPECT_TRUE(s.UsedNumbers.InUse());
    }
}

TEST_F(DuravodPick, NeverTwiceRunningWithinTheRangeInTheKindsRow) {
    UseRow({2, 3, 9, 0, 2});
    int16_t previous = 0;
    for (int i = 0; i < 60; ++i) {
        duravod::PickProblemNumber();
        const int16_t picked = s.ProblemNumbers.Picked();
        EXPECT_NE(picked, previous);
        EXPECT_GE(picked, 3);
        EXPECT_LE(picked, 9);
        EXPECT_TRUE(s.UsedNumbers.Get(2, picked));
        EXPECT_FALSE(s.UsedNumbers.Get(1, picked)) << "kind 2 flags its own row";
        previous = picked;
    }
}

// Rows the loader never saw (zeros past the table's end, or a range of one number that is the
// previous pick) give the repeat at once; a kind outside 1-8 flags kind 1's row.
TEST_F(DuravodPick, RangesWithoutAnotherNumberGiveTheRepeat) {
    std::vector<std::string> notes;
    s.LevelTable = CLevelTable::Parse({}, notes);
    s.CurrentLevel = 12;
    for (int i = 0; i < 3; ++i) {
        duravod::PickProblemNumber();
        EXPECT_EQ(s.ProblemNumbers.Picked(), 0);
    }
    EXPECT_TRUE(s.UsedNumbers.Get(1, 0));
    EXPECT_TRUE(s.UsedNumbers.Get(0, 0));
    EXPECT_FALSE(s.UsedNumbers.Get(0, 1));
}

TEST(DuravodNumbers, IndexingOutsideTheTablesIsHarmless) {
    duravod::CProblemNumbers numbers;
    numbers.Set(20, 0, 5);
    numbers.Set(0, 56, 5);
    numbers.Set(-1, 0, 5);
    EXPECT_EQ(numbers.Get(20, 0), 0);
    EXPECT_EQ(numbers.Get(0, -1), 0);
    numbers.Set(19, 55, 9);
    EXPECT_EQ(numbers.Get(19, 55), 9);
    duravod::CUsedNumbers used;
    used.Set(9, 0, true);
    used.Set(1, 26, true);
    used.ClearRow(12);
    EXPECT_FALSE(used.Get(9, 0));
    EXPECT_FALSE(used.Get(1, 26));
    used.Set(8, 25, true);
    EXPECT_TRUE(used.Get(8, 25));
}

}  // namespace

namespace {

// The level table the module ships: 54 levels, none clamped, and each level the chooser starts a
// group with in the band of its kind.
TEST(DuravodData, TheBuiltLevelTableNeedsNoClamp) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo2.res").c_str()), 1);
    ResDirEntry* e = mgr.FindEntry(kResINN, 2061);
    ASSERT_NE(e, nullptr);
    std::vector<uint8_t> bytes(e->size);
    e->readPos = 0;
    ASSERT_TRUE(mgr.LoadItem(bytes.data(), e, e->size));
    std::vector<std::string> notes;
    const CLevelTable t = CLevelTable::Parse(bytes, notes);
    EXPECT_EQ(t.Levels(), 54);
    EXPECT_TRUE(notes.empty()) << notes.front();
    const struct {
        int level, kind;
    } firsts[] = {{1, 1}, {9, 2}, {14, 3}, {19, 4}, {21, 5}, {27, 6}, {30, 7}, {34, 8}};
    for (const auto& f : firsts) EXPECT_EQ(t.Row(f.level).kind, f.kind) << "level " << f.level;
    for (int level = 38; level <= 54; ++level) EXPECT_GE(t.Row(level).highest, t.Row(level).lowest);
}

}  // namespace
