// The drawing canvas: an 8-bit blank picture covering a rectangle of picture coordinates, into
// which shapes are painted pixel by pixel (a sprite of its owner shows the picture). One canvas
// at a time is current (ShapeDrawState().currentCanvas); every drawing call goes to it and does
// nothing without one. Colours named by drawing code are 10 below the palette index written.
//
// Every write is clipped to the canvas's rectangle and to the picture's pixels: lines,
// circles, single pixels and fills may reach anywhere, off the screen too. The fill tables take
// rows 0 to 479 only.
#pragma once

#include <cstdint>

#include "activities/shapes/shape_draw_state.h"
#include "media/util/cor_geometry.h"

class CShapeCanvas {
public:
    uint16_t picture = 0xFFFF;  // module-relative; 0xFFFF: none could be made
    uint8_t* pixels = nullptr;  // while current
    uint16_t stride = 0;
    CCorRect rect;  // pixel (x, y) lies at (y - top) * stride + (x - left)
    CCorPoint pen;
    uint16_t colour = 25;
    int16_t width = 0;   // of the picture made, 0 without one
    int16_t height = 0;
};

// A new canvas over the rectangle, not current; its picture is a blank picture of the
// rectangle's size (none for an empty rectangle or one the picture items cannot hold).
CShapeCanvas* CreateCanvas(const CCorRect& rect);
// Null does nothing; the current canvas is deselected first; its picture leaves the cache.
void DestroyCanvas(CShapeCanvas* canvas);
uint16_t GetCanvasPicture(const CShapeCanvas* canvas);
// Unlocks the current canvas's pixels and locks the new one's (null: none current).
void SelectCanvas(CShapeCanvas* canvas);
CShapeCanvas* GetCurrentCanvas();
uint8_t* GetCanvasPixels();
uint16_t GetCanvasStride();
CCorPoint GetCanvasOrigin();
// colour = c + 10.
void SetCanvasColour(int16_t c);
// Index 0 (transparent) over the rectangle's common part with the canvas.
void ClearCanvasRect(const CCorRect& rect);
void CanvasMoveTo(CCorPoint p);
void CanvasLineTo(CCorPoint p);
// Bresenham, both ends drawn.
void DrawCanvasLine(CCorPoint p0, CCorPoint p1);
// Midpoint circle; radius 0 (or less) plots the eight points of (0, r).
void DrawCanvasCircle(CCorPoint centre, int16_t r);
void PlotCanvasPixel(int32_t x, int32_t y);
// Enters one edge into a solid fill table: each row it reaches gets the first x at which it
// does; a level edge enters nothing.
void ScanEdge(CCorPoint p0, CCorPoint p1, SpanTable& table);
// Enters one edge with the pattern coordinates of its ends: downward edges into texSpanDown,
// upward into texSpanUp, rows p0.y to p1.y - 1 (the lower end's row gets no entry).
void ScanTexturedEdge(CCorPoint p0, CCorPoint p1, CCorPoint q0, CCorPoint q1);
