#include "engine/toolbox/facade.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_hosts.h"
#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/scan_target.h"
#include "engine/scene/spot.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/statics_scanning.h"
#include "media/res/res_items_test_support.h"
#include "media/res/spot_format.h"
#include "media/surface/dirty_rect_list.h"
#include "media/text/text_item.h"
#include "platform/core/byte_order.h"
#include "platform/fonts/font_registry.h"
#include "platform/fs/dospath.h"
#include "platform/headless/headless_backend.h"

namespace {

std::vector<std::string> gLog;
void LogLine(const std::string& s) { gLog.push_back(s); }

uint32_t Packed(int16_t x, int16_t y) { return static_cast<uint16_t>(x) | (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16); }

// Module 3 of a title that has not started, picture origin (10, 20): spot 3205 over picture
// (300, 100)-(340, 140), 'SP#' 3500 naming 3205 and 3206; the engine's text and scene hosts.
class FacadeTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        gLog.clear();
        fontAdded = AddFontResource(FontPath().c_str()) > 0;
        ASSERT_TRUE(fontAdded);
        savedScene = SetSceneHost(&scene);
        savedText = SetTextHost(&text);
        media::CResWriter w;
        w.Add("SPT", 3205, media::EncodeSpotItem(300, 100, 340, 140));
        w.Add("SPT", 3206, media::EncodeSpotItem(0, 0, 9, 9));
        std::vector<uint8_t> list;
        for (uint16_t v : {0, 3205, 3206}) plat::AppendLe16(list, v);
        w.Add("SP#", 3500, list);
        w.Add("SPR", 3012, itemtest::Spr(4, std::vector<itemtest::Bytes>(4, itemtest::Bytes(4, 12))));
        ASSERT_TRUE(res.OpenModule(3, w));
        res.module = 3;
        title.m_currentModule = 3;
        title.m_originX = 10;
        title.m_originY = 20;
        title.m_dirtyRects = std::make_unique<CDirtyRectList>();
        table.Notify = [](int32_t kind) { LogLine("notify " + std::to_string(kind)); };
        title.m_moduleTable = &table;
    }
    void TearDown() override {
        title.m_texts.clear();
        title.m_spots.RemoveAll();
        title.m_idles.RemoveAll();
        title.m_anims.RemoveAll();
        SetTextHost(savedText);
        SetSceneHost(savedScene);
        if (fontAdded) RemoveFontResource(FontPath().c_str());
    }
    static std::string FontPath() {
        return plat::HostToDosPath(plat::Fonts().SystemFontFolder() + "/RODODED1.FON");
    }

    plat::HeadlessBackend* head = nullptr;
    itemtest::CTestHost res;
    CZelboTitle title;
    CEngineSceneHost scene{title};
    CEngineTextHost text{title};
    ISceneHost* savedScene = nullptr;
    ITextHost* savedText = nullptr;
    ModuleFunctionTable table{};
    bool fontAdded = false;
};

TEST_F(FacadeTest, SpotAtPointPacksModuleAndId) {
    ASSERT_EQ(EngineLoadSpot(500), 1);
    EXPECT_EQ(EngineSpotAtPoint(Packed(305, 105)), 0x000300CDu);
    EXPECT_EQ(EngineSpotAtPoint(Packed(295, 105)), 0u);
    EXPECT_EQ(EngineSpotAtPoint(Packed(2, 2)), 0x000300CEu);
    EXPECT_EQ(EngineSpotAtPoint(Packed(-5, -15)), 0u) << "negative coordinates stay negative";
    CCorRect r;
    EngineGetSpotRect(205, r);
    EXPECT_EQ(r, (CCorRect{300, 100, 340, 140})) << "picture coordinates";
    CCorRect untouched{1, 2, 3, 4};
    EngineGetSpotRect(207, untouched);
    EXPECT_EQ(untouched, (CCorRect{1, 2, 3, 4}));

    // A spot made in code is appended without a mask; disabled spots are still found.
    EngineCreateSpot(207, CCorRect{0, 200, 50, 250});
    EXPECT_EQ(EngineSpotAtPoint(Packed(49, 249)), 0x000300CFu);
    EXPECT_EQ(EngineFindSpot(207)->GetRect().left, 10);
    EngineEnableSpot(207, 0);
    EXPECT_FALSE(EngineFindSpot(207)->IsEnabled());
    EngineSetSpotHandler(207, [](int16_t id) { LogLine("spot " + std::to_string(id)); });
    EngineEnableSpot(207, 1);
    title.m_spots.ClickAt(POINT{15, 225});
    EXPECT_EQ(gLog, std::vector<std::string>{"spot 207"});
    EngineDeleteSpot(207);
    EXPECT_EQ(EngineFindSpot(207), nullptr);
    EngineEnableSpot(207, 1);  // no such spot: nothing

    EngineUnloadSpots(500);
    EXPECT_EQ(title.m_spots.GetCount(), 0u);
}

