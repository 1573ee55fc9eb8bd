#include "media/res/chunk_pool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// A chunk whose data is a counter of purges.
class CTestChunk : public CMemChunk {
public:
    explicit CTestChunk(int n, bool purgeable = true) : number(n) { m_purgeable = purgeable ? 1 : 0; }
    void* GetData() override { return nullptr; }
    void SetData(void*) override {}
    void ReleaseData() override { ++released; }
    int number;
    int released = 0;
};

// Heap memory where the pool's probe (and, on request, everything) fails.
class CTightMemory : public CChunkPool::IMemory {
public:
    void* Allocate(size_t size) override {
        ++calls;
        if (failAll || (failProbe && size == CChunkPool::kProbeBytes)) return nullptr;
        return std::malloc(size ? size : 1);
    }
    void Release(void* block) override { std::free(block); }
    bool failProbe = true;
    bool failAll = false;
    int calls = 0;
};

class ChunkPoolTest : public ::testing::Test {
protected:
    void TearDown() override {
        chunks.clear();  // unlists them
        TheChunkPool().SetMemory(nullptr);
    }
    void Make(int n, bool purgeable = true) {
        for (int i = 0; i < n; ++i) {
            chunks.push_back(std::make_unique<CTestChunk>(static_cast<int>(chunks.size()), purgeable));
            TheChunkPool().Register(chunks.back().get());
        }
    }
    std::vector<int> Order() {
        std::vector<int> order;
        for (CMemChunk* c : TheChunkPool()) order.push_back(static_cast<CTestChunk*>(c)->number);
        return order;
    }
    CChunkPool& pool = TheChunkPool();
    std::vector<std::unique_ptr<CTestChunk>> chunks;
};

TEST_F(ChunkPoolTest, FiveHundredChunksPurgeTheOldestHundredFirst) {
    Make(500);
    pool.Touch(chunks[0].get());  // chunk 0 is now the most recently used
    void* block = pool.Alloc(CChunkPool::kMovable | CChunkPool::kZeroInit, 64);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(block)[63], 0);
    EXPECT_EQ(pool.GetCount(), 400u);
    for (int i = 1; i <= 100; ++i) EXPECT_EQ(chunks[static_cast<size_t>(i)]->released, 1) << i;
    EXPECT_EQ(chunks[101]->released, 0);
    EXPECT_EQ(chunks[0]->released, 0);
    EXPECT_EQ(Order().back(), 0);
    pool.FreeBlock(block);
    // Below 500 an allocation purges nothing.
    void* again = pool.Alloc(0, 8);
    EXPECT_EQ(pool.GetCount(), 400u);
    pool.FreeBlock(again);
}

TEST_F(ChunkPoolTest, FewerThanFourPurgeOneAtATimeThenTryPlainly) {
    CTightMemory memory;
    pool.SetMemory(&memory);
    Make(3);
    void* block = pool.Alloc(0, 100);  // every probe fails: memory is short
    ASSERT_NE(block, nullptr);          // the last plain try, without a probe
    EXPECT_EQ(pool.GetCount(), 0u);
    for (const auto& c : chunks) EXPECT_EQ(c->released, 1);
    // Three purges of one and a fourth try on the empty list: 4 rounds of block + probe, then
    // the plain allocation.
    EXPECT_EQ(memory.calls, 4 * 2 + 1);
    pool.FreeBlock(block);

    memory.failAll = true;
    Make(2);
    EXPECT_EQ(pool.Alloc(0, 100), nullptr);
    EXPECT_EQ(pool.GetCount(), 0u);
    EXPECT_FALSE(pool.Purge(2));  // an empty list has nothing to purge
}

TEST_F(ChunkPoolTest, BuiltChunksLeaveTheListWithTheirData) {
    Make(2, false);
    Make(1, true);
    EXPECT_TRUE(pool.Purge(1));
    EXPECT_EQ(chunks[0]->released, 0);
    EXPECT_FALSE(pool.IsListed(chunks[0].get()));
    EXPECT_EQ(Order(), (std::vector<int>{1, 2}));
}

TEST_F(ChunkPoolTest, RegisterTouchAndRemove) {
    Make(4);
    pool.Register(chunks[1].get());  // a listed chunk is touched, not added twice
    EXPECT_EQ(Order(), (std::vector<int>{0, 2, 3, 1}));
    pool.Remove(pool.Find(chunks[2].get()));
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 1}));
    pool.Touch(chunks[2].get());  // unlisted: stays unlisted
    EXPECT_EQ(pool.Find(chunks[2].get()), pool.end());
    chunks[3].reset();  // destruction unlists
    EXPECT_EQ(Order(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(pool.Purge(100));  // n at least 4: up to n from the head
    EXPECT_EQ(pool.GetCount(), 0u);
}

}  // namespace
