// The window framework: message maps, the application's start and loop, the single-document
// template with its frame and view, exceptions reaching Run, the profile, menus and the
// printer defaults, with and without the dialogs installed.
#include "platform/afxwin/framework_dialogs.h"
#include "platform/dialogs/dialogs_test_support.h"
#include "platform/profile/profile.h"
#include "platform/process/process.h"
#include "platform/registry/registry.h"

namespace {

using dialogs_test::DialogsTest;

// ---- Message maps ---------------------------------------------------------------------------------

constexpr UINT kMsgPing = WM_USER + 10;

class BaseWnd : public CWnd {
public:
    std::vector<std::string> log;

protected:
    afx_msg void OnTimer(UINT_PTR id) { log.push_back("base timer " + std::to_string(id)); }
    afx_msg void OnKeyDown(UINT ch, UINT, UINT) { log.push_back("base key " + std::to_string(ch)); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
protected:
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags) {
        log.push_back("derived key " + std::to_string(ch));
        if (ch == 'B') BaseWnd::OnKeyDown(ch, repeat, flags);
    }
    afx_msg void OnRange(UINT id) { log.push_back("range " + std::to_string(id)); }
    afx_msg LRESULT OnPing(WPARAM w, LPARAM l) {
        log.push_back("ping");
        return static_cast<LRESULT>(w + static_cast<WPARAM>(l));
    }
    afx_msg void OnTabChange(NMHDR* nm, LRESULT* result) {
        log.push_back("notify " + std::to_string(static_cast<int>(nm->code)));
        *result = 5;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
    ON_WM_KEYDOWN()
    ON_COMMAND_RANGE(53248, 53250, OnRange)
    ON_MESSAGE(kMsgPing, OnPing)
    ON_NOTIFY(TCN_SELCHANGE, 77, OnTabChange)
END_MESSAGE_MAP()

class Framework : public DialogsTest {};

TEST_F(Framework, MessageMapsRunTheMostDerivedEntryThenTheBasesThenTheDefault) {
    DerivedWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "Karta", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    w.SendMessage(WM_KEYDOWN, 'A');
    w.SendMessage(WM_KEYDOWN, 'B');
    w.SendMessage(WM_TIMER, 9);
    w.SendMessage(WM_COMMAND, 53249);
    w.SendMessage(WM_COMMAND, 53251);  // outside the range: nobody
    EXPECT_EQ(w.SendMessage(kMsgPing, 3, 4), 7);
    NMHDR nm;
    nm.idFrom = 77;
    nm.code = TCN_SELCHANGE;
    EXPECT_EQ(w.SendMessage(WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&nm)), 5);
    w.SetWindowText("Ny titel");  // not mapped: the default procedure keeps the title
    EXPECT_EQ(w.log, (std::vector<std::string>{"derived key 65", "derived key 66", "base key 66", "base timer 9",
                                               "range 53249", "ping", "notify -551"}));
    CString title;
    w.GetWindowText(title);
    EXPECT_EQ(title, "Ny titel");
    const HWND h = w.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &w);
    w.DestroyWindow();
    EXPECT_EQ(w.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

// Until the dialogs are installed the framework's standard commands find no dialog: they do
// nothing and take no scripted answer.
TEST_F(Framework, WithoutTheDialogsInstalledTheStandardCommandsOpenNothing) {
    plat::afx::SetFrameworkDialogs(nullptr);
    CWinApp app;
    m_head->PushAnswer(IDOK);
    app.OnFileOpen();
    app.OnFilePrintSetup();
    PRINTDLG pd;
    EXPECT_FALSE(app.GetPrinterDeviceDefaults(&pd));
    EXPECT_EQ(pd.hDevNames, nullptr);
    CPrintInfo info;
    EXPECT_EQ(info.m_pPD, nullptr);
    EXPECT_EQ(m_head->AnswersLeft(), 1u);
    EXPECT_EQ(plat::MessageBoxLog().size(), 0u);
    plat::InstallDialogs();
    CPrintInfo withDialogs;
    EXPECT_NE(withDialogs.m_pPD, nullptr);
    Drain();
}

// ---- An application with a document, a frame and a view --------------------------------------------

struct EngineExit {};

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
public:
    static int created;
    TestDoc() { ++created; }
    BOOL OnNewDocument() override { return CDocument::OnNewDocument(); }
};
int TestDoc::created = 0;
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

class TestFrame : public CFrameWnd {
    DECLARE_DYNCREATE(TestFrame)
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override {
        cs.x = cs.y = 0;
        cs.cx = GetSystemMetrics(SM_CXSCREEN);
        cs.cy = GetSystemMetrics(SM_CYSCREEN);
        cs.style = static_cast<LONG>(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
        return CFrameWnd::PreCreateWindow(cs);
    }
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
public:
    static TestView* last;
    int initialUpdates = 0;
    int draws = 0;
    int ticks = 0;
    std::vector<UINT> keys;
    TestView() { last = this; }
    ~TestView() override {
        if (last == this) last = nullptr;
    }
    void OnDraw(CDC*) override { ++draws; }
    void OnInitialUpdate() override {
        ++initialUpdates;
        CView::OnInitialUpdate();
    }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs) {
        if (CView::OnCreate(cs) == -1) return -1;
        SetTimer(1, 55, nullptr);
        return 0;
    }
    afx_msg void OnTimer(UINT_PTR) { ++ticks; }
    afx_msg void OnKeyDown(UINT ch, UINT, UINT) {
        keys.push_back(ch);
        if (ch == 'Q') throw EngineExit{};
        if (ch == 'E') AfxThrowFileException(CFileException::diskFull);
    }
    // Keeps the view at 320 x 240 in the middle of the frame, as the game keeps its screen.
    afx_msg void OnWindowPosChanging(WINDOWPOS* pos) {
        CView::OnWindowPosChanging(pos);
        if (pos->flags & SWP_NOSIZE) return;
        const int dx = (pos->cx - 320) / 2, dy = (pos->cy - 240) / 2;
        if (dx < 0 || dy < 0) return;
        pos->x += dx;
        pos->y += dy;
        pos->cx = 320;
        pos->cy = 240;
    }
    DECLARE_MESSAGE_MAP()
};
TestView* TestView::last = nullptr;
IMPLEMENT_DYNCREATE(TestView, CView)
BEGIN_MESSAGE_MAP(TestView, CView)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
    ON_WM_WINDOWPOSCHANGING()
END_MESSAGE_MAP()

class TestApp : public CWinApp {
public:
    TestApp() : CWinApp(nullptr) {}
    std::function<void()> script;
    std::vector<LONG> idleCounts;
    int preTranslated = 0;
    bool caught = false;
    bool exited = false;

