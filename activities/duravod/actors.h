// Actors, their sets of pieces and the free-play stage. Until the stage is written no actor
// stands on it and every set is empty.
#pragma once

#include <cstdint>

class CCorAnim;

namespace duravod {

void ClearSet(int16_t slot);
void ClearAllSets();
void ShowSetNumber(int16_t slot, int16_t show);
// The visitor hands out n new pieces (0: takes the last batch back).
void HandOverPieces(int16_t n);
void ClearActorProps();
void RemoveActors();
void SetupCharacterRound();
void OnEquationButton();
void PaintSet(int16_t slot, int16_t look);
void SpeakSetSize(int16_t slot);
void OfferToSets(int16_t index);
void RefreshReadout();
void DeleteReadouts();
void RemoveFromSet(int16_t index);
void ArrangeActorDrawing();
bool MayTakeMorePieces();
void AddLoosePieces(int16_t slot, int16_t n);
// How many pieces the actor slot's set holds.
int16_t SetSize(int16_t slot);
// Whether the piece belongs to some actor's set.
bool PieceInSet(int16_t index);

}  // namespace duravod
