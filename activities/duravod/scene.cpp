#include "activities/duravod/scene.h"

#include <algorithm>
#include <memory>

#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/duravod_module.h"
#include "activities/duravod/duravod_state.h"
#include "activities/duravod/grid_panel.h"
#include "activities/duravod/pieces.h"
#include "activities/duravod/shared_routines.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"

namespace duravod {

namespace {

constexpr int16_t kModeButtonX[3] = {112, 153, 190};
constexpr int16_t kPaintButtonX[kPaintButtons] = {468, 501, 533, 566, 597};

// A visitor's routes, one row a look: entrance B (walk animation, offsets of the visitor and of
// its companion), exit B, route C's animations (preload, visitor, two companions; exit three)
// and route C's height.
struct VisitorRow {
    int16_t walk, dx, dy, dx2, dy2;
    int16_t exitDx, exitWalk;
    int16_t preload, cVisitor, c2, c3;
    int16_t xVisitor, x2, x3;
    int16_t cdy;
};
constexpr VisitorRow kVisitors[5] = {
    {294, 78, 1, 15, -79, 56, 295, 184, 184, 185, 186, 187, 188, 189, -345},
    {937, 78, -9, 14, -76, 56, 938, 166, 166, 167, 168, 169, 170, 171, -345},
    {309, 78, 1, 15, -78, 56, 310, 178, 178, 179, 180, 181, 182, 183, -345},
    {923, 82, -15, 15, -70, 52, 924, 160, 160, 161, 162, 163, 164, 165, -350},
    {280, 82, -15, 15, -70, 52, 281, 172, 172, 173, 174, 175, 176, 177, -345},
};

int16_t Look() { return std::clamp<int16_t>(State().PieceLook, 0, 4); }
const VisitorRow& Row() { return kVisitors[Look()]; }

int16_t StandingPicture(int16_t side) {
    return static_cast<int16_t>((side == 1 ? kVisitorLeft : kVisitorRight) + Look());
}

CCorAnim* Curtain() { return State().LayerSprites[2]; }

void Trace(const std::string& text) { MonoDebugWrite(("Duravod: " + text + "\n").c_str()); }

// The curtain closes over the side where a visitor comes or goes.
void CloseCurtain() {
    CCorAnim* curtain = Curtain();
    QueueSpriteFrameAt(curtain, kCurtain, 409, 0);
    WaitSpriteDone(curtain);
}

void StopSounds(std::initializer_list<CCorAnim*> sprites) {
    for (CCorAnim* sprite : sprites) QueueSpriteStopSound(sprite, -1);
}

void Dispose(std::initializer_list<CCorAnim*> sprites) {
    for (CCorAnim* sprite : sprites) DisposeSprite(sprite);
}

// Route C's chained waits: the next sprite only while nothing was cut short.
void WaitChain(CCorAnim* a, CCorAnim* b, CCorAnim* c, int16_t picture, int16_t x, int16_t y) {
    if (WaitSpriteOrSkip(a, picture, x, y, 0)) return;
    if (WaitSpriteOrSkip(b, picture, x, y, 0)) return;
    WaitSpriteOrSkip(c, picture, x, y, 0);
}

// The bottom of the visible area.
int16_t Bottom() { return State().ScreenArea.bottom; }

// A straight slide of the bar family: speed 10, 2 ticks.
void Slide(CCorAnim* sprite, int16_t x0, int16_t y0, int16_t x1, int16_t y1) {
    MoveSpriteAlongCurve(sprite, x0, y0, x1, y1, 10, 2, 0);
}

// The bin's picture stands centred on the closed bin's box and bottom-aligned with it.
void QueueBinPicture(CCorAnim* bin, int16_t picture) {
    int16_t w = 0, h = 0, w0 = 0, h0 = 0;
    GetPictureSize(picture, w, h);
    GetPictureSize(kBinClosed, w0, h0);
    QueueSpriteFrameNoWait(bin, picture);
    MoveSpriteInPicture(bin, static_cast<int16_t>(kBinX + (w0 - w) / 2), static_cast<int16_t>(kBinY + h0 - h));
}

// Plays a hatch animation picked from the list and brings the hatch back to rest; 1 when a
// click cut it short (reward) or the pointer moved (idle).
int16_t PlayOnHatch(int16_t animation, bool idle) {
    CCorAnim* hatch = State().Hatch;
    PreloadAnimation(animation);
    SetSpriteAnim(hatch, animation);
    QueueSpriteWait(hatch, 5);
    QueueSpriteFrameAt(hatch, kHatchPicture, 86, 318);
    return WaitSpriteOrSkip(hatch, kHatchPicture, 86, 318, idle ? int16_t{1} : int16_t{0});
}

}  // namespace

// ---- Blinking, bin and tray -------------------------------------------------------------------

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

void HideBinAndTray() {
    const CDuravodState& s = State();
    for (CCorAnim* sprite : {s.Bin, s.Tray}) {
        if (!sprite) continue;
        WaitSpriteDone(sprite);
        if (GetSpriteFrame(sprite) != kNoPicture) QueueSpriteFrameNoWait(sprite, kNoPicture);
    }
}

void ShowBinAndTray() {
    const CDuravodState& s = State();
    if (s.Bin && GetSpriteFrame(s.Bin) == kNoPicture) {
        QueueSpriteFrameAt(s.Bin, kBinClosed, kBinX, kBinY);
        WaitSpriteDone(s.Bin);
    }
    if (s.Tray && GetSpriteFrame(s.Tray) == kNoPicture) {
        QueueSpriteFrameNoWait(s.Tray, kTray);
        WaitSpriteDone(s.Tray);
    }
}

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

// ---- The visitor ------------------------------------------------------------------------------

CCorPoint VisitorPosition(int16_t side) {
    int16_t w = 0, h = 0;
    GetPictureSize(StandingPicture(side), w, h);
    return CCorPoint{static_cast<int16_t>(590 - w / 2), static_cast<int16_t>(385 - h / 2)};
}

void VisitorEnter(int16_t side, int16_t closeCurtain) {
    CDuravodState& s = State();
    if (side == s.VisitorSide) return;
    if (s.VisitorSide) VisitorLeave(0);
    BeginBusy();
    const CCorPoint at = VisitorPosition(side);
    const int16_t x = at.x, y = at.y;
    const int16_t p = StandingPicture(side);
    SetBackgroundPicture(kBackground);
    CloseCurtain();
    const int16_t route = side == 1 ? Random(1) : Random(3);
    const VisitorRow& row = Row();
    if (route == 0) {
        CCorAnim* a = CreateSprite(static_cast<int16_t>(x + 72), static_cast<int16_t>(y - 37), kNoPicture);
        CCorAnim* b = CreateSprite(static_cast<int16_t>(x + 133), static_cast<int16_t>(y - 33), kNoPicture);
        s.Visitor = CreateSprite(static_cast<int16_t>(x + 100), static_cast<int16_t>(y - 106), p);
        PreloadAnimation(kRouteAPreload);
        SetSpriteAnim(a, kRouteAPreload);
        SetSpriteAnim(b, kRouteAPreload + 1);
        SetSpriteAnim(s.Visitor, kRouteAPreload + 4);
        QueueSpriteFrameAt(s.Visitor, p, x, y);
        WaitSpriteOrSkip(s.Visitor, p, x, y, 0);
        StopSounds({a, b, s.Visitor});
        WaitSpriteDone(s.Visitor);
        Dispose({a, b});
    } else if (route == 1) {
        s.Visitor = CreateSprite(static_cast<int16_t>(x + row.dx), static_cast<int16_t>(y + row.dy), p);
        CCorAnim* c = CreateSprite(static_cast<int16_t>(x + row.dx + row.dx2), static_cast<int16_t>(y + row.dy + row.dy2),
                                   kNoPicture);
        PreloadAnimation(kRouteBCompanion);
        SetSpriteAnim(c, kRouteBCompanion);
        SetSpriteAnim(s.Visitor, row.walk);
        QueueSpriteFrameAt(s.Visitor, p, x, y);
        WaitSpriteOrSkip(s.Visitor, p, x, y, 0);
        StopSounds({c, s.Visitor});
        WaitSpriteDone(s.Visitor);
        Dispose({c});
    } else {
        const int16_t cx = static_cast<int16_t>(x - 543), cy = static_cast<int16_t>(y + row.cdy);
        s.Visitor = CreateSprite(cx, cy, kNoPicture);
        CCorAnim* b = CreateSprite(cx, cy, kNoPicture);
        CCorAnim* c = CreateSprite(cx, cy, kNoPicture);
        PreloadAnimation(row.preload);
        SetSpriteAnim(s.Visitor, row.cVisitor);
        SetSpriteAnim(b, row.c2);
        SetSpriteAnim(c, row.c3);
        QueueSpriteFrameAt(s.Visitor, p, x, y);
        WaitChain(s.Visitor, b, c, p, x, y);
        StopSounds({b, c, s.Visitor});
        Dispose({b, c});
    }
    s.VisitorSide = side;
    WaitSpriteDone(s.Visitor);
    if (closeCurtain) {
        QueueSpriteFrameNoWait(Curtain(), kNoPicture);
        WaitSpriteDone(Curtain());
    }
    EndBusy();
}

void VisitorLeave(int16_t closeCurtain) {
    CDuravodState& s = State();
    if (!s.Visitor || !s.VisitorSide) return;
    BeginBusy();
    const int16_t x = GetSpriteX(s.Visitor), y = GetSpriteY(s.Visitor);
    const int16_t right = s.ScreenArea.right;
    SetBackgroundPicture(kBackground);
    CloseCurtain();
    const int16_t route = s.VisitorSide == 1 ? Random(1) : Random(3);
    const VisitorRow& row = Row();
    if (route == 0) {
        CCorAnim* a = CreateSprite(static_cast<int16_t>(x + 173), static_cast<int16_t>(y - 67), kNoPicture);
        PutSpriteBefore(a, s.Visitor);
        CCorAnim* b = CreateSprite(static_cast<int16_t>(x + 164), static_cast<int16_t>(y - 53), kNoPicture);
        PreloadAnimation(kRouteAPreload);
        SetSpriteAnim(a, kRouteAPreload + 2);
        SetSpriteAnim(b, kRouteAPreload + 3);
        SetSpriteAnim(s.Visitor, kRouteAPreload + 5);
        WaitSpriteOrSkip(s.Visitor, kNoPicture, right, 0, 0);
        StopSounds({a, b, s.Visitor});
        WaitSpriteDone(s.Visitor);
        Dispose({a, b});
    } else if (route == 1) {
        CCorAnim* c = CreateSprite(static_cast<int16_t>(x + row.exitDx), static_cast<int16_t>(y - 118), kNoPicture);
        PreloadAnimation(kRouteBCompanion);
        SetSpriteAnim(c, kRouteBCompanion + 1);
        SetSpriteAnim(s.Visitor, row.exitWalk);
        WaitSpriteOrSkip(s.Visitor, kNoPicture, right, 0, 0);
        StopSounds({c, s.Visitor});
        Dispose({c});
    } else {
        const int16_t cx = static_cast<int16_t>(x - 543), cy = static_cast<int16_t>(y + row.cdy);
        CCorAnim* b = CreateSprite(cx, cy, kNoPicture);
        CCorAnim* c = CreateSprite(cx, cy, kNoPicture);
        PreloadAnimation(row.preload);
        SetSpriteAnim(s.Visitor, row.xVisitor);
        SetSpriteAnim(b, row.x2);
        SetSpriteAnim(c, row.x3);
        WaitChain(s.Visitor, b, c, kNoPicture, right, 0);
        StopSounds({b, c, s.Visitor});
        Dispose({b, c});
    }
    WaitSpriteDone(s.Visitor);
    if (closeCurtain) QueueSpriteFrameNoWait(Curtain(), kNoPicture);
    s.VisitorSide = 0;
    DisposeSprite(s.Visitor);
    s.Visitor = nullptr;
    if (closeCurtain) WaitSpriteDone(Curtain());
    EndBusy();
}

CCorRect VisitorFreeArea() {
    const CDuravodState& s = State();
    const StageArea& a = s.ScreenArea;
    CCorRect free{a.left, a.top, a.right, a.bottom};
    const int16_t vx = s.Visitor ? GetSpriteX(s.Visitor) : VisitorPosition(s.VisitorSide).x;
    const int16_t vy = s.Visitor ? GetSpriteY(s.Visitor) : VisitorPosition(s.VisitorSide).y;
    if (s.VisitorSide == 1) {
        free.right = static_cast<int16_t>(vx + (s.PieceLook == 3 ? 3 : 5));
    } else if (s.VisitorSide == 2) {
        free.bottom = static_cast<int16_t>(vy + (s.PieceLook == 3 ? 0 : 5));
    }
    return free;
}

void VisitorStandingPicture(int16_t side, int16_t target) {
    if (side != 1 && side != 2) return;
    CopyPictureInto(target, StandingPicture(side), 0, 0);
}

CCorPoint VisitorHandPoint() {
    const CDuravodState& s = State();
    const int16_t vx = s.Visitor ? GetSpriteX(s.Visitor) : VisitorPosition(s.VisitorSide).x;
    const int16_t vy = s.Visitor ? GetSpriteY(s.Visitor) : VisitorPosition(s.VisitorSide).y;
    if (s.VisitorSide == 1) {
        return CCorPoint{static_cast<int16_t>(vx - s.PieceWidth + 6), static_cast<int16_t>(385 - s.PieceHeight / 2)};
    }
    return CCorPoint{static_cast<int16_t>(590 - s.PieceWidth / 2), static_cast<int16_t>(vy - s.PieceHeight + 10)};
}

// ---- The side drum, the pointing hand, the mode buttons ----------------------------------------

int16_t ShakeSideSprite(int16_t flag) {
    CDuravodState& s = State();
    CCorAnim* side = s.SideSprite;
    if (!side) return 0;
    if (s.Cursor) s.Cursor->ToFront();
    const int16_t picture = GetSpriteFrame(side);
    const int16_t x = GetSpriteX(side), y = GetSpriteY(side);
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    const int16_t cx = static_cast<int16_t>(x + w / 2), cy = static_cast<int16_t>(y + h / 2);
    PlaySndAny(kDrumSound);
    for (int16_t frame = kSidePicture + 1; frame <= kSidePicture + 3; ++frame) {
        int16_t fw = 0, fh = 0;
        GetPictureSize(frame, fw, fh);
        QueueSpriteFrameNoWait(side, frame);
        MoveSpriteInPicture(side, static_cast<int16_t>(cx - fw / 2), static_cast<int16_t>(cy - fh / 2));
        QueueSpriteWait(side, 5);
    }
    QueueSpriteFrameNoWait(side, picture);
    MoveSpriteInPicture(side, x, y);
    if (flag) return WaitSpriteOrSkip(side, kSidePicture, 13, 396, 0);
    return 0;
}

void PointAtPanel() {
    const CDuravodState& s = State();
    if (!s.Panel || !s.Panel->sprite) return;
    const int16_t x = static_cast<int16_t>(s.Panel->x + (s.Panel->wide ? 168 : 249));
    CCorAnim* hand = CreateSprite(x, static_cast<int16_t>(s.Panel->y - 1), kPointingHand);
    if (!hand) return;
    PutSpriteAfter(hand, s.Panel->sprite);
    for (int16_t frame = kPointingHand + 1; frame <= kPointingHand + 3; ++frame) {
        QueueSpriteWait(hand, 5);
        QueueSpriteFrameNoWait(hand, frame);
    }
    QueueSpriteWait(hand, 5);
    QueueSpriteFrameNoWait(hand, kNoPicture);
    PlaySndAny(kPointSound);
    WaitSpriteDone(hand);
    DisposeSprite(hand);
}

void ShowModeButtons() {
    CDuravodState& s = State();
    for (int16_t i = 0; i < 3; ++i) {
        CCorAnim*& button = s.ModeButtons[static_cast<size_t>(i)];
        const bool lit = s.ProblemMode == 0 && s.PlayMode - i == 1;
        const int16_t picture = static_cast<int16_t>(kModeButton + 2 * i + (lit ? 1 : 0));
        if (!button) {
            button = CreateSprite(kModeButtonX[i], 445, picture);
        } else {
            QueueSpriteFrameNoWait(button, picture);
        }
        PutSpriteAfter(button, s.LowerBar);
    }
}

void DisposeModeButtons() {
    for (CCorAnim*& button : State().ModeButtons) {
        DisposeSprite(button);
        button = nullptr;
    }
}

void ShowLevelButton(bool show) {
    CDuravodState& s = State();
    if (show && !s.LevelButton) {
        s.LevelButton = CreateSprite(70, 445, kLevelPicture);
    } else if (!show && s.LevelButton) {
        DisposeSprite(s.LevelButton);
        s.LevelButton = nullptr;
    }
}

// ---- The lower bar and the hatch --------------------------------------------------------------

void SlideBarOut() {
    CDuravodState& s = State();
    if (!s.LowerBar || GetSpriteFrame(s.LowerBar) == kNoPicture) return;
    QueueSpriteFrameNoWait(s.HomeButton, kNoPicture);
    const bool hatchShown = s.Hatch && GetSpriteFrame(s.Hatch) != kNoPicture;
    if (hatchShown) LowerHatch();
    Slide(s.SideSprite, GetSpriteX(s.SideSprite), GetSpriteY(s.SideSprite), GetSpriteX(s.SideSprite), Bottom());
    Slide(s.LowerBar, GetSpriteX(s.LowerBar), GetSpriteY(s.LowerBar), GetSpriteX(s.LowerBar), Bottom());
    QueueSpriteFrameNoWait(s.LowerBar, kNoPicture);
    WaitSpriteDone(hatchShown ? s.Hatch : s.SideSprite);
}

void BarLayoutA() {
    CDuravodState& s = State();
    if (!s.LowerBar || GetSpriteFrame(s.LowerBar) == kBarA) return;
    const int16_t d = s.IntroPending ? int16_t{29} : int16_t{107};
    const int16_t e = s.IntroPending ? int16_t{0} : int16_t{78};
    DisposeModeButtons();
    SlideBarOut();
    const int16_t bottom = Bottom();
    Slide(s.SideSprite, 13, static_cast<int16_t>(bottom + e), 13, 396);
    RaiseHatch();
    QueueSpriteFrameNoWait(s.LowerBar, kBarA);
    Slide(s.LowerBar, 0, static_cast<int16_t>(bottom + d), 0, 425);
    if (!s.LevelButton && s.MayChangeLevel) {
        s.LevelButton = CreateSprite(70, static_cast<int16_t>(bottom + d + 20), kLevelPicture);
        Slide(s.LevelButton, 70, static_cast<int16_t>(bottom + d + 20), 70, 445);
    }
    WaitSpriteDone(s.LowerBar);
    QueueSpriteFrameNoWait(s.HomeButton, kHomePicture);
}

void BarLayoutB() {
    CDuravodState& s = State();
    if (!s.LowerBar || GetSpriteFrame(s.LowerBar) == kBarB) return;
    ShowLevelButton(false);
    SlideBarOut();
    const int16_t bottom = Bottom();
    Slide(s.SideSprite, 13, bottom, 13, 396);
    QueueSpriteFrameNoWait(s.LowerBar, kBarB);
    Slide(s.LowerBar, 0, static_cast<int16_t>(bottom + 29), 0, 425);
    WaitSpriteDone(s.LowerBar);
    ShowModeButtons();
    QueueSpriteFrameNoWait(s.HomeButton, kHomePicture);
}

void RaiseHatch() {
    const CDuravodState& s = State();
    if (!s.Hatch || s.IntroPending) return;
    QueueSpriteFrameAt(s.Hatch, kHatchPicture, 86, Bottom());
    Slide(s.Hatch, 86, Bottom(), 86, 318);
}

void LowerHatch() {
    const CDuravodState& s = State();
    if (!s.Hatch) return;
    Slide(s.Hatch, GetSpriteX(s.Hatch), GetSpriteY(s.Hatch), GetSpriteX(s.Hatch), Bottom());
    QueueSpriteFrameNoWait(s.Hatch, kNoPicture);
}

// ---- The introduction and the greeting ---------------------------------------------------------

void PlayIntro() {
    CDuravodState& s = State();
    if (!s.IntroPending) return;
    CCorAnim* large = s.LayerSprites[0];
    CCorAnim* title = s.TitleSprite;
    QueueSpriteFrameAt(large, kTitleBanner, 217, 0);
    WaitSpriteDone(large);
    PutSpriteAfter(s.Hatch, s.LowerBar);
    PreloadAnimation(kIntroHatch);
    SetSpriteAnim(s.Hatch, kIntroHatch);
    SetSpriteAnim(large, kIntroBanner);
    PutSpriteAfter(title, large);
    const int16_t shown = GetSpriteFrame(title);
    if (shown == kTitleIn || shown == kNoPicture) SetSpriteAnim(title, kTitleIn);
    QueueSpriteWait(title, 100);
    SetSpriteAnim(title, kTitleOut);
    QueueSpriteFrameNoWait(title, kNoPicture);
    // Every sprite to its end, a click cutting it short.
    bool skipped = false;
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) {
        if (IsClickPending(1)) {
            skipped = true;
            break;
        }
        Delay(0);
    }
    if (skipped) {
        StopSprite(title);
        StopSprite(large);
        QueueSpriteStopSound(s.Hatch, -1);
        StopSprite(s.Hatch);
        QueueSpriteFrameNoWait(title, kNoPicture);
        WaitSpriteDone(title);
        QueueSpriteFrameAt(large, kTitleSmall, 42, 0);
        QueueSpriteFrameAt(s.Hatch, kHatchPicture, 86, 318);
        WaitSpriteDone(s.Hatch);
        StopAllSnds();
        WaitSpriteDone(large);
        s.IntroPending = 0;
        return;
    }
    WaitSpriteDone(large);
    PreloadAnimation(kHatchHello);
    SetSpriteAnim(s.Hatch, kHatchHello);
    PlaySnd(static_cast<int16_t>(kFirstCheer + Random(4)), 0);
    WaitSpriteOrSkip(s.Hatch, kHatchPicture, 86, 318, 0);
    WaitSoundsOrClick();
    StopAllSnds();
    s.IntroPending = 0;
}

