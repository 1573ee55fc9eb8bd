// Keys and clicks through the engine: the hot keys on a started engine in module 2, clicks on a
// scene of one of each kind, what lies under the pointer, and the colour numbers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/colour_table.h"
#include "engine/core/engine_hosts.h"
#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/scan_target.h"
#include "media/res/res_items_test_support.h"
#include "media/res/spot_format.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/byte_order.h"
#include "platform/fonts/font_registry.h"
#include "platform/fs/dospath.h"
#include "platform/headless/headless_backend.h"

namespace {

using enginetest::EngineTest;
using Log = std::vector<std::string>;

Log gLog;

void LogLine(const std::string& s) { gLog.push_back(s); }

// A title whose modules 1 and 2 log their calls; the grown-ups' section and quitting log too,
// the section noting what it found while it ran and answering as the test says.
class CKeyTitle : public CZelboTitle {
public:
    CKeyTitle() {
        for (int m = 0; m < 2; ++m) {
            ModuleFunctionTable& t = tables[m];
            t.Enter = m == 0 ? +[] { LogLine("enter 1"); } : +[] { LogLine("enter 2"); };
            t.Leave = m == 0 ? +[] { LogLine("leave 1"); } : +[] { LogLine("leave 2"); };
            t.KeyDown = [](int32_t vk) { LogLine("key " + std::to_string(vk)); };
            t.Notify = [](int32_t kind) { LogLine("notify " + std::to_string(kind)); };
            t.OnScanPoint = [](int32_t code) { LogLine("scan point " + std::to_string(code)); };
        }
        gLog.clear();
    }
    ~CKeyTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override {
        return module == 1 || module == 2 ? &tables[module - 1] : nullptr;
    }
    int16_t EnterAdultArea() override {
        std::string seen = "sheet module " + std::to_string(m_currentModule) + " previous " +
                           std::to_string(m_previousModule) + (m_moduleTable ? " table" : "") +
                           (m_inAdultArea ? " inside" : "");
        HDC dc = GetDC(GameViewWindow());
        seen += GetPixel(dc, 320, 240) == RGB(0, 0, 0) ? " black" : " not black";
        ReleaseDC(GameViewWindow(), dc);
        LogLine(seen);
        return sheetResult;
    }
    void QuitGame() override { LogLine("quit"); }

    ModuleFunctionTable tables[2]{};
    int16_t sheetResult = 1;
};

enum Mods { kNone = 0, kCtrl = 1, kAlt = 2, kShift = 4 };

struct KeyCase {
    const char* name = "";
    int mods = 0;
    int vk = 0;
    // State before the key.
    int32_t ctrlQEnabled = 1;
    int32_t ctrlAltAEnabled = 1;
    int32_t scanningAllowed = 0;
    int32_t lock = 0;
    bool scanning = false;
    uint32_t interval = 1500;
    int32_t busy = 0;
    int16_t sheetResult = 1;
    // What follows.
    Log log;
    int32_t moduleAfter = 2;
    bool scanningAfter = false;
    uint32_t intervalAfter = 1500;  // 0: the module was entered again, which configures scanning anew
    int32_t inAdultAreaAfter = 0;
};

class DispatchKeys : public EngineTest, public ::testing::WithParamInterface<KeyCase> {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        media::CResWriter shared = SharedFile();
        PutSharedFile(root / "Prog", shared);
        PutModuleFile(root / "Prog", 1, ModuleFile(1));
        PutModuleFile(root / "Prog", 2, ModuleFile(2));
    }

    void Modifiers(int mods, bool down) {
        for (const auto& [bit, vk] : {std::pair{kCtrl, VK_CONTROL}, std::pair{kAlt, VK_MENU}, std::pair{kShift, VK_SHIFT}}) {
            if (!(mods & bit)) continue;
            plat::InputEvent ev;
            ev.kind = down ? plat::InputKind::KeyDown : plat::InputKind::KeyUp;
            ev.vk = vk;
            head->QueueInput(head->NowMs(), ev);
        }
        head->Advance(1);
        FlushQueuedInput();
    }
};

