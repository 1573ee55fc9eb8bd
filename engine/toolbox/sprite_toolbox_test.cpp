// The sprite toolbox on a title of its own (no start-up): the id rule, what each call appends,
// the getters, clipping, the drawing order, ignored and disposed handles, preload lists and
// WaitSpriteDone in virtual time.
#include "engine/toolbox/sprite_toolbox.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/ticks.h"
#include "media/res/anim_script.h"
#include "media/res/res_item_table.h"
#include "media/res/res_items_test_support.h"
#include "media/res/sprite.h"
#include "media/sound/snd_encoder.h"
#include "platform/core/byte_order.h"
#include "platform/headless/headless_backend.h"

namespace {

using namespace media;
using Instr = std::pair<int, uint32_t>;
using Script = std::vector<Instr>;

Script ScriptOf(const CCorAnim* s) {
    Script out;
    for (const CAnimInstr& i : s->GetScript()) out.emplace_back(i.opcode, i.operand);
    return out;
}

itemtest::Bytes Square(uint8_t colour) {
    return itemtest::Spr(4, std::vector<itemtest::Bytes>(4, itemtest::Bytes(4, colour)));
}

// Module 3 current, its pictures 12 and 13 and a two-instruction script 20 in its file; the
// picture origin at (64, 69).
class SpriteToolboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        hl = &plat::InstallHeadless();
        title.m_currentModule = 3;
        title.m_originX = 64;
        title.m_originY = 69;
        res.module = 3;
        media::CResWriter w;
        w.Add("SPR", 3012, Square(12));
        w.Add("SPR", 3013, Square(13));
        itemtest::Bytes script;
        AppendAnimRecord(script, kAnimShowPicture, 13);
        AppendAnimRecord(script, kAnimWait, 4);
        AppendAnimRecord(script, kAnimEmpty, 0);
        w.Add("ANI", 3020, script);
        // Preload lists: a count of 0 with two records, and a count of 2.
        for (const auto& [id, count] : {std::pair{3030, 0}, std::pair{3031, 2}}) {
            itemtest::Bytes list;
            plat::AppendLe16(list, static_cast<uint16_t>(count));
            list.resize(8, 0);
            for (int16_t picture : {int16_t{12}, int16_t{13}}) {
                itemtest::Bytes record(14, 0);
                plat::SetLe16(record, 0, static_cast<uint16_t>(picture));
                list.insert(list.end(), record.begin(), record.end());
            }
            w.Add("AN_", static_cast<uint16_t>(id), list);
        }
        ASSERT_TRUE(res.OpenModule(3, w));
    }

    bool Loaded(int32_t id) {
        auto* item = dynamic_cast<CSprite*>(res.cache.Find(id));
        return item && item->IsLoaded();
    }

    // A WM_CLOSE posted to the main window at the time (virtual milliseconds).
    void CloseWindowAt(uint64_t atMs) {
        if (!main.GetSafeHwnd()) {
            ASSERT_TRUE(main.CreateEx(0, nullptr, "Trumlaby", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr));
        }
        title.m_running = 1;
        hl->At(atMs, [this] { main.PostMessage(WM_CLOSE); });
    }
    void TearDown() override {
        if (main.GetSafeHwnd()) main.DestroyWindow();
    }

    plat::HeadlessBackend* hl = nullptr;
    itemtest::CTestHost res;
    CZelboTitle title;
    // The main window: a close while an engine call runs is recorded, as the application does.
    class CGameWnd : public CWnd {
    public:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_CLOSE) {
                ++closes;
                if (theEngine && theEngine->CallDepth() > 0) {
                    theEngine->SetClosePending(true);
                    return 0;
                }
            }
            return CWnd::WindowProc(message, wParam, lParam);
        }
        int closes = 0;
    } main;
};

// In module 3 a picture id goes into its module's block, keeping its sign; an id of 1012 is
// taken as 12.
TEST_F(SpriteToolboxTest, IdsFollowTheModuleRule) {
    const struct {
        int16_t id;
        int32_t absolute;
    } cases[] = {{12, 3012}, {-12, -3012}, {1012, 3012}, {-1012, -3012}, {999, 3999}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        CCorAnim* s = CreateSprite(0, 0, 2);
        StopSprite(s);
        QueueSpriteFrame(s, c.id);
        EXPECT_EQ(ScriptOf(s), (Script{{kAnimShowPicture, static_cast<uint32_t>(c.absolute)}, {kAnimWait, 2}, {kAnimNop, 0}}));
        DisposeSprite(s);
    }
}

