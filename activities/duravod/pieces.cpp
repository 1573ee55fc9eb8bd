#include "activities/duravod/pieces.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "activities/duravod/actors.h"
#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/piece_groups.h"
#include "activities/duravod/grid_panel.h"
#include "activities/duravod/scene.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/geometry.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace duravod {

namespace {

bool ValidPiece(int16_t piece) { return piece >= 1 && piece <= kMostPieces; }

CCorAnim* PieceSprite(int16_t piece) {
    return piece >= 1 && piece < kPieceSlots ? State().PieceSprites[static_cast<size_t>(piece)] : nullptr;
}

// The index of the sprite among the pieces 1..PieceTotal; 0 when it is none of them.
int16_t PieceOfSprite(CCorAnim* sprite) {
    const CDuravodState& s = State();
    if (!sprite) return 0;
    for (int16_t i = 1; i <= s.PieceTotal && i < kPieceSlots; ++i) {
        if (s.PieceSprites[static_cast<size_t>(i)] == sprite) return i;
    }
    return 0;
}

int16_t Width(int16_t picture) {
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    return w;
}

// Where the bin's picture p stands: centred on the closed bin's box, bottom-aligned with it.
CCorPoint BinPlace(int16_t picture) {
    int16_t w = 0, h = 0, w0 = 0, h0 = 0;
    GetPictureSize(picture, w, h);
    GetPictureSize(kBinClosed, w0, h0);
    return CCorPoint{static_cast<int16_t>(kBinX + (w0 - w) / 2), static_cast<int16_t>(kBinY + h0 - h)};
}

// The box at (x, y) of the piece (the group's box when given) would cover a blocked area.
bool Blocked(int16_t piece, int16_t x, int16_t y, CCorAnim* sprite) { return IsOverBlockedArea(piece, x, y, sprite) != 0; }

// Keeps the box (relative to the place) inside the area: left and top edges first, then right
// and bottom.
void KeepInside(int16_t& x, int16_t& y, const CCorRect& box, const StageArea& area) {
    if (x + box.left < area.left) x = static_cast<int16_t>(area.left - box.left);
    if (y + box.top < area.top) y = static_cast<int16_t>(area.top - box.top);
    if (x + box.right > area.right) x = static_cast<int16_t>(area.right - box.right);
    if (y + box.bottom > area.bottom) y = static_cast<int16_t>(area.bottom - box.bottom);
}

}  // namespace

// ---- Curves ---------------------------------------------------------------------------------------

std::vector<CCorPoint> CurvePoints(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t speed, int16_t bow) {
    std::vector<CCorPoint> points;
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::sqrt(dx * dx + dy * dy);
    const int32_t n = speed > 0 ? static_cast<int32_t>(std::trunc(length / speed) * 2.0) : 0;
    if (n > 0) {
        CHermiteTween cx(0, x1, x0, n, 0, 0);
        CHermiteTween cy(0, y1, y0, n, 0, 0);
        if (bow) {
            const int32_t adx = std::abs(x1 - x0), ady = std::abs(y1 - y0);
            int32_t tx = ((50 + Random(50)) * adx * 3) / 150;
            if (Random(2) != 0) tx = -tx;
            int32_t ty = ((50 + Random(50)) * ady * 4) / 100;
            if (Random(2) != 0) ty = -ty;
            cx.SetEnd(tx);
            cy.SetStart(ty * 0.5);
            cy.SetEnd(ty);
        }
        points.reserve(static_cast<size_t>(n) + 1);
        for (int32_t i = 0; i < n; ++i)
            points.push_back(CCorPoint{static_cast<int16_t>(cx.Evaluate(i)), static_cast<int16_t>(cy.Evaluate(i))});
    }
    points.push_back(CCorPoint{x1, y1});
    return points;
}

void MoveSpriteAlongCurve(CCorAnim* sprite, int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t speed,
                          int16_t ticks, int16_t bow) {
    if (!sprite) return;
    const std::vector<CCorPoint> points = CurvePoints(x0, y0, x1, y1, speed, bow);
    const int16_t wait = static_cast<int16_t>(ticks / 4);
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        MoveSpriteInPicture(sprite, points[i].x, points[i].y);
        if (wait > 0) QueueSpriteWait(sprite, wait);
    }
    MoveSpriteInPicture(sprite, points.back().x, points.back().y);
}