TEST_P(DispatchKeys, HotKeysFirstThenTheModule) {
    const KeyCase& c = GetParam();
    CKeyTitle title;
    title.Startup(programFolder);
    title.PresentFrame(nullptr, nullptr, 0, 0);
    title.GoToModule(2, TRUE);
    ASSERT_EQ(title.m_currentModule, 2);
    ASSERT_EQ(title.m_previousModule, 1);
    title.m_ctrlQEnabled = c.ctrlQEnabled;
    title.m_ctrlAltAEnabled = c.ctrlAltAEnabled;
    title.m_prefs.scanningAllowed = c.scanningAllowed;
    title.m_scanToggleLock = c.lock;
    title.m_scanner.AddTarget(new CScanPointTarget(TRUE, FALSE, 50, 50), -1);
    title.m_scanner.Enable(c.scanning);
    title.m_scanner.SetInterval(c.interval);
    title.m_busyLevel = c.busy;
    title.sheetResult = c.sheetResult;
    gLog.clear();

    Modifiers(c.mods, true);
    title.OnEngineKeyDown(c.vk);
    Modifiers(c.mods, false);

    // Only the calls of the module entries; the entry's own Start and the like are not logged.
    EXPECT_EQ(gLog, c.log);
    EXPECT_EQ(title.m_currentModule, c.moduleAfter);
    EXPECT_EQ(title.m_scanner.IsOn() != 0, c.scanningAfter);
    if (c.intervalAfter) {
        EXPECT_EQ(title.m_scanner.Interval(), c.intervalAfter);
    }
    EXPECT_EQ(title.m_previousModule, 1) << "the module entered before stays the previous one";
    EXPECT_EQ(title.m_inAdultArea, c.inAdultAreaAfter);
    EXPECT_EQ(title.CallDepth(), 0);
}

KeyCase Make(const char* name, int mods, int vk) {
    KeyCase c;
    c.name = name;
    c.mods = mods;
    c.vk = vk;
    return c;
}

KeyCase Adult(const char* name, int mods, int16_t result, Log log, int32_t moduleAfter) {
    KeyCase c = Make(name, mods, 'A');
    c.sheetResult = result;
    c.log = std::move(log);
    c.moduleAfter = moduleAfter;
    c.intervalAfter = 0;
    c.inAdultAreaAfter = result == 2 ? 1 : 0;
    return c;
}

KeyCase Scan(const char* name, int mods, int vk, int32_t allowed, int32_t lock, bool on, Log log, bool onAfter) {
    KeyCase c = Make(name, mods, vk);
    c.scanningAllowed = allowed;
    c.lock = lock;
    c.scanning = on;
    c.log = std::move(log);
    c.scanningAfter = onAfter;
    return c;
}

KeyCase Speed(const char* name, int vk, bool on, uint32_t before, uint32_t after) {
    KeyCase c = Make(name, kNone, vk);
    c.scanningAllowed = 1;
    c.scanning = on;
    c.interval = before;
    c.intervalAfter = after;
    c.log = {"key " + std::to_string(vk)};
    c.scanningAfter = on;
    return c;
}

KeyCase Plain(const char* name, int mods, int vk, Log log) {
    KeyCase c = Make(name, mods, vk);
    c.log = std::move(log);
    return c;
}

const Log kSheetFrom2 = {"leave 2", "sheet module 0 previous 2 inside black"};

