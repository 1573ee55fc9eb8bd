// Static pictures on a 32 x 32 surface with small transparent pictures.
#include "engine/scene/static_picture.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "engine/scene/scene_test_support.h"
#include "media/res/res_items_test_support.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Spr;

std::function<int16_t(CCorStatic*, int16_t)> gOnStatic;
int16_t OnStaticClicked(CCorStatic* s, int16_t id) {
    return gOnStatic ? gOnStatic(s, id) : 0;
}

class StaticTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        InitDibSystem(nullptr, TRUE, 0);
        media::CResWriter m2;
        // 2010: a 6 x 6 ring of colour 40 (its middle transparent); 2011: a 5 x 5 block of 50;
        // 2012: a 4 x 4 block of 60 with a transparent corner.
        std::vector<itemtest::Bytes> ring(6, itemtest::Bytes(6, 40));
        for (int y = 2; y < 4; ++y) ring[static_cast<size_t>(y)][2] = ring[static_cast<size_t>(y)][3] = 0;
        m2.Add("SPR", 2010, Spr(6, ring));
        m2.Add("SPR", 2011, Spr(5, std::vector<itemtest::Bytes>(5, itemtest::Bytes(5, 50))));
        auto block = std::vector<itemtest::Bytes>(4, itemtest::Bytes(4, 60));
        block[0][0] = 0;
        m2.Add("SPR", 2012, Spr(4, block));
        ASSERT_TRUE(resources.OpenModule(2, m2));
        table.OnStaticClicked = &OnStaticClicked;
        scene.table = &table;
        surface = Background();
    }
    void TearDown() override {
        gOnStatic = nullptr;
        ShutdownDibSystem();
    }

    // A 32 x 32 surface with a pattern no picture uses.
    static std::unique_ptr<CDibG> Background() {
        auto s = std::make_unique<CDibG>();
        s->Create(32, 32, nullptr);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) s->SetPixel(x, y, static_cast<BYTE>(100 + (x * 7 + y * 3) % 100));
        return s;
    }
    static std::vector<BYTE> Pixels(const CDibG& s) {
        std::vector<BYTE> out;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) out.push_back(s.GetPixel(x, y));
        return out;
    }

    itemtest::CTestHost resources;
    scenetest::CFakeSceneHost scene;
    ModuleFunctionTable table{};
    std::unique_ptr<CDibG> surface;
    CStaticList list;
};

TEST_F(StaticTest, RemovingWithRestoreGivesTheSceneBuiltWithoutIt) {
    struct Placed {
        POINT at;
        int32_t id;
    };
    const Placed a{{4, 4}, 2010}, b{{7, 6}, 2011}, c{{9, 8}, 2012};
    const int ha = list.Add(*surface, a.at, a.id, 1, TRUE);
    const int hb = list.Add(*surface, b.at, b.id, 1, TRUE);
    const int hc = list.Add(*surface, c.at, c.id, 1, TRUE);
    ASSERT_GE(ha, 0);
    ASSERT_GE(hb, 0);
    ASSERT_GE(hc, 0);

    CStaticList expected;
    auto without = Background();
    expected.Add(*without, a.at, a.id, 1, TRUE);
    expected.Add(*without, c.at, c.id, 1, TRUE);

    list.RemoveAt(hb, surface.get());
    EXPECT_EQ(Pixels(*surface), Pixels(*without));
    EXPECT_EQ(list.GetCount(), 2);

    // The top one was given the restored pixels, so its own removal is clean too.
    auto onlyA = Background();
    CStaticList justA;
    justA.Add(*onlyA, a.at, a.id, 1, TRUE);
    list.RemoveAt(hc, surface.get());
    EXPECT_EQ(Pixels(*surface), Pixels(*onlyA));
    list.RemoveAt(ha, surface.get());
    EXPECT_EQ(Pixels(*surface), Pixels(*Background()));
}

