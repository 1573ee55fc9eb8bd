#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fs/fs_test_fixture.h"
#include "setup/common/product_dat.h"
#include "setup/common/recording_actions.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_test_host.h"

namespace setup {
namespace {

namespace fs = std::filesystem;

struct PlaceCase {
    std::string tail, module;
    std::string setupDir, sourceDrive;
};

TEST(ScriptPlace, SetupDirectoryFromTheCommandLineOrTheProgramsFolder) {
    const PlaceCase cases[] = {
        {"D:\\SETUP", "C:\\X\\SETWELL.EXE", "D:\\SETUP", "D:"},
        {"  e:\\setup  ", "C:\\X\\SETWELL.EXE", "e:\\setup", "E:"},
        // A quote at either end: the program's folder instead.
        {"\"D:\\SETUP\"", "C:\\Games\\SETWELL.EXE", "C:\\Games", "C:"},
        {"D:\\SETUP\"", "c:\\Games\\SETWELL.EXE", "c:\\Games", "C:"},
        {"", "C:\\Games\\Zelbo\\SETWELL.EXE", "C:\\Games\\Zelbo", "C:"},
        // The rightmost "\KELVAT", in any case, and what follows it, goes.
        {"", "D:\\Kelvat\\SETWELL.EXE", "D:", "D:"},
        {"", "d:\\KELVAT\\Disk1\\SETWELL.EXE", "d:", "D:"},
        {"", "D:\\Kelvat\\kelvat\\SETWELL.EXE", "D:\\Kelvat", "D:"},
        {"", "D:\\Kelvat2\\SETWELL.EXE", "D:", "D:"},
        {"", "D:\\XKELVAT\\SETWELL.EXE", "D:\\XKELVAT", "D:"},
        {"", "D:\\KELVA\\SETWELL.EXE", "D:\\KELVA", "D:"},
    };
    for (const PlaceCase& c : cases) {
        const SetupScriptPlace place = PlaceOfSetupScript(c.tail, c.module);
        EXPECT_EQ(place.setupDir, c.setupDir) << c.tail << " " << c.module;
        EXPECT_EQ(place.sourceDrive, c.sourceDrive) << c.tail << " " << c.module;
    }
    EXPECT_EQ(PlaceOfSetupScript("", "E:\\Kelvat\\Disk1\\S.EXE").candidates,
              (std::vector<std::string>{"E:\\Product.Dat", "E:\\Kelvat\\Product.Dat", "E:\\Kelvat\\Product.Dat"}));
    EXPECT_EQ(PlaceOfSetupScript("C:\\In", "E:\\S.EXE").candidates,
              (std::vector<std::string>{"C:\\In\\Product.Dat", "C:\\In\\Kelvat\\Product.Dat",
                                        "C:\\Kelvat\\Product.Dat"}));
}

class ScriptLocation : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        RegisterScriptStrings();
    }
    // Runs pass 0 and returns the fatal stop's text ("" when there was none).
    std::string HeaderPass(CProductDat& script, bool removal) {
        script.Values().tempDir = "C:\\WINDOWS\\TEMP\\";
        try {
            EXPECT_TRUE(removal ? script.ProcessProductDatForRemoval(kHeaderPass)
                                : script.ProcessProductDat(kHeaderPass));
        } catch (const ScriptStop& stop) {
            return stop.text;
        }
        return "";
    }
    static std::string Script(const std::string& name) { return "ProductName " + name + ";\r\n"; }

    CTestScriptHost host;
    CRecordingActions actions;
};

TEST_F(ScriptLocation, SetupTakesTheFirstCandidateThatExists) {
    struct Case {
        const char* name;
        std::string tail, module;
        std::vector<fs::path> scripts;  // made before the run, each holding its own name
        std::string found;              // the product name read, "" = stop 59205
    };
    const Case cases[] = {
        {"folder given", "C:\\Setup", "D:\\Kelvat\\SETWELL.EXE",
         {"c/Setup/Product.Dat", "c/Setup/Kelvat/Product.Dat", "cd1/Kelvat/Product.Dat"}, "c/Setup/Product.Dat"},
        {"its Kelvat folder", "C:\\Setup", "D:\\Kelvat\\SETWELL.EXE",
         {"c/Setup/Kelvat/Product.Dat", "cd1/Kelvat/Product.Dat"}, "c/Setup/Kelvat/Product.Dat"},
        {"the source drive's Kelvat folder", "C:\\Setup", "D:\\Kelvat\\SETWELL.EXE",
         {"c/Kelvat/Product.Dat", "cd1/Kelvat/Product.Dat"}, "c/Kelvat/Product.Dat"},
        {"program on the CD", "", "D:\\Kelvat\\SETWELL.EXE", {"cd1/Kelvat/Product.Dat"}, "cd1/Kelvat/Product.Dat"},
        {"names in another case", "", "E:\\SETWELL.EXE", {"cd2/PRODUCT.DAT"}, "cd2/PRODUCT.DAT"},
        {"none", "C:\\Setup", "D:\\Kelvat\\SETWELL.EXE", {"c/Setup/Other.Dat"}, ""},
    };
    for (const Case& c : cases) {
        for (const fs::path& p : c.scripts) Put(tmp / p, Script(p.generic_string()));
        host.tail = c.tail;
        host.module = c.module;
        CProductDat script(host, &actions);
        const std::string stop = HeaderPass(script, false);
        if (c.found.empty()) {
            EXPECT_EQ(stop, Cp(u8"Kunde inte öppna Product.dat.")) << c.name;
        } else {
            EXPECT_EQ(stop, "") << c.name;
            EXPECT_EQ(script.Values().productName, c.found) << c.name;
            // The copy in the temporary folder is what was read.
            EXPECT_EQ(script.CopyPath().rfind("C:\\WINDOWS\\TEMP\\", 0), 0u) << script.CopyPath();
            script.CloseTempProductDat();
        }
        for (const fs::path& p : c.scripts) fs::remove(tmp / p);
    }
    // No copy was left behind by the runs that found their script.
    EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP"));
}

