// The presenter's entrances and the player pieces on the activity kit over the built Zelbo3.res
// with the pieces' pictures added (their scene comes with two-player play): where a piece comes
// down, its one marker, the category its marker shows; and switch access, which the module
// suspends, reached here through a table that lets it stay on: a car and a piece picked and
// dropped on a ring by its spot.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/ruduridodu/ruduridodu_kit_test_support.h"
#include "activities/ruduridodu/slot_layout.h"
#include "activities/ruduridodu/slot_target.h"
#include "engine/base/standin_table.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"

namespace {

using ruduridodutest::TestRound;

// A round that records what the pieces hand it.
class PieceRound : public TestRound {
public:
    using TestRound::TestRound;
    void PlacePiece(int16_t code, int16_t value, int16_t player) override { placed.push_back({code, value, player}); }
    void AfterPiece(int16_t code) override { after.push_back(code); }
    void OnPiecePicked() override { ++piecesPicked; }
    void OnTilePicked() override { ++tilesPicked; }
    std::vector<std::array<int16_t, 3>> placed;
    std::vector<int16_t> after;
    int piecesPicked = 0;
    int tilesPicked = 0;
};

// The module's table with two changes for these tests: a click on the test's piece goes to the
// piece, and switch access coming on is not suspended.
CPlayerPiece* gPiece = nullptr;
ModuleFunctionTable MakeTestTable() {
    ModuleFunctionTable t = *RuduridoduModuleTable();
    t.OnAnimClicked = [](CCorAnim* sprite, int16_t id) -> int16_t {
        if (gPiece && sprite == gPiece->Sprite()) return gPiece->OnClick();
        return Module3::OnAnimClicked(sprite, id);
    };
    t.Notify = [](int32_t) {};
    return t;
}
ModuleFunctionTable gTestTable = MakeTestTable();

constexpr int16_t kPieceValue = 12;  // the piece shows picture 412: blue
constexpr int16_t kHomeX = 463;      // piece 1's home
constexpr int16_t kHomeY = 60;

class PresenterTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        media::CResWriter w = ruduridodutest::BuiltModuleFile();
        for (int16_t v : {11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34, 41, 42, 43, 44})
            w.Add("SPR", static_cast<uint16_t>(3400 + v), enginetest::Picture(30, 30, static_cast<uint8_t>(40 + v)));
        w.Add("SPR", 3339, enginetest::Picture(36, 36, 200));
        UseModuleFile(kRuduridoduModule, w);
    }
    void TearDown() override {
        m_piece.reset();
        gPiece = nullptr;
        ActivityTest::TearDown();
    }
    void Enter(ModuleFunctionTable* table = &gTestTable) { EnterModule(kRuduridoduModule, table); }
    // A round of layout 5 (ring 1 round (272, 255), ring 2 round (472, 255), overlapping from
    // x 312 to 432) played as the module's.
    static PieceRound* Play(int16_t layout = 5, const std::vector<TestRound::Ring>& rings = {{11}, {12}, {0}}) {
        Module3::FreeRound();
        auto round = std::make_unique<PieceRound>(layout, rings);
        PieceRound* r = round.get();
        Module3::UseRound(std::move(round));
        return r;
    }
    // Piece 1 showing the blue piece, its sprite at (x, y).
    CPlayerPiece& Piece(int16_t x = kHomeX, int16_t y = kHomeY) {
        m_sprite = CreateSprite(x, y, static_cast<int16_t>(400 + kPieceValue));
        WaitSpriteDone(m_sprite);
        m_piece = std::make_unique<CPlayerPiece>(1, m_sprite, kHomeX, kHomeY);
        gPiece = m_piece.get();
        return *m_piece;
    }
    static std::pair<int16_t, int16_t> Pos(CCorAnim* sprite) {
        WaitSpriteDone(sprite);
        return {GetSpriteX(sprite), GetSpriteY(sprite)};
    }
    static bool Heard(const std::vector<int16_t>& clips, int16_t id) {
        return std::find(clips.begin(), clips.end(), id) != clips.end();
    }
    std::unique_ptr<CPlayerPiece> m_piece;
    CCorAnim* m_sprite = nullptr;
};

