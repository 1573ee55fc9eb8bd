// The cars' costs, with module 3 entered over the built "Zelbo3.res" on the activity kit
// (headless back end): a car made, composed (its two pictures: base, number, vehicle overlay)
// and deleted, as each car that drives in is; and the parked cars restacked after a car parks,
// with 20 cars parked in the three rings of layout 2.
#include <benchmark/benchmark.h>

#include "activities/ruduridodu/ruduridodu_kit_test_support.h"
#include "activities/ruduridodu/slot_target.h"

namespace {

using ruduridodutest::TestRound;

// The kit's fixture run by hand around the benchmark's loop.
class CCarsBench : public ruduridodutest::KitTest {
public:
    void TestBody() override {}
    void Start() { SetUp(); }
    void Stop() { TearDown(); }
    using KitTest::Car;
    using KitTest::Play;
};

void BM_ComposeACar(benchmark::State& state) {
    CCarsBench kit;
    kit.Start();
    TestRound& round = *CCarsBench::Play();
    for (auto _ : state) {
        CRoundTile* car = round.Car(1, 100, 100);
        car->SetAttribute(30, 33);
        car->SetAttribute(20, 22);
        car->SetBasesFromAttributes();
        car->SetNumber(47);
        car->ComposePictures();
        benchmark::DoNotOptimize(car->FirstPicture());
        round.DeleteTile(car);
    }
    kit.Stop();
}
BENCHMARK(BM_ComposeACar)->Unit(benchmark::kMicrosecond);

void BM_RestackTwentyParkedCars(benchmark::State& state) {
    CCarsBench kit;
    kit.Start();
    TestRound& round = *CCarsBench::Play({{11}, {12}, {13}}, 2);
    int parked = 0;
    for (int16_t k = 1; k <= 3; ++k) {
        CSlotTarget* ring = round.GetContainer(k);
        for (int i = 0; i < (k == 3 ? 4 : 8); ++i) {
            CRoundTile* car = CCarsBench::Car(round, k, ring->CentreX(), ring->CentreY(), static_cast<int16_t>(31 + i % 4),
                                              static_cast<int16_t>(21 + k));
            car->ParkIn(ring);
            parked += car->ParkedSlot() ? 1 : 0;
        }
    }
    for (auto _ : state) round.Layout()->RestackTiles();
    if (parked != 20) state.SkipWithError("not 20 cars parked");
    kit.Stop();
}
BENCHMARK(BM_RestackTwentyParkedCars)->Unit(benchmark::kMillisecond);

}  // namespace
