// The task generators over the built module file's lists: at every table index, for thousands
// of seeds, every tile meets exactly the containers of its record (a bin tile none), every
// record gets its tally of tiles, and a task makes 6 to 10 cars. Then the edge cases and the
// pickers, and which level table entries make a complete task.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "activities/ruduridodu/ruduridodu_test_support.h"
#include "activities/ruduridodu/task_kinds.h"
#include "platform/core/crt.h"

namespace {

using ruduridodutest::BuiltData;
using ruduridodutest::ContainersMet;
using ruduridodutest::ExpectedContainers;

const BuiltData& Built() {
    static const BuiltData data = ruduridodutest::LoadBuiltData();
    return data;
}

std::string Describe(const CRoundTask& task, const CRoundTile& tile) {
    std::string s = "tile of record " + std::to_string(tile.Record()) + " number " + std::to_string(tile.Number()) +
                    " attributes";
    for (int16_t c = 10; c <= 40; c = static_cast<int16_t>(c + 10)) s += " " + std::to_string(tile.GetAttribute(c));
    for (int16_t k = 0; k <= task.LastRecord(); ++k) {
        const CTaskRecord& r = *task.GetRecord(k);
        s += "; record " + std::to_string(k) + " value " + std::to_string(r.Value()) + " extra " +
             std::to_string(r.GetExtra()) + (r.IsMarked() ? " marked" : "") + " tally " + std::to_string(r.Tally());
    }
    return s;
}

class EveryTableIndex : public ::testing::TestWithParam<int> {};

TEST_P(EveryTableIndex, EveryTileMeetsExactlyItsRecordsContainers) {
    ASSERT_TRUE(Built().ok);
    const int16_t index = static_cast<int16_t>(GetParam());
    const CLevelPair pair = Built().table.At(index);
    ASSERT_TRUE(MakesCompleteTask(pair.type, pair.topic, index));
    CRotation rotation;
    for (uint32_t seed = 1; seed <= 1500; ++seed) {
        plat::SRand(seed * 7919u + static_cast<uint32_t>(index));
        rotation.Draw();
        std::unique_ptr<CTaskKind> task =
            MakeTaskKind(pair.type, pair.topic, index, CTaskInputs{&rotation, &Built().lists});
        ASSERT_NE(task, nullptr);
        task->Prepare();
        ASSERT_EQ(task->RoundType(), pair.type);
        std::map<int, int> perRecord;
        int cars = 0;
        for (const CRoundTile* t = task->Tiles().First(); t; t = t->Link()) {
            ++cars;
            ++perRecord[t->Record()];
            ASSERT_EQ(ContainersMet(*task, *t), ExpectedContainers(pair.type, t->Record()))
                << "seed " << seed << ": " << Describe(*task, *t);
            for (int16_t c = 10; c <= 40; c = static_cast<int16_t>(c + 10)) {
                ASSERT_GE(t->GetAttribute(c), c + 1) << Describe(*task, *t);
                ASSERT_LE(t->GetAttribute(c), c + 4) << Describe(*task, *t);
            }
            if (pair.type == 5 && pair.topic == 112) {
                ASSERT_NE(t->Number(), 0) << Describe(*task, *t);
            }
        }
        for (int16_t k = 0; k <= task->LastRecord(); ++k) {
            ASSERT_LE(task->GetRecord(k)->Tally(), 8);
            ASSERT_EQ(perRecord[k], task->GetRecord(k)->Tally()) << "seed " << seed << " record " << k;
        }
        ASSERT_GE(cars, 6) << "seed " << seed;
        ASSERT_LE(cars, 10) << "seed " << seed;
        ASSERT_EQ(task->TilesNeeded(), cars);
        ASSERT_EQ(task->TaskWord(0), 1 + 2 * cars);
    }
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, EveryTableIndex, ::testing::Range(1, 53));

// Makes the task at the table index of the built table with a seed.
std::unique_ptr<CTaskKind> TaskAt(int16_t index, uint32_t seed, CRotation& rotation) {
    const CLevelPair pair = Built().table.At(index);
    plat::SRand(seed);
    rotation.Draw();
    auto task = MakeTaskKind(pair.type, pair.topic, index, CTaskInputs{&rotation, &Built().lists});
    task->Prepare();
    return task;
}

TEST(TaskKindEdges, Topic101BelowIndex5HasNoBinTilesAndIndex1SharesColourAndType) {
    ASSERT_TRUE(Built().ok);
    CRotation rotation;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        for (int16_t index = 1; index <= 7; ++index) {
            auto task = TaskAt(index, seed, rotation);
            bool binTile = false;
            std::set<int16_t> code20, code30;
            for (const CRoundTile* t = task->Tiles().First(); t; t = t->Link()) {
                binTile = binTile || t->Record() == 0;
                code20.insert(t->GetAttribute(20));
                code30.insert(t->GetAttribute(30));
            }
            EXPECT_EQ(binTile, index >= 5) << "index " << index;
            if (index == 1) {
                EXPECT_EQ(code20.size(), 1u);
                EXPECT_EQ(code30.size(), 1u);
            }
        }
    }
}

