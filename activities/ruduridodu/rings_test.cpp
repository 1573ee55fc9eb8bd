// The rings and their layouts on the activity kit over the built Zelbo3.res: the five layouts
// as built (ring kinds, slot order, spots), what is inside a ring, the slot a car comes to,
// the plates, the announcements, the presenter, and layout records that are damaged.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/round_task.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/ruduridodu/ruduridodu_kit_test_support.h"
#include "activities/ruduridodu/ruduridodu_test_support.h"
#include "activities/ruduridodu/slot_layout.h"
#include "activities/ruduridodu/slot_target.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "media/res/res_mgr.h"
#include "platform/core/crt.h"

namespace {

using ruduridodutest::TestRound;

class RingsTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        UseBuiltFile(kRuduridoduModule);
        EnterModule(kRuduridoduModule, RuduridoduModuleTable());
    }
    // No round of the module's own: the test's rounds own the spots 641 to 643.
    static void NoModuleRound() { Module3::FreeRound(); }
    // How many of the rings' spots 641 to 643 the engine has.
    static size_t SpotCount() {
        size_t n = 0;
        for (int16_t id = 641; id <= 643; ++id) n += EngineFindSpot(id) ? 1 : 0;
        return n;
    }
    // A press queued at that virtual time from now (with its release), for a wait to find.
    void PressAfter(uint64_t ms) {
        plat::InputEvent down;
        down.kind = plat::InputKind::MouseDown;
        down.x = 10;
        down.y = 10;
        head->QueueInput(head->NowMs() + ms, down);
        plat::InputEvent up = down;
        up.kind = plat::InputKind::MouseUp;
        head->QueueInput(head->NowMs() + ms + 20, up);
    }
};

// ---- The five layouts ---------------------------------------------------------------------

enum class Kind { Box, BoxEx, Overlap };
Kind KindOf(CSlotTarget* ring) {
    if (dynamic_cast<CSlotOverlap*>(ring)) return Kind::Overlap;
    if (dynamic_cast<CSlotBoxEx*>(ring)) return Kind::BoxEx;
    return Kind::Box;
}

struct LayoutCase {
    int16_t layout;
    std::vector<Kind> kinds;
    int16_t announced;
    std::vector<int16_t> presenterPictures;
    std::vector<int> slotOrder;  // the rings whose slots the list holds, in turn
    int16_t slots;
};

