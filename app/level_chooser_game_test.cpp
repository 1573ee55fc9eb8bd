// The level chooser opened over the running Vevudivodizide activity (module 5: 23 groups, 88
// levels) of the whole game and driven with clicks and keys as a child would.
#include "engine/popups/level_chooser.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "adult/adult_sheet.h"
#include "app/app_test_support.h"
#include "app/game_modules.h"
#include "engine/core/cor_engine.h"
#include "engine/popups/record_panel.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "media/res/res_mgr.h"
#include "media/res/res_writer.h"
#include "platform/headless/golden_test_support.h"

namespace {

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



// ---- Leaving the module with a pop-up open ---------------------------------------------------

// The album as an activity holds it: its clicks and keys routed to it, given back when it closes.
struct OpenAlbum {
    CRecordPanel* panel = nullptr;
    ModuleFunctionTable* table = nullptr;
    int16_t (*savedClick)(CCorAnim*, int16_t) = nullptr;
    void (*savedKey)(int32_t) = nullptr;
    uint16_t stored = 0;
    int closed = 0;
};
OpenAlbum g_album;

void CloseTestAlbum() {
    ++g_album.closed;
    g_album.table->OnAnimClicked = g_album.savedClick;
    g_album.table->KeyDown = g_album.savedKey;
    g_album.panel->Close();
    delete std::exchange(g_album.panel, nullptr);
}

int16_t OnTestAlbumClicked(CCorAnim* anim, int16_t id) {
    if (g_album.panel && g_album.panel->OnClick(anim, id)) CloseTestAlbum();
    return 1;
}

void OnTestAlbumKey(int32_t key) {
    if (g_album.panel && g_album.panel->OnKey(static_cast<uint32_t>(key))) CloseTestAlbum();
}

enum class Way { Switch, AdultHotKey, CtrlX, WindowClose };

struct LeaveCase {
    const char* name;
    Way way;
    bool album;  // else the level chooser
};

const LeaveCase kLeaveCases[] = {
    {"ChooserSwitch", Way::Switch, false},      {"ChooserAdultHotKey", Way::AdultHotKey, false},
    {"ChooserCtrlX", Way::CtrlX, false},        {"ChooserWindowClose", Way::WindowClose, false},
    {"AlbumSwitch", Way::Switch, true},         {"AlbumAdultHotKey", Way::AdultHotKey, true},
    {"AlbumCtrlX", Way::CtrlX, true},           {"AlbumWindowClose", Way::WindowClose, true},
};

// Module 6 (the chooser's table 'IN#' 800 and pictures from 800, the album's pictures from 60)
// is left by each way with the pop-up open: the pop-up closes as Cancel does before the module
// goes, its opener hears of it once, the module's entries and the hot keys are as before, and
// where the game goes on the pop-up opens again in the module.
class LeaveWithPopupOpen : public LevelChooserTest, public ::testing::WithParamInterface<LeaveCase> {
protected:
    bool OpenPopup(bool album) {
        ModuleFunctionTable* table = theEngine->m_moduleTable;
        if (!album) return ShowLevelChooser(table, Remember, 800, 4, 800, nullptr) == 1;
        g_album.table = table;
        g_album.savedClick = table->OnAnimClicked;
        g_album.savedKey = table->KeyDown;
        // The player has no album file yet: the panel says so (answered OK) and opens empty.
        const plat::MessageBoxHook before = plat::SetMessageBoxHook([](LPCSTR, UINT, UINT) { return IDOK; });
        g_album.panel = new CRecordPanel(5, 5, 60, 0, 6000, nullptr, nullptr, 0, nullptr, 1, &g_album.stored);
        plat::SetMessageBoxHook(before);
        g_album.panel->SetCloser(CloseTestAlbum);
        table->OnAnimClicked = OnTestAlbumClicked;
        table->KeyDown = OnTestAlbumKey;
        return true;
    }
    static int Heard(bool album) { return album ? g_album.closed : g_reported.calls; }
    static bool Open(bool album) {
        return album ? g_album.panel != nullptr || CRecordPanel::Current() != nullptr
                     : CLevelChooser::Current() != nullptr;
    }
    void KeyWith(std::initializer_list<int> modifiers, int vk) {
        plat::InputEvent ev;
        ev.kind = plat::InputKind::KeyDown;
        for (int m : modifiers) {
            ev.vk = m;
            m_head->QueueInput(At(20), ev);
        }
        m_head->Key(At(30), vk);
        ev.kind = plat::InputKind::KeyUp;
        for (int m : modifiers) {
            ev.vk = m;
            m_head->QueueInput(At(40), ev);
        }
    }
    // The module's entries and the hot keys as they were before the pop-up opened.
    void ExpectPutBack() {
        const ModuleFunctionTable& now = *theEngine->GetModuleTable(6);
        EXPECT_EQ(now.OnAnimClicked, m_before.OnAnimClicked);
        EXPECT_EQ(now.KeyDown, m_before.KeyDown);
        EXPECT_EQ(now.Tick, m_before.Tick);
        EXPECT_EQ(theEngine->m_ctrlAltAEnabled, m_adultKey);
        EXPECT_EQ(theEngine->m_ctrlQEnabled, m_quitKey);
    }

