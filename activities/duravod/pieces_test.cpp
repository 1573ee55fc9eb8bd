// The pieces on the stage: the curve's steps, the rectangle test, dragging with a scripted
// pointer (the screen area, a blocked area, the bin, a close), taking pieces out of the tables,
// trimming and winking.
#include "activities/duravod/pieces.h"

#include <cmath>
#include <cstdlib>

#include "activities/duravod/duravod_test_support.h"
#include "activities/duravod/grid_panel.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/numbers.h"
#include "platform/core/crt.h"

namespace duravodtest {
namespace {

using duravod::CurvePoints;
using duravod::RectsMeet;

// ---- Curves ---------------------------------------------------------------------------------------

struct CurveCase {
    int16_t x0, y0, x1, y1, speed;
    size_t steps;
};

TEST(DuravodCurve, StepsAndTheLastMove) {
    const CurveCase cases[] = {
        {10, 10, 10, 10, 10, 0},    // no length: one move, no step
        {0, 0, 100, 0, 10, 20},     // 10 speeds long: 20 steps
        {0, 0, 30, 40, 10, 10},     // 50 long
        {0, 0, 50, 0, 20, 4},       // 2.5 speeds: the whole part, doubled
        {0, 0, 5, 0, 10, 0},        // under one speed: the end alone
        {300, 200, 100, 50, 25, 20},  // 250 long, backwards
        {0, 0, 0, -400, 40, 20},
    };
    for (const CurveCase& c : cases) {
        const std::vector<CCorPoint> points = CurvePoints(c.x0, c.y0, c.x1, c.y1, c.speed, 0);
        ASSERT_EQ(points.size(), c.steps + 1) << c.x1 << "," << c.y1 << " speed " << c.speed;
        EXPECT_EQ(points.back().x, c.x1);
        EXPECT_EQ(points.back().y, c.y1);
        if (c.steps == 0) continue;
        EXPECT_EQ(points.front().x, c.x0);
        EXPECT_EQ(points.front().y, c.y0);
        // Eased on the straight line: every step lies between the ends and none goes back.
        for (size_t i = 1; i < points.size(); ++i) {
            EXPECT_GE((points[i].x - points[i - 1].x) * (c.x1 - c.x0), 0);
            EXPECT_GE((points[i].y - points[i - 1].y) * (c.y1 - c.y0), 0);
        }
        // The ease: the first step is shorter than the middle one.
        const size_t mid = points.size() / 2;
        EXPECT_LT(std::abs(points[1].x - points[0].x) + std::abs(points[1].y - points[0].y),
                  std::abs(points[mid].x - points[mid - 1].x) + std::abs(points[mid].y - points[mid - 1].y));
    }
}

TEST(DuravodCurve, ABowedPathLeavesTheLineTheSameWayForTheSameSeed) {
    plat::SRand(5);
    const std::vector<CCorPoint> first = CurvePoints(100, 300, 300, 100, 20, 1);
    plat::SRand(5);
    const std::vector<CCorPoint> again = CurvePoints(100, 300, 300, 100, 20, 1);
    ASSERT_EQ(first.size(), again.size());
    int most = 0;
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].x, again[i].x);
        EXPECT_EQ(first[i].y, again[i].y);
        // The straight line from (100, 300) to (300, 100) is x + y = 400.
        most = std::max(most, std::abs(first[i].x + first[i].y - 400));
    }
    EXPECT_GT(most, 20) << "the tangents bend the path";
    EXPECT_EQ(first.back().x, 300);
    EXPECT_EQ(first.back().y, 100);
    // Without the bow the same slide stays on the line (within the truncation).
    for (const CCorPoint& p : CurvePoints(100, 300, 300, 100, 20, 0)) EXPECT_LE(std::abs(p.x + p.y - 400), 1);
}

// ---- RectsMeet ------------------------------------------------------------------------------------

struct MeetCase {
    CCorRect a, b;
    int16_t ma, mb;
    int16_t meet;
};

