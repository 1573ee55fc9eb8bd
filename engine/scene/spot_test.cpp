// Spots loaded from module files made in the test, and their clicks, hits and outlines.
#include "engine/scene/spot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/scene/scene_test_support.h"
#include "media/res/res_items_test_support.h"
#include "media/res/spot_format.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/byte_order.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Bytes;

Bytes SpotList(const std::vector<uint16_t>& ids) {
    Bytes b;
    plat::AppendLe16(b, 0xBEEF);  // the unused first word
    for (uint16_t id : ids) plat::AppendLe16(b, id);
    return b;
}

// A mask from rows of '#' (set) and '.' (clear).
std::vector<uint8_t> Mask(const std::vector<std::string>& rows) {
    std::vector<uint8_t> pixels;
    for (const auto& row : rows)
        for (char c : row) pixels.push_back(c == '#' ? 1 : 0);
    return pixels;
}

std::vector<int> gCalls;
void Callback(int16_t id) {
    gCalls.push_back(id);
}

class SpotTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        gCalls.clear();
        scene.origin = POINT{100, 50};
        // 2100: 10..20 x 10..20, no mask. 2101: a 3 x 3 area at 30,10 whose mask is a
        // diagonal (mask 4 x 4). 2102: overlaps 2100's right part. 2103: right left of left.
        writer.Add("SPT", 2100, media::EncodeSpotItem(10, 10, 20, 20));
        writer.Add("SPT", 2101, media::EncodeSpotItem(30, 10, 33, 13, Mask({"#...", ".#..", "..#.", "...#"})));
        writer.Add("SPT", 2102, media::EncodeSpotItem(15, 10, 40, 20));
        writer.Add("SPT", 2103, media::EncodeSpotItem(20, 10, 19, 20));
        writer.Add("SP#", 2500, SpotList({2100, 2101, 2999, 2103}));  // 2999 is missing
        writer.Add("SP#", 2501, SpotList({2102}));
    }
    CSpot* Open(int32_t list) {
        if (!resources.OpenModule(2, writer) || !spots.LoadList(list)) return nullptr;
        return spots.FindById(2100);
    }
    POINT At(int x, int y) const { return POINT{x + scene.origin.x, y + scene.origin.y}; }

    media::CResWriter writer;
    itemtest::CTestHost resources;
    scenetest::CFakeSceneHost scene;
    CSpotList spots;
};

TEST_F(SpotTest, ARectangleWithoutMaskMissesItsRightAndBottomEdges) {
    CSpot* spot = Open(2500);
    ASSERT_NE(spot, nullptr);
    EXPECT_EQ(spots.GetCount(), 2u);  // the missing and the malformed ones are not added
    EXPECT_FALSE(spot->HasMask());
    const RECT r = spot->GetRect();
    EXPECT_EQ(r.left, 110);
    EXPECT_EQ(r.bottom, 70);
    for (auto [x, y, in] : std::vector<std::tuple<int, int, bool>>{
             {10, 10, true}, {19, 19, true}, {20, 15, false}, {15, 20, false}, {9, 15, false}, {15, 9, false}})
        EXPECT_EQ(spot->HitTest(At(x, y)) != FALSE, in) << x << "," << y;
}

TEST_F(SpotTest, MaskRowsArePaddedToWordsAndTested) {
    EXPECT_EQ(SpotMaskRowBytes(9), 2u);
    EXPECT_EQ(SpotMaskRowBytes(17), 4u);
    EXPECT_EQ(SpotMaskRowBytes(16), 2u);
    // A mask of width 9 (right - left + 1) takes 2 bytes a row: 8 + 2 x 3 bytes load, one
    // byte fewer does not.
    const Bytes exact = media::EncodeSpotItem(0, 0, 8, 2, Mask({"........#", "#........", "........."}));
    ASSERT_EQ(exact.size(), 8u + 6u);
    SpotLayout layout;
    ASSERT_TRUE(ParseSpotItem(exact, layout));
    EXPECT_TRUE(SpotMaskBit(layout, 8, 0));
    EXPECT_TRUE(SpotMaskBit(layout, 0, 1));
    EXPECT_FALSE(SpotMaskBit(layout, 1, 1));
    EXPECT_FALSE(ParseSpotItem(std::span(exact).first(exact.size() - 1), layout));
    EXPECT_EQ(media::EncodeSpotItem(0, 0, 16, 0, Mask({"#################"})).size(), 8u + 4u);

    CSpot* first = Open(2500);
    ASSERT_NE(first, nullptr);
    CSpot* masked = spots.FindById(2101);
    ASSERT_NE(masked, nullptr);
    EXPECT_TRUE(masked->HasMask());
    EXPECT_TRUE(masked->HitTest(At(30, 10)));
    EXPECT_TRUE(masked->HitTest(At(32, 12)));
    EXPECT_FALSE(masked->HitTest(At(31, 10)));
    EXPECT_FALSE(masked->HitTest(At(33, 13)));  // set in the mask, but outside the rectangle
}