void Idle() {}

TEST_F(FacadeTest, SetIdleTwiceKeepsOneTimerWithItsFirstPeriod) {
    EngineSetIdle(30, Idle);
    const uint64_t start = plat::NowMs64();
    head->Advance(100);
    EngineSetIdle(5, Idle);
    ASSERT_EQ(title.m_idles.GetCount(), 1u);
    const CIdle* timer = title.m_idles.Find(Idle);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->GetPeriod(), 480);
    EXPECT_GE(timer->GetDue(), static_cast<int64_t>(start + 100 + 480)) << "re-armed from now with the first period";
    EngineRemoveIdle(Idle);
    EXPECT_EQ(title.m_idles.GetCount(), 0u);
    EngineRestartIdle(Idle);
    EXPECT_EQ(title.m_idles.GetCount(), 0u) << "restarting an absent callback adds nothing";
}

// Suspending and resuming against the scanning preference and the ToggleScan block.
TEST_F(FacadeTest, SuspendAndResumeAgainstTheBlock) {
    struct Step {
        enum Kind { Suspend, Resume, Block, Allow } kind;
    };
    const struct Case {
        const char* name;
        int32_t allowed;
        bool on;
        std::vector<Step::Kind> steps;
        bool onAfter;
        std::vector<std::string> log;
    } cases[] = {
        {"suspend, resume", 1, true, {Step::Suspend, Step::Resume}, true, {"notify 3", "notify 2"}},
        {"suspend while off", 1, false, {Step::Suspend, Step::Resume}, false, {}},
        {"suspend without scanning allowed", 0, true, {Step::Suspend, Step::Resume}, true, {}},
        {"resume without a suspension", 1, false, {Step::Resume}, false, {}},
        {"suspend while blocked", 1, true, {Step::Block, Step::Suspend, Step::Resume}, false, {"notify 3"}},
        {"block after suspending", 1, true, {Step::Suspend, Step::Block, Step::Resume}, false, {"notify 3"}},
        {"block after suspending, allowed, resumed", 1, true,
         {Step::Suspend, Step::Block, Step::Resume, Step::Allow, Step::Resume}, true, {"notify 3", "notify 2"}},
        {"suspend twice", 1, true, {Step::Suspend, Step::Suspend, Step::Resume, Step::Resume}, true,
         {"notify 3", "notify 2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gLog.clear();
        title.m_prefs.scanningAllowed = c.allowed;
        title.m_scanToggleLock = title.m_scanWasOn = title.m_scanSuspended = 0;
        title.m_scanner.Enable(c.on);
        for (Step::Kind k : c.steps) {
            switch (k) {
                case Step::Suspend: EngineSuspendScan(); break;
                case Step::Resume: EngineResumeScan(); break;
                case Step::Block: ToggleScan(0); break;
                case Step::Allow: ToggleScan(1); break;
            }
        }
        EXPECT_EQ(title.m_scanner.IsOn() != 0, c.onAfter);
        EXPECT_EQ(gLog, c.log);
        title.m_scanner.Enable(FALSE);
    }
}

TEST_F(FacadeTest, TextItemsCopyTheStyleInForce) {
    EXPECT_EQ(TextHost().CurrentTextStyle().mode, 4);
    EngineSetTextDefault(21);
    EngineSetTextColors(2, 7, 0);
    CText* red = EngineCreateText("Hej", CCorRect{10, 10, 110, 40}, 0);
    ASSERT_NE(red, nullptr);
    EngineSetTextColors(14, 1, 4);
    EngineSetTextDefault(10);
    CText* white = EngineCreateText("Hej", CCorRect{10, 50, 110, 80}, 0);
    EXPECT_EQ(red->FontNumber(), 21);
    EXPECT_EQ(red->Foreground(), RGB(255, 0, 0));
    EXPECT_EQ(red->Background(), RGB(0, 0, 255));
    EXPECT_EQ(red->Mode(), 0);
    EXPECT_EQ(white->FontNumber(), 10);
    EXPECT_EQ(white->Foreground(), RGB(255, 255, 255));
    EXPECT_EQ(white->Mode(), 4);
    EXPECT_EQ(red->X(), 20) << "placed in frame coordinates";
    EXPECT_EQ(red->Y(), 30);
    EXPECT_EQ(red->Width(), 100);
    EXPECT_TRUE(title.m_dirtyRects->Intersects(RECT{20, 30, 120, 60}));
    ASSERT_EQ(title.m_texts.size(), 2u);
    EXPECT_EQ(title.m_texts[0].get(), red);

    EngineSetTextDefault(21);
    EXPECT_GT(EngineGetTextMetrics(), 15) << "the line height of font 21";
}

// Every alias does what its service does.
TEST_F(FacadeTest, AliasesReachTheirServices) {
    EngineSetTextDefault(21);
    CText* item = EngineCreateText("Ett", CCorRect{0, 0, 100, 30}, 0);
    title.m_dirtyRects->RemoveAll();
    EngineSetText(item, "Ett tva tre");
    EXPECT_EQ(std::string(item->Text()), "Ett tva tre");
    EXPECT_FALSE(title.m_dirtyRects->IsEmpty());
    EngineSetTextItemColors(item, 12, 2);
    EXPECT_EQ(item->Foreground(), RGB(0, 255, 255));
    EXPECT_EQ(item->Background(), RGB(255, 0, 0));
    title.m_dirtyRects->RemoveAll();
    EngineRerenderText(item, 2, 2);
    EXPECT_FALSE(title.m_dirtyRects->IsEmpty());
    EngineDisposeText(item);
    EXPECT_TRUE(title.m_texts.empty());
    EngineDisposeText(item);  // no longer listed: nothing
    EngineDisposeText(nullptr);

    ASSERT_EQ(EngineLoadSpot(500), 1);
    const int32_t slot = EngineAddScanSpot(205, 3, 4, 0);
    auto* target = dynamic_cast<CScanSpotTarget*>(title.m_scanner.Target(slot));
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->m_spotId, 3205);
    EXPECT_EQ(target->m_enabled, 0);
    EXPECT_EQ(target->m_hideOnActivate, 0);
    EXPECT_EQ(EngineAddScanSpot(205, 0, 0, 1), slot + 1) << "the next free slot";

    EXPECT_EQ(PlaySndAny(5), -1) << "sound off: as PlaySndFree";

    CCorAnim* sprite = title.m_anims.Create(3012, POINT{0, 0});
    sprite->AddInstr(media::kAnimWait, 30);
    SkipSpriteScript(sprite);
    EXPECT_EQ(GetSpriteStatus(sprite), 1) << "the script finished";
    const CCorRect clip{1, 2, 3, 4};
    SetSpriteClipRect(sprite, &clip);
    EXPECT_EQ(sprite->GetClipRect().left, 11) << "the clip in frame coordinates";
    EXPECT_EQ(sprite->GetClipRect().bottom, 24);
    SetSpriteClipRect(sprite, nullptr);
    EXPECT_EQ(sprite->GetClipRect().right, 32767);
}

// The drag manager's seam: ids mapped, the rectangle back in picture coordinates, a sprite not
// in the display list never handed on.
TEST_F(FacadeTest, DragSeam) {
    class CFakeDrag : public IDragService {
    public:
        int16_t BeginDrag(CCorAnim* s, int32_t home, int32_t target, int16_t snap, EngineDragCallback) override {
            sprite = s;
            ids = {home, target, snap};
            return 1;
        }
        int16_t GetDragRect(RECT& out) override {
            out = RECT{110, 120, 130, 140};
            return 1;
        }
        CCorAnim* sprite = nullptr;
        std::vector<int32_t> ids;
    } fake;
    CCorRect r;
    EXPECT_EQ(EngineGetDragRect(r), 0) << "no drag manager: nothing runs";
    EXPECT_EQ(SetDragService(&fake), nullptr);
    CCorAnim* sprite = title.m_anims.Create(3012, POINT{0, 0});
    EXPECT_EQ(EngineDragObject(sprite, 5, 0, 32767, nullptr), 1);
    EXPECT_EQ(fake.ids, (std::vector<int32_t>{3005, 0, 32767}));
    EngineDragObject(sprite, 900, 6, 32767, nullptr);
    EXPECT_EQ(fake.ids, (std::vector<int32_t>{3900, 3006, 32767}));
    EXPECT_EQ(EngineGetDragRect(r), 1);
    EXPECT_EQ(r, (CCorRect{100, 100, 120, 120}));
    title.m_anims.Remove(sprite);
    fake.sprite = nullptr;
    EXPECT_EQ(EngineDragObject(sprite, 5, 0, 32767, nullptr), 0);
    EXPECT_EQ(fake.sprite, nullptr);
    EXPECT_EQ(SetDragService(nullptr), &fake);
}

// ---- On a started engine ------------------------------------------------------------------

using enginetest::EngineTest;

class CCommandTitle : public CZelboTitle {
public:
    CCommandTitle() {
        for (int m = 0; m < 2; ++m) {
            ModuleFunctionTable& t = tables[m];
            t.Enter = m == 0 ? +[] { LogLine("enter 1"); } : +[] { LogLine("enter 2"); };
            t.Start = m == 0 ? +[] { LogLine("start 1"); } : +[] { LogLine("start 2"); };
            t.Leave = m == 0 ? +[] { LogLine("leave 1"); } : +[] { LogLine("leave 2"); };
            t.BeginLeave = m == 0 ? +[]() -> int16_t {
                LogLine("begin leave 1");
                return 0;
            }
                                  : +[]() -> int16_t {
                                        LogLine("begin leave 2");
                                        return 0;
                                    };
            t.Notify = [](int32_t kind) { LogLine("notify " + std::to_string(kind)); };
            t.KeyDown = [](int32_t vk) { LogLine("key " + std::to_string(vk)); };
        }
    }
    ~CCommandTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override {
        return module == 1 || module == 2 ? &tables[module - 1] : nullptr;
    }
    void QuitGame() override { LogLine("quit"); }
    ModuleFunctionTable tables[2]{};
};

class FacadeEngineTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PutSharedFile(root / "Prog");
        PutModuleFile(root / "Prog", 1, ModuleFile(1));
        PutModuleFile(root / "Prog", 2, ModuleFile(2));
        title.Startup(programFolder);
        title.m_prefs.playIntroSound = 0;
        title.m_running = 1;
        title.GoToModule(1, TRUE);
        gLog.clear();
    }
    CCommandTitle title;
};