TEST(DuravodRects, MeetOnlyWhenTheInsidesOverlap) {
    const MeetCase cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, 0, 0, 1},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, 0, 0, 0},   // touching on the right edge
        {{0, 0, 10, 10}, {0, 10, 10, 20}, 0, 0, 0},   // touching on the bottom edge
        {{0, 0, 10, 10}, {10, 10, 20, 20}, 0, 0, 0},  // touching at a corner
        {{0, 0, 10, 10}, {10, 0, 20, 10}, 1, 0, 1},   // a's margin reaches in
        {{0, 0, 10, 10}, {11, 0, 20, 10}, 1, 0, 0},   // one margin is not enough for a gap of one
        {{0, 0, 10, 10}, {11, 0, 20, 10}, 1, 1, 1},   // both margins grow
        {{0, 0, 10, 10}, {12, 0, 20, 10}, 0, 1, 0},
        {{5, 5, 5, 5}, {0, 0, 10, 10}, 0, 0, 1},      // a point strictly inside
        {{0, 5, 0, 5}, {0, 0, 10, 10}, 0, 0, 0},      // a point on the left edge
        {{10, 5, 10, 5}, {0, 0, 10, 10}, 0, 0, 0},    // on the right edge
        {{5, 0, 5, 0}, {0, 0, 10, 10}, 0, 0, 0},      // on the top edge
        {{5, 5, 5, 5}, {5, 5, 5, 5}, 0, 0, 0},        // two points
    };
    for (const MeetCase& c : cases) {
        EXPECT_EQ(RectsMeet(c.a, c.b, c.ma, c.mb), c.meet)
            << c.a.left << "," << c.a.top << "," << c.a.right << "," << c.a.bottom << " margins " << c.ma << " " << c.mb;
        EXPECT_EQ(RectsMeet(c.b, c.a, c.mb, c.ma), c.meet) << "either way round";
    }
}

// ---- The tables -----------------------------------------------------------------------------------

// Distinct handles for the table tests: the tables only move them, never use them.
CCorAnim* Handle(int i) {
    static char places[duravod::kPieceSlots];
    return reinterpret_cast<CCorAnim*>(&places[i]);
}

class DuravodTables : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        duravod::CDuravodState& s = duravod::State();
        s.PieceSprites = {};
        s.GroupTable = {};
        s.SetTable = {};
        s.PieceTotal = 0;
    }
    static duravod::CDuravodState& S() { return duravod::State(); }
    static void Pieces(int n) {
        for (int i = 1; i <= n; ++i) S().PieceSprites[static_cast<size_t>(i)] = Handle(i);
        S().PieceTotal = static_cast<int16_t>(n);
    }
    static void Group(int g, std::initializer_list<uint16_t> members) {
        size_t c = 1;
        for (uint16_t m : members) {
            S().GroupTable[static_cast<size_t>(g)][c++] = m;
            S().GroupTable[0][m] = static_cast<uint16_t>(g);
        }
    }
    static void Set(int k, std::initializer_list<uint16_t> members) {
        size_t c = 1;
        for (uint16_t m : members) {
            S().SetTable[static_cast<size_t>(k)][c++] = m;
            S().SetTable[0][m] = static_cast<uint16_t>(k);
        }
    }
    static std::vector<uint16_t> Row(const auto& row, size_t from, size_t to) {
        return std::vector<uint16_t>(row.begin() + static_cast<std::ptrdiff_t>(from), row.begin() + static_cast<std::ptrdiff_t>(to));
    }
};