class RingsLayouts : public RingsTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(RingsLayouts, BuildTheirRingsSlotsAndSpots) {
    const LayoutCase& c = GetParam();
    NoModuleRound();
    const size_t spotsBefore = SpotCount();
    TestRound round(c.layout, {{11}, {22}, {33}});
    CSlotLayout& layout = *round.Layout();
    ASSERT_EQ(layout.ContainerTally(), static_cast<int16_t>(c.kinds.size()));
    EXPECT_EQ(layout.AnnouncedTally(), c.announced);
    for (int16_t n = 1; n <= layout.ContainerTally(); ++n) {
        CSlotTarget* ring = layout.Container(n);
        EXPECT_EQ(ring->Number(), n);
        EXPECT_EQ(KindOf(ring), c.kinds[static_cast<size_t>(n - 1)]) << "ring " << n;
        EXPECT_EQ(ring->PresenterPicture(), c.presenterPictures[static_cast<size_t>(n - 1)]);
        // Switch access drops a car at the drop point: it lies in that very ring.
        EXPECT_EQ(layout.ContainerAt(ring->DropX(), ring->DropY()), n) << "ring " << n;
        EXPECT_GE(ring->Capacity(), 1);
    }
    // The slot list in the order of building: each ring's slots in turn.
    ASSERT_EQ(layout.SlotTally(), c.slots);
    int16_t at = 0;
    for (int ringNumber : c.slotOrder) {
        CSlotTarget* ring = layout.Container(static_cast<int16_t>(ringNumber));
        for (int16_t i = 0; i < ring->SlotCount(); ++i) EXPECT_EQ(layout.SlotAt(at++), ring->Slot(i));
    }
    EXPECT_EQ(at, c.slots);
    // A spot over each ring with a plate, no more.
    EXPECT_EQ(spotsBefore, 0u);
    EXPECT_EQ(SpotCount(), static_cast<size_t>(c.announced));
    for (int16_t n = 1; n <= 3; ++n) {
        CSlotTarget* ring = layout.Container(n);
        if (n > c.announced) {
            EXPECT_EQ(EngineFindSpot(static_cast<int16_t>(640 + n)), nullptr);
            continue;
        }
        CCorRect r{0, 0, 0, 0};
        EngineGetSpotRect(static_cast<int16_t>(640 + n), r);
        int16_t w = 0, h = 0;
        GetPictureSize(ring->Picture(), w, h);
        EXPECT_EQ(r, (CCorRect{ring->X(), ring->Y(), static_cast<int16_t>(ring->X() + w),
                               static_cast<int16_t>(ring->Y() + h)}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ruduridodu, RingsLayouts,
    ::testing::Values(LayoutCase{1, {Kind::Box, Kind::Box}, 2, {211, 219}, {1, 2}, 16},
                      LayoutCase{2, {Kind::Box, Kind::Box, Kind::Box}, 3, {219, 211, 218}, {1, 2, 3}, 24},
                      LayoutCase{3, {Kind::Box, Kind::BoxEx}, 2, {218, 211}, {2, 1}, 16},
                      LayoutCase{4, {Kind::Box, Kind::BoxEx, Kind::BoxEx}, 3, {218, 211, 219}, {1, 2, 3}, 24},
                      LayoutCase{5, {Kind::Box, Kind::Box, Kind::Overlap}, 2, {211, 218, 219}, {1, 2, 3}, 22}));

TEST_F(RingsTest, FiftyRoundsLeaveTheSpotsAndThePictureItemsAsTheyWere) {
    NoModuleRound();
    const size_t spots = SpotCount();
    ASSERT_EQ(spots, 0u);
    const int16_t probe = CreatePictureItem();
    PurgeResource(probe);
    for (int i = 0; i < 50; ++i) {
        TestRound round(static_cast<int16_t>(i % 5 + 1), {{12}, {53, 7}, {55, 40, true}});
        EXPECT_GT(SpotCount(), spots);
    }
    EXPECT_EQ(SpotCount(), spots);
    EXPECT_EQ(CreatePictureItem(), probe);
    PurgeResource(probe);
}

// ---- Inside a ring --------------------------------------------------------------------------

struct PointCase {
    int16_t x, y, ring;
};
class RingsPoints : public RingsTest, public ::testing::WithParamInterface<PointCase> {};

// Layout 5: ring 1 from (112, 130), centre (272, 255); ring 2 from (312, 130), centre (472, 255);
// both 320 x 250. A point on an oval's edge is outside it; inside both is the overlap's.
TEST_P(RingsPoints, TheOvalsOfLayoutFive) {
    NoModuleRound();
    TestRound round(5, {{12}, {32}, {0}});
    EXPECT_EQ(round.ContainerAt(GetParam().x, GetParam().y), GetParam().ring) << GetParam().x << ", " << GetParam().y;
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, RingsPoints,
                         ::testing::Values(PointCase{372, 255, 3}, PointCase{113, 255, 1}, PointCase{112, 255, 10},
                                           PointCase{631, 255, 2}, PointCase{632, 255, 10}, PointCase{272, 131, 1},
                                           PointCase{272, 130, 10}, PointCase{200, 255, 1}, PointCase{540, 255, 2},
                                           PointCase{5, 5, 10}));

TEST_F(RingsTest, AnOvalWithoutWidthOrHeightHoldsNothing) {
    NoModuleRound();
    CSlotBox flat(1, 100, 100, 100, 150, 0, 0, 601, 604, 607, 4);
    CSlotBox thin(2, 100, 100, 160, 100, 0, 0, 601, 604, 607, 4);
    for (int16_t x : {99, 100, 101, 130}) {
        for (int16_t y : {100, 120, 150}) {
            EXPECT_FALSE(flat.Contains(x, y));
            EXPECT_FALSE(thin.Contains(x, y));
        }
    }
}

// ---- The slot a car comes to ------------------------------------------------------------------

// Layout 1's ring 1: slot 0 at (147, 188), slot 1 at (257, 188), slot 2 at (147, 248).
TEST_F(RingsTest, ACarGetsTheNearestFreeSlotTiesToTheLowerAtAnyDistance) {
    NoModuleRound();
    TestRound round(1, {{11}, {12}});
    CSlotTarget& ring = *round.GetContainer(1);
    CRoundTile* car = round.Car(1, 202, 188);
    EXPECT_EQ(ring.FindNearestFreeSlot(car), 0);
    CRoundTile* other = round.Car(1, 0, 0);
    ring.TakeSlot(ring.Slot(0), other);
    EXPECT_EQ(ring.FindNearestFreeSlot(car), 1);
    // Far away (every slot more than 800 off): still the nearest free one, never the taken slot 0.
    MoveSpriteInPicture(car->Sprite(), -700, -700);
    WaitSpriteDone(car->Sprite());
    EXPECT_EQ(ring.FindNearestFreeSlot(car), 2);
}

TEST_F(RingsTest, AFullRingSendsARandomOccupantAwayAndGivesItsSlot) {
    NoModuleRound();
    TestRound round(1, {{11}, {12}});
    CSlotTarget& ring = *round.GetContainer(1);
    std::vector<CRoundTile*> parked;
    for (int i = 0; i < 8; ++i) {
        CRoundTile* car = round.Car(1, 140, 180);
        car->ParkIn(&ring);
        parked.push_back(car);
    }
    ASSERT_EQ(ring.Taken(), 8);
    for (CRoundTile* car : parked) EXPECT_EQ(car->ParkedIn(), &ring);
    CRoundTile* late = round.Car(2, 140, 180);
    plat::SRand(77);
    const int16_t drawn = RandomBelow(8);
    CRoundTile* evicted = ring.Slot(drawn)->Occupant();
    ASSERT_NE(evicted, nullptr);
    const uint16_t evictedId = evicted->Id();
    round.SetCurrentTile(evicted);
    round.SetPickedTile(evicted);
    const int16_t before = round.Tiles().Count();
    plat::SRand(77);
    EXPECT_EQ(ring.FindNearestFreeSlot(late), drawn);
    EXPECT_EQ(round.Tiles().Count(), before - 1);
    EXPECT_EQ(round.FindTileById(evictedId), nullptr);
    EXPECT_EQ(round.GetCurrentTile(), nullptr);
    EXPECT_EQ(round.PickedTile(), nullptr);
    for (int i = 0; i < CTaskRecord::kChoiceSlots; ++i) EXPECT_NE(round.GetRecord(1)->Choice(i), evictedId);
    EXPECT_TRUE(ring.Slot(drawn)->IsFree());
    EXPECT_EQ(ring.Taken(), 7);
    late->ParkIn(&ring);
    EXPECT_EQ(ring.Slot(drawn)->Occupant(), late);
    EXPECT_EQ(ring.Taken(), 8);
}

// ---- The plates ------------------------------------------------------------------------------

struct Stamp {
    int16_t picture, x, y;
};
struct PlateCase {
    int16_t level;
    TestRound::Ring ring;
    std::vector<Stamp> stamps;  // pictures seen in the plate at their places
    bool blankOnly;             // the normal picture is the blank plate alone
};

using ruduridodutest::HasStamp;

bool SamePixels(int16_t a, int16_t b) {
    int16_t aw = 0, ah = 0, bw = 0, bh = 0;
    GetPictureSize(a, aw, ah);
    GetPictureSize(b, bw, bh);
    return aw == bw && ah == bh && HasStamp(a, b, 0, 0) && HasStamp(b, a, 0, 0);
}

class RingsPlates : public RingsTest, public ::testing::WithParamInterface<PlateCase> {};

TEST_P(RingsPlates, ShowTheRingsValue) {
    const PlateCase& c = GetParam();
    Module3::OnLevelChosen(1, static_cast<int16_t>(c.level - 1));
    ASSERT_EQ(Module3::View().level, c.level);
    NoModuleRound();
    TestRound round(1, {c.ring, {11}});
    CNumberPlate& plate = *round.GetContainer(1)->Plate();
    EXPECT_EQ(plate.ShownCode(), c.ring.value + 300);
    EXPECT_EQ(round.GetContainer(1)->Value(), c.ring.value);
    for (const Stamp& s : c.stamps) {
        EXPECT_TRUE(HasStamp(plate.NormalPicture(), s.picture, s.x, s.y)) << s.picture << " at " << s.x << ", " << s.y;
        EXPECT_TRUE(HasStamp(plate.HighlightedPicture(), s.picture, s.x, s.y)) << s.picture;
    }
    if (c.blankOnly) {
        EXPECT_TRUE(SamePixels(plate.NormalPicture(), 440));
    }
    WaitSpriteDone(plate.Sprite());
    int16_t x = 0, y = 0;
    GetSpritePos(plate.Sprite(), &x, &y);
    EXPECT_EQ(x, 208);
    EXPECT_EQ(y, 72);
}

INSTANTIATE_TEST_SUITE_P(
    Ruduridodu, RingsPlates,
    ::testing::Values(PlateCase{20, {12}, {{512, 0, 0}}, false},
                      PlateCase{20, {32, 0, true}, {{653, 0, 0}}, false},
                      PlateCase{40, {53, 7}, {{553, 0, 0}, {457, 33, 22}}, false},
                      PlateCase{40, {53, 47}, {{553, 0, 0}, {454, 28, 22}, {457, 38, 22}}, false},
                      PlateCase{35, {54, 10}, {{554, 0, 0}, {451, 28, 22}, {450, 38, 22}}, false},
                      PlateCase{34, {54, 47}, {{556, 0, 0}, {454, 20, 9}, {457, 30, 9}}, false},
                      PlateCase{20, {53, 0}, {{555, 0, 0}, {450, 25, 9}}, false},
                      PlateCase{20, {55, 5}, {{465, 20, 16}}, false},
                      PlateCase{20, {55, 35}, {{463, 10, 16}, {465, 30, 16}}, false},
                      PlateCase{20, {55, 120}, {}, true}));

TEST_F(RingsTest, APlateLightsWithItsRingAndGoesBackToNormal) {
    NoModuleRound();
    TestRound round(1, {{12}, {13}});
    CSlotTarget& ring = *round.GetContainer(1);
    CNumberPlate& plate = *ring.Plate();
    EXPECT_TRUE(HasStamp(plate.HighlightedPicture(), 445, 0, 0) || HasStamp(plate.HighlightedPicture(), 512, 0, 0));
    ring.Highlight(ring.HaloPicture());
    WaitSpriteDone(ring.HaloSprite());
    WaitSpriteDone(plate.Sprite());
    EXPECT_EQ(GetSpriteFrame(ring.HaloSprite()), ring.HaloPicture());
    EXPECT_EQ(GetSpriteFrame(plate.Sprite()), plate.HighlightedPicture());
    ring.Unhighlight();
    WaitSpriteDone(ring.HaloSprite());
    WaitSpriteDone(plate.Sprite());
    EXPECT_EQ(GetSpriteFrame(ring.HaloSprite()), 2);
    EXPECT_EQ(GetSpriteFrame(plate.Sprite()), plate.NormalPicture());
}

// ---- The announcements ----------------------------------------------------------------------

struct AnnounceCase {
    const char* name;
    int16_t layout;
    std::vector<TestRound::Ring> rings;
    int16_t announcing;
    std::vector<int16_t> (*expected)();
};

using ruduridodutest::Cat;
using ruduridodutest::P;

class RingsAnnounce : public RingsTest, public ::testing::WithParamInterface<AnnounceCase> {};

TEST_P(RingsAnnounce, SaysTheRingsValue) {
    const AnnounceCase& c = GetParam();
    NoModuleRound();
    auto made = std::make_unique<TestRound>(c.layout, c.rings);
    ClearClips();
    CSlotTarget& ring = *made->GetContainer(c.announcing);
    EXPECT_EQ(ring.Announce(), 1);
    const std::vector<int16_t> expected = c.expected();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Clips(), expected);
    // Every announcement leaves its ring unlit.
    RunFor(200);
    EXPECT_EQ(GetSpriteFrame(ring.HaloSprite() ? ring.HaloSprite() : ring.MainSprite()), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Ruduridodu, RingsAnnounce,
    ::testing::Values(
        AnnounceCase{"Colour", 1, {{12}, {13}}, 1, [] { return P(251, 312); }},
        AnnounceCase{"NotAColour", 1, {{12, 0, true}, {13}}, 1, [] { return P(273, 317); }},
        AnnounceCase{"Vehicle", 1, {{32}, {13}}, 1, [] { return P(272, 332); }},
        AnnounceCase{"NotAVehicle", 1, {{32, 0, true}, {13}}, 1, [] { return P(271, 332); }},
        AnnounceCase{"Horn", 1, {{42}, {13}}, 1, [] { return std::vector<int16_t>{426, 342, 425}; }},
        AnnounceCase{"NotAHorn", 1, {{42, 0, true}, {13}}, 1, [] { return std::vector<int16_t>{427, 342, 425}; }},
        AnnounceCase{"Odd", 1, {{11}, {51}}, 2, [] { return Cat({P(278, 351), P(269, 0)}); }},
        AnnounceCase{"BiggerLowLevel", 1, {{53, 20}, {51}}, 1, [] { return Cat({P(274, 357, 20), P(269, 0)}); }},
        AnnounceCase{"NotThatNumber", 1, {{55, 7, true}, {51}}, 1, [] { return Cat({P(276, 0, 7), P(269, 0)}); }},
        AnnounceCase{"PartnerOfAnotherClass", 3, {{31}, {12}}, 2,
                     [] { return Cat({{430, 331}, P(266, 312)}); }},
        AnnounceCase{"PartnerOfTheSameClass", 3, {{12}, {13}}, 2,
                     [] { return Cat({{430, 312}, P(267, 318), {413}}); }},
        AnnounceCase{"OverlapColourAndVehicle", 5, {{12}, {32}, {0}}, 3,
                     [] { return Cat({P(246, 312), P(257, 0), P(265, 332)}); }},
        AnnounceCase{"OverlapBiggerAndSmaller", 5, {{53, 5}, {54, 9}, {0}}, 3, [] { return P(252, 0, 5, 9); }},
        AnnounceCase{"OverlapOddAndBigger", 5, {{51}, {53, 8}, {0}}, 3, [] { return P(253, 303, 8); }}),
    [](const ::testing::TestParamInfo<AnnounceCase>& info) { return std::string(info.param.name); });

TEST_F(RingsTest, AClickCutsAnAnnouncementShortAndTheRingGoesOut) {
    NoModuleRound();
    TestRound round(1, {{53, 20}, {51}});
    CSlotTarget& ring = *round.GetContainer(1);
    ClearClips();
    PressAfter(200);
    EXPECT_EQ(ring.Announce(), 0);
    const std::vector<int16_t> whole = Cat({P(274, 357, 20), P(269, 0)});
    EXPECT_LT(Clips().size(), whole.size());
    EXPECT_FALSE(IsClickPending(0));
    RunFor(100);
    EXPECT_EQ(GetSpriteFrame(ring.HaloSprite()), 2);
    EXPECT_EQ(GetSpriteFrame(ring.Plate()->Sprite()), ring.Plate()->NormalPicture());
}

// ---- The presenter ----------------------------------------------------------------------------

TEST_F(RingsTest, TheRoundsAnnouncementsAndThePresentersWordsExist) {
    for (int16_t id = 244; id <= 278; ++id) EXPECT_TRUE(ResourceExists(ResType("IPA"), id)) << id;
    for (int16_t id = 304; id <= 308; ++id) EXPECT_TRUE(ResourceExists(ResType("IPA"), id)) << id;
    std::vector<int16_t> words = {200, 401, 402, 409, 410, 413, 421, 425, 426, 427, 428, 429, 430, 611, 980};
    for (int16_t v : {11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34}) {
        words.push_back(static_cast<int16_t>(v + 300));
        words.push_back(static_cast<int16_t>(v + 305));
    }
    for (int16_t id = 351; id <= 359; ++id) words.push_back(id);
    for (int16_t id = 501; id <= 510; ++id) words.push_back(id);
    for (int16_t id : words) {
        EXPECT_TRUE(ResourceExists(ResType("SND"), id)) << id;
        EXPECT_TRUE(ResourceExists(ResType("CUE"), id)) << "the mouth of " << id;
    }
    for (int16_t id : {148, 150, 790, 400, 401, 402, 403, 404, 405, 406, 409, 410, 411, 412}) {
        EXPECT_TRUE(ResourceExists(ResType("ANI"), id)) << id;
        EXPECT_TRUE(ResourceExists(ResType("AN_"), id)) << id;
    }
}

TEST_F(RingsTest, AClickCutsThePresenterShortAndHeRests) {
    CPresenter& presenter = *Module3::Presenter();
    presenter.Listen();
    ClearClips();
    PressAfter(150);
    EXPECT_EQ(presenter.PointAndSay(212, 401), 0);
    EXPECT_EQ(Clips(), std::vector<int16_t>{401});
    EXPECT_FALSE(IsSndPlaying(-1));
    EXPECT_FALSE(IsClickPending(0));
    EXPECT_EQ(GetSpriteFrame(presenter.Body()), 801);
    EXPECT_EQ(GetSpriteX(presenter.Body()), 88);
    EXPECT_EQ(GetSpriteY(presenter.Body()), 353);
    EXPECT_EQ(GetSpriteFrame(presenter.Talker()), 2);
    // Without a click the line runs to its end.
    ClearClips();
    const uint16_t line[] = {401, 402};
    EXPECT_EQ(presenter.SaySounds(2, line), 1);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{401, 402}));
}

TEST_F(RingsTest, TheLongIdleActsTakeTheirTurns) {
    CPresenter& presenter = *Module3::Presenter();
    presenter.SetLongIdleTurn(0);
    std::vector<int16_t> turns;
    for (int i = 0; i < 4; ++i) {
        turns.push_back(static_cast<int16_t>(409 + presenter.LongIdleTurn() % 3));
        presenter.LongIdleAct();
        EXPECT_EQ(GetSpriteFrame(presenter.Body()), 801);
    }
    EXPECT_EQ(turns, (std::vector<int16_t>{409, 410, 411, 409}));
}

// ---- The round's rings on the module's own round ---------------------------------------------

// Level 1 plays kind 1 on layout 1: ring 1's picture from (112, 118), 256 x 290; ring 2's from
// (376, 118).
TEST_F(RingsTest, ARingsBoxHoldsItsRightAndLowerEdges) {
    const CRoundTask& round = *Module3::View().currentRound;
    ASSERT_EQ(round.RoundType(), 1);
    EXPECT_EQ(round.ContainerBoxAt(112, 118), 1);
    EXPECT_EQ(round.ContainerBoxAt(368, 408), 1);
    EXPECT_EQ(round.ContainerBoxAt(369, 300), 10);
    EXPECT_EQ(round.ContainerBoxAt(200, 409), 10);
    EXPECT_EQ(round.ContainerBoxAt(111, 200), 10);
    EXPECT_EQ(round.ContainerBoxAt(376, 118), 2);
}

TEST_F(RingsTest, IdleMoveWithOneCarOutDoesNothing) {
    CTileList& tiles = Module3::CurrentRound()->Tiles();
    ASSERT_EQ(tiles.Out(), 1);
    const auto sprites = Sprites();
    ClearClips();
    plat::SRand(5);
    const int first = plat::Rand();
    plat::SRand(5);
    tiles.IdleMove();
    EXPECT_EQ(plat::Rand(), first);  // nothing was drawn
    RunFor(600);
    EXPECT_EQ(Sprites(), sprites);
    EXPECT_TRUE(Clips().empty());
    // With two out, a car moves (numbers are drawn for it).
    ASSERT_NE(tiles.TakeNext(), nullptr);
    plat::SRand(5);
    tiles.IdleMove();
    EXPECT_NE(plat::Rand(), first);
}

TEST_F(RingsTest, ClickingARingMakesThePresenterSayIt) {
    // Some rounds later the round's own spots are the ones clicked (each layout takes its
    // spots away with it).
    for (int i = 0; i < 3; ++i) {
        Module3::FreeRound();
        Module3::OnLevelChosen(0, 0);
    }
    const CRoundTask& round = *Module3::View().currentRound;
    CSlotTarget& ring = *round.GetContainer(1);
    const int16_t v = ring.Value();
    ClearClips();
    ClickAt(ring.CentreX(), ring.CentreY());
    RunFor(100);
    const std::vector<int16_t> clips = Clips();
    ASSERT_FALSE(clips.empty());
    EXPECT_NE(std::find(clips.begin(), clips.end(), static_cast<int16_t>(v + 300)), clips.end());
    // Outside the oval but on the ring's spot (a corner of its picture): nothing is said.
    ClearClips();
    ClickAt(static_cast<int16_t>(ring.X() + 3), static_cast<int16_t>(ring.Y() + 3));
    RunFor(100);
    EXPECT_TRUE(Clips().empty());
}

}  // namespace

