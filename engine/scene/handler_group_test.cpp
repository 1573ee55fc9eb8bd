// Handler groups and the module host: the tree, its timers and its events, through the
// module's function table as the engine calls it.
#include "engine/scene/handler_group.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/scene/module_host.h"
#include "engine/scene/ticks.h"
#include "platform/headless/headless_backend.h"

namespace {

using Log = std::vector<std::string>;

// A group that logs what reaches it and answers `answer` (0: passes on to its children).
class CProbe : public CHandlerGroup {
public:
    CProbe(Log& log, std::string name, int16_t answer = 0, CHandlerGroup* parent = nullptr)
        : CHandlerGroup(parent), m_log(log), m_name(std::move(name)), m_answer(answer) {}
    ~CProbe() override { m_log.push_back("~" + m_name); }
    int16_t OnAnimClicked(CCorAnim* anim, int16_t id) override {
        m_log.push_back("click " + m_name);
        return m_answer ? m_answer : CHandlerGroup::OnAnimClicked(anim, id);
    }
    int16_t OnEvent(int16_t value) override {
        m_log.push_back("event " + m_name + " " + std::to_string(value));
        return m_answer ? m_answer : CHandlerGroup::OnEvent(value);
    }
    void OnTick(int64_t now) override { m_log.push_back("tick " + m_name + " " + std::to_string(now)); }

private:
    Log& m_log;
    std::string m_name;
    int16_t m_answer;
};

class HandlerGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        hl.SetQueryStep(0);
        hl.Advance(16667);  // tick 1000
        ASSERT_EQ(GetTicks(), 1000u);
    }
    plat::HeadlessBackend& hl = plat::InstallHeadless();
    Log log;
};

TEST_F(HandlerGroupTest, APeriodOfThirtyFromTickThousand) {
    CProbe group(log, "g");
    EXPECT_EQ(group.GetNextDue(), kNeverDue);
    group.SetPeriod(30);
    EXPECT_EQ(group.GetNextDue(), 1030);
    EXPECT_EQ(group.OnTimer(1029), 1030);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(group.StepTimer(1030), 1060);
    EXPECT_EQ(log, Log{"tick g 1030"});
}

TEST_F(HandlerGroupTest, ChildrenLowerTheirParentsDueNeverRaiseIt) {
    CProbe root(log, "root");
    CProbe parent(log, "parent", 0, &root);
    parent.SetNextDue(1030);
    EXPECT_EQ(root.GetNextDue(), 1030);
    auto* first = new CProbe(log, "first", 0, &parent);
    first->SetNextDue(1010);
    EXPECT_EQ(parent.GetNextDue(), 1010);
    EXPECT_EQ(root.GetNextDue(), 1010);
    auto* second = new CProbe(log, "second", 0, &parent);
    second->SetNextDue(1050);
    EXPECT_EQ(parent.GetNextDue(), 1010);
    EXPECT_EQ(root.GetNextDue(), 1010);

    // Due at 1010: the parent ticks with the child; without periods nothing is due again, but
    // the second child's 1050 is still the subtree's next.
    EXPECT_EQ(parent.OnTimer(1010), 1050);
    EXPECT_EQ(log, (Log{"tick parent 1010", "tick first 1010"}));
}

TEST_F(HandlerGroupTest, AClickStopsAtTheChildThatHandlesIt) {
    CProbe parent(log, "parent");
    new CProbe(log, "a", 0, &parent);
    new CProbe(log, "b", 1, &parent);
    new CProbe(log, "c", 1, &parent);
    EXPECT_EQ(parent.OnAnimClicked(nullptr, 5), 1);
    EXPECT_EQ(log, (Log{"click parent", "click a", "click b"}));
    EXPECT_EQ(parent.GetChild(3), nullptr);
    EXPECT_EQ(parent.GetChild(-1), nullptr);
}

TEST_F(HandlerGroupTest, DestroyingAGroupDestroysItsSubtreeAndDetachesIt) {
    CProbe parent(log, "parent");
    auto* middle = new CProbe(log, "middle", 0, &parent);
    new CProbe(log, "leaf", 0, middle);
    auto* last = new CProbe(log, "last", 0, &parent);
    delete middle;
    EXPECT_EQ(log, (Log{"~middle", "~leaf"}));  // the subclass first, then its children
    ASSERT_EQ(parent.GetChildCount(), 1);
    EXPECT_EQ(parent.GetChild(0), last);
}

