#include "engine/scene/ring_search.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace {

using Offset = std::pair<LONG, LONG>;

std::vector<Offset> VisitOrder(POINT centre) {
    std::vector<Offset> seen;
    const auto found = FindRingPoint(centre, [&](POINT p) {
        seen.emplace_back(p.x - centre.x, p.y - centre.y);
        return false;
    });
    EXPECT_FALSE(found.has_value());
    return seen;
}

TEST(RingSearch, VisitsEachRingPointOnceInItsOrder) {
    const std::vector<Offset> seen = VisitOrder(POINT{100, -7});
    const std::vector<Offset> first{{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1},
                                    {-2, -2}, {-1, -2}, {0, -2}, {1, -2}, {2, -2}, {-2, -1}, {2, -1}};
    ASSERT_GE(seen.size(), first.size());
    EXPECT_EQ(std::vector<Offset>(seen.begin(), seen.begin() + static_cast<long>(first.size())), first);

    // 8r points on ring r, none twice, none inside radius 0 or beyond 8.
    size_t at = 0;
    for (LONG r = 1; r <= 8; ++r) {
        std::set<Offset> ring;
        for (size_t i = 0; i < static_cast<size_t>(8 * r); ++i, ++at) {
            ASSERT_LT(at, seen.size());
            const auto [dx, dy] = seen[at];
            EXPECT_EQ(std::max(std::abs(dx), std::abs(dy)), r) << dx << "," << dy;
            ring.insert(seen[at]);
        }
        EXPECT_EQ(ring.size(), static_cast<size_t>(8 * r));
    }
    EXPECT_EQ(at, seen.size());
    EXPECT_EQ(seen.back(), Offset(8, 8));
}

// The first ring point inside a rectangle (left, top, right, bottom; right and bottom
// exclusive), relative to a click at the origin.
struct RingCase {
    RECT area;
    std::optional<Offset> expected;
};

class RingSearchHit : public ::testing::TestWithParam<RingCase> {};

TEST_P(RingSearchHit, StopsAtTheFirstPointInside) {
    const RECT a = GetParam().area;
    int calls = 0;
    const auto found = FindRingPoint(POINT{0, 0}, [&](POINT p) {
        ++calls;
        return p.x >= a.left && p.x < a.right && p.y >= a.top && p.y < a.bottom;
    });
    ASSERT_EQ(found.has_value(), GetParam().expected.has_value());
    if (!found) return;
    EXPECT_EQ(Offset(found->x, found->y), *GetParam().expected);
    // Nothing is asked after the hit.
    const std::vector<Offset> order = VisitOrder(POINT{0, 0});
    size_t index = 0;
    while (order[index] != *GetParam().expected) ++index;
    EXPECT_EQ(calls, static_cast<int>(index) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, RingSearchHit,
    ::testing::Values(RingCase{{1, -100, 100, 100}, Offset{1, -1}},    // just right: ring 1, top row
                      RingCase{{5, -100, 100, 100}, Offset{5, -5}},    // 5 to the right
                      RingCase{{-100, 3, 100, 100}, Offset{-3, 3}},    // below: the bottom row's left end
                      RingCase{{-100, -100, -3, 2}, Offset{-4, -4}},   // left and above
                      RingCase{{2, 0, 3, 1}, Offset{2, 0}},            // one pixel on a middle row's right end
                      RingCase{{8, 8, 9, 9}, Offset{8, 8}},            // the very last point
                      RingCase{{9, -100, 100, 100}, std::nullopt},     // beyond radius 8
                      RingCase{{0, 0, 1, 1}, std::nullopt}));          // the centre itself is not a ring point

}  // namespace
