// Fuzz target activities_duravod_hatch_lists_fuzz: any bytes as the hatch's lists ('IN#' 400 and
// 401), read as the module reads them, then many picks: no hang, crash or read outside the item;
// at most 20 ids held, every pick one of them, and no pick the same as the one before while the
// list holds two or more.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "activities/duravod/scene.h"
#include "platform/core/crt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> notes;
    duravod::CHatchList list = duravod::CHatchList::Parse(std::span<const uint8_t>(data, size), notes);
    const std::vector<int16_t>& ids = list.Ids();
    if (ids.size() > duravod::CHatchList::kMostHeld || ids.size() > (size < 2 ? 0 : (size - 2) / 2)) std::abort();
    plat::SRand(static_cast<uint32_t>(size));
    size_t previous = 0;
    for (int pick = 0; pick < 200; ++pick) {
        const int16_t id = list.Pick();
        if (ids.empty()) {
            if (id != 0) std::abort();
            continue;
        }
        size_t at = 0;
        while (at < ids.size() && ids[at] != id) ++at;
        if (at == ids.size()) std::abort();
        // Two equal ids may stand in the list: the pick is by place, so compare the places.
        if (ids.size() >= 2 && pick > 0) {
            bool other = false;
            for (size_t k = 0; k < ids.size(); ++k) other = other || (ids[k] == id && k + 1 != previous);
            if (!other) std::abort();
        }
        previous = at + 1;
    }
    return 0;
}