std::vector<KeyCase> KeyCases() {
    std::vector<KeyCase> v;
    Log back = kSheetFrom2;
    back.insert(back.end(), {"enter 2", "notify 1"});
    v.push_back(Adult("CtrlAltAThenTheSameModule", kCtrl | kAlt, 1, back, 2));
    v.push_back(Adult("CtrlShiftAThenTheSameModule", kCtrl | kShift, 1, back, 2));
    Log home = kSheetFrom2;
    home.insert(home.end(), {"enter 1", "notify 1"});
    v.push_back(Adult("CtrlAltAThenTheHomeModule", kCtrl | kAlt, 0, home, 1));
    Log quit = kSheetFrom2;
    quit.push_back("quit");
    KeyCase q = Adult("CtrlAltAThenQuit", kCtrl | kAlt, 2, quit, 2);
    v.push_back(q);
    KeyCase disabled = Plain("CtrlAltADisabledReachesTheModule", kCtrl | kAlt, 'A', {"key 65"});
    disabled.ctrlAltAEnabled = 0;
    v.push_back(disabled);
    v.push_back(Plain("CtrlAReachesTheModule", kCtrl, 'A', {"key 65"}));
    v.push_back(Plain("AltAReachesTheModule", kAlt, 'A', {"key 65"}));
    v.push_back(Plain("CtrlQQuits", kCtrl, 'Q', {"quit"}));
    KeyCase noQ = Plain("CtrlQDisabledReachesTheModule", kCtrl, 'Q', {"key 81"});
    noQ.ctrlQEnabled = 0;
    v.push_back(noQ);
    KeyCase x = Plain("CtrlXQuitsWithCtrlQDisabled", kCtrl, 'X', {"quit"});
    x.ctrlQEnabled = 0;
    v.push_back(x);
    v.push_back(Plain("XAloneReachesTheModule", kNone, 'X', {"key 88"}));
    v.push_back(Scan("CtrlAltSSwitchesScanningOn", kCtrl | kAlt, 'S', 1, 0, false, {"notify 2"}, true));
    v.push_back(Scan("CtrlShiftSSwitchesScanningOff", kCtrl | kShift, 'S', 1, 0, true, {"notify 3"}, false));
    v.push_back(Scan("CtrlAltSWithoutScanningAllowed", kCtrl | kAlt, 'S', 0, 0, false, {"key 83"}, false));
    v.push_back(Scan("CtrlAltSWhileBlocked", kCtrl | kAlt, 'S', 1, 1, true, {"key 83"}, true));
    v.push_back(Speed("MinusLengthens", VK_SUBTRACT, true, 6250, 6500));
    v.push_back(Speed("MinusAtTheLongest", VK_SUBTRACT, true, 6500, 6500));
    v.push_back(Speed("PlusShortens", VK_ADD, true, 750, 500));
    v.push_back(Speed("PlusAtTheShortest", VK_ADD, true, 500, 500));
    v.push_back(Speed("MinusWithoutScanning", VK_SUBTRACT, false, 1500, 1500));
    v.push_back(Scan("F1ActivatesAndReachesTheModule", kNone, VK_F1, 1, 0, true, {"scan point 3", "key 112"}, true));
    v.push_back(Scan("F10Activates", kNone, VK_F1 + 9, 1, 0, true, {"scan point 3", "key 121"}, true));
    v.push_back(Scan("SpaceActivates", kNone, VK_SPACE, 1, 0, true, {"scan point 3", "key 32"}, true));
    v.push_back(Scan("F1WithoutScanning", kNone, VK_F1, 1, 0, false, {"key 112"}, false));
    for (const KeyCase& hot : {Plain("BusyCtrlX", kCtrl, 'X', {}), Plain("BusyPlainKey", kNone, 'B', {}),
                               Scan("BusyCtrlAltS", kCtrl | kAlt, 'S', 1, 0, false, {}, false),
                               Adult("BusyCtrlAltA", kCtrl | kAlt, 1, {}, 2)}) {
        KeyCase busy = hot;
        busy.busy = 1;
        busy.intervalAfter = busy.interval;
        busy.inAdultAreaAfter = 0;
        v.push_back(busy);
    }
    return v;
}