void MoveGroupAlongCurve(int16_t piece, int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t speed,
                         int16_t ticks, int16_t bow) {
    const int16_t group = GroupOf(piece);
    if (!group) {
        MoveSpriteAlongCurve(PieceSprite(piece), x0, y0, x1, y1, speed, ticks, bow);
        return;
    }
    const CGroupBox box = GroupBounds(piece);
    for (int16_t member : GroupMembers(group)) {
        CCorAnim* sprite = PieceSprite(member);
        if (member == piece) {
            MoveSpriteAlongCurve(sprite, x0, y0, x1, y1, speed, ticks, 0);
            continue;
        }
        const CCorPoint off = box.offset[static_cast<size_t>(member)];
        MoveSpriteAlongCurve(sprite, GetSpriteX(sprite), GetSpriteY(sprite), static_cast<int16_t>(x1 + off.x),
                             static_cast<int16_t>(y1 + off.y), speed, ticks, bow);
    }
}

// ---- Groups ---------------------------------------------------------------------------------------

int16_t GroupOf(int16_t piece) {
    if (!ValidPiece(piece)) return 0;
    const uint16_t g = State().GroupTable[0][static_cast<size_t>(piece)];
    return g >= 1 && g < kGroupRows ? static_cast<int16_t>(g) : int16_t{0};
}

std::vector<int16_t> GroupMembers(int16_t group) {
    std::vector<int16_t> members;
    if (group < 1 || group >= kGroupRows) return members;
    const auto& row = State().GroupTable[static_cast<size_t>(group)];
    for (size_t c = 1; c < row.size() && row[c] != 0; ++c) {
        if (row[c] <= kMostPieces) members.push_back(static_cast<int16_t>(row[c]));
    }
    return members;
}

CGroupBox GroupBounds(int16_t piece) {
    const CDuravodState& s = State();
    CGroupBox out;
    out.box = CCorRect{0, 0, s.PieceWidth, s.PieceHeight};
    const int16_t group = GroupOf(piece);
    if (!group) return out;
    CCorAnim* own = PieceSprite(piece);
    const int16_t px = GetSpriteX(own), py = GetSpriteY(own);
    for (int16_t member : GroupMembers(group)) {
        if (member == piece) continue;
        CCorAnim* sprite = PieceSprite(member);
        const int16_t dx = static_cast<int16_t>(GetSpriteX(sprite) - px);
        const int16_t dy = static_cast<int16_t>(GetSpriteY(sprite) - py);
        out.offset[static_cast<size_t>(member)] = CCorPoint{dx, dy};
        out.box.left = std::min(out.box.left, dx);
        out.box.top = std::min(out.box.top, dy);
        out.box.right = std::max(out.box.right, static_cast<int16_t>(dx + s.PieceWidth));
        out.box.bottom = std::max(out.box.bottom, static_cast<int16_t>(dy + s.PieceHeight));
    }
    return out;
}

void GroupToFront(int16_t piece) {
    CDuravodState& s = State();
    const int16_t group = GroupOf(piece);
    if (group) {
        for (int16_t member : GroupMembers(group)) SpriteToFront(PieceSprite(member));
        const auto& markers = s.GroupMarkers[static_cast<size_t>(group)];
        SpriteToFront(markers[0]);
        if (markers[1]) SpriteToFront(markers[1]);
    } else {
        SpriteToFront(PieceSprite(piece));
    }
    if (s.Cursor) s.Cursor->ToFront();
}

void MoveGroupMembers(int16_t piece, int16_t x, int16_t y, const CGroupBox& box) {
    for (int16_t member : GroupMembers(GroupOf(piece))) {
        if (member == piece) continue;
        const CCorPoint off = box.offset[static_cast<size_t>(member)];
        MoveSpriteInPicture(PieceSprite(member), static_cast<int16_t>(x + off.x), static_cast<int16_t>(y + off.y));
    }
}

