#include "setup/setwell/setwell_windows.h"

#include <gtest/gtest.h>

#include "platform/core/display.h"
#include "platform/dialogs/dialog_probe.h"
#include "platform/fs/winfile.h"
#include "setup/setwell/background_wnd.h"
#include "setup/setwell/install_dir_dlg.h"
#include "setup/setwell/progress_dlg.h"
#include "setup/setwell/windows_test_support.h"

namespace setup {
namespace {

using test::Cp;

class CRecordingHost : public CScriptHost {
public:
    int ShowSetupMessage(int kind, const std::string& text, UINT) override {
        messages.push_back(std::to_string(kind) + ":" + text);
        return IDOK;
    }
    std::vector<std::string> messages;
};

// The welcome step as the program runs it, with a stand-in for the clean-up and the exit.
class SetwellWindowsFlowTest : public test::SetwellWindowsTest {
protected:
    void SetUp() override {
        SetwellWindowsTest::SetUp();
        m_values.splashTitle = "Zelbo Installation";
        m_values.splashArtBmp = "C:\\BKGND.BMP";
        m_values.splashX = 50;
        m_values.splashY = 50;
        m_values.welcomeTitle = "Installera Zelbo";
        m_values.welcomeMessage = Cp(u8"Välkommen till Zelbo.");
        m_values.productName = "Zelbo";
        m_values.productDir = "Zelbo";
        m_values.productExe = "ZELBO";
        m_values.productSize = 1000;
        m_values.installDir = "C:\\Quorva";
        std::unique_ptr<CDIB> picture(test::MakePicture(64, 48, 16));
        ASSERT_TRUE(picture->Save("C:\\BKGND.BMP"));
        std::filesystem::create_directories(m_c / "Quorva");
    }
    SetupWindowsHost Host() {
        return SetupWindowsHost{m_values, m_host, m_secondInstance, [this] { ++m_exits; }};
    }

