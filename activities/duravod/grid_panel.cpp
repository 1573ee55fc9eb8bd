#include "activities/duravod/grid_panel.h"

#include <cstdio>

#include "activities/duravod/actors.h"
#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/duravod_module.h"
#include "activities/duravod/duravod_state.h"
#include "activities/duravod/piece_groups.h"
#include "activities/duravod/pieces.h"
#include "activities/duravod/problem.h"
#include "activities/duravod/scene.h"
#include "activities/duravod/shared_routines.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace duravod {

namespace {

int16_t WidthOf(int16_t picture) {
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    return w;
}

int16_t HeightOf(int16_t picture) {
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    return h;
}

// The look of a new piece: the chosen one, a random one for the mixed paint.
int16_t NewLook() {
    const int16_t look = State().PieceLook;
    return look == 4 ? Random(4) : look;
}

// The button shows its picture at (x, y), made when it is not there.
void PlaceButton(CCorAnim*& button, int16_t picture, int16_t x, int16_t y) {
    if (!button) {
        button = CreateSprite(x, y, picture);
        return;
    }
    QueueSpriteFrameNoWait(button, picture);
    MoveSpriteInPicture(button, x, y);
}

void DropButton(CCorAnim*& button) {
    DisposeSprite(button);
    button = nullptr;
}

}  // namespace

// ---- The problem panel ----------------------------------------------------------------------------

CProblemPanel::CProblemPanel() { sprite = CreateSprite(0, 0, kNoPicture); }

CProblemPanel::~CProblemPanel() { DisposeSprite(sprite); }

void CProblemPanel::Update() {
    CDuravodState& s = State();
    if (!sprite) return;
    const bool problemMode = s.ProblemMode != 0;
    const uint16_t multiLine = problemMode && s.Problem ? static_cast<uint16_t>(s.Problem->multiLine != 0) : 0;
    const int16_t wanted = !problemMode ? kPanelFreePlay : multiLine ? kPanelWide : kPanelNarrow;
    wide = multiLine;
    if (picture == static_cast<uint16_t>(wanted)) return;
    SlideOut();
    int16_t w = 0, h = 0;
    GetPictureSize(wanted, w, h);
    picture = static_cast<uint16_t>(wanted);
    width = static_cast<uint16_t>(w);
    height = static_cast<uint16_t>(h);
    x = static_cast<int16_t>(s.ScreenArea.right / 2 - w / 2);
    y = static_cast<int16_t>(s.ScreenArea.top - h);
    QueueSpriteFrameNoWait(sprite, wanted);
    MoveSpriteInPicture(sprite, x, y);
    PutSpriteAfter(sprite, s.LayerSprites[0]);
    MoveSpriteAlongCurve(sprite, x, y, x, 0, 15, 3, 0);
    WaitSpriteDone(sprite);
    y = 0;
    QueueSpriteFrameNoWait(s.PanelButton, kPanelButtonPressed);
    MoveSpriteInPicture(s.PanelButton, static_cast<int16_t>(x + 3), 5);
    PutSpriteAfter(s.PanelButton, sprite);
}

void CProblemPanel::SlideOut() {
    CDuravodState& s = State();
    if (!sprite || picture == kNoPicture) return;
    DeleteReadouts();
    QueueSpriteFrameNoWait(s.PanelButton, kNoPicture);
    MoveSpriteAlongCurve(sprite, x, y, x, static_cast<int16_t>(-height), 15, 3, 0);
    // Off the screen the board is put away, so the next Update slides one in again.
    QueueSpriteFrameNoWait(sprite, kNoPicture);
    y = static_cast<int16_t>(-height);
    picture = kNoPicture;
}

// ---- The product grid -----------------------------------------------------------------------------

