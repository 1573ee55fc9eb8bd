// The compare game on module 5's file: the screen Build makes, the comparison (sign and balance),
// holders on the pans at each balance step, the places' layout and reading, the 999 limit, keys,
// real drags of tiles, cards and holders (the bin, the tray, a close meanwhile), speaking, the
// waits, and two golden screens.
#include "activities/vevudivodizide/compare_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "activities/vevudivodizide/compare_game_test_support.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_items.h"
#include "media/res/anim_script.h"
#include "platform/headless/golden_test_support.h"

namespace {

using comparetest::CompareGameTest;
using vevudivodizide::BalanceMove;
using vevudivodizide::BalancePath;
using vevudivodizide::CCompareGame;
using vevudivodizide::CDigitPlace;
using vevudivodizide::CNumberPanel;
using vevudivodizide::SignPath;
using vevudivodizide::SignStep;

using GameTest = CompareGameTest;

// ---- Build ------------------------------------------------------------------------------------

void AppendPanel(std::vector<CCorAnim*>& out, const CNumberPanel& p) {
    out.insert(out.end(), p.boxes.begin(), p.boxes.end());
    for (int i = 8; i >= 0; --i) out.push_back(p.hundredsItems[i]);
    for (int i = 18; i >= 0; --i) out.push_back(p.tensItems[i]);
    for (int i = 17; i >= 0; --i) out.push_back(p.onesItems[i]);
    out.insert(out.end(), p.boxAnimators.begin(), p.boxAnimators.end());
}
void AppendPlace(std::vector<CCorAnim*>& out, const CDigitPlace& p) { out.insert(out.end(), {p.card, p.shadow, p.label}); }

// The creation order is the drawing order: the whole list after the module's own sprites.
TEST_F(GameTest, BuildsTheScreenInItsDrawingOrder) {
    const CCompareGame& g = *game;
    std::vector<CCorAnim*> expected = {g.tileTray,        g.checkButtonBase, g.checkButton,      g.backspaceKey,
                                       g.clearButtonBase, g.clearButton,     g.questionSprite1,  g.questionSprite2,
                                       g.questionSprite7, g.leftPan,         g.rightPan,         g.leftPlacesButton,
                                       g.rightPlacesButton, g.leftHolder,    g.rightHolder};
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), {g.leftBlankCards[i], g.rightBlankCards[i]});
    expected.insert(expected.end(), {g.typingCursor, g.questionSprite8, g.relationSign, g.questionSprite3,
                                     g.questionSprite4, g.questionSprite5, g.questionSprite6});
    expected.insert(expected.end(), g.tallyStrip->marks.begin(), g.tallyStrip->marks.end());
    for (const auto* b : g.relationButtons) expected.push_back(b->sprite);
    for (const auto* t : g.tiles) expected.push_back(t->sprite);
    for (int i = 0; i < 3; ++i) {
        AppendPlace(expected, *g.leftPlaces[i]);
        AppendPlace(expected, *g.rightPlaces[i]);
        AppendPlace(expected, *g.topPlaces[i]);
    }
    for (const auto* c : g.spareCards) AppendPlace(expected, *c);
    expected.insert(expected.end(), {g.leftSpeaker, g.rightSpeaker});
    AppendPanel(expected, *g.leftPanel);
    AppendPanel(expected, *g.rightPanel);
    expected.insert(expected.end(), {g.leftGuide, g.leftGuideExtra, g.rightGuide, g.rightGuideExtra, g.bin});
    ASSERT_EQ(expected.size(), 293u);
    for (CCorAnim* s : expected) ASSERT_NE(s, nullptr);

    const size_t all = Sprites().size();
    ASSERT_GE(all, expected.size());
    for (size_t k = 0; k < expected.size(); ++k)
        EXPECT_EQ(OrderOf(expected[k]), all - expected.size() + k) << "sprite " << k << " of Build";
    // Places and sign where they are made; every sprite shows nothing after Reset but the bin's place.
    EXPECT_EQ(GetSpriteX(g.leftPlaces[2]->card), 81 + 72);
    EXPECT_EQ(GetSpriteX(g.rightPlaces[1]->card), 392 + 36);
    EXPECT_EQ(GetSpriteY(g.topPlaces[2]->card), 11);
    EXPECT_EQ(GetSpriteX(g.topPlaces[2]->card), 523 + 80);
    EXPECT_EQ(g.signRect.left, 262);
    EXPECT_EQ(g.signRect.top, 79);
    EXPECT_EQ(GetSpriteX(g.bin), 553);
    EXPECT_EQ(GetSpriteY(g.bin), 425);
    for (CCorAnim* s : expected) EXPECT_EQ(GetSpriteFrame(s), 2);
}

