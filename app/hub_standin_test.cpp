// The hub stand-in in the running game: its entrances, a click that bounces an entrance and
// then switches to its activity, the way back, and the activity's screen as a golden image.
#include "app/hub_standin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "app/app_test_support.h"
#include "app/game_modules.h"
#include "engine/core/cor_engine.h"
#include "engine/scene/sound_toolbox.h"
#include "platform/core/wintypes.h"
#include "platform/headless/golden_test_support.h"

namespace {

using HubStandInTest = app_test::AppTest;

std::function<void()> gFromLoop;

void CALLBACK RunFromLoop(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> fn = std::move(gFromLoop);
    gFromLoop = nullptr;
    CEngineCall call;
    fn();
}

// Runs fn from the application's message loop as one engine call, the way the game view's
// messages run (a scripted callback of the virtual clock cannot wait: the clock stands still
// inside it).
void FromLoop(std::function<void()> fn) {
    gFromLoop = std::move(fn);
    SetTimer(nullptr, 0, 1, RunFromLoop);
}

// The live objects of the display list showing the entrances' pictures, in their order.
std::vector<CCorAnim*> EntranceSprites() {
    std::vector<CCorAnim*> found;
    for (const HubEntrance& in : kHubEntrances)
        for (CCorAnim* anim : theEngine->m_anims.Objects())
            if (anim->GetPictureId() == 1000 + in.id) found.push_back(anim);
    return found;
}

// A point of an entrance that its picture covers (not colour 0), in frame-surface coordinates.
POINT OpaquePointOf(CCorAnim* anim) {
    RECT r{};
    if (!anim->GetBounds(r)) return POINT{-1, -1};
    for (int y = (r.top + r.bottom) / 2; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (anim->HitTest(x, y, true)) return POINT{x, y};
    return POINT{-1, -1};
}

// The host's sprite: the live object showing one of its four pictures; null when none does.
CCorAnim* HostSprite() {
    for (CCorAnim* anim : theEngine->m_anims.Objects()) {
        const int32_t picture = anim->GetPictureId();
        if (picture >= 1000 + kHubHostPicture && picture <= 1000 + kHubHostPicture + 3) return anim;
    }
    return nullptr;
}

// Posts a left-button press and release at p (client coordinates) to the game view.
void PostClick(POINT p, UINT down = WM_LBUTTONDOWN) {
    const HWND view = theEngine->GameViewWindow();
    PostMessage(view, down, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessage(view, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

// Once the hub is entered, the host greets: the greeting plays while the host's mouth moves
// through its pictures, and the hub is settled only when the line has ended, the host at rest
// at its place.
TEST_F(HubStandInTest, TheHostGreetsWithAMovingMouthAndEndsAtRest) {
    const CGameModules modules;
    CZelboApp app;
    std::set<int32_t> whileSpeaking;
    int samplesSpeaking = 0;
    std::function<void()> sample = [&] {
        if (theEngine && theEngine->m_running && theEngine->m_currentModule == kHubModule) {
            CCorAnim* host = HostSprite();
            if (host && IsSndPlaying(-1) && theEngine->CallDepth() > 0) {
                whileSpeaking.insert(host->GetPictureId());
                ++samplesSpeaking;
            }
        }
        Later(20, sample);
    };
    Later(20, sample);
    int32_t restPicture = 0;
    POINT hostAt{-1, -1};
    BOOL soundAfter = TRUE;
    WhenEntered([&] {
        CCorAnim* host = HostSprite();
        ASSERT_NE(host, nullptr);
        restPicture = host->GetPictureId();
        hostAt = host->GetPosition();
        soundAfter = IsSndPlaying(-1);
        app.m_pMainWnd->PostMessage(WM_CLOSE);
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_GT(samplesSpeaking, 20) << "the greeting is a line of over half a second";
    EXPECT_GE(whileSpeaking.size(), 3u) << "the mouth moves while the host speaks";
    for (int32_t picture : whileSpeaking) {
        EXPECT_GE(picture, 1000 + kHubHostPicture);
        EXPECT_LE(picture, 1000 + kHubHostPicture + 3);
    }
    EXPECT_EQ(restPicture, 1000 + kHubHostPicture);
    EXPECT_EQ(hostAt.x, kHubHostX + theEngine->m_originX);
    EXPECT_EQ(hostAt.y, kHubHostY + theEngine->m_originY);
    EXPECT_FALSE(soundAfter);
}

// A click while the host speaks ends the greeting at once (every sound stopped, the host back
// at rest). The hub is still being entered then (the engine is busy), so the click is not acted
// on afterwards: the hub stays.
TEST_F(HubStandInTest, AClickEndsTheGreetingAtOnce) {
    const CGameModules modules;
    CZelboApp app;
    bool clicked = false;
    uint64_t clickedAt = 0, quietAt = 0;
    int moduleAfter = 0;
    int32_t pictureAfter = 0;
    std::function<void()> watch = [&] {
        if (!clicked && theEngine && theEngine->m_currentModule == kHubModule && theEngine->CallDepth() > 0 &&
            IsSndPlaying(-1) && HostSprite() && HostSprite()->GetPictureId() != 1000 + kHubHostPicture) {
            // The mouth is open: the greeting is under way.
            std::vector<CCorAnim*> sprites = EntranceSprites();
            ASSERT_EQ(sprites.size(), std::size(kHubEntrances));
            PostClick(OpaquePointOf(sprites[2]));  // the train: module 4
            clicked = true;
            clickedAt = m_head->NowMs();
        } else if (clicked && quietAt == 0 && !IsSndPlaying(-1)) {
            quietAt = m_head->NowMs();
        }
        if (quietAt == 0) Later(10, watch);
    };
    Later(10, watch);
    WhenEntered([&] {
        moduleAfter = theEngine->m_currentModule;
        pictureAfter = HostSprite() ? HostSprite()->GetPictureId() : 0;
        app.m_pMainWnd->PostMessage(WM_CLOSE);
    });
    EXPECT_EQ(RunGame(app), 0);
    ASSERT_TRUE(clicked) << "the host never spoke";
    ASSERT_NE(quietAt, 0u);
    // Cut within a few engine ticks (the line itself lasts well over half a second).
    EXPECT_LT(quietAt - clickedAt, 100u);
    EXPECT_EQ(moduleAfter, kHubModule);
    EXPECT_EQ(pictureAfter, 1000 + kHubHostPicture);
}

// A double click is two clicks: the view passes the second press (a double-click message) to
// the engine's dispatch as it passes the first, so the scene sees the sprite clicked twice.
TEST_F(HubStandInTest, ADoubleClickReachesTheSceneAsTwoClicks) {
    const CGameModules modules;
    CZelboApp app;
    static std::vector<std::pair<CCorAnim*, int16_t>> seen;
    seen.clear();
    ModuleFunctionTable* hub = nullptr;
    int16_t (*saved)(CCorAnim*, int16_t) = nullptr;
    CCorAnim* target = nullptr;
    WhenEntered([&] {
        hub = theEngine->GetModuleTable(kHubModule);
        saved = hub->OnAnimClicked;
        hub->OnAnimClicked = [](CCorAnim* anim, int16_t id) -> int16_t {
            seen.emplace_back(anim, id);
            return 1;
        };
        const std::vector<CCorAnim*> sprites = EntranceSprites();
        ASSERT_EQ(sprites.size(), std::size(kHubEntrances));
        target = sprites[3];
        const POINT p = OpaquePointOf(target);
        PostClick(p);
        PostClick(p, WM_LBUTTONDBLCLK);
        Later(200, [&] {
            hub->OnAnimClicked = saved;
            app.m_pMainWnd->PostMessage(WM_CLOSE);
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    if (hub && saved) hub->OnAnimClicked = saved;
    ASSERT_NE(target, nullptr);
    const std::vector<std::pair<CCorAnim*, int16_t>> expected{{target, kHubEntrances[3].id}, {target, kHubEntrances[3].id}};
    EXPECT_EQ(seen, expected);
}

// The hub shows its five entrances at their places, each script already ended; a click on an
// entrance bounces it with its sound, and only once both have ended is the hub left and the
// activity entered. Back home, the hub has its five entrances again (not ten).
TEST_F(HubStandInTest, AnEntranceBouncesThenSwitchesToItsActivityAndTheWayBackRebuildsTheHub) {
    const CGameModules modules;
    CZelboApp app;
    struct Sample {
        int module;
        int y;
        BOOL sound;
    };
    std::vector<Sample> during;
    int16_t handled = 0;
    int afterModule = 0, afterPrevious = 0;
    size_t entrancesAfter = 99, entrancesBack = 99;
    WhenEntered([&] {
        ASSERT_EQ(theEngine->m_currentModule, kHubModule);
        const std::vector<CCorAnim*> sprites = EntranceSprites();
        ASSERT_EQ(sprites.size(), std::size(kHubEntrances));
        for (size_t i = 0; i < sprites.size(); ++i) {
            EXPECT_EQ(sprites[i]->GetPosition().x, kHubEntrances[i].x + theEngine->m_originX) << i;
            EXPECT_EQ(sprites[i]->GetPosition().y, kHubEntrances[i].y + theEngine->m_originY) << i;
            EXPECT_EQ(sprites[i]->GetScriptState(), kAnimFinished) << i;
        }
        CCorAnim* stall = sprites[1];  // entrance 300: Ruduridodu, module 3
        const int restY = stall->GetPosition().y;
        FromLoop([&, stall, restY] {
            for (int ms : {50, 150, 250, 1500}) {
                Later(ms, [&, stall, restY] {
                    const bool live = theEngine->m_anims.Contains(stall);
                    during.push_back({theEngine->m_currentModule, live ? stall->GetPosition().y - restY : 0, IsSndPlaying(-1)});
                });
            }
            handled = static_cast<int16_t>(theEngine->m_anims.ClickAt(OpaquePointOf(stall), false));
            afterModule = theEngine->m_currentModule;
            afterPrevious = theEngine->m_previousModule;
            entrancesAfter = EntranceSprites().size();
            WhenEntered([&] {
                FromLoop([&] {
                    theEngine->LeaveModule();
                    WhenEntered([&] {
                        entrancesBack = EntranceSprites().size();
                        app.m_pMainWnd->PostMessage(WM_CLOSE);
                    });
                });
            });
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(afterModule, 3);
    EXPECT_EQ(afterPrevious, kHubModule);
    EXPECT_EQ(entrancesAfter, 0u) << "the hub's sprites went with it";
    EXPECT_EQ(entrancesBack, std::size(kHubEntrances));
    ASSERT_EQ(during.size(), 4u);
    // Bouncing with its sound while the hub is still current; in the activity at the end.
    EXPECT_EQ(during[0].module, kHubModule);
    EXPECT_LT(during[0].y, 0) << "risen";
    EXPECT_TRUE(during[0].sound);
    EXPECT_EQ(during[2].module, kHubModule);
    EXPECT_EQ(during[3].module, 3);
}

// What is not an entrance's own click is not handled and switches nothing; a close of the
// program during the bounce ends it without a switch, and the program then ends.
TEST_F(HubStandInTest, OnlyAnEntrancesOwnClickSwitchesAndACloseDuringTheBounceLeavesTheHub) {
    const CGameModules modules;
    CZelboApp app;
    std::vector<int16_t> answers;
    int16_t closed = 0;
    int moduleAtClose = 0;
    WhenEntered([&] {
        ModuleFunctionTable* hub = theEngine->GetModuleTable(kHubModule);
        const std::vector<CCorAnim*> sprites = EntranceSprites();
        ASSERT_EQ(sprites.size(), std::size(kHubEntrances));
        CCorAnim* other = theEngine->m_anims.Create(kNoPictureId, POINT{0, 0});
        const struct {
            CCorAnim* anim;
            int16_t id;
        } misses[] = {{sprites[0], 300}, {other, 200}, {nullptr, 200}, {sprites[4], 800}};
        for (const auto& m : misses) answers.push_back(hub->OnAnimClicked(m.anim, m.id));
        theEngine->m_anims.Remove(other);
        answers.push_back(static_cast<int16_t>(theEngine->m_currentModule));

        FromLoop([&, hub, first = sprites[0]] {
            Later(100, [&] { app.m_pMainWnd->PostMessage(WM_CLOSE); });
            closed = hub->OnAnimClicked(first, 200);
            moduleAtClose = theEngine->m_currentModule;
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_EQ(answers, (std::vector<int16_t>{0, 0, 0, 0, kHubModule}));
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(moduleAtClose, kHubModule);
}

// An activity entered from its entrance, once its entry is done: its smaller background
// centred on black (origin (20, 30)), and the home button at the bottom left.
TEST_F(HubStandInTest, GoldenActivityWithItsHomeButton) {
    const CGameModules modules;
    CZelboApp app;
    int originX = -1, originY = -1;
    WhenEntered([&] {
        const std::vector<CCorAnim*> sprites = EntranceSprites();
        ASSERT_EQ(sprites.size(), std::size(kHubEntrances));
        FromLoop([&, train = sprites[2]] {
            theEngine->m_anims.ClickAt(OpaquePointOf(train), false);  // the train: module 4
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

}  // namespace
