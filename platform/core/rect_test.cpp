#include "platform/core/rect.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

// Found by argument lookup, so it sits beside RECT in the global namespace.
static std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

bool Same(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

struct Result {
    BOOL ok;
    RECT r;
};

// Two rectangles and what each two-rectangle call makes of them.
struct PairCase {
    const char* name;
    RECT a, b;
    Result intersect, unite, subtract;
};

const PairCase kPairs[] = {
    {"overlapping corner", {0, 0, 10, 10}, {5, 5, 15, 15},
     {TRUE, {5, 5, 10, 10}}, {TRUE, {0, 0, 15, 15}}, {TRUE, {0, 0, 10, 10}}},
    {"a contains b", {0, 0, 10, 10}, {2, 2, 8, 8},
     {TRUE, {2, 2, 8, 8}}, {TRUE, {0, 0, 10, 10}}, {TRUE, {0, 0, 10, 10}}},
    {"b contains a", {2, 2, 8, 8}, {0, 0, 10, 10},
     {TRUE, {2, 2, 8, 8}}, {TRUE, {0, 0, 10, 10}}, {FALSE, {}}},
    {"identical", {1, 2, 3, 4}, {1, 2, 3, 4},
     {TRUE, {1, 2, 3, 4}}, {TRUE, {1, 2, 3, 4}}, {FALSE, {}}},
    {"touching at an edge", {0, 0, 10, 10}, {10, 0, 20, 10},
     {FALSE, {}}, {TRUE, {0, 0, 20, 10}}, {TRUE, {0, 0, 10, 10}}},
    {"touching at a corner", {0, 0, 10, 10}, {10, 10, 20, 20},
     {FALSE, {}}, {TRUE, {0, 0, 20, 20}}, {TRUE, {0, 0, 10, 10}}},
    {"disjoint", {0, 0, 10, 10}, {20, 20, 30, 30},
     {FALSE, {}}, {TRUE, {0, 0, 30, 30}}, {TRUE, {0, 0, 10, 10}}},
    {"a empty inside b", {5, 5, 5, 20}, {0, 0, 10, 10},
     {FALSE, {}}, {TRUE, {0, 0, 10, 10}}, {FALSE, {}}},
    {"b inverted over a", {0, 0, 10, 10}, {8, 8, 2, 2},
     {FALSE, {}}, {TRUE, {0, 0, 10, 10}}, {TRUE, {0, 0, 10, 10}}},
    {"both empty", {3, 3, 3, 3}, {7, 9, 1, 2},
     {FALSE, {}}, {FALSE, {}}, {FALSE, {}}},
    {"b covers the left side", {0, 0, 10, 10}, {-5, -1, 4, 11},
     {TRUE, {0, 0, 4, 10}}, {TRUE, {-5, -1, 10, 11}}, {TRUE, {4, 0, 10, 10}}},
    {"b covers the right side", {0, 0, 10, 10}, {6, 0, 10, 10},
     {TRUE, {6, 0, 10, 10}}, {TRUE, {0, 0, 10, 10}}, {TRUE, {0, 0, 6, 10}}},
    {"b covers the top", {0, 0, 10, 10}, {0, 0, 10, 3},
     {TRUE, {0, 0, 10, 3}}, {TRUE, {0, 0, 10, 10}}, {TRUE, {0, 3, 10, 10}}},
    {"b covers the bottom", {0, 0, 10, 10}, {-1, 7, 11, 12},
     {TRUE, {0, 7, 10, 10}}, {TRUE, {-1, 0, 11, 12}}, {TRUE, {0, 0, 10, 7}}},
    {"b cuts a band through the middle", {0, 0, 10, 10}, {4, -1, 6, 11},
     {TRUE, {4, 0, 6, 10}}, {TRUE, {0, -1, 10, 11}}, {TRUE, {0, 0, 10, 10}}},
    {"b overlaps a corner only", {10, 10, 100, 100}, {50, 50, 150, 150},
     {TRUE, {50, 50, 100, 100}}, {TRUE, {10, 10, 150, 150}}, {TRUE, {10, 10, 100, 100}}},
    {"b spans the height from the right", {10, 10, 100, 100}, {50, 10, 150, 150},
     {TRUE, {50, 10, 100, 100}}, {TRUE, {10, 10, 150, 150}}, {TRUE, {10, 10, 50, 100}}},
    {"negative coordinates", {-20, -20, -10, -10}, {-15, -25, -5, -12},
     {TRUE, {-15, -20, -10, -12}}, {TRUE, {-20, -25, -5, -10}}, {TRUE, {-20, -20, -10, -10}}},
};

using PairOp = BOOL (*)(RECT*, const RECT*, const RECT*);

struct Op {
    const char* name;
    PairOp fn;
    Result PairCase::*expected;
};

const Op kOps[] = {
    {"IntersectRect", IntersectRect, &PairCase::intersect},
    {"UnionRect", UnionRect, &PairCase::unite},
    {"SubtractRect", SubtractRect, &PairCase::subtract},
};

class RectPairTest : public ::testing::TestWithParam<PairCase> {};

// Each call gives the same answer into a fresh destination and into either of its sources.
TEST_P(RectPairTest, CallsAnswerAsWindowsDoes) {
    const PairCase& c = GetParam();
    for (const Op& op : kOps) {
        const Result& want = c.*(op.expected);
        SCOPED_TRACE(op.name);
        RECT dst{99, 99, 99, 99};
        EXPECT_EQ(op.fn(&dst, &c.a, &c.b), want.ok);
        EXPECT_TRUE(Same(dst, want.r)) << dst << " wanted " << want.r;

        RECT a = c.a;
        EXPECT_EQ(op.fn(&a, &a, &c.b), want.ok) << "into a";
        EXPECT_TRUE(Same(a, want.r)) << "into a: " << a;
        RECT b = c.b;
        EXPECT_EQ(op.fn(&b, &c.a, &b), want.ok) << "into b";
        EXPECT_TRUE(Same(b, want.r)) << "into b: " << b;
    }
}

// The list cut leaves exactly a minus b as parts that neither overlap each other nor meet b,
// and their bounding rectangle is what SubtractRect answers.
TEST_P(RectPairTest, CutFromRectsLeavesTheDifference) {
    const PairCase& c = GetParam();
    std::vector<RECT> parts{c.a};
    plat::CutFromRects(parts, c.b);

    RECT common;
    IntersectRect(&common, &c.a, &c.b);
    const auto area = [](const RECT& r) -> long { return IsRectEmpty(&r) ? 0 : long{r.right - r.left} * (r.bottom - r.top); };
    long total = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        RECT inside;
        if (!IsRectEmpty(&parts[i])) {
            EXPECT_TRUE(IntersectRect(&inside, &parts[i], &c.a) && Same(inside, parts[i])) << parts[i];
            EXPECT_FALSE(IntersectRect(&inside, &parts[i], &c.b)) << parts[i];
        }
        for (size_t j = i + 1; j < parts.size(); ++j) EXPECT_FALSE(IntersectRect(&inside, &parts[i], &parts[j]));
        total += area(parts[i]);
    }
    EXPECT_EQ(total, area(c.a) - area(common));

    RECT bound = plat::BoundingRect(parts);
    EXPECT_TRUE(Same(bound, c.subtract.r)) << bound;
}