TEST_F(DuravodTables, RemovingAPieceRenumbersEveryTable) {
    Pieces(6);
    Group(1, {2, 4, 5});
    Group(2, {6, 3});
    Set(1, {1, 5});
    Set(2, {6});
    duravod::RemoveItemEntry(4);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(S().PieceSprites[static_cast<size_t>(i)], Handle(i));
    EXPECT_EQ(S().PieceSprites[4], Handle(5));
    EXPECT_EQ(S().PieceSprites[5], Handle(6));
    EXPECT_EQ(S().PieceSprites[6], nullptr);
    // The group of each piece moves down with the pieces.
    EXPECT_EQ(Row(S().GroupTable[0], 1, 7), (std::vector<uint16_t>{0, 1, 2, 1, 2, 0}));
    // The removed piece leaves its group; the members after it are renumbered.
    EXPECT_EQ(Row(S().GroupTable[1], 1, 4), (std::vector<uint16_t>{2, 4, 0}));
    EXPECT_EQ(Row(S().GroupTable[2], 1, 3), (std::vector<uint16_t>{5, 3}));
    EXPECT_EQ(Row(S().SetTable[0], 1, 7), (std::vector<uint16_t>{1, 0, 0, 1, 2, 0}));
    EXPECT_EQ(Row(S().SetTable[1], 1, 3), (std::vector<uint16_t>{1, 4}));
    EXPECT_EQ(Row(S().SetTable[2], 1, 2), (std::vector<uint16_t>{5}));
}

TEST_F(DuravodTables, APieceInASetLeavesIt) {
    Pieces(3);
    Set(3, {1, 2, 3});
    duravod::RemoveItemEntry(2);
    EXPECT_EQ(Row(S().SetTable[3], 1, 4), (std::vector<uint16_t>{1, 2, 0}));
}

TEST_F(DuravodTables, FiftyFourPiecesInOneGroupAndOneSetStayWithinTheRows) {
    Pieces(duravod::kMostPieces);
    std::vector<uint16_t> all;
    for (uint16_t i = 1; i <= duravod::kMostPieces; ++i) {
        S().GroupTable[1][i] = i;  // the row is full: no room for its 0
        S().GroupTable[0][i] = 1;
        S().SetTable[2][i] = i;
        S().SetTable[0][i] = 2;
    }
    duravod::RemoveItemEntry(duravod::kMostPieces);
    duravod::RemoveItemEntry(1);
    EXPECT_EQ(S().PieceSprites[1], Handle(2));
    EXPECT_EQ(S().PieceSprites[52], Handle(53));
    EXPECT_EQ(S().PieceSprites[53], nullptr);
    EXPECT_EQ(S().GroupTable[0][52], 1);
    EXPECT_EQ(S().GroupTable[0][53], 0);
    EXPECT_EQ(S().GroupTable[1][1], 1);
    EXPECT_EQ(S().GroupTable[1][52], 52);
    EXPECT_EQ(S().GroupTable[1][53], 0);
    EXPECT_EQ(S().SetTable[2][52], 52);
    EXPECT_EQ(S().SetTable[2][53], 0);
    EXPECT_EQ(duravod::GroupMembers(1).size(), 52u);
    // Numbers outside the table are refused.
    duravod::RemoveItemEntry(0);
    duravod::RemoveItemEntry(55);
    duravod::RemoveItemEntry(-3);
    EXPECT_EQ(duravod::GroupMembers(1).size(), 52u);
}

// ---- On the stage ---------------------------------------------------------------------------------

class DuravodPieces : public DuravodTest {
protected:
    void SetUp() override {
        DuravodTest::SetUp();
        EnterWith(1);
        // The module's own timers are stopped: the tests call what they test.
        duravod::StopModuleTimers(0);
        duravod::StopModuleTimers(3);
    }
    // A piece of look k at (x, y), the next in the table.
    static int16_t AddPiece(int16_t x, int16_t y, int16_t look = 0) {
        const int16_t i = ++S().PieceTotal;
        S().PieceSprites[static_cast<size_t>(i)] = CreateSprite(x, y, static_cast<int16_t>(duravod::kPiece + look));
        Delay(0);  // shown, as a piece the child sees
        return i;
    }
    static CCorAnim* Piece(int16_t i) { return S().PieceSprites[static_cast<size_t>(i)]; }
    // The button goes down at (x, y) (as the press that starts a drag finds it), the pointer then
    // moves along the path and is let go at its end; the module's click handler drags.
    void Drag(int16_t x, int16_t y, const std::vector<POINT>& path, uint64_t stepMs = 10) {
        HoldButtonDown(x, y);
        ASSERT_EQ(IsMouseDown(), 1);
        // The hand rests a moment before it lets go, as a child's does.
        std::vector<POINT> rested = path;
        for (int k = 0; k < 10 && !path.empty(); ++k) rested.push_back(path.back());
        PressAndMove(x, y, rested, stepMs);
    }
    // Every place the sprite takes, sampled each 5 virtual ms for that long.
    std::vector<CCorPoint>& Watch(CCorAnim* sprite, uint64_t ms) {
        watched.clear();
        const CAnimRef kept = KeepSprite(sprite);
        for (uint64_t t = 5; t <= ms; t += 5) {
            head->At(head->NowMs() + t, [this, kept] {
                if (CCorAnim* live = LiveSprite(kept)) watched.push_back(CCorPoint{GetSpriteX(live), GetSpriteY(live)});
            });
        }
        return watched;
    }
    std::vector<CCorPoint> watched;
};