int16_t PlayGreeting() {
    CDuravodState& s = State();
    CSpeaker* speaker = s.Speaker.get();
    const auto say = [&](int16_t sound) { return speaker ? speaker->Say(sound) : int16_t{0}; };
    const auto expression = [&](int16_t picture) {
        if (speaker) speaker->SetExpression(picture);
    };
    int16_t r = say(static_cast<int16_t>(kGreetingFirst + Random(3)));
    if (!r) {
        VisitorEnter(static_cast<int16_t>(1 + Random(2)), 0);
        expression(683);
        r = say(kGreetingVisitor);
        QueueSpriteFrameNoWait(Curtain(), kNoPicture);
        WaitSpriteDone(Curtain());
    }
    if (!r) {
        PaintButtonsFlyIn();
        r = say(kGreetingPaints);
    }
    if (!r) {
        ShowBinAndTray();
        expression(685);
        OpenBin();
        r = say(kGreetingBin);
        CloseBin();
    }
    expression(static_cast<int16_t>(680 + Random(3)));
    if (!r) r = say(static_cast<int16_t>(kGreetingDrum + Random(2)));
    if (!r) r = ShakeSideSprite(1);
    if (!r) {
        const int16_t first[] = {static_cast<int16_t>(kGreetingEnd + Random(3)), 0};
        r = speaker ? speaker->Say(first) : int16_t{0};
    }
    if (!r) {
        const int16_t last[] = {kGreetingLast, 0};
        r = speaker ? speaker->Say(last) : int16_t{0};
    }
    QueueSpriteFrameNoWait(s.LayerSprites[0], kNoPicture);
    WaitSpriteDone(s.LayerSprites[0]);
    return r;
}

