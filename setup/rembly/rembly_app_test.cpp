// The removal program in-process on the headless back end: an emulated installation of a small
// product (its folder, its script copy, the removal program in the Windows folder, its keys and
// the install tally), message boxes answered from a list, exits caught.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/afx/afx_string.h"
#include "platform/afx/string_table.h"
#include "platform/core/winuser.h"
#include "platform/fs/fs_test_fixture.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"
#include "platform/process/process.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"
#include "setup/common/script_strings.h"
#include "setup/rembly/rembly_app.h"
#include "setup/rembly/rembly_strings.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

constexpr char kMaker[] = "Software\\Quorva";
constexpr char kProductKey[] = "Software\\Quorva\\Zelbo\\1.0";
constexpr char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kTally[] = "ZelboTally";
constexpr char kSharedDll[] = "C:\\WINDOWS\\SYSTEM\\DELAD.DLL";

class CTestRemblyApp : public CRemblyApp {
public:
    std::string ModuleFileName() override { return module; }
    void RestartNow() override { ++restarts; }
    std::string module = "C:\\WINDOWS\\REMBLY.EXE";
    int restarts = 0;
};

// The script of product `name`, installed in C:\Spel\<name>; `extra` ends it.
std::string ProductScript(const std::string& name, const std::string& extra = "") {
    return "ProductName " + name + ";\nProductVersion 1.0;\nProductDir " + name + ";\nProductExe ZELBO;\n" +
           "UninstallExe REMBLY.EXE;\nUninstallVersionZelbo ZelboTally;\n"
           "WelcomeDialog;\n"
           "File [SourceDrive]\\KELVAT\\ZELBO.EXE, [InstallDir]\\[ProductDir]\\ZELBO.EXE;\n"
           "File [SourceDrive]\\KELVAT\\Product.Dat, [InstallDir]\\[ProductDir]\\Product.Dat;\n"
           "File [SourceDrive]\\KELVAT\\REMBLY.EXE, [WindowsDir]\\REMBLY.EXE;\n"
           "RegistryEntry Quorva\\" + name + "\\1.0, Install Path, [InstallDir]\\[ProductDir]\\ZELBO.EXE;\n" + extra;
}