// Destroy deletes the sub-objects and leaves every sprite to the engine (leaving the module
// disposes of them all first).
TEST_F(GameTest, DestroyDeletesSubObjectsAndNoSprite) {
    const size_t sprites = Sprites().size();
    game->Destroy();
    EXPECT_EQ(Sprites().size(), sprites);
    EXPECT_EQ(game->leftPanel, nullptr);
    EXPECT_EQ(game->tallyStrip, nullptr);
    EXPECT_EQ(game->tiles[9], nullptr);
    EXPECT_EQ(game->spareCards[7], nullptr);
    game->Destroy();  // twice is harmless
}

// ---- Comparing --------------------------------------------------------------------------------

std::vector<int> BeamSounds(const std::vector<int>& started) {
    std::vector<int> out;
    for (int id : started)
        if (id == 424 || id == 425) out.push_back(id);
    return out;
}

// Each relation from each resting place of the left pan: the sign, where the balance ends, the
// beam's sounds (424 only when it passes level on the way).
TEST_F(GameTest, CompareSidesMovesSignAndBalance) {
    struct Case {
        int16_t left, right;
        int startStep;
        int16_t sign, leftPan, rightPan;
        std::vector<int> sounds;
    };
    const Case cases[] = {
        {5, 5, 1, 77, 183, 183, {425}},        {5, 5, 5, 77, 183, 183, {425}},
        {5, 5, 3, 77, 183, 183, {}},           {4, 5, 3, 79, 181, 185, {425}},
        {4, 5, 5, 79, 181, 185, {425, 424}},   {4, 5, 1, 79, 181, 185, {}},
        {999, 0, 3, 78, 185, 181, {425}},      {999, 0, 1, 78, 185, 181, {425, 424}},
        {999, 0, 5, 78, 185, 181, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << " : " << c.right << " from step " << c.startStep);
        game->StepBalance(c.startStep);
        Settle();
        game->leftValue = c.left;
        game->rightValue = c.right;
        ClearStarted();
        game->CompareSides();
        Settle();
        EXPECT_EQ(GetSpriteFrame(game->relationSign), c.sign);
        EXPECT_EQ(GetSpriteFrame(game->leftPan), c.leftPan);
        EXPECT_EQ(GetSpriteFrame(game->rightPan), c.rightPan);
        EXPECT_EQ(BeamSounds(Started()), c.sounds);
    }
}

// The balance's moves: through level with the second sound when it has to cross over.
TEST(BalancePathTest, EachRelationFromEachPan) {
    using V = std::vector<BalanceMove>;
    const int eq = vevudivodizide::kRelationEqual, lt = vevudivodizide::kRelationLeftSmaller,
              gt = vevudivodizide::kRelationLeftLarger;
    EXPECT_EQ(BalancePath(eq, 181), (V{{425, 2}, {0, 3}}));
    EXPECT_EQ(BalancePath(eq, 185), (V{{425, 4}, {0, 3}}));
    EXPECT_EQ(BalancePath(lt, 183), (V{{425, 2}, {0, 1}}));
    EXPECT_EQ(BalancePath(lt, 185), (V{{425, 4}, {0, 3}, {424, 2}, {0, 1}}));
    EXPECT_EQ(BalancePath(gt, 183), (V{{425, 4}, {0, 5}}));
    EXPECT_EQ(BalancePath(gt, 181), (V{{425, 2}, {0, 3}, {424, 4}, {0, 5}}));
    for (int16_t pan : {182, 184, 2}) {
        EXPECT_TRUE(BalancePath(eq, pan).empty());
        EXPECT_TRUE(BalancePath(lt, pan).empty());
        EXPECT_TRUE(BalancePath(gt, pan).empty());
    }
    EXPECT_TRUE(BalancePath(eq, 183).empty());
    EXPECT_TRUE(BalancePath(lt, 181).empty());
    EXPECT_TRUE(BalancePath(gt, 185).empty());
}

