// An 8-bit picture drawn from shapes, for the generator's stand-in art: every value is a
// palette index of the module palette (0 is transparent in sprites). Shapes are filled by
// pixel centres, so the same source always gives the same pixels; everything is clipped to
// the picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/fonts/bitmap_face.h"

namespace mkres {

class CPictureCanvas {
public:
    enum class Align { Left, Centre, Right };

    CPictureCanvas(int width, int height, uint8_t background = 0);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    uint8_t At(int x, int y) const;
    void Set(int x, int y, uint8_t v);

    void Fill(uint8_t v);
    // Right and bottom exclusive.
    void Rect(int left, int top, int right, int bottom, uint8_t v);
    void Frame(int left, int top, int right, int bottom, uint8_t v, int width = 1);
    void RoundRect(int left, int top, int right, int bottom, int radius, uint8_t v);
    void RoundFrame(int left, int top, int right, int bottom, int radius, uint8_t v, int width = 1);
    // Centre and radii in pixels; the pixel (x, y) covers x..x+1, so a circle of radius 5 at
    // (10, 10) covers pixels 5..14.
    void Ellipse(int cx, int cy, int rx, int ry, uint8_t v);
    void Ring(int cx, int cy, int rx, int ry, uint8_t v, int width = 1);
    // Filled with the even-odd rule; at least three points.
    void Polygon(const std::vector<std::pair<int, int>>& points, uint8_t v);
    // From (x0, y0) to (x1, y1), both ends drawn; wider lines have round ends.
    void Line(int x0, int y0, int x1, int y1, uint8_t v, int width = 1);
    // Text in a bitmap face: y is the top of the cell, x the left edge, the middle or the right
    // edge of the text; with an outline, the ink is first drawn around in that colour.
    void Label(const plat::BitmapFace& face, std::string_view cp1252, int x, int y, uint8_t v, Align align,
               int outline = -1);

    // The 'SPR' item: u32 width, u32 height, u32 pixel bytes, rows padded to 4 bytes.
    std::vector<uint8_t> SprBytes() const;

private:
    // Whether the pixel's centre lies inside the ellipse (cx, cy, rx, ry).
    static bool InEllipse(double px, double py, double cx, double cy, double rx, double ry);
    bool InRoundRect(int x, int y, int left, int top, int right, int bottom, int radius) const;

    int m_width;
    int m_height;
    std::vector<uint8_t> m_pixels;
};

}  // namespace mkres
