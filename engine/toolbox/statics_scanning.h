// The toolbox's static-picture and scanning calls: pictures painted into the background, and
// the activities' shortcuts into the switch-access scanner. Ids are module-relative and points
// picture coordinates; a null sprite is ignored.
#pragma once

#include <cstdint>

class CCorAnim;

// A static picture at (x, y) (the picture's hot spot there), painted into the background
// surface with colour 0 transparent; kind 1 keeps the background under it. Returns its number
// (1 for the first), 0 when none could be added.
int16_t AddStatic(int16_t pictureId, int16_t x, int16_t y, int16_t kind);
// Removes the static of the number (AddStatic's), restoring the background under it; nothing
// for a number of 0 or less.
void RemoveStatic(int16_t number);

// Flag 0 blocks scanning (it goes off, and the module hears Notify (3), when it was on);
// non-zero allows it again (back on, with Notify (2), when it was on at the block).
void ToggleScan(int16_t flag);
void ClearScanTargets();
int32_t IsScanOn();
// A scan target that follows the sprite (offset dx, dy from its picture's centre), in the
// slot given (its target replaced) or, with -1, in the first free one. The slot, or -1.
int32_t AddScanSprite(int32_t slot, CCorAnim* sprite, int16_t dx, int16_t dy, int32_t enabled, int32_t hideOnActivate);
// The highlight picture and its offset; a picture that does not exist gives the shared
// highlight (picture 1).
void SetScanHighlight(int16_t pictureId, int16_t x, int16_t y);
