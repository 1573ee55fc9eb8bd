// GetResItem and LoadHotspotTable through the engine seam, on resource files in memory.
#include "media/res/item_cache.h"

#include <gtest/gtest.h>

#include "media/res/res_items_test_support.h"
#include "platform/core/byte_order.h"

namespace {

using itemtest::Bytes;
using itemtest::Spr;

class ItemCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        media::CResWriter shared, m2;
        shared.Add("SPR", 1, Spr(2, {{1, 1}}));
        m2.Add("SPR", 2010, Spr(3, {{1, 2, 3}, {4, 5, 6}}));
        m2.Add("SPR", 2011, Spr(2, {{7, 7}}));
        m2.Add("SPR", 2020, Bytes{3, 0, 0, 0, 2, 0, 0, 0, 7, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7});  // 7 of 8 bytes
        m2.Add("SPR", 2021, Spr(2, {{1, 1}}));
        Bytes absurd = Spr(2, {{1, 1}});
        plat::SetLe32(absurd, 4, 0x10000000);
        m2.Add("SPR", 2021 + 1, absurd);  // 2022
        // Relative ids 10 and -11 (a negative id is the module's own block too), and a tail
        // shorter than a record.
        Bytes table = itemtest::Hotspots({{10, 3, 4}, {-11, -1, 2}});
        table.push_back(0x55);
        m2.Add("HT#", 2500, table);
        ASSERT_TRUE(host.OpenModule(0, shared));
        ASSERT_TRUE(host.OpenModule(2, m2));
    }
    itemtest::CTestHost host;
};

TEST_F(ItemCacheTest, IdRules) {
    for (int32_t id : {2, 1002, 2002, 9002}) EXPECT_EQ(GetResItem(id, TRUE), nullptr) << id;
    EXPECT_EQ(host.cache.GetCount(), 0u);
    CSprite* one = GetResItem(1, TRUE);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->GetId(), 1);
    EXPECT_EQ(one->Width(), 2);
    for (int32_t id : {1001, 2001, 5001}) EXPECT_EQ(GetResItem(id, TRUE), one) << id;
    EXPECT_EQ(host.cache.GetCount(), 1u);
    EXPECT_EQ(host.services, 8);  // every call services the sound once
}

TEST_F(ItemCacheTest, LoadsOnRequestAndCachesFailures) {
    CSprite* unloaded = GetResItem(2010, FALSE);
    ASSERT_NE(unloaded, nullptr);
    EXPECT_FALSE(unloaded->IsLoaded());
    CSprite* loaded = GetResItem(2010, TRUE);
    EXPECT_EQ(loaded, unloaded);
    EXPECT_TRUE(loaded->IsLoaded());
    EXPECT_EQ(loaded->Height(), 2);
    EXPECT_EQ(loaded->Bits()[loaded->Stride() + 2], 6);

    EXPECT_EQ(GetResItem(2999, TRUE), nullptr);  // no such item
    EXPECT_NE(host.cache.Find(2999), nullptr);   // stays cached, unloaded
    EXPECT_EQ(GetResItem(3010, TRUE), nullptr);  // no manager for module 3
}

TEST_F(ItemCacheTest, DamagedItemsAreRefused) {
    EXPECT_EQ(GetResItem(2020, TRUE), nullptr);  // fewer pixel bytes than rows
    EXPECT_EQ(GetResItem(2022, TRUE), nullptr);  // absurd height
    CSprite* damaged = static_cast<CSprite*>(host.cache.Find(2020));
    ASSERT_NE(damaged, nullptr);
    EXPECT_EQ(damaged->Bits(), nullptr);
    EXPECT_FALSE(damaged->EnsureLoaded());
}

TEST_F(ItemCacheTest, PurgedPicturesReloadOnUse) {
    CSprite* s = GetResItem(2010, TRUE);
    CSprite* t = GetResItem(2011, TRUE);
    GetResItem(2010, TRUE);  // touched: 2011 is now the oldest
    ASSERT_TRUE(TheChunkPool().Purge(1));
    EXPECT_TRUE(s->IsLoaded());
    EXPECT_FALSE(t->IsLoaded());
    void* data = t->GetData();  // loads it again
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(data, t->Bits());
    EXPECT_TRUE(TheChunkPool().IsListed(t));
}

TEST_F(ItemCacheTest, HotspotBeforeLoadingSurvivesPurgeAndReload) {
    LoadHotspotTable(2500);
    CSprite* s = static_cast<CSprite*>(host.cache.Find(2010));
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->IsLoaded());  // made without loading
    EXPECT_EQ(s->HotspotX(), 3);
    EXPECT_EQ(s->HotspotY(), 4);
    ASSERT_EQ(GetResItem(2010, TRUE), s);
    EXPECT_EQ(s->HotspotX(), 3);
    TheChunkPool().Purge(TheChunkPool().GetCount() < 4 ? 1 : 4);
    ASSERT_FALSE(s->IsLoaded());
    ASSERT_TRUE(s->EnsureLoaded());
    EXPECT_EQ(s->HotspotX(), 3);
    EXPECT_EQ(s->HotspotY(), 4);

    CSprite* negative = static_cast<CSprite*>(host.cache.Find(-2011));
    ASSERT_NE(negative, nullptr);  // -11 in module 2 is -2011
    EXPECT_EQ(negative->HotspotX(), -1);
    EXPECT_EQ(negative->HotspotY(), 2);
    EXPECT_EQ(host.cache.GetCount(), 2u);

    LoadHotspotTable(2501);  // no such table: nothing happens
    EXPECT_EQ(host.cache.GetCount(), 2u);
}

TEST_F(ItemCacheTest, WithoutAHostNothingIsFound) {
    SetResItemHost(nullptr);
    EXPECT_EQ(GetResItem(2010, TRUE), nullptr);
    LoadHotspotTable(2500);
    CSprite s(2010);
    EXPECT_FALSE(s.Load());
    SetResItemHost(&host);
}

}  // namespace
