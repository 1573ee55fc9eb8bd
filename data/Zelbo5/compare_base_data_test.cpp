// Module 5's compare game in "Zelbo5.res" (its ids are data/Zelbo5/vevudivodizide_ids_test.cpp's):
// the phrase of a side's number and the cards' size, each script ending within 10 seconds by
// itself, and spot 5 (where every drag of the game starts) under every point a child presses.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/res_item_test_support.h"
#include "media/res/anim_script.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace {

using datatest::Bytes;
using datatest::ReadItem;
using datatest::ScriptTicks;

constexpr uint32_t kModule = 5000;

uint32_t Le32At(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
int16_t Le16At(const Bytes& b, size_t at) { return static_cast<int16_t>(b[at] | b[at + 1] << 8); }

class CompareBaseData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo5.res").c_str()), 1);
    }
    // Width and height of a picture (0, 0 when missing).
    std::pair<int, int> Size(int id) {
        const Bytes p = ReadItem(mgr, kResSPR, kModule + static_cast<uint32_t>(id));
        if (p.size() < 12) return {0, 0};
        return {static_cast<int>(Le32At(p, 0)), static_cast<int>(Le32At(p, 4))};
    }
    CResMgr mgr;
};

// A side's number is the spoken-numbers kit's placeholder of argument 1 in form 1; picture 2 is
// "no picture"; cards are 26 x 34, so places 36 pixels apart (28 compact) leave room between them.
TEST_F(CompareBaseData, TheNumberPhraseAndTheCards) {
    const Bytes phrase = ReadItem(mgr, kResIPA, kModule + 150);
    ASSERT_GE(phrase.size(), 2u);
    EXPECT_EQ(Le16At(phrase, 0), -1);
    EXPECT_EQ(Size(2), (std::pair{0, 0}));
    EXPECT_EQ(Size(20), (std::pair{26, 34}));
    EXPECT_EQ(Size(40), Size(20));
}

TEST_F(CompareBaseData, EveryScriptEndsWithinTenSeconds) {
    int checked = 0;
    for (uint32_t id = kModule; id < kModule + 1000; ++id) {
        if (!mgr.FindEntry(kResANI, id)) continue;
        const Bytes script = ReadItem(mgr, kResANI, id);
        ASSERT_EQ(script.size() % media::kAnimRecordSize, 0u) << id;
        const int ticks = ScriptTicks(script);
        EXPECT_GE(ticks, 0) << "ANI " << id << " never ends";
        EXPECT_LE(ticks, 600) << "ANI " << id;
        ++checked;
    }
    EXPECT_EQ(checked, 26);  // the compare game's 25 and the boards' 111
}

// Every press that starts a drag (a tile, a card at each balance step, an item in a pan, a
// holder, the bin) lies inside spot 5, listed in the module's spot list.
TEST_F(CompareBaseData, SpotFiveCoversEveryPressPoint) {
    const Bytes list = ReadItem(mgr, kResSPN, kModule);
    bool listed = false;
    for (size_t at = 2; at + 1 < list.size(); at += 2) listed |= static_cast<uint16_t>(Le16At(list, at)) == kModule + 5;
    EXPECT_TRUE(listed) << "SP# 5000 lists 5005";
    const Bytes spot = ReadItem(mgr, kResSPT, kModule + 5);
    ASSERT_GE(spot.size(), 8u);
    const int left = Le16At(spot, 0), top = Le16At(spot, 2), right = Le16At(spot, 4), bottom = Le16At(spot, 6);
    EXPECT_EQ(spot.size(), 8u) << "no mask: the whole rectangle";
    auto covered = [&](int x, int y, int id) {
        const auto [w, h] = Size(id);
        EXPECT_GT(w, 0) << id;
        EXPECT_TRUE(x >= left && y >= top && x + w <= right && y + h <= bottom)
            << "picture " << id << " at (" << x << ", " << y << ")";
    };
    const int tileX[10] = {165, 194, 224, 254, 284, 313, 343, 372, 401, 429};
    for (int d = 0; d < 10; ++d) covered(tileX[d], 440, 20 + d);
    for (int i = 0; i < 3; ++i) {
        covered(81 + 36 * i, 368, 20);
        covered(392 + 36 * i, 368, 20);
    }
    const int leftY[5] = {200, 226, 240, 267, 280};
    const int rightY[5] = {280, 267, 240, 226, 200};
    for (int step = 0; step < 5; ++step) {
        const int ly = leftY[step], ry = rightY[step];
        covered(50, ly, 181 + step);
        covered(369, ry, 185 - step);
        covered(50 + 28, ly - 100, 301);
        covered(369 + 31, ry - 100, 302);
        for (int i = 0; i < 3; ++i) {
            covered(50 + 63 + 36 * i, ly - 18, 20);
            covered(50 + 71 + 28 * i, ly - 18, 20);
            covered(369 + 59 + 36 * i, ry - 18, 20);
            covered(369 + 67 + 28 * i, ry - 18, 20);
        }
        // The hundreds stack's top and the arcs' outer ends.
        covered(158 - 92, ly + 20 - 149, 653);
        covered(477 + 23, ry + 20 - 66, 653);
        covered(158 - 110, ly + 20 - 40, 651);
        covered(477 + 104, ry + 20 - 40, 651);
    }
    covered(553, 425, 141);
}

}  // namespace
