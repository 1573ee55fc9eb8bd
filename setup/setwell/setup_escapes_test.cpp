// Hostile scripts and CDs against the setup program, each on a scratch installation with a
// canary folder beside it: whatever a statement asks, nothing outside the emulated C: drive is
// touched. Each case stops with the script error, the canary byte for byte as it was, and the
// statement's target untouched.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <set>

#include "setup/setwell/setwell_test_support.h"

namespace setup::testing {
namespace {

// Every entry under a folder with its kind and contents (links by where they point).
std::map<std::string, std::string> TreeOf(const fs::path& top) {
    std::map<std::string, std::string> out;
    std::error_code ec;
    if (!fs::exists(top, ec)) return out;
    for (const auto& e : fs::recursive_directory_iterator(top)) {
        std::string what;
        if (e.is_symlink()) {
            what = "link:" + fs::read_symlink(e.path()).string();
        } else if (e.is_directory()) {
            what = "dir";
        } else {
            std::ifstream in(e.path(), std::ios::binary);
            what = "file:" + std::string((std::istreambuf_iterator<char>(in)), {});
        }
        out[fs::relative(e.path(), top).string()] = what;
    }
    return out;
}

class SetupEscapes : public SetwellTest {
protected:
    void SetUp() override {
        SetwellTest::SetUp();
        const char* old = std::getenv("XDG_DATA_HOME");
        if (old) oldXdg = old;
        ::setenv("XDG_DATA_HOME", (tmp / "xdg").c_str(), 1);
        canary = tmp / "canary";
        Put(canary / "family.txt", "the family's letters\n");
        Put(canary / "photos" / "summer.jpg", "photo");
        fs::create_directories(canary / "temp");
        fs::create_directories(canary / "menu");
        zCanary = plat::HostToDosPath(canary);
        ASSERT_EQ(zCanary.substr(0, 2), "Z:");
    }
    void TearDown() override {
        if (oldXdg) {
            ::setenv("XDG_DATA_HOME", oldXdg->c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
        SetwellTest::TearDown();
    }
    // The script copies left in the temporary folder.
    size_t ScriptCopies() const {
        size_t n = 0;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(root / "WINDOWS" / "TEMP", ec))
            if (e.path().filename().string().starts_with("PDT")) ++n;
        return n;
    }
    std::optional<std::string> oldXdg;
    fs::path canary;
    std::string zCanary;
};

struct Escape {
    const char* name;
    std::string statements;  // after the fixture's File statements; <Z> is the canary's Z: name, <H> its host path
    std::function<void(const fs::path& root, const fs::path& canary)> plant;
};

void PrintTo(const Escape& e, std::ostream* os) { *os << e.name; }

std::string Expanded(std::string text, const std::string& z, const std::string& host) {
    for (size_t at; (at = text.find("<Z>")) != std::string::npos;) text.replace(at, 3, z);
    for (size_t at; (at = text.find("<H>")) != std::string::npos;) text.replace(at, 3, host);
    return text;
}

const auto kNothing = [](const fs::path&, const fs::path&) {};
const auto kToolLink = [](const fs::path& root, const fs::path&) {
    fs::create_directories(root / "Spel");
    fs::create_symlink("/bin/rm", root / "Spel" / "verktyg.exe");
};

const Escape kEscapes[] = {
    {"a run of Z:\\bin\\rm", "InstallRun Z:\\bin\\rm -f <Z>\\family.txt;\n", kNothing},
    {"a run of a host path", "InstallRun /bin/rm -f <H>/family.txt;\n", kNothing},
    {"a run through a link leading off C:", "InstallRun C:\\Spel\\verktyg.exe -f <Z>\\family.txt;\n", kToolLink},
    {"a run with a question", "InstallRunMsg \"Vidare?\", 0, Z:\\bin\\rm -f <Z>\\family.txt;\n", kNothing},
    {"a DirectX run", "InstallRunDX Z:\\bin\\rm -f <Z>\\family.txt;\n", kNothing},
    {"a shortcut to Z:\\bin\\rm", "StartMenuRoot Zelbo;\nStartMenu Ta bort, Z:\\bin\\rm, Ta bort;\n", kNothing},
    {"a shortcut to a host path", "StartMenuRoot Zelbo;\nStartMenu Ta bort, /bin/rm, Ta bort;\n", kNothing},
    {"a shortcut through a link", "StartMenuRoot Zelbo;\nStartMenu Ta bort, C:\\Spel\\verktyg.exe, Ta bort;\n",
     kToolLink},
    {"an INI write to WinInit.ini", "IniFile95 rename, NUL, <Z>\\family.txt, WinInit.ini;\n", kNothing},
    {"an INI write to WinInit.ini by its full name",
     "IniFile95 rename, C:\\Spel\\x.txt, <Z>\\family.txt, C:\\WINDOWS\\WININIT.INI;\n", kNothing},
    {"a tree delete through a link to the Windows folder", "InstallDelTree C:\\Spel\\w;\n",
     [](const fs::path& root, const fs::path&) {
         fs::create_directories(root / "Spel");
         fs::create_directory_symlink(root / "WINDOWS", root / "Spel" / "w");
     }},
    {"a Start menu that is a link off C:", "StartMenuRoot Zelbo;\n",
     [](const fs::path& root, const fs::path& canary) {
         fs::create_directories(root / "WINDOWS" / "Start Menu" / "Programs");
         fs::create_directory_symlink(canary / "menu", root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva");
     }},
    {"a temporary folder that is a link off C:", "",
     [](const fs::path& root, const fs::path& canary) {
         fs::remove_all(root / "WINDOWS" / "TEMP");
         fs::create_directory_symlink(canary / "temp", root / "WINDOWS" / "TEMP");
     }},
};

class SetupEscapeCases : public SetupEscapes, public ::testing::WithParamInterface<Escape> {};

TEST_P(SetupEscapeCases, StopsWithTheScriptErrorAndTouchesNothingOutside) {
    const Escape& c = GetParam();
    FixtureCd spec;
    spec.extraStatements = Expanded(c.statements, zCanary, canary.string()) +
                           "File [SourceDrive]\\KELVAT\\DATA.TXT, [InstallDir]\\[ProductDir]\\AFTER.TXT;\n";
    MakeFixtureCd(cd1, spec);
    Put(root / "WINDOWS" / "SYSTEM" / "KEEP.DLL", "system");
    c.plant(root, canary);
    const auto canaryBefore = TreeOf(canary);
    auto windowsBefore = TreeOf(root / "WINDOWS");
    windowsBefore.erase("registry.reg");  // the registry is no file of the Windows folder's to compare
    // The program starts where its user is: the current folder on the host's drive.
    ASSERT_TRUE(plat::SetCurrentDosDirectory(plat::HostToDosPath(tmp)));

    head->PushAnswer(IDOK);  // the script error
    EXPECT_TRUE(Run(""));
    ASSERT_FALSE(Texts().empty());
    EXPECT_EQ(Texts().back(), Text(kIdsCannotReadScript));
    EXPECT_EQ(TreeOf(canary), canaryBefore);
    // The statement stopped there: what follows it never ran, and nothing ran or was linked.
    EXPECT_FALSE(Exists(root / "Spel" / "Zelbo" / "AFTER.TXT"));
    EXPECT_EQ(app->launched, std::vector<std::string>{});
    EXPECT_FALSE(Exists(tmp / "xdg" / "applications") && !fs::is_empty(tmp / "xdg" / "applications"));
    EXPECT_EQ(Get(root / "WINDOWS" / "SYSTEM" / "KEEP.DLL"), "system");
    if (std::string(c.name).find("Windows folder") != std::string::npos) {
        auto windowsAfter = TreeOf(root / "WINDOWS");
        windowsAfter.erase("registry.reg");
        EXPECT_EQ(windowsAfter, windowsBefore);
    }
    EXPECT_FALSE(Exists(root / "WINDOWS" / "WinInit.ini"));
    EXPECT_EQ(ScriptCopies(), 0u);
    EXPECT_EQ(GetValue("Software\\Quorva", "ZelboTally"), std::nullopt) << "no installation counted";
}

INSTANTIATE_TEST_SUITE_P(Statements, SetupEscapeCases, ::testing::ValuesIn(kEscapes),
                         [](const ::testing::TestParamInfo<Escape>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

// The program an installation starts at its end runs only from the installation or the CD.
TEST_F(SetupEscapes, TheFinalDialogProgramRunsOnlyFromTheInstallationOrTheCd) {
    FixtureCd spec;
    spec.extraHeader = "FinalDlgExe Z:\\bin\\rm -f " + zCanary + "\\family.txt;\n";
    MakeFixtureCd(cd1, spec);
    const auto canaryBefore = TreeOf(canary);
    head->PushAnswer(IDOK);  // 59229, the installation done
    head->PushAnswer(IDOK);  // the script error
    EXPECT_TRUE(Run(""));
    ASSERT_FALSE(Texts().empty());
    EXPECT_EQ(Texts().back(), Text(kIdsCannotReadScript));
    EXPECT_EQ(app->launched, std::vector<std::string>{});
    EXPECT_EQ(TreeOf(canary), canaryBefore);
    EXPECT_EQ(ScriptCopies(), 0u);
}

// A CD whose files are a link to /dev/zero or a FIFO: the File statement is refused at once
// with the read error (nothing waits for a writer, nothing fills the disk), no file is left
// behind, and the program ends.
TEST_F(SetupEscapes, DevicesAndFifosOnTheCdAreRefusedAtOnce) {
    for (const char* name : {"ZERO.DAT", "PIPE.DAT"}) {
        SCOPED_TRACE(name);
        TearDown();
        SetUp();
        FixtureCd spec;
        spec.extraStatements = std::string("File [SourceDrive]\\KELVAT\\") + name + ", [InstallDir]\\[ProductDir]\\" +
                               name + ";\nFile [SourceDrive]\\KELVAT\\DATA.TXT, [InstallDir]\\[ProductDir]\\AFTER.TXT;\n";
        MakeFixtureCd(cd1, spec);
        if (std::string(name) == "ZERO.DAT") {
            fs::create_symlink("/dev/zero", cd1 / "KELVAT" / name);
        } else {
            // The host's own tool makes it: this folder keeps to the platform's calls.
            ASSERT_EQ(std::system(("mkfifo '" + (cd1 / "KELVAT" / name).string() + "'").c_str()), 0);
        }
        head->PushAnswer(IDOK);  // the read error
        EXPECT_TRUE(Run(""));
        ASSERT_FALSE(Texts().empty());
        EXPECT_EQ(Texts().back(), Text(kIdsCannotRead, (std::string("C:\\Spel\\Zelbo\\") + name).c_str()));
        EXPECT_FALSE(Exists(root / "Spel" / "Zelbo" / name));
        EXPECT_FALSE(Exists(root / "Spel" / "Zelbo" / "AFTER.TXT"));
        // Only what the statements before it installed.
        std::set<std::string> left;
        for (const auto& e : fs::directory_iterator(root / "Spel" / "Zelbo")) left.insert(e.path().filename().string());
        EXPECT_EQ(left, (std::set<std::string>{"DATA.TXT", "Product.Dat", "REMBLY.EXE", "ZELBO.EXE"}));
        EXPECT_EQ(ScriptCopies(), 0u);
    }
}

// A link planted where the script's copy will be made is replaced, never written through.
TEST_F(SetupEscapes, ALinkAtTheScriptCopysNameIsReplaced) {
    MakeFixtureCd(cd1);
    fs::create_symlink(canary / "family.txt", root / "WINDOWS" / "TEMP" / ScriptCopyName(GetCurrentProcessId()));
    const auto canaryBefore = TreeOf(canary);
    for (int i = 0; i < 3; ++i) head->PushAnswer(IDOK);
    Run("");
    EXPECT_EQ(TreeOf(canary), canaryBefore);
    EXPECT_TRUE(Exists(root / "Spel" / "Zelbo" / "DATA.TXT")) << "the installation went on";
    EXPECT_EQ(ScriptCopies(), 0u);
}

// Scripts that are no product's script: refused with the script error before anything changes
// (the installation byte for byte as it was, the registry too), no tally, no script copy left.
TEST_F(SetupEscapes, MalformedScriptsChangeNothing) {
    const std::string header = "ProductName Zelbo;\nUninstallVersionZelbo ZelboTally;\n";
    const std::string install = "File [SourceDrive]\\KELVAT\\DATA.TXT, C:\\Spel\\Zelbo\\DATA.TXT;\n";
    const struct {
        const char* name;
        std::string script;
    } cases[] = {
        {"empty", ""},
        {"garbage", "\x8f\xff\x01 ;; ]]] = ,,, ;\n\xe5\xe4\xf6"},
        {"comments only", "# ProductName Zelbo;\n# WelcomeDialog;\n"},
        {"an unclosed quote", "ProductName \"Zelbo;\nUninstallVersionZelbo ZelboTally;\nWelcomeDialog;\n" + install},
        {"cut by Ctrl+Z", header + "\x1aWelcomeDialog;\n" + install},
        {"no product name", "UninstallVersionZelbo ZelboTally;\nWelcomeDialog;\n" + install},
        {"no tally name", "ProductName Zelbo;\nWelcomeDialog;\n" + install},
        {"an empty tally name", "ProductName Zelbo;\nUninstallVersionZelbo;\nWelcomeDialog;\n" + install},
        {"no welcome step", header + install},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Put(cd1 / "KELVAT" / "DATA.TXT", "data");
        PutScript(c.script);
        const auto rootBefore = TreeOf(root);
        head->PushAnswer(IDOK);
        EXPECT_TRUE(Run(""));
        EXPECT_EQ(Texts(), std::vector<std::string>{Text(kIdsCannotReadScript)});
        EXPECT_EQ(TreeOf(root), rootBefore);
        EXPECT_EQ(ScriptCopies(), 0u);
        EXPECT_EQ(GetValue("Software\\Quorva", "ZelboTally"), std::nullopt);
        EXPECT_EQ(GetValue("Software\\Quorva", ""), std::nullopt);
    }
}

// Copies of the script that killed runs left (their process gone) go at the next run; a copy
// whose run still goes on stays.
TEST_F(SetupEscapes, ScriptCopiesOfKilledRunsAreRemoved) {
    MakeFixtureCd(cd1);
    const fs::path temp = root / "WINDOWS" / "TEMP";
    // A run that goes on: a child that waits ten seconds.
    std::string line = "\"" + plat::HostToDosPath(ZELBO_EXIT_CHILD) + "\" 0 10000";
    PROCESS_INFORMATION running{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &running));
    Put(temp / "PDT99999999.TMP", "killed");                         // no process has that id
    Put(temp / ScriptCopyName(running.dwProcessId), "running");
    Put(temp / "PDTNOTES.TMP", "not a copy of ours");
    for (int i = 0; i < 3; ++i) head->PushAnswer(IDOK);
    Run("");
    EXPECT_FALSE(Exists(temp / "PDT99999999.TMP"));
    EXPECT_EQ(Get(temp / ScriptCopyName(running.dwProcessId)), "running");
    CloseHandle(running.hThread);
    CloseHandle(running.hProcess);
    EXPECT_EQ(Get(temp / "PDTNOTES.TMP"), "not a copy of ours");
    EXPECT_FALSE(Exists(temp / ScriptCopyName(GetCurrentProcessId()))) << "this run's own copy is gone too";
}

}  // namespace
}  // namespace setup::testing
