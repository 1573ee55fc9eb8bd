// Every resource the vududoduvaza activity names (activities/vududoduvaza/vududoduvaza_ids.h) is in the built
// Zelbo4.res.
#include "activities/vududoduvaza/vududoduvaza_ids.h"
#include "data/res_item_test_support.h"

TEST(Zelbo4Data, EveryIdTheActivityNamesIsInTheFile) { datatest::ExpectIdsInModule(4, vududoduvaza::kIds); }
