// Screen transitions: how a composed frame surface reaches the screen, all at once or strip by
// strip. A transition draws through a canvas (the frame surface copied onto the game view's
// device context, the screen's picture shifted sideways), so its steps can be watched.
//
// Kinds, from -2 to 10 (any other kind draws nothing, as 0):
//  -2, -1  untimed push in 2-pixel columns, as fast as it runs: the screen moves left (-2) or
//          right (-1) and the frame comes in at the right or left edge;
//   0, 4, 6  nothing (the caller's final copy shows the frame at once); 5 nothing (compose only);
//   1, 7   a box opening from the centre, four strips around it every 20 ms;
//   2, 3   a wipe from the left or from the right, a strip of the full height every 12 ms;
//   8      a box closing from the edges toward the centre, four strips every 20 ms;
//   9, 10  a push from the left or from the right, a strip every 12 ms.
// Timed transitions sleep until each step is due. The wipes and pushes start with 8-pixel
// strips, the boxes with steps of (width - 2) / 24 by (height - 2) / 24; every step that comes
// due without a wait (the drawing fell behind) makes the later steps 2 pixels wider. Strips that
// would pass the surface's edge are cut at it. The boxes end by copying the whole frame.
#pragma once

#include "platform/core/wintypes.h"

class ITransitionCanvas {
public:
    virtual ~ITransitionCanvas() = default;
    // Copies the rectangle src of the frame surface onto the screen with its top-left at dst.
    // src lies inside the surface.
    virtual void Copy(POINT dst, const RECT& src) = 0;
    // Moves the screen's picture dx pixels sideways (positive: to the right) over the whole
    // width; what moves past the edge is lost.
    virtual void Shift(int dx) = 0;
};

// Runs transition kind over a frame surface of width × height.
void RunTransition(ITransitionCanvas& canvas, int kind, int width, int height);

// Whether kind is one of the transitions above (-2 to 10).
bool IsTransitionKind(int kind);
