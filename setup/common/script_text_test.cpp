#include "setup/common/script_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace setup {
namespace {

struct TextCase {
    std::string in;
    std::string trimmed;
    std::string stripped;
};

TEST(ScriptText, TrimAndStripQuotes) {
    const TextCase cases[] = {
        {"", "", ""},
        {" \t\r\n\v\f", "", ""},
        {"  a b  ", "a b", "a b"},
        {" \"Zelbo spel\" ", "\"Zelbo spel\"", "Zelbo spel"},
        {"\"", "\"", ""},
        {"\"\"", "\"\"", ""},
        {"\" a \"", "\" a \"", "a"},
        // Only the outer quotes go; one at each end at most.
        {"\"\"x\"\"", "\"\"x\"\"", "\"x\""},
        {"x\"", "x\"", "x"},
        // 0xA0 is no blank: bytes from 0x80 up are text in Windows-1252.
        {"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},
    };
    for (const TextCase& c : cases) {
        std::string t = c.in;
        TrimBlanks(t);
        EXPECT_EQ(t, c.trimmed) << "[" << c.in << "]";
        std::string s = c.in;
        StripQuotes(s);
        EXPECT_EQ(s, c.stripped) << "[" << c.in << "]";
    }
}

struct ReplaceCase {
    std::string text, token, replacement, result;
    size_t count;
};

TEST(ScriptText, ReplaceAllIsOnePassThatGoesOnAfterTheInsertedText) {
    const ReplaceCase cases[] = {
        {"[A]\\x\\[A]", "[A]", "C:\\Q", "C:\\Q\\x\\C:\\Q", 2},
        {"no token", "[A]", "x", "no token", 0},
        {"[a]", "[A]", "x", "[a]", 0},  // case matters
        {"[A]", "[A]", "", "", 1},
        // A replacement holding its own token ends, and is not replaced again.
        {"[A];[A]", "[A]", "<[A]>", "<[A]>;<[A]>", 2},
        // A replacement that completes a token with the text after it is not searched either.
        {"[A]A]", "[A]", "[", "[A]", 1},
        {"abc", "", "x", "abc", 0},
    };
    for (const ReplaceCase& c : cases) {
        std::string t = c.text;
        EXPECT_EQ(ReplaceAll(t, c.token, c.replacement), c.count) << c.text;
        EXPECT_EQ(t, c.result) << c.text;
    }
}

struct SplitCase {
    std::string value;
    FieldSplit how;
    std::vector<std::string> fields;
};

TEST(ScriptText, FieldsSplitAsStrtokDoes) {
    const SplitCase cases[] = {
        {"a, b ;c", {}, {"a", "b", "c"}},
        // Runs of separators are one; leading and trailing ones give no field.
        {",,a,,;b;;", {}, {"a", "b"}},
        {"", {}, {}},
        {" , ; ", {}, {"", "", ""}},  // blank fields are there, empty after trimming
        {"a,b,c,d", {",;", 2}, {"a", "b"}},
        // The last field reads on over commas up to a ';'.
        {"src, dst, D, R", {",;", 3, ";"}, {"src", "dst", "D, R"}},
        {"src, dst", {",;", 3, ";"}, {"src", "dst"}},
        {"s;e;c;t", {","}, {"s;e;c;t"}},
        {" a , b ", {",;", 4, {}, false}, {" a ", " b "}},
    };
    for (const SplitCase& c : cases) {
        const ScriptFields f = SplitFields(c.value, c.how);
        EXPECT_EQ(f.All(), c.fields) << c.value;
        EXPECT_FALSE(f.Has(c.fields.size())) << c.value;
        EXPECT_EQ(f[c.fields.size()], "") << c.value;
    }
}

}  // namespace
}  // namespace setup
