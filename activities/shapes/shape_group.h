// A composite shape: pieces glued together, or a puzzle target's outline. Its own edges are the
// merged outline of its children: an edge two children share (the same two corners, exactly)
// cancels, and the rest are chained into closed loops, the outer loop first. IsSameShape is the
// one test of shape identity the check, the hints and the tools use.
//
// A group without edges or without a closed loop is an empty shape: bounds 0, no corners,
// GetCornerTotal 0, GetCorner (0, 0).
#pragma once

#include <cstdint>

#include "activities/shapes/shape_piece.h"
#include "media/res/shape_items.h"

// Group fills: -9 unmarked without a fill of its own, -1 marked; 0 to 31 given to every child.
inline constexpr int16_t kGroupUnmarked = -9;
inline constexpr int16_t kGroupMarked = -1;

class CShapeGroup : public CShapePiece {
public:
    CShapeGroup();
    ~CShapeGroup() override;
    // -9, -1 or 0 to 31 (0 to 31 reach every child); any other value leaves the fill.
    void SetFill(int16_t f) override;
    int16_t IsMarked() const override;
    void SetMarked(int16_t on) override;
    void MoveTo(CCorPoint p) override;
    // Groups cannot be turned.
    void SetAngle(int16_t a) override;
    // In the bounds and inside some child.
    int16_t ContainsPoint(CCorPoint p) const override;
    double GetArea() const override;
    // The outer loop's edges; 0 without a loop.
    int16_t GetCornerTotal() const override;
    void Draw() override;
    // The edges of every loop (edges outside loops are not drawn).
    void DrawOutline(int16_t colour) override;

    // Takes the piece (owned from now on), merges its edges and sorts the outline.
    void AddChild(CShapePiece* piece);
    void RebuildOutline();
    // New children copied from the shapes of the list (a group's members one by one), with ids
    // base + kind; the list's shapes are not changed.
    void CopyPieces(CDynArray<CShapePiece*> list, int16_t base);
    // New children from piece-list records (group records are skipped: groups do not nest).
    void ReadChildren(const media::PieceRecord* records, int32_t n, int16_t base);
    // Takes child i out without deleting it (the outline stays as it was); an index not below
    // the number of children is reported as an invalid position and changes nothing.
    CShapePiece* RemoveChildAt(int32_t i);
    CShapePiece* GetChild(int32_t i) const;
    int32_t ChildCount() const { return static_cast<int32_t>(children.GetSize()); }

    CDynArray<CShapePiece*> children;
    CDynArray<uint16_t> loopEnds;  // exclusive end index in edges of each closed loop

private:
    void MergeEdges(const CShapePiece& child);
    void SortOutline();
};

// 1 when both have the same number of edges and every corner of a is a corner of b (fill,
// start corner, edge order and direction do not matter); 1 for two shapes without edges.
int16_t IsSameShape(const CShapePiece& a, const CShapePiece& b);
int16_t IsDifferentShape(const CShapePiece& a, const CShapePiece& b);
