#include "media/util/handle_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Every test starts and must end with an empty table, so that a leak shows in the next test.
class HandleTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(HandleTableInUse(), 0); }
    void TearDown() override {
        media::SetHandleTableAllocator({});
        for (HBLOCK h : held) HandleTableFree(h);
        EXPECT_EQ(HandleTableInUse(), 0);
    }
    HBLOCK New(uint32_t size) {
        HBLOCK h = HandleTableNew(size);
        if (h) held.push_back(h);
        return h;
    }
    std::vector<HBLOCK> held;
};

TEST_F(HandleTableTest, HundredSlotsThenNullAndLowestFreeSlotIsReused) {
    for (int i = 0; i < kHandleTableSlots; ++i) {
        HBLOCK h = New(static_cast<uint32_t>(i + 1));
        ASSERT_NE(h, nullptr) << i;
        EXPECT_EQ(HandleTableFind(h), i);
        EXPECT_EQ(HandleTableSize(h), static_cast<uint32_t>(i + 1));
    }
    EXPECT_EQ(HandleTableNew(8), nullptr);
    EXPECT_EQ(HandleTableInUse(), kHandleTableSlots);

    HBLOCK slot3 = held[3];
    HBLOCK slot7 = held[7];
    HandleTableFree(slot7);
    HandleTableFree(slot3);
    EXPECT_EQ(HandleTableFind(slot3), -1);
    EXPECT_EQ(HandleTableDeref(slot3), nullptr);
    EXPECT_EQ(HandleTableSize(slot3), 0u);
    EXPECT_EQ(HandleTableNew(16), slot3);
    EXPECT_EQ(HandleTableNew(16), slot7);
    EXPECT_EQ(HandleTableNew(16), nullptr);
}

TEST_F(HandleTableTest, ResizeKeepsHandleAndContents) {
    HBLOCK h = New(4);
    ASSERT_NE(h, nullptr);
    std::memcpy(HandleTableDeref(h), "abcd", 4);

    ASSERT_EQ(HandleTableResize(h, 100000), 0);
    EXPECT_EQ(HandleTableSize(h), 100000u);
    EXPECT_EQ(std::memcmp(*h, "abcd", 4), 0) << "the handle reaches the moved block";

    ASSERT_EQ(HandleTableResize(h, 2), 0);
    EXPECT_EQ(std::memcmp(HandleTableDeref(h), "ab", 2), 0);

    ASSERT_EQ(HandleTableResize(h, 0), 0);
    EXPECT_EQ(HandleTableSize(h), 0u);
    EXPECT_NE(HandleTableDeref(h), nullptr) << "a zero-length block keeps its slot";
    EXPECT_EQ(HandleTableFind(h), 0);
    EXPECT_EQ(HandleTableFind(New(1)), 1);
}

TEST_F(HandleTableTest, FailedAllocationsChangeNothing) {
    HBLOCK h = New(3);
    std::memcpy(*h, "xyz", 3);
    media::SetHandleTableAllocator([](void*, size_t) -> void* { return nullptr; });

    EXPECT_EQ(HandleTableNew(10), nullptr);
    EXPECT_EQ(HandleTableInUse(), 1) << "a failed allocation leaves its slot free";
    EXPECT_EQ(HandleTableResize(h, 50), 0xFFFF);
    EXPECT_EQ(HandleTableResize(h, 0), 0xFFFF);
    EXPECT_EQ(HandleTableSize(h), 3u);
    EXPECT_EQ(std::memcmp(HandleTableDeref(h), "xyz", 3), 0);

    media::SetHandleTableAllocator({});
    EXPECT_EQ(HandleTableFind(New(10)), 1);
}

TEST_F(HandleTableTest, ForeignAndStaleHandlesAreRejected) {
    void* local = std::malloc(8);
    HBLOCK foreign = &local;
    HBLOCK h = New(8);
    HBLOCK past = h + kHandleTableSlots;  // just beyond the table

    for (HBLOCK bad : {foreign, past, static_cast<HBLOCK>(nullptr)}) {
        EXPECT_EQ(HandleTableFind(bad), -1);
        EXPECT_EQ(HandleTableDeref(bad), nullptr);
        EXPECT_EQ(HandleTableSize(bad), 0u);
        EXPECT_EQ(HandleTableResize(bad, 4), 0xFFFF);
        HandleTableFree(bad);  // ignored
    }
    EXPECT_EQ(local, *foreign) << "a foreign handle is never written through";
    std::free(local);

    HandleTableFree(h);
    held.clear();
    EXPECT_EQ(HandleTableResize(h, 16), 0xFFFF) << "a freed slot is not brought back by a resize";
    EXPECT_EQ(HandleTableInUse(), 0);
}

TEST(MoveBytes, OverlappingRangesBothWays) {
    char up[] = "0123456789";
    MoveBytes(up, up + 2, 6);
    EXPECT_STREQ(up, "0101234589");
    char down[] = "0123456789";
    MoveBytes(down + 3, down, 7);
    EXPECT_STREQ(down, "3456789789");
    MoveBytes(nullptr, nullptr, 0);
}

}  // namespace
