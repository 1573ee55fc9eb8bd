// The scene's short sequences between problems: the visitor who walks in and out by one of three
// routes, the hatch and its random animations, the lower bar with the side drum and the mode
// buttons, the bin and tray, the introduction and the greeting, the two idle prompts, the paint
// gestures and the sprite that stands in for the mouse pointer. Each waits until its sprites
// have finished unless it says otherwise, and skips a sprite that is not there.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "media/util/cor_geometry.h"

class CCorAnim;

namespace duravod {

// Blinks the sprite n times (forever with -1; nothing for n <= 0). A sprite that shows no
// picture is left as it is (there is nothing to blink).
void BlinkSprite(CCorAnim* sprite, int16_t n);
void HideBinAndTray();
void ShowBinAndTray();
// The visitor walks in to stand on the side (1 left of the ring, 2 right); nothing when it
// stands there already; one on the other side leaves first.
void VisitorEnter(int16_t side, int16_t closeCurtain);
void VisitorLeave(int16_t closeCurtain);
// The top-left corner of the visitor's standing picture on the side: centred on (590, 385).
CCorPoint VisitorPosition(int16_t side);
// The visible area less the visitor's place.
CCorRect VisitorFreeArea();
// Copies the side's standing picture into the target picture (nothing for another side).
void VisitorStandingPicture(int16_t side, int16_t target);
// Where a piece the visitor hands over comes into view.
CCorPoint VisitorHandPoint();
// Opens the bin around a throw: 1 when it opened it, 0 when it stood open already.
int16_t OpenBin();
void CloseBin();
// The side drum flips; with the flag a click may cut it short (1 then).
int16_t ShakeSideSprite(int16_t flag);
void PointAtPanel();
void ShowModeButtons();
void DisposeModeButtons();
// The lower bar for problem mode (A) and for free play (B).
void BarLayoutA();
void BarLayoutB();
void SlideBarOut();
void RaiseHatch();
void LowerHatch();
void PlayIntro();
// The greeting at the first problem; the last sprite status (1 when a click cut it short).
int16_t PlayGreeting();
void PaintButtonsFlyIn();
void PaintButtonsFlyBack();
// The answer to a click refused while paint is held; the sound starts with the gesture.
void ClickGesture(int16_t value);
void PuffAtPaintButton(int16_t value);
// The two idle prompts (engine idle callbacks).
void HatchIdlePrompt();
void HintIdlePrompt();
void StopHatchForClick();
// The reward show on the hatch when a level passes; 1 when a click cut it short.
int16_t PlayLevelReward();
void ShowLevelButton(bool show);

// A list of hatch animations ('IN#' 400 idle, 401 reward): a u16 n and n ids, of which at most
// the first 20 are held, read within the item's size. The pick never repeats the previous one
// where it can (one id repeats; none plays nothing).
class CHatchList {
public:
    static constexpr size_t kMostHeld = 20;
    // Reads the item's bytes; a note for each thing not taken as it stands.
    static CHatchList Parse(std::span<const uint8_t> bytes, std::vector<std::string>& notes);
    // An id 1-based at random, never the previous one when another is there; 0 with none.
    int16_t Pick();
    const std::vector<int16_t>& Ids() const { return m_ids; }

private:
    std::vector<int16_t> m_ids;
    size_t m_previous = 0;  // 1-based, 0 none
};
// The module's two lists, loaded once from its file.
CHatchList& HatchList(int16_t id);
void ForgetHatchLists();

// The sprite that stands in for the mouse pointer; it takes no clicks.
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
