// Every resource the vevudivodizide activity names (activities/vevudivodizide/vevudivodizide_ids.h) is in the built
// Zelbo5.res.
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "data/res_item_test_support.h"

TEST(Zelbo5Data, EveryIdTheActivityNamesIsInTheFile) { datatest::ExpectIdsInModule(5, vevudivodizide::kIds); }
