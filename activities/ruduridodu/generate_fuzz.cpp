// Fuzz target activities_ruduridodu_generate_fuzz: any bytes as list 200 (the level table) and
// the generators' number lists, read as the module reads them, then a task made at every level
// and a few rotations: no hang, crash or read outside a list.
//
// The input is cut into items: a 16-bit little-endian size, then that many bytes (cut to what
// is left), for list 200 and then each generator list in turn; missing items are empty.
#include <cstddef>
#include <cstdint>
#include <span>

#include "activities/ruduridodu/number_list.h"
#include "activities/ruduridodu/task_kinds.h"
#include "platform/core/crt.h"

namespace {

std::span<const uint8_t> NextItem(std::span<const uint8_t>& input) {
    if (input.size() < 2) {
        input = {};
        return {};
    }
    const size_t size = static_cast<size_t>(input[0] | (input[1] << 8));
    input = input.subspan(2);
    const size_t n = size < input.size() ? size : input.size();
    std::span<const uint8_t> item = input.first(n);
    input = input.subspan(n);
    return item;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> input(data, size);
    const CLevelTable table = CLevelTable::From(CNumberList::Parse(NextItem(input)));
    CNumberLists lists;
    for (int16_t id : CNumberLists::kGeneratorLists) lists.Set(id, CNumberList::Parse(NextItem(input)));
    plat::SRand(static_cast<uint32_t>(size));
    CRotation rotation;
    for (int round = 0; round < 2; ++round) {
        rotation.Draw();
        for (int16_t level = 1; level <= 53; ++level) {
            const int16_t wanted = level < 53 ? level : static_cast<int16_t>(30 + plat::Rand() % 23);
            const int16_t index = NearestCompleteIndex(table, wanted);
            if (index < 1) continue;
            const CLevelPair pair = table.At(index);
            auto task = MakeTaskKind(pair.type, pair.topic, index, CTaskInputs{&rotation, &lists});
            if (!task) continue;
            task->Prepare();
            while (task->NextTile()) {
            }
        }
    }
    return 0;
}