// Every call against the instructions it appends to an empty script, with the origin at
// (64, 69) and default frame times of 2 and 5.
TEST_F(SpriteToolboxTest, EachCallAppendsItsInstructions) {
    const uint32_t minus1 = 0xFFFFFFFF;
    for (const int16_t frame : {int16_t{2}, int16_t{5}}) {
        SetDefaultFrameTicks(frame);
        const uint32_t f = static_cast<uint32_t>(frame);
        const struct {
            const char* name;
            std::function<void(CCorAnim*)> call;
            Script appended;
        } cases[] = {
            {"SpriteAddInstr as given", [](CCorAnim* s) { SpriteAddInstr(s, kAnimWait, 7); }, {{kAnimWait, 7}}},
            {"SpriteAddInstr resolved by the script",
             [](CCorAnim* s) { SpriteAddInstr(s, kAnimShowPicture, 12); }, {{kAnimShowPicture, 3012}}},
            {"SetSpriteAnim", [](CCorAnim* s) { SetSpriteAnim(s, 20); }, {{kAnimShowPicture, 3013}, {kAnimWait, 4}}},
            {"QueueSpriteFrame", [](CCorAnim* s) { QueueSpriteFrame(s, 12); },
             {{kAnimShowPicture, 3012}, {kAnimWait, f}, {kAnimNop, 0}}},
            {"QueueSpriteFrameMove", [](CCorAnim* s) { QueueSpriteFrameMove(s, 12, -3, 4); },
             {{kAnimShowPicture, 3012}, {kAnimMoveBy, PackAnimPoint(-3, 4)}, {kAnimWait, f}, {kAnimNop, 0}}},
            {"QueueSpriteFrameAt", [](CCorAnim* s) { QueueSpriteFrameAt(s, 12, 10, 20); },
             {{kAnimShowPicture, 3012}, {kAnimMoveTo, PackAnimPoint(74, 89)}, {kAnimWait, f}, {kAnimNop, 0}}},
            {"QueueSpriteFrameNoWait", [](CCorAnim* s) { QueueSpriteFrameNoWait(s, 12); }, {{kAnimShowPicture, 3012}}},
            {"QueueSpriteShowImage", [](CCorAnim* s) { QueueSpriteShowImage(s, 13); },
             {{kAnimSwapPicture, 3013}, {kAnimNop, 0}}},
            {"MoveSprite", [](CCorAnim* s) { MoveSprite(s, 10, 20); },
             {{kAnimMoveBy, PackAnimPoint(10, 20)}, {kAnimWait, f}, {kAnimNop, 0}}},
            {"MoveSpriteInPicture", [](CCorAnim* s) { MoveSpriteInPicture(s, 10, 20); },
             {{kAnimMoveTo, PackAnimPoint(74, 89)}, {kAnimWait, f}, {kAnimNop, 0}}},
            {"QueueSpriteWait", [](CCorAnim* s) { QueueSpriteWait(s, 30); }, {{kAnimWait, 30}, {kAnimNop, 0}}},
            {"QueueSpriteSound", [](CCorAnim* s) { QueueSpriteSound(s, 5); }, {{kAnimPlaySound, 3005}}},
            {"QueueSpriteSound reversed", [](CCorAnim* s) { QueueSpriteSound(s, -5); },
             {{kAnimPlaySound, static_cast<uint32_t>(-3005)}}},
            {"QueueSpriteSoundReplace", [](CCorAnim* s) { QueueSpriteSoundReplace(s, 5); }, {{kAnimPlayNewSound, 3005}}},
            {"QueueSpriteWaitSound own channel", [](CCorAnim* s) { QueueSpriteWaitSound(s, 0); }, {{kAnimWaitSound, 3000}}},
            {"QueueSpriteWaitSound any", [](CCorAnim* s) { QueueSpriteWaitSound(s, -1); },
             {{kAnimWaitSound, static_cast<uint32_t>(-3001)}}},
            {"QueueSpriteStopSound all, not mapped", [](CCorAnim* s) { QueueSpriteStopSound(s, -1); },
             {{kAnimStopSound, minus1}}},
            {"QueueSpriteStopSound channel 3", [](CCorAnim* s) { QueueSpriteStopSound(s, 3); }, {{kAnimStopSound, 3}}},
            {"QueueSpriteRestart", [](CCorAnim* s) { QueueSpriteRestart(s); }, {{kAnimRestart, 0}}},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " frame " + std::to_string(frame));
            CCorAnim* s = CreateSprite(0, 0, 2);
            StopSprite(s);
            c.call(s);
            EXPECT_EQ(ScriptOf(s), c.appended);
            // Appending never clears what is queued.
            c.call(s);
            EXPECT_EQ(s->GetScript().size(), 2 * c.appended.size());
            DisposeSprite(s);
        }
    }
}

