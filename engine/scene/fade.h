// Palette fades to and from black around every change of screen. Entries 10 to 245 of the
// palette item's palette are animated in place (the display's static colours stay); at the
// end the frame surface's colour table takes the same entries, so later drawing matches.
// A fade waits for each next tick with Sleep, to the tick's deadline only: it takes no
// messages, so queued input neither ends it early nor wakes it into a spin.
#pragma once

#include <cstdint>

class CPalItem;

// From full colour to black over duration ticks; each step every entry but kept (0: none)
// becomes c - c x elapsed / duration; kept stays until the end, when all become black.
void FadeOut(CPalItem* item, int32_t duration, int kept);
// From black to full colour: c x elapsed / duration, kept staying as it is; all take their
// full colours at the end. A duration of 0 sets them at once.
void FadeIn(CPalItem* item, int32_t duration, int kept);
