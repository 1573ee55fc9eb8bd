// libFuzzer target: any bytes as the compare activity's level table, read as the game reads it
// (every row checked by walking its draw), then each level's row drawn from as the question
// board draws: passes of random slot values until one is accepted, for every setting the row can
// meet. A row the reader kept always ends its draw: no hang, and every accepted problem is one
// the walk counts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "media/res/compare_levels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> notes;
    const media::CompareLevels table = media::ReadCompareLevels(std::span(data, size), notes);
    std::minstd_rand random(static_cast<uint32_t>(size));
    for (int level = 1; level <= media::kCompareLevels; ++level) {
        const media::CompareLevelRow& row = table.Row(level);
        if (media::CheckCompareRow(row)) std::abort();  // the reader keeps only usable rows
        for (const media::CompareDrawSetting& s : media::DrawSettings(row)) {
            if (media::CountRepeatKeys(row, s) < 1) std::abort();
            const auto slots = media::DrawSlots(row, s);
            // Rejection sampling as the board does it, bounded here only to keep runs short.
            for (int pass = 0; pass < 2000; ++pass) {
                std::vector<int> drawn;
                for (const auto& slot : slots) drawn.push_back(slot.At(static_cast<int>(random() % static_cast<uint32_t>(slot.count))));
                const auto p = media::ComposeCompareProblem(row, s, drawn);
                if (!p) continue;
                if (p->left < 0 || p->left > 999 || p->right < 0 || p->right > 999) std::abort();
                break;
            }
        }
    }
    return 0;
}