// Run to their ends, a move to a point of the picture and a move by an offset differ by the
// origin; the getters take it off again.
TEST_F(SpriteToolboxTest, MovesAndTheGettersInPictureCoordinates) {
    CCorAnim* a = CreateSprite(5, 6, 12);
    CCorAnim* b = CreateSprite(5, 6, 12);
    EXPECT_EQ(a->GetPosition().x, 69);
    EXPECT_EQ(a->GetPosition().y, 75);
    MoveSpriteInPicture(a, 10, 20);
    MoveSprite(b, 10, 20);
    title.m_anims.RunUntilSettled();
    EXPECT_EQ(GetSpriteX(a), 10);
    EXPECT_EQ(GetSpriteY(a), 20);
    int16_t x = 0, y = 0;
    GetSpritePos(b, &x, &y);
    EXPECT_EQ(x, 15);
    EXPECT_EQ(y, 26);
}

TEST_F(SpriteToolboxTest, GetSpriteFrameIsThePictureShownModulo1000) {
    CCorAnim* s = CreateSprite(0, 0, 12);
    title.m_anims.StepAll();
    EXPECT_EQ(s->GetPictureId(), 3012);
    EXPECT_EQ(GetSpriteFrame(s), 12);
    CCorAnim* none = CreateSprite(0, 0, 2);
    EXPECT_EQ(GetSpriteFrame(none), 2);
    CCorAnim* missing = CreateSprite(0, 0, 77);  // no such picture in the file
    title.m_anims.StepAll();
    EXPECT_EQ(GetSpriteFrame(missing), 2);
    EXPECT_EQ(GetSpriteFrame(nullptr), 2);
}

TEST_F(SpriteToolboxTest, ClipRectanglesInPictureCoordinatesAndNone) {
    CCorAnim* s = CreateSprite(0, 0, 12);
    const CCorRect clip{1, 2, 30, 40};
    SetSpriteClip(s, &clip);
    RECT r = s->GetClipRect();
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{65, 71, 94, 109}));
    SetSpriteClip(s, nullptr);
    r = s->GetClipRect();
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{-32767, -32767, 32767, 32767}));

    SetSpriteUserValue(s, 0);
    EXPECT_FALSE(s->IsClickable());
    SetSpriteUserValue(s, -2);
    EXPECT_TRUE(s->IsClickable());
}