CProductGrid::CProductGrid() {
    CDuravodState& s = State();
    if (s.ProblemMode) {
        gridX = 250;
        mostColumns = 7;
        mostRows = 6;
        if (s.Problem && s.Problem->firstLimit) {
            // The operand the child was told is the most of its side.
            const bool rowsGiven = s.Problem->order == 1;
            mostColumns = rowsGiven ? s.Problem->target : s.Problem->chosenSize;
            mostRows = rowsGiven ? s.Problem->chosenSize : s.Problem->target;
        }
    }
    s.KeepNewPieces = 1;
}

CProductGrid::~CProductGrid() { Dispose(); }

void CProductGrid::Dispose() {
    CDuravodState& s = State();
    for (CCorAnim** sprite : {&rowRulerLeft, &rowRulerRight, &columnsLabel, &columnRulerTop, &columnRulerBottom, &rowsLabel,
                              &rowsPlus, &rowsMinus, &columnsPlus, &columnsMinus}) {
        DropButton(*sprite);
    }
    EngineDisposeText(s.ModuleTextItems[0]);
    s.ModuleTextItems[0] = nullptr;
    s.KeepNewPieces = 0;
}

void CProductGrid::Show() {
    CDuravodState& s = State();
    HideBinAndTray();
    const int16_t bottom = s.ScreenArea.bottom;
    const int16_t leftX = static_cast<int16_t>(gridX - 7);
    const int16_t rightX = static_cast<int16_t>(leftX + WidthOf(kRowRulerLeft));
    const int16_t topW = WidthOf(kColumnRulerTop);
    const int16_t topY = static_cast<int16_t>(gridY + 22);
    const int16_t bottomY = static_cast<int16_t>(topY + HeightOf(kColumnRulerTop));
    rowRulerLeft = CreateSprite(leftX, bottom, kRowRulerLeft);
    rowRulerRight = CreateSprite(rightX, bottom, kRowRulerRight);
    columnRulerTop = CreateSprite(static_cast<int16_t>(-topW), topY, kColumnRulerTop);
    columnRulerBottom = CreateSprite(static_cast<int16_t>(-topW), bottomY, kColumnRulerBottom);
    columnsLabel = CreateSprite(0, 0, kNoPicture);
    rowsLabel = CreateSprite(0, 0, kNoPicture);
    PutSpriteBefore(rowRulerLeft, s.LowerBar);
    PutSpriteAfter(rowRulerRight, rowRulerLeft);
    PutSpriteAfter(columnsLabel, rowRulerRight);
    PutSpriteBefore(columnRulerTop, s.LowerBar);
    PutSpriteAfter(columnRulerBottom, columnRulerTop);
    PutSpriteAfter(rowsLabel, columnRulerBottom);

    const int16_t right = s.ScreenArea.right;
    rowRulerRect = CCorRect{rightX, 0, right, bottom};
    columnRulerRect = CCorRect{0, 0, right, bottomY};
    pieceArea = CCorRect{gridX, 0, right, static_cast<int16_t>(gridY + s.PieceHeight)};
    SetSpriteClipRect(rowRulerRight, &rowRulerRect);
    SetSpriteClipRect(columnRulerTop, &columnRulerRect);
    const int16_t rulerY = static_cast<int16_t>(gridY + s.PieceHeight);
    MoveSpriteAlongCurve(rowRulerLeft, leftX, bottom, leftX, rulerY, 20, 3, 0);
    MoveSpriteAlongCurve(rowRulerRight, rightX, bottom, rightX, rulerY, 20, 3, 0);
    const int16_t columnX = static_cast<int16_t>(-topW + gridX + 5);
    MoveSpriteAlongCurve(columnRulerTop, static_cast<int16_t>(-topW), topY, columnX, topY, 20, 3, 0);
    MoveSpriteAlongCurve(columnRulerBottom, static_cast<int16_t>(-topW), bottomY, columnX, bottomY, 20, 3, 0);
    WaitSpriteDone(columnRulerBottom);
    WaitSpriteDone(rowRulerRight);

    PlaceButtons();
    ShowColumnsLabel();
    ShowRowsLabel();
    NewPiece(gridX, gridY);
    if (!s.ProblemMode) ShowProductReadout(*this);
}

