// The module on the activity kit (a started engine in virtual time) over the built Zelbo3.res
// or a file made in the test: the stored level read and written back, the level moving with
// solved tasks only, the level chooser, the loader's table, the cars leaving and the idle acts.
#include "activities/ruduridodu/module3.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "engine/base/activity_settings.h"
#include "engine/popups/level_chooser.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/waits.h"
#include "media/sound/snd_encoder.h"

namespace {

class Module3Test : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        CaptureTraces();
    }
    // Enters the module with the stored level in the guest's file; children may change levels.
    void EnterWith(uint16_t stored, uint32_t levelsSaved = 1, uint32_t seed = 1) {
        EnterFromHome(kRuduridoduModule, RuduridoduModuleTable(), {stored, levelsSaved, 1}, seed);
    }
    // A task solved with that many wrong drops.
    static void SolveTask(int mistakes) {
        for (int i = 0; i < mistakes; ++i) Module3::AddTaskMistake();
        Module3::OnTaskSolved();
    }
    // The stored level of module 3 in the guest's preference file (the record, then the block).
    int StoredInFile() const { return StoredLevelInFile(kRuduridoduModule); }
    static const CModule3State& M() { return Module3::View(); }
};

struct StoredCase {
    uint16_t stored;
    int16_t level;
};

class Module3Levels : public Module3Test, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(Module3Levels, TheStoredLevelIsLevelMinusOneHeldToTheLevels) {
    UseBuiltFile(kRuduridoduModule);
    EnterWith(GetParam().stored);
    EXPECT_EQ(M().level, GetParam().level);
    ASSERT_NE(M().currentRound, nullptr);
    if (M().level < kTopLevel) {
        EXPECT_EQ(M().taskIndex, M().level);
    }
    EXPECT_NE(Traces().find("level " + std::to_string(M().level) + ", table index " + std::to_string(M().taskIndex)),
              std::string::npos);
    LeaveModule();
    EXPECT_EQ(*Settings().LevelOf(kRuduridoduModule), GetParam().level - 1);
    EXPECT_EQ(StoredInFile(), GetParam().level - 1);
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, Module3Levels,
                         ::testing::Values(StoredCase{0, 1}, StoredCase{5, 6}, StoredCase{52, 53}, StoredCase{53, 53},
                                           StoredCase{400, 53}, StoredCase{0xFFFF, 1}));

TEST_F(Module3Test, NothingIsWrittenWhileLevelsAreNotSaved) {
    UseBuiltFile(kRuduridoduModule);
    EnterWith(7, 0);
    SolveTask(0);
    SolveTask(0);
    EXPECT_EQ(M().level, 9);
    LeaveModule();
    EXPECT_EQ(*Settings().LevelOf(kRuduridoduModule), 7);
    EXPECT_EQ(StoredInFile(), 7);
}

// The wrong drops of each solved task in turn, and the level after each.
struct JudgeCase {
    const char* what;
    uint16_t stored;
    std::vector<int> mistakes;
    std::vector<int16_t> levels;
};

class Module3Judge : public Module3Test, public ::testing::WithParamInterface<JudgeCase> {};