TEST_F(StaticTest, AStaticOnTheLastColumnAndRowLeavesNoTrace) {
    const auto before = Pixels(*surface);
    for (POINT at : {POINT{27, 27}, POINT{28, 28}, POINT{30, 10}, POINT{-2, 29}}) {
        const int h = list.Add(*surface, at, 2011, 1, TRUE);
        ASSERT_GE(h, 0);
        EXPECT_NE(Pixels(*surface), before);
        list.RemoveAt(h, surface.get());
        EXPECT_EQ(Pixels(*surface), before) << at.x << "," << at.y;
    }
}

TEST_F(StaticTest, The101stStaticIsDrawnButNotKept) {
    for (int i = 0; i < CStaticList::kSlots; ++i) ASSERT_GE(list.Add(*surface, POINT{0, 0}, 2011, 0, TRUE), 0);
    scene.invalidated.clear();
    EXPECT_EQ(list.Add(*surface, POINT{20, 20}, 2012, 1, TRUE), -1);
    EXPECT_EQ(surface->GetPixel(21, 21), 60);  // drawn
    ASSERT_EQ(scene.invalidated.size(), 1u);
    EXPECT_EQ(list.GetCount(), 100);
    // Nothing of it is left to leak (AddressSanitizer's leak check).
}

TEST_F(StaticTest, ClicksHitColouredPixelsWidenAndFollowTheHotSpot) {
    std::vector<std::pair<CCorStatic*, int16_t>> clicks;
    gOnStatic = [&](CCorStatic* s, int16_t id) {
        clicks.emplace_back(s, id);
        return int16_t{1};
    };
    GetResItem(2010, FALSE)->SetHotspot(3, 3);
    const int h = list.Add(*surface, POINT{10, 10}, 2010, 0, FALSE);  // opaque: colour 0 is drawn
    CCorStatic* s = list.Get(h);
    EXPECT_EQ(s->GetPosition().x, 7);
    EXPECT_EQ(s->GetPosition().y, 7);
    EXPECT_EQ(surface->GetPixel(7, 7), 40);
    EXPECT_EQ(surface->GetPixel(9, 9), 0);  // the hole, drawn as colour 0

    EXPECT_EQ(list.ClickAt(POINT{9, 9}, FALSE), 0);  // colour 0 is no hit, opaque or not
    EXPECT_EQ(list.ClickAt(POINT{6, 6}, FALSE), 0);  // outside
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(list.FindClicked(POINT{12, 12}), h);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(s, int16_t{10}));  // id modulo 1000

    // Widened: from (5, 9) no point of ring 1 is inside; ring 2's top row reaches (7, 7).
    clicks.clear();
    EXPECT_EQ(list.ClickAt(POINT{5, 9}, TRUE), 1);
    EXPECT_EQ(clicks.size(), 1u);
    // The first ring point inside may be a hole: the search for this static ends there.
    clicks.clear();
    EXPECT_EQ(list.ClickAt(POINT{9, 9}, TRUE), 1);  // ring 1 starts at (8, 8), coloured
    gOnStatic = [&](CCorStatic*, int16_t) { return int16_t{0}; };
    EXPECT_EQ(list.ClickAt(POINT{12, 12}, TRUE), 0);  // not handled: 0
}

TEST_F(StaticTest, APictureStaysValidAfterTheCacheDropsIt) {
    const int h = list.Add(*surface, POINT{3, 3}, 2012, 1, TRUE);
    resources.cache.Clear();
    ASSERT_EQ(resources.cache.Find(2012), nullptr);
    auto clean = Background();
    list.RedrawAll(*clean, TRUE);
    EXPECT_EQ(clean->GetPixel(4, 4), 60);
    list.RemoveAt(h, clean.get());
    EXPECT_EQ(Pixels(*clean), Pixels(*Background()));
}

TEST_F(StaticTest, NoPictureTakesASlotAndIsNeverHit) {
    const auto before = Pixels(*surface);
    const int h = list.Add(*surface, POINT{5, 5}, 2002, 1, TRUE);
    EXPECT_GE(h, 0);
    EXPECT_EQ(Pixels(*surface), before);
    EXPECT_EQ(list.ClickAt(POINT{5, 5}, TRUE), 0);
    list.RemoveAt(h, surface.get());
    list.RemoveAt(h, surface.get());  // an empty slot does nothing
    EXPECT_EQ(list.GetCount(), 0);
}

}  // namespace