INSTANTIATE_TEST_SUITE_P(Cases, RectPairTest, ::testing::ValuesIn(kPairs),
                         [](const ::testing::TestParamInfo<PairCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(RectTest, EmptinessCountsAreaOnly) {
    const struct {
        RECT r;
        BOOL empty;
    } cases[] = {
        {{0, 0, 0, 0}, TRUE},       {{0, 0, 1, 1}, FALSE},  {{0, 0, 0, 5}, TRUE},
        {{0, 0, 5, 0}, TRUE},       {{5, 5, 1, 1}, TRUE},   {{0, 5, 10, 4}, TRUE},
        {{-3, -3, -1, -1}, FALSE},  {{7, 7, 8, 8}, FALSE},
    };
    for (const auto& c : cases) EXPECT_EQ(IsRectEmpty(&c.r), c.empty) << c.r;
    EXPECT_TRUE(IsRectEmpty(nullptr));
}

TEST(RectTest, PointsOnTheRightAndBottomEdgesAreOutside) {
    const RECT r{10, 20, 30, 40};
    const RECT inverted{30, 40, 10, 20};
    const RECT flat{10, 10, 10, 20};
    const struct {
        const RECT* r;
        POINT p;
        BOOL in;
    } cases[] = {
        {&r, {10, 20}, TRUE},  {&r, {29, 39}, TRUE},  {&r, {20, 30}, TRUE},
        {&r, {30, 20}, FALSE}, {&r, {10, 40}, FALSE}, {&r, {9, 25}, FALSE},
        {&r, {20, 19}, FALSE}, {&inverted, {20, 30}, FALSE}, {&inverted, {30, 40}, FALSE},
        {&flat, {10, 15}, FALSE}, {nullptr, {0, 0}, FALSE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PtInRect(c.r, c.p), c.in) << (c.r ? *c.r : RECT{}) << " " << c.p.x << "," << c.p.y;
}

TEST(RectTest, EqualityComparesCoordinatesEvenOfEmptyRectangles) {
    const RECT a{1, 2, 3, 4}, same{1, 2, 3, 4}, other{1, 2, 3, 5};
    const RECT empty1{5, 5, 5, 5}, empty2{0, 0, 0, 0}, empty3{0, 0, 0, 0};
    EXPECT_TRUE(EqualRect(&a, &same));
    EXPECT_FALSE(EqualRect(&a, &other));
    EXPECT_FALSE(EqualRect(&empty1, &empty2));
    EXPECT_TRUE(EqualRect(&empty2, &empty3));
    EXPECT_FALSE(EqualRect(&a, nullptr));
}

TEST(RectTest, MovingAndGrowingKeepTheSidesAsGiven) {
    RECT r;
    EXPECT_TRUE(SetRect(&r, 1, 2, 3, 4));
    EXPECT_TRUE(OffsetRect(&r, -1, 5));
    EXPECT_TRUE(Same(r, RECT{0, 7, 2, 9})) << r;

    EXPECT_TRUE(SetRect(&r, 10, 10, 20, 20));
    EXPECT_TRUE(InflateRect(&r, 2, -3));
    EXPECT_TRUE(Same(r, RECT{8, 13, 22, 17})) << r;

    // Shrinking past the middle inverts the rectangle; nothing normalises it.
    EXPECT_TRUE(SetRect(&r, 10, 10, 12, 12));
    EXPECT_TRUE(InflateRect(&r, -2, 0));
    EXPECT_TRUE(Same(r, RECT{12, 10, 10, 12})) << r;
    EXPECT_TRUE(IsRectEmpty(&r));

    RECT copy{9, 9, 9, 9};
    EXPECT_TRUE(CopyRect(&copy, &r));
    EXPECT_TRUE(Same(copy, r));
    EXPECT_TRUE(SetRectEmpty(&copy));
    EXPECT_TRUE(Same(copy, RECT{}));
    EXPECT_TRUE(Same(plat::Offset(RECT{1, 1, 2, 2}, 3, -1), RECT{4, 0, 5, 1}));
}

TEST(RectTest, MissingPointersFailWithoutWriting) {
    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
    EXPECT_FALSE(SetRectEmpty(nullptr));
    EXPECT_FALSE(CopyRect(nullptr, &r));
    EXPECT_FALSE(CopyRect(&r, nullptr));
    EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
    EXPECT_FALSE(InflateRect(nullptr, 1, 1));
    EXPECT_FALSE(IntersectRect(nullptr, &r, &r));
    EXPECT_FALSE(UnionRect(nullptr, &r, &r));
    EXPECT_FALSE(SubtractRect(nullptr, &r, &r));
    EXPECT_TRUE(Same(r, RECT{1, 2, 3, 4}));
}

TEST(RectTest, BoundingRectIgnoresEmptyRectangles) {
    EXPECT_TRUE(Same(plat::BoundingRect({}), RECT{}));
    EXPECT_TRUE(Same(plat::BoundingRect({RECT{5, 5, 5, 9}, RECT{9, 9, 1, 1}}), RECT{}));
    EXPECT_TRUE(Same(plat::BoundingRect({RECT{-50, -50, -50, 50}, RECT{2, 3, 4, 5}, RECT{10, 1, 11, 2}}),
                     RECT{2, 1, 11, 5}));
}

}  // namespace
