// The compare activity's level table: lines read back through the game's resource reader and
// ReadCompareLevels; faulty bodies refused with their line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/res/compare_levels.h"
#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "tools/mkres/mkres_test_support.h"

namespace {

using mkrestest::Built;

Built Build(const std::string& text) { return mkrestest::Build(text, "levels.mkres"); }

// Levels 3 to 87 as plain one-number rows, after the lines a test gives for levels 1 and 2.
std::string Table(const std::string& first, const std::string& rest = "") {
    std::string text = "module 5\nLVL M comparelevels\n" + first;
    for (int level = 3; level <= media::kCompareLevels; ++level)
        text += "  " + std::to_string(level) + " mode 1 panel cols 1 draw one a 1-9 repeat shown relation equal\n";
    return text + rest + "end\n";
}

TEST(CompareLevelsEncoder, EveryColumnComesBack) {
    const Built good = Build(Table(
        "  1 mode 1 panel  cols 1  draw one  a 1-9  repeat shown  relation equal\n"
        "  2 mode 4 expr+sign+open or 3 expr  cols 2  compact opposite  draw shownexpr  tens  a 10-40/10-90  b 10-50/20-90  c 10-90  plus 49/99  nocarry  choose 1+2  hidden  repeat shown  relation chosen\n"));
    ASSERT_TRUE(good.ok) << (good.diag.Errors().empty() ? "" : good.diag.Errors()[0]);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("L.RES", good.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("L.RES"));
    std::vector<std::string> notes;
    const media::CompareLevels t =
        media::ReadCompareLevels(restest::ReadWhole(mgr, mgr.FindEntry(ResType("LVL"), 5000)), notes);
    EXPECT_TRUE(notes.empty()) << notes[0];
    media::CompareLevelRow want;
    want.level = 2;
    want.mode = 4, want.show = media::kShowExpr, want.follow = media::kFollowSign | media::kFollowOpen;
    want.altMode = 3, want.altShow = media::kShowExpr, want.altFollow = 0;
    want.cols = 2, want.compact = media::kCompactOpposite, want.shape = media::kShapeShownExpr, want.tens = 1;
    want.a = {10, 40}, want.aRecent = {10, 90}, want.b = {10, 50}, want.bRecent = {20, 90}, want.c = {10, 90};
    want.op = media::kOpPlus, want.limit = 49, want.limitRecent = 99, want.carry = 1;
    want.choice = media::kChoiceOneOrTwo, want.hidden = 1, want.repeat = media::kRepeatShown;
    want.relation = media::kRelationChosen, want.distinct = 0;
    EXPECT_EQ(t.Row(2), want);
    EXPECT_EQ(t.Row(1), media::CompareLevelOneRow());
}

struct FaultCase {
    const char* name;
    const char* line;
    const char* message;
};

class CompareLevelsFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CompareLevelsFaults, AreReportedWithTheirLine) {
    const Built b = Build(Table(std::string("  1 mode 1 panel cols 1 draw one a 1-9 repeat shown relation equal\n") +
                                GetParam().line + "\n"));
    ASSERT_FALSE(b.ok);
    ASSERT_FALSE(b.diag.Errors().empty());
    EXPECT_NE(b.diag.Errors()[0].find(GetParam().message), std::string::npos) << b.diag.Errors()[0];
    EXPECT_NE(b.diag.Errors()[0].find("levels.mkres:"), std::string::npos) << b.diag.Errors()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, CompareLevelsFaults,
    ::testing::Values(
        FaultCase{"UnknownShape", "  2 mode 1 panel cols 1 draw three a 1-9 repeat shown", "unknown draw \"three\""},
        FaultCase{"UnknownWord", "  2 mode 1 panel cols 1 draw one a 1-9 repeat shown twice 2", "unknown word \"twice\""},
        FaultCase{"UnknownShow", "  2 mode 1 pane cols 1 draw one a 1-9 repeat shown", "unknown show \"pane\""},
        FaultCase{"UnknownMode", "  2 mode 6 panel cols 1 draw one a 1-9 repeat shown", "unknown mode 6"},
        FaultCase{"RangeTo1000", "  2 mode 1 panel cols 1 draw one a 1-1000 repeat shown", "within 0 to 999"},
        FaultCase{"RangeReversed", "  2 mode 1 panel cols 1 draw one a 9-1 repeat shown", "lo not above hi"},
        FaultCase{"LevelTwice", "  1 mode 1 panel cols 1 draw one a 1-9 repeat shown", "level 1 is given twice"},
        FaultCase{"Level88", "  88 mode 1 panel cols 1 draw one a 1-9 repeat shown", "88 is outside 1 to 87"},
        FaultCase{"LevelMissing", "", "level 2 is missing"},
        FaultCase{"NeverMet", "  2 mode 2 panels cols 1 draw two a 5-5 b 5-5 distinct repeat both", "never met"},
        FaultCase{"HiddenNeverLarger",
                  "  2 mode 3 expr cols 1 draw shownexpr a 5-9 b 4-9 plus 9 c 1-9 choose 2 hidden repeat shown relation chosen",
                  "never met"},
        FaultCase{"NoCarryWithMinus", "  2 mode 3 expr cols 1 draw shownexpr a 5-9 b 1-4 minus 1 nocarry repeat shown",
                  "nocarry goes with plus"},
        FaultCase{"NoRepeat", "  2 mode 1 panel cols 1 draw one a 1-9", "needs mode, cols, draw and repeat"},
        FaultCase{"ExprOnOneNumber", "  2 mode 1 expr cols 1 draw one a 1-9 repeat shown", "does not fit shape"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