// ---- Paint --------------------------------------------------------------------------------------

void PaintButtonsFlyIn() {
    CDuravodState& s = State();
    // The shelf stands in front of the lower bar, the paint pots on it.
    CCorAnim* shelf = s.ButtonShelf[0];
    PutSpriteAfter(shelf, s.LowerBar);
    PutSpriteBefore(s.ButtonShelf[1], Curtain());
    for (int i = 0; i < kPaintButtons; ++i) {
        CCorAnim* button = s.PaintButtons[static_cast<size_t>(i)];
        PutSpriteAfter(button, shelf);
        QueueSpriteFrameNoWait(button, static_cast<int16_t>(kPaintButton + i));
        MoveSpriteAlongCurve(button, GetSpriteX(button), GetSpriteY(button), kPaintButtonX[i], 438, 25, 0, 0);
        QueueSpriteFrameNoWait(button, static_cast<int16_t>(kPaintButton + i));
    }
}

void PaintButtonsFlyBack() {}

void ClickGesture(int16_t value) {
    CDuravodState& s = State();
    ++s.GesturesShown;
    CCorAnim* gesture = s.GestureSprite;
    if (!gesture) return;
    const int16_t v = std::clamp<int16_t>(value, 0, 4);
    CCorAnim* button = s.PaintButtons[static_cast<size_t>(std::clamp<int16_t>(s.SelectedPaint, 0, kPaintButtons - 1))];
    const int16_t x = GetSpriteX(button), y = GetSpriteY(button);
    StopSprite(gesture);
    SpriteToFront(gesture);
    const int16_t first = static_cast<int16_t>(kGesture + 3 * v);
    const int16_t dx[3] = {3, 5, 12}, dy[3] = {-9, -4, 16};
    for (int16_t k = 0; k < 3; ++k) {
        QueueSpriteFrameNoWait(gesture, static_cast<int16_t>(first + k));
        MoveSpriteInPicture(gesture, static_cast<int16_t>(x + dx[k]), static_cast<int16_t>(y + dy[k]));
        QueueSpriteWait(gesture, 10);
    }
    QueueSpriteFrameNoWait(gesture, kNoPicture);
    PlaySndAny(kGestureSound);
}

