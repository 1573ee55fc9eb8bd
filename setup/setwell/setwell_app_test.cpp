#include <gtest/gtest.h>

#include "platform/profile/profile.h"
#include "setup/setwell/file_install.h"
#include "setup/setwell/setwell_test_support.h"

namespace setup::testing {
namespace {

constexpr char kProductKey[] = "Software\\Quorva\\Zelbo\\1.0";
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kTally[] = "ZelboTally";
constexpr char kFinal[] = "D:\\KELVAT\\FINAL.EXE";

std::string ProductScript(const std::string& extra = "") {
    return "SplashScreenTitle Zelbo installation;\n"
           "ProductName Zelbo;\nProductVersion 1.0;\nProductDir Zelbo;\nProductExe ZELBO;\n"
           "UninstallExe REMBLY.EXE;\nFinalDlgExe D:\\KELVAT\\FINAL.EXE;\nRunAutoPlayDlg TRUE;\n"
           "UninstallVersionZelbo ZelboTally;\n" +
           extra +
           "WelcomeDialog;\n"
           "File [SourceDrive]\\KELVAT\\DATA.TXT, [InstallDir]\\Zelbo\\DATA.TXT;\n";
}

enum class Registry {
    kNoMakerKey,     // a new installation's registry: only ProgramFilesDir
    kNoKeys,         // not even ProgramFilesDir
    kMakerKey,       // "Software\Quorva" and nothing under it
    kDefaultHome,    // the maker key with "Default Home"
    kInstalled,      // the product key's "Install Path" names an existing file
    kPathGone,       // ... a file that no longer exists
    kAutoplayOff,    // path gone, "Disable Autoplay" (8 bytes) on the maker key
    kTempAutoplay,   // path gone, the "Temp Disable Autoplay" key
};

class SetwellFlow : public SetwellTest {
protected:
    void Prepare(Registry registry) {
        Put(cd1 / "KELVAT" / "DATA.TXT", "data");
        if (registry == Registry::kNoKeys) {
            HKEY k = nullptr;
            ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWindowsKey, 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
            RegDeleteValueA(k, "ProgramFilesDir");
            RegCloseKey(k);
        }
        if (registry >= Registry::kMakerKey) MakeKey(kMakerKey);
        if (registry == Registry::kDefaultHome) SetValue(kMakerKey, "Default Home", REG_SZ, "C:\\Hemma");
        if (registry >= Registry::kInstalled) {
            SetValue(kProductKey, "Install Path", REG_SZ, "C:\\Quorva\\Zelbo\\ZELBO.EXE");
            if (registry == Registry::kInstalled) Put(root / "Quorva" / "Zelbo" / "ZELBO.EXE", "exe");
        }
        if (registry == Registry::kAutoplayOff) SetValue(kMakerKey, "Disable Autoplay", REG_BINARY, "12345678");
        if (registry == Registry::kTempAutoplay) MakeKey(std::string(kMakerKey) + "\\Temp Disable Autoplay");
    }
    // A top-level window titled with the product's name: the product runs.
    void OpenProductWindow() {
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "ProductWindow";
        RegisterClass(&wc);
        productWindow = CreateWindow("ProductWindow", "Zelbo", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                     nullptr);
        ASSERT_NE(productWindow, nullptr);
    }
    void TearDown() override {
        if (productWindow) DestroyWindow(productWindow);
        productWindow = nullptr;
        SetwellTest::TearDown();
    }
    HWND productWindow = nullptr;
    std::optional<uint32_t> Tally() {
        const auto v = GetValue(kMakerKey, kTally);
        if (!v) return std::nullopt;
        EXPECT_EQ(v->size(), 4u);
        return CountOfValue(reinterpret_cast<const uint8_t*>(v->data()), static_cast<DWORD>(v->size()));
    }
};

// Registry, command line and a running product decide the branch; the branch decides the
// folder offered, the pass run, the tally, the programs started and the messages.
TEST_F(SetwellFlow, BranchMatrix) {
    const std::string done = Text(kIdsInstallationDone, "Zelbo");
    const std::string none = "D:\\KELVAT\\SETWELL.EXE";
    struct Case {
        const char* name;
        Registry registry;
        std::string commandLine;
        bool productWindow;
        std::string extraHeader;
        // Expected:
        bool exited;
        std::vector<std::string> events;  // of the windows
        std::vector<std::string> offered;
        std::optional<uint32_t> tally;    // the tally starts at 1 where the product's key exists
        std::vector<std::string> launched;
        std::vector<std::string> messages;
        std::optional<fs::path> installed;  // where the data file lands
    };
    const std::vector<Case> cases = {
        {"new, no maker key", Registry::kNoMakerKey, none, false, "", false, {"welcome", "close background"},
         {"C:\\Program Files\\Quorva"}, 1, {kFinal}, {done}, "Spel/Zelbo/DATA.TXT"},
        {"new, no keys at all", Registry::kNoKeys, none, false, "", false, {"welcome", "close background"}, {"C:\\Program Files"}, 1,
         {kFinal}, {done}, "Spel/Zelbo/DATA.TXT"},
        {"new, empty maker key", Registry::kMakerKey, none, false, "", false, {"welcome", "close background"},
         {"C:\\Program Files\\Quorva"}, 2, {kFinal}, {done}, "Spel/Zelbo/DATA.TXT"},
        {"new, default home", Registry::kDefaultHome, none, false, "", false, {"welcome", "close background"}, {"C:\\Hemma"}, 2,
         {kFinal}, {done}, "Spel/Zelbo/DATA.TXT"},
        {"new, install path gone", Registry::kPathGone, none, false, "", false, {"welcome", "close background"},
         {"C:\\Program Files\\Quorva"}, 2, {kFinal}, {done}, "Spel/Zelbo/DATA.TXT"},
        {"new, over-install asked", Registry::kNoMakerKey, "overinstall", false, "", false, {"welcome", "close background"},
         {"C:\\Program Files\\Quorva"}, 1, {kFinal}, {done}, "Spel/Zelbo/DATA.TXT"},
        {"plain start", Registry::kInstalled, none, false, "", true, {}, {}, 1, {kFinal}, {}, std::nullopt},
        {"plain start, autoplay off", Registry::kAutoplayOff, none, false, "", false, {}, {}, 1, {}, {},
         std::nullopt},
        {"plain start, autoplay off for now", Registry::kTempAutoplay, none, false, "", false, {}, {}, 1, {}, {},
         std::nullopt},
        {"over-install", Registry::kInstalled, "OverInstall", false, "", true,
         {"background", "progress", "close background"}, {}, 1, {kFinal}, {done}, "Quorva/Zelbo/DATA.TXT"},
        {"over-install, autoplay off", Registry::kAutoplayOff, "OVERINSTALL", false, "", true,
         {"background", "progress", "close background"}, {}, 1, {kFinal}, {done}, "Quorva/Zelbo/DATA.TXT"},
        {"over-install refused", Registry::kInstalled, "OverInstall", false, "NoOverinstall;\n", true, {}, {}, 1,
         {}, {Text(kIdsAlreadyInstalled, "Zelbo")}, std::nullopt},
        // The word after a program's name is its setup folder, not an over-install.
        {"over-install word after the name", Registry::kInstalled, "x OverInstall", false, "", true, {}, {}, 1, {},
         {Text(kIdsCannotOpenScript)}, std::nullopt},
        {"product runs, installed", Registry::kInstalled, none, true, "", true, {}, {}, 1, {}, {}, std::nullopt},
        {"product runs, over-install", Registry::kInstalled, "OverInstall", true, "", true, {}, {}, 1, {}, {},
         std::nullopt},
        {"product runs, not installed", Registry::kNoMakerKey, none, true, "", true, {}, {}, std::nullopt, {}, {},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Prepare(c.registry);
        PutScript(ProductScript(c.extraHeader));
        if (c.registry >= Registry::kMakerKey) SetValue(kMakerKey, kTally, REG_BINARY, Count(1));
        if (c.productWindow) OpenProductWindow();
        for (size_t i = 0; i < c.messages.size(); ++i) head->PushAnswer(IDOK);

        EXPECT_EQ(Run(c.commandLine), c.exited);
        EXPECT_EQ(windows->events, c.events);
        EXPECT_EQ(windows->offered, c.offered);
        EXPECT_EQ(Tally(), c.tally);
        EXPECT_EQ(app->launched, c.launched);
        EXPECT_EQ(Texts(), c.messages);
        if (c.installed) {
            EXPECT_EQ(Get(root / *c.installed), "data");
        }
        EXPECT_FALSE(windows->progressOpen);
        // Every path but a stop in the header pass removes the script's temporary copy.
        if (c.messages != std::vector<std::string>{Text(kIdsCannotOpenScript)}) {
            EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP"));
        }
    }
}

TEST_F(SetwellFlow, VersionGate) {
    struct Case {
        const char* name;
        DWORD version;
        bool runs;
    };
    const Case cases[] = {
        {"Windows 95", plat::kVersionWin95, true},
        {"NT 3.50", 0x00003203, true},
        {"NT 3.51", 0x00003303, false},
        {"NT 4.0", plat::kVersionWinNT4, true},
        {"Win32s", plat::kVersionWin32s, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Prepare(Registry::kNoMakerKey);
        PutScript(ProductScript());
        plat::SetReportedVersion(c.version);
        head->PushAnswer(IDOK);
        EXPECT_FALSE(Run("D:\\KELVAT\\SETWELL.EXE"));
        EXPECT_EQ(windows->events.size(), c.runs ? 2u : 0u);
        ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
        const plat::MessageBoxRecord& box = plat::MessageBoxLog()[0];
        if (c.runs) {
            EXPECT_EQ(box.text, Text(kIdsInstallationDone, "Zelbo"));
        } else {
            EXPECT_EQ(box.text, Cp(u8"Du använder inte Windows 95 eller senare."));
            EXPECT_EQ(box.caption, "Quorva  Error");
            EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONHAND));
            // The script was never looked at.
            EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP"));
        }
    }
}

TEST_F(SetwellFlow, TallyCountsInstallationsNotOverInstalls) {
    struct Case {
        const char* name;
        std::optional<std::string> before;
        std::string commandLine;
        std::string after;
    };
    const Case cases[] = {
        {"missing", std::nullopt, "", Count(1)},
        {"one", Count(1), "", Count(2)},
        // A short value reads with zeros for its missing bytes and is written back whole.
        {"one byte", std::string("\x05", 1), "", Count(6)},
        {"two bytes", std::string("\x01\x01", 2), "", Count(0x102)},
        // A longer value keeps its other bytes.
        {"six bytes", Count(7) + "xy", "", Count(8) + "xy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Prepare(Registry::kMakerKey);
        PutScript(ProductScript());
        if (c.before) SetValue(kMakerKey, kTally, REG_BINARY, *c.before);
        head->PushAnswer(IDOK);
        EXPECT_FALSE(Run("D:\\KELVAT\\SETWELL.EXE"));
        EXPECT_EQ(GetValue(kMakerKey, kTally), c.after);
    }
}

TEST_F(SetwellFlow, LauncherRegistrationAsksWhenTheLauncherIsThere) {
    struct Case {
        const char* name;
        bool launcherKey;
        int answer;  // 0: no question expected
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"no launcher", false, 0, std::nullopt},
        {"yes", true, IDYES, "C:\\Spel\\Zelbo\\ZELBO.exe"},
        {"no", true, IDNO, std::nullopt},
    };
    const std::string key = "Software\\Quorva\\Zadaro\\AddApp";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Prepare(Registry::kNoMakerKey);
        PutScript(ProductScript() + "FinalText \"Klart\";\n");
        if (c.launcherKey) MakeKey(key);
        if (c.answer) head->PushAnswer(c.answer);
        head->PushAnswer(IDOK);
        EXPECT_FALSE(Run("D:\\KELVAT\\SETWELL.EXE"));
        std::vector<std::string> expected;
        if (c.answer) expected.push_back(Text(kIdsAddToLauncher, "Zelbo"));
        expected.push_back(Text(kIdsInstallationDone, "Zelbo"));
        EXPECT_EQ(Texts(), expected);
        EXPECT_EQ(GetValue(key, "Zelbo"), c.value);
    }
}

TEST_F(SetwellFlow, EndOfInstallationMessageTwiceOnlyWhenTheFinalProgramFails) {
    for (const UINT result : {33u, 2u}) {
        SCOPED_TRACE(result);
        TearDown();
        SetUp();
        Prepare(Registry::kNoMakerKey);
        PutScript(ProductScript());
        app->launchResult = result;
        head->PushAnswer(IDOK);
        if (result < 32) head->PushAnswer(IDOK);
        EXPECT_FALSE(Run("D:\\KELVAT\\SETWELL.EXE"));
        const std::string done = Text(kIdsInstallationDone, "Zelbo");
        const std::vector<std::string> expected(result < 32 ? 2 : 1, done);
        EXPECT_EQ(Texts(), expected);
        for (const plat::MessageBoxRecord& box : plat::MessageBoxLog()) {
            EXPECT_EQ(box.caption, "Zelbo ");
            EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONASTERISK));
            EXPECT_EQ(box.owner, nullptr) << "the progress window is gone, the background window has no handle here";
        }
    }
}

