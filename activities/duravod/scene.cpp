#include "activities/duravod/scene.h"

#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/duravod_state.h"
#include "activities/duravod/pieces.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace duravod {

void BlinkSprite(CCorAnim* sprite, int16_t n) {
    if (!sprite || n == 0 || n < -1) return;
    // The picture to blink comes once the sprite's script shows one; a sprite that shows none
    // when nothing more runs on it has nothing to blink.
    while (GetSpriteFrame(sprite) == kNoPicture && GetSpriteStatus(sprite) == 0 && !WaitMustEnd()) Delay(0);
    const int16_t picture = GetSpriteFrame(sprite);
    if (picture == kNoPicture || picture == 0) return;
    const int16_t passes = n == -1 ? int16_t{1} : n;
    for (int16_t i = 0; i < passes; ++i) {
        QueueSpriteFrameNoWait(sprite, kNoPicture);
        QueueSpriteWait(sprite, 7);
        QueueSpriteFrameNoWait(sprite, picture);
        QueueSpriteWait(sprite, 7);
    }
    if (n == -1) QueueSpriteRestart(sprite);
}

void HideBinAndTray() {}
void ShowBinAndTray() {}

void VisitorEnter(int16_t side, int16_t) { State().VisitorSide = side; }
void VisitorLeave(int16_t) { State().VisitorSide = 0; }

namespace {

// The bin's picture p stands centred on the closed bin's box and bottom-aligned with it.
void QueueBinPicture(CCorAnim* bin, int16_t picture) {
    int16_t w = 0, h = 0, w0 = 0, h0 = 0;
    GetPictureSize(picture, w, h);
    GetPictureSize(kBinClosed, w0, h0);
    QueueSpriteFrameNoWait(bin, picture);
    MoveSpriteInPicture(bin, static_cast<int16_t>(kBinX + (w0 - w) / 2), static_cast<int16_t>(kBinY + h0 - h));
}

}  // namespace

int16_t OpenBin() {
    CCorAnim* bin = State().Bin;
    if (!bin || GetSpriteFrame(bin) == kBinOpen) return 0;
    PlaySndAny(kBinOpenSound);
    QueueBinPicture(bin, kBinHalfOpen);
    QueueSpriteWait(bin, 5);
    QueueBinPicture(bin, kBinOpen);
    WaitSpriteDone(bin);
    return 1;
}

void CloseBin() {
    CCorAnim* bin = State().Bin;
    if (!bin || GetSpriteFrame(bin) == kBinClosed) return;
    QueueBinPicture(bin, kBinHalfOpen);
    QueueSpriteWait(bin, 5);
    QueueBinPicture(bin, kBinClosing);
    WaitSpriteDone(bin);
    PlaySndAny(kBinCloseSound);
    QueueSpriteWait(bin, 5);
    QueueSpriteFrameNoWait(bin, kBinClosed);
    MoveSpriteInPicture(bin, kBinX, kBinY);
}
int16_t ShakeSideSprite(int16_t) { return 0; }
void PointAtPanel() {}
void ShowModeButtons() {}
void DisposeModeButtons() {}

void BarLayoutA() {
    CDuravodState& s = State();
    QueueSpriteFrameNoWait(s.HomeButton, kHomePicture);
    MoveSpriteInPicture(s.SideSprite, 13, 396);
    ShowLevelButton(s.MayChangeLevel != 0);
}

void BarLayoutB() {
    CDuravodState& s = State();
    QueueSpriteFrameNoWait(s.HomeButton, kHomePicture);
    ShowLevelButton(false);
}

void SlideBarOut() {}
void PlayIntro() { State().IntroPending = 0; }
int16_t PlayGreeting() { return 1; }
void PaintButtonsFlyIn() {
    CDuravodState& s = State();
    for (CCorAnim* button : s.PaintButtons) {
        MoveSpriteInPicture(button, GetSpriteX(button), 438);
        SpriteToFront(button);
    }
}
void PaintButtonsFlyBack() {}
void ClickGesture(int16_t) { ++State().GesturesShown; }
void PuffAtPaintButton(int16_t) {}
void HatchIdlePrompt() { State().HatchIdleArmed = 0; }
void HintIdlePrompt() { State().HintArmed = 0; }
void StopHatchForClick() {}
int16_t PlayLevelReward() { return 0; }

void ShowLevelButton(bool show) {
    CDuravodState& s = State();
    if (show && !s.LevelButton) {
        s.LevelButton = CreateSprite(70, 445, kLevelPicture);
    } else if (!show && s.LevelButton) {
        DisposeSprite(s.LevelButton);
        s.LevelButton = nullptr;
    }
}

CCursorSprite::CCursorSprite() = default;
CCursorSprite::~CCursorSprite() = default;
void CCursorSprite::MoveTo(int16_t nx, int16_t ny) {
    x = static_cast<uint16_t>(nx);
    y = static_cast<uint16_t>(ny);
}
void CCursorSprite::ToFront() {}
void CCursorSprite::ShowHand() {}
void CCursorSprite::Hide() {}

}  // namespace duravod