TEST_F(DuravodPieces, ADraggedPieceFollowsThePointerWithinTheScreenArea) {
    const int16_t i = AddPiece(100, 200);
    // Grabbed at its middle (17, 17), it goes where the pointer leaves it.
    Drag(117, 217, {{200, 250}, {300, 260}});
    EXPECT_EQ(GetSpriteX(Piece(i)), 300 - 17);
    EXPECT_EQ(GetSpriteY(Piece(i)), 260 - 17);
    // Pulled past the right and bottom edges, the box stays inside.
    std::vector<CCorPoint>& seen = Watch(Piece(i), 300);
    Drag(300, 260, {{500, 400}, {700, 470}, {800, 600}, {900, 700}});
    EXPECT_EQ(GetSpriteX(Piece(i)), 640 - 34);
    EXPECT_EQ(GetSpriteY(Piece(i)), 480 - 34);
    // Then past the left and top edges.
    Drag(640 - 17, 480 - 17, {{100, 100}, {-50, -40}, {-200, -100}});
    EXPECT_EQ(GetSpriteX(Piece(i)), 0);
    EXPECT_EQ(GetSpriteY(Piece(i)), 0);
    for (const CCorPoint& p : seen) {
        EXPECT_GE(p.x, 0);
        EXPECT_GE(p.y, 0);
        EXPECT_LE(p.x + 34, 640);
        EXPECT_LE(p.y + 34, 480);
    }
    EXPECT_EQ(S().PieceTotal, 1);
}

TEST_F(DuravodPieces, ABlockedAreaMakesThePieceSlideAlongItOrHold) {
    // The panel stands at (300, 100) to (450, 140).
    CCorAnim* panel = CreateSprite(300, 100, duravod::kEquationBox);
    CCorAnim* saved = S().Panel->sprite;
    S().Panel->sprite = panel;
    Delay(0);
    const CCorRect blocked{300, 100, 450, 140};
    const int16_t i = AddPiece(200, 110);
    // Pushed right into the panel in small steps, the piece stops short of it (where the last
    // free sample left it).
    std::vector<CCorPoint>& seen = Watch(Piece(i), 900);
    std::vector<POINT> right;
    for (int x = 223; x <= 440; x += 6) right.push_back(POINT{x, 127});
    Drag(217, 127, right);
    EXPECT_EQ(GetSpriteY(Piece(i)), 110);
    EXPECT_LE(GetSpriteX(Piece(i)) + 34, 300);
    EXPECT_GT(GetSpriteX(Piece(i)), 200) << "it went on towards the panel";
    // Moved down and right, it slides down along the edge and then goes on to the right.
    const int16_t from = static_cast<int16_t>(GetSpriteX(Piece(i)) + 17);
    std::vector<POINT> down;
    for (int k = 1; k <= 30; ++k) down.push_back(POINT{from + k * (420 - from) / 30, 127 + k * (200 - 127) / 30});
    Drag(from, 127, down);
    EXPECT_EQ(GetSpriteX(Piece(i)), 420 - 17);
    EXPECT_EQ(GetSpriteY(Piece(i)), 200 - 17);
    for (const CCorPoint& p : seen) {
        EXPECT_FALSE(RectsMeet(CCorRect{p.x, p.y, static_cast<int16_t>(p.x + 34), static_cast<int16_t>(p.y + 34)}, blocked, 0, 0))
            << p.x << "," << p.y;
    }
    // A piece that lies over the panel's edge holds while every way it is pulled stays blocked
    // too, then follows once the pointer leads it clear (grabbed 5 from its left edge).
    const int16_t j = AddPiece(280, 110);
    Drag(285, 127, {{290, 130}, {296, 124}, {292, 134}});
    EXPECT_EQ(GetSpriteX(Piece(j)), 280);
    EXPECT_EQ(GetSpriteY(Piece(j)), 110);
    Drag(285, 127, {{240, 200}, {200, 300}});
    EXPECT_EQ(GetSpriteX(Piece(j)), 200 - 5);
    EXPECT_EQ(GetSpriteY(Piece(j)), 300 - 17);
    S().Panel->sprite = saved;
    DisposeSprite(panel);
}