void PuffAtPaintButton(int16_t value) {
    CDuravodState& s = State();
    CCorAnim* button = s.PaintButtons[static_cast<size_t>(std::clamp<int16_t>(s.SelectedPaint, 0, kPaintButtons - 1))];
    const int16_t x = static_cast<int16_t>(GetSpriteX(button) - 11), y = static_cast<int16_t>(GetSpriteY(button) - 27);
    const int16_t v = std::clamp<int16_t>(value, 0, 4);
    CCorAnim* puff = CreateSprite(x, y, static_cast<int16_t>(kPuff + v));
    if (!puff) return;
    PutSpriteBefore(puff, button);
    QueueSpriteSoundReplace(puff, kPuffSound);
    QueueSpriteWaitSound(puff, kPuffSound);
    QueueSpriteFrameNoWait(puff, kNoPicture);
    WaitSpriteOrSkip(puff, kNoPicture, x, y, 1);
    DisposeSprite(puff);
}

// ---- The hatch's animations and the prompts ----------------------------------------------------

CHatchList CHatchList::Parse(std::span<const uint8_t> bytes, std::vector<std::string>& notes) {
    CHatchList list;
    if (bytes.size() < 2) {
        if (!bytes.empty()) notes.push_back("the list is shorter than its count");
        return list;
    }
    const size_t n = static_cast<size_t>(bytes[0] | bytes[1] << 8);
    const size_t inItem = (bytes.size() - 2) / 2;
    size_t held = std::min(n, kMostHeld);
    if (n > kMostHeld) notes.push_back("it names " + std::to_string(n) + " animations; the first 20 are held");
    if (held > inItem) {
        notes.push_back("it names " + std::to_string(n) + " animations but holds " + std::to_string(inItem));
        held = inItem;
    }
    for (size_t i = 0; i < held; ++i)
        list.m_ids.push_back(static_cast<int16_t>(bytes[2 + 2 * i] | bytes[3 + 2 * i] << 8));
    return list;
}

