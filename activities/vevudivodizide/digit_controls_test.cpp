// The small controls on module 5's file: a tile's real drag and when it counts as moved, which
// tiles take a press, digits out of range, a card's hit box with its edges, the tally's marks.
#include "activities/vevudivodizide/digit_controls.h"

#include <gtest/gtest.h>

#include "activities/vevudivodizide/compare_game_test_support.h"
#include "engine/toolbox/picture_items.h"

namespace {

using comparetest::CompareGameTest;
using vevudivodizide::CDigitPlace;
using vevudivodizide::CDigitTile;
using vevudivodizide::CTallyStrip;

using ControlsTest = CompareGameTest;

// A tile dragged and let go (dx, dy) from where it was pressed goes home either way; it counts as
// moved only beyond 50 squared pixels: (7, 1) is 50, (7, 2) is 53.
TEST_F(ControlsTest, ATileLetGoNearWhereItWasPressedIsNotMoved) {
    struct Case {
        int dx, dy;
        bool moved;
    };
    for (const Case c : {Case{7, 1, false}, Case{7, 2, true}, Case{0, 0, false}, Case{-40, -90, true}}) {
        SCOPED_TRACE(testing::Message() << "(" << c.dx << ", " << c.dy << ")");
        CDigitTile& tile = *game->tiles[4];
        tile.ShowNormal();
        Settle();
        const int x = tile.homeX + 10, y = tile.homeY + 10;
        int16_t taken = 0;
        Drag(x, y, {{x + c.dx / 2, y + c.dy / 2}, {x + c.dx, y + c.dy}},
             [&] { taken = tile.PressTile(tile.sprite, game->TileCallback()); });
        EXPECT_EQ(taken, 1);
        EXPECT_EQ(tile.WasMoved(), c.moved);
        EXPECT_EQ(tile.dropX, tile.homeX + c.dx);
        EXPECT_EQ(tile.dropY, tile.homeY + c.dy);
        EXPECT_EQ(GetSpriteX(tile.sprite), tile.homeX);
        EXPECT_EQ(GetSpriteY(tile.sprite), tile.homeY);
    }
}

// A raised (120 + digit) or hidden tile ignores presses, as does a press on another sprite.
TEST_F(ControlsTest, RaisedAndHiddenTilesIgnorePresses) {
    CDigitTile& tile = *game->tiles[7];
    tile.ShowRaised();
    Settle();
    EXPECT_EQ(tile.PressTile(tile.sprite, nullptr), 0);
    tile.Hide();
    Settle();
    EXPECT_EQ(tile.PressTile(tile.sprite, nullptr), 0);
    tile.ShowNormal();
    Settle();
    EXPECT_EQ(tile.PressTile(game->tiles[6]->sprite, nullptr), 0);
}

// Digits outside 0..9 change neither the digit nor the card.
TEST_F(ControlsTest, DigitsOutOfRangeChangeNothing) {
    CDigitPlace& place = *game->leftPlaces[1];
    place.SetDigit(4);
    Settle();
    for (int d : {10, -1, 255, -2}) {
        place.SetDigit(d);
        place.SetFixedDigit(d);
        Settle();
        EXPECT_EQ(place.GetDigit(), 4) << d;
        EXPECT_EQ(place.CardPicture(), 24) << d;
    }
    place.SetFixedDigit(9);
    Settle();
    EXPECT_EQ(place.GetDigit(), 9);
    EXPECT_EQ(place.CardPicture(), 39);
    EXPECT_EQ(place.Kind(), 2);
    place.SetDigit(0);
    Settle();
    EXPECT_EQ(place.Kind(), 0);
    place.Blank();
    Settle();
    EXPECT_EQ(place.Kind(), 1);
    EXPECT_EQ(place.GetDigit(), CDigitPlace::kBlank);
    EXPECT_EQ(place.ValueOf(), 0);
}

// The card's hit box takes every edge: (81, 368) to (81 + 26, 368 + 34) for the left hundreds.
TEST_F(ControlsTest, HitTestIncludesEveryEdge) {
    const CDigitPlace& place = *game->leftPlaces[0];
    ASSERT_EQ(place.homeX, 81);
    ASSERT_EQ(place.homeY, 368);
    struct Case {
        int16_t x, y;
        bool hit;
    };
    for (const Case c : {Case{81, 368, true}, Case{107, 402, true}, Case{107, 368, true}, Case{81, 402, true},
                         Case{80, 380, false}, Case{108, 380, false}, Case{90, 367, false}, Case{90, 403, false}})
        EXPECT_EQ(place.HitTest(c.x, c.y), c.hit) << c.x << ", " << c.y;
}

// Marks 6 pixels apart, 3 more before every fifth and every tenth, and 3 more before mark 85.
TEST_F(ControlsTest, TallyMarksAndTheirGaps) {
    EXPECT_EQ(CTallyStrip::MarkX(0), 1);
    EXPECT_EQ(CTallyStrip::MarkX(1), 7);
    EXPECT_EQ(CTallyStrip::MarkX(5), 34);
    EXPECT_EQ(CTallyStrip::MarkX(10), 70);
    EXPECT_EQ(CTallyStrip::MarkX(89), 613);
    for (int i = 1; i < CTallyStrip::kMarks; ++i) {
        const int gap = CTallyStrip::MarkX(i) - CTallyStrip::MarkX(i - 1);
        const int expected = 6 + (i % 5 == 0 ? 3 : 0) + (i % 10 == 0 ? 3 : 0) + (i == 85 ? 3 : 0);
        EXPECT_EQ(gap, expected) << i;
    }
    EXPECT_EQ(CTallyStrip::MarkX(85) - CTallyStrip::MarkX(84), 12);
    for (int i = 0; i < CTallyStrip::kMarks; ++i) EXPECT_EQ(GetSpriteX(game->tallyStrip->marks[i]), CTallyStrip::MarkX(i));
}

}  // namespace
