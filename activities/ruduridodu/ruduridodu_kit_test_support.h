// For the Ruduridodu tests and benchmarks on the activity kit: the module entered over the built
// Zelbo3.res, rounds of the test's making played as the module's own, and cars made for them.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/ruduridodu/ruduridodu_test_support.h"
#include "engine/toolbox/activity_test_support.h"

namespace ruduridodutest {

class KitTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        UseBuiltFile(kRuduridoduModule);
        EnterModule(kRuduridoduModule, RuduridoduModuleTable());
    }
    // A round of that layout and rings played as the module's round (layout 1: rings 1 and 2
    // side by side, ovals round (240, 263) and (504, 263); by default röda bilar, blå bilar).
    static TestRound* Play(const std::vector<TestRound::Ring>& rings = {{11}, {12}}, int16_t layout = 1) {
        Module3::FreeRound();
        auto round = std::make_unique<TestRound>(layout, rings);
        TestRound* r = round.get();
        Module3::UseRound(std::move(round));
        return r;
    }
    // A car of record k as the given vehicle and variant, composed, facing first, at (x, y).
    static CRoundTile* Car(TestRound& round, int16_t k, int16_t x, int16_t y, int16_t type = 31, int16_t variant = 21) {
        CRoundTile* tile = round.Car(k, x, y);
        tile->SetAttribute(30, type);
        tile->SetAttribute(20, variant);
        tile->SetBasesFromAttributes();
        tile->ComposePictures();
        tile->FaceFirst();
        tile->MoveTo(x, y);
        return tile;
    }
};

}  // namespace ruduridodutest