    BOOL InitInstance() override {
        AddDocTemplate(new CSingleDocTemplate(99, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestFrame), RUNTIME_CLASS(TestView)));
        OnFileNew();
        if (script) script();
        return m_pMainWnd != nullptr;
    }
    int Run() override {
        try {
            return CWinApp::Run();
        } catch (const EngineExit&) {
            caught = true;
            return 3;
        }
    }
    BOOL OnIdle(LONG count) override {
        if (idleCounts.size() < 100) idleCounts.push_back(count);
        return CWinApp::OnIdle(count);
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        ++preTranslated;
        return CWinApp::PreTranslateMessage(msg);
    }
    int ExitInstance() override {
        exited = true;
        return CWinApp::ExitInstance();
    }
};

class Application : public DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        static const plat::StringEntry kStrings[] = {{99, u8"Testprogram\n\n"}, {AFX_IDS_APP_TITLE, u8"Trumlaby"}};
        plat::RegisterStringTable(kStrings);
        TestDoc::created = 0;
    }
    // The application object is the one AfxGetApp finds; the arguments become the program's
    // command line.
    int RunApp(TestApp& app, std::vector<const char*> args = {"zelbo"}) {
        EXPECT_EQ(AfxGetApp(), &app);
        plat::SetCommandLineForTests(plat::JoinCommandLine(std::vector<std::string>(args.begin(), args.end())));
        return AfxWinMain(static_cast<int>(args.size()), const_cast<char**>(args.data()));
    }
};

