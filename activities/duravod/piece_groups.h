// Piece groups, snapping and placement. Until the stage is written no piece belongs to a group.
#pragma once

#include <cstdint>

class CCorAnim;

namespace duravod {

extern int16_t ShowGroupMarkers;

void ReturnHeldPieces();
bool IsPieceMovable(int16_t index);
void TakePlaces();
// The group (from 1) the piece belongs to; 0 for none.
int16_t GroupOfPiece(int16_t index);
void SplitOffBatch(int16_t index);
// Takes the piece out of its group; true when the group survives.
bool DetachPiece(int16_t index);
void RegroupGroup(int16_t group);
void PlaceLoosePieces();
void AssignSettledPieces();
void SnapPieces(int16_t index);
void PlacePiece(int16_t index);
void UpdateGroupMarkers(int16_t group);
void RecolourGroup(int16_t group, int16_t look);
void MaybeWobbleColumn(int16_t index);
// The group (from 1) whose marker the sprite is; 0 for none.
int16_t GroupOfMarker(CCorAnim* sprite);
void StepGroupStyle(int16_t group);
bool GroupInActorSet(int16_t group);

}  // namespace duravod
