// Every resource the duravod activity names (activities/duravod/duravod_ids.h) is in the built
// Zelbo2.res, and picture 2 is not: a sprite showing it shows nothing.
#include "activities/duravod/duravod_ids.h"
#include "data/res_item_test_support.h"

TEST(Zelbo2Data, EveryIdTheActivityNamesIsInTheFile) { datatest::ExpectIdsInModule(2, duravod::kIds); }

TEST(Zelbo2Data, ThereIsNoPicture2) {
    CResMgr mgr;
    ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo2.res").c_str()), 1);
    EXPECT_EQ(mgr.FindEntry(kResSPR, 2002), nullptr);
}
