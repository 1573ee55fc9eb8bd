#include "media/res/res_item_table.h"

#include <gtest/gtest.h>

#include "media/res/slot_list.h"
#include "media/res/sprite.h"

namespace {

// A sprite that reports its deletion.
class CCountedSprite : public CSprite {
public:
    CCountedSprite(int32_t id, int& deleted) : CSprite(id), m_deleted(deleted) {}
    ~CCountedSprite() override { ++m_deleted; }

private:
    int& m_deleted;
};

TEST(ResItemTable, RemoveRangeKeepsBuiltItemsUnlessDestroying) {
    int deleted = 0;
    CResItemTable table;
    ASSERT_TRUE(table.Init(100));
    EXPECT_FALSE(table.Init(0));
    auto* loaded = new CCountedSprite(2010, deleted);
    auto* built = new CCountedSprite(2110, deleted);
    built->AllocBits(2, 2);
    auto* other = new CCountedSprite(3010, deleted);
    auto* negative = new CCountedSprite(-2010, deleted);
    table.Insert(2010, loaded);
    table.Insert(2110, built);  // the same bucket as 2010
    table.Insert(3010, other);
    table.Insert(-2010, negative);
    EXPECT_EQ(table.Find(2110), built);
    EXPECT_EQ(table.Find(-2010), negative);

    table.RemoveRange(2000, 2999);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(table.Find(2010), nullptr);
    EXPECT_EQ(table.Find(2110), built);

    table.SetDestroying(true);
    table.RemoveRange(2110, 2110);
    table.SetDestroying(false);
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(table.Find(2110), nullptr);

    table.Clear();  // every id, the negative one too
    EXPECT_EQ(deleted, 4);
    EXPECT_EQ(table.GetCount(), 0u);
}

TEST(ResItemTable, DestructionDeletesEverything) {
    int deleted = 0;
    {
        CResItemTable table;
        table.Init(7);
        for (int i = 0; i < 20; ++i) {
            auto* s = new CCountedSprite(i * 3 - 10, deleted);
            if (i % 2) s->AllocBits(1, 1);
            table.Insert(i * 3 - 10, s);
        }
        table.Clear();  // keeps the built ones
        EXPECT_EQ(deleted, 10);
        EXPECT_EQ(table.GetCount(), 10u);
    }
    EXPECT_EQ(deleted, 20);
}

TEST(SlotList, ChainsAndFreeSlots) {
    CSlotList list;
    ASSERT_TRUE(list.Init(3));
    EXPECT_EQ(list.Head(), -1);
    EXPECT_EQ(list.Next(0), -1);  // a free slot
    int a = 1, b = 2, c = 3, d = 4;
    EXPECT_EQ(list.AddTail(&a), 0);
    EXPECT_EQ(list.AddTail(&b), 1);
    EXPECT_EQ(list.AddHead(&c), 2);
    EXPECT_EQ(list.AddTail(&d), -1);  // full
    EXPECT_EQ(list.Head(), 2);
    EXPECT_EQ(list.Next(2), 0);
    EXPECT_EQ(list.Next(0), 1);
    EXPECT_EQ(list.Tail(), 1);
    EXPECT_EQ(list.Prev(1), 0);
    list.Remove(0);
    EXPECT_EQ(list.Next(0), -1);
    EXPECT_EQ(list.Prev(0), -1);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(list.Next(2), 1);
    EXPECT_EQ(list.Prev(1), 2);
    list.Remove(0);  // already free: ignored
    list.Remove(57);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.AddTail(&d), 0);  // the freed slot again
    EXPECT_EQ(list.Tail(), 0);
    EXPECT_EQ(list.Item(0), &d);
    // Replacing keeps the slot's place in the chain; a free slot or a null item is refused.
    EXPECT_TRUE(list.Replace(2, &a));
    EXPECT_EQ(list.Item(2), &a);
    EXPECT_EQ(list.Head(), 2);
    EXPECT_EQ(list.Next(2), 1);
    EXPECT_FALSE(list.Replace(2, nullptr));
    list.Remove(1);
    EXPECT_FALSE(list.Replace(1, &b));
    EXPECT_EQ(list.Item(1), nullptr);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.Next(57), -1);
    EXPECT_EQ(list.Prev(-1), -1);
    list.Free();
    EXPECT_EQ(list.Head(), -1);
    EXPECT_EQ(list.AddTail(&a), -1);
    EXPECT_FALSE(list.Init(0));
}

}  // namespace
