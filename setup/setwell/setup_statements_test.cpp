#include "setup/setwell/setup_statements.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include "platform/profile/profile.h"
#include "platform/shell/shell.h"
#include "platform/shell/shortcut_file.h"
#include "setup/common/product_dat.h"
#include "setup/setwell/setwell_test_support.h"

namespace setup::testing {
namespace {

constexpr char kTcpIpKey[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

// The statements as the script engine hands them over, in the install pass.
class SetupStatements : public SetwellTest {
protected:
    void SetUp() override {
        SetwellTest::SetUp();
        // Shortcuts write desktop entries: into the test's folder, never the user's.
        const char* old = std::getenv("XDG_DATA_HOME");
        oldXdg = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("XDG_DATA_HOME", (tmp / "xdg").c_str(), 1);
        app->InitDirectories();
        CoInitialize(nullptr);  // as InitInstance does
    }
    void TearDown() override {
        CoUninitialize();
        if (oldXdg) {
            ::setenv("XDG_DATA_HOME", oldXdg->c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
        SetwellTest::TearDown();
    }
    // One statement as the reader gives it (without its ';').
    void Statement(std::string text) {
        if (!text.empty() && text.back() == ';') text.pop_back();
        app->Script().DispatchStatement(text, kInstallPass);
    }
    // A statement that must stop the setup with the script error; true when it did.
    bool StopsWithScriptError(const std::string& text) {
        head->PushAnswer(IDOK);
        plat::ClearMessageBoxLog();
        try {
            Statement(text);
        } catch (const plat::ProcessExit&) {
            return Texts() == std::vector<std::string>{Text(kIdsCannotReadScript)};
        }
        return false;
    }
    static size_t ValueCount(const std::string& key) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return SIZE_MAX;
        size_t n = 0;
        for (;; ++n) {
            char name[256];
            DWORD size = sizeof name;
            if (RegEnumValueA(k, static_cast<DWORD>(n), name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
        }
        RegCloseKey(k);
        return n;
    }
    static std::string Ini(const char* section, const char* key, const char* file) {
        char buffer[128] = {};
        GetPrivateProfileStringA(section, key, "-", buffer, sizeof buffer, file);
        return buffer;
    }

    std::optional<std::string> oldXdg;
};

TEST_F(SetupStatements, RegistryEntries) {
    Statement("RegistryEntry Quorva\\Zelbo\\Bara nyckel;");
    Statement("RegistryEntry95 \\Quorva\\Zelbo, Install Path, C:\\Spel\\Zelbo\\ZELBO.EXE;");
    Statement("RegistryEntry Quorva\\Zelbo, Namn utan text;");
    Statement("RegistryEntryHex Quorva\\Zelbo, Bytes, 0A 1b ff;");
    Statement("RegistryEntryHex Quorva\\Zelbo, Kort, 01 02, 03 04;");

    EXPECT_EQ(ValueCount("Software\\Quorva\\Zelbo\\Bara nyckel"), 0u);
    EXPECT_EQ(GetValue("Software\\Quorva\\Zelbo", "Install Path"), "C:\\Spel\\Zelbo\\ZELBO.EXE");
    EXPECT_EQ(GetValue("Software\\Quorva\\Zelbo", "Namn utan text"), std::nullopt);
    EXPECT_EQ(GetValue("Software\\Quorva\\Zelbo", "Bytes"), std::string("\x0A\x1B\xFF"));
    EXPECT_EQ(GetValue("Software\\Quorva\\Zelbo", "Kort"), std::string("\x01\x02"));
    // No key with a doubled backslash or an empty name was made.
    EXPECT_EQ(ValueCount("Software\\Quorva\\Zelbo"), 3u);
    EXPECT_EQ(windows->progressTexts, std::vector<std::string>(5, Text(kIdsMakingRegistryEntries)));
}

TEST_F(SetupStatements, IniEntries) {
    fs::create_directories(root / "Spel");
    Statement("IniFile95 Zelbo, Spelare, 3;");
    Statement("IniFile95 Zelbo, Ljud, 1;");
    Statement("IniFile95 Annat, Nyckel, x, C:\\Spel\\Zelbo.ini;");
    EXPECT_EQ(Ini("Zelbo", "Spelare", "Quorva.ini"), "3");
    EXPECT_EQ(Get(root / "WINDOWS" / "Quorva.ini").find("Spelare=3") != std::string::npos, true);
    EXPECT_EQ(Ini("Annat", "Nyckel", "C:\\Spel\\Zelbo.ini"), "x");

    Statement("IniFile95 Zelbo, Spelare;");  // no value: the key goes
    EXPECT_EQ(Ini("Zelbo", "Spelare", "Quorva.ini"), "-");
    EXPECT_EQ(Ini("Zelbo", "Ljud", "Quorva.ini"), "1");
    Statement("IniFile95 Zelbo;");  // no key: the section goes
    EXPECT_EQ(Ini("Zelbo", "Ljud", "Quorva.ini"), "-");
    EXPECT_EQ(Ini("Annat", "Nyckel", "C:\\Spel\\Zelbo.ini"), "x");
}

TEST_F(SetupStatements, Shortcuts) {
    const fs::path group = root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva" / "Zelbo";
    Statement("StartMenu95 Zelbo, C:\\Spel\\Zelbo\\ZELBO.EXE, Zelbo;");
    EXPECT_FALSE(Exists(group.parent_path()));

    Statement("StartMenuRoot Zelbo;");
    EXPECT_TRUE(fs::is_directory(group));
    Statement("StartMenu95 Zelbo spelet, C:\\Spel\\Zelbo\\ZELBO.EXE, Zelbo;");
    Statement("StartMenu Ta bort, C:\\WINDOWS\\REMBLY.EXE, Avinstallera, C:\\WINDOWS\\REMBLY.EXE, \"C:\\Spel\\Zelbo\";");
    const auto game = plat::ParseShortcutStandIn(Get(group / "Zelbo.lnk"));
    ASSERT_TRUE(game);
    EXPECT_EQ(game->target, "C:\\Spel\\Zelbo\\ZELBO.EXE");
    EXPECT_EQ(game->description, "Zelbo spelet");
    EXPECT_EQ(game->icon, "");
    EXPECT_EQ(game->arguments, "");
    const auto remover = plat::ParseShortcutStandIn(Get(group / "Avinstallera.lnk"));
    ASSERT_TRUE(remover);
    EXPECT_EQ(remover->icon, "C:\\WINDOWS\\REMBLY.EXE,0");
    EXPECT_EQ(remover->arguments, "\"C:\\Spel\\Zelbo\"");

    // Internet links only where TCP/IP name resolution is on.
    const struct {
        std::optional<std::string> enableDns;
        bool made;
    } cases[] = {{std::nullopt, false}, {"0", false}, {"10", false}, {"1", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.enableDns.value_or("no value"));
        if (c.enableDns) SetValue(kTcpIpKey, "EnableDNS", REG_SZ, *c.enableDns);
        Statement("Internet Hemsida, C:\\Spel\\Zelbo\\HEM.URL, Hemsida;");
        EXPECT_EQ(Exists(group / "Hemsida.lnk"), c.made);
    }
    EXPECT_TRUE(Texts().empty());
}

// A statement aimed outside the emulated installation stops the setup and touches nothing.
TEST_F(SetupStatements, OtherDrivesStopTheSetup) {
    Put(tmp / "host" / "precious.txt", "keep me");
    Put(tmp / "host" / "host.ini", "[a]\r\nb=c\r\n");
    const std::string host = plat::HostToDosPath(tmp / "host");
    for (const std::string& statement : std::vector<std::string>{
             "InstallDelTree " + host + ";", "InstallErase " + host + "\\precious.txt;",
          "IniFile95 a, b, x, " + host + "\\host.ini;", "IniFile95 a, b, x, D:\\KELVAT\\x.ini;",
          "InstallDelTree C:\\WINDOWS;"}) {
        EXPECT_TRUE(StopsWithScriptError(statement)) << statement;
    }
    EXPECT_EQ(Get(tmp / "host" / "precious.txt"), "keep me");
    EXPECT_EQ(Get(tmp / "host" / "host.ini"), "[a]\r\nb=c\r\n");
    EXPECT_TRUE(fs::is_directory(root / "WINDOWS" / "SYSTEM"));
}

// A whole installation from the fixture CD whose script reaches for the host's files: what came
// before stays installed, the run stops at that statement with the script error, nothing after
// it runs, the host's folder is whole and the script's temporary copy is gone.
TEST_F(SetupStatements, PlantedHostPathStopsTheInstallation) {
    Put(tmp / "host" / "precious.txt", "keep me");
    const std::string host = plat::HostToDosPath(tmp / "host");
    FixtureCd fixture;
    fixture.extraStatements = "RegistryEntry Quorva\\Zelbo\\1.0, Install Path, "
                              "[InstallDir]\\Zelbo\\ZELBO.EXE;\n"
                              "InstallDelTree " + host + ";\n"
                              "InstallErase [InstallDir]\\Zelbo\\DATA.TXT;\n";
    MakeFixtureCd(cd1, fixture);
    head->PushAnswer(IDOK);
    EXPECT_TRUE(Run("D:\\KELVAT\\SETWELL.EXE"));
    EXPECT_EQ(Texts(), std::vector<std::string>{Text(kIdsCannotReadScript)});
    EXPECT_EQ(Get(tmp / "host" / "precious.txt"), "keep me");
    EXPECT_EQ(GetValue("Software\\Quorva\\Zelbo\\1.0", "Install Path"), "C:\\Spel\\Zelbo\\ZELBO.EXE");
    EXPECT_EQ(Get(root / "Spel" / "Zelbo" / "DATA.TXT"), "Zelbo data\n");
    EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP"));
}

// Run statements on a real child's exit code (the child ends with the code it is given).
TEST_F(SetupStatements, RunStatements) {
    // The child in the installation: a program runs only from there or from a CD.
    fs::create_directories(root / "PROGS");
    fs::copy_file(ZELBO_EXIT_CHILD, root / "PROGS" / "EXIT CHILD.EXE");
    const std::string child = "\"C:\\PROGS\\EXIT CHILD.EXE\" ";
    const std::string question = Cp(u8"Fel i steget\n\nVill du fortsätta med installationen?");
    struct Case {
        std::string statement;
        std::vector<int> answers;
        bool exits;
        std::vector<std::string> messages;
        int32_t restart;
    };
    const std::vector<Case> cases = {
        {"InstallRun " + child + "0", {}, false, {}, 0},
        {"InstallRun " + child + "259", {}, false, {}, 0},
        {"InstallRunMsg \"Fel i steget\", 3, " + child + "3", {IDYES}, false, {question}, 0},
        {"InstallRunMsg \"Fel i steget\", 3, " + child + "3", {IDNO}, true, {question}, 0},
        {"InstallRunMsg \"Fel i steget\", 3, " + child + "4", {}, false, {}, 0},
        {"InstallRunDX " + child + "-1", {IDOK}, false, {Text(kIdsDirectXFailed)}, 0},
        {"InstallRunDX " + child + "-2147483648", {IDOK}, false, {Text(kIdsDirectXFailed)}, 0},
        {"InstallRunDX " + child + "1", {}, false, {}, 1},
        {"InstallRunDX " + child + "2", {}, false, {}, 0},
        {"InstallRunDX " + child + "259", {}, false, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement);
        app->m_restartWanted = 0;
        windows->progressTexts.clear();
        windows->focusCount = 0;
        plat::ClearMessageBoxLog();
        for (const int answer : c.answers) head->PushAnswer(answer);
        bool exited = false;
        try {
            Statement(c.statement);
        } catch (const plat::ProcessExit&) {
            exited = true;
        }
        EXPECT_EQ(exited, c.exits);
        EXPECT_EQ(Texts(), c.messages);
        EXPECT_EQ(app->m_restartWanted, c.restart);
        EXPECT_EQ(windows->progressTexts, std::vector<std::string>{Text(kIdsRunningProgram)});
        EXPECT_EQ(windows->focusCount, 1);
    }
    Statement("InstallReboot");
    EXPECT_EQ(app->m_restartWanted, 1);
}

// The restart at the end: the question by source drive, diskettes left in drive A, the NT
// token path. A restart is seen by its next-start step, which deletes a file WinInit.ini names.
TEST_F(SetupStatements, Restart) {
    class CRestartApp : public CSetwellApp {
    public:
        bool DisketteInDriveA() override { return queries++ < diskettes; }
        int diskettes = 0;
        int queries = 0;
    };
    const std::string plain = Text(kIdsRestartQuestion);
    const std::string disk = Text(kIdsDisketteInDriveA);
    struct Case {
        const char* name;
        const char* sourceDrive;
        DWORD version;
        int answer;
        int diskettes;
        std::vector<std::string> messages;
        bool exits;
        bool restarted;
    };
    const std::vector<Case> cases = {
        {"from A", "A:", plat::kVersionWin95, IDYES, 0, {Text(kIdsRemoveDisketteRestart, "A")}, true, true},
        {"from B", "B:", plat::kVersionWin95, IDYES, 0, {Text(kIdsRemoveDisketteRestart, "B")}, true, true},
        {"from the CD", "D:", plat::kVersionWin95, IDYES, 0, {plain}, true, true},
        {"No", "D:", plat::kVersionWin95, IDNO, 0, {plain}, false, false},
        {"No from A", "A:", plat::kVersionWin95, IDNO, 0, {Text(kIdsRemoveDisketteRestart, "A")}, false, false},
        {"diskette three times", "D:", plat::kVersionWin95, IDYES, 3, {plain, disk, disk, disk}, true, true},
        {"diskette four times", "D:", plat::kVersionWin95, IDYES, 4,
         {plain, disk, disk, disk, Text(kIdsDisketteNoRestart)}, true, false},
        {"Windows NT", "D:", 0x00000004, IDYES, 0, {plain}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.reset();
        plat::SetReportedVersion(c.version);
        Put(root / "GONE.TXT", "x");
        Put(root / "WINDOWS" / "WININIT.INI", "[rename]\r\nNUL=C:\\GONE.TXT\r\n");
        CRestartApp restart;
        restart.InitDirectories();
        restart.Values().sourceDrive = c.sourceDrive;
        restart.diskettes = c.diskettes;
        plat::ClearMessageBoxLog();
        head->PushAnswer(c.answer);
        for (size_t i = 1; i < c.messages.size(); ++i) head->PushAnswer(IDOK);
        bool exited = false;
        try {
            restart.RestartWindows();
        } catch (const plat::ProcessExit&) {
            exited = true;
        }
        EXPECT_EQ(exited, c.exits);
        EXPECT_EQ(Texts(), c.messages);
        EXPECT_EQ(Exists(root / "GONE.TXT"), !c.restarted);
    }
    plat::SetReportedVersion(plat::kVersionWin95);
}

}  // namespace
}  // namespace setup::testing
