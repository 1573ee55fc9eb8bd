// The cars on the activity kit over the built Zelbo3.res: their composed pictures for every
// vehicle and sticker, driving along a path, the way a dragged car faces, what a drop does (its
// own ring, again, the bin, no ring, a wrong ring and the hints that follow), parking by the
// anchor, bumping a neighbour, and a drag that the window's close or a quit ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/round_task.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/ruduridodu/ruduridodu_kit_test_support.h"
#include "activities/ruduridodu/ruduridodu_test_support.h"
#include "activities/ruduridodu/slot_target.h"
#include "activities/ruduridodu/tile_motion.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "platform/headless/golden_test_support.h"

namespace {

using ruduridodutest::HasStamp;
using ruduridodutest::TestRound;

constexpr uint8_t kPatch = 84;  // the light patch the digits stand on

uint8_t Pixel(int16_t picture, int16_t x, int16_t y) {
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    BYTE* bits = LockPictureData(picture);
    const uint8_t v = bits ? bits[y * GetPictureAttr(picture) + x] : uint8_t{0};
    if (bits) UnlockPictureData(bits);
    return v;
}

std::pair<int16_t, int16_t> Pos(CCorAnim* sprite) {
    int16_t x = 0, y = 0;
    GetSpritePos(sprite, &x, &y);
    return {x, y};
}

class CarsTest : public ruduridodutest::KitTest {
protected:
    // The middle of the car's picture, where the kit presses it.
    static std::pair<int16_t, int16_t> Middle(CRoundTile* tile) {
        int16_t x = 0, y = 0;
        SpriteCentre(tile->Sprite(), GetSpriteFrame(tile->Sprite()), x, y);
        return {x, y};
    }
    // The places the sprite shows while something runs, each different from the one before,
    // sampled every 4 virtual ms for ms.
    void Sample(CCorAnim* sprite, uint64_t ms) {
        m_places.clear();
        const uint64_t now = head->NowMs();
        for (uint64_t t = 0; t <= ms; t += 4) {
            head->At(now + t, [this, sprite] {
                const auto p = Pos(sprite);
                if (m_places.empty() || m_places.back() != p) m_places.push_back(p);
            });
        }
    }
    // The system's cursor show level (unchanged by asking).
    static int CursorLevel() {
        const int level = ShowCursor(TRUE) - 1;
        ShowCursor(FALSE);
        return level;
    }
    std::vector<std::pair<int16_t, int16_t>> m_places;
};

bool Has(const std::vector<int16_t>& clips, int16_t id) { return std::find(clips.begin(), clips.end(), id) != clips.end(); }

// ---- The pictures -----------------------------------------------------------------------------

struct CellCase {
    int16_t type, variant;
};

class CarsCells : public CarsTest, public ::testing::WithParamInterface<CellCase> {};

// Every vehicle with every sticker: the overlay at its place on both pictures, the anchor, the
// motion object, and the number's digits where the variant puts them (a tens digit 0 leaves only
// the ones digit; a number above 99 draws none).
TEST_P(CarsCells, ComposeTheirPicturesAndNumbers) {
    const CellCase& c = GetParam();
    const CarPictures& p = *FindCarPictures(c.type, c.variant);
    TestRound& round = *Play();
    const int16_t shift = p.y < 0 ? static_cast<int16_t>(-p.y) : int16_t{0};  // the pictures grow upward
    const int16_t tensX = c.variant == 24 ? 68 : c.variant == 22 ? 71 : 85;
    const int16_t digitY = static_cast<int16_t>((c.variant == 24 ? 12 : 5) + shift);
    for (int16_t number : {47, 7, 120}) {
        SCOPED_TRACE(number);
        CRoundTile* car = round.Car(1, 100, 100);
        car->SetAttribute(30, c.type);
        car->SetAttribute(20, c.variant);
        car->SetBasesFromAttributes();
        car->SetNumber(number);
        car->ComposePictures();
        const int16_t a = car->FirstPicture(), b = car->SecondPicture();
        ASSERT_GE(a, 0);
        ASSERT_GE(b, 0);
        EXPECT_EQ(car->FirstBase(), c.variant * 10 + car->GetAttribute(10));
        int16_t w = 0, h = 0;
        GetPictureSize(a, w, h);
        EXPECT_EQ(w, 112);
        EXPECT_EQ(h, 50 + shift);
        EXPECT_TRUE(HasStamp(a, p.first, p.x, static_cast<int16_t>(p.y + shift)));
        EXPECT_TRUE(HasStamp(b, p.second, p.secondX, static_cast<int16_t>(p.y + shift)));
        EXPECT_EQ(car->AnchorDx(), p.anchorDx);
        EXPECT_EQ(car->AnchorDy(), p.anchorDy);
        ASSERT_NE(car->Motion(), nullptr);
        EXPECT_EQ(car->Motion()->X(), p.x);
        EXPECT_EQ(car->Motion()->SecondX(), p.secondX);
        EXPECT_EQ(car->Motion()->Y(), p.y);
        EXPECT_EQ(dynamic_cast<const CCarMotion*>(car->Motion()) != nullptr, c.type == 31);
        if (number == 47) {
            EXPECT_TRUE(HasStamp(a, 474, tensX, digitY));
            EXPECT_TRUE(HasStamp(a, 477, static_cast<int16_t>(tensX + 10), digitY));
            EXPECT_TRUE(HasStamp(b, 474, 11, digitY));
            EXPECT_TRUE(HasStamp(b, 477, 21, digitY));
        } else if (number == 7) {
            EXPECT_NE(Pixel(a, static_cast<int16_t>(tensX + 2), static_cast<int16_t>(digitY + 2)), kPatch);
            EXPECT_TRUE(HasStamp(a, 477, static_cast<int16_t>(tensX + 10), digitY));
            EXPECT_TRUE(HasStamp(b, 477, 11, digitY));
            EXPECT_NE(Pixel(b, 23, static_cast<int16_t>(digitY + 2)), kPatch);
        } else {
            for (int16_t x : {static_cast<int16_t>(tensX + 2), static_cast<int16_t>(tensX + 12)})
                EXPECT_NE(Pixel(a, x, static_cast<int16_t>(digitY + 2)), kPatch) << x;
            EXPECT_NE(Pixel(b, 13, static_cast<int16_t>(digitY + 2)), kPatch);
        }
        round.DeleteTile(car);
    }
}

std::vector<CellCase> AllCells() {
    std::vector<CellCase> cells;
    for (int16_t t = 31; t <= 34; ++t)
        for (int16_t v = 21; v <= 24; ++v) cells.push_back({t, v});
    return cells;
}
INSTANTIATE_TEST_SUITE_P(Ruduridodu, CarsCells, ::testing::ValuesIn(AllCells()),
                         [](const auto& info) {
                             return "Vehicle" + std::to_string(info.param.type) + "Variant" +
                                    std::to_string(info.param.variant);
                         });

// A car's pictures go back with it: a hundred cars made and deleted leave no picture item in use.
TEST_F(CarsTest, ADeletedCarGivesItsPicturesBack) {
    TestRound& round = *Play();
    const int16_t probe = CreatePictureItem();
    PurgeResource(probe);
    for (int i = 0; i < 100; ++i) round.DeleteTile(Car(round, 1, 100, 100));
    const int16_t after = CreatePictureItem();
    EXPECT_EQ(after, probe);
    PurgeResource(after);
}

// The car of type 31's motion shakes the sprite: seven times nothing at the offset place, then
// nothing. The other vehicles' motion does nothing.
TEST_F(CarsTest, OnlyTheCarsMotionMovesItsSprite) {
    TestRound& round = *Play();
    CRoundTile* car = Car(round, 1, 100, 100, 31, 21);
    CRoundTile* bus = Car(round, 1, 300, 100, 32, 21);
    const_cast<CTileMotion*>(car->Motion())->Offset(5, 6);
    const_cast<CTileMotion*>(bus->Motion())->Offset(5, 6);
    WaitSpriteDone(kAllSprites);
    EXPECT_EQ(Pos(car->Sprite()), std::make_pair(int16_t(32 + 5), int16_t(-2 + 6)));
    EXPECT_EQ(GetSpriteFrame(car->Sprite()), 2);
    EXPECT_EQ(Pos(bus->Sprite()), std::make_pair(int16_t(300), int16_t(100)));
    EXPECT_EQ(GetSpriteFrame(bus->Sprite()), bus->FirstPicture());
}

// ---- Driving ----------------------------------------------------------------------------------

// Each product is divided separately: (100, 100) to (110, 107) in 3 steps passes
// (200 / 3 + 110 / 3, 200 / 3 + 107 / 3) = (102, 101) and (106, 104); the rest point is the end.
// Equal ends queue nothing.
TEST_F(CarsTest, MovePathStepsThroughItsPoints) {
    TestRound& round = *Play();
    CRoundTile* car = Car(round, 1, 100, 100);
    Sample(car->Sprite(), 400);
    car->MovePath(100, 100, 110, 107, 3, 3);
    EXPECT_EQ(car->RestX(), 110);
    EXPECT_EQ(car->RestY(), 107);
    RunFor(420);
    const std::vector<std::pair<int16_t, int16_t>> want = {{100, 100}, {102, 101}, {106, 104}, {110, 107}};
    EXPECT_EQ(m_places, want);

    car->MovePath(110, 107, 110, 107, 3, 3);
    EXPECT_EQ(GetSpriteStatus(car->Sprite()), 1);
    car->MovePath(110, 107, 90, 107, 0, 3);  // no steps count as one
    EXPECT_EQ(car->RestX(), 90);
}

// A car parks at its slot less the anchor (its x only when it faces the second way).
TEST_F(CarsTest, ParkingStandsTheCarByItsAnchor) {
    TestRound& round = *Play();
    CSlotTarget& ring = *round.GetContainer(1);
    for (bool second : {false, true}) {
        SCOPED_TRACE(second);
        CRoundTile* car = Car(round, 1, 180, 230);
        if (second) car->FaceSecond();
        car->ParkIn(&ring);
        const CSlotPoint* slot = car->ParkedSlot();
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(slot->Occupant(), car);
        const int16_t x = static_cast<int16_t>(slot->X() - (second ? car->AnchorDx() : 0));
        const int16_t y = static_cast<int16_t>(slot->Y() - car->AnchorDy());
        EXPECT_EQ(car->RestX(), x);
        EXPECT_EQ(car->RestY(), y);
        WaitSpriteDone(car->Sprite());
        EXPECT_EQ(Pos(car->Sprite()), std::make_pair(x, y));
    }
    EXPECT_EQ(ring.Taken(), 2);
}

// ---- Dragging ---------------------------------------------------------------------------------

struct FacingCase {
    const char* name;
    int16_t dx, dy;
    int16_t before, after;
};

class CarsFacing : public CarsTest, public ::testing::WithParamInterface<FacingCase> {};

// Left and down or right and up shows the first picture; left and up or right and down the
// second; straight up or down keeps the picture. The drop outside the rings sends the car back.
TEST_P(CarsFacing, ADraggedCarFacesTheWayItMoves) {
    const FacingCase& c = GetParam();
    TestRound& round = *Play();
    CRoundTile* car = Car(round, 1, 280, 32);
    if (c.before == 1) car->FaceSecond();
    WaitSpriteDone(car->Sprite());
    const auto [x, y] = Middle(car);
    std::vector<POINT> path;
    for (int i = 1; i <= 3; ++i) path.push_back(POINT{x + c.dx * i / 3, y + c.dy * i / 3});
    const int cursor = CursorLevel();
    PressAndMove(x, y, path);
    EXPECT_EQ(car->Facing(), c.after);
    EXPECT_EQ(GetSpriteFrame(car->Sprite()), c.after == 0 ? car->FirstPicture() : car->SecondPicture());
    EXPECT_EQ(CursorLevel(), cursor) << "the pointer is shown again";
    EXPECT_FALSE(car->IsPlaced());
    EXPECT_EQ(Pos(car->Sprite()), std::make_pair(int16_t(280), int16_t(32)));
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, CarsFacing,
                         ::testing::Values(FacingCase{"LeftDown", -30, 20, 1, 0}, FacingCase{"RightUp", 30, -20, 1, 0},
                                           FacingCase{"LeftLevel", -30, 0, 1, 0}, FacingCase{"LeftUp", -30, -20, 0, 1},
                                           FacingCase{"RightDown", 30, 20, 0, 1}, FacingCase{"RightLevel", 30, 0, 0, 1},
                                           FacingCase{"StraightDown", 0, 30, 1, 1}, FacingCase{"StraightUp", 0, -20, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Dropping ---------------------------------------------------------------------------------

struct DropCase {
    const char* name;
    int16_t record;
    int16_t x, y;  // where the car's middle is let go
    bool placed, gone;
    int16_t mistakes;
    std::vector<int16_t> clips;    // among the clips started
    std::vector<int16_t> noClips;  // none of these
};

class CarsDrops : public CarsTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(CarsDrops, DecideWhereTheCarGoes) {
    const DropCase& c = GetParam();
    TestRound& round = *Play();
    CRoundTile* car = Car(round, c.record, 280, 32);
    const auto [x, y] = Middle(car);
    ClearClips();
    const int16_t mistakes = Module3::View().taskMistakes;
    DragSprite(car->Sprite(), c.x, c.y);
    EXPECT_EQ(car->IsPlaced(), c.placed);
    EXPECT_EQ(car->IsGone(), c.gone);
    EXPECT_EQ(round.TilesPlaced(), c.placed ? 1 : 0);
    EXPECT_EQ(Module3::View().taskMistakes - mistakes, c.mistakes);
    EXPECT_EQ(car->WrongDrops(), c.mistakes);
    const std::vector<int16_t> clips = Clips();
    EXPECT_TRUE(Has(clips, static_cast<int16_t>(300 + car->GetAttribute(40)))) << "the horn";
    for (int16_t id : c.clips) EXPECT_TRUE(Has(clips, id)) << id;
    for (int16_t id : c.noClips) EXPECT_FALSE(Has(clips, id)) << id;
    if (c.gone) {
        EXPECT_EQ(GetSpriteFrame(car->Sprite()), 2);
        EXPECT_TRUE(Has(clips, static_cast<int16_t>(208 + 20 * (car->GetAttribute(30) % 10))));
        EXPECT_EQ(GetSpriteFrame(Module3::View().binSprite), 121);
    } else if (c.placed) {
        EXPECT_EQ(car->ParkedIn(), round.GetContainer(c.record));
        EXPECT_EQ(Pos(car->Sprite()), std::make_pair(car->RestX(), car->RestY()));
    } else {
        EXPECT_EQ(car->ParkedIn(), nullptr);
        EXPECT_EQ(Middle(car), std::make_pair(x, y)) << "back where the drag began";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ruduridodu, CarsDrops,
    ::testing::Values(DropCase{"OwnRing", 1, 240, 263, true, false, 0, {}, {728, 431}},
                      DropCase{"OwnRingTwo", 2, 504, 263, true, false, 0, {}, {728}},
                      DropCase{"BinForRecordZero", 0, 54, 138, true, true, 0, {}, {728}},
                      DropCase{"BinForARingsCar", 1, 54, 138, false, false, 0, {}, {728, 431}},
                      DropCase{"NoRing", 1, 600, 60, false, false, 0, {}, {728, 431}},
                      DropCase{"WrongRing", 1, 504, 263, false, false, 1, {728, 431}, {311, 312}},
                      DropCase{"RecordZeroInARing", 0, 240, 263, false, false, 1, {728, 431}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A car parked in its ring and dropped in it again parks again without counting twice.
TEST_F(CarsTest, ARedropInTheOwnRingDoesNotCount) {
    TestRound& round = *Play();
    CRoundTile* car = Car(round, 1, 280, 32);
    DragSprite(car->Sprite(), 240, 263);
    ASSERT_TRUE(car->IsPlaced());
    ASSERT_EQ(round.TilesPlaced(), 1);
    DragSprite(car->Sprite(), 250, 330);
    EXPECT_TRUE(car->IsPlaced());
    EXPECT_EQ(round.TilesPlaced(), 1);
    ASSERT_NE(car->ParkedSlot(), nullptr);
    EXPECT_EQ(car->ParkedSlot()->Occupant(), car);
    EXPECT_EQ(round.GetContainer(1)->Taken(), 1);
    // Dropped outside every ring, a parked car goes back to its ring.
    DragSprite(car->Sprite(), 600, 60);
    EXPECT_TRUE(car->IsPlaced());
    EXPECT_EQ(round.TilesPlaced(), 1);
    EXPECT_EQ(car->ParkedIn(), round.GetContainer(1));
    EXPECT_EQ(round.GetContainer(1)->Taken(), 1);
}

// The hints grow with the wrong drops: the first only the buzz, the second every ring says what
// it holds, the third the car's own ring says it and lights its second halo; a car of the bin
// makes the presenter name the bin, which opens.
TEST_F(CarsTest, HintsFollowTheWrongDrops) {
    TestRound& round = *Play();
    CRoundTile* car = Car(round, 1, 280, 32);
    std::vector<std::vector<int16_t>> heard;
    for (int i = 0; i < 3; ++i) {
        ClearClips();
        DragSprite(car->Sprite(), 504, 263);
        heard.push_back(Clips());
    }
    EXPECT_FALSE(Has(heard[0], 311));
    EXPECT_FALSE(Has(heard[0], 312));
    EXPECT_TRUE(Has(heard[1], 311));
    EXPECT_TRUE(Has(heard[1], 312));
    EXPECT_TRUE(Has(heard[2], 311));
    EXPECT_FALSE(Has(heard[2], 312));
    CSlotTarget& own = *round.GetContainer(1);
    EXPECT_EQ(GetSpriteFrame(own.HaloSprite()), own.SecondHaloPicture());
    EXPECT_EQ(car->WrongDrops(), 3);

    CRoundTile* binCar = Car(round, 0, 280, 32);
    for (int i = 0; i < 3; ++i) {
        ClearClips();
        DragSprite(binCar->Sprite(), 240, 263);
    }
    EXPECT_TRUE(Has(Clips(), 200));
    EXPECT_EQ(GetSpriteFrame(Module3::View().binSprite), 121);
}

// ---- Bumping ----------------------------------------------------------------------------------

struct BumpCase {
    const char* name;
    int16_t dx, dy;  // the other car's place from this car's (200, 200)
    int16_t sx, sy;  // where it is pushed to; 0, 0 not at all
};

class CarsBumps : public CarsTest, public ::testing::WithParamInterface<BumpCase> {};

// Cars of type 31, variant 21 (112 x 52, reaching 2 above their place): a placed car touching
// this one is pushed 10 away in x and y, the signs by the edges that overlap, and comes back.
TEST_P(CarsBumps, PushTheTouchedCarAway) {
    const BumpCase& c = GetParam();
    TestRound& round = *Play();
    CRoundTile* car = Car(round, 1, 200, 200);
    const int16_t ox = static_cast<int16_t>(200 + c.dx), oy = static_cast<int16_t>(200 + c.dy);
    CRoundTile* other = Car(round, 2, ox, oy);
    other->SetPlaced(true);
    car->SetPlaced(true);
    ClearClips();
    Sample(other->Sprite(), 300);
    car->CheckBumps(true);
    RunFor(320);
    const bool bumped = c.sx != 0 || c.sy != 0;
    EXPECT_EQ(Has(Clips(), 724), bumped);
    if (bumped) {
        EXPECT_TRUE(std::find(m_places.begin(), m_places.end(),
                              std::make_pair(static_cast<int16_t>(ox + c.sx), static_cast<int16_t>(oy + c.sy))) !=
                    m_places.end());
    } else {
        EXPECT_EQ(m_places.size(), 1u);
    }
    EXPECT_EQ(Pos(other->Sprite()), std::make_pair(ox, oy));
    EXPECT_EQ(Pos(car->Sprite()), std::make_pair(int16_t(200), int16_t(200)));
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, CarsBumps,
                         ::testing::Values(BumpCase{"RightBelow", 60, 20, 10, 10}, BumpCase{"RightAbove", 60, -20, 10, -10},
                                           BumpCase{"LeftAbove", -60, -20, -10, -10}, BumpCase{"LeftBelow", -60, 20, -10, 10},
                                           BumpCase{"FarRight", 300, 0, 0, 0}, BumpCase{"FarBelow", 0, 120, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CarsTest, OnlyPlacedCarsAreBumpedAndQuietlyWithoutSound) {
    TestRound& round = *Play();
    CRoundTile* car = Car(round, 1, 200, 200);
    CRoundTile* loose = Car(round, 2, 260, 220);
    ClearClips();
    car->CheckBumps(true);
    EXPECT_FALSE(Has(Clips(), 724));
    loose->SetPlaced(true);
    ClearClips();
    Sample(loose->Sprite(), 300);
    car->CheckBumps(false);
    RunFor(320);
    EXPECT_FALSE(Has(Clips(), 724)) << "without sound";
    EXPECT_GT(m_places.size(), 1u) << "but bumped";
}

// ---- A drag the program ends -------------------------------------------------------------------

// A close of the main window or a quit during the drag ends it at once: no drop, the car back
// where it was, the pointer shown again; the close stays pending and the quit stays queued.
TEST_F(CarsTest, ACloseOrAQuitEndsTheDragWithoutADrop) {
    for (bool quit : {true, false}) {
        SCOPED_TRACE(quit ? "quit" : "close");
        TestRound& round = *Play();
        CRoundTile* car = Car(round, 1, 280, 32);
        const auto [x, y] = Middle(car);
        const int cursor = CursorLevel();
        if (quit) {
            head->At(head->NowMs() + 35, [] { PostQuitMessage(3); });
        } else {
            CloseLater(35);
        }
        std::vector<POINT> path;
        for (int i = 1; i <= 10; ++i) path.push_back(POINT{x + (240 - x) * i / 10, y + (263 - y) * i / 10});
        PressAndMove(x, y, path, 20);
        EXPECT_EQ(CursorLevel(), cursor);
        EXPECT_FALSE(car->IsPlaced());
        EXPECT_EQ(round.TilesPlaced(), 0);
        if (quit) {
            MSG msg;
            ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
            EXPECT_EQ(msg.wParam, 3u);
        } else {
            EXPECT_TRUE(WaitMustEnd());
            return;  // the engine takes the close with it
        }
        RunFor(300);
        EXPECT_EQ(Pos(car->Sprite()), std::make_pair(int16_t(280), int16_t(32)));
        FlushEvents(0xFFFF);  // the moves and the release of the drag that ended
    }
}

// ---- The golden screen ------------------------------------------------------------------------

// Layout 5: two crossing rings (gula bilar, bilar med stjärna) and their overlap, the plates,
// the presenter resting, cars parked in each ring and in the overlap, one waiting at the top.
TEST_F(CarsTest, GoldenLayoutFive) {
    TestRound& round = *Play({{13}, {23}, {13}}, 5);
    struct Parked {
        int16_t ring, type, variant, colour, number;
    };
    const Parked parked[] = {{1, 31, 21, 13, 12}, {1, 33, 22, 13, 7}, {2, 32, 23, 12, 35}, {2, 34, 23, 11, 4},
                             {3, 31, 23, 13, 48}, {3, 32, 23, 13, 21}};
    for (const Parked& p : parked) {
        CSlotTarget* ring = round.GetContainer(p.ring);
        ASSERT_NE(ring, nullptr);
        CRoundTile* car = round.Car(p.ring, ring->CentreX(), ring->CentreY());
        car->SetAttribute(10, p.colour);
        car->SetAttribute(20, p.variant);
        car->SetAttribute(30, p.type);
        car->SetBasesFromAttributes();
        car->SetNumber(p.number);
        car->ComposePictures();
        car->FaceFirst();
        car->ParkIn(ring);
        car->SetPlaced(true);
    }
    round.Layout()->RestackTiles();
    CRoundTile* waiting = round.Car(0, 280, 32);
    waiting->SetAttribute(10, 14);
    waiting->SetAttribute(20, 24);
    waiting->SetAttribute(30, 33);
    waiting->SetBasesFromAttributes();
    waiting->SetNumber(56);
    waiting->ComposePictures();
    waiting->FaceSecond();
    waiting->MoveTo(280, 32);
    Module3::Presenter()->Rest();
    WaitSpriteDone(kAllSprites);
    InvalidateRect16(CCorRect{0, 0, 640, 480});
    RedrawArea(0);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "ruduridodu_layout5.png");
}

}  // namespace
