// The toolbox's pointer calls: the arrow and wait cursors (the module's own pictures when it
// sets them), the busy level, the pointer and the last click in picture coordinates (the
// highlighted scan target standing in for the pointer while scanning), and the press loop of
// picture buttons.
#pragma once

#include <array>
#include <cstdint>

#include "platform/core/wintypes.h"

class CCorAnim;
class CSprite;

void SetArrowCursor();
void SetWaitCursor();
// The system's show level, one down or up; each hide needs its show.
void HideMouseCursor();
void ShowMouseCursor();
// The busy level: clicks and keys are ignored while it is above 0; EndBusy drops queued mouse
// and key input (clicks made while busy are not acted on afterwards).
void BeginBusy();
void EndBusy();

// Cursors from 'CUR' items (picture id, hot spot x, y); 0 drops the module's own cursor of that
// kind for the system's. Nothing on Win32s. A missing item or picture ends the call there.
void SetPictureCursor(int16_t arrowId, int16_t waitId);

// The cursor image of a picture: its top-left 32 × 32 pixels (0 beyond its size) and the mask,
// one row of four bytes per line, leftmost pixel in the top bit of the first byte, set where
// the pixel is 0 (transparent).
struct CursorImageBits {
    std::array<uint8_t, 32 * 32> pixels{};
    std::array<uint8_t, 32 * 4> mask{};
};
CursorImageBits CursorImageOf(const CSprite& picture);
// A cursor (not an icon) of the picture's image with the hot spot, its colours from the palette
// of 256 entries; null when it cannot be made.
HCURSOR MakePictureCursor(const CSprite& picture, int hotX, int hotY, const PALETTEENTRY* palette);

// The last click in picture coordinates.
void GetLastClick(int16_t& x, int16_t& y);
// 1 while the primary button (the right one when swapped) is down or was pressed since the
// last query.
int16_t IsMouseDown();
// The pointer in picture coordinates; 1 while the primary button is down. While scanning: the
// highlighted target's point ((0, 0) with none), and 1.
int16_t GetMouse(int16_t& x, int16_t& y);
int16_t GetMouseX();
int16_t GetMouseY();
// What lies under the pointer for the kinds of mask (CCorEngine::GetUnderMouse).
int32_t TrackMouse(int16_t mask, int32_t& kind, intptr_t& thing);

// Presses a picture button: when the last click lay on the sprite (its picture's rectangle
// within its clip), shows the pressed picture with the mouse captured and follows the pointer
// (pressed over the sprite, normal elsewhere) until the button is released: 1 over the sprite
// (the pressed picture left), 0 elsewhere (the normal one). A close, destroy or end-session
// message of the game view or the main window, a close already pending, or a quit ends it with
// 0 (the close is dispatched, to be carried out after the handler returns; the quit is posted
// again). A hot key held for after the handler (CCorEngine::HeldHotKey) ends it with 0 too, the
// normal picture shown. The capture is released on every way out. While scanning: pressed at
// once, 1.
int16_t TrackButton(CCorAnim* sprite, int16_t pressedId, int16_t normalId);
// What ends a module's own loop that carries something with the pointer (a car dragged by Delay
// steps): 1 the primary button was let go (its release taken from the game view's queue) or a
// hot key waits for the module's handler (the carry ends as a release where the pointer is);
// 2 the loop must stop at once without a drop: a close pending, the engine stopping, or a quit
// queued (left in the queue for the program's own loop); 0 neither, the carry goes on.
int16_t CarryEnd();

// Whether a message taken by a press loop of its own (a button's press, a carried picture) ends
// it: a close, destroy or end of session for the game view or its frame. The loop hands the
// message on and stops, so the program's own loop carries it out.
bool EndsThePress(const MSG& msg, HWND view, HWND frame);
