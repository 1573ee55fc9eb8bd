#include <gtest/gtest.h>

#include "platform/profile/profile.h"
#include "setup/setwell/file_install.h"
#include "setup/setwell/setwell_test_support.h"

namespace setup::testing {
namespace {

using Version = std::array<uint16_t, 4>;
constexpr Version kOld = {1, 0, 0, 0};
constexpr Version kNew = {2, 0, 0, 0};
constexpr Version kNewer = {3, 0, 0, 0};

class FileInstall : public SetwellTest {
protected:
    void SetUp() override {
        SetwellTest::SetUp();
        app->InitDirectories();
        app->Values().productName = "Zelbo";
        app->Values().uninstallExe = "REMBLY.EXE";
        app->Values().sourceDrive = "D:";
        PutStamped(cd1 / "KELVAT" / "FOO.DLL", kNew);
    }
    // Runs the installation; true when it ended the program.
    bool Install(const std::string& source, const std::string& destination, const std::string& flags) {
        try {
            InstallFile(*app, source, destination, flags);
        } catch (const plat::ProcessExit&) {
            return true;
        }
        return false;
    }
    // WinInit.ini with its line ends as LF only ("" when missing).
    std::string WinInitText() {
        std::string text = Exists(root / "WINDOWS" / "WinInit.ini") ? Get(root / "WINDOWS" / "WinInit.ini") : "";
        std::erase(text, '\r');
        return text;
    }
    std::optional<uint32_t> SharedCount(const std::string& path) {
        const auto v = GetValue(kSharedDllsKey, path);
        if (!v) return std::nullopt;
        EXPECT_EQ(v->size(), 4u);
        return CountOfValue(reinterpret_cast<const uint8_t*>(v->data()), static_cast<DWORD>(v->size()));
    }
    // Files of a folder other than the ones named: nothing the installer leaves behind.
    std::vector<std::string> Leftovers(const fs::path& folder, const std::vector<std::string>& known) {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(folder)) {
            const std::string name = e.path().filename().string();
            if (std::find(known.begin(), known.end(), name) == known.end()) out.push_back(name);
        }
        return out;
    }
};

constexpr char kSource[] = "D:\\KELVAT\\FOO.DLL";
constexpr char kDest[] = "C:\\Spel\\FOO.DLL";
const std::string kBootLines = "[rename]\nNUL=C:\\Spel\\FOO.DLL\nC:\\Spel\\FOO.DLL=C:\\Spel\\FOO.tmp\n";

// What is there before (file and stamp, flags, in use) decides the files, WinInit.ini, the
// shared count and the messages.
TEST_F(FileInstall, InstallTable) {
    const std::string inUse = Text(kIdsFileInUse, "C:\\Spel\\FOO.DLL");
    struct Case {
        const char* name;
        std::optional<Version> existing;
        uint16_t existingLanguage;
        std::string flags;
        bool fileInUse;
        DWORD forced;  // every VerInstallFileA answers this (0: the real comparison)
        std::optional<uint32_t> sharedBefore;
        // Expected:
        std::optional<Version> dest;  // the stamp of C:\Spel\FOO.DLL
        std::optional<Version> temp;  // the stamp of C:\Spel\FOO.tmp (none: no such file)
        std::string winInit;
        std::optional<uint32_t> shared;
        std::vector<std::string> messages;
        bool exited;
        DWORD tempAttributes;  // of FOO.tmp when it exists
    };
    const Case cases[] = {
        {"new file", std::nullopt, 0x041D, "", false, 0, std::nullopt, kNew, std::nullopt, "", std::nullopt, {},
         false, 0},
        {"older replaced, shared", kOld, 0x041D, "D", false, 0, std::nullopt, kNew, std::nullopt, "", 1, {}, false,
         0},
        {"shared by another product", kOld, 0x041D, "D", false, 0, 4, kNew, std::nullopt, "", 5, {}, false, 0},
        {"shared value of two bytes", kOld, 0x041D, "D", false, 0, std::nullopt, kNew, std::nullopt, "", 0x0103,
         {}, false, 0},
        {"newer kept", kNewer, 0x041D, "", false, 0, std::nullopt, kNewer, std::nullopt, "", std::nullopt, {},
         false, 0},
        // A mismatch is installed anyway, at the next start of Windows.
        {"other language", kOld, 0x0409, "", false, 0, std::nullopt, kOld, kNew, kBootLines, std::nullopt, {},
         false, 0},
        // In use: the new copy waits under a temporary name, which carries the attributes;
        // the shared count is kept under the final name.
        {"in use, shared, read-only, hidden", kOld, 0x041D, "DRH", true, 0, std::nullopt, kOld, kNew, kBootLines, 1,
         {}, false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
        {"reported in use", kOld, 0x041D, "", false, VIF_FILEINUSE, std::nullopt, kOld, std::nullopt, "",
         std::nullopt, {inUse}, false, 0},
        {"reported different", kOld, 0x041D, "", false, VIF_DIFFCODEPG, std::nullopt, kOld, std::nullopt, "",
         std::nullopt, {Text(kIdsUnknownInstallError, "FOO.DLL")}, false, 0},
        {"disk full", kOld, 0x041D, "D", false, VIF_OUTOFSPACE, std::nullopt, kOld, std::nullopt, "",
         std::nullopt, {Text(kIdsDiskFull)}, true, 0},
        // Tried again at the next start, refused again: the temporary name is reported.
        {"access violation", kOld, 0x041D, "", false, VIF_ACCESSVIOLATION, std::nullopt, kOld, std::nullopt,
         kBootLines, std::nullopt, {Text(kIdsAccessViolation, "C:\\Spel\\FOO.tmp")}, true, 0},
        {"cannot rename", std::nullopt, 0x041D, "", false, VIF_CANNOTRENAME, std::nullopt, std::nullopt,
         std::nullopt, "", std::nullopt, {Text(kIdsCannotRename, "C:\\Spel\\FOO.DLL")}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (c.existing) PutStamped(root / "Spel" / "FOO.DLL", *c.existing, c.existingLanguage);
        if (c.sharedBefore) SetValue(kSharedDllsKey, kDest, REG_BINARY, Count(*c.sharedBefore));
        if (std::string(c.name) == "shared value of two bytes")
            SetValue(kSharedDllsKey, kDest, REG_BINARY, std::string("\x02\x01", 2));
        if (c.fileInUse || c.forced) plat::SetVersionFaults({c.forced, c.fileInUse});
        for (size_t i = 0; i < c.messages.size(); ++i) head->PushAnswer(IDOK);

        EXPECT_EQ(Install(kSource, kDest, c.flags), c.exited);
        plat::ClearVersionFaults();
        const fs::path dest = root / "Spel" / "FOO.DLL";
        const fs::path temp = root / "Spel" / "FOO.tmp";
        EXPECT_EQ(Exists(dest), c.dest.has_value());
        if (c.dest) {
            EXPECT_EQ(StampOf(dest), *c.dest);
        }
        EXPECT_EQ(Exists(temp), c.temp.has_value());
        if (c.temp) {
            EXPECT_EQ(StampOf(temp), *c.temp);
            EXPECT_EQ(GetFileAttributesA("C:\\Spel\\FOO.tmp") & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
                      c.tempAttributes);
        }
        EXPECT_EQ(WinInitText(), c.winInit);
        EXPECT_EQ(SharedCount(kDest), c.shared);
        EXPECT_EQ(SharedCount("C:\\Spel\\FOO.tmp"), std::nullopt);
        EXPECT_EQ(Texts(), c.messages);
        EXPECT_EQ(Leftovers(root / "Spel", {"FOO.DLL", "FOO.tmp"}), std::vector<std::string>{});
        EXPECT_EQ(windows->progressTexts, std::vector<std::string>{Cp(u8"Installerar FOO.DLL...")});
    }
}

TEST_F(FileInstall, TheScriptIsCopiedPlainlyOverANewerCopy) {
    Put(cd1 / "KELVAT" / "Product.Dat", "ProductName Zelbo;\n");
    PutStamped(root / "Spel" / "Product.Dat", kNewer);
    ASSERT_TRUE(SetFileAttributesA("C:\\Spel\\Product.Dat", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Install("D:\\KELVAT\\Product.Dat", "C:\\Spel\\PRODUCT.DAT", "RD"));
    EXPECT_EQ(Get(root / "Spel" / "Product.Dat"), "ProductName Zelbo;\n");
    EXPECT_TRUE(GetFileAttributesA("C:\\Spel\\Product.Dat") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(SharedCount("C:\\Spel\\PRODUCT.DAT"), 1u);
    EXPECT_TRUE(Texts().empty());
}

TEST_F(FileInstall, AProblemWithTheRemovalProgramsOwnFileIsPassedOver) {
    PutStamped(cd1 / "KELVAT" / "REMBLY.EXE", kNew);
    for (const DWORD forced : {DWORD{VIF_CANNOTCREATE}, DWORD{VIF_FILEINUSE | VIF_TEMPFILE}}) {
        SCOPED_TRACE(forced);
        plat::SetVersionFaults({forced, false});
        EXPECT_FALSE(Install("D:\\KELVAT\\REMBLY.EXE", "C:\\Spel\\REMBLY.EXE", "DR"));
        plat::ClearVersionFaults();
        EXPECT_TRUE(Texts().empty());
        EXPECT_EQ(SharedCount("C:\\Spel\\REMBLY.EXE"), std::nullopt);
        EXPECT_EQ(Leftovers(root / "Spel", {}), std::vector<std::string>{});
    }
    // Under another name the same answer is reported.
    PutStamped(cd1 / "KELVAT" / "rembly.exe.bak", kNew);
    plat::SetVersionFaults({VIF_CANNOTCREATE, false});
    head->PushAnswer(IDOK);
    EXPECT_TRUE(Install("D:\\KELVAT\\REMBLY.EXE", "C:\\Spel\\rembly.exe", ""));
    EXPECT_EQ(Texts(), std::vector<std::string>{Text(kIdsCannotCreate, "C:\\Spel\\rembly.exe")});
}

TEST_F(FileInstall, FilesOfOneStemWaitUnderDistinctNames) {
    PutStamped(cd1 / "KELVAT" / "FOO.EXE", kNew);
    PutStamped(root / "Spel" / "FOO.DLL", kOld);
    PutStamped(root / "Spel" / "FOO.EXE", kOld);
    Put(root / "Spel" / "FOO1.tmp", "someone else's");
    plat::SetVersionFaults({0, true});
    EXPECT_FALSE(Install(kSource, kDest, ""));
    EXPECT_FALSE(Install("D:\\KELVAT\\FOO.EXE", "C:\\Spel\\FOO.EXE", ""));
    plat::ClearVersionFaults();
    EXPECT_EQ(WinInitText(),
              "[rename]\nNUL=C:\\Spel\\FOO.EXE\nNUL=C:\\Spel\\FOO.DLL\n"
              "C:\\Spel\\FOO.DLL=C:\\Spel\\FOO.tmp\nC:\\Spel\\FOO.EXE=C:\\Spel\\FOO2.tmp\n");
    EXPECT_EQ(Get(root / "Spel" / "FOO1.tmp"), "someone else's");
    // The next start of Windows puts both new files in place.
    plat::ApplyPendingRenames();
    EXPECT_EQ(StampOf(root / "Spel" / "FOO.DLL"), kNew);
    EXPECT_EQ(StampOf(root / "Spel" / "FOO.EXE"), kNew);
    EXPECT_EQ(Leftovers(root / "Spel", {"FOO.DLL", "FOO.EXE", "FOO1.tmp"}), std::vector<std::string>{});

    // A name already waiting in [rename] is taken even when its file is gone.
    EXPECT_EQ(TemporaryInstallName("C:\\Spel", "BAR.DLL", "[rename]\nC:\\SPEL\\BAR.DLL=c:\\spel\\bar.tmp\n"),
              "BAR1.tmp");
    EXPECT_EQ(TemporaryInstallName("C:\\Spel", "BAR", ""), "BAR.tmp");
    EXPECT_EQ(TemporaryInstallName("C:\\Spel", "A.B.C", ""), "A.tmp");
}

TEST_F(FileInstall, FileStatementsWithoutTwoFullPathsOnCAreSkipped) {
    // C:\Ut is a link to a host folder: named on C:, it leads off it.
    Put(tmp / "host" / "FOO.DLL", "the host's");
    fs::create_directory_symlink(tmp / "host", root / "Ut");
    struct Case {
        std::string statement;
        std::string from, to;  // of notice 59215; empty from: installed
    };
    const Case cases[] = {
        {"File D:\\KELVAT\\FOO.DLL;", "D:\\KELVAT\\FOO.DLL", ""},
        {"File95 FOO.DLL, C:\\Spel\\FOO.DLL;", "FOO.DLL", "C:\\Spel\\FOO.DLL"},
        {"File D:\\KELVAT\\FOO.DLL, FOO.DLL;", "D:\\KELVAT\\FOO.DLL", "FOO.DLL"},
        {"File D:\\KELVAT\\FOO.DLL, Z:\\tmp\\FOO.DLL;", "D:\\KELVAT\\FOO.DLL", "Z:\\tmp\\FOO.DLL"},
        {"File D:\\KELVAT\\FOO.DLL, E:\\FOO.DLL;", "D:\\KELVAT\\FOO.DLL", "E:\\FOO.DLL"},
        {"File D:\\KELVAT\\FOO.DLL, C:\\Ut\\FOO.DLL;", "D:\\KELVAT\\FOO.DLL", "C:\\Ut\\FOO.DLL"},
        {"File D:\\KELVAT\\FOO.DLL, C:\\..\\..\\FOO.DLL, d, r;", "", ""},
        {"File95 D:\\KELVAT\\FOO.DLL, C:\\Spel\\FOO.DLL;", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statement);
        plat::ClearMessageBoxLog();
        windows->progressTexts.clear();
        std::string statement = c.statement.substr(0, c.statement.size() - 1);
        if (!c.from.empty()) head->PushAnswer(IDOK);
        app->Script().DispatchStatement(statement, kInstallPass);
        if (c.from.empty()) {
            EXPECT_TRUE(Texts().empty());
            EXPECT_EQ(windows->progressTexts.size(), 1u);
        } else {
            EXPECT_EQ(Texts(), std::vector<std::string>{Text(kIdsCannotInstall, c.from.c_str(), c.to.c_str())});
            ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
            EXPECT_EQ(plat::MessageBoxLog()[0].caption, "Zelbo  ");
            EXPECT_TRUE(windows->progressTexts.empty());
        }
    }
    // ".." stops at the root of C:; the flags count in any case, commas and all.
    EXPECT_EQ(StampOf(root / "FOO.DLL"), kNew);
    EXPECT_TRUE(GetFileAttributesA("C:\\FOO.DLL") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(SharedCount("C:\\..\\..\\FOO.DLL"), 1u);
    EXPECT_EQ(StampOf(root / "Spel" / "FOO.DLL"), kNew);
    EXPECT_EQ(Get(tmp / "host" / "FOO.DLL"), "the host's");
}

TEST_F(FileInstall, DiskPromptRepeatsUntilTheLabelMatchesOrCancel) {
    struct Case {
        const char* name;
        std::string label;                // in the drive at first
        std::vector<std::string> labels;  // put in after each prompt answered OK
        std::vector<int> answers;
        bool exited;
    };
    const Case cases[] = {
        {"right disk", "zelbo2", {}, {}, false},
        {"changed after one prompt", "ZELBO1", {"ZELBO2"}, {IDOK}, false},
        {"changed after two prompts", "ZELBO1", {"ANNAN", "ZELBO2"}, {IDOK, IDOK}, false},
        {"cancel", "ZELBO1", {}, {IDCANCEL, IDOK}, true},
    };
    const std::string prompt = Text(kIdsInsertDisk, "Skiva 2", "D:");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::ClearMessageBoxLog();
        Put(cd1 / ".label", c.label + "\n");
        size_t next = 0;
        windows->focusCount = 0;
        windows->onFocus = [&] {
            if (next < c.labels.size()) Put(cd1 / ".label", c.labels[next++] + "\n");
        };
        for (int a : c.answers) head->PushAnswer(a);
        std::string statement = "Disk ZELBO2, Skiva 2";
        bool exited = false;
        try {
            app->Script().DispatchStatement(statement, kInstallPass);
        } catch (const plat::ProcessExit&) {
            exited = true;
        }
        EXPECT_EQ(exited, c.exited);
        std::vector<std::string> expected(c.exited ? 1 : c.labels.size(), prompt);
        if (c.exited) expected.push_back(Text(kIdsInstallCancelled));
        EXPECT_EQ(Texts(), expected);
        EXPECT_EQ(windows->focusCount, static_cast<int>(c.labels.size()));
    }
}

}  // namespace
}  // namespace setup::testing