void CProductGrid::Hide() {
    CDuravodState& s = State();
    for (CCorAnim** sprite : {&columnsLabel, &rowsLabel, &rowsPlus, &rowsMinus, &columnsPlus, &columnsMinus})
        DropButton(*sprite);
    for (int16_t i = 1; i <= s.PieceTotal && i < kPieceSlots; ++i) SetSpriteClipRect(s.PieceSprites[static_cast<size_t>(i)], nullptr);
    ShowBinAndTray();
    ClearStage();
    for (CCorAnim* part : {rowRulerLeft, rowRulerRight, columnRulerTop, columnRulerBottom}) PutSpriteAfter(part, s.LayerSprites[1]);
    const int16_t bottom = s.ScreenArea.bottom;
    const int16_t topW = WidthOf(kColumnRulerTop);
    for (CCorAnim* part : {rowRulerLeft, rowRulerRight}) {
        MoveSpriteAlongCurve(part, GetSpriteX(part), GetSpriteY(part), GetSpriteX(part), bottom, 20, 3, 0);
    }
    for (CCorAnim* part : {columnRulerTop, columnRulerBottom}) {
        MoveSpriteAlongCurve(part, GetSpriteX(part), GetSpriteY(part), static_cast<int16_t>(-topW), GetSpriteY(part), 20, 3, 0);
    }
    for (CCorAnim* part : {rowRulerLeft, rowRulerRight, columnRulerTop, columnRulerBottom}) WaitSpriteDone(part);
}

bool CProductGrid::NewPiece(int16_t px, int16_t py) {
    CDuravodState& s = State();
    if (s.PieceTotal >= kMostPieces) return false;
    CCorAnim* piece = CreateSprite(px, py, static_cast<int16_t>(kPiece + NewLook()));
    if (!piece) return false;
    PutSpriteBefore(piece, columnRulerTop);
    SetSpriteClipRect(piece, &pieceArea);
    ++s.PieceTotal;
    s.PieceSprites[static_cast<size_t>(s.PieceTotal)] = piece;
    return true;
}

void CProductGrid::MovePieces(int16_t dx, int16_t dy) {
    CDuravodState& s = State();
    for (int16_t i = 1; i <= s.PieceTotal && i < kPieceSlots; ++i) MoveSprite(s.PieceSprites[static_cast<size_t>(i)], dx, dy);
}

void CProductGrid::OnColumnButton(CCorAnim* sprite) {
    if (!sprite) return;
    if (sprite == columnsPlus) {
        AddColumns(1);
    } else if (sprite == columnsMinus) {
        RemoveColumns(1);
    } else {
        return;
    }
    WaitAllSprites();
    if (!State().ProblemMode) ShowProductReadout(*this);
    PlaceButtons();
    ShowColumnsLabel();
}

void CProductGrid::OnRowButton(CCorAnim* sprite) {
    if (!sprite) return;
    if (sprite == rowsPlus) {
        AddRows(1);
    } else if (sprite == rowsMinus) {
        RemoveRows(1);
    } else {
        return;
    }
    WaitAllSprites();
    if (!State().ProblemMode) ShowProductReadout(*this);
    PlaceButtons();
    ShowRowsLabel();
}

