// Other names the activities use for toolbox services: each is the service itself under a
// second name, so one implementation serves both.
#pragma once

#include <cstdint>

#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/facade.h"
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
