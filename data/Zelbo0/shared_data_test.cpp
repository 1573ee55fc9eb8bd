// The engine's shared file: what every module shows from it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "data/res_item_test_support.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace {

using datatest::Bytes;
using datatest::ReadItem;

// The scanner's highlight surrounds its target: a closed ring, opaque all round at the same
// distance from the centre, with a transparent middle and transparent corners.
TEST(Zelbo0Data, ScanHighlightIsARingWithATransparentMiddle) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo0.res").c_str()), 1);
    const Bytes spr = ReadItem(mgr, kResSPR, 1);
    ASSERT_GE(spr.size(), 12u);
    const auto le32 = [&](size_t at) { return spr[at] | spr[at + 1] << 8 | spr[at + 2] << 16 | spr[at + 3] << 24; };
    ASSERT_EQ(le32(0), 48);
    ASSERT_EQ(le32(4), 48);
    ASSERT_EQ(spr.size(), 12u + 48 * 48);
    const auto pixel = [&](int x, int y) { return spr[12 + static_cast<size_t>(y) * 48 + static_cast<size_t>(x)]; };
    for (int d = -8; d <= 8; ++d) {
        EXPECT_EQ(pixel(24 + d, 24), 0) << "middle";
        EXPECT_EQ(pixel(24, 24 + d), 0) << "middle";
    }
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{47, 0}, std::pair{0, 47}, std::pair{47, 47}})
        EXPECT_EQ(pixel(x, y), 0) << "corner " << x << "," << y;
    for (int angle = 0; angle < 360; angle += 5) {
        const double a = angle * 3.14159265358979 / 180;
        const int x = 24 + static_cast<int>(std::lround(19 * std::cos(a)));
        const int y = 24 + static_cast<int>(std::lround(19 * std::sin(a)));
        EXPECT_NE(pixel(x, y), 0) << "ring at " << angle << " degrees";
    }
}


// The grown-ups' volume slider plays sound 575 after every move: a short spoken line (a plain
// clip: two header bytes, then the samples at 11025 a second), over within two seconds.
TEST(Zelbo0Data, VolumeSampleIsShort) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo0.res").c_str()), 1);
    const Bytes snd = ReadItem(mgr, kResSND, 575);
    ASSERT_GT(snd.size(), 2u + 11025 / 4) << "something is said";
    EXPECT_LT(snd.size(), 2u + 2 * 11025) << "within two seconds";
}

}  // namespace
