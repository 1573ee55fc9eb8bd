// A flat piece of the shapes activity: a closed polygon built from a 'PN#' outline, with a kind
// (its id modulo 10), a fill, a turn (a multiple of 150 tenths of a degree) and a position (the
// reference point the outline's lead pair starts from). Corners are exact 16-bit integers made
// in 8-bit fixed point, each from the rounded previous one, so turning a piece 24 times by 150
// gives its corners back exactly. Pieces paint themselves into the current canvas
// (shape_canvas.h). CShapeGroup derives from it.
#pragma once

#include <cstdint>

#include "engine/scene/dyn_array.h"
#include "media/res/shape_items.h"
#include "media/util/cor_geometry.h"

struct ShapeEdge {
    CCorPoint start;
    CCorPoint end;
    int16_t length = 0;
    int16_t direction = 0;  // a piece's: before its turn; a group's outline: absolute
};

// Fills: 0 to 7 colours (palette 215 + fill), 8 to 15 the same marked, 16 to 23 patterns
// (pictures fill + 64), 24 to 31 the same marked.
inline constexpr int16_t kLastPieceFill = 31;
inline constexpr int16_t kFirstPatternFill = 16;

class CShapePiece {
public:
    // The piece of 'PN#' id; id -1 (kind -1) makes the empty base of a group. A missing or
    // unusable outline leaves an empty piece.
    explicit CShapePiece(int16_t id);
    // The same from an outline already read (tests, the fuzz target).
    CShapePiece(int16_t id, const media::PieceOutline& outline);
    CShapePiece(const CShapePiece&) = delete;
    CShapePiece& operator=(const CShapePiece&) = delete;

    virtual ~CShapePiece();
    // 0 to 31 only: any other value leaves the fill (there are 16 pattern entries).
    virtual void SetFill(int16_t f);
    virtual int16_t IsMarked() const;
    virtual void SetMarked(int16_t on);
    virtual void MoveTo(CCorPoint p);
    // Taken modulo 3600 and down to a multiple of 150; the piece turns about its position.
    virtual void SetAngle(int16_t a);
    // Every corner of other passes ContainsPoint (also for a shape without corners).
    virtual int16_t ContainsShape(const CShapePiece& other) const;
    // In the bounds, and seen from the position without crossing an edge.
    virtual int16_t ContainsPoint(CCorPoint p) const;
    // Edges that cross strictly, or one shape holding the other; shared edges do not overlap.
    virtual int16_t Overlaps(const CShapePiece& other) const;
    // The nearest corner within r (a tie to the later corner), -1 when none.
    virtual int16_t FindVertexNear(CCorPoint p, int16_t r) const;
    virtual double GetArea() const;
    virtual int16_t GetCornerTotal() const;
    virtual void Draw();
    virtual void DrawOutline(int16_t colour);

    CCorPoint GetPosition() const { return position; }
    // Start of edge i modulo the number of edges; (0, 0) for a shape without edges.
    CCorPoint GetCorner(int32_t i) const;
    void BuildCorners();
    // The pattern of entry t over the piece: each row from its left span end + 1 to its right
    // one, the last row left out; pattern pixels wrap inside the pattern, a missing pattern
    // draws nothing.
    void DrawTextured(int16_t t);

    int16_t kind = 0;
    int16_t fill = 0;
    int16_t angle = 0;
    CCorPoint position;
    CCorRect bounds;
    int16_t leadLength = 0;
    int16_t leadDirection = 0;
    CDynArray<ShapeEdge> edges;
    CDynArray<ShapeEdge> baseEdges;  // as built: angle 0, bounds from (0, 0); pattern coordinates

protected:
    void Build(const media::PieceOutline& outline);
};

// Takes a reference of the pattern entry of fill f (made for picture f + 64 when new) and drops
// one of old's; fills below 16 have none.
void ChangePatternReference(int16_t oldFill, int16_t newFill);