// ---- The presenter's entrances ----------------------------------------------------------------

struct EntranceCase {
    bool first;
    int16_t from;  // where the walk is first seen
};
class PresenterEntrance : public PresenterTest, public ::testing::WithParamInterface<EntranceCase> {};

// The first entrance after the program starts walks in from further off (150) than every later
// one (148); both end at the resting place, the talker in front of the body.
TEST_P(PresenterEntrance, WalksInToTheRestingPlace) {
    Enter();
    CPresenter& presenter = *Module3::Presenter();
    presenter.Leave();
    int16_t leftmost = 640;
    const uint64_t now = head->NowMs();
    for (uint64_t t = 0; t <= 4000; t += 4) {
        head->At(now + t, [&] {
            if (GetSpriteFrame(presenter.Body()) != 2 && GetSpriteX(presenter.Body()) < leftmost)
                leftmost = GetSpriteX(presenter.Body());
        });
    }
    presenter.Enter(GetParam().first, Module3::View().frontSprite);
    EXPECT_EQ(Pos(presenter.Body()), std::make_pair(int16_t{88}, int16_t{353}));
    RunFor(4100);  // the samples all taken
    EXPECT_EQ(leftmost, GetParam().from);
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, PresenterEntrance,
                         ::testing::Values(EntranceCase{true, -116}, EntranceCase{false, -24}));

// ---- Where a piece comes down ---------------------------------------------------------------

struct SettleCase {
    const char* name;
    int16_t ring;
    bool home;      // back home, unmarked
    bool handedOn;  // the round takes the value for the ring
};
class PieceSettle : public PresenterTest, public ::testing::WithParamInterface<SettleCase> {};

