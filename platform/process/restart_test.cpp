// The next start of Windows: WinInit.ini's [rename] section, ExitWindowsEx, the boot id.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <thread>

#include "platform/core/object_wait.h"
#include "platform/core/winuser.h"
#include "platform/fs/fs_test_fixture.h"
#include "platform/headless/headless_backend.h"
#include "platform/process/process.h"

namespace {

namespace fs = std::filesystem;

class Restart : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        plat::InstallHeadless();
        for (const char* v : {"ZELBO_CHILD_SLEEP_MS", "ZELBO_CHILD_EXIT", "ZELBO_CHILD_MODE", "ZELBO_CHILD_REPORT"})
            ::unsetenv(v);
        winInit = root / "WINDOWS" / "WinInit.ini";
        child = root / "PROGS" / "CHILD.EXE";
        fs::create_directories(child.parent_path());
        fs::copy_file(ZELBO_PROCESS_CHILD, child);
    }
    void TearDown() override {
        ::unsetenv("ZELBO_BOOT_ID");
        ::unsetenv("ZELBO_CHILD_MODE");
        ::unsetenv("ZELBO_CHILD_REPORT");
        plat::SetExitProcessThrows(false);
        EmulatedDrives::TearDown();
    }
    HANDLE Start(const fs::path& report, const char* mode) {
        ::setenv("ZELBO_CHILD_REPORT", report.c_str(), 1);
        ::setenv("ZELBO_CHILD_MODE", mode, 1);
        ::setenv("ZELBO_BACKEND", "headless", 1);  // children that start the platform need no display
        std::string line = "C:\\PROGS\\CHILD.EXE";
        PROCESS_INFORMATION pi;
        EXPECT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi));
        CloseHandle(pi.hThread);
        return pi.hProcess;
    }
    fs::path winInit, child;
};

struct RenameCase {
    const char* what;
    std::vector<std::pair<const char*, const char*>> before;  // host files under the root and their text
    const char* winInit;
    std::vector<std::pair<const char*, const char*>> after;  // text, or null for "gone"
    const char* left;  // WinInit.ini afterwards, null when removed
};

const RenameCase kRenameCases[] = {
    {"a file in use replaced: the old file deleted, then the copy moved over it",
     {{"APP/PROG.EXE", "old"}, {"APP/PROG.tmp", "new"}},
     "[rename]\r\nNUL=C:\\APP\\PROG.EXE\r\nC:\\APP\\PROG.EXE=C:\\APP\\PROG.tmp\r\n",
     {{"APP/PROG.EXE", "new"}, {"APP/PROG.tmp", nullptr}},
     nullptr},
    {"file order: moved, then deleted",
     {{"A", "a"}, {"B", "b"}},
     "[rename]\nC:\\A=C:\\B\nNUL=C:\\A\n",
     {{"A", nullptr}, {"B", nullptr}},
     nullptr},
    {"file order: deleted, then moved",
     {{"A", "a"}, {"B", "b"}},
     "[rename]\nNUL=C:\\A\nC:\\A=C:\\B\n",
     {{"A", "b"}, {"B", nullptr}},
     nullptr},
    {"a failing line is dropped, the others applied",
     {{"D", "d"}},
     "[rename]\r\nC:\\X=C:\\MISSING\r\nNUL=C:\\D\r\n",
     {{"D", nullptr}, {"X", nullptr}},
     nullptr},
    {"other sections stay, every [rename] goes, whatever its case",
     {{"D", "d"}, {"E", "e"}},
     "[other]\r\nk=v\r\n[Rename]\r\nNUL=C:\\D\r\n[more]\r\nq=1\r\n[rename]\r\nNUL=C:\\E\r\n",
     {{"D", nullptr}, {"E", nullptr}},
     "[other]\r\nk=v\r\n[more]\r\nq=1\r\n"},
    {"nothing to delete is no failure; a read-only target is replaced",
     {{"T", "t"}, {"S", "s"}},
     "[rename]\r\nNUL=C:\\NEVER\r\nC:\\T=C:\\S\r\n",
     {{"T", "s"}, {"S", nullptr}},
     nullptr},
};

TEST_F(Restart, RenameSectionAppliesInFileOrder) {
    for (const RenameCase& c : kRenameCases) {
        SCOPED_TRACE(c.what);
        for (const auto& [name, text] : c.before) Put(root / name, text);
        if (std::string(c.what).find("read-only") != std::string::npos) fs::permissions(root / "T", fs::perms::owner_read);
        Put(winInit, c.winInit);
        plat::ApplyPendingRenames();
        for (const auto& [name, text] : c.after) {
            SCOPED_TRACE(name);
            if (text) {
                EXPECT_EQ(Get(root / name), text);
            } else {
                EXPECT_FALSE(Exists(root / name));
            }
        }
        if (c.left) {
            EXPECT_EQ(Get(winInit), c.left);
        } else {
            EXPECT_FALSE(Exists(winInit));
        }
        fs::remove(winInit);
    }
    EXPECT_EQ(plat::ApplyPendingRenames(), 0);  // no file: nothing
}