TEST_F(SetwellFlow, MessageCaptionsByKind) {
    struct Case {
        std::string product;
        int kind;
        std::string caption;
        UINT icon;
    };
    const Case cases[] = {
        {"", 0, "Quorva ", 0},          {"", 1, "Quorva  ", 0},          {"", 2, "Quorva  Error", MB_ICONHAND},
        {"Zelbo", 0, "Zelbo ", 0},      {"Zelbo", 1, "Zelbo  ", 0},      {"Zelbo", 2, "Zelbo  Error", MB_ICONHAND},
    };
    for (const Case& c : cases) {
        plat::ClearMessageBoxLog();
        app->Values().productName = c.product;
        head->PushAnswer(IDOK);
        EXPECT_EQ(app->ShowSetupMessage(c.kind, std::string("Hej"), MB_OK), IDOK);
        ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
        EXPECT_EQ(plat::MessageBoxLog()[0].caption, c.caption);
        EXPECT_EQ(plat::MessageBoxLog()[0].icon, c.icon);
    }
    EXPECT_FALSE(head->Beeps().empty());
}

TEST_F(SetwellFlow, RestartSeesTheSourceDriveAndProductNameAndReleaseRunsTwice) {
    Prepare(Registry::kNoMakerKey);
    PutScript(ProductScript());
    windows->wantRestart = 1;
    head->PushAnswer(IDOK);
    EXPECT_FALSE(Run("D:\\KELVAT\\SETWELL.EXE"));
    EXPECT_EQ(app->restarts, std::vector<std::string>{"D:|Zelbo"});
    // Afterwards every string is gone, and a second clean-up is harmless.
    EXPECT_EQ(app->Values().productName, "");
    EXPECT_EQ(app->Values().sourceDrive, "");
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    app->ReleaseSetup();
    app->ReleaseSetup();
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP"));
    const auto closes = std::count(windows->events.begin(), windows->events.end(), "close background");
    EXPECT_EQ(closes, 1);
}

