// The round's tile list: the order tiles are inserted in, handing out, removal.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "activities/ruduridodu/round_task.h"
#include "platform/core/crt.h"

namespace {

std::vector<CRoundTile*> Order(const CTileList& list) {
    std::vector<CRoundTile*> out;
    for (CRoundTile* t = list.First(); t; t = t->Link()) out.push_back(t);
    return out;
}

CRoundTile* NewTile() {
    auto* t = new CRoundTile;
    t->Init();
    return t;
}

TEST(TileList, TheFirstTileStaysFirstAndEveryOtherLandsAtRandom) {
    std::set<size_t> placesOfTheLast;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        plat::SRand(seed);
        CTileList list;
        CRoundTile* first = NewTile();
        list.InsertRandom(first);
        std::vector<CRoundTile*> all{first};
        for (int i = 0; i < 7; ++i) {
            all.push_back(NewTile());
            list.InsertRandom(all.back());
        }
        const auto order = Order(list);
        ASSERT_EQ(order.size(), 8u);
        ASSERT_EQ(list.Count(), 8);
        EXPECT_EQ(order.front(), first);
        EXPECT_EQ(std::set<CRoundTile*>(order.begin(), order.end()), std::set<CRoundTile*>(all.begin(), all.end()));
        for (size_t i = 0; i < order.size(); ++i) {
            if (order[i] == all.back()) placesOfTheLast.insert(i);
        }
    }
    EXPECT_EQ(placesOfTheLast, (std::set<size_t>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(TileList, TakeNextWhenExhaustedGivesNullAndChangesNoTally) {
    CTileList list;
    EXPECT_EQ(list.TakeNext(), nullptr);
    for (int i = 0; i < 3; ++i) list.InsertRandom(NewTile());
    list.Rewind();
    for (int i = 0; i < 3; ++i) EXPECT_NE(list.TakeNext(), nullptr);
    EXPECT_EQ(list.HandedOut(), 3);
    EXPECT_EQ(list.Out(), 3);
    EXPECT_EQ(list.TakeNext(), nullptr);
    EXPECT_EQ(list.TakeNext(), nullptr);
    EXPECT_EQ(list.HandedOut(), 3);
    EXPECT_EQ(list.Out(), 3);
    EXPECT_EQ(list.Count(), 3);
}

TEST(TileList, RemoveTakesMembersOutAndLeavesStrangersTalliesAlone) {
    CTileList list;
    std::vector<CRoundTile*> tiles;
    for (int i = 0; i < 4; ++i) {
        tiles.push_back(NewTile());
        list.InsertRandom(tiles.back());
    }
    list.Rewind();
    CRoundTile* a = list.TakeNext();
    CRoundTile* b = list.TakeNext();
    CRoundTile stranger;
    stranger.Init();
    stranger.SetLink(a);
    list.Remove(&stranger);
    EXPECT_EQ(stranger.Link(), nullptr);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Out(), 2);
    EXPECT_EQ(Order(list).size(), 4u);

    list.Remove(b);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Out(), 1);
    EXPECT_EQ(b->Link(), nullptr);
    delete b;
    list.Remove(a);  // the first
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Out(), 0);
    delete a;
    EXPECT_EQ(Order(list).size(), 2u);
    // The tiles not yet handed out still come, and only those.
    int handed = 0;
    while (list.TakeNext()) ++handed;
    EXPECT_EQ(handed, 2);
}

TEST(TileList, FindsTilesByIdAndNotByANullSprite) {
    CTileList list;
    CRoundTile* t = NewTile();
    list.InsertRandom(t);
    EXPECT_EQ(list.FindById(t->Id()), t);
    EXPECT_EQ(list.FindById(static_cast<uint16_t>(t->Id() + 1)), nullptr);
    EXPECT_EQ(list.FindBySprite(nullptr), nullptr);
}

}  // namespace
