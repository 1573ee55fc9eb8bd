// Other names the activities use for toolbox services: each is the service itself under a
// second name, so one implementation serves both.
#pragma once

#include <cstdint>

#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/screen_helpers.h"
#include "engine/toolbox/sprite_toolbox.h"

// PlaySndFree: a sound on a channel the mixer picks, not waited for.
inline int16_t PlaySndAny(int16_t soundId) { return PlaySndFree(soundId); }

// The text item calls.
inline void EngineSetText(CText* item, const char* text) { EngineCreateTextB(item, text); }
inline void EngineSetTextItemColors(CText* item, int16_t foreground, int16_t background) {
    EngineCreateTextC(item, foreground, background);
}
inline void EngineRerenderText(CText* item, int32_t firstWord, int32_t lastWord) {
    EngineCreateTextD(item, firstWord, lastWord);
}
inline void EngineDisposeText(CText* item) { EngineCreateTextE(item); }

// The sprite calls: the rest of a script skipped (kAllSprites: every script); the clip rectangle.
inline void SkipSpriteScript(CCorAnim* sprite) { FinishSpriteScript(sprite); }
inline void SetSpriteClipRect(CCorAnim* sprite, const CCorRect* clip) { SetSpriteClip(sprite, clip); }

// Mouse and picture calls.
inline int32_t IsClickPending(int16_t remove) { return IsMouseUpPending(remove); }
inline int16_t CreateBlankPicture(int16_t width, int16_t height) { return NewBlankPicture(width, height); }
inline uint16_t GetPictureStride(int16_t id) { return GetPictureAttr(id); }
// The unlock by picture id gives back one lock of that picture, as the unlock by its pixels
// does (a lock keeps the picture from purges, so a lock never given back would hold it for
// good); a picture that is not locked is left alone.
inline void UnlockPictureData(int16_t id) {
    if (BYTE* bits = LockedPictureData(id)) UnlockPictureData(bits);
}

// The panel calls on the engine's CCorRect (the same four fields as Rect16): the rectangle
// centred, or the framed panel made for it, its right edge moved as the panel's width is rounded.
inline void CenterRectOnScreen(CCorRect& rect) {
    Rect16 r{rect.left, rect.top, rect.right, rect.bottom};
    CenterRectOnScreen(r);
    rect = CCorRect{r.left, r.top, r.right, r.bottom};
}
inline CCorAnim* MakeFramedPanel(CCorRect& rect, const PanelStyle* style = nullptr) {
    Rect16 r{rect.left, rect.top, rect.right, rect.bottom};
    CCorAnim* panel = MakeFramedPanel(r, style);
    rect = CCorRect{r.left, r.top, r.right, r.bottom};
    return panel;
}