TEST_F(Application, StartsTheDocumentFrameAndViewAndRunsUntilTheMainWindowCloses) {
    TestApp app;
    HWND frame = nullptr;
    app.script = [&] {
        frame = app.m_pMainWnd->m_hWnd;
        // The first update ran before the loop; the view keeps its centred size.
        ASSERT_NE(TestView::last, nullptr);
        EXPECT_EQ(TestView::last->initialUpdates, 1);
        CRect r;
        TestView::last->GetWindowRect(&r);
        EXPECT_EQ(r, CRect(160, 120, 480, 360));
        EXPECT_EQ(TestView::last->GetDocument()->GetRuntimeClass(), RUNTIME_CLASS(TestDoc));
        EXPECT_EQ(CWnd::GetFocus(), TestView::last);
        Key(200, 'A');
        Later(300, [&] { app.m_pMainWnd->PostMessage(WM_CLOSE); });
    };
    EXPECT_EQ(RunApp(app, {"zelbo", "/w", "hej du"}), 0);  // the line: zelbo /w "hej du"
    EXPECT_TRUE(app.exited);
    EXPECT_STREQ(app.m_lpCmdLine, "/w \"hej du\"");
    EXPECT_STREQ(app.m_pszAppName, "Trumlaby");
    EXPECT_EQ(TestDoc::created, 1);
    EXPECT_EQ(TestView::last, nullptr);  // view and frame deleted themselves
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_GT(app.preTranslated, 0);
    // Idle time between messages: 0, then 1, again after each input.
    ASSERT_GE(app.idleCounts.size(), 2u);
    EXPECT_EQ(app.idleCounts[0], 0);
    EXPECT_EQ(app.idleCounts[1], 1);
}

TEST_F(Application, FrameHasTheResourceTitleAndTheViewGetsTimerAndKeys) {
    TestApp app;
    TestView* view = nullptr;
    int ticks = 0;
    std::vector<UINT> keys;
    app.script = [&] {
        view = TestView::last;
        CString title;
        app.m_pMainWnd->GetWindowText(title);
        EXPECT_EQ(title, "Testprogram");
        Key(100, 'K');
        Later(280, [&] {
            ticks = view->ticks;
            keys = view->keys;
            app.m_pMainWnd->SendMessage(WM_CLOSE);
        });
    };
    EXPECT_EQ(RunApp(app), 0);
    EXPECT_GE(ticks, 4);  // 55 ms timer over 280 ms
    EXPECT_EQ(keys, (std::vector<UINT>{'K'}));
}

TEST_F(Application, ExceptionsFromHandlersReachRun) {
    // The program's own exception leaves the class library's Run for the program's Run.
    TestApp app;
    app.script = [&] { Key(100, 'Q'); };
    EXPECT_EQ(RunApp(app), 3);
    EXPECT_TRUE(app.caught);
    AfxDeleteTempMaps();
    plat::ResetWindowing();
    // A class-library exception is reported and the loop goes on.
    TestApp second;
    std::vector<std::string> reported;
    plat::SetMessageBoxHook([&](LPCSTR text, UINT, UINT) {
        reported.push_back(text);
        return IDOK;
    });
    second.script = [&] {
        Key(100, 'E');
        Key(200, 'K');
        Later(300, [&] { second.m_pMainWnd->PostMessage(WM_CLOSE); });
    };
    EXPECT_EQ(RunApp(second), 0);
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_FALSE(second.caught);
}

