// The application object with the program's own windows (MakeSetupWindows), as setwell_main
// installs them: the flow through the real background window and dialogs.
#include <gtest/gtest.h>

#include "platform/afx/mem_file.h"
#include "platform/afxwin/afxwin.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/dialogs/resources.h"
#include "platform/gdi/wingdi.h"
#include "platform/ipc/ipc.h"
#include "setup/setwell/dib.h"
#include "setup/setwell/setwell_dialogs.h"
#include "setup/setwell/setwell_test_support.h"
#include "setup/setwell/setwell_windows.h"

namespace setup::testing {
namespace {

constexpr char kTitle[] = "Zelbo installation";

std::string Script() {
    return std::string("SplashScreenTitle ") + kTitle +
           ";\nSplashScreenArtBmp [SetupDir]\\KELVAT\\BKGND.BMP;\nSplashScreenArtPos 50, 50;\n"
           "ProductName Zelbo;\nProductVersion 1.0;\nProductDir Zelbo;\nProductExe ZELBO;\nProductSize 1000;\n"
           "UninstallExe REMBLY.EXE;\nUninstallVersionZelbo ZelboTally;\n"
           "WelcomeDialog;\n"
           "File [SourceDrive]\\KELVAT\\DATA.TXT, [InstallDir]\\Zelbo\\DATA.TXT;\n";
}

class SetwellProgramWindowsTest : public SetwellTest {
protected:
    void SetUp() override {
        SetwellTest::SetUp();
        plat::ResetGdi();
        plat::ClearDialogTemplates();
        plat::InstallDialogs();
        RegisterSetwellDialogs();
        app->SetWindows(MakeSetupWindows());
        windows = nullptr;
        CDIB picture;
        CMemFile bmp;
        ASSERT_TRUE(picture.Write(bmp));
        Put(cd1 / "KELVAT" / "BKGND.BMP",
            std::string(reinterpret_cast<const char*>(bmp.Bytes().data()), bmp.Bytes().size()));
        Put(cd1 / "KELVAT" / "DATA.TXT", "data");
        PutScript(Script());
    }
    void TearDown() override {
        app.reset();
        plat::ReleaseNamedSemaphores();
        plat::ResetWindowing();
        AfxDeleteTempMaps();
        plat::ResetGdi();
        SetwellTest::TearDown();
    }
};

TEST_F(SetwellProgramWindowsTest, ANewInstallationGoesThroughDialog102) {
    head->PushAnswer(IDOK);  // dialog 102, on the folder offered
    head->PushAnswer(IDOK);  // make the missing folder
    head->PushAnswer(IDOK);  // the installation is done
    EXPECT_FALSE(Run(""));
    EXPECT_EQ(Get(root / "Program Files" / "Quorva" / "Zelbo" / "DATA.TXT"), "data");
    EXPECT_EQ(Texts(), (std::vector<std::string>{Text(kIdsCreateMissingFolder, "C:\\Program Files\\Quorva"),
                                                 Text(kIdsInstallationDone, "Zelbo")}));
    EXPECT_EQ(plat::MessageBoxLog()[0].caption, "Kontrollerar...");
    EXPECT_EQ(app->m_secondInstance, 0);
    EXPECT_EQ(app->m_pMainWnd, nullptr) << "the clean-up closed the background window";
    EXPECT_EQ(FindWindow(nullptr, kTitle), nullptr);
}

TEST_F(SetwellProgramWindowsTest, CancelInDialog102EndsTheRunWithNothingInstalled) {
    head->PushAnswer(IDCANCEL);
    EXPECT_TRUE(Run(""));
    EXPECT_FALSE(fs::exists(root / "Program Files" / "Quorva" / "Zelbo"));
    EXPECT_EQ(FindWindow(nullptr, kTitle), nullptr);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
}

TEST_F(SetwellProgramWindowsTest, AnOverInstallShowsTheBackgroundAndRunsPass2) {
    SetValue("Software\\Quorva\\Zelbo\\1.0", "Install Path", REG_SZ, "C:\\Quorva\\Zelbo\\ZELBO.EXE");
    Put(root / "Quorva" / "Zelbo" / "ZELBO.EXE", "exe");
    head->PushAnswer(IDOK);  // the installation is done
    EXPECT_TRUE(Run("OverInstall"));
    ASSERT_EQ(Texts(), std::vector<std::string>{Text(kIdsInstallationDone, "Zelbo")});
    EXPECT_NE(plat::MessageBoxLog()[0].owner, nullptr) << "the message belongs to the background window";
    EXPECT_EQ(app->m_secondInstance, 0);
    EXPECT_EQ(Get(root / "Quorva" / "Zelbo" / "DATA.TXT"), "data");
    EXPECT_EQ(FindWindow(nullptr, kTitle), nullptr);
}

// Another Setwell holds the title's semaphore: the over-install ends as a new installation's
// welcome step does, without ever using a window.
TEST_F(SetwellProgramWindowsTest, AnOverInstallWhileAnotherCopyRunsEndsWithoutAWindow) {
    SetValue("Software\\Quorva\\Zelbo\\1.0", "Install Path", REG_SZ, "C:\\Quorva\\Zelbo\\ZELBO.EXE");
    Put(root / "Quorva" / "Zelbo" / "ZELBO.EXE", "exe");
    HANDLE other = CreateSemaphore(nullptr, 0, 1, kTitle);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(Run("OverInstall"));
    EXPECT_EQ(app->m_secondInstance, 1);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(FindWindow(nullptr, kTitle), nullptr);
    EXPECT_FALSE(fs::exists(root / "Quorva" / "Zelbo" / "DATA.TXT")) << "pass 2 ran";
    EXPECT_TRUE(Texts().empty());
    CloseHandle(other);
}

}  // namespace
}  // namespace setup::testing
