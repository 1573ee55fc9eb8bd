// The free board on the activity kit, entered through the module's table and its lever: input
// sequences (keys, tiles, cards dragged, box clicks) against the cards, the value and the sign
// they leave on the left side, with nothing on the right.
#include "activities/vevudivodizide/free_board.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "activities/vevudivodizide/module5_test_support.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/toolbox/statics_scanning.h"

namespace {

using module5test::CCompareFreeBoard;
using module5test::Module5Test;

class FreeBoardTest : public Module5Test {
protected:
    void SetUp() override {
        Module5Test::SetUp();
        EnterWith();
        Click(Module5::modeSwitchSprite);
        ASSERT_EQ(vevudivodizide::screenState, vevudivodizide::kFreeBoard);
        ClearClips();
    }
    void TearDown() override {
        SetSwitchAccess(false);
        Module5Test::TearDown();
    }
    void Type(const char* keys) {
        for (const char* k = keys; *k; ++k) Press(*k);
    }
    void OpenLeft() { Click(F().leftPlacesButton); }
    void OpenRight() { Click(F().rightPlacesButton); }
    void ClickBox(int column, int times) {
        for (int i = 0; i < times; ++i) Click(F().leftPanel->Box(column));
    }
    // A card of the left side dragged to a point.
    void DragCard(int index, int16_t x, int16_t y) {
        RedrawArea(0);
        DragSprite(F().leftPlaces[index]->card, x, y);
        RedrawArea(0);
    }
    // The middle of a left place's card at home.
    static POINT PlaceMiddle(int index) {
        const vevudivodizide::CDigitPlace* p = F().leftPlaces[index];
        return POINT{p->homeX + 13, p->homeY + 17};
    }
};

struct InputCase {
    const char* what;
    std::function<void(FreeBoardTest&)> input;
    const char* cards;  // the left side's cards: a digit, 'b' blank, '.' nothing
    int16_t value;
    int16_t sign;  // after the comparison that follows a pause
};

class FreeBoardInput : public FreeBoardTest, public ::testing::WithParamInterface<InputCase> {
public:
    using FreeBoardTest::ClickBox;
    using FreeBoardTest::DragCard;
    using FreeBoardTest::OpenLeft;
    using FreeBoardTest::OpenRight;
    using FreeBoardTest::PlaceMiddle;
    using FreeBoardTest::Type;
};

const InputCase kInputs[] = {
    {"1 2 3 4 typed: the 4 is ignored", [](FreeBoardTest& t) {
         static_cast<FreeBoardInput&>(t).OpenLeft();
         static_cast<FreeBoardInput&>(t).Type("1234");
     }, "123", 123, 78},
    {"backspace on 123", [](FreeBoardTest& t) {
         auto& i = static_cast<FreeBoardInput&>(t);
         i.OpenLeft();
         i.Type("123\b");
     }, "b12", 12, 78},
    {"backspace on 7", [](FreeBoardTest& t) {
         auto& i = static_cast<FreeBoardInput&>(t);
         i.OpenLeft();
         i.Type("7\b");
     }, "bb0", 0, 77},
    {"0 then 5", [](FreeBoardTest& t) {
         auto& i = static_cast<FreeBoardInput&>(t);
         i.OpenLeft();
         i.Type("05");
     }, "bb5", 5, 78},
    {"the hundreds card of 305 onto the tray", [](FreeBoardTest& t) {
         auto& i = static_cast<FreeBoardInput&>(t);
         i.OpenLeft();
         i.Type("305");
         i.DragCard(0, 300, 452);
     }, "bb5", 5, 78},
    {"the 3 of 305 onto the ones place", [](FreeBoardTest& t) {
         auto& i = static_cast<FreeBoardInput&>(t);
         i.OpenLeft();
         i.Type("305");
         const POINT ones = FreeBoardInput::PlaceMiddle(2);
         i.DragCard(0, static_cast<int16_t>(ones.x), static_cast<int16_t>(ones.y));
     }, "bb3", 3, 78},
    {"the tenth ones item bundles into a ten", [](FreeBoardTest& t) {
         static_cast<FreeBoardInput&>(t).ClickBox(2, 10);
     }, "...", 10, 78},
    {"99 and one more bundle twice into a hundred", [](FreeBoardTest& t) {
         auto& i = static_cast<FreeBoardInput&>(t);
         i.ClickBox(1, 9);
         i.ClickBox(2, 10);
     }, "...", 100, 78},
    {"990: tens refused, ones up to 999, then refused", [](FreeBoardTest& t) {
         auto& i = static_cast<FreeBoardInput&>(t);
         i.ClickBox(0, 9);
         i.ClickBox(1, 9);
         i.ClickBox(1, 1);
         i.ClickBox(0, 1);
         i.ClickBox(2, 10);
     }, "...", 999, 78},
    {"both sides open, neither typing: the side last changed", [](FreeBoardTest& t) {
         auto& i = static_cast<FreeBoardInput&>(t);
         i.OpenRight();
         i.Type("7");
         i.OpenLeft();
         i.Type("4");
         Module5::freeBoard->Commit();
         ASSERT_FALSE(Module5::freeBoard->Typing(1) || Module5::freeBoard->Typing(2));
         i.Type("5");
     }, "b45", 45, 78},
};

TEST_P(FreeBoardInput, LeavesTheCardsValueAndSign) {
    const InputCase& c = GetParam();
    c.input(*this);
    RunFor(2000);
    EXPECT_EQ(Cards(F(), 1), c.cards);
    EXPECT_EQ(F().leftValue, c.value);
    EXPECT_EQ(F().leftPanel->Value() + F().ReadPlaces(1), c.value) << "the pan or the cards hold the value";
    EXPECT_EQ(GetSpriteFrame(F().relationSign), c.sign);
}

INSTANTIATE_TEST_SUITE_P(Vevudivodizide, FreeBoardInput, ::testing::ValuesIn(kInputs),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// The refusals at 990 and 999 are heard.
TEST_F(FreeBoardTest, AnItemPast999IsRefusedWithItsSound) {
    ClickBox(0, 9);
    ClickBox(1, 9);
    ClearClips();
    ClickBox(1, 1);
    EXPECT_TRUE(HeardClip(vevudivodizide::kSndRefused));
    EXPECT_EQ(F().leftValue, 990);
    EXPECT_EQ(F().leftPanel->ItemCount(1), 9);
}

// With switch access a tile is chosen; the same or another tile pressed again drops the choice
// instead of choosing again.
TEST_F(FreeBoardTest, ATilePressedTwiceInSwitchAccessCancelsTheChoice) {
    SetSwitchAccess(true);
    ASSERT_TRUE(IsScanOn());
    CCompareFreeBoard& f = F();
    f.DropTile(3);
    EXPECT_EQ(f.scanStep, 2u);
    EXPECT_EQ(f.selectedDigit, 3);
    f.DropTile(3);
    EXPECT_EQ(f.scanStep, 1u);
    f.DropTile(6);
    EXPECT_EQ(f.selectedDigit, 6);
    f.DropTile(2);
    EXPECT_EQ(f.scanStep, 1u);
    EXPECT_EQ(f.selectedDigit, 6);
}

// The lever leads back to the question board, which starts afresh at the same level.
TEST_F(FreeBoardTest, TheLeverLeadsBackToTheQuestionBoard) {
    const uint16_t level = Q().level;
    OpenLeft();
    Type("12");
    Click(Module5::modeSwitchSprite);
    EXPECT_EQ(vevudivodizide::screenState, vevudivodizide::kQuestionBoard);
    EXPECT_EQ(Q().level, level);
    EXPECT_EQ(Q().attempt, 1);
    EXPECT_EQ(Q().answerMode, 1u);
    EXPECT_EQ(Cards(F(), 1), "...") << "the free board is reset";
    EXPECT_EQ(GetSpriteFrame(F().leftPan), vevudivodizide::kPicNone);
}

}  // namespace
