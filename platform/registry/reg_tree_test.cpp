#include "platform/registry/reg_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plat {
namespace {

using namespace std::string_literals;

std::vector<BYTE> Bytes(std::string_view s) {
    return std::vector<BYTE>(s.begin(), s.end());
}

const CRegValue* ValueAt(const CRegTree& tree, RegRoot root, const RegPath& path, std::string_view name) {
    const CRegKey* key = tree.Find(root, path);
    return key != nullptr ? key->Value(name) : nullptr;
}

// Every kind of value writes as a person expects to read it, and reads back the same.
TEST(RegTreeTest, SerializesReadablyAndReadsBack) {
    CRegTree tree;
    bool created = false;
    CRegKey& quorva = tree.Create(RegRoot::LocalMachine, {"Software", "Quorva"}, &created);
    quorva.SetValue("", REG_SZ, Bytes("default"));
    quorva.SetValue("Install Path", REG_SZ, Bytes("C:\\Program Files\\Quorva \"Zelbo\""));
    quorva.SetValue("Count", REG_DWORD, {0x0A, 0, 0, 0});
    quorva.SetValue("Tally", REG_BINARY, {0x01, 0x00, 0xFF});
    quorva.SetValue("Lines", REG_SZ, Bytes("a\r\nb"));
    quorva.SetValue("Path", REG_EXPAND_SZ, Bytes("%WINDIR%"));
    quorva.SetValue("Short", REG_DWORD, {0x01, 0x02});
    quorva.SetValue("G\xE4st", REG_SZ, Bytes("\xC5\xE4\xF6"));
    tree.Create(RegRoot::CurrentUser, {"Software", "Empty"}, &created);

    const std::string expected =
        "REGEDIT4\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\Software\\Quorva]\r\n"
        "@=\"default\"\r\n"
        "\"Install Path\"=\"C:\\\\Program Files\\\\Quorva \\\"Zelbo\\\"\"\r\n"
        "\"Count\"=dword:0000000a\r\n"
        "\"Tally\"=hex:01,00,ff\r\n"
        "\"Lines\"=hex(1):61,0d,0a,62,00\r\n"
        "\"Path\"=hex(2):25,57,49,4e,44,49,52,25,00\r\n"
        "\"Short\"=hex(4):01,02\r\n"
        "\"G\xE4st\"=\"\xC5\xE4\xF6\"\r\n"
        "\r\n[HKEY_CURRENT_USER\\Software]\r\n"
        "\r\n[HKEY_CURRENT_USER\\Software\\Empty]\r\n";
    EXPECT_EQ(tree.Serialize(), expected);

    std::vector<size_t> bad;
    CRegTree back = CRegTree::Parse(expected, &bad);
    EXPECT_TRUE(bad.empty());
    EXPECT_EQ(back.Serialize(), expected);
    const CRegValue* lines = ValueAt(back, RegRoot::LocalMachine, {"SOFTWARE", "QUORVA"}, "lines");
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(lines->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(lines->data, Bytes("a\r\nb"));
    EXPECT_NE(back.Find(RegRoot::CurrentUser, {"software", "EMPTY"}), nullptr);
}

// What the registry editor writes: continued hex lists, the classes root, comments, "\n"
// line ends, and a key given twice.
TEST(RegTreeTest, ReadsEditorStyleFiles) {
    const std::string text =
        "REGEDIT4\n"
        "; made by hand\n"
        "[HKEY_CLASSES_ROOT\\.zlb]\n"
        "@=\"Zelbo.Document\"\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorva]\n"
        "\"Blob\"=hex:00,01,02,\\\n"
        "  03,04\n"
        "  \"Spaced\" = dword:FFFFFFFF  \n"
        "[hkey_local_machine\\software\\quorva]\n"
        "\"Blob\"=hex:\n";
    std::vector<size_t> bad;
    CRegTree tree = CRegTree::Parse(text, &bad);
    EXPECT_TRUE(bad.empty());
    const CRegValue* doc = ValueAt(tree, RegRoot::LocalMachine, {"SOFTWARE", "Classes", ".zlb"}, "");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->data, Bytes("Zelbo.Document"));
    const CRegValue* spaced = ValueAt(tree, RegRoot::LocalMachine, {"SOFTWARE", "Quorva"}, "spaced");
    ASSERT_NE(spaced, nullptr);
    EXPECT_EQ(spaced->data, (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    const CRegValue* blob = ValueAt(tree, RegRoot::LocalMachine, {"SOFTWARE", "Quorva"}, "Blob");
    ASSERT_NE(blob, nullptr);
    EXPECT_TRUE(blob->data.empty());  // the later line wins
    EXPECT_EQ(tree.Find(RegRoot::LocalMachine, {"SOFTWARE"})->Subkeys().size(), 2u);
}

// Each damaged line is skipped and reported; the good entries around it are kept.
TEST(RegTreeTest, DamagedLinesAreSkippedAndEverythingReadableKept) {
    const std::string hugeName(20000, 'n');
    std::string deep = "[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 600; ++i) {
        deep += "\\k";
    }
    deep += "]";
    struct Bad {
        std::string line;
    } const bads[] = {
        {"\x01\x02\xFF\xFE garbage"},
        {"\"Open\"=\"never closed"},
        {"\"Word\"=dword:12345678Z"},
        {"\"Word\"=dword:123456789"},
        {"\"Hex\"=hex:1,02x"},
        {"\"Hex\"=hex(zz):01"},
        {"\"" + hugeName + "\"=\"x\""},
        {"[HKEY_NOWHERE\\Software]"},
        {"\"Orphan\"=\"under the unknown root\""},
        {deep},
        {"[-HKEY_LOCAL_MACHINE\\Software\\Gone]"},
        {"\"Removed\"=-"},
        {"[HKEY_LOCAL_MACHINE\\Unclosed"},
    };
    std::string text = "\"Early\"=\"before any key\"\r\n";  // also no header
    text += "[HKEY_LOCAL_MACHINE\\Software\\Quorva]\r\n\"Good1\"=\"one\"\r\n";
    for (const Bad& b : bads) {
        text += b.line + "\r\n";
    }
    text += "[HKEY_LOCAL_MACHINE\\Software\\Quorva]\r\n";
    text += "\"Big\"=\"" + std::string(1 << 20, 'b') + "\"\r\n";
    text += "\"Nul\"=\"cut\0here\"\r\n"s;
    text += "\"Good2\"=dword:00000002\r\n";
    text += "\"Trunc\"=\"half";

    std::vector<size_t> bad;
    CRegTree tree = CRegTree::Parse(text, &bad);
    // The headerless first line counts twice (no header, and a value outside a key).
    std::vector<size_t> expected = {1, 1};
    for (size_t i = 0; i < std::size(bads); ++i) {
        expected.push_back(4 + i);
    }
    size_t next = 4 + std::size(bads);
    expected.push_back(next + 2);  // the value cut by a NUL has lost its closing quote
    expected.push_back(next + 4);  // the truncated last line
    EXPECT_EQ(bad, expected);

    RegPath quorva = {"Software", "Quorva"};
    ASSERT_NE(ValueAt(tree, RegRoot::LocalMachine, quorva, "Good1"), nullptr);
    ASSERT_NE(ValueAt(tree, RegRoot::LocalMachine, quorva, "Good2"), nullptr);
    const CRegValue* big = ValueAt(tree, RegRoot::LocalMachine, quorva, "Big");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->data.size(), 1u << 20);
    EXPECT_EQ(ValueAt(tree, RegRoot::LocalMachine, quorva, "Trunc"), nullptr);
    EXPECT_EQ(tree.Find(RegRoot::LocalMachine, {"Software"})->Subkeys().size(), 1u);
}

}  // namespace
}  // namespace plat
