// Placing pieces: the snaps of a piece put down in the picture. In free mode it jumps onto a
// neighbour's corner when one of its corners lies near and an edge beside that corner runs
// along the neighbour's; in puzzle mode it jumps onto a place of the solution where it fits
// exactly. Distances are squared, in picture units; a vertex is the start of an edge and
// indexes wrap from the last vertex to the first.
#pragma once

#include <cstdint>

#include "activities/shapes/shape_piece.h"
#include "engine/scene/dyn_array.h"

// For each other piece in order, each of its vertices j and each vertex i of p within `near`:
// the neighbour pairs (j - 1, i - 1), (j - 1, i + 1), (j + 1, i - 1), (j + 1, i + 1) in turn;
// the first whose vertices lie within `side` once i is on j and whose edges need a turn
// strictly between -150 and 150 (or above 3450) turns p by it and moves p's vertex i onto j.
// Else p stays.
void SnapToNeighbour(CShapePiece& p, const CDynArray<CShapePiece*>& others, int32_t near = 49, int32_t side = 196);

// The solution place reachable with the smallest vertex jump within `best` (of equal jumps the
// later): p moved there when at that place it is the solution piece's shape; else p stays.
void SnapToSolution(CShapePiece& p, const CDynArray<CShapePiece*>& solutions, int32_t best = 100);
