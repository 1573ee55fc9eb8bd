#include "media/text/cor_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/text/text_host.h"

namespace {

std::string Text(const CCorString& s) {
    return std::string(s.CStr(), static_cast<size_t>(s.Length()));
}

const BYTE* B(const char* s) {
    return reinterpret_cast<const BYTE*>(s);
}

struct CompareCase {
    const char* a;
    const char* b;
    bool caseSensitive;
    uint16_t expected;
};

class CompareTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareTest, GivesTheResultCode) {
    const CompareCase& c = GetParam();
    const CCorString a(c.a);
    const CCorString b(c.b);
    EXPECT_EQ(c.caseSensitive ? a.CompareString(b) : a.CompareNoCase(b), c.expected) << c.a << " / " << c.b;
}

INSTANTIATE_TEST_SUITE_P(
    Strings, CompareTest,
    testing::Values(
        CompareCase{"abd", "abc", true, kCompareAfter}, CompareCase{"abc", "abd", true, kCompareBefore},
        CompareCase{"abc", "abc", true, kCompareEqual}, CompareCase{"ab", "abc", true, kComparePrefix},
        CompareCase{"abc", "ab", true, kComparePrefix}, CompareCase{"", "", true, kCompareEqual},
        CompareCase{"", "x", true, kComparePrefix}, CompareCase{"Anna", "anna", true, kCompareBefore},
        CompareCase{"Anna", "anna", false, kCompareEqual},
        // Bytes are signed: 0x80 and above sort before ASCII.
        CompareCase{"\xE5", "a", true, kCompareBefore}, CompareCase{"a", "\xE5", true, kCompareAfter},
        // Only A-Z fold: Å (0xC5) and å (0xE5) stay apart, 0xC5 < 0xE5 as signed bytes too.
        CompareCase{"\xC5sa", "\xE5sa", false, kCompareBefore},
        CompareCase{"\xE5sa", "\xC5sa", false, kCompareAfter},
        // Folding happens only where bytes differ: '[' (0x5B) is not a letter.
        CompareCase{"[", "{", false, kCompareBefore}, CompareCase{"Z", "a", false, kCompareAfter}));

TEST(CorString, CompareTextUsesTheCStringLength) {
    const CCorString s("abc");
    EXPECT_EQ(s.CompareText("abc"), kCompareEqual);
    EXPECT_EQ(s.CompareText("abcd"), kComparePrefix);
    EXPECT_EQ(s.Compare(B("abX"), 2, 1), kComparePrefix);
}

TEST(CorString, EditsKeepLengthCapacityAndTerminator) {
    struct Case {
        const char* start;
        int op;  // 0 insert, 1 delete
        const char* bytes;
        int16_t a;
        int16_t b;
        const char* expected;
    } const cases[] = {
        {"abc", 0, "XY", 2, 1, "aXYbc"},    {"abc", 0, "XY", 2, 3, "abcXY"},
        {"abc", 0, "XY", 2, 9, "abcXY"},    {"abc", 0, "XY", 2, 0, "XYabc"},
        {"abc", 0, "XY", 0, 1, "abc"},      {"abc", 0, "XY", 2, -1, "abc"},
        {"abcdef", 1, "", 2, 10, "ab"},     {"abcdef", 1, "", 6, 1, "abcdef"},
        {"abcdef", 1, "", 0, 1, "bcdef"},   {"abcdef", 1, "", 2, 0, "abcdef"},
        {"abcdef", 1, "", -1, 2, "abcdef"}, {"abcdef", 1, "", 1, 2, "adef"},
    };
    for (const Case& c : cases) {
        CCorString s(c.start);
        if (c.op == 0) {
            s.Insert(B(c.bytes), c.a, c.b);
        } else {
            s.Delete(c.a, c.b);
        }
        EXPECT_EQ(Text(s), c.expected) << c.start << " op " << c.op << " " << c.a << "," << c.b;
        EXPECT_EQ(s.Bytes()[s.Length()], 0);
        EXPECT_LE(s.Length(), s.Capacity());
    }
}

TEST(CorString, AssignKeepsABufferLargeEnoughAndGrowsOtherwise) {
    CCorString s("abcdef");
    const BYTE* before = s.Bytes();
    s.Assign(B("xy"), 2);
    EXPECT_EQ(s.Bytes(), before);
    EXPECT_EQ(s.Capacity(), 6);
    EXPECT_EQ(Text(s), "xy");

    s.Assign(B("0123456789"), 10);
    EXPECT_EQ(s.Capacity(), 10);
    EXPECT_EQ(Text(s), "0123456789");

    s.Assign(B("zz"), -4);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Bytes()[0], 0);

    CCorString empty;
    EXPECT_EQ(empty.Length(), 0);
    EXPECT_EQ(empty.Capacity(), 0);
    EXPECT_EQ(empty.Bytes()[0], 0);
}

TEST(CorString, SelfOverlappingSourcesAreSafe) {
    CCorString s("abcdef");
    s.AssignString(s);
    EXPECT_EQ(Text(s), "abcdef");
    s.Assign(s.Bytes() + 2, 3);  // shorter: moved within the buffer
    EXPECT_EQ(Text(s), "cde");
    s.Append(s.Bytes(), 3);  // grows while reading its own buffer
    EXPECT_EQ(Text(s), "cdecde");
    s.Insert(s.Bytes(), 6, 3);
    EXPECT_EQ(Text(s), "cdecdecdecde");
}