int16_t CHatchList::Pick() {
    const size_t n = m_ids.size();
    if (n == 0) return 0;
    size_t i = 1;
    if (n > 1) {
        do {
            i = 1 + static_cast<size_t>(Random(static_cast<int16_t>(n)));
        } while (i == m_previous);
    }
    m_previous = i;
    return m_ids[i - 1];
}

namespace {

std::unique_ptr<CHatchList> gLists[2];

}  // namespace

CHatchList& HatchList(int16_t id) {
    std::unique_ptr<CHatchList>& list = gLists[id == kHatchRewards ? 1 : 0];
    if (!list) {
        std::vector<std::string> notes;
        uint32_t size = 0;
        uint8_t* copy = ResourceExists(kResINN, id) ? LoadResourceCopy(kResINN, id, size) : nullptr;
        list = std::make_unique<CHatchList>(CHatchList::Parse(std::span<const uint8_t>(copy, copy ? size : 0), notes));
        FreeResourceCopy(copy);
        for (const std::string& note : notes) Trace("hatch list " + std::to_string(id) + ": " + note);
    }
    return *list;
}

void ForgetHatchLists() {
    gLists[0].reset();
    gLists[1].reset();
}

void HatchIdlePrompt() {
    CDuravodState& s = State();
    if (!s.Hatch) return;
    const int16_t animation = HatchList(kHatchIdles).Pick();
    if (animation) PlayOnHatch(animation, true);
    if (s.HatchIdleArmed) EngineRestartIdle(HatchIdlePrompt);
}

