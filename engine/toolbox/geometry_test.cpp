#include "engine/toolbox/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/toolbox/numbers.h"

namespace {

TEST(Trigonometry, KnownAnglesAndDirections) {
    struct Case {
        int16_t angle;
        int16_t cos;
        int16_t sin;
    };
    const Case cases[] = {
        {0, 256, 0},      {900, 0, 256},   {1800, -256, 0}, {2700, 0, -256}, {3600, 256, 0},
        {600, 128, 221},  {300, 221, 128}, {-900, 0, -256}, {4500, 0, 256},  {-3600, 256, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(CosTenths(c.angle), c.cos);
        EXPECT_EQ(SinTenths(c.angle), c.sin);
        EXPECT_EQ(Cos256(c.angle), c.cos);
        EXPECT_EQ(Sin256(c.angle), c.sin);
    }

    struct Direction {
        int16_t y, x, tenths;
    };
    const Direction directions[] = {
        {0, 1, 0},     {1, 0, 900},       {-1, 0, 2700},     {0, -1, 1800},       {1, 1, 450},
        {1, -1, 1350}, {-1, -1, 2250},    {-1, 1, 3150},     {0, 0, 0},           {-1, 32767, 0},
        {-1, -32768, 1801}, {32767, 32767, 450}, {-32768, 0, 2700},
    };
    for (const Direction& d : directions) {
        SCOPED_TRACE(::testing::Message() << d.y << ", " << d.x);
        EXPECT_EQ(Atan2Tenths(d.y, d.x), d.tenths);
    }
}

// Every angle of the circle: the quadrants mirror one table, so the sine and cosine of one
// angle lie on the unit circle within the table's truncation, and the directions they point
// in agree with Atan2Tenths to within the 8-bit resolution.
TEST(Trigonometry, EveryAngleLiesOnTheCircle) {
    for (int a = 0; a <= 3600; ++a) {
        SCOPED_TRACE(a);
        const int c = CosTenths(static_cast<int16_t>(a)), s = SinTenths(static_cast<int16_t>(a));
        ASSERT_LE(std::abs(c), 256);
        ASSERT_LE(std::abs(s), 256);
        const int r2 = c * c + s * s;
        ASSERT_GE(r2, 254 * 254);
        ASSERT_LE(r2, 256 * 256);
        EXPECT_EQ(CosTenths(static_cast<int16_t>(a)), CosTenths(static_cast<int16_t>(3600 - a)));
        EXPECT_EQ(SinTenths(static_cast<int16_t>(a)), static_cast<int16_t>(-SinTenths(static_cast<int16_t>(3600 - a))));
        int diff = std::abs(Atan2Tenths(static_cast<int16_t>(s), static_cast<int16_t>(c)) - a % 3600);
        diff = std::min(diff, 3600 - diff);
        EXPECT_LE(diff, 5);
    }
}

TEST(Roots, WholePartOfTheMagnitudesRoot) {
    const int32_t values[] = {0, 1, 2, 3, 15, 16, -16, 17, 99, 100, 65535, 65536, 1 << 30, std::numeric_limits<int32_t>::max(),
                              std::numeric_limits<int32_t>::min(), -1, 2147395600, 2147395599};
    for (int32_t v : values) {
        SCOPED_TRACE(v);
        const int64_t magnitude = v < 0 ? -static_cast<int64_t>(v) : v;
        const int64_t r = IntSqrt(v);
        EXPECT_LE(r * r, magnitude);
        EXPECT_GT((r + 1) * (r + 1), magnitude);
    }
    EXPECT_EQ(IntSqrt(15), 3);
    EXPECT_EQ(IntSqrt(16), 4);
    EXPECT_EQ(IntSqrt(-16), 4);
    EXPECT_EQ(IntSqrt(std::numeric_limits<int32_t>::min()), 46340);
    // Two roots with different rounding, kept side by side.
    EXPECT_EQ(IntSqrt(3), 1);
    EXPECT_EQ(ISqrt(3), 2);
}

TEST(Segments, DistanceOfAPointFromASegment) {
    struct Case {
        CCorPoint p, a, b;
        int32_t distance2;
    };
    const Case cases[] = {
        {{5, 0}, {0, 0}, {10, 0}, 0},                  // on the segment
        {{5, 5}, {0, 0}, {10, 0}, 25},                 // foot inside
        {{5, -5}, {10, 0}, {0, 0}, 25},                // ends given the other way
        {{15, 3}, {0, 0}, {10, 0}, 34},                // beyond b: to b
        {{-4, 3}, {0, 0}, {10, 0}, 25},                // beyond a: to a
        {{1, 1}, {0, 0}, {3, 1}, 1},                   // the foot's coordinates are truncated
        {{3, 4}, {0, 0}, {0, 0}, 25},                  // a = b: the distance to a
        {{-7, 7}, {2, 2}, {2, 2}, 106},
        {{0, 20000}, {-30000, 0}, {30000, 0}, 400000000},  // large: products beyond 32 bits
        {{-32768, -32768}, {32767, 32767}, {32767, -32768}, std::numeric_limits<int32_t>::max()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.p.x << "," << c.p.y << " from " << c.a.x << "," << c.a.y << "-" << c.b.x
                                          << "," << c.b.y);
        EXPECT_EQ(PointSegmentDistance(c.p, c.a, c.b), c.distance2);
    }
}

// Each pair is also asked with the ends of each segment reversed and the segments swapped: the
// answer must not depend on the order (which flips the denominator's sign).
TEST(Segments, CrossAndIntersectInEveryOrder) {
    struct Case {
        const char* what;
        CCorPoint p1, p2, p3, p4;
        int16_t cross, intersect;
    };
    const Case cases[] = {
        {"an X", {0, 0}, {10, 10}, {0, 10}, {10, 0}, 1, 1},
        {"meeting at an end point", {0, 0}, {10, 0}, {10, 0}, {10, 10}, 1, 0},
        {"one end touching the other's middle", {0, 0}, {10, 0}, {5, 0}, {5, 10}, 1, 0},
        {"parallel", {0, 0}, {10, 0}, {0, 5}, {10, 5}, 0, 0},
        {"collinear and overlapping", {0, 0}, {10, 0}, {5, 0}, {15, 0}, 0, 0},
        {"lines crossing outside the segments", {0, 0}, {10, 0}, {20, -5}, {20, 5}, 0, 0},
        {"just short of each other", {0, 0}, {10, 10}, {11, 0}, {6, 5}, 0, 0},
        {"an X of 400", {0, 0}, {400, 400}, {0, 400}, {400, 0}, 1, 1},
        {"an X across the whole range", {-30000, -30000}, {30000, 30000}, {-30000, 30000}, {30000, -30000}, 1, 1},
        {"long and apart", {-30000, 0}, {30000, 0}, {-30000, 1}, {30000, 2}, 0, 0},
        {"long, touching at an end", {-32768, -32768}, {32767, 32767}, {32767, 32767}, {32767, -32768}, 1, 0},
        {"long, one pixel apart", {-32768, 0}, {32767, 0}, {0, 1}, {0, 32767}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CCorPoint orders[][4] = {
            {c.p1, c.p2, c.p3, c.p4}, {c.p2, c.p1, c.p3, c.p4}, {c.p1, c.p2, c.p4, c.p3},
            {c.p3, c.p4, c.p1, c.p2}, {c.p4, c.p3, c.p2, c.p1},
        };
        for (const auto& o : orders) {
            EXPECT_EQ(SegmentsCross(o[0], o[1], o[2], o[3]), c.cross);
            EXPECT_EQ(SegmentsIntersect(o[0], o[1], o[2], o[3]), c.intersect);
        }
    }
}

TEST(Tween, EndsTangentsAndRestart) {
    CHermiteTween t(0, 30, 10, 8, 0, 0);
    EXPECT_DOUBLE_EQ(t.Evaluate(0), 10);
    EXPECT_DOUBLE_EQ(t.Evaluate(4), 20);
    EXPECT_DOUBLE_EQ(t.Evaluate(8), 30);
    EXPECT_DOUBLE_EQ(t.Evaluate(9), 30);
    EXPECT_DOUBLE_EQ(t.Evaluate(std::nan("")), 30);

    // Tangents are per unit of s = t / duration: the same curve whatever the duration.
    for (double duration : {1.0, 10.0, 1000.0}) {
        CHermiteTween bump(0, 0, 0, duration, 1, 0);
        EXPECT_DOUBLE_EQ(bump.Evaluate(duration / 2), 0.125);
        bump.SetStart(0);
        bump.SetEnd(1);
        EXPECT_DOUBLE_EQ(bump.Evaluate(duration / 2), -0.125);
    }

    // A duration of 0 has no curve: the end value, never 0 / 0.
    CHermiteTween none(0, 5, -5, 0, 1, 1);
    for (double at : {0.0, -1.0, 1.0}) {
        const double v = none.Evaluate(at);
        EXPECT_FALSE(std::isnan(v));
        EXPECT_DOUBLE_EQ(v, 5);
    }

    CHermiteTween r(7, 1, 2, 3, 4, 5);
    r.current = r.work1 = r.work2 = 99;
    r.Reset();
    EXPECT_EQ(r.current, 2);
    EXPECT_EQ(r.work1, 2);
    EXPECT_EQ(r.work2, 2);
    EXPECT_EQ(r.further, 7);
    EXPECT_EQ(r.flags, 0);
}

}  // namespace
