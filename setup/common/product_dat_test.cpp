#include "setup/common/product_dat.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "setup/common/recording_actions.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_test_host.h"

namespace setup {
namespace {

class ScriptEngine : public ::testing::Test {
protected:
    void SetUp() override { RegisterScriptStrings(); }

    // Every statement of the text, as ReadStatement returns them.
    std::vector<std::string> ReadAll(std::string text) {
        script.UseScriptText(std::move(text));
        std::vector<std::string> out;
        std::string statement;
        while (script.ReadStatement(statement)) out.push_back(statement);
        EXPECT_EQ(statement, "");
        return out;
    }
    // The text of the fatal stop the call ends in, or "" when it ends normally.
    static std::string StopOf(const std::function<void()>& run) {
        try {
            run();
        } catch (const ScriptStop& stop) {
            return stop.text;
        }
        return "";
    }
    std::vector<int32_t> RecordedIds() const {
        std::vector<int32_t> ids;
        for (const auto& r : actions.records) ids.push_back(r.actionId);
        return ids;
    }

    CTestScriptHost host;
    CRecordingActions actions;
    CProductDat script{host, &actions};
};

const std::string kLong600(600, 'X');

struct ReadCase {
    const char* name;
    std::string text;
    std::vector<std::string> statements;
};

TEST_F(ScriptEngine, ReadsStatements) {
    const ReadCase cases[] = {
        {"quotes keep ; and #", "ProductName \"A;B#C\" ;\n", {"ProductName \"A;B#C\""}},
        {"comment", "# heading; not a statement\nProductName A # the name; still comment\n;",
         {"ProductName A"}},
        {"three lines", "File95  a,\n\t b ,\n   c ;", {"File95  a, b , c"}},
        {"quote open across lines", "ProductName \"A\n; B\" ;", {"ProductName \"A ; B\""}},
        {"600 characters on one line", "ProductName " + kLong600 + ";\n", {"ProductName " + kLong600}},
        {"a long comment's tail is no statement", "#" + kLong600 + "; x\nProductName A;", {"ProductName A"}},
        {"last statement without ';' is dropped", "ProductName A;\nProductVersion 1\n", {"ProductName A"}},
        {"empty statements are skipped", ";; ;\n  ;\nProductName A;;;", {"ProductName A"}},
        {"text after ';' starts the next statement", "File a, b; DR;\nProductName A; ProductVersion 2;",
         {"File a, b", "DR", "ProductName A", "ProductVersion 2"}},
        {"carriage returns are blanks", "ProductName A\r\n\r;", {"ProductName A"}},
        {"trailing blanks do not count", "ProductName A" + std::string(3000, ' ') + ";", {"ProductName A"}},
        {"nothing", "", {}},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadAll(c.text), c.statements) << c.name;
    }
}

TEST_F(ScriptEngine, DamagedOrOverlongStatementStopsWith59209) {
    const std::string kCannotRead = Cp(u8"Kunde inte läsa Product.dat.");
    const std::string key = "ProductName ";
    struct StopCase {
        const char* name;
        std::string text;
        bool stops;
    };
    const StopCase cases[] = {
        {"1,023 bytes fit", key + std::string(1023 - key.size(), 'X') + ";", false},
        {"1,024 bytes on one line", key + std::string(1024 - key.size(), 'X') + ";", true},
        {"1,023 bytes joined", key + std::string(500, 'X') + "\n" + std::string(1023 - key.size() - 501, 'Y') + ";",
         false},
        {"1,024 bytes joined", key + std::string(500, 'X') + "\n" + std::string(1024 - key.size() - 501, 'Y') + ";",
         true},
        {"three long lines", key + std::string(400, 'X') + "\n" + std::string(400, 'Y') + "\n" + std::string(400, 'Z') +
                                 ";",
         true},
        {"over-long without ';'", std::string(5000, 'X'), true},
        {"NUL byte", std::string("ProductName A\0B;", 16), true},
        {"NUL byte in a comment", std::string("# \0\nProductName A;", 19), true},
    };
    for (const StopCase& c : cases) {
        EXPECT_EQ(StopOf([&] { ReadAll(c.text); }), c.stops ? kCannotRead : "") << c.name;
    }
}

TEST_F(ScriptEngine, ReadErrorStopsWith59209) {
    class CFailingSource : public CScriptSource {
    public:
        int Get() override { return m_pos < 5 ? "File "[m_pos++] : EOF; }
        bool Failed() const override { return m_pos >= 5; }
        void Rewind() override { m_pos = 0; }

    private:
        size_t m_pos = 0;
    };
    script.UseScriptSource(std::make_unique<CFailingSource>());
    std::string statement;
    EXPECT_EQ(StopOf([&] { script.ReadStatement(statement); }), Cp(u8"Kunde inte läsa Product.dat."));
}

struct MatchCase {
    std::string statement;
    int id;
    const char* value;  // as the action saw it; null: no action ran
};

TEST_F(ScriptEngine, LongerKeysMatchBeforeTheKeysTheyStartWith) {
    const MatchCase cases[] = {
        {"File95 a, b", kActFile95, "a, b"},
        {"file a, b", kActFile, "a, b"},
        {"FILE31 a, b", kActFile31, nullptr},
        {"RegistryEntryHex K, V, 0A", kActRegistryEntryHex, "K, V, 0A"},
        {"RegistryEntry K", kActRegistryEntry, "K"},
        {"InstallRunMsg M, 1, X", kActInstallRunMsg, "M, 1, X"},
        {"InstallRunDX X", kActInstallRunDX, "X"},
        {"InstallRunX", kActInstallRun, "X"},
        {"WelcomeDialog", kActWelcomeDialog, ""},
        {"StartMenu95 d, t, l", kActStartMenu95, "d, t, l"},
        {"StartMenuRoot G", kActStartMenuRoot, "G"},
        {"Unknown x", -1, nullptr},
        {"Fil a, b", -1, nullptr},
    };
    for (const MatchCase& c : cases) {
        actions.records.clear();
        std::string statement = c.statement;
        EXPECT_EQ(script.DispatchStatement(statement, kInstallPass), c.id) << c.statement;
        if (!c.value) {
            EXPECT_TRUE(actions.records.empty()) << c.statement;
        } else {
            ASSERT_EQ(actions.records.size(), 1u) << c.statement;
            EXPECT_EQ(actions.records[0].value, c.value) << c.statement;
        }
    }
    // Header keys need nothing after them: the letters that follow start the value.
    std::string glued = "ProductNameZelbo";
    EXPECT_EQ(script.DispatchStatement(glued, kHeaderPass), kActProductName);
    EXPECT_EQ(script.Values().productName, "Zelbo");
    std::string welcomeTitle = "WelcomeDialogTitle \"Hej\"";
    EXPECT_EQ(script.DispatchStatement(welcomeTitle, kHeaderPass), kActWelcomeDialogTitle);
    EXPECT_EQ(script.Values().welcomeTitle, "\"Hej\"");
}

TEST(StatementKeys, TablesOfBothPrograms) {
    const auto setwell = StatementKeyTable(ScriptProgram::kSetwell);
    const auto rembly = StatementKeyTable(ScriptProgram::kRembly);
    ASSERT_EQ(setwell.size(), 54u);
    ASSERT_EQ(rembly.size(), 53u);
    EXPECT_EQ(std::string(setwell[53].key), "OverInstallCommand");
    EXPECT_EQ(std::string(rembly[52].key), "UninstallVersionZelbo");
    std::vector<bool> seen(kActionIdCount, false);
    for (size_t i = 0; i < setwell.size(); ++i) {
        ASSERT_GE(setwell[i].actionId, 0);
        ASSERT_LT(setwell[i].actionId, kActionIdCount);
        EXPECT_FALSE(seen[static_cast<size_t>(setwell[i].actionId)]) << setwell[i].key;
        seen[static_cast<size_t>(setwell[i].actionId)] = true;
        if (i < rembly.size()) {
            EXPECT_EQ(&rembly[i], &setwell[i]);
        }
        // No row is hidden behind an earlier key that it starts with.
        for (size_t j = 0; j < i; ++j) {
            EXPECT_NE(std::string_view(setwell[i].key).rfind(setwell[j].key, 0), 0u)
                << setwell[i].key << " after " << setwell[j].key;
        }
    }
    EXPECT_EQ(SetwellHandlerTable().size(), setwell.size());
    EXPECT_EQ(RemblyHandlerTable().size(), rembly.size());
}

struct GateCase {
    ScriptProgram program;
    int pass;
    std::string statement;
    int id;
    bool actionRuns;
};

TEST_F(ScriptEngine, PassGating) {
    using P = ScriptProgram;
    const GateCase cases[] = {
        // Action rows run in passes 1 and 2 only.
        {P::kSetwell, 0, "File95 a, b", kActFile95, false},
        {P::kSetwell, 1, "File95 a, b", kActFile95, true},
        {P::kSetwell, 2, "File95 a, b", kActFile95, true},
        {P::kSetwell, 3, "File95 a, b", kActFile95, false},
        {P::kRembly, 0, "File95 a, b", kActFile95, false},
        {P::kRembly, 1, "File95 a, b", kActFile95, true},
        // A statement for the other program is matched and does nothing.
        {P::kSetwell, 1, "UninstallErase x", kActUninstallErase, false},
        {P::kRembly, 1, "UninstallErase x", kActUninstallErase, true},
        {P::kRembly, 1, "InstallErase x", kActInstallErase, false},
        {P::kSetwell, 1, "InstallErase x", kActInstallErase, true},
        {P::kRembly, 1, "Disk L, N", kActDisk, false},
        {P::kSetwell, 1, "Disk L, N", kActDisk, true},
        {P::kSetwell, 1, "StartMenu31 d, t, l", kActStartMenu31, false},
        {P::kRembly, 1, "IniFile95 S, K, V", kActIniFile95, false},
        {P::kSetwell, 1, "IniFile95 S, K, V", kActIniFile95, true},
        // The setup program's launcher registration is pass 1's alone.
        {P::kSetwell, 0, "FinalText Klart", kActFinalText, false},
        {P::kSetwell, 1, "FinalText Klart", kActFinalText, true},
        {P::kSetwell, 2, "FinalText Klart", kActFinalText, false},
        {P::kRembly, 1, "FinalText Klart", kActFinalText, false},
        // The removal program has no row 53.
        {P::kRembly, 0, "OverInstallCommand X", -1, false},
        {P::kSetwell, 0, "OverInstallCommand X", kActOverInstallCommand, false},
        // A missing required field: nothing runs.
        {P::kSetwell, 1, "File95 onlysource", kActFile95, false},
        {P::kSetwell, 1, "StartMenu95 d, t", kActStartMenu95, false},
        {P::kSetwell, 1, "RegistryEntry95", kActRegistryEntry95, false},
        {P::kSetwell, 1, "RegistryEntry95 K", kActRegistryEntry95, true},
        {P::kSetwell, 1, "InstallRunMsg Sluta?, 1", kActInstallRunMsg, false},
        {P::kRembly, 1, "UninstallIniCopy a, b, c, d, e", kActUninstallIniCopy, false},
        {P::kRembly, 1, "UninstallIniCopy a, b, c, d, e, f", kActUninstallIniCopy, true},
    };
    for (const GateCase& c : cases) {
        actions.records.clear();
        std::string statement = c.statement;
        const int id = c.program == P::kSetwell ? script.DispatchStatement(statement, c.pass)
                                                : script.DispatchRemovalStatement(statement, c.pass);
        EXPECT_EQ(id, c.id) << c.statement << " pass " << c.pass;
        EXPECT_EQ(actions.records.size(), c.actionRuns ? 1u : 0u) << c.statement << " pass " << c.pass;
    }
}

TEST_F(ScriptEngine, HeaderValuesAreSetInEveryPassByTheProgramsThatKeepThem) {
    struct HeaderCase {
        ScriptProgram program;
        std::string statement;
        std::string ScriptValues::*member;
        std::string expected;  // after the statement ran in the given pass
    };
    using P = ScriptProgram;
    const HeaderCase cases[] = {
        {P::kSetwell, "ProductName \"Zelbo\" = 1", &ScriptValues::productName, "\"Zelbo\" = 1"},
        {P::kRembly, "ProductName Zelbo", &ScriptValues::productName, "Zelbo"},
        {P::kRembly, "UninstallVersionZelbo Zv", &ScriptValues::tallyValueName, "Zv"},
        {P::kSetwell, "SplashScreenTitle Hej", &ScriptValues::splashTitle, "Hej"},
        {P::kRembly, "SplashScreenTitle Hej", &ScriptValues::splashTitle, ""},
        {P::kRembly, "WelcomeDialogMessage Hej", &ScriptValues::welcomeMessage, " "},
        {P::kSetwell, "FinalText \"Klart\"", &ScriptValues::finalText, "Klart"},
    };
    for (int pass = 0; pass <= 2; ++pass) {
        for (const HeaderCase& c : cases) {
            CProductDat fresh(host, &actions);
            std::string statement = c.statement;
            if (c.program == P::kSetwell) {
                fresh.DispatchStatement(statement, pass);
            } else {
                fresh.DispatchRemovalStatement(statement, pass);
            }
            EXPECT_EQ(fresh.Values().*c.member, c.expected) << c.statement << " pass " << pass;
        }
    }
}

TEST_F(ScriptEngine, HeaderSettersReadNumbersAndFlags) {
    struct NumberCase {
        std::string statement;
        int32_t x, y, size, autoPlay;
    };
    const NumberCase cases[] = {
        {"SplashScreenArtPos 10, 20", 10, 20, -1, 0},
        {"SplashScreenArtPos 10,20", 10, 20, -1, 0},
        {"SplashScreenArtPos 10 , 20", 0, 0, -1, 0},  // the comma must follow the number
        {"SplashScreenArtPos 10", 0, 0, -1, 0},
        {"SplashScreenArtPos 70000, -70000", 4464, -4464, -1, 0},  // 16-bit numbers
        {"SplashScreenArtPos 99999999999999999999, 1", static_cast<int16_t>(0x0FFFFF), 1, -1, 0},
        {"ProductSize 123456", 0, 0, 123456, 0},
        {"ProductSize 12abc", 0, 0, 12, 0},
        {"ProductSize abc", 0, 0, 0, 0},
        {"ProductSize 99999999999", 0, 0, INT32_MAX, 0},
        {"RunAutoPlayDlg true", 0, 0, -1, 1},
        {"RunAutoPlayDlg TRUE ", 0, 0, -1, 1},
        {"RunAutoPlayDlg \"TRUE\"", 0, 0, -1, 0},
        {"RunAutoPlayDlg TRUEX", 0, 0, -1, 0},
    };
    for (const NumberCase& c : cases) {
        CProductDat fresh(host, &actions);
        std::string statement = c.statement;
        fresh.DispatchStatement(statement, kHeaderPass);
        EXPECT_EQ(fresh.Values().splashX, c.x) << c.statement;
        EXPECT_EQ(fresh.Values().splashY, c.y) << c.statement;
        EXPECT_EQ(fresh.Values().productSize, c.size) << c.statement;
        EXPECT_EQ(fresh.Values().runAutoPlayDlg, c.autoPlay) << c.statement;
    }
}

TEST_F(ScriptEngine, FinalItemsFillTenSlotsAndTheRestAreIgnored) {
    std::string text;
    for (int i = 1; i <= 12; ++i) text += "FinalItem \"item " + std::to_string(i) + "\";\n";
    script.UseScriptText(text);
    ASSERT_TRUE(script.ProcessProductDat(kHeaderPass));
    EXPECT_EQ(script.Values().finalItemCount, 10);
    EXPECT_EQ(script.Values().finalItems[0], "item 1");
    EXPECT_EQ(script.Values().finalItems[9], "item 10");
    // A later pass goes on from the count reached: nothing more fits.
    ASSERT_TRUE(script.ProcessProductDat(kInstallPass));
    EXPECT_EQ(script.Values().finalItems[0], "item 1");
    EXPECT_EQ(script.Values().finalItemCount, 10);
}

TEST_F(ScriptEngine, HeaderPassEndsAtTheWelcomeStep) {
    const std::string text =
        "ProductName A; File95 s, d; WelcomeDialog; ProductVersion 2; File s2, d2;\n";
    for (ScriptProgram program : {ScriptProgram::kSetwell, ScriptProgram::kRembly}) {
        CProductDat fresh(host, &actions);
        actions.records.clear();
        fresh.UseScriptText(text);
        auto pass = [&](int n) {
            return program == ScriptProgram::kSetwell ? fresh.ProcessProductDat(n)
                                                      : fresh.ProcessProductDatForRemoval(n);
        };
        ASSERT_TRUE(pass(kHeaderPass));
        EXPECT_EQ(fresh.Values().productName, "A");
        EXPECT_EQ(fresh.Values().productVersion, "");
        EXPECT_TRUE(actions.records.empty());
        ASSERT_TRUE(pass(kInstallPass));
        EXPECT_EQ(fresh.Values().productVersion, "2");
        if (program == ScriptProgram::kSetwell) {
            EXPECT_EQ(RecordedIds(), (std::vector<int32_t>{kActFile95, kActWelcomeDialog, kActFile}));
        } else {
            EXPECT_EQ(RecordedIds(), (std::vector<int32_t>{kActFile95, kActFile}));
        }
        ASSERT_EQ(actions.records.size() > 0, true);
        EXPECT_EQ(actions.records[0].fields, (std::vector<std::string>{"s", "d"}));
    }
}

TEST_F(ScriptEngine, PlaceholdersTakeTheValueTheyHaveWhenTheStatementIsRead) {
    script.Values().installDir = "C:\\Program Files";
    script.UseScriptText(
        "InstallRun [ProductName]\\x.exe;\n"
        "ProductName A; InstallRun [ProductName]\\x.exe;\n"
        "ProductName B; InstallRun [InstallDir]\\[ProductName]\\x.exe;\n"
        "WelcomeDialog;\n");
    ASSERT_TRUE(script.ProcessProductDat(kInstallPass));
    ASSERT_EQ(actions.records.size(), 4u);
    EXPECT_EQ(actions.records[0].value, "\\x.exe");
    EXPECT_EQ(actions.records[1].value, "A\\x.exe");
    EXPECT_EQ(actions.records[2].value, "C:\\Program Files\\B\\x.exe");
    // A second pass starts with the values the first left.
    actions.records.clear();
    ASSERT_TRUE(script.ProcessProductDat(kOverInstallPass));
    EXPECT_EQ(actions.records[0].value, "B\\x.exe");
}

TEST_F(ScriptEngine, EachPlaceholderExpandsToItsValue) {
    struct PlaceholderCase {
        std::string token;
        std::string ScriptValues::*member;
    };
    const PlaceholderCase cases[] = {
        {"[InstallDir]", &ScriptValues::installDir},
        {"[SourceDrive]", &ScriptValues::sourceDrive},
        {"[WindowsDir]", &ScriptValues::windowsDir},
        {"[SystemDir]", &ScriptValues::systemDir},
        {"[TempDir]", &ScriptValues::tempDir},
        {"[ProductVersion]", &ScriptValues::productVersion},
        {"[ProductName]", &ScriptValues::productName},
        {"[ShortProductDir]", &ScriptValues::shortProductDir},
        {"[ProductDir]", &ScriptValues::productDir},
        {"[UtilityDir]", &ScriptValues::utilityDir},
        {"[ProductExe]", &ScriptValues::productExe},
        {"[UninstallExe]", &ScriptValues::uninstallExe},
        {"[FinalDlgExe]", &ScriptValues::finalDlgExe},
        {"[OnlineRegExe]", &ScriptValues::onlineRegExe},
        {"[SetupDir]", &ScriptValues::setupDir},
    };
    for (const PlaceholderCase& c : cases) {
        CProductDat fresh(host, &actions);
        fresh.Values().*c.member = "<v>";
        std::string value = "a" + c.token + "b" + c.token + "[installdir]";
        fresh.ExpandPlaceholders(value);
        EXPECT_EQ(value, "a<v>b<v>[installdir]") << c.token;
    }
    // In table order: a value holding a later placeholder has it expanded too, an earlier one not.
    script.Values().productName = "[InstallDir]-[ProductDir]";
    script.Values().productDir = "Zelbo";
    std::string value = "[ProductName]";
    script.ExpandPlaceholders(value);
    EXPECT_EQ(value, "[InstallDir]-Zelbo");
}

TEST_F(ScriptEngine, AValueHoldingItsOwnPlaceholderEnds) {
    // The folder typed in the welcome dialog may itself hold the placeholder.
    script.Values().installDir = "C:\\[InstallDir]";
    script.UseScriptText("File95 [SourceDrive]\\A.DLL, [InstallDir]\\[InstallDir]\\A.DLL;");
    ASSERT_TRUE(script.ProcessProductDat(kInstallPass));
    ASSERT_EQ(actions.records.size(), 1u);
    EXPECT_EQ(actions.records[0].value, "\\A.DLL, C:\\[InstallDir]\\C:\\[InstallDir]\\A.DLL");
}

TEST_F(ScriptEngine, ExpansionPastTheStatementBufferStopsWith59209) {
    const std::string kCannotRead = Cp(u8"Kunde inte läsa Product.dat.");
    script.Values().productDir = std::string(500, 'D');
    // Key (10) and value (1,013) fill the buffer exactly.
    std::string fits = "InstallRun " + std::string(513, 'x') + "[ProductDir]";
    EXPECT_EQ(StopOf([&] { script.DispatchStatement(fits, kInstallPass); }), "");
    ASSERT_EQ(actions.records.size(), 1u);
    EXPECT_EQ(actions.records[0].value.size(), 1013u);
    std::string over = "InstallRun " + std::string(514, 'x') + "[ProductDir]";
    EXPECT_EQ(StopOf([&] { script.DispatchStatement(over, kInstallPass); }), kCannotRead);
    // Header rows too, and in the header pass.
    std::string header = "ProductName [ProductDir][ProductDir][ProductDir]";
    EXPECT_EQ(StopOf([&] { script.DispatchStatement(header, kHeaderPass); }), kCannotRead);
    EXPECT_EQ(actions.records.size(), 1u);
    // A statement handed in directly is held to the same bounds.
    std::string nul("ProductName A\0B", 15);
    EXPECT_EQ(StopOf([&] { script.DispatchStatement(nul, kHeaderPass); }), kCannotRead);
}

}  // namespace
}  // namespace setup
