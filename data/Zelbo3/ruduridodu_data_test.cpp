// Ruduridodu's items in "Zelbo3.res" (its ids are data/Zelbo3/ruduridodu_ids_test.cpp's): every
// script ends within 10 seconds by itself, the bin's spot lies over the bin and is listed
// before the play area's, and the play area (spot 102) holds every place a car or a piece is
// pressed: the rings of the five layouts, the waiting place and the pieces' homes.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "data/res_item_test_support.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace {

using datatest::Bytes;
using datatest::Le16;
using datatest::Le32;
using datatest::ReadItem;

constexpr uint32_t kModule = 3000;

struct Rect {
    int left, top, right, bottom;
};

class RuduridoduData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo3.res").c_str()), 1);
    }
    std::pair<int, int> Size(int id) {
        const Bytes p = ReadItem(mgr, kResSPR, kModule + static_cast<uint32_t>(id));
        if (p.size() < 12) return {0, 0};
        return {static_cast<int>(Le32(p, 0)), static_cast<int>(Le32(p, 4))};
    }
    Rect Spot(int id) {
        const Bytes spot = ReadItem(mgr, kResSPT, kModule + static_cast<uint32_t>(id));
        if (spot.size() < 8) return {0, 0, 0, 0};
        return {Le16(spot, 0), Le16(spot, 2), Le16(spot, 4), Le16(spot, 6)};
    }
    // The spots a spot list names, in order.
    std::vector<int> List(int id) {
        const Bytes list = ReadItem(mgr, kResSPN, kModule + static_cast<uint32_t>(id));
        std::vector<int> spots;
        for (size_t at = 2; at + 1 < list.size(); at += 2) spots.push_back(static_cast<uint16_t>(Le16(list, at)));
        return spots;
    }
    CResMgr mgr;
};

TEST_F(RuduridoduData, EveryScriptEndsWithinTenSeconds) {
    int checked = 0;
    for (uint32_t id = kModule; id < kModule + 1000; ++id) {
        if (!mgr.FindEntry(kResANI, id)) continue;
        const Bytes script = ReadItem(mgr, kResANI, id);
        const int ticks = datatest::ScriptTicks(script);
        EXPECT_GE(ticks, 0) << "ANI " << id << " never ends";
        EXPECT_LE(ticks, 600) << "ANI " << id;
        ++checked;
    }
    EXPECT_EQ(checked, 18);  // the mode button, the bin, the attendant's 3 walks and 11 acts, the car's 2
}

// The bin (picture 121 at (14, 108)) is spot 121 of list 120; the play area is spot 102 of list
// 100, loaded after it, so a point over the bin finds the bin.
TEST_F(RuduridoduData, TheBinsSpotLiesOverTheBin) {
    EXPECT_EQ(List(120), std::vector<int>{3121});
    EXPECT_EQ(List(100), std::vector<int>{3102});
    const auto [w, h] = Size(121);
    const Rect bin = Spot(121);
    EXPECT_EQ(bin.left, 14);
    EXPECT_EQ(bin.top, 108);
    EXPECT_EQ(bin.right, 14 + w);
    EXPECT_EQ(bin.bottom, 108 + h);
}

TEST_F(RuduridoduData, ThePlayAreaHoldsEveryCarPlaceAndPieceHome) {
    const Rect area = Spot(102);
    const auto inside = [&](const Rect& r, const std::string& what) {
        EXPECT_TRUE(r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom)
            << what << " (" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
    };
    // Every ring's picture (its slots lie within it) in each layout: 'IN#' 601 + 10 (n - 1),
    // after the first word 11 words a ring (picture x, y at 0 and 1, its picture at 6).
    const int rings[5] = {2, 3, 2, 3, 2};
    for (int n = 0; n < 5; ++n) {
        const Bytes layout = ReadItem(mgr, kResINN, kModule + 601 + 10 * static_cast<uint32_t>(n));
        ASSERT_GE(layout.size(), static_cast<size_t>(2 + 22 * rings[n])) << n + 1;
        for (int k = 0; k < rings[n]; ++k) {
            const size_t at = 2 + 22 * static_cast<size_t>(k);
            const int x = Le16(layout, at), y = Le16(layout, at + 2);
            const auto [w, h] = Size(Le16(layout, at + 12));
            EXPECT_GT(w, 0);
            inside({x, y, x + w, y + h}, "layout " + std::to_string(n + 1) + " ring " + std::to_string(k + 1));
        }
    }
    // A car's body where it drives in and where it waits.
    const auto [carW, carH] = Size(221);
    EXPECT_EQ(carW, 112);
    inside({330, 25, 330 + carW, 25 + carH}, "a car driving in");
    inside({280, 32, 280 + carW, 32 + carH}, "a car waiting");
    // The player pieces' homes of two-player play.
    for (auto [x, y] : {std::pair{426, 3}, {463, 60}, {500, 3}, {537, 60}})
        inside({x, y, x + 1, y + 1}, "a piece home");
}

}  // namespace
