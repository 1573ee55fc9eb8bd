#include "engine/scene/anim_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/scene/scene_test_support.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/surface_test_support.h"
#include "platform/headless/headless_backend.h"

namespace {

using namespace media;

// The current module's entries, recording what reaches them.
struct ModuleCalls {
    std::vector<std::pair<CCorAnim*, int16_t>> clicks;
    std::vector<std::pair<CCorAnim*, uint32_t>> cues;
    int16_t clickResult = 1;
    std::function<void(CCorAnim*, uint32_t)> onCue;
    std::function<void(CCorAnim*)> onClick;
};
ModuleCalls* g_calls = nullptr;

int16_t RecordClick(CCorAnim* anim, int16_t id) {
    g_calls->clicks.emplace_back(anim, id);
    if (g_calls->onClick) g_calls->onClick(anim);
    return g_calls->clickResult;
}
void RecordCue(CCorAnim* anim, uint32_t value) {
    g_calls->cues.emplace_back(anim, value);
    if (g_calls->onCue) g_calls->onCue(anim, value);
}

class AnimListTest : public ::testing::Test {
protected:
    void SetUp() override {
        res.Open();
        g_calls = &calls;
        table.OnAnimClicked = RecordClick;
        table.OnAnimCue = RecordCue;
        host.table = &table;
    }
    void TearDown() override { g_calls = nullptr; }

