// Every resource the shapes activity names (activities/shapes/shapes_ids.h) is in the built
// Zelbo6.res.
#include "activities/shapes/shapes_ids.h"
#include "data/res_item_test_support.h"

TEST(Zelbo6Data, EveryIdTheActivityNamesIsInTheFile) { datatest::ExpectIdsInModule(6, shapes::kIds); }
