// Pictures as piece lists (media/res/shape_items.h): the snapshot of a list of shapes, and a
// piece list from outside the program (a picture file, a record slot's 'data', a 'PLS' item)
// taken only when it can be restored as it stands.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "activities/shapes/shape_piece.h"
#include "engine/scene/dyn_array.h"
#include "media/res/shape_items.h"

namespace shapes {

// The drawing area of the scene: the pieces of a picture lie inside it.
inline constexpr CCorRect kDrawArea{117, 10, 631, 338};

// The shapes in order, bottom first: a piece's record (kind, fill, position, angle); a group's
// record (-1, its fill, its position, m) followed by its m members' records.
media::PieceList SnapshotOf(uint16_t setId, const CDynArray<CShapePiece*>& shapes);

// The list when CheckPieceList accepts the bytes (positions inside `area` when given); else a
// trace line naming `what` and the fault, and nothing.
std::optional<media::PieceList> AcceptPieceList(std::span<const uint8_t> bytes, const CCorRect* area, std::string_view what);

}  // namespace shapes
