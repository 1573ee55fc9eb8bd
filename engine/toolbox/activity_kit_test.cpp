// The activity kit on a fixture module of its own (module 2 over a file the test makes): the
// module entered in virtual time with the guest as current player, input through the engine's
// dispatch, and the records of what the module did, down to the player's file it saved.
#include "engine/toolbox/activity_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/players/player_list.h"
#include "engine/scene/drag_mgr.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/module_level.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/talk.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"
#include "platform/mci/debug_display.h"

namespace {

using enginetest::Bytes;
using enginetest::Picture;

constexpr int kModule = 2;
constexpr int16_t kBall = 10;      // 'SPR' the sprite the module shows
constexpr int16_t kHello = 20;     // 'SND' played on Start
constexpr int16_t kBounce = 21;    // 'SND' played on a click
constexpr int16_t kFloor = 5;      // the spot the ball is dragged over

// The fixture module: a ball at (100, 120), an idle timer, a sound on Start; a click on the ball
// plays a sound (with Ctrl held it is dragged instead); 'U' raises the level, which Start read
// and Leave stores.
struct Fixture {
    CCorAnim* ball = nullptr;
    int clicks = 0;
    int idles = 0;
    int16_t level = 0;
    uint32_t firstRandom = 0;
};
Fixture g;

void OnIdle() { ++g.idles; }

void Enter() {
    g.ball = CreateSprite(100, 120, kBall);
    EngineCreateSpot(kFloor, CCorRect{0, 0, 640, 480});
    EngineSetIdle(10, OnIdle);
}
void Start() {
    LoadPlayerPrefs();
    g.level = GetModuleLevel(kModule);
    g.firstRandom = Random(1000);
    PlaySnd(kHello, 0);
}
void KeyDown(int32_t key) {
    if (key == 'U') ++g.level;
}
int16_t OnAnimClicked(CCorAnim* anim, int16_t) {
    if (anim != g.ball) return 0;
    ++g.clicks;
    if (IsCtrlDown()) {
        EngineDragObject(g.ball, kFloor, 0, kNoSnapLimit, nullptr);
    } else {
        PlaySnd(kBounce, 0);
    }
    return 1;
}
void Leave() {
    SetModuleLevel(kModule, g.level);
    SavePlayerPrefs();
    DisposeSprite(g.ball);
    g.ball = nullptr;
}

ModuleFunctionTable MakeFixtureTable() {
    ModuleFunctionTable t{};
    t.Enter = Enter;
    t.Start = Start;
    t.KeyDown = KeyDown;
    t.OnAnimClicked = OnAnimClicked;
    t.Leave = Leave;
    return t;
}

class ActivityKitTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        g = Fixture{};
        media::CResWriter file = EnteredModuleFile(kModule);
        file.Add("SPR", kModule * 1000 + kBall, Picture(40, 30, 12));
        file.Add("SND", kModule * 1000 + kHello, Bytes(2000, 140));
        file.Add("SND", kModule * 1000 + kBounce, Bytes(1500, 120));
        UseModuleFile(kModule, file);
    }
    ModuleFunctionTable m_table = MakeFixtureTable();
};

TEST_F(ActivityKitTest, EntersTheModuleAndRecordsItsSpritesClipsAndTimers) {
    EnterModule(kModule, &m_table);
    EXPECT_EQ(Sprites(), (std::vector<activitytest::SpriteRecord>{{kBall, 100, 120, 0}}));
    // Each entry's chime and introduction (the home module's, then the module's), then Start's.
    EXPECT_EQ(Clips(), (std::vector<int16_t>{991, 990, 991, 990, kHello}));
    EXPECT_EQ(IdleTimers(), 1u);
    EXPECT_EQ(g.level, 1) << "a new player's level";
    ASSERT_TRUE(RunUntil([] { return g.idles > 0; }, 1000)) << "the idle timer fires in virtual time";
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ActivityKitTest, TheSameSeedGivesTheSameDraws) {
    EnterModule(kModule, &m_table, 7);
    const uint32_t first = g.firstRandom;
    plat::SRand(7);
    EXPECT_EQ(static_cast<uint32_t>(Random(1000)), first);
}

TEST_F(ActivityKitTest, ClicksAndKeysReachTheModuleAndItsLevelReachesThePlayersFile) {
    EnterModule(kModule, &m_table);
    ClearClips();
    ClickSprite(g.ball);
    EXPECT_EQ(g.clicks, 1);
    EXPECT_EQ(Clips(), std::vector<int16_t>{kBounce});
    ClickAt(400, 400);
    EXPECT_EQ(g.clicks, 1) << "a click beside the ball";
    Key('U');
    Key('U');
    LeaveModule();
    EXPECT_EQ(Settings().level[0], 2) << "level 3, stored as level - 1";
    const std::vector<uint8_t> file = PlayerFile();
    ASSERT_EQ(file.size(), sizeof(CUserPrefs) + sizeof(ActivitySettings));
    ActivitySettings saved{};
    std::memcpy(&saved, file.data() + sizeof(CUserPrefs), sizeof saved);
    EXPECT_EQ(saved.level[0], 2);
}

