// libFuzzer target: any bytes as a level table, then every computation the level chooser and
// the resource generator make from it.
#include <cstddef>
#include <cstdint>

#include "media/res/level_table.h"

volatile int64_t levelTableSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto table = media::ParseLevelTable(std::span(data, size));
    if (!table) return 0;
    int64_t sum = table->unitHeight + table->areaX + table->areaY + table->endMargin;
    for (int g = -1; g <= table->lastGroup + 1; ++g) {
        const int16_t first = media::FirstLevelOfGroup(*table, g);
        sum += first + media::GroupOfLevel(*table, first);
    }
    sum += media::GroupOfLevel(*table, 32767) + media::GroupOfLevel(*table, -32768);
    for (const Rect16& r : media::LayoutLevelSegments(*table, Rect16{-32768, -32768, 32767, 32767})) sum += r.bottom;
    for (const Rect16& r : media::LayoutLevelSegments(*table, Rect16{18, 120, 318, 354})) sum += r.left + r.top;
    levelTableSink = levelTableSink + sum;
    return 0;
}