    ScriptValues m_values;
    CRecordingHost m_host;
    int32_t m_secondInstance = -1;
    int m_exits = 0;
};

TEST_F(SetwellWindowsFlowTest, WelcomeStepShowsTheWindowsAndTakesTheChosenFolder) {
    CSetwellWindows windows;
    SetupWindowsHost host = Host();
    m_head->At(m_head->NowMs() + 10, [] {
        // Dialog 102 over the background window, as the program shows it.
        HWND dialog = plat::ActiveDialog();
        ASSERT_NE(dialog, nullptr);
        char text[300] = {};
        GetWindowText(dialog, text, sizeof text);
        EXPECT_STREQ(text, "Installera Zelbo");
        GetDlgItemTextA(dialog, kIdcInstallPath, text, sizeof text);
        EXPECT_STREQ(text, "C:\\Quorva");
        SetDlgItemTextA(dialog, kIdcInstallPath, "C:\\Quorva\\Spel");
        GetDlgItemTextA(dialog, kIdcInstallMessage, text, sizeof text);
        EXPECT_EQ(std::string(text), Cp(u8"Välkommen till Zelbo."));
        // Room is left for "\Zelbo\ZELBO.EXE" below the folder typed.
        EXPECT_EQ(SendDlgItemMessage(dialog, kIdcInstallPath, EM_GETLIMITTEXT, 0, 0), 232 - 5);
        // Given the focus back, the dialog puts the background window's colours back.
        {
            // Another program's palette of black takes the hardware entries, then goes.
            std::vector<uint8_t> storage(sizeof(LOGPALETTE) + 235 * sizeof(PALETTEENTRY));
            auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
            log->palVersion = 0x300;
            log->palNumEntries = 236;
            PALETTEENTRY* entries = log->palPalEntry;
            for (int i = 0; i < 236; ++i) entries[i] = PALETTEENTRY{0, 0, 0, PC_NOCOLLAPSE};
            HPALETTE black = CreatePalette(log);
            HDC screen = GetDC(nullptr);
            HPALETTE old = SelectPalette(screen, black, FALSE);
            RealizePalette(screen);
            SelectPalette(screen, old, FALSE);
            ReleaseDC(nullptr, screen);
            DeleteObject(black);
        }
        auto pictureColourShown = [] {
            for (int i = 10; i < 246; ++i) {
                const PALETTEENTRY& e = plat::TheDisplay().HardwareEntry(i);
                if (e.peRed == 40 && e.peGreen == 100 && e.peBlue == 200) return true;
            }
            return false;
        };
        EXPECT_FALSE(pictureColourShown());
        SendMessage(dialog, WM_QUERYNEWPALETTE, 0, 0);
        EXPECT_TRUE(pictureColourShown());
        ::PostMessage(dialog, WM_COMMAND, IDOK, 0);
    });
    m_head->PushAnswer(plat::kMessageBoxInteractive);  // the dialog runs on the script above
    m_head->PushAnswer(IDOK);                          // make the missing folder
    windows.RunWelcomeStep(host);

    EXPECT_EQ(m_exits, 0);
    EXPECT_EQ(m_secondInstance, 0);
    EXPECT_EQ(m_values.installDir, "C:\\Quorva\\Spel");
    EXPECT_TRUE(std::filesystem::is_directory(m_c / "Quorva" / "Spel"));
    EXPECT_TRUE(m_host.messages.empty());
    CBackgroundWnd* background = windows.Background();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->PictureCount(), 1);
    EXPECT_EQ(background->PicturePosition(0).x, 288);  // (640 - 64) / 2
    EXPECT_EQ(background->PicturePosition(0).y, 196);  // (480 - 48) / 2 - 20
    EXPECT_EQ(FindWindow(nullptr, "Zelbo Installation"), background->m_hWnd);
    ASSERT_NE(windows.Progress(), nullptr);
    EXPECT_EQ(windows.Progress()->ProgressCaption(), "Installerar Zelbo");
    char caption[64] = {};
    GetWindowText(windows.Progress()->m_hWnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Installerar Zelbo");

    windows.SetProgressText("Kopierar ZELBO.EXE");
    char status[64] = {};
    GetDlgItemTextA(windows.Progress()->m_hWnd, kIdcProgressText, status, sizeof status);
    EXPECT_STREQ(status, "Kopierar ZELBO.EXE");

    HWND window = background->m_hWnd;
    windows.CloseProgress();
    windows.CloseBackground();
    EXPECT_EQ(windows.Progress(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    windows.CloseBackground();  // again: nothing
}

TEST_F(SetwellWindowsFlowTest, CancelEndsTheSetup) {
    CSetwellWindows windows;
    SetupWindowsHost host = Host();
    m_head->PushAnswer(IDCANCEL);
    windows.RunWelcomeStep(host);
    EXPECT_EQ(m_exits, 1);
    EXPECT_EQ(windows.Progress(), nullptr);
    EXPECT_EQ(m_values.installDir, "C:\\Quorva");
}

TEST_F(SetwellWindowsFlowTest, AMissingPictureIsReportedAndTheWindowShowsBlack) {
    m_values.splashArtBmp = "C:\\SAKNAS.BMP";
    CSetwellWindows windows;
    SetupWindowsHost host = Host();
    ASSERT_TRUE(windows.OpenBackground(host));
    EXPECT_EQ(m_host.messages, std::vector<std::string>{Cp(u8"2:Kunde inte öppna C:\\SAKNAS.BMP.")});
    // The empty picture: 16 x 16 of black (grey ramp entry 0).
    EXPECT_EQ(windows.Background()->PictureCount(), 1);
    EXPECT_EQ(m_secondInstance, 0);
}

TEST_F(SetwellWindowsFlowTest, AnotherRunningCopyEndsTheSetupWithoutAWindow) {
    HANDLE held = CreateSemaphore(nullptr, 0, 1, "Zelbo Installation");  // the other copy
    ASSERT_NE(held, nullptr);
    CSetwellWindows windows;
    SetupWindowsHost host = Host();
    windows.RunWelcomeStep(host);
    EXPECT_EQ(m_exits, 1);
    EXPECT_EQ(m_secondInstance, 1);
    EXPECT_EQ(windows.Background(), nullptr);
    EXPECT_EQ(FindWindow(nullptr, "Zelbo Installation"), nullptr);

    EXPECT_FALSE(windows.OpenBackground(host));  // the over-install's window: refused the same way
    EXPECT_EQ(windows.Background(), nullptr);
    CloseHandle(held);
}

}  // namespace
}  // namespace setup