void CProductGrid::AddColumns(int16_t k) {
    CDuravodState& s = State();
    if (k <= 0 || columns + k > mostColumns || rows * k + s.PieceTotal > kMostPieces) return;
    columns = static_cast<int16_t>(columns + k);
    ShowColumnsLabel();
    const int16_t stepX = static_cast<int16_t>(s.PieceWidth - 6);
    const int16_t stepY = static_cast<int16_t>(s.PieceHeight - 10);
    const int16_t topY = static_cast<int16_t>(GetSpriteY(columnRulerTop) - 22);
    for (int16_t r = 1; r <= rows; ++r) {
        for (int16_t n = 0; n < k; ++n) {
            NewPiece(static_cast<int16_t>(gridX - stepX - n * stepX), static_cast<int16_t>(topY + (r - 1) * stepY));
        }
    }
    const int16_t dx = static_cast<int16_t>(stepX * k);
    MovePieces(dx, 0);
    MoveSprite(rowRulerRight, dx, 0);
    MoveSprite(columnsLabel, static_cast<int16_t>(dx / 2), 0);
}

void CProductGrid::RemoveColumns(int16_t k) {
    CDuravodState& s = State();
    if (k <= 0 || columns - k <= 0) return;
    columns = static_cast<int16_t>(columns - k);
    ShowColumnsLabel();
    const int16_t dx = static_cast<int16_t>((s.PieceWidth - 6) * k);
    MovePieces(static_cast<int16_t>(-dx), 0);
    MoveSprite(rowRulerRight, static_cast<int16_t>(-dx), 0);
    MoveSprite(columnsLabel, static_cast<int16_t>(-dx / 2), 0);
    WaitAllSprites();
    for (int16_t i = s.PieceTotal; i >= 2; --i) {
        CCorAnim* piece = s.PieceSprites[static_cast<size_t>(i)];
        if (GetSpriteX(piece) >= gridX) continue;
        DisposeSprite(piece);
        RemoveItemEntry(i);
        --s.PieceTotal;
    }
}

void CProductGrid::AddRows(int16_t k) {
    CDuravodState& s = State();
    if (k <= 0 || rows + k > mostRows || columns * k + s.PieceTotal > kMostPieces) return;
    rows = static_cast<int16_t>(rows + k);
    ShowRowsLabel();
    const int16_t stepX = static_cast<int16_t>(s.PieceWidth - 6);
    const int16_t stepY = static_cast<int16_t>(s.PieceHeight - 10);
    for (int16_t n = 1; n <= k; ++n) {
        for (int16_t c = 0; c < columns; ++c) {
            NewPiece(static_cast<int16_t>(gridX + c * stepX), static_cast<int16_t>(gridY + n * stepY));
        }
    }
    const int16_t dy = static_cast<int16_t>(stepY * k);
    MovePieces(0, static_cast<int16_t>(-dy));
    MoveSprite(columnRulerTop, 0, static_cast<int16_t>(-dy));
    MoveSprite(rowsLabel, 0, static_cast<int16_t>(-dy / 2));
}

void CProductGrid::RemoveRows(int16_t k) {
    CDuravodState& s = State();
    if (k <= 0 || rows - k <= 0) return;
    rows = static_cast<int16_t>(rows - k);
    ShowRowsLabel();
    const int16_t dy = static_cast<int16_t>((s.PieceHeight - 10) * k);
    MovePieces(0, dy);
    MoveSprite(columnRulerTop, 0, dy);
    MoveSprite(rowsLabel, 0, static_cast<int16_t>(dy / 2));
    WaitAllSprites();
    for (int16_t i = s.PieceTotal; i >= 2; --i) {
        CCorAnim* piece = s.PieceSprites[static_cast<size_t>(i)];
        if (GetSpriteY(piece) <= gridY) continue;
        DisposeSprite(piece);
        RemoveItemEntry(i);
        --s.PieceTotal;
    }
}

