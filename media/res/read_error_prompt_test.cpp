#include "media/res/read_error_prompt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "media/res/cor_exception.h"
#include "media/res/res_item_host.h"
#include "media/res/res_mgr.h"
#include "media/res/res_strings.h"
#include "media/res/res_test_support.h"
#include "platform/afx/string_table.h"
#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"
#include "platform/strings/cp1252.h"

namespace {

using restest::Bytes;
using restest::Pattern;

// The game view's timer as it will be: each tick runs the idle step unless the engine's
// guard is set. The guard and the counts stand in for the engine.
struct StandInView {
    static inline bool guard = false;
    static inline int idleSteps = 0;
    static inline int guardedTicks = 0;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_TIMER) {
            if (guard) {
                ++guardedTicks;
            } else {
                ++idleSteps;
            }
            return 0;
        }
        return DefWindowProc(h, m, w, l);
    }
};

// The engine's side: the view's idle guard, its redraw and the resource folder.
class ReadErrorPromptTest : public ::testing::Test, public IReadErrorPromptHost, public IResItemHost {
protected:
    bool IdleGuard() override { return StandInView::guard; }
    void SetIdleGuard(bool on) override { StandInView::guard = on; }
    void InvalidatePicture() override { ++m_invalidations; }
    std::string ResourceFolder() override { return m_folder; }

    void SetUp() override {
        m_head = &plat::InstallHeadless();
        plat::ResetGdi();
        plat::ClearMessageBoxLog();
        plat::InstallMessageBoxes("Zelbo");
        plat::ClearStringTable();
        media::RegisterResStrings();
        ResetReadErrorPrompt();
        StandInView::guard = false;
        StandInView::idleSteps = StandInView::guardedTicks = 0;
        SetReadErrorPromptHost(this);
        m_savedResHost = SetResItemHost(this);

        media::CResWriter w;
        w.Add("SND", 2990, m_data);
        m_files = std::make_shared<restest::CCountingFiles>();
        m_files->Put("D:\\ZELBO2.RES", w.Build());
        m_mgr.SetFileSystem(m_files);
    }
    void TearDown() override {
        plat::SetMessageBoxHook({});
        ResetReadErrorPrompt();
        SetResItemHost(m_savedResHost);
        plat::SetReportedVersion(plat::kVersionWin95);
        plat::ResetDriveMap();
        plat::ResetWindowing();
        plat::ResetGdi();
        plat::ClearStringTable();
    }
    // The sound item's first n bytes, read from the start.
    BOOL LoadSound(Bytes& out, uint32_t n = 100) {
        ResDirEntry* e = m_mgr.FindEntry(kResSND, 2990);
        if (!e) return 0;
        e->readPos = 0;
        out.assign(n, 0);
        return m_mgr.LoadItem(out.data(), e, n);
    }
    static int CursorCount() {
        const int count = ShowCursor(TRUE);
        ShowCursor(FALSE);
        return count - 1;
    }
    uint64_t Now() const { return m_head->NowMs(); }

    plat::HeadlessBackend* m_head = nullptr;
    const Bytes m_data = Pattern(1000, 7);
    std::shared_ptr<restest::CCountingFiles> m_files;
    CResMgr m_mgr;
    std::string m_folder;
    int m_invalidations = 0;
    IResItemHost* m_savedResHost = nullptr;
};

// With the prompt off (the start-up's probe), a failing open or read gives up after one
// attempt and shows nothing.
TEST_F(ReadErrorPromptTest, DisabledPromptFailsAtOnceWithoutABox) {
    EnableReadErrorPrompt(false);
    m_files->Counters().failOpens = 1;
    EXPECT_EQ(m_mgr.Open("D:\\ZELBO2.RES"), 0);
    EXPECT_EQ(m_files->Counters().opens, 1);

    ASSERT_EQ(m_mgr.Open("D:\\ZELBO2.RES"), 1);
    m_files->Counters().failReads = 1;
    const int reads = m_files->Counters().reads;
    Bytes got;
    EXPECT_EQ(LoadSound(got), 0);
    EXPECT_EQ(m_files->Counters().reads, reads + 1);
    EXPECT_EQ(m_mgr.FindEntry(kResSND, 2990)->readPos, 0u);
    EXPECT_TRUE(plat::MessageBoxLog().empty());
    EXPECT_EQ(AskForCDAndRetry(), 1);
}

