// One step of the balance with both panels at 999: every block of both pans laid on its new arcs
// (LayoutArcItems), moved, drawn and presented (RedrawArea), with module 5 entered over the built
// "Zelbo5.res" on the activity kit (headless back end). The step alternates between 2 and 4, so
// every block moves each time.
#include <benchmark/benchmark.h>

#include "activities/vevudivodizide/compare_game_test_support.h"

namespace {

// The kit's fixture run by hand around the benchmark's loop.
class CBalanceBench : public comparetest::CompareGameTest {
public:
    void TestBody() override {}
    void Start() { SetUp(); }
    void Stop() { TearDown(); }
    vevudivodizide::CCompareGame& Game() { return *game; }
};

void BM_BalanceStepWithBothPanelsFull(benchmark::State& state) {
    CBalanceBench kit;
    kit.Start();
    vevudivodizide::CCompareGame& game = kit.Game();
    game.StepBalance(3);
    RedrawArea(0);
    game.leftPanel->SetValue(999);
    game.rightPanel->SetValue(999);
    int step = 2;
    for (auto _ : state) {
        game.StepBalance(step);
        RedrawArea(0);
        step = 6 - step;
    }
    if (game.leftPanel->Value() != 999 || game.rightPanel->Value() != 999) state.SkipWithError("the panels are not full");
    kit.Stop();
}
BENCHMARK(BM_BalanceStepWithBothPanelsFull)->Unit(benchmark::kMillisecond);

}  // namespace