// ---- Damaged layout records (no engine needed) -------------------------------------------------

namespace {

std::vector<uint8_t> BuiltLayout(int16_t id) {
    CResMgr mgr;
    if (mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo3.res").c_str()) != 1) return {};
    ResDirEntry* e = mgr.FindEntry(ResType("IN#"), static_cast<uint32_t>(3000 + id));
    if (!e) return {};
    std::vector<uint8_t> bytes(e->size);
    e->readPos = 0;
    if (!mgr.LoadItem(bytes.data(), e, e->size)) return {};
    return bytes;
}

void SetWord(std::vector<uint8_t>& bytes, size_t i, uint16_t v) {
    bytes[2 * i] = static_cast<uint8_t>(v & 0xFF);
    bytes[2 * i + 1] = static_cast<uint8_t>(v >> 8);
}

TEST(RuduridoduLayoutRecord, ABuiltRecordReadsWholeAndEveryShortOneIsRefused) {
    for (int16_t layout = 1; layout <= 5; ++layout) {
        const std::vector<uint8_t> bytes = BuiltLayout(static_cast<int16_t>(600 + 10 * (layout - 1) + 1));
        ASSERT_FALSE(bytes.empty()) << layout;
        const CSlotLayoutRecord whole = ParseSlotLayout(layout, bytes.data(), static_cast<uint32_t>(bytes.size()));
        ASSERT_TRUE(whole.ok) << layout;
        for (const CSlotRingRecord& r : whole.rings) EXPECT_EQ(r.slots.size(), static_cast<size_t>(r.capacity));
        // Cut anywhere: refused, and nothing is read past the cut (a copy of exactly that size).
        for (size_t n = 0; n < bytes.size(); ++n) {
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_FALSE(ParseSlotLayout(layout, cut.data(), static_cast<uint32_t>(n)).ok) << layout << " cut at " << n;
        }
    }
    EXPECT_FALSE(ParseSlotLayout(6, nullptr, 0).ok);
}

TEST(RuduridoduLayoutRecord, ACapacityAboveEightIsHeldToEight) {
    std::vector<uint8_t> bytes = BuiltLayout(601);
    ASSERT_FALSE(bytes.empty());
    SetWord(bytes, 11, 200);  // ring 1's capacity
    SetWord(bytes, 22, 9);    // ring 2's
    const CSlotLayoutRecord r = ParseSlotLayout(1, bytes.data(), static_cast<uint32_t>(bytes.size()));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.rings[0].capacity, 8);
    EXPECT_EQ(r.rings[1].capacity, 8);
    EXPECT_EQ(r.rings[0].slots.size(), 8u);
    // A negative capacity is none.
    SetWord(bytes, 11, 0xFFFF);
    EXPECT_EQ(ParseSlotLayout(1, bytes.data(), static_cast<uint32_t>(bytes.size())).rings[0].capacity, 0);
}

}  // namespace
