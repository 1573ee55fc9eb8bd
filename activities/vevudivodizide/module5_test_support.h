// The module's tests share this: module 5 entered through its own table over the built
// "Zelbo5.res" on the activity kit (virtual time, seeded), after a home module that writes the
// guest's block (the stored level, the two flags), with a level generator of the test's when it
// gives one; the boards and the module's sprites as the module holds them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "activities/vevudivodizide/free_board.h"
#include "activities/vevudivodizide/module5.h"
#include "activities/vevudivodizide/problem_generator.h"
#include "activities/vevudivodizide/question_board.h"
#include "activities/vevudivodizide/vevudivodizide.h"
#include "engine/base/activity_settings.h"
#include "engine/base/standin_table.h"
#include "engine/players/player_list.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"

namespace module5test {

using vevudivodizide::CAct5Board;
using vevudivodizide::CCompareFreeBoard;

using activitytest::HomeSetting;

class Module5Test : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        UseBuiltFile(kVevudivodizideModule);
    }
    void TearDown() override {
        ActivityTest::TearDown();
        vevudivodizide::SetLevelGenerator(nullptr);
    }
    // Enters module 5 with the stored level (level - 1) and the flags in the guest's file;
    // problems from the generator given (null: the module's own).
    void EnterWith(HomeSetting setting = {}, vevudivodizide::LevelGenerator generator = nullptr, uint32_t seed = 3) {
        vevudivodizide::SetLevelGenerator(generator);
        EnterFromHome(kVevudivodizideModule, VevudivodizideModuleTable(), setting, seed);
        RedrawArea(0);
    }
    // A click on the sprite once the scripts have settled (what it shows decides where it is
    // hit), then the scripts settled again, as the idle steps between a child's clicks do.
    void Click(CCorAnim* sprite) {
        RedrawArea(0);
        ClickSprite(sprite);
        RedrawArea(0);
    }
    void Press(int32_t key) {
        Key(key);
        RedrawArea(0);
    }
    static CAct5Board& Q() { return *Module5::questionBoard; }
    static CCompareFreeBoard& F() { return *Module5::freeBoard; }
    // The stored level of module 5 in the guest's preference file (the record, then the block).
    int StoredInFile() const { return StoredLevelInFile(kVevudivodizideModule); }
    // A side's three cards: a digit, 'b' blank, '.' nothing.
    static std::string Cards(const vevudivodizide::CCompareGame& g, int side) {
        RedrawArea(0);
        std::string s;
        for (int i = 0; i < 3; ++i) {
            const int16_t picture = g.Place(side, i)->CardPicture();
            s += picture >= 20 && picture <= 29 ? static_cast<char>('0' + picture - 20) : picture == 40 ? 'b' : '.';
        }
        return s;
    }
    bool HeardClip(int16_t id) const {
        for (int16_t clip : Clips())
            if (clip == id) return true;
        return false;
    }
};

}  // namespace module5test
