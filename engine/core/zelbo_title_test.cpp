#include "engine/core/zelbo_title.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/engine_test_support.h"
#include "engine/core/module_registry.h"
#include "engine/scene/module_host.h"

namespace {

using enginetest::EngineTest;

TEST_F(EngineTest, TheEngineIsTheGamesTitleObject) {
    ASSERT_NE(theEngine, nullptr);
    EXPECT_NE(dynamic_cast<CZelboTitle*>(theEngine), nullptr);
    EXPECT_FALSE(theEngine->IsStarted());
}

TEST_F(EngineTest, TitleVirtuals) {
    CCorEngine& e = *theEngine;
    EXPECT_STREQ(e.GetAppKey(), "Zelbo");
    EXPECT_STREQ(e.GetTitle(), "Trumlaby");
    EXPECT_STREQ(e.GetVersionText(), "v0.1 - Alpha");
    EXPECT_EQ(e.GetHomeModule(), 1);
    EXPECT_EQ(e.GetBackgroundColor(), RGB(192, 192, 192));
    EXPECT_EQ(e.GetIntroRepeat(), 1);
    EXPECT_EQ(e.GetSampleRate(), 11025);
    EXPECT_EQ(e.GetMixerBufferParam(), 1750);
    int32_t width = 0, height = 0;
    e.GetScreenSize(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);

    // The title is the string table's, whatever it holds now.
    const plat::StringEntry other[] = {{57344, u8"Trumlaby på väg"}};
    plat::RegisterStringTable(other);
    EXPECT_STREQ(e.GetTitle(), "Trumlaby p\xE5 v\xE4g");
}

TEST_F(EngineTest, ModuleTables) {
    ModuleFunctionTable* eight = theEngine->GetModuleTable(8);
    ASSERT_NE(eight, nullptr);
    const ModuleFunctionTable empty{};
    EXPECT_EQ(std::memcmp(eight, &empty, sizeof empty), 0) << "module 8's table stays empty";
    for (int module : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 9, 1000}) EXPECT_EQ(theEngine->GetModuleTable(module), nullptr) << module;
}

// The program registers the tables of modules 1 to 6; a registered table wins over a module
// host's, taking it away gives the host's back, and no other number can be registered (module
// 8's table stays the engine's own).
TEST_F(EngineTest, RegisteredModuleTablesAreAnsweredForModulesOneToSix) {
    ModuleFunctionTable tables[6]{};
    for (int module = 1; module <= 6; ++module) EXPECT_TRUE(RegisterModuleTable(module, &tables[module - 1])) << module;
    for (int module = 1; module <= 6; ++module) EXPECT_EQ(theEngine->GetModuleTable(module), &tables[module - 1]) << module;

    ModuleFunctionTable other{};
    ModuleFunctionTable* const eight = theEngine->GetModuleTable(8);
    for (int module : {-1, 0, 7, 8, 9, 1000}) {
        EXPECT_FALSE(RegisterModuleTable(module, &other)) << module;
        EXPECT_EQ(RegisteredModuleTable(module), nullptr) << module;
    }
    EXPECT_EQ(theEngine->GetModuleTable(7), nullptr);
    EXPECT_EQ(theEngine->GetModuleTable(8), eight);

    {
        CModuleHost host(6);
        EXPECT_EQ(theEngine->GetModuleTable(6), &tables[5]) << "the registered table first";
        RegisterModuleTable(6, nullptr);
        EXPECT_EQ(theEngine->GetModuleTable(6), ModuleHostTable(6)) << "then the host's";
    }
    for (int module = 1; module <= 6; ++module) RegisterModuleTable(module, nullptr);
    for (int module = 1; module <= 6; ++module) EXPECT_EQ(theEngine->GetModuleTable(module), nullptr) << module;
}

TEST_F(EngineTest, SavedSettingsBytesAfterReset) {
    int32_t size = 0;
    auto* block = static_cast<uint8_t*>(theEngine->GetSavedSettings(size));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(size, 28);
    std::memset(block, 0xA5, 28);
    theEngine->ResetSavedSettings();
    const uint8_t expected[28] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(block, expected, 28), 0);

    // The preference record's defaults reset the block too.
    std::memset(block, 0xA5, 28);
    SetDefaultPrefs(theEngine->m_prefs);
    EXPECT_EQ(std::memcmp(block, expected, 28), 0);

    auto& settings = *static_cast<ActivitySettings*>(theEngine->GetSavedSettings(size));
    *settings.LevelOf(3) = 0x0102;
    EXPECT_EQ(block[18], 0x02);
    EXPECT_EQ(block[19], 0x01);
    EXPECT_EQ(settings.LevelOf(1), nullptr);
    EXPECT_EQ(settings.LevelOf(7), nullptr);
}

