// The number panel on module 5's own file: its arcs against the checked-in table, items flying
// in (order, landing sounds, nothing for 0, nothing on a full column), the gap in the hundreds
// stack closed by a swap, presses on items and the pan's slanted edges.
#include "activities/vevudivodizide/number_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "activities/vevudivodizide/compare_game_test_support.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"

namespace {

using comparetest::CompareGameTest;
using vevudivodizide::CNumberPanel;

// The drag service tests put in the engine's place: records each drag asked for, drags nothing.
class CRecordingDrags : public IDragService {
public:
    int16_t BeginDrag(CCorAnim* sprite, int32_t home, int32_t target, int16_t snap, EngineDragCallback) override {
        drags.push_back({sprite, home % 1000, target, snap});
        return 0;
    }
    struct Drag {
        CCorAnim* sprite;
        int32_t home, target;
        int16_t snap;
    };
    std::vector<Drag> drags;
};

using PanelTest = CompareGameTest;

// Every slot of both panels at each baseline the balance uses, against the table worked out once
// in double precision (testdata/arc_slots.txt).
TEST_F(PanelTest, ArcSlotsMatchTheCheckedInTable) {
    std::ifstream in(std::string(ZELBO_VEVUDIVODIZIDE_TESTDATA) + "/arc_slots.txt");
    ASSERT_TRUE(in) << "testdata/arc_slots.txt";
    int rows = 0;
    std::string line;
    int laidSide = 0, laidBaseline = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        int side, baseline, column, slot, x, y;
        ASSERT_TRUE(fields >> side >> baseline >> column >> slot >> x >> y) << line;
        CNumberPanel& panel = *game->Panel(side);
        if (side != laidSide || baseline != laidBaseline) {
            panel.LayoutArcItems(static_cast<int16_t>(baseline));
            laidSide = side;
            laidBaseline = baseline;
        }
        const vevudivodizide::SlotPos p = panel.Slot(column, slot);
        EXPECT_EQ(p.x, x) << line;
        EXPECT_EQ(p.y, y) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 2 * 5 * (9 + 19 + 18));
}

// The right panel's arcs are laid only when a board is entered: until then every slot is 0.
TEST_F(PanelTest, TheRightPanelsSlotsStartAtZero) {
    for (int column = 0; column < 3; ++column)
        for (int i = 0; i < CNumberPanel::kCapacity[column]; ++i) {
            EXPECT_EQ(game->rightPanel->Slot(column, i).x, 0);
            EXPECT_EQ(game->rightPanel->Slot(column, i).y, 0);
        }
}

int LandingColumn(int sound) {
    if (sound >= 463 && sound <= 470) return CNumberPanel::kOnes;
    if (sound >= 471 && sound <= 478) return CNumberPanel::kTens;
    if (sound >= 479 && sound <= 486) return CNumberPanel::kHundreds;
    return -1;
}

// 999 lands nine ones, then nine tens, then nine hundreds, each with its landing sound, every
// item resting on its slot; 0 plays nothing and leaves nothing.
TEST_F(PanelTest, SetValueLandsOnesThenTensThenHundreds) {
    CNumberPanel& panel = *game->leftPanel;
    panel.SetValue(999);
    Settle();
    std::vector<int> landings, leaving;
    for (int id : Started()) {
        if (LandingColumn(id) >= 0) landings.push_back(LandingColumn(id));
        if (id >= 415 && id <= 417) leaving.push_back(id);
    }
    std::vector<int> expected(9, CNumberPanel::kOnes);
    expected.insert(expected.end(), 9, CNumberPanel::kTens);
    expected.insert(expected.end(), 9, CNumberPanel::kHundreds);
    EXPECT_EQ(landings, expected);
    std::vector<int> expectedLeaving(9, 417);
    expectedLeaving.insert(expectedLeaving.end(), 9, 416);
    expectedLeaving.insert(expectedLeaving.end(), 9, 415);
    EXPECT_EQ(leaving, expectedLeaving);
    EXPECT_EQ(panel.Value(), 999);
    const int16_t rest[3] = {653, 652, 651};
    for (int column = 0; column < 3; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(panel.ItemCount(column), 9);
        EXPECT_EQ(panel.FirstFreeSlot(column), column == 0 ? -1 : 9);
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(GetSpriteFrame(panel.Item(column, i)), rest[column]) << i;
            EXPECT_EQ(GetSpriteX(panel.Item(column, i)), panel.Slot(column, i).x) << i;
            EXPECT_EQ(GetSpriteY(panel.Item(column, i)), panel.Slot(column, i).y) << i;
        }
    }

    ClearStarted();
    panel.SetValue(0);
    Settle();
    EXPECT_TRUE(Started().empty());
    EXPECT_EQ(panel.Value(), 0);
    for (int column = 0; column < 3; ++column)
        for (int i = 0; i < CNumberPanel::kCapacity[column]; ++i) EXPECT_EQ(GetSpriteFrame(panel.Item(column, i)), 2);
}