TEST_F(SetwellFlow, OverInstallWhileAnotherCopyRunsEndsWithoutAWindow) {
    Prepare(Registry::kInstalled);
    PutScript(ProductScript());
    windows->secondCopy = true;
    EXPECT_TRUE(Run("OverInstall"));
    EXPECT_EQ(windows->events, std::vector<std::string>{"background"});
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(Texts().empty());
    EXPECT_FALSE(Exists(root / "Quorva" / "Zelbo" / "DATA.TXT"));
}

TEST_F(SetwellFlow, CancelAndASecondCopyEndTheWelcomeStep) {
    for (const bool secondCopy : {false, true}) {
        SCOPED_TRACE(secondCopy);
        TearDown();
        SetUp();
        Prepare(Registry::kNoMakerKey);
        PutScript(ProductScript());
        windows->secondCopy = secondCopy;
        windows->chosen.reset();
        EXPECT_TRUE(Run("D:\\KELVAT\\SETWELL.EXE"));
        EXPECT_EQ(GetValue(kMakerKey, kTally), std::nullopt);
        EXPECT_TRUE(Texts().empty());
        EXPECT_FALSE(Exists(root / "Spel"));
        // The clean-up removes the script's copy on every way out, a second copy's too.
        EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP"));
    }
}

// Online registration, when the script asks for it, replaces the final-dialog program after a
// new installation; an over-install starts the final-dialog program instead.
TEST_F(SetwellFlow, OnlineRegistrationAfterANewInstallation) {
    struct Case {
        const char* name;
        Registry registry;
        std::string commandLine;
        UINT launchResult;
        std::vector<std::string> launched;
        bool registerPathWritten;
        bool failureShown;
    };
    const Case cases[] = {
        {"new installation", Registry::kNoMakerKey, "D:\\KELVAT\\SETWELL.EXE", 33, {"D:\\Reg\\REG.EXE"}, true,
         false},
        {"registration program missing", Registry::kNoMakerKey, "D:\\KELVAT\\SETWELL.EXE", 2,
         {"D:\\Reg\\REG.EXE"}, true, true},
        {"over-install", Registry::kInstalled, "OverInstall", 33, {kFinal}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Prepare(c.registry);
        PutScript(ProductScript("RunOnlineReg true;\nOnlineRegDir Reg;\nOnlineRegExe REG.EXE;\n"));
        app->launchResult = c.launchResult;
        head->PushAnswer(IDOK);
        if (c.failureShown) head->PushAnswer(IDOK);
        Run(c.commandLine);
        EXPECT_EQ(app->launched, c.launched);
        char path[MAX_PATH] = {};
        GetPrivateProfileStringA("Online Registration", "Register Path", "", path, sizeof path, "Quorva.ini");
        EXPECT_EQ(std::string(path), c.registerPathWritten ? "D:\\Reg" : "");
        std::vector<std::string> expected{Text(kIdsInstallationDone, "Zelbo")};
        if (c.failureShown) expected.push_back(Text(kIdsCannotInstall, "Zelbo"));
        EXPECT_EQ(Texts(), expected);
    }
}

// The fixture CD end to end: a new installation, then one over it from a newer CD.
TEST_F(SetwellFlow, FixtureCdInstallsAndInstallsOver) {
    MakeFixtureCd(cd1);
    head->PushAnswer(IDOK);
    EXPECT_FALSE(Run("D:\\KELVAT\\SETWELL.EXE"));
    const fs::path zelbo = root / "Spel" / "Zelbo";
    EXPECT_EQ(Get(zelbo / "Product.Dat"), Get(cd1 / "KELVAT" / "Product.Dat"));
    EXPECT_EQ(StampOf(zelbo / "ZELBO.EXE"), (std::array<uint16_t, 4>{2, 0, 0, 0}));
    EXPECT_EQ(Get(zelbo / "DATA.TXT"), "Zelbo data\n");
    EXPECT_TRUE(GetFileAttributesA("C:\\Spel\\Zelbo\\DATA.TXT") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(GetValue(kSharedDllsKey, "C:\\Spel\\Zelbo\\REMBLY.EXE"), Count(1));
    EXPECT_EQ(Tally(), 1u);
    EXPECT_EQ(app->launched, std::vector<std::string>{kFinal});
    EXPECT_EQ(windows->progressTexts,
              (std::vector<std::string>{"Installerar Product.Dat...", "Installerar ZELBO.EXE...",
                                        "Installerar REMBLY.EXE...", "Installerar DATA.TXT..."}));
    EXPECT_EQ(Texts(), std::vector<std::string>{Text(kIdsInstallationDone, "Zelbo")});

    // The product's key names the installed program (the registry statements will write it).
    SetValue(kProductKey, "Install Path", REG_SZ, "C:\\Spel\\Zelbo\\ZELBO.EXE");
    NewApp();
    FixtureCd newer;
    newer.version = {3, 0, 0, 0};
    MakeFixtureCd(cd1, newer);
    head->PushAnswer(IDOK);
    EXPECT_TRUE(Run("OverInstall"));
    EXPECT_EQ(windows->events, (std::vector<std::string>{"background", "progress", "close background"}));
    EXPECT_EQ(StampOf(zelbo / "ZELBO.EXE"), (std::array<uint16_t, 4>{3, 0, 0, 0}));
    EXPECT_EQ(GetValue(kSharedDllsKey, "C:\\Spel\\Zelbo\\REMBLY.EXE"), Count(2));
    EXPECT_EQ(Tally(), 1u);
}

}  // namespace
}  // namespace setup::testing
