#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"

namespace {

using enginetest::EngineTest;

// A title whose home module has a table that logs each call with the engine's call depth.
class CLoggingTitle : public CZelboTitle {
public:
    CLoggingTitle() {
        table.Enter = [] { Log("Enter"); };
        table.Start = [] { Log("Start"); };
        table.Tick = [] {
            Log("Tick");
            if (nestKey) theEngine->OnEngineKeyDown('N');
        };
        table.KeyDown = [](int32_t key) { Log("Key " + std::to_string(key)); };
        table.Notify = [](int32_t kind) { Log("Notify " + std::to_string(kind)); };
        table.Leave = [] { Log("Leave"); };
        log.clear();
        nestKey = false;
    }
    ~CLoggingTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 1 ? &table : nullptr; }
    static void Log(const std::string& what) { log.push_back(what + " @" + std::to_string(theEngine->CallDepth())); }

    ModuleFunctionTable table{};
    static inline std::vector<std::string> log;
    static inline bool nestKey = false;
};

using Log = std::vector<std::string>;

// A stand-in screen: a memory DC with a bitmap of the screen's kind, filled white.
struct CWhiteScreen {
    CWhiteScreen() {
        HDC screenDc = GetDC(nullptr);
        dc = CreateCompatibleDC(screenDc);
        bitmap = CreateCompatibleBitmap(screenDc, 640, 480);
        ReleaseDC(nullptr, screenDc);
        old = SelectObject(dc, bitmap);
        Whiten();
    }
    ~CWhiteScreen() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Whiten() { PatBlt(dc, 0, 0, 640, 480, WHITENESS); }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

TEST_F(EngineTest, FirstPaintEntersTheHomeModuleAndPresentsItsBackground) {
    PutSharedFile(root / "Prog");
    PutModuleFile(root / "Prog", 1, ModuleFile(1));
    CLoggingTitle title;
    title.Startup(programFolder);
    CWhiteScreen screen;
    EXPECT_EQ(title.m_running, 0);
    title.PresentFrame(screen.dc, nullptr, 0, 0);
    EXPECT_EQ(title.m_running, 1);
    EXPECT_EQ(title.m_currentModule, 1);
    EXPECT_EQ(CLoggingTitle::log, (Log{"Enter @1", "Notify 1 @1", "Start @1"}));
    // The module's background: colour 10 of its palette, white.
    EXPECT_EQ(screen.At(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(title.m_busyGuard, 0);

    // Later paints present again without entering the module again.
    PatBlt(screen.dc, 0, 0, 640, 480, BLACKNESS);
    title.PresentFrame(screen.dc, nullptr, 0, 0);
    EXPECT_EQ(CLoggingTitle::log.size(), 3u);
    EXPECT_EQ(screen.At(320, 240), RGB(255, 255, 255));

    title.Shutdown();
    EXPECT_EQ(CLoggingTitle::log.back(), "Leave @0");
    EXPECT_EQ(title.m_moduleTable, nullptr);
}

TEST_F(EngineTest, NoPaintEntersAModuleBeforeStartupOrAfterShutdown) {
    CLoggingTitle title;
    CWhiteScreen screen;
    title.PresentFrame(screen.dc, nullptr, 0, 0);
    EXPECT_EQ(title.m_running, 0);
    EXPECT_TRUE(CLoggingTitle::log.empty());
    EXPECT_EQ(screen.At(0, 0), RGB(255, 255, 255));
}

// Idle steps, keys and clicks reach the module only while it runs and the toolbox is not busy;
// a call made from inside another counts one deeper.
TEST_F(EngineTest, IdleKeysAndClicksAreDispatchedOnlyWhileRunningAndNotBusy) {
    PutSharedFile(root / "Prog");
    PutModuleFile(root / "Prog", 1, ModuleFile(1));
    CLoggingTitle title;
    title.Startup(programFolder);
    title.RunIdle();
    title.OnEngineKeyDown('A');
    title.OnEngineLButtonDown(POINT{5, 6});
    EXPECT_TRUE(CLoggingTitle::log.empty()) << "nothing runs before the first paint";
    EXPECT_EQ(title.m_lastClickX, 0);

    CWhiteScreen screen;
    title.PresentFrame(screen.dc, nullptr, 0, 0);
    CLoggingTitle::log.clear();
    title.RunIdle();
    title.OnEngineKeyDown('A');
    title.OnEngineLButtonDown(POINT{5, 6});
    EXPECT_EQ(title.m_lastClickX, 5);
    EXPECT_EQ(title.m_lastClickY, 6);
    title.m_busyLevel = 1;
    title.OnEngineKeyDown('B');
    title.OnEngineLButtonDown(POINT{7, 8});
    EXPECT_EQ(title.m_lastClickX, 5);
    title.m_busyLevel = 0;
    head->Advance(20);
    CLoggingTitle::nestKey = true;
    title.RunIdle();
    EXPECT_EQ(CLoggingTitle::log, (Log{"Tick @1", "Key 65 @1", "Tick @1", "Key 78 @2"}));
    EXPECT_EQ(title.CallDepth(), 0);
}

// The depth falls back when a call leaves by an exception (the fatal handler's exit).
TEST_F(EngineTest, CallDepthUnwindsWithExceptions) {
    try {
        CEngineCall outer;
        CEngineCall inner;
        EXPECT_EQ(theEngine->CallDepth(), 2);
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(theEngine->CallDepth(), 0);
    theEngine->SetClosePending(true);
    EXPECT_TRUE(theEngine->ClosePending());
    theEngine->SetClosePending(false);
}

}  // namespace