// The sign's six changes between relations on each board, from a hidden sign and to itself.
TEST(SignPathTest, SixChangesOnBothBoards) {
    using V = std::vector<SignStep>;
    struct Case {
        int16_t from, to;
        bool question;
        V path;
    };
    const Case cases[] = {
        {78, 77, false, {{103, 5, 428}, {77, 0, 0}}},
        {79, 77, false, {{104, 5, 428}, {77, 0, 0}}},
        {77, 78, false, {{103, 5, 428}, {78, 0, 0}}},
        {79, 78, false, {{104, 5, 428}, {77, 5, 0}, {103, 5, 0}, {78, 0, 0}}},
        {77, 79, false, {{104, 5, 428}, {79, 0, 0}}},
        {78, 79, false, {{103, 5, 428}, {77, 5, 0}, {104, 5, 0}, {79, 0, 0}}},
        {2, 79, false, {{79, 0, 0}}},
        {79, 79, false, {}},
        {78, 77, true, {{101, 6, 0}, {2, 10, 0}, {100, 6, 429}, {77, 0, 0}}},
        {79, 77, true, {{102, 6, 0}, {2, 10, 0}, {100, 6, 429}, {77, 0, 0}}},
        {77, 78, true, {{100, 6, 0}, {2, 10, 0}, {101, 6, 429}, {78, 0, 0}}},
        {79, 78, true, {{102, 6, 0}, {2, 10, 0}, {101, 6, 429}, {78, 0, 0}}},
        {77, 79, true, {{100, 6, 0}, {2, 10, 0}, {102, 6, 429}, {79, 0, 0}}},
        {78, 79, true, {{101, 6, 0}, {2, 10, 0}, {102, 6, 429}, {79, 0, 0}}},
        {2, 78, true, {{2, 6, 0}, {101, 6, 429}, {78, 0, 0}}},
        {2, 77, true, {{2, 10, 0}, {100, 6, 429}, {77, 0, 0}}},
        {78, 78, true, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SignPath(c.from, c.to, c.question), c.path) << c.from << " -> " << c.to << (c.question ? " (question)" : "");
}

// On the question board a comparison fades the old sign out and the new one in with 429; the
// free board plays 428 through the in-between picture.
TEST_F(GameTest, TheSignChangesWithEachBoardsSound) {
    for (const int32_t state : {vevudivodizide::kFreeBoard, vevudivodizide::kQuestionBoard}) {
        vevudivodizide::screenState = state;
        game->ShowRelationSign(vevudivodizide::kRelationLeftLarger);
        game->StepBalance(5);
        Settle();
        game->leftValue = 10;
        game->rightValue = 10;
        ClearStarted();
        game->CompareSides();
        Settle();
        const std::vector<int> started = Started();
        EXPECT_EQ(GetSpriteFrame(game->relationSign), 77);
        const int expected = state == vevudivodizide::kQuestionBoard ? 429 : 428;
        EXPECT_EQ(std::count(started.begin(), started.end(), expected), 1) << state;
        EXPECT_EQ(std::count(started.begin(), started.end(), 857 - expected), 0) << state;
    }
    game->FadeOutSign();
    Settle();
    EXPECT_EQ(GetSpriteFrame(game->relationSign), 2);
}

// ---- Holders and places -----------------------------------------------------------------------

// Where holder, places (normal and compact), blank cards, cursor, speaker and the question
// board's spare cards stand at each balance step, both sides open.
TEST_F(GameTest, HolderGeometryFollowsThePanAtEachStep) {
    const int16_t leftY[5] = {200, 226, 240, 267, 280};
    const int16_t rightY[5] = {280, 267, 240, 226, 200};
    const int w = GetPictureHalfWidth(20);
    ASSERT_EQ(w, 13);
    vevudivodizide::screenState = vevudivodizide::kQuestionBoard;
    game->leftPlacesOpen = game->rightPlacesOpen = 1;
    game->leftTyping = 1;
    game->rightCompactHolder = 1;
    for (int step = 1; step <= 5; ++step) {
        SCOPED_TRACE(step);
        game->StepBalance(step);
        Settle();
        const int lx = 50, ly = leftY[step - 1], rx = 369, ry = rightY[step - 1];
        EXPECT_EQ(GetSpriteX(game->leftHolder), lx + 28);
        EXPECT_EQ(GetSpriteY(game->leftHolder), ly - 100);
        EXPECT_EQ(GetSpriteX(game->rightHolder), rx + 31);
        EXPECT_EQ(GetSpriteY(game->rightHolder), ry - 100);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(game->leftPlaces[i]->CardX(), lx + 63 + 36 * i);
            EXPECT_EQ(game->leftPlaces[i]->CardY(), ly - 18);
            EXPECT_EQ(GetSpriteX(game->leftPlaces[i]->shadow), lx + 63 + 36 * i - 4);
            EXPECT_EQ(game->rightPlaces[i]->CardX(), rx + 67 + 28 * i) << "compact";
            EXPECT_EQ(game->rightPlaces[i]->CardY(), ry - 18);
            EXPECT_EQ(GetSpriteX(game->leftBlankCards[i]), lx + 63 + 36 * i);
            EXPECT_EQ(GetSpriteX(game->rightBlankCards[i]), rx + 59 + 36 * i);
            EXPECT_EQ(GetSpriteY(game->rightBlankCards[i]), ry - 18);
        }
        EXPECT_EQ(GetSpriteX(game->typingCursor), lx + 55);
        EXPECT_EQ(GetSpriteY(game->typingCursor), ly - 26);
        EXPECT_EQ(GetSpriteX(game->leftSpeaker), lx + 95);
        EXPECT_EQ(GetSpriteY(game->leftSpeaker), ly - 57);
        EXPECT_EQ(GetSpriteX(game->rightSpeaker), rx + 94);
        EXPECT_EQ(GetSpriteY(game->rightSpeaker), ry - 57);
        const int leftSpare[4] = {-4 * w + 79, -2 * w + 75, 2 * w + 123, 4 * w + 119};
        const int rightSpare[4] = {-4 * w + 75, -2 * w + 71, 2 * w + 119, 4 * w + 115};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(game->spareCards[i]->CardX(), lx + leftSpare[i]) << i;
            EXPECT_EQ(game->spareCards[i]->CardY(), ly - 18) << i;
            EXPECT_EQ(game->spareCards[4 + i]->CardX(), rx + rightSpare[i]) << i;
            EXPECT_EQ(game->spareCards[4 + i]->CardY(), ry - 18) << i;
        }
    }
    // A closed side lays its items on the arcs of its baseline instead.
    game->leftPlacesOpen = 0;
    game->leftPanel->SetValue(1);
    game->StepBalance(1);
    Settle();
    EXPECT_EQ(GetSpriteY(game->leftPanel->Item(2, 0)), game->leftPanel->Slot(2, 0).y);
    EXPECT_EQ(game->leftPanel->Slot(2, 0).y, 220 + 2 + 16 - 12);
}

