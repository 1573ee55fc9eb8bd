// Reading and checking the question board's level table as the compare activity does when it is
// entered: the 87 rows of 'LVL' 5000 in the built "Zelbo5.res", each row's draw walked for every
// setting it can meet (ReadCompareLevels).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "media/res/compare_levels.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace {

std::vector<uint8_t> TableBytes() {
    CResMgr mgr;
    if (mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo5.res").c_str()) != 1) return {};
    ResDirEntry* e = mgr.FindEntry(ResType("LVL"), 5000);
    if (!e) return {};
    std::vector<uint8_t> bytes(e->size);
    e->readPos = 0;
    if (!mgr.LoadItem(bytes.data(), e, e->size)) return {};
    return bytes;
}

void BM_ReadCompareLevels(benchmark::State& state) {
    const std::vector<uint8_t> bytes = TableBytes();
    if (bytes.empty()) {
        state.SkipWithError("no level table in Zelbo5.res");
        return;
    }
    size_t notes = 0;
    for (auto _ : state) {
        std::vector<std::string> lines;
        const media::CompareLevels t = media::ReadCompareLevels(bytes, lines);
        benchmark::DoNotOptimize(t.rows[86].level);
        notes += lines.size();
    }
    if (notes) state.SkipWithError("the table has faults");
}
BENCHMARK(BM_ReadCompareLevels)->Unit(benchmark::kMillisecond);

}  // namespace
