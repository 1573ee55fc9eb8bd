#include "activities/shapes/snapshots.h"

#include <string>

#include "activities/shapes/shape_group.h"
#include "media/util/mono_debug.h"

namespace shapes {

namespace {

media::PieceRecord RecordOf(const CShapePiece& s, int16_t last) {
    return {s.kind, s.fill, s.position.x, s.position.y, last};
}

}  // namespace

media::PieceList SnapshotOf(uint16_t setId, const CDynArray<CShapePiece*>& shapes) {
    media::PieceList list;
    list.setId = setId;
    for (const CShapePiece* s : shapes) {
        const auto* group = s->kind == -1 ? static_cast<const CShapeGroup*>(s) : nullptr;
        if (!group) {
            list.records.push_back(RecordOf(*s, s->angle));
            continue;
        }
        list.records.push_back(RecordOf(*s, static_cast<int16_t>(group->ChildCount())));
        for (int32_t i = 0; i < group->ChildCount(); ++i) {
            const CShapePiece& child = *group->GetChild(i);
            list.records.push_back(RecordOf(child, child.angle));
        }
    }
    return list;
}

std::optional<media::PieceList> AcceptPieceList(std::span<const uint8_t> bytes, const CCorRect* area, std::string_view what) {
    if (const char* fault = media::PieceListFault(bytes, area)) {
        MonoDebugWrite(("shapes: refused " + std::string(what) + ": " + fault + "\n").c_str());
        return std::nullopt;
    }
    return media::ParsePieceList(bytes);
}

}  // namespace shapes