// ---- Dragging -------------------------------------------------------------------------------------

int16_t DragItem(CCorAnim* sprite, int16_t piece) {
    CDuravodState& s = State();
    if (!sprite) return 1;
    const int16_t w = s.PieceWidth, h = s.PieceHeight;
    int16_t px = GetSpriteX(sprite), py = GetSpriteY(sprite);
    const int16_t group = GroupOf(piece);
    const CGroupBox box = GroupBounds(piece);
    int16_t clickX = 0, clickY = 0;
    GetLastClick(clickX, clickY);
    int16_t grabX = static_cast<int16_t>(clickX - px), grabY = static_cast<int16_t>(clickY - py);
    GroupToFront(piece);
    if (s.PlayMode == 1 || s.PlayMode == 2) {
        SpriteToFront(sprite);
        if (s.Panel && s.Panel->sprite) {
            SpriteToFront(s.Panel->sprite);
            PutSpriteAfter(s.PanelButton, s.Panel->sprite);
        }
        if (s.Cursor) s.Cursor->ToFront();
    }
    if (grabX < w / 10 || grabX > w - w / 10) grabX = static_cast<int16_t>(w / 2);
    if (grabY < h / 10 || grabY > h - h / 10) grabY = static_cast<int16_t>(h / 2);
    int16_t mx = 0, my = 0;
    int16_t down = GetMouse(mx, my);
    int16_t over = 0;
    while (down && !WaitMustEnd()) {
        int16_t tx = static_cast<int16_t>(mx - grabX), ty = static_cast<int16_t>(my - grabY);
        KeepInside(tx, ty, box.box, s.ScreenArea);
        if (Blocked(piece, tx, ty, nullptr)) {
            if (!Blocked(piece, px, ty, nullptr)) {
                tx = px;
            } else if (!Blocked(piece, tx, py, nullptr)) {
                ty = py;
            } else {
                // Held against the blocked area on both axes: the pointer is sampled again.
                Delay(0);
                down = GetMouse(mx, my);
                continue;
            }
        }
        if (group) {
            MoveSpriteInPicture(sprite, tx, ty);
            MoveGroupMembers(piece, tx, ty, box);
            // The members take their places in the same steps as the piece: the bin test
            // then sees them where they were moved.
            WaitSpriteDone(sprite);
            over = GroupOverBin(piece);
        } else {
            MoveSpriteInPicture(sprite, tx, ty);
            over = ItemOverBin(over, tx, ty);
            WaitSpriteDone(sprite);
        }
        px = tx;
        py = ty;
        down = GetMouse(mx, my);
        Delay(0);
    }
    if (WaitMustEnd()) return 1;
    if (over) {
        ThrowGroupAway(piece);
        return 0;
    }
    return 1;
}

int32_t DragNewItem(CCorAnim* sprite) {
    CDuravodState& s = State();
    QueueSpriteFrameNoWait(sprite, static_cast<int16_t>(kPaintTaking + s.SelectedPaint));
    if (const int32_t pending = IsClickPending(1)) return pending;
    int16_t w = 0, h = 0;
    GetPictureSize(static_cast<int16_t>(kPaintTaking + s.SelectedPaint), w, h);
    const CCorRect box{0, 0, w, h};
    int16_t px = GetSpriteX(sprite), py = GetSpriteY(sprite);
    while (!WaitMustEnd()) {
        if (const int32_t pending = IsClickPending(1)) return pending;
        int16_t mx = 0, my = 0;
        GetMouse(mx, my);
        int16_t tx = static_cast<int16_t>(mx - 14), ty = static_cast<int16_t>(my - 7);
        KeepInside(tx, ty, box, s.ScreenArea);
        bool held = false;
        if (Blocked(0, tx, ty, sprite)) {
            if (!Blocked(0, px, ty, sprite)) {
                tx = px;
            } else if (!Blocked(0, tx, py, sprite)) {
                ty = py;
            } else {
                held = true;
            }
        }
        if (!held && (tx != px || ty != py)) {
            MoveSpriteInPicture(sprite, tx, ty);
            WaitSpriteDone(sprite);
            px = tx;
            py = ty;
        }
        Delay(0);
    }
    return 0;
}

