// The module's snapshot on the activity kit over the built Zelbo3.res: it reads the round, its
// car and its rings as they stand, and taking it changes nothing.
#include "activities/ruduridodu/module3_view.h"

#include <gtest/gtest.h>

#include <vector>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/ruduridodu_kit_test_support.h"
#include "activities/ruduridodu/slot_target.h"
#include "platform/core/crt.h"

namespace {

using ruduridodutest::TestRound;

class Module3ViewTest : public ruduridodutest::KitTest {};

TEST_F(Module3ViewTest, ReadsTheRoundItsCarAndRingsAndChangesNothing) {
    const CModule3State& m = Module3::View();
    ASSERT_NE(m.currentRound, nullptr);
    const auto sprites = Sprites();
    plat::SRand(7);
    const int next = plat::Rand();
    plat::SRand(7);
    ClearClips();
    Module3Snapshot s = Module3View();
    EXPECT_EQ(plat::Rand(), next) << "no random number drawn";
    EXPECT_EQ(Sprites(), sprites);
    EXPECT_TRUE(Clips().empty());
    EXPECT_TRUE(s.levelMode);
    EXPECT_EQ(s.level, m.level);
    EXPECT_EQ(s.taskIndex, m.taskIndex);
    EXPECT_TRUE(s.pieces.empty());
    ASSERT_TRUE(s.hasCar);
    EXPECT_EQ(s.car.record, m.currentRound->GetCurrentTile()->Record());
    EXPECT_EQ(s.car.number, m.currentRound->GetCurrentTile()->Number());

    // A round of the test's making: records, the current car where it stands, the rings' ovals.
    TestRound& round = *Play({{53, 20, true}, {12}});
    CRoundTile* car = Car(round, 2, 300, 40, 33, 22);
    car->SetNumber(47);
    round.SetCurrentTile(car);
    s = Module3View();
    ASSERT_EQ(s.records.size(), 3u);
    EXPECT_EQ(s.records[1].value, 53);
    EXPECT_EQ(s.records[1].extra, 20);
    EXPECT_TRUE(s.records[1].marked);
    EXPECT_EQ(s.records[2].value, 12);
    EXPECT_FALSE(s.records[2].marked);
    ASSERT_TRUE(s.hasCar);
    EXPECT_EQ(s.car.record, 2);
    EXPECT_EQ(s.car.number, 47);
    EXPECT_FALSE(s.car.placed);
    int16_t w = 0, h = 0;
    GetPictureSize(GetSpriteFrame(car->Sprite()), w, h);
    EXPECT_EQ(s.car.rect.left, 300);
    EXPECT_EQ(s.car.rect.right - s.car.rect.left, w);
    EXPECT_EQ(s.car.rect.bottom - s.car.rect.top, h);
    ASSERT_EQ(s.rings.size(), 2u);
    for (const Module3Snapshot::Ring& r : s.rings) {
        SCOPED_TRACE(r.number);
        EXPECT_EQ(r.value, round.GetContainer(r.number)->Value());
        // The oval's box: its top and left edges are on the oval (outside), a step in is inside.
        EXPECT_EQ(round.ContainerAt(r.centreX, r.oval.top), 10);
        EXPECT_EQ(round.ContainerAt(r.centreX, static_cast<int16_t>(r.oval.top + 2)), r.number);
        EXPECT_EQ(round.ContainerAt(static_cast<int16_t>(r.oval.right - 2), r.centreY), r.number);
        EXPECT_EQ(round.ContainerAt(static_cast<int16_t>(r.oval.right + 1), r.centreY), 10);
    }

    // Without a round: nothing of one.
    Module3::FreeRound();
    s = Module3View();
    EXPECT_TRUE(s.records.empty());
    EXPECT_FALSE(s.hasCar);
    EXPECT_TRUE(s.rings.empty());
}

}  // namespace
