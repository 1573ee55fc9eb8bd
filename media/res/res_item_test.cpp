// Uses of resource items: an item the cache lets go lives on while something still shows it.
#include "media/res/res_item.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "media/res/res_items_test_support.h"

namespace {

using itemtest::Spr;

// A sprite that reports its deletion.
class CCountedSprite : public CSprite {
public:
    CCountedSprite(int32_t id, int& deleted) : CSprite(id), m_deleted(deleted) {}
    ~CCountedSprite() override { ++m_deleted; }

private:
    int& m_deleted;
};

// Every way the cache lets its items go.
struct DropCase {
    const char* name;
    std::function<void(std::unique_ptr<CResItemTable>&)> drop;
};

class ResItemUseTest : public ::testing::TestWithParam<DropCase> {};

TEST_P(ResItemUseTest, AHeldItemOutlivesTheCacheAndGoesWithItsLastUse) {
    int deleted = 0;
    auto table = std::make_unique<CResItemTable>();
    table->Init(100);
    auto* held = new CCountedSprite(2010, deleted);
    auto* free = new CCountedSprite(2011, deleted);
    ASSERT_TRUE(held->LoadFromBytes(Spr(2, {{5, 6}})));
    ASSERT_TRUE(free->LoadFromBytes(Spr(1, {{1}})));
    table->Insert(2010, held);
    table->Insert(2011, free);

    CResItemRef<CSprite> first(held);
    CResItemRef<CSprite> second = first;
    EXPECT_EQ(held->UseCount(), 2u);

    GetParam().drop(table);
    EXPECT_EQ(deleted, 1);  // the unused one went at once
    EXPECT_TRUE(held->IsDropped());
    EXPECT_EQ(held->Bits()[1], 6);  // still whole (AddressSanitizer reads it)
    table.reset();
    EXPECT_EQ(deleted, 1);

    first.Reset();
    EXPECT_EQ(deleted, 1);
    second.Reset();
    EXPECT_EQ(deleted, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Drops, ResItemUseTest,
    ::testing::Values(DropCase{"RemoveRange", [](auto& t) { t->RemoveRange(2000, 2999); }},
                      DropCase{"Clear", [](auto& t) { t->Clear(); }},
                      DropCase{"Init", [](auto& t) { t->Init(10); }},
                      DropCase{"Destroy", [](auto& t) { t.reset(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResItemUse, ReferencesCountCopiesMovesAndResets) {
    int deleted = 0;
    auto* a = new CCountedSprite(-1, deleted);
    auto* b = new CCountedSprite(-1, deleted);
    {
        CResItemRef<CSprite> r(a);
        CResItemRef<CSprite> moved = std::move(r);
        EXPECT_FALSE(r);
        EXPECT_EQ(a->UseCount(), 1u);
        CResItemRef<CSprite> copy;
        copy = moved;
        EXPECT_EQ(a->UseCount(), 2u);
        copy.Reset(b);
        EXPECT_EQ(a->UseCount(), 1u);
        EXPECT_EQ(b->UseCount(), 1u);
        const CResItemRef<CSprite>& same = copy;
        copy = same;  // onto itself: the use is kept
        EXPECT_EQ(b->UseCount(), 1u);
        moved.Reset(a);  // the same item again
        EXPECT_EQ(a->UseCount(), 1u);
    }
    EXPECT_EQ(a->UseCount(), 0u);
    EXPECT_EQ(deleted, 0);  // not dropped: the cache still owns them
    a->Drop();
    b->Drop();
    EXPECT_EQ(deleted, 2);
}

// A dropped picture is no longer the cache's: no purge frees its pixels, and one whose
// pixels were purged before the drop loads them again without keeping the directory entry of
// a resource file that may close next.
TEST(ResItemUse, ADroppedPictureKeepsItsPixelsAndNoEntry) {
    itemtest::CTestHost host;
    media::CResWriter m2;
    m2.Add("SPR", 2010, Spr(2, {{3, 4}}));
    m2.Add("SPR", 2011, Spr(2, {{7, 8}}));
    ASSERT_TRUE(host.OpenModule(2, m2));

    CResItemRef<CSprite> loaded(GetResItem(2010, TRUE));
    CResItemRef<CSprite> purged(GetResItem(2011, TRUE));
    ASSERT_TRUE(loaded && purged);
    while (TheChunkPool().Purge(1)) {
    }
    ASSERT_EQ(purged->Bits(), nullptr);
    ASSERT_TRUE(loaded->EnsureLoaded());

    host.cache.RemoveRange(2000, 2999);
    EXPECT_FALSE(TheChunkPool().IsListed(loaded.Get()));
    EXPECT_EQ(loaded->GetEntry(), nullptr);
    EXPECT_EQ(TheChunkPool().GetCount(), 0u);  // nothing listed to purge
    EXPECT_EQ(loaded->Bits()[1], 4);

    ASSERT_TRUE(purged->EnsureLoaded());
    EXPECT_EQ(purged->Bits()[0], 7);
    EXPECT_EQ(purged->GetEntry(), nullptr);
    EXPECT_FALSE(TheChunkPool().IsListed(purged.Get()));
    host.managers[2].reset();  // the module's file closes; the pictures do not care
    EXPECT_EQ(purged->Bits()[1], 8);
}

}  // namespace
