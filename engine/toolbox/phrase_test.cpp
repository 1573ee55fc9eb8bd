#include "engine/toolbox/phrase.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/toolbox/toolbox_test_support.h"
#include "media/util/mono_debug.h"
#include "platform/afx/message_box.h"
#include "platform/core/byte_order.h"
#include "platform/mci/debug_display.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Ids = std::vector<uint16_t>;

Bytes Codes(std::initializer_list<int> codes) {
    Bytes b;
    for (int c : codes) plat::AppendLe16(b, static_cast<uint16_t>(c));
    return b;
}

// Module 2: templates ('IPA' 2100 …) and number tables ('IPB'/'IPC' by number), traces to a
// file of the test's own.
class Phrases : public ::testing::Test {
protected:
    void SetUp() override {
        media::CResWriter w;
        w.Add("IPA", 2100, Codes({5, -1, 0}));
        w.Add("IPA", 2101, Codes({5, -11, 0}));
        w.Add("IPA", 2102, Codes({5, -51, 0}));
        w.Add("IPA", 2103, Codes({-1, -2, -3, -4, -61, -72, -43, -34}));
        w.Add("IPA", 2104, Codes({-99, 6, -98, 0}));
        w.Add("IPA", 2105, Bytes{5, 0, 9});                    // one code and a stray byte
        w.Add("IPA", 2106, Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));  // no 0, longer than 8
        w.Add("IPA", 2107, Codes({5, -2, 9, -3, 0}));          // 'IPB' 4 is missing
        w.Add("IPA", 2108, Codes({-5, -81, -100, 4, 0}));      // codes outside the table
        w.Add("IPA", 2109, Codes({3, 0, 4}));                  // codes after the 0 are not read
        w.Add("IPA", 2110, Bytes{});
        w.Add("IPA", 2111, Codes({7, -1, -1, -1, -1, 9}));
        w.Add("IPB", 2007, Codes({120, 121, 0}));
        w.Add("IPC", 2007, Codes({300, 301, 0}));
        w.Add("IPB", 2008, Codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        w.Add("IPB", 2009, Bytes{50, 0, 51});                  // one id and a stray byte
        w.Add("IPB", 2010, Codes({0x7FF0, 50, 0}));
        ASSERT_TRUE(host.OpenModule(2, w));
        trace = std::filesystem::temp_directory_path() / ("zelbo-phrase-trace-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove(trace);
        plat::SetTraceTarget(trace.string());
        MonoDebugOpen();
    }
    void TearDown() override {
        MonoDebugClose();
        plat::SetTraceTarget(std::nullopt);
        std::filesystem::remove(trace);
    }
    std::string Traces() const {
        std::ifstream in(trace, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    toolboxtest::CPictureHost host;
    std::filesystem::path trace;
};

TEST_F(Phrases, TemplatesAndNumberTablesBecomeSoundIds) {
    struct Case {
        const char* what;
        int32_t templateId;
        uint16_t args[4];
        uint16_t extra, extra2;
        Ids phrase;    // BuildPhrase: the ids up to and with the final 0
        Ids phraseEx;  // BuildPhraseEx
    };
    const Case cases[] = {
        {"a number in form 1", 100, {7, 0, 0, 0}, 0, 0, {5, 120, 121, 0, 0}, {5, 120, 121, 0}},
        {"an id already absolute", 2100, {7, 0, 0, 0}, 0, 0, {5, 120, 121, 0, 0}, {5, 120, 121, 0}},
        {"form 2, 100 lower", 101, {7, 0, 0, 0}, 0, 0, {5, 20, 21, 0, 0}, {5, 20, 21, 0}},
        {"form 6 from 'IPC', 200 higher", 102, {7, 0, 0, 0}, 0, 0, {5, 500, 501, 0, 0}, {5, 500, 501, 0}},
        {"the extras as they stand", 104, {0, 0, 0, 0}, 0x8001, 0xFFFF, {0x8001, 6, 0, 0}, {0x8001, 6, 0xFFFF, 0}},
        {"a short template: its whole codes only", 105, {0, 0, 0, 0}, 0, 0, {5, 0}, {5, 0}},
        {"a template longer than 8 codes", 106, {0, 0, 0, 0}, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 0}},
        {"a missing table counts as empty", 107, {0, 4, 9, 0}, 0, 0, {5, 9, 50, 0, 0}, {5, 9, 50, 0}},
        {"codes outside the table are skipped", 108, {7, 0, 0, 0}, 0, 0, {4, 0, 0}, {4, 0}},
        {"the template ends at its 0", 109, {0, 0, 0, 0}, 0, 0, {3, 0, 0}, {3, 0}},
        {"an empty template", 110, {0, 0, 0, 0}, 0, 0, {0}, {0}},
        {"a missing template", 199, {7, 0, 0, 0}, 0, 0, {0}, {0}},
        {"16-bit wrap-around", 101, {10, 0, 0, 0}, 0, 0, {5, 0x7F8C, 0xFFCE, 0, 0}, {5, 0x7F8C, 0xFFCE, 0}},
        {"table ids of number 1007 are those of 7", 100, {1007, 0, 0, 0}, 0, 0, {5, 120, 121, 0, 0}, {5, 120, 121, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        uint16_t out[kPhraseSize];
        std::fill(std::begin(out), std::end(out), 0xEEEE);
        const int16_t n = BuildPhrase(out, c.templateId, c.args[0], c.args[1], c.args[2], c.args[3], c.extra);
        EXPECT_EQ(n, static_cast<int16_t>(c.phrase.size() - 1));
        EXPECT_EQ(Ids(out, out + c.phrase.size()), c.phrase);

        std::fill(std::begin(out), std::end(out), 0xEEEE);
        const int16_t nEx =
            BuildPhraseEx(out, c.templateId, c.args[0], c.args[1], c.args[2], c.args[3], c.extra, c.extra2);
        EXPECT_EQ(nEx, static_cast<int16_t>(c.phraseEx.size() - 1));
        EXPECT_EQ(Ids(out, out + c.phraseEx.size()), c.phraseEx);
    }
    // Missing items and foreign codes leave a trace line each; found ones none.
    const std::string traces = Traces();
    EXPECT_NE(traces.find("no template 199"), std::string::npos) << traces;
    EXPECT_NE(traces.find("no number table 4"), std::string::npos) << traces;
    EXPECT_NE(traces.find("code -5"), std::string::npos) << traces;
    EXPECT_NE(traces.find("code -81"), std::string::npos) << traces;
    EXPECT_EQ(traces.find("no number table 7"), std::string::npos) << traces;
}

// Eight placeholders whose tables give eight ids each: the output stops at 32 ids and out[32]
// is the final 0. A table that reaches 32 is cut where it stands, and the template with it.
TEST_F(Phrases, ThePhraseStopsAt32Ids) {
    Ids eights;
    for (int i = 0; i < 4; ++i)
        for (uint16_t id = 1; id <= 8; ++id) eights.push_back(id);
    Ids cut{7};
    cut.insert(cut.end(), eights.begin(), eights.begin() + 31);
    for (const auto& [templateId, expected] : {std::pair{103, eights}, std::pair{111, cut}}) {
        SCOPED_TRACE(templateId);
        uint16_t out[kPhraseSize];
        std::fill(std::begin(out), std::end(out), 0xEEEE);
        EXPECT_EQ(BuildPhrase(out, templateId, 8, 8, 8, 8, 0), 32);
        EXPECT_EQ(Ids(out, out + 32), expected);
        EXPECT_EQ(out[32], 0);
        std::fill(std::begin(out), std::end(out), 0xEEEE);
        EXPECT_EQ(BuildPhraseEx(out, templateId, 8, 8, 8, 8, 0, 0), 32);
        EXPECT_EQ(Ids(out, out + 32), expected);
        EXPECT_EQ(out[32], 0);
    }
}

// The record panel's message line through scripted message boxes: each answer goes on the same
// way; code 13 shows list 988's first string whatever list is passed.
TEST(MessageLine, TheTextOfEachCodeAndListInAnAbortRetryIgnoreBox) {
    toolboxtest::CPictureHost host;
    media::CResWriter w;
    w.Add("IST", 2982, toolboxtest::ListItem({"Fel ett", "Fel tv\xE5"}));
    w.Add("IST", 2983, toolboxtest::ListItem({"Spara", "L\xE4sa"}));
    w.Add("IST", 2988, toolboxtest::ListItem({"Disken \xE4r full", "annat"}));
    ASSERT_TRUE(host.OpenModule(2, w));

    struct Shown {
        std::string text;
        UINT type = 0;
        UINT help = 99;
    };
    std::vector<Shown> shown;
    std::vector<int> answers{IDABORT, IDRETRY, IDIGNORE};
    size_t next = 0;
    const plat::MessageBoxHook saved = plat::SetMessageBoxHook([&](LPCSTR text, UINT type, UINT help) {
        shown.push_back({text, type, help});
        return answers[next++ % answers.size()];
    });
    struct Case {
        int16_t code;
        uint16_t detailList, detailIndex, placeList;
        int32_t placeIndex;
        std::string text;
    };
    const Case cases[] = {
        {5, 982, 2, 983, 2, "Error: 5.   At: L\xE4sa.  Fel tv\xE5."},
        {13, 982, 2, 983, 1, "Error: 13.   At: Spara.  Disken \xE4r full."},
        {13, 0, 0, 0, 0, "Error: 13.   At: .  Disken \xE4r full."},
        {-7, 0, 1, 983, 1, "Error: -7.   At: Spara.  ."},
        {20, 984, 1, 983, 9, "Error: 20.   At: .  ."},
        {12345, 982, 0, 983, 70000, "Error: 12345.   At: .  Fel ett."},
    };
    for (const Case& c : cases) FormatMessageLine(c.code, c.detailList, c.detailIndex, c.placeList, c.placeIndex);
    plat::SetMessageBoxHook(saved);
    ASSERT_EQ(shown.size(), std::size(cases));
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(cases[i].code);
        EXPECT_EQ(shown[i].text, cases[i].text);
        EXPECT_EQ(shown[i].type, static_cast<UINT>(MB_ABORTRETRYIGNORE));
        EXPECT_EQ(shown[i].help, 0u);
    }
}

TEST(DecimalText, TheWhole32BitRange) {
    const std::pair<int32_t, const char*> cases[] = {
        {-45, "-45"},      {0, "0"},           {7, "7"},
        {10, "10"},        {9999, "9999"},     {10000, "10000"},
        {99999, "99999"},  {-99999, "-99999"}, {1000000000, "1000000000"},
        {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}, {-1, "-1"},
    };
    for (const auto& [value, text] : cases) {
        // Exactly the size promised, so AddressSanitizer sees a byte written beyond it.
        auto out = std::make_unique<char[]>(kDecimalTextSize);
        IntToDecimalText(value, out.get());
        EXPECT_STREQ(out.get(), text);
    }
    EXPECT_EQ(SquareInt(-5), 25);
    EXPECT_EQ(SquareInt(46340), 2147395600);
    EXPECT_EQ(SquareInt(-46341), INT32_MAX);
}

TEST(Colours, NearestEntryAndRemapTable) {
    const std::vector<PALETTEENTRY> four = {{0, 0, 0, 0}, {100, 0, 0, 0}, {0, 100, 0, 0}, {100, 0, 0, 0}};
    struct Case {
        COLORREF colour;
        int16_t first, number, nearest;
    };
    const Case cases[] = {
        {RGB(100, 0, 0), 0, 4, 1},   // exact, and before an equal entry
        {RGB(90, 10, 0), 2, 2, 3},   // searched from 2 on: entry 3
        {RGB(50, 50, 0), 1, 2, 1},   // equally far from 1 and 2: the lower index
        {RGB(50, 50, 0), 1, 0, 0},   // nothing to search
        {RGB(50, 50, 0), 1, -3, 0},
        {RGB(255, 255, 255), 0, 4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.colour << " from " << c.first);
        EXPECT_EQ(NearestColorInList(c.colour, four.data(), c.first, c.number), c.nearest);
    }

    // Both palettes exactly 256 entries on the heap: an entry 256 read would be caught.
    std::vector<PALETTEENTRY> source(256), palette(256);
    for (int i = 0; i < 256; ++i) {
        source[i] = {static_cast<BYTE>(255 - i), static_cast<BYTE>(i), 7, 0};
        palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
    }
    palette[0] = {255, 0, 7, 0};  // the best match of source 0, but entry 0 is never chosen
    uint8_t table[256];
    BuildColorRemap(source.data(), palette.data(), 0, 256, table);
    EXPECT_EQ(table[0], 255);  // source 0 is palette 255's colour: the last entry is searched
    EXPECT_EQ(table[255], 1);  // and palette 0 is not
    for (int i = 1; i < 255; ++i) EXPECT_EQ(table[i], 255 - i) << i;
    BuildColorRemap(source.data(), palette.data(), 10, 5, table);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], i >= 10 && i < 15 ? 255 - i : i) << i;
}

TEST(ByteCopy, OverlappingAreasBothWays) {
    std::string a = "abcdefgh";
    CopyBytes(a.data(), a.data() + 2, 5);
    EXPECT_EQ(a, "ababcdeh");
    std::string b = "abcdefgh";
    CopyBytes(b.data() + 2, b.data(), 5);
    EXPECT_EQ(b, "cdefgfgh");
    CopyBytes(nullptr, nullptr, 0);
}

}  // namespace
