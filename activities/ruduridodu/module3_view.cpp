#include "activities/ruduridodu/module3_view.h"

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/round_task.h"
#include "activities/ruduridodu/slot_target.h"
#include "engine/toolbox/sprite_toolbox.h"

Module3Snapshot Module3View() {
    const CModule3State& m = Module3::View();
    Module3Snapshot s;
    s.levelMode = m.levelMode != 0;
    s.variant = m.variant;
    s.level = m.level;
    s.taskIndex = m.taskIndex;
    if (const CRoundTask* round = m.currentRound.get()) {
        for (int16_t i = 0; i <= round->LastRecord(); ++i) {
            const CTaskRecord* r = round->GetRecord(i);
            if (!r) continue;
            s.records.push_back({r->Number(), r->Value(), r->GetExtra(), r->Tally(), r->IsMarked()});
        }
        if (const CRoundTile* car = round->GetCurrentTile()) {
            s.hasCar = true;
            s.car.record = car->Record();
            s.car.number = car->Number();
            car->GetBounds(s.car.rect.left, s.car.rect.top, s.car.rect.right, s.car.rect.bottom);
            s.car.placed = car->IsPlaced();
        }
        for (int16_t k = 1; k <= round->ContainerTally(); ++k) {
            const CSlotTarget* ring = round->GetContainer(k);
            Module3Snapshot::Ring r;
            r.number = ring->Number();
            r.value = ring->Value();
            r.centreX = ring->CentreX();
            r.centreY = ring->CentreY();
            r.oval = CCorRect{ring->X(), ring->Y(), static_cast<int16_t>(2 * ring->CentreX() - ring->X()),
                              static_cast<int16_t>(2 * ring->CentreY() - ring->Y())};
            s.rings.push_back(r);
        }
    }
    for (int16_t i = 0; i < 4; ++i) {
        const CPlayerPiece* piece = ScenePiece(i);
        if (!piece) continue;
        s.pieces.push_back({piece->Value(), piece->HomeX(), piece->HomeY(), piece->IsPlaced(), GetSpriteFrame(piece->Marker())});
    }
    return s;
}