    scenetest::CSceneResources res;
    scenetest::CFakeSceneHost host;
    ModuleFunctionTable table{};
    ModuleCalls calls;
    CAnimList list;
};

// ---- States and settling ----------------------------------------------------------------------

TEST_F(AnimListTest, StateOfTheListTable) {
    using Script = std::vector<std::pair<int16_t, uint32_t>>;
    const Script running = {{kAnimWait, 100}, {kAnimNop, 0}};
    const Script held = {{kAnimHold, 1}};
    const Script endless = {{kAnimWait, 100}, {kAnimRestart, 0}};
    const Script finished = {};
    const struct {
        std::vector<Script> objects;
        int state;
    } cases[] = {
        {{}, kAnimFinished},
        {{finished, finished}, kAnimFinished},
        {{finished, endless}, kAnimEndless},
        {{endless, held, finished}, kAnimHeld},
        {{held, endless, running}, kAnimRunning},
        {{running}, kAnimRunning},
    };
    for (const auto& c : cases) {
        CAnimList l;
        for (const Script& s : c.objects) {
            CCorAnim* a = l.Create(3012, POINT{0, 0});
            for (const auto& [op, operand] : s) a->AddInstr(op, operand);
        }
        l.StepAll();
        EXPECT_EQ(l.GetState(), c.state) << "objects " << c.objects.size();
    }
}

TEST_F(AnimListTest, AnEmptyListIsSettledAtOnce) {
    const int reads = host.tickReads;
    EXPECT_EQ(list.RunUntilSettled(), kAnimFinished);
    EXPECT_EQ(host.tickReads, reads);  // not even one pass
}

// Settling waits by sleeping to the earliest wake time: on the headless clock half a virtual
// second passes in a few waits, not in a busy loop.
TEST_F(AnimListTest, RunUntilSettledWaitsInVirtualTime) {
    plat::InstallHeadless();
    host.platformClock = true;
    CCorAnim* a = list.Create(3012, POINT{0, 0});
    a->AddInstr(kAnimWait, 30);
    a->AddInstr(kAnimNop, 0);
    CCorAnim* b = list.Create(3012, POINT{0, 0});
    b->AddInstr(kAnimWait, 12);
    b->AddInstr(kAnimNop, 0);
    const uint64_t start = plat::NowMs64();
    EXPECT_EQ(list.RunUntilSettled(), kAnimFinished);
    const uint64_t elapsed = plat::NowMs64() - start;
    EXPECT_GE(elapsed, 500u - 17);
    EXPECT_LE(elapsed, 500u + 34);
    EXPECT_LE(host.waits, 4);
}

TEST_F(AnimListTest, ReleaseFreesOnlyTheHoldsOfItsValue) {
    CCorAnim* held[3];
    const uint32_t values[3] = {7, 7, 8};
    for (int i = 0; i < 3; ++i) {
        held[i] = list.Create(3012, POINT{0, 0});
        held[i]->AddInstr(kAnimHold, values[i]);
        held[i]->AddInstr(kAnimMoveBy, PackAnimPoint(1, 0));
        held[i]->AddInstr(kAnimHold, 99);
    }
    CCorAnim* releaser = list.Create(3012, POINT{0, 0});
    releaser->AddInstr(kAnimWait, 1);
    releaser->AddInstr(kAnimRelease, 7);

    list.StepAll();
    EXPECT_EQ(list.GetState(), kAnimRunning);
    host.now = 1;
    list.StepAll();  // the releaser runs last, after the others were held again
    host.now = 2;
    list.StepAll();
    EXPECT_EQ(held[0]->GetPosition().x, 1);
    EXPECT_EQ(held[1]->GetPosition().x, 1);
    EXPECT_EQ(held[2]->GetPosition().x, 0);
    EXPECT_EQ(held[2]->GetIndex(), 0);
    list.ReleaseAll(8);
    list.StepAll();
    EXPECT_EQ(held[2]->GetPosition().x, 1);
}

// ---- Clicks -----------------------------------------------------------------------------------

// The front object's colour-0 pixel lets the click through to the object behind it.
TEST_F(AnimListTest, AClickOnColourZeroFallsThroughToTheObjectBehind) {
    CCorAnim* behind = list.Create(3012, POINT{100, 100});  // 4 × 4, colour 12
    CCorAnim* front = list.Create(3020, POINT{100, 100});   // 6 × 4, left half colour 0
    EXPECT_EQ(list.ClickAt(POINT{101, 101}, false), 1);
    ASSERT_EQ(calls.clicks.size(), 1u);
    EXPECT_EQ(calls.clicks[0].first, behind);
    EXPECT_EQ(calls.clicks[0].second, 12);

    calls.clicks.clear();
    EXPECT_EQ(list.ClickAt(POINT{103, 101}, false), 1);
    ASSERT_EQ(calls.clicks.size(), 1u);
    EXPECT_EQ(calls.clicks[0].first, front);
    EXPECT_EQ(calls.clicks[0].second, 20);

    // Not handled by the module: every object under the point is offered, front first.
    calls.clicks.clear();
    calls.clickResult = 0;
    EXPECT_EQ(list.ClickAt(POINT{103, 101}, false), 0);
    ASSERT_EQ(calls.clicks.size(), 2u);
    EXPECT_EQ(calls.clicks[0].first, front);
    EXPECT_EQ(calls.clicks[1].first, behind);
}

// Five pixels beside an object only the widened pass finds it; the first ring point inside
// the object decides, even when it lies on colour 0.
TEST_F(AnimListTest, TheWidenedPassFindsObjectsBesideThePointAtTheFirstRingPoint) {
    CCorAnim* solid = list.Create(3012, POINT{100, 100});  // x 100..103, y 100..103
    EXPECT_EQ(list.ClickAt(POINT{108, 101}, false), 0);
    EXPECT_TRUE(calls.clicks.empty());
    EXPECT_EQ(list.ClickAt(POINT{108, 101}, true), 1);
    ASSERT_EQ(calls.clicks.size(), 1u);
    EXPECT_EQ(calls.clicks[0].first, solid);
    list.Remove(solid);

    // Ring 5 around (95, 101) first meets the picture at (100, 100) (row -1, its right end),
    // which is colour 0: the search for this object ends there, although ring 8 would reach
    // colour 20 at (103, 101).
    calls.clicks.clear();
    list.Create(3020, POINT{100, 100});
    EXPECT_EQ(list.ClickAt(POINT{95, 101}, true), 0);
    EXPECT_TRUE(calls.clicks.empty());
    EXPECT_EQ(list.ClickAt(POINT{96, 101}, true), 0);  // ring 4: (100, 101), colour 0 again
    // Nine pixels away: beyond ring 8.
    EXPECT_EQ(list.ClickAt(POINT{115, 101}, true), 0);
    EXPECT_EQ(list.ClickAt(POINT{113, 101}, true), 1);  // ring 8 reaches (105, 101)
}

TEST_F(AnimListTest, ANonClickableObjectIsFoundButNeverReported) {
    CCorAnim* behind = list.Create(3012, POINT{100, 100});
    CCorAnim* front = list.Create(3013, POINT{100, 100});
    front->SetClickable(FALSE);
    EXPECT_EQ(list.FindAt(POINT{101, 101}), front);
    EXPECT_EQ(list.ClickAt(POINT{101, 101}, true), 1);
    ASSERT_EQ(calls.clicks.size(), 1u);
    EXPECT_EQ(calls.clicks[0].first, behind);
    // Outside its clip rectangle an object is neither found nor clicked.
    behind->SetClipRect(RECT{100, 100, 101, 104});
    calls.clicks.clear();
    EXPECT_EQ(list.ClickAt(POINT{102, 101}, false), 0);
    list.Remove(front);
    EXPECT_EQ(list.FindAt(POINT{102, 101}), nullptr);
    EXPECT_EQ(list.FindAt(POINT{100, 101}), behind);
}

TEST_F(AnimListTest, AModuleWithoutTheClickEntryHandlesNothing) {
    list.Create(3012, POINT{100, 100});
    table.OnAnimClicked = nullptr;
    EXPECT_EQ(list.ClickAt(POINT{101, 101}, true), 0);
    host.table = nullptr;
    EXPECT_EQ(list.ClickAt(POINT{101, 101}, true), 0);
}

// ---- Drawing ----------------------------------------------------------------------------------

class AnimDrawTest : public AnimListTest {
protected:
    void SetUp() override {
        AnimListTest::SetUp();
        plat::InstallHeadless();
        surftest::StartDibSystem(surftest::Mode::Plain);
        surface.Create(8, 6, nullptr);
        surface.Fill(9);
    }
    void TearDown() override {
        ShutdownDibSystem();
        AnimListTest::TearDown();
    }
    std::vector<scenetest::Bytes> Rows() {
        std::vector<scenetest::Bytes> rows;
        for (int y = 0; y < surface.Height(); ++y) {
            scenetest::Bytes row;
            for (int x = 0; x < surface.Width(); ++x) row.push_back(surface.GetPixel(x, y));
            rows.push_back(row);
        }
        return rows;
    }
    CDibG surface;
};

// Head to tail (the tail in front), each object cut to its clip rectangle and to the union of
// the dirty rectangles within its bounds, through its colour map.
TEST_F(AnimDrawTest, DrawAllPaintsHeadToTailWithinTheDirtyAreaAndTheClipRectangle) {
    CCorAnim* a = list.Create(3012, POINT{1, 1});  // colour 12, x 1..4, y 1..4
    a->SetClipRect(RECT{1, 1, 4, 10});
    CCorAnim* b = list.Create(3013, POINT{3, 2});  // colour 13, x 3..6, y 2..5
    const uint8_t map[] = {1, 0, 3, 30};            // colour 13 is drawn as 40
    b->SetColourMap(map, sizeof map);
    CDirtyRectList dirty(8, 6);
    dirty.Add(RECT{0, 0, 4, 6});
    dirty.Add(RECT{6, 0, 7, 6});
    list.DrawAll(surface, dirty);
    const std::vector<scenetest::Bytes> expected = {
        {9, 9, 9, 9, 9, 9, 9, 9},
        {9, 12, 12, 12, 9, 9, 9, 9},
        {9, 12, 12, 40, 40, 40, 40, 9},  // b's union of dirty parts reaches x 3..6
        {9, 12, 12, 40, 40, 40, 40, 9},
        {9, 12, 12, 40, 40, 40, 40, 9},
        {9, 9, 9, 40, 40, 40, 40, 9},
    };
    EXPECT_EQ(Rows(), expected);

    // Nothing dirty where an object is: it is not drawn.
    surface.Fill(9);
    CDirtyRectList elsewhere(8, 6);
    elsewhere.Add(RECT{7, 0, 8, 1});
    list.DrawAll(surface, elsewhere);
    EXPECT_EQ(Rows()[2], (scenetest::Bytes{9, 9, 9, 9, 9, 9, 9, 9}));
}

TEST_F(AnimListTest, InvalidationCoversTheBoundsWithinTheClipRectangle) {
    CCorAnim* a = list.Create(3012, POINT{10, 20});
    ASSERT_FALSE(host.invalidated.empty());
    EXPECT_TRUE(EqualRect(&host.invalidated.back(), std::data({RECT{10, 20, 14, 24}})));
    host.invalidated.clear();
    a->SetClipRect(RECT{12, 0, 100, 100});
    ASSERT_EQ(host.invalidated.size(), 2u);
    EXPECT_TRUE(EqualRect(&host.invalidated[1], std::data({RECT{12, 20, 14, 24}})));
    // An object without a picture has no bounds.
    host.invalidated.clear();
    list.Create(2, POINT{0, 0})->Invalidate();
    EXPECT_TRUE(host.invalidated.empty());
}

// An object removed leaves the screen: its area is marked for redrawing, during a walk of the
// list as well (a click handler closing a pop-up), else its pixels would stay on the screen.
TEST_F(AnimListTest, RemovingAnObjectInvalidatesWhatItShowed) {
    for (const bool inWalk : {false, true}) {
        SCOPED_TRACE(inWalk ? "during a walk" : "outside a walk");
        CCorAnim* a = list.Create(3012, POINT{10, 20});
        CCorAnim* b = list.Create(3012, POINT{30, 40});
        host.invalidated.clear();
        if (inWalk) {
            calls.onClick = [&](CCorAnim*) { list.Remove(a); };
            list.ClickAt(POINT{31, 41}, false);
            calls.onClick = nullptr;
        } else {
            list.Remove(a);
        }
        ASSERT_EQ(host.invalidated.size(), 1u);
        EXPECT_TRUE(EqualRect(&host.invalidated[0], std::data({RECT{10, 20, 14, 24}})));
        list.Remove(b);
    }
}

// ---- Faults -----------------------------------------------------------------------------------

// Modules without OnAnimCue may still meet a Cue (a stand-in or damaged script): skipped.
TEST_F(AnimListTest, ACueWithoutTheModulesEntryIsSkipped) {
    for (const bool withTable : {false, true}) {
        host.table = withTable ? &table : nullptr;
        table.OnAnimCue = nullptr;
        CCorAnim* a = list.Create(3012, POINT{0, 0});
        a->AddInstr(kAnimCue, 5);
        a->AddInstr(kAnimMoveBy, PackAnimPoint(1, 0));
        a->AddInstr(kAnimHold, 0);
        list.StepAll();
        EXPECT_EQ(a->GetPosition().x, 1);
        list.Remove(a);
    }
    // With the entry, the cue reaches it with the object and the value.
    table.OnAnimCue = RecordCue;
    CCorAnim* a = list.Create(3012, POINT{0, 0});
    a->AddInstr(kAnimCue, 0xDEAD);
    list.StepAll();
    ASSERT_EQ(calls.cues.size(), 1u);
    EXPECT_EQ(calls.cues[0].first, a);
    EXPECT_EQ(calls.cues[0].second, 0xDEADu);
}

// Pairs whose colours would pass the 256-entry map are ignored; the table's count never
// reads past the table.
TEST_F(AnimListTest, ColourMapPairsPastTheMapAreIgnored) {
    CCorAnim* a = list.Create(3012, POINT{0, 0});
    const uint8_t table[] = {4, 0, 250, 1, 3, 30, 1, 250, 235, 0};  // says 4 pairs, holds 4
    a->SetColourMap(table, sizeof table);
    ASSERT_NE(a->GetColourMap(), nullptr);
    for (int i = 0; i < 256; ++i) {
        const int expected = i == 13 ? 40 : i == 245 ? 10 : i;
        EXPECT_EQ(a->GetColourMap()[i], expected) << i;
    }
    const uint8_t shortTable[] = {9, 0, 2, 3};  // says 9 pairs, holds 1
    a->SetColourMap(shortTable, sizeof shortTable);
    EXPECT_EQ(a->GetColourMap()[12], 13);
    EXPECT_EQ(a->GetColourMap()[13], 13);
    a->SetColourMap(nullptr, 0);
    EXPECT_EQ(a->GetColourMap(), nullptr);
}

// Module code run by a cue removes objects during StepAll: its own, one already run, one not
// yet run, or all of them (a module switch). None is touched afterwards (AddressSanitizer
// watches), and the others run on.
TEST_F(AnimListTest, ObjectsRemovedByACueDuringStepAllAreNeverTouchedAgain) {
    enum class Removes { Self, SelfAndEarlier, SelfAndLater, Everything };
    for (const Removes removes : {Removes::Self, Removes::SelfAndEarlier, Removes::SelfAndLater, Removes::Everything}) {
        CAnimList l;
        std::vector<CCorAnim*> objects;
        for (int i = 0; i < 4; ++i) {
            CCorAnim* a = l.Create(3012, POINT{0, 0});
            if (i == 1) a->AddInstr(kAnimCue, 1);
            a->AddInstr(kAnimMoveBy, PackAnimPoint(1, 0));
            a->AddInstr(kAnimHold, 0);
            objects.push_back(a);
        }
        calls.onCue = [&](CCorAnim* self, uint32_t) {
            if (removes == Removes::Everything) {
                l.RemoveAll();
                return;
            }
            l.Remove(self);
            if (removes == Removes::SelfAndEarlier) l.Remove(objects[0]);
            if (removes == Removes::SelfAndLater) l.Remove(objects[2]);
            l.Remove(self);  // twice: ignored
        };
        l.StepAll();
        calls.onCue = nullptr;
        const std::vector<CCorAnim*> left = l.Objects();
        switch (removes) {
        case Removes::Self:
            EXPECT_EQ(left, (std::vector<CCorAnim*>{objects[0], objects[2], objects[3]}));
            break;
        case Removes::SelfAndEarlier:
            EXPECT_EQ(left, (std::vector<CCorAnim*>{objects[2], objects[3]}));
            break;
        case Removes::SelfAndLater:
            EXPECT_EQ(left, (std::vector<CCorAnim*>{objects[0], objects[3]}));
            break;
        case Removes::Everything:
            EXPECT_TRUE(left.empty());
            break;
        }
        for (CCorAnim* a : left) EXPECT_EQ(a->GetPosition().x, 1);
        // Removed objects had their scan targets dropped.
        EXPECT_NE(std::find(host.detached.begin(), host.detached.end(), objects[1]), host.detached.end());
        // Later walks see only what is left.
        l.StepAll();
        calls.clicks.clear();
        calls.clickResult = 0;
        l.ClickAt(POINT{2, 2}, false);
        EXPECT_EQ(calls.clicks.size(), left.size());
        calls.clickResult = 1;
    }
}

// SwapPicture drops the old picture from the item cache; another object still showing it
// keeps a whole picture (its use holds the item), and the item goes with that last use.
TEST_F(AnimListTest, APictureSwappedAwayStaysWholeForAnotherObjectShowingIt) {
    CCorAnim* swapper = list.Create(3012, POINT{0, 0});
    CCorAnim* keeper = list.Create(3012, POINT{10, 0});
    ASSERT_EQ(swapper->GetPicture(), keeper->GetPicture());
    CSprite* shared = keeper->GetPicture();
    EXPECT_EQ(shared->UseCount(), 2u);

    swapper->AddInstr(kAnimSwapPicture, 13);
    list.StepAll();
    EXPECT_EQ(swapper->GetPictureId(), 3013);
    EXPECT_EQ(res.host.cache.Find(3012), nullptr);  // dropped from the cache
    EXPECT_TRUE(shared->IsDropped());
    // Still drawn and hit from its own pixels (AddressSanitizer would see freed memory).
    ASSERT_EQ(keeper->GetPicture(), shared);
    EXPECT_TRUE(keeper->HitTest(11, 1, true));
    EXPECT_EQ(shared->Bits()[0], 12);
    // Showing 3012 again loads a new item into the cache.
    swapper->AddInstr(kAnimShowPicture, 12);
    list.StepAll();
    EXPECT_NE(swapper->GetPicture(), shared);
    EXPECT_EQ(res.host.cache.Find(3012), swapper->GetPicture());
    list.Remove(keeper);  // its last use: the dropped item is deleted (the leak check sees it)

    // A swap with nobody else showing the picture frees it at once.
    CCorAnim* alone = list.Create(3014, POINT{0, 0});
    alone->SwapPicture(3013);
    EXPECT_EQ(res.host.cache.Find(3014), nullptr);
    // The same id, or none: nothing dropped.
    alone->SwapPicture(3013);
    EXPECT_NE(res.host.cache.Find(3013), nullptr);
    alone->SwapPicture(kNoPictureId);
    EXPECT_EQ(alone->GetPicture(), nullptr);
    EXPECT_NE(res.host.cache.Find(3013), nullptr);
}

// A click handler removes the clicked object and the one behind it: the walk stops at the
// handled click, and nothing removed is offered again.
TEST_F(AnimListTest, ObjectsRemovedByAClickHandlerAreNeverTouchedAgain) {
    CCorAnim* behind = list.Create(3012, POINT{100, 100});
    CCorAnim* front = list.Create(3012, POINT{100, 100});
    calls.clickResult = 0;
    calls.onClick = [&](CCorAnim* clicked) {
        list.Remove(clicked);
        if (clicked == front) list.Remove(behind);
    };
    EXPECT_EQ(list.ClickAt(POINT{101, 101}, true), 0);
    ASSERT_EQ(calls.clicks.size(), 1u);
    EXPECT_EQ(calls.clicks[0].first, front);
    EXPECT_EQ(list.GetCount(), 0u);
}

// A click handler that takes its object out for a while (a drag) and deletes it or puts it back
// (after the object that was before it, at the head or the tail when there is none): the walk
// goes on over what is left and never reaches a deleted object.
TEST_F(AnimListTest, ObjectsTakenOutByAClickHandler) {
    struct Case {
        const char* what;
        int clicked;          // index of the object the handler takes out
        bool dispose;
        bool atHeadWhenNone;
        std::vector<int> order;  // indexes, head first, afterwards
    };
    const std::vector<Case> cases = {
        {"the middle put back after its predecessor", 1, false, false, {0, 1, 2}},
        {"the head put back at the tail", 0, false, false, {1, 2, 0}},
        {"the head put back at the head", 0, false, true, {0, 1, 2}},
        {"the tail deleted", 2, true, false, {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list.RemoveAll();
        calls.clicks.clear();
        std::vector<CCorAnim*> objects;
        for (int i = 0; i < 3; ++i) objects.push_back(list.Create(3012, POINT{100, 100}));
        CCorAnim* target = objects[static_cast<size_t>(c.clicked)];
        calls.clickResult = 0;
        int takenOut = 0;
        calls.onClick = [&](CCorAnim* clicked) {
            if (clicked != target || takenOut++) return;
            CAnimRef before;
            ASSERT_TRUE(list.TakeOut(clicked, before));
            EXPECT_EQ(list.Get(before), c.clicked > 0 ? objects[static_cast<size_t>(c.clicked - 1)] : nullptr);
            EXPECT_FALSE(list.Contains(clicked));
            CAnimRef again;
            EXPECT_FALSE(list.TakeOut(clicked, again));
            if (c.dispose)
                list.DisposeTakenOut(clicked);
            else
                list.PutBack(clicked, before, c.atHeadWhenNone);
        };
        EXPECT_EQ(list.ClickAt(POINT{101, 101}, false), 0);
        std::vector<int> order;
        for (CCorAnim* a : list.Objects())
            order.push_back(static_cast<int>(std::find(objects.begin(), objects.end(), a) - objects.begin()));
        EXPECT_EQ(order, c.order);
        // Every object offered once, the one taken out too.
        EXPECT_EQ(calls.clicks.size(), 3u);
        EXPECT_EQ(std::count_if(calls.clicks.begin(), calls.clicks.end(), [&](const auto& k) { return k.first == target; }), 1);
    }
    calls.onClick = nullptr;
}

// A deleted object's memory stays with the list until ForgetDisposed and a new object takes
// it; a newer object there has another serial, and a reference to the old one answers null.
TEST_F(AnimListTest, ReferencesTellANewerObjectInTheSameMemory) {
    CAnimList list;
    CCorAnim* first = list.Create(3012, POINT{0, 0});
    const CAnimRef keptFirst = first;
    EXPECT_EQ(list.Get(keptFirst), first);
    list.Remove(first);
    EXPECT_EQ(list.Get(keptFirst), nullptr);
    CCorAnim* second = list.Create(3012, POINT{0, 0});
    EXPECT_NE(second, first) << "not while the module stays";
    const CAnimRef keptSecond = second;
    const uint64_t serial = second->Serial();
    list.RemoveAll();
    list.ForgetDisposed();
    CCorAnim* newer = list.Create(3012, POINT{0, 0});
    ASSERT_EQ(newer, second) << "the memory deleted last is taken first";
    EXPECT_GT(newer->Serial(), serial);
    EXPECT_EQ(list.Get(keptSecond), nullptr);
    EXPECT_EQ(list.Get(CAnimRef(newer)), newer);
    EXPECT_FALSE(list.IsAlive(CAnimRef()));
}

#if defined(__SANITIZE_ADDRESS__)
#define ZELBO_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELBO_TEST_ASAN 1
#endif
#endif

#ifdef ZELBO_TEST_ASAN
// The kept memory is poisoned: reading a disposed object through a stale pointer is reported
// by AddressSanitizer as a read of freed memory would be.
TEST_F(AnimListTest, AStaleReadOfAKeptObjectIsReported) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CAnimList list;
    CCorAnim* gone = list.Create(3012, POINT{0, 0});
    list.Remove(gone);
    EXPECT_DEATH(
        {
            volatile int32_t id = gone->GetPictureId();
            static_cast<void>(id);
        },
        "use-after-poison");
}
#endif

}  // namespace