TEST_F(EngineTest, QuitGamePostsOneCloseToTheMainWindowAndNothingElse) {
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);
    theEngine->QuitGame();
    EXPECT_EQ(TakeCloses(), 1);
    EXPECT_TRUE(theEngine->IsStarted()) << "shutdown follows the window's destruction, not QuitGame";
    app.m_pMainWnd = nullptr;
    theEngine->QuitGame();  // no main window: nothing to post to
    app.m_pMainWnd = &mainWnd;
    EXPECT_EQ(TakeCloses(), 0);
}

// The engine base class's own answers, for a game that overrides only what it must.
class CBareEngine : public CCorEngine {
public:
    const char* GetAppKey() override { return "Bare"; }
    const char* GetTitle() override { return "Bare"; }
    const char* GetVersionText() override { return ""; }
    void OnStarted() override {}
    void OnShutdown() override {}
    ModuleFunctionTable* GetModuleTable(int) override { return nullptr; }
    void QuitGame() override {}
    int16_t EnterAdultArea() override { return 1; }
    void GetScreenSize(int32_t& w, int32_t& h) override { w = h = 0; }
};

TEST_F(EngineTest, BaseClassDefaultsAndASecondEngineStandsInWhileItLives) {
    CCorEngine* first = theEngine;
    plat::SetReportedVersion(plat::kVersionWin32s);
    {
        CBareEngine bare;
        EXPECT_EQ(theEngine, &bare);
        EXPECT_EQ(bare.m_platformVersion, plat::kVersionWin32s);
        EXPECT_EQ(bare.m_busyGuard, 1);
        EXPECT_EQ(bare.m_ctrlAltAEnabled, 1);
        EXPECT_EQ(bare.m_ctrlQEnabled, 1);
        int32_t size = 5;
        EXPECT_EQ(bare.GetSavedSettings(size), nullptr);
        EXPECT_EQ(size, 0);
        EXPECT_EQ(bare.GetBackgroundColor(), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(bare.GetHomeModule(), 1);
        // With no block, resetting the record's defaults touches no block.
        SetDefaultPrefs(bare.m_prefs);
        EXPECT_EQ(bare.m_prefs.showStopSign, 1u);
    }
    plat::SetReportedVersion(plat::kVersionWin95);
    EXPECT_EQ(theEngine, first);
}

// The record's engine defaults, at their file offsets.
TEST_F(EngineTest, PreferenceRecordDefaultsAtTheirOffsets) {
    CUserPrefs record;
    std::memset(&record, 0xEE, sizeof record);
    record.SetRecordDefaults();
    const auto* b = reinterpret_cast<const uint8_t*>(&record);
    struct Field {
        size_t offset;
        size_t width;
        uint32_t value;
    };
    for (const Field& f : {Field{0x00, 4, 0}, Field{0x04, 2, 0}, Field{0x06, 2, 0}, Field{0x08, 4, 1},
                           Field{0x0C, 4, 1}, Field{0x10, 4, 1}, Field{0x14, 4, 1}, Field{0x18, 4, 0},
                           Field{0x1C, 2, 4}, Field{0x1E, 2, 0}, Field{0x20, 4, 1}, Field{0x24, 4, 1},
                           Field{0x28, 4, 0}, Field{0x2C, 2, 1}, Field{0x2E, 2, 0}, Field{0x30, 4, 1},
                           Field{0x34, 4, 1}}) {
        uint32_t v = 0;
        for (size_t i = 0; i < f.width; ++i) v |= static_cast<uint32_t>(b[f.offset + i]) << (8 * i);
        EXPECT_EQ(v, f.value) << "offset " << f.offset;
    }
    for (size_t i = 0x38; i < sizeof record; ++i) EXPECT_EQ(b[i], 0) << "offset " << i;
}

// Names are copied as strings: a name without its terminator never carries bytes past its
// field, and what follows the terminator is not copied.
TEST_F(EngineTest, PreferenceRecordCopiesNamesAsStrings) {
    CUserPrefs source;
    source.SetRecordDefaults();
    source.volumePercent = 55;
    std::memset(source.printerDriver, 'D', sizeof source.printerDriver);
    std::strcpy(source.printerDevice, "HP");
    source.printerDevice[5] = 'x';
    CUserPrefs target;
    std::memset(&target, 0x77, sizeof target);
    target.CopyFrom(source);
    EXPECT_EQ(target.volumePercent, 55);
    EXPECT_EQ(std::string(target.printerDriver), std::string(12, 'D'));
    EXPECT_STREQ(target.printerDevice, "HP");
    EXPECT_EQ(target.printerDevice[5], 0);
    EXPECT_EQ(target.printerPort[0], 0);
    CUserPrefs back;
    target.CopyTo(back);
    EXPECT_EQ(std::memcmp(&back, &target, sizeof back), 0);
}

}  // namespace