// A module's table as the engine sees it after the host for module 6 is made.
class ModuleHostTest : public HandlerGroupTest {
protected:
    void TearDown() override {
        if (ModuleHostTable(6)->Leave) ModuleHostTable(6)->Leave();
    }
    CModuleHost host{6};
    ModuleFunctionTable& table = *ModuleHostTable(6);
};

TEST_F(ModuleHostTest, FillsTheEntriesItForwards) {
    using Entry = void (*)();
    const auto* entries = reinterpret_cast<const Entry*>(&table);
    for (int i = 0; i < 17; ++i) {
        const bool filled = i == 0 || i == 2 || i >= 6;
        EXPECT_EQ(entries[i] != nullptr, filled) << "entry " << i;
    }
    EXPECT_EQ(GetModuleHost(6), &host);
    EXPECT_EQ(ModuleHostTable(9), nullptr);
    EXPECT_EQ(ModuleHostTable(0), nullptr);
}

TEST_F(ModuleHostTest, ClicksEventsAndLeavingThroughTheTable) {
    table.Enter();
    ASSERT_EQ(CurrentModuleHost(), &host);
    auto* a = new CProbe(log, "a");
    auto* b = new CProbe(log, "b");
    new CProbe(log, "under b", 3, b);
    EXPECT_EQ(host.GetChildCount(), 2);
    EXPECT_EQ(host.GetChild(0), a);

    EXPECT_EQ(table.OnAnimClicked(nullptr, 4), 1);
    EXPECT_EQ(log, (Log{"click a", "click b", "click under b"}));
    log.clear();
    EXPECT_EQ(SpotEventToHost(12), 1);  // b's answer: handled below it
    EXPECT_EQ(log, (Log{"event a 12", "event b 12", "event under b 12"}));

    log.clear();
    table.Leave();
    EXPECT_EQ(log, (Log{"~a", "~b", "~under b"}));
    EXPECT_EQ(host.GetChildCount(), 0);
    EXPECT_EQ(CurrentModuleHost(), nullptr);

    // A second entry starts from an empty tree; with none handling, 0.
    table.Enter();
    new CProbe(log, "again");
    log.clear();
    EXPECT_EQ(table.OnAnimClicked(nullptr, 4), 0);
    EXPECT_EQ(log, Log{"click again"});
    new CProbe(log, "seven", 7);
    EXPECT_EQ(SpotEventToHost(2), 7);  // the answering child's own value
}

TEST_F(ModuleHostTest, TimersRunForDueChildrenOnTick) {
    table.Enter();
    auto* soon = new CProbe(log, "soon");
    auto* later = new CProbe(log, "later");
    soon->SetPeriod(10);
    later->SetPeriod(100);
    hl.Advance(200);  // 12 ticks later
    table.Tick();
    EXPECT_EQ(log, Log{"tick soon 1012"});
    EXPECT_EQ(soon->GetNextDue(), 1022);
}

TEST_F(ModuleHostTest, AGroupJoinsTheHostCurrentWhenItIsMadeAndLeavesThatOne) {
    CModuleHost other(5);
    ModuleHostTable(5)->Enter();
    auto* group = new CProbe(log, "g");
    EXPECT_EQ(other.GetChildCount(), 1);
    EXPECT_EQ(host.GetChildCount(), 0);
    table.Enter();  // module 6 current now
    delete group;   // leaves module 5's host, not the current one
    EXPECT_EQ(other.GetChildCount(), 0);
    table.Leave();
}

TEST(ModuleHostWithoutCurrent, EveryForwarderIsHarmless) {
    plat::InstallHeadless();
    CModuleHost host(3);
    ModuleFunctionTable& t = *ModuleHostTable(3);
    ASSERT_EQ(CurrentModuleHost(), nullptr);
    t.Start();
    t.Tick();
    t.KeyDown(13);
    t.OnScanPoint(3);
    EXPECT_EQ(t.OnAnimClicked(nullptr, 1), 0);
    EXPECT_EQ(t.OnStaticClicked(nullptr, 1), 0);
    EXPECT_EQ(t.OnTextClicked(nullptr, 1), 0);
    EXPECT_EQ(t.BeginLeave(), 0);
    t.OnSecondButton();
    t.Notify(1);
    t.OnAnimCue(nullptr, 0);
    t.Leave();
    EXPECT_EQ(SpotEventToHost(7), 0);
    Log log;
    CProbe orphan(log, "orphan");  // made with no host current: belongs to none
    EXPECT_EQ(host.GetChildCount(), 0);
}

}  // namespace
