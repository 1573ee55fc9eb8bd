// TalkWithCues: a character speaks. The sounds of a list play one after another while a sprite
// shows the pictures that each sound's 'CUE' list times (its mouth), and the sprite ends on the
// last picture of the list (the rest picture). The wait is the toolbox's own loop: it steps and
// presents the scripts, ticks the module once per engine tick and steps the scanner, sleeping
// to the next engine tick between passes; mouse and key input stays queued.
//
// User-interface thread only.
#pragma once

#include <cstdint>

class CCorAnim;

// sounds: module-relative sound ids ending with 0. A first element of -1 makes the cue list of
// the next sound drive the pictures across the whole list, timed from the start of that sound;
// otherwise each sound has its own cue list. While the line plays:
// - with interruptible non-zero, a queued left-button press stops every sound and ends it (the
//   press is taken from the queue when remove is non-zero, else left there for the caller);
//   with interruptible 0 the engine is busy for the whole line;
// - a queued close, focus or activation message is handled and ends it; a close of the main
//   window is only recorded then and carried out after the module's handler returns, and while
//   one is pending the call ends at once.
// The channel of each sound started is written to *channel (when given). Returns 1 when a
// press or a window message ended the line, else 0.
int16_t TalkWithCues(CCorAnim* sprite, int16_t interruptible, int16_t remove, int16_t* channel, const int16_t* sounds);
