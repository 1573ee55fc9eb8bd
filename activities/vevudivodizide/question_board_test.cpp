// The question board on the activity kit, entered through the module's table: the verdicts of
// every answer mode, the attempts, the level's rise and its choice, the order of the click
// tests, the switch-access targets of each mode and what leaving keeps.
#include "activities/vevudivodizide/question_board.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "activities/vevudivodizide/module5_test_support.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/popups/level_chooser.h"
#include "engine/scene/scan_target.h"
#include "engine/scene/scanner.h"
#include "engine/toolbox/facade.h"

namespace {

using module5test::CAct5Board;
using module5test::HomeSetting;
using module5test::Module5Test;
using vevudivodizide::CDigitPlace;

// The answer mode the test's generator poses: the shown side 5 as items, the work side opened
// for the answer in the tile modes; in modes 2 and 7, 3 on the left and 7 on the right.
uint32_t gMode = 1;

void PoseMode(CAct5Board& b, uint16_t) {
    b.leftDigits = b.rightDigits = 3;
    b.boxesShown = 1;
    switch (gMode) {
    case 2:
    case 7:
        gMode == 2 ? b.SetMode2() : b.SetMode7();
        b.leftValue = 3;
        b.rightValue = 7;
        vevudivodizide::ShowPanelNumber(b, 1);
        vevudivodizide::ShowPanelNumber(b, 2);
        return;
    case 1: b.SetMode1(); break;
    case 3: b.SetMode3(); break;
    case 4: b.SetMode4(); break;
    case 5: b.SetMode5(); break;
    case 8: b.SetMode8(); break;
    case 9: b.SetMode9(); break;
    case 10: b.SetMode10(); break;
    case 11: b.SetMode11(); break;
    default: return;
    }
    const int shown = 3 - b.workSide;
    (shown == 1 ? b.leftValue : b.rightValue) = 5;
    (shown == 1 ? b.rightValue : b.leftValue) = 0;
    b.relation = 0;
    vevudivodizide::ShowPanelNumber(b, shown);
    if (gMode == 4 || gMode == 5 || gMode == 10 || gMode == 11) vevudivodizide::OpenAnswerSide(b, b.workSide);
}

class QuestionBoardTest : public Module5Test {
protected:
    void EnterInMode(uint32_t mode, HomeSetting setting = {}) {
        gMode = mode;
        EnterWith(setting, PoseMode);
        ASSERT_EQ(vevudivodizide::screenState, vevudivodizide::kQuestionBoard);
        ASSERT_EQ(Q().answerMode, mode);
    }
    // Leaves the module and enters it again with another mode, as the kit first entered it.
    void ReenterInMode(uint32_t mode) {
        gMode = mode;
        ReenterModule();
        ASSERT_EQ(Q().answerMode, mode);
    }
};

// ---- Verdicts ------------------------------------------------------------------------------

struct VerdictCase {
    const char* what;
    uint32_t mode;
    uint16_t workSide;
    int16_t left, right;
    uint16_t relation;
    bool placesOpen;
    bool onesBlank;
    bool isRight;
};

const VerdictCase kVerdicts[] = {
    {"1: equal asked, equal", 1, 2, 5, 5, 0, false, false, true},
    {"1: equal asked, not", 1, 2, 5, 4, 0, false, false, false},
    {"3: left larger", 3, 1, 7, 4, 1, false, false, true},
    {"8: left larger asked, smaller", 8, 1, 3, 4, 1, false, false, false},
    {"9: left smaller", 9, 2, 3, 4, 2, false, false, true},
    {"1: open places with a blank ones card", 1, 2, 5, 5, 0, true, true, false},
    {"4: built and equal", 4, 2, 5, 5, 0, true, false, true},
    {"4: places closed", 4, 2, 5, 5, 0, false, false, false},
    {"5: equal but the ones card blank", 5, 1, 0, 0, 0, true, true, false},
    {"5: places closed", 5, 1, 6, 6, 0, false, false, false},
    {"10: left smaller, built", 10, 2, 3, 8, 2, true, false, true},
    {"10: ones card blank", 10, 2, 3, 8, 2, true, true, false},
    {"11: left larger, built", 11, 1, 9, 2, 1, true, false, true},
    {"11: left larger asked, the other way", 11, 1, 9, 2, 2, true, false, false},
    {"11: places closed", 11, 1, 9, 2, 1, false, false, false},
};

class Verdicts : public QuestionBoardTest, public ::testing::WithParamInterface<VerdictCase> {};

// The check asks for the verdict of the mode: a right answer leads to the next problem (one
// problem finished, no wrong try), a wrong one marks the problem.
TEST_P(Verdicts, TheCheckJudgesTheMode) {
    const VerdictCase& c = GetParam();
    EnterInMode(c.mode);
    CAct5Board& b = Q();
    b.workSide = c.workSide;
    b.leftValue = c.left;
    b.rightValue = c.right;
    b.relation = c.relation;
    b.leftPlacesOpen = b.rightPlacesOpen = 0;
    (c.workSide == 1 ? b.leftPlacesOpen : b.rightPlacesOpen) = c.placesOpen ? 1 : 0;
    CDigitPlace* ones = b.Place(c.workSide, 2);
    if (c.onesBlank) ones->Blank();
    else ones->SetDigit((c.workSide == 1 ? c.left : c.right) % 10);
    b.Evaluate();
    EXPECT_EQ(b.problemsAtLevel, c.isRight ? 1 : 0);
    EXPECT_EQ(b.wrongTry, c.isRight ? 0 : 1);
    EXPECT_EQ(b.attempt, c.isRight ? 1 : 2);
}

INSTANTIATE_TEST_SUITE_P(Vevudivodizide, Verdicts, ::testing::ValuesIn(kVerdicts),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// Mode 7: the sign shown against the two values.
TEST_F(QuestionBoardTest, TheSignIsRightOnlyForTheValues) {
    EnterInMode(7);
    CAct5Board& b = Q();
    struct Case {
        int16_t sign, left, right;
        bool right_;
    };
    for (const Case c : {Case{77, 4, 4, true}, Case{78, 5, 4, true}, Case{79, 3, 4, true}, Case{78, 3, 4, false},
                         Case{77, 3, 4, false}, Case{79, 4, 4, false}, Case{2, 4, 4, false}}) {
        vevudivodizide::ShowPicture(b.relationSign, c.sign);
        RedrawArea(0);
        b.leftValue = c.left;
        b.rightValue = c.right;
        EXPECT_EQ(b.IsSignRight(), c.right_) << c.sign << " " << c.left << " " << c.right;
    }
}

// Mode 2: a click on a side (spot 5) is judged only while that side is live; a right side
// leads to the next problem.
TEST_F(QuestionBoardTest, ASideClickIsJudgedWhileItsSideIsLive) {
    EnterInMode(2);
    CAct5Board& b = Q();
    ASSERT_EQ(b.leftValue, 3);
    ASSERT_EQ(b.rightValue, 7);
    b.wantLarger = 1;
    b.leftDropLive = 0;
    ClickAt(160, 150);  // the left panel, over no sprite
    EXPECT_EQ(b.wrongTry, 0) << "a side that is not live is not judged";
    EXPECT_EQ(b.attempt, 1);
    b.leftDropLive = 1;
    ClickAt(160, 150);
    EXPECT_EQ(b.wrongTry, 1);
    EXPECT_EQ(b.attempt, 2);
    ClickAt(470, 150);  // the right panel: 7 is the larger
    EXPECT_EQ(b.problemsAtLevel, 1);
    EXPECT_EQ(b.outcomes[2], 0) << "solved after a wrong try";
}

// ---- Attempts -------------------------------------------------------------------------------

TEST_F(QuestionBoardTest, AttemptsStopAtFourAndEnterNeedsTheCheckButton) {
    EnterInMode(1);
    CAct5Board& b = Q();
    b.relation = 1;
    b.leftValue = b.rightValue = 2;
    for (int i = 0; i < 5; ++i) Press(13);
    EXPECT_EQ(b.attempt, 4);
    EXPECT_EQ(b.wrongTry, 1);
    EXPECT_EQ(b.problemsAtLevel, 0);
    Press(3);
    EXPECT_EQ(b.attempt, 4);
}

TEST_F(QuestionBoardTest, EnterOrCode3DoesNothingWhileTheCheckButtonIsHidden) {
    EnterInMode(2);
    for (uint32_t mode : {2u, 7u}) {
        ReenterInMode(mode);
        CAct5Board& b = Q();
        ASSERT_EQ(GetSpriteFrame(b.checkButton), vevudivodizide::kPicNone);
        Press(13);
        Press(3);
        EXPECT_EQ(b.attempt, 1) << mode;
        EXPECT_EQ(b.wrongTry, 0) << mode;
        EXPECT_EQ(b.problemsAtLevel, 0) << mode;
    }
}

// ---- Outcomes and levels --------------------------------------------------------------------

struct RiseCase {
    const char* what;
    uint16_t stored;
    std::vector<uint16_t> wrongTries;  // per problem solved
    uint16_t level;
};

const RiseCase kRises[] = {
    {"two first-try successes as the first two problems", 4, {0, 0}, 6},
    {"a success, then one after a wrong try", 4, {0, 1}, 5},
    {"a wrong try first, then two first-try successes", 4, {1, 0, 0}, 6},
    {"four first-try successes", 4, {0, 0, 0, 0}, 7},
    {"87 to 88", 86, {0, 0}, 88},
    {"88 stays", 87, {0, 0, 0, 0}, 88},
};

class LevelRise : public QuestionBoardTest, public ::testing::WithParamInterface<RiseCase> {};

TEST_P(LevelRise, TwoFirstTrySuccessesInARowRaiseTheLevel) {
    EnterInMode(1, HomeSetting{GetParam().stored});
    for (uint16_t wrong : GetParam().wrongTries) {
        Q().wrongTry = wrong;
        Q().NextProblem();
    }
    EXPECT_EQ(Q().level, GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(Vevudivodizide, LevelRise, ::testing::ValuesIn(kRises),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

class StoredLevel : public QuestionBoardTest, public ::testing::WithParamInterface<std::pair<uint16_t, uint16_t>> {};

TEST_P(StoredLevel, TheStoredLevelIsLevelMinusOneElseLevelOne) {
    EnterInMode(1, HomeSetting{GetParam().first});
    EXPECT_EQ(Q().level, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Vevudivodizide, StoredLevel,
                         ::testing::Values(std::pair<uint16_t, uint16_t>{0, 1}, std::pair<uint16_t, uint16_t>{86, 87},
                                           std::pair<uint16_t, uint16_t>{87, 88}, std::pair<uint16_t, uint16_t>{88, 1},
                                           std::pair<uint16_t, uint16_t>{65535, 1}));

// The level button opens the chooser at the current level; Escape cancels: the level and the
// problem stay. A choice sets the level (held to 1..88) and poses a new problem afresh.
TEST_F(QuestionBoardTest, CancellingTheChooserKeepsTheLevelAndTheProblem) {
    EnterInMode(1, HomeSetting{9});
    CAct5Board& b = Q();
    const int16_t left = b.leftValue, right = b.rightValue;
    ASSERT_EQ(GetSpriteFrame(Module5::levelButton), vevudivodizide::kPicLevelButton);
    Click(Module5::levelButton);
    ASSERT_NE(CLevelChooser::Current(), nullptr);
    EXPECT_EQ(CLevelChooser::Current()->CurrentLevel(), 10);
    Press(27);
    ASSERT_EQ(CLevelChooser::Current(), nullptr);
    EXPECT_EQ(b.level, 10);
    EXPECT_EQ(b.leftValue, left);
    EXPECT_EQ(b.rightValue, right);

    b.wrongTry = 0;
    b.NextProblem();
    vevudivodizide::OnLevelChosen(1, 40);
    EXPECT_EQ(b.level, 41);
    EXPECT_EQ(b.problemsAtLevel, 0) << "the outcomes start afresh";
    b.SetLevel(200);
    EXPECT_EQ(b.level, 88);
    vevudivodizide::OnLevelChosen(1, -7);
    EXPECT_EQ(b.level, 1);
}

TEST_F(QuestionBoardTest, TheLevelButtonShowsOnlyWhereChildrenMayChangeTheLevel) {
    EnterInMode(1, HomeSetting{9, 1, 0});
    EXPECT_EQ(GetSpriteFrame(Module5::levelButton), vevudivodizide::kPicNone);
    ClickAt(60, 455);
    EXPECT_EQ(CLevelChooser::Current(), nullptr);
}

// ---- Clicks ---------------------------------------------------------------------------------

// On the free board the question board answers only its mode switch.
TEST_F(QuestionBoardTest, OnTheFreeBoardAClickReachesOnlyTheModeSwitch) {
    EnterInMode(1);
    Click(Module5::modeSwitchSprite);
    ASSERT_EQ(vevudivodizide::screenState, vevudivodizide::kFreeBoard);
    CAct5Board& b = Q();
    b.relation = 1;
    for (CCorAnim* sprite : {b.checkButton, b.clearButton, b.leftSpeaker, Module5::levelButton})
        EXPECT_EQ(b.OnClick(sprite, 0), 0);
    EXPECT_EQ(b.wrongTry, 0);
    EXPECT_EQ(CLevelChooser::Current(), nullptr);
}

// With tiles in play the tiles take only their own presses: the level and clear buttons act.
TEST_F(QuestionBoardTest, WithTilesInPlayTheLevelAndClearButtonsStillAct) {
    EnterInMode(4);
    CAct5Board& b = Q();
    ASSERT_TRUE(b.PlacesOpen(b.workSide));
    Click(Module5::levelButton);
    EXPECT_NE(CLevelChooser::Current(), nullptr);
    Press(27);
    ASSERT_EQ(CLevelChooser::Current(), nullptr);
    b.attempt = 3;
    Press('4');
    ASSERT_EQ(b.workSide == 1 ? b.leftValue : b.rightValue, 4);
    Click(b.clearButton);
    EXPECT_EQ(b.attempt, 1);
    EXPECT_TRUE(b.PlacesOpen(b.workSide));
    EXPECT_EQ(Cards(b, b.workSide), "bbb");
    EXPECT_EQ(b.workSide == 1 ? b.leftValue : b.rightValue, 0);
}

// Typing on the work side builds the number as on a calculator; the check then judges it.
TEST_F(QuestionBoardTest, TypedDigitsAnswerInTheTileModes) {
    EnterInMode(4);
    CAct5Board& b = Q();
    Press('0');
    Press('5');
    EXPECT_EQ(Cards(b, b.workSide), "bb5");
    Press(13);
    EXPECT_EQ(b.problemsAtLevel, 1);
    EXPECT_EQ(b.outcomes[2], 1);
}

// ---- Switch access --------------------------------------------------------------------------

// The scan targets as names: a sprite of the board or the module by its role (with its
// horizontal offset when it has one), a spot by its id and offset.
std::vector<std::string> ScanTargets(const CAct5Board& b) {
    std::map<const void*, std::string> names;
    for (int side = 1; side <= 2; ++side) {
        const std::string s = side == 1 ? "left" : "right";
        for (int k = 0; k < 3; ++k) names[b.Panel(side)->Box(k)] = s + "Box" + std::to_string(k);
        for (int i = 0; i < 3; ++i) names[b.Place(side, i)->card] = s + "Place" + std::to_string(i);
        names[b.Speaker(side)] = s + "Speaker";
    }
    for (int d = 0; d < 10; ++d) names[b.tiles[d]->sprite] = "tile" + std::to_string(d);
    for (int k = 0; k < 3; ++k) names[b.relationButtons[k]->sprite] = "relation" + std::to_string(k);
    names[b.checkButton] = "check";
    names[b.clearButton] = "clear";
    names[b.leftGuideExtra] = "guide";
    names[Module5::modeSwitchSprite] = "switch";
    names[Module5::exitSprite] = "exit";
    std::vector<std::string> out;
    for (CScanTarget* t : activitytest::ScanTargetsInOrder()) {
        const std::string offset = t->m_offsetX ? (t->m_offsetX > 0 ? "+" : "") + std::to_string(t->m_offsetX) : "";
        if (auto* spot = dynamic_cast<CScanSpotTarget*>(t)) {
            out.push_back("spot" + std::to_string(spot->m_spotId % 1000) + offset);
        } else {
            const auto it = names.find(t->GetObject());
            out.push_back((it == names.end() ? std::string("?") : it->second) + offset);
        }
    }
    return out;
}

TEST_F(QuestionBoardTest, ScanTargetsForEachModeAndStep) {
    struct Case {
        uint32_t mode;
        uint32_t step;
        std::vector<std::string> expected;  // "W" stands for the work side's name
    };
    const std::vector<std::string> tiles = {"tile0", "tile1", "tile2", "tile3", "tile4",
                                            "tile5", "tile6", "tile7", "tile8", "tile9"};
    std::vector<std::string> tileMode = {"WSpeaker", "check", "clear", "guide+61"};
    tileMode.insert(tileMode.end(), tiles.begin(), tiles.end());
    tileMode.insert(tileMode.end(), {"switch", "exit"});
    const Case cases[] = {
        {1, 1, {"WBox2", "check", "clear", "guide+61", "switch", "exit"}},
        {8, 1, {"WBox2", "check", "clear", "guide+61", "switch", "exit"}},
        {3, 1, {"WBox2", "check", "clear", "guide+61", "switch", "exit"}},
        {9, 1, {"WBox2", "check", "clear", "guide+61", "switch", "exit"}},
        {2, 1, {"spot5-150", "spot5+150", "guide+61", "switch", "exit"}},
        {4, 1, tileMode},
        {11, 1, tileMode},
        {5, 2, {"WPlace0", "WPlace1", "WPlace2"}},
        {10, 2, {"WPlace0", "WPlace1", "WPlace2"}},
        {7, 1, {"relation2", "relation0", "relation1", "guide+61", "switch", "exit"}},
    };
    EnterInMode(1);
    for (const Case& c : cases) {
        ReenterInMode(c.mode);
        CAct5Board& b = Q();
        b.scanStep = c.step;
        b.RebuildScanTargets();
        std::vector<std::string> expected;
        for (std::string name : c.expected) {
            if (name[0] == 'W') name = (b.workSide == 1 ? "left" : "right") + name.substr(1);
            expected.push_back(name);
        }
        EXPECT_EQ(ScanTargets(b), expected) << "mode " << c.mode << ", step " << c.step;
    }
}

// ---- Leaving --------------------------------------------------------------------------------

class LeavingSaves : public QuestionBoardTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(LeavingSaves, TheLevelIsStoredOnlyWhileLevelsAreSaved) {
    const uint32_t saved = GetParam();
    EnterInMode(1, HomeSetting{9, saved});
    const std::vector<uint8_t> before = PlayerFile();
    Q().wrongTry = 0;
    Q().NextProblem();
    Q().NextProblem();
    ASSERT_EQ(Q().level, 11);
    LeaveModule();
    EXPECT_EQ(Module5::questionBoard, nullptr);
    EXPECT_EQ(*Settings().LevelOf(kVevudivodizideModule), saved ? 10 : 9);
    EXPECT_EQ(StoredInFile(), saved ? 10 : 9);
    if (!saved) {
        EXPECT_TRUE(PlayerFile() == before) << "nothing is written";
    }
}

INSTANTIATE_TEST_SUITE_P(Vevudivodizide, LeavingSaves, ::testing::Values(0u, 1u));

// Leaving while the chooser is open: the board hears the cancel first and nothing is left over
// (the sanitizer's leak check runs over the whole test).
TEST_F(QuestionBoardTest, LeavingWithTheChooserOpenClosesItFirst) {
    EnterInMode(1, HomeSetting{20});
    Click(Module5::levelButton);
    ASSERT_NE(CLevelChooser::Current(), nullptr);
    LeaveModule();
    EXPECT_EQ(CLevelChooser::Current(), nullptr);
    EXPECT_EQ(Module5::questionBoard, nullptr);
    EXPECT_EQ(StoredInFile(), 20);
    EXPECT_EQ(IdleTimers(), 0u);
}

// ---- The help of the reactions --------------------------------------------------------------

struct LitCase {
    const char* what;
    uint16_t relation;
    int workSide;
    int n;
    const char* lit;  // the lit digits
};

// The work side must be equal to n, smaller than n or larger than n: the digits of what it can
// be. With the work side on the left and the left to be larger, the digits above n (right 5:
// 6 and on, which cover every digit); none where nothing is left.
const LitCase kLit[] = {
    {"equal 5", 0, 2, 5, "5"},
    {"equal 0", 0, 1, 0, "0"},
    {"equal 305", 0, 2, 305, "035"},
    {"equal 999", 0, 1, 999, "9"},
    {"left larger, work right: below 5", 1, 2, 5, "01234"},
    {"left larger, work left: above 5", 1, 1, 5, "0123456789"},
    {"left larger, work left: above 998", 1, 1, 998, "9"},
    {"left larger, work left: above 999", 1, 1, 999, ""},
    {"left larger, work right: below 0", 1, 2, 0, ""},
    {"left smaller, work left: below 5", 2, 1, 5, "01234"},
    {"left smaller, work left: below 0", 2, 1, 0, ""},
    {"left smaller, work right: above 7", 2, 2, 7, "0123456789"},
    {"left smaller, work right: above 999", 2, 2, 999, ""},
    {"no relation", vevudivodizide::kNoRelation, 2, 5, ""},
};

TEST(LitDigits, AreWhatTheWorkSideCanBe) {
    for (const LitCase& c : kLit) {
        const auto lit = vevudivodizide::LitDigits(c.relation, c.workSide, c.n);
        std::string got;
        for (int d = 0; d < 10; ++d)
            if (lit[static_cast<size_t>(d)]) got += static_cast<char>('0' + d);
        EXPECT_EQ(got, c.lit) << c.what;
    }
}

// After the third wrong answer the tiles the answer needs can be pressed: level 8's case, the work
// side left to be larger than the right's 5; the others are raised and take no press. In modes
// 1, 3, 8 and 9 the tiles are left alone.
TEST_F(QuestionBoardTest, TheThirdWrongAnswerLightsTheTilesTheAnswerNeeds) {
    for (uint32_t mode : {4u, 5u, 10u, 11u, 1u, 3u, 8u, 9u}) {
        if (mode == 4) {
            EnterInMode(mode);
        } else {
            ReenterInMode(mode);
        }
        CAct5Board& b = Q();
        b.workSide = 1;
        b.leftValue = 0;
        b.rightValue = 998;
        b.relation = 1;
        for (int d = 0; d < 10; ++d) b.tiles[static_cast<size_t>(d)]->SetPicture(static_cast<int16_t>(20 + d));
        b.attempt = 3;
        mode >= 8 ? b.ReactToExpression() : b.ReactToBuild();
        RedrawArea(0);
        for (int d = 0; d < 10; ++d) {
            const bool lit = mode == 1 || mode == 3 || mode == 8 || mode == 9 || d == 9;
            EXPECT_EQ(b.tiles[static_cast<size_t>(d)]->GetPicture(), (lit ? 20 : 120) + d) << "mode " << mode << " tile " << d;
        }
        // Before the third answer nothing is lit.
        for (int d = 0; d < 10; ++d) b.tiles[static_cast<size_t>(d)]->SetPicture(static_cast<int16_t>(20 + d));
        b.attempt = 2;
        mode >= 8 ? b.ReactToExpression() : b.ReactToBuild();
        RedrawArea(0);
        EXPECT_EQ(b.tiles[0]->GetPicture(), 20) << mode;
    }
}

// Mode 2: from the second wrong click the side that must not be chosen is inert; mode 7: from the
// third wrong answer only the asked relation's button is left.
TEST_F(QuestionBoardTest, TheReactionsNarrowTheChoice) {
    EnterInMode(2);
    CAct5Board& b = Q();
    for (uint16_t wantLarger : {0, 1}) {
        b.leftDropLive = b.rightDropLive = 1;
        b.wantLarger = wantLarger;
        b.attempt = 1;
        b.ReactToDrop();
        EXPECT_EQ(b.leftDropLive + b.rightDropLive, 2);
        b.attempt = 2;
        b.ReactToDrop();  // 3 on the left, 7 on the right
        EXPECT_EQ(b.leftDropLive, wantLarger ? 0 : 1);
        EXPECT_EQ(b.rightDropLive, wantLarger ? 1 : 0);
    }
    ReenterInMode(7);
    CAct5Board& s = Q();
    s.relation = 2;
    s.attempt = 2;
    s.ReactToSign();
    RedrawArea(0);
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(s.relationButtons[static_cast<size_t>(k)]->IsHidden()) << k;
    s.attempt = 3;
    s.ReactToSign();
    RedrawArea(0);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(s.relationButtons[static_cast<size_t>(k)]->IsHidden(), k != 2) << k;
}

}  // namespace
