#include "activities/duravod/actors.h"

#include "activities/duravod/duravod_state.h"
#include "engine/toolbox/aliases.h"

namespace duravod {

void ClearSet(int16_t) {}
void ClearAllSets() {}
void ShowSetNumber(int16_t, int16_t) {}
void HandOverPieces(int16_t) {}
void ClearActorProps() {}
void RemoveActors() {}
void SetupCharacterRound() {}
void OnEquationButton() {}
void PaintSet(int16_t, int16_t) {}
void SpeakSetSize(int16_t) {}
void OfferToSets(int16_t) {}
void RefreshReadout() {}

void DeleteReadouts() {
    for (CText*& item : State().ModuleTextItems) {
        EngineDisposeText(item);
        item = nullptr;
    }
}

void RemoveFromSet(int16_t) {}
void ArrangeActorDrawing() {}
bool MayTakeMorePieces() { return false; }
void AddLoosePieces(int16_t, int16_t) {}
int16_t SetSize(int16_t) { return 0; }
bool PieceInSet(int16_t) { return false; }

}  // namespace duravod
