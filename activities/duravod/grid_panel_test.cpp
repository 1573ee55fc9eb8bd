// The product grid (growing and shrinking, its limits, its buttons, the read-out, the spoken
// product, re-colouring) and the problem panel.
#include "activities/duravod/grid_panel.h"

#include <algorithm>
#include <set>
#include <utility>

#include "activities/duravod/duravod_test_support.h"
#include "activities/duravod/pieces.h"
#include "engine/toolbox/picture_items.h"
#include "platform/headless/golden_test_support.h"

namespace duravodtest {
namespace {

using duravod::CProductGrid;

class DuravodGrid : public DuravodTest {
protected:
    void SetUp() override {
        DuravodTest::SetUp();
        EnterWith(1);
        duravod::StopModuleTimers(0);
        duravod::StopModuleTimers(3);
    }
    void TearDown() override {
        S().Grid.reset();
        DuravodTest::TearDown();
    }
    // A grid of one piece, shown, in free play or problem mode.
    CProductGrid& MakeGrid(bool freePlay) {
        S().ProblemMode = freePlay ? 0 : 1;
        S().Grid = std::make_unique<CProductGrid>();
        S().Grid->Show();
        WaitSpriteDone(kAllSprites);
        return *S().Grid;
    }
    static std::set<std::pair<int16_t, int16_t>> Places() {
        std::set<std::pair<int16_t, int16_t>> out;
        for (int16_t i = 1; i <= S().PieceTotal; ++i) {
            CCorAnim* p = S().PieceSprites[static_cast<size_t>(i)];
            out.insert({GetSpriteX(p), GetSpriteY(p)});
        }
        return out;
    }
    static bool Blank(CCorAnim* button) { return !button || GetSpriteFrame(button) == duravod::kNoPicture; }
};

TEST_F(DuravodGrid, RowsAndColumnsGrowAndShrinkAsARectangle) {
    CProductGrid& grid = MakeGrid(true);
    ASSERT_EQ(S().PieceTotal, 1);
    grid.AddRows(2);
    WaitSpriteDone(kAllSprites);
    grid.AddColumns(3);
    WaitSpriteDone(kAllSprites);
    EXPECT_EQ(grid.rows, 3);
    EXPECT_EQ(grid.columns, 4);
    ASSERT_EQ(S().PieceTotal, 12);
    std::set<std::pair<int16_t, int16_t>> expected;
    for (int16_t r = 0; r < 3; ++r) {
        for (int16_t c = 0; c < 4; ++c) expected.insert({static_cast<int16_t>(130 + 28 * c), static_cast<int16_t>(300 - 24 * r)});
    }
    EXPECT_EQ(Places(), expected);
    grid.RemoveColumns(2);
    grid.RemoveRows(1);
    WaitSpriteDone(kAllSprites);
    EXPECT_EQ(grid.columns, 2);
    EXPECT_EQ(grid.rows, 2);
    EXPECT_EQ(S().PieceTotal, 4);
    EXPECT_EQ(Places(), (std::set<std::pair<int16_t, int16_t>>{{130, 300}, {158, 300}, {130, 276}, {158, 276}}));
    // Nothing below one row or one column.
    grid.RemoveColumns(2);
    grid.RemoveRows(2);
    EXPECT_EQ(grid.columns, 2);
    EXPECT_EQ(grid.rows, 2);
}

TEST_F(DuravodGrid, NothingPassesTheMostOrFiftyFourPieces) {
    CProductGrid& grid = MakeGrid(true);
    grid.AddRows(5);
    WaitSpriteDone(kAllSprites);
    grid.AddColumns(7);
    WaitSpriteDone(kAllSprites);
    ASSERT_EQ(S().PieceTotal, 48);
    // One more piece lies on the stage: six more would pass 54.
    const int16_t loose = ++S().PieceTotal;
    S().PieceSprites[static_cast<size_t>(loose)] = CreateSprite(500, 100, duravod::kPiece);
    ClearClips();
    grid.AddColumns(1);
    EXPECT_EQ(grid.columns, 8);
    EXPECT_EQ(S().PieceTotal, 49);
    EXPECT_TRUE(Clips().empty()) << "refused without a sound";
    // Without it the ninth column makes 54.
    DisposeSprite(S().PieceSprites[static_cast<size_t>(loose)]);
    duravod::RemoveItemEntry(loose);
    --S().PieceTotal;
    grid.AddColumns(1);
    WaitSpriteDone(kAllSprites);
    EXPECT_EQ(grid.columns, 9);
    EXPECT_EQ(S().PieceTotal, 54);
    // Nine columns and six rows are the most in free play.
    grid.RemoveRows(1);
    WaitSpriteDone(kAllSprites);
    grid.AddColumns(1);
    EXPECT_EQ(grid.columns, 9);
    grid.AddRows(2);
    EXPECT_EQ(grid.rows, 5);
}

TEST_F(DuravodGrid, AtOneColumnOrRowThePlusButtonStandsWhereTheMinusWas) {
    CProductGrid& grid = MakeGrid(true);
    const int16_t cx = static_cast<int16_t>(GetSpriteX(grid.rowRulerRight) + 41);
    const int16_t cy = static_cast<int16_t>(GetSpriteY(grid.rowRulerRight) + 4);
    const int16_t rx = static_cast<int16_t>(GetSpriteX(grid.columnRulerTop) + 14);
    const int16_t bottom = static_cast<int16_t>(GetSpriteY(grid.columnRulerBottom) + 64);
    EXPECT_EQ(grid.columnsMinus, nullptr);
    EXPECT_EQ(grid.rowsMinus, nullptr);
    EXPECT_EQ(GetSpriteX(grid.columnsPlus), cx);
    EXPECT_EQ(GetSpriteY(grid.columnsPlus), cy);
    EXPECT_EQ(GetSpriteX(grid.rowsPlus), rx);
    EXPECT_EQ(GetSpriteY(grid.rowsPlus), bottom - 22);
    // The buttons as the child presses them.
    grid.OnColumnButton(grid.columnsPlus);
    grid.OnRowButton(grid.rowsPlus);
    WaitSpriteDone(kAllSprites);
    ASSERT_NE(grid.columnsMinus, nullptr);
    ASSERT_NE(grid.rowsMinus, nullptr);
    EXPECT_EQ(GetSpriteX(grid.columnsMinus), cx + 28) << "one column further out";
    EXPECT_EQ(GetSpriteX(grid.columnsPlus), cx + 28 + 22 + 3);
    EXPECT_EQ(GetSpriteY(grid.rowsMinus), bottom - 22);
    EXPECT_EQ(GetSpriteY(grid.rowsPlus), bottom - 22 - 22 - 3);
    EXPECT_EQ(grid.SpriteRole(grid.columnsPlus), 1);
    EXPECT_EQ(grid.SpriteRole(grid.columnsMinus), 2);
    EXPECT_EQ(grid.SpriteRole(grid.rowsPlus), 3);
    EXPECT_EQ(grid.SpriteRole(grid.rowsMinus), 4);
    EXPECT_EQ(grid.SpriteRole(S().Bin), 0);
    grid.OnColumnButton(grid.columnsMinus);
    WaitSpriteDone(kAllSprites);
    EXPECT_EQ(grid.columnsMinus, nullptr);
    EXPECT_EQ(GetSpriteX(grid.columnsPlus), cx);
    EXPECT_EQ(grid.columns, 1);
    EXPECT_EQ(grid.rows, 2);
}

struct LimitCase {
    int16_t order, target, chosen, first, second;
    int16_t columns, rows;
    bool columnsPlusBlank, columnsMinusBlank, rowsPlusBlank, rowsMinusBlank;
};

TEST_F(DuravodGrid, LimitButtonsBlankWhatWouldPassTheToldOperands) {
    const LimitCase cases[] = {
        // order 1: the target counts the columns, the chosen size the rows.
        {1, 3, 2, 1, 0, 3, 2, true, true, false, false},
        {1, 4, 2, 1, 0, 3, 2, false, true, false, false},
        {1, 2, 2, 1, 0, 3, 2, true, false, false, false},
        {1, 3, 3, 0, 1, 3, 2, false, false, false, true},
        {1, 3, 2, 1, 1, 3, 2, true, true, true, true},
        // order 0: the target counts the rows.
        {0, 2, 5, 1, 0, 3, 2, false, false, true, true},
        {0, 5, 2, 1, 1, 2, 3, true, true, false, true},
        // No limit told: nothing blanked.
        {1, 1, 1, 0, 0, 3, 2, false, false, false, false},
    };
    for (const LimitCase& c : cases) {
        CProductGrid& grid = MakeGrid(false);
        grid.AddColumns(static_cast<int16_t>(c.columns - 1));
        WaitSpriteDone(kAllSprites);
        grid.AddRows(static_cast<int16_t>(c.rows - 1));
        WaitSpriteDone(kAllSprites);
        S().Problem->order = c.order;
        S().Problem->target = c.target;
        S().Problem->chosenSize = c.chosen;
        S().Problem->firstLimit = c.first;
        S().Problem->secondLimit = c.second;
        grid.PlaceButtons();
        WaitSpriteDone(kAllSprites);
        const std::string label = "order " + std::to_string(c.order) + " target " + std::to_string(c.target) + " chosen " +
                                  std::to_string(c.chosen) + " limits " + std::to_string(c.first) + std::to_string(c.second);
        EXPECT_EQ(Blank(grid.columnsPlus), c.columnsPlusBlank) << label;
        EXPECT_EQ(Blank(grid.columnsMinus), c.columnsMinusBlank) << label;
        EXPECT_EQ(Blank(grid.rowsPlus), c.rowsPlusBlank) << label;
        EXPECT_EQ(Blank(grid.rowsMinus), c.rowsMinusBlank) << label;
        // In free play the same limits blank nothing.
        S().ProblemMode = 0;
        grid.PlaceButtons();
        WaitSpriteDone(kAllSprites);
        EXPECT_FALSE(Blank(grid.columnsPlus) || Blank(grid.columnsMinus) || Blank(grid.rowsPlus) || Blank(grid.rowsMinus))
            << label;
        S().Problem->firstLimit = S().Problem->secondLimit = 0;
        S().Grid.reset();
        duravod::ClearAllItems();
    }
}

TEST_F(DuravodGrid, TheReadOutNamesTheRowsFirstAndTheProductIsSaid) {
    S().ProblemMode = 0;
    S().Panel->Update();
    CProductGrid& grid = MakeGrid(true);
    grid.AddRows(2);
    WaitSpriteDone(kAllSprites);
    grid.AddColumns(3);
    WaitSpriteDone(kAllSprites);
    grid.PlaceButtons();
    grid.ShowColumnsLabel();
    grid.ShowRowsLabel();
    duravod::ShowProductReadout(grid);
    S().Speaker->Hide();
    // Free play has no hatch: the lower bar of free play takes it down.
    QueueSpriteFrameNoWait(S().Hatch, duravod::kNoPicture);
    const std::vector<std::string> texts = Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "3 x 4 = 12"), texts.end());
    WaitSpriteDone(kAllSprites);
    InvalidateRect16(CCorRect{0, 0, 640, 480});
    RedrawArea(0);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "duravod_grid.png");
    ClearClips();
    EXPECT_EQ(grid.SayProduct(0), 0);
    const std::vector<int16_t> said = Clips();
    // "tre rader med fyra i varje blir tolv": the words between the numbers, in order.
    const auto first = std::find(said.begin(), said.end(), 195);
    ASSERT_NE(first, said.end());
    EXPECT_NE(std::find(first, said.end(), 196), said.end());
}

