// The topic lists: every step's label inside the row the topic panel hit-tests, the lit twin
// differing only in the rows' backgrounds; faulty bodies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/res/activity_levels.h"
#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "platform/core/byte_order.h"
#include "tools/mkres/mkres_test_support.h"

namespace {

using mkrestest::Built;

Built Build(const std::string& text) { return mkrestest::Build(text, "topics.mkres"); }

using mkrestest::Picture;
using mkrestest::ReadPicture;

constexpr uint8_t kInk = 0;
constexpr uint8_t kLit = 251;

TEST(TopicListEncoder, EachLabelLiesInTheRowThePanelHitTests) {
    std::string source = "module 0\n";
    for (const ActivityLevelSteps& row : kActivityLevelSteps) {
        const std::string m = std::to_string(row.module);
        source += "SPR " + std::to_string(100 + row.module) + " topiclist\n  activity " + m + "\nend\n";
        source += "SPR " + std::to_string(200 + row.module) + " topiclist\n  activity " + m + "\n  highlight\nend\n";
    }
    const Built b = Build(source);
    ASSERT_TRUE(b.ok) << (b.diag.Errors().empty() ? "" : b.diag.Errors()[0]);
    auto files = std::make_shared<CResMemoryFiles>();
    files->Put("T.RES", b.file);
    CResMgr mgr;
    mgr.SetFileSystem(files);
    ASSERT_TRUE(mgr.Open("T.RES"));

    const int half = kTopicAreaWidth / 2;
    for (const ActivityLevelSteps& row : kActivityLevelSteps) {
        SCOPED_TRACE("module " + std::to_string(row.module));
        const Picture plain = ReadPicture(mgr, static_cast<uint32_t>(100 + row.module));
        const Picture lit = ReadPicture(mgr, static_cast<uint32_t>(200 + row.module));
        ASSERT_EQ(plain.width, kTopicAreaWidth + 1);
        ASSERT_EQ(plain.height, kTopicAreaHeight + 2);
        ASSERT_EQ(lit.width, plain.width);
        ASSERT_EQ(lit.height, plain.height);
        // The ink of each row lies in its own band of its own column, and every row has some.
        std::vector<int> inkPerStep(static_cast<size_t>(row.steps), 0);
        for (int y = 0; y < plain.height; ++y) {
            for (int x = 0; x < plain.width; ++x) {
                const uint8_t p = plain.At(x, y), l = lit.At(x, y);
                ASSERT_TRUE(p == l || l == kLit) << "only the rows' backgrounds differ, at " << x << "," << y;
                if (p != kInk) continue;
                ASSERT_EQ(l, kInk);
                const bool left = x < half;
                const int band = (y - kTopicMargin) / kTopicRowHeight;
                ASSERT_GE(y, kTopicMargin) << x;
                const int step = left ? band : row.leftRows + band;
                ASSERT_LT(band, left ? row.leftRows : row.steps - row.leftRows) << x << "," << y;
                ++inkPerStep[static_cast<size_t>(step)];
            }
        }
        for (int s = 0; s < row.steps; ++s) EXPECT_GT(inkPerStep[static_cast<size_t>(s)], 10) << "step " << s + 1;
        // The lit twin's row of the last step is lit where the plain one is not.
        const int last = row.steps - 1 - row.leftRows;
        EXPECT_EQ(lit.At(half + 4, kTopicMargin + last * kTopicRowHeight + 2), kLit);
        EXPECT_NE(plain.At(half + 4, kTopicMargin + last * kTopicRowHeight + 2), kLit);
    }
}

struct FaultCase {
    const char* name;
    const char* source;
    const char* message;
};

class TopicListFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(TopicListFaults, AreReportedWithTheirLine) {
    const Built b = Build(std::string("module 0\n") + GetParam().source);
    ASSERT_FALSE(b.ok);
    ASSERT_FALSE(b.diag.Errors().empty());
    EXPECT_NE(b.diag.Errors()[0].find(GetParam().message), std::string::npos) << b.diag.Errors()[0];
    EXPECT_NE(b.diag.Errors()[0].find("topics.mkres:"), std::string::npos) << b.diag.Errors()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TopicListFaults,
    ::testing::Values(FaultCase{"NoActivity", "SPR 233 topiclist\n  highlight\nend\n", "needs its activity"},
                      FaultCase{"NotAnActivity", "SPR 233 topiclist\n  activity 7\nend\n", "7"},
                      FaultCase{"UnknownLine", "SPR 233 topiclist\n  activity 3\n  size 3 4\nend\n", "not size"},
                      FaultCase{"UnknownFace", "SPR 233 topiclist\n  activity 3\n  face NOFACE\nend\n", "NOFACE"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

}  // namespace
