// Entering and leaving modules through their tables: the call order, the picture origin, the
// palette, the navigation buttons, the introduction, and what leaving takes away.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "media/res/chunk_pool.h"
#include "media/res/item_cache.h"
#include "media/res/res_item.h"
#include "media/res/res_item_table.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "media/text/text_host.h"
#include "platform/afx/message_box.h"

namespace {

using enginetest::Bytes;
using enginetest::EngineTest;
using Log = std::vector<std::string>;
using plat::InputKind;

// A title whose modules 1 to 3 have tables that log every call (with the current and previous
// module at Enter) and the virtual time of Enter.
class CRecordingTitle : public CZelboTitle {
public:
    CRecordingTitle() {
        log.clear();
        beginLeave = 0;
        onEnter = nullptr;
        onLeave = nullptr;
        for (ModuleFunctionTable& t : tables) {
            t.Enter = [] {
                Record("Enter " + std::to_string(theEngine->m_currentModule) + "/" +
                    std::to_string(theEngine->m_previousModule));
                enterMs = plat::NowMs64();
                if (onEnter) onEnter();
            };
            t.Start = [] { Record("Start"); };
            t.Notify = [](int32_t kind) { Record("Notify " + std::to_string(kind)); };
            t.BeginLeave = [] {
                Record("BeginLeave");
                return beginLeave;
            };
            t.Leave = [] {
                Record("Leave");
                if (onLeave) onLeave();
            };
        }
    }
    ~CRecordingTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override {
        return module >= 1 && module <= 3 ? &tables[static_cast<size_t>(module - 1)] : nullptr;
    }
    void QuitGame() override {
        ++quits;
        CZelboTitle::QuitGame();
    }
    static void Record(const std::string& what) { log.push_back(what); }

    std::array<ModuleFunctionTable, 3> tables{};
    int quits = 0;
    static inline std::vector<std::string> log;
    static inline int16_t beginLeave = 0;
    static inline uint64_t enterMs = 0;
    static inline void (*onEnter)() = nullptr;
    static inline void (*onLeave)() = nullptr;
};

class ModuleSwitchTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        for (int m = 1; m <= 3; ++m) modules[m] = ModuleFile(m);
    }
    // Writes the shared file and the module files, and starts the engine.
    void Start(CRecordingTitle& title) {
        PutSharedFile(root / "Prog", shared);
        for (auto& [m, w] : modules) PutModuleFile(root / "Prog", m, w);
        title.Startup(programFolder);
        title.m_prefs.playIntroSound = 0;
    }
    media::CResWriter shared = SharedFile();
    std::map<int, media::CResWriter> modules;
};