TEST_F(Application, ProfileLivesInTheRegistryOnceAKeyIsSetElseInAnIniFile) {
    TestApp app;
    plat::afx::PrepareApp(&app, 1, const_cast<char**>(std::vector<const char*>{"zelbo"}.data()));
    // INI file first.
    EXPECT_TRUE(app.WriteProfileString("Inst\xE4llningar", "Namn", "G\xE4st"));
    EXPECT_TRUE(app.WriteProfileInt("Inst\xE4llningar", "Volym", 5));
    EXPECT_EQ(app.GetProfileString("Inst\xE4llningar", "Namn"), "G\xE4st");
    EXPECT_EQ(app.GetProfileInt("Inst\xE4llningar", "Volym", 0), 5u);
    char ini[64] = {};
    GetPrivateProfileStringA("Inst\xE4llningar", "Namn", "", ini, sizeof(ini), app.m_pszProfileName);
    EXPECT_STREQ(ini, "G\xE4st");
    // Then the registry, under the maker's key and the application's name.
    app.SetRegistryKey("Quorva");
    EXPECT_EQ(app.GetProfileString("Inst\xE4llningar", "Namn", "ingen"), "ingen");
    EXPECT_TRUE(app.WriteProfileString("General", "Current User", "Anna"));
    EXPECT_TRUE(app.WriteProfileInt("General", "Niv\xE5", -2));
    EXPECT_EQ(app.GetProfileString("General", "Current User"), "Anna");
    EXPECT_EQ(static_cast<int>(app.GetProfileInt("General", "Niv\xE5", 0)), -2);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quorva\\Trumlaby\\General", 0, KEY_READ, &key), ERROR_SUCCESS);
    char value[32] = {};
    DWORD size = sizeof(value), type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Current User", nullptr, &type, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(value, "Anna");
    RegCloseKey(key);
}

TEST_F(Application, PrinterDefaultsAreMadeOnceAndKeepChanges) {
    TestApp app;
    PRINTDLG pd;
    ASSERT_TRUE(app.GetPrinterDeviceDefaults(&pd));
    auto* dm = static_cast<DEVMODE*>(GlobalLock(pd.hDevMode));
    ASSERT_NE(dm, nullptr);
    EXPECT_STREQ(dm->dmDeviceName, plat::kFilePrinterName);
    dm->dmOrientation = DMORIENT_LANDSCAPE;
    GlobalUnlock(pd.hDevMode);
    PRINTDLG again;
    ASSERT_TRUE(app.GetPrinterDeviceDefaults(&again));
    EXPECT_EQ(again.hDevMode, pd.hDevMode);
    dm = static_cast<DEVMODE*>(GlobalLock(again.hDevMode));
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
    GlobalUnlock(again.hDevMode);
    std::string driver, device, port;
    ASSERT_TRUE(plat::ReadDevNames(again.hDevNames, driver, device, port));
    EXPECT_EQ(driver, plat::kFilePrinterDriver);
    EXPECT_EQ(port, plat::kFilePrinterPort);
}

TEST_F(Framework, SystemMenuKeepsItemsAndChecks) {
    CWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "Meny", WS_POPUP | WS_SYSMENU, 0, 0, 10, 10, nullptr, nullptr));
    CMenu* menu = w.GetSystemMenu(FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetMenuState(SC_SIZE, MF_BYCOMMAND), 0u);
    EXPECT_TRUE(menu->DeleteMenu(SC_SIZE, MF_BYCOMMAND));
    EXPECT_EQ(menu->GetMenuState(SC_SIZE, MF_BYCOMMAND), kMenuError);
    menu->AppendMenu(MF_STRING, 16, "&Alltid \xF6verst");
    EXPECT_EQ(menu->CheckMenuItem(16, MF_CHECKED), 0u);
    EXPECT_EQ(menu->GetMenuState(16, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(w.GetSystemMenu(FALSE)->m_hMenu, menu->m_hMenu);
    EXPECT_EQ(w.GetMenu(), nullptr);  // no menu bar
    w.DestroyWindow();
}

}  // namespace
