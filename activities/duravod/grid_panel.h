// The problem panel (the board that slides down from the top with the problem's text and the
// panel button) and the product grid of the rows and columns problems and of free play: pieces
// laid out in rows and columns between two rulers, four buttons that add or take away a whole
// column or row, labels with the numbers and the read-out "rows x columns = product".
#pragma once

#include <cstdint>

#include "media/util/cor_geometry.h"

class CCorAnim;

namespace duravod {

class CProblemPanel {
public:
    CProblemPanel();
    ~CProblemPanel();
    CProblemPanel(const CProblemPanel&) = delete;
    CProblemPanel& operator=(const CProblemPanel&) = delete;
    // The board the mode and the problem want (108 free play, 107 several lines, 106 one line)
    // slides in when it is not the one shown; the panel button goes on it.
    void Update();
    // The text goes and the board slides up off the screen.
    void SlideOut();

    CCorAnim* sprite = nullptr;
    uint16_t picture = 2;
    uint16_t width = 0;
    uint16_t height = 0;
    int16_t x = 0;
    int16_t y = 0;
    uint16_t wide = 0;
};

class CProductGrid {
public:
    CProductGrid();
    ~CProductGrid();
    CProductGrid(const CProductGrid&) = delete;
    CProductGrid& operator=(const CProductGrid&) = delete;

    void Show();
    void Hide();
    void Dispose();
    void OnColumnButton(CCorAnim* sprite);
    void OnRowButton(CCorAnim* sprite);
    void AddColumns(int16_t k);
    void RemoveColumns(int16_t k);
    void AddRows(int16_t k);
    void RemoveRows(int16_t k);
    void PlaceButtons();
    // In problem mode: the buttons that would go past an operand the child has been told are
    // blanked.
    void LimitButtons();
    void ShowColumnsLabel();
    void ShowRowsLabel();
    // Says "rows times columns is product" (template 156 with the flag, else 155); 1 when a
    // click cut it short.
    int16_t SayProduct(int16_t flag);
    // 1 columns plus, 2 columns minus, 3 rows plus, 4 rows minus, 5 to 10 the rulers and labels;
    // 0 when the sprite is not the grid's.
    int16_t SpriteRole(CCorAnim* sprite) const;

    // The sprites: the row ruler's two parts, the columns label, the column ruler's two parts,
    // the rows label.
    CCorAnim* rowRulerLeft = nullptr;
    CCorAnim* rowRulerRight = nullptr;
    CCorAnim* columnsLabel = nullptr;
    CCorAnim* columnRulerTop = nullptr;
    CCorAnim* columnRulerBottom = nullptr;
    CCorAnim* rowsLabel = nullptr;
    CCorAnim* rowsPlus = nullptr;
    CCorAnim* rowsMinus = nullptr;
    CCorAnim* columnsPlus = nullptr;
    CCorAnim* columnsMinus = nullptr;
    int16_t gridX = 130;
    int16_t gridY = 300;
    int16_t mostColumns = 9;
    int16_t mostRows = 6;
    int16_t columns = 1;
    int16_t rows = 1;
    CCorRect rowRulerRect{0, 0, 0, 0};
    CCorRect columnRulerRect{0, 0, 0, 0};
    CCorRect pieceArea{0, 0, 0, 0};

private:
    // A new piece of the grid's look at (x, y), behind the column ruler and clipped to the piece
    // area; false when the table is full.
    bool NewPiece(int16_t x, int16_t y);
    // Every piece moves by (dx, dy).
    static void MovePieces(int16_t dx, int16_t dy);
    // The label sprite shows the number centred on (cx, cy); the old label picture goes.
    static void ShowLabel(CCorAnim* label, int16_t number, int16_t cx, int16_t cy);
};

// "rows x columns = product" in the panel's first text item.
void ShowProductReadout(const CProductGrid& grid);
// A click on the grid while paint is held: every piece takes the paint (the mixed paint a look
// other than its own); 108 when one changed, else 99.
void RecolourItems(int16_t look);
// The sprite shows its next picture and its own three times, 10 ticks each.
void BlinkNextPicture(CCorAnim* sprite);

}  // namespace duravod
