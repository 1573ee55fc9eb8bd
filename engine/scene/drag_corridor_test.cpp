#include "engine/scene/drag_corridor.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/core/rect.h"

namespace {

// A rectangle as its four values, so that a failure prints them.
std::vector<LONG> V(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The bridge between home and target, and every non-empty rectangle reaching one pixel
// further right and down.
TEST(DragCorridorTest, BridgeBetweenRectanglesApart) {
    struct Case {
        const char* what;
        RECT home, target;
        RECT home1, target1, bridge1;
    };
    const std::vector<Case> cases = {
        {"side by side, the target lower", {0, 0, 100, 100}, {200, 20, 260, 80},
         {0, 0, 101, 101}, {200, 20, 261, 81}, {100, 20, 201, 81}},
        {"one above the other", {0, 0, 100, 50}, {20, 150, 80, 200},
         {0, 0, 101, 51}, {20, 150, 81, 201}, {20, 50, 81, 151}},
        {"diagonal: the gap between the corners", {0, 0, 50, 50}, {100, 100, 150, 150},
         {0, 0, 51, 51}, {100, 100, 151, 151}, {50, 50, 101, 101}},
        {"target left of home", {200, 0, 300, 100}, {0, 40, 50, 60},
         {200, 0, 301, 101}, {0, 40, 51, 61}, {50, 40, 201, 61}},
        {"overlapping: no bridge", {0, 0, 100, 100}, {50, 50, 150, 150},
         {0, 0, 101, 101}, {50, 50, 151, 151}, {}},
        {"touching: the bridge would be empty", {0, 0, 100, 100}, {100, 0, 200, 100},
         {0, 0, 101, 101}, {100, 0, 201, 101}, {}},
        {"no target", {10, 10, 20, 20}, {}, {10, 10, 21, 21}, {}, {}},
    };
    for (const Case& c : cases) {
        CDragCorridor corridor;
        corridor.Init(c.home, c.target);
        EXPECT_EQ(V(corridor.Home()), V(c.home1)) << c.what;
        EXPECT_EQ(V(corridor.Target()), V(c.target1)) << c.what;
        EXPECT_EQ(V(corridor.Bridge()), V(c.bridge1)) << c.what;
    }
}

// All four corners are tested, (left, top), (right, bottom), (right, top), (left, bottom): a
// rectangle with any one of them outside is not in the corridor. The corners may lie in
// different parts.
TEST(DragCorridorTest, ContainsRectTestsEveryCorner) {
    CDragCorridor home;
    home.Init(RECT{0, 0, 100, 100}, RECT{});
    struct Case {
        const char* what;
        RECT r;
        bool inside;
    };
    const std::vector<Case> cases = {
        {"wholly inside", {10, 10, 30, 30}, true},
        {"right and bottom on the home's edges", {80, 80, 100, 100}, true},
        {"left, top at the home's corner", {0, 0, 20, 20}, true},
        {"left one pixel out", {-1, 10, 30, 30}, false},
        {"bottom one pixel out", {10, 10, 30, 101}, false},
        {"the right side outside", {10, 10, 101, 30}, false},
        {"the left side outside", {-5, 10, 30, 30}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(home.ContainsRect(c.r), c.inside) << c.what;

    // Each corner alone outside an L made of a strip and a column.
    CDragCorridor ell;
    ell.Init(RECT{0, 0, 100, 20}, RECT{80, 0, 100, 100});
    EXPECT_TRUE(ell.ContainsRect(RECT{85, 10, 95, 90})) << "top corners in both, bottom ones in the column";
    EXPECT_FALSE(ell.ContainsRect(RECT{70, 10, 90, 30})) << "(left, bottom) lies below the strip, left of the column";
    EXPECT_TRUE(ell.ContainsRect(RECT{10, 5, 90, 15})) << "(right, ...) in the column, (left, ...) in the strip";

    // Corners in home, target and bridge.
    CDragCorridor apart;
    apart.Init(RECT{0, 0, 100, 100}, RECT{200, 0, 300, 100});
    EXPECT_TRUE(apart.ContainsRect(RECT{50, 10, 250, 90}));
    CDragCorridor notches;
    notches.Init(RECT{0, 0, 100, 100}, RECT{200, 20, 260, 80});
    EXPECT_FALSE(notches.ContainsRect(RECT{90, 10, 120, 30})) << "(right, top) above the bridge";
    EXPECT_FALSE(notches.ContainsRect(RECT{90, 70, 120, 90})) << "(right, bottom) below the bridge";
    EXPECT_TRUE(notches.ContainsRect(RECT{90, 30, 220, 70}));
}

TEST(DragCorridorTest, IsNearInflatesEachPart) {
    CDragCorridor c;
    c.Init(RECT{100, 100, 200, 200}, RECT{400, 100, 500, 200});  // bridge {200, 100, 401, 201}
    struct Case {
        POINT p;
        bool near;
    };
    const std::vector<Case> cases = {
        {{150, 150}, true},  {{90, 150}, true},   {{89, 150}, false},  // home's left edge - 10
        {{150, 210}, true},  {{150, 211}, false},                      // bottom 201 + 10
        {{300, 90}, true},   {{300, 89}, false},                       // the bridge's top - 10
        {{511, 150}, false}, {{510, 150}, true},                       // target right 501 + 10
        {{300, 300}, false},
    };
    for (const Case& k : cases) EXPECT_EQ(c.IsNear(k.p, 10, 10), k.near) << k.p.x << ", " << k.p.y;
    EXPECT_FALSE(c.IsNear(POINT{95, 150}, 0, 0)) << "no inflation";

    // Without a target only home counts; an empty part is never near.
    CDragCorridor alone;
    alone.Init(RECT{100, 100, 200, 200}, RECT{});
    EXPECT_FALSE(alone.IsNear(POINT{450, 150}, 10, 10));
    EXPECT_FALSE(alone.IsNear(POINT{0, 0}, 10, 10));
    EXPECT_TRUE(alone.IsNear(POINT{0, 0}, 100, 100));
}

// The staircase: x and y in turn, one pixel each; an axis that meets the edge stops for good.
TEST(DragCorridorTest, SlideRectStopsAtTheCorridorsEdge) {
    struct Case {
        const char* what;
        RECT home, target;
        RECT from;
        int dx, dy;
        RECT to;
    };
    const std::vector<Case> cases = {
        {"diagonal into the corner", {0, 0, 100, 100}, {}, {80, 80, 90, 90}, 30, 30, {90, 90, 100, 100}},
        {"the x axis stops, y goes on", {0, 0, 100, 100}, {}, {80, 10, 90, 20}, 30, 30, {90, 40, 100, 50}},
        {"towards the left and top", {0, 0, 100, 100}, {}, {5, 5, 15, 15}, -10, -3, {0, 2, 10, 12}},
        {"distance used up inside", {0, 0, 100, 100}, {}, {10, 10, 20, 20}, 7, -4, {17, 6, 27, 16}},
        {"no movement", {0, 0, 100, 100}, {}, {10, 10, 20, 20}, 0, 0, {10, 10, 20, 20}},
        // The y axis meets the strip's bottom after 5 steps and never starts again, so the
        // picture cannot turn down into the column.
        {"an L: y ends early for good", {0, 0, 100, 20}, {80, 0, 100, 100}, {0, 5, 10, 15}, 200, 200,
         {90, 10, 100, 20}},
        // Through the bridge: the picture (20 high) fits the bridge's 60..100 rows.
        {"along the bridge", {0, 0, 100, 100}, {200, 60, 300, 160}, {70, 70, 90, 90}, 150, 0, {220, 70, 240, 90}},
        // A step down would take (left, bottom) below home while the picture still reaches
        // into it, so y stops at home's bottom and x goes on to the target's right edge.
        {"staircase to the target", {0, 0, 100, 100}, {200, 60, 300, 160}, {70, 70, 90, 90}, 300, 300,
         {280, 80, 300, 100}},
        {"a start outside does not move", {0, 0, 100, 100}, {}, {95, 95, 110, 110}, -20, -20, {95, 95, 110, 110}},
    };
    for (const Case& c : cases) {
        CDragCorridor corridor;
        corridor.Init(c.home, c.target);
        EXPECT_EQ(V(corridor.SlideRect(c.from, c.dx, c.dy)), V(c.to)) << c.what;
    }
}

}  // namespace
