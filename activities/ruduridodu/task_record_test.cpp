// The task record: the tiles it makes, its choice slots and its value by column.
#include <gtest/gtest.h>

#include <set>

#include "activities/ruduridodu/round_tile.h"
#include "activities/ruduridodu/task_record.h"
#include "platform/core/crt.h"

namespace {

TEST(TaskRecord, RandomAttributesAvoidTheThreeAnswers) {
    CTaskRecord r(0);
    r.SetAnswer(0, 12);
    r.SetAnswer(1, 23);
    r.SetAnswer(2, 24);
    r.SetColumn(40, 43);
    std::set<int16_t> seen[4];
    for (uint32_t seed = 1; seed <= 3000; ++seed) {
        plat::SRand(seed);
        CTaskRecord fresh = r;
        CRoundTile* t = fresh.MakeTile();
        ASSERT_NE(t, nullptr);
        for (int c = 0; c < 4; ++c) seen[c].insert(t->GetAttribute(static_cast<int16_t>(10 * (c + 1))));
        EXPECT_EQ(t->Record(), 0);
        EXPECT_EQ(t->FirstBase(), t->GetAttribute(20) * 10 + t->GetAttribute(10));
        EXPECT_EQ(t->SecondBase(), t->FirstBase() + 4);
        delete t;
    }
    EXPECT_EQ(seen[0], (std::set<int16_t>{11, 13, 14}));
    EXPECT_EQ(seen[1], (std::set<int16_t>{21, 22}));
    EXPECT_EQ(seen[2], (std::set<int16_t>{31, 32, 33, 34}));
    EXPECT_EQ(seen[3], (std::set<int16_t>{43}));
}

TEST(TaskRecord, NineSlotsTakenAddNoIdButStillMarkTheRecord) {
    CTaskRecord r(2);
    std::vector<CRoundTile*> tiles;
    for (int i = 0; i < 10; ++i) tiles.push_back(r.MakeTile());
    for (int i = 0; i < 9; ++i) EXPECT_EQ(r.Choice(i), tiles[static_cast<size_t>(i)]->Id());
    for (CRoundTile* t : tiles) EXPECT_EQ(t->Record(), 2);
    r.RemoveChoice(*tiles[9]);  // never held: nothing changes
    for (int i = 0; i < 9; ++i) EXPECT_EQ(r.Choice(i), tiles[static_cast<size_t>(i)]->Id());
    r.RemoveChoice(*tiles[4]);
    EXPECT_EQ(r.Choice(4), CTaskRecord::kFreeSlot);
    r.AddChoice(*tiles[9]);
    EXPECT_EQ(r.Choice(4), tiles[9]->Id());
    for (CRoundTile* t : tiles) delete t;
}

struct SetValueCase {
    int16_t first, second;
    int16_t column10, column20, column30, column50;
};

class TaskRecordSetValue : public ::testing::TestWithParam<SetValueCase> {};

TEST_P(TaskRecordSetValue, KeepsTheColumnOrEmptiesTheOldOne) {
    const SetValueCase& c = GetParam();
    CTaskRecord r(1);
    r.SetColumns(11, 22, 33, CTaskRecord::kEmpty, CTaskRecord::kEmpty);
    r.SetValue(c.first);
    r.SetValue(c.second);
    EXPECT_EQ(r.Value(), c.second);
    EXPECT_EQ(r.GetColumn(10), c.column10);
    EXPECT_EQ(r.GetColumn(20), c.column20);
    EXPECT_EQ(r.GetColumn(30), c.column30);
    EXPECT_EQ(r.GetColumn(50), c.column50);
}

constexpr int16_t E = CTaskRecord::kEmpty;
INSTANTIATE_TEST_SUITE_P(Ruduridodu, TaskRecordSetValue,
                         ::testing::Values(SetValueCase{21, 24, 11, 24, 33, E},   // within a column
                                           SetValueCase{21, 31, 11, E, 31, E},    // across: the old emptied
                                           SetValueCase{12, 55, E, 22, 33, 55},   // into the rules' column
                                           SetValueCase{21, 0, 11, 21, 33, E}));  // to none: nothing emptied

TEST(TaskRecord, AnswersTakeRuleExtrasOnly) {
    CTaskRecord a(1), b(2), bin(0);
    a.SetValue(53);
    a.SetExtra(17);
    b.SetValue(22);
    b.SetExtra(9);
    bin.TakeAnswersFrom(a, b);
    EXPECT_EQ(bin.GetAnswer(0), 53);
    EXPECT_EQ(bin.GetAnswerExtra(0), 17);
    EXPECT_EQ(bin.GetAnswer(1), 22);
    EXPECT_EQ(bin.GetAnswerExtra(1), 0);
    EXPECT_EQ(bin.GetColumn(60), 0);
    bin.SetColumn(60, 5);  // no such column: nothing changes
    for (int i = 0; i < 6; ++i) EXPECT_EQ(bin.Entry(i), E);
}

}  // namespace
