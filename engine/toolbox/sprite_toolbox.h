// The sprite toolbox: the flat calls through which modules drive the display list's animation
// objects. Each call takes a sprite handle (a CCorAnim of the engine's display list),
// module-relative ids (made absolute by the engine's id rule) and picture coordinates (the
// picture origin added on the way in, taken off on the way out), and either appends
// instructions to the sprite's script or changes its place in the list. Appending never
// clears what is queued, so a module queues a whole animation in a few calls and then goes on
// or waits for it (WaitSpriteDone, Delay).
//
// A handle that is null, or that names no sprite of the display list (one disposed, or never
// made there), is ignored by every call: getters give their stated defaults and nothing is
// touched through it. A disposed sprite's memory is not given to a new sprite while the module
// stays (anim_list.h), so its handle never names a newer sprite. kAllSprites stands for every
// sprite in GetSpriteStatus, StopSprite and FinishSpriteScript only.
//
// Engine code that keeps a sprite across a point where it may go (a wait, a press, a panel
// open over module switches) keeps a CAnimRef and asks LiveSprite for it each time.
//
// User-interface thread only.
#pragma once

#include <cstdint>

#include "media/util/cor_geometry.h"

class CAnimRef;
class CCorAnim;

inline CCorAnim* const kAllSprites = reinterpret_cast<CCorAnim*>(static_cast<intptr_t>(-1));

// Appends (opcode, operand) as given; the script resolves ids and points as it appends.
void SpriteAddInstr(CCorAnim* sprite, int32_t opcode, int32_t operand);
// Appends the whole 'ANI' script of the id.
void SetSpriteAnim(CCorAnim* sprite, int16_t animId);
// ShowPicture, a Wait of the default frame time, Nop.
void QueueSpriteFrame(CCorAnim* sprite, int16_t pictureId);
// ShowPicture, MoveBy (dx, dy), the default Wait, Nop.
void QueueSpriteFrameMove(CCorAnim* sprite, int16_t pictureId, int16_t dx, int16_t dy);
// ShowPicture, MoveTo (x, y) of the picture, the default Wait, Nop.
void QueueSpriteFrameAt(CCorAnim* sprite, int16_t pictureId, int16_t x, int16_t y);
// ShowPicture only.
void QueueSpriteFrameNoWait(CCorAnim* sprite, int16_t pictureId);
// SwapPicture (the picture shown before leaves the item cache), Nop.
void QueueSpriteShowImage(CCorAnim* sprite, int16_t pictureId);
// MoveBy (dx, dy), the default Wait, Nop.
void MoveSprite(CCorAnim* sprite, int16_t dx, int16_t dy);
// MoveTo (x, y) of the picture, the default Wait, Nop.
void MoveSpriteInPicture(CCorAnim* sprite, int16_t x, int16_t y);
// Wait ticks, Nop.
void QueueSpriteWait(CCorAnim* sprite, int16_t ticks);
// PlaySound on the sprite's channel / PlayNewSound on a free one / WaitSound (0: the sprite's
// channel, -1: any) of the sound id.
void QueueSpriteSound(CCorAnim* sprite, int16_t soundId);
void QueueSpriteSoundReplace(CCorAnim* sprite, int16_t soundId);
void QueueSpriteWaitSound(CCorAnim* sprite, int16_t soundId);
// StopSound of the channel as given: 0 the sprite's, -1 all, 1 to 8 that one.
void QueueSpriteStopSound(CCorAnim* sprite, int16_t channel);
// Restart: the script runs for ever.
void QueueSpriteRestart(CCorAnim* sprite);

// A reference to the handle's sprite when it is one of the display list's; empty otherwise.
CAnimRef KeepSprite(CCorAnim* sprite);
// The sprite the reference names while it is in the engine's display list; null otherwise.
CCorAnim* LiveSprite(const CAnimRef& sprite);

// A new sprite in front of all, its picture's hot spot at (x, y), showing the picture (queued
// as by QueueSpriteFrameNoWait). Null when there is no engine.
CCorAnim* CreateSprite(int16_t x, int16_t y, int16_t pictureId);
void DisposeSprite(CCorAnim* sprite);
void DisposeAllSprites();
// Empties the script (the sprite keeps its picture and place) and ends a wait under way, so a
// script queued next runs at once; kAllSprites: every script.
void StopSprite(CCorAnim* sprite);
// Skips the rest of the script without running it; kAllSprites: every script.
void FinishSpriteScript(CCorAnim* sprite);
// 1 finished, 0 running, -1 endless, -2 held; 1 for an ignored handle. kAllSprites: the
// display list's state (1 when empty or all finished, else 0, -2, -1 in that order).
int16_t GetSpriteStatus(CCorAnim* sprite);
// Steps every script and presents the changed rectangles, sleeping to the next engine tick
// between passes, until the sprite's script has finished. It takes no messages but a close of
// the main window (taken in as the idle step does) and does not tick the module. It also ends
// when the script is endless (nothing but other code could end it), when it is held while no
// other script runs (nothing could release it), when the sprite goes (a cue may dispose of it)
// and when a close is pending or queued. kAllSprites: every sprite, by the list's state.
void WaitSpriteDone(CCorAnim* sprite);
// The id modulo 1000 of the picture shown; 2 for an ignored handle or no picture.
int16_t GetSpriteFrame(CCorAnim* sprite);
// The position of the picture's hot spot in picture coordinates; 0 for an ignored handle,
// whose outputs GetSpritePos leaves untouched.
int16_t GetSpriteX(CCorAnim* sprite);
int16_t GetSpriteY(CCorAnim* sprite);
void GetSpritePos(CCorAnim* sprite, int16_t* x, int16_t* y);
// 0 makes the sprite ignore clicks; any other value makes it clickable.
void SetSpriteUserValue(CCorAnim* sprite, int16_t flag);
// Drawing, invalidation and hit tests of the sprite stay inside the rectangle (picture
// coordinates); null: no limit.
void SetSpriteClip(CCorAnim* sprite, const CCorRect* clip);
// Sprite a just behind (before) or just in front of (after) sprite b in the drawing order;
// when b is in no display list, a goes behind or in front of all. Nothing when either handle is
// null or a is ignored, or a is b.
void PutSpriteBefore(CCorAnim* a, CCorAnim* b);
void PutSpriteAfter(CCorAnim* a, CCorAnim* b);
void SpriteToFront(CCorAnim* sprite);
void SpriteToBack(CCorAnim* sprite);
// The Wait the frame and move calls append (2 until set; every module entry sets it back).
void SetDefaultFrameTicks(int16_t ticks);
// Loads the pictures and sounds an 'AN_' list names, before the animation that needs them
// plays; nothing without the list.
void PreloadAnimation(int16_t listId);