TEST_F(DuravodPieces, ReleasedOverTheBinTheWholeGroupIsThrownAndTheBinOpensAndCloses) {
    QueueSpriteFrameNoWait(S().Bin, duravod::kBinClosed);
    WaitSpriteDone(S().Bin);
    const int16_t a = AddPiece(100, 250, 1);
    const int16_t b = AddPiece(128, 250, 1);
    const int16_t c = AddPiece(156, 250, 1);
    const int16_t loose = AddPiece(400, 250, 2);
    CCorAnim* left = Piece(loose);
    S().GroupTable[1][1] = static_cast<uint16_t>(a);
    S().GroupTable[1][2] = static_cast<uint16_t>(b);
    S().GroupTable[1][3] = static_cast<uint16_t>(c);
    for (int16_t m : {a, b, c}) S().GroupTable[0][static_cast<size_t>(m)] = 1;
    ClearClips();
    // The middle piece is taken and its group carried onto the bin's lid.
    Drag(145, 267, {{200, 300}, {260, 380}, {322, 440}});
    EXPECT_EQ(S().PieceTotal, 1);
    EXPECT_EQ(Piece(1), left) << "the loose piece moved down to slot 1";
    EXPECT_EQ(Piece(2), nullptr);
    EXPECT_EQ(S().GroupTable[0][1], 0);
    EXPECT_EQ(S().GroupTable[1][1], 0) << "the group is gone";
    const std::vector<int16_t> clips = Clips();
    EXPECT_NE(std::find(clips.begin(), clips.end(), duravod::kBinOpenSound), clips.end());
    EXPECT_NE(std::find(clips.begin(), clips.end(), duravod::kBinCloseSound), clips.end());
    WaitSpriteDone(S().Bin);
    EXPECT_EQ(GetSpriteFrame(S().Bin), duravod::kBinClosed);
    EXPECT_EQ(GetSpriteX(S().Bin), duravod::kBinX);
    EXPECT_EQ(GetSpriteY(S().Bin), duravod::kBinY);
    // Only the three thrown sprites went.
    EXPECT_EQ(SpritesShowing(static_cast<int16_t>(duravod::kPiece + 1)).size(), 0u);
    EXPECT_EQ(SpritesShowing(static_cast<int16_t>(duravod::kPiece + 2)).size(), 1u);
}

TEST_F(DuravodPieces, ACloseDuringTheDragEndsIt) {
    const int16_t i = AddPiece(100, 200);
    std::vector<POINT> path;
    for (int k = 1; k <= 100; ++k) path.push_back(POINT{117 + 4 * k, 217});
    const uint64_t started = head->NowMs();
    CloseLater(100);
    Drag(117, 217, path);
    EXPECT_LT(head->NowMs() - started, 400u) << "the drag did not wait for the release";
    EXPECT_LT(GetSpriteX(Piece(i)), 400);
    EXPECT_EQ(S().PieceTotal, 1);
}