// Attaching a holder on the pan: its picture, the blank cards, the places laid and the speaker.
TEST_F(GameTest, AttachHolderShowsHolderCardsAndSpeaker) {
    game->StepBalance(3);
    Settle();
    game->leftDigits = 3;
    game->leftTyping = 1;
    game->freeLeading = -1;
    game->AttachHolder(1, 0, 4, 7);
    Settle();
    EXPECT_EQ(GetSpriteFrame(game->leftHolder), 301);
    EXPECT_EQ(GetSpriteX(game->leftHolder), 78);
    EXPECT_EQ(GetSpriteY(game->leftHolder), 140);
    EXPECT_EQ(game->leftPlaces[0]->CardPicture(), 40);
    EXPECT_EQ(game->leftPlaces[1]->CardPicture(), 24);
    EXPECT_EQ(game->leftPlaces[2]->CardPicture(), 27);
    for (CCorAnim* blank : game->leftBlankCards) EXPECT_EQ(GetSpriteFrame(blank), 40);
    EXPECT_EQ(GetSpriteFrame(game->leftSpeaker), 44);
    EXPECT_EQ(GetSpriteX(game->leftSpeaker), 78 + 67);
    EXPECT_EQ(GetSpriteY(game->leftSpeaker), 140 + 43);
    EXPECT_EQ(game->leftTyping, 0);
    EXPECT_EQ(game->freeLeading, 2);
}

