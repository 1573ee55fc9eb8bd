#include "engine/scene/sound_toolbox.h"

#include "engine/scene/scene_host.h"
#include "media/res/res_item_host.h"
#include "media/sound/sound_clip.h"
#include "platform/audio/wave_out.h"

int32_t SoundIdOf(int16_t relativeId) {
    if (relativeId >= 0) return ResItemHost().MapResourceId(relativeId);
    // The magnitude of -32768 does not fit 16 bits; its remainder is what the rule uses.
    const auto magnitude = static_cast<int16_t>(relativeId == INT16_MIN ? 768 : -relativeId);
    return -ResItemHost().MapResourceId(magnitude);
}

int16_t PlaySnd(int16_t relativeId, int channel) {
    CSoundList* sounds = SceneHost().Sounds();
    if (!sounds) return -1;
    const uint16_t ch = sounds->PlayClip(SoundIdOf(relativeId), channel);
    return ch == kSoundNotOpen ? int16_t{-1} : static_cast<int16_t>(ch);
}

int16_t PlaySndFree(int16_t relativeId) {
    return PlaySnd(relativeId, 0);
}

void PreloadSnd(int16_t relativeId) {
    if (CSoundList* sounds = SceneHost().Sounds()) sounds->LoadClip(SoundIdOf(relativeId));
}

BOOL IsSndPlaying(int handle) {
    CSoundList* sounds = SceneHost().Sounds();
    return sounds && sounds->IsPlaying(handle) ? TRUE : FALSE;
}

void StopAllSnds() {
    if (CSoundList* sounds = SceneHost().Sounds()) sounds->StopAll();
}

void FreeAllSnds() {
    if (CSoundList* sounds = SceneHost().Sounds()) sounds->FreeAll();
}

void SetSndVolume(int16_t relativeId, int percent) {
    CSoundList* sounds = SceneHost().Sounds();
    if (!sounds) return;
    sounds->PlayAndWait(SoundIdOf(relativeId), percent, [] { return SceneHost().ClosePending(); });
}

int CanSetWaveVolume() {
    WAVEOUTCAPS caps{};
    if (waveOutGetDevCaps(0, &caps, sizeof caps) != MMSYSERR_NOERROR) return 0;
    return (caps.dwSupport & WAVECAPS_VOLUME) != 0 ? 1 : 0;
}
