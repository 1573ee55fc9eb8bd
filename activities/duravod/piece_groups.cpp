#include "activities/duravod/piece_groups.h"

namespace duravod {

int16_t ShowGroupMarkers = 0;

void ReturnHeldPieces() {}
bool IsPieceMovable(int16_t) { return true; }
void TakePlaces() {}
int16_t GroupOfPiece(int16_t) { return 0; }
void SplitOffBatch(int16_t) {}
bool DetachPiece(int16_t) { return false; }
void RegroupGroup(int16_t) {}
void PlaceLoosePieces() {}
void AssignSettledPieces() {}
void SnapPieces(int16_t) {}
void PlacePiece(int16_t) {}
void UpdateGroupMarkers(int16_t) {}
void RecolourGroup(int16_t, int16_t) {}
void MaybeWobbleColumn(int16_t) {}
int16_t GroupOfMarker(CCorAnim*) { return 0; }
void StepGroupStyle(int16_t) {}
bool GroupInActorSet(int16_t) { return false; }

}  // namespace duravod