// A full column, or a column out of range, takes no item: nothing changes and nothing sounds.
TEST_F(PanelTest, AddItemOnAFullColumnChangesNothing) {
    CNumberPanel& panel = *game->leftPanel;
    for (int column = 0; column < 3; ++column) {
        panel.occupied[column].fill(0);
        for (int i = 0; i < CNumberPanel::kCapacity[column]; ++i) panel.occupied[column][i] = 1;
        panel.columnItems[column] = static_cast<uint16_t>(CNumberPanel::kCapacity[column]);
    }
    const auto before = panel.occupied;
    for (int column : {-1, 0, 1, 2, 3}) {
        SCOPED_TRACE(column);
        panel.AddItem(column);
        Settle();
        EXPECT_EQ(panel.occupied, before);
        EXPECT_EQ(panel.columnItems[0], 9);
        EXPECT_EQ(panel.columnItems[1], 19);
        EXPECT_EQ(panel.columnItems[2], 18);
        EXPECT_TRUE(Started().empty());
    }
}

// Puts n hundreds at rest on slots 0..n-1 at once (no flights).
void StackHundreds(CNumberPanel& panel, int n) {
    panel.Clear();
    for (int i = 0; i < n; ++i) {
        const vevudivodizide::SlotPos p = panel.Slot(0, i);
        vevudivodizide::ShowAt(panel.Item(0, i), 653, static_cast<int16_t>(p.x), static_cast<int16_t>(p.y));
        panel.occupied[0][i] = 1;
    }
    panel.columnItems[0] = static_cast<uint16_t>(n);
}

// Closing the gap a removed hundreds item leaves: from the bottom row of a stack of 7 the highest
// item drops in; slot 6 of 9 takes slot 8's; the top slot 8 needs nothing.
TEST_F(PanelTest, CloseGapMovesTheHighestItemIntoTheGap) {
    struct Case {
        const char* what;
        int stack, removed, from;  // from: the slot whose item fills the gap, -1 none
    };
    const Case cases[] = {
        {"bottom item of a stack of 7", 7, 1, 6},
        {"slot 6 of a full stack", 9, 6, 8},
        {"the top of a full stack", 9, 8, -1},
        {"slot 6 with 7 left", 8, 6, -1},
    };
    CNumberPanel& panel = *game->leftPanel;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StackHundreds(panel, c.stack);
        Settle();
        panel.RemoveItem(c.removed, 0);
        panel.CloseGap(c.removed);
        Settle();
        for (int i = 0; i < 9; ++i) {
            bool filled = i < c.stack && i != c.removed;
            if (c.from >= 0 && i == c.removed) filled = true;
            if (c.from >= 0 && i == c.from) filled = false;
            EXPECT_EQ(panel.IsOccupied(0, i), filled) << i;
            EXPECT_EQ(GetSpriteFrame(panel.Item(0, i)), filled ? 653 : 2) << i;
            if (filled) {
                EXPECT_EQ(GetSpriteX(panel.Item(0, i)), panel.Slot(0, i).x) << i;
            }
        }
        EXPECT_EQ(panel.ItemCount(0), c.stack - 1);
    }
}

