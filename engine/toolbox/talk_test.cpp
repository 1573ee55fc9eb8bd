// TalkWithCues on a started engine in virtual time: which cue lists drive the pictures in the
// two modes, the rest picture at the end, interruption by a press (taken or left queued), by a
// window message and by a pending close, the busy state, and how often its loop passes.
#include "engine/toolbox/talk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/scene/ticks.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "media/sound/snd_encoder.h"

namespace {

using enginetest::Bytes;
using enginetest::EngineTest;

// The home module's table; Tick records, once per engine tick, the picture the talking sprite
// shows and the busy level, and runs a test's action.
class CTalkTitle : public CZelboTitle {
public:
    CTalkTitle() {
        table.Tick = [] {
            ++ticks;
            frames.push_back(GetSpriteFrame(talker));
            busy.push_back(theEngine->m_busyLevel);
            if (onTick) onTick(ticks);
        };
    }
    ~CTalkTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 1 ? &table : nullptr; }

    ModuleFunctionTable table{};
    static inline CCorAnim* talker = nullptr;
    static inline int ticks = 0;
    static inline std::vector<int16_t> frames;
    static inline std::vector<int32_t> busy;
    static inline void (*onTick)(int) = nullptr;
};

// A cue list: {milliseconds, picture}.
Bytes CueItem(const std::vector<std::pair<int32_t, int32_t>>& cues) {
    Bytes b;
    plat::AppendLe16(b, static_cast<uint16_t>(cues.size()));
    for (const auto& [ms, picture] : cues) {
        plat::AppendLe32(b, static_cast<uint32_t>(ms));
        plat::AppendLe32(b, 0);
        plat::AppendLe32(b, static_cast<uint32_t>(picture));
    }
    return b;
}

Bytes Clip(int ms) { return EncodeSndPlain(std::vector<uint8_t>(static_cast<size_t>(11025 * ms / 1000), 0xC0)); }

// Pictures in the order first shown, each once.
std::vector<int16_t> Shown(const std::vector<int16_t>& frames) {
    std::vector<int16_t> out;
    for (int16_t f : frames)
        if (std::find(out.begin(), out.end(), f) == out.end()) out.push_back(f);
    return out;
}

// Module 1: pictures 20 to 24; sound 101 (1 s) with cues 20 at 0, 21 at 300 ms, 22 at 1200 ms
// (after its end); sound 102 (0.5 s) with cues 23 at 0 and 24 at 200 ms; sound 103 (3 s) with
// cues at 0 and 1500 ms.
class TalkTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PutSharedFile(root / "Prog");
        media::CResWriter w = ModuleFile(1);
        for (int p = 20; p <= 24; ++p) w.Add("SPR", static_cast<uint16_t>(1000 + p), enginetest::Picture(8, 8, 11));
        w.Add("SND", 1101, Clip(1000));
        w.Add("CUE", 1101, CueItem({{0, 20}, {300, 21}, {1200, 22}}));
        w.Add("SND", 1102, Clip(500));
        w.Add("CUE", 1102, CueItem({{0, 23}, {200, 24}}));
        w.Add("SND", 1103, Clip(3000));
        w.Add("CUE", 1103, CueItem({{0, 21}, {1500, 22}, {3000, 20}}));
        PutModuleFile(root / "Prog", 1, w);
        title.Startup(programFolder);
        title.m_prefs.playIntroSound = 0;
        title.m_running = 1;
        title.GoToModule(1, TRUE);
        CTalkTitle::talker = CreateSprite(100, 100, 20);
        CTalkTitle::ticks = 0;
        CTalkTitle::frames.clear();
        CTalkTitle::busy.clear();
        CTalkTitle::onTick = nullptr;
    }
    void TearDown() override {
        CTalkTitle::onTick = nullptr;
        CTalkTitle::talker = nullptr;
        EngineTest::TearDown();
    }
    bool Queued(UINT message) {
        MSG msg;
        return PeekMessage(&msg, nullptr, message, message, PM_NOREMOVE) != FALSE;
    }
    CTalkTitle title;
};

