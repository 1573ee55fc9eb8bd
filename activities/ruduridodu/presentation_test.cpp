// The presenter setting a task, on the activity kit over the built Zelbo3.res or a copy of it
// whose announcements' switches (phrase template 500) are on: the first task's and a later
// task's presentation per ring class, mark and switch, a click cutting it short at every step,
// the repeat when the presenter is clicked, and the closing praise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/ruduridodu/ruduridodu_kit_test_support.h"
#include "activities/ruduridodu/slot_target.h"
#include "activities/ruduridodu/task_kinds.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "media/sound/snd_encoder.h"

namespace {

using ruduridodutest::Cat;
using ruduridodutest::P;

// A task of the test's making: its rings' values, extras and marks as given, `bin` cars for the
// bin, its layout built from the module's record.
class TestTask : public CTaskKind {
public:
    struct Ring {
        int16_t value;
        int16_t extra = 0;
        bool marked = false;
    };
    TestTask(int16_t layout, const std::vector<Ring>& rings, int16_t bin) : CTaskKind(101, 1, CTaskInputs{}) {
        MakeRecords(layout, static_cast<int16_t>(rings.size()));
        int16_t k = 1;
        for (const Ring& r : rings) {
            CTaskRecord& record = *GetRecord(k++);
            record.SetPlainValue(r.value);
            record.SetExtra(r.extra);
            record.SetMarked(r.marked);
        }
        GetRecord(0)->SetTally(bin);
        m_layout = MakeSlotLayout(layout, this);
        m_layout->Create(static_cast<int16_t>(600 + 10 * (layout - 1) + 1));
    }
};

// Entries 0, 3 and 5 of template 500 on (above 1), the others off.
const std::vector<uint8_t> kSwitchesOn = {3, 0, 1, 0, 1, 0, 3, 0, 1, 0, 3, 0, 1, 0};

class PresentationTest : public activitytest::ActivityTest {
protected:
    // The module over the built file, or over a copy with the switches on; the numbers the
    // switches raise get short sounds of their own.
    void Enter(bool switchesOn) {
        if (switchesOn) {
            media::CResWriter w = ruduridodutest::BuiltModuleFile({{"IPA", 500}});
            w.Add("IPA", 3500, kSwitchesOn);
            for (int16_t v = 11; v <= 44; ++v) {
                for (int raised : {v + 639 + 305, v + 591 + 300, v + 597 + 300}) {
                    if (!w.Has("SND", static_cast<uint16_t>(3000 + raised)))
                        w.Add("SND", static_cast<uint16_t>(3000 + raised), EncodeSndPlain(std::vector<uint8_t>(1500, 0x90)));
                }
            }
            UseModuleFile(kRuduridoduModule, w);
        } else {
            UseBuiltFile(kRuduridoduModule);
        }
        EnterModule(kRuduridoduModule, RuduridoduModuleTable());
    }
    // The task played as the module's round.
    static TestTask* Play(int16_t layout, const std::vector<TestTask::Ring>& rings, int16_t bin) {
        Module3::FreeRound();
        auto task = std::make_unique<TestTask>(layout, rings, bin);
        TestTask* t = task.get();
        Module3::UseRound(std::move(task));
        return t;
    }
    // Whether every ring is out: halo (or the overlap's own picture) empty, plate normal.
    static bool RingsOut(const CRoundTask& task) {
        for (int16_t k = 1; k <= task.ContainerTally(); ++k) {
            CSlotTarget* ring = task.GetContainer(k);
            CCorAnim* halo = ring->HaloSprite() ? ring->HaloSprite() : ring->MainSprite();
            WaitSpriteDone(halo);
            if (GetSpriteFrame(halo) != 2) return false;
            if (const CNumberPlate* plate = ring->Plate()) {
                WaitSpriteDone(plate->Sprite());
                if (GetSpriteFrame(plate->Sprite()) != plate->NormalPicture()) return false;
            }
        }
        return true;
    }
};

// ---- The presentation, whole --------------------------------------------------------------

struct StartCase {
    const char* name;
    bool switchesOn;
    int16_t first;
    int16_t layout;
    std::vector<TestTask::Ring> rings;
    int16_t bin;
    std::vector<int16_t> (*expected)();
};

class PresentationStart : public PresentationTest, public ::testing::WithParamInterface<StartCase> {};

// A later task: 409, then each ring in turn (244 before the second and third), by its class and
// mark, the bin when the task has cars for it (200), and 410. The first task: 401, 402 and the
// rings' own announcements. (The guest plays level 1: the comparisons take their low words.)
TEST_P(PresentationStart, SaysEachRingByItsClassMarkAndSwitches) {
    const StartCase& c = GetParam();
    Enter(c.switchesOn);
    TestTask* task = Play(c.layout, c.rings, c.bin);
    ClearClips();
    EXPECT_EQ(task->Start(c.first), 1);
    EXPECT_EQ(Clips(), c.expected());
    EXPECT_EQ(Module3::View().ready, 1);
    EXPECT_TRUE(RingsOut(*task));
    CPresenter& presenter = *Module3::Presenter();
    EXPECT_EQ(GetSpriteFrame(presenter.Body()), 801);
}

INSTANTIATE_TEST_SUITE_P(
    Ruduridodu, PresentationStart,
    ::testing::Values(
        StartCase{"ColourStickerVehicle", false, 0, 2, {{12}, {23}, {32}}, 0,
                  [] { return Cat({{409}, P(246, 312), P(244, 0), P(246, 323), P(244, 0), P(247, 332), {410}}); }},
        StartCase{"MarkedWithTheBin", false, 0, 2, {{12, 0, true}, {23, 0, true}, {32, 0, true}}, 2,
                  [] {
                      return Cat({{409}, P(245, 317), P(244, 0), P(245, 328), P(244, 0), P(259, 332), {200, 410}});
                  }},
        StartCase{"HornsAndANumber", false, 0, 2, {{41}, {43, 0, true}, {53, 20}}, 0,
                  [] {
                      return Cat({{409, 426, 341}, P(244, 0), {427, 343}, P(244, 0), P(274, 357, 20), {410}});
                  }},
        StartCase{"NumberRules", false, 0, 2, {{51}, {55, 7, true}, {54, 9}}, 0,
                  [] { return Cat({{409}, P(278, 351), P(244, 0), P(276, 0, 7), P(244, 0), P(274, 358, 9), {410}}); }},
        StartCase{"SwitchesOnMarked", true, 0, 2, {{12, 0, true}, {33, 0, true}, {44, 0, true}}, 0,
                  [] {
                      return Cat({{409}, P(245, 12 + 639 + 305), P(244, 0), P(259, 33 + 597 + 300), P(244, 0),
                                  {344, 427, 410}});
                  }},
        StartCase{"SwitchesOnUnmarked", true, 0, 2, {{23}, {32}, {42}}, 1,
                  [] {
                      return Cat({{409}, P(246, 323), P(244, 0), P(247, 32 + 591 + 300), P(244, 0), {342, 426},
                                  {200, 410}});
                  }},
        // Layout 5: the overlap is the third ring; its record stands for nothing, so only 244
        // leads to it.
        StartCase{"TheOverlapSaysNothing", false, 0, 5, {{12}, {32}, {0}}, 0,
                  [] { return Cat({{409}, P(246, 312), P(244, 0), P(247, 332), P(244, 0), {410}}); }},
        StartCase{"TheFirstTask", false, 1, 1, {{12}, {42}}, 1,
                  [] { return Cat({{401, 402}, P(251, 312), {426, 342, 425}, {200, 410}}); }}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

// ---- Cut short ------------------------------------------------------------------------------

// A click during any word of the presentation ends it there: 0, what was said is the whole up
// to that word, the click is taken, no ring stays lit and the child may not act yet (the module
// lets him once it has put the presenter to rest).
TEST_F(PresentationTest, AClickCutsThePresentationShortAtEveryWord) {
    Enter(true);
    TestTask* task = Play(2, {{12, 0, true}, {32}, {42}}, 1);
    CPresenter& presenter = *Module3::Presenter();
    ClearClips();
    ASSERT_EQ(task->Start(0), 1);
    const std::vector<int16_t> whole = Clips();
    ASSERT_GE(whole.size(), 9u);
    for (size_t i = 0; i < whole.size(); ++i) {
        SCOPED_TRACE("a click during word " + std::to_string(i) + ", " + std::to_string(whole[i]));
        presenter.Rest();
        ClearClips();
        // The press comes 20 ms after word i begins (looked for every 5 ms).
        const uint64_t begin = head->NowMs();
        bool pressed = false;
        for (uint64_t t = 0; t < 30000; t += 5) {
            head->At(begin + t, [&, i] {
                if (!pressed && Clips().size() == i + 1) {
                    pressed = true;
                    PressLater(10, 10, 20);
                }
            });
        }
        EXPECT_EQ(task->Start(0), 0);
        const std::vector<int16_t> said = Clips();
        EXPECT_EQ(said, std::vector<int16_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(i + 1)));
        EXPECT_FALSE(IsClickPending(0));
        EXPECT_FALSE(IsSndPlaying(-1));
        EXPECT_EQ(Module3::View().ready, 0);
        EXPECT_TRUE(RingsOut(*task));
        RunFor(30000 - (head->NowMs() - begin));  // the looks all done
    }
}

// ---- The repeat and the praise ----------------------------------------------------------------

// Clicking the presenter repeats the task: he listens, each ring with a plate announces itself,
// the bin is named when the task has cars for it, and he rests; the child may act again.
TEST_F(PresentationTest, ClickingThePresenterRepeatsTheTask) {
    Enter(false);
    for (int16_t bin : {0, 2}) {
        SCOPED_TRACE("cars for the bin: " + std::to_string(bin));
        TestTask* task = Play(1, {{12}, {32}}, bin);
        CPresenter& presenter = *Module3::Presenter();
        presenter.Rest();
        ClearClips();
        ClickSprite(presenter.Body());
        std::vector<int16_t> expected = Cat({P(251, 312), P(272, 332)});
        if (bin > 0) expected.push_back(200);
        EXPECT_EQ(Clips(), expected);
        EXPECT_EQ(Module3::View().ready, 1);
        EXPECT_EQ(GetSpriteFrame(presenter.Body()), 801);
        EXPECT_TRUE(RingsOut(*task));
    }
    // A click during the repeat cuts it short.
    TestTask* task = Play(1, {{12}, {32}}, 2);
    ClearClips();
    PressLater(10, 10, 300);
    EXPECT_EQ(task->RepeatPrompt(), 0);
    EXPECT_LT(Clips().size(), Cat({P(251, 312), P(272, 332), {200}}).size());
    EXPECT_FALSE(IsClickPending(0));
}

// The closing praise: one of the ten praise words, then a praise act; the presenter rests.
TEST_F(PresentationTest, ThePraiseIsOneOfTenWords) {
    Enter(false);
    TestTask* task = Play(1, {{12}, {32}}, 0);
    std::set<int16_t> words;
    for (int i = 0; i < 30; ++i) {
        ClearClips();
        task->EndAct();
        const std::vector<int16_t> said = Clips();
        ASSERT_FALSE(said.empty());
        EXPECT_GE(said.front(), 501);
        EXPECT_LE(said.front(), 510);
        words.insert(said.front());
        EXPECT_EQ(GetSpriteFrame(Module3::Presenter()->Body()), 801);
    }
    EXPECT_GE(words.size(), 5u);
}

}  // namespace
