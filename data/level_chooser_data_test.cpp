// The level chooser's tables and pictures of modules 2 to 6: each table reads as the chooser
// reads it, with the groups and levels the grown-ups' settings page steps through, and the
// panel's pictures are all there and fit the 640 x 480 screen, folded and unfolded.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "media/res/activity_levels.h"
#include "media/res/level_table.h"
#include "media/res/res_mgr.h"
#include "data/res_item_test_support.h"
#include "platform/fs/dospath.h"

namespace {

using datatest::Bytes;
using datatest::ReadItem;

struct Size {
    int w = 0, h = 0;
};

Size PictureSize(CResMgr& mgr, uint32_t id) {
    const Bytes b = ReadItem(mgr, kResSPR, id);
    if (b.size() < 12) return {};
    return {b[0] | b[1] << 8, b[4] | b[5] << 8};
}

struct ModuleCase {
    int module;
    int table;
    int base;
    std::vector<int> levels;  // per group: the steps of the module's row of kActivityLevelSteps
};

std::vector<int> LevelsPerStep(int module) {
    const ActivityLevelSteps* row = ActivityLevelStepsOf(module);
    if (!row) return {};
    return {row->Weights().begin(), row->Weights().end()};
}

const ModuleCase kModules[] = {
    {2, 60, 60, LevelsPerStep(2)},   {3, 100, 20, LevelsPerStep(3)},   {4, 100, 870, LevelsPerStep(4)},
    {5, 100, 870, LevelsPerStep(5)}, {6, 800, 800, LevelsPerStep(6)},
};

TEST(GeneratedResources, LevelChooserTablesAndPicturesOfEveryActivity) {
    for (const ModuleCase& m : kModules) {
        SCOPED_TRACE("module " + std::to_string(m.module));
        CResMgr mgr;
        ASSERT_EQ(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo" + std::to_string(m.module) + ".res").c_str()), 1);
        const uint32_t at = static_cast<uint32_t>(m.module * 1000);
        const auto table = media::ParseLevelTable(ReadItem(mgr, ResType("IN#"), at + static_cast<uint32_t>(m.table)));
        ASSERT_TRUE(table.has_value());
        ASSERT_EQ(table->lastGroup + 1, static_cast<int>(m.levels.size()));
        for (size_t g = 0; g < m.levels.size(); ++g) EXPECT_EQ(table->groups[g].levels, m.levels[g]) << g;
        const int total = std::accumulate(m.levels.begin(), m.levels.end(), 0);
        EXPECT_EQ(media::GroupOfLevel(*table, total), table->lastGroup);

        const uint32_t b = at + static_cast<uint32_t>(m.base);
        Size p[19];
        for (uint32_t i : {0u, 1u, 2u, 3u, 4u, 11u, 12u, 13u, 14u, 15u, 16u, 17u, 18u}) {
            p[i] = PictureSize(mgr, b + i);
            EXPECT_GT(p[i].w, 0) << "picture b+" << i;
        }
        EXPECT_GE(p[1].w, 24) << "the thumb";
        EXPECT_GT(p[0].w - table->endMargin, 0) << "the track's scale";
        EXPECT_EQ(p[12].w, p[11].w - 2 * table->areaX) << "the highlight covers the segment area";
        EXPECT_EQ(p[12].h, p[11].h - 2 * table->areaY);
        EXPECT_EQ(p[14].w, p[13].w);
        EXPECT_EQ(p[16].w, p[15].w);
        EXPECT_EQ(p[18].w, p[17].w);
        // The panel and what is on it, folded and unfolded, on the screen.
        const int width = std::max(p[0].w + 10, p[11].w) + 36;
        const int unfolded = p[3].h + p[13].h + p[2].h + p[0].h + p[11].h + 76;
        EXPECT_LE(width, 640);
        EXPECT_LE(unfolded, 480);
        const int rulerBottom = 18 + p[2].h + 10 + p[0].h + 2 + p[3].h + 10 + p[11].h;
        EXPECT_LT(rulerBottom, unfolded - p[13].h - 18) << "the ruler ends above the buttons";
        EXPECT_LE(18 + p[2].w, width - p[17].w - 18) << "the title clears the fold toggle";
        EXPECT_LE(p[4].w, p[3].w);
    }
}

}  // namespace
