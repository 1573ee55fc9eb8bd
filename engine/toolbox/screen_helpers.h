// What the shared pop-ups need to put a modal panel on the game screen: 16-bit rectangle
// arithmetic, drawing into picture items (fills, lines, outlines, copies), a bevelled panel
// shown as a sprite over a shaded screen with clicks kept inside it, and a wait for a sprite.
//
// Pictures are module-relative picture ids of the engine's item cache (picture_items.h);
// drawing never writes outside the destination picture, and a missing picture draws nothing.
// Rectangles are Rect16 (left, top, right, bottom): right and bottom exclusive for drawing,
// inclusive for PointInRect16.
//
// The shade is program-wide: one 640 × 60 checkerboard picture shown by 8 sprites over the
// whole 640 × 480 screen, put up by ShadeScreen and taken down by RemoveShade (also through
// ClosePanel). A click limit set by LimitClicksToSprite switches the grown-ups' and the quit
// hot keys off; lifting it puts both back as they were when it was set.
//
// User-interface thread only; WaitForSprite, ShadeScreen, RemoveShade and ClosePanel run idle
// steps (Delay), so animations, sounds and timers go on meanwhile.
#pragma once

#include <cstdint>

#include "media/util/cor_geometry.h"

class CCorAnim;

// Panel colours, palette indices: light and shadow of the bevels, the middle ring, the outlines
// and the fill.
struct PanelStyle {
    uint8_t light;
    uint8_t shadow;
    uint8_t middle;
    uint8_t outline;
    uint8_t fill;
};
static_assert(sizeof(PanelStyle) == 5);

// The default style: {5, 1, 7, the darkest palette entry, 7}.
PanelStyle DefaultPanelStyle();

// left <= x <= right and top <= y <= bottom.
bool PointInRect16(int16_t x, int16_t y, const Rect16& rect);
int16_t GetPictureWidth(int16_t picture);
int16_t GetPictureHeight(int16_t picture);
void OffsetRect16(Rect16& rect, int16_t dx, int16_t dy);
// Left and top move out by d, right and bottom by d the other way (a negative d shrinks).
void InflateRect16(Rect16& rect, int16_t d);
// Moved, keeping its size, so that it is centred on a 640 × 480 screen: left 320 - width / 2,
// top 240 - height / 2 (halves rounded down).
void CenterRectOnScreen(Rect16& rect);
// Copies two 16-bit values; nothing when either is null.
void SetShortPair(int16_t* pair, const int16_t* source);
// Negative coordinates become 0; then 0 (reject) when left or right lies beyond the picture's
// width or top or bottom beyond its height, or when the rectangle is empty; else 1.
int16_t ClipRectToPicture(Rect16& rect, int16_t picture);
// Within the clipped rectangle, each row gets (right - left) / 4 words of the value (its low
// byte first), starting at left rounded down to a multiple of 4.
void FillPictureRect32(int16_t picture, const Rect16& rect, uint32_t value);
// A horizontal (y1 = y2) or vertical (x1 = x2) line from the smaller coordinate up to, not
// including, the larger; any other line draws nothing.
void DrawLine16(int16_t picture, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour);
// The one-pixel border of [left, right) × [top, bottom).
void DrawRectOutline16(int16_t picture, const Rect16& rect, uint8_t colour);
// The whole source copied into the destination at (x, y), clipped to the destination; with a
// map (256 entries) every non-zero source byte becomes map[byte] and 0 stays 0. Nothing is
// transparent.
void BlitPictureAt(int16_t source, int16_t destination, int16_t x, int16_t y, const uint8_t* map);
// A new picture of the picture drawn into (0, 0) .. (width, height) through DrawPictureQuad
// (picture_quad.h); its id, 0 when none was made.
int16_t DrawPictureInRect(int16_t picture, int16_t width, int16_t height);

// A new picture item holding the bevelled panel for rect (picture coordinates), in the style
// given or the default one. Game palette entries 1, 5, 7 and 255 become (128, 0, 0),
// (128, 0, 128), (192, 192, 192) and (255, 255, 255) first. The width is rounded up to a
// multiple of 4 and rect's right moved to match. Returns the picture's id, 0 when it cannot be
// made.
int16_t MakeFramedPicture(Rect16& rect, const PanelStyle* style = nullptr);
// The same panel shown as a sprite at (left, top) over a screen shaded in the outline colour,
// clicks limited to it. Returns the sprite; null (and no shade) when the picture cannot be made.
CCorAnim* MakeFramedPanel(Rect16& rect, const PanelStyle* style = nullptr);
// Takes the panel down: its picture cleared, waited for, the sprite disposed of and its picture
// dropped from the item cache; then the click limit lifted and the shade removed.
void ClosePanel(CCorAnim* panel);
// Takes one sprite away at once: a click limit set to it is lifted (the hot keys as they were)
// and the shade forgets it, then it is disposed of (its rectangle redrawn at the next
// presentation) and its picture dropped from the item cache (a picture other sprites still show
// stays whole for them). Nothing for a null handle or one that names no sprite of the list.
void DiscardSprite(CCorAnim* sprite);
// With a sprite of the display list: clicks outside its rectangle only beep, and the grown-ups'
// and the quit hot keys are off (as they were is kept, once). With null: no limit, and when a
// limit was set, both hot keys as they were then.
void LimitClicksToSprite(CCorAnim* sprite);
// Shades the screen: every other pixel in colour, in a checkerboard; one idle step. A shade
// already up is taken down first. When the picture cannot be made nothing is shown.
void ShadeScreen(uint8_t colour);
// Takes the shade down (its sprites cleared, waited for and disposed of, its picture dropped).
// Nothing when no shade is up.
void RemoveShade();
// Runs idle steps until the sprite's script is no longer running (finished, endless or held):
// then 0. 1 at once for a null sprite; 1 when interruptible and a left-button release is queued
// (left in the queue); 1 when the engine stops running or a close of the main window is pending.
int16_t WaitForSprite(CCorAnim* sprite, int16_t interruptible);