void CProductGrid::PlaceButtons() {
    CDuravodState& s = State();
    // The columns buttons ride on the row ruler's moving end.
    const int16_t cx = static_cast<int16_t>(GetSpriteX(rowRulerRight) + WidthOf(kRowRulerLeft));
    const int16_t cy = static_cast<int16_t>(GetSpriteY(rowRulerRight) + 4);
    if (columns > 1) {
        PlaceButton(columnsMinus, kColumnsMinus, cx, cy);
        PlaceButton(columnsPlus, kColumnsPlus, static_cast<int16_t>(cx + WidthOf(kColumnsMinus) + 3), cy);
    } else {
        DropButton(columnsMinus);
        PlaceButton(columnsPlus, kColumnsPlus, cx, cy);
    }
    const int16_t rx = static_cast<int16_t>(GetSpriteX(columnRulerTop) + 14);
    const int16_t rulerBottom = static_cast<int16_t>(GetSpriteY(columnRulerBottom) + HeightOf(kColumnRulerBottom));
    if (rows > 1) {
        PlaceButton(rowsMinus, kRowsMinus, rx, static_cast<int16_t>(rulerBottom - HeightOf(kRowsMinus)));
        PlaceButton(rowsPlus, kRowsPlus, rx,
                    static_cast<int16_t>(rulerBottom - HeightOf(kRowsPlus) - HeightOf(kRowsMinus) - 3));
    } else {
        DropButton(rowsMinus);
        PlaceButton(rowsPlus, kRowsPlus, rx, static_cast<int16_t>(rulerBottom - HeightOf(kRowsPlus)));
    }
    LimitButtons();
    if (s.Cursor) s.Cursor->ToFront();
}

void CProductGrid::LimitButtons() {
    const CDuravodState& s = State();
    if (!s.ProblemMode || !s.Problem) return;
    const CProblem& p = *s.Problem;
    // Which side each operand counts: the target the columns and the chosen size the rows when
    // the rows are given (order 1), else the reverse.
    const bool targetIsColumns = p.order == 1;
    const auto limit = [&](int16_t operand, bool isColumns) {
        const int16_t current = isColumns ? columns : rows;
        CCorAnim* plus = isColumns ? columnsPlus : rowsPlus;
        CCorAnim* minus = isColumns ? columnsMinus : rowsMinus;
        if (operand <= current) QueueSpriteFrameNoWait(plus, kNoPicture);
        if (minus && operand >= current) QueueSpriteFrameNoWait(minus, kNoPicture);
    };
    if (p.firstLimit) limit(p.target, targetIsColumns);
    if (p.secondLimit) limit(p.chosenSize, !targetIsColumns);
}

void CProductGrid::ShowLabel(CCorAnim* label, int16_t number, int16_t cx, int16_t cy) {
    if (!label) return;
    const int16_t item = CreatePictureItem();
    // Without a picture item the label keeps the number it shows.
    if (item < 0) return;
    int16_t dw = 0, dh = 0;
    GetPictureSize(kLabelDigit, dw, dh);
    const int16_t digits = number >= 10 ? int16_t{2} : int16_t{1};
    DrawNumberInto(item, number, static_cast<int16_t>(digits == 2 ? dw : dw / 2), static_cast<int16_t>(dh / 2), kLabelDigit);
    const int16_t old = GetSpriteFrame(label);
    int16_t w = 0, h = 0;
    GetPictureSize(item, w, h);
    WaitSpriteDone(label);
    QueueSpriteFrameNoWait(label, item);
    MoveSpriteInPicture(label, static_cast<int16_t>(cx - w / 2), static_cast<int16_t>(cy - h / 2));
    WaitSpriteDone(label);
    if (old != kNoPicture && old != item) PurgeResource(old);
}

void CProductGrid::ShowColumnsLabel() {
    // Centred on the row ruler from its left end to its right part's end.
    const int16_t left = GetSpriteX(rowRulerLeft);
    const int16_t right = static_cast<int16_t>(GetSpriteX(rowRulerRight) + WidthOf(kRowRulerRight));
    ShowLabel(columnsLabel, columns, static_cast<int16_t>((left + right) / 2), static_cast<int16_t>(GetSpriteY(rowRulerLeft) + 11));
}

