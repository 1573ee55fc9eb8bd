// The problem panel (the problem's text and the panel button) and the product grid of the rows
// and columns problems. Until they are drawn the panel stands at its place without a picture
// and the grid has no sprites.
#pragma once

#include <cstdint>

class CCorAnim;

namespace duravod {

class CProblemPanel {
public:
    void Update() {}
    CCorAnim* sprite = nullptr;
    int16_t x = 190;
    int16_t y = 424;
};

class CProductGrid {
public:
    void Hide() {}
    void OnColumnButton(int16_t) {}
    void OnRowButton(int16_t) {}
    void LimitButtons() {}
    // 1 or 2 for the column buttons, 3 or 4 for the row buttons, 5 to 10 for the other sprites;
    // 0 when the sprite is not the grid's.
    int16_t SpriteRole(CCorAnim*) const { return 0; }
};

void RecolourItems(CCorAnim* sprite, int16_t look);

}  // namespace duravod
