// The activity kit: a started engine with one module entered in virtual time, for the tests of an
// activity (or of the hub), on the headless back end.
//
//   class DuravodTest : public activitytest::ActivityTest {
//   protected:
//       void SetUp() override {
//           ActivityTest::SetUp();
//           UseBuiltFile(kDuravodModule);            // or UseModuleFile(2, a CResWriter)
//           EnterModule(kDuravodModule, DuravodModuleTable());
//       }
//   };
//
// SetUp installs the built Zelbo0.res, the preference files (CPrefsFileStore) and the game's
// folder; EnterModule seeds the runtime's generator, starts the engine (the current player is
// the guest, made on this first run), enters the home module (a plain stand-in of the kit's
// unless the test gives one) and then the module under test, whose table GetModuleTable
// answers, and runs until its entry is over. Input goes through the engine's own dispatch as
// the game view delivers it: ClickSprite, ClickAt, DragSprite, Key; RunUntil lets virtual time
// pass. The records read what the module did: the clips started, the sprites (picture, place,
// order), the texts, the idle timers, the saved-settings block and the player's file.
//
// A module that reads its level from the player's file is entered with EnterFromHome: the home
// module's first Start writes a HomeSetting (the module's stored level and the two flags) into
// the guest's block and saves the file, as the hub leaves it after the grown-ups set them.
// CaptureTraces sends the trace lines (MonoDebugWrite's included) to a file that Traces reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/base/activity_settings.h"
#include "engine/base/standin_table.h"
#include "engine/core/engine_hosts.h"
#include "engine/core/engine_test_support.h"
#include "engine/core/launcher_test_support.h"
#include "engine/core/module_registry.h"
#include "engine/core/zelbo_title.h"
#include "engine/base/user_prefs.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_list.h"
#include "engine/players/prefs_file.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/res/res_writer.h"
#include "media/util/mono_debug.h"
#include "platform/core/crt.h"
#include "platform/fs/dospath.h"
#include "platform/mci/debug_display.h"

