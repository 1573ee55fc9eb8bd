#include "media/res/res_writer.h"

#include <gtest/gtest.h>

namespace {

// Only codes the reader's signed comparison orders correctly are accepted (three or four
// printable ASCII characters), and a (type, id) only once.
TEST(ResWriter, RefusesCodesTheReaderCannotSortAndDuplicates) {
    media::CResWriter w;
    for (const char* bad : {"", "SP", "SPRIT", "S R", "SP\x80", "\x7F" "AB"}) EXPECT_FALSE(w.Add(bad, 1, "x")) << bad;
    EXPECT_FALSE(w.Add(std::string_view("SP\0", 3), 1, "x"));
    EXPECT_TRUE(w.Add("SPR", 1, "a"));
    EXPECT_FALSE(w.Add("SPR", 1, "b"));
    EXPECT_TRUE(w.Add("SPR", 2, "b"));
    EXPECT_TRUE(w.Add("sprt", 1, "c"));
    EXPECT_TRUE(w.Has("SPR", 2));
    EXPECT_FALSE(w.Has("SPR", 3));
    EXPECT_EQ(w.Count(), 3u);
}

// An empty writer still makes a valid file: the header, and the directory at its end.
TEST(ResWriter, EmptyFileIsJustTheHeader) {
    const std::vector<uint8_t> file = media::CResWriter().Build();
    EXPECT_EQ(file, (std::vector<uint8_t>{0x1A, 0x92, 8, 0, 0, 0, 0, 0}));
}

}  // namespace
