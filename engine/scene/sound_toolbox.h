// The toolbox's sound calls: module-relative sound ids (the id rule applied to the magnitude,
// the sign kept: a negative id plays the clip reversed) played on the engine's sound list and
// mixer. A handle is the mixer channel (1 to 8) that plays, or -1 when sound is off; channel 0
// (or any value outside 1 to 8) lets the mixer choose.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

// The absolute id of a module-relative sound id, sign kept.
int32_t SoundIdOf(int16_t relativeId);

int16_t PlaySnd(int16_t relativeId, int channel);
int16_t PlaySndFree(int16_t relativeId);
// Loads the clip when it is not loaded yet.
void PreloadSnd(int16_t relativeId);
// -1: whether any channel plays; else whether that channel plays (never outside 1 to 8).
BOOL IsSndPlaying(int handle);
// Stops every channel and drops the temporary clips.
void StopAllSnds();
// Stops the mixer and frees every clip.
void FreeAllSnds();
// The volume slider's sample: stops all sound, sets the wave output volume to percent and
// plays the sound, taking messages until it ends, a button or key press arrives (dispatched
// after) or a close of the main window is pending (then at once).
void SetSndVolume(int16_t relativeId, int percent);
// Non-zero when the default wave output device can set its volume.
int CanSetWaveVolume();