TEST_F(DuravodGrid, RecolouringPlaysOneSoundByWhetherAnythingChanged) {
    for (int16_t k = 0; k < 4; ++k) {
        const int16_t i = ++S().PieceTotal;
        S().PieceSprites[static_cast<size_t>(i)] = CreateSprite(static_cast<int16_t>(100 + 40 * k), 200, duravod::kPiece + 1);
    }
    Delay(0);
    S().SelectedPaint = 1;
    ClearClips();
    duravod::RecolourItems(1);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{duravod::kAlreadyPainted}));
    S().SelectedPaint = 2;
    ClearClips();
    duravod::RecolourItems(2);
    Delay(0);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{duravod::kPaintSound}));
    EXPECT_EQ(S().PieceLook, 2);
    for (int16_t i = 1; i <= 4; ++i) EXPECT_EQ(GetSpriteFrame(S().PieceSprites[static_cast<size_t>(i)]), duravod::kPiece + 2);
    // The mixed paint gives every piece a look other than its own.
    S().SelectedPaint = 4;
    ClearClips();
    duravod::RecolourItems(4);
    Delay(0);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{duravod::kPaintSound}));
    for (int16_t i = 1; i <= 4; ++i) {
        const int16_t shown = GetSpriteFrame(S().PieceSprites[static_cast<size_t>(i)]);
        EXPECT_NE(shown, duravod::kPiece + 2);
        EXPECT_GE(shown, duravod::kPiece);
        EXPECT_LE(shown, duravod::kPiece + 3);
    }
}