TEST(TaskKindEdges, Kind5Topic112AtOtherIndicesAndUnlistedTopicsMakeNothing) {
    ASSERT_TRUE(Built().ok);
    CRotation rotation;
    struct Case {
        int16_t type, topic, index;
    };
    for (const Case c : {Case{5, 112, 20}, Case{5, 112, 49}, Case{1, 111, 5}, Case{4, 111, 44}, Case{5, 109, 35},
                         Case{3, 101, 3}}) {
        EXPECT_FALSE(MakesCompleteTask(c.type, c.topic, c.index));
        plat::SRand(3);
        auto task = MakeTaskKind(c.type, c.topic, c.index, CTaskInputs{&rotation, &Built().lists});
        task->Prepare();
        EXPECT_EQ(task->Tiles().Count(), 0) << c.type << " " << c.topic << " " << c.index;
        EXPECT_EQ(task->NextTile(), nullptr);
        EXPECT_TRUE(task->IsSolved());
    }
    EXPECT_EQ(MakeTaskKind(0, 101, 1, CTaskInputs{&rotation, &Built().lists}), nullptr);
    EXPECT_EQ(MakeTaskKind(6, 101, 1, CTaskInputs{&rotation, &Built().lists}), nullptr);
}

// A kind-4 task whose records take rules by hand, for the pickers.
class PickerTask : public CTaskKind4 {
public:
    PickerTask() : CTaskKind4(111, 41, CTaskInputs{}) { CreateRecords(); }
    CTaskRecord& Record(int k) { return *GetRecord(static_cast<int16_t>(k)); }
};

TEST(TaskKindPickers, Kind4ExtrasForEven52AndBelow54GiveEightToFifteen) {
    PickerTask task;
    task.Record(1).SetBlock4(52);
    task.Record(2).SetBlock4(54);
    std::set<int16_t> seen;
    for (uint32_t seed = 1; seed <= 2000; ++seed) {
        plat::SRand(seed);
        task.PickKind4Extras(20);
        seen.insert(task.Record(2).GetExtra());
        ASSERT_EQ(task.Record(1).GetExtra() % 2, 0);
    }
    EXPECT_EQ(*seen.begin(), 8);
    EXPECT_EQ(*seen.rbegin(), 15);
    EXPECT_EQ(seen.size(), 8u);
}

// Both inner records fixed (rule 55) come with an outer record at 51, 52 or none.
TEST(TaskKindPickers, Kind4InnerFixedNumbersDiffer) {
    PickerTask task;
    for (int16_t rule1 : {int16_t{51}, int16_t{52}, int16_t{54}, CTaskRecord::kEmpty}) {
        task.Record(1).SetBlock4(rule1);
        task.Record(2).SetBlock4(55);
        task.Record(3).SetBlock4(55);
        for (uint32_t seed = 1; seed <= 3000; ++seed) {
            plat::SRand(seed);
            task.PickKind4Extras(20);
            ASSERT_NE(task.Record(2).GetExtra(), task.Record(3).GetExtra()) << "rule " << rule1 << " seed " << seed;
        }
    }
}

TEST(TaskKindLevelTable, NearestCompleteEntryBelow) {
    // Index: 0 (0, 0), 1 (1, 101), 2 (0, 0), 3 (6, 101), 4 (1, 113), 5 (1, 111), 6 (5, 112), 7 (2, 103)
    const CLevelTable table =
        CLevelTable::From(CNumberList::Of({0, 0, 1, 101, 0, 0, 6, 101, 1, 113, 1, 111, 5, 112, 2, 103}));
    ASSERT_EQ(table.Count(), 8);
    struct Case {
        int16_t wanted, played;
    };
    for (const Case c : {Case{1, 1}, Case{2, 1}, Case{3, 1}, Case{6, 1}, Case{7, 7}, Case{30, 7}, Case{52, 7}}) {
        EXPECT_EQ(NearestCompleteIndex(table, c.wanted), c.played) << "wanted " << c.wanted;
    }
    const CLevelTable none = CLevelTable::From(CNumberList::Of({0, 0, 0, 0, 6, 101}));
    EXPECT_EQ(NearestCompleteIndex(none, 2), 0);
    EXPECT_EQ(NearestCompleteIndex(CLevelTable{}, 5), 0);
}

TEST(TaskKindLevelTable, AtMost53PairsAreRead) {
    std::vector<int16_t> values;
    for (int i = 0; i < 60; ++i) {
        values.push_back(1);
        values.push_back(static_cast<int16_t>(101 + i));
    }
    values.push_back(3);  // half a pair
    const CLevelTable table = CLevelTable::From(CNumberList::Of(values));
    EXPECT_EQ(table.Count(), 53);
    EXPECT_EQ(table.At(52).topic, 153);
    EXPECT_EQ(table.At(53).type, 0);
    EXPECT_EQ(CLevelTable::From(CNumberList::Of({1, 101, 2})).Count(), 1);
}

TEST(TaskKindLevelTable, EveryBuiltIndexFrom1To52MakesACompleteTask) {
    ASSERT_TRUE(Built().ok);
    ASSERT_EQ(Built().table.Count(), 53);
    for (int16_t index = 1; index <= 52; ++index) {
        const CLevelPair pair = Built().table.At(index);
        EXPECT_TRUE(MakesCompleteTask(pair.type, pair.topic, index)) << "index " << index;
        EXPECT_EQ(NearestCompleteIndex(Built().table, index), index);
    }
    for (int16_t id : CNumberLists::kGeneratorLists) EXPECT_GT(Built().lists.Get(id).Count(), 0) << "list " << id;
}

}  // namespace
