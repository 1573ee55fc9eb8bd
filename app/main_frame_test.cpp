// The main frame: the WinG and display-mode choices, the window it makes, and the switch to the
// plain views and back.
#include "app/app_test_support.h"
#include "app/daz_view.h"
#include "app/main_frame.h"
#include "app/rerava_view.h"
#include "media/surface/dib_system.h"
#include "platform/dialogs/common_dialogs.h"
#include "platform/profile/profile.h"

namespace {

using app_test::AppTest;
using app_test::SetRegistryString;

struct ChoiceCase {
    const char* name;
    const char* registryWinG;    // HKEY_LOCAL_MACHINE\Software\Quorva "WING", or null
    const char* iniWinG;         // QUORVA.INI [COMMON] WING, or null
    const char* registryResize;  // "AUTORESIZE" likewise
    const char* iniResize;
    const char* commandLine;  // the arguments after the program's name
    int bitsPerPixel;
    int planes;
    bool winG;
    bool fullScreenWhenActive;
};

const ChoiceCase kChoices[] = {
    {"Nothing", nullptr, nullptr, nullptr, nullptr, "", 8, 1, true, true},
    {"RegistryWinGOff", "off", nullptr, nullptr, nullptr, "", 8, 1, false, true},
    {"IniWinGOff", nullptr, "OFF", nullptr, nullptr, "", 8, 1, false, true},
    {"IniWinGOn", nullptr, "on", nullptr, nullptr, "", 8, 1, true, true},
    {"SlashWInsideAWord", nullptr, nullptr, nullptr, nullptr, "lek/wild", 8, 1, false, true},
    {"SlashCapitalW", nullptr, nullptr, nullptr, nullptr, "/W", 8, 1, false, true},
    {"SixteenBitsPerPixel", nullptr, nullptr, nullptr, nullptr, "", 16, 1, false, true},
    {"TwoPlanes", nullptr, nullptr, nullptr, nullptr, "", 8, 2, false, true},
    {"SlashR", nullptr, nullptr, nullptr, nullptr, "/r", 8, 1, true, false},
    {"SlashCapitalRAfterW", nullptr, nullptr, nullptr, nullptr, "/w/R", 8, 1, false, false},
    {"RegistryResizeOff", nullptr, nullptr, "Off", nullptr, "", 8, 1, true, false},
    {"IniResizeOff", nullptr, nullptr, nullptr, "off", "", 8, 1, true, false},
};

class DisplayChoices : public AppTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(DisplayChoices, WinGAndFullScreenFollowTheSettings) {
    const ChoiceCase& c = GetParam();
    if (c.registryWinG) SetRegistryString("Software\\Quorva", "WING", c.registryWinG);
    if (c.registryResize) SetRegistryString("Software\\Quorva", "AUTORESIZE", c.registryResize);
    if (c.iniWinG) WritePrivateProfileStringA("COMMON", "WING", c.iniWinG, "QUORVA.INI");
    if (c.iniResize) WritePrivateProfileStringA("COMMON", "AUTORESIZE", c.iniResize, "QUORVA.INI");
    plat::OverrideDeviceCaps(BITSPIXEL, c.bitsPerPixel);
    plat::OverrideDeviceCaps(PLANES, c.planes);

