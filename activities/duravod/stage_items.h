// The pieces on the stage: the group table and its markers, dragging, the bin, winking and
// motion. Until the stage is written these keep the tables empty and move nothing.
#pragma once

#include <cstdint>

class CCorAnim;

namespace duravod {

void ClearGroupTable();
void DisposeGroupMarkers();
// Throws every piece into the bin.
void ClearAllItems();
// Drags the piece (or its group) within the screen area while the button is down; true when
// it moved.
bool DragItem(CCorAnim* sprite, int16_t index);
// A new piece follows the pointer until the button is pressed.
void DragNewItem(CCorAnim* button);
void WinkItems();
void GroupToFront(int16_t group);
int16_t RectsMeet(int16_t ax, int16_t ay, int16_t aw, int16_t ah, int16_t bx, int16_t by, int16_t bw, int16_t bh,
                  int16_t marginX, int16_t marginY);

}  // namespace duravod
