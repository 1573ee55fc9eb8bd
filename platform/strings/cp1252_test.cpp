#include "platform/strings/cp1252.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Test texts are written in UTF-8 and used as Windows-1252, as the programs hold them.
std::string W(std::string_view utf8) { return plat::Utf8ToCp1252(utf8); }

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = plat::Cp1252ToUtf8(one);
        EXPECT_EQ(plat::Utf8ToCp1252(utf8), one) << "byte " << b;
        EXPECT_EQ(plat::CodePointToCp1252(plat::Cp1252ToCodePoint(static_cast<uint8_t>(b))), b);
    }
}

TEST(Cp1252, ConvertsTheBytesThatDifferFromLatin1) {
    const struct {
        uint8_t byte;
        const char* utf8;
    } cases[] = {
        {0x80, "€"}, {0x8A, "Š"}, {0x9A, "š"}, {0x8C, "Œ"}, {0x9F, "Ÿ"}, {0x93, "“"}, {0x96, "–"},
        {0xC5, "Å"}, {0xE5, "å"}, {0xC4, "Ä"}, {0xE4, "ä"}, {0xD6, "Ö"}, {0xF6, "ö"}, {0xA0, "\u00A0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plat::Cp1252ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8);
        EXPECT_EQ(plat::Utf8ToCp1252(c.utf8), std::string(1, static_cast<char>(c.byte)));
    }
    EXPECT_EQ(plat::Cp1252ToUtf8(W("Gäst")), "Gäst");
}

TEST(Cp1252, UnmappableAndMalformedUtf8BecomeQuestionMarks) {
    const struct {
        std::string utf8;
        std::string expected;
    } cases[] = {
        {"a漢b", "a?b"},               // no Windows-1252 byte
        {"x\xC3", "x?"},               // truncated sequence
        {"\xC0\x80", "??"},            // overlong NUL
        {"\xED\xA0\x80z", "???z"},     // surrogate
        {"\xF4\x90\x80\x80", "????"},  // beyond U+10FFFF
        {"\x80\xBF", "??"},            // stray continuation bytes
        {"😀", "?"},
    };
    for (const auto& c : cases) EXPECT_EQ(plat::Utf8ToCp1252(c.utf8), c.expected) << c.utf8;
}

TEST(Cp1252, CaseFoldingTable) {
    const char* pairs[][2] = {{"a", "A"}, {"z", "Z"}, {"å", "Å"}, {"ä", "Ä"}, {"ö", "Ö"}, {"é", "É"},
                              {"š", "Š"}, {"œ", "Œ"}, {"ž", "Ž"}, {"ÿ", "Ÿ"}, {"þ", "Þ"}, {"ø", "Ø"}};
    for (const auto& p : pairs) {
        const auto lower = static_cast<uint8_t>(W(p[0])[0]);
        const auto upper = static_cast<uint8_t>(W(p[1])[0]);
        EXPECT_EQ(plat::ToUpper1252(lower), upper) << p[0];
        EXPECT_EQ(plat::ToLower1252(upper), lower) << p[1];
    }
    // Not letters, or letters without a Windows-1252 partner.
    for (const char* same : {"×", "÷", "ß", "µ", "1", "@", "[", "`", "{", "€"}) {
        const auto c = static_cast<uint8_t>(W(same)[0]);
        EXPECT_EQ(plat::ToUpper1252(c), c) << same;
        EXPECT_EQ(plat::ToLower1252(c), c) << same;
    }
    // Folding is a pairing: whatever changes changes back.
    for (int b = 0; b < 256; ++b) {
        const auto c = static_cast<uint8_t>(b);
        if (plat::ToLower1252(c) != c) {
            EXPECT_EQ(plat::ToUpper1252(plat::ToLower1252(c)), c) << b;
        }
        if (plat::ToUpper1252(c) != c) {
            EXPECT_EQ(plat::ToLower1252(plat::ToUpper1252(c)), c) << b;
        }
    }
}

TEST(Cp1252, CompareNoCase) {
    EXPECT_EQ(plat::CompareNoCase1252("ZELBO.INI", "Zelbo.ini"), 0);
    EXPECT_EQ(plat::CompareNoCase1252(W("ÅSA"), W("åsa")), 0);
    EXPECT_EQ(plat::CompareNoCase1252(W("Änglar"), W("äNGLAR")), 0);
    EXPECT_LT(plat::CompareNoCase1252("abc", "ABD"), 0);
    EXPECT_GT(plat::CompareNoCase1252("abcd", "ABC"), 0);
    EXPECT_NE(plat::CompareNoCase1252(W("å"), W("ä")), 0);
    EXPECT_FALSE(plat::EqualNoCase1252(W("Ö"), "O"));
}

TEST(Cp1252, SwedishCollationSortsSwedishLettersAfterZ) {
    std::vector<std::string> names = {W("Åsa"), "Anna", W("Örjan"), "Zeta", W("ära")};
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return plat::SwedishCollate(a, b) < 0; });
    const std::vector<std::string> expected = {"Anna", "Zeta", W("Åsa"), W("ära"), W("Örjan")};
    EXPECT_EQ(names, expected);
}