// Lengths are 16-bit: growth stops at the largest, so unit counts and compares stay exact.
TEST(CorString, NeverGrowsPastTheLargestLength) {
    const std::string big(40000, 'a');
    CCorStyledString s;
    for (int i = 0; i < 3; ++i) s.Append(reinterpret_cast<const BYTE*>(big.data()), 20000);
    EXPECT_EQ(s.Length(), CCorString::kMaxLength);
    EXPECT_EQ(s.VisibleLength(), CCorString::kMaxLength);
    s.Insert(B("XY"), 2, 5);
    EXPECT_EQ(s.Length(), CCorString::kMaxLength);
    EXPECT_EQ(s.Bytes()[5], 'X');

    const CCorString fromText(big.c_str());
    EXPECT_EQ(fromText.Length(), CCorString::kMaxLength);
    EXPECT_EQ(fromText.CompareString(CCorString(big.c_str())), kCompareEqual);
    EXPECT_EQ(fromText.CompareText(big.c_str()), kComparePrefix);  // the text is longer
}

TEST(CorString, TallyCountsBytesWithinBound) {
    const CCorString s("banana");
    EXPECT_EQ(s.TallyChar('a', s.Span(), 6), 3);
    EXPECT_EQ(s.TallyChar('a', s.Span(), 2), 1);
    EXPECT_EQ(s.TallyChar('a', s.Span(), 0), 0);
    EXPECT_EQ(s.TallyChar('a', s.Span(), 100), 3);
}

std::vector<BYTE> Bytes(std::initializer_list<int> values) {
    std::vector<BYTE> out;
    for (int v : values) out.push_back(static_cast<BYTE>(v));
    return out;
}

TEST(StyledString, UnitsOfWellFormedAndMalformedSequences) {
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
        int16_t units;
        int16_t tallyA;  // 'a' over all units
    } const cases[] = {
        {"space then ab", Bytes({0xFE, 3, 5, 0, 'a', 'b'}), 3, 1},
        {"picture then a", Bytes({0xFF, 5, 1, 0, 2, 0, 'a'}), 2, 1},
        {"0xFD sequence", Bytes({'a', 0xFD, 2, 'a', 'a'}), 3, 2},
        {"plain", Bytes({'a', 'b', 'a'}), 3, 2},
        {"length byte missing", Bytes({'a', 0xFE}), 1, 1},
        {"length runs past the end", Bytes({'a', 0xFF, 9, 1, 2}), 1, 1},
        {"length 0", Bytes({'a', 0xFE, 0, 'a'}), 1, 1},
        {"length -1", Bytes({'a', 0xFE, 0xFF, 'a'}), 1, 1},
        {"length 1: no payload", Bytes({0xFE, 1, 'a'}), 2, 1},
        {"zero byte ends the text", Bytes({'a', 0, 'a'}), 1, 2},
        {"zero inside a payload", Bytes({0xFE, 3, 0, 0, 'a'}), 2, 1},
    };
    for (const Case& c : cases) {
        CCorStyledString s;
        s.Assign(c.bytes.data(), static_cast<int16_t>(c.bytes.size()));
        EXPECT_EQ(s.VisibleLength(), c.units) << c.what;
        EXPECT_EQ(s.TallyChar('a', s.Span(), 100), c.tallyA) << c.what;
    }
    CCorStyledString s;
    const auto bytes = Bytes({0xFE, 3, 5, 0, 'a', 'b'});
    s.Assign(bytes.data(), 6);
    EXPECT_EQ(s.TallyChar('a', s.Span(), 3), 1);
    EXPECT_EQ(s.TallyChar('a', s.Span(), 1), 0);
    EXPECT_EQ(StyledUnitsToBytes(s.Span(), 1, 3), 4u);
    EXPECT_EQ(s.CodeRange(), 3);
}

TEST(StyledString, CopiesAPlainString) {
    const CCorString plain("Ola");
    CCorStyledString styled(plain);
    EXPECT_EQ(styled.CompareString(plain), kCompareEqual);
    styled.AssignText("Pia");
    EXPECT_EQ(Text(styled), "Pia");
}

class ListHost : public IResItemHost {
public:
    explicit ListHost(std::vector<uint8_t> item) : m_item(std::move(item)) {}
    bool CopyListString(char* dest, size_t capacity, int32_t id, int16_t n) override {
        lastId = id;
        return CopyListStringFromItem(m_item.data(), m_item.size(), n, dest, capacity);
    }
    int32_t lastId = 0;

private:
    std::vector<uint8_t> m_item;
};

std::vector<uint8_t> ListItem(std::initializer_list<std::string> strings) {
    std::vector<uint8_t> item{static_cast<uint8_t>(strings.size()), 0};
    for (const std::string& s : strings) {
        item.insert(item.end(), s.begin(), s.end());
        item.push_back(0);
    }
    return item;
}

TEST(CorString, FromAStringList) {
    ListHost host(ListItem({"Ett", "Tv\xE5", "Tre"}));
    SetResItemHost(&host);
    EXPECT_EQ(Text(CCorString(int16_t{7}, int16_t{2})), "Tv\xE5");
    EXPECT_EQ(host.lastId, 7);
    EXPECT_EQ(Text(CCorString(int16_t{7}, int16_t{0})), "Ett");
    EXPECT_EQ(Text(CCorString(int16_t{7}, int16_t{4})), "");
    SetResItemHost(nullptr);
    EXPECT_EQ(Text(CCorString(int16_t{7}, int16_t{1})), "");
}

}  // namespace