INSTANTIATE_TEST_SUITE_P(Keys, DispatchKeys, ::testing::ValuesIn(KeyCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Clicks --------------------------------------------------------------------------------

// The home module is the scene's own, so the left button's leave ends in QuitGame.
class CClickTitle : public CZelboTitle {
public:
    int32_t GetHomeModule() override { return 3; }
    void QuitGame() override { LogLine("quit"); }
};

// A scene in module 3 on a title that has not started (origin 0, so picture and frame points
// agree). Pictures 3010 and 3011 are 10 × 10 with a transparent left half.
//   animation 3010 at (100, 100): opaque x 105..109, y 100..109
//   static 3011 at (100, 120): opaque x 105..109, y 120..129; another at (200, 100)
//   spot 3205 (80, 112)-(140, 150), under the first static, with a callback
//   text "Ett tva" at (400, 100), left and top aligned
//   navigation buttons: left at (6, 441), right at (602, 441), 20 × 20
class DispatchClicks : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        gLog.clear();
        fontAdded = AddFontResource(FontPath().c_str()) > 0;
        ASSERT_TRUE(fontAdded);
        savedScene = SetSceneHost(&scene);
        savedText = SetTextHost(&text);

        media::CResWriter shared;
        for (int id : {100, 101, 106, 107}) shared.Add("SPR", id, Square(20, 5));
        ASSERT_TRUE(res.OpenModule(0, shared));
        media::CResWriter w;
        std::vector<itemtest::Bytes> rows(10, itemtest::Bytes{0, 0, 0, 0, 0, 7, 7, 7, 7, 7});
        w.Add("SPR", 3010, itemtest::Spr(10, rows));
        w.Add("SPR", 3011, itemtest::Spr(10, rows));
        w.Add("SPT", 3205, media::EncodeSpotItem(80, 112, 139, 149));
        ASSERT_TRUE(res.OpenModule(3, w));
        res.module = 3;

        title.m_currentModule = 3;
        title.m_running = 1;
        title.m_dirtyRects = std::make_unique<CDirtyRectList>();
        title.m_backgroundSurface = std::make_unique<CDibG>();
        title.m_backgroundSurface->CreateSurface(640, 480, nullptr);
        table.OnAnimClicked = [](CCorAnim*, int16_t id) -> int16_t {
            LogLine("anim " + std::to_string(id));
            return 1;
        };
        table.OnStaticClicked = [](CCorStatic*, int16_t id) -> int16_t {
            LogLine("static " + std::to_string(id));
            return 1;
        };
        table.OnTextClicked = [](CText*, int16_t word) -> int16_t {
            LogLine("text word " + std::to_string(word));
            return 1;
        };
        table.OnScanPoint = [](int32_t) { LogLine("scan point"); };
        table.OnSecondButton = [] {
            LogLine("second button, state " + std::to_string(theEngine->m_buttons[2].GetState()));
        };
        title.m_moduleTable = &table;

        anim = title.m_anims.Create(3010, POINT{100, 100});
        ASSERT_EQ(title.m_statics.Add(*title.m_backgroundSurface, POINT{100, 120}, 3011, 0, TRUE), 0);
        ASSERT_EQ(title.m_statics.Add(*title.m_backgroundSurface, POINT{200, 100}, 3011, 0, TRUE), 1);
        auto spot = std::make_unique<CSpot>(3205);
        ASSERT_TRUE(spot->Load());
        spot->SetCallback([](int16_t id) { LogLine("spot " + std::to_string(id)); });
        title.m_spots.Append(std::move(spot));
        title.m_texts.push_back(
            std::make_unique<CText>("Ett tva", 200, 30, 400, 100, CText::kAlignLeft | CText::kAlignTop));
        title.m_buttons[0].Create(POINT{6, 441}, 0, 100, 101, TRUE);
        title.m_buttons[2].Create(POINT{602, 441}, 0, 106, 107, TRUE);
    }
    void TearDown() override {
        title.m_texts.clear();
        title.m_anims.RemoveAll();
        title.m_statics.RemoveAll();
        title.m_spots.RemoveAll();
        SetTextHost(savedText);
        SetSceneHost(savedScene);
        if (fontAdded) RemoveFontResource(FontPath().c_str());
    }

    static std::string FontPath() {
        return plat::HostToDosPath(plat::Fonts().SystemFontFolder() + "/RODODED1.FON");
    }
    static itemtest::Bytes Square(int side, uint8_t colour) {
        return itemtest::Spr(side, std::vector<itemtest::Bytes>(static_cast<size_t>(side), itemtest::Bytes(side, colour)));
    }
    void ScanOn() {
        title.m_scanner.AddTarget(new CScanPointTarget(TRUE, FALSE, 500, 400), -1);
        title.m_scanner.Enable(TRUE);
    }

    plat::HeadlessBackend* head = nullptr;
    itemtest::CTestHost res;
    CClickTitle title;
    CEngineSceneHost scene{title};
    CEngineTextHost text{title};
    ISceneHost* savedScene = nullptr;
    ITextHost* savedText = nullptr;
    ModuleFunctionTable table{};
    CCorAnim* anim = nullptr;
    bool fontAdded = false;
};

