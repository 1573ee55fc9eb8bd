#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/res/res_file.h"
#include "media/res/res_mgr.h"
#include "platform/core/byte_order.h"
#include "tools/mkres/mkres_test_support.h"
#include "tools/mkres/spoken_numbers.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Codes = std::vector<int16_t>;

std::string Errors(const mkres::Diagnostics& diag) {
    std::string all;
    for (const auto& e : diag.Errors()) all += e + "\n";
    return all;
}

// The items of a built module read back through the game's reader.
class BuiltModule {
public:
    explicit BuiltModule(const Bytes& file) {
        auto files = std::make_shared<CResMemoryFiles>();
        files->Put("M.RES", file);
        m_mgr.SetFileSystem(files);
        m_open = m_mgr.Open("M.RES") == 1;
    }
    bool Open() const { return m_open; }
    bool Has(const char* type, uint32_t id) { return m_mgr.FindEntry(ResType(type), id) != nullptr; }
    Codes Read(const char* type, uint32_t id) {
        ResDirEntry* e = m_mgr.FindEntry(ResType(type), id);
        if (!e) return {};
        Bytes b(e->size);
        e->readPos = 0;
        if (!b.empty() && !m_mgr.LoadItem(b.data(), e, e->size)) return {};
        Codes codes;
        for (size_t i = 0; i + 1 < b.size(); i += 2) codes.push_back(plat::GetLeI16(b, i));
        return codes;
    }
    size_t Count(const char* type) {
        size_t n = 0;
        for (const ResDirEntry& e : m_mgr.Entries()) n += e.type == ResType(type);
        return n;
    }

private:
    CResMgr m_mgr;
    bool m_open = false;
};

