// Ruduridodu in the whole game: entered from the hub's entrance, its first task presented, then
// a task with cars for the bin (the level chooser's answer) played as a child plays it: each car
// pressed and dragged by the pointer into its ring or onto the bin, the praise, and the next
// task presented.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/ruduridodu/slot_target.h"
#include "app/app_test_support.h"
#include "app/game_modules.h"
#include "app/hub.h"
#include "engine/core/cor_engine.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "media/text/cor_string.h"

namespace {

using app_test::AppTest;

// The player chooser answers at once with the guest.
void ChooseTheGuest(ModuleFunctionTable*, int16_t, HubNameCallback done) { done(CCorString("G\xE4st")); }

std::function<void()> gFromLoop;

void CALLBACK RunFromLoop(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> fn = std::move(gFromLoop);
    gFromLoop = nullptr;
    CEngineCall call;
    fn();
}

// Runs fn from the application's message loop as one engine call, as the game view's messages
// run.
void FromLoop(std::function<void()> fn) {
    gFromLoop = std::move(fn);
    SetTimer(nullptr, 0, 1, RunFromLoop);
}

// A point the sprite's picture covers (not colour 0), in frame-surface coordinates.
POINT OpaquePointOf(CCorAnim* anim) {
    RECT r{};
    if (!anim || !anim->GetBounds(r)) return POINT{-1, -1};
    for (int y = (r.top + r.bottom) / 2; y < r.bottom; ++y)
        for (int x = (r.left + r.right) / 2; x < r.right; ++x)
            if (anim->HitTest(x, y, true)) return POINT{x, y};
    return POINT{-1, -1};
}

// The clips started since they were last cleared (module-relative ids).
std::vector<int16_t> Clips() {
    std::vector<int16_t> ids;
    for (int32_t id : theEngine->m_sounds.StartedClips()) ids.push_back(static_cast<int16_t>(id % 1000));
    return ids;
}
size_t IndexOf(const std::vector<int16_t>& clips, int16_t lo, int16_t hi, size_t from = 0) {
    for (size_t i = from; i < clips.size(); ++i)
        if (clips[i] >= lo && clips[i] <= hi) return i;
    return clips.size();
}

class RuduridoduGameTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        m_savedOpener = SetHubChooserOpener(ChooseTheGuest);
    }
    void TearDown() override {
        SetHubChooserOpener(m_savedOpener);
        AppTest::TearDown();
    }
    // Runs fn once done() holds while no engine call is under way, looked at every 20 virtual
    // milliseconds; a game that never gets there ends the loop with a failure.
    void When(std::function<bool()> done, std::function<void()> fn, const char* what, int triesLeft = 6000) {
        Later(20, [this, done = std::move(done), fn = std::move(fn), what, triesLeft]() mutable {
            if (theEngine->m_running && theEngine->CallDepth() == 0 && done()) {
                fn();
            } else if (triesLeft == 0) {
                ADD_FAILURE() << "never: " << what;
                PostQuitMessage(1);
            } else {
                When(std::move(done), std::move(fn), what, triesLeft - 1);
            }
        });
    }
    // The child can act on the module's current car.
    static bool CarReady() {
        const CModule3State& m = Module3::View();
        if (theEngine->m_currentModule != kRuduridoduModule || !m.ready || !m.currentRound) return false;
        CRoundTile* car = m.currentRound->GetCurrentTile();
        return car && GetSpriteStatus(car->Sprite()) == 1;
    }
    // The pointer presses the car's middle, moves to (x, y) of the picture in eight steps and lets
    // go there, through the window as a child's mouse would.
    void DragCar(CRoundTile* car, int16_t x, int16_t y) {
        int16_t w = 0, h = 0;
        GetPictureSize(GetSpriteFrame(car->Sprite()), w, h);
        const int ox = theEngine->m_originX, oy = theEngine->m_originY;
        const int fromX = GetSpriteX(car->Sprite()) + w / 2 + ox, fromY = GetSpriteY(car->Sprite()) + h / 2 + oy;
        const int toX = x + ox, toY = y + oy;
        plat::InputEvent down;
        down.kind = plat::InputKind::MouseDown;
        down.x = fromX;
        down.y = fromY;
        m_head->QueueInput(At(10), down);
        for (int i = 1; i <= 8; ++i) m_head->MouseMove(At(10 + 15 * static_cast<uint64_t>(i)), fromX + (toX - fromX) * i / 8, fromY + (toY - fromY) * i / 8);
        plat::InputEvent up = down;
        up.kind = plat::InputKind::MouseUp;
        up.x = toX;
        up.y = toY;
        m_head->QueueInput(At(150), up);
    }
    // Drives the current car where it belongs, again and again, until the task is solved (the
    // praise heard) and the next one has been presented; then `done`.
    void PlayTask(std::function<void()> done) {
        When(CarReady, [this, done = std::move(done)]() mutable {
            const std::vector<int16_t> clips = Clips();
            if (IndexOf(clips, 501, 510) < clips.size()) {
                done();
                return;
            }
            const CModule3State& m = Module3::View();
            CRoundTile* car = m.currentRound->GetCurrentTile();
            const int16_t record = car->Record();
            if (record == 0) {
                ++m_intoTheBin;
                DragCar(car, 54, 138);
            } else {
                ++m_intoRings;
                CSlotTarget* ring = m.currentRound->GetContainer(record);
                DragCar(car, ring->CentreX(), ring->CentreY());
            }
            // The press comes 10 ms from now: the car is taken, then comes down.
            Later(200, [this, done = std::move(done)]() mutable { PlayTask(std::move(done)); });
        }, "a car to drive");
    }

    HubChooserOpener m_savedOpener = nullptr;
    int m_intoRings = 0;
    int m_intoTheBin = 0;
};

