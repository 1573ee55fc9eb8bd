// A player's level per module: the stored form each module keeps in the saved-settings block,
// there and back, and stored words from a damaged file held to the module's range.
#include "engine/toolbox/module_level.h"

#include <gtest/gtest.h>

#include "engine/base/activity_settings.h"
#include "engine/core/zelbo_title.h"

namespace {

struct LevelCase {
    int module;
    uint16_t stored;  // as the block holds it
    int16_t level;    // what the module plays
    uint16_t back;    // what storing that level writes
};

// Per module: its first and last stored values, one between, and damaged words (0xFFFF and
// 62608: past the end for Duravod, which reads the word unsigned, negative for the others).
const LevelCase kCases[] = {
    {2, 0, 1, 0},      {2, 9, 10, 9},    {2, 53, 54, 53},  {2, 54, 55, 54},  {2, 55, 55, 54},  {2, 0xFFFF, 55, 54},
    {2, 62608, 55, 54}, {2, 900, 55, 54},
    {3, 0, 1, 0},      {3, 5, 6, 5},     {3, 52, 53, 52},  {3, 53, 53, 52},  {3, 400, 53, 52}, {3, 0xFFFF, 1, 0},
    {3, 62608, 1, 0},
    {4, 0, 1, 0},      {4, 21, 22, 21},  {4, 37, 38, 37},  {4, 38, 38, 37},  {4, 0xFFFF, 1, 0}, {4, 62608, 1, 0},
    {5, 0, 1, 0},      {5, 68, 69, 68},  {5, 87, 88, 87},  {5, 88, 1, 0},    {5, 0xFFFF, 1, 0}, {5, 62608, 1, 0},
    {6, 0, 1, 0},      {6, 25, 26, 25},  {6, 26, 26, 25},  {6, 0xFFFF, 1, 0}, {6, 62608, 1, 0},
};

class ModuleLevel : public ::testing::TestWithParam<LevelCase> {
protected:
    void SetUp() override { Block().SetDefaults(); }
    void TearDown() override { Block().SetDefaults(); }
    static ActivitySettings& Block() {
        int32_t size = 0;
        return *static_cast<ActivitySettings*>(theEngine->GetSavedSettings(size));
    }
};

TEST_P(ModuleLevel, StoredToLevelAndBack) {
    const LevelCase& c = GetParam();
    *Block().LevelOf(c.module) = c.stored;
    EXPECT_EQ(GetModuleLevel(c.module), c.level);
    SetModuleLevel(c.module, GetModuleLevel(c.module));
    EXPECT_EQ(*Block().LevelOf(c.module), c.back);
    for (int other = 2; other <= 6; ++other) {
        if (other != c.module) {
            EXPECT_EQ(*Block().LevelOf(other), 0) << "module " << other << " untouched";
        }
    }

    // Holding a loaded block gives the same word as storing the level, and touches only that.
    ActivitySettings loaded;
    loaded.SetDefaults();
    *loaded.LevelOf(c.module) = c.stored;
    EXPECT_EQ(HoldStoredLevels(loaded), c.stored == c.back ? 0 : 1);
    EXPECT_EQ(*loaded.LevelOf(c.module), c.back);
    for (int other = 2; other <= 6; ++other) {
        if (other != c.module) {
            EXPECT_EQ(*loaded.LevelOf(other), 0) << "module " << other << " untouched";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PerModule, ModuleLevel, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LevelCase>& info) {
                             return "Module" + std::to_string(info.param.module) + "Stored" +
                                    std::to_string(info.param.stored);
                         });

TEST(ModuleLevelRange, LevelsSetOutsideTheRangeAreHeldAndOtherModulesHaveNone) {
    int32_t size = 0;
    auto& block = *static_cast<ActivitySettings*>(theEngine->GetSavedSettings(size));
    block.SetDefaults();
    SetModuleLevel(4, 500);
    EXPECT_EQ(block.level[2], 37);
    SetModuleLevel(4, -3);
    EXPECT_EQ(block.level[2], 0);
    SetModuleLevel(3, 0);
    EXPECT_EQ(block.level[1], 0) << "module 3's level 0 is held to its first level";
    for (int module : {-1, 0, 1, 7, 10}) {
        EXPECT_EQ(ModuleLevelFormOf(module), nullptr);
        EXPECT_EQ(GetModuleLevel(module), 0);
        SetModuleLevel(module, 5);  // nothing written anywhere
    }
    EXPECT_EQ(block.level[0], 0);
    EXPECT_EQ(block.level[4], 0);
    block.SetDefaults();
}

}  // namespace
