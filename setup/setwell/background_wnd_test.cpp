#include "setup/setwell/background_wnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/core/display.h"
#include "platform/core/object_wait.h"
#include "platform/fs/winfile.h"
#include "platform/process/process.h"
#include "setup/setwell/windows_test_support.h"

namespace setup {
namespace {

constexpr char kTitle[] = "Zelbo Installation";
constexpr char kSecondCopyArgument[] = "--setwell-second-copy";

// The second copy of a two-program test: this same executable started with the argument above
// tries to open the background window while the test holds it, and ends with 0 when it was
// refused and told that another copy runs.
struct SecondCopyRole : ::testing::Environment {
    void SetUp() override {
        if (!std::strstr(GetCommandLineA(), kSecondCopyArgument)) return;
        plat::InstallHeadless();
        plat::StartWindowSharing();
        auto* window = new CBackgroundWnd(kTitle);
        const bool refused = !window->IsCreated() && window->OtherCopyRuns();
        delete window;
        ExitProcess(refused ? 0 : 1);
    }
};
[[maybe_unused]] auto* g_secondCopyRole = ::testing::AddGlobalTestEnvironment(new SecondCopyRole);

using BackgroundWndTest = test::SetwellWindowsTest;

TEST_F(BackgroundWndTest, ASecondCopyBringsTheFirstToTheFrontAndEnds) {
    ASSERT_TRUE(plat::StartWindowSharing());
    auto* first = new CBackgroundWnd(kTitle);
    ASSERT_TRUE(first->IsCreated());
    EXPECT_FALSE(first->OtherCopyRuns());
    HWND other = CreateWindow("STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);

    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string line = std::string("\"") + module + "\" " + kSecondCopyArgument;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD code = 99;
    ASSERT_TRUE(GetExitCodeProcess(process.hProcess, &code));
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_EQ(code, 0u) << "the second copy opened its own window";

    // The request to come forward crosses between the programs in real time.
    MSG msg;
    for (int i = 0; i < 100 && GetForegroundWindow() != first->m_hWnd; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    }
    EXPECT_EQ(GetForegroundWindow(), first->m_hWnd);
    first->DestroyWindow();
    plat::StopWindowSharing();
}

TEST_F(BackgroundWndTest, ASecondWindowInTheSameProgramIsRefusedToo) {
    auto* first = new CBackgroundWnd(kTitle);
    ASSERT_TRUE(first->IsCreated());
    HWND other = CreateWindow("STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
    SetForegroundWindow(other);
    auto* second = new CBackgroundWnd(kTitle);
    EXPECT_FALSE(second->IsCreated());
    EXPECT_TRUE(second->OtherCopyRuns());
    delete second;
    EXPECT_EQ(GetForegroundWindow(), first->m_hWnd) << "the refused copy did not raise the first";
    auto* another = new CBackgroundWnd("Another product");
    EXPECT_TRUE(another->IsCreated());
    first->DestroyWindow();
    another->DestroyWindow();
}

TEST_F(BackgroundWndTest, PlacesPicturesByPercentOfTheFreeRoom) {
    auto* window = new CBackgroundWnd(kTitle);
    ASSERT_TRUE(window->IsCreated());
    CRect rect;
    window->GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 640, 480));
    const struct {
        int w, h, xPercent, yPercent;
        POINT at;
    } cases[] = {
        {100, 50, 50, 50, {270, 195}},  // (640 - 100) / 2, (480 - 50) / 2 - 20
        {100, 50, 0, 0, {0, -20}},
        {100, 50, 100, 100, {540, 410}},
        {700, 20, 50, 10, {-30, 26}},  // wider than the screen
        {16, 16, 33, 3, {205, -7}},
    };
    for (const auto& c : cases) window->AddPicture(c.xPercent, c.yPercent, test::MakePicture(c.w, c.h));
    ASSERT_EQ(window->PictureCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(window->PicturePosition(i).x, cases[i].at.x) << i;
        EXPECT_EQ(window->PicturePosition(i).y, cases[i].at.y) << i;
    }
    window->AddPicture(0, 0, test::MakePicture(4, 4));  // a sixth is dropped (and deleted)
    EXPECT_EQ(window->PictureCount(), 5);
    window->DestroyWindow();
}

TEST_F(BackgroundWndTest, PaintsThePictureInItsOwnColoursOverBlack) {
    auto* window = new CBackgroundWnd(kTitle);
    ASSERT_TRUE(window->IsCreated());
    // 40 x 30 at 50 %: top-left (300, 205).
    window->AddPicture(50, 50, test::MakePicture(40, 30, 200));
    ASSERT_NE(window->Palette(), nullptr);
    EXPECT_EQ(window->Palette()->GetEntryCount(), 200);
    window->SendMessage(WM_QUERYNEWPALETTE);
    window->Invalidate();
    window->UpdateWindow();

    const plat::Display& d = plat::TheDisplay();
    auto colour = [&](int x, int y) {
        const PALETTEENTRY& e = d.HardwareEntry(d.Pixel(x, y));
        return RGB(e.peRed, e.peGreen, e.peBlue);
    };
    for (int y = 0; y < 30; y += 7)
        for (int x = 0; x < 40; x += 9) {
            const int i = (x + y) % 200;
            EXPECT_EQ(colour(300 + x, 205 + y), RGB(40 + i, 100, 200 - i)) << x << "," << y;
        }
    EXPECT_EQ(colour(299, 205), RGB(0, 0, 0));
    EXPECT_EQ(colour(5, 470), RGB(0, 0, 0));
    // A second realisation changes nothing.
    EXPECT_EQ(window->SendMessage(WM_QUERYNEWPALETTE), 0);
    window->DestroyWindow();
}

}  // namespace
}  // namespace setup
