// Every resource the duravod activity names (activities/duravod/duravod_ids.h) is in the built
// Zelbo2.res.
#include "activities/duravod/duravod_ids.h"
#include "data/res_item_test_support.h"

TEST(Zelbo2Data, EveryIdTheActivityNamesIsInTheFile) { datatest::ExpectIdsInModule(2, duravod::kIds); }
