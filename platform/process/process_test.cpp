#include "platform/process/process.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

#include "platform/core/object_wait.h"
#include "platform/core/winuser.h"
#include "platform/fs/fs_test_fixture.h"
#include "platform/headless/headless_backend.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/runtime_dir.h"

namespace {

namespace fs = std::filesystem;

class Processes : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        plat::InstallHeadless();
        report = tmp / "report.txt";
        for (const char* v : {"ZELBO_CHILD_SLEEP_MS", "ZELBO_CHILD_EXIT", "ZELBO_CHILD_MODE", "ZELBO_CHILD_SCRIPT"})
            ::unsetenv(v);
        ::setenv("ZELBO_CHILD_REPORT", report.c_str(), 1);
        Install(root / "PROGS" / "CHILD.EXE");
    }
    void TearDown() override {
        ::unsetenv("ZELBO_CHILD_REPORT");
        plat::SetExitProcessThrows(false);
        EmulatedDrives::TearDown();
    }
    static void Install(const fs::path& p) {
        fs::create_directories(p.parent_path());
        fs::copy_file(ZELBO_PROCESS_CHILD, p, fs::copy_options::overwrite_existing);
    }
    // Starts a command line, waits for the end through the message wait; the exit code.
    DWORD Run(const char* application, std::string line, const char* folder = nullptr) {
        fs::remove(report);
        PROCESS_INFORMATION pi;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        EXPECT_TRUE(CreateProcessA(application, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi))
            << GetLastError();
        const uint64_t clock = plat::Headless().NowMs();
        EXPECT_EQ(MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 20000, QS_ALLINPUT), WAIT_OBJECT_0);
        EXPECT_EQ(plat::Headless().NowMs(), clock) << "the virtual clock stands still";
        DWORD code = 12345;
        EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }
    std::map<std::string, std::string> Reported() {
        std::map<std::string, std::string> out;
        std::istringstream in(Get(report));
        std::string line;
        while (std::getline(in, line)) {
            const size_t eq = line.find('=');
            if (eq != std::string::npos) out[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return out;
    }
    fs::path report;
};

TEST_F(Processes, WholeExitCodesReachTheParent) {
    const std::pair<const char*, DWORD> cases[] = {
        {"0", 0}, {"1", 1}, {"-1", 0xFFFFFFFFu}, {"259", 259}, {"65536", 65536}, {nullptr, 0}};
    for (const auto& [given, expected] : cases) {
        SCOPED_TRACE(given ? given : "returns from main");
        if (given) {
            ::setenv("ZELBO_CHILD_EXIT", given, 1);
        } else {
            ::unsetenv("ZELBO_CHILD_EXIT");
        }
        EXPECT_EQ(Run(nullptr, "C:\\PROGS\\CHILD.EXE"), expected);
    }
}

TEST_F(Processes, ProgramsThatCannotStart) {
    Put(root / "PROGS" / "TEXT.TXT", "words");
    Put(root / "PROGS" / "NOEXEC.EXE", "no program at all\n");
    ::chmod((root / "PROGS" / "NOEXEC.EXE").c_str(), 0755);
    struct Case {
        const char* line;
        DWORD error;
        UINT winExec;
    };
    const Case cases[] = {
        {"C:\\PROGS\\MISSING.EXE", ERROR_FILE_NOT_FOUND, 2},
        {"C:\\PROGS\\MISSING", ERROR_FILE_NOT_FOUND, 2},
        {"C:\\NOFOLDER\\X.EXE", ERROR_PATH_NOT_FOUND, 3},
        {"C:\\PROGS\\TEXT.TXT", ERROR_BAD_EXE_FORMAT, 11},
        {"C:\\PROGS\\NOEXEC.EXE arg", ERROR_BAD_EXE_FORMAT, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = c.line;
        PROCESS_INFORMATION pi;
        EXPECT_FALSE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi));
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(WinExec(c.line, SW_SHOWNORMAL), c.winExec);
    }
    ::unsetenv("ZELBO_CHILD_EXIT");
    EXPECT_GT(WinExec("C:\\PROGS\\CHILD", SW_SHOW), 31u);
}

TEST_F(Processes, ChildSeesTheLineItWasGiven) {
    Install(root / "Program Files" / "Quorva" / "Two Words" / "CHILD.EXE");
    struct Case {
        const char* application;
        const char* line;
        const char* tail;
    };
    const Case cases[] = {
        {"C:\\PROGS\\CHILD.EXE", "OverInstall", ""},
        {nullptr, "C:\\PROGS\\CHILD \"C:\\Program Files\\Quorva\\Zelbo\"", "\"C:\\Program Files\\Quorva\\Zelbo\""},
        {nullptr, "\"C:\\Program Files\\Quorva\\Two Words\\CHILD.EXE\" a \"b c\"", "a \"b c\""},
        // Unquoted with blanks: the longest run that names a file; the tail still ends the
        // name at the first blank, as WinMain's does.
        {nullptr, "C:\\Program Files\\Quorva\\Two Words\\CHILD.EXE /x", "Files\\Quorva\\Two Words\\CHILD.EXE /x"},
        // Leading blanks: the name is found, but the tail (as the runtime's) takes them as an
        // empty name.
        {nullptr, "  CHILD.EXE  spaced   out ", "CHILD.EXE  spaced   out "},
    };
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\PROGS"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Run(c.application, c.line), 0u);
        auto seen = Reported();
        EXPECT_EQ(seen["cmdline"], c.line);
        EXPECT_EQ(seen["tail"], c.tail);
        EXPECT_EQ(seen["script"], "-");
        EXPECT_EQ(seen["cwd"], "C:\\PROGS");
    }
}