// With -1 first, 101's list drives both sounds, timed from 101's start (its cue at 1200 ms comes
// during 102); otherwise each sound has its own list, and after each sound the sprite shows
// the last picture of that sound's list (between the sounds, so the module's Tick never sees
// 22 there).
TEST_F(TalkTest, CueListsInBothModes) {
    const struct {
        const char* name;
        std::vector<int16_t> sounds;
        std::vector<int16_t> shown;  // during the sounds, one look a tick
        int16_t last;
        uint64_t least;  // ticks of sound
    } cases[] = {
        {"one list across the line", {-1, 101, 102, 0}, {20, 21, 22}, 22, 90},
        {"a list for each sound", {101, 102, 0}, {20, 21, 23, 24}, 24, 90},
        {"a cue after its sound's end still ends the line", {101, 0}, {20, 21}, 22, 60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTalkTitle::frames.clear();
        int16_t channel = 0;
        const uint64_t start = GetTicks();
        EXPECT_EQ(TalkWithCues(CTalkTitle::talker, 1, 1, &channel, c.sounds.data()), 0);
        const uint64_t took = GetTicks() - start;
        EXPECT_GE(took, c.least) << "every sound played";
        EXPECT_LE(took, c.least + 20) << "the mixer holds a few ticks of sound";
        EXPECT_GE(channel, 1);
        EXPECT_EQ(Shown(CTalkTitle::frames), c.shown);
        EXPECT_EQ(GetSpriteFrame(CTalkTitle::talker), c.last);
        EXPECT_EQ(GetSpriteStatus(CTalkTitle::talker), 1);
        EXPECT_FALSE(IsSndPlaying(-1));
    }
    // In one list's mode picture 22 comes during the second sound, 1200 ms after the first began.
    CTalkTitle::frames.clear();
    const int16_t single[] = {-1, 101, 102, 0};
    TalkWithCues(CTalkTitle::talker, 1, 1, nullptr, single);
    const auto at = std::find(CTalkTitle::frames.begin(), CTalkTitle::frames.end(), 22) - CTalkTitle::frames.begin();
    EXPECT_GE(at, 70);
    EXPECT_LE(at, 74);
}

// A press during the line stops every sound and ends it with 1; with remove 0 it stays queued
// for the caller. Not interruptible, the line plays through, busy, and the press is dropped
// when the busy state ends.
TEST_F(TalkTest, APressInterruptsOnlyWhenAllowed) {
    const struct {
        int16_t interruptible, remove;
        int16_t result;
        bool leftQueued;
    } cases[] = {{1, 1, 1, false}, {1, 0, 1, true}, {0, 1, 0, false}};
    const int16_t sounds[] = {101, 102, 0};
    int x = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "interruptible " << c.interruptible << " remove " << c.remove);
        CTalkTitle::busy.clear();
        const uint64_t startMs = plat::NowMs64();
        x += 50;  // far from the last press, so that it is no double click
        head->Click(startMs + 300, x, 10);
        const uint64_t start = GetTicks();
        EXPECT_EQ(TalkWithCues(CTalkTitle::talker, c.interruptible, c.remove, nullptr, sounds), c.result);
        const uint64_t took = GetTicks() - start;
        if (c.result) {
            EXPECT_LE(took, 25u);
            EXPECT_FALSE(IsSndPlaying(-1)) << "sounds stopped";
            EXPECT_EQ(GetSpriteFrame(CTalkTitle::talker), 24) << "the last sound's rest picture";
        } else {
            EXPECT_GE(took, 90u);
        }
        EXPECT_EQ(Queued(WM_LBUTTONDOWN), c.leftQueued);
        const bool busyThroughout = std::all_of(CTalkTitle::busy.begin(), CTalkTitle::busy.end(), [](int32_t b) { return b > 0; });
        EXPECT_EQ(busyThroughout, c.interruptible == 0);
        EXPECT_EQ(title.m_busyLevel, 0);
        FlushQueuedInput();
    }
}