// A swap trades the pictures and the occupied marks of two slots, and puts each swapped sprite
// just behind the sprite of the slot below it in the drawing order.
TEST_F(PanelTest, SwapItemsTradesPicturesMarksAndDrawingOrder) {
    CNumberPanel& panel = *game->leftPanel;
    StackHundreds(panel, 3);
    Settle();
    panel.SwapItems(2, 6, 0);
    Settle();
    EXPECT_EQ(GetSpriteFrame(panel.Item(0, 2)), 2);
    EXPECT_EQ(GetSpriteFrame(panel.Item(0, 6)), 653);
    EXPECT_FALSE(panel.IsOccupied(0, 2));
    EXPECT_TRUE(panel.IsOccupied(0, 6));
    for (int i : {2, 6}) {
        EXPECT_EQ(GetSpriteX(panel.Item(0, i)), panel.Slot(0, i).x) << i;
        EXPECT_EQ(GetSpriteY(panel.Item(0, i)), panel.Slot(0, i).y) << i;
    }
    EXPECT_EQ(OrderOf(panel.Item(0, 2)) + 1, OrderOf(panel.Item(0, 1)));
    EXPECT_EQ(OrderOf(panel.Item(0, 6)) + 1, OrderOf(panel.Item(0, 5)));
}

// A press on an item starts its drag over spot 5; a picture whose id modulo 100 is 54 to 56 takes
// the press and starts nothing; a sprite that is no item is not taken.
TEST_F(PanelTest, PressItemDragsItemsButNotPictures54To56) {
    CRecordingDrags drags;
    IDragService* saved = SetDragService(&drags);
    CNumberPanel& panel = *game->leftPanel;
    StackHundreds(panel, 2);
    CCorAnim* tens = panel.Item(1, 3);
    vevudivodizide::ShowAt(tens, 652, 100, 200);
    CCorAnim* marked = panel.Item(2, 4);
    vevudivodizide::ShowAt(marked, 55, 120, 200);
    CCorAnim* marked54 = panel.Item(2, 5);
    vevudivodizide::ShowAt(marked54, 54, 160, 200);
    Settle();

    EXPECT_EQ(panel.PressItem(marked), 1);
    EXPECT_EQ(panel.PressItem(marked54), 1);
    EXPECT_TRUE(drags.drags.empty());
    EXPECT_EQ(panel.PressItem(tens), 1);
    ASSERT_EQ(drags.drags.size(), 1u);
    EXPECT_EQ(drags.drags[0].sprite, tens);
    EXPECT_EQ(drags.drags[0].home, 5);
    EXPECT_EQ(drags.drags[0].target, 0);
    EXPECT_EQ(drags.drags[0].snap, 32767);
    EXPECT_EQ(panel.pressedColumn, 1);
    EXPECT_EQ(panel.pressedIndex, 3);
    EXPECT_EQ(panel.PressItem(game->bin), 0);
    EXPECT_EQ(panel.PressItem(nullptr), 0);
    SetDragService(saved);
}

// The pan's outer side slants in below y 278, by 40 pixels at the bottom (350).
TEST_F(PanelTest, IsInsidePanOnBothSlantedEdges) {
    struct Case {
        int side;
        int16_t x, y;
        bool inside;
    };
    const Case cases[] = {
        {1, 58, 107, true},   {1, 57, 200, false},  {1, 58, 106, false}, {1, 269, 278, true},
        {1, 270, 278, false}, {1, 269, 279, true},  {1, 249, 314, true}, {1, 250, 314, false},
        {1, 229, 350, true},  {1, 230, 350, false}, {1, 100, 351, false}, {2, 364, 278, true},
        {2, 575, 200, true},  {2, 576, 200, false}, {2, 384, 314, true}, {2, 383, 314, false},
        {2, 404, 350, true},  {2, 403, 350, false}, {2, 575, 350, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(game->Panel(c.side)->IsInsidePan(c.x, c.y), c.inside)
            << "side " << c.side << " (" << c.x << ", " << c.y << ")";
}

}  // namespace
