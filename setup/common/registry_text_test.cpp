#include "setup/common/registry_text.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace setup {
namespace {

struct HexCase {
    const char* name;
    std::string text;
    std::vector<uint8_t> bytes;
};

std::vector<HexCase> HexCases() {
    std::vector<HexCase> cases = {
        {"PairsWithBlanks", "0A 1b ff", {0x0A, 0x1B, 0xFF}},
        {"DigitsInARow", "0a1BfF", {0x0A, 0x1B, 0xFF}},
        {"AnythingBetweenDigitsIsSkipped", "0-A;", {0x0A}},
        {"PairSplitByOtherCharacters", "1 2x3g4", {0x12, 0x34}},
        {"CommaIsSkippedLikeABlank", "01,02", {0x01, 0x02}},
        {"SemicolonEndsTheField", "01 02;03 04", {0x01, 0x02}},
        {"OddLastDigitDropped", "12 3", {0x12}},
        {"NoDigits", "xyz ghij", {}},
        {"Empty", "", {}},
        {"HighBytesAreNoDigits", "\xC5" "1\xE4" "2", {0x12}},
    };
    // 300 pairs: only the first 256 bytes are kept.
    std::string many;
    std::vector<uint8_t> first256;
    for (int i = 0; i < 300; ++i) {
        const char digits[] = "0123456789abcdef";
        many += digits[(i >> 4) & 15];
        many += digits[i & 15];
        many += ' ';
        if (i < 256) first256.push_back(static_cast<uint8_t>(i));
    }
    cases.push_back({"AtMost256Bytes", many, first256});
    return cases;
}

class HexBytes : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexBytes, ParsesTheField) {
    const HexCase& c = GetParam();
    std::array<uint8_t, kHexByteBuffer> out{};
    const size_t n = ParseHexBytes(out, c.text);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n)), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Table, HexBytes, ::testing::ValuesIn(HexCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HexDigitValue, DigitsAndEverythingElse) {
    const std::string digits = "0123456789ABCDEFabcdef";
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (size_t i = 0; i < digits.size(); ++i) EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
    for (const char c : std::string("gG/:@`x \xFF")) EXPECT_EQ(HexDigitValue(c), 0) << c;
}

TEST(RegistryPathOfKey, OneBackslashAfterSoftware) {
    EXPECT_EQ(RegistryPathOfKey("Quorva\\Zelbo"), "Software\\Quorva\\Zelbo");
    EXPECT_EQ(RegistryPathOfKey("\\Quorva\\Zelbo"), "Software\\Quorva\\Zelbo");
    EXPECT_EQ(RegistryPathOfKey(""), "Software\\");
}

}  // namespace
}  // namespace setup