// No ring (10) or the overlap (3): home, unmarked. Ring 1 or 2: the drop's sound and the round
// takes the piece's value for the ring. Anything else: nothing.
TEST_P(PieceSettle, GoesHomeOrHandsItsValueOn) {
    const SettleCase& c = GetParam();
    Enter();
    PieceRound& round = *Play();
    CPlayerPiece& piece = Piece(200, 200);
    piece.Mark();
    ASSERT_TRUE(piece.IsPlaced());
    ClearClips();
    piece.Settle(c.ring);
    EXPECT_EQ(piece.IsPlaced(), !c.home);
    WaitSpriteDone(piece.Marker());
    EXPECT_EQ(GetSpriteFrame(piece.Marker()), c.home ? 2 : 339);
    EXPECT_EQ(GetSpriteFrame(piece.Sprite()), 400 + kPieceValue);
    EXPECT_EQ(Pos(piece.Sprite()), c.home ? std::make_pair(kHomeX, kHomeY) : std::make_pair(int16_t{200}, int16_t{200}));
    EXPECT_EQ(Heard(Clips(), 737), c.handedOn);
    if (c.handedOn) {
        EXPECT_EQ(round.placed, (std::vector<std::array<int16_t, 3>>{{c.ring, kPieceValue, 1}}));
        EXPECT_EQ(round.after, std::vector<int16_t>{c.ring});
    } else {
        EXPECT_TRUE(round.placed.empty());
        EXPECT_TRUE(round.after.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, PieceSettle,
                         ::testing::Values(SettleCase{"NoRing", 10, true, false}, SettleCase{"Overlap", 3, true, false},
                                           SettleCase{"RingOne", 1, false, true}, SettleCase{"RingTwo", 2, false, true},
                                           SettleCase{"Other", 4, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PieceDragCase {
    const char* name;
    int16_t x, y;
    int16_t ring;  // 0: home, unmarked
};
class PieceDrag : public PresenterTest, public ::testing::WithParamInterface<PieceDragCase> {};

// A piece is dragged from its home over the play area and comes down where its middle is: the
// rings' picture boxes are asked first (a point of the overlap lies in ring 1's box), then the
// ovals; outside both it goes home and loses its marker.
TEST_P(PieceDrag, ComesDownWhereItsMiddleIs) {
    const PieceDragCase& c = GetParam();
    Enter();
    PieceRound& round = *Play();
    CPlayerPiece& piece = Piece();
    ClearClips();
    DragSprite(piece.Sprite(), c.x, c.y);
    if (c.ring == 0) {
        EXPECT_FALSE(piece.IsPlaced());
        EXPECT_EQ(Pos(piece.Sprite()), std::make_pair(kHomeX, kHomeY));
        EXPECT_EQ(GetSpriteFrame(piece.Marker()), 2);
        EXPECT_TRUE(round.placed.empty());
    } else {
        EXPECT_TRUE(piece.IsPlaced());
        EXPECT_EQ(round.placed, (std::vector<std::array<int16_t, 3>>{{c.ring, kPieceValue, 1}}));
        WaitSpriteDone(piece.Sprite());
        EXPECT_TRUE(Heard(Clips(), 737));
    }
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, PieceDrag,
                         ::testing::Values(PieceDragCase{"OutsideBoth", 60, 300, 0},
                                           PieceDragCase{"BelowTheRings", 560, 400, 0},
                                           PieceDragCase{"RingOne", 200, 255, 1}, PieceDragCase{"RingTwo", 560, 255, 2},
                                           PieceDragCase{"OverlapInRingOnesBox", 372, 255, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A placed piece clicked again does nothing: it stays, the round hears nothing, and the module
// goes on (idle acts may run again).
TEST_F(PresenterTest, APlacedPieceClickedAgainDoesNothing) {
    Enter();
    PieceRound& round = *Play();
    CPlayerPiece& piece = Piece(200, 200);
    piece.Mark();
    ClickSprite(piece.Sprite());
    EXPECT_EQ(Pos(piece.Sprite()), std::make_pair(int16_t{200}, int16_t{200}));
    EXPECT_TRUE(piece.IsPlaced());
    EXPECT_TRUE(round.placed.empty());
    EXPECT_EQ(Module3::View().ready, 1);
}

// The piece keeps one marker sprite: marking again, unmarking, forgetting and marking once more
// add nothing to the display list; marked it shows 339 at home just behind the piece, unmarked
// or forgotten picture 2; the piece's end takes the marker with it.
TEST_F(PresenterTest, APieceKeepsOneMarker) {
    Enter();
    Play();
    const size_t before = Sprites().size();
    CPlayerPiece& piece = Piece(200, 200);
    CCorAnim* marker = piece.Marker();
    const size_t with = Sprites().size();
    EXPECT_EQ(with, before + 2);
    for (int round = 0; round < 3; ++round) {
        piece.Mark();
        piece.Mark();
        EXPECT_EQ(piece.Marker(), marker);
        EXPECT_EQ(GetSpriteFrame(marker), 339);
        EXPECT_EQ(Pos(marker), std::make_pair(kHomeX, kHomeY));
        piece.Unmark(false);
        WaitSpriteDone(marker);
        EXPECT_EQ(GetSpriteFrame(marker), 2);
        piece.Mark();
        piece.Forget();
        WaitSpriteDone(marker);
        EXPECT_EQ(GetSpriteFrame(marker), 2);
        EXPECT_FALSE(piece.IsPlaced());
        EXPECT_EQ(Sprites().size(), with);
    }
    // Marked, the marker lies just behind the piece.
    piece.Mark();
    const auto all = Sprites();
    size_t markerAt = all.size(), pieceAt = all.size();
    for (const auto& s : all) {
        if (s.picture == 339) markerAt = s.order;
        if (s.picture == 400 + kPieceValue) pieceAt = s.order;
    }
    EXPECT_EQ(markerAt + 1, pieceAt);
    m_piece.reset();
    gPiece = nullptr;
    EXPECT_EQ(Sprites().size(), with - 1);
}

// The chosen category is read from the marker's picture: 326 to 329 are 10 to 40.
TEST(RuduridoduScene, TheCategoryMarkersReadAsTheirCategories) {
    const std::vector<std::pair<int16_t, int16_t>> cases = {{2, 0},    {325, 0},  {326, 10}, {327, 20},
                                                            {328, 30}, {329, 40}, {330, 0},  {339, 0}};
    for (const auto& [picture, category] : cases) EXPECT_EQ(CategoryOfMarker(picture), category) << picture;
}

// ---- Switch access ----------------------------------------------------------------------------

// The module suspends switch access when it enters and whenever it comes on.
TEST_F(PresenterTest, TheModuleSuspendsSwitchAccess) {
    Enter(RuduridoduModuleTable());
    AllowSwitchAccess();
    ASSERT_TRUE(IsScanOn());
    ReenterModule();
    EXPECT_FALSE(IsScanOn());
    EngineResumeScan();
    EXPECT_FALSE(IsScanOn());
}

// With switch access on, a car the switch activates hides and becomes the round's pick; the
// ring's spot activated next drops it at the ring's drop point: its own ring parks it, a wrong one counts a mistake and
// sends it to the waiting place (280, 32). The pick is cleared either way.
TEST_F(PresenterTest, SwitchAccessDropsThePickedCarOnTheClickedRing) {
    Enter();
    SetSwitchAccess(true);
    ASSERT_TRUE(IsScanOn());
    for (const bool own : {true, false}) {
        SCOPED_TRACE(own ? "its own ring" : "a wrong ring");
        PieceRound& round = *Play(1, {{11}, {12}});
        CRoundTile* car = round.ShownCar(2, 280, 32);
        Module3::OnAnimClicked(car->Sprite(), 0);
        WaitSpriteDone(car->Sprite());
        EXPECT_EQ(GetSpriteFrame(car->Sprite()), 2);
        EXPECT_EQ(round.PickedTile(), car);
        EXPECT_EQ(round.tilesPicked, 1);
        const int16_t mistakes = Module3::View().taskMistakes;
        CSlotTarget& ring = *round.GetContainer(own ? 2 : 1);
        CSlotLayout::OnSpot(static_cast<int16_t>(640 + ring.Number()));
        EXPECT_EQ(round.PickedTile(), nullptr);
        EXPECT_NE(GetSpriteFrame(car->Sprite()), 2);
        EXPECT_EQ(car->IsPlaced(), own);
        EXPECT_EQ(Module3::View().taskMistakes - mistakes, own ? 0 : 1);
        if (own) {
            EXPECT_EQ(car->ParkedIn(), &ring);
        } else {
            EXPECT_EQ(Pos(car->Sprite()), std::make_pair(int16_t{280}, int16_t{32}));
        }
    }
}

// With switch access on, a piece the switch activates is marked and becomes the round's pick; a
// ring's spot activated next hands its value to that ring; dropped on the overlap it goes home unmarked.
TEST_F(PresenterTest, SwitchAccessDropsThePickedPieceOnTheClickedRing) {
    Enter();
    SetSwitchAccess(true);
    ASSERT_TRUE(IsScanOn());
    PieceRound& round = *Play();
    CPlayerPiece& piece = Piece();
    piece.OnClick();
    EXPECT_TRUE(piece.IsPlaced());
    EXPECT_EQ(round.PickedPiece(), &piece);
    EXPECT_EQ(round.piecesPicked, 1);
    CSlotLayout::OnSpot(642);
    EXPECT_EQ(round.placed, (std::vector<std::array<int16_t, 3>>{{2, kPieceValue, 1}}));
    EXPECT_EQ(round.PickedPiece(), nullptr);
    // On the overlap (the module's scan point of layout 5 drops there).
    round.SetPickedPiece(&piece);
    CSlotTarget& overlap = *round.GetContainer(3);
    piece.DropAt(overlap.CentreX(), overlap.CentreY());
    EXPECT_FALSE(piece.IsPlaced());
    EXPECT_EQ(Pos(piece.Sprite()), std::make_pair(kHomeX, kHomeY));
    EXPECT_EQ(round.placed.size(), 1u);
    EXPECT_EQ(round.PickedPiece(), nullptr);
}

}  // namespace