    CZelboApp app;
    bool winG = !c.winG, surfacesOnWinG = !c.winG, fullWhenActive = !c.fullScreenWhenActive, fullAfter = true;
    CRect frameWhenActive, viewWhenActive;
    WhenEntered([&] {
        Input(0, plat::InputKind::FocusGained);
        Later(100, [&] {
            winG = CMainFrame::WinGChosen();
            surfacesOnWinG = TheDibSystem().winGInUse;
            fullWhenActive = m_head->Fullscreen();
            app.m_pMainWnd->GetWindowRect(&frameWhenActive);
            static_cast<CFrameWnd*>(app.m_pMainWnd)->GetActiveView()->GetWindowRect(&viewWhenActive);
        });
        Input(200, plat::InputKind::FocusLost);
        Later(300, [&] {
            fullAfter = m_head->Fullscreen();
            app.m_pMainWnd->PostMessage(WM_CLOSE);
        });
    });
    std::vector<std::string> args{"zelbo"};
    if (*c.commandLine) args.emplace_back(c.commandLine);
    EXPECT_EQ(RunGame(app, args), 0);
    plat::ClearDeviceCapsOverrides();
    EXPECT_EQ(winG, c.winG);
    EXPECT_EQ(surfacesOnWinG, c.winG);
    EXPECT_EQ(fullWhenActive, c.fullScreenWhenActive);
    EXPECT_FALSE(fullAfter) << "leaving the game brings the desktop's mode back";
    // Full screen, the frame's edges lie off the screen; the game screen stays where it was.
    if (c.fullScreenWhenActive) {
        EXPECT_EQ(frameWhenActive, CRect(-9, -9, 649, 489));
    }
    EXPECT_EQ(viewWhenActive, CRect(0, 0, 640, 480));
}

INSTANTIATE_TEST_SUITE_P(Settings, DisplayChoices, ::testing::ValuesIn(kChoices),
                         [](const ::testing::TestParamInfo<ChoiceCase>& info) { return info.param.name; });

TEST_F(AppTest, AScreenSaverRestoresTheModeAndTheNextDeactivationLeavesIt) {
    CZelboApp app;
    std::vector<bool> full;
    auto note = [&] { full.push_back(m_head->Fullscreen()); };
    WhenEntered([&] {
        Input(0, plat::InputKind::FocusGained);
        Later(50, note);
        Later(100, [&] { app.m_pMainWnd->SendMessage(WM_SYSCOMMAND, SC_SCREENSAVE); });
        Later(150, note);
        Later(160, [&] { m_head->SetFullscreen(true); });  // as if something else had changed it since
        Input(200, plat::InputKind::FocusLost);
        Later(250, note);
        Input(300, plat::InputKind::FocusGained);
        Later(350, note);
        Input(400, plat::InputKind::FocusLost);
        Later(450, [&] {
            note();
            app.m_pMainWnd->PostMessage(WM_CLOSE);
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    // Full; restored by the screen saver; the first deactivation after it only re-arms; full
    // again; the next deactivation restores.
    EXPECT_EQ(full, (std::vector<bool>{true, false, true, true, false}));
}

TEST_F(AppTest, TheFrameIsAPopupOverTheScreenWithoutMenus) {
    CZelboApp app;
    bool checked = false;
    WhenEntered([&] {
        checked = true;
        auto* frame = static_cast<CMainFrame*>(app.m_pMainWnd);
        CString title;
        frame->GetWindowText(title);
        EXPECT_EQ(title, "Trumlaby");
        CRect r;
        frame->GetWindowRect(&r);
        EXPECT_EQ(r, CRect(0, 0, 640, 480));
        EXPECT_TRUE(frame->GetStyle() & WS_POPUP);
        EXPECT_EQ(::GetMenu(frame->m_hWnd), nullptr);
        HMENU system = ::GetSystemMenu(frame->m_hWnd, FALSE);
        for (UINT gone : {SC_SIZE, SC_MOVE, SC_RESTORE})
            EXPECT_EQ(::GetMenuState(system, gone, MF_BYCOMMAND), 0xFFFFFFFFu) << gone;
        EXPECT_NE(::GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), 0xFFFFFFFFu);
        CView* view = frame->GetActiveView();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(view->IsKindOf(RUNTIME_CLASS(CReravaView)));
        view->GetWindowRect(&r);
        EXPECT_EQ(r, CRect(0, 0, 640, 480));
        // Commands 53251 (nothing) and a view kind that exists not change nothing.
        frame->SendMessage(WM_COMMAND, kCmdNothing);
        frame->SwitchView(3);
        EXPECT_EQ(frame->GetActiveView(), view);
        // Printing defaults to landscape.
        PRINTDLG pd;
        ASSERT_TRUE(app.GetPrinterDeviceDefaults(&pd));
        const auto* mode = static_cast<const DEVMODE*>(GlobalLock(pd.hDevMode));
        ASSERT_NE(mode, nullptr);
        EXPECT_EQ(mode->dmOrientation, DMORIENT_LANDSCAPE);
        GlobalUnlock(pd.hDevMode);
        // The about command shows its box.
        m_head->PushAnswer(IDOK);
        frame->SendMessage(WM_COMMAND, ID_APP_ABOUT);
        frame->PostMessage(WM_CLOSE);
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(m_head->AnswersLeft(), 0u) << "the about box took its answer";
}

TEST_F(AppTest, ThePlainViewStandsInForTheGameUntilAButtonRelease) {
    CZelboApp app;
    CMainFrame* frame = nullptr;
    CView* plain = nullptr;
    bool engineInPlain = true, stillPlainAfterPress = false, runningAgain = false;
    CRect plainRect;
    WhenEntered([&] {
        frame = static_cast<CMainFrame*>(app.m_pMainWnd);
        ASSERT_TRUE(theEngine->m_running);
        frame->PostMessage(WM_COMMAND, kCmdView2);
        Later(100, [&] {
            plain = frame->GetActiveView();
            ASSERT_NE(plain, nullptr);
            EXPECT_TRUE(plain->IsKindOf(RUNTIME_CLASS(CDaZ2View)));
            EXPECT_EQ(frame->ViewKind(), 2);
            plain->GetWindowRect(&plainRect);
            engineInPlain = theEngine->IsStarted();
            EXPECT_EQ(::GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST), plain->m_hWnd);
        });
        plat::InputEvent press;
        press.kind = plat::InputKind::MouseDown;
        press.x = 320;
        press.y = 240;
        m_head->QueueInput(At(200), press);
        Later(250, [&] { stillPlainAfterPress = frame->GetActiveView() == plain && frame->ViewKind() == 2; });
        plat::InputEvent release = press;
        release.kind = plat::InputKind::MouseUp;
        m_head->QueueInput(At(300), release);
        // Start-up runs again and the first paint enters the home module again.
        Later(310, [&] {
            WhenEntered([&] {
                CView* game = frame->GetActiveView();
                ASSERT_NE(game, nullptr);
                EXPECT_TRUE(game->IsKindOf(RUNTIME_CLASS(CReravaView)));
                EXPECT_EQ(frame->ViewKind(), 0);
                runningAgain = theEngine->IsStarted() && theEngine->m_running;
                frame->PostMessage(WM_CLOSE);
            });
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_EQ(plainRect, CRect(220, 140, 420, 340));  // 200 x 200, centred
    EXPECT_FALSE(engineInPlain) << "the game view's destruction shut the engine down";
    EXPECT_TRUE(stillPlainAfterPress);
    EXPECT_TRUE(runningAgain);
    EXPECT_FALSE(theEngine->IsStarted());
}

}  // namespace
