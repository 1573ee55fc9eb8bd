// The problems of the question board from the module's level table, on the activity kit: every
// level 1 to 87 poses problems within its row, with and without a recent success; the repeat
// test, the hidden number cleared, the relation, the mode, the boxes, the compact holders; the
// review level; the levels' own edge cases; damaged rows.
#include "activities/vevudivodizide/problem_generator.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "activities/vevudivodizide/module5_test_support.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"

namespace {

using module5test::CAct5Board;
using module5test::Module5Test;
using vevudivodizide::kNoRelation;

// What the board shows on a side's cards as an expression: the terms (two-digit terms over the
// side's second and third spare cards) and the operator; none when the cards hold no expression.
struct ShownExpr {
    bool ok = false;
    int x = 0, y = 0;
    bool minus = false;
};

// A given digit (30..39: the expressions' cards) or a placed one (20..29).
int CardDigit(const vevudivodizide::CDigitPlace* p) {
    const int16_t picture = p->CardPicture();
    if (picture >= vevudivodizide::kPicFixedCard && picture <= vevudivodizide::kPicFixedCard + 9)
        return picture - vevudivodizide::kPicFixedCard;
    return picture >= vevudivodizide::kCardPicture && picture <= vevudivodizide::kCardPicture + 9 ? picture - vevudivodizide::kCardPicture : -1;
}

ShownExpr ReadExpr(const CAct5Board& b, int side) {
    ShownExpr e;
    const int16_t op = b.Place(side, 1)->CardPicture();
    if (op != 115 && op != 119) return e;
    e.minus = op == 119;
    const int h = CardDigit(b.Place(side, 0)), o = CardDigit(b.Place(side, 2));
    const size_t first = side == 1 ? 0 : 4;
    const int xt = CardDigit(b.spareCards[first + 1]), yo = CardDigit(b.spareCards[first + 2]);
    if (h < 0 || o < 0) return e;
    e.ok = true;
    e.x = xt >= 0 ? xt * 10 + h : h;
    e.y = yo >= 0 ? o * 10 + yo : o;
    return e;
}

int ValueOf(const ShownExpr& e) { return e.minus ? e.x - e.y : e.x + e.y; }

class ProblemGeneratorTest : public Module5Test {
protected:
    void SetUp() override {
        Module5Test::SetUp();
        EnterWith();
        RedrawArea(0);
    }
    // A problem at a level with the given outcomes; the board as GenerateProblem leaves it.
    CAct5Board& Pose(uint16_t level, bool recent) {
        CAct5Board& b = Q();
        b.level = level;
        b.outcomes = {0, 0, static_cast<uint16_t>(recent ? 1 : 0)};
        vevudivodizide::GenerateProblem(b);
        RedrawArea(0);
        return b;
    }
    static const media::CompareLevelRow& RowOf(int level) { return vevudivodizide::CompareLevelTable().Row(level); }
};

bool In(int v, const media::NumberRange& r) { return v >= r.lo && v <= r.hi; }

// Whether the child can give the right answer: in the building modes a number for the work side
// that the boxes shown can make (at most 9 blocks a column) stands in the asked relation to the
// other side's number, and its digits are among the tiles lit after the third wrong answer; in
// mode 2 the two sides differ; in mode 7 the relation is one of the three buttons.
bool AnswerReachable(const CAct5Board& b) {
    if (b.answerMode == 2) return b.targetLeft != b.targetRight;
    if (b.answerMode == 7) return b.relation <= 2;
    const int n = b.workSide == 1 ? b.targetRight : b.targetLeft;
    const int top = b.boxesShown == 1 ? 9 : b.boxesShown == 2 ? 99 : 999;
    const auto lit = vevudivodizide::LitDigits(b.relation, b.workSide, n);
    for (int v = 0; v <= top; ++v) {
        const int left = b.workSide == 1 ? v : n, right = b.workSide == 1 ? n : v;
        const bool holds = b.relation == 0 ? left == right : b.relation == 1 ? left > right : left < right;
        if (!holds) continue;
        bool onTiles = true;
        for (int rest = v, first = 1; first || rest > 0; rest /= 10, first = 0) onTiles &= lit[static_cast<size_t>(rest % 10)];
        if (onTiles) return true;
    }
    return false;
}

// Every level, with and without a recent success: the mode is one of the row's, the boxes and
// digits are set, the work side's target is 0 where the row hides its number, the relation is
// what the row says, the compact holders are the row's, the draw ends in few passes, the values
// lie in 0..999, and the shown numbers are within the row's ranges; where the row has a repeat
// test that can be met, no side repeats the previous problem's value; the right answer can
// always be given.
TEST_F(ProblemGeneratorTest, EveryLevelPosesProblemsWithinItsRow) {
    for (uint16_t level = 1; level <= media::kCompareLevels; ++level) {
        const media::CompareLevelRow& row = RowOf(level);
        ASSERT_EQ(row.level, level) << "the module's table is read";
        for (bool recent : {false, true}) {
            for (int n = 0; n < 2; ++n) {
                const uint16_t prevLeft = Q().targetLeft, prevRight = Q().targetRight;
                CAct5Board& b = Pose(level, recent);
                SCOPED_TRACE("level " + std::to_string(level) + (recent ? " recent" : "") + " problem " + std::to_string(n));
                EXPECT_EQ(b.playedLevel, level);
                EXPECT_TRUE(b.answerMode == row.mode || (row.altMode && b.answerMode == row.altMode)) << b.answerMode;
                EXPECT_EQ(b.boxesShown, row.cols);
                EXPECT_EQ(b.leftDigits, 3);
                EXPECT_EQ(b.rightDigits, 3);
                EXPECT_LT(vevudivodizide::LastDrawPasses(), 2000u);
                EXPECT_TRUE(AnswerReachable(b)) << "mode " << b.answerMode << " relation " << b.relation;
                EXPECT_EQ(b.targetLeft, static_cast<uint16_t>(b.leftValue));
                EXPECT_EQ(b.targetRight, static_cast<uint16_t>(b.rightValue));
                EXPECT_LE(b.targetLeft, 999);
                EXPECT_LE(b.targetRight, 999);
                const int work = b.workSide, shown = 3 - work;
                const uint16_t workTarget = work == 1 ? b.targetLeft : b.targetRight;
                const uint16_t shownTarget = shown == 1 ? b.targetLeft : b.targetRight;
                if (row.hidden || row.shape == media::kShapeOneNumber || (row.shape == media::kShapeShownExpr)) {
                    EXPECT_EQ(workTarget, 0);
                }
                switch (row.relation) {
                case media::kRelationUnset: EXPECT_EQ(b.relation, kNoRelation); break;
                case media::kRelationEqual: EXPECT_EQ(b.relation, 0); break;
                case media::kRelationFromValues: EXPECT_TRUE(b.relation == 1 || b.relation == 2); break;
                default: EXPECT_LE(b.relation, 2); break;
                }
                const bool compactLeft = row.compact == media::kCompactBoth || row.compact == media::kCompactLeft ||
                                         (row.compact == media::kCompactOpposite && work == 2);
                const bool compactRight = row.compact == media::kCompactBoth || (row.compact == media::kCompactOpposite && work == 1);
                EXPECT_EQ(b.leftCompactHolder, compactLeft ? 1 : 0);
                EXPECT_EQ(b.rightCompactHolder, compactRight ? 1 : 0);
                const media::NumberRange a = recent ? row.aRecent : row.a;
                if (row.shape == media::kShapeOneNumber) {
                    EXPECT_TRUE(In(shownTarget, a)) << shownTarget;
                }
                if (row.shape == media::kShapeTwoNumbers) {
                    EXPECT_TRUE(In(shownTarget, a) || (row.hidden && shownTarget == 0)) << shownTarget;
                    if (!row.hidden) {
                        EXPECT_TRUE(In(workTarget, a)) << workTarget;
                    }
                    if (row.distinct && !row.hidden) {
                        EXPECT_NE(b.targetLeft, b.targetRight);
                    }
                }
                if (row.shape >= media::kShapeShownExpr) {
                    // The expression on the cards gives the value the side holds.
                    const int side = row.shape == media::kShapeShownExpr ? shown : 1;
                    const ShownExpr e = ReadExpr(b, side);
                    ASSERT_TRUE(e.ok);
                    EXPECT_EQ(ValueOf(e), side == 1 ? b.targetLeft : b.targetRight);
                    EXPECT_EQ(e.minus, row.op == media::kOpMinus);
                    EXPECT_TRUE(In(e.x, a)) << e.x;
                    EXPECT_TRUE(In(e.y, recent ? row.bRecent : row.b)) << e.y;
                    if (row.shape == media::kShapeBothExpr) {
                        EXPECT_EQ(ValueOf(ReadExpr(b, 2)), b.targetRight);
                    }
                }
                if (n > 0 && row.repeat != media::kRepeatNone && row.repeat != media::kRepeatLeftWhenEqual) {
                    const int side = media::RepeatSide(row, {recent, -1, work, 0});
                    if (side == 1 && row.shape != media::kShapeTwoNumbers) {
                        EXPECT_NE(b.targetLeft, prevLeft);
                    }
                    if (side == 2 && !row.hidden) {
                        EXPECT_NE(b.targetRight, prevRight);
                    }
                    if (side == 0) {
                        EXPECT_FALSE(b.targetLeft == prevLeft && b.targetRight == prevRight);
                    }
                }
            }
        }
    }
}

// At the review level the played level is one of 69 to 87, and the level stays 88.
TEST_F(ProblemGeneratorTest, TheReviewLevelPlaysLevels69To87) {
    std::set<int> played;
    for (int n = 0; n < 40; ++n) {
        CAct5Board& b = Pose(88, n % 2 == 0);
        EXPECT_EQ(b.level, 88);
        EXPECT_GE(b.playedLevel, 69);
        EXPECT_LE(b.playedLevel, 87);
        played.insert(b.playedLevel);
    }
    EXPECT_GT(played.size(), 10u);
}

// The levels' own edge cases: each a level, a history and what every problem of it shows.
struct EdgeCase {
    const char* name;
    uint16_t level;
    bool recent;
    std::function<void(const CAct5Board&, std::vector<int>&)> check;  // may count into the vector
    std::function<void(const std::vector<int>&)> after = nullptr;
};

const EdgeCase kEdges[] = {
    {"Level2NoRecentSmall", 2, false, [](const CAct5Board& b, std::vector<int>&) {
         const int v = b.workSide == 1 ? b.targetRight : b.targetLeft;
         EXPECT_TRUE(v >= 1 && v <= 5) << v;
     }},
    {"Level2RecentLarge", 2, true, [](const CAct5Board& b, std::vector<int>&) {
         const int v = b.workSide == 1 ? b.targetRight : b.targetLeft;
         EXPECT_TRUE(v >= 6 && v <= 9) << v;
     }},
    {"Level11NoRecentAtMost6", 11, false, [](const CAct5Board& b, std::vector<int>&) {
         EXPECT_LE(b.workSide == 1 ? b.targetRight : b.targetLeft, 6);
     }},
    {"Level32RightIsATerm", 32, true, [](const CAct5Board& b, std::vector<int>&) {
         const ShownExpr e = ReadExpr(b, 1);
         EXPECT_TRUE(b.targetRight == e.x || b.targetRight == e.y);
         EXPECT_NE(b.targetRight, b.targetLeft);
     }},
    {"Level35RightWorkLeftSmallerAtMost8", 35, true, [](const CAct5Board& b, std::vector<int>& seen) {
         if (b.workSide == 2 && b.relation == 2) {
             EXPECT_LE(b.targetLeft, 8);
             seen.push_back(1);
         }
     }, [](const std::vector<int>& seen) { EXPECT_FALSE(seen.empty()); }},
    {"Level39NoRecentAtMost50", 39, false, [](const CAct5Board& b, std::vector<int>&) {
         EXPECT_LE(b.workSide == 1 ? b.targetRight : b.targetLeft, 50);
     }},
    {"Level39RecentNoCarry", 39, true, [](const CAct5Board& b, std::vector<int>&) {
         const ShownExpr e = ReadExpr(b, 3 - b.workSide);
         EXPECT_LE(e.x % 10 + e.y % 10, 9);
     }},
    {"Level42RecentFirstTermFrom51", 42, true, [](const CAct5Board& b, std::vector<int>&) {
         EXPECT_GE(ReadExpr(b, 3 - b.workSide).x, 51);
     }},
    {"Level43SomeWithoutComparison", 43, true, [](const CAct5Board& b, std::vector<int>& seen) {
         seen.push_back(b.relation == 0);
     }, [](const std::vector<int>& seen) {
         int without = 0;
         for (int s : seen) without += s;
         EXPECT_GT(without, static_cast<int>(seen.size()) / 6);
         EXPECT_LT(without, static_cast<int>(seen.size()) * 2 / 3);
     }},
    {"Level44AlwaysAComparison", 44, true, [](const CAct5Board& b, std::vector<int>&) {
         EXPECT_TRUE(b.relation == 1 || b.relation == 2);
     }},
    {"Level48RightIsATerm", 48, true, [](const CAct5Board& b, std::vector<int>&) {
         const ShownExpr e = ReadExpr(b, 1);
         EXPECT_TRUE(b.targetRight == e.x || b.targetRight == e.y);
     }},
    {"Level50RightIsTheFirstTerm", 50, true, [](const CAct5Board& b, std::vector<int>&) {
         EXPECT_EQ(b.targetRight, ReadExpr(b, 1).x);
     }},
    {"Level53SameFirstTermNeverEqual", 53, true, [](const CAct5Board& b, std::vector<int>&) {
         EXPECT_EQ(ReadExpr(b, 1).x, ReadExpr(b, 2).x);
         EXPECT_NE(b.targetLeft, b.targetRight);
     }},
    {"Level58EqualHidesZeroAndShowsEqual", 58, false, [](const CAct5Board& b, std::vector<int>& seen) {
         if (b.relation != 0) return;
         seen.push_back(1);
         EXPECT_EQ(b.workSide == 1 ? b.targetLeft : b.targetRight, 0);
         EXPECT_EQ(GetSpriteFrame(b.relationSign), 77);
     }, [](const std::vector<int>& seen) { EXPECT_FALSE(seen.empty()); }},
    {"Level80EqualSums", 80, true, [](const CAct5Board& b, std::vector<int>&) {
         const ShownExpr l = ReadExpr(b, 1), r = ReadExpr(b, 2);
         EXPECT_EQ(l.x, r.y);
         EXPECT_EQ(l.y, r.x);
         EXPECT_EQ(b.targetLeft, b.targetRight);
     }},
    {"Level82SameFirstTermInTheRelation", 82, true, [](const CAct5Board& b, std::vector<int>&) {
         EXPECT_EQ(ReadExpr(b, 1).x, ReadExpr(b, 2).x);
         EXPECT_EQ(b.relation, b.targetLeft > b.targetRight ? 1 : 2);
     }},
    {"Level84RightInTheRelation", 84, true, [](const CAct5Board& b, std::vector<int>&) {
         const int want = b.targetLeft == b.targetRight ? 0 : b.targetLeft > b.targetRight ? 1 : 2;
         EXPECT_EQ(b.relation, want);
     }},
    {"Level86SignShown", 86, true, [](const CAct5Board& b, std::vector<int>&) {
         EXPECT_EQ(GetSpriteFrame(b.relationSign), 77 + b.relation);
         EXPECT_EQ(b.workSide == 1 ? b.targetLeft : b.targetRight, 0);
     }},
};

class GeneratorEdges : public ProblemGeneratorTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(GeneratorEdges, EveryProblemShowsIt) {
    const EdgeCase& c = GetParam();
    std::vector<int> seen;
    for (int n = 0; n < 16; ++n) {
        CAct5Board& b = Pose(c.level, c.recent);
        SCOPED_TRACE("problem " + std::to_string(n));
        c.check(b, seen);
    }
    if (c.after) c.after(seen);
}

INSTANTIATE_TEST_SUITE_P(Levels, GeneratorEdges, ::testing::ValuesIn(kEdges),
                         [](const auto& info) { return std::string(info.param.name); });

// Rows set in place of the module's: a damaged row plays level 1's row (mode 1, one number 1 to
// 9 on the shown side) and ends; a row with a single problem accepts the repeat.
TEST_F(ProblemGeneratorTest, DamagedRowsPlayLevelOne) {
    const media::CompareLevels saved = vevudivodizide::CompareLevelTable();
    media::CompareLevels t = saved;
    media::CompareLevelRow& five = t.rows[4];
    five.a = five.aRecent = five.b = five.bRecent = {5, 5};  // distinct never met
    t.rows[6].shape = 9;                                     // an unknown shape
    media::CompareLevelRow& single = t.rows[2];              // level 3: one number, 4 only
    single.a = single.aRecent = {4, 4};
    vevudivodizide::SetCompareLevelTable(t);
    for (uint16_t level : {5, 7}) {
        for (int n = 0; n < 5; ++n) {
            CAct5Board& b = Pose(level, false);
            EXPECT_EQ(b.answerMode, 1u) << level;
            const int v = b.workSide == 1 ? b.targetRight : b.targetLeft;
            EXPECT_TRUE(v >= 1 && v <= 9) << v;
        }
    }
    for (int n = 0; n < 3; ++n) {
        CAct5Board& b = Pose(3, false);
        EXPECT_EQ(b.workSide == 1 ? b.targetRight : b.targetLeft, 4);
        EXPECT_EQ(vevudivodizide::LastDrawPasses(), 1u);
    }
    vevudivodizide::SetCompareLevelTable(saved);
}

}  // namespace
