#include "platform/profile/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace plat {
namespace {

// A file with the awkward parts the programs' files have: a comment, CRLF and LF lines,
// padding, Swedish names (Windows-1252), duplicate keys, a section given twice, a value
// holding '=', and no line end at the very end.
const std::string kFile =
    "; players\r\n"
    "stray=before any section\r\n"
    "[User List]\r\n"
    "Pelle=kids\\Kid001\\\r\n"
    "  G\xE4st  =  Public\\  \n"
    ";Anna=commented out\r\n"
    "\r\n"
    "[ R\xC4KNA ]\n"
    "level = 3\n"
    "expr=a=b\n"
    "empty=\n"
    "quoted=\"  spaced  \"\n"
    "[rename]\r\n"
    "NUL=C:\\A.DLL\r\n"
    "NUL=C:\\B.DLL\r\n"
    "[user list]\r\n"
    "Pelle=second\r\n"
    "Lisa=kids\\Kid002\\";

struct FindCase {
    const char* section;
    const char* key;
    std::optional<std::string> value;
};

class IniFindTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(IniFindTest, FindsAsWindowsDoes) {
    CIniFile ini(kFile);
    const FindCase& c = GetParam();
    std::optional<std::string_view> found = ini.Find(c.section, c.key);
    ASSERT_EQ(found.has_value(), c.value.has_value());
    if (found) {
        EXPECT_EQ(std::string(*found), *c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniFindTest,
    ::testing::Values(FindCase{"User List", "Pelle", "kids\\Kid001\\"},
                      FindCase{"USER LIST", "pelle", "kids\\Kid001\\"},  // first duplicate wins
                      FindCase{"User List", "g\xC4ST", "Public\\"},      // ä/Ä fold, blanks trimmed
                      FindCase{" User List ", " Pelle", "kids\\Kid001\\"},
                      FindCase{"User List", "Anna", std::nullopt},      // comment line
                      FindCase{"User List", "Lisa", std::nullopt},      // only in the second [user list]
                      FindCase{"r\xE4kna", "LEVEL", "3"}, FindCase{"R\xC4KNA", "expr", "a=b"},
                      FindCase{"R\xC4KNA", "empty", ""},
                      FindCase{"R\xC4KNA", "quoted", "\"  spaced  \""},  // quotes stay at this level
                      FindCase{"rename", "nul", "C:\\A.DLL"},
                      FindCase{"", "stray", std::nullopt},  // before any section
                      FindCase{"Missing", "Pelle", std::nullopt}));

TEST(IniFileTest, ListsSectionsOnceAndKeysWithDuplicates) {
    CIniFile ini(kFile);
    std::vector<std::string_view> sections = ini.SectionNames();
    EXPECT_EQ(sections, (std::vector<std::string_view>{"User List", "R\xC4KNA", "rename"}));
    EXPECT_EQ(ini.KeyNames("rename"), (std::vector<std::string_view>{"NUL", "NUL"}));
    EXPECT_EQ(ini.KeyNames("user list"), (std::vector<std::string_view>{"Pelle", "G\xE4st"}));
    EXPECT_EQ(ini.SectionEntries("rename"), (std::vector<std::string>{"NUL=C:\\A.DLL", "NUL=C:\\B.DLL"}));
}

// A section name given twice: the first section is the one read, listed and written, as
// Windows does (it never merges them); lines without '=' are listed by a section as they stand.
TEST(IniFileTest, ASectionNameGivenTwiceNamesTheFirstSectionOnly) {
    const std::string file =
        "[Opt]\r\na=1\r\n  plain line  \r\n; note\r\n=novalue\r\n\r\n[other]\r\nx=1\r\n[OPT]\r\na=2\r\nb=3\r\n";
    CIniFile ini(file);
    EXPECT_EQ(ini.Find("opt", "a"), "1");
    EXPECT_EQ(ini.Find("opt", "b"), std::nullopt);
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string_view>{"Opt", "other"}));
    EXPECT_EQ(ini.KeyNames("OPT"), (std::vector<std::string_view>{"a"}));
    EXPECT_EQ(ini.SectionEntries("opt"), (std::vector<std::string>{"a=1", "plain line", "=novalue"}));

