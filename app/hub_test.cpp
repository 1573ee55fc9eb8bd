// The hub: the scene Enter builds in each kind of entry (on the activity kit), the ambient animations, clicks on the
// board, the entrances, the balloon and the gate, the greeting, what Leave frees, and the
// hub's data in "Zelbo1.res".
#include "app/hub.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/app_test_support.h"
#include "app/chooser_items.h"
#include "app/game_modules.h"
#include "engine/core/cor_engine.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/res/anim_script.h"
#include "media/res/res_item_table.h"
#include "media/res/res_mgr.h"
#include "media/res/sprite.h"
#include "media/text/cor_string.h"
#include "platform/fs/dospath.h"
#include "platform/headless/golden_test_support.h"

namespace {

// ---- The chooser as the hub sees it: a stand-in that records each opening and answers at
// once with the name the test gives. ------------------------------------------------------
struct ChooserCalls {
    int opened = 0;
    ModuleFunctionTable* table = nullptr;
    int16_t layout = 0;
    uint64_t atMs = 0;
    bool answer = true;
    std::string name = "G\xE4st";  // Windows-1252, as the game holds names
};
ChooserCalls gChooser;
plat::HeadlessBackend* gHead = nullptr;

void RecordingChooser(ModuleFunctionTable* table, int16_t layout, HubNameCallback done) {
    ++gChooser.opened;
    gChooser.table = table;
    gChooser.layout = layout;
    gChooser.atMs = gHead ? gHead->NowMs() : 0;
    if (gChooser.answer) done(CCorString(gChooser.name.c_str()));
}

// The hub's sprites (not its carriers or the name's text) as the scene lists them.
std::vector<CCorAnim*> SceneSprites(const HubScene& s) {
    std::vector<CCorAnim*> all(s.entrances.begin(), s.entrances.end());
    all.insert(all.end(), {s.board, s.signA, s.signB, s.leave});
    all.insert(all.end(), s.ambient.begin(), s.ambient.end());
    return all;
}

// ---- The hub on the activity kit: the built "Zelbo1.res" entered on a started engine (the
// greeting over, the chooser a recording stand-in), then left, so that each test calls Enter,
// Tick and the clicks itself. --------------------------------------------------------------
class HubSceneTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        UseBuiltFile(1);
        gHead = head;
        m_savedOpener = SetHubChooserOpener(RecordingChooser);
        ResetHubForRun();
        EnterModule(1, HubModuleTable());
        HubModuleTable()->Leave();
        gChooser = ChooserCalls{};
        theEngine->m_prefs.showStopSign = 1;
    }
    void TearDown() override {
        if (HubSceneNow().entrances[0]) HubModuleTable()->Leave();
        SetHubChooserOpener(m_savedOpener);
        ResetHubForRun();
        gHead = nullptr;
        ActivityTest::TearDown();
    }
    // Enters the hub as a later entry of the run (the first one done).
    void EnterLater() {
        ResetHubForRun(false);
        HubModuleTable()->Enter();
        theEngine->m_anims.RunUntilSettled();
    }
    // Lets the next ambient animation come due and ticks the hub.
    void TickWhenDue() {
        const uint32_t due = HubSceneNow().nextAmbientTick;
        const uint32_t now = GetEngineTicks();
        if (due > now) head->Advance((due - now) * 1000 / 60 + 20);
        HubModuleTable()->Tick();
    }
    // The group whose carriers run (-1 when none does; -2 when carriers of several run).
    static int RunningGroup() {
        const HubScene s = HubSceneNow();
        int found = -1;
        for (int g = 0; g < static_cast<int>(std::size(kHubAmbientGroups)); ++g) {
            const HubAmbientGroup& group = kHubAmbientGroups[g];
            for (int i = 0; i < group.animCount; ++i) {
                if (GetSpriteStatus(s.ambient[static_cast<size_t>(group.firstCarrier + i)]) != kAnimRunning) continue;
                found = (found == -1 || found == g) ? g : -2;
            }
        }
        return found;
    }

    HubChooserOpener m_savedOpener = nullptr;
};