int16_t PlayLevelReward() {
    CDuravodState& s = State();
    if (!s.Hatch) return 0;
    StopModuleTimers(1);
    const int16_t animation = HatchList(kHatchRewards).Pick();
    int16_t skipped = 0;
    if (animation) {
        CCorAnim* second = nullptr;
        PreloadAnimation(animation);
        SetSpriteAnim(s.Hatch, animation);
        QueueSpriteWait(s.Hatch, 5);
        QueueSpriteFrameAt(s.Hatch, kHatchPicture, 86, 318);
        if (animation == kRewardWithSecond) {
            second = CreateSprite(GetSpriteX(s.Hatch), GetSpriteY(s.Hatch), kNoPicture);
            SetSpriteAnim(second, kRewardSecond);
        }
        skipped = WaitSpriteOrSkip(s.Hatch, kHatchPicture, 86, 318, 0);
        if (second) {
            StopSprite(second);
            WaitSpriteDone(second);
            DisposeSprite(second);
        }
    }
    StartModuleTimers(1);
    return skipped;
}

void StopHatchForClick() {
    CDuravodState& s = State();
    if (!s.HatchIdleArmed || !s.Hatch) return;
    if (GetSpriteStatus(s.Hatch) == 0 && !(s.Speaker && s.Speaker->shown)) {
        StopSprite(s.Hatch);
        QueueSpriteFrameAt(s.Hatch, kHatchPicture, 86, 318);
        WaitSpriteDone(s.Hatch);
        EngineRestartIdle(HatchIdlePrompt);
    }
}

