// The level chooser: the track's arithmetic, and the panel opened over the running Vevudivodizide
// activity (module 5: 23 groups, 88 levels) and driven with clicks and keys as a child would.
#include "app/level_chooser.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "app/app_test_support.h"
#include "app/game_modules.h"
#include "engine/core/cor_engine.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "media/res/res_mgr.h"
#include "media/res/res_writer.h"
#include "platform/headless/golden_test_support.h"

namespace {

// ---- The track's arithmetic ------------------------------------------------------------------

struct GroupCase {
    int16_t x;
    int16_t group;
};

TEST(LevelTrackTest, GroupFromXAcrossTheTrackTheLastGroupIncluded) {
    // Usable range 100 to 400, margin 20, groups 0 to 10: 28 pixels a group.
    const LevelTrack t = LevelTrack::Make(100, 400, 20, 10, 28);
    EXPECT_FLOAT_EQ(t.scale, 28.0f);
    const GroupCase cases[] = {{-32768, 0}, {50, 0}, {100, 0}, {127, 0}, {128, 1}, {155, 1}, {156, 2},
                               {379, 9},    {380, 10}, {381, 10}, {400, 10}, {401, 10}, {32767, 10}};
    for (const GroupCase& c : cases) EXPECT_EQ(t.GroupFromX(c.x), c.group) << "x " << c.x;
}

TEST(LevelTrackTest, AScaleOfZeroOrLessGivesTheLastGroupEverywhere) {
    for (const LevelTrack& t : {LevelTrack::Make(100, 400, 300, 10, 28), LevelTrack::Make(100, 400, 900, 10, 28),
                                LevelTrack{100, 400, -50, 10, 28, 0.0f}, LevelTrack{100, 400, 0, 10, 28, -3.0f}}) {
        for (int16_t x : {int16_t{-32768}, int16_t{0}, int16_t{100}, int16_t{101}, int16_t{250}, int16_t{400}}) {
            EXPECT_EQ(t.GroupFromX(x), 10) << "x " << x << ", margin " << t.endMargin;
        }
    }
}

TEST(LevelTrackTest, ThumbPlaces) {
    const LevelTrack t = LevelTrack::Make(100, 400, 20, 10, 28);
    EXPECT_EQ(t.ThumbX(0), 97);
    EXPECT_EQ(t.ThumbX(1), 125);
    EXPECT_EQ(t.ThumbX(9), 349);
    // The last group from the track's right end, not from the scale.
    EXPECT_EQ(t.ThumbX(10), 400 - 14 - 10);
}

// Each activity's track (360 pixels, a thumb 28 wide, its margin and groups): every group can be
// clicked, the thumb's places run left to right, and a thumb put at a group's place is read
// back as that group by the drag (from its middle).
TEST(LevelTrackTest, EveryGroupHasItsStretchOfTheTrackAndItsPlace) {
    const struct {
        int16_t lastGroup, margin;
    } tracks[] = {{25, 14}, {12, 28}, {24, 14}, {22, 16}};
    for (const auto& k : tracks) {
        const LevelTrack t = LevelTrack::Make(100, 100 + 360 - 28, k.margin, k.lastGroup, 28);
        std::vector<int> clicks(static_cast<size_t>(k.lastGroup) + 1, 0);
        for (int x = t.left; x <= t.right; ++x) ++clicks[static_cast<size_t>(t.GroupFromX(static_cast<int16_t>(x)))];
        for (int g = 0; g <= k.lastGroup; ++g) {
            EXPECT_GT(clicks[static_cast<size_t>(g)], 0) << "N " << k.lastGroup << ": group " << g << " cannot be clicked";
            const int16_t x = t.ThumbX(static_cast<int16_t>(g));
            if (g > 0) {
                EXPECT_GT(x, t.ThumbX(static_cast<int16_t>(g - 1))) << "N " << k.lastGroup << ", group " << g;
            }
            EXPECT_EQ(t.GroupFromX(static_cast<int16_t>(x + t.thumbWidth / 2 - 1)), g) << "N " << k.lastGroup;
        }
    }
}

// ---- The panel in the game -------------------------------------------------------------------

using app_test::AppTest;

constexpr int16_t kTable = 100;
constexpr int16_t kBase = 870;
constexpr int16_t kLastGroup = 22;

struct Reported {
    int calls = 0;
    uint16_t chosen = 99;
    int16_t index = -99;
};
Reported g_reported;

void Remember(uint16_t chosen, int16_t index) {
    ++g_reported.calls;
    g_reported.chosen = chosen;
    g_reported.index = index;
}

std::function<void()> g_fromLoop;

void CALLBACK RunFromLoop(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> fn = std::move(g_fromLoop);
    g_fromLoop = nullptr;
    CEngineCall call;
    fn();
}

// Runs fn from the application's message loop as one engine call, as the game view's messages
// run (a scripted callback of the virtual clock cannot wait: the clock stands still inside it).
void FromLoop(std::function<void()> fn) {
    g_fromLoop = std::move(fn);
    SetTimer(nullptr, 0, 1, RunFromLoop);
}

POINT CentreOf(CCorAnim* sprite) {
    int16_t w = 0, h = 0;
    GetPictureSize(GetSpriteFrame(sprite), w, h);
    return POINT{GetSpriteX(sprite) + w / 2, GetSpriteY(sprite) + h / 2};
}

class LevelChooserTest : public AppTest {
protected:
    // Runs the game into module 5, then the steps one after another, each from the loop once the
    // time before it has passed; the game is closed after the last.
    void RunInModule5(std::vector<std::pair<uint64_t, std::function<void()>>> steps) {
        const CGameModules modules;
        CZelboApp app;
        g_reported = Reported{};
        m_steps = std::move(steps);
        m_next = 0;
        WhenEntered([&] {
            FromLoop([&] {
                EngineRunCommand(5);
                WhenEntered([&] { NextStep(app); });
            });
        });
        EXPECT_EQ(RunGame(app), 0);
        EXPECT_EQ(CLevelChooser::Current(), nullptr) << "left open";
    }

