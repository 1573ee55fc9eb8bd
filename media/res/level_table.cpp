#include "media/res/level_table.h"

#include <algorithm>

#include "platform/core/byte_order.h"

namespace media {

namespace {

int16_t Clamp16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }

}  // namespace

std::optional<LevelTable> ParseLevelTable(std::span<const uint8_t> item) {
    if (item.size() < kLevelTableHeaderBytes) return std::nullopt;
    const size_t held = (item.size() - kLevelTableHeaderBytes) / kLevelGroupBytes;
    if (held < 2) return std::nullopt;
    LevelTable t;
    const int last = std::min<int>({std::max<int>(plat::GetLeI16(item, 2), 1), kMaxLastLevelGroup,
                                    static_cast<int>(std::min<size_t>(held, kLevelSegmentCount)) - 1});
    t.lastGroup = static_cast<int16_t>(last);
    t.unitHeight = plat::GetLeI16(item, 4);
    t.areaX = plat::GetLeI16(item, 6);
    t.areaY = plat::GetLeI16(item, 8);
    t.endMargin = plat::GetLeI16(item, 10);
    t.groups.resize(static_cast<size_t>(last) + 1);
    for (size_t i = 0; i < t.groups.size(); ++i) {
        const size_t at = kLevelTableHeaderBytes + kLevelGroupBytes * i;
        t.groups[i] = {plat::GetLeI16(item, at), plat::GetLeI16(item, at + 2)};
    }
    return t;
}

std::vector<uint8_t> LevelTableBytes(int16_t lastGroup, int16_t unitHeight, int16_t areaX, int16_t areaY,
                                     int16_t endMargin, std::span<const LevelGroup> groups) {
    std::vector<uint8_t> out;
    for (int16_t v : {int16_t{0}, lastGroup, unitHeight, areaX, areaY, endMargin}) {
        plat::AppendLe16(out, static_cast<uint16_t>(v));
    }
    for (const LevelGroup& g : groups) {
        plat::AppendLe16(out, static_cast<uint16_t>(g.units));
        plat::AppendLe16(out, static_cast<uint16_t>(g.levels));
    }
    return out;
}

int16_t GroupOfLevel(const LevelTable& table, int32_t level) {
    const int last = std::min<int>(table.lastGroup, static_cast<int>(table.groups.size()) - 1);
    if (last < 0 || level < 1) return 0;
    int g = 0;
    int64_t total = table.groups[0].levels;
    while (total < level && g < last) {
        ++g;
        total += table.groups[static_cast<size_t>(g)].levels;
    }
    return static_cast<int16_t>(g);
}

int16_t FirstLevelOfGroup(const LevelTable& table, int32_t group) {
    const int last = std::min<int>(table.lastGroup, static_cast<int>(table.groups.size()) - 1);
    const int g = std::clamp<int>(group, 0, std::max(last, 0));
    int64_t first = 1;
    for (int i = 0; i < g; ++i) first += table.groups[static_cast<size_t>(i)].levels;
    return static_cast<int16_t>(std::clamp<int64_t>(first, 1, INT16_MAX));
}

std::array<Rect16, kLevelSegmentCount> LayoutLevelSegments(const LevelTable& table, const Rect16& area) {
    std::array<Rect16, kLevelSegmentCount> out{};
    const int last = std::min<int>({table.lastGroup, static_cast<int>(table.groups.size()) - 1, kMaxLastLevelGroup});
    const int64_t middle = area.left + (int64_t{area.right} - area.left) / 2;
    const int64_t lowest = int64_t{area.bottom} - 1;
    bool rightColumn = false;
    int64_t top = area.top;
    for (int i = 0; i <= last; ++i) {
        const int64_t height = int64_t{table.groups[static_cast<size_t>(i)].units} * table.unitHeight;
        int64_t bottom = top + height - 1;
        if (!rightColumn && bottom > lowest) {
            rightColumn = true;
            top = area.top;
            bottom = top + height - 1;
        }
        Rect16& r = out[static_cast<size_t>(i)];
        r.left = Clamp16(rightColumn ? middle : area.left);
        r.right = Clamp16(rightColumn ? int64_t{area.right} - 1 : middle - 1);
        r.top = Clamp16(top);
        r.bottom = Clamp16(bottom);
        top = bottom + 1;
    }
    return out;
}

}  // namespace media
