#include "media/res/shape_items.h"

#include <algorithm>

#include "platform/core/byte_order.h"

namespace media {

namespace {

// A 16-bit value at `at`, 0 when the item does not hold all of it.
int16_t ValueAt(std::span<const uint8_t> b, size_t at) {
    return at + 2 <= b.size() ? plat::GetLeI16(b, at) : 0;
}

void Append(std::vector<uint8_t>& out, int16_t v) { plat::AppendLe16(out, static_cast<uint16_t>(v)); }

}  // namespace

PieceOutline ParsePieceOutline(std::span<const uint8_t> item) {
    PieceOutline o;
    const int32_t n = std::max<int32_t>(ValueAt(item, 0), 0);
    const size_t held = item.size() < 2 ? 0 : (item.size() - 2) / 4;
    o.damaged = item.size() < 2 || ValueAt(item, 0) < 0 || static_cast<size_t>(n) > held;
    const size_t pairs = std::min(static_cast<size_t>(n), held);
    if (pairs < 2) return o;
    o.lead = {plat::GetLeI16(item, 2), plat::GetLeI16(item, 4)};
    for (size_t k = 1; k < pairs; ++k) o.edges.push_back({plat::GetLeI16(item, 2 + 4 * k), plat::GetLeI16(item, 4 + 4 * k)});
    return o;
}

std::vector<uint8_t> PieceOutlineBytes(PiecePair lead, std::span<const PiecePair> edges) {
    std::vector<uint8_t> out;
    Append(out, static_cast<int16_t>(edges.size() + 1));
    Append(out, lead.length);
    Append(out, lead.direction);
    for (const PiecePair& p : edges) {
        Append(out, p.length);
        Append(out, p.direction);
    }
    return out;
}

PieceList ParsePieceList(std::span<const uint8_t> bytes, size_t* used) {
    PieceList list;
    list.setId = static_cast<uint16_t>(ValueAt(bytes, 0));
    const int32_t m = std::max<int32_t>(ValueAt(bytes, 2), 0);
    const size_t held = bytes.size() < kPieceListHeaderBytes ? 0 : (bytes.size() - kPieceListHeaderBytes) / kPieceRecordBytes;
    list.damaged = bytes.size() < kPieceListHeaderBytes || static_cast<size_t>(m) > held || ValueAt(bytes, 2) < 0;
    const size_t count = std::min(static_cast<size_t>(m), held);
    list.records.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = kPieceListHeaderBytes + kPieceRecordBytes * i;
        PieceRecord& r = list.records[i];
        r = {plat::GetLeI16(bytes, at), plat::GetLeI16(bytes, at + 2), plat::GetLeI16(bytes, at + 4),
             plat::GetLeI16(bytes, at + 6), plat::GetLeI16(bytes, at + 8)};
        if (r.kind == -1) {
            const int32_t following = static_cast<int32_t>(count - i - 1);
            if (r.angle < 0 || r.angle > following) {
                list.damaged = true;
                r.angle = static_cast<int16_t>(std::clamp<int32_t>(r.angle, 0, following));
            }
        }
    }
    if (used) *used = std::min(bytes.size(), kPieceListHeaderBytes + kPieceRecordBytes * count);
    return list;
}

std::vector<uint8_t> PieceListBytes(const PieceList& list) {
    std::vector<uint8_t> out;
    plat::AppendLe16(out, list.setId);
    Append(out, static_cast<int16_t>(list.records.size()));
    for (const PieceRecord& r : list.records)
        for (int16_t v : {r.kind, r.fill, r.x, r.y, r.angle}) Append(out, v);
    return out;
}

size_t PieceListShapeCount(const PieceList& list) {
    size_t shapes = 0;
    for (size_t i = 0; i < list.records.size(); ++i) {
        ++shapes;
        if (list.records[i].kind == -1) i += static_cast<size_t>(std::max<int16_t>(list.records[i].angle, 0));
    }
    return shapes;
}

const char* PieceListFault(std::span<const uint8_t> bytes, const CCorRect* area) {
    if (bytes.size() < kPieceListHeaderBytes) return "shorter than its header";
    const int32_t m = plat::GetLeI16(bytes, 2);
    if (m < 0) return "a negative number of records";
    if (bytes.size() < kPieceListHeaderBytes + kPieceRecordBytes * static_cast<size_t>(m)) return "shorter than its records";
    const auto isPieceFill = [](int16_t f) { return f >= 0 && f <= 31; };
    int32_t members = 0;  // member records still to come of the group before
    for (int32_t i = 0; i < m; ++i) {
        const size_t at = kPieceListHeaderBytes + kPieceRecordBytes * static_cast<size_t>(i);
        const int16_t kind = plat::GetLeI16(bytes, at), fill = plat::GetLeI16(bytes, at + 2);
        const CCorPoint position{plat::GetLeI16(bytes, at + 4), plat::GetLeI16(bytes, at + 6)};
        const int16_t angle = plat::GetLeI16(bytes, at + 8);
        if (kind == -1) {
            if (members > 0) return "a group inside a group";
            if (angle < 0 || angle > m - i - 1) return "a group with more members than records after it";
            if (fill != -9 && fill != -1 && !isPieceFill(fill)) return "a group fill outside -9, -1 and 0 to 31";
            members = angle;
            continue;
        }
        if (members > 0) --members;
        if (kind < 0 || kind > 5) return "a piece kind outside 0 to 5";
        if (!isPieceFill(fill)) return "a piece fill outside 0 to 31";
        if (angle < 0 || angle > 3450 || angle % 150 != 0) return "a piece angle not a multiple of 150 from 0 to 3450";
        if (area && !area->Contains(position)) return "a piece outside the drawing area";
    }
    return nullptr;
}

TaskRecord ParseTaskRecord(std::span<const uint8_t> item) {
    TaskRecord t;
    for (size_t i = 0; i < kTaskWordCount; ++i) t.words[i] = static_cast<uint16_t>(ValueAt(item, 2 * i));
    const int32_t g = ValueAt(item, 2 * kTaskWordCount);
    const size_t held = item.size() < kTaskGuidesAt ? 0 : (item.size() - kTaskGuidesAt) / 8;
    t.damaged = item.size() < kTaskGuidesAt || g < 0 || static_cast<size_t>(std::max(g, 0)) > held;
    const size_t guides = std::min(static_cast<size_t>(std::max(g, 0)), held);
    for (size_t i = 0; i < guides; ++i) {
        const size_t at = kTaskGuidesAt + 8 * i;
        t.guides.push_back({plat::GetLeI16(item, at), plat::GetLeI16(item, at + 2), plat::GetLeI16(item, at + 4),
                            plat::GetLeI16(item, at + 6)});
    }
    size_t at = std::min(item.size(), kTaskGuidesAt + 8 * guides);
    for (PieceList* block : {&t.reference, &t.start, &t.solution}) {
        if (block == &t.start) t.startOffset = at;
        size_t used = 0;
        *block = ParsePieceList(item.subspan(at), &used);
        t.damaged = t.damaged || block->damaged;
        at += used;
    }
    return t;
}

std::vector<uint8_t> TaskRecordBytes(const TaskRecord& task) {
    std::vector<uint8_t> out;
    for (uint16_t w : task.words) plat::AppendLe16(out, w);
    Append(out, static_cast<int16_t>(task.guides.size()));
    for (const GuideLine& g : task.guides)
        for (int16_t v : {g.x1, g.y1, g.x2, g.y2}) Append(out, v);
    for (const PieceList* block : {&task.reference, &task.start, &task.solution}) {
        const std::vector<uint8_t> bytes = PieceListBytes(*block);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

}  // namespace media
