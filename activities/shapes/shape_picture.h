// The picture of the shapes activity: its shapes in drawing order (the last the topmost), owned,
// painted into a canvas over the drawing area, each filled and outlined in colour 15. Putting a
// shape in draws it and repaints the shapes above it that it meets; taking one out clears its
// bounds and repaints, bottom first, every shape that meets the area cleared so far (which
// grows by each). Every change marks its rectangle for redraw. The canvas is never left
// current: the one current before is selected again.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "activities/shapes/shape_canvas.h"
#include "activities/shapes/shape_piece.h"
#include "engine/scene/dyn_array.h"
#include "media/res/shape_items.h"

class CShapePicture {
public:
    explicit CShapePicture(CCorRect area);
    ~CShapePicture();
    CShapePicture(const CShapePicture&) = delete;
    CShapePicture& operator=(const CShapePicture&) = delete;

    // index -1 on top, else at index (past the end: on top); the picture owns the shape.
    void InsertPiece(CShapePiece* piece, int32_t index = -1);
    // Takes the shape out without deleting it; false when it is not in the picture.
    bool RemovePiece(CShapePiece* piece);
    // Deletes every shape and clears the canvas.
    void ClearPieces();
    // The picture as a piece list of set setId.
    media::PieceList Snapshot() const;
    // A list from outside (`what` names it in the trace): when CheckPieceList accepts it with
    // every position in the area, the picture becomes its shapes (set setId taken from it);
    // else the picture is left as it was and false.
    bool Restore(std::span<const uint8_t> block, std::string_view what);

    CCorRect area;
    CShapeCanvas* canvas = nullptr;
    CDynArray<CShapePiece*> pieces;
    uint16_t setId = 10;

private:
    // Draws the shapes from `first` on whose bounds meet `dirty`, growing it by each.
    void Repaint(uint32_t first, CCorRect& dirty);
};