TEST_F(ScriptLocation, CopyIsClosedAndDeletedOnce) {
    Put(root / "Setup" / "Product.Dat", "ProductName A;\nWelcomeDialog;\nProductVersion 2;\n");
    host.tail = "C:\\Setup";
    CProductDat script(host, &actions);
    ASSERT_EQ(HeaderPass(script, false), "");
    const std::string copy = script.CopyPath();
    EXPECT_NE(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(script.Values().setupDir, "C:\\Setup");
    EXPECT_EQ(script.Values().sourceDrive, "C:");
    EXPECT_EQ(script.Values().productVersion, "");
    // Pass 1 reads the copy again from its start.
    ASSERT_TRUE(script.ProcessProductDat(kInstallPass));
    EXPECT_EQ(script.Values().productVersion, "2");
    ASSERT_EQ(actions.records.size(), 1u);
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(script.CloseTempProductDat(), 1);
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(script.IsOpen());
    EXPECT_EQ(script.CloseTempProductDat(), 1);
    EXPECT_EQ(script.ProcessProductDat(kInstallPass), 0);
}

TEST_F(ScriptLocation, CopyFailureStopsWith59208) {
    Put(root / "Setup" / "Product.Dat", "ProductName A;");
    host.tail = "C:\\Setup";
    CProductDat script(host, &actions);
    script.Values().tempDir = "C:\\NOFOLDER";
    std::string stop;
    try {
        script.ProcessProductDat(kHeaderPass);
    } catch (const ScriptStop& s) {
        stop = s.text;
    }
    EXPECT_EQ(stop.rfind("Kunde inte kopiera C:\\Setup\\Product.Dat till ", 0), 0u) << stop;
}

TEST_F(ScriptLocation, RemovalTakesTheQuotedFolder) {
    Put(root / "Program Files" / "Quorva" / "Zelbo" / "Product.Dat",
        "SplashScreenTitle T; ProductName Zelbo; InstallRun [SourceDrive][SetupDir]x;");
    struct Case {
        const char* name;
        std::string tail;
        std::string stop;  // "" = found
    };
    const Case cases[] = {
        {"quoted", "\"C:\\Program Files\\Quorva\\Zelbo\"", ""},
        {"quoted with blanks", "\" C:\\Program Files\\Quorva\\Zelbo \"", ""},
        {"not quoted", "C:\\Program Files\\Quorva\\Zelbo", Cp(u8"Använd ikonen Lägg till/ta bort program i "
                                                             u8"kontrollpanelen för att\nta bort Quorva-produkter "
                                                             u8"ur ditt system.")},
        {"quoted at one end", "\"C:\\Program Files\\Quorva\\Zelbo", Cp(u8"Använd ikonen Lägg till/ta bort program "
                                                                       u8"i kontrollpanelen för att\nta bort "
                                                                       u8"Quorva-produkter ur ditt system.")},
        {"empty", "", Cp(u8"Använd ikonen Lägg till/ta bort program i kontrollpanelen för att\nta bort "
                         u8"Quorva-produkter ur ditt system.")},
        {"no script there", "\"C:\\Program Files\\Quorva\"",
         Cp(u8"Kunde inte öppna C:\\Program Files\\Quorva\\Product.Dat.")},
    };
    for (const Case& c : cases) {
        host.tail = c.tail;
        CProductDat script(host, &actions);
        EXPECT_EQ(HeaderPass(script, true), c.stop) << c.name;
        if (!c.stop.empty()) continue;
        EXPECT_EQ(script.Values().installDir, "C:\\Program Files\\Quorva") << c.name;
        EXPECT_EQ(script.Values().productName, "Zelbo") << c.name;
        EXPECT_EQ(script.Values().splashTitle, "") << c.name;
        // The removal program has no source drive and no setup directory.
        actions.records.clear();
        std::string run = "UninstallRun [SourceDrive][SetupDir]x";
        script.DispatchRemovalStatement(run, kInstallPass);
        ASSERT_EQ(actions.records.size(), 1u);
        EXPECT_EQ(actions.records[0].value, "x");
        script.CloseTempProductDat();
    }
}

}  // namespace
}  // namespace setup