TEST_F(SpotTest, MalformedItemsAreRefused) {
    const std::vector<std::pair<const char*, Bytes>> cases{
        {"short header", Bytes{1, 0, 2, 0, 3, 0, 4}},
        {"right left of left", media::EncodeSpotItem(5, 0, 4, 3)},
        {"bottom above top", media::EncodeSpotItem(0, 5, 3, 4)},
        {"mask too short", [] {
             Bytes b = media::EncodeSpotItem(0, 0, 17, 1, Mask({"#################.", "#................."}));
             b.pop_back();
             return b;
         }()},
    };
    int id = 2200;
    for (const auto& [name, bytes] : cases) writer.Add("SPT", id++, bytes);
    writer.Add("SP#", 2502, SpotList({2200, 2201, 2202, 2203}));
    ASSERT_TRUE(resources.OpenModule(2, writer));
    EXPECT_TRUE(spots.LoadList(2502));
    EXPECT_EQ(spots.GetCount(), 0u);
    for (int32_t i = 2200; i < id; ++i) {
        CSpot spot(i);
        EXPECT_FALSE(spot.Load()) << cases[static_cast<size_t>(i - 2200)].first;
    }
    EXPECT_FALSE(spots.LoadList(2999));  // no such list
}

TEST_F(SpotTest, AnOddListIsReadInWholeWords) {
    Bytes list = SpotList({2100, 2102});
    list.push_back(0x35);  // half a word, which would read past the item
    writer.Add("SP#", 2503, list);
    ASSERT_NE(Open(2503), nullptr);
    EXPECT_EQ(spots.GetCount(), 2u);
    EXPECT_TRUE(spots.UnloadList(2503));
    EXPECT_EQ(spots.GetCount(), 0u);
}

TEST_F(SpotTest, TheFirstListedWinsAndFindAtSeesDisabledSpots) {
    ASSERT_NE(Open(2500), nullptr);
    ASSERT_TRUE(spots.LoadList(2501));  // 2102 after 2100
    EXPECT_EQ(spots.FindAt(At(17, 15)), 2100);
    EXPECT_EQ(spots.FindAt(At(25, 15)), 2102);
    spots.FindById(2100)->Enable(FALSE);
    EXPECT_EQ(spots.FindAt(At(17, 15)), 2100);  // disabled, no callback, no target
    EXPECT_EQ(spots.FindAt(At(0, 0)), 0);
}

struct ClickCase {
    const char* name;
    int target;
    bool callback;
    bool enabled;
    int expectedResult;
    std::vector<int> expectedSwitches;
    std::vector<int> expectedCalls;
};

class SpotClick : public SpotTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(SpotClick, TakesItsOwnActionOrPassesTheClickOn) {
    const ClickCase& c = GetParam();
    CSpot* spot = Open(2500);
    ASSERT_NE(spot, nullptr);
    spot->SetTargetModule(c.target);
    if (c.callback) spot->SetCallback(&Callback);
    spot->Enable(c.enabled ? TRUE : FALSE);
    EXPECT_EQ(spots.ClickAt(At(12, 12)), c.expectedResult);
    EXPECT_EQ(scene.switches, c.expectedSwitches);
    EXPECT_EQ(gCalls, c.expectedCalls);
    EXPECT_EQ(spots.ClickAt(At(60, 60)), 0);  // in no spot
}

INSTANTIATE_TEST_SUITE_P(
    Table, SpotClick,
    ::testing::Values(ClickCase{"TargetModule", 4, true, false, 1, {4}, {}},
                      ClickCase{"EnabledCallback", 0, true, true, 1, {}, {100}},
                      ClickCase{"DisabledCallback", 0, true, false, 0, {}, {}},
                      ClickCase{"Nothing", 0, false, true, 0, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A callback that unloads its own spot's list: the click ends without touching it again.
void UnloadOwnList(int16_t);
CSpotList* gList = nullptr;
void UnloadOwnList(int16_t) {
    gList->RemoveAll();
}

TEST_F(SpotTest, ACallbackMayRemoveItsOwnSpot) {
    CSpot* spot = Open(2500);
    ASSERT_NE(spot, nullptr);
    gList = &spots;
    spot->SetCallback(&UnloadOwnList);
    EXPECT_EQ(spots.ClickAt(At(12, 12)), 1);
    EXPECT_EQ(spots.GetCount(), 0u);
}

TEST_F(SpotTest, OutlinesAtTheSurfaceEdgeStayInside) {
    InitDibSystem(nullptr, TRUE, 0);
    scene.origin = POINT{0, 0};
    writer.Add("SPT", 2300, media::EncodeSpotItem(0, 0, 4, 3));     // at the top-left corner
    writer.Add("SPT", 2301, media::EncodeSpotItem(10, 8, 16, 12));  // past the bottom-right
    writer.Add("SP#", 2504, SpotList({2300, 2301}));
    ASSERT_TRUE(resources.OpenModule(2, writer));
    ASSERT_TRUE(spots.LoadList(2504));
    CDibG surface;
    surface.Create(12, 10, nullptr);
    for (int id : {2300, 2301}) spots.FindById(id)->SetOutline(TRUE);
    CDirtyRectList dirty;
    dirty.Add(RECT{0, 0, 12, 10});
    spots.DrawOutlines(surface, dirty);

    // Expected: the frame of each rectangle 2 pixels out, cut to the surface.
    auto onFrame = [](RECT r, int x, int y) {
        const bool outer = x >= r.left - 2 && x <= r.right + 1 && y >= r.top - 2 && y <= r.bottom + 1;
        const bool inner = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        return outer && !inner;
    };
    const BYTE ink = surface.GetPixel(4, 0);
    EXPECT_NE(ink, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool expected = onFrame({0, 0, 4, 3}, x, y) || onFrame({10, 8, 16, 12}, x, y);
            EXPECT_EQ(surface.GetPixel(x, y), expected ? ink : 0) << x << "," << y;
        }
    ShutdownDibSystem();
}

}  // namespace
