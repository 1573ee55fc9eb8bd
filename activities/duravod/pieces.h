// The pieces on the stage: the curve every slide of the activity follows, dragging a piece or its
// group within the screen area around the blocked areas, the bin's hit test, the two throws into
// the bin, clearing and trimming the pieces, taking a piece out of every table, and the wink an
// idle piece gives.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "activities/duravod/duravod_state.h"
#include "media/util/cor_geometry.h"

class CCorAnim;

namespace duravod {

inline constexpr int16_t kBinX = 290;
inline constexpr int16_t kBinY = 425;

// The points a slide from (x0, y0) to (x1, y1) passes: n = (int)(length / speed) × 2 steps on
// two Hermite curves (eased at both ends; with bow, tangents drawn at random bend the path),
// then the end point. A slide of length 0 (or less than half a speed) is the end point alone.
std::vector<CCorPoint> CurvePoints(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t speed, int16_t bow);
// Appends the slide to the sprite's script: a move to each step's point followed by a wait of
// ticks / 4, then the move to the end.
void MoveSpriteAlongCurve(CCorAnim* sprite, int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t speed,
                          int16_t ticks, int16_t bow);
// The piece and its group's other members slide together, each keeping its offset; the piece
// itself on a straight path, the others bowed when asked.
void MoveGroupAlongCurve(int16_t piece, int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t speed,
                         int16_t ticks, int16_t bow);

// The box of a piece and its group (relative to the piece's place) and each member's offset
// from the piece, by piece number.
struct CGroupBox {
    CCorRect box{0, 0, 0, 0};
    std::array<CCorPoint, kPieceSlots> offset{};
};
CGroupBox GroupBounds(int16_t piece);
// The group's members to the front, then its markers, then the pointer sprite.
void GroupToFront(int16_t piece);
// Every other member of the piece's group moves to the piece's place (x, y) plus its offset.
void MoveGroupMembers(int16_t piece, int16_t x, int16_t y, const CGroupBox& box);

// Drags the piece (or its group) while the button is held; 1 when it stays on the stage, 0 when
// it was released over the bin and thrown away. A close or the engine stopping ends the drag
// where the piece is, without a throw.
int16_t DragItem(CCorAnim* sprite, int16_t piece);
// The paint button's new piece follows the pointer until the next press; returns what
// IsClickPending (1) gave (0 when a close or the engine stopping ended the wait).
int32_t DragNewItem(CCorAnim* sprite);

// 1 when a piece box at (x, y) lies on the bin (the bin then shows its closing picture); keep
// puts the closed bin back when it does not.
int16_t ItemOverBin(int16_t keep, int16_t x, int16_t y);
int16_t GroupOverBin(int16_t piece);
// Whether the rectangles, each grown by its margin, overlap inside (touching edges do not meet).
int16_t RectsMeet(const CCorRect& a, const CCorRect& b, int16_t marginA, int16_t marginB);

void ThrowIntoBinA(CCorAnim* sprite);
void ThrowIntoBinB(int16_t piece);
// kind 0 chooses 1, 2 or 3; 1 throws A, 2 throws B, 3 picks A or B each time. Returns the kind.
int16_t ThrowItem(int16_t kind, int16_t piece);
// The piece and its whole group into the bin, which opens around them.
void ThrowGroupAway(int16_t piece);
// Every piece into the bin (trimmed first to what the machine keeps up with).
void ClearAllItems();
// Removes random pieces while more than 30, 15 or 5 are out (by EnterMillis).
void TrimItems();
// Takes piece i out of PieceSprites, the group table and the set table; later pieces move down.
void RemoveItemEntry(int16_t piece);
void ClearGroupTable();
void DisposeGroupMarkers();
// On every module tick: now and then a random piece winks three times.
void WinkItems();
// The look of a piece by its slot (0: found by its sprite) from its picture.
int16_t ItemNumber(int16_t slot, CCorAnim* sprite);

// The group row of the piece (0 for none or a number outside the table).
int16_t GroupOf(int16_t piece);
// The members of group g, in order (the list stops at its 0 or the row's end).
std::vector<int16_t> GroupMembers(int16_t group);

}  // namespace duravod