// Current and previous module, and the calls, for a sequence of entries.
TEST_F(ModuleSwitchTest, EntriesCallTheTableInOrderAndKeepTheModuleNumbers) {
    CRecordingTitle title;
    Start(title);
    // Notify 4 tells a module that it was entered with the previous module equal to itself
    // (previousBefore sets that up, as the grown-ups' section can leave it).
    struct Step {
        int module;
        BOOL full;
        int previousBefore;  // -1: as it is
        Log calls;
        int current, previous, prefsReads;
    };
    const Step steps[] = {
        {1, TRUE, -1, {"Enter 1/0", "Notify 1", "Start"}, 1, 0, 1},
        {2, FALSE, -1, {"Enter 2/1"}, 2, 1, 0},
        {2, TRUE, -1, {"Enter 2/1", "Notify 1", "Start"}, 2, 1, 0},  // re-entry keeps the previous
        {2, TRUE, 2, {"Enter 2/2", "Notify 4", "Start"}, 2, 2, 0},
        {3, TRUE, -1, {"Enter 3/2", "Notify 1", "Start"}, 3, 2, 0},
        {1, FALSE, -1, {"Enter 1/3"}, 1, 3, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE("module " + std::to_string(s.module));
        CRecordingTitle::log.clear();
        if (s.previousBefore >= 0) title.m_previousModule = s.previousBefore;
        store.reads = 0;
        title.m_textStyle.foreground = RGB(1, 2, 3);
        title.m_textStyle.background = RGB(4, 5, 6);
        title.m_textStyle.mode = 0;
        title.GoToModule(s.module, s.full);
        // Every entry gives the toolbox's text style colour 0 (black) on 14 (white), mode 4.
        const TextStyleRecord style = TextHost().CurrentTextStyle();
        EXPECT_EQ(style.foreground, RGB(0, 0, 0));
        EXPECT_EQ(style.background, RGB(255, 255, 255));
        EXPECT_EQ(style.mode, 4);
        EXPECT_EQ(CRecordingTitle::log, s.calls);
        EXPECT_EQ(title.m_currentModule, s.current);
        EXPECT_EQ(title.m_previousModule, s.previous);
        EXPECT_EQ(store.reads, s.prefsReads) << "the player's levels are read again at home only";
        EXPECT_EQ(title.m_busyLevel, 0);
        EXPECT_EQ(title.m_busyGuard, 0);
        EXPECT_TRUE(title.m_resFiles[static_cast<size_t>(s.module)].IsOpen());
        title.UnloadModule(FALSE);
    }
}

// The origin centres the module's picture size ('PNT' m001; 512 x 342 without one); a module
// without its own palette is shown in palette 0.
TEST_F(ModuleSwitchTest, OriginFromThePictureSizeAndPaletteFallback) {
    modules[2] = ModuleFile(2, 600, 420);
    media::CResWriter bare;  // module 3: no 'PNT', no 'PAL'
    bare.Add("SPR", 3000, enginetest::Picture(8, 8, 10));
    modules[3] = bare;
    CRecordingTitle title;
    Start(title);
    struct Case {
        int module;
        int x, y;
        int palette;
    };
    for (const Case& c : {Case{1, 0, 0, 1000}, Case{2, 20, 30, 2000}, Case{3, 64, 69, 0}}) {
        SCOPED_TRACE("module " + std::to_string(c.module));
        title.GoToModule(c.module, TRUE);
        EXPECT_EQ(title.m_originX, c.x);
        EXPECT_EQ(title.m_originY, c.y);
        EXPECT_EQ(title.m_paletteShown, c.palette);
        EXPECT_EQ(title.m_paletteWanted, c.palette);
        EXPECT_EQ(title.m_frameSurface->Palette(), title.m_screenPalette->GetPalette());
        title.UnloadModule(FALSE);
    }
}

// Which navigation buttons an entry makes: the home module's quit button only with the stop
// sign, the home button everywhere else, the middle and right ones by their flags (hidden).
TEST_F(ModuleSwitchTest, NavigationButtonsFollowThePreferenceFlags) {
    for (int id = 100; id <= 107; ++id) shared.Add("SPR", id, enginetest::Picture(4, 4, 10));
    // The flags set below stay: reading the player's levels again changes nothing here.
    struct CKeepingStore : IPrefsStore {
        int ReadUserPrefs() override { return 1; }
    } keeping;
    IPrefsStore* saved = SetPrefsStore(&keeping);
    CRecordingTitle title;
    Start(title);
    struct Case {
        int module;
        uint32_t stopSign, middle, printing;
        int leftFirst;  // 0: no left button
        bool middleMade, rightMade;
    };
    const Case cases[] = {
        {1, 1, 0, 0, 100, false, false}, {1, 0, 1, 1, 0, true, true},
        {2, 0, 0, 0, 102, false, false}, {2, 1, 1, 0, 102, true, false},
        {3, 0, 0, 1, 102, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("module " + std::to_string(c.module) + " stop " + std::to_string(c.stopSign));
        title.m_prefs.showStopSign = c.stopSign;
        title.m_prefs.showMiddleButton = c.middle;
        title.m_prefs.printingOn = c.printing;
        title.GoToModule(c.module, TRUE);
        const std::array<CTwoStateButton, 3>& b = title.m_buttons;
        EXPECT_EQ(b[0].GetFirst() != nullptr, c.leftFirst != 0);
        EXPECT_EQ(b[0].IsVisible(), c.leftFirst != 0);
        if (c.leftFirst) {
            EXPECT_EQ(b[0].GetFirst(), GetResItem(c.leftFirst, FALSE));
            EXPECT_EQ(b[0].GetPosition().x, 6);
            EXPECT_EQ(b[0].GetPosition().y, 480 - 39);
            EXPECT_EQ(b[0].GetState(), 0);
        }
        EXPECT_EQ(b[1].GetFirst() != nullptr, c.middleMade);
        EXPECT_EQ(b[2].GetFirst() != nullptr, c.rightMade);
        EXPECT_FALSE(b[1].IsVisible());
        EXPECT_FALSE(b[2].IsVisible());
        if (c.middleMade) {
            EXPECT_EQ(b[1].GetPosition().x, 640 - 112);
        }
        if (c.rightMade) {
            EXPECT_EQ(b[2].GetPosition().x, 640 - 38);
        }
        title.UnloadModule(FALSE);
    }
    title.Shutdown();
    SetPrefsStore(saved);
}

// The navigation pictures are remapped from the pixels the file holds on every entry, never
// from pixels an earlier entry remapped, and a purge of the pool while a module is shown does
// not bring back the pixels as loaded.
TEST_F(ModuleSwitchTest, NavigationPicturesAreRemappedFromTheLoadedPixels) {
    const std::array<uint8_t, 3> ochre{200, 100, 50};
    std::vector<std::array<uint8_t, 3>> p0(50, {0, 0, 0});
    p0[20] = ochre;
    p0[30] = {10, 200, 10};
    p0[40] = {10, 10, 200};
    shared = media::CResWriter();
    shared.Add("SPR", 1, enginetest::Picture(4, 2, 9));
    shared.Add("PAL", 0, enginetest::Palette(p0));
    shared.Add("SPR", 102, enginetest::Picture(4, 4, 20));
    shared.Add("SPR", 103, enginetest::Picture(4, 4, 20));
    for (int m : {2, 3}) {
        std::vector<std::array<uint8_t, 3>> pm(50, {0, 0, 0});
        pm[m == 2 ? 30 : 40] = ochre;
        media::CResWriter w;
        w.Add("PAL", m * 1000, enginetest::Palette(pm));
        w.Add("SPR", m * 1000, enginetest::Picture(8, 8, 10));
        modules[m] = w;
    }
    CRecordingTitle title;
    Start(title);
    for (int round = 0; round < 3; ++round) {
        for (int m : {2, 3}) {
            SCOPED_TRACE("round " + std::to_string(round) + " module " + std::to_string(m));
            title.GoToModule(m, TRUE);
            CSprite* picture = title.m_buttons[0].GetFirst();
            ASSERT_NE(picture, nullptr);
            ASSERT_NE(picture->Bits(), nullptr);
            EXPECT_EQ(picture->Bits()[0], m == 2 ? 30 : 40);
            TheChunkPool().Purge(100000);
            const auto* pixels = static_cast<const uint8_t*>(picture->GetData());
            ASSERT_NE(pixels, nullptr);
            EXPECT_EQ(pixels[0], m == 2 ? 30 : 40) << "after a purge";
            title.UnloadModule(FALSE);
        }
    }
}

// A later entry plays its chime out before anything of the module runs, while the first entry
// of a run builds and shows its scene as the chime plays (the introduction still waits for the
// chime); the introduction ends early on a key press or a button press but not on a key
// release, and the input that ended it is gone.
TEST_F(ModuleSwitchTest, TheIntroductionIsCutShortByAPressAndTheInputDiscarded) {
    media::CResWriter m2 = ModuleFile(2);
    m2.Add("SND", 2991, Bytes(3308, 0xA0));   // 0.3 s
    m2.Add("SND", 2990, Bytes(22050, 0xA0));  // 2 s
    modules[2] = m2;
    CRecordingTitle title;
    Start(title);
    ASSERT_TRUE(title.m_sounds.IsOutputOpen());
    title.m_prefs.playIntroSound = 1;
    struct Case {
        const char* name;
        InputKind kind;
        bool cut;
    };
    for (const Case& c : {Case{"key down", InputKind::KeyDown, true}, Case{"key up", InputKind::KeyUp, false},
                          Case{"button", InputKind::MouseDown, true}}) {
        SCOPED_TRACE(c.name);
        CRecordingTitle::log.clear();
        const uint64_t start = plat::NowMs64();
        plat::InputEvent ev;
        ev.kind = c.kind;
        ev.vk = 'K';
        ev.x = 300;
        ev.y = 200;
        head->QueueInput(start + 1100, ev);
        const bool firstEntry = !title.m_anyFrameShown;
        // Whether a frame was presented while the chime still played.
        const uint64_t presentsBefore = head->PresentCount();
        bool framedDuringChime = false;
        head->At(start + 250, [&] { framedDuringChime = head->PresentCount() > presentsBefore; });
        title.GoToModule(2, TRUE);
        const uint64_t took = plat::NowMs64() - start;
        if (firstEntry) {
            EXPECT_LT(CRecordingTitle::enterMs - start, 300u) << "the first entry does not wait for the chime";
            EXPECT_TRUE(framedDuringChime) << "its frame goes up while the chime plays";
        } else {
            EXPECT_GE(CRecordingTitle::enterMs - start, 300u) << "the chime plays out first";
            EXPECT_FALSE(framedDuringChime);
        }
        if (c.cut) {
            EXPECT_LT(took, 1300u);
        } else {
            EXPECT_GE(took, 2300u);
        }
        EXPECT_EQ(CRecordingTitle::log.back(), "Start");
        MSG msg;
        EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
        EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
        title.UnloadModule(FALSE);
    }
}

// An entry fades the old screen out and the new one in, 20 ticks each; the first entry finds
// the view black and fades only in, and its frame comes under a black palette, never in full
// colour before the fade.
TEST_F(ModuleSwitchTest, TheFirstEntryFadesOnlyIn) {
    CRecordingTitle title;
    Start(title);
    CRecordingTitle::onEnter = [] { CRecordingTitle::Record("frames " + std::to_string(theEngine->m_anyFrameShown)); };
    struct Case {
        int module;
        uint64_t atLeastMs, belowMs;
    };
    for (const Case& c : {Case{1, 320, 400}, Case{2, 650, 720}}) {
        SCOPED_TRACE("module " + std::to_string(c.module));
        title.GoToModule(c.module, FALSE);
        const uint64_t took = plat::NowMs64() - CRecordingTitle::enterMs;
        EXPECT_GE(took, c.atLeastMs);
        EXPECT_LT(took, c.belowMs);
        EXPECT_TRUE(title.m_anyFrameShown);
        title.UnloadModule(FALSE);
    }
    CRecordingTitle::onEnter = nullptr;
    EXPECT_EQ(CRecordingTitle::log, (Log{"Enter 1/0", "frames 0", "Leave", "Enter 2/1", "frames 1", "Leave"}));
}

// Leaving takes the module's items out of the cache (ids m000 to m999 only), but not a
// picture the module made and filled (not purgeable, as a blank picture is), and runs the
// leaving animation only when asked for.
TEST_F(ModuleSwitchTest, UnloadingEmptiesTheModulesRangeOfTheCache) {
    modules[2].Add("SPR", 2500, enginetest::Picture(4, 4, 10));
    modules[2].Add("SPR", 2600, enginetest::Picture(4, 4, 10));
    modules[2].Add("SPR", 2999, enginetest::Picture(4, 4, 10));
    modules[3].Add("SPR", 3000, enginetest::Picture(4, 4, 10));
    shared.Add("SPR", 500, enginetest::Picture(4, 4, 10));
    CRecordingTitle title;
    Start(title);
    title.GoToModule(2, TRUE);
    for (int32_t id : {2500, 2600, 2999, 500}) ASSERT_NE(GetResItem(id, TRUE), nullptr) << id;
    GetResItem(2600, TRUE)->m_purgeable = 0;
    CResItemTable& cache = *title.m_itemCache;
    CRecordingTitle::beginLeave = 1;
    CRecordingTitle::log.clear();
    title.UnloadModule(FALSE);
    EXPECT_EQ(CRecordingTitle::log, (Log{"Leave"})) << "no BeginLeave without the leaving animation";
    for (int32_t id : {2000, 2500, 2999}) EXPECT_EQ(cache.Find(id), nullptr) << id;
    EXPECT_NE(cache.Find(500), nullptr);
    EXPECT_NE(cache.Find(2600), nullptr) << "a picture that is not purgeable stays";
    EXPECT_NE(cache.Find(1), nullptr);
    EXPECT_FALSE(title.m_resFiles[2].IsOpen());
    EXPECT_EQ(title.m_moduleTable, nullptr);
    EXPECT_EQ(title.m_currentModule, 2);
}

// An ambient script that never ends (or is held) must not keep the module from leaving: the
// leaving animation runs frames while a script is still running, and no longer.
TEST_F(ModuleSwitchTest, AnEndlessAmbientScriptDoesNotHoldUpTheLeavingAnimation) {
    modules[2].Add("SPR", 2100, enginetest::Picture(4, 4, 10));
    CRecordingTitle title;
    Start(title);
    CRecordingTitle::onEnter = [] {
        CCorAnim* ambient = theEngine->m_anims.Create(2100, POINT{10, 10});
        ambient->AddInstr(media::kAnimWait, 10);
        ambient->AddInstr(media::kAnimRestart, 0);
        CCorAnim* held = theEngine->m_anims.Create(2100, POINT{30, 10});
        held->AddInstr(media::kAnimHold, 0);
        held->AddInstr(media::kAnimWait, 1);
    };
    for (int leaving : {0, 30}) {
        SCOPED_TRACE("leaving script of " + std::to_string(leaving) + " ticks");
        title.GoToModule(2, TRUE);
        CCorAnim* leaver = nullptr;
        if (leaving) {
            leaver = title.m_anims.Create(2100, POINT{50, 10});
            leaver->AddInstr(media::kAnimWait, static_cast<uint32_t>(leaving));
            leaver->AddInstr(media::kAnimWait, 1);
        }
        CRecordingTitle::beginLeave = 1;
        static int leaverState;
        static CCorAnim* watched;
        watched = leaver;
        leaverState = -99;
        CRecordingTitle::onLeave = [] {
            if (watched) leaverState = watched->GetScriptState();
        };
        const uint64_t start = plat::NowMs64();
        title.UnloadModule(TRUE);
        CRecordingTitle::onLeave = nullptr;
        EXPECT_LT(plat::NowMs64() - start, 2000u);
        if (leaving) {
            EXPECT_EQ(leaverState, kAnimFinished) << "the leaving animation plays out";
            EXPECT_GE(plat::NowMs64() - start, static_cast<uint64_t>(leaving) * 1000 / 60);
        }
        EXPECT_EQ(title.m_anims.GetCount(), 0u);
    }
    CRecordingTitle::onEnter = nullptr;
}

// The home button: from another module back to the previous one; in the home module the game
// quits with one close.
TEST_F(ModuleSwitchTest, LeaveModuleReturnsToThePreviousModuleOrQuitsAtHome) {
    CRecordingTitle title;
    Start(title);
    title.GoToModule(1, TRUE);
    title.GoToModule(3, TRUE);
    CRecordingTitle::log.clear();
    title.LeaveModule();
    EXPECT_EQ(CRecordingTitle::log, (Log{"BeginLeave", "Leave", "Enter 1/3", "Notify 1", "Start"}));
    EXPECT_EQ(title.m_currentModule, 1);
    EXPECT_EQ(TakeCloses(), 0);
    title.LeaveModule();
    EXPECT_EQ(title.quits, 1);
    EXPECT_EQ(TakeCloses(), 1);
    EXPECT_EQ(title.m_currentModule, 1);
}

// The shared base opens the other module's file for shared ids and closes it again.
TEST_F(ModuleSwitchTest, TheSharedBaseKeepsAnotherModulesFileOpen) {
    CRecordingTitle title;
    Start(title);
    title.GoToModule(2, TRUE);
    title.SetSharedResourceBase(3000);
    EXPECT_TRUE(title.m_resFiles[3].IsOpen());
    EXPECT_EQ(title.m_sharedBase, 3000);
    title.SetSharedResourceBase(2000);  // the module's own: nothing more opens
    EXPECT_FALSE(title.m_resFiles[3].IsOpen());
    EXPECT_TRUE(title.m_resFiles[2].IsOpen());
    title.SetSharedResourceBase(3000);
    title.UnloadModule(FALSE);
    title.GoToModule(1, TRUE);  // every entry starts without a shared base
    EXPECT_FALSE(title.m_resFiles[3].IsOpen());
    EXPECT_EQ(title.m_sharedBase, 0);
}


// A module's file that cannot be opened (the disc prompt of the reads being off, as after
// a Cancel there) is asked for, naming its path: OK tries again (here the file is back by
// then) and the entry goes on with it; Cancel asks the game to quit.
TEST_F(ModuleSwitchTest, AModuleFileThatCannotBeOpenedIsAskedFor) {
    CRecordingTitle title;
    Start(title);
    EnableReadErrorPrompt(false);
    const std::filesystem::path file = root / "Prog" / "Zelbo2.res";
    const std::filesystem::path away = root / "Prog" / "away.res";
    struct Case {
        int answer;
        bool opened;
        int closes;
    };
    for (const Case& c : {Case{IDOK, true, 0}, Case{IDCANCEL, false, 1}}) {
        SCOPED_TRACE(c.answer);
        std::filesystem::rename(file, away);
        std::vector<std::string> texts;
        plat::MessageBoxHook saved = plat::SetMessageBoxHook([&](LPCSTR text, UINT type, UINT) {
            texts.push_back(text);
            EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
            std::filesystem::rename(away, file);  // the CD is in the drive again
            return c.answer;
        });
        CRecordingTitle::log.clear();
        title.GoToModule(2, TRUE);
        plat::SetMessageBoxHook(saved);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].rfind("Kunde inte \xF6ppna resursfilen C:\\Prog\\Zelbo2.res.", 0), 0u) << texts[0];
        EXPECT_EQ(title.m_resFiles[2].IsOpen() != FALSE, c.opened);
        EXPECT_EQ(TakeCloses(), c.closes);
        EXPECT_EQ(CRecordingTitle::log.front(), "Enter 2/0");
        title.UnloadModule(FALSE);
    }
}

}  // namespace