TEST_P(Module3Judge, TwoGoodRaiseTwoBadLower) {
    const JudgeCase& c = GetParam();
    UseBuiltFile(kRuduridoduModule);
    EnterWith(c.stored);
    for (size_t i = 0; i < c.mistakes.size(); ++i) {
        SolveTask(c.mistakes[i]);
        EXPECT_EQ(M().level, c.levels[i]) << c.what << ", after task " << i;
        ASSERT_NE(M().currentRound, nullptr);
        if (M().level < kTopLevel) {
            EXPECT_EQ(M().taskIndex, M().level);
        } else {
            EXPECT_GE(M().taskIndex, 30);
            EXPECT_LE(M().taskIndex, 52);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ruduridodu, Module3Judge,
    ::testing::Values(JudgeCase{"one good changes nothing", 9, {0}, {10}},
                      JudgeCase{"two good raise", 9, {0, 0}, {10, 11}},
                      JudgeCase{"one wrong drop is good", 9, {1, 1}, {10, 11}},
                      JudgeCase{"two wrong drops are bad", 9, {2, 3}, {10, 9}},
                      JudgeCase{"good, bad, good: nothing", 9, {0, 2, 0, 2}, {10, 10, 10, 10}},
                      JudgeCase{"level 1 stays", 0, {2, 2, 2}, {1, 1, 1}},
                      JudgeCase{"53 stays after two good", 52, {0, 0, 0, 0}, {53, 53, 53, 53}},
                      JudgeCase{"two bad at 53 give 52", 52, {5, 2, 0}, {53, 52, 52}},
                      JudgeCase{"the runs start again after a change", 9, {0, 0, 0, 2, 2}, {10, 11, 11, 11, 10}}),
    [](const ::testing::TestParamInfo<JudgeCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(Module3Test, AbandonedTasksAreNotJudged) {
    UseBuiltFile(kRuduridoduModule);
    EnterWith(4);  // level 5
    SolveTask(0);  // one good task
    Module3::OnLevelChosen(0, 0);
    Module3::OnLevelChosen(0, 0);
    EXPECT_EQ(M().level, 5) << "two cancels";
    ASSERT_NE(M().currentRound, nullptr) << "a cancel still makes a task";
    EXPECT_EQ(M().taskIndex, 5);

    ClickSprite(M().modeButton);
    RunUntil([] { return M().twoPlayerMode == 1; });
    EXPECT_EQ(M().levelMode, 0);
    ClickSprite(M().modeButton);
    RunUntil([] { return M().levelMode == 1; });
    EXPECT_EQ(M().level, 5) << "a mode switch there and back";
    ASSERT_NE(M().currentRound, nullptr);

    for (int i = 0; i < 3; ++i) Module3::AddTaskMistake();
    Module3::OnLevelChosen(1, 9);  // OK to level 10 after the first good task, mistakes pending
    EXPECT_EQ(M().level, 10);
    EXPECT_EQ(M().taskIndex, 10);
    EXPECT_EQ(M().taskMistakes, 0) << "the abandoned task's mistakes are dropped";
    SolveTask(0);
    EXPECT_EQ(M().level, 10) << "an OK restarts the runs";
    SolveTask(0);
    EXPECT_EQ(M().level, 11);
}

TEST_F(Module3Test, ChooserIndexGivesTheLevelAfterIt) {
    UseBuiltFile(kRuduridoduModule);
    EnterWith(20);
    struct Case {
        int16_t index, level;
    };
    for (const Case c : {Case{0, 1}, Case{1, 2}, Case{51, 52}, Case{52, 53}, Case{-3, 1}, Case{300, 53}}) {
        Module3::OnLevelChosen(1, c.index);
        EXPECT_EQ(M().level, c.level) << "index " << c.index;
        EXPECT_NE(M().currentRound, nullptr);
    }
}

// Each task leaves a line in the trace, and each car that drives in one with its record and its
// number.
TEST_F(Module3Test, EachTaskAndEachCarLeaveATraceLine) {
    UseBuiltFile(kRuduridoduModule);
    EnterWith(8);
    const auto carLine = [](const CRoundTile* car) {
        return "Ruduridodu: a car drives in: record " + std::to_string(car->Record()) + ", number " +
               std::to_string(car->Number()) + "\n";
    };
    const auto count = [this](const std::string& line) {
        const std::string all = Traces();
        size_t n = 0;
        for (size_t at = all.find(line); at != std::string::npos; at = all.find(line, at + 1)) ++n;
        return n;
    };
    CRoundTile* first = M().currentRound->GetCurrentTile();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(count(carLine(first)), 1u);
    CRoundTile* next = M().currentRound->NextTile();
    ASSERT_NE(next, nullptr);
    const size_t before = count(carLine(next));
    next->Appear();
    EXPECT_EQ(count(carLine(next)), before + 1);
    EXPECT_NE(Traces().find("Ruduridodu: level 9, table index 9"), std::string::npos);
    LeaveModule();
}

// The level button opens the shared chooser at the current level; Enter keeps it, Escape
// cancels, and either way a new task comes.
TEST_F(Module3Test, TheLevelButtonOpensTheChooserAtTheCurrentLevel) {
    UseBuiltFile(kRuduridoduModule);
    EnterWith(9);  // level 10
    for (const int32_t key : {13, 27}) {
        ClickSprite(M().levelButton);
        ASSERT_TRUE(RunUntil([] { return CLevelChooser::Current() != nullptr; }));
        EXPECT_EQ(M().currentRound, nullptr) << "the task is given up while the chooser is open";
        Key(key);
        ASSERT_TRUE(RunUntil([] { return CLevelChooser::Current() == nullptr && M().currentRound != nullptr; }));
        EXPECT_EQ(M().level, 10) << "key " << key;
        EXPECT_EQ(M().taskIndex, 10);
    }
}

// A module file whose level table is the test's, with the built lists beside it.
class Module3LoaderTable : public Module3Test, public ::testing::WithParamInterface<int> {};

// Table entries by index from 0: the pairs given, the rest of `count` filled with (1, 101).
std::vector<int16_t> Table(size_t count = 53) {
    std::vector<int16_t> v{0, 0};
    for (size_t i = 1; i < count; ++i) {
        v.push_back(1);
        v.push_back(101);
    }
    return v;
}

std::vector<int16_t> Spoiled(size_t index, int16_t type, int16_t topic) {
    std::vector<int16_t> v = Table();
    v[2 * index] = type;
    v[2 * index + 1] = topic;
    return v;
}

struct LoaderCase {
    const char* what;
    std::vector<int16_t> table;
    uint16_t stored;
    int16_t index;  // played; 0: no round
};

const LoaderCase kLoaderCases[] = {
    {"too long: 60 pairs, 53 read", Table(60), 30, 31},
    {"too short: 5 pairs", Table(5), 19, 4},
    {"type 0", Spoiled(12, 0, 103), 11, 11},
    {"type 6", Spoiled(12, 6, 103), 11, 11},
    {"topic 113", Spoiled(12, 2, 113), 11, 11},
    {"kind 1 with topic 111", Spoiled(12, 1, 111), 11, 11},
    {"kind 5 topic 112 at index 20", Spoiled(20, 5, 112), 19, 19},
    {"kind 4 topic 111 at index 44", Spoiled(44, 4, 111), 43, 43},
    {"no complete entry at all", {0, 0, 0, 0, 7, 101}, 1, 0},
    {"no table", {}, 5, 0},
};

TEST_P(Module3LoaderTable, AnEntryWithoutACompleteTaskTakesTheNearestBelow) {
    const LoaderCase& c = kLoaderCases[GetParam()];
    SCOPED_TRACE(c.what);
    media::CResWriter w = ModuleFile(kRuduridoduModule);
    CResMgr built;
    ASSERT_EQ(built.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo3.res").c_str()), 1);
    for (int16_t id : CNumberLists::kGeneratorLists) {
        ResDirEntry* e = built.FindEntry(kResINN, static_cast<uint32_t>(3000 + id));
        ASSERT_NE(e, nullptr);
        std::vector<uint8_t> bytes(e->size);
        e->readPos = 0;
        ASSERT_TRUE(built.LoadItem(bytes.data(), e, e->size));
        w.Add("IN#", 3000 + id, bytes);
    }
    if (!c.table.empty()) {
        std::vector<uint8_t> table;
        plat::AppendLe16(table, static_cast<uint16_t>(c.table.size()));
        for (int16_t v : c.table) plat::AppendLe16(table, static_cast<uint16_t>(v));
        w.Add("IN#", 3200, table);
    }
    UseModuleFile(kRuduridoduModule, w);
    EnterWith(c.stored);
    EXPECT_EQ(M().taskIndex, c.index);
    if (c.index == 0) {
        EXPECT_EQ(M().currentRound, nullptr);
        EXPECT_NE(Traces().find("none below it"), std::string::npos);
        // Nothing acts on the missing round: an idle while, the bin, the presenter, the mode.
        RunFor(12000);
        ClickSprite(M().binSprite);
        ClickSprite(M().modeButton);
        RunFor(2000);
        ClickSprite(M().modeButton);
        RunFor(2000);
        EXPECT_EQ(M().currentRound, nullptr);
        LeaveModule();
        return;
    }
    ASSERT_NE(M().currentRound, nullptr);
    if (c.index != static_cast<int16_t>(c.stored + 1)) {
        EXPECT_NE(Traces().find("makes no complete task, index " + std::to_string(c.index)), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, Module3LoaderTable, ::testing::Range(0, static_cast<int>(std::size(kLoaderCases))));

// The cars leave with sound 740: once for up to 10 cars, twice in a row on one channel for
// more; the wait lasts till the sounds end: a second clip after the first doubles it (on two
// channels the two would play at once).
TEST_F(Module3Test, AllCarsLeaveWithOneSoundOrTwoOnOneChannel) {
    media::CResWriter w = ModuleFile(kRuduridoduModule);
    w.Add("SND", 3740, EncodeSndPlain(std::vector<uint8_t>(2756, 0xC0)));
    UseModuleFile(kRuduridoduModule, w);
    EnterWith(0);
    EXPECT_EQ(M().currentRound, nullptr) << "this file has no level table";
    const auto leave = [this](int tiles) {
        CTileList list;
        for (int i = 0; i < tiles; ++i) {
            auto* t = new CRoundTile;
            t->Init();
            list.InsertRandom(t);
        }
        ClearClips();
        const uint32_t before = GetEngineTicks();
        list.LeaveAll();
        EXPECT_FALSE(IsSndPlaying(-1));
        EXPECT_EQ(Clips(), std::vector<int16_t>(tiles > 10 ? 2 : 1, 740)) << tiles << " tiles";
        return static_cast<int>(GetEngineTicks() - before);
    };
    const int one = leave(1);
    EXPECT_GE(one, 15);
    for (const int tiles : {0, 10}) EXPECT_NEAR(leave(tiles), one, 2) << tiles << " tiles";
    for (const int tiles : {11, 20}) EXPECT_NEAR(leave(tiles), 2 * one, 3) << tiles << " tiles";
}

TEST_F(Module3Test, IdleActsAfterFiveToTenQuietSecondsAndTheLongOneAfterFour) {
    UseBuiltFile(kRuduridoduModule);
    EnterWith(3);
    ASSERT_EQ(M().ready, 1);
    ASSERT_NE(M().presenter, nullptr);
    ASSERT_EQ(M().idleActs, 0);

    const int16_t longTurn = M().presenter->LongIdleTurn();
    uint32_t last = GetEngineTicks();
    for (int act = 1; act <= 4; ++act) {
        ASSERT_TRUE(RunUntil([act] { return M().idleActs >= act; }, 11000)) << "act " << act;
        const uint32_t quiet = GetEngineTicks() - last;
        EXPECT_GT(quiet, 300u) << "act " << act;
        EXPECT_LE(quiet, 602u) << "act " << act;
        last = GetEngineTicks();
        EXPECT_EQ(M().presenter->LongIdleTurn(), longTurn);
    }
    RunFor(40);
    EXPECT_EQ(M().presenter->LongIdleTurn(), longTurn + 1) << "the long act follows at the next tick";
    EXPECT_EQ(M().idleActs, 0);
}

}  // namespace
