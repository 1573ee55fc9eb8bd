// The compare game's tests share this: module 5 entered over the built "Zelbo5.res" on the
// activity kit (virtual time, seeded), a compare game built and reset on it, a module table whose
// clicks go to the press the test gives, and the clips and sprites the kit records.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "activities/vevudivodizide/compare_game.h"
#include "activities/vevudivodizide/vevudivodizide.h"
#include "engine/base/module_table.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace comparetest {

using vevudivodizide::CCompareGame;

// What a click on a sprite does while a test runs (the boards' click handlers come later).
inline std::function<int16_t(CCorAnim*)> gPress;

class CompareGameTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        UseBuiltFile(kVevudivodizideModule);
        m_table.OnAnimClicked = [](CCorAnim* sprite, int16_t) -> int16_t { return gPress ? gPress(sprite) : 0; };
        m_table.OnTextClicked = [](CText*, int16_t) -> int16_t { return 1; };
        EnterModule(kVevudivodizideModule, &m_table, 5);
        vevudivodizide::screenState = vevudivodizide::kFreeBoard;
        game = std::make_unique<CCompareGame>();
        game->Build();
        game->Reset();
        ClearClips();
    }
    void TearDown() override {
        gPress = nullptr;
        game.reset();
        ActivityTest::TearDown();
    }

    // The ids (module-relative) of the clips started since the last ClearClips.
    std::vector<int> Started() const {
        std::vector<int> ids;
        for (int16_t id : Clips()) ids.push_back(id);
        return ids;
    }
    void ClearStarted() { ClearClips(); }
    // Runs the scripts until they settle and presents.
    static void Settle() { RedrawArea(0); }
    // Presents the whole screen afresh, for golden screens.
    static void PresentAll() {
        InvalidateRect16(CCorRect{0, 0, 640, 480});
        RedrawArea(0);
    }
    // A press at (x, y) through the engine's dispatch, whose click `start` takes (a press
    // handler of the game, which runs the drag); the pointer then moves through the points
    // stepMs virtual ms apart and is let go at the last.
    template <typename Start>
    void Drag(int x, int y, const std::vector<POINT>& path, Start start, int stepMs = 10) {
        gPress = [&start](CCorAnim*) -> int16_t {
            start();
            return 1;
        };
        PressAndMove(static_cast<int16_t>(x), static_cast<int16_t>(y), path, static_cast<uint64_t>(stepMs));
        gPress = nullptr;
    }
    // Where the sprite stands in the drawing order (0 the backmost): found by its place after a
    // move to a place no other sprite has, then put back.
    size_t OrderOf(CCorAnim* sprite) {
        const int16_t x = GetSpriteX(sprite), y = GetSpriteY(sprite);
        vevudivodizide::MoveTo(sprite, -30000, -30000);
        Settle();
        size_t order = SIZE_MAX;
        for (const activitytest::SpriteRecord& r : Sprites())
            if (r.x == -30000 && r.y == -30000) order = r.order;
        vevudivodizide::MoveTo(sprite, x, y);
        Settle();
        return order;
    }

    ModuleFunctionTable m_table{};
    std::unique_ptr<CCompareGame> game;
};

}  // namespace comparetest
