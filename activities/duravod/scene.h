// The scene's short sequences between problems: the visitor, the hatch, the lower bar and its
// buttons, the bin and tray, the introduction and greeting, the idle prompts, the paint gestures
// and the sprite that stands in for the pointer. Until the scene is drawn they keep the module's
// state as the sequences leave it and show nothing but the home button.
#pragma once

#include <cstdint>

class CCorAnim;

namespace duravod {

// Blinks the sprite n times (forever with -1; nothing for n <= 0). A sprite that shows no
// picture is left as it is (there is nothing to blink).
void BlinkSprite(CCorAnim* sprite, int16_t n);
void HideBinAndTray();
void ShowBinAndTray();
void VisitorEnter(int16_t side, int16_t closeCurtain);
void VisitorLeave(int16_t closeCurtain);
// Opens the bin around a throw: 1 when it opened it, 0 when it stood open already.
int16_t OpenBin();
void CloseBin();
int16_t ShakeSideSprite(int16_t flag);
void PointAtPanel();
void ShowModeButtons();
void DisposeModeButtons();
// The lower bar for problem mode (A) and for free play (B): the home button shows itself.
void BarLayoutA();
void BarLayoutB();
void SlideBarOut();
void PlayIntro();
int16_t PlayGreeting();
void PaintButtonsFlyIn();
void PaintButtonsFlyBack();
void ClickGesture(int16_t value);
void PuffAtPaintButton(int16_t value);
// The two idle prompts (engine idle callbacks).
void HatchIdlePrompt();
void HintIdlePrompt();
void StopHatchForClick();
int16_t PlayLevelReward();
void ShowLevelButton(bool show);

// The sprite that stands in for the mouse pointer.
class CCursorSprite {
public:
    CCursorSprite();
    ~CCursorSprite();
    CCursorSprite(const CCursorSprite&) = delete;
    CCursorSprite& operator=(const CCursorSprite&) = delete;
    void MoveTo(int16_t x, int16_t y);
    void ToFront();
    void ShowHand();
    void Hide();
    CCorAnim* sprite = nullptr;
    uint16_t x = 0, y = 0;
    uint16_t left = 0, top = 0, right = 0, bottom = 0;
};

}  // namespace duravod