TEST_F(Processes, ChildOnACdSeesItsDrivesAndScriptOnlyWhenGiven) {
    Install(cd1 / "SETUP" / "CHILD.EXE");
    ::setenv("ZELBO_SCRIPT", "/parent/script.txt", 1);
    // The parent's recording is its own: a child writing it too would empty it.
    ::setenv("ZELBO_RECORD", "/parent/recording.txt", 1);
    EXPECT_EQ(Run(nullptr, "D:\\SETUP\\CHILD.EXE", "D:\\SETUP"), 0u);
    ::unsetenv("ZELBO_RECORD");
    auto seen = Reported();
    EXPECT_EQ(seen["module"], "D:\\SETUP\\CHILD.EXE");
    EXPECT_EQ(seen["cwd"], "D:\\SETUP");
    EXPECT_EQ(seen["script"], "-");
    EXPECT_EQ(seen["record"], "-");
    ::setenv("ZELBO_CHILD_SCRIPT", "/child/script.txt", 1);
    EXPECT_EQ(Run(nullptr, "D:\\SETUP\\CHILD.EXE"), 0u);
    EXPECT_EQ(Reported()["script"], "/child/script.txt");
    ::unsetenv("ZELBO_SCRIPT");
    ::unsetenv("ZELBO_CHILD_SCRIPT");
}

TEST_F(Processes, MessagesArePumpedWhileWaiting) {
    ::setenv("ZELBO_CHILD_SLEEP_MS", "400", 1);
    std::string line = "C:\\PROGS\\CHILD.EXE";
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20), WAIT_TIMEOUT);

    std::thread poster([] {
        for (int i = 0; i < 3; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            PostThreadMessage(0, WM_USER + i, 0, 0);
        }
    });
    std::vector<UINT> seen;
    DWORD r;
    uint64_t moved = 0;  // virtual time the waits took (the polls step the clock, the waits must not)
    for (;;) {
        const uint64_t before = plat::Headless().NowMs();
        r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 20000, QS_ALLINPUT);
        moved += plat::Headless().NowMs() - before;
        if (r != WAIT_OBJECT_0 + 1) break;
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) seen.push_back(m.message);
    }
    poster.join();
    EXPECT_EQ(r, WAIT_OBJECT_0);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER, WM_USER + 1, WM_USER + 2}));
    EXPECT_EQ(moved, 0u);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, INFINITE), WAIT_OBJECT_0);
    HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x7FFC));
    EXPECT_EQ(WaitForSingleObject(bogus, 0), WAIT_FAILED);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &bogus, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TEST_F(Processes, ExitProcessReleasesSemaphoresAndThrowsUnderTheTestHook) {
    HANDLE sem = CreateSemaphore(nullptr, 1, 1, "Zelbo exit test");
    ASSERT_NE(sem, nullptr);
    const fs::path dir = plat::RuntimeDir();
    auto lockFiles = [&] {
        size_t n = 0;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".lock") ++n;
        return n;
    };
    EXPECT_EQ(lockFiles(), 1u);
    plat::SetExitProcessThrows(true);
    try {
        ExitProcess(0xFFFFFFFFu);
        ADD_FAILURE() << "ExitProcess returned";
    } catch (const plat::ProcessExit& e) {
        EXPECT_EQ(e.code, 0xFFFFFFFFu);
    }
    EXPECT_EQ(lockFiles(), 0u);
    CloseHandle(sem);
}

TEST_F(Processes, PrivilegeCallsSucceed) {
    HANDLE token = nullptr;
    SetLastError(5);
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
    TOKEN_PRIVILEGES tp;
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid));
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), 0u);
    CloseHandle(token);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(GetCurrentProcess(), 0), WAIT_TIMEOUT);
}

TEST(CommandLines, SplitJoinAndTailFollowTheWindowsRules) {
    struct Case {
        const char* line;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"a b\tc", {"a", "b", "c"}},
        {"\"C:\\Program Files\\X\" y", {"C:\\Program Files\\X", "y"}},
        {"\"D:\\\\\" next", {"D:\\", "next"}},
        {"a\\\\\\\"b", {"a\\\"b"}},
        {"a\\\\b", {"a\\\\b"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"\"", {""}},
        {"  ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(plat::SplitCommandLine(c.line), c.args);
        EXPECT_EQ(plat::SplitCommandLine(plat::JoinCommandLine(c.args)), c.args);
    }
    EXPECT_EQ(plat::JoinCommandLine({"C:\\X.EXE", "C:\\Program Files\\Quorva\\"}),
              "C:\\X.EXE \"C:\\Program Files\\Quorva\\\\\"");
    EXPECT_EQ(plat::CommandLineTail("\"C:\\A B\\X.EXE\"\"rest\""), "\"rest\"");
    EXPECT_EQ(plat::CommandLineTail("X.EXE"), "");
    EXPECT_EQ(plat::CommandLineTail("\"unclosed"), "");
}

}  // namespace