// Lines a hostile script or CD could leave: only full C: paths that stay on C: are applied; the
// rest are dropped (with a line on stderr each) and the canary beside the root is untouched.
TEST_F(Restart, RenameLinesOffTheInstallationAreDropped) {
    const fs::path canary = tmp / "canary";
    Put(canary / "letter.txt", "the family's letter");
    Put(root / "KEEP", "keep");
    Put(root / "MOVE", "move");
    Put(root / "GONE", "gone");
    fs::create_symlink(canary, root / "LINK");
    fs::create_symlink(canary / "letter.txt", root / "LETTER");
    std::string host = "Z:" + canary.string();
    for (char& c : host)
        if (c == '/') c = '\\';
    const std::string lines[] = {
        "NUL=" + host + "\\letter.txt",                 // the host's file by its Z: name
        "NUL=..\\..\\canary\\letter.txt",               // relative
        "NUL=\\LINK\\letter.txt",                       // not a full path
        "NUL=C:\\LINK\\letter.txt",                     // a C: name leading off C:
        "C:\\STOLEN=" + host + "\\letter.txt",          // a host file moved into C:
        host + "\\moved.txt=C:\\MOVE",                  // a C: file moved onto the host
        "C:\\LINK\\letter.txt=C:\\MOVE",                // over a host file through a link
        "NUL=C:\\KEEP\\..\\LETTER",                     // a link on C: to a host file
        "NUL=C:\\GONE",                                  // the installation's own file: applied
    };
    std::string text = "[rename]\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    Put(winInit, text);
    EXPECT_EQ(plat::ApplyPendingRenames(), 1);
    EXPECT_EQ(Get(canary / "letter.txt"), "the family's letter");
    EXPECT_EQ(std::distance(fs::directory_iterator(canary), fs::directory_iterator()), 1);
    EXPECT_EQ(Get(root / "MOVE"), "move");
    EXPECT_EQ(Get(root / "KEEP"), "keep");
    EXPECT_FALSE(Exists(root / "STOLEN"));
    EXPECT_FALSE(Exists(root / "GONE"));
    EXPECT_FALSE(Exists(winInit));

    // A WinInit.ini that is a link is never read or rewritten through.
    Put(canary / "wininit.txt", "[rename]\r\nNUL=C:\\KEEP\r\n");
    fs::create_symlink(canary / "wininit.txt", winInit);
    EXPECT_EQ(plat::ApplyPendingRenames(), 0);
    EXPECT_EQ(Get(canary / "wininit.txt"), "[rename]\r\nNUL=C:\\KEEP\r\n");
    EXPECT_EQ(Get(root / "KEEP"), "keep");
}

TEST_F(Restart, AChangedBootIdAppliesTheStepOnceForProgramsStartingTogether) {
    ::setenv("ZELBO_BOOT_ID", "first", 1);
    EXPECT_TRUE(plat::StartOfWindowsIfRebooted());
    EXPECT_FALSE(plat::StartOfWindowsIfRebooted());

    Put(root / "D", "d");
    Put(winInit, "[rename]\r\nNUL=C:\\D\r\n");
    ::setenv("ZELBO_BOOT_ID", "second", 1);
    const fs::path report = tmp / "boot.txt";
    HANDLE a = Start(report, "boot");
    HANDLE b = Start(report, "boot");
    HANDLE both[] = {a, b};
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, TRUE, 20000, 0), WAIT_OBJECT_0);
    CloseHandle(a);
    CloseHandle(b);
    const std::string seen = Get(report);
    size_t applied = 0, answers = 0;
    for (size_t at = 0; (at = seen.find("applied=", at)) != std::string::npos; at += 8) {
        ++answers;
        if (seen[at + 8] == '1') ++applied;
    }
    EXPECT_EQ(answers, 2u) << seen;
    EXPECT_EQ(applied, 1u) << seen;
    EXPECT_FALSE(Exists(root / "D"));
    EXPECT_FALSE(Exists(winInit));
    EXPECT_FALSE(plat::StartOfWindowsIfRebooted());  // this installation has seen "second" now
}

TEST_F(Restart, ExitWindowsClosesTheOtherProgramAppliesTheStepAndEndsTheCaller) {
    const fs::path report = tmp / "second.txt";
    HANDLE second = Start(report, "window");
    // The second program is ready once it has published its window.
    for (int i = 0; i < 500 && Get(report).find("ready=1") == std::string::npos; ++i)
        ASSERT_EQ(WaitForSingleObject(second, 20), WAIT_TIMEOUT) << Get(report);
    ASSERT_NE(Get(report).find("ready=1"), std::string::npos);

    Put(root / "APP" / "NEW.tmp", "new");
    Put(winInit, "[rename]\r\nC:\\APP\\PROG.EXE=C:\\APP\\NEW.tmp\r\n");
    plat::SetExitProcessThrows(true);
    try {
        ExitWindowsEx(EWX_REBOOT, 0);
        ADD_FAILURE() << "ExitWindowsEx returned";
    } catch (const plat::ProcessExit& e) {
        EXPECT_EQ(e.code, 0u);
    }
    EXPECT_EQ(WaitForSingleObject(second, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    EXPECT_TRUE(GetExitCodeProcess(second, &code));
    EXPECT_EQ(code, 0u);
    CloseHandle(second);
    EXPECT_NE(Get(report).find("closed=1"), std::string::npos) << Get(report);
    EXPECT_EQ(Get(root / "APP" / "PROG.EXE"), "new");
    EXPECT_FALSE(Exists(winInit));
}

}  // namespace