// ---- The bin --------------------------------------------------------------------------------------

int16_t RectsMeet(const CCorRect& a, const CCorRect& b, int16_t marginA, int16_t marginB) {
    const int32_t al = a.left - marginA, at = a.top - marginA, ar = a.right + marginA, ab = a.bottom + marginA;
    const int32_t bl = b.left - marginB, bt = b.top - marginB, br = b.right + marginB, bb = b.bottom + marginB;
    return al < br && bl < ar && at < bb && bt < ab ? 1 : 0;
}

int16_t ItemOverBin(int16_t keep, int16_t x, int16_t y) {
    const CDuravodState& s = State();
    CCorAnim* bin = s.Bin;
    if (!bin) return 0;
    WaitSpriteDone(bin);
    if (GetSpriteFrame(bin) == kNoPicture) return 0;
    int16_t w0 = 0, h0 = 0;
    GetPictureSize(kBinClosed, w0, h0);
    const CCorRect piece{x, y, static_cast<int16_t>(x + s.PieceWidth), static_cast<int16_t>(y + s.PieceHeight)};
    const CCorRect binBox{kBinX, kBinY, static_cast<int16_t>(kBinX + w0), static_cast<int16_t>(kBinY + h0)};
    if (RectsMeet(piece, binBox, 1, 0)) {
        const CCorPoint at = BinPlace(kBinClosing);
        QueueSpriteFrameAt(bin, kBinClosing, at.x, at.y);
        return 1;
    }
    if (keep) QueueSpriteFrameAt(bin, kBinClosed, kBinX, kBinY);
    return 0;
}

int16_t GroupOverBin(int16_t piece) {
    CDuravodState& s = State();
    for (int16_t member : GroupMembers(GroupOf(piece))) {
        CCorAnim* sprite = PieceSprite(member);
        if (ItemOverBin(0, GetSpriteX(sprite), GetSpriteY(sprite))) return 1;
    }
    if (s.Bin && GetSpriteFrame(s.Bin) != kNoPicture) QueueSpriteFrameAt(s.Bin, kBinClosed, kBinX, kBinY);
    return 0;
}

// ---- Throwing -------------------------------------------------------------------------------------

void ThrowIntoBinA(CCorAnim* sprite) {
    const CDuravodState& s = State();
    if (!sprite) return;
    const int16_t w = s.PieceWidth, h = s.PieceHeight;
    const int16_t j = static_cast<int16_t>(50 + Random(75));
    const int16_t d = static_cast<int16_t>(100 + Random(500));
    const int16_t x = static_cast<int16_t>(kBinX + (Width(kBinClosed) - w) / 2);
    const int16_t x0 = GetSpriteX(sprite), y0 = GetSpriteY(sprite);
    const int16_t top = static_cast<int16_t>(kBinY - h - j);
    const int16_t rim = static_cast<int16_t>(435 - h);
    MoveSpriteAlongCurve(sprite, x0, y0, x, top, 20, 3, 0);
    QueueSpriteWait(sprite, 8);
    MoveSpriteAlongCurve(sprite, x, top, x, rim, 20, 3, 0);
    QueueSpriteSoundReplace(sprite, kIntoBinSound);
    QueueSpriteWait(sprite, 8);
    const int16_t away = Random(2) ? static_cast<int16_t>(s.ScreenArea.right + w) : static_cast<int16_t>(s.ScreenArea.left - w);
    MoveSpriteAlongCurve(sprite, x, rim, away, static_cast<int16_t>(kBinY - h - d), 30, 3, 0);
}