TEST_F(ActivityKitTest, ADragCarriesTheSpriteWhereItIsDropped) {
    EnterModule(kModule, &m_table);
    plat::InputEvent ctrl;
    ctrl.kind = plat::InputKind::KeyDown;
    ctrl.vk = VK_CONTROL;
    head->QueueInput(head->NowMs(), ctrl);
    RunFor(20);
    DragSprite(g.ball, 400, 300);
    EXPECT_EQ(g.clicks, 1);
    const std::vector<activitytest::SpriteRecord> sprites = Sprites();
    ASSERT_EQ(sprites.size(), 1u);
    // The ball's middle under the pointer: its top-left half its size up and left.
    EXPECT_EQ(sprites[0].x, 400 - 20);
    EXPECT_EQ(sprites[0].y, 300 - 15);
}

// The clips started, whoever started them: a sprite's script (opcode 4), PlaySnd and a talk.
TEST_F(ActivityKitTest, StartedClipsCountScriptsPlaySndAndTalksAlike) {
    EnterModule(kModule, &m_table);
    ClearClips();
    SpriteAddInstr(g.ball, 4, kBounce);
    RunFor(100);
    EXPECT_EQ(Clips(), std::vector<int16_t>{kBounce}) << "from the script";
    PlaySnd(kHello, 0);
    const int16_t sounds[] = {kBounce, 0};
    int16_t channel = 0;
    TalkWithCues(g.ball, 0, 0, &channel, sounds);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{kBounce, kHello, kBounce}));
    ClearClips();
    EXPECT_TRUE(Clips().empty());
}

// A picture or sound the module file lacks writes one trace line per id in a run; the empty
// picture 2 and asking whether an item exists never do.
TEST_F(ActivityKitTest, AMissingPictureOrSoundIsTracedOnce) {
    CaptureTraces();
    MonoDebugForgetMissing();
    EnterModule(kModule, &m_table);
    CCorAnim* nothing = CreateSprite(10, 10, 2);
    CCorAnim* lost = CreateSprite(10, 10, 77);
    CCorAnim* lostAgain = CreateSprite(20, 10, 77);
    PlaySnd(78, 0);
    PlaySnd(78, 0);
    EXPECT_FALSE(ResourceExists(kResSPR, 79));
    EXPECT_FALSE(ResourceExists(kResSND, 79));
    RunFor(50);
    for (CCorAnim* s : {nothing, lost, lostAgain}) DisposeSprite(s);
    std::istringstream in(Traces());
    std::string missing, line;
    while (std::getline(in, line))
        if (line.rfind("missing ", 0) == 0) missing += line + "\n";
    EXPECT_EQ(missing, "missing SPR 2077\nmissing SND 2078\n");
    MonoDebugForgetMissing();
}

// Entered from a home module that wrote the guest's block first: the module reads the stored
// level from the player's file (held to its range when damaged), the flags are the setting's,
// and the level the module stores on leaving is read back from the file. A home table of the
// test's keeps its own entries.
struct HomeCase {
    activitytest::HomeSetting setting;
    int16_t level;       // what the module reads (module 2 reads every word from 54 up as its review, 55)
    int storedOnLeave;   // what the file holds after leaving
};

class ActivityKitHome : public ActivityKitTest, public ::testing::WithParamInterface<HomeCase> {};

TEST_P(ActivityKitHome, TheHomeModuleWritesTheSettingTheModuleReads) {
    const HomeCase& c = GetParam();
    EnterFromHome(kModule, &m_table, c.setting);
    EXPECT_EQ(g.level, c.level);
    EXPECT_EQ(Settings().levelsSaved, c.setting.levelsSaved);
    EXPECT_EQ(Settings().childMayChangeLevel, c.setting.mayChangeLevel);
    Key('U');
    LeaveModule();
    EXPECT_EQ(StoredLevelInFile(kModule), c.storedOnLeave);
    EXPECT_EQ(StoredLevelInFile(1), -1) << "the hub keeps no level";
}

INSTANTIATE_TEST_SUITE_P(Kit, ActivityKitHome,
                         ::testing::Values(HomeCase{{0, 1, 1}, 1, 1}, HomeCase{{4, 1, 0}, 5, 5},
                                           HomeCase{{0xFFFF, 1, 1}, 55, 54}, HomeCase{{6, 0, 1}, 7, 7}));

TEST_F(ActivityKitTest, AHomeTableOfTheTestsKeepsItsOwnEntries) {
    static int homeEnters = 0;
    homeEnters = 0;
    ModuleFunctionTable home = MakeStandInTable({0, 2, 6, 7, 9, 14, 15});
    home.Enter = [] { ++homeEnters; };
    EnterFromHome(kModule, &m_table, {9, 1, 1}, 1, &home);
    EXPECT_EQ(homeEnters, 1);
    EXPECT_EQ(g.level, 10);
    LeaveModule();
    EXPECT_EQ(homeEnters, 2);
    EXPECT_EQ(StoredLevelInFile(kModule), 9) << "the home module writes the setting once";
}

}  // namespace
