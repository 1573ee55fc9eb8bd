// The toolbox's picture items: pictures of the engine's item cache by module-relative id
// (measured, locked, made blank, composed, stamped onto the background, dropped), and the small
// engine calls that go with them: dirty rectangles in the 16-bit form, an immediate redraw,
// the screen mode, the click limit, the saved-settings block, the two hot keys, queued clicks
// and the Alt and Ctrl keys.
//
// Ids are module-relative (the engine's id rule makes them absolute); ids returned are modulo
// 1000. A missing picture gives neutral answers (0 sizes, no pixels, 0xFFFF), never a message.
// The pictures are reached through the resource host's item cache and id rule
// (media/res/res_item_host.h), so the same calls serve the media layer's picture seam
// (InstallPictureItems).
#pragma once

#include <cstdint>

#include "media/util/cor_geometry.h"
#include "platform/core/wintypes.h"

class IResItemHost;

// 1 when the picture exists (it is loaded into the cache), else 0.
int16_t PreloadPicture(int16_t id);
// Deletes every cached item of the id, purgeable or not. An item that a sprite, static or
// button still shows leaves the cache but lives on, whole, until its last user lets it go.
void PurgeResource(int16_t id);
// The picture's sizes; 0 and 0 when it does not exist.
void GetPictureSize(int16_t id, int16_t& width, int16_t& height);
int16_t GetPictureHalfWidth(int16_t id);
int16_t GetPictureHalfHeight(int16_t id);
// The picture's pixels (rows top to bottom, GetPictureAttr bytes apart), or null. Until the
// matching UnlockPictureData the pixels stay where they are: no purge frees them and dropping
// the picture from the cache keeps it alive.
BYTE* LockPictureData(int16_t id);
void UnlockPictureData(BYTE* bits);
// The pixels a lock of the picture holds, null when it is not locked.
BYTE* LockedPictureData(int16_t id);
// Bytes per row; 0xFFFF when the picture does not exist.
uint16_t GetPictureAttr(int16_t id);

// A picture item under the highest free id of the module's block, going down from 999: empty
// (CreatePictureItem) or of width × height pixels, all 0 (NewBlankPicture). An id is free when
// neither the cache nor the module's file has a picture of it; 1 and 2 (the shared picture and
// "no picture") are never given. -1 (0xFFFF), with nothing made, when every id is taken or the
// pixels cannot be had.
int16_t CreatePictureItem();
int16_t NewBlankPicture(int16_t width, int16_t height);
// Copies the source (loaded if needed) into the target (a cached item) with both hot spots;
// colour 0 of a transparent source is skipped, and a target too small grows to hold both. The
// target keeps what it received: it is no longer purgeable. Nothing when either is missing.
void CopyPictureInto(int16_t target, int16_t source, int16_t x, int16_t y);
// Draws the picture into the background surface with its hot spot at (x, y) of the picture
// (clipped to the surface) and marks its rectangle for redrawing.
void StampPicture(int16_t id, int16_t x, int16_t y);

// The background picture becomes the id (painted over the whole background surface), and every
// static is painted onto it again, each saving what it covers anew.
void SetBackgroundPicture(int16_t id);

// Marks a rectangle of the frame (no origin added) for redrawing.
void InvalidateRect16(const CCorRect& r);
void SetRect16(CCorRect& r, int16_t left, int16_t top, int16_t right, int16_t bottom);
// The engine's immediate redraw (CCorEngine::RedrawArea): the scripts settle, then what is dirty
// is presented, with transition kind 1 to 5 or 7 to 10 and without one for any other kind.
void RedrawArea(int16_t kind);

// Clicks outside a non-empty limit only beep. Returns 0.
int32_t SetClickLimit(const CCorRect& r);
// 0 for a 512 × 342 screen, 1 for 512 × 384, 2 for 640 × 400, 3 for 640 × 480, else -1; the
// rectangle, when given, receives the whole screen in picture coordinates.
int16_t GetScreenMode(CCorRect* screen);
// The game's saved-settings block and its size (28), or null and 0.
void* GetSavedSettingsBlock(int16_t& size);
void EnableAdultHotKey(int16_t flag);
void EnableQuitHotKey(int16_t flag);
// Whether a left-button press is queued for the game view; with remove, a queued release and
// then the press are taken from the queue.
int32_t IsMouseUpPending(int16_t remove);
int16_t IsAltDown();
int16_t IsCtrlDown();

// Installs the picture calls above as the engine's answer to the media layer's picture seam
// (the text layer, the record files: SetEnginePictureItems, engine/core/engine_hosts.h); the
// program calls it once at start. Returns the provider installed before.
IResItemHost* InstallPictureItems();