// Each OK repeats the failed operation: a read failing twice succeeds on the third try
// after two boxes; the guard comes back, the picture is redrawn, the cursor count is kept.
TEST_F(ReadErrorPromptTest, OkRetriesUntilTheReadSucceeds) {
    m_files->Counters().failOpens = 1;
    m_head->PushAnswer(IDOK);
    ASSERT_EQ(m_mgr.Open("D:\\ZELBO2.RES"), 1);
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);

    const int cursor = CursorCount();
    m_files->Counters().failReads = 2;
    const int reads = m_files->Counters().reads;
    m_head->PushAnswer(IDOK);
    m_head->PushAnswer(IDOK);
    Bytes got;
    ASSERT_EQ(LoadSound(got), 1);
    EXPECT_EQ(got, Bytes(m_data.begin(), m_data.begin() + 100));
    EXPECT_EQ(m_files->Counters().reads, reads + 3);

    const auto& log = plat::MessageBoxLog();
    ASSERT_EQ(log.size(), 3u);
    for (const auto& box : log) {
        EXPECT_EQ(box.text, *plat::LookupString(media::kIdsInsertCd));
        EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
        EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONHAND));
        EXPECT_EQ(box.answer, IDOK);
    }
    EXPECT_EQ(plat::Cp1252ToUtf8(log[0].text).rfind("Kunde inte läsa CD-ROM-skivan", 0), 0u);
    EXPECT_FALSE(StandInView::guard);
    EXPECT_EQ(m_invalidations, 3);
    EXPECT_EQ(CursorCount(), cursor);
    EXPECT_EQ(m_head->AnswersLeft(), 0u);
}

// Cancel ends the program through the exit exception; from then on failures give up at
// once and no box appears again (an unexpected box would throw for want of an answer).
// Under Win32s the Cancel comes while the read-ahead cache is being filled, which must not
// leave half an item to serve.
TEST_F(ReadErrorPromptTest, CancelThrowsExitAndNeverAsksAgain) {
    for (const DWORD version : {plat::kVersionWin95, plat::kVersionWin32s}) {
        SCOPED_TRACE(version);
        plat::SetReportedVersion(version);
        ResetReadErrorPrompt();
        SetReadErrorPromptHost(this);
        StandInView::guard = false;
        m_invalidations = 0;
        plat::ClearMessageBoxLog();

        ASSERT_EQ(m_mgr.Open("D:\\ZELBO2.RES"), 1);
        m_files->Counters().failReads = 1;
        m_head->PushAnswer(IDCANCEL);
        Bytes got;
        bool exited = false;
        try {
            LoadSound(got);
        } catch (CCorExceptionBase* e) {
            exited = e->IsKindOf(RUNTIME_CLASS(CCorExceptionExit));
            e->Report();
            delete e;
        }
        EXPECT_TRUE(exited);
        EXPECT_TRUE(HasGivenUpOnCd());
        EXPECT_TRUE(StandInView::guard) << "nothing is drawn while the program unwinds";
        EXPECT_EQ(m_invalidations, 0);

        m_files->Counters().failReads = 3;
        EXPECT_EQ(LoadSound(got), 0);
        m_files->Counters().failReads = 0;
        ASSERT_EQ(LoadSound(got), 1);
        EXPECT_EQ(got, Bytes(m_data.begin(), m_data.begin() + 100));
        m_files->Counters().failOpens = 1;
        EXPECT_EQ(m_mgr.Open("D:\\ZELBO2.RES"), 0);
        EXPECT_EQ(AskForCDAndRetry(), 1);
        EXPECT_EQ(plat::MessageBoxLog().size(), 1u);
    }
}