// The drawing order as a table of moves over three sprites a, b, c (made in that order); a
// sprite in no list (disposed) as b sends a to the head or the tail.
TEST_F(SpriteToolboxTest, DrawingOrder) {
    enum { A, B, C, Gone, Null };
    const struct {
        const char* name;
        void (*move)(CCorAnim*, CCorAnim*);
        int first, second;
        std::vector<int> order;
    } cases[] = {
        {"a before c", PutSpriteBefore, A, C, {B, A, C}},
        {"c before a", PutSpriteBefore, C, A, {C, A, B}},
        {"a after c", PutSpriteAfter, A, C, {B, C, A}},
        {"c after a", PutSpriteAfter, C, A, {A, C, B}},
        {"b after b", PutSpriteAfter, B, B, {A, B, C}},
        {"c before a gone sprite: to the head", PutSpriteBefore, C, Gone, {C, A, B}},
        {"a after a gone sprite: to the tail", PutSpriteAfter, A, Gone, {B, C, A}},
        {"a before null: nothing", PutSpriteBefore, A, Null, {A, B, C}},
        {"a gone sprite before a: nothing", PutSpriteBefore, Gone, A, {A, B, C}},
        {"c to the back", [](CCorAnim* s, CCorAnim*) { SpriteToBack(s); }, C, Null, {C, A, B}},
        {"a to the front", [](CCorAnim* s, CCorAnim*) { SpriteToFront(s); }, A, Null, {B, C, A}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DisposeAllSprites();
        CCorAnim* gone = CreateSprite(0, 0, 2);
        DisposeSprite(gone);
        CCorAnim* s[] = {CreateSprite(0, 0, 12), CreateSprite(0, 0, 13), CreateSprite(0, 0, 12), gone, nullptr};
        c.move(s[c.first], s[c.second]);
        std::vector<CCorAnim*> expected;
        for (int k : c.order) expected.push_back(s[k]);
        EXPECT_EQ(title.m_anims.Objects(), expected);
    }
}

// Moving a sprite in the drawing order leaves every script and the list's state as they were.
TEST_F(SpriteToolboxTest, PutSpriteAfterKeepsTheListState) {
    CCorAnim* a = CreateSprite(0, 0, 12);
    CCorAnim* b = CreateSprite(0, 0, 13);
    QueueSpriteWait(a, 10);
    QueueSpriteRestart(b);
    title.m_anims.StepAll();
    const int16_t before = GetSpriteStatus(kAllSprites);
    EXPECT_EQ(before, kAnimRunning);
    PutSpriteAfter(a, b);
    EXPECT_EQ(title.m_anims.Objects(), (std::vector<CCorAnim*>{b, a}));
    EXPECT_EQ(GetSpriteStatus(kAllSprites), before);
    EXPECT_EQ(GetSpriteStatus(a), kAnimRunning);
    EXPECT_EQ(GetSpriteStatus(b), kAnimEndless);
    StopSprite(a);
    EXPECT_EQ(GetSpriteStatus(kAllSprites), kAnimEndless);
    StopSprite(kAllSprites);
    EXPECT_EQ(GetSpriteStatus(kAllSprites), kAnimFinished);
}

// A disposed sprite's handle is ignored like a null one: nothing reaches the freed object
// (AddressSanitizer would report it), the getters give their defaults, the other sprite is
// untouched.
TEST_F(SpriteToolboxTest, ADisposedHandleIsIgnoredLikeANullOne) {
    CCorAnim* other = CreateSprite(1, 2, 12);
    title.m_anims.StepAll();
    for (CCorAnim* stale : {CreateSprite(0, 0, 13), static_cast<CCorAnim*>(nullptr)}) {
        DisposeSprite(stale);
        SpriteAddInstr(stale, kAnimWait, 3);
        SetSpriteAnim(stale, 20);
        QueueSpriteFrame(stale, 12);
        QueueSpriteFrameMove(stale, 12, 1, 1);
        QueueSpriteFrameAt(stale, 12, 1, 1);
        QueueSpriteFrameNoWait(stale, 12);
        QueueSpriteShowImage(stale, 13);
        MoveSprite(stale, 1, 1);
        MoveSpriteInPicture(stale, 1, 1);
        QueueSpriteWait(stale, 1);
        QueueSpriteSound(stale, 5);
        QueueSpriteSoundReplace(stale, 5);
        QueueSpriteWaitSound(stale, 0);
        QueueSpriteStopSound(stale, 0);
        QueueSpriteRestart(stale);
        StopSprite(stale);
        FinishSpriteScript(stale);
        WaitSpriteDone(stale);
        SetSpriteUserValue(stale, 0);
        const CCorRect clip{0, 0, 1, 1};
        SetSpriteClip(stale, &clip);
        SpriteToFront(stale);
        SpriteToBack(stale);
        PutSpriteAfter(stale, other);
        DisposeSprite(stale);
        EXPECT_EQ(GetSpriteStatus(stale), 1);
        EXPECT_EQ(GetSpriteFrame(stale), 2);
        EXPECT_EQ(GetSpriteX(stale), 0);
        EXPECT_EQ(GetSpriteY(stale), 0);
        int16_t x = 77, y = 88;
        GetSpritePos(stale, &x, &y);
        EXPECT_EQ(x, 77);
        EXPECT_EQ(y, 88);
    }
    EXPECT_EQ(title.m_anims.Objects(), std::vector<CCorAnim*>{other});
    EXPECT_TRUE(other->GetScript().empty());
    EXPECT_EQ(GetSpriteX(other), 1);
    EXPECT_TRUE(other->IsClickable());
}

TEST_F(SpriteToolboxTest, PreloadAnimationLoadsWhatTheListNames) {
    PreloadAnimation(30);  // count 0: the first record only
    EXPECT_TRUE(Loaded(3012));
    EXPECT_FALSE(Loaded(3013));
    res.cache.RemoveRange(3000, 3999);
    PreloadAnimation(31);
    EXPECT_TRUE(Loaded(3012));
    EXPECT_TRUE(Loaded(3013));
    res.cache.RemoveRange(3000, 3999);
    PreloadAnimation(32);  // no such list
    EXPECT_EQ(res.cache.Find(3012), nullptr);
}

int g_passes = 0;
void CountPass() { ++g_passes; }
CCorAnim* g_disposeOnCall = nullptr;
void DisposeOnCall() { DisposeSprite(g_disposeOnCall); }

// WaitSpriteDone steps once per engine tick in virtual time (a counting sprite sees every
// pass), and ends when the script is done, endless, gone, or while a close is pending.
TEST_F(SpriteToolboxTest, WaitSpriteDoneStepsOncePerTickUntilTheScriptEnds) {
    CCorAnim* counter = CreateSprite(0, 0, 2);
    StopSprite(counter);
    counter->AddFunction(CountPass);
    counter->AddInstr(kAnimYield, 0);
    counter->AddInstr(kAnimLoop, PackAnimLoop(0, 4095, -3));

    CCorAnim* s = CreateSprite(0, 0, 12);
    QueueSpriteWait(s, 30);
    g_passes = 0;
    const uint64_t start = GetTicks();
    WaitSpriteDone(s);
    EXPECT_EQ(GetSpriteStatus(s), 1);
    EXPECT_GE(GetTicks() - start, 30u);
    EXPECT_LE(GetTicks() - start, 32u);
    EXPECT_GE(g_passes, 30);
    EXPECT_LE(g_passes, 33) << "one pass a tick";

    QueueSpriteRestart(s);
    WaitSpriteDone(s);  // endless: returns at once
    EXPECT_EQ(GetSpriteStatus(s), kAnimEndless);

    // A close of the main window posted while the wait runs: taken in (recorded as pending, as
    // under any engine call) and the wait ends with it; the close itself waits for the program.
    StopSprite(s);
    CCorAnim* closed = CreateSprite(0, 0, 12);
    QueueSpriteWait(closed, 30);
    CloseWindowAt(hl->NowMs() + 100);
    const uint64_t closing = GetTicks();
    WaitSpriteDone(closed);
    EXPECT_TRUE(title.ClosePending());
    EXPECT_EQ(main.closes, 1);
    EXPECT_TRUE(IsWindow(main.GetSafeHwnd())) << "not while the wait runs";
    EXPECT_GE(GetTicks() - closing, 6u) << "the close came 100 ms in";
    EXPECT_LE(GetTicks() - closing, 8u) << "and ended the wait within a tick";
    EXPECT_EQ(GetSpriteStatus(closed), kAnimRunning);
    const uint64_t pending = GetTicks();
    WaitSpriteDone(closed);
    EXPECT_EQ(GetTicks(), pending) << "a pending close ends a wait at once";
    title.SetClosePending(false);
    DisposeSprite(closed);

    // The module's code, run by the script, disposes of the sprite waited for.
    g_disposeOnCall = s;
    StopSprite(s);
    QueueSpriteWait(s, 5);
    s->AddFunction(DisposeOnCall);
    QueueSpriteWait(s, 1000);
    const uint64_t calling = GetTicks();
    WaitSpriteDone(s);
    EXPECT_LE(GetTicks() - calling, 7u) << "the wait ended when the sprite went";
    EXPECT_FALSE(title.m_anims.Contains(s));
}

// A wait on a held script lasts only while another script runs that could release it: held
// with nothing else running, or with only endless scripts, it ends at once; released by a
// running script, it goes on to the script's end; and a close ends it however it is held.
TEST_F(SpriteToolboxTest, WaitSpriteDoneOnAHeldScript) {
    struct Case {
        const char* what;
        uint32_t released;         // the value the other script releases (0: no other script)
        bool otherEndless;         // the other script loops for ever instead of ending
        uint64_t closeAtMs;        // a WM_CLOSE posted then (0: none)
        uint64_t least, most;      // the ticks the wait lasts
        int16_t heldStatusAfter;   // the waited script's status afterwards
    };
    const Case cases[] = {
        {"held, nothing else runs", 0, false, 0, 0, 0, kAnimHeld},
        {"held, the other script never releases it and ends", 9, false, 0, 20, 21, kAnimHeld},
        {"held, released by the other script", 5, false, 0, 30, 32, kAnimFinished},
        {"held, only an endless script besides", 5, true, 0, 0, 0, kAnimHeld},
        {"held, the other script long, a close comes", 5, false, 200, 12, 14, kAnimHeld},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DisposeAllSprites();
        CCorAnim* held = CreateSprite(0, 0, 12);
        StopSprite(held);
        held->AddInstr(kAnimHold, 5);
        QueueSpriteWait(held, 10);
        if (c.released != 0) {
            CCorAnim* other = CreateSprite(0, 0, 13);
            StopSprite(other);
            QueueSpriteWait(other, c.closeAtMs ? 1000 : 20);
            other->AddInstr(kAnimRelease, c.released);
            if (c.otherEndless) QueueSpriteRestart(other);
        }
        if (c.closeAtMs) CloseWindowAt(hl->NowMs() + c.closeAtMs);
        const uint64_t start = GetTicks();
        WaitSpriteDone(held);
        EXPECT_GE(GetTicks() - start, c.least);
        EXPECT_LE(GetTicks() - start, c.most);
        EXPECT_EQ(GetSpriteStatus(held), c.heldStatusAfter);
        EXPECT_EQ(title.ClosePending(), c.closeAtMs != 0);
        title.SetClosePending(false);
    }
}

// On a started engine, module 3 entered: the default frame time goes back to 2 on a module
// entry, and preload lists load their sounds into the engine's clip list.
class SpriteToolboxEngineTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        PutSharedFile(root / "Prog");
        PutModuleFile(root / "Prog", 1, ModuleFile(1));
        media::CResWriter w = ModuleFile(3);
        w.Add("SPR", 3012, enginetest::Picture(4, 4, 11));
        w.Add("SPR", 3013, enginetest::Picture(4, 4, 11));
        w.Add("SND", 3101, EncodeSndPlain(std::vector<uint8_t>(200, 0xC0)));
        w.Add("SND", 3102, EncodeSndPlain(std::vector<uint8_t>(200, 0x40)));
        for (const auto& [id, count] : {std::pair{3030, 0}, std::pair{3031, 2}}) {
            enginetest::Bytes list;
            plat::AppendLe16(list, static_cast<uint16_t>(count));
            list.resize(8, 0);
            for (const auto& [picture, sound] : {std::pair{12, 101}, std::pair{13, 102}}) {
                enginetest::Bytes record(14, 0);
                plat::SetLe16(record, 0, static_cast<uint16_t>(picture));
                plat::SetLe16(record, 10, static_cast<uint16_t>(sound));
                list.insert(list.end(), record.begin(), record.end());
            }
            w.Add("AN_", static_cast<uint16_t>(id), list);
        }
        PutModuleFile(root / "Prog", 3, w);
        title.Startup(programFolder);
        title.m_prefs.playIntroSound = 0;
        title.m_running = 1;
        title.GoToModule(3, TRUE);
    }
    CZelboTitle title;
};

TEST_F(SpriteToolboxEngineTest, AModuleEntrySetsTheDefaultFrameTimeBackTo2) {
    SetDefaultFrameTicks(9);
    CCorAnim* s = CreateSprite(0, 0, 2);
    QueueSpriteFrame(s, 12);
    EXPECT_EQ(ScriptOf(s).at(2), (Instr{kAnimWait, 9}));
    title.UnloadModule(FALSE);
    title.GoToModule(3, TRUE);
    s = CreateSprite(0, 0, 2);
    StopSprite(s);
    QueueSpriteFrame(s, 12);
    EXPECT_EQ(ScriptOf(s), (Script{{kAnimShowPicture, 3012}, {kAnimWait, 2}, {kAnimNop, 0}}));
}

TEST_F(SpriteToolboxEngineTest, PreloadListsLoadTheirSounds) {
    title.m_sounds.StopAll();
    ASSERT_EQ(title.m_sounds.ClipCount(), 0u);
    PreloadAnimation(30);  // count 0: the first record only
    EXPECT_EQ(title.m_sounds.ClipCount(), 1u);
    PreloadAnimation(31);
    EXPECT_EQ(title.m_sounds.ClipCount(), 2u);
}

}  // namespace
