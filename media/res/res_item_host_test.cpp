// The resource host's shared helpers: the bounded reader of 'IST' list strings.
#include "media/res/res_item_host.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ListItem(std::initializer_list<std::string> strings) {
    std::vector<uint8_t> item{static_cast<uint8_t>(strings.size()), 0};
    for (const std::string& s : strings) {
        item.insert(item.end(), s.begin(), s.end());
        item.push_back(0);
    }
    return item;
}

TEST(ListString, CopiesAreBoundedByTheItemAndTheDestination) {
    const std::string longName(400, 'x');
    const auto item = ListItem({"a", longName});
    char dest[260];
    EXPECT_TRUE(CopyListStringFromItem(item.data(), item.size(), 2, dest, sizeof dest));
    EXPECT_EQ(std::string(dest), std::string(259, 'x'));

    // The last string without its terminator ends at the item's end.
    const std::vector<uint8_t> open{1, 0, 'h', 'e', 'j'};
    EXPECT_TRUE(CopyListStringFromItem(open.data(), open.size(), 1, dest, sizeof dest));
    EXPECT_EQ(std::string(dest), "hej");

    const std::vector<uint8_t> headOnly{1};
    EXPECT_FALSE(CopyListStringFromItem(headOnly.data(), headOnly.size(), 1, dest, sizeof dest));
    EXPECT_EQ(dest[0], 0);
    EXPECT_FALSE(CopyListStringFromItem(item.data(), item.size(), 3, dest, sizeof dest));
    EXPECT_EQ(dest[0], 0);

    char tiny[1] = {'z'};
    EXPECT_TRUE(CopyListStringFromItem(item.data(), item.size(), 1, tiny, sizeof tiny));
    EXPECT_EQ(tiny[0], 0);
}

}  // namespace