struct ClickCase {
    const char* name;
    POINT point;
    Log log;
};

class DispatchClickOrder : public DispatchClicks, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(DispatchClickOrder, FirstTakerWins) {
    const ClickCase& c = GetParam();
    title.OnEngineLButtonDown(c.point);
    EXPECT_EQ(gLog, c.log);
    int16_t x = 0, y = 0;
    title.GetLastClickPoint(x, y);
    EXPECT_EQ(x, c.point.x);
    EXPECT_EQ(y, c.point.y);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, DispatchClickOrder,
    ::testing::Values(ClickCase{"ExactAnimation", {107, 105}, {"anim 10"}},
                      ClickCase{"ExactStaticOverASpot", {107, 125}, {"static 11"}},
                      ClickCase{"SpotBeforeTheWidenedStatic", {102, 125}, {"spot 205"}},
                      ClickCase{"SpotBeforeTheWidenedAnimation", {102, 112}, {"spot 205"}},
                      ClickCase{"WidenedAnimation", {112, 105}, {"anim 10"}},
                      ClickCase{"ExactStatic", {207, 105}, {"static 11"}},
                      ClickCase{"WidenedStatic", {212, 105}, {"static 11"}},
                      ClickCase{"TextWord", {402, 104}, {"text word 1"}},
                      ClickCase{"Nothing", {300, 300}, {}},
                      ClickCase{"RightButtonFlippedBackAfterward", {605, 445}, {"second button, state 1"}},
                      ClickCase{"LeftButtonLeaves", {10, 445}, {"quit"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DispatchClicks, NavigationButtonsFlip) {
    title.OnEngineLButtonDown(POINT{605, 445});
    EXPECT_EQ(title.m_buttons[2].GetState(), 0) << "flipped back after OnSecondButton";
    title.OnEngineLButtonDown(POINT{10, 445});
    EXPECT_EQ(title.m_buttons[0].GetState(), 1) << "the leave shows the pressed picture";
}

// A text item with no taker lets the click go on; a text item's click ends there.
TEST_F(DispatchClicks, TextWithoutHandlerGoesOnToTheScene) {
    title.m_texts.push_back(std::make_unique<CText>("Ord", 60, 20, 100, 98, CText::kAlignLeft | CText::kAlignTop));
    title.OnEngineLButtonDown(POINT{107, 105});
    ASSERT_EQ(gLog.size(), 1u);
    EXPECT_EQ(gLog[0].rfind("text word", 0), 0u) << gLog[0];
    table.OnTextClicked = nullptr;
    gLog.clear();
    title.OnEngineLButtonDown(POINT{107, 105});
    EXPECT_EQ(gLog, Log{"anim 10"});
}

// The limit is tested before anything else, scanning included; the click point is not kept.
TEST_F(DispatchClicks, OutsideTheLimitOnlyBeeps) {
    const CCorRect limit{0, 0, 150, 150};
    title.SetClickLimitRect(&limit);
    for (bool scanning : {false, true}) {
        SCOPED_TRACE(scanning ? "scanning" : "not scanning");
        if (scanning) ScanOn();
        const size_t beeps = head->Beeps().size();
        title.OnEngineLButtonDown(POINT{207, 105});
        EXPECT_EQ(head->Beeps().size(), beeps + 1);
        EXPECT_TRUE(gLog.empty());
        EXPECT_EQ(title.m_lastClickX, 0);
        title.OnEngineLButtonDown(POINT{107, 105});
        EXPECT_EQ(head->Beeps().size(), beeps + 1);
        EXPECT_EQ(gLog, Log{scanning ? "scan point" : "anim 10"});
        gLog.clear();
        title.m_lastClickX = 0;
    }
    title.m_scanner.Enable(FALSE);
    title.SetClickLimitRect(nullptr);
    title.OnEngineLButtonDown(POINT{207, 105});
    EXPECT_EQ(gLog, Log{"static 11"});
}

// In switch mode a click anywhere only activates the highlighted target, as does a click on the
// frame outside the view; neither does anything while busy.
TEST_F(DispatchClicks, SwitchModeOnlyActivates) {
    title.OnEngineSwitchInput(POINT{1, 1});
    EXPECT_TRUE(gLog.empty()) << "not scanning: the frame click is dropped";
    ScanOn();
    title.OnEngineLButtonDown(POINT{107, 105});
    title.OnEngineLButtonDown(POINT{10, 445});
    title.OnEngineSwitchInput(POINT{1, 1});
    EXPECT_EQ(gLog, (Log{"scan point", "scan point", "scan point"}));
    EXPECT_EQ(title.m_buttons[0].GetState(), 0);
    gLog.clear();
    title.m_busyLevel = 1;
    title.OnEngineLButtonDown(POINT{107, 105});
    title.OnEngineSwitchInput(POINT{1, 1});
    title.m_scanner.Enable(FALSE);
    title.OnEngineLButtonDown(POINT{107, 105});
    EXPECT_TRUE(gLog.empty());
}

struct UnderCase {
    const char* name;
    int32_t mask;
    int32_t kind;
    const char* object;  // "spot", "static", "anim", "text" or "none"
};

class UnderMouse : public DispatchClicks, public ::testing::WithParamInterface<UnderCase> {};

// At (107, 125) a spot, a static, an animation and a text word lie on each other.
TEST_P(UnderMouse, KindsInMaskOrder) {
    const UnderCase& c = GetParam();
    CCorAnim* over = title.m_anims.Create(3010, POINT{100, 120});
    title.m_texts.push_back(std::make_unique<CText>("Ord", 60, 20, 100, 118, CText::kAlignLeft | CText::kAlignTop));
    CText* word = title.m_texts.back().get();
    SetCursorPos(107, 125);
    int32_t kind = -1;
    intptr_t object = -1;
    EXPECT_EQ(title.GetUnderMouse(c.mask, kind, object), 0);
    EXPECT_EQ(kind, c.kind);
    const std::string what = c.object;
    const intptr_t expected = what == "spot"     ? 205
                              : what == "static" ? 1
                              : what == "anim"   ? reinterpret_cast<intptr_t>(over)
                              : what == "text"   ? reinterpret_cast<intptr_t>(word)
                                                 : 0;
    EXPECT_EQ(object, expected);
}

INSTANTIATE_TEST_SUITE_P(Masks, UnderMouse,
                         ::testing::Values(UnderCase{"None", 0, 0, "none"}, UnderCase{"All", 31, 1, "spot"},
                                           UnderCase{"NoSpots", 2 | 4 | 8, 2, "static"},
                                           UnderCase{"AnimationsAndText", 4 | 8, 4, "anim"},
                                           UnderCase{"Text", 8, 8, "text"}, UnderCase{"Sixteen", 16, 0, "none"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The primary button is the right one when the user swapped them; while scanning, the point is
// the highlighted target's (none: (0, 0)).
TEST_F(DispatchClicks, UnderMouseButtonAndScanPoint) {
    auto press = [&](plat::MouseButton button, bool down) {
        plat::InputEvent ev;
        ev.kind = down ? plat::InputKind::MouseDown : plat::InputKind::MouseUp;
        ev.button = button;
        ev.x = 300;
        ev.y = 300;
        head->QueueInput(head->NowMs(), ev);
        head->Advance(1);
    };
    int32_t kind = 0;
    intptr_t object = 0;
    for (bool swapped : {false, true}) {
        SCOPED_TRACE(swapped ? "swapped" : "not swapped");
        plat::SetMouseButtonsSwapped(swapped);
        const auto primary = swapped ? plat::MouseButton::Right : plat::MouseButton::Left;
        const auto other = swapped ? plat::MouseButton::Left : plat::MouseButton::Right;
        press(other, true);
        EXPECT_EQ(title.GetUnderMouse(0, kind, object), 0);
        press(other, false);
        press(primary, true);
        EXPECT_EQ(title.GetUnderMouse(0, kind, object), 1);
        press(primary, false);
        title.GetUnderMouse(0, kind, object);  // the press since the last query is read
        EXPECT_EQ(title.GetUnderMouse(0, kind, object), 0);
    }
    plat::SetMouseButtonsSwapped(false);

    SetCursorPos(300, 300);
    title.m_scanner.AddTarget(new CScanPointTarget(TRUE, FALSE, 107, 125), -1);
    title.m_scanner.Enable(TRUE);
    title.GetUnderMouse(31, kind, object);
    EXPECT_EQ(kind, 1) << "the target lies on the spot";
    title.m_scanner.Target(title.m_scanner.Current())->m_enabled = FALSE;
    title.m_scanner.Restart();
    ASSERT_EQ(title.m_scanner.Current(), -1);
    title.m_spots.Append(std::make_unique<CSpot>(3999));
    title.m_spots.FindById(3999)->SetRect(RECT{0, 0, 1, 1});
    title.GetUnderMouse(31, kind, object);
    EXPECT_EQ(kind, 1) << "no target: the point (0, 0)";
    EXPECT_EQ(object, 999);
}

// ---- Colours -------------------------------------------------------------------------------

TEST(ColourNumbers, TableAndEveryOtherNumberBlack) {
    const std::vector<std::pair<int16_t, COLORREF>> table = {
        {1, RGB(255, 255, 0)}, {2, RGB(255, 0, 0)},     {6, RGB(255, 0, 255)},   {7, RGB(0, 0, 255)},
        {8, RGB(0, 255, 0)},   {9, RGB(0, 128, 0)},     {12, RGB(0, 255, 255)},  {13, RGB(128, 128, 128)},
        {14, RGB(255, 255, 255)}};
    for (int16_t code = -2; code <= 16; ++code) {
        COLORREF expected = RGB(0, 0, 0);
        for (const auto& [c, colour] : table)
            if (c == code) expected = colour;
        EXPECT_EQ(ColorNumberToRGB(code), expected) << code;
    }
}

TEST(ColourNumbers, NearestEntry) {
    std::array<PALETTEENTRY, 256> entries{};  // all black
    entries[20] = PALETTEENTRY{250, 0, 0, 0};
    entries[30] = PALETTEENTRY{250, 0, 0, 0};
    entries[255] = PALETTEENTRY{0, 0, 250, 0};
    struct Case {
        COLORREF colour;
        int first, last, index;
    };
    for (const Case& c : {Case{RGB(255, 255, 255), 0, 10, -1},   // every entry exactly opposite
                          Case{RGB(254, 255, 255), 0, 10, 0},    // one step nearer
                          Case{RGB(255, 0, 0), 0, 255, 20},      // the first of equals
                          Case{RGB(255, 0, 0), 21, 255, 30},
                          Case{RGB(0, 0, 255), 200, 999, 255},   // the range cut to the table
                          Case{RGB(0, 0, 255), -5, 3, 0}}) {
        EXPECT_EQ(NearestPaletteIndexIn(entries.data(), c.colour, c.first, c.last), c.index)
            << c.first << ".." << c.last;
    }
}

// Through the engine: its screen palette, and none before there is one.
TEST_F(DispatchClicks, NearestColourIndexOnTheScreenPalette) {
    EXPECT_EQ(title.NearestColourIndex(2, 0, 255), -1);
    title.m_screenPalette = std::make_unique<CPalItem>(0);
    std::vector<uint8_t> item{13, 0};
    item.resize(2 + 10 * 3, 0);  // entries 0 to 9 black
    for (uint8_t b : {0, 0, 255, 0, 255, 255, 255, 255, 255}) item.push_back(b);  // red, yellow, white (b, g, r)
    ASSERT_TRUE(title.m_screenPalette->LoadFromBytes(item));
    EXPECT_EQ(title.NearestColourIndex(2, 10, 245), 10);
    EXPECT_EQ(title.NearestColourIndex(14, 10, 245), 12);
    EXPECT_EQ(TextHost().NearestPaletteIndex(RGB(255, 255, 0), 10, 245), 11) << "the text host answers the same";
    EXPECT_EQ(TextHost().ColorNumberToRGB(12), RGB(0, 255, 255));
    title.m_screenPalette.reset();
}

}  // namespace
