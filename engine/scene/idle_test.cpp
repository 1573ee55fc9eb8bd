// Idle callbacks on the headless back end's virtual clock (it stands still between waits).
#include "engine/scene/idle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_backend.h"

namespace {

std::vector<std::string> gLog;
CIdleList* gList = nullptr;

void A() { gLog.push_back("A"); }
void B() { gLog.push_back("B"); }
void C() { gLog.push_back("C"); }
void RearmSelf() {
    gLog.push_back("rearm");
    gList->Rearm(&RearmSelf);
}
void RemoveB() {
    gLog.push_back("removeB");
    gList->Remove(&B);
}
void RemoveSelf() {
    gLog.push_back("removeSelf");
    gList->Remove(&RemoveSelf);
}
void EmptyList() {
    gLog.push_back("empty");
    gList->RemoveAll();
}
void MakeTimer() {
    gLog.push_back("make");
    gList->Create(&C, 0);  // due now, made during the call pass
}
void Recurse() {
    gLog.push_back("recurse");
    gList->RunDue();  // as a wait inside a callback would
}

class IdleTest : public ::testing::Test {
protected:
    void SetUp() override {
        hl.SetQueryStep(0);
        hl.Advance(100000);
        gLog.clear();
        gList = &list;
    }
    // Advances the clock by ms and runs one idle step.
    void Step(uint64_t ms) {
        hl.Advance(ms);
        list.RunDue();
    }
    plat::HeadlessBackend& hl = plat::InstallHeadless();
    CIdleList list;
};

TEST_F(IdleTest, ThirtyTicksAre480MsAndTheTimerFiresOnce) {
    CIdle* t = list.Create(&A, 30);
    EXPECT_EQ(t->GetPeriod(), 480);
    Step(479);
    EXPECT_TRUE(gLog.empty());
    Step(1);
    EXPECT_EQ(gLog, std::vector<std::string>{"A"});
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST_F(IdleTest, ADelayOf2048TicksWrapsAndFiresAtTheNextStep) {
    CIdle* t = list.Create(&A, 2048);
    EXPECT_EQ(t->GetPeriod(), -32768);
    Step(0);
    EXPECT_EQ(gLog, std::vector<std::string>{"A"});
}

TEST_F(IdleTest, RearmingKeepsATimerAndPeriodZeroIsRemovedInTheSameStep) {
    list.Create(&RearmSelf, 10);
    Step(160);
    Step(159);
    Step(1);
    EXPECT_EQ(gLog, (std::vector<std::string>{"rearm", "rearm"}));
    EXPECT_EQ(list.GetCount(), 1u);

    list.RemoveAll();
    gLog.clear();
    list.Create(&RearmSelf, 0);
    Step(0);
    EXPECT_EQ(gLog, std::vector<std::string>{"rearm"});
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST_F(IdleTest, DuplicatesReachOnlyTheNewer) {
    CIdle* older = list.Create(&A, 10);
    CIdle* newer = list.Create(&A, 20);
    EXPECT_EQ(list.Find(&A), newer);
    hl.Advance(100);
    list.Rearm(&A);
    EXPECT_EQ(newer->GetDue(), older->GetDue() + 100 + 320 - 160);
    list.Remove(&A);
    EXPECT_EQ(list.Find(&A), older);
    list.AddOrRearm(&A, 99);  // re-arms with its own period
    EXPECT_EQ(older->GetPeriod(), 160);
    EXPECT_EQ(list.GetCount(), 1u);
}

TEST_F(IdleTest, ATimerMadeInACallbackWaitsForTheNextPass) {
    list.Create(&MakeTimer, 0);
    Step(0);
    // C is at the head, due now: not called in this pass, removed in the removal pass.
    EXPECT_EQ(gLog, std::vector<std::string>{"make"});
    EXPECT_EQ(list.GetCount(), 0u);

    gLog.clear();
    list.Create(&MakeTimer, 5);
    Step(80);
    EXPECT_EQ(list.GetCount(), 0u);
}

struct Mutation {
    const char* name;
    void (*first)();  // made first: called last (the head is the newest)
    std::vector<std::string> expected;
    size_t left;
};

class IdleMutation : public IdleTest, public ::testing::WithParamInterface<Mutation> {};

// Three due timers, the last made (called first) changing the list under the pass.
TEST_P(IdleMutation, ThePassSurvivesCallbacksThatChangeTheList) {
    list.Create(&B, 0);
    list.Create(&A, 0);
    list.Create(GetParam().first, 0);
    list.Create(&C, 100);  // not due
    Step(0);
    EXPECT_EQ(gLog, GetParam().expected);
    EXPECT_EQ(list.GetCount(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdleMutation,
    ::testing::Values(Mutation{"RemovesAnotherDueTimer", &RemoveB, {"removeB", "A"}, 1},
                      Mutation{"RemovesItself", &RemoveSelf, {"removeSelf", "A", "B"}, 1},
                      Mutation{"EmptiesTheList", &EmptyList, {"empty"}, 0},
                      Mutation{"RunsTheIdleStepAgain", &Recurse, {"recurse", "A", "B"}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IdleTest, NothingIsLostAfterTwentyHours) {
    hl.Advance(72ull * 3600 * 1000);  // far past where 32-bit milliseconds x 60 wrap
    list.Create(&A, 1);
    Step(15);
    EXPECT_TRUE(gLog.empty());
    Step(1);
    EXPECT_EQ(gLog, std::vector<std::string>{"A"});
}

}  // namespace
