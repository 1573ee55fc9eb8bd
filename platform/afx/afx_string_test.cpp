#include "platform/afx/afx_string.h"

#include <gtest/gtest.h>

#include <functional>
#include <cstring>
#include <string>

#include "platform/afx/string_table.h"

namespace {

struct StringCase {
    const char* name;
    std::function<CString()> run;
    std::string expected;  // Windows-1252 bytes
};

TEST(CString, OperationsTable) {
    const StringCase cases[] = {
        {"null is empty", [] { return CString(static_cast<LPCSTR>(nullptr)); }, ""},
        {"repeat", [] { return CString('x', 3); }, "xxx"},
        {"counted", [] { return CString("abcdef", 3); }, "abc"},
        {"plus", [] { return CString("ab") + "cd" + 'e' + CString("f"); }, "abcdef"},
        {"char plus", [] { return 'a' + CString("b"); }, "ab"},
        {"literal plus", [] { return "a" + CString("b"); }, "ab"},
        {"append self", [] { CString s("ab"); s += s; return s; }, "abab"},
        {"append own tail", [] { CString s("abc"); s += static_cast<LPCSTR>(s) + 1; return s; }, "abcbc"},
        {"assign own tail", [] { CString s("abc"); s = static_cast<LPCSTR>(s) + 1; return s; }, "bc"},
        {"mid", [] { return CString("abcdef").Mid(2, 3); }, "cde"},
        {"mid to end", [] { return CString("abcdef").Mid(4); }, "ef"},
        {"mid count past end", [] { return CString("abcdef").Mid(4, 100); }, "ef"},
        {"mid start past end", [] { return CString("abcdef").Mid(9, 2); }, ""},
        {"mid negative start", [] { return CString("abcdef").Mid(-3, 2); }, "ab"},
        {"left", [] { return CString("abcdef").Left(2); }, "ab"},
        {"left too many", [] { return CString("abc").Left(10); }, "abc"},
        {"left negative", [] { return CString("abc").Left(-1); }, ""},
        {"right", [] { return CString("abcdef").Right(2); }, "ef"},
        {"right too many", [] { return CString("abc").Right(10); }, "abc"},
        {"span including", [] { return CString("123abc").SpanIncluding("0123456789"); }, "123"},
        {"span excluding", [] { return CString("key=value").SpanExcluding("=;"); }, "key"},
        {"span excluding none", [] { return CString("key").SpanExcluding("="); }, "key"},
        {"upper swedish", [] { CString s("\xE5sa \xE4rlig \xF6l"); s.MakeUpper(); return s; }, "\xC5SA \xC4RLIG \xD6L"},
        {"lower swedish", [] { CString s("\xC5SA \xC4R"); s.MakeLower(); return s; }, "\xE5sa \xE4r"},
        {"reverse", [] { CString s("abc"); s.MakeReverse(); return s; }, "cba"},
        {"trim both", [] { CString s(" \t\r\n ab c \v\f"); s.TrimLeft(); s.TrimRight(); return s; }, "ab c"},
        {"trim all blank", [] { CString s("   "); s.TrimRight(); return s; }, ""},
        {"trim keeps nbsp", [] { CString s("\xA0x\xA0"); s.TrimLeft(); s.TrimRight(); return s; }, "\xA0x\xA0"},
        {"trim char", [] { CString s("xxaxx"); s.TrimLeft('x'); s.TrimRight('x'); return s; }, "a"},
        {"trim set", [] { CString s("-+a+-"); s.TrimRight("+-"); return s; }, "-+a"},
        {"replace char", [] { CString s("a\\b\\c"); s.Replace('\\', '/'); return s; }, "a/b/c"},
        {"replace text", [] { CString s("aXXbXXXc"); s.Replace("XX", "-"); return s; }, "a-b-Xc"},
        {"replace longer", [] { CString s("aa"); s.Replace("a", "aa"); return s; }, "aaaa"},
        {"replace empty old", [] { CString s("ab"); s.Replace("", "x"); return s; }, "ab"},
        {"replace with null", [] { CString s("abc"); s.Replace("b", nullptr); return s; }, "ac"},
        {"remove", [] { CString s("a.b.c"); s.Remove('.'); return s; }, "abc"},
        {"insert", [] { CString s("ac"); s.Insert(1, "b"); s.Insert(99, 'd'); return s; }, "abcd"},
        {"delete", [] { CString s("abcdef"); s.Delete(1, 2); s.Delete(3, 99); return s; }, "ade"},
        {"set at", [] { CString s("abc"); s.SetAt(1, 'X'); s.SetAt(5, 'Y'); return s; }, "aXc"},
        {"format", [] { CString s; s.Format("%s:%03d:%c", "kid", 7, 'x'); return s; }, "kid:007:x"},
        {"format keeps 1252", [] { CString s; s.Format("%s!", "G\xE4st"); return s; }, "G\xE4st!"},
        {"buffer", [] {
             CString s("ab");
             LPSTR p = s.GetBuffer(10);
             std::strcpy(p + 2, "cdef");
             s.ReleaseBuffer();
             return s;
         }, "abcdef"},
        {"buffer explicit length", [] {
             CString s;
             std::strcpy(s.GetBuffer(8), "abcdefg");
             s.ReleaseBuffer(3);
             return s;
         }, "abc"},
        {"buffer set length", [] {
             CString s("abc");
             LPSTR p = s.GetBufferSetLength(2);
             p[0] = 'x';
             return s;
         }, "xb"},
    };
    for (const StringCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CString result = c.run();
        EXPECT_EQ(std::string(result.View()), c.expected);
        EXPECT_EQ(result.GetLength(), static_cast<int>(c.expected.size()));
        EXPECT_EQ(static_cast<LPCSTR>(result)[result.GetLength()], '\0');
    }
}

TEST(CString, FindTable) {
    const CString s("C:\\kids\\Kid001\\SETTINGS.INI");
    EXPECT_EQ(s.Find('\\'), 2);
    EXPECT_EQ(s.Find('\\', 3), 7);
    EXPECT_EQ(s.Find('\\', 100), -1);
    EXPECT_EQ(s.Find('\\', -1), -1);
    EXPECT_EQ(s.Find("Kid"), 8);
    EXPECT_EQ(s.Find("kid"), 3);
    EXPECT_EQ(s.Find("kid", 4), -1);
    EXPECT_EQ(s.Find("INI"), 24);
    EXPECT_EQ(s.Find("INIX"), -1);
    EXPECT_EQ(s.ReverseFind('\\'), 14);
    EXPECT_EQ(s.ReverseFind('?'), -1);
    EXPECT_EQ(s.FindOneOf(".:"), 1);
    EXPECT_EQ(s.FindOneOf("?*"), -1);
    EXPECT_EQ(s.GetAt(0), 'C');
    EXPECT_EQ(s[3], 'k');
    EXPECT_EQ(s.GetAt(-1), '\0');
    EXPECT_EQ(s.GetAt(s.GetLength()), '\0');
}

TEST(CString, ComparisonsTable) {
    struct Case {
        const char* a;
        const char* b;
        int compare;
        int noCase;
        int collate;
    };
    const Case cases[] = {
        {"abc", "abc", 0, 0, 0},
        {"abc", "abd", -1, -1, -1},
        {"Anna", "anna", -1, 0, 1},          // upper before lower in bytes; lower first in the dictionary
        {"\xC5sa", "\xE5SA", -1, 0, 1},      // Åsa / åSA: folded equal
        {"z", "\xE4", -1, -1, -1},           // bytes compare unsigned: ä (0xE4) after z
        {"\xE5", "\xE4", 1, 1, -1},          // Swedish order: å before ä, though 0xE5 > 0xE4
        {"\xF6", "z", 1, 1, 1},              // ö after z
        {"", "a", -1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        const CString a(c.a);
        EXPECT_EQ(a.Compare(c.b), c.compare);
        EXPECT_EQ(a.CompareNoCase(c.b), c.noCase);
        EXPECT_EQ(a.Collate(c.b), c.collate);
        EXPECT_EQ(a == c.b, c.compare == 0);
        EXPECT_EQ(a == CString(c.b), c.compare == 0);
        EXPECT_EQ(a != c.b, c.compare != 0);
        EXPECT_EQ(a < CString(c.b), c.compare < 0);
        EXPECT_EQ(c.b < a, c.compare > 0);
        EXPECT_EQ(a >= c.b, c.compare >= 0);
    }
    EXPECT_EQ(CString("Anna").CollateNoCase("anna"), 0);
    EXPECT_EQ(CString() == static_cast<LPCSTR>(nullptr), true);
}

TEST(CString, FormatIsNotLimitedToASmallBuffer) {
    const std::string longText(5000, 'q');
    CString s;
    s.Format("<%s>%d", longText.c_str(), 42);
    EXPECT_EQ(s.GetLength(), 5004);
    EXPECT_EQ(s.Right(3), CString("q>42").Right(3));
    EXPECT_EQ(s.Left(2), "<q");
}

class CStringWithTable : public ::testing::Test {
protected:
    void SetUp() override {
        static const plat::StringEntry kStrings[] = {
            {100, u8"Spelare %d av %d"},
            {101, u8"G\u00e4st"},
            {102, u8""},
        };
        plat::RegisterStringTable(kStrings);
    }
    void TearDown() override { plat::ClearStringTable(); }
};

TEST_F(CStringWithTable, LoadStringAndFormatById) {
    CString s("unchanged");
    EXPECT_FALSE(s.LoadString(999));
    EXPECT_EQ(s, "unchanged");
    EXPECT_FALSE(s.LoadString(102));  // an empty text counts as missing
    EXPECT_EQ(s, "unchanged");
    EXPECT_TRUE(s.LoadString(101));
    EXPECT_EQ(s, "G\xE4st");

    s.Format(100u, 2, 5);
    EXPECT_EQ(s, "Spelare 2 av 5");
    s.Format(999u, 1);
    EXPECT_TRUE(s.IsEmpty());

    // A resource-id "pointer" loads the string.
    EXPECT_EQ(CString(MAKEINTRESOURCE(101)), "G\xE4st");
}

}  // namespace
