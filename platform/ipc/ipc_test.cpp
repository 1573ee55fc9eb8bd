#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/headless/headless_backend.h"
#include "platform/ipc/ipc.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kSemName = "Zelbo test instance";

void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

bool WaitFor(const std::function<bool()>& cond, std::chrono::milliseconds limit = 10s) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (cond()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return cond();
}

LRESULT ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && wParam == 666) {
        Touch(fs::path(std::getenv("ZELBO_IPC_DIR")) / "got666");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// The second program of a test: this same executable started with ZELBO_IPC_CHILD set runs
// its part here, before the tests, and ends.
struct ChildRole : ::testing::Environment {
    void SetUp() override {
        const char* role = std::getenv("ZELBO_IPC_CHILD");
        if (!role) return;
        fs::path dir = std::getenv("ZELBO_IPC_DIR");
        if (std::string(role) == "semaphore") {
            HANDLE h = CreateSemaphore(nullptr, 1, 1, kSemName);
            if (!h) _exit(2);
            Touch(dir / "ready");
            std::this_thread::sleep_for(30s);  // killed by the test long before
            _exit(0);
        }
        if (std::string(role) == "window") {
            plat::InstallHeadless();
            if (!plat::StartWindowSharing()) _exit(3);
            WNDCLASS wc;
            wc.lpfnWndProc = ChildProc;
            wc.lpszClassName = "Launcher";
            RegisterClass(&wc);
            CreateWindow("Launcher", "VIVEreduror", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
            Touch(dir / "ready");
            // Messages from another program arrive in real time, so poll with real sleeps.
            auto end = std::chrono::steady_clock::now() + 20s;
            MSG m;
            while (std::chrono::steady_clock::now() < end) {
                while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
                    if (m.message == WM_QUIT) {
                        plat::StopWindowSharing();
                        _exit(0);
                    }
                    DispatchMessage(&m);
                }
                std::this_thread::sleep_for(5ms);
            }
            _exit(4);
        }
        _exit(5);
    }
};
[[maybe_unused]] auto* g_childRole = ::testing::AddGlobalTestEnvironment(new ChildRole);

class IpcTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zelbo-ipc-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "root");
        plat::SetEmulatedRoot(dir / "root");
        plat::InstallHeadless();
    }
    void TearDown() override {
        if (child > 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        plat::StopWindowSharing();
        plat::ResetWindowing();
        fs::remove_all(dir);
    }
    void Spawn(const char* role) {
        std::string r = std::string("ZELBO_IPC_CHILD=") + role;
        std::string d = "ZELBO_IPC_DIR=" + dir.string();
        std::string root = "ZELBO_ROOT=" + (dir / "root").string();
        std::vector<std::string> env{r, d, root};
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "ZELBO_", 6) != 0) env.emplace_back(*e);
        std::vector<char*> envp;
        for (auto& s : env) envp.push_back(s.data());
        envp.push_back(nullptr);
        std::string exe = fs::read_symlink("/proc/self/exe").string();
        char* argv[] = {exe.data(), nullptr};
        ASSERT_EQ(posix_spawn(&child, exe.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        ASSERT_TRUE(WaitFor([&] { return fs::exists(dir / "ready"); })) << "the child did not start";
    }
    fs::path dir;
    pid_t child = -1;
};

TEST_F(IpcTest, NamedSemaphoreIsHeldByAnotherProgramUntilItIsKilled) {
    Spawn("semaphore");
    HANDLE h = CreateSemaphore(nullptr, 1, 1, kSemName);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    CloseHandle(h);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    child = -1;
    h = CreateSemaphore(nullptr, 1, 1, kSemName);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    // While we hold it, a second opener in this program is told it exists.
    HANDLE again = CreateSemaphore(nullptr, 1, 1, kSemName);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    auto lockFiles = [&] {
        size_t n = 0;
        for (const auto& e : fs::recursive_directory_iterator(dir / "root"))
            if (e.path().extension() == ".lock") ++n;
        return n;
    };
    CloseHandle(again);
    EXPECT_EQ(lockFiles(), 1u) << "still held";
    // The last holder removes the lock file (also the one the killed program left).
    CloseHandle(h);
    EXPECT_EQ(lockFiles(), 0u);
    h = CreateSemaphore(nullptr, 1, 1, kSemName);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseHandle(h);
    EXPECT_EQ(lockFiles(), 0u);
}

TEST_F(IpcTest, UnnamedSemaphoreCountsAndRefusesOverRelease) {
    HANDLE h = CreateSemaphore(nullptr, 0, 2, nullptr);
    ASSERT_NE(h, nullptr);
    LONG prev = -1;
    EXPECT_TRUE(ReleaseSemaphore(h, 2, &prev));
    EXPECT_EQ(prev, 0);
    EXPECT_FALSE(ReleaseSemaphore(h, 1, nullptr));
    EXPECT_EQ(CreateSemaphore(nullptr, 3, 2, nullptr), nullptr);
    CloseHandle(h);
}

TEST_F(IpcTest, FindWindowAndPostMessageReachAnotherProgram) {
    ASSERT_TRUE(plat::StartWindowSharing());
    Spawn("window");
    HWND other = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (other = FindWindow(nullptr, "VIVEreduror")) != nullptr; }));
    EXPECT_EQ(FindWindow("launcher", "VIVEreduror"), other);  // class names ignore case
    EXPECT_EQ(FindWindow(nullptr, "No such window"), nullptr);
    EXPECT_TRUE(PostMessage(other, WM_COMMAND, 666, 0));
    int status = -1;
    ASSERT_TRUE(WaitFor([&] { return ::waitpid(child, &status, WNOHANG) == child; }));
    child = -1;
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(fs::exists(dir / "got666"));
}

}  // namespace