class RemblyTest : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        head = &plat::InstallHeadless();
        head->SetStallLimit(1000);
        plat::InstallMessageBoxes();
        plat::ClearMessageBoxLog();
        plat::SetExitProcessThrows(true);
        plat::SetReportedVersion(plat::kVersionWin95);
        RegisterRemblyStrings();
        app = std::make_unique<CTestRemblyApp>();
    }
    void TearDown() override {
        app.reset();
        plat::SetExitProcessThrows(false);
        plat::SetReportedVersion(plat::kVersionWin95);
        plat::SetCommandLineForTests("");
        EmulatedDrives::TearDown();
    }

    // Product `name` as its setup left it, with the tally at `tally` (none: no tally value).
    void Install(const std::string& name, const std::string& script, std::optional<uint32_t> tally) {
        Put(root / "Spel" / name / "ZELBO.EXE", "exe");
        Put(root / "Spel" / name / "Product.Dat", script);
        Put(root / "WINDOWS" / "REMBLY.EXE", "rembly");
        Put(root / "Spel" / "annat.txt", "not the product's");
        SetValue(std::string(kMaker) + "\\" + name + "\\1.0", "Install Path", REG_SZ,
                 "C:\\Spel\\" + name + "\\ZELBO.EXE");
        if (tally) SetValue(kMaker, kTally, REG_BINARY, Count(*tally));
    }

    // Runs the program on the product's folder with the given answers; true when it ended
    // through ExitProcess.
    bool Run(const std::string& name, std::vector<int> answers) {
        for (int a : answers) head->PushAnswer(a);
        plat::ClearMessageBoxLog();
        plat::SetCommandLineForTests("C:\\WINDOWS\\REMBLY.EXE \"C:\\Spel\\" + name + "\"");
        try {
            EXPECT_FALSE(app->InitInstance());
        } catch (const plat::ProcessExit& exit) {
            EXPECT_EQ(exit.code, 0u);
            return true;
        }
        return false;
    }
    // A second run, as a new process would make it.
    bool RunAgain(const std::string& name, std::vector<int> answers) {
        app = std::make_unique<CTestRemblyApp>();
        return Run(name, std::move(answers));
    }

    static std::vector<UINT> Messages() {
        std::vector<UINT> ids;
        for (const plat::MessageBoxRecord& r : plat::MessageBoxLog()) ids.push_back(IdOf(r.text));
        return ids;
    }
    // The string-table id whose text (formatted with the product's names) begins the message.
    static UINT IdOf(const std::string& text) {
        for (UINT id : {kIdsRemoveQuestion, kIdsRemovalDone, kIdsRemovalRestartQuestion, kIdsSharedFileUnused,
                        kIdsNotInstalled, kIdsCannotReadScript, kIdsUseControlPanel, kIdsRemovalCannotSetValue,
                        kIdsCannotRemoveFolder}) {
            const std::string pattern = Text(id, "\x01");
            const std::string head = pattern.substr(0, pattern.find('\x01'));
            const std::string tail = pattern.find('\x01') == std::string::npos ? "" : pattern.substr(pattern.find('\x01') + 1);
            if (text.size() >= head.size() + tail.size() && text.compare(0, head.size(), head) == 0 &&
                text.compare(text.size() - tail.size(), tail.size(), tail) == 0)
                return id;
        }
        ADD_FAILURE() << "unexpected message: " << text;
        return 0;
    }
    static std::string Text(UINT id, const char* s1 = nullptr) {
        CString text;
        const LPCSTR strings[] = {s1, nullptr};
        AfxFormatStrings(text, id, strings, 2);
        return text.Str();
    }

    static void SetValue(const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    static void MakeKey(const std::string& key) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    static bool KeyExists(const std::string& key) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
        RegCloseKey(k);
        return true;
    }
    static std::optional<std::string> GetValue(const std::string& key, const std::string& name) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
        char data[512] = {};
        DWORD size = sizeof data;
        DWORD type = 0;
        const LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(k);
        if (rc != ERROR_SUCCESS) return std::nullopt;
        if (type == REG_SZ && size > 0 && data[size - 1] == '\0') --size;
        return std::string(data, size);
    }
    static std::string Count(uint32_t n) {
        return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                           static_cast<char>(n >> 24)};
    }
    std::optional<std::string> Tally() { return GetValue(kMaker, kTally); }
    std::string WinInit() {
        const auto path = plat::ResolveDosPath("C:\\WINDOWS\\WININIT.INI");
        return path ? Get(*path) : std::string();
    }

    plat::HeadlessBackend* head = nullptr;
    std::unique_ptr<CTestRemblyApp> app;
};