TEST(SpokenPhrases, TemplatesAndTablesAreStoredAsTheirCodes) {
    const auto b = mkrestest::Build(R"(module 2
IPA M+5
  510 number 1 form 3 extra
  extra2 number 4 form 8 number 2 end
end
IPA M+6
  number 1
end
IPB M+7
  647 648
end
IPC 2008
  1 2 3 4 5 6 7 8
end
)");
    ASSERT_TRUE(b.ok) << Errors(b.diag);
    BuiltModule m(b.file);
    ASSERT_TRUE(m.Open());
    EXPECT_EQ(m.Read("IPA", 2005), (Codes{510, -21, -99, -98, -74, -2, 0}));
    EXPECT_EQ(m.Read("IPA", 2006), (Codes{-1}));
    EXPECT_EQ(m.Read("IPB", 2007), (Codes{647, 648, 0}));  // ended by a 0 when shorter than 8
    EXPECT_EQ(m.Read("IPC", 2008), (Codes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(SpokenPhrases, FaultsAreReportedWithTheirLine) {
    struct Case {
        const char* source;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"module 2\nIPA M\n  1 2 3 4 5 6 7 8 9\nend\n", 3, "more than 8 codes"},
        {"module 2\nIPA M\n  1 2 3 4\n  5 6 7 8 end\nend\n", 4, "more than 8 codes"},
        {"module 2\nIPA M\n  number 5\nend\n", 3, "outside 1 to 4"},
        {"module 2\nIPA M\n  number 0 form 1\nend\n", 3, "outside 1 to 4"},
        {"module 2\nIPA M\n  number 1 form 9\nend\n", 3, "outside 1 to 8"},
        {"module 2\nIPA M\n  number 1 form\nend\n", 3, "form takes"},
        {"module 2\nIPA M\n  number\nend\n", 3, "number takes"},
        {"module 2\nIPA M\n  0xFFEB\nend\n", 3, "outside 1 to 32767"},
        {"module 2\nIPA M\n  0\nend\n", 3, "outside 1 to 32767"},
        {"module 2\nIPA M\n  extra3\nend\n", 3, "expected a number"},
        {"module 2\nIPB M\n  1 2 3 4 5 6 7 8 9\nend\n", 3, "more than 8 codes"},
        {"module 2\nIPB M\n  -5\nend\n", 3, "outside 1 to 32767"},
        {"module 2\nSND M word\n  \"a\" \"b\"\nend\n", 2, "one line with one"},
        {"spoken-numbers 640 forms 1\n", 1, "needs a module line"},
        {"module 2\nspoken-numbers 640\n", 2, "takes BASE forms"},
        {"module 2\nspoken-numbers 970 forms 1\n", 2, "outside 1 to 989"},
        {"module 2\nspoken-numbers 0 forms 1\n", 2, "not a sound id"},
        {"module 2\nspoken-numbers 640 forms 9\n", 2, "not a number form"},
        {"module 2\nspoken-numbers 640 forms 1 1\n", 2, "twice"},
        {"module 2\nspoken-numbers 600 forms 3\n", 2, "outside 1 to 989"},  // form 3 from 0
        {"module 2\nspoken-numbers 770 forms 6\n", 2, "outside 1 to 989"},  // form 6 up to 998
    };
    for (const Case& c : cases) {
        const auto b = mkrestest::Build(c.source);
        EXPECT_FALSE(b.ok) << c.source;
        const std::string all = Errors(b.diag);
        EXPECT_NE(all.find("test.mkres:" + std::to_string(c.line) + ": "), std::string::npos) << c.source << "\n" << all;
        EXPECT_NE(all.find(c.message), std::string::npos) << c.source << "\n" << all;
    }
}

// The kit's clips and tables share the module's ids with its own items: a clash is an error at
// the line that comes second. (In this suite: the kit's words are spoken once a process.)
TEST(SpokenNumbers, TheKitsItemsClashWithTheModulesOwn) {
    const std::pair<const char*, const char*> cases[] = {
        {"module 2\nSND M+641\n  tone 440 10\nend\nspoken-numbers 640 forms 1\n", "test.mkres:5: item SND 2641 is given twice"},
        {"module 2\nspoken-numbers 640 forms 1\nIPB M+7\n  1\nend\n", "test.mkres:3: item IPB 2007 is given twice"},
    };
    for (const auto& [source, message] : cases) {
        const auto b = mkrestest::Build(source);
        EXPECT_FALSE(b.ok) << source;
        EXPECT_NE(Errors(b.diag).find(message), std::string::npos) << source << "\n" << Errors(b.diag);
    }
}

TEST(SpokenNumbers, EachNumberIsTheChainOfItsWords) {
    const auto& words = mkres::SpokenNumberWords();
    ASSERT_EQ(words.size(), 29u);
    const auto say = [&](int n) {
        std::string text;
        for (int w : mkres::SpokenNumberChain(n)) text += (text.empty() ? "" : " ") + words[static_cast<size_t>(w)];
        return text;
    };
    EXPECT_EQ(say(0), "noll");
    EXPECT_EQ(say(7), "sju");
    EXPECT_EQ(say(13), "tretton");
    EXPECT_EQ(say(20), "tjugo");
    EXPECT_EQ(say(42), "fyrtio tv\xE5");
    EXPECT_EQ(say(80), "\xE5ttio");
    EXPECT_EQ(say(100), "hundra");
    EXPECT_EQ(say(101), "hundra ett");
    EXPECT_EQ(say(200), "tv\xE5 hundra");
    EXPECT_EQ(say(342), "tre hundra fyrtio tv\xE5");
    EXPECT_EQ(say(919), "nio hundra nitton");
    EXPECT_EQ(say(999), "nio hundra nittio nio");
    for (int n = 0; n <= 999; ++n) {
        const auto chain = mkres::SpokenNumberChain(n);
        ASSERT_GE(chain.size(), 1u);
        ASSERT_LE(chain.size(), 4u);
    }
}

// The kit in module 3 with forms 1 and 6: one copy of the 29 clips per form at the base plus
// the form's offset, 'IPB' and 'IPC' 0 to 999 of the form-1 ids, nothing of the other forms.
TEST(SpokenNumbers, TheKitMakesClipsAndTables) {
    const auto b = mkrestest::Build("module 3\nspoken-numbers 640 forms 6 1\n");
    ASSERT_TRUE(b.ok) << Errors(b.diag);
    BuiltModule m(b.file);
    ASSERT_TRUE(m.Open());
    EXPECT_EQ(m.Count("SND"), 58u);
    EXPECT_EQ(m.Count("IPB"), 1000u);
    EXPECT_EQ(m.Count("IPC"), 1000u);
    for (int w = 0; w < 29; ++w) {
        EXPECT_TRUE(m.Has("SND", 3640 + w)) << w;
        EXPECT_TRUE(m.Has("SND", 3840 + w)) << w;
    }
    EXPECT_EQ(m.Read("IPB", 3342), (Codes{643, 668, 662, 642, 0}));
    EXPECT_EQ(m.Read("IPC", 3342), (Codes{643, 668, 662, 642, 0}));
    EXPECT_EQ(m.Read("IPB", 3000), (Codes{640, 0}));
    EXPECT_EQ(m.Read("IPB", 3100), (Codes{668, 0}));
}

// With a mouth every word clip gets its cue list: the rest picture and the three open ones by
// the clip's loudness, ending on the rest picture; without one there is none.
TEST(SpokenNumbers, TheKitsMouthGivesEveryWordClipItsCues) {
    const auto b = mkrestest::Build("module 3\nspoken-numbers 640 forms 1 mouth 20 21 22 23\n");
    ASSERT_TRUE(b.ok) << Errors(b.diag);
    BuiltModule m(b.file);
    ASSERT_TRUE(m.Open());
    EXPECT_EQ(m.Count("CUE"), 29u);
    for (int w = 0; w < 29; ++w) {
        const Codes cue = m.Read("CUE", 3640 + w);
        ASSERT_GE(cue.size(), 7u) << w;
        const size_t n = static_cast<uint16_t>(cue[0]);
        ASSERT_EQ(cue.size(), 1 + 6 * n) << w;
        bool opens = false;
        for (size_t k = 0; k < n; ++k) {
            const int16_t picture = cue[1 + 6 * k + 4];
            EXPECT_TRUE(picture >= 20 && picture <= 23) << w << ": " << picture;
            opens = opens || picture != 20;
        }
        EXPECT_TRUE(opens) << "word " << w << " opens the mouth";
        EXPECT_EQ(cue[1 + 6 * (n - 1) + 4], 20) << "word " << w << " ends at rest";
    }
    const auto plain = mkrestest::Build("module 3\nspoken-numbers 640 forms 1\n");
    ASSERT_TRUE(plain.ok) << Errors(plain.diag);
    EXPECT_EQ(BuiltModule(plain.file).Count("CUE"), 0u);
    for (const char* wrong : {"spoken-numbers 640 forms 1 mouth 20 21 22", "spoken-numbers 640 forms 1 mouth 20 21 22 23 24",
                              "spoken-numbers 640 forms mouth 20 21 22 23", "spoken-numbers 640 forms 1 mouth a 21 22 23"}) {
        EXPECT_FALSE(mkrestest::Build(std::string("module 3\n") + wrong + "\n").ok) << wrong;
    }
}

}  // namespace
