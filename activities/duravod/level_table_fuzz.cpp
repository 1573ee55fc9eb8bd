// Fuzz target activities_duravod_level_table_fuzz: any bytes as the level table ('IN#' 61), read
// as the module reads it, then the problem's number, order and groups picked several times at
// every level: no hang, crash or access outside the tables, and every pick inside its row.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "activities/duravod/duravod_state.h"
#include "activities/duravod/level_table.h"
#include "activities/duravod/shared_routines.h"
#include "platform/core/crt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> notes;
    duravod::CDuravodState& s = duravod::State();
    s.LevelTable = duravod::CLevelTable::Parse(std::span<const uint8_t>(data, size), notes);
    s.UsedNumbers = {};
    s.ProblemNumbers.Clear();
    plat::SRand(static_cast<uint32_t>(size));
    for (int16_t level = 0; level <= duravod::kLastLevel + 1; ++level) {
        s.CurrentLevel = level;
        const duravod::LevelRow row = s.LevelTable.Row(level);
        for (int pick = 0; pick < 30; ++pick) {
            duravod::PickProblemNumber();
            const int16_t picked = s.ProblemNumbers.Picked();
            if (level >= 1 && level <= duravod::kLastLevel && duravod::PlayedKind(row.kind) <= 5 &&
                (picked < row.lowest || picked > row.highest))
                std::abort();
            if (duravod::PickOrder() > 1) std::abort();
            const int16_t groups = duravod::PickGroups();
            if (groups < 1 || groups > 4) std::abort();
        }
    }
    return 0;
}