TEST_F(DuravodPieces, TrimmingKeepsWhatTheMachineKeepsUpWith) {
    const struct {
        uint32_t millis;
        int16_t kept;
    } cases[] = {{0, 30}, {35, 30}, {36, 15}, {50, 15}, {110, 15}, {111, 5}};
    for (const auto& c : cases) {
        for (int16_t k = 0; k < 40; ++k) AddPiece(static_cast<int16_t>(10 + k * 12), 200);
        Delay(1);
        S().EnterMillis = c.millis;
        duravod::TrimItems();
        EXPECT_EQ(S().PieceTotal, c.kept) << c.millis;
        // The kept pieces fill slots 1.. with no gap; the removed sprites are gone.
        for (int16_t k = 1; k <= c.kept; ++k) EXPECT_NE(Piece(k), nullptr);
        EXPECT_EQ(Piece(static_cast<int16_t>(c.kept + 1)), nullptr);
        EXPECT_EQ(SpritesShowing(duravod::kPiece).size(), static_cast<size_t>(c.kept));
        for (int16_t k = 1; k <= c.kept; ++k) DisposeSprite(Piece(k));
        S().PieceSprites = {};
        S().PieceTotal = 0;
    }
}

TEST_F(DuravodPieces, ClearingThrowsEveryPieceIntoTheBin) {
    QueueSpriteFrameNoWait(S().Bin, duravod::kBinClosed);
    for (int16_t k = 0; k < 6; ++k) AddPiece(static_cast<int16_t>(40 + k * 50), 150, static_cast<int16_t>(k % 4));
    ClearClips();
    duravod::ClearAllItems();
    EXPECT_EQ(S().PieceTotal, 0);
    EXPECT_EQ(Piece(1), nullptr);
    for (int16_t look = 0; look < 4; ++look) EXPECT_TRUE(SpritesShowing(static_cast<int16_t>(duravod::kPiece + look)).empty());
    const std::vector<int16_t> clips = Clips();
    EXPECT_NE(std::find(clips.begin(), clips.end(), duravod::kBinCloseSound), clips.end());
}

TEST_F(DuravodPieces, APieceWinksThreeTimesAfterAQuietSpell) {
    for (int run = 0; run < 3; ++run) {
        const int16_t i = AddPiece(200, 200, 2);
        S().Wink = {};
        const uint32_t start = GetEngineTicks();
        std::vector<std::pair<uint32_t, int16_t>> changes;
        int16_t shown = duravod::kPiece + 2;
        while (GetEngineTicks() - start < 1000) {
            duravod::WinkItems();
            Delay(1);
            const int16_t now = GetSpriteFrame(Piece(i));
            if (now != shown) {
                changes.emplace_back(GetEngineTicks() - start, now);
                shown = now;
            }
        }
        ASSERT_EQ(changes.size(), 6u) << "three winks, each back to normal, then quiet";
        EXPECT_GE(changes[0].first, 501u);
        EXPECT_LE(changes[0].first, 753u);
        for (size_t k = 0; k < changes.size(); ++k) {
            EXPECT_EQ(changes[k].second, k % 2 == 0 ? duravod::kWinkPiece + 2 : duravod::kPiece + 2);
            if (k > 0) {
                EXPECT_GE(changes[k].first - changes[k - 1].first, 20u);
                EXPECT_LE(changes[k].first - changes[k - 1].first, 22u);
            }
        }
        DisposeSprite(Piece(i));
        S().PieceSprites = {};
        S().PieceTotal = 0;
    }
}

TEST_F(DuravodPieces, AWinkEndsWhenItsPieceGoes) {
    const int16_t i = AddPiece(200, 200, 1);
    S().Wink = {};
    const uint32_t start = GetEngineTicks();
    while (GetSpriteFrame(Piece(i)) != duravod::kWinkPiece + 1 && GetEngineTicks() - start < 800) {
        duravod::WinkItems();
        Delay(1);
    }
    ASSERT_EQ(GetSpriteFrame(Piece(i)), duravod::kWinkPiece + 1);
    DisposeSprite(Piece(i));
    duravod::RemoveItemEntry(i);
    S().PieceTotal = 0;
    duravod::WinkItems();
    EXPECT_EQ(S().Wink.piece, nullptr);
    EXPECT_EQ(S().Wink.delay, 0);
}

}  // namespace
}  // namespace duravodtest
