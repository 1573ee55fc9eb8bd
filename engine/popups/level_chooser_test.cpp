// The level chooser's track: its groups and the thumb's places.
#include "engine/popups/level_chooser.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// ---- The track's arithmetic ------------------------------------------------------------------

struct GroupCase {
    int16_t x;
    int16_t group;
};

TEST(LevelTrackTest, GroupFromXAcrossTheTrackTheLastGroupIncluded) {
    // Usable range 100 to 400, margin 20, groups 0 to 10: 28 pixels a group.
    const LevelTrack t = LevelTrack::Make(100, 400, 20, 10, 28);
    EXPECT_FLOAT_EQ(t.scale, 28.0f);
    const GroupCase cases[] = {{-32768, 0}, {50, 0}, {100, 0}, {127, 0}, {128, 1}, {155, 1}, {156, 2},
                               {379, 9},    {380, 10}, {381, 10}, {400, 10}, {401, 10}, {32767, 10}};
    for (const GroupCase& c : cases) EXPECT_EQ(t.GroupFromX(c.x), c.group) << "x " << c.x;
}

TEST(LevelTrackTest, AScaleOfZeroOrLessGivesTheLastGroupEverywhere) {
    for (const LevelTrack& t : {LevelTrack::Make(100, 400, 300, 10, 28), LevelTrack::Make(100, 400, 900, 10, 28),
                                LevelTrack{100, 400, -50, 10, 28, 0.0f}, LevelTrack{100, 400, 0, 10, 28, -3.0f}}) {
        for (int16_t x : {int16_t{-32768}, int16_t{0}, int16_t{100}, int16_t{101}, int16_t{250}, int16_t{400}}) {
            EXPECT_EQ(t.GroupFromX(x), 10) << "x " << x << ", margin " << t.endMargin;
        }
    }
}

TEST(LevelTrackTest, ThumbPlaces) {
    const LevelTrack t = LevelTrack::Make(100, 400, 20, 10, 28);
    EXPECT_EQ(t.ThumbX(0), 97);
    EXPECT_EQ(t.ThumbX(1), 125);
    EXPECT_EQ(t.ThumbX(9), 349);
    // The last group from the track's right end, not from the scale.
    EXPECT_EQ(t.ThumbX(10), 400 - 14 - 10);
}

// Each activity's track (360 pixels, a thumb 28 wide, its margin and groups): every group can be
// clicked, the thumb's places run left to right, and a thumb put at a group's place is read
// back as that group by the drag (from its middle).
TEST(LevelTrackTest, EveryGroupHasItsStretchOfTheTrackAndItsPlace) {
    const struct {
        int16_t lastGroup, margin;
    } tracks[] = {{25, 14}, {12, 28}, {24, 14}, {22, 16}};
    for (const auto& k : tracks) {
        const LevelTrack t = LevelTrack::Make(100, 100 + 360 - 28, k.margin, k.lastGroup, 28);
        std::vector<int> clicks(static_cast<size_t>(k.lastGroup) + 1, 0);
        for (int x = t.left; x <= t.right; ++x) ++clicks[static_cast<size_t>(t.GroupFromX(static_cast<int16_t>(x)))];
        for (int g = 0; g <= k.lastGroup; ++g) {
            EXPECT_GT(clicks[static_cast<size_t>(g)], 0) << "N " << k.lastGroup << ": group " << g << " cannot be clicked";
            const int16_t x = t.ThumbX(static_cast<int16_t>(g));
            if (g > 0) {
                EXPECT_GT(x, t.ThumbX(static_cast<int16_t>(g - 1))) << "N " << k.lastGroup << ", group " << g;
            }
            EXPECT_EQ(t.GroupFromX(static_cast<int16_t>(x + t.thumbWidth / 2 - 1)), g) << "N " << k.lastGroup;
        }
    }
}

}  // namespace