void CProductGrid::ShowRowsLabel() {
    const int16_t top = GetSpriteY(columnRulerTop);
    const int16_t bottom = static_cast<int16_t>(GetSpriteY(columnRulerBottom) + HeightOf(kColumnRulerBottom));
    ShowLabel(rowsLabel, rows, static_cast<int16_t>(GetSpriteX(columnRulerTop) + 25), static_cast<int16_t>((top + bottom) / 2));
}

int16_t CProductGrid::SayProduct(int16_t flag) {
    uint16_t ids[kPhraseSize] = {};
    BuildPhrase(ids, flag ? kSayProductFlagged : kSayProduct, static_cast<uint16_t>(rows), static_cast<uint16_t>(columns),
                static_cast<uint16_t>(rows * columns), 0, 0);
    int channel = 0;
    for (int i = 0; i < kPhraseMaxIds && ids[i] != 0 && static_cast<int16_t>(ids[i]) > 0; ++i) {
        const int16_t id = static_cast<int16_t>(ids[i]);
        if (i == 0 || i == 3) {
            channel = PlaySnd(id, 0);
        } else {
            PlaySnd(id, channel);
        }
        const int16_t cut = WaitSoundsOrClick();
        RefreshTextItems();
        if (cut) return 1;
    }
    return 0;
}

int16_t CProductGrid::SpriteRole(CCorAnim* sprite) const {
    if (!sprite) return 0;
    const CCorAnim* const roles[] = {columnsPlus, columnsMinus, rowsPlus, rowsMinus, rowRulerLeft,
                                     rowRulerRight, columnsLabel, columnRulerTop, columnRulerBottom, rowsLabel};
    for (int16_t i = 0; i < 10; ++i) {
        if (roles[i] == sprite) return static_cast<int16_t>(i + 1);
    }
    return 0;
}

void ShowProductReadout(const CProductGrid& grid) {
    CDuravodState& s = State();
    EngineSetTextColors(14, 0, 4);
    EngineSetTextDefault(27);
    EngineDisposeText(s.ModuleTextItems[0]);
    s.ModuleTextItems[0] = nullptr;
    char text[48];
    std::snprintf(text, sizeof text, "%d x %d = %d", grid.rows, grid.columns, grid.rows * grid.columns);
    const int16_t px = s.Panel ? s.Panel->x : int16_t{0};
    const int16_t py = s.Panel ? s.Panel->y : int16_t{0};
    s.ModuleTextItems[0] = EngineCreateText(text,
                                            CCorRect{static_cast<int16_t>(px + 28), static_cast<int16_t>(py + 3),
                                                     static_cast<int16_t>(px + 262), static_cast<int16_t>(py + 24)},
                                            0);
}

void RecolourItems(int16_t look) {
    CDuravodState& s = State();
    s.PieceLook = s.SelectedPaint;
    bool changed = false;
    for (int16_t i = 1; i <= s.PieceTotal && i < kPieceSlots; ++i) {
        CCorAnim* piece = s.PieceSprites[static_cast<size_t>(i)];
        const int16_t own = ItemNumber(i, nullptr);
        int16_t target = look;
        if (s.SelectedPaint == 4) {
            do {
                target = Random(4);
            } while (target == own);
        }
        if (own != target) {
            QueueSpriteFrameNoWait(piece, static_cast<int16_t>(kPiece + target));
            changed = true;
        }
    }
    PlaySndAny(changed ? kPaintSound : kAlreadyPainted);
}

void BlinkNextPicture(CCorAnim* sprite) {
    const int16_t picture = GetSpriteFrame(sprite);
    if (!sprite || picture == kNoPicture) return;
    for (int n = 0; n < 3; ++n) {
        QueueSpriteFrameNoWait(sprite, static_cast<int16_t>(picture + 1));
        QueueSpriteWait(sprite, 10);
        QueueSpriteFrameNoWait(sprite, picture);
        QueueSpriteWait(sprite, 10);
    }
}

}  // namespace duravod