    ModuleFunctionTable m_before{};
    int32_t m_adultKey = 0, m_quitKey = 0;
};

TEST_P(LeaveWithPopupOpen, ThePopupClosesAsCancelDoesAndOpensAgain) {
    const LeaveCase& c = GetParam();
    const bool goesOn = c.way == Way::Switch || c.way == Way::AdultHotKey;
    const CGameModules modules;
    CZelboApp app;
    g_reported = Reported{};
    g_album = OpenAlbum{};
    bool reopened = false;
    const auto reopen = [&] {
        EXPECT_EQ(theEngine->m_currentModule, 6);
        EXPECT_EQ(Heard(c.album), 1);
        EXPECT_FALSE(Open(c.album));
        ExpectPutBack();
        reopened = OpenPopup(c.album);
        KeyIn(VK_ESCAPE);
        Later(600, [&] { FromLoop([&] { app.m_pMainWnd->PostMessage(WM_CLOSE); }); });
    };
    WhenEntered([&] {
        FromLoop([&] {
            EngineRunCommand(6);
            WhenEntered([&] {
                FromLoop([&] {
                    m_before = *theEngine->m_moduleTable;
                    m_adultKey = theEngine->m_ctrlAltAEnabled;
                    m_quitKey = theEngine->m_ctrlQEnabled;
                    ASSERT_TRUE(OpenPopup(c.album));
                    ASSERT_TRUE(Open(c.album));
                    switch (c.way) {
                    case Way::Switch:
                        EngineRunCommand(1);
                        WhenEntered([&] {
                            FromLoop([&] {
                                EXPECT_EQ(Heard(c.album), 1) << "heard before the hub came";
                                EngineRunCommand(6);
                                WhenEntered([&] { FromLoop(reopen); });
                            });
                        });
                        break;
                    case Way::AdultHotKey:
                        // The panel takes the hot keys while it is open; a module may give the
                        // grown-ups' key back (EnableAdultHotKey).
                        EXPECT_EQ(theEngine->m_ctrlAltAEnabled, 0);
                        EnableAdultHotKey(1);
                        m_head->PushAnswer(kAdultPlayButton);
                        KeyWith({VK_CONTROL, VK_MENU}, 'A');
                        Later(200, [&] { WhenEntered([&] { FromLoop(reopen); }); });
                        break;
                    case Way::CtrlX:
                        KeyWith({VK_CONTROL}, 'X');
                        break;
                    case Way::WindowClose:
                        app.m_pMainWnd->PostMessage(WM_CLOSE);
                        break;
                    }
                });
            });
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_FALSE(Open(c.album));
    EXPECT_EQ(Heard(c.album), goesOn ? 2 : 1) << "heard once per opening";
    EXPECT_EQ(reopened, goesOn);
    ExpectPutBack();
    if (c.album) {
        EXPECT_EQ(g_album.stored, 0) << "nothing stored";
    } else {
        EXPECT_EQ(g_reported.chosen, 0) << "as Cancel";
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, LeaveWithPopupOpen, ::testing::ValuesIn(kLeaveCases),
                         [](const ::testing::TestParamInfo<LeaveCase>& info) { return info.param.name; });

}  // namespace
