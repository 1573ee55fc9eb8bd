#include "setup/common/program_run.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/afx/message_box.h"
#include "platform/core/object_wait.h"
#include "platform/core/winuser.h"
#include "platform/fs/fs_test_fixture.h"
#include "platform/headless/headless_backend.h"
#include "platform/process/process.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_test_host.h"

namespace setup {
namespace {

// The test child, on the CD in drive D: (a program runs only from the installation or a CD).
std::string Child(const std::string& arguments) { return "D:\\EXITCHLD.EXE " + arguments; }

class ObserverLog : public CRunObserver {
public:
    void BeforeRun() override { events += "before "; }
    void AfterRun() override { events += "after "; }
    std::string events;
};

class ProgramRun : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        plat::InstallHeadless();
        RegisterScriptStrings();
        std::filesystem::copy_file(ZELBO_EXIT_CHILD, cd1 / "EXITCHLD.EXE");
    }
    CTestScriptHost host;
    CProductDat script{host};
};

// Real children and their real exit codes; 259 (the code a poller takes for "still running")
// and -1 end the wait like any other.
TEST_F(ProgramRun, WaitsForTheChildAndGivesItsExitCode) {
    for (const int32_t code : {0, 3, 259, -1, 65536}) {
        SCOPED_TRACE(code);
        ObserverLog log;
        const std::optional<DWORD> got = RunProgram(script, Child(std::to_string(code) + " 50"), &log);
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(static_cast<int32_t>(*got), code);
        EXPECT_EQ(log.events, "before after ");
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ProgramRun, EmptyOrMissingProgram) {
    ObserverLog log;
    EXPECT_FALSE(RunProgram(script, "", &log).has_value());
    EXPECT_EQ(log.events, "");
    EXPECT_TRUE(host.messages.empty());

    EXPECT_FALSE(RunProgram(script, "C:\\NOWHERE\\MISSING.EXE /x", &log).has_value());
    EXPECT_EQ(host.messages, std::vector<std::string>{"1:Kunde inte starta [C:\\NOWHERE\\MISSING.EXE /x]."});
}

// Messages posted while the child runs are handled during the wait, not after it.
TEST_F(ProgramRun, HandlesMessagesWhileWaiting) {
    static int seen = 0;
    seen = 0;
    WNDCLASS wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_USER + 7) ++seen;
        return DefWindowProc(hwnd, msg, wParam, lParam);
    };
    wc.lpszClassName = "RunWaitWindow";
    RegisterClass(&wc);
    HWND hwnd = CreateWindowEx(0, "RunWaitWindow", "w", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    std::thread poster([hwnd] {
        WaitForSingleObject(GetCurrentProcess(), 200);  // real time: the child runs by then
        PostMessage(hwnd, WM_USER + 7, 0, 0);
    });
    const std::optional<DWORD> got = RunProgram(script, Child("5 1500"));
    poster.join();
    EXPECT_EQ(got, std::optional<DWORD>(5));
    EXPECT_EQ(seen, 1);
    DestroyWindow(hwnd);
}

// The question comes only when the exit code matches the field; No ends the program with the
// script copy closed.
TEST_F(ProgramRun, PromptOnMatchingExitCode) {
    struct Case {
        int32_t exitCode;
        const char* field;
        int answer;  // 0: no question expected
        bool ends;
    };
    const Case cases[] = {
        {2, "2", IDYES, false}, {2, "2", IDNO, true}, {2, "3", 0, false}, {0, "x", IDNO, true}, {-1, " -1", IDYES, false},
    };
    const std::string question = Cp(u8"Fortsätta?\n\nVill du fortsätta med installationen?");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        host.messages.clear();
        host.answers = {c.answer};
        host.answered = 0;
        bool ended = false;
        try {
            RunProgramWithPrompt(script, Cp(u8"\"Fortsätta?\""), c.field, Child(std::to_string(c.exitCode)));
        } catch (const ScriptEnd&) {
            ended = true;
        }
        EXPECT_EQ(ended, c.ends);
        EXPECT_EQ(host.messages, c.answer ? std::vector<std::string>{"0:" + question} : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace setup
