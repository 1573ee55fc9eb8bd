#include "activities/duravod/piece_groups.h"

#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/duravod_state.h"
#include "activities/duravod/grid_panel.h"
#include "activities/duravod/pieces.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"

namespace duravod {

int16_t ShowGroupMarkers = 0;

void ReturnHeldPieces() {}
bool IsPieceMovable(int16_t) { return true; }
void TakePlaces() {}
int16_t GroupOfPiece(int16_t index) { return GroupOf(index); }
void SplitOffBatch(int16_t) {}
bool DetachPiece(int16_t) { return false; }
void RegroupGroup(int16_t) {}
void PlaceLoosePieces() {}
void AssignSettledPieces() {}
void SnapPieces(int16_t) {}
void PlacePiece(int16_t) {}
void UpdateGroupMarkers(int16_t) {}
void RecolourGroup(int16_t, int16_t) {}
void MaybeWobbleColumn(int16_t) {}
int16_t GroupOfMarker(CCorAnim*) { return 0; }
void StepGroupStyle(int16_t) {}
bool GroupInActorSet(int16_t) { return false; }

int16_t IsOverBlockedArea(int16_t piece, int16_t x, int16_t y, CCorAnim* sprite) {
    const CDuravodState& s = State();
    int16_t w = s.PieceWidth, h = s.PieceHeight;
    if (sprite) GetPictureSize(GetSpriteFrame(sprite), w, h);
    const CCorRect box{x, y, static_cast<int16_t>(x + w), static_cast<int16_t>(y + h)};
    if (s.Panel && s.Panel->sprite && GetSpriteFrame(s.Panel->sprite) != kNoPicture) {
        int16_t pw = 0, ph = 0;
        GetPictureSize(GetSpriteFrame(s.Panel->sprite), pw, ph);
        const int16_t px = GetSpriteX(s.Panel->sprite), py = GetSpriteY(s.Panel->sprite);
        if (RectsMeet(box, CCorRect{px, py, static_cast<int16_t>(px + pw), static_cast<int16_t>(py + ph)}, 0, 0)) return 1;
    }
    if (!sprite && piece && s.Problem && s.Hatch && GetSpriteFrame(s.Hatch) != kNoPicture) {
        int16_t hw = 0, hh = 0;
        GetPictureSize(kHatchPicture, hw, hh);
        if (RectsMeet(box, CCorRect{86, 318, static_cast<int16_t>(86 + hw), static_cast<int16_t>(318 + hh)}, 0, 0)) return 1;
    }
    return 0;
}

void DrawNumberInto(int16_t item, int16_t number, int16_t x, int16_t y, int16_t base) {
    const auto put = [&](int16_t picture, int16_t cx) {
        int16_t w = 0, h = 0;
        GetPictureSize(picture, w, h);
        CopyPictureInto(item, picture, static_cast<int16_t>(cx - w / 2), static_cast<int16_t>(y - h / 2));
    };
    if (number < 0) {
        put(static_cast<int16_t>(base + 10), x);
    } else if (number < 10) {
        put(static_cast<int16_t>(base + number), x);
    } else {
        int16_t w = 0, h = 0;
        GetPictureSize(base, w, h);
        put(static_cast<int16_t>(base + (number / 10) % 10), static_cast<int16_t>(x - w / 2));
        put(static_cast<int16_t>(base + number % 10), static_cast<int16_t>(x + w / 2));
    }
}

void RemoveGroup(int16_t group) {
    CDuravodState& s = State();
    if (group < 1 || group >= kGroupRows) return;
    for (size_t i = 1; i <= kMostPieces; ++i) {
        uint16_t& g = s.GroupTable[0][i];
        if (g == group) {
            g = 0;
        } else if (g > group) {
            --g;
        }
    }
    size_t row = static_cast<size_t>(group);
    for (; row + 1 < s.GroupTable.size() && s.GroupTable[row + 1][1] != 0; ++row) {
        s.GroupTable[row] = s.GroupTable[row + 1];
        s.GroupStyle[row] = s.GroupStyle[row + 1];
    }
    s.GroupTable[row] = {};
    s.GroupStyle[row] = 0;
}

void RemoveGroupMarkers(int16_t group) {
    CDuravodState& s = State();
    if (group < 1 || group >= kGroupRows || !s.GroupMarkers[static_cast<size_t>(group)][0]) return;
    for (CCorAnim*& marker : s.GroupMarkers[static_cast<size_t>(group)]) {
        DisposeSprite(marker);
        marker = nullptr;
    }
    for (size_t g = static_cast<size_t>(group); g + 1 < s.GroupMarkers.size(); ++g) s.GroupMarkers[g] = s.GroupMarkers[g + 1];
    s.GroupMarkers.back() = {};
}

}  // namespace duravod