void ThrowIntoBinB(int16_t piece) {
    const CDuravodState& s = State();
    CCorAnim* sprite = PieceSprite(piece);
    if (!sprite) return;
    const int16_t w = s.PieceWidth, h = s.PieceHeight;
    const int16_t binX = s.Bin ? GetSpriteX(s.Bin) : kBinX;
    const int16_t binY = s.Bin ? GetSpriteY(s.Bin) : kBinY;
    const int16_t binPicture = s.Bin && GetSpriteFrame(s.Bin) != kNoPicture ? GetSpriteFrame(s.Bin) : kBinClosed;
    // Clipped at the bin's mouth, the piece vanishes into it.
    const CCorRect clip{s.ScreenArea.left, s.ScreenArea.top, s.ScreenArea.right, static_cast<int16_t>(binY + 40)};
    SetSpriteClipRect(sprite, &clip);
    const int16_t j = static_cast<int16_t>(50 + Random(75));
    const int16_t x = static_cast<int16_t>(binX + (Width(binPicture) - w) / 2);
    const int16_t top = static_cast<int16_t>(kBinY - j - h);
    MoveSpriteAlongCurve(sprite, GetSpriteX(sprite), GetSpriteY(sprite), x, top, 20, 3, 0);
    MoveSpriteAlongCurve(sprite, x, top, x, static_cast<int16_t>(binY + 40), 30, 3, 0);
    QueueSpriteSoundReplace(sprite, kIntoBinSound);
}

int16_t ThrowItem(int16_t kind, int16_t piece) {
    if (kind == 0) {
        const int16_t r = Random(100);
        kind = r < 33 ? int16_t{1} : r < 66 ? int16_t{2} : int16_t{3};
    }
    bool a = kind == 1;
    if (kind == 3) a = Random(100) < 50;
    if (a) {
        ThrowIntoBinA(PieceSprite(piece));
    } else {
        ThrowIntoBinB(piece);
    }
    return kind;
}

void ThrowGroupAway(int16_t piece) {
    CDuravodState& s = State();
    if (!ValidPiece(piece) || !PieceSprite(piece)) return;
    BeginBusy();
    const int16_t opened = OpenBin();
    const int16_t group = GroupOf(piece);
    std::vector<int16_t> thrown;
    if (group) {
        RemoveGroupMarkers(group);
        thrown = GroupMembers(group);
    } else {
        thrown.push_back(piece);
    }
    std::vector<CCorAnim*> sprites;
    int16_t kind = 0;
    for (int16_t member : thrown) {
        kind = ThrowItem(kind, member);
        sprites.push_back(PieceSprite(member));
    }
    // The pieces are found again by their sprites: each removal moves the later ones down.
    for (CCorAnim* sprite : sprites) {
        WaitSpriteDone(sprite);
        const int16_t at = PieceOfSprite(sprite);
        if (!at) continue;
        DisposeSprite(sprite);
        RemoveItemEntry(at);
        --s.PieceTotal;
    }
    if (group) RemoveGroup(group);
    if (opened) CloseBin();
    EndBusy();
}

void ClearAllItems() {
    CDuravodState& s = State();
    if (s.PieceTotal <= 0) {
        s.PieceTotal = 0;
        return;
    }
    BeginBusy();
    const int16_t opened = OpenBin();
    TrimItems();
    int16_t kind = 0;
    for (int16_t i = 1; i <= s.PieceTotal && i < kPieceSlots; ++i) {
        CCorAnim* sprite = s.PieceSprites[static_cast<size_t>(i)];
        SpriteToFront(sprite);
        SetSpriteClipRect(sprite, nullptr);
        kind = ThrowItem(kind, i);
    }
    for (int16_t i = 1; i <= s.PieceTotal && i < kPieceSlots; ++i) {
        CCorAnim*& sprite = s.PieceSprites[static_cast<size_t>(i)];
        WaitSpriteDone(sprite);
        DisposeSprite(sprite);
        sprite = nullptr;
    }
    s.PieceTotal = 0;
    if (opened) CloseBin();
    EndBusy();
}

void TrimItems() {
    CDuravodState& s = State();
    const int16_t most = s.EnterMillis <= 35 ? int16_t{30} : s.EnterMillis <= 110 ? int16_t{15} : int16_t{5};
    while (s.PieceTotal > most) {
        const int16_t i = static_cast<int16_t>(1 + Random(s.PieceTotal));
        RemoveFromSet(i);
        DisposeSprite(PieceSprite(i));
        RemoveItemEntry(i);
        --s.PieceTotal;
    }
}