TEST_F(RuduridoduGameTest, FromTheHubATaskIsPlayedToItsPraiseAndTheNextTask) {
    const CGameModules modules;
    CZelboApp app;
    std::vector<int16_t> firstTask, chosenTask, played;
    int16_t firstLevel = 0, chosenLevel = 0, binCars = 0, mistakes = -1, nextIndex = 0;
    WhenEntered([&] {
        FromLoop([&] {
            const auto* door = std::find_if(std::begin(kHubEntrances), std::end(kHubEntrances),
                                            [](const HubEntrance& e) { return e.module == kRuduridoduModule; });
            theEngine->m_sounds.ClearStartedClips();
            theEngine->m_anims.ClickAt(OpaquePointOf(HubSceneNow().entrances[static_cast<size_t>(door - kHubEntrances)]),
                                       false);
        });
        When(CarReady, [&] {
            firstTask = Clips();
            firstLevel = Module3::View().level;
            // The level chooser's answer: level 6, whose tasks have cars for the bin.
            FromLoop([&] {
                theEngine->m_sounds.ClearStartedClips();
                Module3::FreeRound();
                Module3::OnLevelChosen(1, 5);
                chosenTask = Clips();
                chosenLevel = Module3::View().level;
                const CRoundTask* task = Module3::View().currentRound.get();
                binCars = task ? task->GetRecord(0)->Tally() : int16_t{0};
                theEngine->m_sounds.ClearStartedClips();
                PlayTask([&] {
                    played = Clips();
                    mistakes = Module3::View().taskMistakes;
                    nextIndex = Module3::View().taskIndex;
                    app.m_pMainWnd->PostMessage(WM_CLOSE);
                });
            });
        }, "the first task presented");
    });
    EXPECT_EQ(RunGame(app), 0);
    // The first task after the program starts: the presenter's welcome.
    EXPECT_EQ(firstLevel, 1);
    EXPECT_LT(IndexOf(firstTask, 401, 401), IndexOf(firstTask, 402, 402));
    EXPECT_LT(IndexOf(firstTask, 402, 402), firstTask.size());
    // A later task: 409 first, the bin named (200), 410 last.
    EXPECT_EQ(chosenLevel, 6);
    ASSERT_GT(binCars, 0);
    ASSERT_FALSE(chosenTask.empty());
    EXPECT_EQ(chosenTask.front(), 409);
    EXPECT_LT(IndexOf(chosenTask, 200, 200), chosenTask.size());
    EXPECT_EQ(chosenTask.back(), 410);
    // Every car where it belongs, the bin's cars into the bin, without a mistake; then the
    // praise and the next task's presentation.
    EXPECT_GT(m_intoRings, 0);
    EXPECT_EQ(m_intoTheBin, binCars);
    EXPECT_EQ(IndexOf(played, 728, 728), played.size()) << "no wrong drop";
    const size_t praise = IndexOf(played, 501, 510);
    ASSERT_LT(praise, played.size());
    EXPECT_LT(IndexOf(played, 409, 409, praise), IndexOf(played, 410, 410, praise));
    EXPECT_LT(IndexOf(played, 410, 410, praise), played.size());
    EXPECT_EQ(mistakes, 0);
    EXPECT_EQ(nextIndex, 6);
}

}  // namespace