    void NextStep(CZelboApp& app) {
        if (m_next == m_steps.size()) {
            app.m_pMainWnd->PostMessage(WM_CLOSE);
            return;
        }
        const size_t step = m_next++;
        Later(m_steps[step].first, [this, &app, step] {
            FromLoop([this, &app, step] {
                m_steps[step].second();
                NextStep(app);
            });
        });
    }

    // Opens the chooser of module 5 with the level index; true when it is open.
    bool Open(int16_t index) {
        EXPECT_EQ(theEngine->m_currentModule, 5);
        return ShowLevelChooser(theEngine->m_moduleTable, Remember, kTable, index, kBase, nullptr) == 1;
    }
    // A click at a point of the picture (module 5's origin is the window's).
    void ClickAt(POINT p, uint64_t dt = 50) { m_head->Click(At(dt), p.x, p.y); }
    void KeyIn(int vk, uint64_t dt = 50) { m_head->Key(At(dt), vk); }

    std::vector<std::pair<uint64_t, std::function<void()>>> m_steps;
    size_t m_next = 0;
};

TEST_F(LevelChooserTest, OkUnchangedGivesBackTheIndexAndOkAfterAChangeTheGroupsFirstLevel) {
    const LevelTrack* track = nullptr;
    RunInModule5({
        {10, [&] { ASSERT_TRUE(Open(9)); ClickAt(CentreOf(CLevelChooser::Current()->Sprite(13))); }},
        {600, [&] {
             EXPECT_EQ(CLevelChooser::Current(), nullptr);
             EXPECT_EQ(g_reported.calls, 1);
             EXPECT_EQ(g_reported.chosen, 0);
             EXPECT_EQ(g_reported.index, 9);
             ASSERT_TRUE(Open(9));
             CLevelChooser* c = CLevelChooser::Current();
             EXPECT_EQ(c->Group(), 1);  // level 10, the last of group 1 (levels 4 to 10)
             track = &c->TrackMath();
             // Group 5 (levels 17 to 22) clicked on the track, then OK.
             // Low on the track: the wedge is thin at its easy end.
             const int16_t y = static_cast<int16_t>(GetSpriteY(c->Sprite(0)) + 24);
             ClickAt(POINT{static_cast<int>(track->left + track->scale * 5 + 2), y});
             ClickAt(CentreOf(c->Sprite(13)), 300);
         }},
        {800, [&] {
             EXPECT_EQ(g_reported.calls, 2);
             EXPECT_EQ(g_reported.chosen, 1);
             EXPECT_EQ(g_reported.index, 16);
         }},
    });
}

TEST_F(LevelChooserTest, EnterActsAsOkAndEscapeAsCancel) {
    RunInModule5({
        {10, [&] {
             ASSERT_TRUE(Open(4));
             CLevelChooser* c = CLevelChooser::Current();
             const LevelTrack& t = c->TrackMath();
             ClickAt(POINT{t.right, CentreOf(c->Sprite(0)).y});  // the end margin: the last group
             KeyIn(VK_ESCAPE, 300);
         }},
        {600, [&] {
             EXPECT_EQ(g_reported.calls, 1);
             EXPECT_EQ(g_reported.chosen, 0) << "a cancel reports no choice";
             EXPECT_EQ(g_reported.index, 4);
             ASSERT_TRUE(Open(4));
             CLevelChooser* c = CLevelChooser::Current();
             ClickAt(POINT{c->TrackMath().right, CentreOf(c->Sprite(0)).y});
             KeyIn('A', 200);  // ignored
             KeyIn(VK_RETURN, 300);
         }},
        {600, [&] {
             EXPECT_EQ(g_reported.calls, 2);
             EXPECT_EQ(g_reported.chosen, 1);
             EXPECT_EQ(g_reported.index, 87) << "level 88, the last group's only level";
             ASSERT_TRUE(Open(4));
             KeyIn(VK_RETURN);
         }},
        {600, [&] {
             EXPECT_EQ(g_reported.calls, 3);
             EXPECT_EQ(g_reported.chosen, 0) << "Enter without a change";
             EXPECT_EQ(g_reported.index, 4);
         }},
    });
}

// The level index at opening: the group shown at first, and what a cancel reports (never a
// negative index).
TEST_F(LevelChooserTest, TheIndexAtOpeningHeldToLevelOneAndToTheLastGroup) {
    const struct {
        int16_t index;
        int16_t level;
        int16_t group;
        int16_t reported;
    } cases[] = {{-1, 1, 0, 0}, {-7, 1, 0, 0}, {-32768, 1, 0, 0}, {0, 1, 0, 0}, {3, 4, 1, 3},
                 {87, 88, kLastGroup, 87}, {200, 201, kLastGroup, 200}};
    std::vector<std::pair<uint64_t, std::function<void()>>> steps;
    int expectedCalls = 0;
    for (const auto& c : cases) {
        steps.emplace_back(600, [&, c, calls = expectedCalls] {
            EXPECT_EQ(g_reported.calls, calls);
            ASSERT_TRUE(Open(c.index));
            EXPECT_EQ(CLevelChooser::Current()->CurrentLevel(), c.level) << c.index;
            EXPECT_EQ(CLevelChooser::Current()->LevelAtOpening(), c.level) << c.index;
            EXPECT_EQ(CLevelChooser::Current()->Group(), c.group) << c.index;
            KeyIn(VK_ESCAPE);
        });
        steps.emplace_back(600, [&, c] {
            EXPECT_EQ(g_reported.chosen, 0);
            EXPECT_EQ(g_reported.index, c.reported) << c.index;
        });
        ++expectedCalls;
    }
    RunInModule5(std::move(steps));
    EXPECT_EQ(g_reported.calls, static_cast<int>(std::size(cases)));
}

TEST_F(LevelChooserTest, TheThreeEntriesAreTakenAndGivenBackAndScanningComesOnAgain) {
    ModuleFunctionTable before{};
    bool scanWasOn = false, scanWhileOpen = true;
    RunInModule5({
        {10, [&] {
             theEngine->m_scanner.Enable(TRUE);
             scanWasOn = IsScanOn() != 0;
             before = *theEngine->m_moduleTable;
             ASSERT_TRUE(Open(0));
             const ModuleFunctionTable& now = *theEngine->m_moduleTable;
             EXPECT_NE(now.OnAnimClicked, before.OnAnimClicked);
             EXPECT_NE(now.OnAnimClicked, nullptr);
             EXPECT_NE(now.KeyDown, before.KeyDown);
             EXPECT_NE(now.KeyDown, nullptr);
             EXPECT_EQ(now.Tick, nullptr);
             EXPECT_EQ(now.Enter, before.Enter) << "the other entries stay";
             EXPECT_EQ(now.Leave, before.Leave);
             EXPECT_EQ(now.Notify, before.Notify);
             scanWhileOpen = IsScanOn() != 0;
             // A second chooser is refused and answered at once.
             EXPECT_EQ(ShowLevelChooser(theEngine->m_moduleTable, Remember, kTable, 5, kBase, nullptr), 0);
             EXPECT_EQ(g_reported.calls, 1);
             EXPECT_EQ(g_reported.index, 5);
             KeyIn(VK_ESCAPE);
         }},
        {600, [&] {
             EXPECT_EQ(g_reported.calls, 2);
             const ModuleFunctionTable& now = *theEngine->m_moduleTable;
             EXPECT_EQ(now.OnAnimClicked, before.OnAnimClicked);
             EXPECT_EQ(now.Tick, before.Tick);
             EXPECT_EQ(now.KeyDown, before.KeyDown);
             EXPECT_NE(IsScanOn(), 0) << "scanning on again";
             EXPECT_EQ(EngineFindSpot(kLevelChooserTrackSpot), nullptr) << "the track's spot is gone";
             theEngine->m_scanner.Enable(FALSE);
         }},
    });
    EXPECT_TRUE(scanWasOn);
    EXPECT_FALSE(scanWhileOpen);
}

TEST_F(LevelChooserTest, UnfoldedTheRulerChoosesItsSegmentsAndFoldingMovesTheButtons) {
    POINT okFolded{}, okUnfolded{};
    RunInModule5({
        {10, [&] {
             ASSERT_TRUE(Open(0));
             CLevelChooser* c = CLevelChooser::Current();
             okFolded = POINT{GetSpriteX(c->Sprite(13)), GetSpriteY(c->Sprite(13))};
             ClickAt(CentreOf(c->Sprite(17)));
         }},
        {400, [&] {
             CLevelChooser* c = CLevelChooser::Current();
             ASSERT_NE(c, nullptr);
             EXPECT_TRUE(c->Unfolded());
             okUnfolded = POINT{GetSpriteX(c->Sprite(13)), GetSpriteY(c->Sprite(13))};
             EXPECT_EQ(GetSpriteFrame(c->Sprite(11)), kBase + 11);
             EXPECT_EQ(GetSpriteFrame(c->Sprite(12)), kBase + 12);
             // Group 14 (levels 61 to 63) is the right column's third segment.
             const Rect16& s = c->Segments()[14];
             EXPECT_GT(s.left, c->Segments()[0].left);
             ClickAt(POINT{(s.left + s.right) / 2, (s.top + s.bottom) / 2});
         }},
        {400, [&] {
             CLevelChooser* c = CLevelChooser::Current();
             ASSERT_NE(c, nullptr);
             EXPECT_EQ(c->Group(), 14);
             EXPECT_TRUE(c->Changed());
             EXPECT_EQ(GetSpriteX(c->Sprite(1)), c->TrackMath().ThumbX(14)) << "the thumb follows the ruler";
             KeyIn(VK_RETURN);
         }},
        {600, [&] {
             EXPECT_EQ(g_reported.chosen, 1);
             EXPECT_EQ(g_reported.index, 60);
         }},
    });
    EXPECT_GT(okUnfolded.y, okFolded.y) << "the buttons go down to the unfolded panel's bottom";
    EXPECT_EQ(okUnfolded.x, okFolded.x);
}

TEST_F(LevelChooserTest, DraggingTheThumbToTheEndChoosesTheLastGroup) {
    RunInModule5({
        {10, [&] {
             ASSERT_TRUE(Open(0));
             CLevelChooser* c = CLevelChooser::Current();
             const POINT from = CentreOf(c->Sprite(1));
             plat::InputEvent ev;
             ev.button = plat::MouseButton::Left;
             ev.kind = plat::InputKind::MouseDown;
             ev.x = from.x;
             ev.y = from.y;
             m_head->QueueInput(At(50), ev);
             ev.kind = plat::InputKind::MouseMove;
             for (int i = 1; i <= 8; ++i) {
                 ev.x = from.x + i * 60;
                 m_head->QueueInput(At(50 + 30 * static_cast<uint64_t>(i)), ev);
             }
             ev.kind = plat::InputKind::MouseUp;
             m_head->QueueInput(At(400), ev);
         }},
        {800, [&] {
             CLevelChooser* c = CLevelChooser::Current();
             ASSERT_NE(c, nullptr);
             EXPECT_EQ(c->Group(), kLastGroup);
             EXPECT_EQ(GetSpriteX(c->Sprite(1)), c->TrackMath().ThumbX(kLastGroup));
             KeyIn(VK_RETURN);
         }},
        {600, [&] {
             EXPECT_EQ(g_reported.chosen, 1);
             EXPECT_EQ(g_reported.index, 87);
         }},
    });
}

// ---- A table of 30 groups -----------------------------------------------------------------------

std::string TypeText(uint32_t value) {
    std::string s;
    for (int shift = value > 0xFFFFFF ? 24 : 16; shift >= 0; shift -= 8) s += static_cast<char>(value >> shift);
    return s;
}

TEST_F(LevelChooserTest, ThirtyGroupsAreHeldToTheTwentySixSegments) {
    // Module 5's file again, with table 101: N = 30 and 30 groups of one level.
    const std::string path = (m_tmp / "c" / "ZELBO" / "Zelbo5.res").string();
    {
        CResMgr mgr;
        ASSERT_EQ(mgr.Open(plat::HostToDosPath(path).c_str()), 1);
        media::CResWriter w;
        for (ResDirEntry& e : mgr.Entries()) {
            std::vector<uint8_t> bytes(e.size);
            e.readPos = 0;
            ASSERT_TRUE(mgr.LoadItem(bytes.data(), &e, e.size));
            ASSERT_TRUE(w.Add(TypeText(e.type), static_cast<uint16_t>(e.id), bytes, e.reserved));
        }
        const std::vector<media::LevelGroup> groups(30, media::LevelGroup{1, 1});
        ASSERT_TRUE(w.Add("IN#", 5101, media::LevelTableBytes(30, 8, 0, 0, 12, groups)));
        mgr.Close();
        std::string error;
        ASSERT_TRUE(w.WriteFile(path, &error)) << error;
    }
    RunInModule5({
        {10, [&] {
             ASSERT_EQ(ShowLevelChooser(theEngine->m_moduleTable, Remember, 101, 40, kBase, nullptr), 1);
             CLevelChooser* c = CLevelChooser::Current();
             EXPECT_EQ(c->LastGroup(), 25);
             EXPECT_EQ(c->Group(), 25) << "level 41 lies past the 26 levels kept";
             for (const Rect16& s : c->Segments()) EXPECT_EQ(s.bottom - s.top, 7);
             ClickAt(POINT{c->TrackMath().left, CentreOf(c->Sprite(0)).y});
             ClickAt(POINT{c->TrackMath().right, CentreOf(c->Sprite(0)).y}, 200);
             KeyIn(VK_RETURN, 400);
         }},
        {800, [&] {
             EXPECT_EQ(g_reported.chosen, 1);
             EXPECT_EQ(g_reported.index, 25);
         }},
    });
}

// ---- Golden images ---------------------------------------------------------------------------

TEST_F(LevelChooserTest, GoldenPanelFoldedAndUnfolded) {
    RunInModule5({
        {10, [&] { ASSERT_TRUE(Open(9)); }},
        {400, [&] {
             plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "level_chooser_folded.png");
             ClickAt(CentreOf(CLevelChooser::Current()->Sprite(17)));
         }},
        {400, [&] {
             plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "level_chooser_unfolded.png");
             KeyIn(VK_ESCAPE);
         }},
        {600, [&] { EXPECT_EQ(g_reported.calls, 1); }},
    });
}

}  // namespace
