#include "engine/scene/cor_anim.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/scene/anim_list.h"
#include "engine/scene/scene_test_support.h"
#include "media/res/sprite.h"
#include "media/util/mono_debug.h"

namespace {

using namespace media;
using scenetest::Bytes;

struct Instr {
    int16_t op;
    uint32_t operand;
};

// One pass of the runner at a tick, and what must hold after it.
struct Pass {
    uint64_t now;
    int state;
    std::function<void(const CCorAnim&, scenetest::CFakeSceneHost&)> check = nullptr;
};

struct ScriptCase {
    const char* name;
    int32_t picture;  // shown at creation (absolute)
    std::vector<Instr> script;
    std::vector<Pass> passes;
    std::function<void(scenetest::CFakeSceneHost&)> before = nullptr;
};

class ScriptTest : public ::testing::TestWithParam<ScriptCase> {
protected:
    void SetUp() override { res.Open(); }
    scenetest::CSceneResources res;
    scenetest::CFakeSceneHost host;
};

POINT At(const CCorAnim& a) { return a.GetPosition(); }

TEST_P(ScriptTest, RunsAsTheTimelineSays) {
    const ScriptCase& c = GetParam();
    if (c.before) c.before(host);
    CAnimList list;
    CCorAnim* anim = list.Create(c.picture, POINT{100, 100});
    for (const Instr& i : c.script) anim->AddInstr(i.op, i.operand);
    for (size_t k = 0; k < c.passes.size(); ++k) {
        SCOPED_TRACE("pass " + std::to_string(k) + " at tick " + std::to_string(c.passes[k].now));
        host.now = c.passes[k].now;
        host.invalidated.clear();
        anim->RunScript(host.now);
        EXPECT_EQ(anim->GetScriptState(), c.passes[k].state);
        if (c.passes[k].check) c.passes[k].check(*anim, host);
    }
}

const uint32_t kLoop3x3 = PackAnimLoop(3, 3, -3);
const uint32_t kLoop3x0 = PackAnimLoop(3, 0, -3);

const ScriptCase kScriptCases[] = {
    {"ShowWaitNop", 2, {{kAnimShowPicture, 12}, {kAnimWait, 10}, {kAnimNop, 0}},
     {{0, kAnimRunning,
       [](const CCorAnim& a, auto&) {
           EXPECT_EQ(a.GetPictureId(), 3012);
           EXPECT_EQ(a.GetWakeTime(), 10u);
       }},
      {9, kAnimRunning},
      {10, kAnimFinished, [](const CCorAnim& a, auto&) { EXPECT_TRUE(a.GetScript().empty()); }}}},
    {"TrailingWaitEndsAtOnce", 2, {{kAnimShowPicture, 12}, {kAnimWait, 10}},
     {{0, kAnimFinished, [](const CCorAnim& a, auto&) { EXPECT_TRUE(a.GetScript().empty()); }}}},
    {"ShowPictureAlreadyShownNeitherReloadsNorInvalidates", 3012, {{kAnimShowPicture, 12}, {kAnimHold, 1}},
     {{0, kAnimHeld,
       [](const CCorAnim& a, auto& h) {
           EXPECT_TRUE(h.invalidated.empty());
           EXPECT_EQ(a.GetPictureId(), 3012);
       }}}},
    {"ShowPictureOfAnotherInvalidatesOldAndNew", 3012, {{kAnimShowPicture, 13}, {kAnimHold, 1}},
     {{0, kAnimHeld, [](const CCorAnim& a, auto& h) {
           EXPECT_EQ(h.invalidated.size(), 2u);
           EXPECT_EQ(a.GetPictureId(), 3013);
       }}}},
    // The body (two moves) runs three times, and the loop's C is reloaded with N.
    {"LoopThreeTimes", 3012, {{kAnimMoveBy, PackAnimPoint(1, 0)}, {kAnimMoveBy, PackAnimPoint(0, 1)}, {kAnimLoop, kLoop3x3}, {kAnimHold, 1}},
     {{0, kAnimHeld, [](const CCorAnim& a, auto&) {
           EXPECT_EQ(At(a).x, 103);
           EXPECT_EQ(At(a).y, 103);
           EXPECT_EQ(AnimLoopC(a.GetScript()[2].operand), 3u);
       }}}},
    {"LoopFromZeroRunsOnceAndReloads", 3012, {{kAnimMoveBy, PackAnimPoint(1, 0)}, {kAnimMoveBy, PackAnimPoint(0, 1)}, {kAnimLoop, kLoop3x0}, {kAnimHold, 1}},
     {{0, kAnimHeld, [](const CCorAnim& a, auto&) {
           EXPECT_EQ(At(a).x, 101);
           EXPECT_EQ(At(a).y, 101);
           EXPECT_EQ(AnimLoopC(a.GetScript()[2].operand), 3u);
       }}}},
    // Endless; every pass is cut after the instruction budget, so the object goes on next time.
    {"RestartLastIsEndless", 3012, {{kAnimMoveBy, PackAnimPoint(1, 0)}, {kAnimRestart, 0}},
     {{0, kAnimEndless, [](const CCorAnim& a, auto&) { EXPECT_EQ(At(a).x, 100 + kMaxInstructionsPerPass / 2); }},
      {1, kAnimEndless, [](const CCorAnim& a, auto&) { EXPECT_EQ(At(a).x, 100 + kMaxInstructionsPerPass); }}}},
    {"YieldBeforeRestartIsOneCyclePerPass", 3012, {{kAnimMoveBy, PackAnimPoint(1, 0)}, {kAnimYield, 0}, {kAnimRestart, 0}},
     {{0, kAnimEndless, [](const CCorAnim& a, auto&) { EXPECT_EQ(At(a).x, 101); }},
      {0, kAnimEndless, [](const CCorAnim& a, auto&) { EXPECT_EQ(At(a).x, 102); }},
      {0, kAnimEndless, [](const CCorAnim& a, auto&) { EXPECT_EQ(At(a).x, 103); }}}},
    {"LoopForEverIsEndless", 3012, {{kAnimMoveBy, PackAnimPoint(1, 0)}, {kAnimWait, 1}, {kAnimLoop, PackAnimLoop(4095, 4095, -3)}},
     {{0, kAnimEndless, [](const CCorAnim& a, auto&) { EXPECT_EQ(At(a).x, 101); }},
      {1, kAnimEndless, [](const CCorAnim& a, auto&) { EXPECT_EQ(At(a).x, 102); }}}},
    // Marked at creation (tick 5 here) and again by MarkTime at 5: held until 35.
    {"WaitSinceMarkWaitsOnItself", 3012, {{kAnimMarkTime, 0}, {kAnimWaitSinceMark, PackAnimTimedBranch(30, -1)}, {kAnimNop, 0}},
     {{5, kAnimRunning, [](const CCorAnim& a, auto&) {
           EXPECT_EQ(a.GetMarkTime(), 5u);
           EXPECT_EQ(a.GetIndex(), 1);
       }},
      {34, kAnimRunning, [](const CCorAnim& a, auto&) { EXPECT_EQ(a.GetIndex(), 1); }},
      {35, kAnimFinished}}},
    // Channel 3 plays: the jump comes back to the same instruction until the sound ends.
    {"JumpIfSoundWaitsForAPlayingChannel", 3012, {{kAnimPlaySound, 5}, {kAnimJumpIfSound, static_cast<uint32_t>(-1)}, {kAnimMoveBy, PackAnimPoint(1, 0)}, {kAnimHold, 1}},
     {{0, kAnimRunning, [](const CCorAnim& a, auto& h) {
           EXPECT_EQ(a.GetSoundChannel(), 3);
           EXPECT_EQ(a.GetIndex(), 1);
           EXPECT_EQ(At(a).x, 100);
           h.playing.clear();  // the sound ends
       }},
      {1, kAnimHeld, [](const CCorAnim& a, auto&) { EXPECT_EQ(At(a).x, 101); }}}},
    {"WaitSoundOfTheObjectsChannel", 3012, {{kAnimPlayNewSound, 5}, {kAnimWaitSound, 0}, {kAnimHold, 1}},
     {{0, kAnimRunning, [](const CCorAnim& a, auto& h) {
           EXPECT_EQ(a.GetIndex(), 1);
           h.playing.clear();
       }},
      {1, kAnimHeld}}},
    {"StepPictureMovesThroughIds", 2, {{kAnimShowPicture, 12}, {kAnimStepPicture, 2}, {kAnimHold, 1}, {kAnimStepPicture, static_cast<uint32_t>(-1)}, {kAnimHold, 2}},
     {{0, kAnimHeld, [](const CCorAnim& a, auto&) {
           EXPECT_EQ(a.GetPictureId(), 3014);
           ASSERT_NE(a.GetPicture(), nullptr);
           EXPECT_EQ(a.GetPicture()->GetId(), 3014);
       }}}},
    {"StepPictureWithoutAPictureDoesNothing", 2, {{kAnimStepPicture, 1}, {kAnimHold, 1}},
     {{0, kAnimHeld, [](const CCorAnim& a, auto&) { EXPECT_EQ(a.GetPictureId(), 2); }}}},
    // A jump before the start stops the object for good; one beyond the end finishes it.
    {"JumpBeforeTheStartStopsForGood", 3012, {{kAnimLoop, PackAnimLoop(0, 4095, -100)}, {kAnimNop, 0}},
     {{0, kAnimFinished, [](const CCorAnim& a, auto&) { EXPECT_LT(a.GetIndex(), 0); }}}},
    {"JumpBeyondTheEndFinishes", 3012, {{kAnimLoop, PackAnimLoop(0, 4095, 100)}, {kAnimNop, 0}},
     {{0, kAnimFinished, [](const CCorAnim& a, auto&) { EXPECT_TRUE(a.GetScript().empty()); }}}},
    // A lone Restart never ends a pass by itself: the budget ends it.
    {"LoneRestartIsCutEachPass", 3012, {{kAnimRestart, 0}},
     {{0, kAnimEndless}, {1, kAnimEndless}}},
    {"LoopForEverWithoutAWaitIsCutEachPass", 3012, {{kAnimNop, 0}, {kAnimLoop, PackAnimLoop(4095, 4095, -2)}},
     {{0, kAnimEndless}}},
    // Each change of picture weighs as much as many instructions: a pass of a loop that swaps
    // two pictures ends after a hundred changes (each invalidates before and after).
    {"PictureChangesAreCutSoonerEachPass", 3012, {{kAnimSwapPicture, 13}, {kAnimSwapPicture, 12}, {kAnimRestart, 0}},
     {{0, kAnimEndless, [](const CCorAnim&, auto& h) {
           EXPECT_EQ(h.invalidated.size(), 2u * kMaxInstructionsPerPass / kPictureChangeCost);
       }}}},
};

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptTest, ::testing::ValuesIn(kScriptCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A damaged script's operands at the limits: the arithmetic cannot overflow (UndefinedBehavior-
// Sanitizer would stop the test), and each result is held to the range of what it sets.
TEST(ScriptOperands, ArithmeticIsHeldToItsRange) {
    scenetest::CSceneResources res;
    res.Open();
    scenetest::CFakeSceneHost host;
    const uint64_t kLastTick = std::numeric_limits<uint64_t>::max();
    const struct {
        const char* what;
        std::vector<Instr> script;
        int passes;
        uint64_t now;
        std::function<void(const CCorAnim&)> check;
    } cases[] = {
        {"a picture step past the largest id", {{kAnimStepPicture, 0x7FFFFFFE}, {kAnimHold, 1}}, 1, 0,
         [](const CCorAnim& a) { EXPECT_EQ(a.GetPictureId(), std::numeric_limits<int32_t>::max()); }},
        {"moves for ever, right and up", {{kAnimMoveBy, PackAnimPoint(32767, -32768)}, {kAnimLoop, PackAnimLoop(4095, 4095, -2)}}, 30, 0,
         [](const CCorAnim& a) {
             EXPECT_EQ(At(a).x, kAnimPositionLimit);
             EXPECT_EQ(At(a).y, -kAnimPositionLimit);
         }},
        {"moves for ever, left and down", {{kAnimMoveBy, PackAnimPoint(-32768, 32767)}, {kAnimLoop, PackAnimLoop(4095, 4095, -2)}}, 30, 0,
         [](const CCorAnim& a) {
             EXPECT_EQ(At(a).x, -kAnimPositionLimit);
             EXPECT_EQ(At(a).y, kAnimPositionLimit);
         }},
        {"the longest wait at the last tick", {{kAnimWait, 0xFFFFFFFF}, {kAnimNop, 0}}, 1, kLastTick - 5,
         [](const CCorAnim& a) {
             EXPECT_EQ(a.GetWakeTime(), std::numeric_limits<uint64_t>::max());
             EXPECT_EQ(a.GetScriptState(), kAnimRunning) << "still waiting";
         }},
        {"a timed branch far before the start", {{kAnimWaitSinceMark, PackAnimTimedBranch(32767, -32768)}, {kAnimNop, 0}}, 1, 0,
         [](const CCorAnim& a) { EXPECT_EQ(a.GetScriptState(), kAnimFinished); }},
        {"a jump far beyond the end", {{kAnimPlaySound, 5}, {kAnimJumpIfSound, 0x7FFFFFFF}, {kAnimNop, 0}}, 1, 0,
         [](const CCorAnim& a) { EXPECT_TRUE(a.GetScript().empty()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CAnimList list;
        CCorAnim* anim = list.Create(3012, POINT{100, 100});
        for (const Instr& i : c.script) anim->AddInstr(i.op, i.operand);
        host.now = c.now;
        for (int pass = 0; pass < c.passes; ++pass) anim->RunScript(host.now);
        c.check(*anim);
        RECT bounds;
        anim->GetBounds(bounds);
        anim->Invalidate();
    }
}

// Operands are resolved as they are appended, in the current module (3 here).
TEST(ScriptOperands, ResolvedInTheCurrentModule) {
    scenetest::CSceneResources res;
    res.Open();
    scenetest::CFakeSceneHost host;
    host.origin = POINT{100, 50};
    CAnimList list;
    CCorAnim* a = list.Create(2, POINT{0, 0});

    const struct {
        int16_t op;
        uint32_t given;
        uint32_t resolved;
    } cases[] = {
        {kAnimShowPicture, 12, 3012},
        {kAnimShowPicture, 3013, 3013},  // already absolute for the module
        {kAnimSwapPicture, 14, 3014},
        {kAnimPlaySound, static_cast<uint32_t>(-12), static_cast<uint32_t>(-3012)},
        {kAnimPlayNewSound, 990, 3990},
        {kAnimPlaySound, static_cast<uint32_t>(-3012), static_cast<uint32_t>(-3012)},
        {kAnimWaitSound, 7, 3007},
        {kAnimMoveTo, PackAnimPoint(40, 80), PackAnimPoint(140, 130)},
        {kAnimMoveBy, PackAnimPoint(40, -80), PackAnimPoint(40, -80)},
        {kAnimWait, 3012, 3012},
        {kAnimCue, 12, 12},
    };
    for (const auto& c : cases) {
        const int index = a->AddInstr(c.op, c.given);
        EXPECT_EQ(a->GetScript()[static_cast<size_t>(index)].operand, c.resolved) << "opcode " << c.op << " operand " << c.given;
    }
    // Pictures of ShowPicture are loaded into the item cache now; SwapPicture's are not.
    ASSERT_NE(res.host.cache.Find(3012), nullptr);
    EXPECT_TRUE(static_cast<CSprite*>(res.host.cache.Find(3012))->IsLoaded());
    EXPECT_EQ(res.host.cache.Find(3014), nullptr);
    // Sounds of the two plays are preloaded, by their module-relative ids.
    EXPECT_EQ(host.preloaded, (std::vector<int16_t>{-12, 990, -3012}));
    // AddInstrXY packs without resolving.
    const int xy = a->AddInstrXY(kAnimMoveTo, 40, 80);
    EXPECT_EQ(a->GetScript()[static_cast<size_t>(xy)].operand, PackAnimPoint(40, 80));
}

// Loading 'ANI' items: records up to the end record, each resolved; the faults of damaged
// and missing items lose nothing else.
TEST(LoadScript, AppendsTheItemsRecordsAndSurvivesDamagedOnes) {
    scenetest::CSceneResources res;
    res.Add("ANI", 30, scenetest::Script({{kAnimShowPicture, 12}, {kAnimMoveTo, PackAnimPoint(1, 2)}, {kAnimWait, 5}}));
    // After the end record: not part of the script.
    Bytes tail = scenetest::Script({{kAnimShowPicture, 13}});
    const Bytes more = scenetest::Script({{kAnimNop, 0}});
    tail.insert(tail.end(), more.begin(), more.end());
    res.Add("ANI", 31, tail);
    // No end record, and a size that is not a whole number of records.
    Bytes cut;
    AppendAnimRecord(cut, kAnimShowPicture, 14);
    AppendAnimRecord(cut, kAnimYield, 0);
    cut.push_back(0x03);
    cut.push_back(0x00);
    res.Add("ANI", 32, cut);
    res.Open();
    scenetest::CFakeSceneHost host;
    host.origin = POINT{10, 20};
    CAnimList list;

    struct Expected {
        int16_t op;
        uint32_t operand;
    };
    const struct {
        int32_t id;
        std::vector<Expected> records;
    } cases[] = {
        {3030, {{kAnimShowPicture, 3012}, {kAnimMoveTo, PackAnimPoint(11, 22)}, {kAnimWait, 5}}},
        {3031, {{kAnimShowPicture, 3013}}},
        {3032, {{kAnimShowPicture, 3014}, {kAnimYield, 0}}},
        {3033, {}},  // no such item
        {9033, {}},  // no such module
        {-3030, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        CCorAnim* a = list.Create(2, POINT{0, 0});
        a->AddInstr(kAnimNop, 0);
        a->LoadScript(c.id);
        ASSERT_EQ(a->GetScript().size(), 1 + c.records.size());
        for (size_t k = 0; k < c.records.size(); ++k) {
            EXPECT_EQ(a->GetScript()[k + 1].opcode, c.records[k].op);
            EXPECT_EQ(a->GetScript()[k + 1].operand, c.records[k].operand);
        }
    }
}

TEST(LoadScript, AMissingItemWritesATraceLine) {
    scenetest::CSceneResources res;
    res.Open();
    scenetest::CFakeSceneHost host;
    CAnimList list;
    CCorAnim* a = list.Create(2, POINT{0, 0});
    const std::string trace = (std::filesystem::temp_directory_path() /
                               ("zelbo-anim-trace-" + std::to_string(std::random_device{}()) + ".txt"))
                                  .string();
    std::filesystem::remove(trace);
    setenv("ZELBO_TRACE", trace.c_str(), 1);
    MonoDebugOpen();
    a->LoadScript(3099);
    MonoDebugClose();
    unsetenv("ZELBO_TRACE");
    std::ifstream in(trace);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("3099"), std::string::npos) << text;
    EXPECT_TRUE(a->GetScript().empty());
    std::filesystem::remove(trace);
}

// A CallFunction read from a resource names no function of ours: it does nothing. Code's
// CallFunction calls its function.
int g_called = 0;
void CountCall() { ++g_called; }

TEST(CallFunction, OnlyCodesFunctionIsCalled) {
    scenetest::CSceneResources res;
    res.Add("ANI", 40, scenetest::Script({{kAnimCallFunction, 0x401000}, {kAnimMoveBy, PackAnimPoint(1, 0)}}));
    res.Open();
    scenetest::CFakeSceneHost host;
    CAnimList list;
    CCorAnim* a = list.Create(3012, POINT{0, 0});
    a->LoadScript(3040);
    a->AddFunction(CountCall);
    a->AddInstr(kAnimHold, 0);
    g_called = 0;
    a->RunScript(0);
    EXPECT_EQ(g_called, 1);
    EXPECT_EQ(a->GetPosition().x, 1);
}

}  // namespace