// The stored tally decides the end: the messages, the restart, what happens to the tally, the
// removal program's own file (left by the pass, scheduled only after the last installation)
// and the maker's key (gone only when nothing else is left in it).
TEST_F(RemblyTest, TallyDecidesTheEnd) {
    struct Case {
        const char* name;
        std::optional<uint32_t> stored;
        bool defaultHome;
        std::vector<int> answers;
        // Expected:
        std::vector<UINT> messages;
        int restarts;
        std::optional<std::string> tally;
        bool scheduled;  // the removal program waits for deletion in WinInit.ini
        bool makerKey;
    };
    const std::vector<Case> cases = {
        {"tally 2", 2, false, {IDYES, IDOK}, {kIdsRemoveQuestion, kIdsRemovalDone}, 0, Count(1), false, true},
        {"tally 1", 1, false, {IDYES, IDYES}, {kIdsRemoveQuestion, kIdsRemovalRestartQuestion}, 1, std::nullopt,
         true, false},
        {"tally 1, no restart", 1, false, {IDYES, IDNO, IDOK},
         {kIdsRemoveQuestion, kIdsRemovalRestartQuestion, kIdsRemovalDone}, 0, std::nullopt, true, false},
        {"stored 0 is the last", 0, false, {IDYES, IDYES}, {kIdsRemoveQuestion, kIdsRemovalRestartQuestion}, 1,
         std::nullopt, true, false},
        {"no tally is the last", std::nullopt, false, {IDYES, IDYES},
         {kIdsRemoveQuestion, kIdsRemovalRestartQuestion}, 1, std::nullopt, true, false},
        {"default home stays", 1, true, {IDYES, IDYES}, {kIdsRemoveQuestion, kIdsRemovalRestartQuestion}, 1,
         std::nullopt, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Install("Zelbo", ProductScript("Zelbo"), c.stored);
        if (c.defaultHome) SetValue(kMaker, "Default Home", REG_SZ, "C:\\Spel");
        EXPECT_TRUE(Run("Zelbo", c.answers));
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(app->restarts, c.restarts);
        EXPECT_EQ(Tally(), c.tally);
        EXPECT_FALSE(Exists(root / "Spel" / "Zelbo"));
        EXPECT_TRUE(Exists(root / "Spel" / "annat.txt")) << "the walk stops at a folder holding something";
        EXPECT_FALSE(KeyExists(kProductKey));
        EXPECT_FALSE(KeyExists("Software\\Quorva\\Zelbo"));
        EXPECT_TRUE(Exists(root / "WINDOWS" / "REMBLY.EXE"));
        EXPECT_EQ(WinInit().find("NUL=C:\\WINDOWS\\REMBLY.EXE") != std::string::npos, c.scheduled) << WinInit();
        EXPECT_EQ(KeyExists(kMaker), c.makerKey);
        if (c.defaultHome) {
            EXPECT_EQ(GetValue(kMaker, "Default Home"), "C:\\Spel");
        }
    }
}

// Two products share the removal program, the tally and a shared file: removing the first
// keeps the removal program and only lowers the file's count; removing the second asks about
// the file (Yes deletes it) and deletes the removal program when Windows next starts.
TEST_F(RemblyTest, SecondProductSharingTheRemovalProgram) {
    const std::string shared = std::string("File x\\DELAD.DLL, ") + kSharedDll + ", D;\n";
    Install("Zelbo", ProductScript("Zelbo", shared), std::nullopt);
    Install("Annan", ProductScript("Annan", shared), 2);
    Put(root / "WINDOWS" / "SYSTEM" / "DELAD.DLL", "dll");
    SetValue(kSharedDlls, kSharedDll, REG_BINARY, Count(2));
    EXPECT_TRUE(Run("Zelbo", {IDYES, IDOK}));
    EXPECT_EQ(Messages(), (std::vector<UINT>{kIdsRemoveQuestion, kIdsRemovalDone}));
    EXPECT_EQ(plat::ApplyPendingRenames(), 0);
    EXPECT_TRUE(Exists(root / "WINDOWS" / "REMBLY.EXE"));
    EXPECT_TRUE(Exists(root / "Spel" / "Annan" / "ZELBO.EXE"));
    EXPECT_TRUE(KeyExists("Software\\Quorva\\Annan\\1.0"));
    EXPECT_EQ(GetValue(kSharedDlls, kSharedDll), Count(1));
    EXPECT_TRUE(Exists(root / "WINDOWS" / "SYSTEM" / "DELAD.DLL"));

    EXPECT_TRUE(RunAgain("Annan", {IDYES, IDYES, IDYES}));
    EXPECT_EQ(Messages(), (std::vector<UINT>{kIdsRemoveQuestion, kIdsSharedFileUnused, kIdsRemovalRestartQuestion}));
    EXPECT_EQ(app->restarts, 1);
    EXPECT_EQ(GetValue(kSharedDlls, kSharedDll), std::nullopt);
    EXPECT_FALSE(Exists(root / "WINDOWS" / "SYSTEM" / "DELAD.DLL"));
    EXPECT_TRUE(Exists(root / "WINDOWS" / "REMBLY.EXE"));
    EXPECT_EQ(plat::ApplyPendingRenames(), 1);
    EXPECT_FALSE(Exists(root / "WINDOWS" / "REMBLY.EXE"));
    EXPECT_FALSE(KeyExists(kMaker));
}

// A shared file's count: another user keeps the file; the last one asks, and deletes on Yes.
TEST_F(RemblyTest, SharedFileCount) {
    struct Case {
        const char* name;
        std::optional<uint32_t> count;
        std::vector<int> answers;
        // Expected:
        std::vector<UINT> messages;
        std::optional<std::string> countAfter;
        bool fileStays;
    };
    const std::vector<Case> cases = {
        {"used by another", 2, {IDYES, IDOK}, {kIdsRemoveQuestion, kIdsRemovalDone}, Count(1), true},
        {"last user, yes", 1, {IDYES, IDYES, IDOK},
         {kIdsRemoveQuestion, kIdsSharedFileUnused, kIdsRemovalDone}, std::nullopt, false},
        {"last user, no", 1, {IDYES, IDNO, IDOK},
         {kIdsRemoveQuestion, kIdsSharedFileUnused, kIdsRemovalDone}, std::nullopt, true},
        {"no count asks at once", std::nullopt, {IDYES, IDYES, IDOK},
         {kIdsRemoveQuestion, kIdsSharedFileUnused, kIdsRemovalDone}, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Install("Zelbo", ProductScript("Zelbo", std::string("File x\\DELAD.DLL, ") + kSharedDll + ", d;\n"), 3);
        Put(root / "WINDOWS" / "SYSTEM" / "DELAD.DLL", "dll");
        if (c.count) SetValue(kSharedDlls, kSharedDll, REG_BINARY, Count(*c.count));
        EXPECT_TRUE(Run("Zelbo", c.answers));
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(GetValue(kSharedDlls, kSharedDll), c.countAfter);
        EXPECT_EQ(Exists(root / "WINDOWS" / "SYSTEM" / "DELAD.DLL"), c.fileStays);
        EXPECT_TRUE(Exists(root / "WINDOWS" / "SYSTEM")) << "the walk of emptied folders stops at System";
        EXPECT_TRUE(KeyExists(kSharedDlls));
    }
}

// Registry statements delete their own key and the parents they leave empty, never a key or a
// value that someone else still has there.
TEST_F(RemblyTest, RegistryPruning) {
    struct Case {
        const char* name;
        std::string statements;
        std::vector<std::pair<std::string, std::string>> before;  // key, value name ("" key only)
        // Expected:
        std::vector<std::string> gone;
        std::vector<std::pair<std::string, std::string>> kept;  // key, value name ("" key only)
        std::vector<std::pair<std::string, std::string>> goneValues = {};
    };
    const std::vector<Case> cases = {
        {"own key with its values, then empty parents",
         "RegistryEntry Quorva\\Zelbo\\General, Ljud, 1;\n",
         {{"Software\\Quorva\\Zelbo\\General", "Ljud"}, {"Software\\Quorva\\Zelbo\\General", "Musik"}},
         {"Software\\Quorva\\Zelbo\\General", "Software\\Quorva\\Zelbo"},
         {}},
        {"a key holding a subkey stays", "UninstallRegistryEntry \\Quorva\\Zelbo;\n",
         {{"Software\\Quorva\\Zelbo\\Annat", "x"}},
         {},
         {{"Software\\Quorva\\Zelbo\\Annat", "x"}}},
        {"a parent holding values stays", "RegistryEntryHex Delad\\Zelbo, Data, 0A 1B;\n",
         {{"Software\\Delad\\Zelbo", "Data"}, {"Software\\Delad", "Annan"}},
         {"Software\\Delad\\Zelbo"},
         {{"Software\\Delad", "Annan"}}},
        {"a shared key keeps other programs' values",
         "UninstallAnyRegistryEntry Software\\Delad, Zelbo;\n",
         {{"Software\\Delad", "Zelbo"}, {"Software\\Delad", "Annan"}},
         {},
         {{"Software\\Delad", "Annan"}},
         {{"Software\\Delad", "Zelbo"}}},
        {"a value already gone is done", "UninstallAnyRegistryEntry Software\\Delad, Zelbo;\n",
         {{"Software\\Delad", "Annan"}},
         {},
         {{"Software\\Delad", "Annan"}}},
        {"an emptied value key goes", "UninstallAnyRegistryEntry Software\\Delad\\Zelbo, Val;\n",
         {{"Software\\Delad\\Zelbo", "Val"}},
         {"Software\\Delad\\Zelbo", "Software\\Delad"},
         {}},
        {"the uninstall entry and its empty parent",
         "UninstallRegistryEntry Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zelbo;\n",
         {{"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zelbo", "DisplayName"}},
         {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
         {{"Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Install("Zelbo", ProductScript("Zelbo", c.statements), 2);
        for (const auto& [key, value] : c.before) {
            if (value.empty()) {
                MakeKey(key);
            } else {
                SetValue(key, value, REG_SZ, "v");
            }
        }
        EXPECT_TRUE(Run("Zelbo", {IDYES, IDOK}));
        EXPECT_EQ(Messages(), (std::vector<UINT>{kIdsRemoveQuestion, kIdsRemovalDone}));
        for (const std::string& key : c.gone) EXPECT_FALSE(KeyExists(key)) << key;
        for (const auto& [key, value] : c.kept) {
            EXPECT_TRUE(KeyExists(key)) << key;
            if (!value.empty()) {
                EXPECT_TRUE(GetValue(key, value)) << key << " " << value;
            }
        }
        for (const auto& [key, value] : c.goneValues) EXPECT_FALSE(GetValue(key, value)) << key << " " << value;
        EXPECT_TRUE(KeyExists(kMaker)) << "it holds the tally";
        EXPECT_TRUE(KeyExists("Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"));
    }
}

// The INI statements: a kill matches regardless of case, a copy of a missing entry writes
// nothing, an entry is set as written.
TEST_F(RemblyTest, IniStatements) {
    struct Case {
        const char* name;
        std::string statement;
        std::string before;  // Quorva.ini in the Windows folder
        std::string after;
    };
    const std::vector<Case> cases = {
        {"kill, small letters match capitals", "UninstallKillIniEntry Quorva.ini, Spel, Zelbo, zelbo.exe;\n",
         "[Spel]\r\nZelbo=C:\\SPEL\\ZELBO.EXE\r\nAnnat=1\r\n", "[Spel]\r\nAnnat=1\r\n"},
        {"kill, other text stays", "UninstallKillIniEntry Quorva.ini, Spel, Zelbo, annan.exe;\n",
         "[Spel]\r\nZelbo=C:\\SPEL\\ZELBO.EXE\r\n", "[Spel]\r\nZelbo=C:\\SPEL\\ZELBO.EXE\r\n"},
        {"copy, missing source writes nothing",
         "UninstallIniCopy Quorva.ini, Spel, Kopia, Quorva.ini, Spel, Saknas;\n", "[Spel]\r\nAnnat=1\r\n",
         "[Spel]\r\nAnnat=1\r\n"},
        {"copy", "UninstallIniCopy Quorva.ini, Spel, Kopia, Quorva.ini, Spel, Annat;\n", "[Spel]\r\nAnnat=1\r\n",
         "[Spel]\r\nAnnat=1\r\nKopia=1\r\n"},
        {"set", "UninstallIniEntry Quorva.ini,Spel,Zelbo,borta;\n", "[Spel]\r\nZelbo=1\r\n",
         "[Spel]\r\nZelbo=borta\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Install("Zelbo", ProductScript("Zelbo", c.statement), 2);
        Put(root / "WINDOWS" / "Quorva.ini", c.before);
        EXPECT_TRUE(Run("Zelbo", {IDYES, IDOK}));
        EXPECT_EQ(Get(root / "WINDOWS" / "Quorva.ini"), c.after);
    }
}

// A statement aimed off the installation's drive stops the program with the script error
// before anything at all is removed, on C: or elsewhere.
TEST_F(RemblyTest, NothingOffTheInstallationDrive) {
    const fs::path host = tmp / "host";
    const std::string z = plat::HostToDosPath(host);
    ASSERT_EQ(z.substr(0, 2), "Z:");
    const std::vector<std::string> statements = {
        "UninstallDelTree " + z + ";\n",
        "UninstallDelTree " + z + "\\inne\\;\n",
        "File x\\ZELBO.EXE, " + z + "\\inne\\fil.txt;\n",
        "File x\\ZELBO.EXE, " + z + "\\inne\\fil.txt, D;\n",
        "UninstallErase " + z + "\\inne\\fil.txt;\n",
        "UninstallIniEntry " + z + "\\inne\\fil.ini,A,B,C;\n",
        "UninstallKillIniEntry " + z + "\\inne\\fil.ini,A,B,v;\n",
        "UninstallDelTree C:\\Spel\\Zelbo\\ut\\inne;\n",  // through a link on C:
        "UninstallDelTree C:\\Spel\\Zelbo\\ut;\n",        // the link itself
        "UninstallErase C:\\Spel\\Zelbo\\ut\\inne\\fil.txt;\n",
        "UninstallDelTree Spel;\n",                      // relative: the current folder is on Z:
        // Programs run only from C: or a CD, where their links lead.
        "UninstallRun Z:\\bin\\rm -f " + z + "\\inne\\fil.txt;\n",
        "UninstallRun /bin/rm -f " + (host / "inne" / "fil.txt").string() + ";\n",  // a host path
        "UninstallRun C:\\Spel\\Zelbo\\verktyg.exe -f " + z + "\\inne\\fil.txt;\n",  // a link to it
        "UninstallRunMsg \"Vidare?\", 0, Z:\\bin\\rm -f " + z + "\\inne\\fil.txt;\n",
        // The Windows folder, by its name or through a link, is refused before anything goes.
        "UninstallDelTree C:\\WINDOWS;\n",
        "UninstallDelTree C:\\Spel\\Zelbo\\win;\n",
        // WinInit.ini's [rename] lines move and delete files at the next start.
        "UninstallIniEntry WinInit.ini,rename,NUL," + z + "\\inne\\fil.txt;\n",
        "UninstallIniEntry C:\\WINDOWS\\WININIT.INI,rename,C:\\Spel\\x," + z + "\\inne\\fil.txt;\n",
        "UninstallKillIniEntry C:\\Spel\\Zelbo\\wininit.lnk,rename,NUL,fil;\n",  // a link to it
        // A Start menu that is a link off C:.
        "StartMenuRoot Ut;\nStartMenu Zelbo, C:\\Spel\\Zelbo\\ZELBO.EXE, Zelbo;\n",
    };
    for (const std::string& statement : statements) {
        SCOPED_TRACE(statement);
        TearDown();
        SetUp();
        Put(host / "inne" / "fil.txt", "host");
        Put(host / "inne" / "fil.ini", "[A]\r\nB=v\r\n");
        Install("Zelbo", ProductScript("Zelbo", statement), 1);
        fs::create_directory_symlink(host, root / "Spel" / "Zelbo" / "ut");
        fs::create_symlink("/bin/rm", root / "Spel" / "Zelbo" / "verktyg.exe");
        fs::create_directory_symlink(root / "WINDOWS", root / "Spel" / "Zelbo" / "win");
        fs::create_symlink(root / "WINDOWS" / "WinInit.ini", root / "Spel" / "Zelbo" / "wininit.lnk");
        fs::create_directories(root / "WINDOWS" / "Start Menu" / "Programs");
        fs::create_directory_symlink(host, root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva");
        Put(root / "WINDOWS" / "SYSTEM" / "KEEP.DLL", "system");
        ASSERT_TRUE(plat::SetCurrentDosDirectory(plat::HostToDosPath(tmp)));
        EXPECT_TRUE(Run("Zelbo", {IDYES, IDOK}));
        EXPECT_EQ(Messages(), (std::vector<UINT>{kIdsRemoveQuestion, kIdsCannotReadScript}));
        EXPECT_EQ(Get(host / "inne" / "fil.txt"), "host");
        EXPECT_EQ(Get(host / "inne" / "fil.ini"), "[A]\r\nB=v\r\n");
        EXPECT_TRUE(Exists(root / "Spel" / "Zelbo" / "ZELBO.EXE")) << "nothing removed before the stop";
        EXPECT_TRUE(KeyExists(kProductKey));
        EXPECT_EQ(Tally(), Count(1));
        EXPECT_EQ(WinInit(), "");
        EXPECT_EQ(Get(root / "WINDOWS" / "SYSTEM" / "KEEP.DLL"), "system");
        EXPECT_EQ(std::distance(fs::directory_iterator(host), fs::directory_iterator()), 1) << "nothing made there";
    }
}

// The walks up from a removed file, shortcut or folder take the folders left empty and stop at
// the ones the system keeps.
TEST_F(RemblyTest, EmptiedFoldersAndWhereTheWalksStop) {
    Install("Zelbo", ProductScript("Zelbo",
                                   "File x\\DATA.TXT, C:\\Program Files\\Quorva\\Zelbo\\DATA.TXT;\n"
                                   "StartMenu Zelbo, C:\\Spel\\Zelbo\\ZELBO.EXE, Zelbo;\n"
                                   "UninstallDelTree C:\\WINDOWS\\TEMP\\Zelbo;\n"
                                   "UninstallDelTree C:\\Spel\\Zelbo\\Spelare\\;\n"
                                   "UninstallErase C:\\Spel\\Zelbo\\SAKNAS.TXT;\n"),
            1);
    Put(root / "Program Files" / "Quorva" / "Zelbo" / "DATA.TXT", "d");
    Put(root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva" / "Zelbo" / "Zelbo.lnk", "link");
    Put(root / "WINDOWS" / "TEMP" / "Zelbo" / "a" / ".dold", "x");
    Put(root / "Spel" / "Zelbo" / "Spelare" / "Kid001" / "SETTINGS.INI", "[Settings]\r\n");
    fs::create_directories(root / "Spel" / "Zelbo" / "Spelare" / "Skrivskyddad");
    ASSERT_TRUE(SetFileAttributesA("C:\\Spel\\Zelbo\\Spelare\\Skrivskyddad", FILE_ATTRIBUTE_DIRECTORY |
                                                                                  FILE_ATTRIBUTE_READONLY |
                                                                                  FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(Run("Zelbo", {IDYES, IDYES}));
    EXPECT_EQ(Messages(), (std::vector<UINT>{kIdsRemoveQuestion, kIdsRemovalRestartQuestion}));
    EXPECT_FALSE(Exists(root / "Program Files" / "Quorva"));
    EXPECT_TRUE(Exists(root / "Program Files"));
    EXPECT_FALSE(Exists(root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva"));
    EXPECT_TRUE(Exists(root / "WINDOWS" / "Start Menu" / "Programs"));
    EXPECT_FALSE(Exists(root / "WINDOWS" / "TEMP" / "Zelbo"));
    EXPECT_TRUE(Exists(root / "WINDOWS" / "TEMP"));
    EXPECT_FALSE(Exists(root / "Spel" / "Zelbo"));
    EXPECT_TRUE(Exists(root / "Spel"));
}

// An installed script that is no product's script (empty, garbage, comments only, an unclosed
// quote, cut by Ctrl+Z, without its product, tally or welcome step) removes nothing: the script
// error before the question, the installation and the tally as they were, no copy left.
TEST_F(RemblyTest, MalformedScriptsRemoveNothing) {
    const std::string rest = ProductScript("Zelbo").substr(ProductScript("Zelbo").find("WelcomeDialog;"));
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"garbage", "\x8f\xff\x01 ;; ]]] = ,,, ;\n"},
        {"comments only", "# ProductName Zelbo;\n"},
        {"an unclosed quote", "ProductName \"Zelbo;\nUninstallVersionZelbo ZelboTally;\n" + rest},
        {"cut by Ctrl+Z", "ProductName Zelbo;\nUninstallVersionZelbo ZelboTally;\n\x1a" + rest},
        {"no product name", "UninstallVersionZelbo ZelboTally;\n" + rest},
        {"no tally name", "ProductName Zelbo;\n" + rest},
        {"no welcome step", "ProductName Zelbo;\nUninstallVersionZelbo ZelboTally;\nUninstallErase C:\\Spel\\Zelbo\\ZELBO.EXE;\n"},
    };
    for (const auto& [name, script] : cases) {
        SCOPED_TRACE(name);
        TearDown();
        SetUp();
        Install("Zelbo", script, 1);
        EXPECT_TRUE(Run("Zelbo", {IDOK}));
        EXPECT_EQ(Messages(), std::vector<UINT>{kIdsCannotReadScript});
        EXPECT_TRUE(Exists(root / "Spel" / "Zelbo" / "ZELBO.EXE"));
        EXPECT_EQ(Get(root / "Spel" / "Zelbo" / "Product.Dat"), script);
        EXPECT_TRUE(KeyExists(kProductKey));
        EXPECT_EQ(Tally(), Count(1));
        EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP"));
    }
}

// Runs that remove nothing: no folder given, the product not installed, the question answered No.
TEST_F(RemblyTest, RunsThatRemoveNothing) {
    struct Case {
        const char* name;
        std::string commandLine;
        bool installed;
        std::vector<int> answers;
        std::vector<UINT> messages;
        std::string caption;  // the product name (or the maker's) and twelve blanks
    };
    const std::string blanks(12, ' ');
    const std::vector<Case> cases = {
        {"no folder", "C:\\WINDOWS\\REMBLY.EXE", true, {IDOK}, {kIdsUseControlPanel}, "Quorva" + blanks + " Error"},
        {"not installed", "C:\\WINDOWS\\REMBLY.EXE \"C:\\Spel\\Zelbo\"", false, {IDOK}, {kIdsNotInstalled},
         "Zelbo" + blanks + " Error"},
        {"answered no", "C:\\WINDOWS\\REMBLY.EXE \"C:\\Spel\\Zelbo\"", true, {IDNO}, {kIdsRemoveQuestion},
         "Zelbo" + blanks},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Install("Zelbo", ProductScript("Zelbo"), 1);
        if (!c.installed) {
            HKEY k = nullptr;
            ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
            RegDeleteValueA(k, "Install Path");
            RegCloseKey(k);
        }
        for (int a : c.answers) head->PushAnswer(a);
        plat::SetCommandLineForTests(c.commandLine);
        try {
            EXPECT_FALSE(app->InitInstance());
        } catch (const plat::ProcessExit&) {
        }
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_TRUE(Exists(root / "Spel" / "Zelbo" / "ZELBO.EXE"));
        EXPECT_EQ(Tally(), Count(1));
        ASSERT_FALSE(plat::MessageBoxLog().empty());
        EXPECT_EQ(plat::MessageBoxLog().front().caption, c.caption);
    }
}

}  // namespace
}  // namespace setup