void HintIdlePrompt() {
    CDuravodState& s = State();
    s.HintArmed = 0;
    CSpeaker* speaker = s.Speaker.get();
    if (!speaker) return;
    speaker->Show();
    speaker->SetExpression(684);
    if (!speaker->Say(static_cast<int16_t>(kHint + Random(2)))) PointAtPanel();
    speaker->Hide();
}

// ---- The pointer sprite -------------------------------------------------------------------------

CCursorSprite::CCursorSprite() {
    const StageArea& a = State().ScreenArea;
    HideMouseCursor();
    left = static_cast<uint16_t>(a.left - 10);
    top = static_cast<uint16_t>(a.top - 10);
    right = static_cast<uint16_t>(a.right - 10);
    bottom = static_cast<uint16_t>(a.bottom - 10);
    int16_t mx = 0, my = 0;
    GetMouse(mx, my);
    x = static_cast<uint16_t>(mx);
    y = static_cast<uint16_t>(my);
    sprite = CreateSprite(mx, my, kNoPicture);
    // The pointer's stand-in never takes a click meant for what lies under it.
    SetSpriteUserValue(sprite, 0);
}

CCursorSprite::~CCursorSprite() {
    ShowMouseCursor();
    DisposeSprite(sprite);
}

void CCursorSprite::MoveTo(int16_t nx, int16_t ny) {
    // The clamp is signed: its left and top lie 10 beyond the screen's edge.
    nx = std::clamp<int16_t>(nx, static_cast<int16_t>(left), std::max(static_cast<int16_t>(left), static_cast<int16_t>(right)));
    ny = std::clamp<int16_t>(ny, static_cast<int16_t>(top), std::max(static_cast<int16_t>(top), static_cast<int16_t>(bottom)));
    if (static_cast<int16_t>(x) == nx && static_cast<int16_t>(y) == ny) return;
    x = static_cast<uint16_t>(nx);
    y = static_cast<uint16_t>(ny);
    SpriteToFront(sprite);
    MoveSpriteInPicture(sprite, nx, ny);
}

void CCursorSprite::ToFront() { SpriteToFront(sprite); }
void CCursorSprite::ShowHand() { QueueSpriteFrameNoWait(sprite, kHandCursor); }
void CCursorSprite::Hide() { QueueSpriteFrameNoWait(sprite, kNoPicture); }

}  // namespace duravod