// A window that records what reaches it and, as the main frame does inside an engine call,
// only records a close.
class CRecordingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        received.push_back(message);
        if (message == WM_CLOSE) {
            theEngine->SetClosePending(true);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> received;
};

CRecordingWnd* g_window = nullptr;
UINT g_postAtTick = 0;

// A close, focus or activation message arriving during the line is handled and ends it; a
// close is only recorded, and while it is pending a line ends at once without a sound.
TEST_F(TalkTest, WindowMessagesEndTheLine) {
    CRecordingWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, "w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    g_window = &window;
    const int16_t sounds[] = {103, 0};
    for (UINT message : {UINT(WM_SETFOCUS), UINT(WM_KILLFOCUS), UINT(WM_ACTIVATEAPP), UINT(WM_CLOSE)}) {
        SCOPED_TRACE(message);
        window.received.clear();
        g_postAtTick = message;
        CTalkTitle::ticks = 0;
        CTalkTitle::onTick = [](int n) {
            if (n == 10) PostMessage(g_window->GetSafeHwnd(), g_postAtTick, 0, 0);
        };
        const uint64_t start = GetTicks();
        EXPECT_EQ(TalkWithCues(CTalkTitle::talker, 0, 0, nullptr, sounds), 1);
        EXPECT_LE(GetTicks() - start, 15u);
        EXPECT_NE(std::find(window.received.begin(), window.received.end(), message), window.received.end());
        EXPECT_EQ(title.m_busyLevel, 0);
        EXPECT_TRUE(IsSndPlaying(-1)) << "only a press stops the sounds";
        StopAllSnds();
    }
    EXPECT_TRUE(title.ClosePending()) << "the close waits for the handler to return";
    EXPECT_TRUE(window.GetSafeHwnd());

    CTalkTitle::onTick = nullptr;
    int16_t channel = 77;
    const uint64_t start = GetTicks();
    EXPECT_EQ(TalkWithCues(CTalkTitle::talker, 1, 1, &channel, sounds), 1);
    EXPECT_EQ(GetTicks(), start);
    EXPECT_EQ(channel, 77) << "no sound started";
    EXPECT_FALSE(IsSndPlaying(-1));
    title.SetClosePending(false);
    g_window = nullptr;
}

int g_passes = 0;
void CountPass() { ++g_passes; }

// A 3 s line passes its loop no more often than once per engine tick it lasts (plus its cues and
// the pass that shows the rest picture): counted by a sprite that counts every stepping of the
// scripts, and by the queue polls.
TEST_F(TalkTest, AThreeSecondLinePassesOncePerTick) {
    CCorAnim* counter = CreateSprite(0, 0, 2);
    StopSprite(counter);
    counter->AddFunction(CountPass);
    counter->AddInstr(media::kAnimYield, 0);
    counter->AddInstr(media::kAnimLoop, media::PackAnimLoop(0, 4095, -3));
    g_passes = 0;
    const uint64_t polls = head->InputPolls();
    const int16_t sounds[] = {103, 0};
    const uint64_t start = GetTicks();
    EXPECT_EQ(TalkWithCues(CTalkTitle::talker, 1, 1, nullptr, sounds), 0);
    const uint64_t took = GetTicks() - start;
    EXPECT_GE(took, 180u);
    EXPECT_GE(g_passes, 170);
    EXPECT_LE(static_cast<uint64_t>(g_passes), took + 3 + 2);
    EXPECT_LE(head->InputPolls() - polls, 8 * (took + 5)) << "a few queue looks a pass";
    EXPECT_EQ(GetSpriteFrame(CTalkTitle::talker), 20);
}

}  // namespace
