#include "activities/shapes/task_levels.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>

#include "activities/shapes/shapes_ids.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/resource_copies.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"

namespace {

// An 'IN#' item as its count and the 16-bit values after it, the count cut to the values
// present (a negative one 0); empty when the item is missing.
std::vector<uint16_t> ReadCounted(int16_t id) {
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(kResINN, id, size);
    if (!copy) return {};
    const std::span<const uint8_t> bytes(copy, size);
    const auto at = [&](size_t i) { return static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8); };
    const int32_t claimed = size >= 2 ? static_cast<int16_t>(at(0)) : 0;
    const size_t held = size >= 2 ? size / 2 - 1 : 0;
    const size_t n = std::min(static_cast<size_t>(std::max(claimed, 0)), held);
    if (size < 2 || claimed < 0 || static_cast<size_t>(claimed) > held)
        MonoDebugWrite(("shapes: damaged IN# " + std::to_string(id) + "\n").c_str());
    std::vector<uint16_t> out;
    for (size_t i = 1; i <= n; ++i) out.push_back(at(i));
    FreeResourceCopy(copy);
    return out;
}

}  // namespace

void CShapeLevels::LoadTable() {
    offsets = ReadCounted(shapes::kLevelTable);
    tasks.clear();
    listLoaded = false;
}

void CShapeLevels::SetLevel(int32_t wanted) {
    const auto l = static_cast<int16_t>(std::clamp<int32_t>(wanted, 1, std::max<int32_t>(LevelCount(), 1)));
    if (l == level && listLoaded) return;
    taskIndex = 1;
    level = l;
    tasks.clear();
    listLoaded = true;
    if (l > LevelCount()) return;
    for (uint16_t id : ReadCounted(static_cast<int16_t>(shapes::kLevelTable + offsets[static_cast<size_t>(l - 1)])))
        tasks.push_back(static_cast<int16_t>(id));
    const int16_t n = static_cast<int16_t>(tasks.size());
    for (int16_t i = 1; i <= n; ++i) std::swap(tasks[static_cast<size_t>(i - 1)], tasks[static_cast<size_t>(Random(n))]);
}

void CShapeLevels::NextTask() {
    ++taskIndex;
    if (taskIndex > static_cast<int16_t>(tasks.size())) {
        taskIndex = 1;
        if (LevelCount() > level) SetLevel(level + 1);
    }
}

int16_t CShapeLevels::CurrentTask() const {
    if (taskIndex < 1 || taskIndex > static_cast<int16_t>(tasks.size())) return 0;
    return tasks[static_cast<size_t>(taskIndex - 1)];
}