TEST(Cp1252, SwedishCollationLevels) {
    const struct {
        const char* a;
        const char* b;
    } ordered[] = {
        {"anna", "Anna"},      // case decides last, lower first
        {"Anna", "anne"},      // ...and only when nothing else differs
        {"Edvin", "Élise"},    // é sorts with e
        {"Élise", "Erik"},
        {"Müller", "Myra"},    // ü sorts as y
        {"Zorro", "Ægir"},     // æ sorts as ä
        {"Ärla", "Øle"},       // ø sorts as ö
        {"Ola", "Öla"},        // ö is a letter of its own after z, not an accented o
        {"9 liv", "Adam"},     // digits before letters
        {" x", "0"},           // blanks and signs before digits
        {"Kid", "Kid001"},     // a prefix comes first
    };
    for (const auto& c : ordered) {
        const std::string a = W(c.a);
        const std::string b = W(c.b);
        EXPECT_LT(plat::SwedishCollate(a, b), 0) << c.a << " < " << c.b;
        EXPECT_GT(plat::SwedishCollate(b, a), 0) << c.b << " > " << c.a;
    }
    EXPECT_EQ(plat::SwedishCollateNoCase(W("GÄST"), W("gäst")), 0);
    EXPECT_NE(plat::SwedishCollateNoCase("e", W("é")), 0);
    EXPECT_EQ(plat::SwedishCollate("same", "same"), 0);
}

TEST(Cp1252, WindowsStringCalls) {
    char buf[16];
    lstrcpyA(buf, W("gäst öl").c_str());
    EXPECT_EQ(CharUpperA(buf), buf);
    EXPECT_EQ(std::string(buf), W("GÄST ÖL"));
    CharLower(buf);
    EXPECT_EQ(std::string(buf), W("gäst öl"));

    // A "pointer" below 0x10000 is one character.
    const auto single = reinterpret_cast<uintptr_t>(CharUpperA(reinterpret_cast<LPSTR>(uintptr_t{0xE5})));
    EXPECT_EQ(single, 0xC5u);

    char small[6] = "xxxxx";
    EXPECT_EQ(lstrcpynA(small, "abcdefgh", 4), small);
    EXPECT_STREQ(small, "abc");
    lstrcpyn(small, "q", 0);  // nothing written
    EXPECT_STREQ(small, "abc");

    EXPECT_EQ(lstrcmpi(W("Åsa").c_str(), W("åSA").c_str()), 0);
    EXPECT_LT(lstrcmpi("Zeta", W("ära").c_str()), 0);
    EXPECT_GT(lstrcmp("Anna", "anna"), 0);
    EXPECT_LT(lstrcmpi(nullptr, "a"), 0);
    EXPECT_EQ(lstrlen(nullptr), 0);
    EXPECT_EQ(lstrlen("four"), 4);
    EXPECT_LT(_stricmp("Product", "PRODUCTNAME"), 0);
    EXPECT_EQ(_stricmp(W("ÅÄÖ").c_str(), W("åäö").c_str()), 0);

    // _strnicmp reads no further than the count: the buffer need not be terminated.
    const char unterminated[4] = {'D', 'I', 'S', 'K'};
    EXPECT_EQ(_strnicmp(unterminated, "disk=1", 4), 0);
    EXPECT_EQ(_strnicmp("File95", "FILE", 4), 0);
    EXPECT_NE(_strnicmp("File", "FILE95", 6), 0);

    char cat[16] = "C:\\";
    lstrcatA(cat, "KIDS");
    EXPECT_STREQ(cat, "C:\\KIDS");
}

}  // namespace

TEST(Cp1252Wide, MultiByteToWideCharTakesWindows1252) {
    WCHAR out[8];
    // "Å€ö" + NUL: Latin-1 letters keep their value, 0x80 is the euro sign.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC5\x80\xF6", -1, out, 8), 4);
    EXPECT_EQ(out[0], u'\u00C5');
    EXPECT_EQ(out[1], u'\u20AC');
    EXPECT_EQ(out[2], u'\u00F6');
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(plat::Utf16ToCp1252(out), "\xC5\x80\xF6");
    struct Case {
        UINT codePage;
        const char* src;
        int srcLength;
        int dstLength;
        int result;
        DWORD error;
    };
    const Case cases[] = {
        {1252, "abc", 3, 8, 3, 0},                         // no NUL without -1
        {CP_ACP, "abc", -1, 0, 4, 0},                      // size asked
        {CP_ACP, "abc", -1, 3, 0, ERROR_INSUFFICIENT_BUFFER},
        {65001, "abc", -1, 8, 0, ERROR_INVALID_PARAMETER},  // only Windows-1252
        {CP_ACP, "abc", 0, 8, 0, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(c.codePage, 0, c.src, c.srcLength, out, c.dstLength), c.result) << c.src;
        EXPECT_EQ(GetLastError(), c.error);
    }
    const WCHAR bad[] = {u'a', 0xD800, u'\u4E2D', 0};  // a lone surrogate, a character without a byte
    EXPECT_EQ(plat::Utf16ToCp1252(bad), "a??");
}