// While the box is up the view's timer keeps ticking but runs no idle step; afterwards the
// idle steps run again.
TEST_F(ReadErrorPromptTest, ViewTimerRunsNoIdleStepWhileTheBoxIsUp) {
    WNDCLASS wc;
    wc.lpfnWndProc = StandInView::Proc;
    wc.lpszClassName = "ResPromptView";
    RegisterClass(&wc);
    HWND view = CreateWindow("ResPromptView", "Zelbo", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(view, nullptr);
    SetTimer(view, 1, 55, nullptr);
    ASSERT_EQ(m_mgr.Open("D:\\ZELBO2.RES"), 1);

    m_files->Counters().failReads = 1;
    m_head->PushAnswer(plat::kMessageBoxInteractive);
    m_head->Key(Now() + 600, VK_RETURN, '\r');
    const int idleBefore = StandInView::idleSteps;
    Bytes got;
    ASSERT_EQ(LoadSound(got), 1);
    EXPECT_EQ(StandInView::idleSteps, idleBefore);
    EXPECT_GE(StandInView::guardedTicks, 8);
    EXPECT_FALSE(StandInView::guard);

    m_head->Advance(200);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    EXPECT_GT(StandInView::idleSteps, idleBefore);
}

// On Windows 95 opening and closing wait for the resource folder's drive: the box shows
// until the disc is back. Elsewhere, or without a drive letter, the check does not apply.
TEST_F(ReadErrorPromptTest, DriveCheckWaitsForTheDiscOnWindows95) {
    restest::CTempFolder tmp;
    const std::filesystem::path disc = tmp.Path() / "cd";
    std::filesystem::create_directories(tmp.Path() / "c");
    plat::SetEmulatedRoot(tmp.Path() / "c");
    plat::SetCdromFolders({disc});  // D:, with no disc in it yet
    m_folder = "D:\\";

    struct Case {
        DWORD version;
        const char* folder;
        int result;
    };
    for (const Case& c : {Case{plat::kVersionWinNT4, "D:\\", 1}, Case{plat::kVersionWin32s, "D:\\", 1},
                          Case{plat::kVersionWin95, "", 1}, Case{plat::kVersionWin95, "\\\\server\\zelbo\\", 1}}) {
        plat::SetReportedVersion(c.version);
        m_folder = c.folder;
        EXPECT_EQ(CheckResourceDrive(), c.result) << c.version << " " << c.folder;
    }
    EXPECT_TRUE(plat::MessageBoxLog().empty());

    plat::SetReportedVersion(plat::kVersionWin95);
    m_folder = "D:\\";
    EnableReadErrorPrompt(false);
    EXPECT_EQ(m_mgr.Open("D:\\ZELBO2.RES"), 0);
    EXPECT_EQ(m_files->Counters().opens, 0) << "the file is not tried while the drive is missing";
    EnableReadErrorPrompt(true);

    // The disc goes in while the box is up; OK then opens the file.
    m_head->PushAnswer(plat::kMessageBoxInteractive);
    m_head->At(Now() + 100, [&] { std::filesystem::create_directories(disc); });
    m_head->Key(Now() + 300, VK_RETURN, '\r');
    ASSERT_EQ(m_mgr.Open("D:\\ZELBO2.RES"), 1);
    EXPECT_EQ(plat::MessageBoxLog().size(), 1u);

    // Taken out again: a close that cannot ask keeps the file open.
    std::filesystem::remove_all(disc);
    EnableReadErrorPrompt(false);
    EXPECT_EQ(m_mgr.Close(), 0);
    EXPECT_TRUE(m_mgr.IsOpen());
    EXPECT_EQ(CheckResourceDrive(), 0);
}

TEST_F(ReadErrorPromptTest, DriveKinds) {
    restest::CTempFolder tmp;
    std::filesystem::create_directories(tmp.Path() / "c");
    std::filesystem::create_directories(tmp.Path() / "cd");
    plat::SetEmulatedRoot(tmp.Path() / "c");
    plat::SetCdromFolders({tmp.Path() / "cd"});
    const std::pair<int, int> cases[] = {{2, 2}, {3, 4}, {4, 0}, {16, 0}, {-1, 0}, {26, 0}};
    for (const auto& [index, kind] : cases) EXPECT_EQ(GetDriveKind(index), kind) << "drive " << index;
}

}  // namespace
