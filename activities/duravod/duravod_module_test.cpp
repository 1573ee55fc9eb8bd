// The module on the activity kit (a started engine in virtual time) over the built Zelbo2.res,
// with a problem kind of the test's own: the stored level read unsigned and written back, levels
// passed by two first-try solutions, the review, the level chooser (and its close while the
// module is left), the click router, the problem's text, the wrong-answer ladder and the
// introductions.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "activities/duravod/duravod_test_support.h"
#include "activities/duravod/scene.h"
#include "engine/popups/level_chooser.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "media/text/text_item.h"
#include "platform/core/byte_order.h"

namespace {

using duravodtest::DuravodTest;
using duravodtest::gLog;

struct StoredCase {
    uint16_t stored;
    int16_t firstLevel;  // 0: a review level
    uint16_t storedAfter;
};

class DuravodStoredLevel : public DuravodTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(DuravodStoredLevel, IsReadUnsignedAndWrittenBack) {
    const StoredCase c = GetParam();
    EnterWith(c.stored);
    if (c.firstLevel == 0) {
        EXPECT_EQ(S().LevelsMastered, 1);
        EXPECT_GE(S().CurrentLevel, 38);
        EXPECT_LE(S().CurrentLevel, 54);
    } else {
        EXPECT_EQ(S().LevelsMastered, 0);
        EXPECT_EQ(S().CurrentLevel, c.firstLevel);
    }
    ASSERT_NE(Problem(), nullptr);
    EXPECT_EQ(gLog.starts, 1);
    EXPECT_EQ(S().CurrentKind, static_cast<int16_t>(S().LevelTable.Row(S().CurrentLevel).kind));
    LeaveModule();
    EXPECT_EQ(*Settings().LevelOf(kDuravodModule), c.storedAfter);
    EXPECT_EQ(StoredInFile(), c.storedAfter);
    EXPECT_EQ(Traces().find("missing"), std::string::npos) << Traces();
}

INSTANTIATE_TEST_SUITE_P(Duravod, DuravodStoredLevel,
                         ::testing::Values(StoredCase{0, 1, 0}, StoredCase{12, 13, 12}, StoredCase{53, 54, 53},
                                           StoredCase{54, 0, 54}, StoredCase{0xFFFF, 0, 54},
                                           StoredCase{0x8000, 0, 54}));

TEST_F(DuravodTest, NothingIsSavedWhileLevelsAreNotSaved) {
    EnterWith(7, 0);
    const std::vector<uint8_t> before = PlayerFile();
    ASSERT_FALSE(before.empty());
    for (int i = 0; i < 4; ++i) Answer(true);
    EXPECT_EQ(S().CurrentLevel, 10);
    LeaveModule();
    EXPECT_EQ(*Settings().LevelOf(kDuravodModule), 7);
    EXPECT_TRUE(PlayerFile() == before) << "the preferences were saved";
}

// The answers in turn (1 right at the first try, 0 wrong) and the level after each.
struct PassCase {
    const char* what;
    uint16_t stored;
    std::vector<int> answers;
    std::vector<int16_t> levels;
};

class DuravodPass : public DuravodTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(DuravodPass, TwoFirstTrySolutionsInARowPassTheLevel) {
    const PassCase& c = GetParam();
    EnterWith(c.stored);
    for (size_t i = 0; i < c.answers.size(); ++i) {
        Answer(c.answers[i] != 0);
        EXPECT_EQ(S().CurrentLevel, c.levels[i]) << c.what << ", answer " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Duravod, DuravodPass,
    ::testing::Values(PassCase{"one right changes nothing", 4, {1}, {5}},
                      PassCase{"two right pass", 4, {1, 1}, {5, 6}},
                      PassCase{"a wrong answer between resets", 4, {1, 0, 1, 1}, {5, 5, 5, 5}},
                      PassCase{"then two more pass", 4, {1, 0, 1, 1, 1}, {5, 5, 5, 5, 6}},
                      PassCase{"a late solution adds nothing", 4, {0, 1, 1}, {5, 5, 5}},
                      PassCase{"four right pass twice", 4, {1, 1, 1, 1}, {5, 6, 6, 7}}),
    [](const ::testing::TestParamInfo<PassCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(DuravodTest, PassingLevel54StartsTheReviewAndLeavingStores54) {
    EnterWith(53);
    ASSERT_EQ(S().CurrentLevel, 54);
    Answer(true);
    Answer(true);
    EXPECT_EQ(S().LevelsMastered, 1);
    EXPECT_GE(S().CurrentLevel, 38);
    EXPECT_LE(S().CurrentLevel, 54);
    EXPECT_NE(S().CurrentLevel, 55);
    LeaveModule();
    EXPECT_EQ(*Settings().LevelOf(kDuravodModule), 54);
}

// In review the level after a passed one is drawn again only when it is the passed level + 1:
// it never is, and it may be the passed level itself.
TEST_F(DuravodTest, TheReviewRedrawsOnlyThePassedLevelPlusOne) {
    EnterWith(54);
    std::set<int16_t> seen;
    int same = 0;
    for (int i = 0; i < 120; ++i) {
        const int16_t passed = S().CurrentLevel;
        S().SolvedInLevel = 2;
        duravod::NextProblem();
        ASSERT_GE(S().CurrentLevel, 38);
        ASSERT_LE(S().CurrentLevel, 54);
        ASSERT_NE(S().CurrentLevel, passed + 1) << "after " << passed;
        if (S().CurrentLevel == passed) ++same;
        seen.insert(S().CurrentLevel);
    }
    EXPECT_GT(same, 0) << "the passed level never came again";
    EXPECT_EQ(seen.size(), 17u);
}

TEST_F(DuravodTest, TheChooserSetsTheLevelAndIndex54StartsTheReview) {
    EnterWith(3);
    duravod::SetProblemLevel(1, 19);
    EXPECT_EQ(S().CurrentLevel, 20);
    EXPECT_EQ(S().LevelsMastered, 0);
    EXPECT_EQ(S().CurrentKind, 4);
    duravod::SetProblemLevel(1, 54);
    EXPECT_EQ(S().LevelsMastered, 1);
    EXPECT_GE(S().CurrentLevel, 38);
    EXPECT_LE(S().CurrentLevel, 54);
    duravod::SetProblemLevel(1, 0);
    EXPECT_EQ(S().LevelsMastered, 0);
    EXPECT_EQ(S().CurrentLevel, 1);
}

// The level button opens the shared chooser at the current level; Escape (Cancel) and Enter on
// the level shown (OK without a change) keep the level and the problem object, and a new problem
// of it starts.
TEST_F(DuravodTest, CancelAndUnchangedOkKeepTheLevelAndTheProblem) {
    EnterWith(9);  // level 10
    S().SolvedInLevel = 1;
    for (const int32_t key : {27, 13}) {
        ASSERT_NE(S().LevelButton, nullptr);
        const int serial = Problem()->serial;
        const int starts = gLog.starts;
        ClickSprite(S().LevelButton);
        ASSERT_TRUE(RunUntil([] { return CLevelChooser::Current() != nullptr; }));
        EXPECT_EQ(CLevelChooser::Current()->CurrentLevel(), 10);
        Key(key);
        ASSERT_TRUE(RunUntil([] { return CLevelChooser::Current() == nullptr; }));
        EXPECT_EQ(S().CurrentLevel, 10) << "key " << key;
        ASSERT_NE(Problem(), nullptr);
        EXPECT_EQ(Problem()->serial, serial) << "key " << key;
        EXPECT_EQ(gLog.starts, starts + 1) << "key " << key;
    }
    EXPECT_EQ(S().SolvedInLevel, 1);
}

// A chooser still open when the module is left is closed by the engine as Cancel: its callback
// runs during the leave and starts no problem there; the level is stored as it was.
TEST_F(DuravodTest, AChooserClosedByTheLeaveStartsNoProblem) {
    EnterWith(20);  // level 21
    ClickSprite(S().LevelButton);
    ASSERT_TRUE(RunUntil([] { return CLevelChooser::Current() != nullptr; }));
    const int starts = gLog.starts;
    LeaveModule();
    EXPECT_EQ(CLevelChooser::Current(), nullptr);
    EXPECT_EQ(gLog.starts, starts);
    EXPECT_EQ(S().Problem, nullptr);
    EXPECT_EQ(*Settings().LevelOf(kDuravodModule), 20);
}

TEST_F(DuravodTest, TheLevelButtonIsMadeOnlyWhenChildrenMayChangeTheLevel) {
    EnterWith(5, 1, 1, 0);
    EXPECT_EQ(S().MayChangeLevel, 0);
    EXPECT_EQ(S().LevelButton, nullptr);
    EXPECT_EQ(GetSpriteFrame(S().HomeButton), duravod::kHomePicture);
}

// The router: each sprite, with paint held or not, and whether the click is taken, answered by
// the refusal gesture, or asks the problem again.
struct RouteCase {
    const char* what;
    int which;
    bool paint;
    int16_t taken;
    int gestures;
    int prompts;
};

enum Which {
    kLayer,
    kPiece,
    kHome,
    kGesture,
    kSide,
    kLevel,
    kBin,
    kTray,
    kShelf,
    kPanelButton,
    kPaintButton,
    kActor,
    kHatch,
    kEquationBox,
    kLowerBar,
    kStranger,
};

class DuravodRouter : public DuravodTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(DuravodRouter, RoutesEachSprite) {
    const RouteCase& c = GetParam();
    EnterWith(21);  // level 22, kind 5
    ASSERT_EQ(S().CurrentKind, 5);
    CCorAnim* stranger = CreateSprite(300, 100, duravod::kPiece);
    S().PieceSprites[1] = CreateSprite(320, 200, duravod::kPiece);
    S().PieceTotal = 1;
    S().ActorSprites[2] = CreateSprite(100, 200, duravod::kPiece + 1);
    S().ProblemNumbers.Set(0, 0, 5);
    S().Problem->equationList = std::make_unique<duravod::CEquationList>(2);
    S().Problem->equationList->MakeText(2);
    CCorAnim* sprites[] = {S().LayerSprites[0], S().PieceSprites[1], S().HomeButton, S().GestureSprite,
                           S().SideSprite, S().LevelButton, S().Bin, S().Tray, S().ButtonShelf[0], S().PanelButton,
                           S().PaintButtons[1], S().ActorSprites[2], S().Hatch,
                           S().Problem->equationList->Item(2)->box, S().LowerBar, stranger};
    const int prompts = gLog.prompts;
    S().HoldingPaint = c.paint ? 1 : 0;
    S().GesturesShown = 0;
    const int16_t mode = S().ProblemMode;
    EXPECT_EQ(duravod::OnAnimClicked(sprites[c.which], 2), c.taken) << c.what;
    EXPECT_EQ(S().GesturesShown, c.gestures) << c.what;
    EXPECT_EQ(gLog.prompts - prompts, c.prompts) << c.what;
    EXPECT_EQ(S().ProblemMode, mode) << c.what;
    EXPECT_EQ(CLevelChooser::Current(), nullptr) << c.what;
    if (c.which == kPiece && c.paint) {
        EXPECT_EQ(GetSpriteFrame(S().PieceSprites[1]), duravod::kPiece + 2) << "the piece takes the paint";
    }
    if (c.which == kEquationBox && !c.paint) {
        EXPECT_EQ(gLog.saidRows, (std::vector<int16_t>{2})) << "box 2 read its own row";
    }
    S().HoldingPaint = 0;
}

INSTANTIATE_TEST_SUITE_P(
    Duravod, DuravodRouter,
    ::testing::Values(RouteCase{"layer", kLayer, false, 1, 0, 0}, RouteCase{"layer, paint", kLayer, true, 1, 1, 0},
                      RouteCase{"piece", kPiece, false, 1, 0, 0}, RouteCase{"piece, paint", kPiece, true, 1, 0, 0},
                      RouteCase{"home, paint", kHome, true, 1, 1, 0},
                      RouteCase{"gesture", kGesture, false, 1, 1, 0}, RouteCase{"gesture, paint", kGesture, true, 1, 1, 0},
                      RouteCase{"side, paint", kSide, true, 1, 1, 0}, RouteCase{"level, paint", kLevel, true, 1, 1, 0},
                      RouteCase{"bin", kBin, false, 1, 0, 0}, RouteCase{"bin, paint", kBin, true, 1, 1, 0},
                      RouteCase{"tray, paint", kTray, true, 1, 1, 0}, RouteCase{"shelf", kShelf, false, 0, 0, 0},
                      RouteCase{"shelf, paint", kShelf, true, 0, 0, 0},
                      RouteCase{"panel button without text", kPanelButton, false, 1, 0, 0},
                      RouteCase{"panel button, paint", kPanelButton, true, 1, 1, 0},
                      RouteCase{"paint button, paint", kPaintButton, true, 0, 0, 0},
                      RouteCase{"actor", kActor, false, 1, 0, 0}, RouteCase{"actor, paint", kActor, true, 1, 0, 0},
                      RouteCase{"hatch", kHatch, false, 1, 0, 1}, RouteCase{"hatch, paint", kHatch, true, 1, 1, 0},
                      RouteCase{"equation box", kEquationBox, false, 1, 0, 0},
                      RouteCase{"equation box, paint", kEquationBox, true, 1, 1, 0},
                      RouteCase{"lower bar", kLowerBar, false, 0, 0, 0}, RouteCase{"lower bar, paint", kLowerBar, true, 1, 1, 0},
                      RouteCase{"stranger", kStranger, false, 0, 0, 0}, RouteCase{"stranger, paint", kStranger, true, 0, 0, 0}),
    [](const ::testing::TestParamInfo<RouteCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(DuravodTest, TheHomeButtonLeavesForTheHub) {
    EnterWith(0);
    ClickSprite(S().HomeButton);
    ASSERT_TRUE(RunUntil([] { return CurrentModule() == 1; }));
    EXPECT_EQ(S().Problem, nullptr);
}

// The problem's text as a column: a line beginning "_" underlines the line above it (moved up
// by the line height - 1, laid out 0x101), the others 0x100; a click on a line checks the
// answer, one on another text item does not.
TEST_F(DuravodTest, TheProblemTextAsAColumn) {
    EnterWith(0);
    gLog.lines = {"3", "+ 4", "____", "7"};
    S().Problem->multiLine = 1;
    duravod::ShowProblemText();
    std::vector<CText*> items;
    for (CText* item : S().ModuleTextItems)
        if (item) items.push_back(item);
    ASSERT_EQ(items.size(), 4u);
    const int h = items[1]->Y() - items[0]->Y();
    ASSERT_GT(h, 1);
    EXPECT_EQ(items[0]->Alignment(), 0x100);
    EXPECT_EQ(items[2]->Alignment(), 0x101);
    EXPECT_EQ(items[2]->Y(), items[0]->Y() + 2 * h - (h - 1));
    EXPECT_EQ(items[3]->Y(), items[0]->Y() + 3 * h);
    const int checks = gLog.checks;
    gLog.answerRight = false;
    EXPECT_EQ(duravod::OnTextClicked(items[3], 1), 1);
    EXPECT_EQ(gLog.checks, checks + 1);
    CText* other = EngineCreateText("x", CCorRect{0, 0, 40, 20}, 0);
    EXPECT_EQ(duravod::OnTextClicked(other, 1), 0);

    gLog.lines = {std::string(150, '7')};
    S().Problem->multiLine = 0;
    duravod::ShowProblemText();
    ASSERT_NE(S().ModuleTextItems[0], nullptr);
    EXPECT_EQ(S().ModuleTextItems[1], nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(S().ModuleTextItems[0]->Text())).size(), 100u);
    EXPECT_EQ(S().ModuleTextItems[0]->Alignment(), 0);
}

// Wrong answers in a row: 318; 313 (the answer held too many); 318 and 317, and so on; each
// asks the question again and sets nothing passed.
TEST_F(DuravodTest, TheWrongAnswerLadder) {
    EnterWith(0);
    const std::vector<std::vector<int16_t>> expected = {{318}, {313}, {318, 317}, {318, 317}};
    for (size_t i = 0; i < expected.size(); ++i) {
        ClearClips();
        const int prompts = gLog.prompts;
        Answer(false);
        EXPECT_EQ(Clips(), expected[i]) << "wrong try " << i + 1;
        EXPECT_EQ(gLog.prompts, prompts + 1) << "wrong try " << i + 1;
        EXPECT_EQ(S().WrongTries, static_cast<int16_t>(i + 1));
        EXPECT_EQ(S().Problem->firstLimit, i >= 2 ? 1 : 0);
    }
    EXPECT_EQ(S().SolvedInLevel, 0);
}

// Each kind's introduction is said once a run; a click that cuts it short closes the talking
// head and skips the first prompt.
TEST_F(DuravodTest, AnIntroductionCutShortSkipsThePrompt) {
    duravod::MarkIntroductionSaid(1);
    EnterWith(0);
    EXPECT_EQ(gLog.prompts, 1) << "no introduction: the prompt";
    duravod::ResetIntroductions();
    ClearClips();
    const int prompts = gLog.prompts;
    PressLater(330, 300, 300);  // a click while the introduction is said cuts it short
    duravod::SetProblemLevel(0, 0);
    EXPECT_EQ(Clips(), (std::vector<int16_t>{310}));
    EXPECT_EQ(gLog.prompts, prompts) << "the prompt was skipped";
    EXPECT_EQ(S().Speaker->shown, 0) << "the head closed";
    RunFor(500);
    ClearClips();
    duravod::SetProblemLevel(0, 0);
    EXPECT_TRUE(Clips().empty()) << "said once a run";
    EXPECT_EQ(gLog.prompts, prompts + 1);
}

// Levels 8 and 9 are of different kinds: the second right answer at level 8 passes it, and the
// next problem deletes the kind-1 problem while its own check is still running. It stays alive
// until that check has returned (the check writes to it afterwards), then a kind-2 problem plays.
TEST_F(DuravodTest, AKindChangeUnderTheRunningCheckKeepsTheOldProblemUntilItReturns) {
    EnterWith(7);  // level 8, kind 1
    const int first = Problem()->serial;
    Answer(true);
    Answer(true);
    EXPECT_EQ(S().CurrentLevel, 9);
    EXPECT_EQ(S().CurrentKind, 2);
    ASSERT_NE(Problem(), nullptr);
    EXPECT_NE(Problem()->serial, first);
    EXPECT_EQ(Problem()->kindCode, 2);
    EXPECT_EQ(gLog.finishes, 1);
    EXPECT_TRUE(S().RetiredProblems.empty());
}

// A level table of the test's own: rows the problems cannot pose from are clamped on entry, a
// trace line each; every level then plays without a hang, levels past the table's end too.
TEST_F(DuravodTest, ALevelTableWithBrokenRowsIsClampedAndPlays) {
    media::CResWriter w = EnteredModuleFile(kDuravodModule);
    const std::vector<uint16_t> rows = {
        0, 0, 0, 0, 0,    // a zero row
        0, 3, 3, 0, 0,    // kind 0, one number
        9, 2, 30, 0, 0,   // kind 9, highest 30
        2, 1, 4, 0, 3,    // kind 2 with three parts from 1
        5, 1, 40, 0, 0,   // kind 5 asking T + 1 splits up to 40
    };
    std::vector<uint8_t> bytes;
    plat::AppendLe16(bytes, static_cast<uint16_t>(rows.size()));
    for (uint16_t v : rows) plat::AppendLe16(bytes, v);
    w.Add("IN#", 2061, bytes);
    UseModuleFile(kDuravodModule, w);
    EnterWith(0);
    const std::string traces = Traces();
    size_t lines = 0;
    for (size_t at = traces.find("Duravod: level table, level "); at != std::string::npos;
         at = traces.find("Duravod: level table, level ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 7u) << traces;
    EXPECT_NE(traces.find("level 3 (kind 9): highest 30 -> 25"), std::string::npos) << traces;
    EXPECT_NE(traces.find("the level table holds 5 levels"), std::string::npos) << traces;
    EXPECT_EQ(S().LevelTable.Row(1), (duravod::LevelRow{0, 1, 2, 0, 0}));
    for (int16_t index = 0; index < 8; ++index) {
        duravod::SetProblemLevel(1, index);
        for (int i = 0; i < 3; ++i) {
            duravod::NextProblem();
            const duravod::LevelRow row = S().LevelTable.Row(S().CurrentLevel);
            const int16_t picked = S().ProblemNumbers.Picked();
            EXPECT_TRUE(picked >= row.lowest && picked <= row.highest) << "level " << S().CurrentLevel << ": " << picked;
        }
    }
}

TEST_F(DuravodTest, TheShippedPromptStyleIsTheFirst) {
    EnterWith(0);
    for (int i = 1; i <= 8; ++i) EXPECT_FALSE(duravod::PromptSwitch(i)) << i;
    EXPECT_FALSE(duravod::SecondPromptStyle());
}

}  // namespace
