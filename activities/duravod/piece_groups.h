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
// 1 when the box of the piece at (x, y) (the sprite's picture when a sprite is given) would
// cover the problem panel or, for a piece while a problem runs, the hatch.
int16_t IsOverBlockedArea(int16_t piece, int16_t x, int16_t y, CCorAnim* sprite);
// Group row g leaves the table: the rows after it move up with their styles and every piece's
// group number above g goes down by one.
void RemoveGroup(int16_t group);
// Group g's markers go (when it has a rows marker); the marker pairs of the later groups move
// down one place.
void RemoveGroupMarkers(int16_t group);
// Draws the number into the picture item with the digit pictures base + d, centred on (x, y):
// 10 to 99 as two digits side by side, a negative number as picture base + 10.
void DrawNumberInto(int16_t item, int16_t number, int16_t x, int16_t y, int16_t base);

}  // namespace duravod
