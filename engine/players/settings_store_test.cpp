#include "engine/players/settings_store.h"

#include "engine/players/app_prefs.h"
#include <functional>

#include "engine/players/players_test_support.h"
#include "platform/profile/profile.h"

namespace {

using SettingsStore = PlayersTest;

struct InitCase {
    int32_t mode;
    HKEY root;
    const char* file;
    int32_t wantMode;
    HKEY wantRoot;
};

TEST_F(SettingsStore, InitChoosesTheBackEnd) {
    const InitCase cases[] = {
        {CSettingsStore::kModeRegistry, HKEY_CURRENT_USER, nullptr, CSettingsStore::kModeAppProfile, HKEY_CURRENT_USER},
        {CSettingsStore::kModeIniFile, HKEY_CURRENT_USER, "a.ini", CSettingsStore::kModeIniFile, HKEY_CURRENT_USER},
        {CSettingsStore::kModeRegistry, nullptr, nullptr, CSettingsStore::kModeRegistry, HKEY_LOCAL_MACHINE},
        {CSettingsStore::kModeAppProfile, HKEY_LOCAL_MACHINE, nullptr, CSettingsStore::kModeAppProfile,
         HKEY_LOCAL_MACHINE},
    };
    for (const InitCase& c : cases) {
        CSettingsStore store;
        store.modified = store.loaded = 1;
        store.Init(c.mode, c.root, c.file);
        EXPECT_EQ(store.mode, c.wantMode);
        EXPECT_EQ(store.rootKey, c.wantRoot);
        EXPECT_STREQ(store.fileName, c.file ? c.file : "");
        EXPECT_EQ(store.modified, 0u);
        EXPECT_EQ(store.loaded, 0u);
    }
    // A file name that does not fit is cut, never overrun.
    CSettingsStore store;
    const std::string longName(400, 'x');
    store.Init(CSettingsStore::kModeIniFile, nullptr, longName.c_str());
    EXPECT_EQ(std::string(store.fileName), longName.substr(0, sizeof store.fileName - 1));
}

// Each back end keeps what it is given where that back end keeps things.
TEST_F(SettingsStore, EachBackEndWritesAndReadsItsOwnPlace) {
    struct Case {
        const char* name;
        int32_t mode;
        std::function<std::string()> stored;  // "Current User" as the back end keeps it
    };
    const Case cases[] = {
        {"registry", CSettingsStore::kModeRegistry, [] { return RegText("General", "Current User"); }},
        {"application profile", CSettingsStore::kModeAppProfile,
         [] { return RegText("General", "Current User", HKEY_CURRENT_USER); }},
        {"INI file", CSettingsStore::kModeIniFile,
         [] {
             char buffer[64];
             GetPrivateProfileStringA("General", "Current User", "", buffer, sizeof buffer, "C:\\store.ini");
             return std::string(buffer);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettingsStore store;
        store.Init(c.mode, HKEY_LOCAL_MACHINE, "C:\\store.ini");
        EXPECT_EQ(store.GetString(kIdsGeneralSection, kIdsCurrentUserKey, "none"), "none");
        ASSERT_TRUE(store.WriteString(kIdsGeneralSection, kIdsCurrentUserKey, "Pelle"));
        EXPECT_EQ(c.stored(), "Pelle");
        EXPECT_EQ(store.GetString(kIdsGeneralSection, kIdsCurrentUserKey, "none"), "Pelle");
        ASSERT_TRUE(store.WriteInt(kIdsGeneralSection, kIdsNameKey, -12));
        EXPECT_EQ(store.GetInt(kIdsGeneralSection, kIdsNameKey, 5), -12);
        // An id without a string reads the default and writes nothing.
        EXPECT_EQ(store.GetString(kIdsGeneralSection, 1, "def"), "def");
        EXPECT_EQ(store.GetInt(1, kIdsCurrentUserKey, 7), 7);
        EXPECT_FALSE(store.WriteString(1, kIdsCurrentUserKey, "Anna"));
        EXPECT_EQ(c.stored(), "Pelle");
    }
    EXPECT_EQ(RegText("General", "Namn"), "dword:4294967284");
}

TEST_F(SettingsStore, RegistryDeletesAValueOrAWholeSection) {
    CSettingsStore store;
    ASSERT_TRUE(store.WriteStringNamed("S", "a", "1"));
    ASSERT_TRUE(store.WriteStringNamed("S", "b", "2"));
    ASSERT_TRUE(store.WriteStringNamed("S", "a", nullptr));
    EXPECT_EQ(store.GetStringNamed("S", "a", "gone"), "gone");
    EXPECT_EQ(store.GetStringNamed("S", "b", ""), "2");
    ASSERT_TRUE(store.WriteStringNamed("S", nullptr, nullptr));
    EXPECT_FALSE(RegKeyExists("Software\\Quorva\\Zelbo\\S"));
    EXPECT_EQ(store.GetStringNamed("S", "b", "gone"), "gone");
    // A value of another type reads as the default.
    ASSERT_TRUE(store.WriteIntNamed("S", "n", 3));
    EXPECT_EQ(store.GetStringNamed("S", "n", "text"), "text");
    ASSERT_TRUE(store.WriteStringNamed("S", "t", "x"));
    EXPECT_EQ(store.GetIntNamed("S", "t", 9), 9);
}

TEST_F(SettingsStore, RegistryWithoutAKeyNameUsesTheProfileFile) {
    app.SetRegistryKey("");
    app.m_pszProfileName = "C:\\Zelbo.INI";
    CSettingsStore store;
    ASSERT_TRUE(store.WriteStringNamed("1.0", "Resource Path", "E:"));
    ASSERT_TRUE(store.WriteIntNamed("1.0", "n", 4));
    EXPECT_EQ(Get(root / "Zelbo.INI"), "[1.0]\r\nResource Path=E:\r\nn=4\r\n");
    EXPECT_EQ(store.GetStringNamed("1.0", "Resource Path", ""), "E:");
    EXPECT_EQ(store.GetIntNamed("1.0", "n", 0), 4);
}

struct AppPrefsCase {
    const char* name;
    DWORD version;
    const char* registryInstallPath;  // null: none written
    const char* ini;                  // C:\WINDOWS\Zelbo.INI, null: none
    const char* wantResourcePath;
    const char* wantRegistryInstallPath;
};

// Load reads the registry; on Windows NT an empty install path is first filled from the INI
// file. The install path in memory is the program's folder whatever was read.
TEST_F(SettingsStore, AppPrefsLoad) {
    const char* kIni = "[1.0]\r\nInstall Path=C:\\Old\\\r\nResource Path=E:\\Data\r\n";
    const AppPrefsCase cases[] = {
        {"95, nothing stored", plat::kVersionWin95, nullptr, kIni, "D:", ""},
        {"95, stored", plat::kVersionWin95, "C:\\Elsewhere\\", kIni, "F:", "C:\\Elsewhere\\"},
        {"NT, empty: from the INI file", plat::kVersionWinNT4, nullptr, kIni, "E:\\Data", "C:\\Old\\"},
        {"NT, empty and no INI file", plat::kVersionWinNT4, nullptr, nullptr, "D:", "C:\\Prog\\"},
        {"NT, stored", plat::kVersionWinNT4, "C:\\Elsewhere\\", kIni, "F:", "C:\\Elsewhere\\"},
    };
    for (const AppPrefsCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo\\1.0");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo\\General");
        std::filesystem::remove(root / "WINDOWS" / "Zelbo.INI");
        if (c.ini) Put(root / "WINDOWS" / "Zelbo.INI", c.ini);
        if (c.registryInstallPath) {
            CSettingsStore writer;
            writer.WriteStringNamed("1.0", "Install Path", c.registryInstallPath);
            writer.WriteStringNamed("1.0", "Resource Path", "F:");
            writer.WriteStringNamed("General", "Current User", "Anna");
        }
        plat::SetReportedVersion(c.version);
        CAppPrefs prefs;
        prefs.SetDefaults("C:\\Prog\\");
        EXPECT_EQ(prefs.GetCurrentUser(), c.registryInstallPath ? "Anna" : "G\xE4st");
        EXPECT_EQ(prefs.loaded, 1u);
        EXPECT_EQ(prefs.installPath, "C:\\Prog\\");
        EXPECT_EQ(prefs.resourcePath, c.wantResourcePath);
        EXPECT_EQ(prefs.loadedResourcePath, c.wantResourcePath);
        EXPECT_EQ(RegText("1.0", "Install Path"), c.wantRegistryInstallPath);
        EXPECT_EQ(prefs.mode, CSettingsStore::kModeRegistry);
    }
}

TEST_F(SettingsStore, AppPrefsSaveWritesTheThreeSettings) {
    CAppPrefs prefs;
    prefs.SetDefaults("C:\\Prog\\");
    prefs.Load();
    prefs.SetCurrentUser("\xC5sa");
    EXPECT_EQ(prefs.modified, 1u);
    prefs.resourcePath = "E:";
    prefs.Save();
    EXPECT_EQ(prefs.modified, 0u);
    EXPECT_EQ(RegText("1.0", "Install Path"), "C:\\Prog\\");
    EXPECT_EQ(RegText("1.0", "Resource Path"), "E:");
    EXPECT_EQ(RegText("General", "Current User"), "\xC5sa");

    CAppPrefs again;
    again.SetDefaults("C:\\Moved\\");
    again.Load();
    EXPECT_EQ(again.currentUser, "\xC5sa");
    EXPECT_EQ(again.installPath, "C:\\Moved\\");

    CAppPrefs* before = SetAppPrefs(&again);
    EXPECT_EQ(&GetAppPrefs(), &again);
    SetAppPrefs(before);
    EXPECT_NE(&GetAppPrefs(), &again);
}

}  // namespace