// What Enter shows, by kind of entry: the first entry of a run waits for the chooser (no
// signboard, no name, no ambient animations yet); a later entry and launcher mode hang the
// name at once and schedule the ambient animations; the exit is the gate, the launcher's
// door, or nothing (quitting off: the hedge is stamped where the gate would be).
TEST_F(HubSceneTest, EnterBuildsTheSceneOfEachKindOfEntry) {
    struct Case {
        const char* what;
        bool first;
        int32_t launcher;
        uint32_t quitting;
        bool nameShown;
        int16_t leavePicture, leaveX, leaveY;
    };
    const Case cases[] = {
        {"first entry", true, 0, 1, false, kHubExit, kHubExitX, kHubExitY},
        {"later entry", false, 0, 1, true, kHubExit, kHubExitX, kHubExitY},
        {"launcher mode", true, 1, 1, true, kHubLauncherExit, kHubExitX, kHubLauncherExitY},
        {"quitting off", false, 0, 0, true, 2, kHubExitX, kHubLauncherExitY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        theEngine->m_launcherMode = c.launcher;
        theEngine->m_prefs.showStopSign = c.quitting;
        ResetHubForRun(c.first);
        HubModuleTable()->Enter();
        theEngine->m_anims.RunUntilSettled();
        const HubScene s = HubSceneNow();
        for (size_t i = 0; i < std::size(kHubEntrances); ++i) {
            EXPECT_EQ(GetSpriteFrame(s.entrances[i]), kHubEntrances[i].id) << i;
            EXPECT_EQ(GetSpriteX(s.entrances[i]), kHubEntrances[i].x) << i;
            EXPECT_EQ(GetSpriteY(s.entrances[i]), kHubEntrances[i].y) << i;
        }
        EXPECT_EQ(GetSpriteFrame(s.board), kHubBoard);
        EXPECT_EQ(GetSpriteX(s.board), kHubBoardX);
        EXPECT_EQ(GetSpriteY(s.board), kHubBoardY);
        EXPECT_EQ(GetSpriteFrame(s.signA), c.nameShown ? kHubSignA : 2);
        EXPECT_EQ(GetSpriteFrame(s.signB), c.nameShown ? kHubSignB : 2);
        if (c.nameShown) {
            EXPECT_EQ(GetSpriteX(s.signA), kHubSignAX);
            EXPECT_EQ(GetSpriteY(s.signA), kHubSignAY);
            EXPECT_EQ(GetSpriteX(s.signB), kHubSignBX);
            EXPECT_EQ(GetSpriteY(s.signB), kHubSignBY);
        }
        EXPECT_EQ(s.nameSprite != nullptr, c.nameShown);
        EXPECT_EQ(s.nextAmbientTick != 0, c.nameShown);
        EXPECT_EQ(GetSpriteFrame(s.leave), c.leavePicture);
        EXPECT_EQ(GetSpriteX(s.leave), c.leaveX);
        EXPECT_EQ(GetSpriteY(s.leave), c.leaveY);
        for (CCorAnim* carrier : s.ambient) EXPECT_EQ(GetSpriteFrame(carrier), 2);
        // Nothing else: every sprite once, and the name's text when it is shown.
        const std::vector<CCorAnim*> made = SceneSprites(s);
        EXPECT_EQ(std::set<CCorAnim*>(made.begin(), made.end()).size(), made.size());
        EXPECT_EQ(theEngine->m_anims.Objects().size(), made.size() + (c.nameShown ? 1u : 0u));
        EXPECT_EQ(gChooser.opened, 0) << "Enter never opens the chooser";
        HubModuleTable()->Leave();
    }
}

// Leave disposes of every sprite (the display list is empty) and frees the name, its font and
// the picture its text was drawn in; the next entry builds them again.
TEST_F(HubSceneTest, LeaveFreesEverySpriteAndTheNamesPicture) {
    EnterLater();
    const HubScene before = HubSceneNow();
    ASSERT_NE(before.nameSprite, nullptr);
    const int32_t namePicture = before.nameSprite->GetPictureId();
    ASSERT_NE(GetSpriteFrame(before.nameSprite), 2) << "the name is drawn";
    ASSERT_NE(theEngine->m_itemCache->Find(namePicture), nullptr);
    HubModuleTable()->Leave();
    const HubScene after = HubSceneNow();
    EXPECT_TRUE(theEngine->m_anims.Objects().empty());
    for (CCorAnim* sprite : SceneSprites(after)) EXPECT_EQ(sprite, nullptr);
    EXPECT_EQ(after.nameSprite, nullptr);
    EXPECT_FALSE(after.nameString);
    EXPECT_FALSE(after.nameFont);
    EXPECT_EQ(theEngine->m_itemCache->Find(namePicture), nullptr);
    EnterLater();
    EXPECT_NE(HubSceneNow().nameSprite, nullptr);
}

// An ambient group starts only once it is due and no script runs; two in a row are never the
// same group, and over many rounds every group plays.
TEST_F(HubSceneTest, AmbientGroupsNeverRepeatAndWaitForRunningScripts) {
    EnterLater();
    CCorAnim* busy = CreateSprite(0, 0, 2);
    int previous = -1;
    std::set<int> seen;
    for (int round = 0; round < 120; ++round) {
        // Not yet due: nothing starts.
        const int16_t lastBefore = HubSceneNow().lastAmbientGroup;
        HubModuleTable()->Tick();
        ASSERT_EQ(RunningGroup(), -1);
        // Due, but a script runs: nothing starts.
        QueueSpriteWait(busy, 1000);
        TickWhenDue();
        ASSERT_EQ(RunningGroup(), -1) << "round " << round;
        ASSERT_EQ(HubSceneNow().lastAmbientGroup, lastBefore);
        StopSprite(busy);
        // Due and quiet: one group starts, another than the last.
        HubModuleTable()->Tick();
        const int group = RunningGroup();
        ASSERT_GE(group, 0) << "round " << round;
        EXPECT_NE(group, previous) << "round " << round;
        EXPECT_EQ(HubSceneNow().lastAmbientGroup, group);
        const uint32_t next = HubSceneNow().nextAmbientTick - GetEngineTicks();
        EXPECT_GE(next, 180u);
        EXPECT_LT(next, 600u);
        seen.insert(group);
        previous = group;
        FinishSpriteScript(kAllSprites);
    }
    EXPECT_EQ(seen.size(), std::size(kHubAmbientGroups));
}

// Every click first stops the ambient animation that runs (every carrier empty, no script, no
// sound), whatever it then does; a click on nothing of the hub's is not handled.
TEST_F(HubSceneTest, AClickResetsARunningAmbientAnimationFirst) {
    EnterLater();
    TickWhenDue();
    ASSERT_GE(RunningGroup(), 0);
    theEngine->m_anims.StepAll();
    ASSERT_GE(RunningGroup(), 0);
    CCorAnim* other = CreateSprite(20, 20, 2);
    EXPECT_EQ(HubModuleTable()->OnAnimClicked(other, 999), 0);
    EXPECT_FALSE(IsSndPlaying(-1));
    theEngine->m_anims.RunUntilSettled();
    EXPECT_EQ(RunningGroup(), -1);
    for (CCorAnim* carrier : HubSceneNow().ambient) EXPECT_EQ(GetSpriteFrame(carrier), 2);
    EXPECT_FALSE(IsSndPlaying(-1));
}

// In launcher mode the players come from the launcher: a click on the board or the signboard
// only stops the ambient animation; the name stays and no chooser opens.
TEST_F(HubSceneTest, InLauncherModeTheBoardOnlyResetsTheAmbientAnimation) {
    theEngine->m_launcherMode = 1;
    HubModuleTable()->Enter();
    theEngine->m_anims.RunUntilSettled();
    const HubScene s = HubSceneNow();
    for (CCorAnim* clicked : {s.board, s.signA, s.signB}) {
        TickWhenDue();
        ASSERT_GE(RunningGroup(), 0);
        HubModuleTable()->OnAnimClicked(clicked, static_cast<int16_t>(GetSpriteFrame(clicked)));
        theEngine->m_anims.RunUntilSettled();
        EXPECT_EQ(RunningGroup(), -1);
        EXPECT_EQ(gChooser.opened, 0);
        EXPECT_EQ(GetSpriteFrame(s.signA), kHubSignA);
        EXPECT_EQ(GetSpriteFrame(s.signB), kHubSignB);
        EXPECT_NE(HubSceneNow().nameSprite, nullptr);
        EXPECT_NE(HubSceneNow().nextAmbientTick, 0u);
    }
}

// ---- The hub in the running game. ---------------------------------------------------------
// Each run of the game in a test gets a number; a callback of the virtual clock left over
// from an earlier run does nothing.
int gRun = 0;

class HubGameTest : public app_test::AppTest {
public:
    // Closes the game's main window ms from now, when the same run still goes on then.
    void CloseLater(uint64_t ms) {
        Later(ms, [run = gRun] {
            if (run == gRun && AfxGetApp() && AfxGetApp()->m_pMainWnd) AfxGetApp()->m_pMainWnd->PostMessage(WM_CLOSE);
        });
    }

protected:
    void SetUp() override {
        AppTest::SetUp();
        gHead = m_head;
        gChooser = ChooserCalls{};
        m_savedOpener = SetHubChooserOpener(RecordingChooser);
    }
    void TearDown() override {
        SetHubChooserOpener(m_savedOpener);
        gHead = nullptr;
        AppTest::TearDown();
    }
    HubChooserOpener m_savedOpener = nullptr;
};

std::function<void()> gFromLoop;

void CALLBACK RunFromLoop(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> fn = std::move(gFromLoop);
    gFromLoop = nullptr;
    CEngineCall call;
    fn();
}

// Runs fn from the application's message loop as one engine call, as the game view's
// messages run (a scripted callback of the virtual clock cannot wait: the clock stands still
// inside it).
void FromLoop(std::function<void()> fn) {
    gFromLoop = std::move(fn);
    SetTimer(nullptr, 0, 1, RunFromLoop);
}


// A point the sprite's picture covers (not colour 0), in frame-surface coordinates.
POINT OpaquePointOf(CCorAnim* anim) {
    RECT r{};
    if (!anim || !anim->GetBounds(r)) return POINT{-1, -1};
    for (int y = (r.top + r.bottom) / 2; y < r.bottom; ++y)
        for (int x = (r.left + r.right) / 2; x < r.right; ++x)
            if (anim->HitTest(x, y, true)) return POINT{x, y};
    return POINT{-1, -1};
}

// The display list's sprites that are not the hub's own (the carriers of a click's animation).
std::vector<CCorAnim*> Carriers() {
    const HubScene s = HubSceneNow();
    std::vector<CCorAnim*> own = SceneSprites(s);
    own.push_back(s.nameSprite);
    std::vector<CCorAnim*> found;
    for (CCorAnim* anim : theEngine->m_anims.Objects())
        if (std::find(own.begin(), own.end(), anim) == own.end()) found.push_back(anim);
    return found;
}

// The first entry greets the child; a click during the greeting stops it at once and opens
// the chooser on the hub's table with layout 101; the chosen name then hangs on the signboard.
TEST_F(HubGameTest, AClickInTheGreetingStopsItAndOpensTheChooser) {
    const CGameModules modules;
    CZelboApp app;
    uint64_t clickedAt = 0, quietAt = 0;
    int openedAtClick = -1;
    std::function<void()> watch = [&] {
        if (clickedAt == 0 && theEngine && theEngine->m_running && theEngine->m_currentModule == kHubModule &&
            theEngine->CallDepth() > 0 && IsSndPlaying(-1) && m_head->NowMs() > 2500) {
            const POINT p = OpaquePointOf(HubSceneNow().entrances[0]);
            const HWND view = theEngine->GameViewWindow();
            PostMessage(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            PostMessage(view, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
            clickedAt = m_head->NowMs();
            openedAtClick = gChooser.opened;
        } else if (clickedAt != 0 && quietAt == 0 && !IsSndPlaying(-1)) {
            quietAt = m_head->NowMs();
        }
        if (quietAt == 0) Later(10, watch);
    };
    Later(10, watch);
    int moduleAfter = 0;
    int16_t signAfter = 0;
    WhenEntered([&] {
        moduleAfter = theEngine->m_currentModule;
        signAfter = GetSpriteFrame(HubSceneNow().signA);
        app.m_pMainWnd->PostMessage(WM_CLOSE);
    });
    EXPECT_EQ(RunGame(app), 0);
    ASSERT_NE(clickedAt, 0u) << "the greeting was never heard";
    EXPECT_EQ(openedAtClick, 0) << "the chooser waits for the greeting";
    ASSERT_NE(quietAt, 0u);
    EXPECT_LT(quietAt - clickedAt, 100u) << "the greeting goes on after the click";
    EXPECT_EQ(gChooser.opened, 1);
    EXPECT_LT(gChooser.atMs - clickedAt, 100u);
    EXPECT_EQ(gChooser.table, HubModuleTable());
    EXPECT_EQ(gChooser.layout, kHubChooserLayout);
    EXPECT_EQ(moduleAfter, kHubModule) << "the click only ended the greeting";
    EXPECT_EQ(signAfter, kHubSignA);
}

// A click on an entrance plays its animations on carriers of their own and switches to its
// activity only once every carrier has ended and no sound plays (a sound started beside them
// that outlasts them holds the switch too). A carrier that never ends by itself (a script
// that loops for ever or holds) does not keep the game on the hub.
TEST_F(HubGameTest, AnEntranceSwitchesOnlyOnceItsCarriersAndSoundsHaveEnded) {
    enum class Damage { kNone, kLongSound, kEndless, kHeld };
    for (Damage damage : {Damage::kNone, Damage::kLongSound, Damage::kEndless, Damage::kHeld}) {
        SCOPED_TRACE(static_cast<int>(damage));
        ++gRun;
        const CGameModules modules;
        CZelboApp app;
        struct Sample {
            uint64_t ms;
            int module;
            bool running;
            bool sound;
        };
        std::vector<Sample> samples;
        size_t carriersSeen = 0;
        std::set<CCorAnim*> damaged;
        int16_t handled = 0;
        int moduleAfter = 0;
        std::function<void()> sample = [&] {
            if (theEngine->m_currentModule == kHubModule) {
                std::vector<CCorAnim*> carriers = Carriers();
                carriersSeen = std::max(carriersSeen, carriers.size());
                bool running = false;
                for (CCorAnim* c : carriers) {
                    // The carriers' scripts damaged as they start: they then never end.
                    if (damage == Damage::kLongSound && damaged.empty()) {
                        PlaySnd(kHubWhoPlays, 0);
                        damaged.insert(c);
                    }
                    if ((damage == Damage::kEndless || damage == Damage::kHeld) && !damaged.count(c) &&
                        !c->GetScript().empty()) {
                        if (damage == Damage::kEndless) QueueSpriteRestart(c);
                        if (damage == Damage::kHeld) SpriteAddInstr(c, media::kAnimHold, 7);
                        damaged.insert(c);
                    }
                    running |= GetSpriteStatus(c) == kAnimRunning;
                }
                samples.push_back({m_head->NowMs(), kHubModule, running, IsSndPlaying(-1) != FALSE});
            } else {
                samples.push_back({m_head->NowMs(), theEngine->m_currentModule, false, false});
            }
            if (samples.size() < 1000 && theEngine->m_currentModule == kHubModule) Later(5, sample);
        };
        WhenEntered([&] {
            CCorAnim* entrance = HubSceneNow().entrances[3];
            FromLoop([&, entrance] {
                Later(1, sample);
                CloseLater(20000);
                handled = static_cast<int16_t>(theEngine->m_anims.ClickAt(OpaquePointOf(entrance), false));
                moduleAfter = theEngine->m_currentModule;
                app.m_pMainWnd->PostMessage(WM_CLOSE);
            });
        });
        EXPECT_EQ(RunGame(app), 0);
        EXPECT_EQ(handled, 1);
        EXPECT_EQ(moduleAfter, kHubEntrances[3].module);
        EXPECT_EQ(carriersSeen, static_cast<size_t>(kHubEntrances[3].animCount));
        ASSERT_FALSE(samples.empty());
        // The switch came after the last look at the hub that saw a carrier run or a sound play,
        // and without waiting longer than that.
        const auto other = std::find_if(samples.begin(), samples.end(), [](const Sample& s) { return s.module != kHubModule; });
        ASSERT_NE(other, samples.end()) << "the game never switched";
        const auto busy = std::find_if(samples.rbegin(), samples.rend(), [](const Sample& s) { return s.running || s.sound; });
        ASSERT_NE(busy, samples.rend()) << "the animations were never seen";
        EXPECT_EQ(busy->module, kHubModule);
        EXPECT_GT(other->ms, busy->ms);
        EXPECT_LT(other->ms - busy->ms, 100u);
        if (damage == Damage::kNone) {
            EXPECT_TRUE(std::any_of(samples.begin(), samples.end(), [](const Sample& s) { return s.sound; }))
                << "the entrance's sound was never heard";
        }
        if (damage == Damage::kLongSound) {
            EXPECT_TRUE(busy->sound && !busy->running) << "the sound did not outlast the animations";
        }
        EXPECT_LT(samples.back().ms - samples.front().ms, 8000u) << "the wait did not end";
    }
}

// The gate: a press released outside it is handled (1) and the game stays; released over it
// the game leaves the hub, which ends it.
TEST_F(HubGameTest, TheGateLeavesOnlyWhenReleasedOverIt) {
    for (bool outside : {true, false}) {
        SCOPED_TRACE(outside ? "released outside" : "released over it");
        ++gRun;
        const CGameModules modules;
        CZelboApp app;
        static int16_t answer;
        static int16_t (*original)(CCorAnim*, int16_t);
        answer = -1;
        original = HubModuleTable()->OnAnimClicked;
        HubModuleTable()->OnAnimClicked = [](CCorAnim* anim, int16_t id) -> int16_t {
            const int16_t a = original(anim, id);
            if (anim == HubSceneNow().leave) answer = a;
            return a;
        };
        bool stillThere = false;
        int16_t gateAfter = 0;
        WhenEntered([&] {
            const POINT p = OpaquePointOf(HubSceneNow().leave);
            const HWND view = theEngine->GameViewWindow();
            PostMessage(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            const POINT up = outside ? POINT{320, 200} : p;
            PostMessage(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(up.x, up.y));
            PostMessage(view, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
            Later(1500, [&, run = gRun] {
                if (run != gRun) return;
                stillThere = theEngine && theEngine->m_running && theEngine->m_currentModule == kHubModule;
                gateAfter = stillThere ? GetSpriteFrame(HubSceneNow().leave) : 0;
                CloseLater(0);
            });
        });
        EXPECT_EQ(RunGame(app), 0);
        HubModuleTable()->OnAnimClicked = original;
        EXPECT_EQ(answer, 1);
        EXPECT_EQ(stillThere, outside);
        if (outside) {
            EXPECT_EQ(gateAfter, kHubExit);
        }
    }
}

// The balloon of the ambient animations pops when clicked: its sound plays on a carrier of its
// own, the hub stays.
TEST_F(HubGameTest, AClickedBalloonPops) {
    const CGameModules modules;
    CZelboApp app;
    int16_t handled = 0;
    bool popHeard = false;
    int moduleAfter = 0;
    size_t carriersAfter = 99;
    WhenEntered([&] {
        FromLoop([&] {
            CCorAnim* balloon = CreateSprite(300, 300, kHubBalloon);
            Later(30, [&] { popHeard = IsSndPlaying(-1) != FALSE; });
            handled = HubModuleTable()->OnAnimClicked(balloon, kHubBalloon);
            moduleAfter = theEngine->m_currentModule;
            carriersAfter = Carriers().size();
            DisposeSprite(balloon);
            app.m_pMainWnd->PostMessage(WM_CLOSE);
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_EQ(handled, 1);
    EXPECT_TRUE(popHeard);
    EXPECT_EQ(moduleAfter, kHubModule);
    EXPECT_EQ(carriersAfter, 1u) << "only the balloon itself is left of the click";
}

// The hub once its first entry is done: the chosen name on the signboard under the booth.
TEST_F(HubGameTest, GoldenHubWithTheNameOnItsSignboard) {
    const CGameModules modules;
    CZelboApp app;
    gChooser.name = "\xC5sa";
    WhenEntered([&] {
        const HubScene scene = HubSceneNow();
        ASSERT_NE(scene.nameSprite, nullptr);
        EXPECT_NE(GetSpriteFrame(scene.nameSprite), 2) << "the name is drawn";
        plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "hub_name.png");
        app.m_pMainWnd->PostMessage(WM_CLOSE);
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_EQ(gChooser.opened, 1);
}

// An activity entered from its entrance, once its entry is done: its smaller background
// centred on black (origin (20, 30)), and the home button at the bottom left.
TEST_F(HubGameTest, GoldenActivityWithItsHomeButton) {
    const CGameModules modules;
    CZelboApp app;
    int originX = -1, originY = -1;
    WhenEntered([&] {
        FromLoop([&, workshop = HubSceneNow().entrances[2]] {
            theEngine->m_anims.ClickAt(OpaquePointOf(workshop), false);  // module 4
            WhenEntered([&] {
                originX = theEngine->m_originX;
                originY = theEngine->m_originY;
                plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "activity_standin.png");
                app.m_pMainWnd->PostMessage(WM_CLOSE);
            });
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_EQ(originX, 20);
    EXPECT_EQ(originY, 30);
}

// ---- The hub's data in "Zelbo1.res". ----------------------------------------------------------
class HubDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo1.res");
        ASSERT_TRUE(m_res.Open(path.c_str())) << path;
    }
    bool Has(const char* type, int id) { return m_res.FindEntry(ResType(type), static_cast<uint32_t>(1000 + id)) != nullptr; }
    bool Read(const char* type, int id, std::vector<uint8_t>& bytes) {
        ResDirEntry* entry = m_res.FindEntry(ResType(type), static_cast<uint32_t>(1000 + id));
        if (!entry) return false;
        bytes.resize(entry->size);
        entry->readPos = 0;
        return m_res.LoadItem(bytes.data(), entry, entry->size) != 0;
    }
    // The picture's size; false when it is missing or damaged.
    bool Size(int id, int& w, int& h) {
        std::vector<uint8_t> bytes;
        if (!Read("SPR", id, bytes)) return false;
        SprLayout layout;
        if (!ParseSprItem(bytes, layout)) return false;
        w = layout.width;
        h = layout.height;
        return true;
    }
    CResMgr m_res;
};

// An 'ANI' script walked as the runner walks it: its waits added up, its loops repeated; a
// Restart, a Hold or an endless loop never ends it.
struct AnimWalk {
    bool ended = false;
    bool endsOnWait = false;  // the record before the end record is a Wait
    uint64_t ticks = 0;
};

AnimWalk WalkAnim(const std::vector<uint8_t>& bytes) {
    const size_t records = bytes.size() / 6;
    std::vector<int16_t> op(records);
    std::vector<uint32_t> operand(records);
    for (size_t i = 0; i < records; ++i) {
        op[i] = static_cast<int16_t>(bytes[6 * i] | bytes[6 * i + 1] << 8);
        operand[i] = bytes[6 * i + 2] | bytes[6 * i + 3] << 8 | bytes[6 * i + 4] << 16 | uint32_t{bytes[6 * i + 5]} << 24;
    }
    std::vector<uint32_t> left(records, 0);
    for (size_t i = 0; i < records; ++i)
        if (op[i] == media::kAnimLoop) left[i] = media::AnimLoopC(operand[i]);
    AnimWalk walk;
    if (records == 0) return walk;
    walk.endsOnWait = op[records >= 2 ? records - 2 : 0] == media::kAnimWait;
    for (size_t i = 0, steps = 0; i < records && steps < 100000; ++steps) {
        if (op[i] == -1) {
            walk.ended = true;
            break;
        }
        if (op[i] == media::kAnimRestart || op[i] == media::kAnimHold) break;
        if (op[i] == media::kAnimWait) walk.ticks += operand[i];
        if (op[i] == media::kAnimLoop) {
            if (media::AnimLoopC(operand[i]) == 4095u) break;
            if (--left[i] > 0) {
                i = static_cast<size_t>(static_cast<int64_t>(i) + media::AnimLoopJump(operand[i]) + 1);
                continue;
            }
        }
        ++i;
    }
    return walk;
}

// Every item the hub names is there with its type.
TEST_F(HubDataTest, EveryItemTheHubNamesExists) {
    std::vector<std::pair<const char*, int>> needed = {
        {"SPR", 0},          {"SPR", kHubBoard},    {"SPR", kHubSignA},        {"SPR", kHubSignB},
        {"SPR", kHubExit},   {"SPR", kHubExit + 1}, {"SPR", kHubLauncherExit}, {"SPR", kHubLauncherExit + 1},
        {"SPR", kHubHedge},  {"SPR", kHubBalloon},  {"SPR", kHubNameFont},    {"IST", kHubNameFont},
        {"SND", kHubWelcome}, {"SND", kHubWhoPlays}, {"SND", 990},            {"SND", 991},
        {"IPA", kHubFeatureTemplate}, {"ANI", kHubSignAAway}, {"ANI", kHubSignBAway}, {"ANI", kHubPopAnim},
        {"IN#", kHubChooserLayout},
    };
    for (const HubEntrance& in : kHubEntrances) {
        needed.push_back({"SPR", in.id});
        needed.push_back({"AN_", in.preload});
        for (int i = 0; i < in.animCount; ++i) needed.push_back({"ANI", in.anims[static_cast<size_t>(i)]});
    }
    for (const HubAmbientGroup& g : kHubAmbientGroups) {
        needed.push_back({"AN_", g.preload});
        for (int i = 0; i < g.animCount; ++i) needed.push_back({"ANI", g.anims[static_cast<size_t>(i)]});
    }
    for (const auto& [type, id] : needed) EXPECT_TRUE(Has(type, id)) << type << ' ' << 1000 + id;
    EXPECT_FALSE(Has("SPR", 2)) << "picture 2 is the empty picture";
}

// Each hub animation ends by itself within 10 seconds of game time (none loops for ever or
// holds), and the entrances' pictures overlap neither each other nor the board, the
// signboard or the exit.
TEST_F(HubDataTest, AnimationsEndAndEntrancesOverlapNothing) {
    std::vector<int16_t> anims = {kHubSignAAway, kHubSignBAway, kHubPopAnim};
    for (const HubEntrance& in : kHubEntrances)
        anims.insert(anims.end(), in.anims.begin(), in.anims.begin() + in.animCount);
    for (const HubAmbientGroup& g : kHubAmbientGroups) anims.insert(anims.end(), g.anims.begin(), g.anims.begin() + g.animCount);
    for (int16_t id : anims) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(Read("ANI", id, bytes)) << id;
        const AnimWalk walk = WalkAnim(bytes);
        EXPECT_TRUE(walk.ended) << "animation " << id << " restarts, holds or loops for ever";
        EXPECT_LE(walk.ticks, 600u) << "animation " << id << " lasts over 10 s";
        EXPECT_FALSE(walk.endsOnWait) << "animation " << id << " ends on a Wait";
    }

    struct Box {
        const char* what;
        int id, x, y;
    };
    std::vector<Box> boxes;
    for (const HubEntrance& in : kHubEntrances) boxes.push_back({"entrance", in.id, in.x, in.y});
    boxes.push_back({"board", kHubBoard, kHubBoardX, kHubBoardY});
    boxes.push_back({"signboard", kHubSignA, kHubSignAX, kHubSignAY});
    boxes.push_back({"gate", kHubExit, kHubExitX, kHubExitY});
    boxes.push_back({"launcher's exit", kHubLauncherExit, kHubExitX, kHubLauncherExitY});
    std::vector<CCorRect> rects;
    for (const Box& b : boxes) {
        int w = 0, h = 0;
        ASSERT_TRUE(Size(b.id, w, h)) << b.id;
        rects.push_back(CCorRect{static_cast<int16_t>(b.x), static_cast<int16_t>(b.y), static_cast<int16_t>(b.x + w),
                                 static_cast<int16_t>(b.y + h)});
        EXPECT_LE(b.x + w, 640) << b.id;
        EXPECT_LE(b.y + h, 480) << b.id;
    }
    for (size_t i = 0; i < std::size(kHubEntrances); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j) {
            const bool overlap = rects[i].left < rects[j].right && rects[j].left < rects[i].right &&
                                 rects[i].top < rects[j].bottom && rects[j].top < rects[i].bottom;
            EXPECT_FALSE(overlap) << boxes[i].id << " overlaps " << boxes[j].what << ' ' << boxes[j].id;
        }
    EXPECT_FALSE(Has("SPR", 2)) << "no picture 1002";
}


// The chooser's layout (a full item) names only what the file holds: the board, markers,
// arrows in their three looks, field, caret, OK in its two looks, the font strip, the prompts
// with and without the field, the existing-name sound, the board's animations and the allowed
// list. The board hangs in the lower half and unrolls and rolls up in under half a second; a
// name is at most 15 characters of letters (the Swedish ones too), digits, a blank and a
// hyphen, never a character that would break the player list's file ('=', ';', '[', ']').
TEST_F(HubDataTest, TheChoosersLayoutNamesOnlyWhatTheFileHolds) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(Read("IN#", kHubChooserLayout, bytes));
    EXPECT_EQ(bytes.size(), kChooserLayoutSize);
    const ChooserLayout l = ParseChooserLayout(bytes);
    const std::pair<const char*, int> needed[] = {
        {"SPR", l.panelId},     {"SPR", l.listMarkerId},  {"SPR", l.upId},          {"SPR", l.upId + 1},
        {"SPR", l.upId + 2},    {"SPR", l.downId},        {"SPR", l.downId + 1},    {"SPR", l.downId + 2},
        {"SPR", l.entryBackId}, {"SPR", l.typeMarkerId},  {"SPR", l.caretId},       {"SPR", l.okId},
        {"SPR", l.okId + 1},    {"SPR", l.fontStripId},   {"IST", l.fontStripId},   {"SND", l.promptSound},
        {"SND", l.promptSound + 2}, {"SND", l.existsSound}, {"IN#", l.allowedListId},
    };
    for (const auto& [type, id] : needed) EXPECT_TRUE(id > 2 && Has(type, id)) << type << ' ' << 1000 + id;
    int boardW = 0, boardH = 0;
    ASSERT_TRUE(Size(l.panelId, boardW, boardH));
    EXPECT_GE(l.panelY + boardH / 2, 240) << "the board's middle is in the lower half";
    EXPECT_LE(l.panelX + boardW, 640);
    EXPECT_LE(l.panelY + boardH, 480);
    for (int16_t anim : {l.openAnim[0], l.openAnim[1], l.closeAnim[0], l.closeAnim[1]}) {
        if (anim == -1) continue;
        std::vector<uint8_t> script;
        ASSERT_TRUE(Read("ANI", anim, script)) << anim;
        const AnimWalk walk = WalkAnim(script);
        EXPECT_TRUE(walk.ended) << anim;
        EXPECT_LT(walk.ticks, 30u) << "animation " << anim << " takes half a second or more";
    }
    EXPECT_NE(l.openAnim[0], -1) << "the board unrolls";
    EXPECT_NE(l.closeAnim[0], -1) << "the board rolls up";
    EXPECT_GE(l.maxChars, 1);
    EXPECT_LE(l.maxChars, 15);

    std::vector<uint8_t> listItem;
    ASSERT_TRUE(Read("IN#", l.allowedListId, listItem));
    const std::vector<uint16_t> codes = ParseAllowedList(listItem);
    const std::set<uint16_t> allowed(codes.begin(), codes.end());
    std::string wanted = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -\xC5\xC4\xD6\xE5\xE4\xF6";
    for (char c : wanted) EXPECT_TRUE(allowed.count(static_cast<uint8_t>(c))) << "'" << c << "' is not allowed";
    EXPECT_EQ(allowed.size(), wanted.size()) << "characters beyond the letters, digits, blank and hyphen";
    for (char c : std::string("=;[]")) EXPECT_FALSE(allowed.count(static_cast<uint8_t>(c))) << c;
}

// The chooser's list rectangle, with the entry field and without it, lies inside the board's
// list area: every pixel of the board under it has the list's colour (the board's pixel at the
// list's top-left), so no row is drawn on the paper or the frame around it.
TEST_F(HubDataTest, TheChoosersListLiesOnTheBoardsListArea) {
    std::vector<uint8_t> layoutBytes;
    ASSERT_TRUE(Read("IN#", kHubChooserLayout, layoutBytes));
    const ChooserLayout l = ParseChooserLayout(layoutBytes);
    std::vector<uint8_t> board;
    ASSERT_TRUE(Read("SPR", l.panelId, board));
    SprLayout picture;
    ASSERT_TRUE(ParseSprItem(board, picture));
    constexpr size_t kHeader = 12;  // width, height, pixel count
    auto pixel = [&](int x, int y) { return board[kHeader + static_cast<size_t>(y) * picture.stride + x]; };
    ASSERT_GE(l.listLeft, 0);
    ASSERT_GE(l.listTop, 0);
    ASSERT_LE(l.listRight, picture.width);
    const uint8_t listColour = pixel(l.listLeft, l.listTop);
    for (const int16_t bottom : {l.listBottomWithEntry, l.listBottomWithoutEntry}) {
        SCOPED_TRACE(bottom);
        ASSERT_GT(bottom, l.listTop);
        ASSERT_LE(bottom, picture.height);
        int outside = 0, firstX = -1, firstY = -1;
        for (int y = l.listTop; y < bottom; ++y)
            for (int x = l.listLeft; x < l.listRight; ++x)
                if (pixel(x, y) != listColour && outside++ == 0) {
                    firstX = x;
                    firstY = y;
                }
        EXPECT_EQ(outside, 0) << "the list reaches off the board's list area, first at " << firstX << "," << firstY;
    }
    // With the field the list ends above it.
    EXPECT_LE(l.listBottomWithEntry, l.entryBackY);
}

}  // namespace
