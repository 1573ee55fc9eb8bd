// Every resource the ruduridodu activity names (activities/ruduridodu/ruduridodu_ids.h) is in the built
// Zelbo3.res.
#include "activities/ruduridodu/ruduridodu_ids.h"
#include "data/res_item_test_support.h"

TEST(Zelbo3Data, EveryIdTheActivityNamesIsInTheFile) { datatest::ExpectIdsInModule(3, ruduridodu::kIds); }