namespace activitytest {

// A sprite as the test sees it: its picture (module-relative), its place (picture coordinates)
// and its place in the display list (0 the backmost).
struct SpriteRecord {
    int16_t picture = 0;
    int16_t x = 0;
    int16_t y = 0;
    size_t order = 0;
    bool operator==(const SpriteRecord&) const = default;
};

// What the home module writes into the guest's block before the module under test is entered:
// the module's level in its stored form (module_level.h) and the two flags.
struct HomeSetting {
    uint16_t stored = 0;
    uint32_t levelsSaved = 1;
    uint32_t mayChangeLevel = 1;
};

// The switch-access targets in the order the scanner steps through them.
inline std::vector<CScanTarget*> ScanTargetsInOrder() { return theEngine->m_scanner.TargetsInOrder(); }

class ActivityTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        m_savedPictures = InstallPictureItems();
        m_savedAppPrefs = SetAppPrefs(&m_appPrefs);
        m_appPrefs.SetDefaults(programFolder);
        m_appPrefs.Load();
        m_savedStore = SetPrefsStore(&m_files);
        UseBuiltFile(0);
    }

    void TearDown() override {
        // The engine object outlives the test: a close the test left pending goes with it, and
        // so does a launcher the test made.
        if (theEngine) theEngine->SetClosePending(false);
        if (theEngine && m_launcher) {
            theEngine->m_launcherMode = 0;
            theEngine->m_launcherSwapPath[0] = '\0';
        }
        if (theEngine) theEngine->Shutdown();
        HomeWrite() = {};
        if (m_tracing) {
            MonoDebugClose();
            plat::SetTraceTarget(std::nullopt);
        }
        for (int module : m_registered) RegisterModuleTable(module, nullptr);
        SetPrefsStore(m_savedStore);
        SetAppPrefs(m_savedAppPrefs);
        SetEnginePictureItems(m_savedPictures);
        EngineTest::TearDown();
    }

    // The child launcher runs the game: its files in C:\ (engine/core/launcher_test_support.h)
    // and the engine's launcher mode as start-up would have found it.
    void UseLauncher(const LauncherFiles& files) {
        WriteLauncherFiles(root / "ZADARO.SWP", root / "ZADARO", files);
        std::strcpy(theEngine->m_launcherSwapPath, "C:\\ZADARO.SWP");
        theEngine->m_launcherMode = 1;
        m_launcher = true;
    }

    // The built "Zelbo<module>.res" (ZELBO_RES_DIR) in the game's folder.
    void UseBuiltFile(int module) {
        const std::string name = "Zelbo" + std::to_string(module) + ".res";
        std::filesystem::copy_file(std::filesystem::path(ZELBO_RES_DIR) / name, root / "Prog" / name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    // A module file made by the test in the game's folder.
    void UseModuleFile(int module, const media::CResWriter& w) { PutModuleFile(root / "Prog", module, w); }
    // What every module file holds (ModuleFile: palette, picture size, background) and the two
    // sounds its entry plays, the chime 991 and the introduction 990; a test adds its items.
    static media::CResWriter EnteredModuleFile(int module) {
        media::CResWriter w = ModuleFile(module);
        w.Add("SND", module * 1000 + 991, enginetest::Bytes(300, 150));
        w.Add("SND", module * 1000 + 990, enginetest::Bytes(600, 110));
        return w;
    }

    // Starts the engine with the generator seeded, enters the home module (the given table, else
    // a stand-in of the kit's over a plain file, unless the test put one there) and then the
    // module (when it is not the home module), and runs until the module's entry is over.
    void EnterModule(int module, ModuleFunctionTable* table, uint32_t seed = 1, ModuleFunctionTable* home = nullptr) {
        Register(module, table);
        if (module != 1) {
            if (!std::filesystem::exists(root / "Prog" / "Zelbo1.res")) PutModuleFile(root / "Prog", 1, EnteredModuleFile(1));
            Register(1, home ? home : &m_homeStandIn);
        }
        plat::SRand(seed);
        theEngine->Startup(programFolder);
        plat::SRand(seed);
        theEngine->PresentFrame(nullptr, nullptr, 0, 0);
        if (module != 1) EngineGoToModule(module);
        ASSERT_EQ(theEngine->m_currentModule, module);
    }
    // EnterModule after a home module whose first Start writes the setting for the module into
    // the guest's block and saves the player's file; the home table given (else the kit's
    // stand-in) keeps its other entries, its Start replaced.
    void EnterFromHome(int module, ModuleFunctionTable* table, const HomeSetting& setting, uint32_t seed = 1,
                       const ModuleFunctionTable* home = nullptr) {
        HomeWrite() = PendingHomeWrite{module, setting, true};
        m_writingHome = home ? *home : m_homeStandIn;
        m_writingHome.Start = WriteHomeSetting;
        EnterModule(module, table, seed, &m_writingHome);
    }
    // Leaves the module as the home button does and runs until the home module is entered.
    void LeaveModule() {
        CEngineCall call;
        theEngine->LeaveModule();
    }

    // ---- Input, through the engine's dispatch ---------------------------------------------------

    // A left click at a point of the picture; a release follows 30 virtual ms later (a button the
    // module tracks sees it).
    void ClickAt(int16_t x, int16_t y) {
        const POINT p = WindowPoint(x, y);
        Release(p, 30);
        theEngine->OnEngineLButtonDown(p);
    }
    // A click at the middle of the sprite's picture.
    void ClickSprite(CCorAnim* sprite) {
        const POINT c = Centre(sprite);
        ClickAt(static_cast<int16_t>(c.x), static_cast<int16_t>(c.y));
    }
    // Presses on the sprite, moves the pointer to (x, y) of the picture in steps and releases it
    // there; the module's click handler runs the drag.
    void DragSprite(CCorAnim* sprite, int16_t x, int16_t y, int steps = 8) {
        const POINT from = Centre(sprite);
        const POINT start = WindowPoint(static_cast<int16_t>(from.x), static_cast<int16_t>(from.y));
        const POINT to = WindowPoint(x, y);
        for (int i = 1; i <= steps; ++i) {
            head->MouseMove(head->NowMs() + 10 * static_cast<uint64_t>(i), start.x + (to.x - start.x) * i / steps,
                            start.y + (to.y - start.y) * i / steps);
        }
        Release(to, 10 * static_cast<uint64_t>(steps) + 10);
        theEngine->OnEngineLButtonDown(start);
    }
    // A press at (x, y) of the picture; the pointer then moves through the points of the path,
    // stepMs virtual ms apart, and is let go at the last (a path that leaves a place and comes
    // back, or waits over it); the module's click handler runs the drag.
    void PressAndMove(int16_t x, int16_t y, const std::vector<POINT>& path, uint64_t stepMs = 10) {
        const POINT start = WindowPoint(x, y);
        POINT end = start;
        uint64_t t = 0;
        for (const POINT& p : path) {
            end = WindowPoint(static_cast<int16_t>(p.x), static_cast<int16_t>(p.y));
            head->MouseMove(head->NowMs() + (t += stepMs), end.x, end.y);
        }
        Release(end, t + stepMs);
        theEngine->OnEngineLButtonDown(start);
    }
    // The primary button goes down at (x, y) of the picture now, as the press that starts a drag
    // finds it held; its message is not left queued (the test hands the press to the engine,
    // with PressAndMove for one).
    void HoldButtonDown(int16_t x, int16_t y) {
        const POINT p = WindowPoint(x, y);
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseDown;
        ev.x = p.x;
        ev.y = p.y;
        head->QueueInput(head->NowMs(), ev);
        IsMouseDown();
        FlushEvents(1);
    }
    // A press at (x, y) of the picture that much virtual time from now, its release 30 ms later:
    // a click that arrives while the module waits (queued, as the back end posts it).
    void PressLater(int16_t x, int16_t y, uint64_t afterMs) {
        const POINT p = WindowPoint(x, y);
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseDown;
        ev.x = p.x;
        ev.y = p.y;
        head->QueueInput(head->NowMs() + afterMs, ev);
        Release(p, afterMs + 30);
    }
    // A close of the main window that much virtual time from now, as the game's frame takes it
    // while a module's handler runs: pending, to be carried out once the handler returns.
    void CloseLater(uint64_t afterMs) {
        head->At(head->NowMs() + afterMs, [] {
            if (theEngine) theEngine->SetClosePending(true);
        });
    }
    // The module the engine runs.
    static int CurrentModule() { return theEngine ? theEngine->m_currentModule : 0; }
    // A key as the view passes it on (the engine's hot keys first, then the module's KeyDown).
    void Key(int32_t virtualKey) { theEngine->OnEngineKeyDown(virtualKey); }
    // Leaves the module the engine runs and enters it again at once.
    static void ReenterModule() { EngineGoToModule(CurrentModule()); }
    // Switch access on or off, as the grown-ups' setting turns it.
    static void SetSwitchAccess(bool on) { theEngine->m_scanner.Enable(on ? TRUE : FALSE); }
    // Switch access allowed by the player's setting and on, as the engine starts with it: the
    // engine's suspending and resuming (EngineSuspendScan, EngineResumeScan) then act on it.
    static void AllowSwitchAccess() {
        theEngine->m_prefs.scanningAllowed = 1;
        SetSwitchAccess(true);
    }
    // Idle steps (each one engine tick or more) until done answers true or maxMs virtual
    // milliseconds have passed; whether it was done.
    bool RunUntil(const std::function<bool()>& done, uint64_t maxMs = 10000) {
        const uint64_t end = head->NowMs() + maxMs;
        while (!done()) {
            if (head->NowMs() >= end) return false;
            Delay(1);
        }
        return true;
    }
    // Lets the time pass, the engine stepping as its timer would.
    void RunFor(uint64_t ms) {
        const uint64_t end = head->NowMs() + ms;
        RunUntil([&] { return head->NowMs() >= end; }, ms + 100);
    }

    // ---- Records --------------------------------------------------------------------------------

    // From here on the trace lines, MonoDebugWrite's included, go to a file of the test's.
    void CaptureTraces() {
        m_trace = tmp / "trace.txt";
        plat::SetTraceTarget(m_trace.string());
        MonoDebugOpen();
        m_tracing = true;
    }
    // The trace lines written since CaptureTraces.
    std::string Traces() const {
        std::ifstream in(m_trace, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // The clips started since the last ClearClips (module-relative ids; scripts, PlaySnd and
    // talks alike).
    std::vector<int16_t> Clips() const {
        std::vector<int16_t> ids;
        for (int32_t id : theEngine->m_sounds.StartedClips()) ids.push_back(static_cast<int16_t>(id % 1000));
        return ids;
    }
    void ClearClips() { theEngine->m_sounds.ClearStartedClips(); }
    // Every sprite of the display list, backmost first.
    static std::vector<SpriteRecord> Sprites() {
        std::vector<SpriteRecord> out;
        for (CCorAnim* s : theEngine->m_anims.Objects())
            out.push_back(SpriteRecord{GetSpriteFrame(s), GetSpriteX(s), GetSpriteY(s), out.size()});
        return out;
    }
    // The sprites showing the picture, backmost first.
    static std::vector<CCorAnim*> SpritesShowing(int16_t picture) {
        std::vector<CCorAnim*> out;
        for (CCorAnim* s : theEngine->m_anims.Objects())
            if (GetSpriteFrame(s) == picture) out.push_back(s);
        return out;
    }
    // The text items' texts, in list order.
    static std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (const auto& text : theEngine->m_texts) out.emplace_back(static_cast<const char*>(text->Text()));
        return out;
    }
    static size_t IdleTimers() { return theEngine->m_idles.GetCount(); }
    static ActivitySettings Settings() { return SettingsBlock(); }
    // The engine's own saved-settings block, as the grown-ups' sheet is handed it.
    static ActivitySettings& SettingsBlock() {
        int32_t size = 0;
        return *static_cast<ActivitySettings*>(theEngine->GetSavedSettings(size));
    }
    // The bytes of the current player's preference file (in the player's folder); empty when
    // there is none.
    std::vector<uint8_t> PlayerFile() const {
        const std::string folder = PrefsStore().PlayerFolder();
        char name[64] = {};
        if (folder.empty() || !GetPrefsFileName(name, sizeof name)) return {};
        const auto path = plat::ResolveDosPath(folder + name);
        if (!path) return {};
        std::ifstream in(*path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    // The module's stored level in the current player's file (the record, then the block); -1
    // when the file is too short to hold it or the module keeps no level.
    int StoredLevelInFile(int module) const {
        ActivitySettings block{};
        const uint16_t* level = block.LevelOf(module);
        if (!level) return -1;
        const size_t at = sizeof(CUserPrefs) + static_cast<size_t>(reinterpret_cast<const uint8_t*>(level) -
                                                                   reinterpret_cast<const uint8_t*>(&block));
        const std::vector<uint8_t> file = PlayerFile();
        return file.size() >= at + 2 ? file[at] | file[at + 1] << 8 : -1;
    }

private:
    struct PendingHomeWrite {
        int module = 0;
        HomeSetting setting{};
        bool pending = false;
    };
    static PendingHomeWrite& HomeWrite() {
        static PendingHomeWrite write;
        return write;
    }
    // The home module's Start under EnterFromHome: the first one writes the setting.
    static void WriteHomeSetting() {
        PendingHomeWrite& write = HomeWrite();
        if (!write.pending) return;
        write.pending = false;
        int16_t size = 0;
        auto* block = static_cast<ActivitySettings*>(GetSavedSettingsBlock(size));
        block->levelsSaved = write.setting.levelsSaved;
        block->childMayChangeLevel = write.setting.mayChangeLevel;
        if (uint16_t* level = block->LevelOf(write.module)) *level = write.setting.stored;
        SavePlayerPrefs();
    }

    void Register(int module, ModuleFunctionTable* table) {
        RegisterModuleTable(module, table);
        m_registered.push_back(module);
    }
    static void EngineGoToModule(int module) {
        CEngineCall call;
        theEngine->UnloadModule(TRUE);
        theEngine->GoToModule(module, TRUE);
    }
    static POINT WindowPoint(int16_t x, int16_t y) {
        return POINT{x + theEngine->m_originX, y + theEngine->m_originY};
    }
    static POINT Centre(CCorAnim* sprite) {
        int16_t w = 0, h = 0;
        GetPictureSize(GetSpriteFrame(sprite), w, h);
        return POINT{GetSpriteX(sprite) + w / 2, GetSpriteY(sprite) + h / 2};
    }
    void Release(POINT p, uint64_t dt) {
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseUp;
        ev.x = p.x;
        ev.y = p.y;
        head->QueueInput(head->NowMs() + dt, ev);
    }

    ModuleFunctionTable m_homeStandIn = MakeStandInTable({0, 2, 6, 7, 9, 14, 15});
    ModuleFunctionTable m_writingHome{};
    std::filesystem::path m_trace;
    bool m_tracing = false;
    CAppPrefs m_appPrefs;
    CPrefsFileStore m_files;
    std::vector<int> m_registered;
    IResItemHost* m_savedPictures = nullptr;
    CAppPrefs* m_savedAppPrefs = nullptr;
    IPrefsStore* m_savedStore = nullptr;
    bool m_launcher = false;
};

}  // namespace activitytest
