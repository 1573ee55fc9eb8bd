// The application object: the exit work by every way out, the deferred close, the colour-depth
// gate, fatal errors in handlers, and one running copy across two programs.
#include <fstream>
#include <map>

#include "app/app_test_support.h"
#include "engine/core/prefs_store.h"
#include "engine/toolbox/picture_items.h"
#include "engine/players/player_strings.h"
#include "engine/players/settings_store.h"
#include "platform/afx/exceptions.h"
#include "platform/core/backend.h"
#include "platform/core/object_wait.h"
#include "platform/ipc/ipc.h"

namespace {

using app_test::AppTest;
using app_test::LauncherWindow;
namespace fs = std::filesystem;

// The engine's saves of the player's preferences: the shutdown saves once, the grown-ups' sheet
// once more when it ends with "Spela" or "Avsluta".
using app_test::CountingPrefsStore;

bool SemaphoreHeld() {
    HANDLE h = CreateSemaphore(nullptr, 0, 1, "Trumlaby");
    const bool held = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(h);
    return held;
}

enum class WayOut { CloseBox, QuitGame, ExitCommand, QuitMessage };

struct WayOutCase {
    const char* name;
    WayOut way;
};

class ExitWork : public AppTest, public ::testing::WithParamInterface<WayOutCase> {};

TEST_P(ExitWork, RunsOnceWhateverClosesTheWindow) {
    CZelboApp app;
    LauncherWindow launcher;
    CountingPrefsStore store;
    HWND frame = nullptr;
    bool runningBefore = false, heldBefore = false;
    WhenEntered([&] {
        frame = app.m_pMainWnd->m_hWnd;
        runningBefore = theEngine->m_running != 0;
        heldBefore = SemaphoreHeld();
        app.GetPrefs()->SetCurrentUser(GetParam().name);
        switch (GetParam().way) {
            case WayOut::CloseBox: Input(10, plat::InputKind::Close); break;
            case WayOut::QuitGame: theEngine->QuitGame(); break;
            case WayOut::ExitCommand: app.m_pMainWnd->PostMessage(WM_COMMAND, ID_APP_EXIT); break;
            case WayOut::QuitMessage: PostQuitMessage(0); break;
        }
    });
    EXPECT_EQ(RunGame(app), 0);
    DeliverPosted();
    EXPECT_TRUE(runningBefore) << "the first paint entered the home module";
    EXPECT_TRUE(heldBefore);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_TRUE(app.ExitWorkDone());
    EXPECT_EQ(app.Semaphore(), nullptr);
    EXPECT_FALSE(SemaphoreHeld());
    // The exit work saved the application preferences into the registry.
    EXPECT_EQ(app.GetPrefs()->modified, 0u);
    CSettingsStore registry;
    EXPECT_EQ(registry.GetString(kIdsGeneralSection, kIdsCurrentUserKey, ""), GetParam().name);
    EXPECT_EQ(LauncherWindow::Commands(), 1);
    // The view's destruction shut the engine down, once.
    EXPECT_FALSE(theEngine->IsStarted());
    EXPECT_EQ(store.saves, 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, ExitWork,
                         ::testing::Values(WayOutCase{"CloseBox", WayOut::CloseBox},
                                           WayOutCase{"QuitGame", WayOut::QuitGame},
                                           WayOutCase{"ExitCommand", WayOut::ExitCommand},
                                           WayOutCase{"QuitMessage", WayOut::QuitMessage}),
                         [](const ::testing::TestParamInfo<WayOutCase>& info) { return info.param.name; });

// A window of the program whose handler runs what a test gives it (WM_USER).
class HandlerWindow {
public:
    explicit HandlerWindow(std::function<void()> handler) {
        s_handler = std::move(handler);
        WNDCLASS wc;
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "TestHandler";
        RegisterClass(&wc);
        hwnd = CreateWindow("TestHandler", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    ~HandlerWindow() { s_handler = nullptr; }
    HWND hwnd;

private:
    static LRESULT Proc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_USER && s_handler) {
            s_handler();
            return 0;
        }
        return DefWindowProc(h, msg, wParam, lParam);
    }
    static inline std::function<void()> s_handler;
};

TEST_F(AppTest, ACloseDuringAnEngineCallWaitsUntilTheCallReturns) {
    CZelboApp app;
    CountingPrefsStore store;
    HWND frame = nullptr;
    bool pendingInTheSheet = false, windowInTheSheet = false, windowAfterTheCall = false;
    int16_t sheetResult = -1;
    // The handler's engine call: the grown-ups' sheet, whose nested loop takes the posted close.
    HandlerWindow handler([&] {
        sheetResult = theEngine->EnterAdultArea();
        windowAfterTheCall = IsWindow(frame) != FALSE;
    });
    m_head->PushAnswer(plat::kMessageBoxInteractive);
    WhenEntered([&] {
        frame = app.m_pMainWnd->m_hWnd;
        PostMessage(handler.hwnd, WM_USER, 0, 0);
        Later(50, [&] { app.m_pMainWnd->PostMessage(WM_CLOSE); });
        Later(100, [&] {
            pendingInTheSheet = theEngine->ClosePending();
            windowInTheSheet = IsWindow(frame) != FALSE;
        });
        m_head->Key(At(150), VK_ESCAPE);
    });
    EXPECT_EQ(RunGame(app), 0);
    EXPECT_TRUE(pendingInTheSheet);
    EXPECT_TRUE(windowInTheSheet);
    EXPECT_EQ(sheetResult, 1);  // Escape: back to the same module, nothing saved
    EXPECT_TRUE(windowAfterTheCall);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(theEngine->ClosePending());
    EXPECT_FALSE(theEngine->IsStarted());
    EXPECT_EQ(store.saves, 1);  // the one shutdown
}

struct DepthCase {
    const char* name;
    int bitsPerPixel;
    int planes;
    bool starts;
};

class DepthGate : public AppTest, public ::testing::WithParamInterface<DepthCase> {};

TEST_P(DepthGate, OnlyTheBitsPerPixelDecide) {
    const DepthCase& c = GetParam();
    plat::OverrideDeviceCaps(BITSPIXEL, c.bitsPerPixel);
    plat::OverrideDeviceCaps(PLANES, c.planes);
    CZelboApp app;
    bool started = false;
    if (c.starts) {
        Later(300, [&] {
            started = app.m_pMainWnd && theEngine->IsStarted();
            app.m_pMainWnd->PostMessage(WM_CLOSE);
        });
    } else {
        m_head->PushAnswer(IDOK);
    }
    EXPECT_EQ(RunGame(app), 0);
    plat::ClearDeviceCapsOverrides();
    EXPECT_EQ(started, c.starts);
    const auto& boxes = plat::MessageBoxLog();
    if (c.starts) {
        EXPECT_TRUE(boxes.empty());
        return;
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Programmet kr\xE4ver st\xF6" "d f\xF6r 256 f\xE4rger eller fler.");
    EXPECT_EQ(boxes[0].caption, "Trumlaby");
    EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONASTERISK));
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_FALSE(theEngine->IsStarted());
    EXPECT_FALSE(app.ExitWorkDone());
}

INSTANTIATE_TEST_SUITE_P(Depths, DepthGate,
                         ::testing::Values(DepthCase{"FourBits", 4, 1, false}, DepthCase{"EightBits", 8, 1, true},
                                           DepthCase{"TwentyFourBits", 24, 1, true},
                                           DepthCase{"EightBitsOnFourPlanes", 8, 4, true}),
                         [](const ::testing::TestParamInfo<DepthCase>& info) { return info.param.name; });

// A window of the program whose handler fails with a class-library exception.
class FailingWindow {
public:
    explicit FailingWindow(bool outOfMemory) {
        s_outOfMemory = outOfMemory;
        WNDCLASS wc;
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "TestFailing";
        RegisterClass(&wc);
        hwnd = CreateWindow("TestFailing", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    HWND hwnd;

private:
    static LRESULT Proc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_USER) {
            if (s_outOfMemory) AfxThrowMemoryException();
            AfxThrowFileException(CFileException::diskFull);
        }
        return DefWindowProc(h, msg, wParam, lParam);
    }
    static inline bool s_outOfMemory = false;
};

struct FatalCase {
    const char* name;
    bool outOfMemory;
    const char* text;
};

class FatalErrors : public AppTest, public ::testing::WithParamInterface<FatalCase> {};

TEST_P(FatalErrors, AHandlersExceptionEndsTheProgramThroughRun) {
    CZelboApp app;
    LauncherWindow launcher;
    CountingPrefsStore store;
    FailingWindow failing(GetParam().outOfMemory);
    HWND frame = nullptr;
    bool guardAtTheMessage = false;
    WhenEntered([&] {
        frame = app.m_pMainWnd->m_hWnd;
        PostMessage(failing.hwnd, WM_USER, 0, 0);
        m_head->PushAnswer(plat::kMessageBoxInteractive);
        Later(50, [&] { guardAtTheMessage = theEngine->m_busyGuard != 0; });
        m_head->Key(At(100), VK_RETURN);
    });
    EXPECT_EQ(RunGame(app), 0);
    DeliverPosted();
    const auto& boxes = plat::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, GetParam().text);
    EXPECT_TRUE(guardAtTheMessage) << "frames are presented no more once the failure is known";
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(theEngine->IsStarted());
    EXPECT_EQ(store.saves, 1);
    EXPECT_EQ(LauncherWindow::Commands(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FatalErrors,
    ::testing::Values(FatalCase{"OutOfMemory", true,
                                "Minnet r\xE4" "cker inte.\nAvsluta andra program eller\n\xF6ka det virtuella minnet."},
                      FatalCase{"AnyOther", false, "UNHANDELED EXCEPTION IN RERAVA!"}),
    [](const ::testing::TestParamInfo<FatalCase>& info) { return info.param.name; });

// A preference store whose load runs out of memory: start-up fails inside InitInstance, before
// the application's loop runs.
class FailingPrefsStore : public CountingPrefsStore {
public:
    int LoadPrefs() override { AfxThrowMemoryException(); }
};

TEST_F(AppTest, AFailureDuringStartUpEndsTheProgramWithItsMessage) {
    CZelboApp app;
    LauncherWindow launcher;
    FailingPrefsStore store;
    m_head->PushAnswer(IDOK);
    EXPECT_EQ(RunGame(app), 0);
    DeliverPosted();
    const auto& boxes = plat::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Minnet r\xE4" "cker inte.\nAvsluta andra program eller\n\xF6ka det virtuella minnet.");
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_FALSE(theEngine->IsStarted());
    EXPECT_EQ(theEngine->CallDepth(), 0);
    EXPECT_TRUE(app.ExitWorkDone());
    EXPECT_EQ(LauncherWindow::Commands(), 1);
}

// ---- One running copy -------------------------------------------------------------------------

// The second copy of a test: this executable started with this word in its command line runs
// the game as the program's main does and ends before any test runs, with an exit code that
// tells what it saw: 10 x AfxWinMain's result + 1 when it ran the exit work.
constexpr const char* kSecondCopyWord = "ZelboSecondCopy";

struct SecondCopyRole : ::testing::Environment {
    void SetUp() override {
        if (!std::strstr(GetCommandLineA(), kSecondCopyWord)) return;
        plat::InstallHeadless();
        plat::StartWindowSharing();
        plat::InstallMessageBoxes();
        plat::InstallDialogs();
        RegisterZelboResources();
        InstallAdultSection();
        InstallPictureItems();
        UINT report = 0;
        {
            CZelboApp app;
            std::string name = "zelbo";
            char* argv[] = {name.data(), nullptr};
            const int code = AfxWinMain(1, argv);
            report = static_cast<UINT>(code * 10 + (app.ExitWorkDone() ? 1 : 0));
        }
        ExitProcess(report);
    }
};
[[maybe_unused]] auto* g_secondCopyRole = ::testing::AddGlobalTestEnvironment(new SecondCopyRole);

// Every file of the installation with its contents, but the platform's note of the host's boot
// (written by the first program that starts in an installation, whichever it is).
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file() || e.path().filename() == "boot-id") continue;
        std::ifstream in(e.path(), std::ios::binary);
        files[fs::relative(e.path(), root).string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// The files added, removed or changed between two snapshots.
std::vector<std::string> Differences(const std::map<std::string, std::string>& a,
                                     const std::map<std::string, std::string>& b) {
    std::vector<std::string> out;
    for (const auto& [name, bytes] : a) {
        auto it = b.find(name);
        if (it == b.end())
            out.push_back("removed " + name);
        else if (it->second != bytes)
            out.push_back("changed " + name + ": " + it->second.substr(0, 300));
    }
    for (const auto& [name, bytes] : b)
        if (!a.count(name)) out.push_back("added " + name);
    return out;
}

TEST_F(AppTest, ASecondCopyRaisesTheFirstWindowAndLeavesNothingBehind) {
    ASSERT_TRUE(plat::StartWindowSharing());
    CZelboApp app;
    LauncherWindow launcher;
    std::string name = "zelbo";
    char* argv[] = {name.data(), nullptr};
    plat::afx::PrepareApp(&app, 1, argv);
    ASSERT_TRUE(app.InitInstance());
    HWND frame = app.m_pMainWnd->m_hWnd;
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "TestOther";
    RegisterClass(&wc);
    HWND other = CreateWindow("TestOther", "Annat program", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    DeliverPosted();
    const auto before = Snapshot(m_tmp / "c");

    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string line = std::string("\"") + program + "\" " + kSecondCopyWord;
    STARTUPINFOA startup;
    PROCESS_INFORMATION child;
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    ASSERT_EQ(WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0) << "the second copy did not end";
    DWORD report = 0;
    ASSERT_TRUE(GetExitCodeProcess(child.hProcess, &report));
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    EXPECT_EQ(report, 0u) << "its InitInstance ended it (AfxWinMain 0) without the exit work";

    // The first copy's window came to the front; the launcher heard nothing.
    // Its request arrives through this program's listener, in real time.
    for (int i = 0; i < 50 && GetForegroundWindow() != frame; ++i) {
        DeliverPosted();
        if (GetForegroundWindow() != frame) plat::Backend().WaitReal(m_head->NowMs() + 1000, 100);
    }
    EXPECT_EQ(GetForegroundWindow(), frame);
    EXPECT_EQ(LauncherWindow::Commands(), 0);
    EXPECT_TRUE(SemaphoreHeld());
    // Nothing of the installation changed: no file added, none left open, none written.
    EXPECT_EQ(Differences(before, Snapshot(m_tmp / "c")), std::vector<std::string>{});

    app.m_pMainWnd->DestroyWindow();
    DeliverPosted();
    EXPECT_EQ(LauncherWindow::Commands(), 1);
    EXPECT_FALSE(SemaphoreHeld());
    size_t lockFiles = 0;
    for (const auto& e : fs::recursive_directory_iterator(m_tmp / "c"))
        if (e.path().extension() == ".lock") ++lockFiles;
    EXPECT_EQ(lockFiles, 0u);
    plat::StopWindowSharing();
    DestroyWindow(other);
}

}  // namespace