TEST_F(DuravodGrid, ThePanelSlidesInWithTheBoardTheModeWants) {
    duravod::CProblemPanel& panel = *S().Panel;
    S().ProblemMode = 1;
    gLog.multiLine = 0;
    S().Problem->multiLine = 0;
    panel.Update();
    WaitSpriteDone(S().PanelButton);
    EXPECT_EQ(GetSpriteFrame(panel.sprite), duravod::kPanelNarrow);
    EXPECT_EQ(GetSpriteY(panel.sprite), 0);
    EXPECT_EQ(GetSpriteX(panel.sprite), 320 - 290 / 2);
    EXPECT_EQ(panel.wide, 0);
    EXPECT_EQ(GetSpriteFrame(S().PanelButton), duravod::kPanelButtonPressed);
    EXPECT_EQ(GetSpriteX(S().PanelButton), panel.x + 3);
    S().Problem->multiLine = 1;
    panel.Update();
    EXPECT_EQ(GetSpriteFrame(panel.sprite), duravod::kPanelWide);
    EXPECT_EQ(panel.wide, 1);
    S().ProblemMode = 0;
    panel.Update();
    EXPECT_EQ(GetSpriteFrame(panel.sprite), duravod::kPanelFreePlay);
    EXPECT_EQ(panel.wide, 0);
    panel.SlideOut();
    WaitSpriteDone(panel.sprite);
    EXPECT_EQ(GetSpriteFrame(S().PanelButton), duravod::kNoPicture);
    EXPECT_LE(GetSpriteY(panel.sprite), -40);
    // After sliding out the next update brings a board in again.
    panel.Update();
    EXPECT_EQ(GetSpriteFrame(panel.sprite), duravod::kPanelFreePlay);
    EXPECT_EQ(GetSpriteY(panel.sprite), 0);
}

TEST_F(DuravodGrid, ANextPictureBlinksThreeTimes) {
    CCorAnim* button = CreateSprite(100, 100, duravod::kColumnsPlus);
    Delay(0);
    std::vector<int16_t> shown;
    duravod::BlinkNextPicture(button);
    const uint32_t start = GetEngineTicks();
    int16_t last = GetSpriteFrame(button);
    while (GetSpriteStatus(button) != 1 && GetEngineTicks() - start < 200) {
        Delay(1);
        if (GetSpriteFrame(button) != last) shown.push_back(last = GetSpriteFrame(button));
    }
    EXPECT_EQ(shown, (std::vector<int16_t>{150, 149, 150, 149, 150, 149}));
}

}  // namespace
}  // namespace duravodtest
