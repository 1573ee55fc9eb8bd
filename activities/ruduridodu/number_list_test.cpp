// Number lists read within their items: the length word cuts, and so does the item's size.
#include <gtest/gtest.h>

#include <vector>

#include "activities/ruduridodu/number_list.h"

namespace {

struct ParseCase {
    std::vector<uint8_t> bytes;
    std::vector<int16_t> values;
};

class NumberListParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(NumberListParse, ReadsTheValuesTheItemHolds) {
    const CNumberList l = CNumberList::Parse(GetParam().bytes);
    const auto& want = GetParam().values;
    ASSERT_EQ(l.Count(), static_cast<int16_t>(want.size()));
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(l[static_cast<int>(i + 1)], want[i]);
    EXPECT_EQ(l[0], 0);
    EXPECT_EQ(l[l.Count() + 1], 0);
    EXPECT_EQ(l[-5], 0);
}

INSTANTIATE_TEST_SUITE_P(Ruduridodu, NumberListParse,
                         ::testing::Values(ParseCase{{}, {}}, ParseCase{{3}, {}}, ParseCase{{0, 0, 9, 9}, {}},
                                           ParseCase{{2, 0, 5, 0, 0xFF, 0xFF}, {5, -1}},
                                           ParseCase{{2, 0, 5, 0, 6, 0, 7, 0}, {5, 6}},
                                           ParseCase{{9, 0, 5, 0, 6}, {5}},
                                           ParseCase{{0xFF, 0xFF, 1, 0, 2, 0}, {1, 2}}));

}  // namespace
