#include "activities/vevudivodizide/digit_controls.h"

#include <vector>

#include "activities/vevudivodizide/number_panel.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"

namespace vevudivodizide {

namespace {

constexpr int16_t kNoPicture = kPicNone;
constexpr int16_t kRaisedTile = kPicRaisedTile;
constexpr int16_t kFixedCard = kPicFixedCard;
constexpr int16_t kBlankCard = kPicBlankCard;
constexpr int16_t kShadow = kPicShadow;
constexpr int16_t kLabel = kPicLabel, kLabelSelected = kPicLabelSelected;
constexpr int16_t kMark = kPicMark, kMarkSelected = kPicMarkSelected;

constexpr int16_t kTileHomeX[10] = {165, 194, 224, 254, 284, 313, 343, 372, 401, 429};

int16_t CardHeight() { return static_cast<int16_t>(2 * GetPictureHalfHeight(kCardPicture)); }

bool MovedMoreThanAClick(int x0, int y0, int x1, int y1) {
    const int dx = x1 - x0, dy = y1 - y0;
    return dx * dx + dy * dy > 50;
}

}  // namespace

// ---- Tiles ----------------------------------------------------------------------------------

int16_t CDigitTile::HomeX(int d) { return d >= 0 && d <= 9 ? kTileHomeX[d] : 0; }

void CDigitTile::Create() {
    homeX = static_cast<uint16_t>(HomeX(digit));
    homeY = 440;
    sprite = CreateSprite(static_cast<int16_t>(homeX), static_cast<int16_t>(homeY), kNoPicture);
}

int16_t CDigitTile::PressTile(CCorAnim* pressed, EngineDragCallback onMove) {
    if (!pressed || pressed != sprite) return 0;
    const int16_t picture = GetSpriteFrame(sprite);
    if (picture < kCardPicture || picture > kCardPicture + 9) return 0;
    const int16_t startX = GetSpriteX(sprite), startY = GetSpriteY(sprite);
    EngineDragObject(sprite, 5, 0, 32767, onMove);
    // Where the drop left it, before the redraw runs what its script still holds.
    dropX = GetSpriteX(sprite);
    dropY = GetSpriteY(sprite);
    RedrawArea(0);
    vevudivodizide::MoveTo(sprite, static_cast<int16_t>(homeX), static_cast<int16_t>(homeY));
    RedrawArea(0);
    moved = MovedMoreThanAClick(startX, startY, dropX, dropY) ? 1 : 0;
    return 1;
}

void CDigitTile::ShowNormal() { ShowPicture(sprite, static_cast<int16_t>(kCardPicture + digit)); }
void CDigitTile::ShowRaised() { ShowPicture(sprite, static_cast<int16_t>(kRaisedTile + digit)); }
void CDigitTile::Hide() { ShowPicture(sprite, kNoPicture); }
int16_t CDigitTile::GetPicture() const { return GetSpriteFrame(sprite); }
void CDigitTile::SetPicture(int16_t picture) { ShowPicture(sprite, picture); }

void CDigitTile::AddScanTarget() {
    if (GetPicture() == kCardPicture + digit) AddScanSprite(-1, sprite, 0, 0, 1, 1);
}

// ---- Places ---------------------------------------------------------------------------------

void CDigitPlace::Create() {
    card = CreateSprite(homeX, homeY, kNoPicture);
    shadow = CreateSprite(static_cast<int16_t>(homeX - 4), static_cast<int16_t>(homeY - 4), kNoPicture);
    label = CreateSprite(homeX, static_cast<int16_t>(homeY + CardHeight()), kNoPicture);
}

void CDigitPlace::SetDigit(int d) {
    if (d < 0 || d > 9) return;
    digit = static_cast<int16_t>(d);
    ShowPicture(card, static_cast<int16_t>(kCardPicture + d));
}

void CDigitPlace::SetFixedDigit(int d) {
    if (d < 0 || d > 9) return;
    digit = static_cast<int16_t>(d);
    ShowPicture(card, static_cast<int16_t>(kFixedCard + d));
}

void CDigitPlace::ShowPicture115() { ShowPicture(card, kPicPlus); }
void CDigitPlace::ShowPicture119() { ShowPicture(card, kPicMinus); }

void CDigitPlace::Empty() {
    digit = kEmpty;
    ShowAt(card, kNoPicture, homeX, homeY);
}

void CDigitPlace::Blank() {
    digit = kBlank;
    ShowAt(card, kBlankCard, homeX, homeY);
}

void CDigitPlace::MoveTo(int16_t x, int16_t y) {
    homeX = x;
    homeY = y;
    vevudivodizide::MoveTo(shadow, static_cast<int16_t>(x - 4), static_cast<int16_t>(y - 4));
    vevudivodizide::MoveTo(card, x, y);
    vevudivodizide::MoveTo(label, x, static_cast<int16_t>(y + CardHeight()));
}

void CDigitPlace::MoveHome() { vevudivodizide::MoveTo(card, homeX, homeY); }

void CDigitPlace::Highlight() {
    if (highlighted) return;
    ShowPicture(shadow, kShadow);
    highlighted = 1;
}

void CDigitPlace::Unhighlight() {
    if (!highlighted) return;
    ShowPicture(shadow, kNoPicture);
    highlighted = 0;
}

bool CDigitPlace::IsHighlighted() const { return GetSpriteFrame(shadow) == kShadow; }

void CDigitPlace::LabelNormal() { ShowPicture(label, kLabel); }
void CDigitPlace::LabelSelected() { ShowPicture(label, kLabelSelected); }
void CDigitPlace::LabelHide() { ShowPicture(label, kNoPicture); }
bool CDigitPlace::LabelShown() const { return GetSpriteFrame(label) != kNoPicture; }

bool CDigitPlace::HitTest(int16_t x, int16_t y) const {
    return x >= homeX && x <= homeX + 2 * GetPictureHalfWidth(kCardPicture) && y >= homeY &&
           y <= homeY + 2 * GetPictureHalfHeight(kCardPicture);
}

int16_t CDigitPlace::PressCard(CCorAnim* pressed, bool dragAllowed, EngineDragCallback onMove,
                               std::span<CDigitTile* const> tiles) {
    if (!pressed || pressed != card) return 0;
    pressX = GetSpriteX(card);
    pressY = GetSpriteY(card);
    if (dragAllowed) {
        std::vector<int16_t> kept;
        for (CDigitTile* tile : tiles) kept.push_back(tile ? tile->GetPicture() : kNoPicture);
        EngineDragObject(card, 5, 0, 32767, onMove);
        for (size_t i = 0; i < tiles.size(); ++i)
            if (tiles[i]) tiles[i]->SetPicture(kept[i]);
        RedrawArea(0);
    }
    return 1;
}

bool CDigitPlace::MovedFar() const { return MovedMoreThanAClick(pressX, pressY, CardX(), CardY()); }

int16_t CDigitPlace::CardX() const { return GetSpriteX(card); }
int16_t CDigitPlace::CardY() const { return GetSpriteY(card); }
int16_t CDigitPlace::CardPicture() const { return GetSpriteFrame(card); }
bool CDigitPlace::IsBlank() const { return CardPicture() == kBlankCard; }

int CDigitPlace::Kind() const {
    const int16_t picture = CardPicture();
    if (picture >= kCardPicture && picture <= kCardPicture + 9) return 0;
    return picture == kBlankCard ? 1 : 2;
}

void CDigitPlace::AddScanTarget() { AddScanSprite(-1, card, 0, 0, 1, 1); }

// ---- Relation buttons -----------------------------------------------------------------------

namespace {
struct RelationKind {
    int16_t x, y, altX, altY;
    uint16_t picture, pressedPicture, thirdPicture;
};
constexpr RelationKind kRelationKinds[3] = {
    {297, 19, 291, 13, kPicRelation[0], kPicRelationPressed[0], kPicRelationThird[0]},
    {335, 26, 329, 19, kPicRelation[1], kPicRelationPressed[1], kPicRelationThird[1]},
    {264, 26, 257, 19, kPicRelation[2], kPicRelationPressed[2], kPicRelationThird[2]},
};
}  // namespace

CRelationButton::CRelationButton(int kind) {
    const RelationKind& k = kRelationKinds[kind >= 0 && kind <= 2 ? kind : 0];
    x = k.x;
    y = k.y;
    altX = k.altX;
    altY = k.altY;
    picture = k.picture;
    pressedPicture = k.pressedPicture;
    thirdPicture = k.thirdPicture;
}

void CRelationButton::Create() { sprite = CreateSprite(x, y, kNoPicture); }

int16_t CRelationButton::Press(CCorAnim* pressedSprite) {
    if (!pressedSprite || pressedSprite != sprite) return 0;
    pressed = 0;
    ShowPicture(sprite, static_cast<int16_t>(pressedPicture));
    if (TrackButton(sprite, static_cast<int16_t>(pressedPicture), static_cast<int16_t>(picture))) {
        pressed = 1;
        PlaySndFree(kSndClick);
    }
    ShowPicture(sprite, static_cast<int16_t>(picture));
    Delay(10);
    return 1;
}

void CRelationButton::Show() { ShowAt(sprite, static_cast<int16_t>(picture), x, y); }
void CRelationButton::Hide() { ShowPicture(sprite, kNoPicture); }
bool CRelationButton::IsHidden() const { return GetSpriteFrame(sprite) == kNoPicture; }

void CRelationButton::AddScanTarget() {
    if (!IsHidden()) AddScanSprite(-1, sprite, 0, 0, 1, 1);
}

// ---- Tally strip ----------------------------------------------------------------------------

int16_t CTallyStrip::MarkX(int i) {
    int gaps = 0;
    for (int j = 1; j <= i; ++j) gaps += (j % 5 == 0) + (j % 10 == 0) + (j == 85);
    return static_cast<int16_t>(3 * (2 * i + gaps) + 1);
}

void CTallyStrip::Create() {
    for (int i = 0; i < kMarks; ++i) marks[i] = CreateSprite(MarkX(i), 474, kNoPicture);
}

void CTallyStrip::Redraw() {
    for (int i = 0; i < kMarks; ++i) {
        if (i < shownMarks) {
            ShowPicture(marks[i], kMark);
            SpriteToFront(marks[i]);
        } else {
            ShowPicture(marks[i], kNoPicture);
        }
    }
}

void CTallyStrip::Select(int index) {
    if (index >= 0 && index < kMarks) ShowPicture(marks[index], kMarkSelected);
}

int16_t CTallyStrip::Press(CCorAnim* sprite) {
    if (!sprite) return 0;
    for (int i = 0; i < kMarks; ++i) {
        if (marks[i] != sprite) continue;
        chosenMark = static_cast<uint16_t>(i);
        Redraw();
        ShowPicture(marks[i], kMarkSelected);
        return 1;
    }
    return 0;
}

void CTallyStrip::HideAll() {
    for (CCorAnim* mark : marks) ShowPicture(mark, kNoPicture);
}

}  // namespace vevudivodizide