TEST_F(FacadeEngineTest, RunCommandLeavesThenEntersFully) {
    EngineCreateText("Hej", CCorRect{0, 0, 50, 20}, 0);
    EngineRunCommand(2);
    EXPECT_TRUE(title.m_texts.empty()) << "the module's text items go with it";
    EXPECT_EQ(gLog, (std::vector<std::string>{"begin leave 1", "leave 1", "enter 2", "notify 1", "start 2"}));
    EXPECT_EQ(title.m_currentModule, 2);
    EXPECT_EQ(title.m_previousModule, 1);
}

TEST_F(FacadeEngineTest, LeaveModuleDropsQueuedInputAndTheNextStepLeaves) {
    EngineRunCommand(2);
    gLog.clear();
    mainWnd.PostMessage(WM_KEYDOWN, 'A', 0);
    mainWnd.PostMessage(WM_LBUTTONDOWN, 0, 0);
    EngineLeaveModule();
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_EQ(title.m_currentModule, 2) << "nothing happens before the next step";
    EXPECT_TRUE(gLog.empty());
    title.RunIdle();
    EXPECT_EQ(title.m_currentModule, 1);
    ASSERT_GE(gLog.size(), 2u);
    EXPECT_EQ(gLog[0], "begin leave 2");
    EXPECT_EQ(gLog[1], "leave 2");
    // From the home module the game ends.
    gLog.clear();
    EngineLeaveModule();
    title.RunIdle();
    EXPECT_EQ(gLog, std::vector<std::string>{"quit"});
}

}  // namespace
