#include "activities/duravod/stage_items.h"

#include "activities/duravod/duravod_state.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace duravod {

void ClearGroupTable() {}
void DisposeGroupMarkers() {}

void ClearAllItems() {
    CDuravodState& s = State();
    for (CCorAnim*& piece : s.PieceSprites) {
        DisposeSprite(piece);
        piece = nullptr;
    }
}

bool DragItem(CCorAnim*, int16_t) { return false; }
void DragNewItem(CCorAnim*) {
    // Until the new piece is drawn, only the press it waits for.
    while (!IsMouseDown() && !WaitMustEnd()) Delay(0);
}
void WinkItems() {}
void GroupToFront(int16_t) {}

int16_t RectsMeet(int16_t ax, int16_t ay, int16_t aw, int16_t ah, int16_t bx, int16_t by, int16_t bw, int16_t bh,
                  int16_t marginX, int16_t marginY) {
    return ax < bx + bw + marginX && bx < ax + aw + marginX && ay < by + bh + marginY && by < ay + ah + marginY ? 1 : 0;
}

}  // namespace duravod