    // Writes go to the first section; the second keeps its bytes.
    ASSERT_TRUE(ini.Set("OPT", "a", "5"));
    ASSERT_TRUE(ini.Set("opt", "b", "9"));
    EXPECT_EQ(ini.Bytes(),
              "[Opt]\r\na=5\r\n  plain line  \r\n; note\r\n=novalue\r\nb=9\r\n\r\n[other]\r\nx=1\r\n[OPT]\r\na=2\r\nb=3\r\n");
    EXPECT_EQ(ini.Find("opt", "b"), "9");
    ASSERT_TRUE(ini.DeleteKey("opt", "b"));
    ASSERT_TRUE(ini.DeleteKey("opt", "a"));
    EXPECT_FALSE(ini.DeleteKey("opt", "a"));  // the second section's a is out of reach
    EXPECT_EQ(ini.Bytes(), "[Opt]\r\n  plain line  \r\n; note\r\n=novalue\r\n\r\n[other]\r\nx=1\r\n[OPT]\r\na=2\r\nb=3\r\n");
    ASSERT_TRUE(ini.ReplaceSection("opt", {"c=1"}));
    EXPECT_EQ(ini.Bytes(), "[Opt]\r\nc=1\r\n\r\n[other]\r\nx=1\r\n[OPT]\r\na=2\r\nb=3\r\n");
}

TEST(IniFileTest, UnquoteStripsOnlyMatchingQuotes) {
    EXPECT_EQ(CIniFile::Unquote("\"a b\""), "a b");
    EXPECT_EQ(CIniFile::Unquote("'x'"), "x");
    EXPECT_EQ(CIniFile::Unquote("\"x'"), "\"x'");
    EXPECT_EQ(CIniFile::Unquote("\""), "\"");
    EXPECT_EQ(CIniFile::Unquote("\"\""), "");
}

// Each edit must produce exactly these bytes: only the lines concerned change.
struct EditCase {
    const char* name;
    std::string before;
    enum Op { Set, DeleteKey, DeleteSection } op;
    const char* section;
    const char* key;
    const char* value;
    bool changed;
    std::string after;
};

class IniEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(IniEditTest, ChangesOnlyTheLinesConcerned) {
    const EditCase& c = GetParam();
    CIniFile ini(c.before);
    bool changed = false;
    switch (c.op) {
        case EditCase::Set:
            changed = ini.Set(c.section, c.key, c.value);
            break;
        case EditCase::DeleteKey:
            changed = ini.DeleteKey(c.section, c.key);
            break;
        case EditCase::DeleteSection:
            changed = ini.DeleteSection(c.section);
            break;
    }
    EXPECT_EQ(changed, c.changed);
    EXPECT_EQ(ini.Bytes(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniEditTest,
    ::testing::Values(
        EditCase{"ReplaceKeepsNameCaseAndNeighbours", "; c\n[S]\nKey=1\r\nB = 2 \n", EditCase::Set, "s",
                 "KEY", "9", true, "; c\n[S]\nKey=9\r\nB = 2 \n"},
        EditCase{"SameValueLeavesFile", "[S]\r\nKey=1\r\n", EditCase::Set, "S", "key", "1", false,
                 "[S]\r\nKey=1\r\n"},
        EditCase{"NewKeyAtEndOfSectionBeforeBlankLine", "[a]\r\nx=1\r\n; note\r\n\r\n[b]\r\ny=2\r\n",
                 EditCase::Set, "A", "z", "3", true, "[a]\r\nx=1\r\n; note\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
        EditCase{"NewKeyAfterDuplicates", "[rename]\nNUL=C:\\A\nNUL=C:\\B\n", EditCase::Set, "rename",
                 "C:\\Q\\X.DLL", "C:\\Q\\X.TMP", true,
                 "[rename]\nNUL=C:\\A\nNUL=C:\\B\nC:\\Q\\X.DLL=C:\\Q\\X.TMP\r\n"},
        EditCase{"NewKeyAfterUnterminatedLastLine", "[a]\nx=1", EditCase::Set, "a", "y", "2", true,
                 "[a]\nx=1\r\ny=2\r\n"},
        EditCase{"NewSectionAppended", "[a]\nx=1", EditCase::Set, "b", "k", "v", true,
                 "[a]\nx=1\r\n\r\n[b]\r\nk=v\r\n"},
        EditCase{"NewSectionAfterBlankLine", "[a]\r\nx=1\r\n\r\n", EditCase::Set, "b", "k", "v", true,
                 "[a]\r\nx=1\r\n\r\n[b]\r\nk=v\r\n"},
        EditCase{"EmptyFile", "", EditCase::Set, "Settings", "Namn", "G\xE4st", true,
                 "[Settings]\r\nNamn=G\xE4st\r\n"},
        EditCase{"DeleteFirstDuplicateOnly", "[rename]\r\nNUL=A\r\nNUL=B\r\n", EditCase::DeleteKey, "RENAME",
                 "nul", nullptr, true, "[rename]\r\nNUL=B\r\n"},
        EditCase{"DeleteMissingKey", "[a]\r\nx=1\r\n", EditCase::DeleteKey, "a", "y", nullptr, false,
                 "[a]\r\nx=1\r\n"},
        EditCase{"DeleteSectionEverywhere", "; top\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n[A]\r\nz=3\r\n",
                 EditCase::DeleteSection, "a", nullptr, nullptr, true, "; top\r\n[b]\r\ny=2\r\n"},
        EditCase{"DeleteLastSectionWithItsBlankLine", "[a]\nx=1\r\n\r\n[b]\r\nk=v\r\n", EditCase::DeleteSection, "b",
                 nullptr, nullptr, true, "[a]\nx=1\r\n"},
        EditCase{"DeleteSectionBeforeABlankLineKeepsIt", "[a]\r\nx=1\r\n\r\n[b]\r\nk=v\r\n\r\n[c]\r\n",
                 EditCase::DeleteSection, "b", nullptr, nullptr, true, "[a]\r\nx=1\r\n\r\n[c]\r\n"},
        EditCase{"DeleteMissingSection", "[a]\r\n", EditCase::DeleteSection, "b", nullptr, nullptr, false,
                 "[a]\r\n"}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(IniFileTest, ReplaceSectionKeepsTheBlankLineBeforeTheNext) {
    CIniFile ini("[a]\r\nx=1\r\n; gone\r\n\r\n[b]\r\ny=2\r\n");
    EXPECT_TRUE(ini.ReplaceSection("A", {"p=1", "q=2"}));
    EXPECT_EQ(ini.Bytes(), "[a]\r\np=1\r\nq=2\r\n\r\n[b]\r\ny=2\r\n");
    EXPECT_FALSE(ini.ReplaceSection("a", {"p=1", "q=2"}));
    EXPECT_TRUE(ini.ReplaceSection("c", {"r=3"}));
    EXPECT_EQ(ini.Bytes(), "[a]\r\np=1\r\nq=2\r\n\r\n[b]\r\ny=2\r\n\r\n[c]\r\nr=3\r\n");
}

// Damage of every kind around good entries: they stay readable, and an edit keeps the
// damaged bytes as they were.
TEST(IniFileTest, DamagedFileKeepsReadableEntriesAndItsBytes) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk += static_cast<char>((i * 7919 + 13) & 0xFF);
    }
    std::string huge(1 << 20, 'x');
    std::string file = junk + "\n[good]\r\nk1=v1\r\n" + std::string("k2=v2\0tail\r\n", 12) + huge +
                       "=big\r\n" + "[bro" + junk.substr(0, 100) + "\n[more]\nk3=v3\n[tail]\nk4=trunc";
    CIniFile ini(file);
    EXPECT_EQ(ini.Find("good", "k1"), "v1");
    EXPECT_EQ(ini.Find("good", "k2"), "v2");
    EXPECT_EQ(ini.Find("more", "k3"), "v3");
    EXPECT_EQ(ini.Find("tail", "k4"), "trunc");
    EXPECT_EQ(ini.Find("good", huge), "big");
    EXPECT_EQ(ini.Bytes(), file);

    ASSERT_TRUE(ini.Set("good", "k5", "v5"));
    std::string after = ini.Bytes();
    size_t at = after.find("k5=v5\r\n");
    ASSERT_NE(at, std::string::npos);
    std::string without = after.substr(0, at) + after.substr(at + 7);
    EXPECT_EQ(without, file);
}

}  // namespace
}  // namespace plat