// Leading zeros show as blank cards; places beyond the side's number of digits stay empty.
TEST_F(GameTest, LayoutSidePlacesShowsLeadingZerosBlank) {
    struct Case {
        int16_t digits;
        int h, t, o;
        int16_t pictures[3];
    };
    const Case cases[] = {
        {3, 0, 0, 7, {40, 40, 27}}, {3, 0, 4, 7, {40, 24, 27}}, {3, 3, 0, 0, {23, 20, 20}},
        {3, 0, 0, 0, {40, 40, 20}}, {2, 0, 4, 7, {2, 24, 27}},  {2, 0, 0, 7, {2, 40, 27}},
        {1, 0, 0, 7, {2, 2, 27}},   {1, 5, 5, 5, {2, 2, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.digits << " places: " << c.h << c.t << c.o);
        game->rightDigits = c.digits;
        game->rightPlaces[0]->Highlight();
        game->LayoutSidePlaces(2, c.h, c.t, c.o);
        Settle();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(game->rightPlaces[i]->CardPicture(), c.pictures[i]) << i;
        if (c.digits < 3) {
            EXPECT_EQ(game->rightPlaces[0]->highlighted, 0);
        }
    }
}

// A side's places are well formed with digits in a row up to the ones place, blank or empty
// places only in front; a gap or an empty ones place is not.
TEST_F(GameTest, IsWellFormedTakesLeadingBlanksOnly) {
    struct Case {
        const char* places;  // hundreds, tens, ones: D digit, B blank, E empty
        bool wellFormed;
        int reads;
    };
    const Case cases[] = {
        {"DDD", true, 345}, {"BDD", true, 45}, {"EDD", true, 45}, {"BBD", true, 5},  {"EED", true, 5},
        {"BED", true, 5},   {"DBD", false, 305}, {"DED", false, 305}, {"EBD", true, 5}, {"DDB", false, 340},
        {"DDE", false, 340}, {"BBB", false, 0}, {"EEE", false, 0},  {"BDB", false, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.places);
        for (int i = 0; i < 3; ++i) {
            CDigitPlace& p = *game->leftPlaces[i];
            switch (c.places[i]) {
            case 'D':
                p.SetDigit(3 + i);
                break;
            case 'B':
                p.Blank();
                break;
            default:
                p.Empty();
            }
        }
        Settle();
        EXPECT_EQ(game->IsWellFormed(1), c.wellFormed);
        EXPECT_EQ(game->ReadPlaces(1), c.reads);
    }
    EXPECT_FALSE(game->IsWellFormed(0));
    EXPECT_FALSE(game->IsWellFormed(3));
}

// ---- The 999 limit, keys ----------------------------------------------------------------------

// At 990 a ten or a hundred more is refused (241, queued input dropped), ones up to 999; a
// column or side out of range is no question at all.
TEST_F(GameTest, WouldExceed999RefusesPastTheLimit) {
    CNumberPanel& panel = *game->rightPanel;
    struct Case {
        int h, t, o, column, side;
        int16_t refused;
    };
    const Case cases[] = {
        {9, 9, 0, 1, 2, 1}, {9, 9, 0, 0, 2, 1}, {9, 9, 0, 2, 2, 0}, {9, 9, 8, 2, 2, 0}, {9, 9, 9, 2, 2, 1},
        {0, 0, 0, 2, 2, 0}, {9, 9, 9, 3, 2, 0}, {9, 9, 9, -1, 2, 0}, {9, 9, 9, 2, 0, 0}, {9, 9, 9, 2, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h << c.t << c.o << " column " << c.column << " side " << c.side);
        panel.columnItems = {static_cast<uint16_t>(c.h), static_cast<uint16_t>(c.t), static_cast<uint16_t>(c.o)};
        PostMessage(mainWnd.GetSafeHwnd(), WM_KEYDOWN, '5', 0);
        ClearStarted();
        EXPECT_EQ(game->WouldExceed999(c.column, c.side), c.refused);
        const std::vector<int> started = Started();
        EXPECT_EQ(std::count(started.begin(), started.end(), 241), c.refused);
        MSG msg;
        EXPECT_EQ(PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE) != FALSE, c.refused == 0);
        EXPECT_EQ(panel.Value(), 100 * c.h + 10 * c.t + c.o) << "a question only";
    }
}

// Bundling and adding take no column or side out of range.
TEST_F(GameTest, BundleTenAndAddItemOutOfRangeChangeNothing) {
    game->leftPanel->columnItems = {1, 9, 9};
    for (const auto& [column, side] : std::vector<std::pair<int, int>>{{-1, 1}, {3, 1}, {1, 0}, {1, 3}}) {
        ClearStarted();
        game->BundleTen(column, side);
        EXPECT_TRUE(Started().empty());
    }
    EXPECT_EQ(game->leftPanel->Value(), 199);
}

// Bundling ten: the tenth item shows at its box and goes, a bundle sound, and the nine items of
// the column fly back into the box one by one, leaving the column empty.
TEST_F(GameTest, BundleTenSendsNineItemsBackIntoTheirBox) {
    struct Case {
        int column;
        int16_t value;
        int16_t boxX, boxY;
    };
    for (const Case c : {Case{1, 90, 145, 91}, Case{2, 9, 192, 150}}) {
        SCOPED_TRACE(c.column);
        CNumberPanel& panel = *game->leftPanel;
        panel.SetValue(c.value);
        Settle();
        ASSERT_EQ(panel.ItemCount(c.column), 9);
        ClearStarted();
        game->BundleTen(c.column, 1);
        Settle();
        const std::vector<int> started = Started();
        EXPECT_EQ(std::count(started.begin(), started.end(), 460), 1);
        EXPECT_EQ(panel.ItemCount(c.column), 0);
        EXPECT_EQ(panel.FirstFreeSlot(c.column), 0);
        for (int k = 0; k <= 9; ++k) {
            EXPECT_EQ(GetSpriteFrame(panel.Item(c.column, k)), 2) << k;
            if (k < 9) {
                EXPECT_EQ(GetSpriteX(panel.Item(c.column, k)), c.boxX) << k;
                EXPECT_EQ(GetSpriteY(panel.Item(c.column, k)), c.boxY) << k;
            }
        }
    }
}

