// For the Ruduridodu tests and benchmarks on the activity kit: the module entered over the built
// Zelbo3.res, rounds of the test's making played as the module's own, and cars made for them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/ruduridodu/ruduridodu_test_support.h"
#include "engine/toolbox/activity_test_support.h"
#include "engine/toolbox/phrase.h"
#include "media/res/res_mgr.h"
#include "media/res/res_writer.h"
#include "platform/fs/dospath.h"

namespace ruduridodutest {

// The built Zelbo3.res as a writer, without the items listed (type, module-relative id), so that
// a test can put its own in their place or add items the file lacks.
inline media::CResWriter BuiltModuleFile(const std::vector<std::pair<std::string, int16_t>>& without = {}) {
    media::CResWriter w;
    CResMgr mgr;
    if (mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo3.res").c_str()) != 1) return w;
    for (ResDirEntry& e : mgr.Entries()) {
        std::string code;
        for (uint32_t v = e.type; v != 0; v >>= 8) code.insert(code.begin(), static_cast<char>(v & 0xFF));
        bool left = false;
        for (const auto& [type, id] : without) left = left || (type == code && e.id == 3000u + static_cast<uint32_t>(id));
        if (left) continue;
        std::vector<uint8_t> bytes(e.size);
        e.readPos = 0;
        if (e.size > 0 && !mgr.LoadItem(bytes.data(), &e, e.size)) continue;
        w.Add(code, static_cast<uint16_t>(e.id), bytes, e.reserved);
    }
    return w;
}

// The sounds phrase template id gives with those arguments and extra sound, to its end.
inline std::vector<int16_t> P(int16_t id, uint16_t extra, uint16_t a1 = 0, uint16_t a2 = 0) {
    uint16_t list[kPhraseSize] = {};
    const int16_t n = BuildPhrase(list, id, a1, a2, 0, 0, extra);
    std::vector<int16_t> out;
    for (int16_t i = 0; i < n && list[i] != 0; ++i) out.push_back(static_cast<int16_t>(list[i]));
    return out;
}
inline std::vector<int16_t> Cat(std::initializer_list<std::vector<int16_t>> parts) {
    std::vector<int16_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

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