namespace {

// Takes the piece out of a row of members (0-ended unless full; the later members move up) and
// renumbers the members above it.
template <size_t N>
void DropMember(std::array<uint16_t, N>& row, uint16_t piece) {
    size_t out = 1, c = 1;
    for (; c < N && row[c] != 0; ++c) {
        if (row[c] == piece) continue;
        row[out++] = static_cast<uint16_t>(row[c] > piece ? row[c] - 1 : row[c]);
    }
    for (; out < c; ++out) row[out] = 0;
}

// Row 0 of a table: the entries after the piece move down one place; the last is emptied.
template <size_t N>
void ShiftDown(std::array<uint16_t, N>& row, size_t piece) {
    for (size_t j = piece; j + 1 < N; ++j) row[j] = row[j + 1];
    row[N - 1] = 0;
}

}  // namespace

void RemoveItemEntry(int16_t piece) {
    CDuravodState& s = State();
    if (!ValidPiece(piece)) return;
    const size_t i = static_cast<size_t>(piece);
    for (size_t j = i; j + 1 < s.PieceSprites.size(); ++j) s.PieceSprites[j] = s.PieceSprites[j + 1];
    s.PieceSprites.back() = nullptr;
    ShiftDown(s.GroupTable[0], i);
    for (size_t g = 1; g < s.GroupTable.size(); ++g) DropMember(s.GroupTable[g], static_cast<uint16_t>(piece));
    ShiftDown(s.SetTable[0], i);
    for (size_t k = 1; k < s.SetTable.size(); ++k) DropMember(s.SetTable[k], static_cast<uint16_t>(piece));
}

void ClearGroupTable() { State().GroupTable = {}; }

void DisposeGroupMarkers() {
    CDuravodState& s = State();
    for (size_t g = 1; g < s.GroupMarkers.size(); ++g) {
        auto& markers = s.GroupMarkers[g];
        if (markers[0]) {
            DisposeSprite(markers[0]);
            markers[0] = nullptr;
            s.GroupStyle[g] = 0;
        }
        if (markers[1]) {
            DisposeSprite(markers[1]);
            markers[1] = nullptr;
        }
    }
}

// ---- Winking --------------------------------------------------------------------------------------

int16_t ItemNumber(int16_t slot, CCorAnim* sprite) {
    if (slot == 0) slot = PieceOfSprite(sprite);
    const int16_t picture = GetSpriteFrame(slot ? PieceSprite(slot) : sprite);
    return picture < kPiece + 4 ? static_cast<int16_t>(picture - kPiece) : static_cast<int16_t>(picture - kWinkPiece);
}

void WinkItems() {
    CDuravodState& s = State();
    CWink& wink = s.Wink;
    const uint32_t now = GetEngineTicks();
    if (!wink.piece) {
        if (wink.delay == 0) {
            wink.delay = static_cast<int16_t>(500 + Random(250) + 1);
            wink.since = now;
        }
        if (now - wink.since < static_cast<uint32_t>(wink.delay) || s.PieceTotal < 1) return;
        wink.piece = PieceSprite(static_cast<int16_t>(1 + Random(s.PieceTotal)));
        wink.winking = 0;
        wink.returns = 0;
        wink.changed = now - 20;
        if (!wink.piece) {
            wink.delay = 0;
            return;
        }
    }
    const int16_t at = PieceOfSprite(wink.piece);
    if (!at) {
        wink = CWink{};
        return;
    }
    if (now - wink.changed < 20) return;
    const int16_t look = ItemNumber(at, nullptr);
    if (look < 0 || look > 3) {
        wink = CWink{};
        return;
    }
    WaitSpriteDone(wink.piece);
    wink.winking = static_cast<int16_t>(!wink.winking);
    QueueSpriteFrameNoWait(wink.piece, static_cast<int16_t>((wink.winking ? kWinkPiece : kPiece) + look));
    wink.changed = now;
    if (!wink.winking && ++wink.returns >= 3) wink = CWink{};
}

}  // namespace duravod