struct GuideCalls {
    std::vector<std::pair<int, int>> shown, hidden;
};
GuideCalls gGuides;

// Talk shows the speaking guide through the board's hook, speaks its list on that guide's sprite
// and hides it again; a press during the speech stops it and is remembered in stopSpeech.
TEST_F(GameTest, TalkSpeaksThroughTheGuideHooks) {
    gGuides = {};
    game->showGuide = [](CCompareGame&, int side, int mode) { gGuides.shown.push_back({side, mode}); };
    game->hideGuide = [](CCompareGame&, int side, int mode) { gGuides.hidden.push_back({side, mode}); };
    const int16_t left[] = {990, 0};
    const int16_t right[] = {991, 0};
    ClearStarted();
    game->Talk(left, right, true, 1, 3);
    EXPECT_EQ(Started(), (std::vector<int>{991}));
    EXPECT_EQ(gGuides.shown, (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(gGuides.hidden, (std::vector<std::pair<int, int>>{{2, 3}}));
    EXPECT_EQ(game->StopSpeech(), 0);

    plat::InputEvent press;
    press.kind = plat::InputKind::MouseDown;
    press.x = 300;
    press.y = 300;
    head->QueueInput(head->NowMs() + 200, press);
    game->Talk(left, right, false, 1, 5);
    EXPECT_EQ(game->StopSpeech(), 1);
    EXPECT_EQ(gGuides.shown.back(), (std::pair<int, int>{1, 5}));
    EXPECT_EQ(Started().back(), 990);
}

// A press while waiting for the sprites ends the wait and sets stopSpeech; WaitOrClick clears it
// first and counts its ticks.
TEST_F(GameTest, WaitsEndOnAPress) {
    SpriteAddInstr(game->bin, media::kAnimWait, 300);
    SpriteAddInstr(game->bin, media::kAnimNop, 0);  // a script ending in its Wait would count as ended
    Delay(1);
    ASSERT_EQ(GetSpriteStatus(kAllSprites), 0) << "a script runs";
    plat::InputEvent press;
    press.kind = plat::InputKind::MouseDown;
    press.x = 300;
    press.y = 300;
    head->QueueInput(head->NowMs() + 100, press);
    uint32_t before = GetEngineTicks();
    game->WaitSpritesOrClick();
    EXPECT_EQ(game->StopSpeech(), 1);
    EXPECT_LT(GetEngineTicks() - before, 60u);
    before = GetEngineTicks();
    game->WaitOrClick(20);
    EXPECT_EQ(game->StopSpeech(), 0);
    EXPECT_GE(GetEngineTicks() - before, 20u);
}

TEST(DigitFromKeyTest, DigitsAndTheNumericPad) {
    for (int key = 0; key < 256; ++key) {
        int expected = -1;
        if (key >= '0' && key <= '9') expected = key - '0';
        if (key >= 96 && key <= 105) expected = key - 96;
        EXPECT_EQ(CCompareGame::DigitFromKey(key), expected) << key;
    }
    int h = 0, t = 0, o = 0;
    CCompareGame::SplitDigits(407, h, t, o);
    EXPECT_EQ(h * 100 + t * 10 + o, 407);
    EXPECT_EQ(t, 0);
}

// ---- Real drags -------------------------------------------------------------------------------

// A tile over an open side's place highlights it (and only it); the closed side's places stay dark.
TEST_F(GameTest, ATileOverAnOpenPlaceHighlightsIt) {
    game->leftPlacesOpen = 1;
    game->tiles[3]->ShowNormal();
    Settle();
    const int x = game->tiles[3]->homeX + 13, y = game->tiles[3]->homeY + 17;
    const int overLeft1 = 81 + 36 + 13, overRight1 = 392 + 36 + 13;
    Drag(x, y, {{overRight1, 380}, {overLeft1, 380}},
         [&] { game->tiles[3]->PressTile(game->tiles[3]->sprite, game->TileCallback()); });
    Settle();
    int side = 0;
    EXPECT_EQ(game->FindHighlightedPlace(&side), 1);
    EXPECT_EQ(side, 1);
    EXPECT_EQ(game->leftPlaces[1]->highlighted, 1);
    EXPECT_EQ(game->leftPlaces[0]->highlighted, 0);
    EXPECT_EQ(game->rightPlaces[1]->highlighted, 0);
    EXPECT_EQ(game->clickX, overLeft1);
    EXPECT_EQ(game->clickY, 380);
}

CCompareGame* gObserved = nullptr;
std::vector<int16_t> gTileFrames;
int16_t ObserveCardMove(int16_t x, int16_t y) {
    gTileFrames.push_back(GetSpriteFrame(gObserved->tiles[0]->sprite));
    return gObserved->OnCardDragMove(x, y);
}

// A card over the tray raises the tiles while it is there; they show their own pictures again
// after the drag; the card stays where it was let go.
TEST_F(GameTest, ACardOverTheTrayRaisesTheTiles) {
    for (auto* tile : game->tiles) tile->ShowNormal();
    CDigitPlace& card = *game->leftPlaces[2];
    card.SetDigit(5);
    Settle();
    gObserved = game.get();
    gTileFrames.clear();
    const int x = card.homeX + 10, y = card.homeY + 10;
    Drag(x, y, {{x, 420}, {300, 450}, {310, 452}, {310, 300}, {320, 300}},
         [&] { card.PressCard(card.card, true, ObserveCardMove, game->tiles); });
    Settle();
    // The drag reports the press point first, then each move.
    EXPECT_EQ(gTileFrames, (std::vector<int16_t>{20, 20, 20, 120, 120, 20}));
    EXPECT_EQ(game->tilesRaised, 0);
    EXPECT_EQ(game->tiles[0]->GetPicture(), 20);
    EXPECT_EQ(card.CardX(), 320 - 10);
    EXPECT_TRUE(card.MovedFar());
    gObserved = nullptr;
}

// A blank card takes the press but does not move.
TEST_F(GameTest, ABlankCardIsPressedButNotDragged) {
    CDigitPlace& card = *game->leftPlaces[2];
    card.Blank();
    Settle();
    const int x = card.homeX + 10, y = card.homeY + 10;
    int16_t taken = 0;
    Drag(x, y, {{200, 200}}, [&] { taken = card.PressCard(card.card, !card.IsBlank(), game->CardCallback()); });
    Settle();
    EXPECT_EQ(taken, 1);
    EXPECT_FALSE(card.MovedFar());
    EXPECT_EQ(card.CardX(), card.homeX);
}

// The holder's image dragged over the bin opens it (493) and away closes it (492).
TEST_F(GameTest, TheHoldersImageOpensAndClosesTheBin) {
    game->StepBalance(3);
    Settle();
    game->leftPlacesOpen = 1;
    game->leftDigits = 3;
    game->leftValue = 47;
    game->AttachHolder(1, 0, 4, 7);
    vevudivodizide::ShowAt(game->bin, 141, 553, 425);
    Settle();
    ClearStarted();
    int16_t taken = 0;
    Drag(150, 200, {{400, 300}, {600, 440}, {602, 442}, {604, 444}, {300, 200}, {298, 200}},
         [&] { taken = game->PressHolder(1, game->leftHolder); }, 200);
    Settle();
    EXPECT_EQ(taken, 1);
    ASSERT_NE(game->dragImage, nullptr);
    EXPECT_TRUE(game->HolderDragMoved());
    EXPECT_EQ(GetSpriteX(game->dragImage), 78 + 298 - 150);
    const std::vector<int> started = Started();
    std::vector<int> lid;
    for (int id : started)
        if (id == 492 || id == 493) lid.push_back(id);
    EXPECT_EQ(lid, (std::vector<int>{493, 492}));
    EXPECT_EQ(game->binOpen, 0);
    EXPECT_EQ(GetSpriteFrame(game->leftHolder), 2) << "detached while dragged";
    EXPECT_EQ(game->leftPlaces[2]->CardPicture(), 2);
    game->RestoreHolder(1);
    game->DropDragImage();
    Settle();
    EXPECT_EQ(GetSpriteFrame(game->leftHolder), 301);
    EXPECT_EQ(game->leftPlaces[1]->CardPicture(), 24);
    EXPECT_EQ(game->leftPlaces[2]->CardPicture(), 27);
    EXPECT_EQ(game->dragImage, nullptr);
    EXPECT_EQ(game->dragPictureId, 2);
}

// A close of the main window during a drag cancels the drag and stays pending, once; every wait
// and the speaking loop then end at once instead of running on.
TEST_F(GameTest, ACloseDuringADragEndsEveryWait) {
    game->StepBalance(3);
    Settle();
    game->leftDigits = 3;
    game->AttachHolder(1, 0, 4, 7);
    Settle();
    head->At(head->NowMs() + 15, [&] { PostMessage(mainWnd.GetSafeHwnd(), WM_CLOSE, 0, 0); });
    Drag(150, 200, {{200, 220}, {250, 240}, {300, 260}}, [&] { game->PressHolder(1, game->leftHolder); });
    EXPECT_TRUE(WaitMustEnd()) << "a close is pending";
    EXPECT_EQ(TakeCloses(), 0) << "the close is the engine's pending one, not queued again";

    SpriteAddInstr(game->bin, media::kAnimWait, 600);
    SpriteAddInstr(game->bin, media::kAnimNop, 0);
    ASSERT_EQ(GetSpriteStatus(kAllSprites), 0) << "a script runs";
    PlaySndFree(990);
    const uint32_t before = GetEngineTicks();
    game->WaitSpritesDone();
    game->WaitSpritesOrClick();
    game->WaitSoundsDone();
    game->WaitOrClick(600);
    game->leftPlaces[2]->SetDigit(7);
    game->SpeakNumber(347, 1);
    EXPECT_LE(GetEngineTicks() - before, 3u);
}

// With no picture id left for the drag image nothing is dragged and the press counts as one that
// did not move; the holder stays as it was.
TEST_F(GameTest, APressWithoutADragImageDoesNotMove) {
    game->StepBalance(3);
    Settle();
    game->leftDigits = 3;
    game->AttachHolder(1, 0, 4, 7);
    Settle();
    while (CreatePictureItem() >= 0) {
    }
    EXPECT_EQ(game->PressHolder(1, game->leftHolder), 1);
    Settle();
    EXPECT_EQ(game->dragImage, nullptr);
    EXPECT_FALSE(game->HolderDragMoved());
    EXPECT_EQ(GetSpriteFrame(game->leftHolder), 301);
    EXPECT_EQ(game->leftPlaces[2]->CardPicture(), 27);
    EXPECT_EQ(game->PressHolder(2, game->leftHolder), 0) << "not the right side's holder";
}

// ---- Speaking ---------------------------------------------------------------------------------

// A side's number is the phrase 150 played sound by sound; a blank ones place says nothing.
TEST_F(GameTest, SpeakNumberPlaysThePhraseOfTheNumber) {
    game->StepBalance(3);
    Settle();
    game->leftDigits = 3;
    game->AttachHolder(1, 3, 4, 7);
    Settle();
    uint16_t phrase[kPhraseSize] = {};
    BuildPhrase(phrase, 150, 347, 0, 0, 0, 0);
    std::vector<int> expected;
    for (int i = 0; i < kPhraseMaxIds && phrase[i] >= 1 && phrase[i] < 0x8000; ++i) expected.push_back(phrase[i] % 1000);
    ASSERT_EQ(expected, (std::vector<int>{643, 668, 662, 647})) << "tre hundra fyrtio sju";
    ClearStarted();
    game->SpeakNumber(347, 1);
    EXPECT_EQ(Started(), expected);
    Settle();
    EXPECT_EQ(GetSpriteFrame(game->leftSpeaker), 44);

    game->leftPlaces[2]->Blank();
    Settle();
    ClearStarted();
    game->SpeakNumber(347, 1);
    game->SpeakPlace(1, 1);
    EXPECT_TRUE(Started().empty());

    game->leftPlaces[2]->SetDigit(7);
    Settle();
    ClearStarted();
    game->SpeakPlace(1, 1);
    EXPECT_EQ(Started(), (std::vector<int>{662}));  // "fyrtio"
}

// ---- Golden screens ---------------------------------------------------------------------------

// 305 as blocks in the left pan, 47 on cards on the right, then compared: the left side sinks.
TEST_F(GameTest, GoldenLevelAndCompared) {
    game->StepBalance(3);
    Settle();
    game->leftPanel->SetBoxes(3);
    game->rightPlacesOpen = 1;
    game->rightDigits = 3;
    game->rightValue = 47;
    game->AttachHolder(2, 0, 4, 7);
    game->leftPanel->SetValue(305);
    game->leftValue = 305;
    for (auto* tile : game->tiles) tile->ShowNormal();
    game->ShowTray();
    vevudivodizide::ShowAt(game->bin, 141, 553, 425);
    PresentAll();
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "vevudivodizide_base_level.png");
    game->CompareSides();
    PresentAll();
    EXPECT_EQ(GetSpriteFrame(game->relationSign), 78);
    EXPECT_EQ(GetSpriteFrame(game->leftPan), 185);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "vevudivodizide_base_compared.png");
}

}  // namespace
