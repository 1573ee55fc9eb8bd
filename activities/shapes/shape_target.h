// A puzzle task: built from a 'BPB' task record, it holds the reference pieces, the starting
// picture and the solution, shows the shape to fill as an outline sprite (over a canvas of the
// outline's bounds) with optional guide lines, and decides whether the placed shapes solve it.
//
// A record missing, or one whose blocks are all empty, makes an empty target: no lists, no
// outline canvas or sprite. A damaged record is read as far as it goes (media/res/shape_items.h)
// and named in the trace.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "activities/shapes/shape_canvas.h"
#include "activities/shapes/shape_group.h"
#include "activities/shapes/shapes_ids.h"
#include "engine/scene/dyn_array.h"
#include "media/res/shape_items.h"

class CCorAnim;

// Task kinds: 2 is checked by counting fills, 3 outlines only what the starting picture lacks.
inline constexpr uint16_t kTaskByColours = 2;
inline constexpr uint16_t kTaskWithStart = 3;

class CShapeTarget {
public:
    explicit CShapeTarget(int16_t id);
    // The same from a record's bytes (tests, the fuzz target).
    explicit CShapeTarget(std::span<const uint8_t> record);
    ~CShapeTarget();
    CShapeTarget(const CShapeTarget&) = delete;
    CShapeTarget& operator=(const CShapeTarget&) = delete;

    // 1 when the placed shapes solve the task, else 0 and failedChecks grows by one.
    int16_t CheckSolution(CDynArray<CShapePiece*> placed);
    int16_t IsSolutionPiece(const CShapePiece& shape) const;
    int16_t IsSolutionPieceWithFill(const CShapePiece& shape) const;
    int16_t IsReferencePiece(const CShapePiece& shape) const;
    // Deletes the first shape of each list that is the same shape, then rebuilds the outline.
    void RemoveFromLists(const CShapePiece& shape);
    // 0 nothing, 1 the outline's loops, 2 every solution piece, 3 every child of the outline;
    // the same style again does not redraw.
    void SetOutlineStyle(uint16_t style);

    // Appends the shapes of a piece list (a group record takes its member records).
    static void ReadPieceList(const media::PieceList& block, CDynArray<CShapePiece*>& list);

    uint16_t Kind() const { return task.Kind(); }

    std::vector<uint8_t> record;  // the loaded record; empty when there is none
    media::TaskRecord task;
    std::span<const uint8_t> startBlock;  // the start block's bytes inside record
    CDynArray<CShapePiece*> startPieces;
    CDynArray<CShapePiece*> referencePieces;
    CDynArray<CShapePiece*> solutionPieces;
    CShapeGroup* outline = nullptr;
    uint16_t outlineStyle = 0;
    CCorAnim* outlineSprite = nullptr;
    CShapeCanvas* outlineCanvas = nullptr;
    CCorAnim* markerSprite = nullptr;
    CDynArray<CCorAnim*> gridSprites;
    int16_t referenceStatic = 0;
    uint16_t failedChecks = 0;

private:
    void Build();
    void BuildOutline(CDynArray<CShapePiece*> list);
    bool InStart(const CShapePiece& shape) const;
};

// The verdict of a check without a target's bookkeeping: the same number of shapes; for kind 2
// the same count of each fill 0 to 7 and of every other fill together; else every solution
// shape has a placed twin (the first of the same shape) of its fill.
bool SolvesTask(uint16_t kind, const CDynArray<CShapePiece*>& solution, const CDynArray<CShapePiece*>& placed);
